// Los flujos de las órdenes 0 a 4, de ventana en ventana, como los recorre el usuario: lo que queda
// en el estado de la consulta al completar o al abandonar cada uno.
#include "apoyo/Apoyo.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "archive/UltimaConsulta.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "core/Hexagrama.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "pictures/GRAFICOS.h"
#include "printing/FRMImprimir.h"
#include "shell/FRM256.h"
#include "shell/FRMPRINCIPAL.h"

#include <QRadioButton>
#include <QRegularExpression>

namespace {
// El marco, el nombre y las seis líneas dibujadas (de la 1 a la 6) de la interpretación.
QString Hexagrama(FRMInterpretar* i) {
  QString r = i->CaptionHexagrama() + u' ' + i->TXTHEXAGRAMA[0]->text() + u' ';
  for (const BotonImagen* l : i->LINEA)
    r += l->isVisibleTo(i) ? ValorDibujado(l->Picture(), GRAFICOS::Instancia().GRFLINEAm) : u'-';
  return r;
}

// Cuando aparezca la interpretación, deja en `visto` "pregunta | hexagrama", hace `antes` y vuelve.
void MirarInterpretacion(QString& visto, std::function<void(FRMInterpretar*)> antes = nullptr) {
  AlAparecer<FRMInterpretar>([&visto, antes](FRMInterpretar* i) {
    const auto volver = qScopeGuard([i] { Pulsar(i->BTNMENU[3]); });
    i->activateWindow();
    QTRY_VERIFY(!i->Text1->toPlainText().isEmpty());
    visto = i->PREGUNTA->text().trimmed() + u" | "_s + Hexagrama(i);
    if (antes)
      antes(i);
  });
}

// El número de un hexagrama dibujado como "… 12-P'i 888777".
int Numero(const QString& hexagrama) {
  return QRegularExpression(u" (\\d+)-"_s).match(hexagrama).captured(1).toInt();
}
} // namespace

