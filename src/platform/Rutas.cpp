#include "platform/Rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString programDirPropio;
QString dirEscrituraPropio;
QString dirEscrituraCalculado;

bool sePuedeEscribir(const QString& dir) {
  QTemporaryFile prueba(QDir(dir).filePath(QStringLiteral("korval-XXXXXX.tmp")));
  return prueba.open();
}
} // namespace

QString ProgramDir() {
  if (!programDirPropio.isEmpty())
    return programDirPropio;
  return QCoreApplication::applicationDirPath();
}

QString DirEscritura() {
  if (!dirEscrituraPropio.isEmpty())
    return dirEscrituraPropio;
  if (!programDirPropio.isEmpty())
    return programDirPropio;
  if (dirEscrituraCalculado.isEmpty())
    dirEscrituraCalculado = ElegirDirEscritura(ProgramDir());
  return dirEscrituraCalculado;
}

QString ElegirDirEscritura(const QString& programa) {
  if (sePuedeEscribir(programa))
    return programa;
  QString usuario = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (usuario.isEmpty())
    usuario = QDir::home().filePath(QStringLiteral(".korval"));
  QDir().mkpath(usuario);
  return usuario;
}

void FijarProgramDir(const QString& dir) {
  programDirPropio = dir;
}
void FijarDirEscritura(const QString& dir) {
  dirEscrituraPropio = dir;
}

QString RutaEn(const QString& dir, const QString& nombre) {
  const QDir d(dir);
  if (QFileInfo::exists(d.filePath(nombre)))
    return d.filePath(nombre);
  const QStringList todos = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& f : todos)
    if (f.compare(nombre, Qt::CaseInsensitive) == 0)
      return d.filePath(f);
  return d.filePath(nombre);
}
