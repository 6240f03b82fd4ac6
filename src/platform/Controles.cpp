#include "platform/Controles.h"

#include "platform/Estilo.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>

namespace {
// Relieve de dos tonos: claro arriba a la izquierda, oscuro abajo a la derecha.
void relieve(QPainter& p, const QRect& r, bool hundido, const QColor& base) {
  const QColor claro = base.lighter(170);
  const QColor oscuro = base.darker(220);
  p.setPen(hundido ? oscuro : claro);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(hundido ? claro : oscuro);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

void dibujoCentrado(QPainter& p, const QRect& area, const QPixmap& dibujo) {
  if (dibujo.isNull())
    return;
  const QSizeF logico = dibujo.deviceIndependentSize();
  QSizeF tam = logico;
  if (tam.width() > area.width() || tam.height() > area.height())
    tam.scale(area.size(), Qt::KeepAspectRatio);
  const QRectF destino(area.x() + (area.width() - tam.width()) / 2.0,
                       area.y() + (area.height() - tam.height()) / 2.0, tam.width(), tam.height());
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawPixmap(destino, dibujo, QRectF(dibujo.rect()));
}
} // namespace

// --- SSPanel ---------------------------------------------------------------
SSPanel::SSPanel(QWidget* parent, const QString& rotulo)
    : QFrame(parent), rotulo_(rotulo), fondo_(Estilo::VerdeAzuladoClaro), texto_(Estilo::OroClaro) {
  setMouseTracking(true);
  setAccessibleName(rotulo);
}

void SSPanel::setCaption(const QString& rotulo) {
  rotulo_ = rotulo;
  if (!rotulo.trimmed().isEmpty())
    setAccessibleName(rotulo.trimmed());
  update();
}

void SSPanel::setColores(const QColor& fondo, const QColor& texto) {
  fondo_ = fondo;
  texto_ = texto;
  update();
}

void SSPanel::setAlineacion(Qt::Alignment a) {
  alineacion_ = a;
  update();
}

void SSPanel::setNegrita(bool si) {
  negrita_ = si;
  update();
}

void SSPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), fondo_);
  relieve(p, rect().adjusted(0, 0, -1, -1), false, fondo_);
  relieve(p, rect().adjusted(1, 1, -2, -2), false, fondo_);
  if (rotulo_.isEmpty())
    return;
  QFont f = font();
  f.setBold(negrita_);
  p.setFont(f);
  p.setPen(texto_);
  p.drawText(rect().adjusted(4, 1, -4, -1), int(alineacion_) | Qt::TextWordWrap, rotulo_);
}

void SSPanel::mousePressEvent(QMouseEvent* e) {
  QFrame::mousePressEvent(e);
  if (e->button() == Qt::LeftButton)
    emit Click();
}

// --- SSCommand -------------------------------------------------------------
SSCommand::SSCommand(QWidget* parent, const QString& rotulo) : QPushButton(rotulo, parent) {
  setMouseTracking(true);
  setAccessibleName(rotulo);
}

void SSCommand::setEstilo(int valor) {
  estilo_ = valor;
  setAccessibleDescription(valor == 2 ? QStringLiteral("texto a la vista") : QString());
  update();
}

void SSCommand::setPicture(const QPixmap& dibujo) {
  dibujo_ = dibujo;
  update();
}

void SSCommand::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool marcado = estilo_ == 2;
  const bool hundido = isDown() || marcado;
  QColor base = marcado ? Estilo::Oro : Estilo::VerdeAzuladoClaro;
  if (!isEnabled())
    base = QColor(60, 72, 72);
  p.fillRect(rect(), base);
  relieve(p, rect().adjusted(0, 0, -1, -1), hundido, base);
  relieve(p, rect().adjusted(1, 1, -2, -2), hundido, base);
  const QRect area = rect().adjusted(3, 3, -3, -3).translated(hundido ? 1 : 0, hundido ? 1 : 0);
  if (!dibujo_.isNull()) {
    dibujoCentrado(p, area, dibujo_);
  }
  if (!text().isEmpty()) {
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    QColor texto = marcado ? QColor(20, 30, 20) : Estilo::OroClaro;
    if (!isEnabled())
      texto = QColor(120, 130, 130);
    p.setPen(texto);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
  }
}

// --- SSRibbon --------------------------------------------------------------
SSRibbon::SSRibbon(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void SSRibbon::setPicture(const QPixmap& dibujo) {
  dibujo_ = dibujo;
  update();
}

void SSRibbon::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Estilo::Negro);
  // El dibujo tiene todo lo que queda dentro del relieve, de un píxel.
  dibujoCentrado(p, rect().adjusted(1, 1, -1, -1), dibujo_);
  relieve(p, rect().adjusted(0, 0, -1, -1), isDown(), QColor(70, 90, 90));
  if (!isEnabled())
    p.fillRect(rect(), QColor(0, 0, 0, 110));
}

void SSRibbon::mousePressEvent(QMouseEvent* e) {
  QAbstractButton::mousePressEvent(e);
  if (isEnabled())
    emit MouseDown();
}

