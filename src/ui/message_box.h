// Message boxes as the window logic asks for them: a text, a title (none means the
// application title), an OK button, and for the stop style a critical icon on top of all.
#pragma once

#include <QMessageBox>
#include <memory>
#include <optional>
#include <string>

namespace tlx::ui {

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::optional<std::string>& title, int style);

}  // namespace tlx::ui
