#include "interpretation/AlmacenTextos.h"

#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "platform/Codificacion.h"
#include "platform/Rutas.h"

#include <QFile>

std::vector<TextoFijo> TextBuffer(RanurasTextBuffer, TextoFijo(80));

namespace {
constexpr int LargoRegistro = 80;

// Lee registros de 80 bytes en posiciones (desde 0) del almacén.
class LectorRegistros {
public:
  explicit LectorRegistros(const QByteArray& datos) : datos_(datos) {}
  // false si en `pos` ya no queda ningún byte (fin del fichero).
  bool leer(qint64 pos, QString& registro) const {
    if (pos < 0 || pos >= datos_.size())
      return false;
    registro = Win1252::decodificar(datos_.mid(pos, LargoRegistro));
    return true;
  }
  bool finEn(qint64 pos) const { return pos < 0 || pos >= datos_.size(); }

private:
  const QByteArray& datos_;
};

bool esMarcaLinea(const QString& r) {
  return r.size() >= 2 && r[0] == QLatin1Char('*') && (r[1] == QLatin1Char('L') || r[1] == QLatin1Char('l'));
}
} // namespace

bool EmpiezaInterpretacion(const QString& registro) {
  return registro.trimmed().left(14).compare(QStringLiteral("INTERPRETACIÓN"), Qt::CaseInsensitive) == 0;
}

void CargarBuffer(const QString& lines, const InformeCarga& informe) {
  QFile f(RutaDatos(QStringLiteral("BINARIO.dat")));
  QByteArray datos;
  if (f.open(QIODevice::ReadOnly))
    datos = f.readAll();
  CargarBufferDe(datos, lines, informe);
}

void CargarBufferDe(const QByteArray& almacen, const QString& lines, const InformeCarga& informe) {
  const LectorRegistros lector(almacen);
  const QString lineas = Fijo(lines, 6);
  // P se cuenta desde 1 y el bloque empieza 80 bytes después: desde 0, P + 79.
  const qint64 p = qint64(Val(HexagramTextPosition(lineas)));
  qint64 pos = p + LargoRegistro - 1;
  int k = 1;
  QString registro;
  bool hayRegistro = lector.leer(pos, registro);
  while (hayRegistro) {
    if (k >= RanurasTextBuffer) {
      // Un bloque que no cabe: se corta en la última ranura.
      TextBuffer[RanurasTextBuffer - 1] = QStringLiteral("**");
      break;
    }
    TextBuffer[k] = QuitarBlancosDerecha(registro);
    const QString guardado = TextBuffer[k].texto();
    if (esMarcaLinea(guardado)) {
      const int n = RedondeoPar(Val(guardado.mid(2, 1)));
      const QChar c = n >= 1 && n <= 6 ? lineas[n - 1] : QChar();
      if (c != QLatin1Char('8') && c != QLatin1Char('7')) {
        if (informe.lineaCambiante)
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
    if (!hayRegistro && k < RanurasTextBuffer)
      TextBuffer[k] = QStringLiteral("**"); // fin del fichero sin marca final
  }
  if (!hayRegistro && k == 1)
    TextBuffer[1] = QStringLiteral("**");
  if (informe.cargaCompleta)
    informe.cargaCompleta();
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
    WaitTicks(1);
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
