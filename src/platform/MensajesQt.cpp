#include "platform/MensajesQt.h"

#include "platform/Basico.h"
#include "platform/EstiloDialogos.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTranslator>

namespace {
int mostrarConQt(const MensajeMostrado& m) {
  QMessageBox caja;
  caja.setWindowTitle(m.titulo);
  caja.setText(m.texto);
  // Nuestros iconos, no los de serie: la caja se ve como el resto del programa.
  const QPixmap icono = IconoMensaje(m.icono(), caja.devicePixelRatioF());
  if (!icono.isNull())
    caja.setIconPixmap(icono);
  // Cada botón nuestro con el suyo de Qt; el predeterminado y el de Escape
  // se dicen siempre, sin dejar que Qt los adivine.
  const auto deQt = [](int nuestro) {
    switch (nuestro) {
    case vbCancel:
      return QMessageBox::Cancel;
    case vbAbort:
      return QMessageBox::Abort;
    case vbRetry:
      return QMessageBox::Retry;
    case vbIgnore:
      return QMessageBox::Ignore;
    case vbYes:
      return QMessageBox::Yes;
    case vbNo:
      return QMessageBox::No;
    default:
      return QMessageBox::Ok;
    }
  };
  QMessageBox::StandardButtons juego;
  for (int b : BotonesDe(m.estilo))
    juego |= deQt(b);
  caja.setStandardButtons(juego);
  caja.setDefaultButton(deQt(m.predeterminado));
  caja.setEscapeButton(caja.button(deQt(m.escape)));
  VestirDialogo(&caja);
  caja.exec();
  // Cerrar la caja por el marco pulsa su botón de Escape.
  const QAbstractButton* pulsado = caja.clickedButton();
  for (int b : BotonesDe(m.estilo))
    if (pulsado && pulsado == caja.button(deQt(b)))
      return b;
  return m.escape;
}
} // namespace

void InstalarMensajesQt() {
  InstalarManejadorMsgBox(mostrarConQt);
  InstalarManejadorBeep([] { QApplication::beep(); });
}

bool CargarTraduccionesQt(QApplication& app) {
  auto* qtbase = new QTranslator(&app);
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!qtbase->load(QStringLiteral("qtbase_es"), dir))
    return false;
  QApplication::installTranslator(qtbase);
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
  return true;
}
