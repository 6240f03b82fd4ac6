#include "interpretation/FRM64HEXAGRAMAS.h"

#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Estilo.h"

namespace {
// Los puestos de la vista previa, de la línea 1 (abajo) a la 6; entre los
// dos trigramas queda un hueco mayor.
constexpr std::array<int, 6> ArribaLinea = {5700, 5430, 5160, 4770, 4500, 4230};

QString Entrada(int k) {
  return HexagramList[k][1] + QStringLiteral(" - ") + HexagramList[k][4];
}
} // namespace

FRM64HEXAGRAMAS::FRM64HEXAGRAMAS(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("KORVAL — Elegir un hexagrama"));
  TamanoTwips(7755, 6315);
  ColorFondo(Estilo::VerdeAzulado);

  Label1 = new QLabel(QStringLiteral("Seleccione un Hexagrama"), this);
  Label1->setAlignment(Qt::AlignCenter);
  {
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(15);
    f.setBold(true);
    Label1->setFont(f);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, Estilo::Oro);
    Label1->setPalette(p);
  }
  Colocar(Label1, 2040, 90, 3975, 420);

  List1 = new QListWidget(this);
  List1->setToolTip(QStringLiteral("Doble clic para seleccionar"));
  List1->setAccessibleName(QStringLiteral("Hexagramas"));
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  {
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(11.5);
    List1->setFont(f);
  }
  List1->setStyleSheet(
      QStringLiteral("QListWidget { background: rgb(250, 246, 232); color: rgb(24, 40, 38);"
                     " border: 1px solid rgb(0, 168, 120); outline: none; }"
                     "QListWidget::item, QListWidget::item:selected { padding: 1px 6px; border: none; }"
                     "QListWidget::item:selected { background: rgb(0, 120, 96); color: rgb(246, 222, 150); }"
                     "QScrollBar:vertical { background: rgb(0, 64, 64); width: 14px; }"
                     "QScrollBar::handle:vertical { background: rgb(0, 168, 120); min-height: 24px;"
                     " border-radius: 3px; margin: 2px; }"
                     "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
  Colocar(List1, 60, 630, 7635, 3180);

  for (int j = 0; j < 6; ++j) {
    LINEA[j] = new SSRibbon(this);
    LINEA[j]->setAccessibleName(QStringLiteral("Línea %1").arg(j + 1));
    LINEA[j]->setVisible(false);
    Colocar(LINEA[j], 1500, ArribaLinea[j], 1395, 285);
  }

  for (int i = 0; i < 2; ++i) {
    label2[i] = new QLabel(this);
    QPalette p = label2[i]->palette();
    p.setColor(QPalette::WindowText, i == 0 ? Estilo::Oro : Estilo::JadeClaro);
    label2[i]->setPalette(p);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(i == 0 ? 11 : 10);
    f.setBold(i == 0);
    f.setItalic(i == 1);
    label2[i]->setFont(f);
  }
  label2[1]->setText(QStringLiteral("--------------------"));
  label2[0]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label2[1]->setAlignment(Qt::AlignCenter);
  Colocar(label2[0], 1380, 3930, 1635, 255);
  Colocar(label2[1], 720, 6000, 2895, 225);

  for (int i = 0; i < 2; ++i)
    BTNAUX[i] = new BotonImagen(this);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  BTNAUX[0]->setVisible(false);
  // Intro en la lista acepta la entrada seleccionada: es el aceptar.
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);
  Colocar(BTNAUX[0], 5340, 5760, 1185, 525);
  Colocar(BTNAUX[1], 6540, 5760, 1185, 525);

  // Los sucesos, todos aquí.
  connect(List1, &QListWidget::currentRowChanged, this, [this](int) { List1_Click(); });
  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { List1_DblClick(); });
  AlMoverRaton(List1->viewport(), [this] { centrarform(); });
  for (int i = 0; i < 2; ++i) {
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });
    AlMoverRaton(BTNAUX[i], [this] { centrarform(); });
  }

  Form_Load();
}

void FRM64HEXAGRAMAS::Form_Load() {
  BTNAUX[0]->setPicture(GRAFICOS::Instancia().Gaceptar);
  BTNAUX[1]->setPicture(GRAFICOS::Instancia().Gcancelar);
  DibujarBorde();
  centrarform();
}

QString FRM64HEXAGRAMAS::LineasDe(int k) {
  if (k < 1 || k > 64)
    return QString();
  return QuitarBlancos(HexagramList[k][3]) + QuitarBlancos(HexagramList[k][2]);
}

void FRM64HEXAGRAMAS::Form_Activate() {
  cerrando_ = false;
  centrarform();
  // Las entradas se escriben de nuevo en cada apertura; la selección se queda.
  for (int i = 1; i <= 64; ++i) {
    if (List1->count() < i)
      List1->addItem(Entrada(i));
    else
      List1->item(i - 1)->setText(Entrada(i));
  }
  if (List1->currentRow() < 0)
    List1->setCurrentRow(0);
  List1->setFocus();
}

void FRM64HEXAGRAMAS::List1_Click() {
  const int fila = List1->currentRow();
  if (fila < 0)
    return;
  BTNAUX[0]->setVisible(true);
  const int k = fila + 1;
  const QString s = LineasDe(k);
  const GRAFICOS& g = GRAFICOS::Instancia();
  // Un carácter que no es de línea repite el dibujo de la ranura anterior.
  QPixmap dibujo;
  for (int j = 0; j < 6; ++j) {
    const QChar c = j < s.size() ? s[j] : QChar();
    const int d = c.unicode() - '6';
    if (d >= 0 && d <= 3)
      dibujo = g.GRFLINEAp[d];
    LINEA[j]->setPicture(dibujo);
    LINEA[j]->setVisible(true);
    LINEA[j]->setAccessibleName(QStringLiteral("Línea %1, %2")
                                    .arg(j + 1)
                                    .arg(c == QLatin1Char('7') || c == QLatin1Char('9')
                                             ? QStringLiteral("entera")
                                             : QStringLiteral("partida")));
  }
  label2[0]->setText(List1->item(fila)->text());
  label2[1]->setText(QuitarBlancos(HexagramList[k][5]));
}

void FRM64HEXAGRAMAS::List1_DblClick() {
  BTNAUX_Click(0);
}

void FRM64HEXAGRAMAS::BTNAUX_Click(int Index) {
  if (cerrando_)
    return;
  if (Index == 0) {
    const int fila = List1->currentRow();
    if (fila < 0)
      return;
    CancelFlag = QStringLiteral("NO");
    CurrentLines = QString();
    CurrentLines = LineasDe(fila + 1);
  } else {
    CancelFlag = QStringLiteral("SI");
  }
  cerrando_ = true;
  WaitTicks(200);
  Ocultar();
  cerrando_ = false;
}
