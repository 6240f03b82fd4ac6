#include "platform/InstanciaUnica.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

InstanciaUnica::InstanciaUnica(const QString& carpeta) {
  QString dir = carpeta;
  const QFileInfo info(carpeta);
  if (!info.isDir() || !info.isWritable()) {
    dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
      dir = QDir::tempPath();
  }
  ruta_ = QDir(dir).filePath(QStringLiteral("korval.lock"));
  candado_ = std::make_unique<QLockFile>(ruta_);
  // El candado no caduca por tiempo: sólo cuando su dueño ya no existe.
  candado_->setStaleLockTime(0);
}

InstanciaUnica::~InstanciaUnica() = default;

bool InstanciaUnica::adquirir() {
  if (candado_->isLocked())
    return true;
  if (candado_->tryLock(0))
    return true;
  if (candado_->error() == QLockFile::LockFailedError) {
    // Un candado de un proceso que ya no vive se retira y se vuelve a probar.
    candado_->removeStaleLockFile();
    return candado_->tryLock(0);
  }
  return false;
}
