#include "interpretation/FRMInterpretar.h"

#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Estilo.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
// Los botones de texto: rótulo y código de sección.
const std::array<const char*, 9> Rotulos = {"DECISIÓN", "COMENTARIO", "IMAGEN",  "LÍNEA 1", "LÍNEA 2",
                                            "LÍNEA 3",  "LÍNEA 4",    "LÍNEA 5", "LÍNEA 6"};
QString CodigoSeccion(int Index) {
  if (Index == 0)
    return QStringLiteral("D");
  if (Index == 1)
    return QStringLiteral("C");
  if (Index == 2)
    return QStringLiteral("I");
  return QStringLiteral("L") + QString::number(Index - 2);
}

const QColor PapelLectura{250, 246, 232};
const QColor TintaLectura{24, 40, 38};
const QColor FondoMarco{0, 52, 52};

const QString AyudaAlComplementario = QStringLiteral("Hexagrama Complementario");
const QString AyudaAlPrincipal = QStringLiteral("Hexagrama Principal");
const QString RotuloPrincipal = QStringLiteral("HEXAGRAMA PRINCIPAL");
const QString RotuloComplementario = QStringLiteral("HEXAGRAMA COMPLEMENTARIO");

// Los puestos de las líneas del marco, de la línea 1 (abajo) a la 6: entre
// los dos trigramas queda un hueco mayor.
constexpr std::array<int, 6> ArribaLinea = {2610, 2220, 1830, 1320, 930, 540};

// Índice del dibujo de una línea: 0 a 3 para "6" a "9"; -1 si no es una línea.
int DibujoDe(QChar c) {
  const int k = c.unicode() - '6';
  return k >= 0 && k <= 3 ? k : -1;
}

QString DescripcionLinea(int numero, QChar c) {
  QString d = QStringLiteral("Línea %1").arg(numero);
  if (c == QLatin1Char('7') || c == QLatin1Char('9'))
    d += QStringLiteral(", entera");
  else if (c == QLatin1Char('6') || c == QLatin1Char('8'))
    d += QStringLiteral(", partida");
  if (EsCambiante(c))
    d += QStringLiteral(", cambiante");
  return d;
}

QFont Letra(const QString& familia, double puntos, bool negrita = false, bool cursiva = false) {
  QFont f(familia);
  f.setPointSizeF(puntos);
  f.setBold(negrita);
  f.setItalic(cursiva);
  f.setStyleHint(QFont::Serif);
  return f;
}

void ColorTexto(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, c);
  w->setPalette(p);
}

// Los cuadros de texto se leen como una página: papel claro y letra con
// remates, con la barra de desplazamiento a la vista. Los colores van en la
// paleta (no en hojas de estilo): la ventana se pinta antes.
QPlainTextEdit* CuadroLectura(QWidget* parent, const QString& nombre) {
  auto* t = new QPlainTextEdit(parent);
  t->setReadOnly(true);
  t->setTabChangesFocus(true);
  t->setFocusPolicy(Qt::ClickFocus);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  t->setAccessibleName(nombre);
  t->setFont(Letra(QStringLiteral("Liberation Serif"), 11.5));
  t->document()->setDocumentMargin(5);
  t->setFrameStyle(QFrame::Box | QFrame::Plain);
  t->setLineWidth(1);
  QPalette p = t->palette();
  p.setColor(QPalette::Base, PapelLectura);
  p.setColor(QPalette::Text, TintaLectura);
  p.setColor(QPalette::WindowText, Estilo::Jade.darker(140));
  p.setColor(QPalette::Highlight, Estilo::Oro);
  p.setColor(QPalette::HighlightedText, TintaLectura);
  t->setPalette(p);
  // La barra, en los colores de la ventana.
  QPalette b = t->verticalScrollBar()->palette();
  b.setColor(QPalette::Window, Estilo::VerdeAzulado);
  b.setColor(QPalette::Base, Estilo::VerdeAzulado);
  b.setColor(QPalette::Button, Estilo::Jade);
  b.setColor(QPalette::Light, Estilo::JadeClaro);
  b.setColor(QPalette::Dark, Estilo::VerdeAzulado.darker(150));
  b.setColor(QPalette::Mid, Estilo::Jade.darker(130));
  b.setColor(QPalette::Shadow, Estilo::Negro);
  b.setColor(QPalette::ButtonText, Estilo::OroClaro);
  t->verticalScrollBar()->setPalette(b);
  return t;
}

