// Los flujos de las órdenes 0 a 4, de ventana en ventana, como los recorre el usuario: lo que queda
// en el estado de la consulta al completar o al abandonar cada uno.
#include "apoyo/Apoyo.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "core/Hexagrama.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "printing/FRMImprimir.h"
#include "shell/FRM256.h"
#include "shell/FRMPRINCIPAL.h"

#include <QRadioButton>

namespace {
// Cuando aparezca la interpretación, deja en `visto` "pregunta | marco nombre", hace `antes` y vuelve.
void MirarInterpretacion(QString& visto, std::function<void(FRMInterpretar*)> antes = nullptr) {
  AlAparecer<FRMInterpretar>([&visto, antes](FRMInterpretar* i) {
    const auto volver = qScopeGuard([i] { Pulsar(i->BTNMENU[3]); });
    i->activateWindow();
    QTRY_VERIFY(!i->Text1->toPlainText().isEmpty());
    visto =
        i->PREGUNTA->text().trimmed() + u" | "_s + i->CaptionHexagrama() + u' ' + i->TXTHEXAGRAMA[0]->text();
    if (antes)
      antes(i);
  });
}

} // namespace

class PruebaFlujos : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMPRINCIPAL> menu_;

  bool archivar(const QByteArray& registros) {
    QFile f(carpeta_->fichero(u"usuarios.dat"_s));
    return f.open(QIODevice::WriteOnly) && f.write(registros) == registros.size();
  }

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

  // El foco al abrirse, el botón de Intro, Escape, y el foco que no se va a otro control (un
  // cancelar) mientras el suyo está apagado, y vuelve a él.
  void tecladoDeCadaVentana() {
    FRMPRINCIPAL& m = *menu_;
    QVERIFY(archivar(ArchiveRecord::Nuevo(u"ANA"_s, u"¿Y?"_s, u"777777"_s, u"05/03/1998"_s).Bytes()));
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
      QString visto;
      CancelFlag = u"NO"_s;
      AlAparecerModal([&](QWidget*) {
        QWidget* f = c.w->focusWidget();
        visto =
            u"%1 %2 "_s.arg(f == c.foco ? "foco" : "?", c.w->BotonAceptar() == c.aceptar ? "aceptar" : "?");
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

  // La recuperada pasa a ser la última, con su pregunta y su complementario (el del botón de cambio
  // y el de imprimir los dos); una dañada se abre sin hexagrama; abandonar devuelve la última.
  void archivarYRecuperar() {
    const QString fecha = u"05/03/1998"_s;
    QByteArray danado = ArchiveRecord::Nuevo(u"ZOE"_s, u"¿ROTA?"_s, u"777777"_s, fecha).Bytes();
    danado.replace(137, 6, QByteArray::fromHex("377801393900")); // líneas «7x», un control, «99» y un nulo
    QVERIFY(archivar(ArchiveRecord::Nuevo(u"ANA"_s, u"¿VOLVERÁ LA LLUVIA?"_s, u"969696"_s, fecha).Bytes() +
                     ArchiveRecord::Nuevo(u"LUIS"_s, u"¿Y EL HUERTO?"_s, u"777888"_s, fecha).Bytes() +
                     danado));
    AlAparecer<FRM64HEXAGRAMAS>([](FRM64HEXAGRAMAS* c) {
      c->List1->setCurrentRow(62);
      Pulsar(c->BTNAUX[0]);
    });
    QString visto, marco;
    MirarInterpretacion(visto, [&marco](FRMInterpretar* i) {
      AlAparecer<FRMGrabar>([](FRMGrabar* g) {
        Escribir(g->TXTUsuario, u"  marta "_s);
        Pulsar(g->BTNAUX[0]);
      });
      Pulsar(i->BTNMENU[1]);
      marco = i->CaptionHexagrama();
    });
    Pulsar(menu_->BTNMENU[2]);
    QCOMPARE(
        visto + u' ' + marco,
        u"NO SE HA REALIZADO CONSULTA (elegido de la lista) | HEXAGRAMA PRINCIPAL 63-Chi Chi HEXAGRAMA PRINCIPAL"_s);
    QCOMPARE(LastLines.texto() + LastQuestion.trimmed(), u"787878"_s + PreguntaCatalogo);
    // La pregunta y las líneas de la última, si se ofrecen los dos, el de cambio y un «!» por mensaje.
    const auto elegir = [](int registro) {
      AlAparecer<FRMRecuperar>([registro](FRMRecuperar* r) {
        QCOMPARE(r->CMBUSUARIO->currentText(), u"MARTA"_s); // quien grabó la última
        QTest::keyClick(r->CMBUSUARIO, Qt::Key_Home);       // «(Todos)»; después, una persona por consulta
        for (int k = 0; k <= registro; ++k)
          QTest::keyClick(r->CMBUSUARIO, Qt::Key_Down);
        Pulsar(r->BTNAUX[0]);
      });
    };
    const auto recuperar = [&](int registro) {
      elegir(registro);
      QString cambio;
      MirarInterpretacion(visto, [&cambio](FRMInterpretar* i) {
        AlAparecer<FRMImprimir>([&cambio](FRMImprimir* p) {
          cambio += p->OPCION[0]->isEnabled() ? u"los dos"_s : u"uno"_s;
          Pulsar(p->BTNMENU[3]);
        });
        Pulsar(i->BTNMENU[2]);
        Pulsar(i->BTNMENU[0]);
        cambio += u", "_s + i->CaptionHexagrama() + u' ' + i->TXTHEXAGRAMA[0]->text();
      });
      const auto mensajes = GuionMensajes::mostrados().size();
      Pulsar(menu_->BTNMENU[4]);
      const QString pregunta = visto.section(u" | "_s, 0, 0);
      return (pregunta == LastQuestion.trimmed() ? pregunta : u"?"_s) + u' ' + LastLines.texto() + u": "_s +
             cambio + QString(int(GuionMensajes::mostrados().size() - mensajes), u'!');
    };
    QCOMPARE(recuperar(0), u"¿VOLVERÁ LA LLUVIA? 969696: los dos, HEXAGRAMA COMPLEMENTARIO 64-Wei Chi"_s);
    QCOMPARE(recuperar(1), u"¿Y EL HUERTO? 777888: uno, HEXAGRAMA PRINCIPAL 11-T'ai!"_s);
    QCOMPARE(recuperar(2), PreguntaCatalogo + u" 787878: uno, HEXAGRAMA PRINCIPAL 63-Chi Chi!"_s);

    elegir(3);
    AlAparecer<FRMInterpretar>([&](FRMInterpretar* i) {
      WaitTicks(10);
      visto = i->TXTHEXAGRAMA[0]->text() + u'|' + i->TXTTRIGRAMA[0]->text() + u'|' + i->Text1->toPlainText() +
              u'|';
      for (int b = 3; b <= 8; ++b) // los botones de las líneas
        visto += i->BTNINTERPRETAR[size_t(b)]->isEnabled() ? u'L' : u'-';
      i->BTNMENU_Click(3);
    });
    Pulsar(menu_->BTNMENU[4]);
    QCOMPARE(visto, u"|||------"_s);

    AlAparecer<FRMRecuperar>([](FRMRecuperar* r) { Pulsar(r->BTNAUX[1]); });
    CurrentLines = u"888888"_s;
    Pulsar(menu_->BTNMENU[4]);
    QCOMPARE(CurrentLines.texto(), LastLines.texto());
  }

  // Una consulta con monedas llega a la interpretación con su pregunta arreglada y su complementario.
  // Abandonar cada orden a medias deja la pregunta y las líneas como manda su flujo, aunque antes no
  // fueran las de la última consulta, y la orden 3 vuelve a mostrar la consulta con monedas.
  void consultaConMonedasYCadaAbandono() {
    RelojFalso reloj;
    Randomize(7);
    AlAparecer<frmconsulta>([](frmconsulta* c) {
      c->PREGUNTA->clear();
      Escribir(c->PREGUNTA, u"¿lloverá"_s);
      AlAparecer<FRMTirada>([](FRMTirada* t) {
        for (int clic = 0; clic < 12; ++clic) { // arrojar y parar, seis veces
          QTRY_VERIFY(t->BTNTIRAR->isEnabled());
          Pulsar(t->BTNTIRAR);
        }
      });
      Pulsar(c->BTNAUX[0]);
    });
    QString visto, cambio;
    MirarInterpretacion(visto, [&cambio](FRMInterpretar* i) {
      Pulsar(i->BTNMENU[0]);
      cambio = i->CaptionHexagrama() + u' ' + i->TXTHEXAGRAMA[0]->text();
    });
    Pulsar(menu_->BTNMENU[0]);
    const QString lineas = LastLines;
    const QString complementario = QString(lineas).replace(u'6', u'7').replace(u'9', u'8');
    QVERIFY2(complementario != lineas, qPrintable(lineas));
    const int n = HexagramNumber(complementario), p = HexagramNumber(lineas);
    QCOMPARE(visto, u"¿LLOVERÁ? | HEXAGRAMA PRINCIPAL %1-%2"_s.arg(p).arg(HexagramList[p][4]));
    QCOMPARE(cambio, u"HEXAGRAMA COMPLEMENTARIO %1-%2"_s.arg(n).arg(HexagramList[n][4]));

    // Lo que se hace en la ventana de la orden (sin archivo, la recuperación avisa y se cierra sola).
    const auto cancelar = [](QWidget* w) { Pulsar(static_cast<Formulario*>(w)->BotonCancelar()); };
    const std::vector<std::tuple<int, std::function<void(QWidget*)>, QString>> abandonos{
        {0, cancelar, u"¿LLOVERÁ?|888888"_s},
        {0,
         [](QWidget* c) {
           AlAparecer<FRMTirada>([](FRMTirada* t) { Pulsar(t->BTNAUX); });
           Escribir(static_cast<frmconsulta*>(c)->PREGUNTA, u" y mañana"_s);
           Pulsar(static_cast<frmconsulta*>(c)->BTNAUX[0]);
         },
         u"¿LLOVERÁ?|888888"_s},
        {1, cancelar, PreguntaModoManual + u"|888888"_s},
        {2,
         [cancelar](QWidget* c) {
           static_cast<FRM64HEXAGRAMAS*>(c)->List1->setCurrentRow(41);
           cancelar(c);
         },
         PreguntaCatalogo + u"|"_s + lineas},
        {4, nullptr, u"¿LLOVERÁ?|"_s + lineas + u" NO EXISTEN CONSULTAS ARCHIVADAS"_s}};
    for (const auto& [orden, abandonar, esperado] : abandonos) {
      CurrentQuestion = u"¿OTRA COSA?"_s;
      CurrentLines = u"888888"_s;
      GuionMensajes::limpiar();
      if (abandonar)
        AlAparecerModal(abandonar);
      Pulsar(menu_->BTNMENU[size_t(orden)]);
      QString queda = QuitarBlancosDerecha(CurrentQuestion) + u'|' + CurrentLines.texto();
      for (const auto& m : GuionMensajes::mostrados())
        queda += u' ' + m.texto;
      QCOMPARE(queda, esperado);
      QCOMPARE(CancelFlag.texto(), u"SI"_s);
      QVERIFY(menu_->Encendido());
    }
    const QString consulta = visto;
    MirarInterpretacion(visto);
    Pulsar(menu_->BTNMENU[3]);
    QCOMPARE(visto, consulta);
    // Y un hexagrama a mano, con el teclado, pasa a ser la última consulta.
    AlAparecer<FRMIntroducir>([](FRMIntroducir* m) { Escribir(m, u"987678\n"_s); });
    MirarInterpretacion(visto);
    Pulsar(menu_->BTNMENU[1]);
    QCOMPARE(visto, PreguntaModoManual + u" | HEXAGRAMA PRINCIPAL 63-Chi Chi"_s);
    QCOMPARE(LastLines.texto() + ComplementLines.texto() + LastQuestion.trimmed(),
             u"987678887778"_s + PreguntaModoManual);
  }
};

QTEST_MAIN(PruebaFlujos)
#include "test_flujos.moc"
