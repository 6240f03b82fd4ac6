// La impresión de un hexagrama como un trabajo: la pregunta, la fecha, el
// nombre, el dibujo de sus seis líneas con los nombres de los trigramas y,
// después, sus textos compuestos en líneas con guiones; cada página con su
// número y, desde la segunda, una cabecera de una línea.

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
#include <QLocale>

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
// La cabecera se escribe siempre del mismo tamaño, con la familia elegida:
// la letra del texto no la mueve. El dibujo va debajo de lo que ocupe, con
// este hueco como poco (el de la letra de siempre).
constexpr double TamanoCabecera = 12;
constexpr double HuecoDibujo = 70;
// El número de página y la cabecera de las páginas siguientes, más pequeños.
constexpr double TamanoMargen = 9;
constexpr double HuecoMargen = 200; // entre ellos y el texto

const QColor Tinta(0, 0, 0);
const QColor Papel(255, 255, 255);

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

// Una impresora que no pone nada en el papel: el trabajo se ensaya en ella
// para saber cuántas páginas tendrá antes de imprimir la primera.
class ImpresoraDeEnsayo : public Impresora {
public:
  ImpresoraDeEnsayo(double ancho, double alto) : ancho_(ancho), alto_(alto) {}
  double AnchoPagina() const override { return ancho_; }
  double AltoPagina() const override { return alto_; }
  void ElegirFicheroPdf(const QString&) override {}

protected:
  void empezarTrabajo() override {}
  void pasarPagina() override {}
  void pintarTexto(const QPointF&, const QString&, const QFont&) override {}
  void pintarCaja(const QRectF&, const QColor&) override {}
  void pintarRaya(const QPointF&, const QPointF&, const QColor&) override {}
  void pintarCirculo(const QPointF&, double, const QColor&, const QColor&) override {}
  void terminarTrabajo() override {}
  void cancelarTrabajo() override {}

private:
  double ancho_, alto_;
};

// Lo que lleva la página de un hexagrama, ya preparado.
struct Hoja {
  QString pregunta;        // en una línea, sin saltos
  QString fecha;           // «5 de diciembre de 2026»
  QString titulo;          // HEXAGRAMA PRINCIPAL o COMPLEMENTARIO
  QString nombre, segundo; // número y nombre; el segundo nombre
  QString superior, inferior;
  std::array<QString, 6> valores; // de la línea 1 a la 6
  QStringList texto;              // las líneas compuestas
  FuenteComposicion fuente;       // la elegida
  int paginas = 0;                // 0 mientras se ensaya
};

// La pregunta en una sola línea: un salto que el usuario puso al escribirla
// vale lo que un blanco, para que dos palabras no se peguen en el papel.
QString preguntaEnUnaLinea(const QString& pregunta) {
  return pregunta.simplified();
}

// La fecha de la consulta; si no la tiene, la de hoy.
QString fechaImpresa() {
  const QDate fecha = CurrentDate.isValid() ? CurrentDate : Fecha();
  return QLocale(QLocale::Spanish, QLocale::Spain).toString(fecha, QStringLiteral("d 'de' MMMM 'de' yyyy"));
}

