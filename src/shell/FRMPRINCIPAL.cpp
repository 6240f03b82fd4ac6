#include "shell/FRMPRINCIPAL.h"

#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "archive/UltimaConsulta.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Estilo.h"
#include "platform/InstanciaUnica.h"
#include "platform/Rutas.h"
#include "printing/FRMImprimir.h"
#include "shell/FRM256.h"
#include "shell/FRMInicio.h"
#include "shell/VisorAyuda.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace {
// Turnos de pausa tras cada paso de la barra de la presentación: con los 500
// de después de mostrarla y los 150 de antes de cerrarla, la presentación se
// ve alrededor de un segundo.
constexpr int PausaPasoBarra = 60;

struct DatosBoton {
  int left, top, width, height;
  const char* ayuda;
};
const std::array<DatosBoton, 8> Botones = {{
    {30, 30, 1035, 1035, "Realizar una CONSULTA"},
    {1050, 30, 1035, 1035, "Crear Hexagrama MANUALMENTE"},
    {2070, 30, 1035, 1035, "Seleccionar uno de los 64 HEXAGRAMAS"},
    {3090, 30, 1035, 1035, "Recuperar ÚLTIMA CONSULTA Realizada"},
    {6480, 0, 1035, 1035, "Recuperar CONSULTA ALMACENADA EN DISCO"},
    {7500, 0, 1035, 1035, "AYUDA"},
    {8520, 0, 1035, 1035, "Finalizar KORVAL"},
    {9060, 1050, 495, 525, "Datos del programador"},
}};

const QString Bienvenida = QStringLiteral("Bienvenido a KORVAL: elija una orden del menú.");
} // namespace

FRMPRINCIPAL::FRMPRINCIPAL(QWidget* parent) : Formulario(parent) {
  setModal(false);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinimizeButtonHint);
  TituloVentana(QStringLiteral("MENÚ PRINCIPAL"));
  TamanoTwips(9570, 6795);
  ColorFondo(Estilo::VerdeAzulado);

  for (int i = 0; i < 8; ++i) {
    auto* b = new BotonImagen(this);
    const DatosBoton& d = Botones[size_t(i)];
    Colocar(b, d.left, d.top, d.width, d.height);
    b->setToolTipText(QString::fromUtf8(d.ayuda));
    b->setFocusPolicy(Qt::TabFocus);
    BTNMENU[size_t(i)] = b;
    connect(b, &QPushButton::clicked, this, [this, i] { BTNMENU_Click(i); });
    AlMoverRaton(b, [this, i] { BTNMENU_MouseMove(i); });
    b->installEventFilter(this);
  }
  Panmsg = new QLabel(this);
  Colocar(Panmsg, 30, 6570, 9435, 255);
  {
    QPalette p = Panmsg->palette();
    p.setColor(QPalette::WindowText, QColor(255, 255, 0));
    Panmsg->setPalette(p);
    QFont f = Panmsg->font();
    f.setBold(true);
    Panmsg->setFont(f);
  }
  Panmsg->setText(Bienvenida);
  AlMoverRaton(Panmsg, [this] { Form_MouseMove(); });
  // El tabulador llega a un botón o, si el foco lo guarda la ventana, a ella.
  installEventFilter(this);
  // El menú no tiene aceptar ni cancelar: Escape va a Form_Cancelar.
  BotonesAceptarCancelar(nullptr, nullptr);

  Form_Load();
}

FRMPRINCIPAL::~FRMPRINCIPAL() = default;

