// El almacén de textos ante cualquier contenido de fichero, cualquier
// posición de bloque y cualquier cadena de líneas.
//
// La entrada: 6 bytes para las líneas, 1 byte de opciones, 8 bytes para el
// campo 6 de la lista (la posición del bloque) y el resto es el fichero.
#include "core/Estado.h"
#include "interpretation/AlmacenTextos.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void exigir(bool condicion) {
  if (!condicion)
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
  if (bytes.size() < 15)
    return 0;
  static const char valores[] = "6789 x";
  QString lineas;
  for (int i = 0; i < 6; ++i)
    lineas += QLatin1Char(valores[std::uint8_t(bytes[i]) % 6]);
  const std::uint8_t opciones = std::uint8_t(bytes[6]);
  const QString posicion = QString::fromLatin1(bytes.mid(7, 8)).trimmed();
  const QByteArray almacen = bytes.mid(15);

  LineBreak = QStringLiteral("\r\n");
  for (auto& fila : HexagramList)
    for (auto& campo : fila)
      campo.clear();
  // Con el bit 0, ninguna fila coincide (la posición se lee como 0).
  if (!(opciones & 1)) {
    QString patron;
    for (QChar c : lineas)
      patron += c == QLatin1Char('6') ? QLatin1Char('8') : c == QLatin1Char('9') ? QLatin1Char('7') : c;
    HexagramList[1] = {QString(),           QStringLiteral("1"), patron.mid(3), patron.left(3),
                       QStringLiteral("H"), QStringLiteral("T"), posicion};
  }
  // Con el bit 1, el buffer empieza lleno de restos de otra carga.
  if (opciones & 2)
    for (int i = 1; i < RanurasTextBuffer; ++i)
      TextBuffer[i] = QStringLiteral("*D resto");

  int completas = 0;
  CargarBufferDe(almacen, lineas,
                 {[&](int n) {
                    // Sólo se cuentan líneas que existen, y antes del final.
                    exigir(n >= 1 && n <= 6 && completas == 0);
                    exigir(lineas[n - 1] != QLatin1Char('7') && lineas[n - 1] != QLatin1Char('8'));
                  },
                  [&] { ++completas; }});
  exigir(completas == 1);
  // La carga siempre deja una ranura que empieza por "**".
  bool final = false;
  for (int i = 1; i < RanurasTextBuffer && !final; ++i) {
    exigir(TextBuffer[i].texto().size() == 80);
    final = TextBuffer[i].texto().startsWith(QStringLiteral("**"));
  }
  exigir(final);

  for (const char* s : {"D", "C", "I"}) {
    const QString t = ExtraerSeccion(QString::fromLatin1(s));
    exigir(!t.endsWith(QLatin1Char(' ')));
  }
  for (int l = 1; l <= 6; ++l) {
    const TextoLinea t = ExtraerLinea(QStringLiteral("L%1").arg(l));
    exigir(!t.enunciado.endsWith(QLatin1Char(' ')) && !t.interpretacion.endsWith(QLatin1Char(' ')));
  }
  return 0;
}
