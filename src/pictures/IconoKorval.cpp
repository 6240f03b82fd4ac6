#include "pictures/IconoKorval.h"

#include "platform/Estilo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace IconoKorval {

namespace {
// El hexagrama del icono, de abajo arriba: el fuego bajo el agua, con las
// líneas enteras y partidas alternas, que se distinguen aun en pequeño.
constexpr bool Enteras[6] = {true, false, true, false, true, false};
const QColor Marfil{255, 244, 214};

QString Numero(qreal v) {
  return QString::number(v, 'g', 6);
}
} // namespace

std::vector<Figura> Figuras() {
  std::vector<Figura> f;
  // El fondo verde azulado, más claro arriba, con un filo de jade que cabe
  // entero dentro del cuadrado.
  f.push_back({QRectF(2, 2, 252, 252), 46, QColor(0, 110, 104), QColor(0, 40, 42), Estilo::Jade, 4});
  // La placa negra con su marco de oro.
  f.push_back({QRectF(36, 20, 184, 216), 16, Estilo::Negro, {}, Estilo::Oro, 8});
  // Las seis líneas, de abajo arriba, con más aire entre los dos trigramas,
  // como en las ventanas; una partida son dos medias barras.
  for (int i = 0; i < 6; ++i) {
    const qreal y = 208 - 32 * i - (i >= 3 ? 16 : 0);
    if (Enteras[i]) {
      f.push_back({QRectF(64, y, 128, 16), 3, Marfil, {}, {}, 0});
    } else {
      f.push_back({QRectF(64, y, 48, 16), 3, Estilo::JadeClaro, {}, {}, 0});
      f.push_back({QRectF(144, y, 48, 16), 3, Estilo::JadeClaro, {}, {}, 0});
    }
  }
  return f;
}

QString Svg() {
  QString s;
  s += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%1\" height=\"%1\" "
                      "viewBox=\"0 0 %1 %1\">\n")
           .arg(Numero(Lado));
  const std::vector<Figura> figuras = Figuras();
  QString defs;
  QString cuerpo;
  for (size_t i = 0; i < figuras.size(); ++i) {
    const Figura& g = figuras[i];
    const QRectF& r = g.caja;
    QString relleno = g.arriba.name();
    if (g.abajo.isValid()) {
      // Degradado en unidades del dibujo, como el QLinearGradient de Imagen().
      const QString id = QStringLiteral("d%1").arg(i);
      defs +=
          QStringLiteral("    <linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%2\" "
                         "x2=\"0\" y2=\"%3\"><stop offset=\"0\" stop-color=\"%4\"/>"
                         "<stop offset=\"1\" stop-color=\"%5\"/></linearGradient>\n")
              .arg(id, Numero(r.top()), Numero(r.bottom()), g.arriba.name(), g.abajo.name());
      relleno = QStringLiteral("url(#%1)").arg(id);
    }
    cuerpo += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"")
                  .arg(Numero(r.x()), Numero(r.y()), Numero(r.width()), Numero(r.height()), Numero(g.radio),
                       relleno);
    if (g.borde.isValid())
      cuerpo += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"").arg(g.borde.name(), Numero(g.grosor));
    cuerpo += QStringLiteral("/>\n");
  }
  if (!defs.isEmpty())
    s += QStringLiteral("  <defs>\n") + defs + QStringLiteral("  </defs>\n");
  s += cuerpo + QStringLiteral("</svg>\n");
  return s;
}

QImage Imagen(int lado) {
  QImage img(lado, lado, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(lado / Lado, lado / Lado);
  for (const Figura& g : Figuras()) {
    if (g.abajo.isValid()) {
      QLinearGradient d(0, g.caja.top(), 0, g.caja.bottom());
      d.setColorAt(0, g.arriba);
      d.setColorAt(1, g.abajo);
      p.setBrush(d);
    } else {
      p.setBrush(g.arriba);
    }
    if (g.borde.isValid())
      p.setPen(QPen(g.borde, g.grosor, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    else
      p.setPen(Qt::NoPen);
    p.drawRoundedRect(g.caja, g.radio, g.radio);
  }
  return img;
}

QIcon Icono() {
  QIcon icono;
  for (int lado : Lados)
    icono.addPixmap(QPixmap::fromImage(Imagen(lado)));
  return icono;
}

} // namespace IconoKorval
