#include "casting/FRMTirada.h"

#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Estilo.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

namespace {
// El tapete sobre el que ruedan las monedas y el marco de las líneas: un
// recuadro hundido con un filo dorado.
class Recuadro : public QFrame {
public:
  Recuadro(QWidget* parent, bool tapete) : QFrame(parent), tapete_(tapete) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (tapete_) {
      QRadialGradient g(r.center(), r.width() * 0.62);
      g.setColorAt(0.0, QColor(18, 104, 74));
      g.setColorAt(1.0, QColor(4, 48, 38));
      p.fillRect(rect(), g);
    } else {
      p.fillRect(rect(), QColor(0, 44, 44));
    }
    p.setPen(QColor(0, 20, 20));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(40, 120, 110));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(QPen(QColor(Estilo::Oro.red(), Estilo::Oro.green(), Estilo::Oro.blue(), 110), 1));
    p.drawRect(r.adjusted(4, 4, -4, -4));
  }

private:
  bool tapete_;
};

QString NombreMoneda(int i, const QString& estado) {
  QString cara;
  if (estado == QLatin1String("cara"))
    cara = QStringLiteral("cara");
  else if (estado == QLatin1String("cruz"))
    cara = QStringLiteral("cruz");
  else
    cara = QStringLiteral("girando");
  return QStringLiteral("Moneda %1: %2").arg(i + 1).arg(cara);
}
} // namespace

