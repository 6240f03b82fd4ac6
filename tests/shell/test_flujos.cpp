// Los flujos de las órdenes 0 a 4, de ventana en ventana, como los recorre
// el usuario: lo que queda en el estado de la consulta al completar o al
// abandonar cada uno.
#include "../casting/RelojFalso.h"
#include "apoyo/Apoyo.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "printing/FRMImprimir.h"
#include "shell/FRM256.h"
#include "shell/FRMPRINCIPAL.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// Lo que muestra la ventana de interpretación cuando aparece.
struct Vista {
  bool vista = false;
  QString pregunta, nombre, marco, decision;
};

// Mira la ventana de interpretación cuando aparezca y vuelve al menú.
void MirarInterpretacion(Vista& v, std::function<void(FRMInterpretar*)> antes = nullptr) {
  AlAparecer<FRMInterpretar>([&v, antes](FRMInterpretar* i) {
    // Pase lo que pase en la comprobación, se vuelve al menú.
    struct Volver {
      FRMInterpretar* i;
      ~Volver() {
        if (i->isVisible())
          i->BTNMENU_Click(3);
      }
    } volver{i};
    v.vista = true;
    i->activateWindow();
    QTRY_VERIFY(!i->Text1->toPlainText().isEmpty());
    v.pregunta = i->PREGUNTA->text();
    v.nombre = i->TXTHEXAGRAMA[0]->text();
    v.marco = i->CaptionHexagrama();
    v.decision = i->Text1->toPlainText();
    if (antes)
      antes(i);
    QTest::mouseClick(i->BTNMENU[3], Qt::LeftButton);
  });
}

void ElegirDelCatalogo(int fila) {
  AlAparecer<FRM64HEXAGRAMAS>([fila](FRM64HEXAGRAMAS* c) {
    c->List1->setCurrentRow(fila);
    QTest::mouseClick(c->BTNAUX[0], Qt::LeftButton);
  });
}
} // namespace

class PruebaFlujos : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMPRINCIPAL> menu_;

