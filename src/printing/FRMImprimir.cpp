#include "printing/FRMImprimir.h"

#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Controles.h"
#include "platform/DialogosComunes.h"
#include "platform/Estilo.h"
#include "platform/Impresora.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>

namespace {
const QString Principal = QStringLiteral("HEXAGRAMA PRINCIPAL");
const QString Complementario = QStringLiteral("HEXAGRAMA COMPLEMENTARIO");

// Las cuatro caras de una línea: '6' a '9' dan 0 a 3; otro carácter, -1.
int dibujoDeLinea(QChar c) {
  if (c >= QLatin1Char('6') && c <= QLatin1Char('9'))
    return c.unicode() - '6';
  return -1;
}
} // namespace

DialogoComun& FRMImprimir::DialogoDeImpresion() {
  static DialogoComun dialogo;
  return dialogo;
}

FRMImprimir::FRMImprimir(QWidget* parent) : Formulario(parent) {
  setObjectName(QStringLiteral("FRMImprimir"));
  TituloVentana(QStringLiteral("Imprimir consulta"));
  TamanoTwips(4680, 2880);
  ColorFondo(Estilo::VerdeAzulado);
  CMDPrint = &DialogoDeImpresion();

  panfondo = new SSPanel(this);
  panfondo->setAccessibleName(QStringLiteral("Imprimir consulta"));
  Colocar(panfondo, 0, 0, 4695, 2865);

  const QString estiloOpcion = QStringLiteral(
      "QRadioButton { color: rgb(246, 222, 150); font-weight: bold; background: transparent; spacing: 5px; }"
      "QRadioButton:disabled { color: rgb(110, 140, 140); }"
      "QRadioButton::indicator { width: 9px; height: 9px; border-radius: 6px;"
      " border: 2px solid rgb(214, 178, 74); background: rgb(0, 40, 40); }"
      "QRadioButton::indicator:disabled { border-color: rgb(110, 140, 140); }"
      "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5,"
      " fx: 0.5, fy: 0.5, stop: 0 rgb(246, 222, 150), stop: 0.5 rgb(246, 222, 150),"
      " stop: 0.6 rgb(0, 40, 40), stop: 1 rgb(0, 40, 40)); }");
  OPCION[0] = new QRadioButton(QStringLiteral("Imprimir Hexagrama Principal y Complementario."), panfondo);
  OPCION[1] = new QRadioButton(QStringLiteral("Imprimir Hexagrama Actual."), panfondo);
  for (QRadioButton* o : OPCION)
    o->setStyleSheet(estiloOpcion);
  {
    // La opción más larga tiene que leerse entera dentro de la ventana: se
    // achica la letra lo justo (el diseño la deja salir por la derecha).
    QFont letra = OPCION[0]->font();
    letra.setBold(true);
    letra = LetraQueCabe(letra, OPCION[0]->text(), Tw(4680 - 150) - 30, 6);
    for (QRadioButton* o : OPCION)
      o->setFont(letra);
  }
  Colocar(OPCION[0], 150, 90, 4935, 225);
  Colocar(OPCION[1], 150, 360, 4935, 225);

  Frame1 = new QGroupBox(QStringLiteral("CONFIGURACIÓN"), panfondo);
  Frame1->setStyleSheet(
      QStringLiteral("QGroupBox { background-color: rgb(0, 64, 64); border: 1px solid rgb(214, 178, 74);"
                     " border-radius: 3px; margin-top: 7px; }"
                     "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px;"
                     " color: rgb(246, 222, 150); font-weight: bold; }"));
  Colocar(Frame1, 150, 720, 4425, 1305);

  BTNMENU[0] = new SSCommand(panfondo);
  BTNMENU[1] = new SSCommand(Frame1, QStringLiteral("Configurar IMPRESORA"));
  BTNMENU[2] = new SSCommand(Frame1, QStringLiteral("Configurar FUENTES"));
  BTNMENU[3] = new SSCommand(panfondo);
  BTNMENU[0]->setToolTip(QStringLiteral("Imprimir"));
  BTNMENU[0]->setAccessibleName(QStringLiteral("Imprimir"));
  BTNMENU[1]->setToolTip(QStringLiteral("Elegir la impresora o un fichero PDF"));
  BTNMENU[2]->setToolTip(QStringLiteral("Elegir la fuente de los textos impresos"));
  BTNMENU[3]->setToolTip(QStringLiteral("Cancelar"));
  BTNMENU[3]->setAccessibleName(QStringLiteral("Cancelar"));
  Colocar(BTNMENU[1], 120, 270, 4185, 435);
  Colocar(BTNMENU[2], 120, 750, 4185, 435);
  Colocar(BTNMENU[0], 2100, 2160, 1230, 600);
  Colocar(BTNMENU[3], 3360, 2160, 1230, 600);
  BTNMENU[0]->setDefault(true);
  // El tabulador sigue la pantalla, de arriba abajo: las opciones, los dos
  // botones de la configuración, imprimir y cancelar. Así un Tab y un
  // espacio desde las opciones nunca imprimen sin querer.
  QWidget::setTabOrder(OPCION[0], OPCION[1]);
  QWidget::setTabOrder(OPCION[1], BTNMENU[1]);
  QWidget::setTabOrder(BTNMENU[1], BTNMENU[2]);
  QWidget::setTabOrder(BTNMENU[2], BTNMENU[0]);
  QWidget::setTabOrder(BTNMENU[0], BTNMENU[3]);

  PANIMPRIMIENDO = new SSPanel(this, QStringLiteral("I M P R I M I E N D O . . ."));
  PANIMPRIMIENDO->setColores(Estilo::Negro, Estilo::Oro);
  PANIMPRIMIENDO->setNegrita(true);
  Colocar(PANIMPRIMIENDO, 480, 1110, 3765, 585);
  PANIMPRIMIENDO->hide();

  // La zona de preparación no se ve nunca: guarda el hexagrama que se
  // imprime, como lo dibujaría la ventana de interpretación.
  Framehexagrama = new QGroupBox(Principal, this);
  Colocar(Framehexagrama, 1530, 870, 6675, 3375);
  Framehexagrama->hide();
  static const int topes[6] = {2610, 2220, 1830, 1320, 930, 540};
  for (int i = 0; i < 6; ++i) {
    gLINEA[i] = new SSRibbon(Framehexagrama);
    gLINEA[i]->setAccessibleName(QStringLiteral("Línea %1").arg(i + 1));
    Colocar(gLINEA[i], 210, topes[i], 1875, 375);
  }
  for (int k = 0; k < 2; ++k) {
    TXTTRIGRAMA[k] = new QLabel(Framehexagrama);
    TXTHEXAGRAMA[k] = new QLabel(Framehexagrama);
  }
  Colocar(TXTTRIGRAMA[0], 2400, 900, 4000, 300);
  Colocar(TXTTRIGRAMA[1], 2400, 2070, 4000, 300);
  Colocar(TXTHEXAGRAMA[0], 90, 200, 6000, 300);
  Colocar(TXTHEXAGRAMA[1], 90, 3000, 6000, 300);

  for (int i = 0; i < 4; ++i)
    connect(BTNMENU[i], &SSCommand::clicked, this, [this, i] { BTNMENU_Click(i); });

  Form_Load();
}

