// El arranque y el menú principal, como los vive el usuario.
#include "apoyo/Apoyo.h"
#include "archive/ArchivoConsultas.h"
#include "core/Hexagrama.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "platform/Estilo.h"
#include "platform/EstiloDialogos.h"
#include "platform/InstanciaUnica.h"
#include "platform/MensajesQt.h"
#include "platform/Rutas.h"
#include "printing/FRMImprimir.h"
#include "shell/FRM256.h"
#include "shell/FRMInicio.h"
#include "shell/FRMPRINCIPAL.h"
#include "shell/VisorAyuda.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

#include <cstdio>
#include <sys/stat.h>

namespace {
// Arranca contestando el aviso con Intro, que pulsa el botón con el foco: el aceptar, o el cancelar.
std::unique_ptr<FRMPRINCIPAL> Arrancar(bool enElCancelar = false) {
  AlAparecerModalSi([](QWidget* w) { return qobject_cast<FRM256*>(w) && w->isEnabled(); },
                    [enElCancelar](QWidget* w) {
                      auto* aviso = qobject_cast<FRM256*>(w);
                      QCOMPARE(aviso->focusWidget(), aviso->BTNAUX[0]);
                      if (enElCancelar)
                        aviso->BTNAUX[1]->setFocus(Qt::TabFocusReason);
                      QTest::keyClick(aviso->windowHandle(), Qt::Key_Return);
                    });
  return std::make_unique<FRMPRINCIPAL>();
}

// El menú y las ventanas de sus órdenes.
std::vector<Formulario*> Ventanas(FRMPRINCIPAL& m) {
  return {&m,       m.Consulta,          m.Tirada, m.Introducir, m.Hexagramas64, m.Interpretar, m.Recuperar,
          m.Grabar, &m.VentanaImprimir()};
}

// Un archivo de consultas con una sola, de ANA.
bool Archivar(const CarpetaPrueba& carpeta, const QString& lineas) {
  return EscribirTodo(carpeta.fichero(u"usuarios.dat"_s),
                      ArchiveRecord::Nuevo(u"ANA"_s, u"¿Y?"_s, lineas, u"05/03/1998"_s).Bytes());
}

// Los enlaces de la ayuda que, pulsados, no dejan a la vista el apartado que nombran.
QStringList EnlacesRotos(QTextBrowser* texto) {
  const auto fragmentos = [texto](const std::function<void(const QTextFragment&)>& ver) {
    for (QTextBlock b = texto->document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it)
        ver(it.fragment());
  };
  QHash<QString, int> apartados; // un ancla vacía queda en el formato de su párrafo
  for (QTextBlock b = texto->document()->begin(); b.isValid(); b = b.next())
    for (const QString& n : b.charFormat().anchorNames())
      apartados.insert(u'#' + n, b.position());
  fragmentos([&](const QTextFragment& f) {
    for (const QString& n : f.charFormat().anchorNames())
      apartados.insert(u'#' + n, f.position());
  });
  QStringList rotos;
  fragmentos([&](const QTextFragment& f) {
    const QString destino = f.charFormat().anchorHref();
    if (!destino.startsWith(u'#'))
      return;
    QTextCursor c(texto->document());
    c.setPosition(f.position() + f.length() / 2);
    texto->setTextCursor(c);
    QTest::mouseClick(texto->viewport(), Qt::LeftButton, {}, texto->cursorRect().center());
    // Arriba del todo, salvo los del final, a los que no se puede bajar más.
    c.setPosition(apartados.value(destino));
    const int y = texto->cursorRect(c).top();
    const QScrollBar* barra = texto->verticalScrollBar();
    if (!apartados.contains(destino) || y < 0 || (y > 30 && barra->value() < barra->maximum()) ||
        y > texto->viewport()->height())
      rotos << destino;
  });
  return rotos;
}
} // namespace

