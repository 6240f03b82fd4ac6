#include "pictures/Dibujos.h"

#include "pictures/IconoKorval.h"
#include "platform/Estilo.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace Dibujos {

namespace {
// Marfil de las barras y de los trazos claros.
const QColor Marfil{255, 244, 214};
const QColor MarfilSombra{226, 198, 128};
// Tinta de las marcas de las líneas que mudan (cruz y anillo).
const QColor Marca{120, 230, 190};

QFont Letra(const QString& familia, qreal pixeles, bool negrita) {
  QFont f(familia);
  f.setStyleHint(familia.contains(QLatin1String("Serif")) ? QFont::Serif : QFont::SansSerif);
  f.setPixelSize(qMax(1, qRound(pixeles)));
  f.setBold(negrita);
  return f;
}

QFont LetraSerif(qreal pixeles, bool negrita = true) {
  return Letra(QStringLiteral("Liberation Serif"), pixeles, negrita);
}

// Una barra clara con un degradado de arriba abajo.
void Barra(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0.0, Marfil.lighter(104));
  g.setColorAt(0.45, Marfil);
  g.setColorAt(1.0, MarfilSombra);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  const qreal radio = qMin(r.height() * 0.18, 2.5);
  p.drawRoundedRect(r, radio, radio);
}

// Una moneda vista de frente: oro, filo oscuro, agujero cuadrado.
void Moneda(QPainter& p, QPointF c, qreal radio) {
  QRadialGradient g(c - QPointF(radio * 0.35, radio * 0.35), radio * 1.4);
  g.setColorAt(0.0, Estilo::OroClaro);
  g.setColorAt(0.6, Estilo::Oro);
  g.setColorAt(1.0, Estilo::Oro.darker(170));
  p.setPen(QPen(Estilo::Oro.darker(230), qMax(1.0, radio * 0.08)));
  p.setBrush(g);
  p.drawEllipse(c, radio, radio);
  p.setPen(QPen(Estilo::Oro.darker(160), qMax(0.8, radio * 0.05)));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, radio * 0.8, radio * 0.8);
  const qreal a = radio * 0.28;
  p.setPen(QPen(Estilo::Oro.darker(230), qMax(0.8, radio * 0.05)));
  p.setBrush(Estilo::VerdeAzulado.darker(160));
  p.drawRect(QRectF(c.x() - a, c.y() - a, 2 * a, 2 * a));
  // Cuatro trazos de inscripción alrededor del agujero.
  p.setPen(QPen(Estilo::Oro.darker(200), qMax(0.8, radio * 0.07), Qt::SolidLine, Qt::RoundCap));
  const qreal d = radio * 0.54, l = radio * 0.13;
  p.drawLine(QPointF(c.x() - l, c.y() - d), QPointF(c.x() + l, c.y() - d));
  p.drawLine(QPointF(c.x() - l, c.y() + d), QPointF(c.x() + l, c.y() + d));
  p.drawLine(QPointF(c.x() - d, c.y() - l), QPointF(c.x() - d, c.y() + l));
  p.drawLine(QPointF(c.x() + d, c.y() - l), QPointF(c.x() + d, c.y() + l));
}

// Punta de flecha en `punta`, apuntando en la dirección `angulo` (grados,
// 0 hacia la derecha, sentido horario en pantalla).
void PuntaFlecha(QPainter& p, QPointF punta, qreal angulo, qreal largo, const QColor& color) {
  const qreal rad = qDegreesToRadians(angulo);
  const QPointF dir(std::cos(rad), std::sin(rad));
  const QPointF normal(-dir.y(), dir.x());
  const QPointF base = punta - dir * largo;
  QPolygonF tri;
  tri << punta << base + normal * (largo * 0.62) << base - normal * (largo * 0.62);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(tri);
}

