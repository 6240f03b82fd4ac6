#include "platform/DialogoGuardar.h"

#include "platform/Basico.h"
#include "platform/EstiloDialogos.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
std::function<FicheroElegido(const QString&)> respuestaPropia;

// La extensión de un filtro: «Página web (*.html)» da «html».
QString ExtensionDe(const QString& filtro) {
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filtro);
  return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

FicheroElegido ElegirFicheroGuardar(QWidget* padre, const QString& titulo, const QString& propuesta,
                                    const QStringList& filtros) {
  if (respuestaPropia)
    return respuestaPropia(propuesta);
  // El diálogo de Qt, no el del escritorio: sólo ese lleva nuestros colores
  // y pregunta en castellano antes de sustituir.
  QFileDialog dialogo(padre, titulo, propuesta);
  dialogo.setOption(QFileDialog::DontUseNativeDialog);
  dialogo.setAcceptMode(QFileDialog::AcceptSave);
  dialogo.setFileMode(QFileDialog::AnyFile);
  dialogo.setNameFilters(filtros);
  const QString ext = QFileInfo(propuesta).suffix();
  for (const QString& f : filtros)
    if (ExtensionDe(f) == ext)
      dialogo.selectNameFilter(f);
  dialogo.setDefaultSuffix(ExtensionDe(dialogo.selectedNameFilter()));
  QObject::connect(&dialogo, &QFileDialog::filterSelected, &dialogo,
                   [&dialogo](const QString& filtro) { dialogo.setDefaultSuffix(ExtensionDe(filtro)); });
  // Si el fichero ya existe, se pregunta con la caja de mensajes del
  // programa, con No por omisión; con No se vuelve a elegir.
  dialogo.setOption(QFileDialog::DontConfirmOverwrite);
  VestirDialogo(&dialogo);
  for (;;) {
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
      return {};
    FicheroElegido r;
    r.ruta = dialogo.selectedFiles().constFirst();
    const QFileInfo info(r.ruta);
    r.sustituir = info.exists() || info.isSymLink();
    if (!r.sustituir ||
        MsgBox(QStringLiteral("Ya hay un fichero «%1» en esa carpeta. ¿Sustituirlo por el nuevo?")
                   .arg(info.fileName()),
               vbQuestion + vbYesNo + vbDefaultButton2, titulo) == vbYes)
      return r;
  }
}

void FijarDialogoGuardar(std::function<FicheroElegido(const QString&)> respuesta) {
  respuestaPropia = std::move(respuesta);
}
