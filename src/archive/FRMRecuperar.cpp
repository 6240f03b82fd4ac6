#include "archive/FRMRecuperar.h"

#include "archive/Exportar.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/DialogoGuardar.h"
#include "platform/Estilo.h"
#include "platform/Ficheros.h"
#include "platform/Twips.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QProxyStyle>
#include <QStandardPaths>
#include <QStringListModel>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include <algorithm>

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

// Una lista cerrada que, si su entrada no cabe, la corta con «…» entre dos
// letras, y no por la mitad de una.
class ListaRecortada : public QComboBox {
public:
  using QComboBox::QComboBox;

protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    p.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opcion;
    initStyleOption(&opcion);
    p.drawComplexControl(QStyle::CC_ComboBox, opcion);
    const QRect campo =
        style()->subControlRect(QStyle::CC_ComboBox, &opcion, QStyle::SC_ComboBoxEditField, this);
    opcion.currentText = fontMetrics().elidedText(opcion.currentText, Qt::ElideRight, campo.width() - 4);
    p.drawControl(QStyle::CE_ComboBoxLabel, opcion);
  }
};

// La carpeta que el diálogo de exportar propone: la última elegida en esta
// sesión; si no, la de documentos; si no, la casa.
QString& CarpetaExportar() {
  static QString carpeta;
  return carpeta;
}

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

void ListaConsultas::Fijar(std::vector<int> filas, bool conUsuario) {
  beginResetModel();
  filas_ = std::move(filas);
  conUsuario_ = conUsuario;
  endResetModel();
}

int ListaConsultas::rowCount(const QModelIndex& padre) const {
  return padre.isValid() ? 0 : int(filas_.size());
}

QVariant ListaConsultas::data(const QModelIndex& indice, int papel) const {
  if (!indice.isValid() || indice.row() >= rowCount())
    return QVariant();
  const int i = filas_[size_t(indice.row())];
  if (papel == Qt::DisplayRole)
    return diario_.Entrada(i, conUsuario_);
  if (papel == Qt::ToolTipRole)
    return diario_.Pregunta(i);
  return QVariant();
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
  auto lista = [this, estiloListas](const QString& nombre, QAbstractItemModel* modelo) {
    auto* c = new ListaRecortada(SSPanel2[0]);
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
  consultas_ = new ListaConsultas(diario_, this);
  CMBUSUARIO = lista(QStringLiteral("Usuario"), new QStringListModel(this));
  CMBCONSULTA = lista(QStringLiteral("Consulta"), consultas_);
  // Las preguntas son más largas que la lista cerrada: la desplegada se
  // ensancha para leerlas enteras.
  CMBCONSULTA->view()->setMinimumWidth(Tw(9075));

  // La búsqueda, sobre la fecha: filtra las consultas mientras se escribe.
  TXTBuscar = new QLineEdit(SSPanel2[0]);
  TXTBuscar->setPlaceholderText(QStringLiteral("Buscar"));
  TXTBuscar->setAccessibleName(QStringLiteral("Buscar"));
  TXTBuscar->setToolTip(
      QStringLiteral("Buscar: palabras de la pregunta (sin mirar mayúsculas ni acentos) o el "
                     "número de un hexagrama"));
  TXTBuscar->setClearButtonEnabled(true);
  TXTBuscar->setMaxLength(100);
  {
    QPalette p = TXTBuscar->palette();
    p.setColor(QPalette::Base, Estilo::Papel);
    p.setColor(QPalette::Text, QColor(0, 0, 192));
    p.setColor(QPalette::PlaceholderText, QColor(90, 90, 110));
    TXTBuscar->setPalette(p);
  }

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
  BTNEXPORTAR = new BotonImagen(SSPanel2[1]);
  BTNEXPORTAR->setToolTipText(
      QStringLiteral("Exportar… las consultas de la persona elegida (o de todas) a una "
                     "página web o a una tabla CSV"));

  // Arriba, las listas y la fecha.
  Colocar(SSPanel2[0], 60, 60, 9315, 1755);
  Colocar(Label1, 120, 105, 5805, 360);
  Colocar(TXTBuscar, 6015, 90, 3180, 405);
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
  Colocar(BTNEXPORTAR, 870, 3525, 540, 540);
  Colocar(BTNAUX[0], 6690, 3540, 1185, 525);
  Colocar(BTNAUX[1], 7920, 3540, 1185, 525);

  connect(CMBUSUARIO, &QComboBox::activated, this, [this] { CMBUSUARIO_Click(); });
  connect(CMBCONSULTA, &QComboBox::activated, this, [this] { CMBCONSULTA_Click(); });
  connect(TXTBuscar, &QLineEdit::textChanged, this, [this] { TXTBuscar_Change(); });
  for (int i = 0; i < 3; ++i) {
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });
    AlMoverRaton(BTNAUX[i], [this, i] { BTNAUX_MouseMove(i); });
  }
  connect(BTNEXPORTAR, &QPushButton::clicked, this, [this] { BTNEXPORTAR_Click(); });
  AlMoverRaton(BTNEXPORTAR, [this] { centrarform(); });

  // El tabulador recorre la ventana como se lee: la búsqueda, las dos
  // listas y los botones de abajo, de izquierda a derecha.
  setTabOrder(TXTBuscar, CMBUSUARIO);
  setTabOrder(CMBUSUARIO, CMBCONSULTA);
  setTabOrder(CMBCONSULTA, BTNAUX[2]);
  setTabOrder(BTNAUX[2], BTNEXPORTAR);
  setTabOrder(BTNEXPORTAR, BTNAUX[0]);
  setTabOrder(BTNAUX[0], BTNAUX[1]);
  for (int i = 0; i < 2; ++i)
    AlMoverRaton(SSPanel2[i], [this, i] { SSPanel2_MouseMove(i); });

  Form_Load();
}

