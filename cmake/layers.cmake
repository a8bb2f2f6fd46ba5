# Which folder's code may include which: the one table of the layers. The build reads it to
# give each library the narrowest include scope the table allows (cmake/TlxTargets.cmake), and
# the layering test reads it to refuse any include that breaks it (cmake/check_layers.cmake).
#
# tlx_layer(FOLDER  "folders of our own it may include"  "third-party headers it may include")
# Third-party headers are named by the start of their include path; a folder may always
# include its own headers and the standard library.
tlx_layer(src/common   ""                                      "windows.h")
tlx_layer(src/link     "common"                                "")
tlx_layer(src/image    "common"                                "")
tlx_layer(src/flash    "common link"                           "")
tlx_layer(src/digest   ""                                      "nettle/ windows.h bcrypt.h")
tlx_layer(src/app      "common link image flash digest"        "")
tlx_layer(src/process  "common link image flash app"           "")
tlx_layer(src/terminal "common link image flash app"           "nlohmann/ windows.h")
tlx_layer(src/sim      "common link"                           "nlohmann/")
tlx_layer(src/usb      "common link"                           "ftdi.h libusb.h")
tlx_layer(src/emulate  "common link sim"                       "umockdev")
tlx_layer(src/windows  "common link image flash app"           "windows.h")
tlx_layer(src/ui       "common link image flash app"           "Q")
tlx_layer(src/win32    "common link image flash app windows"         "windows.h commctrl.h commdlg.h gdiplus.h")
tlx_layer(apps/options "common link image flash app process sim ui" "CLI/")
tlx_layer(apps/tambrelux-updater     "common link app process ui usb options" "Q")
tlx_layer(apps/tambrelux-updater-sim "common link app process ui sim options"  "Q")
tlx_layer(apps/tlx-update "common link image flash app process terminal sim usb windows options" "CLI/")
tlx_layer(apps/tlx-emulate "common link sim emulate options" "CLI/")
tlx_layer(apps/ftd2xx-sim "common link sim options windows"  "windows.h CLI/")
tlx_layer(apps/tambrelux-updater-win "common link app win32 windows options" "windows.h CLI/")
tlx_layer(apps/tlx-fwu    "common image windows"            "CLI/")

# Every third-party header family a layer could name; one not granted to a folder above is
# refused there.
set(TLX_THIRD_PARTY_HEADERS Q ftdi.h libusb.h windows.h bcrypt.h commctrl.h commdlg.h gdiplus.h
    CLI/ nlohmann/ nettle/ umockdev gtest/ gmock/ benchmark/)
