#include "casting/frmconsulta.h"

#include "casting/Pregunta.h"
#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Estilo.h"

#include <QKeyEvent>
#include <QMimeData>

CuadroPregunta::CuadroPregunta(QWidget* parent) : QPlainTextEdit(parent) {}

void CuadroPregunta::rechazar(Rechazo motivo) {
  ++rechazados_;
  Beep();
  emit Rechazado(motivo);
}

bool CuadroPregunta::cabeCon(const QString& texto) const {
  const QTextCursor c = textCursor();
  const QString ahora = toPlainText();
  const QString luego = ahora.left(c.selectionStart()) + texto + ahora.mid(c.selectionEnd());
  return CabeLaPregunta(luego);
}

bool CuadroPregunta::insertarLoQueCabe(const QString& texto) {
  // Más de 100 caracteres no caben nunca: se mira desde ahí hacia atrás.
  qsizetype n = std::min<qsizetype>(texto.size(), LargoPregunta);
  while (n > 0 && !cabeCon(texto.left(n)))
    --n;
  // Lo que entra acaba en una palabra entera: nunca se guarda media.
  const QString entra = SinPalabraPartida(texto, n);
  if (!entra.isEmpty())
    insertPlainText(entra);
  return entra.size() == texto.size();
}

void CuadroPregunta::keyPressEvent(QKeyEvent* e) {
  // Intro, con cualquier tecla de cambio, no escribe un salto: sube a la
  // ventana, que acepta la pregunta si hay alguna.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->ignore();
    return;
  }
  // Solo cuenta lo que la tecla escribiría: una letra su letra. Retroceso,
  // flechas y demás pasan como siempre.
  const QString escrito =
      !e->text().isEmpty() && e->text().front().category() != QChar::Other_Control ? e->text() : QString();
  // Un acento que llega suelto, detrás de su letra (así lo dan algunos
  // métodos de entrada), se junta con ella: «E» y «´» son «É».
  if (escrito.size() == 1 && escrito[0].category() == QChar::Mark_NonSpacing &&
      !textCursor().hasSelection() && textCursor().position() > 0) {
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
    const QString junto = (c.selectedText() + escrito).normalized(QString::NormalizationForm_C);
    if (junto.size() == 1 && Win1252::cabe(junto)) {
      setTextCursor(c);
      insertPlainText(junto);
    } else {
      rechazar(Rechazo::Caracter);
    }
    e->accept();
    return;
  }
  if (!escrito.isEmpty() && (!Win1252::cabe(escrito) || !cabeCon(escrito))) {
    rechazar(Win1252::cabe(escrito) ? Rechazo::SinSitio : Rechazo::Caracter);
    e->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

void CuadroPregunta::inputMethodEvent(QInputMethodEvent* e) {
  bool quitado = false;
  const QString limpio = LimpiarParaLaPregunta(e->commitString(), &quitado);
  if (limpio == e->commitString() && cabeCon(limpio)) {
    QPlainTextEdit::inputMethodEvent(e);
    return;
  }
  // Lo que está a medio componer sigue; de lo compuesto, lo que cabe (un
  // salto de línea, como blanco).
  QInputMethodEvent resto(e->preeditString(), e->attributes());
  QPlainTextEdit::inputMethodEvent(&resto);
  if (!insertarLoQueCabe(limpio))
    rechazar(Rechazo::SinSitio);
  else if (quitado)
    rechazar(Rechazo::Caracter);
}

void CuadroPregunta::insertFromMimeData(const QMimeData* origen) {
  if (!origen || !origen->hasText())
    return;
  bool quitado = false;
  const QString limpio = LimpiarParaLaPregunta(origen->text(), &quitado);
  if (!insertarLoQueCabe(limpio))
    rechazar(Rechazo::SinSitio);
  else if (quitado)
    rechazar(Rechazo::Caracter);
}

frmconsulta::frmconsulta(QWidget* parent) : Formulario(parent) {
  // Cada ventana con su nombre: la barra de tareas y el lector de pantalla
  // las distinguen.
  TituloVentana(QStringLiteral("KORVAL — Pregunta"));
  TamanoTwips(6495, 2070);
  ColorFondo(QColor(0, 64, 0));

  Label1 = new QLabel(QStringLiteral("¿Qué desea consultar?"), this);
  Label1->setAlignment(Qt::AlignCenter);
  {
    QFont f = Label1->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    Label1->setFont(f);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, Estilo::OroClaro);
    Label1->setPalette(p);
  }

  PREGUNTA = new CuadroPregunta(this);
  PREGUNTA->setAccessibleName(QStringLiteral("Pregunta"));
  PREGUNTA->setTabChangesFocus(true);
  PREGUNTA->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  PREGUNTA->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  PREGUNTA->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  {
    QFont f = PREGUNTA->font();
    f.setBold(true);
    PREGUNTA->setFont(f);
    QPalette p = PREGUNTA->palette();
    p.setColor(QPalette::Base, Estilo::Papel);
    p.setColor(QPalette::Text, QColor(0, 0, 192));
    PREGUNTA->setPalette(p);
    // Sin margen de documento, para que quepa una línea en su alto.
    PREGUNTA->document()->setDocumentMargin(2);
  }

  LBLLibres = new QLabel(this);
  LBLLibres->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  {
    QPalette p = LBLLibres->palette();
    p.setColor(QPalette::WindowText, Estilo::OroClaro);
    LBLLibres->setPalette(p);
  }

  for (int i = 0; i < 2; ++i)
    BTNAUX[i] = new BotonImagen(this);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);

  Colocar(Label1, 1470, 90, 3555, 420);
  Colocar(PREGUNTA, 60, 600, 6375, 525);
  Colocar(LBLLibres, 90, 1155, 3900, 300);
  Colocar(BTNAUX[0], 4080, 1500, 1185, 525);
  Colocar(BTNAUX[1], 5280, 1500, 1185, 525);

  connect(PREGUNTA, &QPlainTextEdit::textChanged, this, [this] { pregunta_Change(); });
  connect(PREGUNTA, &CuadroPregunta::Rechazado, this,
          [this](CuadroPregunta::Rechazo motivo) { AvisarRechazo(motivo); });
  for (int i = 0; i < 2; ++i)
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });

  Form_Load();
}

