#include "usb/ftdi_d2xx.h"

namespace tlx::usb {

FtdiD2xx::FtdiD2xx(std::filesystem::path sysfsDevices)
    : D2xxAdapter(std::make_unique<LibftdiBus>(std::move(sysfsDevices)),
                  std::make_unique<SteadyClock>()) {}

}  // namespace tlx::usb
