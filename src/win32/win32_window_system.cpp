#include "win32/win32_window_system.h"

#include <commctrl.h>

#include "app/window_texts.h"
#include "win32/file_dialog.h"
#include "win32/window_text.h"

namespace tlx::win32 {
namespace {

// The logic's box styles are Windows' own bits, passed to MessageBoxW as they are.
static_assert(kStyleOkOnly == MB_OK);
static_assert(kStyleStopIcon == MB_ICONSTOP);
static_assert(kStyleSystemModal == MB_SYSTEMMODAL);

constexpr UINT kBoxPollMs = 20;
constexpr int kBoxPollAttempts = 500;

struct BoxSearch {
  const std::wstring& title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM search) {
  auto& wanted = *reinterpret_cast<BoxSearch*>(search);
  wchar_t className[16]{};
  GetClassNameW(window, className, 16);
  if (std::wstring_view(className) != L"#32770" || !IsWindowVisible(window) ||
      TextOf(window) != wanted.title)
    return TRUE;
  wanted.found = window;
  return FALSE;
}

}  // namespace

HWND FindMessageBox(const std::wstring& title) {
  BoxSearch search{title};
  EnumThreadWindows(GetCurrentThreadId(), &MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Deliver(HWND window, MSG& message) {
  if (window != nullptr && IsDialogMessageW(window, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

Win32WindowSystem::Win32WindowSystem(MainWindow& window) : window_(window) {}

void Win32WindowSystem::SetCaption(const std::string& text) {
  SetWindowTextW(window_.Handle(), Wide(text).c_str());
}

void Win32WindowSystem::SetButtonVisible(int index, bool visible) {
  if (index >= 0 && index < kButtonCount)
    ShowWindow(window_.Button(index), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32WindowSystem::SetLabelCaption(Label label, const std::string& text) {
  HWND target = label == Label::StatusText ? window_.StatusText() : window_.DeviceName();
  SetWindowTextW(target, Wide(text).c_str());
}

void Win32WindowSystem::SetProgressVisible(bool visible) {
  ShowWindow(window_.ProgressBar(), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32WindowSystem::SetProgressMax(int maximum) {
  SendMessageW(window_.ProgressBar(), PBM_SETRANGE32, 0, maximum);
}

void Win32WindowSystem::SetProgressValue(int value) {
  SendMessageW(window_.ProgressBar(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void Win32WindowSystem::SetMenuEnabled(bool enabled) {
  window_.SetMenuEnabled(enabled);
}

bool Win32WindowSystem::MenuChecked(MenuItem item) const {
  return window_.MenuChecked(item);
}

void Win32WindowSystem::SetMenuChecked(MenuItem item, bool checked) {
  window_.SetMenuChecked(item, checked);
}

void Win32WindowSystem::MsgBox(const std::string& text, const std::optional<std::string>& title,
                               int style) {
  Settle();
  const std::wstring caption = Wide(title.value_or(kApplicationTitle));
  HWND owner = IsWindowVisible(window_.Handle()) ? window_.Handle() : nullptr;
  if (!watchers_.empty()) WatchForBox(caption, kBoxPollAttempts);
  boxOpen_ = true;
  MessageBoxW(owner, Wide(text).c_str(), caption.c_str(), static_cast<UINT>(style));
  boxOpen_ = false;
}

void Win32WindowSystem::WatchForBox(const std::wstring& title, int attemptsLeft) {
  window_.After(kBoxPollMs, [this, title, attemptsLeft] {
    if (!boxOpen_) return;
    if (HWND box = FindMessageBox(title)) {
      for (WindowWatcher* watcher : watchers_) watcher->MessageBoxShown(box);
    } else if (attemptsLeft > 1) {
      WatchForBox(title, attemptsLeft - 1);
    }
  });
}

bool Win32WindowSystem::ShowOpen(FileOpenDialog& dialog) {
  return ShowOpenDialog(IsWindowVisible(window_.Handle()) ? window_.Handle() : nullptr, dialog);
}

void Win32WindowSystem::DoEvents() {
  Settle();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the main loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Deliver(window_.Handle(), message);
  }
}

void Win32WindowSystem::Show() {
  ShowWindow(window_.Handle(), SW_SHOW);
  ::UpdateWindow(window_.Handle());
}

void Win32WindowSystem::Unload() {
  ShowWindow(window_.Handle(), SW_HIDE);
}

void Win32WindowSystem::End() {
  endRequested_ = true;
}

void Win32WindowSystem::Settle() {
  for (WindowWatcher* watcher : watchers_) watcher->Settled();
}

}  // namespace tlx::win32
