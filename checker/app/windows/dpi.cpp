// DPI of the system and of a window: GetDpiForSystem / GetDpiForWindow, looked up in user32 at
// run time (GetModuleHandleW, GetProcAddress) so the program still starts where they are absent.
#include "dpi.h"

namespace {

constexpr UINT BASE_DPI = 96;

template <class Function>
Function user32Call(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT systemDpi() {
  using Fn = UINT(WINAPI*)();
  static const Fn call = user32Call<Fn>("GetDpiForSystem");
  const UINT dpi = call ? call() : 0;
  return dpi ? dpi : BASE_DPI;
}

UINT windowDpi(HWND window) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn call = user32Call<Fn>("GetDpiForWindow");
  const UINT dpi = call ? call(window) : 0;
  return dpi ? dpi : systemDpi();
}

int scaledForDpi(int length, UINT dpi) {
  return MulDiv(length, static_cast<int>(dpi), static_cast<int>(BASE_DPI));
}
