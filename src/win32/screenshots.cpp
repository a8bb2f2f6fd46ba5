#include "win32/screenshots.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cwctype>

#include "win32/png_capture.h"
#include "win32/window_text.h"

namespace tlx::win32 {
namespace {

bool Shows(HWND control) {
  return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool HalfwayOrMore(HWND bar) {
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const auto value = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
  return value - range.iLow >= (range.iHigh - range.iLow) / 2;
}

// The name of the state the window shows, or empty while it shows none of them.
std::string WindowStateName(const MainWindow& window) {
  if (!IsWindowVisible(window.Handle())) return {};
  if (Shows(window.ProgressBar())) return "flashing";
  if (Shows(window.Button(kFlashDevice))) return "ready";
  if (Shows(window.Button(kOk))) return "complete";
  if (Shows(window.Button(kFindDevice))) return "idle";
  return {};
}

// "Verify Failure!" becomes "verify-failure".
std::string Slug(const std::wstring& text) {
  std::string slug;
  for (const wchar_t c : text) {
    if (c < 128 && std::iswalnum(c) != 0)
      slug += static_cast<char>(std::towlower(c));
    else if (!slug.empty() && slug.back() != '-')
      slug += '-';
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return slug;
}

}  // namespace

Screenshots::Screenshots(MainWindow& window, std::filesystem::path directory)
    : window_(window), directory_(std::move(directory)) {
  std::error_code ignored;
  std::filesystem::create_directories(directory_, ignored);
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
}

Screenshots::~Screenshots() {
  Gdiplus::GdiplusShutdown(gdiplus_);
}

void Screenshots::Settled() {
  const std::string state = WindowStateName(window_);
  if (state.empty()) return;
  if (state != lastState_) {
    lastState_ = state;
    Save(window_.Handle(), state);
  } else if (state == "flashing" && !HalfwayOrMore(window_.ProgressBar())) {
    // Keep the flashing picture moving until the bar is half full: it shows best there.
    Write(window_.Handle());
  }
}

void Screenshots::MessageBoxShown(HWND box) {
  Save(box, "message-" + Slug(TextOf(box)));
  // A box interrupts the state: show the state again when the window returns to it.
  lastState_.clear();
}

void Screenshots::Save(HWND window, const std::string& what) {
  char number[8];
  std::snprintf(number, sizeof number, "%02d-", ++taken_);
  lastFile_ = directory_ / (number + what + ".png");
  Write(window);
}

void Screenshots::Write(HWND window) const {
  if (!SaveWindowPng(window, lastFile_))
    std::fprintf(stderr, "Could not save the screenshot %s.\n", lastFile_.string().c_str());
}

}  // namespace tlx::win32