void FRMPRINCIPAL::Form_Load() {
  // 1. El salto de línea de los mensajes.
  LineBreak = QStringLiteral("\r\n");

  // 2. Una sola copia a la vez por usuario: si ya hay otra, se le pide que
  // se ponga delante y esta se va sin decir nada; sólo si no contesta se
  // avisa de que la aplicación ya se está ejecutando.
  copiaUnica_ = std::make_unique<InstanciaUnica>(CarpetaEjecucion());
  const InstanciaUnica::Resultado copia = copiaUnica_->Adquirir();
  if (copia != InstanciaUnica::Resultado::Unica) {
    if (copia == InstanciaUnica::Resultado::Muda) {
      MsgBox(QStringLiteral("Esta aplicación ya se está ejecutando") + LineBreak.texto() + LineBreak.texto() +
                 QStringLiteral("APLICACIÓN CANCELADA"),
             vbExclamation + vbOKOnly, QStringLiteral("Información al usuario"));
      codigoSalida_ = 1;
    }
    CancelFlag = QStringLiteral("EC");
    close();
    return;
  }
  copiaUnica_->AlPedirQueSeMuestre([this] { PonerseDelante(); });

  // 3-4. El aviso de pantalla; su Cancelar termina el programa. Los dibujos
  // del almacén se hacen después, con el aviso ya en la pantalla: la primera
  // ventana sale tan deprisa como una ventana vacía.
  centrarform();
  auto aviso = std::make_unique<FRM256>(this);
  aviso->MostrarModal();
  if (aviso->TerminarPrograma()) {
    terminado_ = true;
    return;
  }
  for (int i = 0; i < 8; ++i)
    BTNMENU[size_t(i)]->setPicture(GRAFICOS::Instancia().CarasMenu[size_t(i)]);
  setWindowIcon(GRAFICOS::Instancia().Icono);

  // 5-6. La presentación.
  inicio_ = new FRMInicio(this);
  inicio_->show();
  inicio_->repaint();
  WaitTicks(500);

  // 7-8. El dibujo del aviso pasa a ser el fondo del menú.
  fondo_ = GRAFICOS::Instancia().Consejo;
  aviso.reset();

  // 9. Las ventanas de la ejecución, cada una con su paso de la barra.
  Tirada = new FRMTirada(this);
  AdvanceProgress();
  Introducir = new FRMIntroducir(this);
  AdvanceProgress();
  Hexagramas64 = new FRM64HEXAGRAMAS(this);
  AdvanceProgress();
  Consulta = new frmconsulta(this);
  AdvanceProgress();
  Interpretar = new FRMInterpretar(this);
  AdvanceProgress();
  Recuperar = new FRMRecuperar(this);
  AdvanceProgress();
  Grabar = new FRMGrabar(this);
  AdvanceProgress();
  GRAFICOS::Instancia();
  AdvanceProgress();

  // La ventana de interpretación abre las de archivar e imprimir.
  FRMInterpretar::AbrirGrabar = [this] {
    Grabar->MostrarModal();
    return Grabar->Grabada();
  };
  FRMInterpretar::AbrirImprimir = [this] { VentanaImprimir().MostrarModal(); };
  FRMImprimir::CaptionHexagramaEnPantalla = [this] { return Interpretar->CaptionHexagrama(); };

  // 10-11.
  WaitTicks(50);
  repaint();
  WaitTicks(100);
  anchoBarraFinal_ = inicio_->AnchoPorcentaje();
  rotuloBarraFinal_ = inicio_->Porcentaje->Caption();
  inicio_->Ocultar();
  inicio_->deleteLater();
  inicio_ = nullptr;

  // 12-13. Las listas de nombres; sin ellas no se puede seguir.
  LastQuestion = QString();
  QString error;
  if (!LoadNameLists(&error)) {
    MsgBox(error + LineBreak.texto() + LineBreak.texto() + QStringLiteral("KORVAL no puede continuar."),
           vbCritical + vbOKOnly, QStringLiteral("Información al usuario"));
    terminado_ = true;
    return;
  }

  // La última consulta de la sesión anterior, si se guardó: «Recuperar
  // ÚLTIMA CONSULTA» la muestra y la pregunta se ofrece de nuevo.
  UltimaConsulta ultima;
  estadoUltima_ = CargarUltimaConsulta(&ultima);
  if (estadoUltima_ == EstadoUltima::Leida) {
    LastQuestion = ultima.pregunta;
    LastLines = ultima.lineas;
    LastDate = ultima.fecha;
  }

  // 14. La única siembra del generador: la hora del día.
  Randomize(Timer());
  // 15.
  centrarform();
  arrancado_ = true;
}

void FRMPRINCIPAL::PonerseDelante() {
  // Lo que el usuario tenga abierto: la ventana modal de arriba (el aviso
  // del arranque, una orden en curso) o el menú.
  if (isMinimized())
    showNormal();
  QWidget* delante = QApplication::activeModalWidget();
  if (!delante)
    delante = this;
  if (delante->isMinimized())
    delante->showNormal();
  delante->raise();
  delante->activateWindow();
}

void FRMPRINCIPAL::Form_Activate() {
  centrarform();
  BTNMENU[0]->setFocus();
}

