#include "platform/Ficheros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
std::function<bool(const QString&)> pruebaLectura;

QString Nativa(const QString& ruta) {
  return QDir::toNativeSeparators(ruta);
}
} // namespace

QString DescribirFalloLectura(FalloLectura fallo, qint64 limite) {
  switch (fallo) {
  case FalloLectura::Ninguno:
    return QString();
  case FalloLectura::NoExiste:
    return QStringLiteral("no existe");
  case FalloLectura::SinPermiso:
    return QStringLiteral("no hay permiso para leerlo");
  case FalloLectura::Carpeta:
    return QStringLiteral("es una carpeta, no un fichero");
  case FalloLectura::NoEsFichero:
    return QStringLiteral("no es un fichero normal");
  case FalloLectura::Demasiado:
    return QStringLiteral("es demasiado grande (más de %1 bytes)").arg(limite);
  case FalloLectura::Ilegible:
    return QStringLiteral("no se ha podido leer entero");
  }
  return QString();
}

FalloLectura LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray* bytes, QString* descripcion) {
  bytes->clear();
  const auto fallar = [&](FalloLectura fallo) {
    bytes->clear();
    if (descripcion)
      *descripcion = DescribirFalloLectura(fallo, limite);
    return fallo;
  };
  // QFileInfo sigue los enlaces: lo que cuenta es aquello a lo que apuntan.
  const QFileInfo info(ruta);
  if (!info.exists())
    return fallar(FalloLectura::NoExiste);
  if (info.isDir())
    return fallar(FalloLectura::Carpeta);
  if (!info.isFile())
    return fallar(FalloLectura::NoEsFichero);
  if (info.size() > limite)
    return fallar(FalloLectura::Demasiado);
  if (pruebaLectura && !pruebaLectura(ruta))
    return fallar(FalloLectura::SinPermiso);
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return fallar(f.error() == QFileDevice::PermissionsError || !info.isReadable() ? FalloLectura::SinPermiso
                                                                                   : FalloLectura::Ilegible);
  // El fichero puede haber cambiado entre la comprobación y la lectura: nunca
  // se lee más allá del límite.
  *bytes = f.read(limite + 1);
  if (f.error() != QFileDevice::NoError)
    return fallar(FalloLectura::Ilegible);
  if (bytes->size() > limite)
    return fallar(FalloLectura::Demasiado);
  if (descripcion)
    descripcion->clear();
  return FalloLectura::Ninguno;
}

QString MotivoNoEscribible(const QString& ruta) {
  const QFileInfo info(ruta);
  // Un enlace colgante no «existe», pero escribir en él crearía su destino.
  if (info.isSymLink())
    return QStringLiteral("«%1» es un enlace simbólico. KORVAL no escribe a través de enlaces, para no "
                          "cambiar un fichero que está en otro sitio; bórrelo o cámbiele el nombre.")
        .arg(Nativa(ruta));
  if (info.exists() && !info.isFile())
    return QStringLiteral("«%1» no es un fichero normal (es una carpeta, un dispositivo o algo parecido); "
                          "KORVAL no escribe en él.")
        .arg(Nativa(ruta));
  return QString();
}

void FijarPruebaLectura(std::function<bool(const QString&)> sePuedeLeer) {
  pruebaLectura = std::move(sePuedeLeer);
}
