#include "platform/Rutas.h"

#include "platform/Ficheros.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString programDirPropio;
QString dirEscrituraPropio;
QString ejecucionPropia;
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
  return Carpeta(dir).SePuedeEscribir();
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
  // Un XDG_DATA_HOME relativo no vale (así lo dicen las reglas de freedesktop)
  // y Qt lo devolvería tal cual: se usa el de siempre, en la casa del usuario.
  if (!usuario.isEmpty() && QDir::isRelativePath(usuario)) {
    const QString generica = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    usuario = QDir::home().filePath(QStringLiteral(".local/share")) + usuario.mid(generica.size());
  }
  if (usuario.isEmpty())
    usuario = QDir::home().filePath(QStringLiteral(".korval"));
  CrearCarpetaPrivada(usuario);
  return usuario;
}

QString CarpetaEjecucion() {
  if (!ejecucionPropia.isEmpty())
    return ejecucionPropia;
  const QString r = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return r.isEmpty() ? CarpetaUsuario() : r;
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
void FijarCarpetaEjecucion(const QString& dir) {
  ejecucionPropia = dir;
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
