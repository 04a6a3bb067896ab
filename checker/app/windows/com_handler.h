#pragma once
// Reference counting and QueryInterface for the handler objects we give to WebView2. Each
// handler answers IUnknown and its own interface; WebView2 keeps it alive with AddRef/Release
// for as long as it needs it, and the last Release deletes it.
#include <windows.h>

#include <new>

// Self is the handler type itself, so that the last Release deletes the whole object.
template <class Self, class Interface, const IID& OwnIid>
struct ComHandler : Interface {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, OwnIid)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs);
    if (left == 0) delete static_cast<Self*>(this);
    return static_cast<ULONG>(left);
  }

 protected:
  LONG refs = 1;
};

// Runs the body of a handler's Invoke and turns whatever it throws into an HRESULT: no C++
// exception may unwind into the runtime's frames that called us.
template <class Body>
HRESULT guardedInvoke(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
