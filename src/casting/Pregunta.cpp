#include "casting/Pregunta.h"

#include "platform/Basico.h"
#include "platform/Codificacion.h"

QString MayusculasPregunta(const QString& texto) {
  QString r = texto;
  for (QChar& c : r) {
    const QChar mayuscula = c.toUpper();
    // ß o µ tienen mayúsculas fuera de Windows-1252: se quedan como están.
    if (Win1252::cabe(mayuscula))
      c = mayuscula;
  }
  return r;
}

QString NormalizarPregunta(const QString& texto) {
  const QString salto = QStringLiteral("\r\n");
  // La pregunta es un texto de 100 caracteres: cada asignación corta lo que
  // sobra, y por eso el «?» final puede perderse en una pregunta muy larga.
  TextoFijo pregunta(100);
  pregunta = MayusculasPregunta(QuitarBlancos(texto));
  if (pregunta.texto().front() != QChar(0x00BF))
    pregunta = QString(QChar(0x00BF)) + pregunta.texto();
  QString limpia = QuitarBlancos(pregunta);
  if (!limpia.endsWith(QLatin1Char('?'))) {
    // Sólo se quitan blancos: un Intro al final de la pregunta queda en el
    // texto y se quita aquí, después de mirar si acababa en «?».
    if (limpia.endsWith(salto))
      pregunta = limpia.left(limpia.size() - 2);
    pregunta = QuitarBlancos(pregunta) + QLatin1Char('?');
  }
  return pregunta.texto();
}

bool CabeLaPregunta(const QString& texto) {
  // Los mismos pasos que al aceptar, sin cortar: cabe si ninguno pasa de 100.
  constexpr int Ancho = 100;
  QString p = QuitarBlancos(texto);
  if (p.size() > Ancho)
    return false;
  if (!p.startsWith(QChar(0x00BF)))
    p.prepend(QChar(0x00BF));
  if (p.size() > Ancho)
    return false;
  const QString limpia = QuitarBlancos(p);
  if (!limpia.endsWith(QLatin1Char('?'))) {
    p = limpia.endsWith(QStringLiteral("\r\n")) ? limpia.left(limpia.size() - 2) : limpia;
    p = QuitarBlancos(p) + QLatin1Char('?');
  }
  return p.size() <= Ancho;
}

QString LimpiarParaLaPregunta(const QString& entrada, bool* quitado) {
  // Las letras con acento, compuestas: un acento suelto tras su letra no
  // cabe en Windows-1252, la letra acentuada sí.
  const QString texto = entrada.normalized(QString::NormalizationForm_C);
  QString r;
  r.reserve(texto.size());
  bool fuera = false;
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const QChar c = texto[i];
    if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n'))
      continue; // el \n que sigue hace el salto
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
        c == QChar::LineSeparator)
      r += QLatin1Char('\n');
    else if (c.category() == QChar::Other_Control || !Win1252::cabe(c))
      fuera = true;
    else
      r += c;
  }
  if (quitado)
    *quitado = fuera;
  return r;
}

QString TextoLeidoDelCuadro(const QString& cuadro) {
  QString r;
  r.reserve(cuadro.size() + 8);
  for (QChar c : cuadro) {
    if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
      r += QStringLiteral("\r\n");
    else
      r += c;
  }
  return r;
}

QString TextoParaElCuadro(const QString& texto) {
  QString r = texto;
  r.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  r.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return r;
}
