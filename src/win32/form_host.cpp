#include "win32/form_host.h"

namespace tlx::win32 {

FormHost::FormHost(MainWindow& window, Win32WindowSystem& windowSystem, frmStart& form)
    : windowSystem_(windowSystem), form_(form) {
  window.onButton = [this](int index) {
    Dispatch([this, index] { form_.Button_Click(static_cast<std::int16_t>(index)); });
  };
  window.onMenuItem = [this](MenuItem item) {
    Dispatch([this, item] {
      if (item == MenuItem::FWCustom)
        form_.mnuFWCustom_Click();
      else
        form_.mnuFWDefault_Click();
    });
  };
  // The logic refuses while a flash runs; otherwise it unloads the window.
  window.onCloseRequest = [this] { Dispatch([this] { form_.RequestClose(); }); };
}

void FormHost::Load() {
  Dispatch([this] { form_.Form_Load(); });
}

bool FormHost::Finished() const {
  return form_.Unloaded() || windowSystem_.EndRequested();
}

template <typename Handler>
void FormHost::Dispatch(Handler handler) {
  ++running_;
  handler();
  --running_;
  windowSystem_.Settle();
  if (Finished()) PostQuitMessage(0);
}

}  // namespace tlx::win32
