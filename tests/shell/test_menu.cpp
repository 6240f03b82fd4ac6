// El arranque y el menú principal, como los vive el usuario.
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "platform/Basico.h"
#include "platform/InstanciaUnica.h"
#include "platform/MensajesQt.h"
#include "shell/FRM256.h"
#include "shell/FRMInicio.h"
#include "shell/FRMPRINCIPAL.h"
#include "shell/VisorAyuda.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>

#include <sys/stat.h>

#include <array>
#include <functional>
#include <memory>

namespace {
// Contesta el aviso de pantalla con Intro en cuanto responde: pulsa el botón
// con el foco, que al abrirse es el aceptar (o el cancelar, si se le lleva).
void ContestarAviso(bool enElCancelar = false) {
  AlAparecerModalSi([](QWidget* w) { return qobject_cast<FRM256*>(w) && w->isEnabled(); },
                    [enElCancelar](QWidget* w) {
                      auto* aviso = qobject_cast<FRM256*>(w);
                      QCOMPARE(aviso->focusWidget(), aviso->BTNAUX[0]);
                      if (enElCancelar)
                        aviso->BTNAUX[1]->setFocus(Qt::TabFocusReason);
                      QTest::keyClick(aviso->windowHandle(), Qt::Key_Return);
                      if (aviso->isVisible()) // Intro no hizo nada: que la prueba no se cuelgue
                        aviso->BTNAUX_Click(1);
                    });
}

std::unique_ptr<FRMPRINCIPAL> Arrancar() {
  ContestarAviso();
  auto menu = std::make_unique<FRMPRINCIPAL>();
  return menu;
}

} // namespace

