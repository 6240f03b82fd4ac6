#include "platform/DialogoGuardar.h"

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
  VestirDialogo(&dialogo);
  if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
    return {};
  FicheroElegido r;
  r.ruta = dialogo.selectedFiles().constFirst();
  // El diálogo ya preguntó: si existe, la persona dijo que se sustituya.
  r.sustituir = QFileInfo(r.ruta).exists() || QFileInfo(r.ruta).isSymLink();
  return r;
}

void FijarDialogoGuardar(std::function<FicheroElegido(const QString&)> respuesta) {
  respuestaPropia = std::move(respuesta);
}
