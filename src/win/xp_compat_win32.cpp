// Keeps tavi.exe loadable on Windows XP. MinGW's thread library (pulled in by exception
// handling and thread-safe statics) imports GetTickCount64, which XP's kernel32 lacks, and
// a missing import stops the program before it starts. This file fills the import slot
// itself: the system's function where there is one, a wrap-counting GetTickCount otherwise.
// It must be linked as an object into the executable, ahead of the runtime libraries.
#include <windows.h>

namespace {

using TickFunction = ULONGLONG(WINAPI*)();

// The replacement's state is the file's: an import slot hangs off no object, and
// function-local statics would need their guards, the very runtime code that calls us.
TickFunction systemTickCount64 = nullptr;
volatile LONG looked = 0;
volatile LONG lastLow = 0;
volatile LONG wraps = 0;

ULONGLONG WINAPI TickCount64() {
  if (!looked) {
    // Every thread finds the same answer, so a race here is harmless.
    systemTickCount64 = reinterpret_cast<TickFunction>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    ::InterlockedExchange(&looked, 1);
  }
  if (systemTickCount64) return systemTickCount64();

  // The high half counts the wraps of the 32-bit tick count; callers only measure timeouts.
  const DWORD now = ::GetTickCount();
  const LONG previous = ::InterlockedExchange(&lastLow, static_cast<LONG>(now));
  if (now < static_cast<DWORD>(previous)) ::InterlockedIncrement(&wraps);
  return (static_cast<ULONGLONG>(static_cast<DWORD>(wraps)) << 32) | now;
}

}  // namespace

extern "C" {
#if defined(__i386__)
// 32-bit import slots carry the stdcall decoration.
ULONGLONG(WINAPI* _imp__GetTickCount64_0)() __asm__("__imp__GetTickCount64@0") = TickCount64;
#else
ULONGLONG(WINAPI* __imp_GetTickCount64)() = TickCount64;
#endif
}