class PruebaMenu : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  int salidas_ = 0;

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

  void arranqueCompleto() {
    auto menu = Arrancar();
    QVERIFY(!menu->Terminado());
    // La barra crece ocho pasos de 852 twips y su número nunca pasa de 100.
    QCOMPARE(menu->AnchoBarraFinal(), 345 + 8 * 852);
    const int numero = RedondeoPar(Val(menu->RotuloBarraFinal()));
    QVERIFY2(numero >= 96 && numero <= 100, qPrintable(menu->RotuloBarraFinal()));
    QVERIFY(menu->RotuloBarraFinal() == QStringLiteral("100") ||
            menu->RotuloBarraFinal() == QStringLiteral(" %1% ").arg(numero));
    QCOMPARE(menu->Inicio(), nullptr); // la presentación ya se cerró
    QCOMPARE(HexagramList[64][4], QStringLiteral("Wei Chi"));
    QVERIFY(menu->Tirada && menu->Interpretar && menu->Grabar);
    QVERIFY(GuionMensajes::mostrados().empty());
    for (BotonImagen* b : menu->BTNMENU)
      QVERIFY(!b->Picture().isNull() && !b->accessibleName().isEmpty());
  }

  void laBarraSigueLaSecuenciaSinSembrar() {
    // Los sorteos de la barra son anteriores a la siembra: se repiten.
    auto primero = Arrancar();
    const QString rotulo = primero->RotuloBarraFinal();
    primero.reset();
    ReiniciarAleatorio();
    auto segundo = Arrancar();
    QCOMPARE(segundo->RotuloBarraFinal(), rotulo);
  }

  void cancelarElAvisoTerminaSinPresentacion() {
    ContestarAviso(true);
    FRMPRINCIPAL menu;
    QVERIFY(menu.Terminado());
    QCOMPARE(menu.Tirada, nullptr); // no se llegó a crear ninguna ventana
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  void unaSegundaCopiaSeNiega() {
    InstanciaUnica primera(carpeta_->ruta());
    QVERIFY(primera.adquirir());
    FRMPRINCIPAL menu;
    QVERIFY(menu.Terminado());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("EC"));
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 1); // ni aviso de pantalla ni «¿Finalizar KORVAL?»
    QCOMPARE(m[0].texto, QStringLiteral("Esta aplicación ya se está ejecutando\r\n\r\nAPLICACIÓN CANCELADA"));
    QCOMPARE(m[0].titulo, QStringLiteral("Información al usuario"));
    QCOMPARE(m[0].icono(), int(vbExclamation));
    QCOMPARE(m[0].botones(), int(vbOKOnly));
    QCOMPARE(menu.Tirada, nullptr);
    QCOMPARE(salidas_, 0); // aún no había bucle del que salir
  }

  void sinListasDeNombresNoHayMenu() {
    // Una FIFO en lugar de la lista no cuelga el arranque: se dice qué es.
    const QByteArray fifo = QFile::encodeName(carpeta_->fichero(QStringLiteral("hexagr.kvl")));
    QFile::remove(QString::fromLocal8Bit(fifo));
    QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
    auto menu = Arrancar();
    QVERIFY(menu->Terminado());
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 1);
    QVERIFY2(m[0].texto.contains(QStringLiteral("«hexagr.kvl»")) &&
                 m[0].texto.contains(QStringLiteral("no es un fichero normal")),
             qPrintable(m[0].texto));
    QCOMPARE(m[0].icono(), int(vbCritical));
  }

  void salirPideConfirmacion() {
    // El botón 6, el cuadro de cierre (también Alt+F4) y Escape preguntan lo
    // mismo; con No el menú sigue a la vista.
    auto menu = Arrancar();
    menu->show();
    QCOMPARE(menu->focusWidget(), menu->BTNMENU[0]); // abre con el foco en la primera orden
    const std::array<std::function<void()>, 3> salir = {
        [&] { QTest::mouseClick(menu->BTNMENU[6], Qt::LeftButton); }, [&] { menu->close(); },
        [&] { QTest::keyClick(menu->windowHandle(), Qt::Key_Escape); }};
    for (const auto& s : salir) {
      GuionMensajes::responder(vbNo);
      s();
      QVERIFY(!menu->Finalizado() && menu->isVisible() && menu->Encendido());
    }
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 3);
    for (const MensajeMostrado& p : m) {
      QCOMPARE(p.titulo + QStringLiteral(": ") + p.texto, QStringLiteral("SALIR: ¿Finalizar KORVAL?"));
      QCOMPARE(p.botones(), int(vbYesNo));
      QCOMPARE(p.escape, int(vbNo)); // Escape en la pregunta también es No
    }
    GuionMensajes::responder(vbYes);
    QCOMPARE(salidas_, 0);
    QTest::keyClick(menu->windowHandle(), Qt::Key_Escape);
    QVERIFY(menu->Finalizado());
    QVERIFY(!menu->isVisible());
    QCOMPARE(salidas_, 1);
  }

  void lasCajasDeMensajesConElTeclado() {
    // La caja de verdad: Intro pulsa el predeterminado y Escape el de escape.
    GuionMensajes::desactivar();
    InstalarMensajesQt();
    const auto contestar = [](int estilo, Qt::Key tecla) {
      QTimer::singleShot(0, [tecla] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), tecla);
      });
      return MsgBox(QStringLiteral("¿Seguro?"), estilo);
    };
    QCOMPARE(contestar(vbQuestion + vbYesNo, Qt::Key_Escape), int(vbNo));
    QCOMPARE(contestar(vbQuestion + vbYesNo, Qt::Key_Return), int(vbYes));
    QCOMPARE(contestar(vbCritical + vbAbortRetryIgnore, Qt::Key_Escape), int(vbAbort));
    QCOMPARE(contestar(vbOKCancel + vbDefaultButton2, Qt::Key_Return), int(vbCancel));
    InstalarManejadorMsgBox(nullptr);
  }

  void mensajeDeLaBotoneraConUnPitidoPorCambio() {
    auto menu = Arrancar();
    menu->show();
    const int antes = PitidosDados();
    MoverRaton(menu->BTNMENU[0]);
    MoverRaton(menu->BTNMENU[0]);
    QCOMPARE(menu->Panmsg->text(), QStringLiteral("Realizar una CONSULTA"));
    QCOMPARE(PitidosDados() - antes, 1);
    MoverRaton(menu->BTNMENU[5]);
    QCOMPARE(menu->Panmsg->text(), QStringLiteral("AYUDA"));
    QCOMPARE(PitidosDados() - antes, 2);
    MoverRaton(menu.get(), QPointF(320, 250)); // el fondo vacía la línea
    QCOMPARE(menu->Panmsg->text(), QString());
    MoverRaton(menu->BTNMENU[5]);
    QCOMPARE(PitidosDados() - antes, 3);
  }

  void ordenTresSinConsultaPrevia() {
    auto menu = Arrancar();
    menu->show();
    QTest::mouseClick(menu->BTNMENU[3], Qt::LeftButton);
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 1);
    QCOMPARE(m[0].texto, QStringLiteral("No hay consultas almacenadas con anterioridad."));
    QCOMPARE(m[0].titulo, QStringLiteral("Información al usuario"));
    QCOMPARE(m[0].icono(), int(vbInformation));
    QVERIFY(menu->Encendido());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }

  void datosDelProgramador() {
    auto menu = Arrancar();
    QTest::mouseClick(menu->BTNMENU[7], Qt::LeftButton);
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 1);
    QCOMPARE(m[0].titulo, QStringLiteral("Datos del Programador"));
    QVERIFY(m[0].texto.startsWith(QStringLiteral("KORVAL v1.1 para WINDOWS 95\r\n\r\n")));
    const QStringList lineas = m[0].texto.mid(31).split(QStringLiteral("\r\n"));
    QCOMPARE(lineas.size(), 4); // tres líneas, cada una con su salto
    QVERIFY(lineas[3].isEmpty());
    QCOMPARE(LineasContacto(), lineas.mid(0, 3));
  }

  void ayudaPorSuIndice() {
    auto menu = Arrancar();
    QTest::mouseClick(menu->BTNMENU[5], Qt::LeftButton);
    QVERIFY(VisorAyuda::Instancia().isVisible());
    QTextBrowser* texto = VisorAyuda::Instancia().Texto();
    QVERIFY(texto->toPlainText().startsWith(QStringLiteral("Ayuda de KORVAL")));
    // Tras leer otro apartado, el botón «Índice» vuelve al principio.
    texto->verticalScrollBar()->setValue(texto->verticalScrollBar()->maximum());
    QVERIFY(texto->verticalScrollBar()->value() > 0);
    auto* indice = VisorAyuda::Instancia().findChild<QPushButton*>();
    QCOMPARE(indice->text(), QStringLiteral("Índice"));
    QTest::mouseClick(indice, Qt::LeftButton);
    QCOMPARE(texto->verticalScrollBar()->value(), 0);
    QVERIFY(menu->Encendido());
    VisorAyuda::Instancia().hide();

    // Con una carpeta en lugar del fichero de ayuda, el visor dice qué pasa y el menú sigue.
    QFile::remove(carpeta_->fichero(QStringLiteral("KORVAL.HLP")));
    QVERIFY(QDir(carpeta_->ruta()).mkdir(QStringLiteral("KORVAL.HLP")));
    QTest::mouseClick(menu->BTNMENU[5], Qt::LeftButton);
    QVERIFY(!VisorAyuda::Instancia().isVisible());
    QCOMPARE(int(GuionMensajes::mostrados().size()), 1);
    QVERIFY2(GuionMensajes::mostrados()[0].texto.contains(QStringLiteral("«KORVAL.HLP»: es una carpeta")),
             qPrintable(GuionMensajes::mostrados()[0].texto));
    QVERIFY(menu->Encendido());
  }

  void elMenuSeApagaMientrasDuraUnaOrden() {
    auto menu = Arrancar();
    menu->show();
    QVERIFY(QTest::qWaitForWindowActive(menu.get()));
    const QPoint centro = menu->pos();
    menu->move(2, 2); // el usuario lo aparta; al volver a estar activo tras la orden, vuelve al centro
    bool apagado = false;
    bool segundaOrden = false;
    AlAparecerModal([&](QWidget* w) {
      apagado = !menu->Encendido() && !menu->BTNMENU[0]->isEnabled();
      // La ventana de la orden, hija del menú, sí responde.
      QVERIFY(w->isEnabled());
      // Un clic en otro botón del menú no hace nada mientras tanto.
      QTest::mouseClick(menu->BTNMENU[3], Qt::LeftButton);
      segundaOrden = !GuionMensajes::mostrados().empty();
      w->close(); // el cierre por el marco cancela la ventana
    });
    QTest::mouseClick(menu->BTNMENU[2], Qt::LeftButton);
    QVERIFY(apagado);
    QVERIFY(!segundaOrden);
    QVERIFY(menu->Encendido());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QTRY_COMPARE(menu->pos(), centro);
  }
};

QTEST_MAIN(PruebaMenu)
#include "test_menu.moc"
