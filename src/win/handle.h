// Move-only owners for Windows handles: one template, one traits struct per kind of handle.
#pragma once

#include <windows.h>

#include <utility>

namespace tavi {

template <typename Traits>
class UniqueHandle {
 public:
  using handle_type = typename Traits::handle_type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  handle_type get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return Traits::IsValid(h_); }

  handle_type release() noexcept { return std::exchange(h_, Traits::Invalid()); }

  void reset(handle_type h = Traits::Invalid()) noexcept {
    handle_type old = std::exchange(h_, h);
    if (Traits::IsValid(old)) Traits::Close(old);
  }

  // For APIs that return the handle through an out parameter; closes what was held.
  handle_type* put() noexcept {
    reset();
    return &h_;
  }

 private:
  handle_type h_ = Traits::Invalid();
};

// Kernel objects: processes, threads, pipes, files, events. Both null and
// INVALID_HANDLE_VALUE mean "nothing", as different kernel32 calls use either.
struct KernelHandleTraits {
  using handle_type = HANDLE;
  static HANDLE Invalid() noexcept { return nullptr; }
  static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using Handle = UniqueHandle<KernelHandleTraits>;

struct FindHandleTraits {
  using handle_type = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// Handles for which null means "nothing", closed by one function.
template <typename T, auto CloseFunction>
struct NullableHandleTraits {
  using handle_type = T;
  static T Invalid() noexcept { return T{}; }
  static bool IsValid(T h) noexcept { return h != T{}; }
  static void Close(T h) noexcept { CloseFunction(h); }
};

using RegKey = UniqueHandle<NullableHandleTraits<HKEY, &::RegCloseKey>>;
using Font = UniqueHandle<NullableHandleTraits<HFONT, &::DeleteObject>>;
using MemoryDc = UniqueHandle<NullableHandleTraits<HDC, &::DeleteDC>>;
using Brush = UniqueHandle<NullableHandleTraits<HBRUSH, &::DeleteObject>>;
using Bitmap = UniqueHandle<NullableHandleTraits<HBITMAP, &::DeleteObject>>;
using Window = UniqueHandle<NullableHandleTraits<HWND, &::DestroyWindow>>;
using Icon = UniqueHandle<NullableHandleTraits<HICON, &::DestroyIcon>>;
using Hook = UniqueHandle<NullableHandleTraits<HHOOK, &::UnhookWindowsHookEx>>;
using Menu = UniqueHandle<NullableHandleTraits<HMENU, &::DestroyMenu>>;

}  // namespace tavi
