#include "pictures/Monedas.h"

#include "pictures/Dibujos.h"
#include "pictures/GRAFICOS.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <array>
#include <vector>

namespace {
// Bronce de la moneda.
const QColor BronceClaro{246, 214, 140};
const QColor Bronce{200, 152, 70};
const QColor BronceOscuro{112, 72, 28};
const QColor BronceSombra{70, 42, 14};

constexpr qreal Radio = 46.0;   // radio de la moneda en la imagen de 100 x 100
constexpr qreal Grueso = 6.0;   // grosor del canto
constexpr qreal Agujero = 11.5; // medio lado del agujero cuadrado

// El disco con su agujero: el tapete se ve a través de él.
QPainterPath Disco(qreal r) {
  QPainterPath p;
  p.setFillRule(Qt::OddEvenFill);
  p.addEllipse(QPointF(0, 0), r, r);
  p.addRect(QRectF(-Agujero, -Agujero, 2 * Agujero, 2 * Agujero));
  return p;
}

// Cuatro signos de trazo propio, uno por lado del agujero: arriba, derecha,
// abajo, izquierda. Cada uno son trazos en una celda de -1 a 1.
using Trazo = std::vector<QPointF>;
const std::array<std::vector<Trazo>, 4>& Signos() {
  static const std::array<std::vector<Trazo>, 4> signos = {{
      {{{-0.85, -0.75}, {0.85, -0.75}},
       {{0.0, -0.75}, {0.0, 0.95}},
       {{-0.6, -0.15}, {0.6, -0.15}},
       {{-0.6, 0.3}, {0.6, 0.3}, {0.6, 0.95}, {-0.6, 0.95}, {-0.6, 0.3}}},
      {{{-0.75, -0.6}, {0.75, -0.6}},
       {{-0.5, 0.0}, {0.5, 0.0}},
       {{-0.85, 0.7}, {0.85, 0.7}},
       {{0.0, -0.95}, {0.0, 0.7}},
       {{0.55, -0.95}, {0.8, -0.75}}},
      {{{-0.85, -0.7}, {0.85, -0.7}},
       {{-0.5, -0.7}, {-0.5, 0.85}},
       {{0.45, -0.7}, {0.45, 0.45}, {0.85, 0.85}},
       {{-0.85, 0.1}, {0.85, 0.1}}},
      {{{-0.7, -0.85}, {-0.7, 0.85}},
       {{-0.7, -0.85}, {0.7, -0.85}, {0.7, 0.15}},
       {{-0.35, -0.35}, {0.4, -0.35}},
       {{0.05, -0.35}, {-0.45, 0.85}},
       {{0.05, 0.1}, {0.85, 0.85}}},
  }};
  return signos;
}

// Los trazos de un signo en relieve: sombra abajo a la derecha, luz encima.
void Signo(QPainter& p, const std::vector<Trazo>& trazos, QPointF centro, qreal medio) {
  for (int capa = 0; capa < 2; ++capa) {
    const QPointF desplaza = capa == 0 ? QPointF(0.7, 0.8) : QPointF(0, 0);
    p.setPen(QPen(capa == 0 ? BronceSombra : BronceClaro, 2.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const Trazo& t : trazos) {
      QPolygonF linea;
      for (QPointF q : t)
        linea << centro + desplaza + q * medio;
      p.drawPolyline(linea);
    }
  }
}

// Un anillo en relieve: luz arriba a la izquierda, sombra abajo a la derecha
// (o al revés si está hundido).
void Filo(QPainter& p, const QPainterPath& forma, bool hundido) {
  QLinearGradient g(QPointF(-Radio, -Radio), QPointF(Radio, Radio));
  g.setColorAt(0.0, hundido ? BronceSombra : BronceClaro);
  g.setColorAt(1.0, hundido ? BronceClaro : BronceSombra);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QBrush(g), 1.4));
  p.drawPath(forma);
}

