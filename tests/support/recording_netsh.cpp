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

#include "win/files_win32.h"
#include "win/handle.h"
#include "win/text_win32.h"

namespace {

std::string Environment(const wchar_t* name) {
  wchar_t value[32768] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
  return length > 0 && length < 32768 ? tavi::WideToUtf8({value, length}) : std::string();
}

bool Write(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Several runs may record at once; the append and the create-new keep each one whole.
bool Write(const std::string& path, const std::string& bytes, bool append) {
  tavi::Handle file(::CreateFileW(tavi::Utf8ToWide(path).c_str(),
                                  append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                                  append ? OPEN_ALWAYS : CREATE_NEW, 0, nullptr));
  return file && Write(file.get(), bytes);
}

}  // namespace

int main() {
  const std::string folder = Environment(L"TAVI_RECORD_DIR");
  if (folder.empty()) return 0;
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!arguments) return 1;
  // The program's name, lower case, without its folder and ".exe".
  std::wstring line = tavi::Utf8ToWide(tavi::ExecutablePath());
  line = line.substr(line.find_last_of(L"\\/") + 1);
  ::CharLowerW(line.data());
  if (line.ends_with(L".exe")) line.resize(line.size() - 4);
  for (int i = 1; i < count; ++i)
    line += L" " + std::wstring(arguments[i]);
  const bool script = count == 3 && ::lstrcmpiW(arguments[1], L"-f") == 0;
  const std::string scriptPath = script ? tavi::WideToUtf8(arguments[2]) : "";
  ::LocalFree(arguments);

  Write(folder + "\\commands.txt", tavi::WideToUtf8(line) + "\r\n", true);
  if (const auto said = tavi::ReadWholeFile(Environment(L"TAVI_NETSH_OUTPUT"))) {
    Write(::GetStdHandle(STD_OUTPUT_HANDLE), *said);
  }
  if (!script) return 0;
  const auto bytes = tavi::ReadWholeFile(scriptPath);
  if (!bytes) return 1;
  for (int n = 1;; ++n) {
    if (Write(folder + "\\script-" + std::to_string(n) + ".dat", *bytes, false)) return 0;
    if (::GetLastError() != ERROR_FILE_EXISTS) return 1;
  }
}