// Los textos del almacén separan los párrafos con retorno de carro y salto
// de línea; el cuadro los quiere como saltos de línea.
void PonerTexto(QPlainTextEdit* t, const QString& texto) {
  QString s = texto;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t->setPlainText(s);
  t->verticalScrollBar()->setValue(0);
}
} // namespace

// --- MarcoPulsable ---------------------------------------------------------
MarcoPulsable::MarcoPulsable(const QString& rotulo, QWidget* parent) : QGroupBox(rotulo, parent) {
  setMouseTracking(true);
}

void MarcoPulsable::paintEvent(QPaintEvent*) {
  // El marco se pinta a mano: borde redondeado en jade y el rótulo en oro
  // sobre el borde, a la izquierda.
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics fm(font());
  const int medio = fm.height() / 2;
  const QRectF borde = QRectF(rect()).adjusted(0.5, medio + 0.5, -0.5, -0.5);
  p.setPen(QPen(Estilo::Jade, 1));
  p.setBrush(FondoMarco);
  p.drawRoundedRect(borde, 5, 5);
  if (title().isEmpty())
    return;
  const QRect rotulo(12, 0, fm.horizontalAdvance(title()) + 10, fm.height());
  p.fillRect(rotulo, Estilo::VerdeAzulado);
  p.setPen(Estilo::OroClaro);
  p.drawText(rotulo, Qt::AlignCenter, title());
}

namespace {
// Un clic es soltar dentro del control el botón izquierdo que se pulsó en él.
bool EsClicAlSoltar(const QWidget* control, QMouseEvent* e, bool& pulsado) {
  const bool clic =
      pulsado && e->button() == Qt::LeftButton && control->rect().contains(e->position().toPoint());
  pulsado = false;
  e->accept();
  return clic;
}
} // namespace

void MarcoPulsable::mousePressEvent(QMouseEvent* e) {
  // Un control del marco que no atiende la pulsación la deja pasar aquí;
  // sólo cuenta la que cae sobre el fondo del propio marco.
  pulsado_ = e->button() == Qt::LeftButton && !childAt(e->position().toPoint());
  e->accept();
}

void MarcoPulsable::mouseReleaseEvent(QMouseEvent* e) {
  if (EsClicAlSoltar(this, e, pulsado_))
    emit Click();
}

