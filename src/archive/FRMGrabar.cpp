#include "archive/FRMGrabar.h"

#include "archive/ArchivoConsultas.h"
#include "core/Castellano.h"
#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Estilo.h"

#include <QAbstractItemView>
#include <QStandardItemModel>

QValidator::State ValidadorNombre::validate(QString& texto, int& pos) const {
  // Un acento que llega suelto tras su letra (algunos métodos de entrada, un
  // texto pegado) se junta con ella: «E» y «´» son «É», que sí se guarda.
  if (const QString compuesto = texto.normalized(QString::NormalizationForm_C); compuesto != texto) {
    pos = int(texto.left(pos).normalized(QString::NormalizationForm_C).size());
    texto = compuesto;
  }
  auto sirve = [](QChar c) { return c.isPrint() && Win1252::cabe(c); };
  if (std::all_of(texto.cbegin(), texto.cend(), sirve))
    return Acceptable;
  QString limpio;
  int nuevaPos = 0;
  for (int i = 0; i < texto.size(); ++i) {
    if (!sirve(texto[i]))
      continue;
    limpio += texto[i];
    if (i < pos)
      ++nuevaPos;
  }
  texto = limpio;
  pos = nuevaPos;
  ++rechazados_;
  Beep();
  return Acceptable;
}

CompletarNombre::CompletarNombre(QObject* parent) : QCompleter(parent) {
  setModel(new QStandardItemModel(this));
  setCompletionRole(PapelPlegado);
  // Las dos formas ya están plegadas: se comparan tal cual.
  setCaseSensitivity(Qt::CaseSensitive);
  setFilterMode(Qt::MatchStartsWith);
  setCompletionMode(QCompleter::PopupCompletion);
  setMaxVisibleItems(8);
}

void CompletarNombre::PonerNombres(const QStringList& nombres) {
  auto* modelo = static_cast<QStandardItemModel*>(model());
  modelo->clear();
  for (const QString& n : nombres) {
    auto* fila = new QStandardItem(n);
    fila->setData(Plegado(n), PapelPlegado);
    modelo->appendRow(fila);
  }
}

QStringList CompletarNombre::splitPath(const QString& escrito) const {
  return {Plegado(escrito)};
}

QString CompletarNombre::pathFromIndex(const QModelIndex& indice) const {
  return indice.data(Qt::DisplayRole).toString();
}

FRMGrabar::FRMGrabar(QWidget* parent) : Formulario(parent) {
  TituloVentana(QStringLiteral("Grabar Consulta"));
  TamanoTwips(5880, 2070);
  ColorFondo(QColor(0, 64, 0));

  Label1 = new QLabel(QStringLiteral("Nombre Usuario"), this);
  {
    QFont f = Label1->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    Label1->setFont(f);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, Estilo::OroClaro);
    Label1->setPalette(p);
  }

  TXTUsuario = new QLineEdit(this);
  TXTUsuario->setMaxLength(30);
  TXTUsuario->setAccessibleName(QStringLiteral("Nombre Usuario"));
  Validador = new ValidadorNombre(TXTUsuario);
  TXTUsuario->setValidator(Validador);
  {
    QFont f = TXTUsuario->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.1);
    TXTUsuario->setFont(f);
    QPalette p = TXTUsuario->palette();
    p.setColor(QPalette::Base, Estilo::Papel);
    p.setColor(QPalette::Text, QColor(0, 0, 192));
    TXTUsuario->setPalette(p);
  }
  Label1->setBuddy(TXTUsuario);
  completar_ = new CompletarNombre(this);
  TXTUsuario->setCompleter(completar_);
  {
    // La lista de nombres que se ofrecen, en el papel y la tinta del campo.
    QPalette p = TXTUsuario->palette();
    p.setColor(QPalette::Highlight, Estilo::Jade);
    p.setColor(QPalette::HighlightedText, QColor(10, 30, 20));
    completar_->popup()->setPalette(p);
    completar_->popup()->setFont(TXTUsuario->font());
  }

  for (int i = 0; i < 2; ++i)
    BTNAUX[i] = new BotonImagen(this);
  BTNAUX[0]->setToolTipText(QStringLiteral("Aceptar"));
  BTNAUX[1]->setToolTipText(QStringLiteral("Cancelar"));
  // Intro graba cuando el botón de aceptar está a la vista, y sólo entonces.
  BTNAUX[0]->setDefault(true);

  Colocar(Label1, 240, 150, 3000, 330);
  Colocar(TXTUsuario, 240, 510, 5400, 420);
  Colocar(BTNAUX[0], 3240, 1320, 1185, 525);
  Colocar(BTNAUX[1], 4455, 1320, 1185, 525);

  connect(TXTUsuario, &QLineEdit::textChanged, this, [this] { TXTUsuario_Change(); });
  for (int i = 0; i < 2; ++i)
    connect(BTNAUX[i], &QPushButton::clicked, this, [this, i] { BTNAUX_Click(i); });

  Form_Load();
}

