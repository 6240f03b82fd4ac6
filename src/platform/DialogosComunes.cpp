#include "platform/DialogosComunes.h"

#include "platform/Basico.h"
#include "platform/EstiloDialogos.h"
#include "platform/Ficheros.h"
#include "platform/Impresora.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

#include <deque>

namespace {
bool guionActivo = false;
std::deque<RespuestaDialogo> respuestas;
std::vector<DialogoMostrado> mostradosGuion;

const QString TituloImpresora = QStringLiteral("Configurar impresora");

// Con guion: anota el diálogo y da la respuesta que toca.
RespuestaDialogo respuestaGuion(const QString& tipo, int flags, const QString& propuesta = QString()) {
  mostradosGuion.push_back({tipo, flags, propuesta});
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

// El fichero PDF elegido en el diálogo sólo vale si se puede escribir en él
// sin pasar por un enlace; si no, se dice por qué y no se elige nada.
void comprobarElegido(const QString& ruta) {
  const QString motivo = MotivoNoEscribible(ruta);
  if (motivo.isEmpty())
    return;
  MsgBox(motivo, vbExclamation | vbOKOnly, TituloImpresora);
  throw ErrorEjecucion(ErrDialogoCancelado);
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
  // El diálogo de Qt, no el del escritorio: sólo ese lleva nuestros colores.
  QFontDialog dialogo(inicial, padre);
  dialogo.setWindowTitle(QStringLiteral("Fuente de impresión"));
  dialogo.setOption(QFontDialog::DontUseNativeDialog);
  VestirDialogo(&dialogo);
  if (dialogo.exec() != QDialog::Accepted)
    throw ErrorEjecucion(ErrDialogoCancelado);
  const QFont elegida = dialogo.selectedFont();
  FontName = elegida.family();
  if (elegida.pointSizeF() > 0)
    FontSize = elegida.pointSizeF();
}

void DialogoComun::ShowPrinter(QWidget* padre) {
  if (guionActivo) {
    const auto* real = dynamic_cast<const ImpresoraQt*>(&Printer());
    const RespuestaDialogo r = respuestaGuion(QStringLiteral("IMPRESORA"), Flags,
                                              real && real->APdf() ? real->PdfPropuesto() : QString());
    aplicarFallo(r);
    if (!r.ficheroPdf.isEmpty()) {
      comprobarElegido(r.ficheroPdf);
      Printer().ElegirFicheroPdf(r.ficheroPdf);
    }
    return;
  }
  ImpresoraQt& impresora = ImpresoraDelSistema();
  QPrinter& dispositivo = impresora.Dispositivo();
  const QString ficheroAntes = dispositivo.outputFileName();
  const QPrinter::OutputFormat formatoAntes = dispositivo.outputFormat();
  const auto dejarComoEstaba = [&] {
    dispositivo.setOutputFileName(ficheroAntes);
    dispositivo.setOutputFormat(formatoAntes);
  };
  // Si lo siguiente iría a un PDF, el diálogo propone uno nuevo: aceptar sin
  // mirar nunca sustituye una impresión anterior.
  if (impresora.APdf())
    dispositivo.setOutputFileName(impresora.PdfPropuesto());
  QPrintDialog dialogo(&dispositivo, padre);
  dialogo.setWindowTitle(TituloImpresora);
  dialogo.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  // Aceptar el diálogo no imprime nada: el botón no dice "Imprimir".
  for (QDialogButtonBox* botones : dialogo.findChildren<QDialogButtonBox*>())
    if (QPushButton* aceptar = botones->button(QDialogButtonBox::Ok))
      aceptar->setText(QStringLiteral("Aceptar"));
  VestirDialogo(&dialogo);
  if (dialogo.exec() != QDialog::Accepted) {
    dejarComoEstaba();
    throw ErrorEjecucion(ErrDialogoCancelado);
  }
  // Si el fichero ya existía, el diálogo ya preguntó si se sustituye.
  if (dispositivo.outputFormat() == QPrinter::PdfFormat) {
    try {
      comprobarElegido(dispositivo.outputFileName());
    } catch (const ErrorEjecucion&) {
      dejarComoEstaba();
      throw;
    }
  }
  impresora.DestinoElegido();
}

bool AbrirConElEscritorio(const QString& ruta) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(ruta));
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