void FRMRecuperar::Form_Load() {
  const GRAFICOS& g = GRAFICOS::Instancia();
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  BTNAUX[2]->setPicture(g.Eliminar);
  BTNEXPORTAR->setPicture(g.Exportar);
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);
  centrarform();
}

void FRMRecuperar::setVisible(bool visible) {
  // Las consultas se cargan justo antes de mostrar la ventana: sin ninguna,
  // el aviso sale sobre el menú y la ventana ni llega a mostrarse. Esconderla
  // mientras se está mostrando la dejaría registrada como ventana modal, sin
  // pintar y sin atender a nada, encima del menú.
  if (visible && !isVisible()) {
    TXTBuscar->clear();
    CMBUSUARIO->setCurrentIndex(-1);
    CargarConsultas();
    if (diario_.empty())
      return;
  }
  Formulario::setVisible(visible);
  // Lo primero que se elige es de quién son las consultas.
  if (visible)
    CMBUSUARIO->setFocus();
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
  LlenarConsultas(0);
}

void FRMRecuperar::CMBCONSULTA_Click() {
  MostrarConsulta();
}

void FRMRecuperar::TXTBuscar_Change() {
  LlenarConsultas(0);
}

int FRMRecuperar::UsuarioElegido() const {
  return CMBUSUARIO->currentIndex() - 1;
}

int FRMRecuperar::ConsultaElegida() const {
  const int fila = CMBCONSULTA->currentIndex();
  const auto& filas = consultas_->filas();
  return fila >= 0 && fila < int(filas.size()) ? filas[size_t(fila)] : -1;
}

void FRMRecuperar::LlenarConsultas(int fila) {
  const int u = UsuarioElegido();
  consultas_->Fijar(diario_.Consultas(u, TXTBuscar->text()), u < 0);
  CMBCONSULTA->setCurrentIndex(std::min(fila, CMBCONSULTA->count() - 1));
  MostrarConsulta();
}

