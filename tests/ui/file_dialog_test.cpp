// The file-open dialog: the filter string in Qt's form, the settings the logic makes, the
// case-blind "*.fwu", the chosen path and cancelling.
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace tlx::ui {
namespace {

constexpr char kFilter[] = "Tambrelux Pro firmware (*.FWU)|*.fwu|All Files (*.*)|*.*";

TEST(QtFilterTest, TurnsDescriptionPatternPairsIntoQtEntries) {
  EXPECT_EQ(ToQtFilter(kFilter), "Tambrelux Pro firmware (*.FWU) (*.fwu);;All Files (*.*) (*.*)");
  EXPECT_EQ(ToQtFilter("Pictures|*.bmp;*.png"), "Pictures (*.bmp *.png)");
  EXPECT_EQ(ToQtFilter(""), "");
}

FileOpenDialog LogicDialog(const QString& directory) {
  FileOpenDialog dialog;
  dialog.DialogTitle = "Select firmware file...";
  dialog.Filter = kFilter;
  dialog.InitDir = QFile::encodeName(directory).toStdString();
  dialog.Flags = 0x81004;
  dialog.CancelError = true;
  return dialog;
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"image.fwu", "IMAGE.FWU", "imagefwu", "notes.txt"}) {
      QFile file(folder.filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
  }

  // Shows the dialog and hands it to act once it is on screen.
  bool ShowAndAct(FileOpenDialog& dialog, std::function<void(QFileDialog&)> act) {
    QTimer::singleShot(0, [act] {
      auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(shown, nullptr);
      act(*shown);
    });
    return ShowOpenDialog(nullptr, dialog);
  }

  QTemporaryDir folder;
};

TEST_F(FileDialogTest, OpensInTheInitialFolderWithTheFirstFilterForExistingFiles) {
  FileOpenDialog dialog = LogicDialog(folder.path());
  QFileDialog qtDialog;
  Configure(qtDialog, dialog);
  EXPECT_EQ(qtDialog.windowTitle(), "Select firmware file...");
  EXPECT_EQ(qtDialog.nameFilters().size(), 2);
  // Only the description shows; the pattern behind it is the logic's "*.fwu".
  EXPECT_EQ(qtDialog.selectedNameFilter(), "Tambrelux Pro firmware (*.FWU)");
  EXPECT_EQ(qtDialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
  EXPECT_EQ(qtDialog.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(qtDialog.acceptMode(), QFileDialog::AcceptOpen);
}

TEST_F(FileDialogTest, FirmwareFilterListsBothCasesOfTheEnding) {
  FileOpenDialog dialog = LogicDialog(folder.path());
  QStringList listed;
  ShowAndAct(dialog, [&](QFileDialog& shown) {
    auto* model = shown.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex root = model->index(folder.path());
    for (int wait = 0; wait < 200 && model->rowCount(root) < 2; ++wait)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (int row = 0; row < model->rowCount(root); ++row) {
      const QModelIndex index = model->index(row, 0, root);
      if (model->flags(index).testFlag(Qt::ItemIsEnabled)) listed << model->fileName(index);
    }
    shown.reject();
  });
  listed.sort();
  EXPECT_EQ(listed, (QStringList{"IMAGE.FWU", "image.fwu"}));
}

TEST_F(FileDialogTest, ChoosingAFileGivesItsFullPath) {
  FileOpenDialog dialog = LogicDialog(folder.path());
  const bool chosen = ShowAndAct(dialog, [](QFileDialog& shown) {
    shown.selectFile("IMAGE.FWU");
    static_cast<QDialog&>(shown).accept();
  });
  EXPECT_TRUE(chosen);
  EXPECT_EQ(QString::fromStdString(dialog.FileName), folder.filePath("IMAGE.FWU"));
}

TEST_F(FileDialogTest, CancellingReportsFailureAndLeavesTheNameEmpty) {
  FileOpenDialog dialog = LogicDialog(folder.path());
  const bool chosen = ShowAndAct(dialog, [](QFileDialog& shown) { shown.reject(); });
  EXPECT_FALSE(chosen);
  EXPECT_TRUE(dialog.FileName.empty());
}

}  // namespace
}  // namespace tlx::ui
