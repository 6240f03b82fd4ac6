#pragma once
// Grabar y borrar a mano sobre el propio fichero, registro a registro: se ordena por intercambios
// de vecinos hasta que una pasada no cambia nada; al borrar, los demás pasan a "usuarios.TMP", que
// sustituye al archivo. Lento y frágil ante un corte, pero deja en disco lo que el programa debe dejar.
#include <QFile>

#include <cmath>

namespace Referencia {

// El registro i (desde 1); lo que pase del final cuenta como ceros.
inline QByteArray Leer(QFile& f, int i) {
  f.seek(qint64(i - 1) * 160);
  return f.read(160).leftJustified(160, '\0');
}

inline void Escribir(QFile& f, int i, const QByteArray& r) {
  f.seek(qint64(i - 1) * 160);
  f.write(r);
}

// Añade `registro` (160 bytes) al archivo de `ruta` y lo ordena en su sitio.
inline bool GrabarConsulta(const QString& ruta, const QByteArray& registro) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
    return false;
  const int n = int(std::nearbyint(f.size() / 160.0)) + 1; // las mitades, al par
  Escribir(f, n, registro);
  for (bool cambio = true; cambio;) {
    cambio = false;
    for (int i = 1; i < n; ++i)
      if (const QByteArray a = Leer(f, i), b = Leer(f, i + 1); a.mid(5, 30) > b.mid(5, 30)) {
        Escribir(f, i, b + a); // los dos, cambiados de sitio
        cambio = true;
      }
  }
  for (int i = 1; i <= n; ++i)
    Escribir(f, i, Leer(f, i).replace(0, 4, QByteArray::number(i % 10000).rightJustified(4, '0')));
  return true;
}

// Quita el registro s (desde 1); si no quedan otros, borra el archivo.
inline bool EliminarConsulta(const QString& ruta, int s) {
  QFile archivo(ruta),
      tmp(ruta.left(ruta.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral("usuarios.TMP"));
  tmp.remove();
  if (!archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return false;
  const int n = int(std::nearbyint(archivo.size() / 160.0));
  if (n > 1 && !tmp.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return false;
  for (int i = 1, k = 1; i <= n && n > 1; ++i)
    if (i != s)
      Escribir(tmp, k++, Leer(archivo, i));
  return archivo.remove() && (n <= 1 || tmp.rename(ruta));
}

} // namespace Referencia