class PruebaMenu : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  int salidas_ = 0;
  long long turnosPresentacion_ = 0; // los que se piden con la presentación a la vista
  int ventanas_ = 0;                 // las que se muestran

public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (qobject_cast<FRMInicio*>(o) && e->type() == QEvent::Show)
      turnosPresentacion_ = TurnosPedidos();
    else if (qobject_cast<FRMInicio*>(o) && e->type() == QEvent::Hide)
      turnosPresentacion_ = TurnosPedidos() - turnosPresentacion_;
    ventanas_ += e->type() == QEvent::Show && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow() &&
                 static_cast<QWidget*>(o)->windowType() != Qt::ToolTip;
    return false;
  }

private slots:
  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>(true);
    PrepararEstado(false);
    FRM256::RespuestaAutomatica.reset();
    salidas_ = 0;
    FRMPRINCIPAL::SalirDelPrograma = [this] { ++salidas_; };
  }
  void cleanup() {
    QCOMPARE(CancelarEsperasModales(), 0);
    CerrarVentanasAbiertas();
    carpeta_.reset();
  }

  void elArranque() {
    // Intro con el foco en el cancelar del aviso termina sin presentación ni ventanas.
    auto menu = Arrancar(true);
    QVERIFY(menu->Terminado() && menu->Tirada == nullptr && GuionMensajes::mostrados().empty());
    menu.reset();
    qApp->installEventFilter(this);
    menu = Arrancar();
    qApp->removeEventFilter(this);
    QVERIFY(!menu->Terminado());
    // La presentación se ve su rato, un segundo largo a un milisegundo por turno, no un instante.
    QVERIFY2(turnosPresentacion_ >= 1000 && turnosPresentacion_ <= 2000,
             qPrintable(QString::number(turnosPresentacion_)));
    // La barra crece sus ocho pasos y su número nunca pasa de 100.
    const QString rotulo = menu->RotuloBarraFinal();
    const int numero = RedondeoPar(Val(rotulo));
    QVERIFY2(numero >= 96 && (rotulo == "100" || rotulo == QStringLiteral(" %1% ").arg(numero)),
             qPrintable(rotulo));
    QVERIFY(!menu->Inicio() && GuionMensajes::mostrados().empty()); // la presentación ya se cerró
    for (BotonImagen* b : menu->BTNMENU)
      QVERIFY(!b->Picture().isNull() && !b->accessibleName().isEmpty());
    // Cada ventana con su título: la barra de tareas y el lector de pantalla las distinguen.
    QStringList titulos{FRM256().windowTitle(), VisorAyuda::Instancia().windowTitle()};
    for (QWidget* w : Ventanas(*menu))
      titulos << w->windowTitle();
    QVERIFY2(titulos.removeDuplicates() == 0 && !titulos.contains(QString()), qPrintable(titulos.join(u'|')));
    // Los sorteos de la barra son anteriores a la siembra: se repiten.
    menu.reset();
    ReiniciarAleatorio();
    QCOMPARE(Arrancar()->RotuloBarraFinal(), rotulo);
    // Una FIFO en lugar de la lista de nombres no cuelga el arranque: se dice qué es.
    const QByteArray fifo = QFile::encodeName(carpeta_->fichero(QStringLiteral("hexagr.kvl")));
    QVERIFY(QFile::remove(QString::fromLocal8Bit(fifo)) && mkfifo(fifo.constData(), 0600) == 0);
    QVERIFY(Arrancar()->Terminado());
    const QString m = UnicoMensaje(vbCritical + vbOKOnly);
    QVERIFY2(m.contains("«hexagr.kvl»") && m.contains("no es un fichero normal"), qPrintable(m));
    // Con otra copia en marcha que no contesta en dos segundos, sólo su aviso (ni el de pantalla ni
    // «¿Finalizar KORVAL?») y el programa termina con 1.
    GuionMensajes::limpiar();
    InstanciaUnica primera(carpeta_->ruta()); // sin bucle de eventos que atienda a la otra
    QCOMPARE(primera.Adquirir(), InstanciaUnica::Resultado::Unica);
    QElapsedTimer reloj;
    reloj.start();
    menu = std::make_unique<FRMPRINCIPAL>();
    QVERIFY(menu->Terminado() && menu->Tirada == nullptr && menu->CodigoSalida() == 1);
    QVERIFY2(reloj.elapsed() >= 2000 && reloj.elapsed() < 4000, qPrintable(QString::number(reloj.elapsed())));
    QCOMPARE(CancelFlag.texto(), QStringLiteral("EC"));
    QCOMPARE(UnicoMensaje(vbExclamation + vbOKOnly),
             "Información al usuario: Esta aplicación ya se está ejecutando\r\n\r\nAPLICACIÓN CANCELADA");
    QCOMPARE(salidas_, 0); // aún no había bucle del que salir
  }

  // Una segunda copia pide a la primera que se ponga delante (aunque esté minimizada) y termina con 0 sin
  // mostrar nada.
  void laSegundaCopiaTraeLaPrimera() {
    auto menu = Arrancar();
    menu->show();
    QWidget otra; // otra ventana del escritorio, delante
    otra.show();
    menu->showMinimized();
    QApplication::setActiveWindow(&otra);
    QTRY_VERIFY(menu->isMinimized() && !menu->isActiveWindow());
    QProcess segunda;
    segunda.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--segunda-copia"), carpeta_->ruta()});
    QTRY_VERIFY_WITH_TIMEOUT(segunda.state() == QProcess::NotRunning, 10000);
    QCOMPARE(segunda.readAllStandardOutput().trimmed(), QByteArray("mensajes: 0"));
    QCOMPARE(segunda.exitCode(), 0);
    QTRY_VERIFY(!menu->isMinimized() && menu->isActiveWindow());
  }

  void salirPideConfirmacion() {
    // El botón 6, el cierre (también Alt+F4) y Escape preguntan; con No, o Escape, el menú sigue.
    auto menu = Arrancar();
    menu->show();
    QCOMPARE(menu->focusWidget(), menu->BTNMENU[0]); // abre con el foco en la primera orden
    const std::function<void()> salir[] = {[&] { Pulsar(menu->BTNMENU[6]); }, [&] { menu->close(); },
                                           [&] { QTest::keyClick(menu->windowHandle(), Qt::Key_Escape); }};
    for (const auto& s : salir) {
      GuionMensajes::limpiar();
      GuionMensajes::responder(vbNo);
      s();
      QVERIFY(!menu->Finalizado() && menu->isVisible() && menu->Encendido());
      QCOMPARE(UnicoMensaje(vbQuestion + vbYesNo), "SALIR: ¿Finalizar KORVAL?");
      QCOMPARE(GuionMensajes::mostrados()[0].escape, int(vbNo));
    }
    GuionMensajes::responder(vbYes);
    QCOMPARE(salidas_, 0);
    QTest::keyClick(menu->windowHandle(), Qt::Key_Escape);
    QVERIFY(menu->Finalizado() && !menu->isVisible());
    QCOMPARE(salidas_, 1);
    // La caja de verdad, en castellano: Intro pulsa el predeterminado y Escape el de escape.
    GuionMensajes::desactivar();
    InstalarMensajesQt();
    QVERIFY(CargarTraduccionesQt(*qApp));
    QString botones;
    const auto contestar = [&botones](int estilo, Qt::Key tecla) {
      AlAparecerModal([&botones, tecla](QWidget* caja) {
        botones.clear();
        for (const QAbstractButton* b : caja->findChildren<QAbstractButton*>())
          botones += b->text() + u'|';
        QTest::keyClick(caja, tecla);
      });
      return MsgBox(u"¿Seguro?"_s, estilo);
    };
    QCOMPARE(contestar(vbQuestion + vbYesNo, Qt::Key_Escape), int(vbNo));
    QCOMPARE(botones, u"&Sí|&No|"_s);
    QCOMPARE(contestar(vbQuestion + vbYesNo, Qt::Key_Return), int(vbYes));
    QCOMPARE(contestar(vbCritical + vbAbortRetryIgnore, Qt::Key_Escape), int(vbAbort));
    QCOMPARE(contestar(vbOKCancel + vbDefaultButton2, Qt::Key_Return), int(vbCancel));
    // Con los colores y los iconos del programa y cada texto legible sobre su fondo
    // (WCAG: negro sobre blanco es 21:1 y #777 sobre blanco se queda en 4,48:1).
    QVERIFY(qAbs(Contraste(Qt::black, Qt::white) - 21) < 1e-9 &&
            qAbs(Contraste(0x777777, Qt::white) - 4.48) < 0.005);
    QStringList visto;
    AlAparecerModal([&visto](QWidget* w) {
      auto* caja = qobject_cast<QMessageBox*>(w);
      const QPalette& p = caja->palette();
      visto << caja->grab().toImage().pixelColor(2, caja->height() - 3).name();
      visto << (caja->iconPixmap().toImage() == IconoMensaje(vbCritical, caja->devicePixelRatioF()).toImage()
                    ? u"icono nuestro"_s
                    : u"otro icono"_s);
      for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        for (auto [texto, fondo] : {std::pair(QPalette::WindowText, QPalette::Window),
                                    {QPalette::ButtonText, QPalette::Button},
                                    {QPalette::Text, QPalette::Base},
                                    {QPalette::HighlightedText, QPalette::Highlight},
                                    {QPalette::ToolTipText, QPalette::ToolTipBase}})
          if (Contraste(p.color(g, texto), p.color(g, fondo)) < 4.5)
            visto << u"poco contraste %1/%2"_s.arg(texto).arg(fondo);
      QTest::keyClick(caja, Qt::Key_Escape);
    });
    MsgBox(u"Algo ha fallado."_s, vbCritical + vbOKOnly);
    QCOMPARE(visto.join(u", "_s), Estilo::VerdeAzulado.name() + u", icono nuestro"_s);
    InstalarManejadorMsgBox(nullptr);
  }

  // Dos clics seguidos en cada botón del menú, el segundo en la pausa de antes de la orden: una sola
  // orden, una sola ventana o un solo mensaje.
  void dosClicsUnaOrden() {
    QVERIFY(Archivar(*carpeta_, u"777777"_s));
    auto menu = Arrancar();
    menu->show();
    QVERIFY(QTest::qWaitForWindowActive(menu.get()));
    qApp->installEventFilter(this);
    QTimer cerrar; // cada ventana de una orden, en cuanto sale, se cierra por el marco (es cancelar)
    cerrar.callOnTimeout([] {
      if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible())
        w->close();
    });
    cerrar.start(5);
    QString visto;
    for (int i = 0; i < 8; ++i) {
      BotonImagen* b = menu->BTNMENU[size_t(i)];
      GuionMensajes::limpiar();
      GuionMensajes::responder(vbNo); // «¿Finalizar KORVAL?»: No
      ventanas_ = 0;
      QTimer::singleShot(0, b, [b] { Pulsar(b); });
      Pulsar(b);
      VisorAyuda::Instancia().hide();
      visto += u"%1:%2 "_s.arg(i).arg(ventanas_ + int(GuionMensajes::mostrados().size()));
    }
    qApp->removeEventFilter(this);
    QCOMPARE(visto, u"0:1 1:1 2:1 3:1 4:1 5:1 6:1 7:1 "_s);
  }

  // Cada control que puede tener el foco, en cada ventana, lleva el anillo: su color rodea al control
  // con el foco y no está sin él. El anillo se ve sobre el verde azulado, el oro y el negro.
  void anilloDeFoco() {
    QVERIFY(Archivar(*carpeta_, u"969696"_s));
    auto menu = Arrancar();
    CurrentLines = u"969696"_s;
    ComputeComplement();
    CurrentQuestion = u"¿Y?"_s;
    for (const QColor& fondo : {Estilo::VerdeAzulado, Estilo::Negro})
      QVERIFY(Contraste(Estilo::Foco, fondo) >= 3);
    QVERIFY(Contraste(Estilo::Negro, Estilo::Oro) >= 3);
    QStringList sinAnillo;
    int vistos = 0;
    for (Formulario* w : Ventanas(*menu)) {
      CancelFlag = u"NO"_s;
      w->show();
      QApplication::setActiveWindow(w);
      QVERIFY(QTest::qWaitForWindowActive(w));
      for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!(c->focusPolicy() & Qt::TabFocus) || !c->isVisibleTo(w) || !c->isEnabled() || c->focusProxy())
          continue;
        const QRect zona = QRect(c->mapTo(w, QPoint()), c->size()).adjusted(-3, -3, 3, 3);
        const auto anillo = [&] {
          const QImage im = w->grab(zona).toImage();
          int n = 0;
          for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
              n += im.pixelColor(x, y) == Estilo::Foco;
          return n;
        };
        w->setFocus();
        const int sin = anillo();
        c->setFocus(Qt::TabFocusReason);
        const int con = anillo();
        ++vistos;
        if (!c->hasFocus() || sin > 0 || con < c->width() + c->height())
          sinAnillo << u"%1 %2: %3/%4"_s.arg(w->metaObject()->className(), c->metaObject()->className())
                           .arg(sin)
                           .arg(con);
      }
      w->hide();
    }
    QCOMPARE(sinAnillo.join(u"\n"_s), QString());
    QVERIFY2(vistos >= 45, qPrintable(QString::number(vistos)));
  }

  // La línea de mensajes de la botonera, con un pitido por cambio; mientras dura una orden el menú
  // está apagado, y al volver vuelve al centro; las órdenes 3, 7 y 5.
  void laBotoneraYLasOrdenes() {
    auto menu = Arrancar();
    menu->show();
    QVERIFY(QTest::qWaitForWindowActive(menu.get()));
    const int antes = PitidosDados();
    QString visto;
    // El fondo vacía la línea; volver al mismo botón no vuelve a pitar.
    for (QWidget* w : std::initializer_list<QWidget*>{menu->BTNMENU[0], menu->BTNMENU[0], menu->BTNMENU[5],
                                                      menu.get(), menu->BTNMENU[5]}) {
      MoverRaton(w, w == menu.get() ? QPointF(320, 250) : QPointF(5, 5));
      visto += QStringLiteral("%1 %2|").arg(PitidosDados() - antes).arg(menu->Panmsg->text());
    }
    QCOMPARE(visto, "1 Realizar una CONSULTA|1 Realizar una CONSULTA|2 AYUDA|2 |3 AYUDA|");
    const QPoint centro = menu->pos();
    menu->move(2, 2); // el usuario lo aparta
    AlAparecerModal([&](QWidget* w) {
      // Con la ventana de la orden (hija del menú) encendida, otro botón del menú no hace nada.
      visto = menu->Encendido() || menu->BTNMENU[0]->isEnabled() || !w->isEnabled() ? "encendido" : "apagado";
      Pulsar(menu->BTNMENU[3]);
      visto += QStringLiteral(" %1").arg(GuionMensajes::mostrados().size());
      w->close(); // el cierre por el marco cancela la ventana
    });
    Pulsar(menu->BTNMENU[2]);
    QCOMPARE(visto, "apagado 0");
    QVERIFY(menu->Encendido());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QTRY_COMPARE(menu->pos(), centro);
    // El tabulador lleva a la línea lo mismo que el ratón; al acabar una orden vuelve la bienvenida.
    menu->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu.get()));
    menu->BTNMENU[0]->setFocus();
    QTest::keyClick(menu->windowHandle(), Qt::Key_Tab);
    QCOMPARE(menu->Panmsg->text(), menu->BTNMENU[1]->toolTip());
    // Sin consulta previa, la orden 3 sólo avisa, y dice dónde están las grabadas.
    GuionMensajes::limpiar();
    AlAparecerModal([](QWidget* w) { w->hide(); }); // si se abriera una ventana, que no se quede colgada
    Pulsar(menu->BTNMENU[3]);
    QCOMPARE(CancelarEsperasModales(), 1); // no se abrió ninguna
    QCOMPARE(
        UnicoMensaje(vbInformation + vbOKOnly),
        "Información al usuario: Aún no se ha hecho ninguna consulta: la última que se haga se podrá ver "
        "aquí.\r\n\r\nLas consultas grabadas se abren con «Recuperar CONSULTA ALMACENADA EN DISCO».");
    QVERIFY(menu->Encendido());
    // Los datos del programador: tres líneas, cada una con su salto.
    GuionMensajes::limpiar();
    Pulsar(menu->BTNMENU[7]);
    QCOMPARE(UnicoMensaje(vbInformation + vbOKOnly),
             "Datos del Programador: KORVAL " KORVAL_VERSION
             ": consultas al libro de los cambios con tres monedas\r\n\r\nKORVAL: programa y textos del "
             "taller KORVAL\r\nCorreo: korval@tallerkorval.example\r\nLicencia MIT: puede usarlo, copiarlo y "
             "compartirlo\r\n");
    // La ayuda: tras leer otro apartado, el botón «Índice» vuelve al principio.
    GuionMensajes::limpiar();
    Pulsar(menu->BTNMENU[5]);
    QVERIFY(VisorAyuda::Instancia().isVisible());
    QTextBrowser* texto = VisorAyuda::Instancia().Texto();
    QVERIFY(texto->toPlainText().startsWith(QStringLiteral("Ayuda de KORVAL")));
    texto->verticalScrollBar()->setValue(texto->verticalScrollBar()->maximum());
    QVERIFY(texto->verticalScrollBar()->value() > 0);
    auto* indice = VisorAyuda::Instancia().findChild<QPushButton*>();
    QCOMPARE(indice->text(), QStringLiteral("Índice"));
    Pulsar(indice);
    QCOMPARE(texto->verticalScrollBar()->value(), 0);
    QCOMPARE(EnlacesRotos(texto), QStringList());
    VisorAyuda::Instancia().hide();
    // Con una carpeta en lugar del fichero de ayuda, el visor dice qué pasa y el menú sigue.
    QVERIFY(QFile::remove(carpeta_->fichero("KORVAL.HLP")) && QDir(carpeta_->ruta()).mkdir("KORVAL.HLP"));
    Pulsar(menu->BTNMENU[5]);
    QVERIFY(!VisorAyuda::Instancia().isVisible() && menu->Encendido());
    const QString m = UnicoMensaje(vbExclamation + vbOKOnly);
    QVERIFY2(m.contains(QStringLiteral("«KORVAL.HLP»: es una carpeta")), qPrintable(m));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--segunda-copia") {
    // Otra copia del programa, que arranca con la misma carpeta de ejecución que la de la prueba.
    GuionMensajes::activar();
    FijarProgramDir(QString::fromLocal8Bit(argv[2]));
    FijarCarpetaEjecucion(QString::fromLocal8Bit(argv[2]));
    FRM256::RespuestaAutomatica = 1; // si llegara a arrancar, que termine
    FRMPRINCIPAL menu;
    std::printf("mensajes: %d\n", int(GuionMensajes::mostrados().size()));
    return CancelFlag == QStringLiteral("EC") ? menu.CodigoSalida() : 99;
  }
  PruebaMenu prueba;
  return QTest::qExec(&prueba, argc, argv);
}
#include "test_menu.moc"
