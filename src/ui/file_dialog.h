// The window's file-open dialog: the settings of the logic's FileOpenDialog turned into a
// Qt file dialog, and the chosen path handed back.
#pragma once

#include <QString>
#include <string>

#include "app/window_system.h"

class QWidget;

namespace tlx::ui {

// "description|pattern|description|pattern" as Qt's "description (pattern);;...". Patterns
// separated by ";" become Qt's blank-separated list.
QString ToQtFilter(const std::string& filter);

// Modal. True with dialog.FileName set to the chosen file's full path; false on cancel.
bool ShowOpenDialog(QWidget* parent, FileOpenDialog& dialog);

}  // namespace tlx::ui