// Una flecha recta de `a` a `b`.
void Flecha(QPainter& p, QPointF a, QPointF b, qreal grosor, const QColor& color) {
  const QLineF l(a, b);
  const qreal largo = grosor * 2.6;
  const qreal angulo = -l.angle(); // QLineF mide en sentido antihorario
  QLineF cuerpo(a, b);
  cuerpo.setLength(qMax(0.0, l.length() - largo * 0.8));
  p.setPen(QPen(color, grosor, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(cuerpo);
  PuntaFlecha(p, b, angulo, largo, color);
}

// Una flecha en arco de circunferencia: empieza en `desde` grados y recorre
// `recorrido` grados en sentido antihorario (como los ángulos de Qt). La
// punta sigue la cuerda del arco para no salirse de la curva.
void FlechaCircular(QPainter& p, QPointF c, qreal r, qreal desde, qreal recorrido, qreal grosor,
                    const QColor& color) {
  const qreal largo = grosor * 2.8;
  const qreal delta = qRadiansToDegrees(largo / r);
  auto punto = [&](qreal grados) {
    const qreal a = qDegreesToRadians(grados);
    return QPointF(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
  };
  const QRectF aro(c.x() - r, c.y() - r, 2 * r, 2 * r);
  p.save();
  p.setPen(QPen(color, grosor, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(aro, qRound(desde * 16), qRound((recorrido - delta + 1) * 16));
  const QPointF punta = punto(desde + recorrido), base = punto(desde + recorrido - delta);
  const QLineF eje(base, punta);
  const QPointF normal(-(punta.y() - base.y()) / eje.length(), (punta.x() - base.x()) / eje.length());
  const qreal ancho = largo * 0.62;
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(QPolygonF() << punta << base + normal * ancho << base - normal * ancho);
  p.restore();
}

// Los seis valores de un hexagrama a partir de un número de 6 bits.
std::array<bool, 6> Bits(int n) {
  std::array<bool, 6> l{};
  for (int i = 0; i < 6; ++i)
    l[static_cast<size_t>(i)] = ((n >> i) & 1) != 0;
  return l;
}

} // namespace

QPixmap Lienzo(QSize logico, qreal dpr, const QColor& fondo) {
  const qreal d = dpr > 0 ? dpr : 1.0;
  QPixmap pm(QSize(qCeil(logico.width() * d), qCeil(logico.height() * d)));
  pm.setDevicePixelRatio(d);
  pm.fill(fondo);
  return pm;
}

void Preparar(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
}

void Placa(QPainter& p, const QRectF& r, qreal radio) {
  p.save();
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0.0, QColor(0, 116, 108));
  g.setColorAt(0.5, QColor(0, 78, 76));
  g.setColorAt(1.0, QColor(0, 44, 46));
  p.setPen(QPen(QColor(0, 24, 24), 1.0));
  p.setBrush(g);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radio, radio);
  QColor filo = Estilo::Oro;
  filo.setAlpha(200);
  p.setPen(QPen(filo, 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), radio - 2, radio - 2);
  p.restore();
}

void Hexagrama(QPainter& p, const QRectF& r, const std::array<bool, 6>& lineas, const QColor& color) {
  // Grosor, paso y mitades en píxeles enteros, para que hasta los
  // hexagramas diminutos de los botones se vean netos.
  const int alto = qRound(r.height()), ancho = qRound(r.width());
  const int grosor = qMax(1, qRound(alto / 9.5));
  const int paso = qMax(grosor + 1, qRound((alto - grosor) / 5.0));
  const int total = grosor + 5 * paso;
  const qreal x0 = qRound(r.left());
  const qreal y0 = qRound(r.top() + (r.height() - total) / 2.0);
  int hueco = qMax(2, qRound(ancho * 0.2));
  if ((ancho - hueco) % 2 != 0)
    ++hueco;
  const int mitad = (ancho - hueco) / 2;
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  for (int i = 0; i < 6; ++i) {
    const qreal y = y0 + total - grosor - i * paso;
    if (lineas[static_cast<size_t>(i)]) {
      p.drawRect(QRectF(x0, y, ancho, grosor));
    } else {
      p.drawRect(QRectF(x0, y, mitad, grosor));
      p.drawRect(QRectF(x0 + ancho - mitad, y, mitad, grosor));
    }
  }
  p.restore();
}

void Trigrama(QPainter& p, const QRectF& r, int bits, const QColor& color) {
  const qreal grosor = r.height() / 4.0;
  const qreal paso = (r.height() - grosor) / 2.0;
  const qreal hueco = r.width() * 0.18;
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  for (int i = 0; i < 3; ++i) {
    const qreal y = r.bottom() - grosor - i * paso;
    if ((bits >> i) & 1) {
      p.drawRect(QRectF(r.left(), y, r.width(), grosor));
    } else {
      const qreal mitad = (r.width() - hueco) / 2;
      p.drawRect(QRectF(r.left(), y, mitad, grosor));
      p.drawRect(QRectF(r.right() - mitad, y, mitad, grosor));
    }
  }
  p.restore();
}

void Taijitu(QPainter& p, QPointF c, qreal radio, const QColor& claro, const QColor& oscuro) {
  p.save();
  const QRectF todo(c.x() - radio, c.y() - radio, 2 * radio, 2 * radio);
  // Mitad clara a la izquierda, oscura a la derecha, unidas por la S.
  QPainterPath oscuroCamino;
  oscuroCamino.moveTo(c.x(), c.y() - radio);
  oscuroCamino.arcTo(todo, 90, -180); // semicírculo derecho hacia abajo
  oscuroCamino.arcTo(QRectF(c.x() - radio / 2, c.y(), radio, radio), -90, -180);
  oscuroCamino.arcTo(QRectF(c.x() - radio / 2, c.y() - radio, radio, radio), 270, 180);
  oscuroCamino.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(claro);
  p.drawEllipse(todo);
  p.setBrush(oscuro);
  p.drawPath(oscuroCamino);
  const qreal punto = radio / 6.5;
  // Cada mitad lleva un punto del color de la otra.
  p.setBrush(claro);
  p.drawEllipse(QPointF(c.x(), c.y() + radio / 2), punto, punto);
  p.setBrush(oscuro);
  p.drawEllipse(QPointF(c.x(), c.y() - radio / 2), punto, punto);
  p.restore();
}

// --- Líneas de hexagrama ----------------------------------------------------
QPixmap Linea(int k, QSize logico, qreal dpr) {
  QPixmap pm = Lienzo(logico, dpr, Estilo::Negro);
  QPainter p(&pm);
  Preparar(p);
  const qreal W = logico.width(), H = logico.height();
  const qreal grosor = qRound(H * 0.45);
  const qreal y = qRound((H - grosor) / 2);
  const qreal margen = qRound(W * 0.05);
  // Las dos mitades miden un número entero de píxeles para que sus bordes
  // queden netos; el hueco se lleva lo que sobra.
  const qreal mitad = std::floor((W - 2 * margen - qRound(W * 0.17)) / 2);
  const qreal hueco = W - 2 * margen - 2 * mitad;
  const qreal cx = W / 2, cy = y + grosor / 2;
  const bool entera = (k == 1 || k == 3);
  if (entera) {
    Barra(p, QRectF(margen, y, W - 2 * margen, grosor));
  } else {
    Barra(p, QRectF(margen, y, mitad, grosor));
    Barra(p, QRectF(W - margen - mitad, y, mitad, grosor));
  }
  if (k == 0) {
    // La cruz de la línea partida que muda, holgada dentro del hueco.
    const qreal a = qMin(hueco * 0.27, H * 0.36);
    p.setPen(QPen(Marca, qMax(1.4, H * 0.085), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - a, cy - a), QPointF(cx + a, cy + a));
    p.drawLine(QPointF(cx - a, cy + a), QPointF(cx + a, cy - a));
  } else if (k == 3) {
    // El anillo de la línea entera que muda: un hueco negro redondo con
    // su aro, que sobresale un poco de la barra.
    const qreal r = grosor * 0.78;
    const qreal trazo = qMax(1.4, H * 0.085);
    p.setPen(Qt::NoPen);
    p.setBrush(Estilo::Negro);
    p.drawEllipse(QPointF(cx, cy), r + trazo, r + trazo);
    p.setPen(QPen(Marca, trazo));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(cx, cy), r, r);
  }
  return pm;
}

// --- Caras con palabra --------------------------------------------------------
QPixmap CaraPalabra(const QString& palabra, bool aceptar, qreal dpr) {
  const QSize tam(75, 34);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  Placa(p, QRectF(0, 0, tam.width(), tam.height()), 5);
  QFont f = LetraSerif(15);
  QFontMetricsF fm(f);
  while (fm.horizontalAdvance(palabra) > tam.width() - 12 && f.pixelSize() > 8) {
    f.setPixelSize(f.pixelSize() - 1);
    fm = QFontMetricsF(f);
  }
  p.setFont(f);
  const QRectF texto(0, 0, tam.width(), tam.height() - 4);
  p.setPen(QColor(0, 20, 20));
  p.drawText(texto.translated(1, 1), Qt::AlignCenter, palabra);
  p.setPen(Estilo::OroClaro);
  p.drawText(texto, Qt::AlignCenter, palabra);
  // Un trazo bajo la palabra: jade para aceptar, oro apagado para cancelar.
  const qreal ancho = fm.horizontalAdvance(palabra);
  p.setPen(QPen(aceptar ? Estilo::JadeClaro : Estilo::Oro.darker(120), 1.5, Qt::SolidLine, Qt::RoundCap));
  const qreal yb = tam.height() / 2.0 + fm.ascent() / 2 + 3;
  p.drawLine(QPointF((tam.width() - ancho) / 2 + 4, yb), QPointF((tam.width() + ancho) / 2 - 4, yb));
  return pm;
}

// --- Caras del menú principal --------------------------------------------------
QSize TamCaraMenu(int indice) {
  return indice == 7 ? QSize(33, 35) : QSize(69, 69);
}

QPixmap CaraMenu(int indice, qreal dpr) {
  const QSize tam = TamCaraMenu(indice);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  Placa(p, QRectF(0, 0, tam.width(), tam.height()), indice == 7 ? 4 : 7);
  switch (indice) {
  case 0: { // Consulta: tres monedas
    Moneda(p, QPointF(34.5, 23), 13);
    Moneda(p, QPointF(22, 44), 13);
    Moneda(p, QPointF(47, 44), 13);
    break;
  }
  case 1: { // Manual: líneas a medio construir y un lápiz
    const QRectF zona(11, 18, 34, 40);
    const std::array<bool, 6> l{true, false, true, false, false, false};
    const qreal grosor = zona.height() / 9.5, paso = (zona.height() - grosor) / 5.0;
    for (int i = 0; i < 3; ++i) {
      const qreal y = zona.bottom() - grosor - i * paso;
      if (l[static_cast<size_t>(i)]) {
        Barra(p, QRectF(zona.left(), y, zona.width(), grosor));
      } else {
        const qreal mitad = zona.width() * 0.4;
        Barra(p, QRectF(zona.left(), y, mitad, grosor));
        Barra(p, QRectF(zona.right() - mitad, y, mitad, grosor));
      }
    }
    // La cuarta línea, a medio trazar.
    const qreal y4 = zona.bottom() - grosor - 3 * paso;
    Barra(p, QRectF(zona.left(), y4, zona.width() * 0.55, grosor));
    // El lápiz, inclinado, con la punta al final del trazo.
    p.save();
    p.translate(zona.left() + zona.width() * 0.55 + 1, y4 + grosor / 2);
    p.rotate(-50);
    const qreal largo = 36, ancho = 7.5;
    QPolygonF punta;
    punta << QPointF(0, 0) << QPointF(8, -ancho / 2) << QPointF(8, ancho / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 214, 170));
    p.drawPolygon(punta);
    p.setBrush(QColor(40, 40, 40));
    p.drawPolygon(QPolygonF() << QPointF(0, 0) << QPointF(3, -ancho * 0.19) << QPointF(3, ancho * 0.19));
    QLinearGradient g(0, -ancho / 2, 0, ancho / 2);
    g.setColorAt(0, Estilo::OroClaro);
    g.setColorAt(1, Estilo::Oro.darker(130));
    p.setBrush(g);
    p.drawRect(QRectF(8, -ancho / 2, largo - 14, ancho));
    p.setBrush(QColor(180, 180, 170));
    p.drawRect(QRectF(largo - 6, -ancho / 2, 2.5, ancho));
    p.setBrush(Estilo::Jade);
    p.drawRoundedRect(QRectF(largo - 3.5, -ancho / 2, 4, ancho), 1.5, 1.5);
    p.restore();
    break;
  }
  case 2: { // Los 64: una rejilla de hexagramas
    const int numeros[9] = {63, 0, 21, 42, 9, 36, 18, 45, 54};
    for (int f = 0; f < 3; ++f)
      for (int c = 0; c < 3; ++c) {
        const QRectF r(10 + c * 18, 12 + f * 17, 14, 11);
        const bool destacado = (f == 1 && c == 1);
        if (destacado) {
          p.setPen(Qt::NoPen);
          p.setBrush(QColor(0, 24, 24, 220));
          p.drawRoundedRect(r.adjusted(-2, -2, 2, 2), 2, 2);
        }
        Hexagrama(p, r, Bits(numeros[f * 3 + c]), destacado ? Estilo::OroClaro : Marfil.darker(112));
      }
    break;
  }
  case 3: { // Última consulta: un hexagrama con una flecha que vuelve
    const QPointF c(34.5, 35.5);
    Hexagrama(p, QRectF(c.x() - 11, c.y() - 11, 22, 22), Bits(0b100101), Marfil);
    // Una vuelta en sentido antihorario, hacia atrás en el tiempo.
    FlechaCircular(p, c, 22, 120, 290, 3.2, Estilo::JadeClaro);
    break;
  }
  case 4: { // Consulta en disco: un disquete con un hexagrama en la etiqueta
    const QRectF d(14, 13, 42, 44);
    QPainterPath cuerpo;
    cuerpo.moveTo(d.left() + 3, d.top());
    cuerpo.lineTo(d.right() - 6, d.top());
    cuerpo.lineTo(d.right(), d.top() + 6);
    cuerpo.lineTo(d.right(), d.bottom() - 3);
    cuerpo.quadTo(d.right(), d.bottom(), d.right() - 3, d.bottom());
    cuerpo.lineTo(d.left() + 3, d.bottom());
    cuerpo.quadTo(d.left(), d.bottom(), d.left(), d.bottom() - 3);
    cuerpo.lineTo(d.left(), d.top() + 3);
    cuerpo.quadTo(d.left(), d.top(), d.left() + 3, d.top());
    QLinearGradient g(d.topLeft(), d.bottomRight());
    g.setColorAt(0, QColor(30, 40, 44));
    g.setColorAt(1, QColor(10, 16, 18));
    p.setPen(QPen(Estilo::Oro.darker(110), 1.2));
    p.setBrush(g);
    p.drawPath(cuerpo);
    // Cierre metálico arriba.
    QLinearGradient m(0, d.top(), 0, d.top() + 14);
    m.setColorAt(0, QColor(225, 228, 228));
    m.setColorAt(1, QColor(150, 156, 158));
    p.setPen(Qt::NoPen);
    p.setBrush(m);
    p.drawRect(QRectF(d.left() + 10, d.top() + 1, 21, 14));
    p.setBrush(QColor(30, 40, 44));
    p.drawRect(QRectF(d.left() + 24, d.top() + 3.5, 4.5, 9));
    // Etiqueta.
    const QRectF et(d.left() + 6, d.top() + 21, d.width() - 12, d.height() - 24);
    p.setBrush(Marfil);
    p.drawRoundedRect(et, 1.5, 1.5);
    Hexagrama(p, QRectF(et.center().x() - 7, et.top() + 3, 14, et.height() - 6), Bits(0b011010),
              Estilo::VerdeAzulado);
    break;
  }
  case 5: { // Ayuda: un libro abierto y una interrogación
    const QPointF c(34.5, 50);
    QPainterPath izq, der;
    izq.moveTo(c);
    izq.cubicTo(c + QPointF(-8, -6), c + QPointF(-18, -6), c + QPointF(-24, -3));
    izq.lineTo(c + QPointF(-24, 9));
    izq.cubicTo(c + QPointF(-18, 6), c + QPointF(-8, 6), c + QPointF(0, 11));
    izq.closeSubpath();
    der.moveTo(c);
    der.cubicTo(c + QPointF(8, -6), c + QPointF(18, -6), c + QPointF(24, -3));
    der.lineTo(c + QPointF(24, 9));
    der.cubicTo(c + QPointF(18, 6), c + QPointF(8, 6), c + QPointF(0, 11));
    der.closeSubpath();
    p.setPen(QPen(Estilo::Oro.darker(150), 1.0));
    p.setBrush(Marfil);
    p.drawPath(izq);
    p.setBrush(MarfilSombra);
    p.drawPath(der);
    p.setPen(QPen(QColor(140, 120, 80), 0.8));
    for (int i = 0; i < 3; ++i) {
      const qreal dy = i * 3.0;
      p.drawLine(c + QPointF(-19, 1 + dy), c + QPointF(-5, 2.5 + dy));
      p.drawLine(c + QPointF(5, 2.5 + dy), c + QPointF(19, 1 + dy));
    }
    QFont f = LetraSerif(34);
    p.setFont(f);
    const QRectF zona(0, 3, 69, 40);
    p.setPen(QColor(0, 20, 20));
    p.drawText(zona.translated(1.2, 1.2), Qt::AlignCenter, QStringLiteral("?"));
    p.setPen(Estilo::OroClaro);
    p.drawText(zona, Qt::AlignCenter, QStringLiteral("?"));
    break;
  }
  case 6: { // Finalizar: una puerta abierta y una flecha que sale
    const QRectF marco(15, 12, 28, 46);
    p.setPen(QPen(Estilo::Oro, 2.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(0, 22, 24));
    p.drawRect(marco);
    // La hoja abierta, vista en escorzo.
    QPolygonF hoja;
    hoja << marco.topLeft() << QPointF(marco.left() + 15, marco.top() + 5)
         << QPointF(marco.left() + 15, marco.bottom() + 4) << marco.bottomLeft();
    QLinearGradient g(marco.left(), 0, marco.left() + 15, 0);
    g.setColorAt(0, QColor(0, 120, 100));
    g.setColorAt(1, Estilo::Jade);
    p.setPen(QPen(Estilo::JadeClaro, 1.0));
    p.setBrush(g);
    p.drawPolygon(hoja);
    p.setPen(Qt::NoPen);
    p.setBrush(Estilo::OroClaro);
    p.drawEllipse(QPointF(marco.left() + 12, marco.center().y() + 3), 1.6, 1.6);
    Flecha(p, QPointF(31, 36), QPointF(60, 36), 4.0, Marfil);
    break;
  }
  case 7: { // Datos del programador: una «i» en un círculo
    const QPointF c(16.5, 17.5);
    p.setPen(QPen(Estilo::Oro, 1.6));
    p.setBrush(QColor(0, 40, 40));
    p.drawEllipse(c, 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(Estilo::OroClaro);
    p.drawEllipse(QPointF(c.x(), c.y() - 6), 1.9, 1.9);
    p.drawRoundedRect(QRectF(c.x() - 1.7, c.y() - 2.5, 3.4, 10), 1, 1);
    break;
  }
  default:
    break;
  }
  return pm;
}

// --- Fondos -------------------------------------------------------------------
QPixmap FondoInicio(qreal dpr) {
  const QSize tam(488, 235);
  QPixmap pm = Lienzo(tam, dpr, Estilo::VerdeAzulado);
  QPainter p(&pm);
  Preparar(p);
  QRadialGradient g(QPointF(244, 70), 290);
  g.setColorAt(0, QColor(0, 96, 92));
  g.setColorAt(0.55, QColor(0, 58, 58));
  g.setColorAt(1, QColor(0, 30, 32));
  p.fillRect(QRectF(0, 0, tam.width(), tam.height()), g);
  // El Cielo y la Tierra a los lados del título.
  QColor tenue = Estilo::Oro;
  tenue.setAlpha(170);
  Hexagrama(p, QRectF(26, 40, 40, 50), Bits(63), tenue);
  Hexagrama(p, QRectF(422, 40, 40, 50), Bits(0), tenue);
  QFont f = LetraSerif(56);
  f.setLetterSpacing(QFont::AbsoluteSpacing, 8);
  p.setFont(f);
  // El espaciado añade hueco tras la última letra: se compensa al centrar.
  const QRectF titulo(4, 22, tam.width(), 76);
  p.setPen(QColor(0, 14, 14, 220));
  p.drawText(titulo.translated(2, 2.5), Qt::AlignCenter, QStringLiteral("KORVAL"));
  QLinearGradient oro(0, titulo.top() + 18, 0, titulo.bottom() - 16);
  oro.setColorAt(0, QColor(255, 240, 190));
  oro.setColorAt(0.55, Estilo::OroClaro);
  oro.setColorAt(1, Estilo::Oro);
  p.setPen(QPen(QBrush(oro), 1));
  p.drawText(titulo, Qt::AlignCenter, QStringLiteral("KORVAL"));
  // Filete con un rombo en el centro.
  p.setPen(QPen(Estilo::Oro, 1.0));
  p.drawLine(QPointF(120, 104.5), QPointF(236, 104.5));
  p.drawLine(QPointF(252, 104.5), QPointF(368, 104.5));
  p.setPen(Qt::NoPen);
  p.setBrush(Estilo::Oro);
  p.drawPolygon(QPolygonF() << QPointF(244, 100) << QPointF(248.5, 104.5) << QPointF(244, 109)
                            << QPointF(239.5, 104.5));
  QFont sub = LetraSerif(15, false);
  sub.setItalic(true);
  sub.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  p.setFont(sub);
  p.setPen(Estilo::JadeClaro);
  p.drawText(QRectF(0, 110, tam.width(), 22), Qt::AlignCenter, QStringLiteral("Consulta del I Ching"));
  // Los ocho trigramas en fila, sobre la barra de progreso.
  const int orden[8] = {0b111, 0b011, 0b101, 0b001, 0b110, 0b010, 0b100, 0b000};
  QColor trig = Estilo::Oro;
  trig.setAlpha(115);
  for (int i = 0; i < 8; ++i)
    Trigrama(p, QRectF(83 + i * 42, 139, 28, 17), orden[i], trig);
  return pm;
}

namespace {
// Esquina de marco a la manera de una celosía: dos escuadras y un cuadro.
void Esquina(QPainter& p, QPointF o, qreal sx, qreal sy, const QColor& color) {
  p.save();
  p.translate(o);
  p.scale(sx, sy);
  p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF() << QPointF(0, 46) << QPointF(0, 0) << QPointF(46, 0));
  p.drawPolyline(QPolygonF() << QPointF(6, 30) << QPointF(6, 6) << QPointF(30, 6));
  p.drawRect(QRectF(12, 12, 8, 8));
  p.restore();
}
} // namespace

QPixmap Consejo(qreal dpr) {
  const QSize tam(640, 480);
  QPixmap pm = Lienzo(tam, dpr, Estilo::VerdeAzulado);
  QPainter p(&pm);
  Preparar(p);
  // El centro cae entre la fila de botones de arriba y la línea de mensajes
  // de abajo del menú principal.
  const QPointF c = CentroConsejo;
  QRadialGradient g(c, 400);
  g.setColorAt(0, QColor(0, 90, 86));
  g.setColorAt(0.5, Estilo::VerdeAzulado);
  g.setColorAt(1, QColor(0, 28, 30));
  p.fillRect(QRectF(0, 0, tam.width(), tam.height()), g);

  // Un halo tenue detrás del conjunto.
  QRadialGradient halo(c, 190);
  halo.setColorAt(0, QColor(120, 220, 180, 46));
  halo.setColorAt(0.7, QColor(120, 220, 180, 12));
  halo.setColorAt(1, QColor(120, 220, 180, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(halo);
  p.drawEllipse(c, 190, 190);

  // Esquinas de celosía, dentro de la zona libre.
  QColor esquina = Estilo::Oro;
  esquina.setAlpha(120);
  Esquina(p, QPointF(18, 114), 1, 1, esquina);
  Esquina(p, QPointF(622, 114), -1, 1, esquina);
  Esquina(p, QPointF(18, 398), 1, -1, esquina);
  Esquina(p, QPointF(622, 398), -1, -1, esquina);

  QColor aro = Estilo::Oro;
  aro.setAlpha(110);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(aro, 1.0));
  p.drawEllipse(c, 84, 84);
  p.drawEllipse(c, 150, 150);
  p.drawEllipse(c, 153.5, 153.5);
  // Sesenta y cuatro marcas, una por hexagrama, como la esfera de un reloj.
  for (int i = 0; i < 64; ++i) {
    const qreal a = qDegreesToRadians(i * 360.0 / 64);
    const qreal r0 = i % 8 == 0 ? 86.0 : 88.0, r1 = 93.0;
    p.setPen(QPen(i % 8 == 0 ? Estilo::Oro : aro, i % 8 == 0 ? 1.6 : 1.0));
    p.drawLine(QPointF(c.x() + r0 * std::sin(a), c.y() - r0 * std::cos(a)),
               QPointF(c.x() + r1 * std::sin(a), c.y() - r1 * std::cos(a)));
  }

  // Los ocho trigramas en el orden del cielo anterior, con el Cielo arriba.
  struct Lugar {
    int angulo;
    int bits;
    const char* nombre;
  };
  const Lugar lugares[8] = {{0, 0b111, "Cielo"},     {45, 0b110, "Viento"},  {90, 0b010, "Agua"},
                            {135, 0b100, "Montaña"}, {180, 0b000, "Tierra"}, {225, 0b001, "Trueno"},
                            {270, 0b101, "Fuego"},   {315, 0b011, "Lago"}};
  QFont letra = LetraSerif(13, false);
  letra.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
  for (const Lugar& l : lugares) {
    p.save();
    p.translate(c);
    p.rotate(l.angulo);
    // La línea de abajo del trigrama mira al centro. Primero su sombra.
    p.setOpacity(0.55);
    Trigrama(p, QRectF(-24 + 1.2, -138 + 1.6, 48, 32), l.bits, QColor(0, 10, 10));
    p.setOpacity(1.0);
    const QRectF r(-24, -138, 48, 32);
    const qreal grosor = r.height() / 4.0, paso = (r.height() - grosor) / 2.0, hueco = r.width() * 0.18;
    for (int i = 0; i < 3; ++i) {
      const qreal y = r.bottom() - grosor - i * paso;
      if ((l.bits >> i) & 1) {
        Barra(p, QRectF(r.left(), y, r.width(), grosor));
      } else {
        const qreal mitad = (r.width() - hueco) / 2;
        Barra(p, QRectF(r.left(), y, mitad, grosor));
        Barra(p, QRectF(r.right() - mitad, y, mitad, grosor));
      }
    }
    p.restore();
    const qreal rad = qDegreesToRadians(static_cast<qreal>(l.angulo));
    // El rótulo queda fuera del aro, más lejos cuanto más ancho y más de lado.
    const qreal ancho = QFontMetricsF(letra).horizontalAdvance(QString::fromUtf8(l.nombre));
    const qreal dist = 164 + (ancho / 2 + 4) * std::abs(std::sin(rad)) + 6 * std::abs(std::cos(rad));
    const QPointF pos(c.x() + dist * std::sin(rad), c.y() - dist * std::cos(rad));
    p.setFont(letra);
    p.setPen(Estilo::JadeClaro);
    p.drawText(QRectF(pos.x() - 50, pos.y() - 9, 100, 18), Qt::AlignCenter, QString::fromUtf8(l.nombre));
  }

  // El taijitu en el centro, con su aro de oro y una sombra.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 10, 10, 120));
  p.drawEllipse(c + QPointF(2, 3), 69, 69);
  QLinearGradient aroOro(c - QPointF(0, 68), c + QPointF(0, 68));
  aroOro.setColorAt(0, Estilo::OroClaro);
  aroOro.setColorAt(1, Estilo::Oro.darker(140));
  p.setBrush(aroOro);
  p.drawEllipse(c, 68, 68);
  Taijitu(p, c, 63, Marfil, QColor(0, 26, 28));
  return pm;
}

QIcon IconoCompleto() {
  return IconoKorval::Icono();
}

// --- Ventana de interpretación -------------------------------------------------
namespace {
void PintarImpresora(QPainter& p, const QRectF& r);
} // namespace

QPixmap CaraHexagrama(int indice, qreal dpr) {
  const QSize tam(55, 55);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  Placa(p, QRectF(0, 0, 55, 55), 6);
  // El principal a la izquierda y su complementario a la derecha; el que se
  // ve brilla y la flecha lleva al otro.
  const bool principalVisto = indice == 1;
  const QColor vivo = Estilo::OroClaro;
  QColor apagado = Marfil;
  apagado.setAlpha(110);
  Hexagrama(p, QRectF(8, 10, 15, 19), Bits(0b101101), principalVisto ? vivo : apagado);
  Hexagrama(p, QRectF(32, 10, 15, 19), Bits(0b100111), principalVisto ? apagado : vivo);
  if (principalVisto)
    Flecha(p, QPointF(12, 40), QPointF(44, 40), 3.0, Estilo::JadeClaro);
  else
    Flecha(p, QPointF(43, 40), QPointF(11, 40), 3.0, Estilo::JadeClaro);
  return pm;
}

QPixmap CaraInterpretar(int indice, qreal dpr) {
  const QSize tam(55, 55);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  Placa(p, QRectF(0, 0, 55, 55), 6);
  switch (indice) {
  case 1: { // Archivar: una hoja que baja a una caja
    const QRectF caja(12, 29, 31, 16);
    p.setPen(QPen(Estilo::Oro.darker(140), 1.0));
    p.setBrush(Estilo::Oro);
    p.drawRect(caja);
    p.setBrush(Estilo::OroClaro);
    p.drawRect(QRectF(caja.left() - 2, caja.top() - 4, caja.width() + 4, 5));
    p.setBrush(QColor(0, 30, 30));
    p.drawRoundedRect(QRectF(caja.center().x() - 6, caja.top() + 5, 12, 3.5), 1.5, 1.5);
    p.setPen(QPen(QColor(150, 140, 110), 0.8));
    p.setBrush(Marfil);
    p.drawRect(QRectF(19, 7, 17, 17));
    Hexagrama(p, QRectF(22.5, 10, 10, 11), Bits(0b110010), Estilo::VerdeAzulado);
    Flecha(p, QPointF(44, 8), QPointF(44, 24), 2.4, Estilo::JadeClaro);
    break;
  }
  case 2: // Imprimir
    PintarImpresora(p, QRectF(8.5, 8.5, 38, 38));
    break;
  case 3: { // Volver al menú: una flecha que da la vuelta sobre la fila de botones
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
      p.setBrush(i == 0 ? Estilo::OroClaro : Estilo::Oro.darker(115));
      p.drawRoundedRect(QRectF(9 + i * 9.5, 37, 8, 8), 1.5, 1.5);
    }
    QPainterPath vuelta;
    vuelta.moveTo(40, 32);
    vuelta.lineTo(40, 21);
    vuelta.arcTo(QRectF(22, 12, 18, 18), 0, 90);
    vuelta.lineTo(20, 12);
    p.setPen(QPen(Estilo::JadeClaro, 3.2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(vuelta);
    PuntaFlecha(p, QPointF(11, 12), 180, 9, Estilo::JadeClaro);
    break;
  }
  default:
    break;
  }
  return pm;
}

QPixmap Eliminar(qreal dpr) {
  const QSize tam(33, 33);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  Placa(p, QRectF(0, 0, 33, 33), 4);
  // Una papelera: tapa, asa y cuerpo con estrías.
  QPolygonF cuerpo;
  cuerpo << QPointF(10, 11.5) << QPointF(23, 11.5) << QPointF(21.5, 27) << QPointF(11.5, 27);
  p.setPen(QPen(Estilo::Oro.darker(160), 0.8));
  p.setBrush(Marfil);
  p.drawPolygon(cuerpo);
  p.setPen(QPen(QColor(150, 120, 70), 1.0));
  for (qreal x : {13.5, 16.5, 19.5})
    p.drawLine(QPointF(x, 14), QPointF(x + (x - 16.5) * 0.12, 25));
  p.setPen(Qt::NoPen);
  p.setBrush(Estilo::OroClaro);
  p.drawRoundedRect(QRectF(8, 8, 17, 2.8), 1, 1);
  p.setPen(QPen(Estilo::OroClaro, 1.3));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(13.5, 5.5, 6, 3), 1, 1);
  return pm;
}

namespace {
// La impresora en un cuadro de 32 x 32 unidades, escalable.
void PintarImpresora(QPainter& p, const QRectF& r) {
  p.save();
  p.translate(r.topLeft());
  p.scale(r.width() / 32.0, r.height() / 32.0);
  // Papel en blanco detrás.
  p.setPen(QPen(QColor(120, 120, 110), 0.8));
  p.setBrush(QColor(250, 250, 242));
  p.drawRect(QRectF(9, 3, 14, 10));
  // Cuerpo.
  QLinearGradient g(0, 11, 0, 24);
  g.setColorAt(0, QColor(214, 216, 210));
  g.setColorAt(1, QColor(130, 136, 134));
  p.setPen(QPen(QColor(40, 50, 50), 1.0));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(Estilo::Jade);
  p.drawEllipse(QPointF(24.5, 15), 1.3, 1.3);
  p.setBrush(QColor(50, 60, 60));
  p.drawRect(QRectF(7, 19, 18, 2));
  // Hoja impresa que sale por delante.
  p.setPen(QPen(QColor(120, 120, 110), 0.8));
  p.setBrush(QColor(255, 255, 248));
  p.drawRect(QRectF(8.5, 20, 15, 9.5));
  p.setPen(QPen(QColor(40, 60, 60), 1.0));
  p.drawLine(QPointF(11, 23), QPointF(21, 23));
  p.drawLine(QPointF(11, 25.5), QPointF(15, 25.5));
  p.drawLine(QPointF(17, 25.5), QPointF(21, 25.5));
  p.restore();
}
} // namespace

QPixmap Impresora(qreal dpr) {
  const QSize tam(32, 32);
  QPixmap pm = Lienzo(tam, dpr);
  QPainter p(&pm);
  Preparar(p);
  PintarImpresora(p, QRectF(0, 0, 32, 32));
  return pm;
}

} // namespace Dibujos
