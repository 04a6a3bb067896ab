// A stand-in WebView2 runtime for tests: exports the loader's and the runtime's environment
// entry points and serves environment, controller, view, settings and event-args objects whose
// vtables are plain arrays filled by slot number, independently of the program's declarations.
// Every call is appended to <VELMORA_STANDIN_DIR>\calls.log; page messages are injected from
// <VELMORA_STANDIN_DIR>\inject.txt (one JSON text a line) once the page is navigated.
#include <objbase.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// ---- log -------------------------------------------------------------------------------------

std::wstring standinDir() {
  wchar_t dir[MAX_PATH] = {};
  GetEnvironmentVariableW(L"VELMORA_STANDIN_DIR", dir, MAX_PATH);
  return dir;
}

std::string narrow(const wchar_t* text) {
  if (!text) return "(null)";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring widen(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

std::string hex(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

CRITICAL_SECTION g_logLock;
HINSTANCE g_module = nullptr;
DWORD g_uiThread = 0;

void logLine(const std::string& line) {
  EnterCriticalSection(&g_logLock);
  std::string text = line;
  // Everything WebView2 does happens on the thread that created the environment.
  if (g_uiThread && GetCurrentThreadId() != g_uiThread) text += " WRONG-THREAD";
  text += "\n";
  if (FILE* file = _wfopen((standinDir() + L"\\calls.log").c_str(), L"ab")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  LeaveCriticalSection(&g_logLock);
}

HRESULT configuredResult(const wchar_t* name) {
  wchar_t value[32] = {};
  if (!GetEnvironmentVariableW(name, value, 32)) return S_OK;
  return static_cast<HRESULT>(std::wcstoul(value, nullptr, 16));
}

// ---- the window thread's own queue: callbacks arrive later, as the real runtime's do ------

std::map<UINT_PTR, std::function<void()>> g_pending;

void CALLBACK runPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto found = g_pending.find(id);
  if (found == g_pending.end()) return;
  auto action = std::move(found->second);
  g_pending.erase(found);
  action();
}

void later(std::function<void()> action, UINT delayMs = 10) {
  g_pending[SetTimer(nullptr, 0, delayMs, runPending)] = std::move(action);
}

// With VELMORA_STANDIN_HOLD=environment (or controller), that completion is held back until the
// main window is being destroyed, then posted, so it runs after WM_DESTROY and before the
// program's loop sees WM_QUIT: a runtime that answers while the user closes the window.
constexpr UINT WM_DELIVER_HELD = WM_APP + 77;
std::vector<std::function<void()>> g_held;
HWND g_deliveryWindow = nullptr;

LRESULT CALLBACK deliveryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DELIVER_HELD) return DefWindowProcW(window, message, wParam, lParam);
  auto held = std::move(g_held);
  g_held.clear();
  for (auto& action : held) action();
  return 0;
}

LRESULT CALLBACK watchDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_DESTROY && !GetParent(call->hwnd) &&
      call->hwnd != g_deliveryWindow && !g_held.empty()) {
    logLine("standin.deliver-held-after-destroy");
    PostMessageW(g_deliveryWindow, WM_DELIVER_HELD, 0, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void deliverLater(const wchar_t* stage, std::function<void()> action) {
  wchar_t hold[32] = {};
  GetEnvironmentVariableW(L"VELMORA_STANDIN_HOLD", hold, 32);
  if (std::wstring(hold) != stage) return later(std::move(action));
  if (!g_deliveryWindow) {
    WNDCLASSW type{};
    type.lpfnWndProc = deliveryProc;
    type.lpszClassName = L"VelmoraStandinDelivery";
    RegisterClassW(&type);
    g_deliveryWindow = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                       nullptr, nullptr, nullptr);
    SetWindowsHookExW(WH_CALLWNDPROC, watchDestroy, nullptr, GetCurrentThreadId());
  }
  logLine("standin.hold " + narrow(stage));
  g_held.push_back(std::move(action));
}

// ---- COM plumbing by slot number -------------------------------------------------------------

using Table = std::vector<void*>;

struct Object {
  const void* const* vtbl;
  LONG refs;
  const char* name;
  IID iid;
};

template <int Slot>
HRESULT STDMETHODCALLTYPE unexpectedSlot(Object* self) {
  logLine(std::string(self->name) + ".slot" + std::to_string(Slot) + " UNEXPECTED");
  return E_NOTIMPL;
}

template <std::size_t... Slots>
Table trapTable(std::index_sequence<Slots...>, std::size_t size) {
  Table all = {reinterpret_cast<void*>(&unexpectedSlot<static_cast<int>(Slots)>)...};
  all.resize(size);
  return all;
}

HRESULT STDMETHODCALLTYPE queryInterface(Object* self, REFIID riid, void** out) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, self->iid)) {
    *out = self;
    InterlockedIncrement(&self->refs);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE addRef(Object* self) {
  return InterlockedIncrement(&self->refs);
}

// The app's own objects are called through their vtable by slot as well.
template <class Result, class... Args>
Result callSlot(void* object, int slot, Args... args) {
  auto table = *static_cast<void* const* const*>(object);
  return reinterpret_cast<Result(STDMETHODCALLTYPE*)(void*, Args...)>(table[slot])(object, args...);
}
ULONG appAddRef(void* object) {
  return callSlot<ULONG>(object, 1);
}
ULONG appRelease(void* object) {
  return callSlot<ULONG>(object, 2);
}

// A handler must answer IUnknown and its own IID, and nothing else.
void probeHandler(void* handler, const char* name, const IID& own) {
  const IID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* out = nullptr;
  std::string line = std::string(name) + ".QueryInterface";
  const std::pair<const char*, const IID*> asks[] = {
      {"own", &own}, {"IUnknown", &IID_IUnknown}, {"other", &other}};
  for (const auto& [label, iid] : asks) {
    const HRESULT result = callSlot<HRESULT>(handler, 0, iid, &out);
    line += std::string(" ") + label + "=" + hex(result);
    if (SUCCEEDED(result)) line += out == handler ? "(same)" : "(DIFFERENT)";
    if (SUCCEEDED(result) && out) appRelease(out);
  }
  logLine(line);
}

constexpr IID IID_ENVIRONMENT = {
    0xb96d755e, 0x0319, 0x4e92, {0xa2, 0x96, 0x23, 0x43, 0x6f, 0x46, 0xa1, 0xfc}};
constexpr IID IID_CONTROLLER = {
    0x4d00c0d1, 0x9434, 0x4eb6, {0x80, 0x78, 0x86, 0x97, 0xa5, 0x60, 0x33, 0x4f}};
constexpr IID IID_VIEW = {
    0x76eceacb, 0x0462, 0x4d94, {0xac, 0x83, 0x42, 0x3a, 0x67, 0x93, 0x77, 0x5e}};
constexpr IID IID_SETTINGS = {
    0xe562e4f0, 0xd7fa, 0x43ac, {0x8d, 0x71, 0xc0, 0x51, 0x50, 0x49, 0x9f, 0x00}};
constexpr IID IID_ARGS = {
    0x0f99a40c, 0xe962, 0x4207, {0x9e, 0x92, 0xe3, 0xd5, 0x42, 0xef, 0xf8, 0x49}};
constexpr IID IID_ENVIRONMENT_HANDLER = {
    0x4e8a3389, 0xc9d8, 0x4bd2, {0xb6, 0xb5, 0x12, 0x4f, 0xee, 0x6c, 0xc1, 0x4d}};
constexpr IID IID_CONTROLLER_HANDLER = {
    0x6c4819f3, 0xc9b7, 0x4260, {0x81, 0x27, 0xc9, 0xf5, 0xbd, 0xe7, 0xf6, 0x8c}};
constexpr IID IID_MESSAGE_HANDLER = {
    0x57213f19, 0x00e6, 0x49fa, {0x8e, 0x07, 0x89, 0x8e, 0xa0, 0x1e, 0xcb, 0xd2}};

// ---- objects ---------------------------------------------------------------------------------

struct Settings : Object {};

struct View : Object {
  Settings* settings;
  std::vector<void*> messageHandlers;
  std::wstring url;
  HWND surface;
};

struct Controller : Object {
  View* view;
  HWND parent;
};

struct Environment : Object {};

struct Args : Object {
  std::wstring json;
  std::wstring source;
};

template <class T>
ULONG releaseObject(T* self, void (*destroy)(T*)) {
  const LONG left = InterlockedDecrement(&self->refs);
  logLine(std::string(self->name) + ".Release -> " + std::to_string(left));
  if (left == 0) {
    logLine(std::string(self->name) + " destroyed");
    destroy(self);
  }
  return static_cast<ULONG>(left);
}

LPWSTR taskCopy(const std::wstring& text) {
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy) std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// Settings: slots 10 put_IsStatusBarEnabled, 14 put_AreDefaultContextMenusEnabled.
ULONG STDMETHODCALLTYPE settingsRelease(Settings* self) {
  return releaseObject<Settings>(self, [](Settings* s) { delete s; });
}
HRESULT STDMETHODCALLTYPE settingsPutStatusBar(Settings*, BOOL value) {
  logLine("settings.put_IsStatusBarEnabled " + std::to_string(value));
  return S_OK;
}
HRESULT STDMETHODCALLTYPE settingsPutContextMenus(Settings*, BOOL value) {
  logLine("settings.put_AreDefaultContextMenusEnabled " + std::to_string(value));
  return S_OK;
}
const Table& settingsTable() {
  static const Table table = [] {
    Table t = trapTable(std::make_index_sequence<21>(), 21);
    t[0] = reinterpret_cast<void*>(&queryInterface);
    t[1] = reinterpret_cast<void*>(&addRef);
    t[2] = reinterpret_cast<void*>(&settingsRelease);
    t[10] = reinterpret_cast<void*>(&settingsPutStatusBar);
    t[14] = reinterpret_cast<void*>(&settingsPutContextMenus);
    return t;
  }();
  return table;
}

// Event args: slots 3 get_Source, 4 get_WebMessageAsJson, 5 TryGetWebMessageAsString.
ULONG STDMETHODCALLTYPE argsRelease(Args* self) {
  return releaseObject<Args>(self, [](Args* a) { delete a; });
}
HRESULT STDMETHODCALLTYPE argsGetSource(Args* self, LPWSTR* out) {
  logLine("args.get_Source");
  *out = taskCopy(self->source);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE argsGetJson(Args* self, LPWSTR* out) {
  logLine("args.get_WebMessageAsJson");
  *out = taskCopy(self->json);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE argsTryGetString(Args* self, LPWSTR* out) {
  logLine("args.TryGetWebMessageAsString");
  *out = nullptr;
  if (self->json.empty() || self->json[0] != L'"') return E_INVALIDARG;
  *out = taskCopy(self->json.substr(1, self->json.size() - 2));
  return S_OK;
}
const Table& argsTable() {
  static const Table table = [] {
    Table t = trapTable(std::make_index_sequence<6>(), 6);
    t[0] = reinterpret_cast<void*>(&queryInterface);
    t[1] = reinterpret_cast<void*>(&addRef);
    t[2] = reinterpret_cast<void*>(&argsRelease);
    t[3] = reinterpret_cast<void*>(&argsGetSource);
    t[4] = reinterpret_cast<void*>(&argsGetJson);
    t[5] = reinterpret_cast<void*>(&argsTryGetString);
    return t;
  }();
  return table;
}

// View: slots 3 get_Settings, 5 Navigate, 32 PostWebMessageAsJson, 34/35 the message event.
std::set<View*> g_liveViews;

void destroyView(View* view) {
  g_liveViews.erase(view);
  for (void* handler : view->messageHandlers) {
    logLine("view released message handler -> " + std::to_string(appRelease(handler)));
  }
  settingsRelease(view->settings);
  delete view;
}
ULONG STDMETHODCALLTYPE viewRelease(View* self) {
  return releaseObject<View>(self, destroyView);
}
HRESULT STDMETHODCALLTYPE viewGetSettings(View* self, Object** out) {
  logLine("view.get_Settings");
  addRef(self->settings);
  *out = self->settings;
  return S_OK;
}
void injectPending(View* view);
HRESULT STDMETHODCALLTYPE viewNavigate(View* self, LPCWSTR uri) {
  logLine("view.Navigate " + narrow(uri));
  self->url = uri ? uri : L"";
  if (IsWindow(self->surface)) {
    SetWindowTextW(self->surface, (L"Stand-in web view\r\n" + self->url).c_str());
  }
  // Page messages can arrive from now on; the test drops them into inject.txt.
  later([self] { injectPending(self); });
  return S_OK;
}
HRESULT STDMETHODCALLTYPE viewPostJson(View* self, LPCWSTR json) {
  logLine("view.PostWebMessageAsJson " + narrow(json));
  if (IsWindow(self->surface)) {
    SetWindowTextW(self->surface,
                   (L"Stand-in web view\r\n" + self->url + L"\r\n\r\nlast reply:\r\n" +
                    std::wstring(json ? json : L"").substr(0, 400))
                       .c_str());
  }
  return S_OK;
}
HRESULT STDMETHODCALLTYPE viewAddMessageHandler(View* self, void* handler, INT64* token) {
  logLine("view.add_WebMessageReceived");
  probeHandler(handler, "messageHandler", IID_MESSAGE_HANDLER);
  appAddRef(handler);
  self->messageHandlers.push_back(handler);
  if (token) *token = static_cast<INT64>(self->messageHandlers.size());
  return S_OK;
}
HRESULT STDMETHODCALLTYPE viewRemoveMessageHandler(View*, INT64 token) {
  logLine("view.remove_WebMessageReceived " + std::to_string(token));
  return S_OK;
}
const Table& viewTable() {
  static const Table table = [] {
    Table t = trapTable(std::make_index_sequence<61>(), 61);
    t[0] = reinterpret_cast<void*>(&queryInterface);
    t[1] = reinterpret_cast<void*>(&addRef);
    t[2] = reinterpret_cast<void*>(&viewRelease);
    t[3] = reinterpret_cast<void*>(&viewGetSettings);
    t[5] = reinterpret_cast<void*>(&viewNavigate);
    t[32] = reinterpret_cast<void*>(&viewPostJson);
    t[34] = reinterpret_cast<void*>(&viewAddMessageHandler);
    t[35] = reinterpret_cast<void*>(&viewRemoveMessageHandler);
    return t;
  }();
  return table;
}

void injectPending(View* view) {
  const std::wstring path = standinDir() + L"\\inject.txt";
  const std::wstring taken = standinDir() + L"\\inject.taken";
  if (!g_liveViews.count(view)) return;
  if (MoveFileExW(path.c_str(), taken.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    std::string text;
    if (FILE* file = _wfopen(taken.c_str(), L"rb")) {
      char buffer[4096];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, n);
      }
      std::fclose(file);
    }
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      start = end + 1;
      if (line.empty()) continue;
      logLine("inject " + line);
      for (void* handler : std::vector<void*>(view->messageHandlers)) {
        auto* args = new Args{{argsTable().data(), 1, "args", IID_ARGS}, widen(line), view->url};
        const HRESULT result =
            callSlot<HRESULT>(handler, 3, static_cast<void*>(view), static_cast<void*>(args));
        logLine("messageHandler.Invoke -> " + hex(result));
        argsRelease(args);
      }
    }
  }
  // A handler may have closed the window; look again only while the view lives.
  if (g_liveViews.count(view)) later([view] { injectPending(view); }, 50);
}

// Controller: slots 6 put_Bounds, 24 Close, 25 get_CoreWebView2.
void destroyController(Controller* controller) {
  if (IsWindow(controller->view->surface)) DestroyWindow(controller->view->surface);
  viewRelease(controller->view);
  delete controller;
}
ULONG STDMETHODCALLTYPE controllerRelease(Controller* self) {
  return releaseObject<Controller>(self, destroyController);
}
HRESULT STDMETHODCALLTYPE controllerPutBounds(Controller* self, RECT bounds) {
  logLine("controller.put_Bounds " + std::to_string(bounds.left) + " " +
          std::to_string(bounds.top) + " " + std::to_string(bounds.right) + " " +
          std::to_string(bounds.bottom));
  if (IsWindow(self->view->surface)) {
    MoveWindow(self->view->surface, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, TRUE);
  }
  return S_OK;
}
HRESULT STDMETHODCALLTYPE controllerClose(Controller*) {
  logLine("controller.Close");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE controllerGetView(Controller* self, Object** out) {
  logLine("controller.get_CoreWebView2");
  const HRESULT forced = configuredResult(L"VELMORA_STANDIN_VIEW_RESULT");
  if (FAILED(forced)) {
    *out = nullptr;
    return forced;
  }
  addRef(self->view);
  *out = self->view;
  return S_OK;
}
const Table& controllerTable() {
  static const Table table = [] {
    Table t = trapTable(std::make_index_sequence<26>(), 26);
    t[0] = reinterpret_cast<void*>(&queryInterface);
    t[1] = reinterpret_cast<void*>(&addRef);
    t[2] = reinterpret_cast<void*>(&controllerRelease);
    t[6] = reinterpret_cast<void*>(&controllerPutBounds);
    t[24] = reinterpret_cast<void*>(&controllerClose);
    t[25] = reinterpret_cast<void*>(&controllerGetView);
    return t;
  }();
  return table;
}

// Environment: slot 3 CreateCoreWebView2Controller.
ULONG STDMETHODCALLTYPE environmentRelease(Environment* self) {
  return releaseObject<Environment>(self, [](Environment* e) { delete e; });
}
HRESULT STDMETHODCALLTYPE environmentCreateController(Environment*, HWND parent, void* handler) {
  logLine(std::string("environment.CreateCoreWebView2Controller parentIsWindow=") +
          (IsWindow(parent) ? "1" : "0"));
  probeHandler(handler, "controllerHandler", IID_CONTROLLER_HANDLER);
  // Refused at once: the handler is never called.
  const HRESULT refused = configuredResult(L"VELMORA_STANDIN_REFUSE_CONTROLLER");
  if (FAILED(refused)) return refused;
  // The real runtime hosts its own child window in the parent before returning.
  HWND surface = CreateWindowExW(0, L"STATIC", L"Stand-in web view", WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                 0, parent, nullptr, nullptr, nullptr);
  appAddRef(handler);
  deliverLater(L"controller", [parent, handler, surface] {
    const HRESULT result = configuredResult(L"VELMORA_STANDIN_CONTROLLER_RESULT");
    Controller* controller = nullptr;
    if (SUCCEEDED(result)) {
      auto* settings = new Settings{{settingsTable().data(), 1, "settings", IID_SETTINGS}};
      auto* view = new View{{viewTable().data(), 1, "view", IID_VIEW}, settings, {}, {}, surface};
      g_liveViews.insert(view);
      controller =
          new Controller{{controllerTable().data(), 1, "controller", IID_CONTROLLER}, view, parent};
    } else if (IsWindow(surface)) {
      DestroyWindow(surface);
    }
    const HRESULT answer = callSlot<HRESULT>(handler, 3, result, static_cast<void*>(controller));
    logLine("controllerHandler.Invoke " + hex(result) + " -> " + hex(answer));
    if (controller) controllerRelease(controller);
    logLine("controllerHandler.Release -> " + std::to_string(appRelease(handler)));
  });
  return S_OK;
}
const Table& environmentTable() {
  static const Table table = [] {
    Table t = trapTable(std::make_index_sequence<8>(), 8);
    t[0] = reinterpret_cast<void*>(&queryInterface);
    t[1] = reinterpret_cast<void*>(&addRef);
    t[2] = reinterpret_cast<void*>(&environmentRelease);
    t[3] = reinterpret_cast<void*>(&environmentCreateController);
    return t;
  }();
  return table;
}

const char* apartment() {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (FAILED(CoGetApartmentType(&type, &qualifier))) return "none";
  return type == APTTYPE_STA || type == APTTYPE_MAINSTA ? "STA" : "other";
}

HRESULT startEnvironment(const std::string& call, PCWSTR userDataFolder, void* handler) {
  g_uiThread = GetCurrentThreadId();
  const DWORD attributes = userDataFolder ? GetFileAttributesW(userDataFolder) : 0;
  logLine(call + " userDataFolder=" + narrow(userDataFolder) + " userDataExists=" +
          (userDataFolder && attributes != INVALID_FILE_ATTRIBUTES ? "1" : "0") +
          " apartment=" + apartment());
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(g_module, module, MAX_PATH);
  logLine(std::string("standin.module ") + narrow(module));
  probeHandler(handler, "environmentHandler", IID_ENVIRONMENT_HANDLER);
  appAddRef(handler);
  deliverLater(L"environment", [handler] {
    const HRESULT result = configuredResult(L"VELMORA_STANDIN_ENVIRONMENT_RESULT");
    Environment* environment =
        SUCCEEDED(result)
            ? new Environment{{environmentTable().data(), 1, "environment", IID_ENVIRONMENT}}
            : nullptr;
    const HRESULT answer = callSlot<HRESULT>(handler, 3, result, static_cast<void*>(environment));
    logLine("environmentHandler.Invoke " + hex(result) + " -> " + hex(answer));
    if (environment) environmentRelease(environment);
    logLine("environmentHandler.Release -> " + std::to_string(appRelease(handler)));
  });
  return S_OK;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    CreateCoreWebView2EnvironmentWithOptions(PCWSTR browserExecutableFolder, PCWSTR userDataFolder,
                                             void* options, void* handler) {
  return startEnvironment(
      std::string("loader.CreateCoreWebView2EnvironmentWithOptions browserFolder=") +
          narrow(browserExecutableFolder) + " options=" + (options ? "set" : "null"),
      userDataFolder, handler);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    CreateWebViewEnvironmentWithOptionsInternal(bool checkRunningInstance, int runtimeType,
                                                PCWSTR userDataFolder, void* options,
                                                void* handler) {
  return startEnvironment(std::string("runtime.CreateWebViewEnvironmentWithOptionsInternal "
                                      "checkRunningInstance=") +
                              (checkRunningInstance ? "1" : "0") +
                              " runtimeType=" + std::to_string(runtimeType) +
                              " options=" + (options ? "set" : "null"),
                          userDataFolder, handler);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    InitializeCriticalSection(&g_logLock);
  }
  return TRUE;
}
