#include "archive/FRMRecuperar.h"

#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Estilo.h"
#include "platform/Twips.h"

#include <QAbstractItemView>
#include <QListView>
#include <QProxyStyle>
#include <QStyledItemDelegate>

namespace {
const QString TituloInformacion = QStringLiteral("Información al usuario");

void ColorTexto(QWidget* w, const QColor& color) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, color);
  w->setPalette(p);
}

void Negrita(QWidget* w, double escala = 1.0) {
  QFont f = w->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * escala);
  w->setFont(f);
}

// Filas de la lista desplegada con un poco de aire, para que los acentos de
// las mayúsculas no toquen la fila de arriba. Cada entrada es el campo tal
// como está guardado, con sus blancos de relleno; al pintarla se dejan fuera,
// para que los puntos suspensivos sólo salgan donde de verdad falta texto.
class FilaHolgada : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void initStyleOption(QStyleOptionViewItem* opcion, const QModelIndex& indice) const override {
    QStyledItemDelegate::initStyleOption(opcion, indice);
    opcion->text = QuitarBlancosDerecha(opcion->text);
  }
  QSize sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override {
    QSize s = QStyledItemDelegate::sizeHint(opcion, indice);
    s.setHeight(s.height() + Tw(90));
    return s;
  }
};

// Las listas se despliegan debajo, como una lista, y no como un menú encima:
// un menú mide el ancho de todas sus entradas antes de abrirse, y con cien
// mil consultas eso es más de un segundo sin atender al usuario.
class EstiloListas : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint pista, const QStyleOption* opcion, const QWidget* control,
                QStyleHintReturn* devuelto) const override {
    if (pista == SH_ComboBox_Popup)
      return 0;
    return QProxyStyle::styleHint(pista, opcion, control, devuelto);
  }
};

const char* NombreLinea(QChar c) {
  switch (c.unicode()) {
  case u'6':
    return "partida cambiante";
  case u'7':
    return "entera";
  case u'8':
    return "partida";
  case u'9':
    return "entera cambiante";
  default:
    return "vacía";
  }
}
} // namespace

void ListaCampo::Fijar(const QByteArray& registros) {
  beginResetModel();
  registros_ = registros;
  endResetModel();
}

int ListaCampo::rowCount(const QModelIndex& padre) const {
  return padre.isValid() ? 0 : int(registros_.size() / LargoRegistro);
}

QVariant ListaCampo::data(const QModelIndex& indice, int papel) const {
  if (papel != Qt::DisplayRole || !indice.isValid() || indice.row() >= rowCount())
    return QVariant();
  const qsizetype desde = qsizetype(indice.row()) * LargoRegistro + desde_;
  return TextoVisible(Win1252::decodificar(registros_.sliced(desde, ancho_)));
}

QString TextoVisible(const QString& campo) {
  QString r = campo;
  for (QChar& c : r)
    if (!c.isPrint())
      c = QLatin1Char(' ');
  return r;
}

