// Stands in for ipconfig.exe in the tests: whatever its arguments, writes the bytes of the
// file that TAVI_IPCONFIG_LISTING names to standard output, unchanged (a listing in the OEM
// code page, as the real one prints), and exits 0. Without the variable it prints nothing.
#include <windows.h>

#include <string>

#include "win/handle.h"

int main() {
  wchar_t path[32768] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"TAVI_IPCONFIG_LISTING", path, 32768);
  if (length == 0 || length >= 32768) return 0;
  tavi::Handle file(
      ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return 1;
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  char block[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0) {
    DWORD written = 0;
    if (!::WriteFile(out, block, read, &written, nullptr)) return 1;
  }
  return 0;
}
