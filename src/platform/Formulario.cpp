#include "platform/Formulario.h"

#include "platform/Twips.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

Formulario::Formulario(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setMouseTracking(true);
  setModal(true);
}

void Formulario::TamanoTwips(int ancho, int alto) {
  setFixedSize(TwSize(ancho, alto));
}

void Formulario::ColorFondo(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
  setAutoFillBackground(true);
}

void Formulario::DibujarBorde(bool si) {
  borde_ = si;
  update();
}

void Formulario::TituloVentana(const QString& titulo) {
  // Sin texto de título, la barra muestra el nombre del programa.
  setWindowTitle(titulo.isEmpty() ? QStringLiteral("KORVAL") : titulo);
}

void Formulario::Colocar(QWidget* control, int left, int top, int width, int height) {
  control->setGeometry(TwRect(left, top, width, height));
}

void Formulario::centrarform() {
  const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!pantalla)
    return;
  const QRect p = pantalla->geometry();
  QSize exterior = frameGeometry().size();
  if (!isVisible() || exterior.width() < width())
    exterior = size();
  const int left = p.x() + (p.width() - exterior.width()) / 2;
  const int top = p.y() + (p.height() - exterior.height()) / 2;
  if (frameGeometry().topLeft() != QPoint(left, top))
    move(left, top);
}

void Formulario::MostrarModal() {
  if (isVisible())
    return;
  // Como exec(), pero la activación puede ocultar la ventana antes de que
  // empiece su bucle (una ventana que no tiene nada que enseñar).
  show();
  if (!isVisible())
    return;
  QEventLoop bucle;
  bucle_ = &bucle;
  bucle.exec(QEventLoop::DialogExec);
  bucle_ = nullptr;
}

void Formulario::Ocultar() {
  // Ocultar una ventana modal termina su exec().
  cerrandoPorCodigo_ = true;
  hide();
  cerrandoPorCodigo_ = false;
}

void Formulario::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) {
    ++activaciones_;
    Form_Activate();
    // El marco que pone el gestor de ventanas sólo se conoce ya mostrada:
    // se vuelve a centrar con su tamaño exterior de verdad.
    QTimer::singleShot(0, this, [this] {
      if (isVisible() && centrarAlMostrar_)
        centrarform();
    });
  }
}

void Formulario::hideEvent(QHideEvent* e) {
  QDialog::hideEvent(e);
  if (bucle_ && !e->spontaneous())
    bucle_->exit();
}

void Formulario::closeEvent(QCloseEvent* e) {
  if (cerrandoPorCodigo_) {
    QDialog::closeEvent(e);
    return;
  }
  e->ignore();
  Form_Cancelar();
}

void Formulario::reject() {
  // Escape y el cierre por el marco: como el botón de cancelar.
  Form_Cancelar();
}

void Formulario::paintEvent(QPaintEvent* e) {
  QDialog::paintEvent(e);
  if (!borde_)
    return;
  QPainter p(this);
  p.setPen(QPen(QColor(0, 64, 64), 1));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Formulario::mouseMoveEvent(QMouseEvent* e) {
  QDialog::mouseMoveEvent(e);
  // Sólo el fondo: el movimiento sobre un control que no lo atiende sube a
  // la ventana, pero no es un movimiento sobre ella.
  if (!childAt(e->position().toPoint()))
    Form_MouseMove();
}

void Formulario::AlMoverRaton(QWidget* control, std::function<void()> accion) {
  control->setMouseTracking(true);
  control->installEventFilter(this);
  seguimiento_.emplace_back(control, std::move(accion));
}

bool Formulario::eventFilter(QObject* objeto, QEvent* e) {
  if (e->type() == QEvent::MouseMove)
    for (auto& [control, accion] : seguimiento_)
      if (control == objeto) {
        accion();
        break;
      }
  return QDialog::eventFilter(objeto, e);
}