// La página entera de un hexagrama, en `P`, con `paso` alrededor de cada
// operación que puede fallar.
template <class Paso> void Trazar(Impresora& P, const Hoja& h, Paso&& paso) {
  const double ancho = RedondeoPar(P.AnchoPagina());
  const double derecha = ancho - LeftMargin; // donde acaba lo que va alineado a la derecha
  const auto letra = [&](double tamano, bool negrita = false, bool subrayado = false, bool cursiva = false) {
    P.setFontName(h.fuente.nombre);
    P.setFontSize(tamano);
    P.setFontBold(negrita);
    P.setFontUnderline(subrayado);
    P.setFontItalic(cursiva);
  };

  // El número de cada página abajo, en el centro; desde la segunda, la
  // pregunta y el hexagrama en una línea arriba, con una raya debajo.
  letra(TamanoMargen);
  const double altoMargen = P.TextHeight();
  Impresora::Margenes margenes;
  margenes.reservaPie = altoMargen + HuecoMargen;
  margenes.alDejar = [&](int n) {
    letra(TamanoMargen);
    const QString pie = QStringLiteral("Página %1 de %2").arg(n).arg(std::max(h.paginas, n));
    P.setCurrentY(P.AltoPagina() - altoMargen);
    P.setCurrentX((ancho - P.TextWidth(pie)) / 2);
    paso([&] { P.Print(pie, false); });
  };
  margenes.alEmpezar = [&](int) {
    letra(TamanoMargen, false, false, true);
    const double anchoNombre = P.TextWidth(h.nombre);
    const QString pregunta =
        QFontMetricsF(P.Fuente())
            .elidedText(h.pregunta, Qt::ElideRight, derecha - LeftMargin - anchoNombre - 400);
    P.setCurrentY(PrimeraLineaY);
    P.setCurrentX(LeftMargin);
    paso([&] { P.Print(pregunta, false); });
    P.setCurrentY(PrimeraLineaY);
    P.setCurrentX(derecha - anchoNombre);
    paso([&] { P.Print(h.nombre, false); });
    const double raya = PrimeraLineaY + altoMargen + 40;
    paso([&] { P.Line(LeftMargin, raya, derecha, raya, Tinta, FormaLinea::Raya); });
    P.setCurrentY(raya + HuecoMargen);
  };
  struct Quitar {
    Impresora& p;
    ~Quitar() { p.setMargenes({}); }
  } quitar{P};
  P.setMargenes(margenes);

  // 3. La primera salida empieza la página, siempre con la misma letra.
  letra(TamanoCabecera);
  paso([&] { P.Print(QString(), true); });
  letra(TamanoCabecera, true, true);
  P.setCurrentX(LeftMargin);
  P.setCurrentY(PrimeraLineaY);

  // 4. La pregunta, partida por palabras si no cabe en una línea; las
  // líneas siguientes empiezan bajo su primer carácter.
  paso([&] { P.Print(QStringLiteral("CONSULTA:"), false); });
  letra(TamanoCabecera);
  const double xPregunta = P.CurrentX() + P.TextWidth(QStringLiteral(" "));
  const QStringList pregunta =
      PartirSinGuion(h.pregunta, ancho - xPregunta, [&P](const QString& s) { return P.TextWidth(s); });
  paso([&] { P.Print(QLatin1Char(' ') + pregunta.constFirst(), true); });
  for (qsizetype i = 1; i < pregunta.size(); ++i) {
    P.setCurrentX(xPregunta);
    paso([&] { P.Print(pregunta[i], true); });
  }

  // 5. Qué hexagrama es, con la fecha de la consulta a la derecha, y su
  // nombre.
  paso([&] { P.Print(QString(), true); });
  const double yTitulo = P.CurrentY();
  P.setCurrentX(derecha - P.TextWidth(h.fecha));
  paso([&] { P.Print(h.fecha, false); });
  P.setCurrentY(yTitulo);
  P.setCurrentX(LeftMargin);
  letra(TamanoCabecera, true, true);
  paso([&] { P.Print(h.titulo, true); });
  letra(TamanoCabecera, true);
  paso([&] { P.Print(QString(), true); });
  P.setCurrentX(LeftMargin);
  paso([&] { P.Print(h.nombre, true); });
  // El dibujo, debajo de lo que ocupe la cabecera.
  const double bajada = std::max(0.0, P.CurrentY() + HuecoDibujo - yLinea(6));

  // 6. Las seis líneas, de arriba abajo, y los nombres de los trigramas
  // donde la pluma queda tras dibujar las líneas 6 y 3. El 9 es la raya
  // entera con un disco blanco en medio; el 6, las dos mitades con un aspa.
  for (int n = 6; n >= 1; --n) {
    const double X = LeftMargin;
    const double Y = yLinea(n) + bajada;
    const QString& valor = h.valores[std::size_t(n - 1)];
    if (valor == QLatin1String("7") || valor == QLatin1String("9")) {
      paso([&] { P.Line(X, Y, X + AnchoBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
    } else if (valor == QLatin1String("6") || valor == QLatin1String("8")) {
      paso([&] { P.Line(X, Y, X + MediaBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
      paso([&] { P.Line(X + 900, Y, X + AnchoBarra, Y + AltoBarra, Tinta, FormaLinea::CajaRellena); });
    }
    if (valor == QLatin1String("6")) {
      paso([&] { P.Line(X + 700, Y, X + 800, Y + AltoBarra, Tinta, FormaLinea::Raya); });
      paso([&] { P.Line(X + 700, Y + AltoBarra, X + 800, Y, Tinta, FormaLinea::Raya); });
    } else if (valor == QLatin1String("9")) {
      paso([&] { P.Circle(X + 750, Y + 50, RadioAnillo, Tinta, Papel); });
    }
    if (n == 6 || n == 3) {
      const QString etiqueta =
          n == 6 ? QStringLiteral("Trigrama Superior:") : QStringLiteral("Trigrama Inferior:");
      const QString trigrama = QStringLiteral("  ") + (n == 6 ? h.superior : h.inferior);
      P.setCurrentX(XEtiquetas);
      letra(TamanoCabecera, true, true);
      paso([&] { P.Print(etiqueta, false); });
      letra(TamanoCabecera);
      paso([&] { P.Print(trigrama, false); });
    }
  }

  // 7. El segundo nombre del hexagrama y dos líneas en blanco.
  letra(TamanoCabecera);
  paso([&] { P.Print(QString(), true); });
  P.setCurrentX(LeftMargin);
  paso([&] { P.Print(h.segundo, true); });
  paso([&] { P.Print(QString(), true); });
  paso([&] { P.Print(QString(), true); });

  // 9. Los textos, con la letra elegida; una cabecera de sección no se
  // queda sola al pie de una página.
  for (const QString& compuesta : h.texto) {
    const bool cabecera = compuesta.startsWith(QLatin1String("*n*"));
    letra(h.fuente.tamano, cabecera || h.fuente.negrita, cabecera, h.fuente.cursiva);
    if (cabecera && !P.Cabe(2 * P.TextHeight()))
      paso([&] { P.SaltoDePagina(); });
    P.setCurrentX(LeftMargin);
    paso([&] { P.Print(cabecera ? compuesta.mid(3) : compuesta, true); });
    DejarCorrerEventos();
  }
  // El pie de la última página.
  paso([&] { P.CerrarPagina(); });
}
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

    Hoja h;
    h.pregunta = preguntaEnUnaLinea(CurrentQuestion.texto());
    h.fecha = fechaImpresa();
    h.titulo = Framehexagrama->title();
    h.nombre = TXTHEXAGRAMA[0]->text();
    h.segundo = TXTHEXAGRAMA[1]->text();
    h.superior = TXTTRIGRAMA[0]->text();
    h.inferior = TXTTRIGRAMA[1]->text();
    for (std::size_t i = 0; i < 6; ++i)
      h.valores[i] = gLINEA[i]->Tag;
    h.fuente = FuenteComposicion{fuente.FontName, fuente.FontSize, fuente.FontBold, fuente.FontItalic};

    // 8. Los textos, compuestos en la memoria: ningún fichero que otro
    // pueda cambiar entre escribirlo y leerlo.
    t.paso([&] {
      h.texto.clear();
      ComponerTexto(printer2, h.fuente, lineLimit, [&](const QString& linea) { h.texto << linea; });
    });

    // Un ensayo dice cuántas páginas tendrá; después, al papel.
    {
      ImpresoraDeEnsayo ensayo(P.AnchoPagina(), P.AltoPagina());
      Trazar(ensayo, h, [](auto&& f) { f(); });
      h.paginas = ensayo.Pagina();
      ensayo.EndDoc();
    }
    Trazar(P, h, [&](auto&& f) { t.paso(f); });

    // 10. Fin del trabajo.
    t.paso([&] { P.EndDoc(); });
    WaitTicks(PausaTrasTrabajo);
  } catch (const Abandono&) {
  }
}
