// Las tres ventanas de la tirada, pulsadas como las pulsaría el usuario: la
// pregunta, las monedas y la construcción a mano.
#include "RelojFalso.h"
#include "apoyo/Apoyo.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "platform/Twips.h"
#include <QTimer>

#include <functional>

namespace {
// Mira los sucesos de un control y llama a `accion` con los del tipo pedido.
class Espia : public QObject {
public:
  Espia(QObject* objeto, QEvent::Type tipo, std::function<void()> accion)
      : objeto_(objeto), tipo_(tipo), accion_(std::move(accion)) {
    objeto_->installEventFilter(this);
  }
  ~Espia() override { objeto_->removeEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == objeto_ && e->type() == tipo_ && accion_)
      accion_();
    return false;
  }

private:
  QObject* objeto_;
  QEvent::Type tipo_;
  std::function<void()> accion_;
};

void Pulsar(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton);
}

// El centro de la pantalla para una ventana de ese tamaño.
QPoint Centro(const QWidget& w) {
  const QRect p = w.screen()->geometry();
  const QSize s = w.frameGeometry().size();
  return {p.x() + (p.width() - s.width()) / 2, p.y() + (p.height() - s.height()) / 2};
}

void MoverRatonSobre(QWidget* w, QPointF punto = QPointF(5, 5)) {
  QMouseEvent e(QEvent::MouseMove, punto, w->mapToGlobal(punto), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// Escribe `texto` tecla a tecla, como un teclado que tuviera cada carácter
// (QTest::keyClicks sólo sabe de ASCII).
void Escribir(QWidget* w, const QString& texto) {
  for (qsizetype i = 0; i < texto.size(); ++i) {
    QString t(texto[i]);
    if (texto[i].isHighSurrogate() && i + 1 < texto.size())
      t += texto[++i];
    const char16_t u = t.front().unicode();
    const int tecla = u < 128 ? int(QChar(u).toUpper().unicode()) : int(Qt::Key_unknown);
    QKeyEvent pulsa(QEvent::KeyPress, tecla, Qt::NoModifier, t);
    QApplication::sendEvent(w, &pulsa);
    QKeyEvent suelta(QEvent::KeyRelease, tecla, Qt::NoModifier, t);
    QApplication::sendEvent(w, &suelta);
  }
}

QString Caras(const FRMTirada& w) {
  QString s;
  for (int i = 0; i < 3; ++i)
    s += QString::number(w.DibujoMostrado(i));
  return s;
}
} // namespace

class PruebaVentanasCasting : public QObject {
  Q_OBJECT
  CarpetaPrueba* carpeta_ = nullptr;

private slots:
  void init() {
    carpeta_ = new CarpetaPrueba(true);
    PrepararEstado(false);
    QVERIFY(!GRAFICOS::Instancia().grfmoneda[0].isNull());
  }
  void cleanup() {
    CerrarVentanasAbiertas();
    FijarReloj(nullptr);
    delete carpeta_;
    carpeta_ = nullptr;
  }

  // --- frmconsulta ---------------------------------------------------------
  void laPreguntaEscritaSeGuardaEnMayusculas_data() {
    QTest::addColumn<QString>("escrita");
    QTest::addColumn<bool>("intro");
    QTest::addColumn<QString>("guardada");
    QTest::newRow("completa") << QStringLiteral("¿qué será?") << false << QStringLiteral("¿QUÉ SERÁ?");
    QTest::newRow("con intro") << QStringLiteral("el viaje") << true << QStringLiteral("¿EL VIAJE?");
    QTest::newRow("? e intro") << QStringLiteral("¿el viaje?") << true << QStringLiteral("¿EL VIAJE??");
    QTest::newRow("sólo intro") << QString() << true << QStringLiteral("¿?");
    QTest::newRow("eñes") << QStringLiteral("¿mañana llegará el niño?") << false
                          << QStringLiteral("¿MAÑANA LLEGARÁ EL NIÑO?");
  }
  void laPreguntaEscritaSeGuardaEnMayusculas() {
    QFETCH(QString, escrita);
    QFETCH(bool, intro);
    QFETCH(QString, guardada);
    CurrentQuestion = QStringLiteral("ANTERIOR");
    frmconsulta w;
    w.show();
    QVERIFY(w.PREGUNTA->toPlainText().isEmpty());
    QVERIFY(w.BTNAUX[0]->isHidden());
    Escribir(w.PREGUNTA, escrita);
    if (intro)
      QTest::keyClick(w.PREGUNTA, Qt::Key_Return);
    // Intro en el cuadro es un salto de línea, no acepta.
    QVERIFY(w.isVisible());
    QVERIFY(!w.BTNAUX[0]->isHidden());
    Pulsar(w.BTNAUX[0]);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(QuitarBlancosDerecha(CurrentQuestion), guardada);
  }

  void unaPreguntaDeCientoVeinteLetrasSeCorta() {
    frmconsulta w;
    w.show();
    QString larga;
    for (int i = 0; i < 120; ++i)
      larga += QChar(QLatin1Char('a' + i % 26));
    Escribir(w.PREGUNTA, larga);
    QCOMPARE(w.PREGUNTA->toPlainText(), larga); // el cuadro no tiene límite
    Pulsar(w.BTNAUX[0]);
    QCOMPARE(CurrentQuestion.texto(), QStringLiteral("¿") + larga.left(99).toUpper());
  }

  void sinTextoNoHayBotonDeAceptar() {
    frmconsulta w;
    w.show();
    Escribir(w.PREGUNTA, QStringLiteral("   "));
    QVERIFY(w.BTNAUX[0]->isHidden());
    Escribir(w.PREGUNTA, QStringLiteral("x"));
    QVERIFY(!w.BTNAUX[0]->isHidden());
    QTest::keyClick(w.PREGUNTA, Qt::Key_Backspace);
    QVERIFY(w.BTNAUX[0]->isHidden());
    // Un salto de línea no es un blanco: se puede aceptar.
    QTest::keyClick(w.PREGUNTA, Qt::Key_Return);
    QVERIFY(!w.BTNAUX[0]->isHidden());
  }

  void cancelarDejaLaPreguntaComoEstaba_data() {
    QTest::addColumn<int>("como");
    QTest::newRow("botón") << 0;
    QTest::newRow("escape") << 1;
    QTest::newRow("cierre") << 2;
  }
  void cancelarDejaLaPreguntaComoEstaba() {
    QFETCH(int, como);
    CurrentQuestion = QStringLiteral("¿LA DE ANTES?");
    CancelFlag = QStringLiteral("NO");
    frmconsulta w;
    w.show();
    Escribir(w.PREGUNTA, QStringLiteral("otra cosa"));
    if (como == 0)
      Pulsar(w.BTNAUX[1]);
    else if (como == 1)
      QTest::keyClick(w.PREGUNTA, Qt::Key_Escape);
    else
      w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(QuitarBlancosDerecha(CurrentQuestion), QStringLiteral("¿LA DE ANTES?"));
  }

  void alAbrirseOfreceLaUltimaPreguntaYSeAceptaTalCual() {
    LastQuestion = QStringLiteral("   ¿HABRÁ COSECHA?");
    frmconsulta w;
    QString vista;
    bool foco = false;
    AlAparecerModal([&](QWidget* m) {
      QCOMPARE(m, static_cast<QWidget*>(&w));
      vista = w.PREGUNTA->toPlainText();
      foco = w.PREGUNTA->hasFocus() || w.focusWidget() == w.PREGUNTA;
      Pulsar(w.BTNAUX[0]);
    });
    w.MostrarModal();
    QCOMPARE(vista, QStringLiteral("¿HABRÁ COSECHA?"));
    QVERIFY(foco);
    QCOMPARE(QuitarBlancosDerecha(CurrentQuestion), QStringLiteral("¿HABRÁ COSECHA?"));
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    // Una pregunta de dos líneas vuelve a salir en dos líneas y se guarda igual.
    LastQuestion = QStringLiteral("¿UNO\r\nDOS?");
    w.show();
    QCOMPARE(w.PREGUNTA->toPlainText(), QStringLiteral("¿UNO\nDOS?"));
    Pulsar(w.BTNAUX[0]);
    QCOMPARE(QuitarBlancosDerecha(CurrentQuestion), QStringLiteral("¿UNO\r\nDOS?"));
  }

  void noEntraLoQueNoSePuedeGuardar() {
    frmconsulta w;
    w.show();
    const int pitidos = PitidosDados();
    Escribir(w.PREGUNTA, QStringLiteral("año ") + QChar(0x4E2D) + QStringLiteral(" 5€") + QChar(0x0394) +
                             QStringLiteral("…"));
    QCOMPARE(w.PREGUNTA->toPlainText(), QStringLiteral("año  5€…"));
    QCOMPARE(w.PREGUNTA->Rechazados(), 2);
    QCOMPARE(PitidosDados() - pitidos, 2);
    // Lo pegado, también filtrado.
    QApplication::clipboard()->setText(QStringLiteral(" y ") + QChar(0x263A) + QStringLiteral("«fin»"));
    w.PREGUNTA->moveCursor(QTextCursor::End);
    w.PREGUNTA->paste();
    QCOMPARE(w.PREGUNTA->toPlainText(), QStringLiteral("año  5€… y «fin»"));
    Pulsar(w.BTNAUX[0]);
    QCOMPARE(QuitarBlancosDerecha(CurrentQuestion), QStringLiteral("¿AÑO  5€… Y «FIN»?"));
  }

  // --- FRMTirada -----------------------------------------------------------
  void alAbrirseLaMesaEstaLista() {
    CurrentQuestion = QStringLiteral("¿SALDRÁ BIEN?");
    CurrentLines = QStringLiteral("787878");
    FRMTirada w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Hechar Monedas"));
    w.show();
    QCOMPARE(w.PREGUNTA->text(), QStringLiteral("¿SALDRÁ BIEN?"));
    QCOMPARE(Caras(w), QStringLiteral("000"));
    QCOMPARE(w.LineasPuestas(), 0);
    QCOMPARE(w.BTNTIRAR->Tag, QStringLiteral("TIRAR MONEDAS"));
    QCOMPARE(w.BTNTIRAR->Picture().cacheKey(), GRAFICOS::Instancia().GRFarrojarParar[0].cacheKey());
    QVERIFY(w.BTNTIRAR->isEnabled());
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.BTNAUX->Picture().cacheKey(), GRAFICOS::Instancia().Gcancelar.cacheKey());
    QCOMPARE(CurrentLines.texto(), QStringLiteral("      "));
    QCOMPARE(w.SavedLines.texto(), QStringLiteral("787878"));
    // El hueco 0 es el de abajo; entre el 2 y el 3 queda más sitio.
    for (int j = 1; j < 6; ++j)
      QVERIFY(w.LINEA[j]->y() < w.LINEA[j - 1]->y());
    const int hueco12 = w.LINEA[1]->y() - (w.LINEA[2]->y() + w.LINEA[2]->height());
    const int hueco23 = w.LINEA[2]->y() - (w.LINEA[3]->y() + w.LINEA[3]->height());
    QVERIFY(hueco23 > hueco12);
  }

  void arrojarHaceGirarYPararPoneUnaLinea() {
    FRMTirada w;
    w.show();
    Pulsar(w.BTNTIRAR);
    QCOMPARE(w.BTNTIRAR->Tag, QStringLiteral("PARAR MONEDAS"));
    QCOMPARE(w.BTNTIRAR->Picture().cacheKey(), GRAFICOS::Instancia().GRFarrojarParar[1].cacheKey());
    QVERIFY(w.BTNTIRAR->isEnabled());
    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 10);
    // Las monedas giran solas con el reloj de la ventana.
    QTRY_VERIFY(Caras(w) != QStringLiteral("000"));
    QCOMPARE(w.LineasPuestas(), 0);

    // Parar: mientras paran, el botón está apagado, el reloj de la ventana
    // quieto, y las monedas siguen cambiando de dibujo.
    RelojFalso reloj;
    reloj.instalar();
    bool botonDuranteParada = true, relojDuranteParada = true;
    QSet<QString> vistas;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, &w, [&] {
      botonDuranteParada = botonDuranteParada && w.BTNTIRAR->isEnabled();
      relojDuranteParada = relojDuranteParada && w.Timer1->isActive();
      vistas << Caras(w);
    });
    QTimer::singleShot(0, &w, [&] {
      botonDuranteParada = w.BTNTIRAR->isEnabled();
      relojDuranteParada = w.Timer1->isActive();
      mirar.start();
    });
    Pulsar(w.BTNTIRAR);
    mirar.stop();
    QVERIFY(!botonDuranteParada);
    QVERIFY(!relojDuranteParada);
    QVERIFY2(vistas.size() > 8, qPrintable(QString::number(vistas.size())));

    // Las tres quedan en una cara y su suma es la línea del hueco de abajo.
    const int valor = w.Monedas.ValorLinea();
    QVERIFY(valor >= 6 && valor <= 9);
    for (int i = 0; i < 3; ++i) {
      const QString e = w.Monedas.moneda[i].estado;
      QVERIFY(e == QLatin1String("cara") || e == QLatin1String("cruz"));
      QCOMPARE(w.DibujoMostrado(i), e == QLatin1String("cara") ? 0 : 4);
      QCOMPARE(w.moneda[i]->accessibleName(), QStringLiteral("Moneda %1: %2").arg(i + 1).arg(e));
    }
    QCOMPARE(w.LineasPuestas(), 1);
    QVERIFY(!w.LINEA[0]->isHidden());
    QCOMPARE(w.LINEA[0]->Picture().cacheKey(), GRAFICOS::Instancia().GRFLINEA[valor - 6].cacheKey());
    QCOMPARE(w.LINEA[0]->accessibleName(), QStringLiteral("Línea 1: %1").arg(valor));
    QCOMPARE(CurrentLines.texto(), QString::number(valor) + QStringLiteral("     "));
    QCOMPARE(w.BTNTIRAR->Tag, QStringLiteral("TIRAR MONEDAS"));
    QCOMPARE(w.BTNTIRAR->Picture().cacheKey(), GRAFICOS::Instancia().GRFarrojarParar[0].cacheKey());
    QVERIFY(w.BTNTIRAR->isEnabled());
    QVERIFY(!w.Timer1->isActive());
  }

  void conElRelojDeVerdadTambienParan() {
    FRMTirada w;
    w.show();
    Pulsar(w.BTNTIRAR);
    QTest::qWait(30);
    Pulsar(w.BTNTIRAR);
    QCOMPARE(w.LineasPuestas(), 1);
    QCOMPARE(QuitarBlancos(CurrentLines), QString::number(w.Monedas.ValorLinea()));
  }

  void seisTiradasCierranLaVentanaTrasUnaPausa() {
    CurrentLines = QStringLiteral("999999");
    CancelFlag = QString();
    RelojFalso reloj;
    reloj.instalar();
    Randomize(77);
    FRMTirada w;
    double sexta = 0, cierre = 0;
    bool botonEnPausa = true;
    Espia alPonerSexta(w.LINEA[5], QEvent::Show, [&] {
      sexta = reloj.t;
      QTimer::singleShot(0, &w, [&] { botonEnPausa = w.BTNTIRAR->isEnabled(); });
    });
    Espia alCerrar(&w, QEvent::Hide, [&] { cierre = reloj.t; });
    QString esperadas;
    AlAparecerModal([&](QWidget*) {
      for (int k = 0; k < 6; ++k) {
        Pulsar(w.BTNTIRAR); // arrojar
        for (int t = 0; t < 5; ++t)
          w.Timer1_Timer(); // unos pasos de giro libre
        Pulsar(w.BTNTIRAR); // parar
        esperadas += QString::number(w.Monedas.ValorLinea());
        if (k < 5) {
          QCOMPARE(w.LineasPuestas(), k + 1);
          QCOMPARE(QuitarBlancos(CurrentLines), esperadas);
          QVERIFY(w.isVisible());
        }
      }
    });
    w.MostrarModal();
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), esperadas);
    QCOMPARE(w.LineasPuestas(), 6);
    for (int j = 0; j < 6; ++j)
      QCOMPARE(w.LINEA[j]->Picture().cacheKey(),
               GRAFICOS::Instancia().GRFLINEA[esperadas[j].digitValue() - 6].cacheKey());
    QVERIFY(!w.BTNTIRAR->isEnabled());
    QVERIFY(!botonEnPausa);
    // Algo más de segundo y medio entre la sexta línea y el cierre.
    QVERIFY2(cierre - sexta > 1.5 && cierre - sexta < 1.55, qPrintable(QString::number(cierre - sexta)));
  }

  void cancelarMientrasGiranNoDejaNada() {
    CurrentLines = QStringLiteral("786   ");
    FRMTirada w;
    w.show();
    Pulsar(w.BTNTIRAR);
    RelojFalso reloj;
    reloj.instalar();
    Pulsar(w.BTNTIRAR); // una línea puesta
    Pulsar(w.BTNTIRAR); // y a girar otra vez
    QVERIFY(w.Timer1->isActive());
    QTRY_VERIFY(Caras(w) != QStringLiteral("000") || w.Monedas.moneda[0].estado != QLatin1String("cara"));
    MoverRatonSobre(w.BTNAUX);
    Pulsar(w.BTNAUX);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("786   "));
    const QString caras = Caras(w);
    QTest::qWait(60);
    QCOMPARE(Caras(w), caras);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("786   "));
  }

  void cancelarMientrasParanNoPoneLaLinea() {
    CurrentLines = QStringLiteral("7     ");
    RelojFalso reloj;
    reloj.instalar();
    FRMTirada w;
    w.show();
    Pulsar(w.BTNTIRAR);
    // A media parada (tras unos cuantos pasos) el usuario cancela.
    int vueltas = 0;
    QTimer mirar;
    mirar.setInterval(0);
    connect(&mirar, &QTimer::timeout, &w, [&] {
      if (++vueltas == 40) {
        mirar.stop();
        Pulsar(w.BTNAUX);
      }
    });
    mirar.start();
    Pulsar(w.BTNTIRAR);
    QCOMPARE(vueltas, 40);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.LineasPuestas(), 0);
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("7     "));
    // Quedaron monedas sin parar: la parada se cortó de verdad a medias.
    int sinParar = 0;
    for (const auto& m : w.Monedas.moneda)
      if (m.StepCountdown != TiradaMonedas::Parada)
        ++sinParar;
    QVERIFY(sinParar > 0);
    QTest::qWait(30);
    QCOMPARE(w.LineasPuestas(), 0);
  }

  void cancelarEnLaPausaFinalNoCambiaNada() {
    CurrentLines = QStringLiteral("888888");
    RelojFalso reloj;
    reloj.instalar();
    FRMTirada w;
    w.show();
    for (int k = 0; k < 5; ++k) {
      Pulsar(w.BTNTIRAR);
      Pulsar(w.BTNTIRAR);
    }
    QCOMPARE(w.LineasPuestas(), 5);
    bool enPausa = false;
    Espia alPonerSexta(w.LINEA[5], QEvent::Show, [&] {
      QTimer::singleShot(0, &w, [&] {
        enPausa = w.isVisible();
        Pulsar(w.BTNAUX);
      });
    });
    Pulsar(w.BTNTIRAR);
    Pulsar(w.BTNTIRAR);
    QVERIFY(enPausa);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("888888"));
  }

  void volverAAbrirTrasCancelarEmpiezaDeCero() {
    FRMTirada w;
    w.show();
    RelojFalso reloj;
    reloj.instalar();
    Pulsar(w.BTNTIRAR);
    Pulsar(w.BTNTIRAR);
    Pulsar(w.BTNTIRAR);
    Pulsar(w.BTNAUX);
    CurrentLines = QStringLiteral("696969");
    w.show();
    QCOMPARE(Caras(w), QStringLiteral("000"));
    QCOMPARE(w.LineasPuestas(), 0);
    QCOMPARE(w.BTNTIRAR->Tag, QStringLiteral("TIRAR MONEDAS"));
    QCOMPARE(w.BTNTIRAR->Picture().cacheKey(), GRAFICOS::Instancia().GRFarrojarParar[0].cacheKey());
    QVERIFY(w.BTNTIRAR->isEnabled());
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.SavedLines.texto(), QStringLiteral("696969"));
    // El cierre por el marco es cancelar.
    w.close();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("696969"));
  }

  void unaMonedaFueraDeSusEstadosSeAvisa() {
    FRMTirada w;
    w.show();
    for (auto& m : w.Monedas.moneda) {
      m.StepCountdown = 1;
      m.StepPeriod = 1;
    }
    w.Monedas.moneda[2].estado = QStringLiteral("rodando");
    w.Timer1_Timer();
    QCOMPARE(GuionMensajes::mostrados().size(), size_t(1));
    const MensajeMostrado& m = GuionMensajes::mostrados().front();
    QCOMPARE(m.texto, QStringLiteral("fallo gordo en TIMER1_TIMER"));
    QCOMPARE(m.botones(), int(vbOKOnly));
    QCOMPARE(m.titulo, TituloAplicacion);
    // Las demás siguen girando.
    QCOMPARE(w.DibujoMostrado(0), 1);
  }

  void elRatonDevuelveLaVentanaAlCentro() {
    FRMTirada w;
    w.show();
    // Los controles cubren todo el fondo de esta ventana: el ratón llega a
    // ella a través de Frame1 y del botón de cancelar.
    for (QWidget* sobre : {static_cast<QWidget*>(w.Frame1), static_cast<QWidget*>(w.BTNAUX)}) {
      w.move(3, 4);
      QCOMPARE(w.pos(), QPoint(3, 4));
      MoverRatonSobre(sobre);
      QCOMPARE(w.frameGeometry().topLeft(), Centro(w));
    }
  }

  // --- FRMIntroducir -------------------------------------------------------
  void unaLineaDeNueveVaAbajo() {
    CurrentLines = QStringLiteral("777777");
    FRMIntroducir w;
    w.show();
    QCOMPARE(w.LineasPuestas(), 0);
    QVERIFY(w.BTNAUX[0]->isHidden());
    QVERIFY(!w.BTNBORRAR->isEnabled());
    QCOMPARE(CurrentLines.texto(), QStringLiteral("      "));
    QTest::mousePress(w.GRFLINEA[3], Qt::LeftButton);
    QCOMPARE(w.LineasPuestas(), 1);
    QVERIFY(!w.LINEA[0]->isHidden());
    QCOMPARE(w.LINEA[0]->Picture().cacheKey(), GRAFICOS::Instancia().GRFLINEA[3].cacheKey());
    QCOMPARE(CurrentLines.texto(), QStringLiteral("9     "));
    QVERIFY(w.BTNBORRAR->isEnabled());
    QVERIFY(w.BTNAUX[0]->isHidden());
    // Cualquier botón del ratón pone la línea.
    QTest::mousePress(w.GRFLINEA[0], Qt::RightButton);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("96    "));
  }

  void seisLineasYSeAcepta() {
    FRMIntroducir w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (int k : {1, 2, 3, 0, 1, 2})
      QTest::mousePress(w.GRFLINEA[k], Qt::LeftButton);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("789678"));
    for (SSRibbon* m : w.GRFLINEA)
      QVERIFY(!m->isEnabled());
    QVERIFY(!w.BTNAUX[0]->isHidden());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.BTNAUX[0]));
    // Los selectores ya no responden.
    QTest::mousePress(w.GRFLINEA[0], Qt::LeftButton);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("789678"));
    Pulsar(w.BTNAUX[0]);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("789678"));
  }

  void quitarLaUltimaLinea() {
    FRMIntroducir w;
    w.show();
    for (int k : {1, 2, 3})
      QTest::mousePress(w.GRFLINEA[k], Qt::LeftButton);
    Pulsar(w.BTNBORRAR);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("78    "));
    QCOMPARE(w.LineasPuestas(), 2);
    QVERIFY(!w.LINEA[0]->isHidden() && !w.LINEA[1]->isHidden() && w.LINEA[2]->isHidden());
    QVERIFY(w.BTNBORRAR->isEnabled());
    // Con seis, quitar la sexta esconde el aceptar y enciende los selectores.
    for (int k : {0, 0, 0, 0})
      QTest::mousePress(w.GRFLINEA[k], Qt::LeftButton);
    QVERIFY(!w.BTNAUX[0]->isHidden());
    Pulsar(w.BTNBORRAR);
    QVERIFY(w.BTNAUX[0]->isHidden());
    for (SSRibbon* m : w.GRFLINEA)
      QVERIFY(m->isEnabled());
    QCOMPARE(CurrentLines.texto(), QStringLiteral("78666 "));
    // Quitar la única que queda deja el botón apagado y todo en blanco.
    for (int n = 0; n < 4; ++n)
      Pulsar(w.BTNBORRAR);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("7     "));
    Pulsar(w.BTNBORRAR);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("      "));
    QCOMPARE(w.LineasPuestas(), 0);
    QVERIFY(!w.BTNBORRAR->isEnabled());
  }

  void cancelarDevuelveLasLineasDeAntes() {
    CurrentLines = QStringLiteral("969696");
    FRMIntroducir w;
    w.show();
    QTest::mousePress(w.GRFLINEA[1], Qt::LeftButton);
    QTest::mousePress(w.GRFLINEA[2], Qt::LeftButton);
    Pulsar(w.BTNAUX[1]);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("969696"));
    // Al volver a abrir, el hexagrama está vacío.
    w.show();
    QCOMPARE(w.LineasPuestas(), 0);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("      "));
    for (SSRibbon* m : w.GRFLINEA)
      QVERIFY(m->isEnabled());
    w.close();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("969696"));
  }

  void conElTeclado() {
    CurrentLines = QStringLiteral("777777");
    FRMIntroducir w;
    AlAparecerModal([&](QWidget*) {
      auto tecla = [&](int k) {
        QWidget* destino = w.focusWidget() ? w.focusWidget() : static_cast<QWidget*>(&w);
        QTest::keyClick(destino, Qt::Key(k));
      };
      tecla(Qt::Key_7);
      tecla(Qt::Key_8);
      tecla(Qt::Key_9);
      QCOMPARE(CurrentLines.texto(), QStringLiteral("789   "));
      tecla(Qt::Key_Backspace);
      QCOMPARE(CurrentLines.texto(), QStringLiteral("78    "));
      tecla(Qt::Key_Return); // con menos de seis no acepta
      QVERIFY(w.isVisible());
      tecla(Qt::Key_5); // ni otras cifras ponen nada
      for (int n = 0; n < 6; ++n)
        tecla(Qt::Key_6);
      QCOMPARE(CurrentLines.texto(), QStringLiteral("786666"));
      tecla(Qt::Key_Enter);
    });
    w.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("786666"));

    AlAparecerModal([&](QWidget*) {
      QTest::keyClick(&w, Qt::Key_9);
      QTest::keyClick(&w, Qt::Key_Escape);
    });
    w.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("786666"));
  }

  void elRatonDevuelveLaConstruccionAlCentro() {
    FRMIntroducir w;
    w.show();
    for (QWidget* sobre : {static_cast<QWidget*>(w.Label1), static_cast<QWidget*>(w.BTNAUX[1])}) {
      w.move(2, 2);
      MoverRatonSobre(sobre);
      QCOMPARE(w.frameGeometry().topLeft(), Centro(w));
    }
    // El fondo, entre el rótulo y el marco de las líneas.
    w.move(2, 2);
    MoverRatonSobre(&w, QPointF(Tw(3000), Tw(720)));
    QCOMPARE(w.frameGeometry().topLeft(), Centro(w));
    // Sobre una línea ya puesta no se mueve: no es el fondo.
    w.move(2, 2);
    MoverRatonSobre(&w, QPointF(w.Frame2->geometry().center()));
    QCOMPARE(w.pos(), QPoint(2, 2));
  }

  void cadaDibujoTieneNombre() {
    FRMIntroducir w;
    FRMTirada t;
    frmconsulta c;
    for (QWidget* x : std::initializer_list<QWidget*>{w.GRFLINEA[0], w.GRFLINEA[3], w.LINEA[0], w.BTNAUX[0],
                                                      w.BTNAUX[1], t.BTNAUX, t.LINEA[5], t.moneda[1],
                                                      c.BTNAUX[0], c.BTNAUX[1], c.PREGUNTA})
      QVERIFY2(!x->accessibleName().isEmpty(), qPrintable(x->metaObject()->className()));
    t.show();
    QCOMPARE(t.BTNTIRAR->accessibleName(), QStringLiteral("Arrojar Monedas"));
  }
};

QTEST_MAIN(PruebaVentanasCasting)
#include "test_ventanas_casting.moc"