FRMRecuperar::FRMRecuperar(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("Recuperar Consulta"));
  TamanoTwips(9435, 6135);
  ColorFondo(Estilo::VerdeAzulado);

  for (int i = 0; i < 2; ++i)
    SSPanel2[i] = new SSPanel(this);
  SSPanel2[0]->setAccessibleName(QStringLiteral("Consultas archivadas"));
  SSPanel2[1]->setAccessibleName(QStringLiteral("Consulta seleccionada"));

  Label1 = new QLabel(QStringLiteral("SELECCIONE UNA CONSULTA"), SSPanel2[0]);
  Label1->setAlignment(Qt::AlignCenter);
  Negrita(Label1, 1.25);
  ColorTexto(Label1, Estilo::OroClaro);

  const char* rotulos[] = {"USUARIO:", "CONSULTA:", "FECHA Consulta:"};
  for (int i = 0; i < 3; ++i) {
    SSPanel1[i] = new SSPanel(SSPanel2[0], QString::fromUtf8(rotulos[i]));
    SSPanel1[i]->setColores(Estilo::VerdeAzulado, Estilo::OroClaro);
    SSPanel1[i]->setAlineacion(Qt::AlignRight | Qt::AlignVCenter);
    SSPanel1[i]->setNegrita(true);
  }

  auto* estiloListas = new EstiloListas();
  estiloListas->setParent(this);
  auto lista = [this, estiloListas](const QString& nombre, ListaCampo* modelo) {
    auto* c = new QComboBox(SSPanel2[0]);
    // Antes que nada: la lista desplegada toma del estilo que tiene la
    // combinada al crearse si lleva barra de desplazamiento.
    c->setStyle(estiloListas);
    c->setAccessibleName(nombre);
    c->setModel(modelo);
    c->setMaxVisibleItems(15);
    // Con miles de consultas, ni la lista cerrada ni la desplegada miden
    // todas las entradas: tienen el ancho que se les da y filas iguales.
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* vista = qobject_cast<QListView*>(c->view()))
      vista->setUniformItemSizes(true);
    QPalette p = c->palette();
    p.setColor(QPalette::Base, Estilo::Papel);
    p.setColor(QPalette::Button, Estilo::Papel);
    p.setColor(QPalette::Text, QColor(0, 0, 192));
    p.setColor(QPalette::ButtonText, QColor(0, 0, 192));
    c->setPalette(p);
    // La lista desplegada se pinta como una lista, con los colores de abajo,
    // y no como un menú del estilo.
    c->setItemDelegate(new FilaHolgada(c));
    c->view()->setTextElideMode(Qt::ElideRight);
    QPalette pv = c->view()->palette();
    pv.setColor(QPalette::Base, Estilo::Papel);
    pv.setColor(QPalette::Text, QColor(0, 0, 128));
    pv.setColor(QPalette::Highlight, Estilo::VerdeAzuladoClaro);
    pv.setColor(QPalette::HighlightedText, Estilo::OroClaro);
    c->view()->setPalette(pv);
    Negrita(c);
    return c;
  };
  namespace C = CampoRegistro;
  usuarios_ = new ListaCampo(C::Usuario, C::AnchoUsuario, this);
  preguntas_ = new ListaCampo(C::Pregunta, C::AnchoPregunta, this);
  CMBUSUARIO = lista(QStringLiteral("Usuario"), usuarios_);
  CMBCONSULTA = lista(QStringLiteral("Consulta"), preguntas_);
  // Las preguntas son más largas que la lista cerrada: la desplegada se
  // ensancha para leerlas enteras.
  CMBCONSULTA->view()->setMinimumWidth(Tw(9075));

  LBLFecha = new QLabel(SSPanel2[0]);
  LBLFecha->setAccessibleName(QStringLiteral("Fecha de la consulta"));
  LBLFecha->setAlignment(Qt::AlignCenter);
  LBLFecha->setFrameShape(QFrame::Panel);
  LBLFecha->setFrameShadow(QFrame::Sunken);
  LBLFecha->setAutoFillBackground(true);
  Negrita(LBLFecha);
  {
    QPalette p = LBLFecha->palette();
    p.setColor(QPalette::Window, Estilo::Papel);
    p.setColor(QPalette::WindowText, QColor(0, 0, 192));
    LBLFecha->setPalette(p);
  }

  for (int i = 0; i < 2; ++i) {
    label2[i] = new QLabel(SSPanel2[1]);
    label2[i]->setAlignment(Qt::AlignCenter);
    Negrita(label2[i], i == 0 ? 1.25 : 1.1);
    ColorTexto(label2[i], i == 0 ? Estilo::OroClaro : Estilo::JadeClaro);
  }
  label2[0]->setAccessibleName(QStringLiteral("Número y nombre del hexagrama"));
  label2[1]->setAccessibleName(QStringLiteral("Segundo nombre del hexagrama"));

  for (int j = 0; j < 6; ++j) {
    LINEA[j] = new SSRibbon(SSPanel2[1]);
    LINEA[j]->setAccessibleName(QStringLiteral("Línea %1").arg(j + 1));
    LINEA[j]->hide();
  }

  for (int i = 0; i < 3; ++i)
    BTNAUX[i] = new BotonImagen(SSPanel2[1]);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  BTNAUX[2]->setToolTipText(QStringLiteral("Elimina Consulta"));
  BTNAUX[0]->setDefault(true);

  // Arriba, las listas y la fecha.
  Colocar(SSPanel2[0], 60, 60, 9315, 1755);
  Colocar(Label1, 120, 105, 9075, 360);
  Colocar(SSPanel1[0], 120, 585, 1815, 405);
  Colocar(CMBUSUARIO, 2010, 585, 3915, 405);
  Colocar(SSPanel1[2], 6015, 585, 1815, 405);
  Colocar(LBLFecha, 7905, 585, 1290, 405);
  Colocar(SSPanel1[1], 120, 1140, 1815, 405);
  Colocar(CMBCONSULTA, 2010, 1140, 7185, 405);

  // Abajo, el hexagrama entre su nombre y su segundo nombre, y los botones.
  Colocar(SSPanel2[1], 60, 1875, 9315, 4200);
  Colocar(label2[0], 120, 150, 9075, 390);
  const int izquierda = (9315 - 1530) / 2;
  const int arriba[6] = {2580, 2235, 1890, 1425, 1080, 735}; // hueco mayor entre 2 y 3
  for (int j = 0; j < 6; ++j)
    Colocar(LINEA[j], izquierda, arriba[j], 1530, 300);
  Colocar(label2[1], 120, 3000, 9075, 360);
  Colocar(BTNAUX[2], 240, 3525, 540, 540);
  Colocar(BTNAUX[0], 6690, 3540, 1185, 525);
  Colocar(BTNAUX[1], 7920, 3540, 1185, 525);

  connect(CMBUSUARIO, &QComboBox::activated, this, [this] { CMBUSUARIO_Click(); });
  connect(CMBCONSULTA, &QComboBox::activated, this, [this] { CMBCONSULTA_Click(); });
  for (int i = 0; i < 3; ++i) {
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });
    AlMoverRaton(BTNAUX[i], [this, i] { BTNAUX_MouseMove(i); });
  }
  for (int i = 0; i < 2; ++i)
    AlMoverRaton(SSPanel2[i], [this, i] { SSPanel2_MouseMove(i); });

  Form_Load();
}

