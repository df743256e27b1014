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
  EXPECT_EQ(owner.release(), b);
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpen(b));
  ::CloseHandle(b);

  Handle invalid(INVALID_HANDLE_VALUE);  // CreateFile's failure value is no handle
  EXPECT_FALSE(invalid);
  WIN32_FIND_DATAW data;
  EXPECT_FALSE(FindHandle(::FindFirstFileW(L"Z:\\no\\such\\folder\\*", &data)));
}

}  // namespace
}  // namespace tavi