void FRMImprimir::Form_Load() {
  BTNMENU[3]->setPicture(GRAFICOS::Instancia().Gcancelar);
  BTNMENU[0]->setPicture(GRAFICOS::Instancia().Impresora);
  // Mientras imprime, el panel apagado apaga también el cancelar: Escape y
  // el marco no cierran la ventana con el trabajo a medias.
  BotonesAceptarCancelar(BTNMENU[0], BTNMENU[3]);
  centrarform();
}

void FRMImprimir::Form_Activate() {
  centrarform();
  panfondo->setEnabled(true);
  PANIMPRIMIENDO->hide();
  OPCION[0]->setEnabled(ComplementLines.texto() != CurrentLines.texto());
  OPCION[1]->setChecked(true);
  // El foco en la opción elegida: las flechas cambian de opción e Intro imprime.
  OPCION[1]->setFocus(Qt::OtherFocusReason);
  abortado_ = false;
  WaitTicks(50);
}

QWidget* FRMImprimir::ControlDelFoco() {
  return OPCION[0]->isChecked() ? OPCION[0] : OPCION[1];
}

void FRMImprimir::BTNMENU_Click(int Index) {
  switch (Index) {
  case 0: {
    abortado_ = false;
    panfondo->setEnabled(false);
    PANIMPRIMIENDO->show();
    PANIMPRIMIENDO->raise();
    Impresora& P = Printer();
    QStringList pdfs;
    // Cada hexagrama es un trabajo de la orden; los PDF que quedan enteros
    // se dicen juntos al final.
    const auto imprimirTrabajo = [&](int i) {
      P.TrabajoDeLaOrden(i);
      Imprimir();
      if (!P.PdfTerminado().isEmpty())
        pdfs << P.PdfTerminado();
    };
    if (OPCION[0]->isChecked()) {
      P.EmpezarOrden({QStringLiteral("principal"), QStringLiteral("complementario")});
      Actualiza(CurrentLines);
      CargarBuffer(CurrentLines);
      Framehexagrama->setTitle(Principal);
      imprimirTrabajo(0);
      if (!abortado_) {
        Actualiza(ComplementLines);
        CargarBuffer(ComplementLines);
        Framehexagrama->setTitle(Complementario);
        imprimirTrabajo(1);
      }
    } else {
      // Sin quien diga qué hexagrama está a la vista, el principal.
      const QString aLaVista = CaptionHexagramaEnPantalla ? CaptionHexagramaEnPantalla() : Principal;
      const bool principal = aLaVista == Principal;
      P.EmpezarOrden({principal ? QStringLiteral("principal") : QStringLiteral("complementario")});
      Actualiza(principal ? CurrentLines : ComplementLines);
      Framehexagrama->setTitle(principal ? Principal : Complementario);
      // TextBuffer ya tiene los textos del hexagrama a la vista.
      imprimirTrabajo(0);
    }
    if (!abortado_) {
      OPCION[0]->setEnabled(true);
      OPCION[1]->setEnabled(true);
      OPCION[0]->setEnabled(ComplementLines.texto() != CurrentLines.texto());
      OPCION[1]->setChecked(true);
      PANIMPRIMIENDO->hide();
      Ocultar();
    }
    if (!pdfs.isEmpty())
      AvisarPdf(pdfs);
    break;
  }
  case 1:
    Configurar(QStringLiteral("IMPRESORA"));
    break;
  case 2:
    Configurar(QStringLiteral("FUENTES"));
    break;
  case 3:
    Ocultar();
    break;
  default:
    break;
  }
  panfondo->setEnabled(true);
}

