#include "pictures/GRAFICOS.h"

#include "pictures/Dibujos.h"
#include "pictures/Monedas.h"

#include <QApplication>

namespace {
GRAFICOS* instancia = nullptr;
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

  // Las monedas y el botón de tirar se dibujan con la tirada (Monedas.cpp).
  DibujarMonedas(*this);

  for (int i = 0; i < 2; ++i)
    IMGHEXAGR[static_cast<size_t>(i)] = Dibujos::CaraHexagrama(i, dpr);
  for (int i = 0; i < 4; ++i)
    CarasInterpretar[static_cast<size_t>(i)] = Dibujos::CaraInterpretar(i, dpr);
  Eliminar = Dibujos::Eliminar(dpr);
  Exportar = Dibujos::Exportar(dpr);
  Impresora = Dibujos::Impresora(dpr);
}
