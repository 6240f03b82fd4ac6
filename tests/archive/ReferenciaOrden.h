#pragma once
// La grabación y el borrado de consultas hechos a mano, registro a
// registro sobre el propio fichero: se añade el registro al final, se ordena
// por intercambios de vecinos hasta que una pasada no cambia nada y se
// renumera; al borrar se copian los demás registros a "usuarios.TMP" y este
// sustituye al archivo.
//
// Es lenta a propósito (cada comparación lee dos registros del disco) y no
// resiste un corte a medias. Sirve de patrón: lo que deja en disco es lo que
// el programa debe dejar, byte a byte. La usan las pruebas y las medidas.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cmath>

namespace Referencia {

inline constexpr int Largo = 160;

// Número de registros: largo / 160 al entero más cercano, mitades al par.
inline int Registros(qint64 largo) {
  return static_cast<int>(std::nearbyint(double(largo) / Largo));
}

// El registro i (desde 1); lo que esté más allá del final cuenta como ceros.
inline QByteArray LeerRegistro(QFile& f, int i) {
  f.seek(qint64(i - 1) * Largo);
  QByteArray r = f.read(Largo);
  if (r.size() < Largo)
    r.append(QByteArray(Largo - r.size(), '\0'));
  return r;
}

inline void EscribirRegistro(QFile& f, int i, const QByteArray& r) {
  f.seek(qint64(i - 1) * Largo);
  f.write(r);
}

inline QByteArray Usuario(const QByteArray& r) {
  return r.mid(5, 30);
}

inline QByteArray Numero(int i) {
  return QByteArray::number(i % 10000).rightJustified(4, '0');
}

inline void OrdenarArchivo(int count, QFile& f) {
  if (count >= 2) {
    bool cambio = true;
    while (cambio) {
      cambio = false;
      for (int i = 1; i <= count - 1; ++i) {
        const QByteArray a = LeerRegistro(f, i);
        const QByteArray b = LeerRegistro(f, i + 1);
        if (Usuario(a) > Usuario(b)) {
          EscribirRegistro(f, i, b);
          EscribirRegistro(f, i + 1, a);
          cambio = true;
        }
      }
    }
  }
  for (int i = 1; i <= count; ++i) {
    QByteArray r = LeerRegistro(f, i);
    r.replace(0, 4, Numero(i));
    EscribirRegistro(f, i, r);
  }
}

// Añade `registro` (160 bytes) al archivo de `ruta` y lo ordena en su sitio.
inline bool GrabarConsulta(const QString& ruta, const QByteArray& registro) {
  QFile f(ruta);
  // Sin memoria intermedia: cada lectura y cada escritura de un registro va
  // al disco por separado.
  if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
    return false;
  const int n = Registros(f.size());
  EscribirRegistro(f, n + 1, registro);
  OrdenarArchivo(n + 1, f);
  f.close();
  return true;
}

// Quita el registro s (desde 1) copiando los demás a "usuarios.TMP" (que se
// empieza vacío) y poniéndolo en lugar del archivo.
inline bool EliminarConsulta(const QString& ruta, int s) {
  const QString temporal = QFileInfo(ruta).absoluteDir().filePath(QStringLiteral("usuarios.TMP"));
  QFile::remove(temporal);
  QFile archivo(ruta);
  if (!archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return false;
  const int n = Registros(archivo.size());
  if (n > 1) {
    QFile tmp(temporal);
    if (!tmp.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
      return false;
    int k = 1;
    for (int i = 1; i <= n; ++i) {
      const QByteArray r = LeerRegistro(archivo, i);
      if (i != s)
        EscribirRegistro(tmp, k++, r);
    }
    tmp.close();
    archivo.close();
    QFile::remove(ruta);
    return QFile::rename(temporal, ruta);
  }
  archivo.close();
  QFile::remove(temporal);
  return QFile::remove(ruta);
}

} // namespace Referencia
