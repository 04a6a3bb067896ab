// Unit tests of the Windows shell's pieces that need no web view: the HRESULT line, the vtable
// slots of our WebView2 declarations, the handler objects' COM rules, and the reply hand-over.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "app_state.h"
#include "page_bridge.h"
#include "webview2.h"
#include "webview_host.h"
#include "webview_loader.h"
#include "window_proc.h"

namespace {

TEST(HresultText, FormatsEightUpperCaseHexDigits) {
  const struct {
    HRESULT code;
    const wchar_t* text;
  } cases[] = {
      {S_OK, L"HRESULT: 0x00000000"},
      {1, L"HRESULT: 0x00000001"},
      {E_FAIL, L"HRESULT: 0x80004005"},
      {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"HRESULT: 0x80070002"},
      {CO_E_NOTINITIALIZED, L"HRESULT: 0x800401F0"},
      {static_cast<HRESULT>(0xFFFFFFFF), L"HRESULT: 0xFFFFFFFF"},
      {0x000ABCDE, L"HRESULT: 0x000ABCDE"},
  };
  for (const auto& c : cases) EXPECT_EQ(hresultText(c.code), c.text);
}

// Runtime versions compare part by part as numbers; a malformed one loses to any well-formed one.
TEST(RuntimeVersions, NewerByNumbersNotByText) {
  const struct {
    const wchar_t* candidate;
    const wchar_t* than;
    bool newer;
  } cases[] = {
      {L"100.0.1185.36", L"99.0.1150.55", true},
      {L"99.0.1150.55", L"100.0.1185.36", false},
      {L"120.0.2210.144", L"120.0.2210.61", true},
      {L"120.0.2210.61", L"120.0.2210.61", false},
      {L"1.0.0.0", L"1.x.0.0", true},
      {L"1.x.0.0", L"1.0.0.0", false},
      {L"..\\..\\evil", L"1.0.0.0", false},
      {L"1.0.0.1", L"", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isNewerRuntimeVersion(c.candidate, c.than), c.newer)
        << c.candidate << " vs " << c.than;
  }
  EXPECT_EQ(installedRuntimeDll(L"..\\..\\x"), std::nullopt);
}

// With g++ (Itanium C++ ABI) a pointer to a virtual member holds 1 + its vtable byte offset.
template <class Member>
std::ptrdiff_t slotOf(Member member) {
  struct {
    std::uintptr_t pointer;
    std::ptrdiff_t adjust;
  } raw;
  static_assert(sizeof(raw) == sizeof(member));
  std::memcpy(&raw, &member, sizeof(raw));
  return static_cast<std::ptrdiff_t>((raw.pointer - 1) / sizeof(void*));
}

// Every method the program calls or implements, at the slot the WebView2 ABI gives it. A
// wrong slot would call a different method on a real runtime.
TEST(WebView2Declarations, UsedMethodsSitInTheirSlots) {
  const struct {
    const char* method;
    std::ptrdiff_t actual;
    std::ptrdiff_t expected;
  } slots[] = {
      {"EnvironmentCompletedHandler::Invoke",
       slotOf(&ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler::Invoke), 3},
      {"ControllerCompletedHandler::Invoke",
       slotOf(&ICoreWebView2CreateCoreWebView2ControllerCompletedHandler::Invoke), 3},
      {"WebMessageReceivedEventHandler::Invoke",
       slotOf(&ICoreWebView2WebMessageReceivedEventHandler::Invoke), 3},
      {"Environment::CreateCoreWebView2Controller",
       slotOf(&ICoreWebView2Environment::CreateCoreWebView2Controller), 3},
      {"Environment::remove_NewBrowserVersionAvailable",
       slotOf(&ICoreWebView2Environment::remove_NewBrowserVersionAvailable), 7},
      {"Controller::put_Bounds", slotOf(&ICoreWebView2Controller::put_Bounds), 6},
      {"Controller::SetBoundsAndZoomFactor",
       slotOf(&ICoreWebView2Controller::SetBoundsAndZoomFactor), 11},
      {"Controller::put_ParentWindow", slotOf(&ICoreWebView2Controller::put_ParentWindow), 22},
      {"Controller::Close", slotOf(&ICoreWebView2Controller::Close), 24},
      {"Controller::get_CoreWebView2", slotOf(&ICoreWebView2Controller::get_CoreWebView2), 25},
      {"WebView::get_Settings", slotOf(&ICoreWebView2::get_Settings), 3},
      {"WebView::Navigate", slotOf(&ICoreWebView2::Navigate), 5},
      {"WebView::add_ProcessFailed", slotOf(&ICoreWebView2::add_ProcessFailed), 25},
      {"WebView::ExecuteScript", slotOf(&ICoreWebView2::ExecuteScript), 29},
      {"WebView::PostWebMessageAsJson", slotOf(&ICoreWebView2::PostWebMessageAsJson), 32},
      {"WebView::add_WebMessageReceived", slotOf(&ICoreWebView2::add_WebMessageReceived), 34},
      {"WebView::remove_WebMessageReceived", slotOf(&ICoreWebView2::remove_WebMessageReceived), 35},
      {"Settings::put_IsStatusBarEnabled", slotOf(&ICoreWebView2Settings::put_IsStatusBarEnabled),
       10},
      {"Settings::put_AreDefaultContextMenusEnabled",
       slotOf(&ICoreWebView2Settings::put_AreDefaultContextMenusEnabled), 14},
      {"EventArgs::get_Source", slotOf(&ICoreWebView2WebMessageReceivedEventArgs::get_Source), 3},
      {"EventArgs::get_WebMessageAsJson",
       slotOf(&ICoreWebView2WebMessageReceivedEventArgs::get_WebMessageAsJson), 4},
      {"EventArgs::TryGetWebMessageAsString",
       slotOf(&ICoreWebView2WebMessageReceivedEventArgs::TryGetWebMessageAsString), 5},
  };
  for (const auto& s : slots) EXPECT_EQ(s.actual, s.expected) << s.method;
  // No hidden members (such as a destructor) may grow the interfaces.
  EXPECT_EQ(sizeof(ICoreWebView2), sizeof(void*));
  EXPECT_EQ(sizeof(ICoreWebView2Controller), sizeof(void*));
}

// Event arguments whose message the test chooses; counts what the handler asks for.
struct FakeArgs final : ICoreWebView2WebMessageReceivedEventArgs {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* out) override {
    ++jsonAsked;
    *out = nullptr;
    if (throws) throw std::bad_alloc();
    if (FAILED(result) || !json) return result;
    const std::size_t bytes = (std::wcslen(json) + 1) * sizeof(wchar_t);
    *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(*out, json, bytes);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* out) override {
    *out = nullptr;
    return E_INVALIDARG;
  }
  HRESULT result = S_OK;
  const wchar_t* json = nullptr;
  bool throws = false;  // as an allocation failing while the message is read
  int jsonAsked = 0;
};