class PruebaFlujos : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMPRINCIPAL> menu_;

  bool archivar(const QByteArray& registros) {
    return EscribirTodo(carpeta_->fichero(u"usuarios.dat"_s), registros);
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

  // El foco al abrirse, adónde lo llevan Tab y Mayúsculas+Tab, el botón de Intro, Escape, y el foco que
  // no se va a otro control (un cancelar) mientras el suyo está apagado, y vuelve a él.
  void tecladoDeCadaVentana() {
    FRMPRINCIPAL& m = *menu_;
    QVERIFY(archivar(ArchiveRecord::Nuevo(u"ANA"_s, u"¿Y?"_s, u"777777"_s, u"05/03/1998"_s).Bytes()));
    struct Caso {
      Formulario* w;
      QWidget *foco, *trasTab;
      QAbstractButton* aceptar;
      const char* trasEscape; // CancelFlag
    };
    const std::vector<Caso> casos{
        {m.Consulta, m.Consulta->PREGUNTA, m.Consulta->BTNAUX[1], m.Consulta->BTNAUX[0], "SI"},
        {m.Tirada, m.Tirada->BTNTIRAR, m.Tirada->BTNAUX, nullptr, "SI"},
        {m.Introducir, m.Introducir->GRFLINEA[0], m.Introducir->GRFLINEA[1], m.Introducir->BTNAUX[0], "SI"},
        {m.Hexagramas64, m.Hexagramas64->List1, m.Hexagramas64->BTNAUX[0], m.Hexagramas64->BTNAUX[0], "SI"},
        {m.Interpretar, m.Interpretar->BTNINTERPRETAR[0], m.Interpretar->BTNINTERPRETAR[1], nullptr, "NO"},
        {m.Grabar, m.Grabar->TXTUsuario, m.Grabar->BTNAUX[1], m.Grabar->BTNAUX[0], "NO"},
        {m.Recuperar, m.Recuperar->CMBUSUARIO, m.Recuperar->CMBCONSULTA, m.Recuperar->BTNAUX[0], "SI"},
        {&m.VentanaImprimir(), m.Imprimir->OPCION[1], m.Imprimir->BTNMENU[1], m.Imprimir->BTNMENU[0], "NO"},
    };
    for (const Caso& c : casos) {
      QString visto;
      CancelFlag = u"NO"_s;
      AlAparecerModal([&](QWidget*) {
        QWidget* f = c.w->focusWidget();
        visto =
            u"%1 %2 "_s.arg(f == c.foco ? "foco" : "?", c.w->BotonAceptar() == c.aceptar ? "aceptar" : "?");
        QTest::keyClick(c.w->windowHandle(), Qt::Key_Tab);
        visto += c.w->focusWidget() == c.trasTab ? u't' : u'?';
        QTest::keyClick(c.w->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
        visto += c.w->focusWidget() == f ? u"t "_s : u"? "_s;
        f->setEnabled(false);
        visto += c.w->focusWidget() == c.w ? u'v' : u'?';
        f->setEnabled(true);
        visto += c.w->focusWidget() == f ? u'f' : u'?';
        QTest::keyClick(c.w->windowHandle(), Qt::Key_Escape);
        visto += c.w->isVisible() ? u" sigue"_s : u" "_s + CancelFlag.texto();
      });
      c.w->MostrarModal();
      QCOMPARE(c.w->metaObject()->className() + u": "_s + visto,
               c.w->metaObject()->className() + u": foco aceptar tt vf "_s + QLatin1String(c.trasEscape));
    }
  }

  // Cada dibujo de cada ventana se ve entero, a su tamaño y nítido, también los de las líneas puestas.
  void dibujosASuTamano() {
    FRMPRINCIPAL& m = *menu_;
    QVERIFY(archivar(ArchiveRecord::Nuevo(u"ANA"_s, u"¿Y?"_s, u"967896"_s, u"05/03/1998"_s).Bytes()));
    CurrentLines = u"967896"_s;
    FRM256::RespuestaAutomatica.reset();
    FRM256 aviso;
    aviso.show();
    QTRY_VERIFY(aviso.isEnabled());
    QStringList noCaben = DibujosQueNoCaben(&aviso) + DibujosQueNoCaben(&m);
    for (Formulario* w :
         std::initializer_list<Formulario*>{m.Consulta, m.Tirada, m.Introducir, m.Hexagramas64, m.Interpretar,
                                            m.Grabar, m.Recuperar, &m.VentanaImprimir()}) {
      w->show();
      for (int k = 0; k < 5; ++k) // sin llegar a seis, que apagan lo que las pone
        w == m.Tirada       ? m.Tirada->ponerlinea()
        : w == m.Introducir ? m.Introducir->grflinea_MouseDown(k % 4)
                            : void();
      noCaben += DibujosQueNoCaben(w);
      w->hide();
    }
    QCOMPARE(noCaben, QStringList());
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
    QCOMPARE(visto + u' ' + marco,
             u"NO SE HA REALIZADO CONSULTA (elegido de la lista) | HEXAGRAMA PRINCIPAL 63-Chi Chi 787878 "
             u"HEXAGRAMA PRINCIPAL"_s);
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

  // Una consulta con monedas llega a la interpretación con su pregunta arreglada, las líneas que dieron
  // las monedas al pararse (dos por cara y tres por cruz) y su complementario. Abandonar cada orden a
  // medias deja la pregunta y las líneas como manda su flujo, aunque antes no fueran las de la última
  // consulta, y la orden 3 vuelve a mostrar la consulta con monedas.
  void consultaConMonedasYCadaAbandono() {
    RelojFalso reloj;
    Randomize(7);
    QString tiradas;
    AlAparecer<frmconsulta>([&tiradas](frmconsulta* c) {
      c->PREGUNTA->clear();
      Escribir(c->PREGUNTA, u"¿lloverá"_s);
      AlAparecer<FRMTirada>([&tiradas](FRMTirada* t) {
        for (int clic = 0; clic < 12; ++clic) { // arrojar y parar, seis veces
          QTRY_VERIFY(t->BTNTIRAR->isEnabled());
          Pulsar(t->BTNTIRAR);
          if (clic % 2) // las caras que quedan a la vista: «cara» (dibujo 0) o «cruz» (4)
            tiradas +=
                QString::number(6 + (t->DibujoMostrado(0) + t->DibujoMostrado(1) + t->DibujoMostrado(2)) / 4);
        }
      });
      Pulsar(c->BTNAUX[0]);
    });
    QString visto, cambio;
    MirarInterpretacion(visto, [&cambio](FRMInterpretar* i) {
      Pulsar(i->BTNMENU[0]);
      cambio = Hexagrama(i);
    });
    Pulsar(menu_->BTNMENU[0]);
    const QString complementario = QString(tiradas).replace(u'6', u'7').replace(u'9', u'8');
    QVERIFY2(complementario != tiradas && tiradas.size() == 6, qPrintable(tiradas));
    QCOMPARE(visto.section(u' ', 0, 3) + visto.section(u' ', -1),
             u"¿LLOVERÁ? | HEXAGRAMA PRINCIPAL"_s + tiradas);
    QCOMPARE(Numero(visto), HexagramNumber(tiradas));
    QCOMPARE(cambio.section(u' ', 0, 1) + cambio.section(u' ', -1),
             u"HEXAGRAMA COMPLEMENTARIO"_s + complementario);
    QCOMPARE(Numero(cambio), HexagramNumber(complementario));

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
         PreguntaCatalogo + u"|"_s + tiradas},
        {4, nullptr, u"¿LLOVERÁ?|"_s + tiradas + u" NO EXISTEN CONSULTAS ARCHIVADAS"_s}};
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
    QCOMPARE(visto, PreguntaModoManual + u" | HEXAGRAMA PRINCIPAL 63-Chi Chi 987678"_s);
    QCOMPARE(LastLines.texto() + ComplementLines.texto() + LastQuestion.trimmed(),
             u"987678887778"_s + PreguntaModoManual);
  }

  // La última consulta sigue ahí al volver a abrir KORVAL, con su fecha, en un fichero nuestro sólo para
  // su dueño. Uno dañado se ignora y se dice; un enlace puesto con su nombre nunca se escribe.
  void laUltimaSobreviveAlCierre() {
    const QString ruta = carpeta_->fichero(NombreUltimaConsulta);
    const auto elegir = [this](int fila) {
      AlAparecer<FRM64HEXAGRAMAS>([fila](FRM64HEXAGRAMAS* c) {
        c->List1->setCurrentRow(fila);
        Pulsar(c->BTNAUX[0]);
        AlAparecer<FRMInterpretar>([](FRMInterpretar* i) { Pulsar(i->BTNMENU[3]); });
      });
      Pulsar(menu_->BTNMENU[2]);
    };
    const auto reabrir = [this] {
      menu_.reset();
      PrepararEstado(false);
      menu_ = std::make_unique<FRMPRINCIPAL>();
      menu_->show();
    };
    // Lo que muestra la orden 3: la consulta, o el mensaje.
    const auto ultima = [this] {
      GuionMensajes::limpiar();
      QString visto;
      if (LastLines.texto().trimmed().size() == 6)
        MirarInterpretacion(visto);
      Pulsar(menu_->BTNMENU[3]);
      for (const auto& m : GuionMensajes::mostrados())
        visto += m.texto.section(u"\r\n"_s, 0, 0);
      return visto;
    };
    FijarReloj(nullptr, [] { return QDate(2024, 2, 29); });
    elegir(62);
    QCOMPARE(QFileInfo(ruta).permissions() & ~QFile::Permissions(0x0700),
             QFile::ReadOwner | QFile::WriteOwner);
    reabrir(); // y con él, el reloj de verdad
    QCOMPARE(ultima(), PreguntaCatalogo + u" | HEXAGRAMA PRINCIPAL 63-Chi Chi 787878"_s);
    QCOMPARE(LastDate, QDate(2024, 2, 29));
    // Dañado: ni se muestra ni se calla.
    QByteArray danado = LeerTodo(ruta);
    danado[137] = 'x';
    QVERIFY(EscribirTodo(ruta, danado));
    reabrir();
    QCOMPARE(ultima(), u"La última consulta guardada no se puede leer: el fichero «ultima-consulta.dat» está "
                       "dañado."_s);
    // Un enlace con su nombre: se lee lo que apunta, pero no se escribe a través de él.
    QTemporaryDir fuera;
    const QString ajeno = fuera.filePath(u"ajeno"_s);
    QVERIFY(EscribirTodo(ajeno, danado.left(10)) && QFile::remove(ruta) && QFile::link(ajeno, ruta));
    reabrir();
    elegir(0);
    QCOMPARE(LeerTodo(ajeno), danado.left(10));
    QVERIFY(QFileInfo(ruta).isSymLink());
    QCOMPARE(ultima(), PreguntaCatalogo + u" | HEXAGRAMA PRINCIPAL 1-Ch'ien 777777"_s);
  }

  // Grabar ofrece el último nombre de la sesión y completa con los del archivo sin mirar mayúsculas ni
  // acentos.
  void grabarOfreceYCompleta() {
    QVERIFY(archivar(ArchiveRecord::Nuevo(u"ÍÑIGO"_s, u"¿Y?"_s, u"777777"_s, u"05/03/1998"_s).Bytes() +
                     ArchiveRecord::Nuevo(u"JOSÉ"_s, u"¿Y?"_s, u"777777"_s, u"05/03/1998"_s).Bytes() +
                     ArchiveRecord::Nuevo(u"ANA"_s, u"¿Y?"_s, u"777777"_s, u"05/03/1998"_s).Bytes()));
    QString visto, grabadas;
    for (int k = 0; k < 2; ++k) {
      AlAparecer<FRMGrabar>([&](FRMGrabar* w) {
        grabadas += w->TXTUsuario->text() + (w->TXTUsuario->hasSelectedText() ? u"*|"_s : u"|"_s);
        QCompleter* c = w->TXTUsuario->completer();
        for (const QString& escrito : {u"inigo"_s, u"  Jose"_s, u"i"_s, u"ino"_s}) {
          c->setCompletionPrefix(escrito);
          visto += c->currentCompletion() + u'|';
        }
        if (w->TXTUsuario->text().isEmpty())
          Escribir(w->TXTUsuario, u"ana"_s);
        QTest::keyClick(w->TXTUsuario, Qt::Key_Return);
      });
      grabadas += FRMInterpretar::AbrirGrabar();
    }
    QCOMPARE(visto, u"ÍÑIGO|JOSÉ|ÍÑIGO||"_s.repeated(2));
    QCOMPARE(grabadas, u"|ANAANA*|ANA"_s);
  }
};

QTEST_MAIN(PruebaFlujos)
#include "test_flujos.moc"
