#include "win32/main_window.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/window_layout.h"
#include "app/window_texts.h"
#include "win32/resource_ids.h"
#include "win32/window_text.h"

namespace tlx::win32 {
namespace {

// Control and menu identifiers: the buttons by index from kButtonBase.
constexpr int kButtonBase = 100;
constexpr int kPictureId = 200;
constexpr int kProgressId = 201;
constexpr int kDeviceNameId = 202;
constexpr int kStatusTextId = 203;
constexpr int kDefaultItemId = 300;
constexpr int kCustomItemId = 301;

RECT ToRect(const Twips& place) {
  const int left = ToPixels(place.left);
  const int top = ToPixels(place.top);
  return {left, top, left + ToPixels(place.width), top + ToPixels(place.height)};
}

int ItemId(MenuItem item) {
  return item == MenuItem::FWCustom ? kCustomItemId : kDefaultItemId;
}

// The desktop's message font at the fixed pixel size the controls were laid out for.
HFONT MakeFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  metrics.lfMessageFont.lfHeight = -kFontPixels;
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The program's icon at a square size in pixels.
HICON ProgramIcon(HINSTANCE instance, int pixels) {
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(TLX_ICON_PROGRAM), IMAGE_ICON, pixels, pixels, 0));
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hIcon = ProgramIcon(instance, 32);
  windowClass.hIconSm = ProgramIcon(instance, 16);
  RegisterClassExW(&windowClass);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(instance_, &MainWindow::Procedure);
  font_ = MakeFont();
  // A fixed frame: a caption with the system menu and minimise, no resizing, no maximising.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, TRUE, 0);
  window_ = CreateWindowExW(0, kWindowClass, Wide(kApplicationTitle).c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance_, this);
  if (window_ == nullptr)
    throw std::runtime_error("The window could not be created (Windows error " +
                             std::to_string(GetLastError()) + ").");
  BuildMenu();
  BuildControls();
  smallIcon_ = ProgramIcon(instance_, 16);
  largeIcon_ = ProgramIcon(instance_, 32);
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  DeleteObject(font_);
  DeleteObject(board_);
  DestroyIcon(smallIcon_);
  DestroyIcon(largeIcon_);
}

void MainWindow::BuildMenu() {
  HMENU bar = CreateMenu();
  firmwareMenu_ = CreatePopupMenu();
  AppendMenuW(firmwareMenu_, MF_STRING | MF_CHECKED, kDefaultItemId,
              Wide(kDefaultItemCaption).c_str());
  AppendMenuW(firmwareMenu_, MF_STRING, kCustomItemId, Wide(kCustomItemCaption).c_str());
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(firmwareMenu_),
              Wide(kFirmwareMenuCaption).c_str());
  SetMenu(window_, bar);
}

void MainWindow::BuildControls() {
  // Created in tab order: the dialog manager moves the focus in the order of creation.
  AddButton(kOk);
  AddButton(kAbortFlash);
  AddPicture();
  AddButton(kFindDevice);
  AddProgressBar();
  AddButton(kFlashDevice);
  // SS_NOPREFIX: an "&" in a status line is shown, not taken for a shortcut.
  const DWORD line = WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX;
  deviceName_ = AddControl(L"STATIC", L"", line, 0, kDeviceNameId, ToRect(kDeviceNamePlace));
  statusText_ = AddControl(L"STATIC", L"", line, 0, kStatusTextId, ToRect(kStatusTextPlace));
}

HWND MainWindow::AddControl(const wchar_t* className, const wchar_t* text, DWORD style,
                            DWORD exStyle, int id, const RECT& place) {
  HWND control =
      CreateWindowExW(exStyle, className, text, style, place.left, place.top,
                      place.right - place.left, place.bottom - place.top, window_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void MainWindow::AddButton(int index) {
  const DWORD visible = index == kFindDevice ? WS_VISIBLE : 0;
  buttons_[static_cast<std::size_t>(index)] =
      AddControl(L"BUTTON", Wide(kButtonCaptions[static_cast<std::size_t>(index)]).c_str(),
                 WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | visible, 0, kButtonBase + index,
                 ToRect(kButtonPlaces[static_cast<std::size_t>(index)]));
}

void MainWindow::AddPicture() {
  // The sunken edge takes two pixels on each side, which leaves the 160 x 120 picture.
  HWND picture = AddControl(L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE,
                            WS_EX_CLIENTEDGE, kPictureId, ToRect(kPicturePlace));
  board_ = static_cast<HBITMAP>(
      LoadImageW(instance_, MAKEINTRESOURCEW(TLX_BITMAP_BOARD), IMAGE_BITMAP, 0, 0, 0));
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(board_));
}

void MainWindow::AddProgressBar() {
  progressBar_ = AddControl(PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH, 0, kProgressId,
                            ToRect(kProgressPlace));
  SendMessageW(progressBar_, PBM_SETRANGE32, 0, 100);
  HWND toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 window_, nullptr, instance_, nullptr);
  std::wstring tip = Wide(kProgressToolTip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(progressBar_);
  tool.lpszText = tip.data();
  SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::SetMenuEnabled(bool enabled) {
  EnableMenuItem(GetMenu(window_), 0, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

bool MainWindow::MenuChecked(MenuItem item) const {
  return (GetMenuState(firmwareMenu_, ItemId(item), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainWindow::SetMenuChecked(MenuItem item, bool checked) {
  CheckMenuItem(firmwareMenu_, ItemId(item), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::Every(UINT periodMs, std::function<void()> action) {
  timers_[nextTimer_] = {std::move(action), true};
  SetTimer(window_, nextTimer_++, periodMs, nullptr);
}

void MainWindow::After(UINT delayMs, std::function<void()> action) {
  timers_[nextTimer_] = {std::move(action), false};
  SetTimer(window_, nextTimer_++, delayMs, nullptr);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->Receive(message, wParam, lParam);
}

LRESULT MainWindow::Receive(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_CLOSE:
      if (onCloseRequest) onCloseRequest();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id >= kButtonBase && id < kButtonBase + kButtonCount && code == BN_CLICKED) {
    if (onButton) onButton(id - kButtonBase);
  } else if ((id == kDefaultItemId || id == kCustomItemId) && code == 0) {
    if (onMenuItem) onMenuItem(id == kCustomItemId ? MenuItem::FWCustom : MenuItem::FWDefault);
  }
}

void MainWindow::OnTimer(UINT_PTR id) {
  const auto timer = timers_.find(id);
  if (timer == timers_.end()) return;
  // A copy: the action may run the event loop, and this timer's entry may go meanwhile.
  const std::function<void()> action = timer->second.action;
  if (!timer->second.repeat) {
    KillTimer(window_, id);
    timers_.erase(timer);
  }
  action();
}

}  // namespace tlx::win32
