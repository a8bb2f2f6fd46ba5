// Watches the updater window from outside, as a user would see it, for the window tests:
//   window-probe close-while-flashing  waits until the progress bar shows, presses the close
//                                      box, and exits 0 when the window is still there;
//   window-probe box TITLE             waits for the message box with this title and prints
//                                      "box: TITLE | TEXT | icon" (or "no icon");
//   window-probe startup RUNS          starts tambrelux-updater.exe from its own folder RUNS
//                                      times, each until its window is painted, then closes
//                                      it; prints the times (for bench/windows).
// Exit 2: what it waited for never came.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kPollMs = 20;
constexpr int kPolls = 3000;  // a minute

std::wstring TextOf(HWND window) {
  wchar_t text[1024]{};
  GetWindowTextW(window, text, 1024);
  return text;
}

std::string Utf8(const std::wstring& text) {
  char buffer[4096]{};
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

bool Flashing(HWND window) {
  HWND bar = FindWindowExW(window, nullptr, L"msctls_progress32", nullptr);
  return IsWindowVisible(window) && bar != nullptr && IsWindowVisible(bar);
}

int CloseWhileFlashing() {
  for (int i = 0; i < kPolls; ++i, Sleep(kPollMs)) {
    HWND window = FindWindowW(L"TambreluxProUpdater", nullptr);
    if (window == nullptr || !Flashing(window)) continue;
    DWORD_PTR ignored = 0;
    // What the close box does: the system command, which asks the window to close.
    SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, 10000, &ignored);
    const bool stayed = IsWindow(window) && IsWindowVisible(window);
    std::printf("%s\n", stayed ? "The window stayed open while flashing."
                               : "The window closed while flashing.");
    return stayed ? 0 : 1;
  }
  return 2;
}

// Whether the box shows an icon: a visible icon control with an icon set.
BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  wchar_t className[16]{};
  GetClassNameW(child, className, 16);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (std::wstring(className) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0)
    *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

int Box(const std::wstring& title) {
  for (int i = 0; i < kPolls; ++i, Sleep(kPollMs)) {
    HWND box = FindWindowW(L"#32770", title.c_str());
    if (box == nullptr || !IsWindowVisible(box)) continue;
    bool icon = false;
    EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&icon));
    std::printf("box: %s | %s | %s\n", Utf8(title).c_str(),
                Utf8(TextOf(GetDlgItem(box, 0xFFFF))).c_str(), icon ? "icon" : "no icon");
    return 0;
  }
  return 2;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// From the start of the process to its window painted: shown, and its thread back in the
// message loop, which it enters only after the first paint.
double StartOnce(std::wstring program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  LARGE_INTEGER painted;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, program.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  double seconds = -1;
  for (int i = 0; i < kPolls * kPollMs; ++i, Sleep(1)) {
    HWND window = FindWindowW(L"TambreluxProUpdater", nullptr);
    DWORD_PTR ignored = 0;
    if (window == nullptr || !IsWindowVisible(window) ||
        !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
      continue;
    QueryPerformanceCounter(&painted);
    seconds = Seconds(start, painted);
    PostMessageW(window, WM_CLOSE, 0, 0);
    break;
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return seconds;
}

int Startup(int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const double seconds = StartOnce(L"tambrelux-updater.exe");
    if (seconds < 0) return 2;
    times.push_back(seconds * 1000);
    std::printf("run %d: %.0f ms\n", run + 1, times.back());
  }
  std::ranges::sort(times);
  std::printf("median %.0f ms (%.0f to %.0f ms), %d runs\n", times[times.size() / 2], times.front(),
              times.back(), runs);
  return 0;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring command = count > 1 ? arguments[1] : L"";
  if (command == L"close-while-flashing" && count == 2) return CloseWhileFlashing();
  if (command == L"box" && count == 3) return Box(arguments[2]);
  if (command == L"startup" && count == 3) return Startup(std::max(1, _wtoi(arguments[2])));
  std::fprintf(stderr, "usage: window-probe close-while-flashing | box TITLE | startup RUNS\n");
  return 2;
}
