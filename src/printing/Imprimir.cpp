// La impresión de un hexagrama como un trabajo: la pregunta, el nombre, el
// dibujo de sus seis líneas con los nombres de los trigramas y, después, sus
// textos compuestos en líneas con guiones.

#include "core/Estado.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Controles.h"
#include "platform/DialogosComunes.h"
#include "platform/Impresora.h"
#include "printing/ComponerTexto.h"
#include "printing/FRMImprimir.h"

#include <QGroupBox>
#include <QLabel>

namespace {
// El dibujo del hexagrama, en twips.
constexpr double BaseDibujo = 1350;    // la línea 6 va 200 más abajo
constexpr double PasoLineas = 200;     // de una línea a la siguiente
constexpr double HuecoTrigramas = 150; // una vez, entre los dos trigramas
constexpr double AltoBarra = 100;
constexpr double AnchoBarra = 1500;
constexpr double MediaBarra = 600; // cada mitad de una línea partida; el hueco es de 300
constexpr double XEtiquetas = 2500;
constexpr double RadioAnillo = 70;
constexpr double PrimeraLineaY = 100;
constexpr int PausaTrasTrabajo = 50;

const QColor Tinta(0, 0, 0);

// y de la línea n (1 abajo, 6 arriba): 1550 la 6 … 2700 la 1.
double yLinea(int n) {
  double y = BaseDibujo + PasoLineas * (7 - n);
  if (n <= 3)
    y += HuecoTrigramas;
  return y;
}

// La rutina termina (Anular o Aceptar en un mensaje de fallo).
struct Abandono {};

// Un trabajo de impresión con su tratamiento de fallos: cada paso que falla
// se cuenta al usuario, que decide si se repite, se salta o se deja todo.
// Un trabajo que se deja no deja nada tras de sí: ni un PDF a medias ni un
// fichero temporal (los textos se componen en la memoria). Un fallo del
// sitio donde se escribe se explica en un solo mensaje y termina la orden de
// imprimir, porque reintentar no lo arregla.
class Trabajo {
public:
  Trabajo(Impresora& p, std::function<void()> alAnular) : p_(p), alAnular_(std::move(alAnular)) {}

  template <class F> void paso(F&& f) {
    while (true) {
      try {
        f();
        return;
      } catch (const ErrorEjecucion& e) {
        if (!e.explicacion().isEmpty()) {
          MsgBox(e.explicacion(), vbCritical | vbOKOnly, QStringLiteral("ATENCIÓN..."));
          dejar();
          alAnular_();
          throw Abandono{};
        }
        switch (preguntar(e.numero())) {
        case vbRetry:
          continue;
        case vbIgnore:
          return;
        case vbAbort:
          dejar();
          alAnular_();
          throw Abandono{};
        default:
          // Aceptar: la rutina termina aquí, y el trabajo con ella.
          dejar();
          throw Abandono{};
        }
      }
    }
  }

private:
  void dejar() {
    try {
      p_.KillDoc();
    } catch (const ErrorEjecucion&) {
    }
  }

  int preguntar(int numero) {
    const QString titulo = QStringLiteral("ATENCIÓN...");
    if (numero == ErrImpresora) {
      // Tras una impresora no preparada, también los demás fallos dejan
      // anular, reintentar u omitir.
      botones_ = vbAbortRetryIgnore;
      return MsgBox(QStringLiteral("IMPRESORA NO PREPARADA (error 482)"), vbCritical | vbAbortRetryIgnore,
                    titulo);
    }
    return MsgBox(QStringLiteral("ERROR %1 (SUB IMPRIMIR)").arg(numero), vbCritical | botones_, titulo);
  }

  Impresora& p_;
  std::function<void()> alAnular_;
  int botones_ = vbOKOnly;
};
} // namespace

