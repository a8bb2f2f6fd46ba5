// FILE, --autopilot and --screenshots DIR: the command line that every window program shares.
#pragma once

#include <CLI/CLI.hpp>

#include "app/window_session_options.h"

namespace tlx::options {

inline void AddWindowOptions(CLI::App& app, WindowSessionOptions& options) {
  app.add_option("FILE", options.givenFile,
                 "The firmware file, read at every \"Find Device\"; its name must end in fwu\n"
                 "(default: as the Firmware Version menu chooses).")
      ->type_name("");
  app.add_flag("--autopilot", options.autopilot,
               "Act as the user: find, flash, confirm, close. Exit 0 on \"Flash Complete!\".");
  app.add_option("--screenshots", options.screenshotDirectory,
                 "Save a PNG of every window state and message box in DIR.")
      ->option_text("DIR");
}

}  // namespace tlx::options
