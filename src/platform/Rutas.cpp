#include "platform/Rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString programDirPropio;
QString dirEscrituraPropio;
std::function<bool(const QString&)> pruebaEscritura;

// La elección se hace una vez por carpeta del programa: probar si se puede
// escribir crea y borra un fichero.
QString escrituraCalculadaPara;
QString escrituraCalculada;

void olvidarEleccion() {
  escrituraCalculadaPara.clear();
  escrituraCalculada.clear();
}
} // namespace

bool SePuedeEscribirEn(const QString& dir) {
  if (pruebaEscritura)
    return pruebaEscritura(dir);
  QTemporaryFile prueba(QDir(dir).filePath(QStringLiteral("korval-XXXXXX.tmp")));
  return prueba.open();
}

bool EsCopiaInstalada(const QString& programa) {
  return QFileInfo(QDir(programa).filePath(MarcaInstalado)).isFile();
}

QString ProgramDir() {
  if (!programDirPropio.isEmpty())
    return programDirPropio;
  return QCoreApplication::applicationDirPath();
}

QString DirEscritura() {
  if (!dirEscrituraPropio.isEmpty())
    return dirEscrituraPropio;
  const QString programa = ProgramDir();
  if (escrituraCalculadaPara != programa) {
    escrituraCalculada = ElegirDirEscritura(programa);
    escrituraCalculadaPara = programa;
  }
  return escrituraCalculada;
}

QString CarpetaUsuario() {
  QString usuario = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (usuario.isEmpty())
    usuario = QDir::home().filePath(QStringLiteral(".korval"));
  QDir().mkpath(usuario);
  return usuario;
}

QString ElegirDirEscritura(const QString& programa) {
  if (!EsCopiaInstalada(programa) && SePuedeEscribirEn(programa))
    return programa;
  return CarpetaUsuario();
}

void FijarProgramDir(const QString& dir) {
  programDirPropio = dir;
  olvidarEleccion();
}
void FijarDirEscritura(const QString& dir) {
  dirEscrituraPropio = dir;
}
void FijarPruebaEscritura(std::function<bool(const QString&)> sePuede) {
  pruebaEscritura = std::move(sePuede);
  olvidarEleccion();
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
