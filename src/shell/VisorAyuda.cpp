#include "shell/VisorAyuda.h"

#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Ficheros.h"

#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

VisorAyuda& VisorAyuda::Instancia() {
  static VisorAyuda* visor = new VisorAyuda();
  return *visor;
}

VisorAyuda::VisorAyuda(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Ayuda de KORVAL"));
  setWindowFlags(Qt::Window);
  resize(720, 620);
  auto* capa = new QVBoxLayout(this);
  texto_ = new QTextBrowser(this);
  texto_->setOpenLinks(true);
  texto_->setOpenExternalLinks(false);
  texto_->setStyleSheet(QStringLiteral("QTextBrowser { background: rgb(252, 248, 235); }"));
  capa->addWidget(texto_);
  auto* indice = new QPushButton(QStringLiteral("Índice"), this);
  auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
  auto* fila = new QHBoxLayout();
  fila->addWidget(indice);
  fila->addStretch();
  fila->addWidget(cerrar);
  capa->addLayout(fila);
  // El índice es el principio del fichero.
  connect(indice, &QPushButton::clicked, this, [this] { texto_->verticalScrollBar()->setValue(0); });
  connect(cerrar, &QPushButton::clicked, this, &QDialog::hide);
}

bool VisorAyuda::MostrarIndice(const QString& ruta) {
  // La ayuda de verdad ocupa unas decenas de kB.
  constexpr qint64 LimiteAyuda = qint64(4) << 20;
  QByteArray bytes;
  QString motivo;
  if (LeerFicheroRegular(ruta, LimiteAyuda, &bytes, &motivo) != FalloLectura::Ninguno) {
    MsgBox(QStringLiteral("No se puede abrir el fichero de ayuda «%1»: %2.")
                   .arg(QFileInfo(ruta).fileName(), motivo) +
               QStringLiteral("\r\n\r\nCompruebe que está en la carpeta del programa."),
           vbExclamation + vbOKOnly, QStringLiteral("Ayuda de KORVAL"));
    return false;
  }
  const QString html = QString::fromUtf8(bytes);
  texto_->setHtml(html);
  // El índice es el principio del fichero.
  texto_->moveCursor(QTextCursor::Start);
  texto_->ensureCursorVisible();
  setWindowIcon(GRAFICOS::Instancia().Icono);
  show();
  raise();
  activateWindow();
  return true;
}
