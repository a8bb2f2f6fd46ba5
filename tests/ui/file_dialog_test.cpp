// The file-open dialog: the settings the logic makes, the case-blind "*.fwu" and the chosen
// path.
#include "ui/file_dialog.h"

#include "app/firmware_loader.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace tlx::ui {
namespace {

constexpr char kFilter[] = "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*";

// The names the dialog lists in its folder once it lists at least `atLeast` of them.
QStringList Listed(QFileDialog& shown, const QString& folder, int atLeast) {
  auto* model = shown.findChild<QFileSystemModel*>();
  const QModelIndex root = model->index(folder);
  for (int wait = 0; wait < 200 && model->rowCount(root) < atLeast; ++wait)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QStringList listed;
  for (int row = 0; row < model->rowCount(root); ++row)
    listed << model->fileName(model->index(row, 0, root));
  listed.sort();
  return listed;
}

TEST(FileDialogTest, ListsFirmwareInEitherCaseAndGivesTheChosenFullPath) {
  QTemporaryDir folder;
  for (const char* name : {"image.fwu", "IMAGE.FWU", "imagefwu", "notes.txt"}) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  FileOpenDialog dialog{"Select firmware file...",
                        kFilter,
                        QFile::encodeName(folder.path()).toStdString(),
                        "",
                        kDialogFlags,
                        true};
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), "Select firmware file...");
    EXPECT_EQ(shown->nameFilters().size(), 2);
    // Only the description shows; the pattern behind it is the logic's "*.fwu".
    EXPECT_EQ(shown->selectedNameFilter(), "Tambrelux Pro firmware (*.FWU)");
    EXPECT_EQ(shown->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(shown->directory().absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(Listed(*shown, folder.path(), 2), (QStringList{"IMAGE.FWU", "image.fwu"}));
    // "All Files" lists every file, also one without a dot, which the loader accepts.
    shown->selectNameFilter(shown->nameFilters().at(1));
    EXPECT_EQ(Listed(*shown, folder.path(), 4),
              (QStringList{"IMAGE.FWU", "image.fwu", "imagefwu", "notes.txt"}));
    // As a user would: type the name, then confirm.
    shown->findChild<QLineEdit*>("fileNameEdit")->setText("IMAGE.FWU");
    static_cast<QDialog*>(shown)->accept();
    if (shown->isVisible()) shown->reject();
  });
  EXPECT_TRUE(ShowOpenDialog(nullptr, dialog));
  EXPECT_EQ(QString::fromStdString(dialog.FileName), folder.filePath("IMAGE.FWU"));
}

}  // namespace
}  // namespace tlx::ui
