// The move-only handle owner closes exactly once, whoever ends up holding the handle.
#include <gtest/gtest.h>

#include <utility>

#include "win/handle.h"

namespace tavi {
namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return ::GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesOnceAcrossMovesResetsAndRelease) {
  HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    Handle first(raw);
    Handle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    Handle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  HANDLE a = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Handle owner(a);
  owner.reset(b);  // closes a, holds b
  EXPECT_FALSE(IsOpen(a));
  HANDLE released = owner.release();
  EXPECT_EQ(released, b);
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpen(b));
  ::CloseHandle(b);

  Handle invalid(INVALID_HANDLE_VALUE);  // CreateFile's failure value is no handle
  EXPECT_FALSE(invalid);
}

TEST(UniqueHandle, RegistryKeysAndFoundFilesCloseToo) {
  RegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TaviTest\\Handles", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  EXPECT_TRUE(key);
  key.reset();
  EXPECT_FALSE(key);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TaviTest\\Handles");

  WIN32_FIND_DATAW data;
  FindHandle none(::FindFirstFileW(L"Z:\\no\\such\\folder\\*", &data));
  EXPECT_FALSE(none);
}

}  // namespace
}  // namespace tavi
