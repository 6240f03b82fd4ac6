#include "interpretation/AlmacenTextos.h"

#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <QBuffer>

#include <cmath>

std::vector<TextoFijo> TextBuffer(RanurasTextBuffer, TextoFijo(80));

namespace {
constexpr int LargoRegistro = 80;

// Lee registros de 80 bytes en posiciones (desde 0) del almacén. Lee del
// dispositivo un tramo de 100 registros cada vez (lo que ocupa un bloque),
// no el fichero entero ni un registro por lectura.
class LectorRegistros {
public:
  explicit LectorRegistros(QIODevice& dispositivo) : dispositivo_(dispositivo), largo_(dispositivo.size()) {}
  // false si en `pos` ya no queda ningún byte (fin del fichero).
  bool leer(qint64 pos, QString& registro) {
    if (pos < 0 || pos >= largo_)
      return false;
    if (pos < inicio_ || pos + LargoRegistro > inicio_ + tramo_.size()) {
      if (!dispositivo_.seek(pos))
        return false;
      tramo_ = dispositivo_.read(LargoRegistro * 100);
      inicio_ = pos;
      if (tramo_.isEmpty())
        return false;
    }
    registro = Win1252::decodificar(tramo_.mid(pos - inicio_, LargoRegistro));
    return true;
  }

private:
  QIODevice& dispositivo_;
  qint64 largo_;
  QByteArray tramo_;
  qint64 inicio_ = 0;
};

bool esMarcaLinea(const QString& r) {
  return r.size() >= 2 && r[0] == QLatin1Char('*') && (r[1] == QLatin1Char('L') || r[1] == QLatin1Char('l'));
}

// La posición (desde 0) del primer registro del bloque: P + 80 contada desde
// 1. P es la lectura numérica del campo 6, redondeada como un entero largo;
// una P que no cabe en el fichero de ningún modo da -1 (nada que leer).
qint64 InicioBloque(const QString& lineas) {
  // Unas líneas que no son ningún hexagrama no tienen bloque: sus textos se
  // ven vacíos (no los de la posición 0).
  const QString posicion = HexagramTextPosition(lineas);
  if (posicion.isEmpty())
    return -1;
  const double p = std::nearbyint(Val(posicion));
  if (!std::isfinite(p) || p < 0 || p > 1e15)
    return -1;
  return qint64(p) + LargoRegistro - 1;
}

void cargar(QIODevice& almacen, const QString& lines, const InformeCarga& informe) {
  LectorRegistros lector(almacen);
  const QString lineas = Fijo(lines, 6);
  qint64 pos = InicioBloque(lineas);
  int k = 1;
  QString registro;
  bool hayRegistro = lector.leer(pos, registro);
  while (hayRegistro) {
    if (k >= RanurasTextBuffer)
      break; // un bloque que no cabe: se corta en la última ranura (abajo)
    TextBuffer[k] = QuitarBlancosDerecha(registro);
    const QString guardado = TextBuffer[k].texto();
    if (esMarcaLinea(guardado)) {
      const int n = RedondeoPar(Val(guardado.mid(2, 1)));
      // Una marca con un número que no es de línea no se cuenta a nadie: el
      // que llama habilita el botón de esa línea.
      const bool lineaValida = n >= 1 && n <= 6;
      const QChar c = lineaValida ? lineas[n - 1] : QChar();
      if (c != QLatin1Char('8') && c != QLatin1Char('7')) {
        if (lineaValida && informe.lineaCambiante)
          informe.lineaCambiante(n);
      } else if (n == 6) {
        TextBuffer[k] = QStringLiteral("**");
        break;
      } else {
        // Línea que no cambia: se salta hasta la siguiente marca de línea,
        // que ocupa la misma ranura.
        bool otraMarca = false;
        while (true) {
          pos += LargoRegistro;
          if (!lector.leer(pos, registro))
            break;
          if (esMarcaLinea(registro)) {
            otraMarca = true;
            break;
          }
        }
        if (!otraMarca) {
          // El fichero acaba sin marca final: se cierra el buffer aquí.
          TextBuffer[k] = QStringLiteral("**");
          break;
        }
        continue;
      }
    }
    if (TextBuffer[k].texto().startsWith(QStringLiteral("**")))
      break;
    pos += LargoRegistro;
    ++k;
    hayRegistro = lector.leer(pos, registro);
    // Fin del fichero sin marca final: se cierra en la ranura siguiente, para
    // que no asome lo que dejó una carga anterior.
    if (!hayRegistro && k < RanurasTextBuffer)
      TextBuffer[k] = QStringLiteral("**");
  }
  // Sin sitio para la marca final, la última ranura la recibe en lugar de su
  // registro: los lectores siempre encuentran "**".
  if (k >= RanurasTextBuffer)
    TextBuffer[RanurasTextBuffer - 1] = QStringLiteral("**");
  if (!hayRegistro && k == 1)
    TextBuffer[1] = QStringLiteral("**");
  if (informe.cargaCompleta)
    informe.cargaCompleta();
}
} // namespace

