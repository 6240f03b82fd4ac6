// Escribe el icono de KORVAL en un árbol de tema de iconos:
//   CARPETA/scalable/apps/ID.svg y CARPETA/NxN/apps/ID.png para cada tamaño.
// Todo sale de la misma descripción que usa el programa para sus ventanas.
#include "pictures/IconoKorval.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {
bool Guardar(const QString& ruta, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(ruta).path());
  QSaveFile f(ruta);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() || !f.commit()) {
    std::fprintf(stderr, "korval_icono: no se pudo escribir %s\n", qPrintable(ruta));
    return false;
  }
  return true;
}

QByteArray Png(const QImage& img) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  img.save(&buffer, "PNG");
  return bytes;
}
} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "uso: korval_icono CARPETA ID\n");
    return 2;
  }
  const QDir carpeta(QString::fromLocal8Bit(argv[1]));
  const QString id = QString::fromLocal8Bit(argv[2]);
  bool bien =
      Guardar(carpeta.filePath(QStringLiteral("scalable/apps/%1.svg").arg(id)), IconoKorval::Svg().toUtf8());
  for (int lado : IconoKorval::Lados) {
    const QByteArray png = Png(IconoKorval::Imagen(lado));
    bien = !png.isEmpty() &&
           Guardar(carpeta.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(lado).arg(id)), png) && bien;
  }
  return bien ? 0 : 1;
}
