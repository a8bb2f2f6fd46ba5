#include "ui/form_host.h"

#include <QAction>
#include <QCoreApplication>

namespace tlx::ui {

FormHost::FormHost(MainWindow& window, QtWindowSystem& windowSystem, frmStart& form)
    : window_(window), windowSystem_(windowSystem), form_(form) {
  window_.onCloseRequest = [this] { return CloseRequested(); };
  connect(&window_, &MainWindow::buttonClicked, this, [this](int index) {
    Dispatch([this, index] { form_.Button_Click(static_cast<std::int16_t>(index)); });
  });
  connect(window_.FWDefault(), &QAction::triggered, this,
          [this] { Dispatch([this] { form_.mnuFWDefault_Click(); }); });
  connect(window_.FWCustom(), &QAction::triggered, this,
          [this] { Dispatch([this] { form_.mnuFWCustom_Click(); }); });
}

void FormHost::Load() {
  form_.Form_Load();
  emit windowSystem_.settled();
}

bool FormHost::Finished() const {
  return form_.Unloaded() || windowSystem_.EndRequested();
}

template <typename Handler>
void FormHost::Dispatch(Handler handler) {
  handler();
  emit windowSystem_.settled();
  if (Finished()) QCoreApplication::quit();
}

bool FormHost::CloseRequested() {
  const bool closed = form_.RequestClose();
  if (Finished()) QCoreApplication::quit();
  return closed;
}

}  // namespace tlx::ui
