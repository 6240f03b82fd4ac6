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

namespace {
// Cada salto de línea (CR, LF, CR LF, separadores de Unicode) como un blanco.
QString SaltosABlancos(const QString& texto) {
  QString r;
  r.reserve(texto.size());
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const QChar c = texto[i];
    if (c == QLatin1Char('\r') && i + 1 < texto.size() && texto[i + 1] == QLatin1Char('\n'))
      continue; // el \n que sigue hace el blanco
    const bool salto = c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
                       c == QChar::LineSeparator;
    r += salto ? QChar(u' ') : c;
  }
  return r;
}

// La pregunta sin cortar: sin blancos alrededor, con un «¿» delante y un
// solo «?» detrás.
QString PreguntaEntera(const QString& texto) {
  QString p = QuitarBlancos(SaltosABlancos(texto));
  if (!p.startsWith(QChar(0x00BF)))
    p.prepend(QChar(0x00BF));
  // Dos o más signos de cierre seguidos al final quedan en uno.
  qsizetype fin = p.size();
  while (fin > 1 && p[fin - 1] == QLatin1Char('?'))
    --fin;
  p.truncate(fin);
  return QuitarBlancos(p) + QLatin1Char('?');
}
} // namespace

QString NormalizarPregunta(const QString& texto) {
  // La pregunta es un texto de 100 caracteres: lo que sobre se corta. El
  // cuadro no deja escribir más de lo que cabe, así que solo un texto puesto
  // por el programa llega a cortarse.
  TextoFijo pregunta(LargoPregunta);
  pregunta = MayusculasPregunta(PreguntaEntera(texto));
  return pregunta.texto();
}

int LargoGuardado(const QString& texto) {
  return int(PreguntaEntera(texto).size());
}

QString LimpiarParaLaPregunta(const QString& entrada, bool* quitado) {
  // Las letras con acento, compuestas: un acento suelto tras su letra no
  // cabe en Windows-1252, la letra acentuada sí.
  const QString texto = SaltosABlancos(entrada.normalized(QString::NormalizationForm_C));
  QString r;
  r.reserve(texto.size());
  bool fuera = false;
  for (const QChar c : texto) {
    if (c.category() == QChar::Other_Control || !Win1252::cabe(c))
      fuera = true;
    else
      r += c;
  }
  if (quitado)
    *quitado = fuera;
  return r;
}

QString SinPalabraPartida(const QString& texto, qsizetype n) {
  if (n >= texto.size())
    return texto;
  if (n <= 0)
    return QString();
  // Se corta entre dos letras (o cifras): se vuelve al último blanco.
  if (texto[n - 1].isLetterOrNumber() && texto[n].isLetterOrNumber()) {
    qsizetype b = n - 1;
    while (b >= 0 && !texto[b].isSpace())
      --b;
    n = b + 1; // 0 si no hay blanco: nada entero cabe
  }
  return texto.left(n);
}
