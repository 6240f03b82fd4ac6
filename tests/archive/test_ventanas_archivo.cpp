// Las ventanas del archivo: grabar una consulta con un nombre y recuperarla,
// verla y eliminarla, pulsando sus controles como lo haría el usuario.
#include "apoyo/Apoyo.h"
#include "archive/ArchivoConsultas.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Rutas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QSaveFile>
#include <QTest>

#include <memory>

namespace {

QByteArray LeerTodo(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return f.readAll();
}

void EscribirTodo(const QString& ruta, const QByteArray& bytes) {
  QFile f(ruta);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Registro(const QString& usuario, const QString& pregunta, const QString& lineas,
                    const QString& fecha) {
  return ArchiveRecord::Nuevo(usuario, pregunta, lineas, fecha).Bytes();
}

// Tres consultas de ANA, ANA y LUIS, ya ordenadas y numeradas.
QByteArray TresConsultas() {
  return OrdenarArchivo(Registro(QStringLiteral("ANA"), QStringLiteral("¿PRIMERA DE ANA?"),
                                 QStringLiteral("777777"), QStringLiteral("01/02/2003")) +
                        Registro(QStringLiteral("ANA"), QStringLiteral("¿SEGUNDA DE ANA?"),
                                 QStringLiteral("969696"), QStringLiteral("15/06/2004")) +
                        Registro(QStringLiteral("LUIS"), QStringLiteral("¿Y LUIS?"), QStringLiteral("788788"),
                                 QStringLiteral("24/12/2005")));
}

QStringList Usuarios(const QByteArray& contenido) {
  QStringList r;
  for (const ArchiveRecord& a : LeerRegistros(contenido))
    r << a.Usuario.trimmed();
  return r;
}

QStringList Elementos(const QComboBox* c) {
  QStringList r;
  for (int i = 0; i < c->count(); ++i)
    r << c->itemText(i).trimmed();
  return r;
}

// Teclea un texto carácter a carácter, también los que no son Latin-1
// (QTest::keyClicks sólo sabe de esos).
void Teclear(QWidget* w, const QString& texto) {
  for (QChar c : texto) {
    QKeyEvent pulsar(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &pulsar);
    QKeyEvent soltar(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &soltar);
  }
}

void Clic(QWidget* boton) {
  QVERIFY(boton->isVisible());
  QTest::mouseClick(boton, Qt::LeftButton);
}

// Elige la entrada `i` de una lista desplegándola y pulsando en ella.
void Elegir(QComboBox* lista, int i) {
  lista->showPopup();
  QAbstractItemView* vista = lista->view();
  QTRY_VERIFY(vista->isVisible());
  const QModelIndex indice = vista->model()->index(i, 0);
  vista->scrollTo(indice);
  const QPoint centro = vista->visualRect(indice).center();
  QTest::mouseClick(vista->viewport(), Qt::LeftButton, Qt::NoModifier, centro);
  QTRY_VERIFY(!vista->isVisible());
}

// Abre la ventana como modal y hace `accion` dentro. Si la acción no la
// cierra (una comprobación falló a medias), la cierra para no colgarse.
void Modal(Formulario& w, const std::function<void()>& accion) {
  bool cerrada = true;
  AlAparecerModal([&](QWidget*) {
    accion();
    if (w.isVisible()) {
      cerrada = false;
      w.hide();
    }
  });
  w.MostrarModal();
  QVERIFY2(cerrada, "la ventana siguió abierta");
}

// Un guardado que se queda sin sitio tras `limite` bytes.
class GuardadoQueFalla : public QSaveFile {
public:
  GuardadoQueFalla(const QString& ruta, qint64 limite) : QSaveFile(ruta), limite_(limite) {}

protected:
  qint64 writeData(const char* datos, qint64 largo) override {
    const qint64 cabe = std::min(largo, limite_ - escritos_);
    if (cabe <= 0)
      return -1;
    const qint64 hecho = QSaveFile::writeData(datos, cabe);
    escritos_ += std::max<qint64>(hecho, 0);
    return hecho;
  }

private:
  qint64 limite_;
  qint64 escritos_ = 0;
};

} // namespace

class PruebaVentanasArchivo : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMGrabar> grabar_;
  std::unique_ptr<FRMRecuperar> recuperar_;

