#include "platform/DialogosComunes.h"

#include "platform/Impresora.h"
#include "platform/Rutas.h"

#include <QDir>
#include <QFontDialog>
#include <QFontInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <deque>

namespace {
bool guionActivo = false;
std::deque<RespuestaDialogo> respuestas;
std::vector<DialogoMostrado> mostradosGuion;

// Con guion: anota el diálogo y da la respuesta que toca.
RespuestaDialogo respuestaGuion(const QString& tipo, int flags) {
  mostradosGuion.push_back({tipo, flags});
  if (respuestas.empty())
    return RespuestaDialogo::cancelar();
  RespuestaDialogo r = respuestas.front();
  respuestas.pop_front();
  return r;
}

void aplicarFallo(const RespuestaDialogo& r) {
  if (r.accion == RespuestaDialogo::Cancelar)
    throw ErrorEjecucion(ErrDialogoCancelado);
  if (r.accion == RespuestaDialogo::Fallar)
    throw ErrorEjecucion(r.error);
}
} // namespace

void DialogoComun::ShowFont(QWidget* padre) {
  if (guionActivo) {
    const RespuestaDialogo r = respuestaGuion(QStringLiteral("FUENTES"), Flags);
    aplicarFallo(r);
    if ((Flags & cdlCFBoth) == 0)
      throw ErrorEjecucion(ErrSinFuentes);
    FontName = r.fuente;
    FontSize = r.tamano;
    return;
  }
  if ((Flags & cdlCFBoth) == 0)
    throw ErrorEjecucion(ErrSinFuentes);
  // El diálogo marca la familia que de verdad se usa ("Arial" puede ser un
  // alias de otra con las mismas medidas): aceptar sin tocar nada no cambia
  // la letra impresa.
  QFont inicial(QFontInfo(QFont(FontName)).family());
  inicial.setPointSizeF(FontSize > 0 ? FontSize : 12);
  bool aceptado = false;
  const QFont elegida =
      QFontDialog::getFont(&aceptado, inicial, padre, QStringLiteral("Fuente de impresión"));
  if (!aceptado)
    throw ErrorEjecucion(ErrDialogoCancelado);
  FontName = elegida.family();
  if (elegida.pointSizeF() > 0)
    FontSize = elegida.pointSizeF();
}

void DialogoComun::ShowPrinter(QWidget* padre) {
  if (guionActivo) {
    const RespuestaDialogo r = respuestaGuion(QStringLiteral("IMPRESORA"), Flags);
    aplicarFallo(r);
    if (!r.ficheroPdf.isEmpty())
      Printer().ElegirFicheroPdf(r.ficheroPdf);
    return;
  }
  ImpresoraQt& impresora = ImpresoraDelSistema();
  QPrinter& dispositivo = impresora.Dispositivo();
  const QString ficheroAntes = dispositivo.outputFileName();
  const QPrinter::OutputFormat formatoAntes = dispositivo.outputFormat();
  // Sin impresoras, el diálogo sólo puede ofrecer un fichero PDF: se le
  // propone el mismo nombre que llevaría sin diálogo.
  if (ficheroAntes.isEmpty() && QPrinterInfo::availablePrinters().isEmpty())
    dispositivo.setOutputFileName(
        ImpresoraQt::RutaSinPisar(QDir(DirEscritura()).filePath(ImpresoraQt::NombrePdfAutomatico())));
  QPrintDialog dialogo(&dispositivo, padre);
  dialogo.setWindowTitle(QStringLiteral("Configurar impresora"));
  dialogo.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  if (dialogo.exec() != QDialog::Accepted) {
    dispositivo.setOutputFileName(ficheroAntes);
    dispositivo.setOutputFormat(formatoAntes);
    throw ErrorEjecucion(ErrDialogoCancelado);
  }
  impresora.DestinoElegido();
}

void GuionDialogos::activar() {
  guionActivo = true;
  limpiar();
}
void GuionDialogos::desactivar() {
  guionActivo = false;
  limpiar();
}
bool GuionDialogos::activo() {
  return guionActivo;
}
void GuionDialogos::responder(const RespuestaDialogo& respuesta) {
  respuestas.push_back(respuesta);
}
const std::vector<DialogoMostrado>& GuionDialogos::mostrados() {
  return mostradosGuion;
}
void GuionDialogos::limpiar() {
  respuestas.clear();
  mostradosGuion.clear();
}