void FRMRecuperar::Form_Load() {
  const GRAFICOS& g = GRAFICOS::Instancia();
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  BTNAUX[2]->setPicture(g.Eliminar);
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);
  centrarform();
}

void FRMRecuperar::setVisible(bool visible) {
  // Las consultas se cargan justo antes de mostrar la ventana: sin ninguna,
  // el aviso sale sobre el menú y la ventana ni llega a mostrarse. Esconderla
  // mientras se está mostrando la dejaría registrada como ventana modal, sin
  // pintar y sin atender a nada, encima del menú.
  if (visible && !isVisible()) {
    CargarConsultas();
    if (registros_.isEmpty())
      return;
  }
  Formulario::setVisible(visible);
}

void FRMRecuperar::Form_Activate() {
  // CargarConsultas ya se hizo en setVisible, antes de mostrarse.
  centrarform();
  SSPanel2[0]->repaint();
  WaitTicks(50);
}

void FRMRecuperar::Form_MouseMove() {
  centrarform();
}
void FRMRecuperar::BTNAUX_MouseMove(int) {
  centrarform();
}
void FRMRecuperar::SSPanel2_MouseMove(int) {
  centrarform();
}

void FRMRecuperar::CMBUSUARIO_Click() {
  CMBCONSULTA->setCurrentIndex(CMBUSUARIO->currentIndex());
  MostrarConsulta();
}

void FRMRecuperar::CMBCONSULTA_Click() {
  CMBUSUARIO->setCurrentIndex(CMBCONSULTA->currentIndex());
  MostrarConsulta();
}

void FRMRecuperar::CargarConsultas() {
  usuarios_->Fijar(QByteArray());
  preguntas_->Fijar(QByteArray());
  LBLFecha->clear();
  registros_.clear();

  lugar_ = UbicarArchivo();
  QByteArray contenido;
  QString error;
  const bool leido = LeerArchivo(lugar_.Lectura(), &contenido, &error);
  registros_ = RegistrosCompletos(contenido);
  contenido.clear();
  if (registros_.isEmpty()) {
    if (leido)
      MsgBox(QStringLiteral("NO EXISTEN CONSULTAS ARCHIVADAS"), vbInformation + vbOKOnly, TituloInformacion);
    else
      MsgBox(QStringLiteral("NO SE PUEDEN LEER LAS CONSULTAS ARCHIVADAS.") + LineBreak.texto() +
                 LineBreak.texto() + error,
             vbExclamation + vbOKOnly, TituloInformacion);
    BTNAUX[0]->hide();
    CancelFlag = QStringLiteral("SI");
    Ocultar();
    return;
  }

  BTNAUX[0]->show();
  usuarios_->Fijar(registros_);
  preguntas_->Fijar(registros_);
  CMBUSUARIO->setCurrentIndex(0);
  CMBCONSULTA->setCurrentIndex(0);
  MostrarConsulta();
}

