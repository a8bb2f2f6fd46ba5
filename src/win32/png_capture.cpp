#include "win32/png_capture.h"

#include <gdiplus.h>

namespace tlx::win32 {
namespace {

// GDI+'s PNG encoder, the same in every version of it.
const CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

constexpr DWORD kDisplayFlushMs = 60;

// The window as it shows on the screen, copied into a bitmap of its own size; null when that
// failed. A copy of the screen rather than PrintWindow: Wine's PrintWindow draws neither the
// frame nor the controls. The window must be on top, as the windows of a run are.
HBITMAP DrawWindow(HWND window) {
  RECT frame;
  if (!GetWindowRect(window, &frame)) return nullptr;
  RedrawWindow(window, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Wine hands what was drawn to the display when the thread next looks at its queue, at most
  // every 50 ms.
  Sleep(kDisplayFlushMs);
  MSG none;
  PeekMessageW(&none, nullptr, 0, 0, PM_NOREMOVE);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap =
      CreateCompatibleBitmap(screen, frame.right - frame.left, frame.bottom - frame.top);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool drawn = BitBlt(memory, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                            screen, frame.left, frame.top, SRCCOPY | CAPTUREBLT) != 0;
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (drawn) return bitmap;
  DeleteObject(bitmap);
  return nullptr;
}

}  // namespace

bool SaveWindowPng(HWND window, const std::filesystem::path& file) {
  HBITMAP bitmap = DrawWindow(window);
  if (bitmap == nullptr) return false;
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    saved = image.Save(file.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
  }
  DeleteObject(bitmap);
  return saved;
}

}  // namespace tlx::win32