bool EmpiezaInterpretacion(const QString& registro) {
  return QuitarBlancos(registro).left(14).compare(QStringLiteral("INTERPRETACIÓN"), Qt::CaseInsensitive) == 0;
}

void CargarBuffer(const QString& lines, const InformeCarga& informe) {
  // El fichero se lee en cada carga; si falta, o no es un fichero normal
  // (una FIFO colgaría el programa, un enlace a /dev/zero no acabaría), la
  // carga no lee nada y los textos salen vacíos, sin mensaje. El de verdad
  // ocupa medio megabyte.
  constexpr qint64 LimiteAlmacen = qint64(64) << 20;
  QByteArray almacen;
  LeerFicheroRegular(RutaDatos(QStringLiteral("BINARIO.dat")), LimiteAlmacen, &almacen);
  CargarBufferDe(almacen, lines, informe);
}

void CargarBufferDe(const QByteArray& almacen, const QString& lines, const InformeCarga& informe) {
  QBuffer b;
  b.setData(almacen);
  b.open(QIODevice::ReadOnly);
  cargar(b, lines, informe);
}

namespace {
// Une un registro a un texto: un blanco entre registros de un párrafo y una
// línea en blanco antes de un párrafo nuevo (registro que empieza con tres
// blancos), salvo al principio.
void unir(QString& t, const QString& r) {
  if (QuitarBlancos(t).isEmpty())
    t += r;
  else if (r.startsWith(QStringLiteral("   ")))
    t += LineBreak.texto() + LineBreak.texto() + r;
  else
    t += QLatin1Char(' ') + r;
}

struct Extraccion {
  QString primero, segundo;
};

Extraccion extraer(const QString& codigo, bool deLinea) {
  const QString clave = QLatin1Char('*') + codigo;
  Extraccion e;
  QString* actual = &e.primero;
  bool dentro = false;
  for (int i = 1; i <= 100; ++i) {
    const QString r = QuitarBlancosDerecha(TextBuffer[i].texto());
    if (r == QStringLiteral("**"))
      break;
    if (dentro) {
      if (r.startsWith(QLatin1Char('*')))
        break;
      if (deLinea && EmpiezaInterpretacion(r))
        actual = &e.segundo;
      unir(*actual, r);
    }
    if (r.left(2) == clave.left(2)) {
      dentro = true;
      if (deLinea)
        dentro = r.mid(2, 1) == clave.mid(2, 1);
    }
    DejarCorrerEventos();
  }
  e.primero = QuitarBlancosDerecha(e.primero);
  e.segundo = QuitarBlancosDerecha(e.segundo);
  return e;
}
} // namespace

QString ExtraerSeccion(const QString& codigo) {
  return extraer(codigo, false).primero;
}

TextoLinea ExtraerLinea(const QString& codigo) {
  const Extraccion e = extraer(codigo, true);
  return {e.primero, e.segundo};
}
