// The one place where the program's UTF-8 text meets the UTF-16 of the W APIs
// and the 8-bit code pages of files and consoles.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavi {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// 8-bit text of a code page (CP_ACP, CP_OEMCP, 949, ...) to and from UTF-8.
std::string CodePageToUtf8(std::string_view bytes, UINT codePage);
std::string Utf8ToCodePage(std::string_view text, UINT codePage);

// True when every character of the text survives a round trip through the code page.
bool FitsCodePage(std::string_view text, UINT codePage);

// Whether two texts are equal letter case aside, as the system compares section names of
// profile files: each character upper-cased by the invariant casing table (Latin, Greek,
// Cyrillic and full-width letters alike; Hangul has no case), then code unit by code unit. A
// linguistic comparison would also equate texts that differ in more than case.
bool SameIgnoringCase(std::string_view a, std::string_view b);
// The text in capitals, as SameIgnoringCase compares it: equal keys for names it takes as one.
std::wstring UpperInvariant(std::string_view text);

std::string GetWindowTextUtf8(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// Full path of the running executable (no length limit).
std::string ExecutablePath();

}  // namespace tavi
