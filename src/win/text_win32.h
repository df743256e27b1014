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

std::string GetWindowTextUtf8(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// Full path of the running executable (no length limit).
std::string ExecutablePath();

}  // namespace tavi