// A message-only window to post replies to, and a way to see what reached its queue.
struct ReplyWindow {
  ReplyWindow() {
    window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  ~ReplyWindow() {
    if (window) DestroyWindow(window);
  }
  std::unique_ptr<std::string> takeReply() {
    MSG message{};
    if (!PeekMessageW(&message, window, WM_PAGE_REPLY, WM_PAGE_REPLY, PM_REMOVE)) return nullptr;
    return std::unique_ptr<std::string>(reinterpret_cast<std::string*>(message.lParam));
  }
  HWND window = nullptr;
};

TEST(WebMessageHandler, AnswersOnlyItsOwnInterfacesAndCountsReferences) {
  ReplyWindow target;
  ICoreWebView2WebMessageReceivedEventHandler* handler = newWebMessageHandler(target.window);
  void* out = nullptr;
  ASSERT_EQ(handler->QueryInterface(IID_ICoreWebView2WebMessageReceivedEventHandler, &out), S_OK);
  EXPECT_EQ(out, handler);
  ASSERT_EQ(handler->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, handler);
  EXPECT_EQ(handler->QueryInterface(IID_ICoreWebView2, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(handler->QueryInterface(IID_ICoreWebView2WebMessageReceivedEventHandler, nullptr),
            E_POINTER);
  EXPECT_EQ(handler->Release(), 2u);
  EXPECT_EQ(handler->Release(), 1u);
  EXPECT_EQ(handler->Release(), 0u);
}

TEST(WebMessageHandler, DropsUnreadableAndUnknownMessagesWithSuccess) {
  ReplyWindow target;
  ICoreWebView2WebMessageReceivedEventHandler* handler = newWebMessageHandler(target.window);
  const struct {
    HRESULT result;
    const wchar_t* json;
  } cases[] = {
      {E_FAIL, nullptr},                            // the runtime could not give the message
      {S_OK, nullptr},                              // success without text
      {S_OK, L"{\"type\":\"Scan\"}"},               // letter case counts
      {S_OK, L"\"{\\\"type\\\":\\\"getIp\\\"}\""},  // a string, not an object
      {S_OK, L"{\"type\":\"ping\",\"ip\":\"\u00e9\"}"},
  };
  for (const auto& c : cases) {
    FakeArgs args;
    args.result = c.result;
    args.json = c.json;
    EXPECT_EQ(handler->Invoke(nullptr, &args), S_OK);
    EXPECT_EQ(args.jsonAsked, 1);
  }
  EXPECT_EQ(handler->Invoke(nullptr, nullptr), S_OK);
  EXPECT_EQ(target.takeReply(), nullptr);
  handler->Release();
}

TEST(ReplyHandOver, PassesOwnershipOnlyWhenPosted) {
  ReplyWindow target;
  auto reply = std::make_unique<std::string>(R"({"type":"ipResult"})");
  const std::string* sent = reply.get();
  EXPECT_TRUE(postReplyTo(target.window)(reply));
  EXPECT_EQ(reply, nullptr);
  auto received = target.takeReply();
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(received.get(), sent);
  EXPECT_EQ(*received, R"({"type":"ipResult"})");

  // A window that is gone: the worker keeps (and frees) its text.
  HWND gone = target.window;
  DestroyWindow(gone);
  target.window = nullptr;
  auto orphan = std::make_unique<std::string>("{}");
  EXPECT_FALSE(postReplyTo(gone)(orphan));
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(*orphan, "{}");
}

TEST(ReplyHandOver, ReplyWithoutPageIsFreedUndelivered) {
  ASSERT_EQ(g_webview, nullptr);
  deliverPageReply(0);
  deliverPageReply(reinterpret_cast<LPARAM>(new std::string(R"({"type":"scanResult"})")));
}

// No C++ exception crosses into the runtime's or user32's frames: not from the page-message
// handler's Invoke, and not from delivering a reply in the window procedure.
HRESULT STDMETHODCALLTYPE throwingPost(void*, LPCWSTR) {
  throw std::bad_alloc();
}

TEST(ExceptionEdges, NoThrowOutOfInvokeOrTheWindowProcedure) {
  ReplyWindow target;
  ICoreWebView2WebMessageReceivedEventHandler* handler = newWebMessageHandler(target.window);
  FakeArgs args;
  args.throws = true;
  args.json = L"{\"type\":\"getIp\"}";
  HRESULT answer = E_FAIL;
  EXPECT_NO_THROW(answer = handler->Invoke(nullptr, &args));
  EXPECT_EQ(answer, S_OK);
  handler->Release();

  // A view whose PostWebMessageAsJson (slot 32) throws.
  void* table[36] = {};
  table[32] = reinterpret_cast<void*>(&throwingPost);
  struct {
    void** vtbl;
  } view{table};
  g_webview = reinterpret_cast<ICoreWebView2*>(&view);
  auto* reply = new std::string(R"({"type":"ipResult"})");
  LRESULT result = 1;
  EXPECT_NO_THROW(result =
                      wndProc(target.window, WM_PAGE_REPLY, 0, reinterpret_cast<LPARAM>(reply)));
  EXPECT_EQ(result, 0);
  g_webview = nullptr;
}

}  // namespace