void FRMRecuperar::CargarConsultas() {
  // Al volver a llenar tras eliminar, se sigue con la misma persona, la
  // misma búsqueda y el mismo lugar de la lista.
  const QString antes = CMBUSUARIO->currentIndex() >= 0 ? CMBUSUARIO->currentText() : QString();
  const int fila = std::max(CMBCONSULTA->currentIndex(), 0);
  consultas_->Fijar({}, false);
  LBLFecha->clear();

  lugar_ = UbicarArchivo();
  QByteArray contenido;
  QString error;
  const bool leido = LeerArchivo(lugar_.Lectura(), &contenido, &error);
  diario_ = Diario(contenido);
  contenido.clear();
  if (diario_.empty()) {
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
  QStringList nombres{Todos};
  for (const QString& u : diario_.Usuarios())
    nombres << Diario::NombreVisible(u);
  static_cast<QStringListModel*>(CMBUSUARIO->model())->setStringList(nombres);
  // Se abre en quien grabó la última consulta de esta sesión; si no, en la
  // primera persona.
  int elegido = antes.isEmpty() ? -1 : int(nombres.indexOf(antes));
  if (elegido < 0 && !LastUser.isEmpty() && diario_.BuscarUsuario(LastUser) >= 0)
    elegido = 1 + diario_.BuscarUsuario(LastUser);
  CMBUSUARIO->setCurrentIndex(elegido >= 0 ? elegido : 1);
  LlenarConsultas(antes.isEmpty() ? 0 : fila);
}

void FRMRecuperar::MostrarConsulta() {
  const int i = ConsultaElegida();
  // Sin consulta a la vista (la búsqueda no encuentra ninguna), no hay qué
  // tomar ni qué eliminar.
  BTNAUX[0]->setEnabled(i >= 0);
  BTNAUX[2]->setEnabled(i >= 0);
  if (i < 0) {
    LBLFecha->clear();
    CMBCONSULTA->setToolTip(QString());
    for (SSRibbon* l : LINEA)
      l->hide();
    label2[0]->clear();
    label2[1]->clear();
    hayHexagrama_ = false;
    return;
  }
  RegistroTrabajo = ArchiveRecord::DesdeBytes(diario_.Bytes(i));
  LBLFecha->setText(diario_.Fecha(i));
  CMBCONSULTA->setToolTip(diario_.Pregunta(i));

  // Un campo de líneas que no son seis valores de línea no es un hexagrama:
  // no se dibuja ni se nombra, y no se puede abrir (sí eliminar).
  const QString lineas = RegistroTrabajo.Lineas;
  const int n = diario_[i].hexagrama;
  hayHexagrama_ = n >= 1 && n <= 64;
  const GRAFICOS& g = GRAFICOS::Instancia();
  for (int j = 0; j < 6; ++j) {
    const QChar c = lineas[j];
    if (hayHexagrama_)
      LINEA[j]->setPicture(g.GRFLINEAp[size_t(c.unicode() - u'6')]);
    LINEA[j]->setAccessibleDescription(QString::fromUtf8(NombreLinea(hayHexagrama_ ? c : QChar())));
    LINEA[j]->setVisible(hayHexagrama_);
  }
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
  const int i = ConsultaElegida();
  if (i < 0)
    return;
  // Se dice qué se va a eliminar; No es lo que responde Intro.
  const QString fecha = diario_.Fecha(i);
  const QString pregunta = QStringLiteral("¿Eliminar la consulta de %1%2, «%3»?")
                               .arg(Diario::NombreVisible(diario_.Usuario(i)),
                                    fecha.isEmpty() ? QString() : QStringLiteral(" del ") + fecha,
                                    TextoVisible(diario_.Pregunta(i)).simplified());
  if (MsgBox(pregunta, vbQuestion + vbYesNo + vbDefaultButton2,
             QStringLiteral("KORVAL — Eliminar consulta")) != vbYes)
    return;
  // Se elimina la consulta que se está viendo, por sus bytes: si el archivo
  // cambió desde que se llenaron las listas, nunca otra que no se vio.
  const int s = diario_[i].registro;
  const QByteArray mostrada = diario_.Bytes(i);
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

void FRMRecuperar::BTNEXPORTAR_Click() {
  const int u = UsuarioElegido();
  const QString quien = u >= 0 ? Diario::NombreVisible(diario_.Usuarios()[u]) : QString();
  QString& carpeta = CarpetaExportar();
  if (carpeta.isEmpty()) {
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    carpeta = QFileInfo(documentos).isDir() ? documentos : QDir::homePath();
  }
  const QString propuesta =
      QDir(carpeta).filePath(QStringLiteral("Diario de %1 %2.html")
                                 .arg(quien.isEmpty() ? QStringLiteral("KORVAL") : quien,
                                      Fecha().toString(QStringLiteral("yyyy-MM-dd"))));
  const FicheroElegido elegido =
      ElegirFicheroGuardar(this, QStringLiteral("Exportar consultas"), propuesta,
                           {QStringLiteral("Página web para leer e imprimir (*.html)"),
                            QStringLiteral("Tabla para hojas de cálculo y otros programas (*.csv)")});
  if (elegido.ruta.isEmpty())
    return;
  const QFileInfo info(elegido.ruta);
  carpeta = info.absolutePath();
  const QString salto = LineBreak.texto();
  const auto noSeExporto = [&](const QString& motivo) {
    MsgBox(QStringLiteral("NO SE HAN EXPORTADO LAS CONSULTAS.") + salto + salto + motivo,
           vbExclamation + vbOKOnly, TituloInformacion);
  };
  const FormatoExportacion formato = FormatoDe(elegido.ruta);
  if (formato == FormatoExportacion::Ninguno) {
    noSeExporto(
        QStringLiteral("El nombre del fichero ha de terminar en .html (una página que se lee e imprime en "
                       "un navegador) o en .csv (una tabla para hojas de cálculo y otros programas)."));
    return;
  }
  const std::vector<int> cuales = diario_.Consultas(u);
  const QByteArray bytes = Exportacion(formato, diario_, cuales, quien, AhoraExportacion());
  // Sólo se sustituye el fichero que la persona aceptó sustituir en el
  // diálogo; uno que aparezca después con ese nombre no se toca.
  const Carpeta destino(info.absolutePath());
  QString error;
  bool hecho = false;
  if (!destino.abierta())
    error = destino.error();
  else if (elegido.sustituir)
    hecho = destino.Sustituir(info.fileName(), bytes, &error);
  else if (const Creacion c = destino.Publicar(info.fileName(), bytes, &error); c == Creacion::Ocupado)
    error =
        QStringLiteral("Mientras se elegía el nombre, otro programa ha creado «%1»; KORVAL no lo sustituye. "
                       "Vuelva a exportar y elija si se sustituye.")
            .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
  else
    hecho = c == Creacion::Hecha;
  if (!hecho) {
    noSeExporto(error);
    return;
  }
  MsgBox(InformeExportacion(int(cuales.size()), info.absoluteFilePath()), vbInformation + vbOKOnly,
         TituloInformacion);
}