FRMTirada::FRMTirada(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("Echar Monedas"));
  TamanoTwips(9480, 6765);
  ColorFondo(Estilo::VerdeAzulado);

  SSPanel1 = new SSPanel(this, QStringLiteral("Concéntrese en su pregunta y realice las tiradas."));
  SSPanel1->setAlineacion(Qt::AlignHCenter | Qt::AlignTop);
  SSPanel1->setNegrita(true);
  {
    QFont f = SSPanel1->font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    SSPanel1->setFont(f);
  }
  // La pregunta se lee, no se escribe: un recuadro de texto que parte en
  // dos líneas, y achica la letra, lo que no cabe en una.
  PREGUNTA = new QLabel(SSPanel1);
  PREGUNTA->setTextFormat(Qt::PlainText);
  PREGUNTA->setAlignment(Qt::AlignCenter);
  PREGUNTA->setWordWrap(true);
  PREGUNTA->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PREGUNTA->setLineWidth(1);
  PREGUNTA->setAutoFillBackground(true);
  PREGUNTA->setAccessibleDescription(QStringLiteral("Pregunta"));
  {
    QPalette p = PREGUNTA->palette();
    p.setColor(QPalette::Window, Estilo::Papel);
    p.setColor(QPalette::WindowText, QColor(0, 0, 160));
    PREGUNTA->setPalette(p);
  }

  Frame1 = new Recuadro(this, true);
  for (int i = 0; i < 3; ++i) {
    moneda[i] = new QLabel(Frame1);
    moneda[i]->setAlignment(Qt::AlignCenter);
    moneda[i]->setAccessibleName(NombreMoneda(i, QStringLiteral("cara")));
  }
  BTNTIRAR = new BotonImagen(Frame1);
  Timer1 = new QTimer(this);
  Timer1->setInterval(10);

  Frame2 = new Recuadro(this, false);
  for (int j = 0; j < 6; ++j) {
    LINEA[j] = new SSRibbon(Frame2);
    LINEA[j]->setAccessibleName(QStringLiteral("Línea %1").arg(j + 1));
    LINEA[j]->hide();
  }
  BTNAUX = new BotonImagen(Frame2);
  BTNAUX->setToolTipText(QStringLiteral("Cancelar"));
  BotonesAceptarCancelar(nullptr, BTNAUX);

  ColocarControles();

  // Las conexiones de la ventana, todas aquí.
  connect(BTNTIRAR, &QPushButton::clicked, this, [this] { BTNTIRAR_Click(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  connect(BTNAUX, &QPushButton::clicked, this, [this] { BTNAUX_Click(); });
  AlMoverRaton(Frame1, [this] { centrarform(); });
  AlMoverRaton(BTNAUX, [this] { centrarform(); });
  Monedas.AlFallar = [this](int i) { FallaMoneda(i); };

  Form_Load();
}

void FRMTirada::ColocarControles() {
  Colocar(SSPanel1, 0, 0, 9495, 1515);
  Colocar(PREGUNTA, 1440, 780, 6375, 525);
  Colocar(Frame1, 0, 1410, 6705, 5355);
  Colocar(moneda[0], 1020, 900, 1530, 1530);
  Colocar(moneda[1], 2550, 900, 1530, 1530);
  Colocar(moneda[2], 4080, 900, 1530, 1530);
  Colocar(BTNTIRAR, 1830, 3630, 3045, 645);
  Colocar(Frame2, 6660, 1410, 2835, 5355);
  const std::array<int, 6> tops = {3690, 3090, 2490, 1500, 900, 300};
  for (int j = 0; j < 6; ++j)
    Colocar(LINEA[j], 90, tops[j], 2655, 585);
  Colocar(BTNAUX, 900, 4620, 1215, 525);
}

void FRMTirada::Form_Load() {
  const GRAFICOS& g = GRAFICOS::Instancia();
  grfmoneda = g.grfmoneda;
  GRFarrojarParar = g.GRFarrojarParar;
  BTNAUX->setPicture(g.Gcancelar);
  centrarform();
}

void FRMTirada::Form_Activate() {
  ++sesion_;
  centrarform();
  MostrarPregunta();
  BTNTIRAR->Tag = QStringLiteral("TIRAR MONEDAS");
  BTNTIRAR->setPicture(GRFarrojarParar[0]);
  BTNTIRAR->setToolTipText(QStringLiteral("Arrojar Monedas"));
  Timer1->stop();
  BTNTIRAR->setEnabled(false);
  SavedLines = CurrentLines;
  CurrentLines = QString();
  Monedas.Reiniciar();
  MostrarMonedas();
  for (SSRibbon* l : LINEA)
    l->hide();
  BTNTIRAR->setEnabled(true);
  BTNTIRAR->setFocus();
}

void FRMTirada::BTNTIRAR_Click() {
  // Cada pulsación empieza apagando el botón y el reloj: no se puede
  // empezar una tirada o una parada dentro de otra.
  BTNTIRAR->setEnabled(false);
  Timer1->stop();
  const QString orden = BTNTIRAR->Tag.left(5);
  QString siguiente;
  if (orden == QLatin1String("TIRAR")) {
    Monedas.Arrojar();
    Timer1->start();
    siguiente = QStringLiteral("PARAR MONEDAS");
    BTNTIRAR->setPicture(GRFarrojarParar[1]);
    BTNTIRAR->setToolTipText(QStringLiteral("Parar Monedas"));
  } else if (orden == QLatin1String("PARAR")) {
    Monedas.PrepararParada();
    const int sesion = sesion_;
    const bool paradas = Monedas.Parar(
        [this] {
          MostrarMonedas();
          WaitTicks(1);
        },
        [this, sesion] { return sesion == sesion_; });
    if (!paradas)
      return; // abandonada mientras paraban: no se pone nada
    MostrarMonedas();
    ponerlinea();
    if (sesion != sesion_)
      return; // abandonada durante la pausa final
    siguiente = QStringLiteral("TIRAR MONEDAS");
    BTNTIRAR->setPicture(GRFarrojarParar[0]);
    BTNTIRAR->setToolTipText(QStringLiteral("Arrojar Monedas"));
  } else {
    siguiente = BTNTIRAR->Tag;
  }
  // Con la sexta línea puesta el botón queda apagado.
  if (LINEA[5]->isHidden()) {
    BTNTIRAR->Tag = siguiente;
    BTNTIRAR->setEnabled(true);
    BTNTIRAR->setFocus();
    WaitTicks(10);
  }
}

void FRMTirada::Timer1_Timer() {
  Monedas.Tick();
  MostrarMonedas();
}

void FRMTirada::FallaMoneda(int) {
  // El reloj sigue dando pasos mientras el mensaje está a la vista: un solo
  // aviso a la vez.
  if (avisando_)
    return;
  avisando_ = true;
  MsgBox(QStringLiteral("fallo gordo en TIMER1_TIMER"), vbOKOnly);
  avisando_ = false;
}

void FRMTirada::MostrarMonedas() {
  for (int i = 0; i < 3; ++i) {
    const int d = TiradaMonedas::DibujoDe(Monedas.moneda[i].estado);
    if (d == mostrado_[i] || d < 0)
      continue;
    const bool eraCara = mostrado_[i] == 0 || mostrado_[i] == 4;
    mostrado_[i] = d;
    moneda[i]->setPixmap(grfmoneda[d]);
    // El nombre accesible dice la cara sólo cuando cambia de verdad.
    if (eraCara || d == 0 || d == 4)
      moneda[i]->setAccessibleName(NombreMoneda(i, Monedas.moneda[i].estado));
  }
}

void FRMTirada::MostrarPregunta() {
  const QString texto = QuitarBlancos(CurrentQuestion).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  QFont f = font();
  f.setBold(true);
  const QRect caja = PREGUNTA->contentsRect().adjusted(3, 0, -3, 0);
  for (qreal puntos = f.pointSizeF() * 1.1; puntos >= 6.0; puntos -= 0.5) {
    f.setPointSizeF(puntos);
    const QRect ocupa = QFontMetrics(f).boundingRect(caja, Qt::AlignCenter | Qt::TextWordWrap, texto);
    if (ocupa.height() <= caja.height() && ocupa.width() <= caja.width())
      break;
  }
  PREGUNTA->setFont(f);
  PREGUNTA->setText(texto);
}

int FRMTirada::LineasPuestas() const {
  int n = 0;
  for (const SSRibbon* l : LINEA)
    if (!l->isHidden())
      ++n;
  return n;
}

void FRMTirada::ponerlinea() {
  const int valor = Monedas.ValorLinea();
  if (valor < 6 || valor > 9)
    return; // una moneda fuera de sus estados ya se ha avisado
  int j = 0;
  while (j < 6 && !LINEA[j]->isHidden())
    ++j;
  if (j == 6)
    return;
  LINEA[j]->setPicture(GRAFICOS::Instancia().GRFLINEA[valor - 6]);
  LINEA[j]->setAccessibleName(QStringLiteral("Línea %1: %2").arg(j + 1).arg(valor));
  LINEA[j]->show();
  CurrentLines = QuitarBlancos(CurrentLines) + QString::number(valor);
  if (j == 5) {
    BTNTIRAR->setEnabled(false);
    // Una pausa de algo más de segundo y medio para ver el hexagrama entero.
    const int sesion = sesion_;
    inicioPausa_ = Timer();
    do {
      WaitTicks(20);
      if (sesion != sesion_)
        return;
    } while (SegundosDesde(inicioPausa_, Timer()) <= 1.5);
    CancelFlag = QStringLiteral("NO");
    Ocultar();
  }
}

bool FRMTirada::ConfirmarAbandono() {
  if (LineasPuestas() == 0)
    return true;
  if (PreguntandoAbandono())
    return false;
  // El reloj se para mientras se pregunta; una parada o la pausa final, que
  // corren debajo de esta pregunta, esperan a que se conteste.
  const bool girando = Timer1->isActive();
  Timer1->stop();
  const bool si = PreguntarAbandono();
  if (!si) {
    if (girando)
      Timer1->start();
    inicioPausa_ = Timer();
  }
  return si;
}

void FRMTirada::BTNAUX_Click() {
  if (!ConfirmarAbandono())
    return;
  ++sesion_;
  Timer1->stop();
  CancelFlag = QStringLiteral("SI");
  CurrentLines = SavedLines;
  Ocultar();
}
