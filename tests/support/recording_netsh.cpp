// Stands in for netsh.exe (and, under the name net.exe, for net.exe) in the tests: changes
// nothing, records what it was asked to do, exits 0.
//   <folder>\commands.txt   one line per run: the program's name and its arguments (UTF-8)
//   <folder>\script-N.dat   for "netsh -f <file>": the file's bytes, unchanged (N = 1, 2, ...)
// The folder is named by TAVI_RECORD_DIR; without it nothing is recorded. A script that
// cannot be read ends the run with exit code 1 and no script file. When TAVI_NETSH_OUTPUT
// names a file, each run writes its bytes to standard output (what netsh would say, in the
// OEM code page).
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "win/handle.h"
#include "win/text_win32.h"

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[32768] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
  return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
  tavi::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  char block[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read > 0)
    bytes.append(block, read);
  return true;
}

bool Write(const std::wstring& path, const std::string& bytes, bool append) {
  tavi::Handle file(::CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0,
                                  nullptr, append ? OPEN_ALWAYS : CREATE_NEW, 0, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

std::wstring ProgramName() {
  std::wstring path = tavi::Utf8ToWide(tavi::ExecutablePath());
  path = path.substr(path.find_last_of(L"\\/") + 1);
  if (path.size() > 4 && ::lstrcmpiW(path.c_str() + path.size() - 4, L".exe") == 0)
    path.resize(path.size() - 4);
  ::CharLowerW(path.data());
  return path;
}

}  // namespace

int main() {
  const std::wstring folder = Environment(L"TAVI_RECORD_DIR");
  if (folder.empty()) return 0;
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!arguments) return 1;
  std::wstring line = ProgramName();
  for (int i = 1; i < count; ++i)
    line += L" " + std::wstring(arguments[i]);
  const bool script = count == 3 && ::lstrcmpiW(arguments[1], L"-f") == 0;
  const std::wstring scriptPath = script ? arguments[2] : L"";
  ::LocalFree(arguments);

  // Several runs may record at once; the append and the create-new keep each one whole.
  Write(folder + L"\\commands.txt", tavi::WideToUtf8(line) + "\r\n", true);
  std::string said;
  const std::wstring output = Environment(L"TAVI_NETSH_OUTPUT");
  if (!output.empty() && ReadAll(output, said)) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), said.data(), static_cast<DWORD>(said.size()),
                &written, nullptr);
  }
  if (!script) return 0;
  std::string bytes;
  if (!ReadAll(scriptPath, bytes)) return 1;
  for (int n = 1;; ++n) {
    if (Write(folder + L"\\script-" + std::to_wstring(n) + L".dat", bytes, false)) return 0;
    if (::GetLastError() != ERROR_FILE_EXISTS) return 1;
  }
}
