#include "core/Hexagrama.h"

#include "core/Estado.h"

QString PatronEstable(const QString& lines) {
  QString s;
  s.reserve(6);
  for (int k = 0; k < 6; ++k) {
    QChar c = k < lines.size() ? lines[k] : QChar();
    if (c == QLatin1Char('6'))
      c = QLatin1Char('8');
    else if (c == QLatin1Char('9'))
      c = QLatin1Char('7');
    if (!c.isNull())
      s += c;
  }
  return s;
}

bool EsCambiante(QChar c) {
  return c == QLatin1Char('6') || c == QLatin1Char('9');
}

void ComputeComplement() {
  ComplementLines = QString();
  const QString actual = CurrentLines;
  for (int k = 0; k < 6; ++k) {
    QChar c = actual[k];
    if (c == QLatin1Char('9'))
      c = QLatin1Char('8');
    else if (c == QLatin1Char('6'))
      c = QLatin1Char('7');
    ComplementLines = QuitarBlancos(ComplementLines) + c;
  }
}

namespace {
// Campo `campo` de la última fila cuyo campo 3 seguido del 2 es el patrón.
QString buscarHexagrama(const QString& lines, int campo) {
  const QString patron = PatronEstable(lines);
  QString encontrado;
  for (int n = 1; n <= 64; ++n)
    if (HexagramList[n][3] + HexagramList[n][2] == patron)
      encontrado = HexagramList[n][campo];
  return encontrado;
}
} // namespace

QString HexagramTextPosition(const QString& lines) {
  return buscarHexagrama(lines, 6);
}

int HexagramNumber(const QString& lines) {
  return RedondeoPar(Val(buscarHexagrama(lines, 1)));
}

QString TrigramName(const QString& code) {
  for (int t = 1; t <= 8; ++t)
    for (int f = 3; f <= 10; ++f)
      if (TrigramList[t][f] == code)
        return TrigramList[t][1] + QStringLiteral(", ") + TrigramList[t][2];
  return QString();
}
