#include "platform/Formulario.h"

#include "platform/Basico.h"
#include "platform/Controles.h"
#include "platform/Twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {
// El marco de las ventanas con barra de título, cuando ya se sabe.
QMargins marcoPrevisto;
} // namespace

Formulario::Formulario(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setMouseTracking(true);
  setModal(true);
  // El control con el foco se ve en todas las ventanas.
  AnilloFoco::Instalar();
}

void Formulario::TamanoTwips(int ancho, int alto) {
  tamanoDiseno_ = TwSize(ancho, alto);
  setFixedSize(tamanoDiseno_);
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

QMargins Formulario::MarcoPrevisto() {
  return marcoPrevisto;
}

void Formulario::FijarMarcoPrevisto(const QMargins& marco) {
  marcoPrevisto = marco;
}

bool Formulario::MarcoSabido() const {
  return isVisible() && frameGeometry().size() != size();
}

QSize Formulario::TamanoExterior() const {
  // Con el marco ya puesto por el gestor de ventanas, el de verdad; antes,
  // el que llevan las otras ventanas con barra de título.
  if (MarcoSabido())
    return frameGeometry().size();
  if (windowFlags() & Qt::FramelessWindowHint)
    return size();
  return size().grownBy(marcoPrevisto);
}

void Formulario::centrarform() {
  // Una ventana que la persona ha agrandado o maximizado se queda donde la
  // dejó: solo vuelve al centro la que tiene su tamaño de diseño.
  if (isMaximized() || isFullScreen() || (tamanoDiseno_.isValid() && size() != tamanoDiseno_))
    return;
  const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!pantalla)
    return;
  const QRect p = pantalla->geometry();
  const QSize exterior = TamanoExterior();
  const int left = p.x() + (p.width() - exterior.width()) / 2;
  const int top = p.y() + (p.height() - exterior.height()) / 2;
  // move() coloca la esquina del marco, no la del área de cliente.
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

void Formulario::BotonesAceptarCancelar(QAbstractButton* aceptar, QAbstractButton* cancelar) {
  aceptar_ = aceptar;
  cancelar_ = cancelar;
}

namespace {
bool Disponible(const QWidget* control, const QWidget* ventana) {
  return control && control->isEnabled() && control->isVisibleTo(ventana);
}
} // namespace

QAbstractButton* Formulario::BotonAceptar() const {
  return aceptar_;
}

QAbstractButton* Formulario::BotonCancelar() const {
  return cancelar_;
}

void Formulario::Cancelar() {
  // Un cancelar apagado (una orden en marcha) o escondido no se pulsa.
  if (QAbstractButton* b = BotonCancelar()) {
    if (Disponible(b, this))
      b->click();
    return;
  }
  Form_Cancelar();
}

void Formulario::PulsarIntro() {
  // El botón con el foco (también uno de dibujo); si no, el de aceptar. Un
  // cuadro de texto de varias líneas se queda su Intro y no llega aquí.
  if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && Disponible(b, this)) {
    b->click();
    return;
  }
  if (QAbstractButton* a = BotonAceptar(); Disponible(a, this))
    a->click();
}

void Formulario::keyPressEvent(QKeyEvent* e) {
  if ((e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    switch (e->key()) {
    case Qt::Key_Escape:
      Cancelar();
      e->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      PulsarIntro();
      e->accept();
      return;
    default:
      break;
    }
  }
  // Ni QDialog: sus reglas para Intro y Escape son las de arriba.
  QWidget::keyPressEvent(e);
}

void Formulario::reject() {
  Cancelar();
}

bool Formulario::focusNextPrevChild(bool next) {
  // Qt pasa el foco al control siguiente cuando el que lo tiene se apaga o
  // se esconde: el siguiente puede ser un cancelar, y la misma tecla pulsada
  // otra vez tiraría el trabajo. El foco se queda donde debe.
  QWidget* f = focusWidget();
  if (f && f != this && isAncestorOf(f) && (!f->isEnabled() || !f->isVisible())) {
    AparcarFoco(f);
    return true;
  }
  return QDialog::focusNextPrevChild(next);
}

void Formulario::AparcarFoco(QWidget* perdido) {
  // Mientras el control no vuelva, el foco lo tiene la ventana: ninguna
  // tecla pulsa nada por accidente. Un control que se apaga mientras
  // trabaja lo recupera al encenderse; si se queda apagado, el foco pasa al
  // control principal de la ventana en cuanto acaba lo que se estaba haciendo.
  focoAparcado_ = perdido;
  perdido->installEventFilter(this);
  setFocus(Qt::OtherFocusReason);
  QMetaObject::invokeMethod(
      this,
      [this] {
        QWidget* principal = ControlDelFoco();
        if (focoAparcado_ && !Disponible(focoAparcado_, this) && focusWidget() == this &&
            Disponible(principal, this)) {
          focoAparcado_ = nullptr;
          principal->setFocus(Qt::OtherFocusReason);
        }
      },
      Qt::QueuedConnection);
}

bool Formulario::event(QEvent* e) {
  switch (e->type()) {
  case QEvent::Move:
    // El gestor de ventanas acaba de ponerle el marco: se aprende, y si la
    // ventana se centró sin saberlo, se corrige antes de pintarse.
    if (MarcoSabido() && !(windowFlags() & Qt::FramelessWindowHint)) {
      const QRect f = frameGeometry(), g = geometry();
      marcoPrevisto =
          QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
      if (marcoPendiente_) {
        marcoPendiente_ = false;
        centrarform();
      }
    }
    break;
  case QEvent::WindowActivate:
    // Al volver a ser la ventana activa (el menú tras una orden), al centro.
    centrarform();
    break;
  default:
    break;
  }
  return QDialog::event(e);
}

void Formulario::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) {
    marcoPendiente_ = !MarcoSabido();
    Form_Activate();
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
  Cancelar();
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

bool Formulario::PreguntarAbandono() {
  if (preguntandoAbandono_)
    return false;
  preguntandoAbandono_ = true;
  const bool si = MsgBox(QStringLiteral("¿Abandonar esta consulta?"), vbQuestion + vbYesNo + vbDefaultButton2,
                         QStringLiteral("ABANDONAR")) == vbYes;
  preguntandoAbandono_ = false;
  return si;
}

void Formulario::AlMoverRaton(QWidget* control, std::function<void()> accion) {
  control->setMouseTracking(true);
  control->installEventFilter(this);
  seguimiento_.emplace_back(control, std::move(accion));
}

bool Formulario::eventFilter(QObject* objeto, QEvent* e) {
  if (objeto == focoAparcado_ && (e->type() == QEvent::EnabledChange || e->type() == QEvent::ShowToParent) &&
      Disponible(focoAparcado_, this)) {
    QWidget* vuelve = focoAparcado_;
    focoAparcado_ = nullptr;
    // Sólo si nadie se ha llevado el foco mientras tanto.
    if (focusWidget() == this || !focusWidget())
      vuelve->setFocus(Qt::OtherFocusReason);
  }
  if (e->type() == QEvent::MouseMove)
    for (auto& [control, accion] : seguimiento_)
      if (control == objeto) {
        accion();
        break;
      }
  return QDialog::eventFilter(objeto, e);
}
