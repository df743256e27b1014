// The yardstick of tools/bench-startup: the least program that does what a user waits for
// when Tavi starts. It runs "ipconfig /all" as Tavi does (in a hidden console of its own, its
// output through a pipe), makes a window with a list box meanwhile, lists the first connection
// that the listing names, and shows the window. Linked like tavi.exe (static runtime, same
// options); its list box has the place list's control id, so the bench looks at both windows the
// same way.
#include <windows.h>

#include <string>

#include "app/main_layout.h"
#include "win/handle.h"

namespace {

constexpr wchar_t kClass[] = L"TaviStartupFloor";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A started "ipconfig /all" and the read end of its output.
struct Listing {
  tavi::Handle process;
  tavi::Handle readEnd;
};

Listing StartIpconfig() {
  Listing listing;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  tavi::Handle writeEnd;
  if (!::CreatePipe(listing.readEnd.put(), writeEnd.put(), &inheritable, 64 * 1024)) return {};
  ::SetHandleInformation(listing.readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.get();
  wchar_t command[] = L"ipconfig /all";
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started)) {
    return {};
  }
  const tavi::Handle thread(started.hThread);
  listing.process.reset(started.hProcess);
  return listing;
}

// The listing's first connection: the name after "adapter" on a line of its own that ends
// with a colon ("Ethernet adapter LAN:", "이더넷 어댑터 로컬 영역 연결:").
std::wstring FirstConnection(Listing listing) {
  std::string bytes;
  char block[4096];
  DWORD read = 0;
  while (::ReadFile(listing.readEnd.get(), block, sizeof block, &read, nullptr) && read > 0)
    bytes.append(block, read);
  ::WaitForSingleObject(listing.process.get(), INFINITE);
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), text.data(),
                                                        static_cast<int>(text.size()))));
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 2;
    if (line.empty() || line[0] == L' ' || line.back() != L':') continue;
    for (const wchar_t* word : {L"adapter ", L"어댑터 "}) {
      const size_t at = line.find(word);
      if (at != std::wstring::npos) {
        const size_t name = at + std::char_traits<wchar_t>::length(word);
        return line.substr(name, line.size() - 1 - name);
      }
    }
  }
  return {};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  Listing listing = StartIpconfig();
  const WNDCLASSW windowClass{0,
                              WindowProc,
                              0,
                              0,
                              instance,
                              nullptr,
                              ::LoadCursorW(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                              nullptr,
                              kClass};
  if (!::RegisterClassW(&windowClass)) return 1;
  const HWND window =
      ::CreateWindowExW(0, kClass, L"Tavi", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                        CW_USEDEFAULT, 480, 360, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  const HWND list = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 8, 8,
      200, 300, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(tavi::ControlId::listboxPlace)), instance,
      nullptr);
  const std::wstring connection = FirstConnection(std::move(listing));
  ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(connection.c_str()));
  ::ShowWindow(window, showCommand);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