void frmconsulta::Form_Load() {
  const GRAFICOS& g = GRAFICOS::Instancia();
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  DibujarBorde();
  centrarform();
}

void frmconsulta::Form_Activate() {
  centrarform();
  update();
  // Se ofrece la última pregunta de verdad; tras un hexagrama hecho a mano o
  // elegido de la lista, el cuadro empieza vacío: aceptar su frase echaría
  // las monedas por «NO SE HA REALIZADO CONSULTA».
  const QString ultima = QuitarBlancos(LastQuestion);
  const bool sinPregunta = ultima == PreguntaModoManual || ultima == PreguntaCatalogo;
  // Poner el texto avisa del cambio (pregunta_Change), aunque sea el mismo.
  PREGUNTA->setPlainText(sinPregunta ? QString() : LimpiarParaLaPregunta(ultima));
  PREGUNTA->moveCursor(QTextCursor::End);
  PREGUNTA->setFocus();
}

void frmconsulta::pregunta_Change() {
  BTNAUX[0]->setVisible(!QuitarBlancos(TextoPregunta()).isEmpty());
  ContarLibres();
  PREGUNTA->setFocus();
}

void frmconsulta::ContarLibres() {
  const int libres = LargoPregunta - LargoGuardado(TextoPregunta());
  QString texto;
  if (libres <= 0)
    texto = QStringLiteral("Ha llegado al límite: la pregunta no admite más caracteres.");
  else if (libres == 1)
    texto = QStringLiteral("1 carácter libre");
  else
    texto = QStringLiteral("%1 caracteres libres").arg(libres);
  LBLLibres->setText(texto);
  QFont f = LBLLibres->font();
  f.setBold(libres <= 0);
  LBLLibres->setFont(f);
}

void frmconsulta::AvisarRechazo(CuadroPregunta::Rechazo motivo) {
  // El pitido no suena en todos los escritorios: lo que se quedó fuera se
  // dice también con palabras, hasta el siguiente cambio del texto.
  LBLLibres->setText(motivo == CuadroPregunta::Rechazo::SinSitio
                         ? QStringLiteral("No cabe más: la pregunta ha llegado a su límite.")
                         : QStringLiteral("Ese carácter no se puede guardar en la pregunta."));
  QFont f = LBLLibres->font();
  f.setBold(true);
  LBLLibres->setFont(f);
}

void frmconsulta::BTNAUX_Click(int Index) {
  if (Index == 0) {
    CancelFlag = QStringLiteral("NO");
    CurrentQuestion = NormalizarPregunta(TextoPregunta());
  } else if (Index == 1) {
    CancelFlag = QStringLiteral("SI");
  }
  Ocultar();
}
