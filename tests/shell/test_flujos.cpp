// Los flujos de las órdenes 0 a 4, de ventana en ventana, como los recorre
// el usuario: lo que queda en el estado de la consulta al completar o al
// abandonar cada uno.
#include "../casting/RelojFalso.h"
#include "apoyo/Apoyo.h"
#include "archive/ArchivoConsultas.h"
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

  // Una consulta recuperada trae su propio complementario, que el botón de
  // cambio y la impresión de los dos usan, venga de una consulta con líneas
  // que cambian o sin ellas; y su pregunta, que la orden 3 vuelve a mostrar
  // aunque en medio se abandone un hexagrama a mano.
  void recuperadaConSuComplementarioYSuPregunta() {
    QFile f(carpeta_->fichero(QStringLiteral("usuarios.dat")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    const QString fecha = QStringLiteral("05/03/1998");
    f.write(ArchiveRecord::Nuevo(QStringLiteral("ANA"), QStringLiteral("¿VOLVERÁ LA LLUVIA?"),
                                 QStringLiteral("969696"), fecha)
                .Bytes() +
            ArchiveRecord::Nuevo(QStringLiteral("LUIS"), QStringLiteral("¿Y EL HUERTO?"),
                                 QStringLiteral("777888"), fecha)
                .Bytes());
    f.close();
    ElegirDelCatalogo(0); // antes, una consulta sin líneas que cambian
    Vista v;
    MirarInterpretacion(v);
    QTest::mouseClick(menu_->BTNMENU[2], Qt::LeftButton);
    // Lo que se ve tras pulsar el botón de cambio, y si imprimir los dos se ofrece.
    const auto recuperar = [&](int registro) {
      AlAparecer<FRMRecuperar>([registro](FRMRecuperar* r) {
        for (int k = 0; k < registro; ++k)
          QTest::keyClick(r->CMBUSUARIO, Qt::Key_Down);
        QTest::mouseClick(r->BTNAUX[0], Qt::LeftButton);
      });
      QString visto;
      Vista recuperada;
      MirarInterpretacion(recuperada, [&visto](FRMInterpretar* i) {
        AlAparecer<FRMImprimir>([&visto](FRMImprimir* p) {
          visto += p->OPCION[0]->isEnabled() ? QStringLiteral("los dos") : QStringLiteral("uno");
          QTest::mouseClick(p->BTNMENU[3], Qt::LeftButton);
        });
        QTest::mouseClick(i->BTNMENU[2], Qt::LeftButton);
        QTest::mouseClick(i->BTNMENU[0], Qt::LeftButton);
        visto +=
            QStringLiteral(", ") + i->CaptionHexagrama() + QStringLiteral(" ") + i->TXTHEXAGRAMA[0]->text();
      });
      const auto mensajes = GuionMensajes::mostrados().size();
      QTest::mouseClick(menu_->BTNMENU[4], Qt::LeftButton);
      return recuperada.pregunta + QStringLiteral(": ") + visto +
             QString(int(GuionMensajes::mostrados().size() - mensajes), QLatin1Char('!'));
    };
    QCOMPARE(recuperar(0),
             QStringLiteral("¿VOLVERÁ LA LLUVIA?: los dos, HEXAGRAMA COMPLEMENTARIO 64-Wei Chi"));
    QCOMPARE(recuperar(1), QStringLiteral("¿Y EL HUERTO?: uno, HEXAGRAMA PRINCIPAL 11-T'ai!"));

    AlAparecer<FRMIntroducir>([](FRMIntroducir* m) {
      QTest::mousePress(m->GRFLINEA[0], Qt::LeftButton);
      QTest::mouseClick(m->BTNAUX[1], Qt::LeftButton);
    });
    QTest::mouseClick(menu_->BTNMENU[1], Qt::LeftButton);
    Vista otra;
    MirarInterpretacion(otra);
    QTest::mouseClick(menu_->BTNMENU[3], Qt::LeftButton);
    QCOMPARE(otra.pregunta + QStringLiteral(" ") + otra.nombre, QStringLiteral("¿Y EL HUERTO? 11-T'ai"));
  }

  // Una consulta con monedas llega a la interpretación con su pregunta
  // arreglada y su complementario. Después, abandonar cada orden a medias deja
  // la pregunta y las líneas como manda su flujo, aunque antes no fueran las de
  // la última consulta, y la orden 3 vuelve a mostrar la consulta con monedas.
  void consultaConMonedasYCadaAbandono() {
    RelojFalso reloj;
    reloj.instalar();
    Randomize(7);
    AlAparecer<frmconsulta>([](frmconsulta* c) {
      c->PREGUNTA->clear();
      Escribir(c->PREGUNTA, QStringLiteral("¿lloverá"));
      AlAparecer<FRMTirada>([](FRMTirada* t) {
        for (int clic = 0; clic < 12; ++clic) { // arrojar y parar, seis veces
          QTRY_VERIFY(t->BTNTIRAR->isEnabled());
          QTest::mouseClick(t->BTNTIRAR, Qt::LeftButton);
        }
      });
      QTest::mouseClick(c->BTNAUX[0], Qt::LeftButton);
    });
    QString cambio;
    Vista v;
    MirarInterpretacion(v, [&cambio](FRMInterpretar* i) {
      QTest::mouseClick(i->BTNMENU[0], Qt::LeftButton);
      cambio = i->CaptionHexagrama() + QStringLiteral(" ") + i->TXTHEXAGRAMA[0]->text();
    });
    QTest::mouseClick(menu_->BTNMENU[0], Qt::LeftButton);
    const QString lineas = LastLines;
    const QString complementario = QString(lineas)
                                       .replace(QLatin1Char('6'), QLatin1Char('7'))
                                       .replace(QLatin1Char('9'), QLatin1Char('8'));
    QVERIFY2(complementario != lineas, qPrintable(lineas));
    const int n = HexagramNumber(complementario), p = HexagramNumber(lineas);
    QCOMPARE(v.pregunta + QLatin1Char(' ') + v.marco + QLatin1Char(' ') + v.nombre,
             QStringLiteral("¿LLOVERÁ? HEXAGRAMA PRINCIPAL %1-%2").arg(p).arg(HexagramList[p][4]));
    QCOMPARE(cambio, QStringLiteral("HEXAGRAMA COMPLEMENTARIO %1-%2").arg(n).arg(HexagramList[n][4]));

    const auto cancelar = [](QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); };
    QString ofrecida;
    const QString manual = PreguntaModoManual + QStringLiteral("|888888");
    const std::vector<std::tuple<int, std::function<void()>, QString>> abandonos{
        {0,
         [&] {
           AlAparecer<frmconsulta>([&](frmconsulta* c) {
             ofrecida = c->PREGUNTA->toPlainText();
             cancelar(c->BTNAUX[1]);
           });
         },
         QStringLiteral("¿LLOVERÁ?|888888")},
        {0,
         [&] {
           AlAparecer<frmconsulta>([&](frmconsulta* c) {
             AlAparecer<FRMTirada>([&](FRMTirada* t) { cancelar(t->BTNAUX); });
             Escribir(c->PREGUNTA, QStringLiteral(" y mañana"));
             cancelar(c->BTNAUX[0]);
           });
         },
         QStringLiteral("¿LLOVERÁ?|888888")},
        {1, [&] { AlAparecer<FRMIntroducir>([&](FRMIntroducir* m) { cancelar(m->BTNAUX[1]); }); }, manual},
        {2,
         [&] {
           AlAparecer<FRM64HEXAGRAMAS>([&](FRM64HEXAGRAMAS* c) {
             c->List1->setCurrentRow(41);
             cancelar(c->BTNAUX[1]);
           });
         },
         PreguntaModoManual + QStringLiteral("|") + lineas},
        // Sin archivo, la recuperación avisa y se cierra sola.
        {4, [] {},
         QStringLiteral("¿LLOVERÁ?|") + lineas + QStringLiteral(" NO EXITEN CONSULTAS ARCHIVADAS")}};
    for (const auto& [orden, abandonar, esperado] : abandonos) {
      CurrentQuestion = QStringLiteral("¿OTRA COSA?");
      CurrentLines = QStringLiteral("888888");
      GuionMensajes::limpiar();
      abandonar();
      QTest::mouseClick(menu_->BTNMENU[size_t(orden)], Qt::LeftButton);
      QString visto = QuitarBlancosDerecha(CurrentQuestion) + QLatin1Char('|') + CurrentLines.texto();
      for (const auto& m : GuionMensajes::mostrados())
        visto += QLatin1Char(' ') + m.texto;
      QCOMPARE(visto, esperado);
      QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
      QVERIFY(menu_->Encendido());
    }
    QCOMPARE(ofrecida, QStringLiteral("¿LLOVERÁ?"));
    Vista otra;
    MirarInterpretacion(otra);
    QTest::mouseClick(menu_->BTNMENU[3], Qt::LeftButton);
    QCOMPARE(otra.pregunta + QLatin1Char(' ') + otra.nombre, v.pregunta + QLatin1Char(' ') + v.nombre);
  }
};

QTEST_MAIN(PruebaFlujos)
#include "test_flujos.moc"
