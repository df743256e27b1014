// A console program whose behaviour the console runner's tests choose on the command line:
//   console_probe exit <code>               ends with that exit code
//   console_probe hex <bytes>               writes the bytes (hexadecimal) to standard output
//   console_probe streams <out> <err>       writes one text to standard output, one to error
//   console_probe flood <count> <done-file> writes count bytes of a pattern, then the file
//   console_probe cwd <file>                writes its current folder (UTF-8) into the file
//   console_probe linger <seconds>          writes "pid=<id>\r\n", then sleeps
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Write(HANDLE target, const void* data, DWORD size) {
  DWORD written = 0;
  return ::WriteFile(target, data, size, &written, nullptr) && written == size;
}

bool WriteText(HANDLE target, const std::string& text) {
  return Write(target, text.data(), static_cast<DWORD>(text.size()));
}

bool WriteFileText(const char* path, const std::string& text) {
  HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteText(file, text);
  ::CloseHandle(file);
  return ok;
}

std::string FromHex(const char* hex) {
  std::string bytes;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
    const char pair[3] = {hex[i], hex[i + 1], 0};
    bytes += static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  return bytes;
}

// The same pattern as FloodPattern in the tests: letters whose period divides no block size.
char PatternByte(size_t index) {
  return static_cast<char>('A' + index % 26);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (mode == "exit" && argc == 3) {
    ::ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)));
  }
  if (mode == "hex" && argc == 3) return WriteText(out, FromHex(argv[2])) ? 0 : 1;
  if (mode == "streams" && argc == 4) {
    WriteText(::GetStdHandle(STD_ERROR_HANDLE), argv[3]);
    return WriteText(out, argv[2]) ? 0 : 1;
  }
  if (mode == "flood" && argc == 4) {
    const size_t count = std::strtoul(argv[2], nullptr, 10);
    char block[4096];
    for (size_t done = 0; done < count;) {
      const size_t size = count - done < sizeof block ? count - done : sizeof block;
      for (size_t i = 0; i < size; ++i)
        block[i] = PatternByte(done + i);
      if (!Write(out, block, static_cast<DWORD>(size))) return 1;
      done += size;
    }
    return WriteFileText(argv[3], "done") ? 0 : 1;
  }
  if (mode == "cwd" && argc == 3) {
    wchar_t folder[32768];
    const DWORD length = ::GetCurrentDirectoryW(32768, folder);
    char utf8[3 * 32768];
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, folder, static_cast<int>(length), utf8,
                                           sizeof utf8, nullptr, nullptr);
    return WriteFileText(argv[2], std::string(utf8, size)) ? 0 : 1;
  }
  if (mode == "linger" && argc == 3) {
    WriteText(out, "pid=" + std::to_string(::GetCurrentProcessId()) + "\r\n");
    ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) * 1000);
    return 0;
  }
  WriteText(::GetStdHandle(STD_ERROR_HANDLE), "console_probe: unknown arguments\r\n");
  return 2;
}