void FRMImprimir::AvisarPdf(const QStringList& pdfs) {
  // La carpeta una vez y cada nombre entero en su línea: sus blancos no
  // parten la línea, para que un nombre no parezca dos.
  const QString carpeta = QDir::toNativeSeparators(QFileInfo(pdfs.constFirst()).absolutePath());
  QStringList nombres;
  for (const QString& f : pdfs)
    nombres << QFileInfo(f).fileName().replace(QLatin1Char(' '), QChar(0x00A0));
  const bool uno = pdfs.size() == 1;
  QString texto = QStringLiteral("La impresión se ha guardado en la carpeta\n\n%1\n\n").arg(carpeta) +
                  (uno ? QStringLiteral("en el fichero PDF\n\n")
                       : QStringLiteral("en estos ficheros PDF, uno por hexagrama:\n\n")) +
                  nombres.join(QLatin1Char('\n'));
  const QString titulo = QStringLiteral("Información al usuario");
  // Sólo se ofrece abrirlos si el escritorio tiene con qué.
  if (!EscritorioPuedeAbrir()) {
    MsgBox(texto, vbOKOnly | vbInformation, titulo);
    return;
  }
  texto += uno ? QStringLiteral("\n\n¿Quiere abrirlo ahora con el visor de PDF?")
               : QStringLiteral("\n\n¿Quiere abrirlos ahora con el visor de PDF?");
  if (MsgBox(texto, vbYesNo | vbInformation, titulo) != vbYes)
    return;
  for (const QString& f : pdfs)
    if (!AbrirConElEscritorio(f)) {
      MsgBox(QStringLiteral(
                 "El escritorio no ha podido abrir «%1» con un visor de PDF. El fichero está guardado "
                 "y puede abrirlo desde su carpeta.")
                 .arg(QDir::toNativeSeparators(f)),
             vbExclamation | vbOKOnly, titulo);
      return;
    }
}

void FRMImprimir::Actualiza(const QString& Hexagrama) {
  const QString lineas = Fijo(Hexagrama, 6);
  const auto& graficos = GRAFICOS::Instancia();
  int dibujo = 0;
  for (int i = 0; i < 6; ++i) {
    const QChar c = lineas[i];
    // Un carácter que no es una línea deja el dibujo de la ranura anterior.
    if (dibujoDeLinea(c) >= 0)
      dibujo = dibujoDeLinea(c);
    gLINEA[i]->setPicture(graficos.GRFLINEA[std::size_t(dibujo)]);
    gLINEA[i]->setVisible(true);
    gLINEA[i]->Tag = QString(c);
  }
  TXTTRIGRAMA[1]->setText(TrigramName(lineas.left(3)));
  TXTTRIGRAMA[0]->setText(TrigramName(lineas.right(3)));
  const int n = HexagramNumber(lineas);
  const auto& fila = HexagramList[std::size_t(std::clamp(n, 0, 64))];
  TXTHEXAGRAMA[0]->setText(QuitarBlancos(fila[1]) + QLatin1Char('-') + fila[4]);
  TXTHEXAGRAMA[1]->setText(QuitarBlancos(fila[5]));
  WaitTicks(500);
}

void FRMImprimir::Configurar(const QString& What) {
  try {
    if (What == QLatin1String("IMPRESORA")) {
      CMDPrint->ShowPrinter(this);
    } else {
      CMDPrint->Flags = cdlCFBoth;
      CMDPrint->ShowFont(this);
    }
  } catch (const ErrorEjecucion& e) {
    if (e.numero() == ErrDialogoCancelado)
      return;
    // El número va detrás de un blanco, como lo escribe el mensaje de siempre.
    MsgBox(QStringLiteral("ERROR:  ") + QString::number(e.numero()), vbExclamation | vbOKOnly,
           QStringLiteral("Error en módulo de FRMImprimir(SUB CONFIGURAR)"));
  }
}
