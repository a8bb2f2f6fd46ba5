#include "ui/qt_process_services.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace tlx::ui {
namespace {

QString ExecutableBaseName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

}  // namespace

QtProcessServices::QtProcessServices(const QString& lockDirectory)
    : lock_(lockDirectory, ExecutableBaseName()) {}

bool QtProcessServices::PrevInstance() {
  return !lock_.Acquire();
}

std::string QtProcessServices::ExeName() const {
  return ExecutableBaseName().toStdString();
}

int QtProcessServices::VersionMajor() const {
  return TLX_VERSION_MAJOR;
}

int QtProcessServices::VersionMinor() const {
  return TLX_VERSION_MINOR;
}

std::string QtProcessServices::ProgramPath() const {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace tlx::ui
