// Lo que cuesta grabar y eliminar consultas en archivos grandes, y la
// comparación con el orden por intercambios, registro a registro sobre el
// fichero.
//
//   archive_save_ms_2k         grabar una consulta en un archivo de 2.000
//   archive_save_ms_20k        lo mismo con 20.000
//   archive_delete_ms_20k      eliminar una de 20.000
//   archive_save_design_ms_2k  grabar en 2.000 con el orden en el fichero
//   archive_save_ratio_2k      cuántas veces más tarda aquel que el nuestro
//   archive_save_growth        save_20k / save_2k (10 veces más registros)
#include "archive/ArchivoConsultas.h"
#include "archive/ReferenciaOrden.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Un archivo ordenado de `n` consultas de unos 300 usuarios distintos.
QByteArray ArchivoDe(int n, std::mt19937& azar) {
  QByteArray r;
  r.reserve(qsizetype(n) * LargoRegistro);
  for (int i = 0; i < n; ++i) {
    const QString usuario = QStringLiteral("USUARIO %1").arg(int(azar() % 300), 3, 10, QLatin1Char('0'));
    r += ArchiveRecord::Nuevo(usuario, QStringLiteral("¿PREGUNTA NÚMERO %1?").arg(i),
                              QStringLiteral("789789"), QStringLiteral("05/03/1998"))
             .Bytes();
  }
  return OrdenarArchivo(r);
}

void Escribir(const QString& ruta, const QByteArray& bytes) {
  QFile f(ruta);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    qFatal("No se pudo preparar %s", qPrintable(ruta));
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// El que cae en medio del orden: la mitad de los registros quedan detrás, el
// caso típico de una consulta nueva.
const ArchiveRecord Nuevo = ArchiveRecord::Nuevo(QStringLiteral("USUARIO 150"), QStringLiteral("¿NUEVA?"),
                                                 QStringLiteral("696969"), QStringLiteral("24/12/2024"));

// Milisegundos de grabar una consulta en un archivo de `n`, mediana de
// `veces` (cada una parte del mismo archivo).
double Grabar(const QString& ruta, const QByteArray& archivo, int veces) {
  std::vector<double> ms;
  for (int i = 0; i < veces; ++i) {
    Escribir(ruta, archivo);
    QElapsedTimer t;
    t.start();
    QString error;
    if (GrabarRegistro(ruta, Nuevo, &error) != ResultadoArchivo::Hecho)
      qFatal("%s", qPrintable(error));
    ms.push_back(double(t.nsecsElapsed()) / 1e6);
  }
  return Mediana(ms);
}

double Eliminar(const QString& ruta, const QByteArray& archivo, int veces) {
  std::vector<double> ms;
  const int n = NumeroRegistros(archivo.size());
  for (int i = 0; i < veces; ++i) {
    Escribir(ruta, archivo);
    QElapsedTimer t;
    t.start();
    QString error;
    const int s = n / 2 + i;
    const QByteArray mostrado = archivo.mid(qsizetype(s - 1) * LargoRegistro, LargoRegistro);
    if (EliminarRegistro(ruta, s, mostrado, &error) != ResultadoArchivo::Hecho)
      qFatal("%s", qPrintable(error));
    ms.push_back(double(t.nsecsElapsed()) / 1e6);
  }
  return Mediana(ms);
}

double GrabarComoAntes(const QString& ruta, const QByteArray& archivo, int veces) {
  std::vector<double> ms;
  for (int i = 0; i < veces; ++i) {
    Escribir(ruta, archivo);
    QElapsedTimer t;
    t.start();
    if (!Referencia::GrabarConsulta(ruta, Nuevo.Bytes()))
      qFatal("No se pudo grabar con el orden por intercambios");
    ms.push_back(double(t.nsecsElapsed()) / 1e6);
  }
  return Mediana(ms);
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString ruta = dir.filePath(NombreArchivo);
  std::mt19937 azar(1998);
  const QByteArray dosMil = ArchivoDe(2000, azar);
  const QByteArray veinteMil = ArchivoDe(20000, azar);

  // Una vuelta de calentamiento: cachés del disco y de la biblioteca.
  Grabar(ruta, dosMil, 3);

  const double grabar2k = Grabar(ruta, dosMil, 21);
  const double grabar20k = Grabar(ruta, veinteMil, 11);
  const double eliminar20k = Eliminar(ruta, veinteMil, 11);
  const double antes2k = GrabarComoAntes(ruta, dosMil, 3);

  // Las dos maneras dejan el mismo archivo.
  Escribir(ruta, dosMil);
  QString error;
  GrabarRegistro(ruta, Nuevo, &error);
  QFile nuestro(ruta);
  nuestro.open(QIODevice::ReadOnly);
  const QByteArray resultado = nuestro.readAll();
  nuestro.close();
  Escribir(ruta, dosMil);
  Referencia::GrabarConsulta(ruta, Nuevo.Bytes());
  QFile suyo(ruta);
  suyo.open(QIODevice::ReadOnly);
  if (suyo.readAll() != resultado)
    qFatal("La grabación no deja el mismo archivo que el orden por intercambios");

  std::printf("archive_save_ms_2k: %.3f ms\n", grabar2k);
  std::printf("archive_save_ms_20k: %.3f ms\n", grabar20k);
  std::printf("archive_delete_ms_20k: %.3f ms\n", eliminar20k);
  std::printf("archive_save_design_ms_2k: %.1f ms\n", antes2k);
  std::printf("archive_save_ratio_2k: %.0f x\n", antes2k / grabar2k);
  std::printf("archive_save_growth: %.2f x\n", grabar20k / grabar2k);
  return 0;
}