  QString archivo() const { return carpeta_->fichero(NombreArchivo); }

  // Lo que la ventana de interpretación hace antes de abrir la de grabar.
  void PrepararConsulta(const QString& pregunta, const QString& lineas) {
    CurrentQuestion = pregunta;
    CurrentLines = lineas;
    CancelFlag = QStringLiteral("SI");
  }

  void GrabarComo(const QString& nombre) {
    Modal(*grabar_, [&] {
      Teclear(grabar_->TXTUsuario, nombre);
      Clic(grabar_->BTNAUX[0]);
    });
  }

private slots:
  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>();
    PrepararEstado();
    FijarFabricaGuardado(nullptr);
    FijarReloj(nullptr, [] { return QDate(1998, 3, 5); });
    grabar_ = std::make_unique<FRMGrabar>();
    recuperar_ = std::make_unique<FRMRecuperar>();
  }

  void cleanup() {
    CerrarVentanasAbiertas();
    grabar_.reset();
    recuperar_.reset();
    FijarFabricaGuardado(nullptr);
    FijarDirEscritura(QString());
    carpeta_.reset();
  }

  // --- Grabar --------------------------------------------------------------

  void grabarConsultasConNombre() {
    QCOMPARE(grabar_->windowTitle(), QStringLiteral("Grabar Consulta"));
    QCOMPARE(grabar_->Label1->text(), QStringLiteral("Nombre Usuario"));
    PrepararConsulta(QStringLiteral("¿QUÉ SERÁ DE MÍ?"), QStringLiteral("789689"));
    Modal(*grabar_, [&] {
      QVERIFY(grabar_->TXTUsuario->text().isEmpty());
      QVERIFY(!grabar_->BTNAUX[0]->isVisible());
      QVERIFY(grabar_->BTNAUX[1]->isVisible());
      QTest::keyClicks(grabar_->TXTUsuario, QStringLiteral("  luis "));
      QVERIFY(grabar_->BTNAUX[0]->isVisible());
      Clic(grabar_->BTNAUX[0]);
    });
    QVERIFY(!grabar_->isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI")); // la ventana no lo toca
    QVERIFY(GuionMensajes::mostrados().empty());
    auto r = LeerRegistros(LeerTodo(archivo()));
    QCOMPARE(int(r.size()), 1);
    QCOMPARE(r[0].Numero.texto(), QStringLiteral("0001"));
    QCOMPARE(r[0].Usuario.texto(), QStringLiteral("LUIS").leftJustified(30));
    QCOMPARE(r[0].Pregunta.texto(), QStringLiteral("¿QUÉ SERÁ DE MÍ?").leftJustified(100));
    QCOMPARE(r[0].Lineas.texto(), QStringLiteral("789689"));
    QCOMPARE(r[0].Fecha.texto(), QStringLiteral("05/03/1998"));

    // Cada vez se abre en blanco; los de un mismo nombre quedan en el orden
    // en que se grabaron.
    PrepararConsulta(PreguntaModoManual, QStringLiteral("777777"));
    GrabarComo(QStringLiteral("ana"));
    PrepararConsulta(QStringLiteral("¿OTRA VEZ?"), QStringLiteral("888888"));
    GrabarComo(QStringLiteral("Luis"));
    const QByteArray contenido = LeerTodo(archivo());
    QCOMPARE(Usuarios(contenido), QStringList({"ANA", "LUIS", "LUIS"}));
    r = LeerRegistros(contenido);
    QCOMPARE(r[0].Pregunta.trimmed(), PreguntaModoManual);
    QCOMPARE(r[1].Lineas.texto(), QStringLiteral("789689"));
    QCOMPARE(r[2].Lineas.texto(), QStringLiteral("888888"));
    QCOMPARE(r[2].Numero.texto(), QStringLiteral("0003"));
  }

  void aceptarSoloConNombre() {
    PrepararConsulta(QStringLiteral("¿SÍ?"), QStringLiteral("777777"));
    grabar_->show();
    QLineEdit* nombre = grabar_->TXTUsuario;
    QTest::keyClicks(nombre, QStringLiteral("   "));
    QVERIFY(!grabar_->BTNAUX[0]->isVisible());
    // Intro con el botón escondido no graba ni cierra.
    QTest::keyClick(nombre, Qt::Key_Return);
    QVERIFY(grabar_->isVisible());
    QVERIFY(!QFile::exists(archivo()));
    QTest::keyClicks(nombre, QStringLiteral("eva"));
    QVERIFY(grabar_->BTNAUX[0]->isVisible());
    for (int i = 0; i < 3; ++i)
      QTest::keyClick(nombre, Qt::Key_Backspace);
    QVERIFY(!grabar_->BTNAUX[0]->isVisible());
    QCOMPARE(grabar_->focusWidget(), nombre);
    QTest::keyClicks(nombre, QStringLiteral("eva"));
    QTest::keyClick(nombre, Qt::Key_Return);
    QVERIFY(!grabar_->isVisible());
    QCOMPARE(Usuarios(LeerTodo(archivo())), QStringList({"EVA"}));
  }

  void nombreDeTreintaCaracteresQueCabenEnElArchivo() {
    grabar_->show();
    QLineEdit* nombre = grabar_->TXTUsuario;
    QTest::keyClicks(nombre, QString(35, QLatin1Char('x')));
    QCOMPARE(nombre->text(), QString(30, QLatin1Char('x')));
    nombre->clear();

    const int pitidos = PitidosDados();
    Teclear(nombre, QStringLiteral("Peña€数☯ü"));
    QCOMPARE(nombre->text(), QStringLiteral("Peña€ü"));
    QCOMPARE(PitidosDados() - pitidos, 2);
    // Lo pegado pierde lo que no cabe y conserva lo demás.
    nombre->clear();
    QApplication::clipboard()->setText(QStringLiteral("Zoë ☯ Ñu"));
    QTest::keyClick(nombre, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(nombre->text(), QStringLiteral("Zoë  Ñu"));
    Clic(grabar_->BTNAUX[0]);
    QCOMPARE(Usuarios(LeerTodo(archivo())), QStringList({"ZOË  ÑU"}));
  }

  void cancelarNoGrabaYLaVentanaVuelveEnBlanco() {
    EscribirTodo(archivo(), TresConsultas());
    PrepararConsulta(QStringLiteral("¿NO?"), QStringLiteral("777777"));
    Modal(*grabar_, [&] {
      QTest::keyClicks(grabar_->TXTUsuario, QStringLiteral("pepe"));
      Clic(grabar_->BTNAUX[1]);
    });
    Modal(*grabar_, [&] {
      QVERIFY(grabar_->TXTUsuario->text().isEmpty());
      QVERIFY(!grabar_->BTNAUX[0]->isVisible());
      QTest::keyClicks(grabar_->TXTUsuario, QStringLiteral("pepe"));
      QTest::keyClick(grabar_.get(), Qt::Key_Escape);
    });
    Modal(*grabar_, [&] {
      QVERIFY(grabar_->TXTUsuario->text().isEmpty());
      QTest::keyClicks(grabar_->TXTUsuario, QStringLiteral("pepe"));
      grabar_->close(); // el aspa del marco
    });
    Modal(*grabar_, [&] {
      QVERIFY(grabar_->TXTUsuario->text().isEmpty());
      Clic(grabar_->BTNAUX[1]);
    });
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
  }

  void sinSitioSeAvisaYElArchivoNoCambia() {
    EscribirTodo(archivo(), TresConsultas());
    PrepararConsulta(QStringLiteral("¿SE GRABARÁ?"), QStringLiteral("777777"));
    FijarFabricaGuardado([](const QString& r) { return std::make_unique<GuardadoQueFalla>(r, 300); });
    GrabarComo(QStringLiteral("bea"));
    QVERIFY(!grabar_->isVisible());
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    QCOMPARE(int(GuionMensajes::mostrados().size()), 1);
    const MensajeMostrado m = GuionMensajes::mostrados().back();
    QVERIFY(m.texto.startsWith(QStringLiteral("NO SE HA GRABADO LA CONSULTA.")));
    QVERIFY(m.texto.contains(QStringLiteral("lleno")));
    QVERIFY(m.texto.contains(QStringLiteral("siguen como estaban")));
    QCOMPARE(m.icono(), int(vbExclamation));
    QCOMPARE(m.titulo, QStringLiteral("Información al usuario"));
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));

    // Una carpeta que ya no está: el mismo aviso, con su motivo.
    FijarFabricaGuardado(nullptr);
    FijarDirEscritura(carpeta_->fichero(QStringLiteral("desaparecida")));
    GrabarComo(QStringLiteral("bea"));
    QCOMPARE(int(GuionMensajes::mostrados().size()), 2);
    QVERIFY(GuionMensajes::mostrados().back().texto.contains(QStringLiteral("no existe")));
    QVERIFY(!QFile::exists(RutaArchivo()));
  }

  void carpetaDeSoloLectura() {
    EscribirTodo(archivo(), TresConsultas());
    QFile::setPermissions(carpeta_->ruta(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile prueba(carpeta_->fichero(QStringLiteral("x")));
    const bool escribible = prueba.open(QIODevice::WriteOnly);
    if (escribible) {
      prueba.remove();
      QFile::setPermissions(carpeta_->ruta(),
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      QSKIP("Con permisos de administrador toda carpeta se puede escribir");
    }
    PrepararConsulta(QStringLiteral("¿SE GRABARÁ?"), QStringLiteral("777777"));
    GrabarComo(QStringLiteral("bea"));
    QFile::setPermissions(carpeta_->ruta(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    QCOMPARE(int(GuionMensajes::mostrados().size()), 1);
    QVERIFY(GuionMensajes::mostrados().back().texto.contains(QStringLiteral("falta permiso")));
  }

  // --- Recuperar -----------------------------------------------------------

  void listasEnlazadasYVistaPrevia() {
    EscribirTodo(archivo(), TresConsultas());
    QCOMPARE(recuperar_->windowTitle(), QStringLiteral("Recuperar Consulta"));
    QCOMPARE(recuperar_->SSPanel1[0]->Caption(), QStringLiteral("USUARIO:"));
    QCOMPARE(recuperar_->SSPanel1[1]->Caption(), QStringLiteral("CONSULTA:"));
    QCOMPARE(recuperar_->SSPanel1[2]->Caption(), QStringLiteral("FECHA Consulta:"));
    QCOMPARE(recuperar_->BTNAUX[2]->toolTip(), QStringLiteral("Elimina Consulta"));
    const GRAFICOS& g = GRAFICOS::Instancia();
    Modal(*recuperar_, [&] {
      FRMRecuperar& w = *recuperar_;
      QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"ANA", "ANA", "LUIS"}));
      QCOMPARE(Elementos(w.CMBCONSULTA), QStringList({"¿PRIMERA DE ANA?", "¿SEGUNDA DE ANA?", "¿Y LUIS?"}));
      QCOMPARE(w.CMBUSUARIO->itemText(0).size(), 30); // tal como está guardado
      QCOMPARE(w.CMBUSUARIO->currentIndex(), 0);
      QCOMPARE(w.CMBCONSULTA->currentIndex(), 0);
      QCOMPARE(w.LBLFecha->text(), QStringLiteral("01/02/2003"));
      // Seis líneas enteras: el dibujo pequeño del 7 en las seis.
      for (int j = 0; j < 6; ++j) {
        QVERIFY(w.LINEA[j]->isVisible());
        QCOMPARE(w.LINEA[j]->Picture().cacheKey(), g.GRFLINEAp[1].cacheKey());
      }
      const int n = HexagramNumber(QStringLiteral("777777"));
      QVERIFY(n >= 1);
      QCOMPARE(w.label2[0]->text(),
               QStringLiteral(" %1 - %2").arg(n).arg(QuitarBlancos(HexagramList[size_t(n)][4])));
      QCOMPARE(w.label2[1]->text(), QuitarBlancos(HexagramList[size_t(n)][5]));
      QVERIFY(w.label2[0]->text().startsWith(QLatin1Char(' ')));

      // La segunda pregunta lleva a la segunda ANA, con su fecha y su hexagrama.
      Elegir(w.CMBCONSULTA, 1);
      QCOMPARE(w.CMBUSUARIO->currentIndex(), 1);
      QCOMPARE(w.LBLFecha->text(), QStringLiteral("15/06/2004"));
      for (int j = 0; j < 6; ++j)
        QCOMPARE(w.LINEA[j]->Picture().cacheKey(), g.GRFLINEAp[j % 2 == 0 ? 3 : 0].cacheKey());
      const int m = HexagramNumber(QStringLiteral("969696"));
      QVERIFY(w.label2[0]->text().startsWith(QStringLiteral(" %1 - ").arg(m)));
      // Y el usuario elegido con el teclado lleva a su pregunta.
      w.CMBUSUARIO->setFocus();
      QTest::keyClick(w.CMBUSUARIO, Qt::Key_Down);
      QCOMPARE(w.CMBCONSULTA->currentIndex(), 2);
      QCOMPARE(w.LBLFecha->text(), QStringLiteral("24/12/2005"));
      QCOMPARE(w.LINEA[0]->Picture().cacheKey(), g.GRFLINEAp[1].cacheKey());
      QCOMPARE(w.LINEA[2]->Picture().cacheKey(), g.GRFLINEAp[2].cacheKey());
      Elegir(w.CMBUSUARIO, 1);
      QCOMPARE(w.CMBCONSULTA->currentIndex(), 1);
      Clic(w.BTNAUX[0]);
    });
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentQuestion.texto(), QStringLiteral("¿SEGUNDA DE ANA?").leftJustified(100));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("969696"));
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
  }

  void cancelarNoTocaLaConsultaEnCurso() {
    EscribirTodo(archivo(), TresConsultas());
    CurrentQuestion = QStringLiteral("¿LA DE ANTES?");
    CurrentLines = QStringLiteral("787878");
    Modal(*recuperar_, [&] {
      Elegir(recuperar_->CMBUSUARIO, 2);
      Clic(recuperar_->BTNAUX[1]);
    });
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentQuestion.trimmed(), QStringLiteral("¿LA DE ANTES?"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("787878"));
    // Escape y el aspa del marco hacen lo mismo.
    Modal(*recuperar_, [&] { QTest::keyClick(recuperar_.get(), Qt::Key_Escape); });
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    CancelFlag = QStringLiteral("NO");
    Modal(*recuperar_, [&] { recuperar_->close(); });
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("787878"));
  }

  void sinConsultasArchivadas() {
    // Sin archivo, y con un archivo vacío: el aviso, y la ventana ni se queda.
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
      if (vuelta == 1)
        EscribirTodo(archivo(), {});
      GuionMensajes::limpiar();
      CancelFlag = QStringLiteral("NO");
      recuperar_->MostrarModal();
      QVERIFY(!recuperar_->isVisible());
      QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
      QCOMPARE(int(GuionMensajes::mostrados().size()), 1);
      const MensajeMostrado m = GuionMensajes::mostrados().front();
      QCOMPARE(m.texto, QStringLiteral("NO EXITEN CONSULTAS ARCHIVADAS"));
      QCOMPARE(m.titulo, QStringLiteral("Información al usuario"));
      QCOMPARE(m.icono(), int(vbInformation));
      QCOMPARE(m.botones(), int(vbOKOnly));
    }
  }

  void eliminarLaDelMedio() {
    EscribirTodo(archivo(), TresConsultas());
    Modal(*recuperar_, [&] {
      FRMRecuperar& w = *recuperar_;
      Elegir(w.CMBCONSULTA, 1);
      // Con No, nada cambia.
      GuionMensajes::responder(vbNo);
      Clic(w.BTNAUX[2]);
      QCOMPARE(LeerTodo(archivo()), TresConsultas());
      QCOMPARE(w.CMBUSUARIO->currentIndex(), 1);
      QCOMPARE(w.CMBUSUARIO->count(), 3);
      const MensajeMostrado m = GuionMensajes::mostrados().back();
      QCOMPARE(m.texto, QStringLiteral("ELIMINAR CONSULTA SELECCIONADA"));
      QCOMPARE(m.titulo, TituloAplicacion);
      QCOMPARE(m.icono(), int(vbQuestion));
      QCOMPARE(m.botones(), int(vbYesNo));

      GuionMensajes::responder(vbYes);
      Clic(w.BTNAUX[2]);
      QVERIFY(w.isVisible());
      QCOMPARE(Elementos(w.CMBCONSULTA), QStringList({"¿PRIMERA DE ANA?", "¿Y LUIS?"}));
      QCOMPARE(w.CMBUSUARIO->currentIndex(), 0);
      QCOMPARE(w.LBLFecha->text(), QStringLiteral("01/02/2003"));
      Clic(w.BTNAUX[1]);
    });
    const auto r = LeerRegistros(LeerTodo(archivo()));
    QCOMPARE(int(r.size()), 2);
    QCOMPARE(r[0].Numero.texto(), QStringLiteral("0001"));
    QCOMPARE(r[1].Numero.texto(), QStringLiteral("0003"));
    QCOMPARE(r[1].Usuario.trimmed(), QStringLiteral("LUIS"));
    QCOMPARE(int(GuionMensajes::mostrados().size()), 2);
  }

  void eliminarLaUnicaCierraLaVentana() {
    EscribirTodo(archivo(), Registro(QStringLiteral("SOLA"), QStringLiteral("¿ÚNICA?"),
                                     QStringLiteral("878787"), QStringLiteral("09/09/2009")));
    CancelFlag = QStringLiteral("NO");
    GuionMensajes::responder(vbYes);
    Modal(*recuperar_, [&] { Clic(recuperar_->BTNAUX[2]); });
    QVERIFY(!QFile::exists(archivo()));
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(GuionMensajes::mostrados().back().texto, QStringLiteral("NO EXITEN CONSULTAS ARCHIVADAS"));
  }

  void unTemporalViejoNoDevuelveRegistros() {
    EscribirTodo(archivo(), TresConsultas());
    QByteArray viejo;
    for (int i = 0; i < 6; ++i)
      viejo += Registro(QStringLiteral("FANTASMA %1").arg(i), QStringLiteral("¿?"), QStringLiteral("777777"),
                        QStringLiteral("01/01/1990"));
    EscribirTodo(carpeta_->fichero(NombreTemporal), viejo);
    GuionMensajes::responder(vbYes);
    Modal(*recuperar_, [&] {
      Clic(recuperar_->BTNAUX[2]);
      QCOMPARE(Elementos(recuperar_->CMBUSUARIO), QStringList({"ANA", "LUIS"}));
      Clic(recuperar_->BTNAUX[1]);
    });
    QCOMPARE(Usuarios(LeerTodo(archivo())), QStringList({"ANA", "LUIS"}));
    QVERIFY(!QFile::exists(carpeta_->fichero(NombreTemporal)));
  }

  void eliminarSinSitioAvisaYNoCambiaNada() {
    EscribirTodo(archivo(), TresConsultas());
    FijarFabricaGuardado([](const QString& r) { return std::make_unique<GuardadoQueFalla>(r, 100); });
    GuionMensajes::responder(vbYes);
    Modal(*recuperar_, [&] {
      Elegir(recuperar_->CMBUSUARIO, 2);
      Clic(recuperar_->BTNAUX[2]);
      QCOMPARE(recuperar_->CMBUSUARIO->count(), 3);
      QVERIFY(recuperar_->BTNAUX[2]->isEnabled());
      Clic(recuperar_->BTNAUX[1]);
    });
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    const MensajeMostrado m = GuionMensajes::mostrados().back();
    QVERIFY(m.texto.startsWith(QStringLiteral("NO SE HA ELIMINADO LA CONSULTA.")));
    QCOMPARE(m.icono(), int(vbExclamation));
  }

  void archivoDanado() {
    // Un registro bueno, uno con ceros en usuario, fecha y líneas, uno con
    // bytes cualesquiera, y una cola que no llega a registro.
    QByteArray ceros = Registro(QStringLiteral("X"), QStringLiteral("¿CEROS?"), QStringLiteral("777777"),
                                QStringLiteral("01/01/2001"));
    ceros.replace(5, 30, QByteArray(30, '\0'));
    ceros.replace(137, 6, QByteArray(6, '\0'));
    ceros.replace(144, 10, QByteArray(10, '\0'));
    QByteArray basura(160, '\0');
    for (int i = 0; i < 160; ++i)
      basura[i] = char((i * 73 + 5) & 0xFF);
    const QByteArray bueno = Registro(QStringLiteral("ANA"), QStringLiteral("¿BUENA?"),
                                      QStringLiteral("789789"), QStringLiteral("02/02/2002"));
    const QByteArray contenido = bueno + ceros + basura + QByteArray(60, '\x7F');
    EscribirTodo(archivo(), contenido);

    Modal(*recuperar_, [&] {
      FRMRecuperar& w = *recuperar_;
      QCOMPARE(w.CMBUSUARIO->count(), 3);
      QCOMPARE(w.CMBCONSULTA->count(), 3);
      QVERIFY(w.BTNAUX[0]->isVisible());
      QVERIFY(!w.label2[0]->text().isEmpty());

      Elegir(w.CMBUSUARIO, 1);
      QCOMPARE(w.CMBUSUARIO->itemText(1), QString(30, QLatin1Char(' ')));
      QCOMPARE(w.CMBCONSULTA->itemText(1).trimmed(), QStringLiteral("¿CEROS?"));
      QCOMPARE(w.LBLFecha->text(), QString());
      for (int j = 0; j < 6; ++j)
        QVERIFY(!w.LINEA[j]->isVisible());
      QVERIFY(w.label2[0]->text().isEmpty());
      QVERIFY(w.label2[1]->text().isEmpty());
      // Lo que no es un hexagrama se puede abrir igualmente (se verá sin
      // nombres ni textos).
      QVERIFY(w.BTNAUX[0]->isVisible());

      Elegir(w.CMBCONSULTA, 2);
      QCOMPARE(w.CMBUSUARIO->currentIndex(), 2);
      QVERIFY(w.BTNAUX[0]->isVisible());
      for (const QString& t : {w.CMBUSUARIO->itemText(2), w.CMBCONSULTA->itemText(2), w.LBLFecha->text()})
        for (QChar c : t)
          QVERIFY(c.isPrint());

      // Se puede eliminar, y lo demás sigue ahí.
      GuionMensajes::responder(vbYes);
      Clic(w.BTNAUX[2]);
      QCOMPARE(w.CMBUSUARIO->count(), 2);
      Elegir(w.CMBUSUARIO, 0);
      QVERIFY(w.BTNAUX[0]->isVisible());
      Clic(w.BTNAUX[0]);
    });
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("789789"));
    QCOMPARE(LeerTodo(archivo()), bueno + ceros);
  }

  void grabarYRecuperarDeVerdad() {
    // De punta a punta: lo que se graba es lo que se recupera.
    PrepararConsulta(QStringLiteral("¿CUÁNDO LLOVERÁ EN SEVILLA?"), QStringLiteral("696978"));
    GrabarComo(QStringLiteral("maría josé"));
    CurrentQuestion = QString();
    CurrentLines = QString();
    Modal(*recuperar_, [&] {
      QCOMPARE(Elementos(recuperar_->CMBUSUARIO), QStringList({"MARÍA JOSÉ"}));
      QCOMPARE(recuperar_->LBLFecha->text(), QStringLiteral("05/03/1998"));
      Clic(recuperar_->BTNAUX[0]);
    });
    QCOMPARE(CurrentQuestion.trimmed(), QStringLiteral("¿CUÁNDO LLOVERÁ EN SEVILLA?"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("696978"));
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
  }
};

QTEST_MAIN(PruebaVentanasArchivo)
#include "test_ventanas_archivo.moc"