void FRMPRINCIPAL::AdvanceProgress() {
  if (!inicio_)
    return;
  SSPanel* p = inicio_->Porcentaje;
  const int paso = RedondeoPar(100.0 / 8);
  inicio_->setAnchoPorcentaje(inicio_->AnchoPorcentaje() + paso * 71);
  p->setCaption(QString::number(RedondeoPar(Val(p->Caption())) + paso));
  const double r = Rnd();
  const int v = RedondeoPar(Val(p->Caption())) + int(2 * r);
  // El número lleva delante el blanco del signo.
  p->setCaption(QLatin1Char(' ') + QString::number(v) + QStringLiteral("% "));
  if (Val(p->Caption()) > 100)
    p->setCaption(QStringLiteral("100"));
  p->repaint();
  // Crear una ventana lleva milisegundos: sin este momento la barra
  // saltaría de vacía a llena sin que nadie la viera crecer.
  WaitTicks(PausaPasoBarra);
}

void FRMPRINCIPAL::BTNMENU_Click(int Index) {
  // El menú se apaga antes de la pausa y dura apagado toda la orden: un
  // segundo clic (un doble clic, una tecla repetida) no empieza otra.
  if (!encendido_)
    return;
  Encender(false);
  WaitTicks(50);
  CancelFlag = QStringLiteral("NO");
  switch (Index) {
  case 0:
    StartConsultation();
    break;
  case 1:
    StartManualHexagram();
    break;
  case 2:
    StartCatalogueHexagram();
    break;
  case 3:
    ComprobarYReabrir();
    break;
  case 4:
    RetrieveStoredConsultation();
    break;
  case 5:
    ShowHelp();
    break;
  case 6:
    close();
    break;
  case 7:
    ShowProgrammerData();
    break;
  default:
    break;
  }
  if (finalizado_)
    return;
  Encender(true);
  Panmsg->setText(Bienvenida);
  WaitTicks(50);
  WaitTicks(50);
}

void FRMPRINCIPAL::Encender(bool si) {
  // Se apagan los botones, no la ventana: apagar la ventana apagaría
  // también las ventanas de la orden, que son hijas suyas.
  encendido_ = si;
  for (BotonImagen* b : BTNMENU)
    b->setEnabled(si);
}

void FRMPRINCIPAL::BTNMENU_MouseMove(int Index) {
  centrarform();
  const QString ayuda = BTNMENU[size_t(Index)]->toolTip();
  if (QuitarBlancos(Panmsg->text()) != QuitarBlancos(ayuda)) {
    Panmsg->setText(ayuda);
    Beep();
  }
}

bool FRMPRINCIPAL::eventFilter(QObject* objeto, QEvent* e) {
  // Quien llega a un botón con el tabulador lee lo mismo que quien pasa el
  // ratón por encima. Solo cuenta el foco que mueve una tecla: el que Qt da
  // al mostrarse la ventana, o al volver a ella tras una orden, deja la
  // bienvenida.
  if (e->type() == QEvent::KeyPress) {
    const int tecla = static_cast<QKeyEvent*>(e)->key();
    tabulando_ = tecla == Qt::Key_Tab || tecla == Qt::Key_Backtab;
  } else if (e->type() == QEvent::FocusIn && tabulando_) {
    tabulando_ = false;
    for (BotonImagen* b : BTNMENU)
      if (objeto == b)
        Panmsg->setText(b->toolTip());
  }
  return Formulario::eventFilter(objeto, e);
}

void FRMPRINCIPAL::Form_MouseMove() {
  Panmsg->setText(QString());
  centrarform();
}

void FRMPRINCIPAL::ShowHelp() {
  VisorAyuda::Instancia().MostrarIndice(RutaDatos(QStringLiteral("KORVAL.HLP")));
  WaitTicks(20);
}

void FRMPRINCIPAL::ShowProgrammerData() {
  QString texto =
      QStringLiteral("KORVAL " KORVAL_VERSION ": consultas al libro de los cambios con tres monedas") +
      LineBreak.texto() + LineBreak.texto();
  for (const QString& l : LineasContacto())
    texto += l + LineBreak.texto();
  MsgBox(texto, vbInformation + vbOKOnly, QStringLiteral("Datos del Programador"));
}

bool FRMPRINCIPAL::Form_QueryUnload() {
  if (CancelFlag == QStringLiteral("EC"))
    return true;
  return MsgBox(QStringLiteral("¿Finalizar KORVAL?"), vbQuestion + vbYesNo, QStringLiteral("SALIR")) == vbYes;
}

void FRMPRINCIPAL::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (finalizado_)
    return;
  if (!Form_QueryUnload())
    return;
  terminar();
}

void FRMPRINCIPAL::terminar() {
  // Terminar es cerrar todas las ventanas y salir, sin guardar nada.
  finalizado_ = true;
  terminado_ = true;
  VisorAyuda::Instancia().hide();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this)
      w->hide();
  hide();
  // Durante el arranque aún no hay bucle del que salir: main lo sabe por
  // Terminado().
  if (arrancado_ && SalirDelPrograma)
    SalirDelPrograma();
}