private slots:
  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>(true);
    PrepararEstado(false);
    FRMPRINCIPAL::SalirDelPrograma = [] {};
    FRM256::RespuestaAutomatica = 0;
    menu_ = std::make_unique<FRMPRINCIPAL>();
    QVERIFY(!menu_->Terminado());
    menu_->show();
  }
  void cleanup() {
    QCOMPARE(CancelarEsperasModales(), 0);
    menu_.reset();
    CerrarVentanasAbiertas();
    carpeta_.reset();
    FRM256::RespuestaAutomatica.reset();
  }

  // Cada ventana con el teclado: el control con el foco al abrirse, el botón que pulsa Intro
  // fuera de un botón, lo que hace Escape, y el foco que no se va a otro control (un cancelar)
  // mientras el suyo está apagado, y vuelve a él.
  void tecladoDeCadaVentana() {
    FRMPRINCIPAL& m = *menu_;
    CurrentLines = QStringLiteral("777777"); // una consulta archivada, para poder recuperarla
    ComputeComplement();
    m.Grabar->TXTUsuario->setText(QStringLiteral("ana"));
    m.Grabar->BTNAUX_Click(0);
    struct Caso {
      Formulario* w;
      QWidget* foco;
      QAbstractButton* aceptar;
      const char* trasEscape; // CancelFlag
    };
    const std::vector<Caso> casos{
        {m.Consulta, m.Consulta->PREGUNTA, m.Consulta->BTNAUX[0], "SI"},
        {m.Tirada, m.Tirada->BTNTIRAR, nullptr, "SI"},
        {m.Introducir, m.Introducir->GRFLINEA[0], m.Introducir->BTNAUX[0], "SI"},
        {m.Hexagramas64, m.Hexagramas64->List1, m.Hexagramas64->BTNAUX[0], "SI"},
        {m.Interpretar, m.Interpretar->BTNINTERPRETAR[0], nullptr, "NO"},
        {m.Grabar, m.Grabar->TXTUsuario, m.Grabar->BTNAUX[0], "NO"},
        {m.Recuperar, m.Recuperar->CMBUSUARIO, m.Recuperar->BTNAUX[0], "SI"},
        {&m.VentanaImprimir(), m.Imprimir->OPCION[1], m.Imprimir->BTNMENU[0], "NO"},
    };
    for (const Caso& c : casos) {
      // El foco, el aceptar, la ventana guarda el foco (v) y lo devuelve (f), Escape la cierra.
      QString visto;
      CancelFlag = QStringLiteral("NO");
      AlAparecerModal([&](QWidget*) {
        QWidget* f = c.w->focusWidget();
        visto = QStringLiteral("%1 %2 ")
                    .arg(f == c.foco ? "foco" : "?")
                    .arg(c.w->BotonAceptar() == c.aceptar ? "aceptar" : "?");
        f->setEnabled(false);
        visto += c.w->focusWidget() == c.w ? u'v' : u'?';
        f->setEnabled(true);
        visto += c.w->focusWidget() == f ? u'f' : u'?';
        QTest::keyClick(c.w->windowHandle(), Qt::Key_Escape);
        visto += c.w->isVisible() ? u" sigue"_s : u" "_s + CancelFlag.texto();
        if (c.w->isVisible())
          c.w->BotonCancelar()->click();
      });
      c.w->MostrarModal();
      QCOMPARE(c.w->metaObject()->className() + u": "_s + visto,
               c.w->metaObject()->className() + u": foco aceptar vf "_s + QLatin1String(c.trasEscape));
    }
  }

  void catalogoYUltimaConsulta() {
    ElegirDelCatalogo(4); // hexagrama 5
    Vista v;
    MirarInterpretacion(v);
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QVERIFY(v.vista);
    QCOMPARE(v.pregunta.trimmed(), PreguntaModoManual);
    QCOMPARE(v.nombre, QStringLiteral("5-Hsü"));
    QVERIFY(!v.decision.isEmpty());
    QCOMPARE(LastLines.texto(), QStringLiteral("777878"));
    QCOMPARE(LastQuestion.trimmed(), PreguntaModoManual);
    QVERIFY(menu_->Encendido());

    // La orden 3 vuelve a mostrar la misma consulta.
    Vista otra;
    MirarInterpretacion(otra);
    QTest::mouseClick(menu_->BTNMENU[3], Qt::LeftButton);
    QVERIFY(otra.vista);
    QCOMPARE(otra.nombre, v.nombre);
    QCOMPARE(otra.pregunta, v.pregunta);
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  void abandonarElCatalogoDevuelveLasUltimasLineas() {
    ElegirDelCatalogo(9);
    Vista v;
    MirarInterpretacion(v);
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(LastLines.texto(), QStringLiteral("778777")); // 10, Lü
    AlAparecer<FRM64HEXAGRAMAS>([](FRM64HEXAGRAMAS* c) {
      c->List1->setCurrentRow(40);
      c->List1->setCurrentRow(41);
      QTest::mouseClick(c->BTNAUX[1], Qt::LeftButton);
    });
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("778777"));
    QCOMPARE(CurrentQuestion.trimmed(), PreguntaModoManual);
  }

  void consultaConMonedasDeLaPreguntaALaInterpretacion() {
    RelojFalso reloj;
    reloj.instalar();
    AlAparecer<frmconsulta>([](frmconsulta* c) {
      c->PREGUNTA->clear();
      Escribir(c->PREGUNTA, QStringLiteral("¿qué será de mi huerto"));
      AlAparecer<FRMTirada>([](FRMTirada* t) {
        for (int tirada = 0; tirada < 6; ++tirada) {
          QTRY_VERIFY(t->BTNTIRAR->isEnabled());
          QTest::mouseClick(t->BTNTIRAR, Qt::LeftButton); // arrojar
          QTRY_VERIFY(t->BTNTIRAR->isEnabled());
          QTest::mouseClick(t->BTNTIRAR, Qt::LeftButton); // parar
        }
      });
      QTest::mouseClick(c->BTNAUX[0], Qt::LeftButton);
    });
    Vista v;
    MirarInterpretacion(v);
    QTest::mouseClick(menu_->BTNMENU[0], Qt::LeftButton);
    QVERIFY(v.vista);
    QCOMPARE(v.pregunta.trimmed(), QStringLiteral("¿QUÉ SERÁ DE MI HUERTO?"));
    QCOMPARE(v.marco, QStringLiteral("HEXAGRAMA PRINCIPAL"));
    const QString lineas = LastLines;
    QCOMPARE(QuitarBlancos(lineas).size(), 6);
    QVERIFY(HexagramNumber(lineas) >= 1);
    QCOMPARE(LastQuestion.trimmed(), QStringLiteral("¿QUÉ SERÁ DE MI HUERTO?"));
    QCOMPARE(v.nombre.section(QLatin1Char('-'), 0, 0).toInt(), HexagramNumber(lineas));

    // Abandonar la pregunta de la siguiente consulta no pierde la anterior:
    // la orden 3 la muestra otra vez, con su pregunta.
    AlAparecer<frmconsulta>([](frmconsulta* c) {
      QCOMPARE(c->PREGUNTA->toPlainText(), QStringLiteral("¿QUÉ SERÁ DE MI HUERTO?"));
      QTest::keyClicks(c->PREGUNTA, QStringLiteral(" y del pozo"));
      QTest::mouseClick(c->BTNAUX[1], Qt::LeftButton);
    });
    QTest::mouseClick(menu_->BTNMENU[0], Qt::LeftButton);
    QCOMPARE(CurrentQuestion.trimmed(), QStringLiteral("¿QUÉ SERÁ DE MI HUERTO?"));
    Vista otra;
    MirarInterpretacion(otra);
    QTest::mouseClick(menu_->BTNMENU[3], Qt::LeftButton);
    QCOMPARE(otra.pregunta, v.pregunta);
    QCOMPARE(otra.nombre, v.nombre);
    QCOMPARE(CurrentLines.texto(), lineas);
    ComputeComplement();
    QCOMPARE(ComplementLines.texto().size(), 6);
  }

  void hexagramaAManoConElTeclado() {
    AlAparecer<FRMIntroducir>([](FRMIntroducir* m) {
      for (const char tecla : {'9', '8', '7', '6', '7', '8'})
        QTest::keyClick(m, tecla);
      QTest::keyClick(m, Qt::Key_Return);
    });
    Vista v;
    MirarInterpretacion(v);
    QTest::mouseClick(menu_->BTNMENU[1], Qt::LeftButton);
    QVERIFY(v.vista);
    QCOMPARE(LastLines.texto(), QStringLiteral("987678"));
    QCOMPARE(LastQuestion.trimmed(), PreguntaModoManual);
    QCOMPARE(ComplementLines.texto(), QStringLiteral("887778"));

    // Abandonado: la pregunta queda en modo manual y las líneas como estaban.
    CurrentLines = QStringLiteral("777777");
    AlAparecer<FRMIntroducir>([](FRMIntroducir* m) {
      QTest::keyClick(m, '6');
      QTest::keyClick(m, Qt::Key_Escape);
    });
    QTest::mouseClick(menu_->BTNMENU[1], Qt::LeftButton);
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto() + CurrentQuestion.trimmed(),
             QStringLiteral("SI777777") + PreguntaModoManual);
  }

  void archivarYRecuperarUnaConsulta() {
    // Se elige el 63 y se archiva desde la ventana de interpretación.
    ElegirDelCatalogo(62);
    Vista v;
    MirarInterpretacion(v, [](FRMInterpretar* i) {
      AlAparecer<FRMGrabar>([](FRMGrabar* g) {
        Escribir(g->TXTUsuario, QStringLiteral("  marta "));
        QTest::mouseClick(g->BTNAUX[0], Qt::LeftButton);
      });
      QTest::mouseClick(i->BTNMENU[1], Qt::LeftButton);
      QCOMPARE(i->CaptionHexagrama(), QStringLiteral("HEXAGRAMA PRINCIPAL"));
    });
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QVERIFY(QFile::exists(carpeta_->fichero(QStringLiteral("usuarios.dat"))));

    // Otra consulta después, para que la recuperada se note.
    ElegirDelCatalogo(0);
    Vista primera;
    MirarInterpretacion(primera);
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(LastLines.texto(), QStringLiteral("777777"));

    AlAparecer<FRMRecuperar>([](FRMRecuperar* r) {
      QCOMPARE(r->CMBUSUARIO->count(), 1);
      QCOMPARE(r->CMBUSUARIO->itemText(0).trimmed(), QStringLiteral("MARTA"));
      QTest::mouseClick(r->BTNAUX[0], Qt::LeftButton);
    });
    Vista recuperada;
    MirarInterpretacion(recuperada);
    QTest::mouseClick(menu_->BTNMENU[4], Qt::LeftButton);
    QVERIFY(recuperada.vista);
    QCOMPARE(recuperada.nombre, QStringLiteral("63-Chi Chi"));
    QCOMPARE(recuperada.pregunta.trimmed(), PreguntaModoManual);
    // La recuperada pasa a ser la última consulta.
    QCOMPARE(LastLines.texto(), QStringLiteral("787878"));
    Vista otra;
    MirarInterpretacion(otra);
    QTest::mouseClick(menu_->BTNMENU[3], Qt::LeftButton);
    QCOMPARE(otra.nombre, QStringLiteral("63-Chi Chi"));

    // Abandonar la recuperación devuelve la última consulta.
    AlAparecer<FRMRecuperar>([](FRMRecuperar* r) { QTest::mouseClick(r->BTNAUX[1], Qt::LeftButton); });
    CurrentLines = QStringLiteral("888888");
    QTest::mouseClick(menu_->BTNMENU[4], Qt::LeftButton);
    QCOMPARE(CurrentLines.texto(), QStringLiteral("787878"));
  }

  void unRegistroDanadoSeAbreSinHexagrama() {
    QByteArray r(160, '\0');
    r.replace(0, 4, "0001");
    r.replace(5, 30, QByteArray("ANA").leftJustified(30, ' '));
    r.replace(36, 100, QByteArray("\xBFROTA?").leftJustified(100, ' '));
    r.replace(137, 6,
              QByteArray("7x\x01"
                         "99",
                         6));
    QFile f(carpeta_->fichero(QStringLiteral("usuarios.dat")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(r);
    f.close();
    AlAparecer<FRMRecuperar>([](FRMRecuperar* w) { QTest::mouseClick(w->BTNAUX[0], Qt::LeftButton); });
    bool visto = false;
    QString nombre, trigrama, decision;
    int lineasDisponibles = 0;
    AlAparecer<FRMInterpretar>([&](FRMInterpretar* i) {
      visto = true;
      WaitTicks(10);
      nombre = i->TXTHEXAGRAMA[0]->text();
      trigrama = i->TXTTRIGRAMA[0]->text();
      decision = i->Text1->toPlainText();
      for (int b = 3; b <= 8; ++b)
        lineasDisponibles += i->BTNINTERPRETAR[size_t(b)]->isEnabled() ? 1 : 0;
      i->BTNMENU_Click(3);
    });
    QTest::mouseClick(menu_->BTNMENU[4], Qt::LeftButton);
    QVERIFY(visto);
    QCOMPARE(nombre, QString());
    QCOMPARE(trigrama, QString());
    QCOMPARE(decision, QString());
    QCOMPARE(lineasDisponibles, 0);
    QVERIFY(menu_->Encendido());
  }

  void laInterpretacionAbreLaVentanaDeImprimir() {
    ElegirDelCatalogo(1);
    bool impresion = false;
    Vista v;
    MirarInterpretacion(v, [&impresion](FRMInterpretar* i) {
      AlAparecer<FRMImprimir>([&impresion](FRMImprimir* p) {
        impresion = true;
        // Sin líneas cambiantes sólo se puede imprimir el actual.
        QVERIFY(!p->OPCION[0]->isEnabled());
        QVERIFY(p->OPCION[1]->isChecked());
        QTest::mouseClick(p->BTNMENU[3], Qt::LeftButton);
      });
      QTest::mouseClick(i->BTNMENU[2], Qt::LeftButton);
    });
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    QVERIFY(impresion);
    QVERIFY(menu_->Imprimir != nullptr);
  }
};

QTEST_MAIN(PruebaFlujos)
#include "test_flujos.moc"