void FRMImprimir::Imprimir() {
  Impresora& P = Printer();
  const DialogoComun& fuente = *CMDPrint;
  Trabajo t(P, [this] {
    abortado_ = true;
    Ocultar();
  });

  try {
    // 2. El ancho de la página y el límite de las líneas compuestas.
    const double ancho = RedondeoPar(P.AnchoPagina());
    printer2.setWidth(ancho);
    const double lineLimit = ancho - RightReserve;

    // 3. La primera salida empieza la página.
    t.paso([&] { P.Print(QString(), true); });
    P.setFontBold(true);
    P.setCurrentX(LeftMargin);
    P.setCurrentY(PrimeraLineaY);
    P.setFontUnderline(true);

    // 4. La pregunta, partida por palabras si no cabe en una línea; las
    // líneas siguientes empiezan bajo su primer carácter.
    t.paso([&] { P.Print(QStringLiteral("CONSULTA:"), false); });
    P.setFontBold(false);
    P.setFontUnderline(false);
    const double xPregunta = P.CurrentX() + P.TextWidth(QStringLiteral(" "));
    const QStringList pregunta = PartirSinGuion(QuitarBlancos(CurrentQuestion), ancho - xPregunta,
                                                [&P](const QString& s) { return P.TextWidth(s); });
    t.paso([&] { P.Print(QLatin1Char(' ') + pregunta.constFirst(), true); });
    const double yTrasPregunta = P.CurrentY();
    for (qsizetype i = 1; i < pregunta.size(); ++i) {
      P.setCurrentX(xPregunta);
      t.paso([&] { P.Print(pregunta[i], true); });
    }
    // Lo que ocupan las líneas de más de la pregunta baja el dibujo.
    const double bajada = P.CurrentY() - yTrasPregunta;

    // 5. Qué hexagrama es y su nombre.
    P.setFontBold(true);
    t.paso([&] { P.Print(QString(), true); });
    P.setCurrentX(LeftMargin);
    P.setFontUnderline(true);
    t.paso([&] { P.Print(Framehexagrama->title(), true); });
    P.setFontUnderline(false);
    t.paso([&] { P.Print(QString(), true); });
    P.setCurrentX(LeftMargin);
    t.paso([&] { P.Print(TXTHEXAGRAMA[0]->text(), true); });

    // 6. Las seis líneas, de arriba abajo, y los nombres de los trigramas
    // donde la pluma queda tras dibujar las líneas 6 y 3.
    for (int n = 6; n >= 1; --n) {
      const double X = LeftMargin;
      const double Y = yLinea(n) + bajada;
      const QString valor = gLINEA[std::size_t(n - 1)]->Tag;
      const bool partida =
          valor == QLatin1String("6") || valor == QLatin1String("8") || valor == QLatin1String("9");
      if (valor == QLatin1String("7")) {
        t.paso([&] { P.Line(X, Y, X + AnchoBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
      } else if (partida) {
        t.paso([&] { P.Line(X, Y, X + MediaBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
        t.paso([&] { P.Line(X + 900, Y, X + AnchoBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
      }
      if (valor == QLatin1String("6")) {
        t.paso([&] { P.Line(X + 700, Y, X + 800, Y + AltoBarra, Tinta, FormaLinea::Raya); });
        t.paso([&] { P.Line(X + 700, Y + AltoBarra, X + 800, Y, Tinta, FormaLinea::Raya); });
      } else if (valor == QLatin1String("9")) {
        t.paso([&] { P.Circle(X + 750, Y + 50, RadioAnillo, Tinta); });
      }
      P.setFontName(fuente.FontName);
      if (n == 6) {
        P.setCurrentX(XEtiquetas);
        P.setFontUnderline(true);
        P.setFontBold(true);
        t.paso([&] { P.Print(QStringLiteral("Trigrama Superior:"), false); });
        P.setFontUnderline(false);
        P.setFontBold(false);
        t.paso([&] { P.Print(QStringLiteral("  ") + TXTTRIGRAMA[0]->text(), false); });
      }
      if (n == 3) {
        P.setFontUnderline(true);
        P.setFontBold(true);
        P.setCurrentX(XEtiquetas);
        t.paso([&] { P.Print(QStringLiteral("Trigrama Inferior:"), false); });
        P.setFontUnderline(false);
        P.setFontBold(false);
        t.paso([&] { P.Print(QStringLiteral("  ") + TXTTRIGRAMA[1]->text(), false); });
      }
    }

    // 7. El segundo nombre del hexagrama y dos líneas en blanco.
    t.paso([&] { P.Print(QString(), true); });
    P.setCurrentX(LeftMargin);
    t.paso([&] { P.Print(TXTHEXAGRAMA[1]->text(), true); });
    t.paso([&] { P.Print(QString(), true); });
    t.paso([&] { P.Print(QString(), true); });

    // 8. Los textos, compuestos en líneas de Windows-1252 acabadas en CR LF,
    // como en el fichero temporal de siempre, pero en la memoria: ningún
    // fichero que otro pueda cambiar entre escribirlo y leerlo.
    QByteArray compuesto;
    t.paso([&] {
      compuesto.clear();
      const FuenteComposicion fc{fuente.FontName, fuente.FontSize};
      ComponerTexto(printer2, fc, lineLimit, [&](const QString& linea) {
        compuesto += Win1252::codificar(linea) + QByteArrayLiteral("\r\n");
      });
    });

    // 9. Línea a línea, a la impresora.
    for (qsizetype desde = 0; desde < compuesto.size();) {
      const qsizetype salto = compuesto.indexOf('\n', desde);
      const qsizetype hasta = salto < 0 ? compuesto.size() : salto + 1;
      QByteArray bytes = compuesto.mid(desde, hasta - desde);
      desde = hasta;
      while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
      QString linea = Win1252::decodificar(bytes);
      // Una salida vacía con negrita y subrayado, que no deja marca.
      P.setFontBold(false);
      P.setFontUnderline(false);
      P.setFontBold(true);
      P.setFontUnderline(true);
      t.paso([&] { P.Print(QString(), false); });
      P.setFontBold(false);
      P.setFontUnderline(false);
      if (linea.left(3) == QLatin1String("*n*")) {
        P.setFontBold(true);
        P.setFontUnderline(true);
        linea = linea.mid(3);
      }
      P.setFontName(fuente.FontName);
      P.setFontSize(fuente.FontSize);
      P.setCurrentX(LeftMargin);
      t.paso([&] { P.Print(linea, true); });
      DejarCorrerEventos();
    }

    // 10. Fin del trabajo.
    t.paso([&] { P.EndDoc(); });
    WaitTicks(PausaTrasTrabajo);
  } catch (const Abandono&) {
  }
}