// --- EtiquetaPulsable ------------------------------------------------------
EtiquetaPulsable::EtiquetaPulsable(QWidget* parent) : QLabel(parent) {
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

void EtiquetaPulsable::mousePressEvent(QMouseEvent* e) {
  pulsado_ = e->button() == Qt::LeftButton;
  e->accept();
}

void EtiquetaPulsable::mouseReleaseEvent(QMouseEvent* e) {
  if (EsClicAlSoltar(this, e, pulsado_))
    emit Click();
}

// --- FRMInterpretar --------------------------------------------------------
FRMInterpretar::FRMInterpretar(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("Interpretación del hexagrama"));
  TamanoTwips(9510, 6855);
  ColorFondo(Estilo::VerdeAzulado);
  // Es una ventana de lectura: se agranda y se maximiza; nunca queda más
  // pequeña que su diseño.
  setMinimumSize(size());
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);

  const std::array<const char*, 4> ayudas = {"Hexagrama Complementario", "Archivar Consulta",
                                             "Imprimir Consulta", "Menú Principal"};
  for (int i = 0; i < 4; ++i) {
    BTNMENU[i] = new BotonImagen(this);
    BTNMENU[i]->setToolTipText(QString::fromUtf8(ayudas[i]));
    Colocar(BTNMENU[i], 30 + 840 * i, 30, 825, 825);
  }
  // Las teclas, dichas en la ayuda emergente (el nombre accesible queda sin ellas).
  BTNMENU[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  BTNMENU[1]->setToolTip(QStringLiteral("Archivar Consulta (Ctrl+G)"));
  BTNMENU[2]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  BTNMENU[2]->setToolTip(QStringLiteral("Imprimir Consulta (Ctrl+P)"));
  BTNMENU[3]->setToolTip(QStringLiteral("Menú Principal (Escape)"));

  LBLAviso = new QLabel(this);
  LBLAviso->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LBLAviso->setFont(Letra(QStringLiteral("Liberation Sans"), 11, true));
  ColorTexto(LBLAviso, Estilo::OroClaro);
  LBLAviso->setVisible(false);
  relojAviso_ = new QTimer(this);
  relojAviso_->setSingleShot(true);

  // El marco del hexagrama: las seis líneas, los dos trigramas y los nombres.
  Framehexagrama = new MarcoPulsable(RotuloPrincipal, this);
  Framehexagrama->setToolTip(QStringLiteral("Principal/Complementario"));
  Framehexagrama->setFont(Letra(QStringLiteral("Liberation Sans"), 9, true));
  Colocar(Framehexagrama, 1530, 870, 6675, 3375);

  for (int i = 0; i < 6; ++i) {
    LINEA[i] = new BotonImagen(Framehexagrama);
    LINEA[i]->setAccessibleName(QStringLiteral("Línea %1").arg(i + 1));
    LINEA[i]->setVisible(false);
    Colocar(LINEA[i], 210, ArribaLinea[i], 1875, 375);
  }

  const std::array<const char*, 2> trigramas = {"TRIGRAMA SUPERIOR", "TRIGRAMA INFERIOR"};
  for (int i = 0; i < 2; ++i) {
    SSPanel2[i] = new SSPanel(Framehexagrama, QString::fromLatin1(trigramas[i]));
    SSPanel2[i]->setToolTip(QStringLiteral("Imagen"));
    SSPanel2[i]->setAlineacion(Qt::AlignHCenter | Qt::AlignTop);
    SSPanel2[i]->setColores(Estilo::VerdeAzuladoClaro, Estilo::Oro);
    SSPanel2[i]->setFont(Letra(QStringLiteral("Liberation Sans"), 8, true));
    SSPanel2[i]->setCursor(Qt::PointingHandCursor);
    Colocar(SSPanel2[i], 2370, i == 0 ? 630 : 1800, 4095, 735);

    TXTTRIGRAMA[i] = new EtiquetaPulsable(SSPanel2[i]);
    TXTTRIGRAMA[i]->setToolTip(QStringLiteral("Imagen"));
    TXTTRIGRAMA[i]->setAlignment(Qt::AlignCenter);
    TXTTRIGRAMA[i]->setFont(Letra(QStringLiteral("Liberation Serif"), 13, true));
    ColorTexto(TXTTRIGRAMA[i], Estilo::OroClaro);
    // El lector de pantalla lee el nombre (el texto); la descripción dice qué es.
    TXTTRIGRAMA[i]->setAccessibleDescription(QString::fromLatin1(trigramas[i]).toLower());
    Colocar(TXTTRIGRAMA[i], 60, 285, 3975, 390);
  }

  for (int i = 0; i < 2; ++i) {
    TXTHEXAGRAMA[i] = new EtiquetaPulsable(Framehexagrama);
    TXTHEXAGRAMA[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }
  TXTHEXAGRAMA[0]->setToolTip(QStringLiteral("Principal/Complementario"));
  TXTHEXAGRAMA[0]->setAccessibleDescription(QStringLiteral("Número y nombre del hexagrama"));
  TXTHEXAGRAMA[0]->setFont(Letra(QStringLiteral("Liberation Serif"), 14, true));
  ColorTexto(TXTHEXAGRAMA[0], Estilo::Oro);
  Colocar(TXTHEXAGRAMA[0], 2370, 225, 4095, 390);
  TXTHEXAGRAMA[1]->setToolTip(QStringLiteral("Decisión"));
  TXTHEXAGRAMA[1]->setAccessibleDescription(QStringLiteral("Segundo nombre del hexagrama"));
  TXTHEXAGRAMA[1]->setFont(Letra(QStringLiteral("Liberation Serif"), 13, false, true));
  ColorTexto(TXTHEXAGRAMA[1], Estilo::JadeClaro);
  Colocar(TXTHEXAGRAMA[1], 210, 2985, 6255, 360);

  PREGUNTA = new QLineEdit(this);
  PREGUNTA->setReadOnly(true);
  PREGUNTA->setFocusPolicy(Qt::ClickFocus);
  PREGUNTA->setAccessibleName(QStringLiteral("Pregunta"));
  PREGUNTA->setFont(Letra(QStringLiteral("Liberation Sans"), 9.5, true));
  PREGUNTA->setFrame(false);
  PREGUNTA->setTextMargins(6, 0, 6, 0);
  PREGUNTA->setAutoFillBackground(true);
  {
    QPalette p = PREGUNTA->palette();
    p.setColor(QPalette::Base, QColor(0, 40, 40));
    p.setColor(QPalette::Window, QColor(0, 40, 40));
    p.setColor(QPalette::Text, Estilo::OroClaro);
    PREGUNTA->setPalette(p);
  }
  Colocar(PREGUNTA, 30, 4290, 9450, 300);
  letraPregunta_ = PREGUNTA->font();

  SSPanel1 = new SSPanel(this);
  SSPanel1->setColores(Estilo::VerdeAzuladoClaro, Estilo::OroClaro);
  Colocar(SSPanel1, 0, 4620, 9510, 2235);

  for (int i = 0; i < 9; ++i) {
    BTNINTERPRETAR[i] = new SSCommand(SSPanel1, QString::fromUtf8(Rotulos[i]));
    BTNINTERPRETAR[i]->setAutoDefault(false);
    // Letra estrecha: "COMENTARIO" cabe entero en su botón.
    QFont f = Letra(QStringLiteral("DejaVu Sans"), 7.5, true);
    f.setStretch(QFont::Condensed);
    f.setStyleHint(QFont::SansSerif);
    BTNINTERPRETAR[i]->setFont(f);
    BTNINTERPRETAR[i]->setEnabled(false);
    Colocar(BTNINTERPRETAR[i], 30 + 1050 * i, 30, 1035, 315);
  }

  Text1 = CuadroLectura(SSPanel1, QStringLiteral("Texto"));
  Text2[0] = CuadroLectura(SSPanel1, QStringLiteral("Enunciado de la línea"));
  Text2[1] = CuadroLectura(SSPanel1, QStringLiteral("Interpretación de la línea"));
  Distribuir();
  Text2[0]->setVisible(false);
  Text2[1]->setVisible(false);

  // Escape y el cierre por el marco vuelven al menú, como "Menú Principal".
  BotonesAceptarCancelar(nullptr, BTNMENU[3]);

  // Los sucesos, todos aquí.
  for (int i = 0; i < 4; ++i) {
    connect(BTNMENU[i], &QPushButton::clicked, this, [this, i] { BTNMENU_Click(i); });
    AlMoverRaton(BTNMENU[i], [this] { centrarform(); });
  }
  connect(Framehexagrama, &MarcoPulsable::Click, this, [this] { Framehexagrama_Click(); });
  AlMoverRaton(Framehexagrama, [this] { centrarform(); });
  for (int i = 0; i < 6; ++i)
    connect(LINEA[i], &QPushButton::clicked, this, [this, i] { LINEA_Click(i); });
  for (int i = 0; i < 2; ++i) {
    connect(SSPanel2[i], &SSPanel::Click, this, [this, i] { SSPanel2_Click(i); });
    connect(TXTTRIGRAMA[i], &EtiquetaPulsable::Click, this, [this, i] { TXTTRIGRAMA_Click(i); });
    connect(TXTHEXAGRAMA[i], &EtiquetaPulsable::Click, this, [this, i] { TXTHEXAGRAMA_Click(i); });
  }
  for (int i = 0; i < 9; ++i) {
    // El texto se muestra al pulsar el botón (clic, Espacio o Intro); el
    // tabulador solo pasa por él, sin cambiar lo que se está leyendo.
    connect(BTNINTERPRETAR[i], &QPushButton::clicked, this, [this, i] { BTNINTERPRETAR_GotFocus(i); });
  }
  connect(relojAviso_, &QTimer::timeout, LBLAviso, &QLabel::hide);
  // Ctrl++ y Ctrl+− agrandan y achican la letra de lectura (también Ctrl+=,
  // el más de los teclados que lo tienen sobre el igual).
  for (const QKeySequence& tecla :
       {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
    connect(new QShortcut(tecla, this), &QShortcut::activated, this,
            [this] { CambiarLetraLectura(puntosLectura_ + 1.5); });
  connect(new QShortcut(QKeySequence(QKeySequence::ZoomOut), this), &QShortcut::activated, this,
          [this] { CambiarLetraLectura(puntosLectura_ - 1.5); });
  AlMoverRaton(Text1->viewport(), [this] { centrarform(); });
  for (int i = 0; i < 2; ++i)
    AlMoverRaton(Text2[i]->viewport(), [this] { centrarform(); });

  Form_Load();
}

void FRMInterpretar::AjustarPregunta() {
  // La pregunta se lee entera en su renglón: una larga (hasta cien
  // caracteres) achica la letra lo justo. Si ni así cabe, la da la ayuda.
  const QString texto = PREGUNTA->text();
  const QMargins m = PREGUNTA->textMargins();
  const int disponible = PREGUNTA->width() - m.left() - m.right() - 8;
  const QFont letra = LetraQueCabe(letraPregunta_, texto, disponible, 7);
  PREGUNTA->setFont(letra);
  PREGUNTA->setToolTip(QFontMetrics(letra).horizontalAdvance(texto) > disponible ? texto : QString());
  PREGUNTA->setCursorPosition(0);
}

void FRMInterpretar::Form_Load() {
  BTNMENU[0]->setPicture(GRAFICOS::Instancia().IMGHEXAGR[1]);
  for (int i = 1; i < 4; ++i)
    BTNMENU[i]->setPicture(GRAFICOS::Instancia().CarasInterpretar[i]);
  DibujarBorde();
  centrarform();
}

QString FRMInterpretar::CaptionHexagrama() const {
  return Framehexagrama->title();
}

void FRMInterpretar::Habilitar(int desde, int hasta, bool si) {
  for (int i = desde; i <= hasta; ++i)
    BTNINTERPRETAR[i]->setEnabled(si);
}

void FRMInterpretar::PonerPrincipal(bool principal) {
  BTNMENU[0]->setToolTipText(principal ? AyudaAlComplementario : AyudaAlPrincipal);
  BTNMENU[0]->setPicture(GRAFICOS::Instancia().IMGHEXAGR[principal ? 1 : 0]);
  Framehexagrama->setTitle(principal ? RotuloPrincipal : RotuloComplementario);
}

void FRMInterpretar::ActualizaHexagrama(const QString& lines) {
  const QString s = Fijo(lines, 6);
  const GRAFICOS& g = GRAFICOS::Instancia();
  for (int i = 0; i < 6; ++i) {
    const QChar c = s[i];
    LINEA[i]->setToolTip(QString());
    if (EsCambiante(c))
      LINEA[i]->setToolTip(QStringLiteral("Interpretar línea ") + QString::number(i + 1));
    // La mano dice qué líneas tienen texto que mostrar.
    LINEA[i]->setCursor(EsCambiante(c) ? Qt::PointingHandCursor : Qt::ArrowCursor);
    LINEA[i]->setAccessibleName(DescripcionLinea(i + 1, c));
    const int k = DibujoDe(c);
    LINEA[i]->setPicture(k >= 0 ? g.GRFLINEAm[k] : QPixmap());
    LINEA[i]->setVisible(true);
  }
  TXTTRIGRAMA[1]->setText(TrigramName(s.left(3)));
  TXTTRIGRAMA[0]->setText(TrigramName(s.right(3)));
  const int n = HexagramNumber(s);
  if (n >= 1 && n <= 64) {
    TXTHEXAGRAMA[0]->setText(QuitarBlancos(HexagramList[n][1]) + QLatin1Char('-') + HexagramList[n][4]);
    TXTHEXAGRAMA[1]->setText(QuitarBlancos(HexagramList[n][5]));
  } else {
    // Un dibujo que no está en la lista no tiene nombre que mostrar.
    TXTHEXAGRAMA[0]->clear();
    TXTHEXAGRAMA[1]->clear();
  }
}

void FRMInterpretar::CargarBuffer(const QString& lines) {
  ::CargarBuffer(lines, {[this](int n) { BTNINTERPRETAR[n + 2]->setEnabled(true); },
                         [this] {
                           BTNINTERPRETAR[0]->setEnabled(true);
                           BTNINTERPRETAR[0]->setFocus();
                           focoPedido_ = true;
                         }});
}

void FRMInterpretar::MostrarTexto(const QString& code) {
  // La extracción deja correr el bucle de eventos en cada ranura: dentro
  // puede llegar otra petición (un foco, un clic) y mostrar su texto. Gana
  // la última; el texto de esta, ya viejo, no se pone encima.
  const int peticion = ++peticiones_;
  if (code.startsWith(QLatin1Char('L'))) {
    const TextoLinea t = ExtraerLinea(code);
    if (peticion != peticiones_)
      return;
    PonerTexto(Text2[0], t.enunciado);
    PonerTexto(Text2[1], t.interpretacion);
    Text2[0]->setVisible(true);
    Text2[1]->setVisible(true);
    Text1->setVisible(false);
  } else {
    const QString t = ExtraerSeccion(code);
    if (peticion != peticiones_)
      return;
    PonerTexto(Text1, t);
    Text1->setVisible(true);
    Text2[0]->setVisible(false);
    Text2[1]->setVisible(false);
  }
}

void FRMInterpretar::BTNINTERPRETAR_GotFocus(int Index) {
  if (Index < 0 || Index > 8 || !BTNINTERPRETAR[Index]->isEnabled() || Index == LastShownIndex)
    return;
  LastShownIndex = Index;
  for (SSCommand* b : BTNINTERPRETAR)
    b->setEstilo(0);
  BTNINTERPRETAR[Index]->setEstilo(2);
  MostrarTexto(CodigoSeccion(Index));
}

void FRMInterpretar::LINEA_Click(int Index) {
  WaitTicks(30);
  if (Index >= 0 && Index <= 5 && BTNINTERPRETAR[Index + 3]->isEnabled())
    BTNINTERPRETAR_GotFocus(Index + 3);
}

void FRMInterpretar::Framehexagrama_Click() {
  BTNMENU_Click(0);
}

void FRMInterpretar::TXTHEXAGRAMA_Click(int) {
  BTNINTERPRETAR_GotFocus(0);
}

void FRMInterpretar::TXTTRIGRAMA_Click(int) {
  BTNINTERPRETAR_GotFocus(2);
}

void FRMInterpretar::SSPanel2_Click(int) {
  BTNINTERPRETAR_GotFocus(2);
}

void FRMInterpretar::BTNMENU_Click(int Index) {
  switch (Index) {
  case 0:
    if (CurrentLines.texto() == ComplementLines.texto()) {
      // Sin líneas cambiantes no hay complementario: se avisa y nada más.
      MsgBox(QStringLiteral("El hexagrama complementario solo se") + LineBreak.texto() +
                 QStringLiteral("crea cuando existen líneas cambiantes") + LineBreak.texto() +
                 QStringLiteral("en el hexagrama principal.") + LineBreak.texto(),
             vbInformation + vbOKOnly, QStringLiteral("Información al usuario"));
      return;
    }
    CambiarHexagrama();
    break;
  case 1:
    if (AbrirGrabar) {
      CancelFlag = QStringLiteral("SI");
      const QString usuario = AbrirGrabar();
      // Al volver del diálogo la ventana se activa de nuevo; con "SI" guarda
      // lo que muestra.
      Form_Activate();
      if (!usuario.isEmpty())
        AvisarGrabada(usuario);
    }
    break;
  case 2:
    if (AbrirImprimir) {
      CancelFlag = QStringLiteral("SI");
      AbrirImprimir();
      // Imprimir carga sus hexagramas en el mismo TextBuffer: se vuelven a
      // cargar los textos del que está a la vista, sin tocar botones ni foco.
      ::CargarBuffer(BTNMENU[0]->toolTip() == AyudaAlPrincipal ? ComplementLines.texto()
                                                               : CurrentLines.texto());
      Form_Activate();
    }
    break;
  case 3:
    Ocultar();
    break;
  default:
    return;
  }
  Habilitar(0, 2, true);
  LastShownIndex = -1;
  WaitTicks(50);
}

void FRMInterpretar::CambiarHexagrama() {
  if (BTNMENU[0]->toolTip() == AyudaAlPrincipal) {
    // A la vista el complementario: se vuelve al principal.
    ActualizaHexagrama(CurrentLines);
    CargarBuffer(CurrentLines);
    PonerPrincipal(true);
  } else {
    Habilitar(3, 8, false);
    ActualizaHexagrama(ComplementLines);
    CargarBuffer(ComplementLines);
    PonerPrincipal(false);
  }
  // El foco que la carga dio a DECISION ya está puesto; el texto se muestra aquí.
  focoPedido_ = false;
  LastShownIndex = -1;
  BTNINTERPRETAR_GotFocus(0);
}

void FRMInterpretar::Form_Activate() {
  if (CancelFlag.texto() != QStringLiteral("SI")) {
    // Una consulta nueva: el principal, sin textos hasta que se carguen.
    PonerPrincipal(true);
    for (BotonImagen* l : LINEA)
      l->setVisible(false);
    Text1->clear();
    Text2[0]->clear();
    Text2[1]->clear();
    centrarform();
    update();
    ActualizaHexagrama(CurrentLines);
    Habilitar(3, 8, false);
    CargarBuffer(CurrentLines);
    Habilitar(0, 2, true);
    PREGUNTA->setText(QuitarBlancosDerecha(CurrentQuestion));
    AjustarPregunta();
  }
  if (CurrentLines.texto() == ComplementLines.texto())
    Habilitar(3, 8, false);
  LastShownIndex = -1;
  BTNMENU[0]->setVisible(true);
  if (focoPedido_) {
    // El foco que la carga dio a DECISION se hace efectivo al acabar la
    // activación: entonces se muestra su texto. Se hace aquí mismo, antes de
    // que la ventana salga a la pantalla: se pinta ya con su DECISION, y las
    // pausas de la extracción no dejan correr nada con la ventana ya modal y
    // a medio llenar.
    focoPedido_ = false;
    BTNINTERPRETAR[0]->setFocus();
    BTNINTERPRETAR_GotFocus(0);
  }
}

void FRMInterpretar::Form_MouseMove() {
  centrarform();
}

void FRMInterpretar::AvisarGrabada(const QString& usuario) {
  // Sin caja que cerrar: una línea que se va sola.
  LBLAviso->setText(QStringLiteral("Consulta grabada para %1").arg(usuario));
  LBLAviso->setAccessibleName(LBLAviso->text());
  LBLAviso->show();
  relojAviso_->start(DuracionAvisoMs);
}

void FRMInterpretar::CambiarLetraLectura(double puntos) {
  puntosLectura_ = std::clamp(puntos, 8.5, 26.5);
  for (QPlainTextEdit* t : {Text1, Text2[0], Text2[1]}) {
    QFont f = t->font();
    f.setPointSizeF(puntosLectura_);
    t->setFont(f);
  }
}

void FRMInterpretar::resizeEvent(QResizeEvent* e) {
  Formulario::resizeEvent(e);
  Distribuir();
}

void FRMInterpretar::Distribuir() {
  // Lo que la ventana tiene de más sobre su diseño, en píxeles.
  const QSize diseno = minimumSize();
  const int dx = std::max(0, width() - diseno.width());
  const int dy = std::max(0, height() - diseno.height());
  const auto ancho = [dx](QWidget* w, int left, int top, int width, int height, int alto = 0) {
    const QRect r = TwRect(left, top, width, height);
    w->setGeometry(r.x(), r.y(), r.width() + dx, r.height() + alto);
  };
  // El hexagrama, en el centro; la botonera y los rótulos, en su sitio.
  const QRect marco = TwRect(1530, 870, 6675, 3375);
  Framehexagrama->move(marco.x() + dx / 2, marco.y());
  ancho(LBLAviso, 3480, 210, 5940, 450);
  ancho(PREGUNTA, 30, 4290, 9450, 300);
  ancho(SSPanel1, 0, 4620, 9510, 2235, dy);
  for (int i = 0; i < 9; ++i) {
    const QRect b = TwRect(30 + 1050 * i, 30, 1035, 315);
    BTNINTERPRETAR[i]->setGeometry(b.translated(dx / 2, 0));
  }
  ancho(Text1, 30, 360, 9435, 1845, dy);
  ancho(Text2[0], 30, 390, 9435, 885, dy / 2);
  ancho(Text2[1], 30, 1260, 9435, 945, dy - dy / 2);
  Text2[1]->move(Text2[1]->x(), TwRect(30, 1260, 1, 1).y() + dy / 2);
  if (!PREGUNTA->text().isEmpty())
    AjustarPregunta();
}