// Una cara de la moneda, de frente, centrada en el origen.
void Cara(QPainter& p, bool anverso) {
  // El metal: más claro arriba a la izquierda, de donde viene la luz.
  QRadialGradient metal(QPointF(-Radio * 0.35, -Radio * 0.4), Radio * 1.5);
  metal.setColorAt(0.0, BronceClaro);
  metal.setColorAt(0.45, Bronce);
  metal.setColorAt(1.0, BronceOscuro);
  p.setPen(QPen(BronceSombra, 1.2));
  p.setBrush(metal);
  p.drawPath(Disco(Radio));

  // El campo, un poco hundido entre el borde y el filo del agujero.
  const qreal campo = Radio * 0.82;
  QRadialGradient hondo(QPointF(-campo * 0.2, -campo * 0.25), campo * 1.4);
  hondo.setColorAt(0.0, anverso ? QColor(222, 178, 98) : QColor(214, 168, 90));
  hondo.setColorAt(1.0, anverso ? QColor(150, 102, 42) : QColor(140, 96, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(hondo);
  QPainterPath hueco;
  hueco.addEllipse(QPointF(0, 0), campo, campo);
  const qreal marco = Agujero + 3.2;
  hueco.addRect(QRectF(-marco, -marco, 2 * marco, 2 * marco));
  hueco.setFillRule(Qt::OddEvenFill);
  p.drawPath(hueco);

  QPainterPath borde;
  borde.addEllipse(QPointF(0, 0), campo, campo);
  Filo(p, borde, true);
  QPainterPath filoAgujero;
  filoAgujero.addRect(QRectF(-marco, -marco, 2 * marco, 2 * marco));
  Filo(p, filoAgujero, false);
  QPainterPath agujero;
  agujero.addRect(QRectF(-Agujero, -Agujero, 2 * Agujero, 2 * Agujero));
  Filo(p, agujero, true);

  if (anverso) {
    // Cuatro signos alrededor del agujero: arriba, derecha, abajo, izquierda.
    const qreal d = (marco + campo) / 2.0;
    const qreal medio = (campo - marco) * 0.36;
    const std::array<QPointF, 4> sitios = {QPointF(0, -d), QPointF(d, 0), QPointF(0, d), QPointF(-d, 0)};
    for (int i = 0; i < 4; ++i)
      Signo(p, Signos()[i], sitios[i], medio);
  } else {
    // El reverso es liso; sólo unas manchas de pátina le dan edad.
    p.setPen(Qt::NoPen);
    const std::array<QPointF, 3> manchas = {QPointF(-20, 22), QPointF(24, -18), QPointF(18, 26)};
    const std::array<qreal, 3> tam = {6.0, 4.0, 3.0};
    for (int i = 0; i < 3; ++i) {
      QRadialGradient g(manchas[i], tam[i]);
      g.setColorAt(0.0, QColor(70, 130, 100, 90));
      g.setColorAt(1.0, QColor(70, 130, 100, 0));
      p.setBrush(g);
      p.drawEllipse(manchas[i], tam[i], tam[i]);
    }
  }
}

// El canto visto de lado cuando la moneda está inclinada: una banda entre
// la cara que se ve y la que queda detrás, desplazada `paso` en horizontal.
void Canto(QPainter& p, qreal escala, qreal paso) {
  QPainterPath banda;
  banda.addEllipse(QPointF(paso, 0), Radio * escala, Radio);
  banda.addRect(QRectF(qMin(0.0, paso), -Radio, qAbs(paso), 2 * Radio));
  banda = banda.simplified();
  QLinearGradient g(QPointF(0, -Radio), QPointF(0, Radio));
  g.setColorAt(0.0, QColor(150, 104, 44));
  g.setColorAt(0.5, QColor(206, 160, 84));
  g.setColorAt(1.0, QColor(92, 58, 20));
  p.setPen(QPen(BronceSombra, 1.0));
  p.setBrush(g);
  p.drawPath(banda);
}
} // namespace

namespace Dibujos {

QPixmap FaseMoneda(int fase, qreal dpr) {
  QPixmap pm = Lienzo(QSize(100, 100), dpr);
  QPainter p(&pm);
  Preparar(p);
  p.translate(50, 50);

  // Un giro completo en ocho pasos; las imágenes son la moneda girada sobre
  // su eje vertical: de frente, a 60°, de canto, a 120°…
  struct Vista {
    qreal angulo; // grados de giro
    bool anverso; // qué cara se ve
  };
  static const std::array<Vista, 7> vistas = {
      {{0, true}, {60, true}, {90, true}, {120, false}, {180, false}, {240, false}, {300, true}}};
  const Vista v = vistas[static_cast<size_t>(qBound(0, fase, 6))];
  const qreal rad = qDegreesToRadians(v.angulo);
  const qreal escala = qAbs(std::cos(rad));
  // La cara de atrás queda desplazada hacia el lado del canto que se ve.
  const qreal detras = (v.anverso ? -1.0 : 1.0) * Grueso * std::sin(rad);

  if (fase == 2) {
    // De canto: una barra fina de metal, brillante en el centro.
    const QRectF barra(-Grueso / 2, -Radio, Grueso, 2 * Radio);
    QLinearGradient g(barra.topLeft(), barra.topRight());
    g.setColorAt(0.0, BronceOscuro);
    g.setColorAt(0.45, BronceClaro);
    g.setColorAt(1.0, BronceSombra);
    p.setPen(QPen(BronceSombra, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(barra, Grueso / 2, 2.5);
    // Las muescas del canto que el giro deja ver.
    p.setPen(QPen(QColor(120, 80, 30, 150), 0.8));
    for (qreal y = -Radio + 8; y < Radio - 4; y += 9)
      p.drawLine(QPointF(-Grueso / 2 + 1, y), QPointF(Grueso / 2 - 1, y));
    return pm;
  }

  if (escala < 0.99)
    Canto(p, escala, detras);
  p.save();
  p.scale(escala, 1.0);
  Cara(p, v.anverso);
  p.restore();
  if (escala < 0.99) {
    // La cara inclinada recibe menos luz.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.save();
    p.scale(escala, 1.0);
    p.drawPath(Disco(Radio));
    p.restore();
  }
  return pm;
}

QPixmap CaraArrojarParar(int indice, qreal dpr) {
  const QString texto = indice == 0 ? QStringLiteral("Arrojar Monedas") : QStringLiteral("Parar Monedas");
  QPixmap pm = Lienzo(QSize(200, 40), dpr, Qt::black);
  QPainter p(&pm);
  Preparar(p);

  // Una letra de pluma si la hay; si no, una cursiva con serifa.
  QFont f;
  const QStringList familias = QFontDatabase::families();
  bool pluma = false;
  // Con la misma familia de dos fundiciones, la lista las da como "Z003 [urw]".
  auto hay = [&familias](const QString& nombre) {
    for (const QString& fam : familias)
      if (fam == nombre || fam.startsWith(nombre + QLatin1String(" [")))
        return true;
    return false;
  };
  for (const char* nombre : {"Z003", "URW Chancery L", "TeX Gyre Chorus"})
    if (hay(QString::fromLatin1(nombre))) {
      f.setFamily(QString::fromLatin1(nombre));
      pluma = true;
      break;
    }
  if (!pluma) {
    f.setFamily(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setItalic(true);
    f.setBold(true);
  }
  const QRectF caja(8, 2, 184, 36);
  qreal tam = pluma ? 30 : 25;
  for (; tam > 8; tam -= 0.5) {
    f.setPixelSize(qRound(tam));
    const QFontMetricsF m(f);
    if (m.horizontalAdvance(texto) <= caja.width() && m.ascent() + m.descent() <= caja.height() + 6)
      break;
  }
  const QFontMetricsF m(f);
  QPainterPath letras;
  const qreal x = caja.left() + (caja.width() - m.horizontalAdvance(texto)) / 2.0;
  const qreal y = caja.top() + (caja.height() + m.ascent() - m.descent()) / 2.0;
  letras.addText(QPointF(x, y), f, texto);

  // Un halo verde oscuro detrás y el trazo en verde claro por encima.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 90, 40, 150), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(letras);
  QLinearGradient verde(QPointF(0, caja.top()), QPointF(0, caja.bottom()));
  verde.setColorAt(0.0, QColor(170, 255, 160));
  verde.setColorAt(1.0, QColor(30, 200, 80));
  p.setPen(Qt::NoPen);
  p.setBrush(verde);
  p.drawPath(letras);

  // Un filete fino para que la cara se lea como un botón.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 150, 80, 140), 1.0));
  p.drawRoundedRect(QRectF(1.5, 1.5, 197, 37), 4, 4);
  return pm;
}

} // namespace Dibujos

void DibujarMonedas(GRAFICOS& g) {
  const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
  for (int i = 0; i < 7; ++i)
    g.grfmoneda[static_cast<size_t>(i)] = Dibujos::FaseMoneda(i, dpr);
  for (int i = 0; i < 2; ++i)
    g.GRFarrojarParar[static_cast<size_t>(i)] = Dibujos::CaraArrojarParar(i, dpr);
}
