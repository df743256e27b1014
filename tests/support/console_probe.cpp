// A console program whose behaviour the console runner's tests choose on the command line:
//   console_probe exit <code>               ends with that exit code
//   console_probe hex <bytes>               writes the bytes (hexadecimal) to standard output
//   console_probe streams <out> <err>       writes one text to standard output, one to error
//   console_probe flood <count> <done-file> writes count bytes of A-Z repeated, then the file
//   console_probe linger <seconds>          writes "pid=<id>\r\n", then sleeps
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

bool Write(HANDLE target, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(target, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const unsigned long number = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
  if (mode == "exit" && argc == 3) ::ExitProcess(static_cast<UINT>(number));
  if (mode == "hex" && argc == 3) {
    std::string bytes;
    for (const char* hex = argv[2]; hex[0] && hex[1]; hex += 2)
      bytes += static_cast<char>(std::strtoul(std::string(hex, 2).c_str(), nullptr, 16));
    return Write(out, bytes) ? 0 : 1;
  }
  if (mode == "streams" && argc == 4) {
    Write(::GetStdHandle(STD_ERROR_HANDLE), argv[3]);
    return Write(out, argv[2]) ? 0 : 1;
  }
  if (mode == "flood" && argc == 4) {
    std::string block(4096 / 26 * 26, '\0');  // whole periods, so every block starts with A
    for (size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<char>('A' + i % 26);
    for (size_t done = 0; done < number; done += block.size())
      if (!Write(out, block.substr(0, number - done))) return 1;
    HANDLE file = ::CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return file != INVALID_HANDLE_VALUE && ::CloseHandle(file) ? 0 : 1;
  }
  if (mode == "linger" && argc == 3) {
    Write(out, "pid=" + std::to_string(::GetCurrentProcessId()) + "\r\n");
    ::Sleep(static_cast<DWORD>(number) * 1000);
    return 0;
  }
  Write(::GetStdHandle(STD_ERROR_HANDLE), "console_probe: unknown arguments\r\n");
  return 2;
}
