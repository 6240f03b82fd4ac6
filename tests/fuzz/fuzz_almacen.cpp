// El almacén de textos ante cualquier contenido de fichero, cualquier
// posición de bloque y cualquier cadena de líneas. La entrada: 6 bytes para
// las líneas, 1 de opciones, 8 para la posición del bloque (el campo 6 de la
// lista) y el resto es el fichero.
#include "core/Estado.h"
#include "interpretation/AlmacenTextos.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  const auto exigir = [](bool condicion) { return condicion ? void() : std::abort(); };
  const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
  if (bytes.size() < 15)
    return 0;
  QString lineas, patron;
  for (int i = 0; i < 6; ++i) {
    lineas += QLatin1Char("6789 x"[std::uint8_t(bytes[i]) % 6]);
    patron += QLatin1Char("8787 x"[std::uint8_t(bytes[i]) % 6]); // el dibujo: 6 como 8 y 9 como 7
  }
  const std::uint8_t opciones = std::uint8_t(bytes[6]);
  LineBreak = QStringLiteral("\r\n");
  HexagramList = {};
  // Con el bit 0, ninguna fila coincide (la posición se lee como 0).
  if (!(opciones & 1))
    HexagramList[1] = {QString(),
                       QStringLiteral("1"),
                       patron.mid(3),
                       patron.left(3),
                       QStringLiteral("H"),
                       QStringLiteral("T"),
                       QString::fromLatin1(bytes.mid(7, 8)).trimmed()};
  // Con el bit 1, el buffer empieza lleno de restos de otra carga.
  if (opciones & 2)
    for (int i = 1; i < RanurasTextBuffer; ++i)
      TextBuffer[i] = QStringLiteral("*D resto");

  int completas = 0;
  CargarBufferDe(bytes.mid(15), lineas,
                 {[&](int n) {
                    // Sólo se cuentan líneas que existen y cambian, y antes del final.
                    exigir(n >= 1 && n <= 6 && completas == 0);
                    exigir(lineas[n - 1] != QLatin1Char('7') && lineas[n - 1] != QLatin1Char('8'));
                  },
                  [&] { ++completas; }});
  exigir(completas == 1);
  // La carga siempre deja una ranura que empieza por "**".
  bool final = false;
  for (int i = 1; i < RanurasTextBuffer && !final; ++i)
    final = TextBuffer[i].texto().startsWith(QStringLiteral("**"));
  exigir(final);
  for (const char* s : {"D", "C", "I"})
    exigir(!ExtraerSeccion(QString::fromLatin1(s)).endsWith(QLatin1Char(' ')));
  for (int l = 1; l <= 6; ++l) {
    const TextoLinea t = ExtraerLinea(QStringLiteral("L%1").arg(l));
    exigir(!t.enunciado.endsWith(QLatin1Char(' ')) && !t.interpretacion.endsWith(QLatin1Char(' ')));
  }
  return 0;
}
