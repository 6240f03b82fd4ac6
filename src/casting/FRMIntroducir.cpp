#include "casting/FRMIntroducir.h"

#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Estilo.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {
const std::array<const char*, 4> SentidoLinea = {"6, yin móvil", "7, yang", "8, yin", "9, yang móvil"};
}

FRMIntroducir::FRMIntroducir(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("KORVAL — Construir el hexagrama"));
  TamanoTwips(6255, 5250);
  ColorFondo(Estilo::VerdeAzulado);

  Label1 = new QLabel(QStringLiteral("PULSE SOBRE LAS LÍNEAS PARA CONSTRUIR EL HEXAGRAMA"), this);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  {
    QFont f = Label1->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    Label1->setFont(f);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, Estilo::OroClaro);
    Label1->setPalette(p);
  }

  Frame2 = new QGroupBox(QStringLiteral("        HEXAGRAMA        "), this);
  Frame2->setAlignment(Qt::AlignHCenter);
  Frame2->setStyleSheet(
      QStringLiteral("QGroupBox { background-color: rgb(0, 40, 40); border: 1px solid rgb(214, 178, 74);"
                     " border-radius: 3px; margin-top: 8px; }"
                     "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top center;"
                     " color: rgb(246, 222, 150); background-color: rgb(0, 64, 64); font-weight: bold; }"));
  for (int j = 0; j < 6; ++j) {
    LINEA[j] = new SSRibbon(Frame2);
    LINEA[j]->setAccessibleName(QStringLiteral("Línea %1").arg(j + 1));
    LINEA[j]->hide();
  }
  for (int k = 0; k < 4; ++k) {
    GRFLINEA[k] = new SSRibbon(this);
    GRFLINEA[k]->Tag = QString::number(6 + k);
    GRFLINEA[k]->setAccessibleName(QStringLiteral("Poner línea %1").arg(QString::fromUtf8(SentidoLinea[k])));
    GRFLINEA[k]->setToolTip(
        QStringLiteral("Línea %1 (tecla %2)").arg(QString::fromUtf8(SentidoLinea[k])).arg(6 + k));
    GRFLINEA[k]->setCursor(Qt::PointingHandCursor);
    // Con el teclado: el foco en una línea de muestra, Espacio o Intro la
    // ponen y las flechas pasan a la de arriba o a la de abajo.
    GRFLINEA[k]->setFocusPolicy(Qt::StrongFocus);
    GRFLINEA[k]->setAutoExclusive(true);
    GRFLINEA[k]->installEventFilter(this);
  }
  BTNBORRAR = new SSCommand(this, QStringLiteral("ELIMINAR ÚLTIMA LÍNEA"));
  BTNBORRAR->setAutoDefault(false);
  BTNBORRAR->setToolTip(QStringLiteral("Quita la última línea (tecla Retroceso)"));
  for (int i = 0; i < 2; ++i)
    BTNAUX[i] = new BotonImagen(this);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);

  LBLNota = new QLabel(this);
  LBLNota->setAlignment(Qt::AlignCenter);
  LBLNota->setWordWrap(true);
  {
    QPalette p = LBLNota->palette();
    p.setColor(QPalette::WindowText, Estilo::JadeClaro);
    LBLNota->setPalette(p);
    QFont f = LBLNota->font();
    f.setItalic(true);
    LBLNota->setFont(f);
  }

  // Las líneas y las muestras, tan anchas como su dibujo (172 píxeles y el relieve), para que se vea a su
  // tamaño y nítido; la columna de la derecha queda a la misma distancia del borde que el marco.
  Colocar(Label1, 0, 0, 6255, 675);
  Colocar(LBLNota, 3465, 720, 2610, 690);
  Colocar(Frame2, 180, 780, 2880, 3855);
  const std::array<int, 6> tops = {3210, 2640, 2070, 1410, 840, 270};
  for (int j = 0; j < 6; ++j)
    Colocar(LINEA[j], 120, tops[j], 2610, 555);
  const std::array<int, 4> topsMuestra = {1470, 2100, 2730, 3360};
  for (int k = 0; k < 4; ++k)
    Colocar(GRFLINEA[k], 3465, topsMuestra[k], 2610, 585);
  Colocar(BTNBORRAR, 180, 4650, 2880, 465);
  Colocar(BTNAUX[0], 3810, 4680, 1185, 525);
  Colocar(BTNAUX[1], 5010, 4680, 1185, 525);

  for (int k = 0; k < 4; ++k)
    connect(GRFLINEA[k], &SSRibbon::MouseDown, this, [this, k] { grflinea_MouseDown(k); });
  connect(BTNBORRAR, &QPushButton::clicked, this, [this] { BTNBORRAR_Click(); });
  for (int i = 0; i < 2; ++i)
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });
  AlMoverRaton(BTNAUX[0], [this] { centrarform(); });
  AlMoverRaton(BTNAUX[1], [this] { centrarform(); });
  AlMoverRaton(Label1, [this] { centrarform(); });

  Form_Load();
}