void FRMGrabar::Form_Load() {
  centrarform();
  const GRAFICOS& g = GRAFICOS::Instancia();
  BTNAUX[0]->setPicture(g.Gaceptar);
  BTNAUX[1]->setPicture(g.Gcancelar);
  BotonesAceptarCancelar(BTNAUX[0], BTNAUX[1]);
  DibujarBorde();
  BTNAUX[0]->hide();
  centrarform();
}

void FRMGrabar::Form_Activate() {
  centrarform();
  grabada_.clear();
  completar_->PonerNombres(NombresArchivados());
  // Se ofrece el último nombre con el que se grabó en esta sesión, ya
  // seleccionado: Intro lo confirma y lo que se escriba lo sustituye.
  TXTUsuario->setText(LastUser);
  TXTUsuario->selectAll();
  TXTUsuario_Change();
  TXTUsuario->setFocus();
}

QStringList FRMGrabar::NombresArchivados() const {
  // Un archivo que no se puede leer no impide grabar: solo no hay nombres
  // que ofrecer (grabar ya dirá lo que pase).
  QByteArray contenido;
  QString error;
  if (!LeerArchivo(UbicarArchivo().Lectura(), &contenido, &error))
    return {};
  QStringList nombres;
  for (const ArchiveRecord& r : LeerRegistros(contenido))
    nombres << QuitarBlancos(r.Usuario.texto());
  nombres.removeAll(QString());
  nombres.removeDuplicates();
  OrdenCastellano().ordenar(nombres);
  return nombres;
}

void FRMGrabar::Form_MouseMove() {
  centrarform();
}

void FRMGrabar::TXTUsuario_Change() {
  BTNAUX[0]->setVisible(!QuitarBlancos(TXTUsuario->text()).isEmpty());
  TXTUsuario->setFocus();
}

void FRMGrabar::GrabarConsulta() {
  RegistroTrabajo = ArchiveRecord::Nuevo(UsuarioRegistro(TXTUsuario->text()), CurrentQuestion, CurrentLines,
                                         FechaRegistro(CurrentDate.isValid() ? CurrentDate : Fecha()));
  const LugarArchivo lugar = UbicarArchivo();
  QString error;
  switch (GrabarRegistro(lugar, RegistroTrabajo, &error)) {
  case ResultadoArchivo::Copiado:
    LastUser = grabada_ = QuitarBlancos(RegistroTrabajo.Usuario.texto());
    AvisarArchivoCopiado(lugar);
    return;
  case ResultadoArchivo::Hecho:
    LastUser = grabada_ = QuitarBlancos(RegistroTrabajo.Usuario.texto());
    return;
  case ResultadoArchivo::NoEsta:
    return;
  case ResultadoArchivo::Fallo:
    break;
  }
  MsgBox(QStringLiteral("NO SE HA GRABADO LA CONSULTA.") + LineBreak.texto() + LineBreak.texto() + error +
             LineBreak.texto() + LineBreak.texto() +
             QStringLiteral("Las consultas archivadas siguen como estaban."),
         vbExclamation + vbOKOnly, QStringLiteral("Información al usuario"));
}

void FRMGrabar::BTNAUX_Click(int Index) {
  if (Index == 0) {
    // Intro con el botón escondido no llega aquí; un nombre en blanco, tampoco.
    if (QuitarBlancos(TXTUsuario->text()).isEmpty())
      return;
    GrabarConsulta();
  }
  Descargar();
}

void FRMGrabar::Descargar() {
  TXTUsuario->clear();
  BTNAUX[0]->hide();
  Ocultar();
}
