// Where each part of the one window sits, for every face that draws it: positions and sizes in
// twips from the top left of the client area, below the menu bar. 15 twips make one pixel at
// 96 dots per inch.
#pragma once

#include <array>

#include "app/window_system.h"

namespace tlx {

struct Twips {
  int left;
  int top;
  int width;
  int height;
};

// The client area, 5,040 x 4,095 twips.
inline constexpr int kClientWidth = 336;
inline constexpr int kClientHeight = 273;
// The controls have fixed pixel sizes, so the text gets a fixed pixel size too: a large
// desktop font would otherwise cut off the status line.
inline constexpr int kFontPixels = 12;

// The buttons by index; "Find Device" and "Ok!" are centred on the window's middle, "Flash
// Device" and "Abort Flash" stand at equal distance from it, all in one row.
inline constexpr std::array<Twips, kButtonCount> kButtonPlaces{{
    {1613, 3240, 1815, 495},  // "Find Device"
    {773, 3240, 1455, 495},   // "Flash Device"
    {2813, 3240, 1455, 495},  // "Abort Flash"
    {1980, 3240, 1080, 495},  // "Ok!"
}};
inline constexpr Twips kPicturePlace{1290, 360, 2460, 1860};
inline constexpr Twips kProgressPlace{1260, 3270, 2535, 435};
inline constexpr Twips kDeviceNamePlace{540, 2400, 3975, 255};
inline constexpr Twips kStatusTextPlace{525, 2760, 3975, 255};

constexpr int ToPixels(int twips) {
  return (twips + 7) / 15;
}

}  // namespace tlx