void FRMIntroducir::Form_Load() {
  const GRAFICOS& g = GRAFICOS::Instancia();
  for (int k = 0; k < 4; ++k)
    GRFLINEA[k]->setPicture(g.GRFLINEA[k]);
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  DibujarBorde();
  centrarform();
}

void FRMIntroducir::Form_Activate() {
  centrarform();
  BTNAUX[0]->hide();
  BTNBORRAR->setEnabled(false);
  for (SSRibbon* m : GRFLINEA)
    m->setEnabled(true);
  for (SSRibbon* l : LINEA)
    l->hide();
  SavedLines = CurrentLines;
  CurrentLines = QString();
  LBLNota->clear();
  muestraConFoco_ = 0;
  GRFLINEA[0]->setFocus();
}

int FRMIntroducir::LineasPuestas() const {
  int n = 0;
  for (const SSRibbon* l : LINEA)
    if (!l->isHidden())
      ++n;
  return n;
}

void FRMIntroducir::grflinea_MouseDown(int Index) {
  if (Index < 0 || Index > 3)
    return;
  const int valor = 6 + Index;
  int j = 0;
  while (j < 6 && !LINEA[j]->isHidden())
    ++j;
  LBLNota->clear();
  if (j < 6) {
    LINEA[j]->setPicture(GRFLINEA[Index]->Picture());
    LINEA[j]->setAccessibleName(
        QStringLiteral("Línea %1: %2").arg(j + 1).arg(QString::fromUtf8(SentidoLinea[Index])));
    LINEA[j]->show();
    CurrentLines = QuitarBlancos(CurrentLines) + QString::number(valor);
  }
  if (j == 5) {
    for (SSRibbon* m : GRFLINEA)
      m->setEnabled(false);
    BTNAUX[0]->show();
    BTNAUX[0]->setFocus();
  }
  BTNBORRAR->setEnabled(true);
  WaitTicks(50);
}

void FRMIntroducir::BTNBORRAR_Click() {
  LBLNota->clear();
  BTNBORRAR->setEnabled(false);
  BTNAUX[0]->hide();
  int i = 5;
  while (i >= 0 && LINEA[i]->isHidden())
    --i;
  if (i < 0)
    return;
  LINEA[i]->hide();
  LINEA[i]->setAccessibleName(QStringLiteral("Línea %1").arg(i + 1));
  if (i > 0) {
    BTNBORRAR->setEnabled(true);
    for (SSRibbon* m : GRFLINEA)
      m->setEnabled(true);
  }
  const QString puestas = QuitarBlancos(CurrentLines);
  CurrentLines = puestas.left(std::max<qsizetype>(0, puestas.size() - 1));
}

void FRMIntroducir::BTNAUX_Click(int Index) {
  if (Index == 0) {
    CancelFlag = QStringLiteral("NO");
  } else if (Index == 1) {
    if (!ConfirmarAbandono())
      return;
    CancelFlag = QStringLiteral("SI");
    CurrentLines = SavedLines;
  }
  Ocultar();
}

bool FRMIntroducir::ConfirmarAbandono() {
  return LineasPuestas() == 0 || PreguntarAbandono();
}

void FRMIntroducir::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
    Formulario::keyPressEvent(e);
    return;
  }
  switch (e->key()) {
  case Qt::Key_6:
  case Qt::Key_7:
  case Qt::Key_8:
  case Qt::Key_9: {
    // Como pulsar la línea de muestra: sólo si está encendida.
    const int k = e->key() - Qt::Key_6;
    if (GRFLINEA[k]->isEnabled())
      grflinea_MouseDown(k);
    e->accept();
    return;
  }
  case Qt::Key_Backspace:
    if (BTNBORRAR->isEnabled())
      BTNBORRAR_Click();
    e->accept();
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter: {
    // Un botón con el foco se pulsa, como en todas las ventanas; si no,
    // Intro acepta el hexagrama entero o dice cuántas líneas faltan.
    const int faltan = 6 - LineasPuestas();
    if (qobject_cast<QPushButton*>(focusWidget()) || faltan == 0) {
      Formulario::keyPressEvent(e);
      return;
    }
    LBLNota->setText(
        faltan == 1 ? QStringLiteral("Falta 1 línea: Intro acepta con las seis puestas.")
                    : QStringLiteral("Faltan %1 líneas: Intro acepta con las seis puestas.").arg(faltan));
    e->accept();
    return;
  }
  default:
    Formulario::keyPressEvent(e);
  }
}

bool FRMIntroducir::eventFilter(QObject* objeto, QEvent* e) {
  if (e->type() == QEvent::FocusIn)
    for (int k = 0; k < 4; ++k)
      if (objeto == GRFLINEA[size_t(k)])
        muestraConFoco_ = k;
  return Formulario::eventFilter(objeto, e);
}
