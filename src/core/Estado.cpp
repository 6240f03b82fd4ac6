#include "core/Estado.h"

TextoFijo CurrentLines(6);
TextoFijo ComplementLines(6);
TextoFijo LastLines(6);
TextoFijo CurrentQuestion(100);
TextoFijo LastQuestion(100);
TextoFijo CancelFlag(2);
TextoFijo LineBreak(2);
QDate CurrentDate;
QDate LastDate;
QString LastUser;

std::array<std::array<QString, 11>, 9> TrigramList;
std::array<std::array<QString, 7>, 65> HexagramList;

void ReiniciarEstado() {
  CurrentLines = QString();
  ComplementLines = QString();
  LastLines = QString();
  CurrentQuestion = QString();
  LastQuestion = QString();
  CancelFlag = QString();
  LineBreak = QStringLiteral("\r\n");
  CurrentDate = QDate();
  LastDate = QDate();
  LastUser.clear();
  for (auto& fila : TrigramList)
    fila.fill(QString());
  for (auto& fila : HexagramList)
    fila.fill(QString());
}
