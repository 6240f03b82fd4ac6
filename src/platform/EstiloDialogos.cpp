#include "platform/EstiloDialogos.h"

#include "platform/Basico.h"
#include "platform/Estilo.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QWidget>
#include <QtMath>

#include <cmath>

namespace {
const QColor Tinta{24, 40, 38};         // texto oscuro sobre papel
const QColor PapelClaro{250, 246, 232}; // fondo de listas y campos
const QColor Hondo{0, 40, 40};          // el verde azulado más oscuro

// Componente lineal de un canal de 0 a 255 (sRGB), como lo define WCAG.
double Lineal(int canal) {
  const double c = canal / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminancia(const QColor& c) {
  return 0.2126 * Lineal(c.red()) + 0.7152 * Lineal(c.green()) + 0.0722 * Lineal(c.blue());
}

// Un disco oscuro con su aro de oro: la base de informar y preguntar.
void Disco(QPainter& p) {
  const QPointF c(24, 24);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 10, 10, 110));
  p.drawEllipse(c + QPointF(1, 1.5), 21, 21);
  QRadialGradient fondo(c - QPointF(6, 7), 26);
  fondo.setColorAt(0, Estilo::VerdeAzuladoClaro.lighter(125));
  fondo.setColorAt(1, Hondo);
  p.setBrush(fondo);
  p.setPen(QPen(Estilo::Oro, 2));
  p.drawEllipse(c, 20, 20);
}
} // namespace

QPalette PaletaDialogos() {
  QPalette p;
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(g, QPalette::Window, Estilo::VerdeAzulado);
    p.setColor(g, QPalette::WindowText, Estilo::OroClaro);
    p.setColor(g, QPalette::Button, Estilo::VerdeAzuladoClaro);
    p.setColor(g, QPalette::ButtonText, Estilo::OroClaro);
    p.setColor(g, QPalette::Base, PapelClaro);
    p.setColor(g, QPalette::AlternateBase, QColor(238, 232, 212));
    p.setColor(g, QPalette::Text, Tinta);
    p.setColor(g, QPalette::PlaceholderText, QColor(92, 100, 96));
    p.setColor(g, QPalette::Highlight, Estilo::Jade);
    p.setColor(g, QPalette::HighlightedText, QColor(10, 30, 20));
    p.setColor(g, QPalette::ToolTipBase, Estilo::Papel);
    p.setColor(g, QPalette::ToolTipText, Tinta);
    p.setColor(g, QPalette::BrightText, Estilo::OroClaro);
    p.setColor(g, QPalette::Link, QColor(0, 96, 96));
    p.setColor(g, QPalette::LinkVisited, Estilo::VerdeAzulado);
    // Los relieves de botones y marcos, del mismo verde azulado.
    p.setColor(g, QPalette::Light, QColor(0, 150, 140));
    p.setColor(g, QPalette::Midlight, QColor(0, 120, 116));
    p.setColor(g, QPalette::Mid, QColor(0, 72, 72));
    p.setColor(g, QPalette::Dark, Hondo);
    p.setColor(g, QPalette::Shadow, QColor(0, 16, 16));
  }
  // Lo apagado se ve más tenue, pero se sigue leyendo.
  p.setColor(QPalette::Disabled, QPalette::Window, Estilo::VerdeAzulado);
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 176, 164));
  p.setColor(QPalette::Disabled, QPalette::Button, QColor(0, 80, 80));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 176, 164));
  p.setColor(QPalette::Disabled, QPalette::Base, QColor(226, 224, 214));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(96, 104, 100));
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0, 112, 96));
  p.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(220, 232, 226));
  return p;
}

double Contraste(const QColor& a, const QColor& b) {
  const double la = Luminancia(a), lb = Luminancia(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPixmap IconoMensaje(int icono, qreal dpr) {
  if (icono != vbCritical && icono != vbQuestion && icono != vbExclamation && icono != vbInformation)
    return QPixmap();
  QPixmap pm(QSize(48, 48) * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QPen trazo(Estilo::OroClaro, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

  if (icono == vbInformation) {
    Disco(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Estilo::OroClaro);
    p.drawEllipse(QPointF(24, 14.5), 3.3, 3.3);
    p.drawRoundedRect(QRectF(21, 20.5, 6, 16), 1.8, 1.8);
  } else if (icono == vbQuestion) {
    Disco(p);
    // La curva del signo y su punto, en jade claro para distinguirla de informar.
    QPainterPath curva;
    const QRectF arco(17, 10, 14, 14);
    curva.arcMoveTo(arco, 155);
    curva.arcTo(arco, 155, -215);
    curva.quadTo(24, 26, 24, 30);
    p.setPen(QPen(Estilo::JadeClaro, 4.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curva);
    p.setPen(Qt::NoPen);
    p.setBrush(Estilo::JadeClaro);
    p.drawEllipse(QPointF(24, 36.5), 2.9, 2.9);
  } else if (icono == vbExclamation) {
    // Un triángulo de oro con el signo en verde hondo.
    QPainterPath triangulo;
    triangulo.moveTo(24, 4);
    triangulo.lineTo(45, 42);
    triangulo.lineTo(3, 42);
    triangulo.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 10, 10, 110));
    p.drawPath(triangulo.translated(1, 1.5));
    QLinearGradient oro(QPointF(24, 4), QPointF(24, 42));
    oro.setColorAt(0, Estilo::OroClaro);
    oro.setColorAt(1, Estilo::Oro);
    p.setBrush(oro);
    p.setPen(QPen(Estilo::Oro.darker(170), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(triangulo);
    p.setPen(Qt::NoPen);
    p.setBrush(Hondo);
    p.drawRoundedRect(QRectF(21.5, 15, 5, 16), 2.2, 2.2);
    p.drawEllipse(QPointF(24, 36), 2.8, 2.8);
  } else {
    // Un octógono hondo con aro de oro y un aspa: algo no ha salido.
    QPolygonF octogono;
    for (int k = 0; k < 8; ++k) {
      const qreal a = qDegreesToRadians(22.5 + 45.0 * k);
      octogono << QPointF(24 + 21 * std::cos(a), 24 + 21 * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 10, 10, 110));
    p.drawPolygon(octogono.translated(1, 1.5));
    QRadialGradient fondo(QPointF(18, 17), 28);
    fondo.setColorAt(0, Estilo::VerdeAzuladoClaro);
    fondo.setColorAt(1, Hondo);
    p.setBrush(fondo);
    p.setPen(QPen(Estilo::Oro, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(octogono);
    p.setPen(trazo);
    p.drawLine(QPointF(17, 17), QPointF(31, 31));
    p.drawLine(QPointF(31, 17), QPointF(17, 31));
  }
  return pm;
}

void VestirDialogo(QWidget* dialogo) {
  dialogo->setPalette(PaletaDialogos());
  for (QDialogButtonBox* caja : dialogo->findChildren<QDialogButtonBox*>())
    for (QAbstractButton* b : caja->buttons())
      b->setIcon(QIcon());
}
