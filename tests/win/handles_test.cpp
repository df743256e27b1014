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
  auto event = [] { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); };
  const HANDLE raw = event(), a = event(), b = event();
  ASSERT_TRUE(raw && a && b);
  {
    Handle first(raw);
    Handle second(std::move(first));
    Handle third;
    third = std::move(second);
    EXPECT_FALSE(first || second);
    EXPECT_EQ(third.get(), raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  Handle owner(a);
  owner.reset(b);  // closes a, holds b
  EXPECT_FALSE(IsOpen(a));
  EXPECT_EQ(owner.release(), b);
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpen(b) && ::CloseHandle(b));

  EXPECT_FALSE(Handle(INVALID_HANDLE_VALUE));  // CreateFile's failure value is no handle
  WIN32_FIND_DATAW data;
  EXPECT_FALSE(FindHandle(::FindFirstFileW(L"Z:\\no\\such\\folder\\*", &data)));
}

}  // namespace
}  // namespace tavi
