#include "pictures/GRAFICOS.h"

#include "pictures/Dibujos.h"
#include "platform/Estilo.h"

#include <QApplication>
#include <QPainter>

namespace {
GRAFICOS* instancia = nullptr;

// Provisional hasta que lleguen los dibujos de las monedas: una moneda
// sencilla en cada fase del giro y las dos caras del botón de tirar.
QPixmap MonedaProvisional(int fase, qreal dpr) {
  QPixmap pm = Dibujos::Lienzo(QSize(100, 100), dpr, Estilo::Negro);
  QPainter p(&pm);
  Dibujos::Preparar(p);
  // Ancho aparente de la moneda según su giro: de frente, inclinada, de canto.
  static const qreal anchos[7] = {1.0, 0.55, 0.1, 0.55, 1.0, 0.55, 0.55};
  const bool anverso = fase == 0 || fase == 1 || fase == 6;
  const qreal rx = 44 * anchos[fase], ry = 44;
  p.setPen(QPen(Estilo::Oro.darker(200), 2));
  p.setBrush(anverso ? Estilo::Oro : Estilo::Oro.darker(125));
  p.drawEllipse(QPointF(50, 50), rx, ry);
  if (fase != 2) {
    p.setBrush(Estilo::Negro);
    const qreal a = 12 * anchos[fase];
    p.drawRect(QRectF(50 - a, 38, 2 * a, 24));
  }
  return pm;
}

QPixmap BotonTirarProvisional(const QString& texto, qreal dpr) {
  QPixmap pm = Dibujos::Lienzo(QSize(200, 40), dpr, Estilo::Negro);
  QPainter p(&pm);
  Dibujos::Preparar(p);
  QFont f(QStringLiteral("Liberation Serif"));
  f.setPixelSize(22);
  f.setItalic(true);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Estilo::JadeClaro);
  p.drawText(QRectF(0, 0, 200, 40), Qt::AlignCenter, texto);
  return pm;
}
} // namespace

GRAFICOS& GRAFICOS::Instancia() {
  if (!instancia)
    instancia = new GRAFICOS();
  return *instancia;
}

bool GRAFICOS::Creado() {
  return instancia != nullptr;
}

GRAFICOS::GRAFICOS(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GRAFICOS"));
  // Nunca se muestra: sólo guarda dibujos.
  setAttribute(Qt::WA_DontShowOnScreen);
  Form_Load();
}

void GRAFICOS::Form_Load() {
  // Cada dibujo se pinta a la densidad de la pantalla para que se vea nítido.
  const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;

  for (int k = 0; k < 4; ++k) {
    const auto i = static_cast<size_t>(k);
    GRFLINEA[i] = Dibujos::Linea(k, Dibujos::TamLinea, dpr);
    GRFLINEAm[i] = Dibujos::Linea(k, Dibujos::TamLineaMediana, dpr);
    GRFLINEAp[i] = Dibujos::Linea(k, Dibujos::TamLineaPequena, dpr);
  }
  Gaceptar = Dibujos::CaraPalabra(QStringLiteral("Aceptar"), true, dpr);
  Gcancelar = Dibujos::CaraPalabra(QStringLiteral("Cancelar"), false, dpr);

  for (int i = 0; i < 8; ++i)
    CarasMenu[static_cast<size_t>(i)] = Dibujos::CaraMenu(i, dpr);
  FondoInicio = Dibujos::FondoInicio(dpr);
  Consejo = Dibujos::Consejo(dpr);
  Icono = Dibujos::IconoCompleto();

  for (int i = 0; i < 7; ++i)
    grfmoneda[static_cast<size_t>(i)] = MonedaProvisional(i, dpr);
  GRFarrojarParar[0] = BotonTirarProvisional(QStringLiteral("Arrojar Monedas"), dpr);
  GRFarrojarParar[1] = BotonTirarProvisional(QStringLiteral("Parar Monedas"), dpr);

  for (int i = 0; i < 2; ++i)
    IMGHEXAGR[static_cast<size_t>(i)] = Dibujos::CaraHexagrama(i, dpr);
  for (int i = 0; i < 4; ++i)
    CarasInterpretar[static_cast<size_t>(i)] = Dibujos::CaraInterpretar(i, dpr);
  Eliminar = Dibujos::Eliminar(dpr);
  Impresora = Dibujos::Impresora(dpr);
}