void FRMPRINCIPAL::paintEvent(QPaintEvent* e) {
  if (!fondo_.isNull()) {
    QPainter p(this);
    p.drawPixmap(0, 0, fondo_);
  }
  Formulario::paintEvent(e);
}

FRMImprimir& FRMPRINCIPAL::VentanaImprimir() {
  if (!Imprimir)
    Imprimir = new FRMImprimir(this);
  return *Imprimir;
}

// --- Flujos -----------------------------------------------------------------

void FRMPRINCIPAL::StartConsultation() {
  Consulta->MostrarModal();
  if (CancelFlag == QStringLiteral("SI")) {
    CurrentQuestion = LastQuestion.texto();
    return;
  }
  WaitTicks(50);
  Tirada->MostrarModal();
  if (CancelFlag == QStringLiteral("SI")) {
    CurrentQuestion = LastQuestion.texto();
    return;
  }
  ComputeComplement();
  CurrentDate = Fecha();
  RecordarUltima();
  WaitTicks(50);
  CancelFlag = QStringLiteral("NO");
  Interpretar->MostrarModal();
}

void FRMPRINCIPAL::StartManualHexagram() {
  CurrentQuestion = PreguntaModoManual;
  WaitTicks(50);
  Introducir->MostrarModal();
  if (CancelFlag == QStringLiteral("SI"))
    return;
  InterpretarYRecordar();
}

void FRMPRINCIPAL::StartCatalogueHexagram() {
  WaitTicks(50);
  Hexagramas64->MostrarModal();
  CurrentQuestion = PreguntaCatalogo;
  if (CancelFlag == QStringLiteral("SI")) {
    CurrentLines = LastLines.texto();
    return;
  }
  InterpretarYRecordar();
}

// El final de los flujos a mano y de catálogo: la consulta se recuerda como
// la última después de interpretarla.
void FRMPRINCIPAL::InterpretarYRecordar() {
  ComputeComplement();
  CurrentDate = Fecha();
  WaitTicks(50);
  CancelFlag = QStringLiteral("NO");
  Interpretar->MostrarModal();
  RecordarUltima();
  ComputeComplement();
}

void FRMPRINCIPAL::RecordarUltima() {
  LastQuestion = CurrentQuestion.texto();
  LastLines = CurrentLines.texto();
  LastDate = CurrentDate;
  // También para la próxima vez que se abra KORVAL. Si no se puede guardar,
  // se recuerda solo en esta sesión: no es motivo para interrumpir a nadie.
  estadoUltima_ = EstadoUltima::Leida;
  GuardarUltimaConsulta({QuitarBlancosDerecha(LastQuestion), LastLines.texto(), LastDate});
}

void FRMPRINCIPAL::ComprobarYReabrir() {
  if (Val(LastLines) == 0) {
    // Lo que pasa de verdad, y dónde están las consultas grabadas.
    const QString por =
        estadoUltima_ == EstadoUltima::Danada
            ? QStringLiteral("La última consulta guardada no se puede leer: el fichero «%1» está dañado.")
                  .arg(NombreUltimaConsulta)
            : QStringLiteral("Aún no se ha hecho ninguna consulta: la última que se haga se podrá ver aquí.");
    MsgBox(
        por + LineBreak.texto() + LineBreak.texto() +
            QStringLiteral("Las consultas grabadas se abren con «Recuperar CONSULTA ALMACENADA EN DISCO»."),
        vbInformation + vbOKOnly, QStringLiteral("Información al usuario"));
    return;
  }
  ReopenLastConsultation();
}

void FRMPRINCIPAL::ReopenLastConsultation() {
  CurrentQuestion = LastQuestion.texto();
  CurrentLines = LastLines.texto();
  CurrentDate = LastDate;
  ComputeComplement();
  WaitTicks(50);
  CancelFlag = QStringLiteral("NO");
  Interpretar->MostrarModal();
}

void FRMPRINCIPAL::RetrieveStoredConsultation() {
  Recuperar->MostrarModal();
  if (CancelFlag == QStringLiteral("SI")) {
    CurrentLines = LastLines.texto();
    CurrentQuestion = LastQuestion.texto();
    CurrentDate = LastDate;
    return;
  }
  RecordarUltima();
  ComputeComplement();
  CancelFlag = QStringLiteral("NO");
  Interpretar->MostrarModal();
}