void SSRibbon::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    // Una pulsación por tecla, aunque se quede apretada.
    if (isEnabled() && !e->isAutoRepeat())
      emit MouseDown();
    e->accept();
    return;
  }
  // Intro no la pulsa: sube a la ventana, donde acepta.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->ignore();
    return;
  }
  QAbstractButton::keyPressEvent(e);
}

void SSRibbon::keyReleaseEvent(QKeyEvent* e) {
  // Espacio ya hizo su trabajo al bajar: al subir no hay clic que dar.
  if (e->key() == Qt::Key_Space) {
    e->accept();
    return;
  }
  QAbstractButton::keyReleaseEvent(e);
}

// --- BotonImagen -----------------------------------------------------------
BotonImagen::BotonImagen(QWidget* parent) : QPushButton(parent) {
  setMouseTracking(true);
  setAutoDefault(false);
}

void BotonImagen::setPicture(const QPixmap& dibujo) {
  dibujo_ = dibujo;
  update();
}

void BotonImagen::setToolTipText(const QString& ayuda) {
  setToolTip(ayuda);
  setAccessibleName(ayuda);
}

void BotonImagen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const bool hundido = isDown();
  // Las caras ya traen su marco: se dibujan píxel a píxel, sin encoger.
  dibujoCentrado(p, rect().translated(hundido ? 1 : 0, hundido ? 1 : 0), dibujo_);
  if (hundido)
    relieve(p, rect().adjusted(0, 0, -1, -1), true, QColor(60, 110, 100));
  if (!isEnabled())
    p.fillRect(rect(), QColor(0, 0, 0, 120));
}

QFont LetraQueCabe(QFont letra, const QString& texto, int ancho, double minimo) {
  while (letra.pointSizeF() > minimo && QFontMetrics(letra).horizontalAdvance(texto) > ancho)
    letra.setPointSizeF(letra.pointSizeF() - 0.25);
  return letra;
}

// --- AnilloFoco ------------------------------------------------------------
namespace {
// El anillo se dibuja en una capa hermana del control, encima de él y de sus
// vecinos, que lo sigue cuando se mueve, cambia de tamaño o se esconde. No
// recibe el ratón ni el foco: es solo pintura.
class CapaAnillo : public QWidget {
public:
  explicit CapaAnillo(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("anilloFoco"));
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    // Negro, claro y negro: el claro se ve sobre el negro y el verde
    // azulado; los filos negros, sobre el oro y el papel.
    const QRect r = rect();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
    const auto marco = [&p](const QRect& q, int grueso, const QColor& c) {
      p.fillRect(QRect(q.left(), q.top(), q.width(), grueso), c);
      p.fillRect(QRect(q.left(), q.bottom() - grueso + 1, q.width(), grueso), c);
      p.fillRect(QRect(q.left(), q.top(), grueso, q.height()), c);
      p.fillRect(QRect(q.right() - grueso + 1, q.top(), grueso, q.height()), c);
    };
    marco(r, 1, Estilo::Negro);
    marco(r.adjusted(1, 1, -1, -1), AnilloFoco::Grueso, Estilo::Foco);
    const int d = 1 + AnilloFoco::Grueso;
    marco(r.adjusted(d, d, -d, -d), 1, Estilo::Negro);
  }
};

QPointer<QWidget> conFoco;
QPointer<CapaAnillo> capa;

class Seguidor : public QObject {
public:
  using QObject::QObject;
  void Seguir(QWidget* ahora) {
    if (conFoco)
      conFoco->removeEventFilter(this);
    conFoco = ahora;
    if (conFoco)
      conFoco->installEventFilter(this);
    Colocar();
  }
  void Colocar() {
    QWidget* w = conFoco;
    // Solo dentro de una ventana: una ventana entera con el foco no lleva
    // anillo (no hay a qué rodear).
    if (!w || w->isWindow() || !w->isVisible() || !w->parentWidget()) {
      if (capa)
        capa->hide();
      return;
    }
    QWidget* padre = w->parentWidget();
    if (!capa)
      capa = new CapaAnillo(padre);
    else if (capa->parentWidget() != padre)
      capa->setParent(padre);
    const int fuera = 2; // lo que el anillo sale del control
    capa->setGeometry(w->geometry().adjusted(-fuera, -fuera, fuera, fuera));
    capa->raise();
    capa->show();
    capa->update();
  }

protected:
  bool eventFilter(QObject* objeto, QEvent* e) override {
    if (objeto == conFoco) {
      switch (e->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::ParentChange:
        Colocar();
        break;
      default:
        break;
      }
    }
    return QObject::eventFilter(objeto, e);
  }
};
} // namespace

void AnilloFoco::Instalar() {
  static Seguidor* seguidor = nullptr;
  if (seguidor || !qApp)
    return;
  seguidor = new Seguidor(qApp);
  QObject::connect(qApp, &QApplication::focusChanged, seguidor,
                   [](QWidget*, QWidget* ahora) { seguidor->Seguir(ahora); });
  seguidor->Seguir(QApplication::focusWidget());
}
