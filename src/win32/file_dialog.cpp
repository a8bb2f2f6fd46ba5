#include "win32/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/window_text.h"
#include "windows/text.h"

namespace tlx::win32 {
namespace {

// The logic's dialog flags are the dialog's own bits.
static_assert(kDialogExplorer == OFN_EXPLORER);
static_assert(kDialogFileMustExist == OFN_FILEMUSTEXIST);
static_assert(kDialogHideReadOnly == OFN_HIDEREADONLY);

// Room for a long path: the dialog fails rather than cut a path short.
constexpr std::size_t kPathRoom = 32768;

// "description|pattern|description|pattern" as the dialog's list of NUL-ended strings, ended
// by one more NUL.
std::wstring ToDialogFilter(const std::string& filter) {
  std::wstring list = Wide(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

bool ShowOpenDialog(HWND owner, FileOpenDialog& dialog) {
  const std::wstring filter = ToDialogFilter(dialog.Filter);
  const std::wstring title = Wide(dialog.DialogTitle);
  const std::wstring initialDir = Wide(dialog.InitDir);
  std::vector<wchar_t> path(kPathRoom, L'\0');
  const std::wstring given = Wide(dialog.FileName);
  given.copy(path.data(), std::min(given.size(), kPathRoom - 1));

  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrTitle = title.empty() ? nullptr : title.c_str();
  request.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  request.Flags = dialog.Flags;
  // Cancelling and a dialog that could not open both leave the file unchosen; CancelError
  // asks the caller to treat that as a failure, which a false return already is.
  if (!GetOpenFileNameW(&request)) return false;
  dialog.FileName = windows::Utf8(path.data());
  return true;
}

}  // namespace tlx::win32
