#include "platform/Codificacion.h"

#include <array>

namespace {
// Los caracteres de 0x80 a 0x9F; 0 marca los bytes sin definir.
constexpr std::array<char16_t, 32> Tabla80 = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteDe(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
    return u;
  if (u >= 0x80 && u <= 0x9F) // los bytes sin definir vuelven a sí mismos
    return Tabla80[u - 0x80] == 0 ? int(u) : -1;
  for (int i = 0; i < 32; ++i)
    if (Tabla80[i] == u)
      return 0x80 + i;
  return -1;
}
} // namespace

namespace Win1252 {

QString decodificar(const QByteArray& bytes) {
  QString s(bytes.size(), Qt::Uninitialized);
  QChar* d = s.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x80 && b <= 0x9F && Tabla80[b - 0x80] != 0)
      d[i] = QChar(Tabla80[b - 0x80]);
    else
      d[i] = QChar(char16_t(b));
  }
  return s;
}

QByteArray codificar(const QString& texto, bool* ok) {
  QByteArray out(texto.size(), Qt::Uninitialized);
  bool todo = true;
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const int b = byteDe(texto[i]);
    if (b < 0) {
      todo = false;
      out[i] = '?';
    } else {
      out[i] = static_cast<char>(b);
    }
  }
  if (ok)
    *ok = todo;
  return out;
}

bool cabe(QChar c) {
  return byteDe(c) >= 0;
}

bool cabe(const QString& texto) {
  for (QChar c : texto)
    if (!cabe(c))
      return false;
  return true;
}

QString filtrar(const QString& texto) {
  QString r;
  r.reserve(texto.size());
  for (QChar c : texto)
    if (cabe(c))
      r += c;
  return r;
}

} // namespace Win1252