void FRMRecuperar::MostrarConsulta() {
  const int i = CMBUSUARIO->currentIndex() + 1;
  if (i < 1 || i > NumeroRegistros(registros_.size()))
    return;
  RegistroTrabajo = ArchiveRecord::DesdeBytes(
      QByteArrayView(registros_).sliced(qsizetype(i - 1) * LargoRegistro, LargoRegistro));
  LBLFecha->setText(TextoVisible(RegistroTrabajo.Fecha).trimmed());
  CMBCONSULTA->setToolTip(TextoVisible(RegistroTrabajo.Pregunta).trimmed());

  // Un campo de líneas que no son seis valores de línea no es un hexagrama:
  // no se dibuja ni se nombra, y no se puede abrir (sí eliminar).
  const QString lineas = RegistroTrabajo.Lineas;
  bool sonLineas = true;
  for (QChar c : lineas)
    sonLineas = sonLineas && c >= QLatin1Char('6') && c <= QLatin1Char('9');
  const GRAFICOS& g = GRAFICOS::Instancia();
  for (int j = 0; j < 6; ++j) {
    const QChar c = lineas[j];
    if (sonLineas)
      LINEA[j]->setPicture(g.GRFLINEAp[size_t(c.unicode() - u'6')]);
    LINEA[j]->setAccessibleDescription(QString::fromUtf8(NombreLinea(sonLineas ? c : QChar())));
    LINEA[j]->setVisible(sonLineas);
  }
  const int n = sonLineas ? HexagramNumber(lineas) : 0;
  hayHexagrama_ = n >= 1 && n <= 64;
  if (hayHexagrama_) {
    label2[0]->setText(QLatin1Char(' ') + QString::number(n) + QStringLiteral(" - ") +
                       QuitarBlancos(HexagramList[size_t(n)][4]));
    label2[1]->setText(QuitarBlancos(HexagramList[size_t(n)][5]));
  } else {
    label2[0]->clear();
    label2[1]->clear();
  }
}

void FRMRecuperar::BTNAUX_Click(int Index) {
  switch (Index) {
  case 0:
    // Un registro dañado también se abre: la interpretación lo muestra como
    // ningún hexagrama, sin nombres ni textos.
    CancelFlag = QStringLiteral("NO");
    CurrentQuestion = TextoVisible(RegistroTrabajo.Pregunta);
    CurrentLines = RegistroTrabajo.Lineas.texto();
    CurrentDate = LeerFechaRegistro(RegistroTrabajo.Fecha.texto());
    WaitTicks(50);
    Ocultar();
    break;
  case 1:
    CancelFlag = QStringLiteral("SI");
    WaitTicks(50);
    Ocultar();
    break;
  case 2:
    EliminarConsulta();
    break;
  default:
    break;
  }
}

void FRMRecuperar::EliminarConsulta() {
  if (MsgBox(QStringLiteral("ELIMINAR CONSULTA SELECCIONADA"), vbQuestion + vbYesNo,
             QStringLiteral("KORVAL — Eliminar consulta")) != vbYes)
    return;
  const int s = CMBUSUARIO->currentIndex() + 1;
  if (s < 1 || s > NumeroRegistros(registros_.size()))
    return;
  // Se elimina la consulta que se está viendo, por sus bytes: si el archivo
  // cambió desde que se llenaron las listas, nunca otra que no se vio.
  const QByteArray mostrada = registros_.mid(qsizetype(s - 1) * LargoRegistro, LargoRegistro);
  // Mientras se escribe el archivo nuevo, otro clic no empieza otro borrado.
  BTNAUX[2]->setEnabled(false);
  QString error;
  const ResultadoArchivo hecho = EliminarRegistro(lugar_, s, mostrada, &error);
  BTNAUX[2]->setEnabled(true);
  const QString salto = LineBreak.texto();
  switch (hecho) {
  case ResultadoArchivo::Copiado:
    AvisarArchivoCopiado(lugar_);
    break;
  case ResultadoArchivo::Hecho:
    break;
  case ResultadoArchivo::NoEsta:
    MsgBox(QStringLiteral("NO SE HA ELIMINADO LA CONSULTA.") + salto + salto +
               QStringLiteral("El archivo de consultas ha cambiado desde que se abrió esta ventana y la "
                              "consulta seleccionada ya no está en él. Se muestran otra vez las consultas "
                              "archivadas; no se ha eliminado ninguna."),
           vbExclamation + vbOKOnly, TituloInformacion);
    break;
  case ResultadoArchivo::Fallo:
    MsgBox(QStringLiteral("NO SE HA ELIMINADO LA CONSULTA.") + salto + salto + error + salto + salto +
               QStringLiteral("Las consultas archivadas siguen como estaban."),
           vbExclamation + vbOKOnly, TituloInformacion);
    break;
  }
  CargarConsultas();
}
