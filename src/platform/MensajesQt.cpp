#include "platform/MensajesQt.h"

#include "platform/Basico.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace {
int mostrarConQt(const MensajeMostrado& m) {
  QMessageBox caja;
  caja.setWindowTitle(m.titulo);
  caja.setText(m.texto);
  switch (m.icono()) {
  case vbCritical:
    caja.setIcon(QMessageBox::Critical);
    break;
  case vbQuestion:
    caja.setIcon(QMessageBox::Question);
    break;
  case vbExclamation:
    caja.setIcon(QMessageBox::Warning);
    break;
  case vbInformation:
    caja.setIcon(QMessageBox::Information);
    break;
  default:
    break;
  }
  struct Par {
    QMessageBox::StandardButton qt;
    int nuestro;
  };
  std::vector<Par> botones;
  switch (m.botones()) {
  case vbOKCancel:
    botones = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    break;
  case vbAbortRetryIgnore:
    botones = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
    break;
  case vbYesNoCancel:
    botones = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    break;
  case vbYesNo:
    botones = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    break;
  case vbRetryCancel:
    botones = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    break;
  default:
    botones = {{QMessageBox::Ok, vbOK}};
    break;
  }
  QMessageBox::StandardButtons juego;
  for (const Par& b : botones)
    juego |= b.qt;
  caja.setStandardButtons(juego);
  caja.setDefaultButton(botones.front().qt);
  const int pulsado = caja.exec();
  for (const Par& b : botones)
    if (b.qt == pulsado)
      return b.nuestro;
  // Cerrar la caja por el marco: el botón de escape (o el único que hay).
  if (m.botones() == vbYesNo)
    return vbNo;
  if (m.botones() == vbAbortRetryIgnore)
    return vbAbort;
  return botones.size() == 1 ? botones.front().nuestro : vbCancel;
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
