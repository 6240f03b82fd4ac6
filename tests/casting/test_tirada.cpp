// La tirada: las monedas sin ventana y las ventanas de la pregunta, las monedas y la construcción a mano.
#include "apoyo/Apoyo.h"
#include "casting/FRMIntroducir.h"
#include "casting/FRMTirada.h"
#include "casting/frmconsulta.h"
#include "pictures/GRAFICOS.h"
#include "pictures/Monedas.h"
#include "platform/Twips.h"

#include <QClipboard>
#include <QTextBlock>
#include <QTextLayout>

namespace {
// Lleva la ventana a (2, 2), pasa el ratón por `punto` de `sobre` y dice si volvió al centro.
bool VuelveAlCentro(QWidget* w, QWidget* sobre, QPointF punto = {5, 5}) {
  w->move(2, 2);
  MoverRaton(sobre, punto);
  const QRect p = w->screen()->geometry(), f = w->frameGeometry();
  return f.topLeft() == QPoint(p.x() + (p.width() - f.width()) / 2, p.y() + (p.height() - f.height()) / 2);
}

// Las monedas, cuántas líneas, la orden del botón («?» si su cara no es esa), encendido y si giran.
QString Mesa(const FRMTirada& w) {
  const QString orden = w.BTNTIRAR->Tag;
  const auto& caras = GRAFICOS::Instancia().GRFarrojarParar;
  const bool bien = w.BTNTIRAR->Picture().cacheKey() == caras[orden.startsWith("PARAR"_L1)].cacheKey();
  return u"%1%2%3 "_s.arg(w.DibujoMostrado(0)).arg(w.DibujoMostrado(1)).arg(w.DibujoMostrado(2)) +
         u"%1 %2%3 %4 %5"_s.arg(QString::number(w.LineasPuestas()), orden, bien ? u""_s : u"?"_s,
                                w.BTNTIRAR->isEnabled() ? u"on"_s : u"off"_s,
                                w.Timer1->isActive() ? u"gira"_s : u"quieta"_s);
}

QChar Valor(const SSRibbon* linea) {
  return linea->isHidden() ? u'-' : ValorDibujado(linea->Picture(), GRAFICOS::Instancia().GRFLINEA);
}
} // namespace

class PruebaTirada : public QObject {
  Q_OBJECT

private slots:
  void init() { PrepararEstado(false); }
  void cleanup() { QCOMPARE(CancelarEsperasModales(), 0); }

  // No entra lo que Windows-1252 no tiene, ni caracteres de control (saldrían como cajas al imprimir),
  // ni más de lo que cabe con su «¿» y su «?»: cada rechazo con un pitido. Intro acepta y nunca escribe
  // un salto; lo pegado con saltos entra en un renglón; la pregunta nunca acaba en dos signos.
  void laPreguntaQueSeGuarda() {
    // Lo que se ofrece, lo que queda guardado tras escribir, pegar e Intro (o «abierta» si Intro no
    // acepta) y los pitidos.
    const auto fila = [](const char* nombre, const QString& escrita, const QString& guardada, int pitidos = 0,
                         const QString& pegada = {}, const QString& ultima = {}) {
      LastQuestion = ultima;
      CurrentQuestion = u"¿LA DE ANTES?"_s;
      frmconsulta w;
      w.show();
      QString visto = w.PREGUNTA->toPlainText() + u'|';
      const int antes = PitidosDados();
      w.PREGUNTA->moveCursor(QTextCursor::End);
      Escribir(w.PREGUNTA, escrita);
      if (w.isVisible()) {
        QApplication::clipboard()->setText(pegada);
        w.PREGUNTA->paste();
        QTest::keyClick(w.PREGUNTA, Qt::Key_Return);
      }
      visto += w.isVisible() ? u"abierta"_s : CancelFlag.texto() + QuitarBlancosDerecha(CurrentQuestion);
      const QString ofrecida =
          ultima == PreguntaModoManual ? QString() : ultima.trimmed().replace(u"\r\n"_s, u" "_s);
      QCOMPARE(nombre + u": "_s + visto + u" %1"_s.arg(PitidosDados() - antes),
               nombre + u": "_s + ofrecida + u'|' + (guardada.isEmpty() ? u"abierta"_s : u"NO"_s + guardada) +
                   u" %1"_s.arg(pitidos));
    };
    const QString a98 = QString(98, u'a'), larga = u"abcdefghijklmnopqrstuvwxyz"_s.repeated(5).left(120);
    fila("sin signos, con blancos", u"  año nuevo  "_s, u"¿AÑO NUEVO?"_s);
    fila("? e intro", u"¿el viaje?\n"_s, u"¿EL VIAJE?"_s);
    fila("dos signos", u"¿el viaje???"_s, u"¿EL VIAJE?"_s);
    fila("sólo intro", u"\n"_s, {});
    fila("acentos", u"¿ñandú, cigüeña, àèìòù ÿ?"_s, u"¿ÑANDÚ, CIGÜEÑA, ÀÈÌÒÙ Ÿ?"_s);
    fila("sin mayúscula en 1252", u"straße µ"_s, u"¿STRAßE µ?"_s);
    fila("acentos sueltos", u"cafe\u0301 y n\u0303u \u0301"_s, u"¿CAFÉ Y ÑU  CAFÉ?"_s, 1, u" cafe\u0301"_s);
    fila("98 letras e intro", a98 + u'\n', u'¿' + a98.toUpper() + u'?');
    fila("120 letras", larga, u'¿' + larga.left(98).toUpper() + u'?', 22);
    fila("¿, 99 letras y ?", u'¿' + a98 + u"a?"_s, u'¿' + a98.toUpper() + u'?', 1);
    fila("fuera de 1252", u"año 中 5€Δ…"_s, u"¿AÑO  5€…?"_s, 2);
    fila("pegada con controles y saltos", u"año"_s, u"¿AÑO Y «FIN» DEL OTRO!?"_s, 1,
         u" y ☺\a«f\x1bin»\r\nDEL\x7f\u0081\nOTRO!"_s + QChar(0));
    // Lo pegado que no cabe entra hasta la última palabra entera; una sola palabra, nada.
    fila("pegada larga", QString(90, u'a'), u'¿' + QString(90, u'A') + u" UNO?"_s, 1, u" uno dostres"_s);
    fila("pegada, una palabra", u"año"_s, u"¿AÑO?"_s, 1, QString(200, u'x'));
    fila("la última", {}, u"¿HABRÁ COSECHA?"_s, 0, {}, u"  ¿HABRÁ COSECHA?"_s);
    fila("la última, con saltos", u" y tres"_s, u"¿UNO DOS? Y TRES?"_s, 0, {}, u"  ¿UNO\r\nDOS?"_s);
    fila("tras una hecha a mano", u"hola"_s, u"¿HOLA?"_s, 0, {}, PreguntaModoManual);
    // Sin texto no hay aceptar; el contador cuenta lo que guarda el archivo con su «¿» y su «?», y en el
    // límite lo dice con palabras; cancelar no cambia la pregunta.
    LastQuestion = QString();
    CurrentQuestion = u"¿LA DE ANTES?"_s;
    frmconsulta w;
    w.show();
    QString visto;
    for (const QString& escrita :
         {u"   "_s, u"x"_s, u"\b"_s, u"¿"_s + QString(97, u'a'), u"a"_s, u"?"_s, u"b"_s}) {
      if (escrita == u"\b"_s)
        QTest::keyClick(w.PREGUNTA, Qt::Key_Backspace);
      else
        Escribir(w.PREGUNTA, escrita);
      visto += (w.BTNAUX[0]->isHidden() ? u"- "_s : u"+ "_s) + w.LBLLibres->text() + u'|';
    }
    QCOMPARE(visto,
             u"- 98 caracteres libres|+ 97 caracteres libres|- 98 caracteres libres|+ 1 carácter libre|"
             "+ Ha llegado al límite: la pregunta no admite más caracteres.|+ Ha llegado al límite: la "
             "pregunta no admite más caracteres.|+ No cabe más: la pregunta ha llegado a su límite.|"_s);
    Pulsar(w.BTNAUX[1]);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto() + QuitarBlancosDerecha(CurrentQuestion), u"SI¿LA DE ANTES?"_s);
  }

  // Veinte Espacios e Intros, también mientras paran y en la pausa final, nunca llegan al cancelar.
  void seisTiradasConElTeclado() {
    CurrentQuestion = u"¿SALDRÁ BIEN?"_s;
    CurrentLines = u"787878"_s;
    RelojFalso reloj;
    FRMTirada w;
    double sexta = 0;
    int teclas = 0, conBotonApagado = 0;
    QString focos, primera;
    QSet<QString> mesas; // las de la primera parada
    const auto tecla = [&] {
      QTest::keyClick(w.windowHandle(), teclas++ % 2 ? Qt::Key_Return : Qt::Key_Space);
    };
    QTimer vigia; // en cada vuelta del bucle de sucesos
    vigia.callOnTimeout([&] {
      if (sexta == 0 && !w.LINEA[5]->isHidden())
        sexta = reloj.t;
      if (w.LineasPuestas() == 0 && !w.BTNTIRAR->isEnabled())
        mesas << Mesa(w);
      if (w.isVisible() && !w.BTNTIRAR->isEnabled() && teclas < 20 && conBotonApagado < 8) {
        ++conBotonApagado;
        focos += w.focusWidget() == &w ? u'v' : u'?'; // lo guarda la ventana, no el cancelar
        tecla();
      }
    });
    vigia.start(0);
    QString esperadas;
    AlAparecerModal([&](QWidget*) {
      primera = w.PREGUNTA->text() + u'|' + w.SavedLines.texto() + CurrentLines.texto() + u'|' + Mesa(w);
      focos += w.focusWidget() == w.BTNTIRAR ? u'T' : u'?';
      tecla();
      primera += u'|' + Mesa(w);
      QTRY_VERIFY(!Mesa(w).startsWith(u"000"_s)); // giran solas con el reloj de la ventana
      while (w.isVisible() && teclas < 20) {
        const bool parar = w.BTNTIRAR->Tag.startsWith("PARAR"_L1);
        tecla();
        if (parar)
          esperadas += QString::number(w.Monedas.ValorLinea());
        if (w.isVisible())
          focos += w.focusWidget() == w.BTNTIRAR ? u'T' : u'?'; // y vuelve al botón de tirar
        if (parar && esperadas.size() == 1) { // quietas de cara o de cruz, y su línea abajo
          primera += u'|' + Mesa(w).section(u' ', 1) + u'|' + w.LINEA[0]->accessibleName();
          for (int i = 0; i < 3; ++i) {
            const QString e = w.Monedas.moneda[i].estado;
            const bool bien = w.DibujoMostrado(i) == (e == "cara"_L1 ? 0 : 4) &&
                              w.moneda[i]->accessibleName() == u"Moneda %1: %2"_s.arg(i + 1).arg(e);
            primera += bien && (e == "cara"_L1 || e == "cruz"_L1) ? u"|quieta"_s : u'|' + e;
          }
        }
      }
    });
    w.MostrarModal();
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"NO"_s + esperadas);
    QCOMPARE(primera, u"¿SALDRÁ BIEN?|787878      |000 0 TIRAR MONEDAS on quieta|000 0 PARAR MONEDAS on gira|"
                      "1 TIRAR MONEDAS on quieta|Línea 1: "_s +
                          esperadas[0] + u"|quieta|quieta|quieta"_s);
    // Mientras para: botón apagado, reloj de la ventana quieto, monedas cambiando de dibujo.
    QVERIFY2(mesas.size() > 8 &&
                 mesas.values().filter(u" 0 PARAR MONEDAS off quieta"_s).size() == mesas.size(),
             qPrintable(mesas.values().join(u'\n')));
    QVERIFY2(!focos.contains(u'?') && focos.count(u'v') == conBotonApagado && conBotonApagado >= 6,
             qPrintable(focos));
    QVERIFY(!w.BTNTIRAR->isEnabled());
    QVERIFY2(reloj.t - sexta > 1.5 && reloj.t - sexta < 1.55, qPrintable(QString::number(reloj.t - sexta)));
  }

  void cancelarNoDejaNadaYAlVolverTodoEstaLimpio() {
    for (int momento : {0, 1, 2}) { // girando, a media parada, en la pausa final
      CurrentLines = u"786   "_s;
      RelojFalso reloj;
      FRMTirada w;
      w.show();
      int pasos = 0, cancelada = 0;
      const std::array<std::function<bool()>, 3> ahora = {
          [&] { return w.Timer1->isActive(); },
          [&] { return w.BTNTIRAR->Tag.startsWith("PARAR"_L1) && !w.BTNTIRAR->isEnabled() && ++pasos == 40; },
          [&] { return !w.LINEA[5]->isHidden(); }};
      QTimer vigia;
      vigia.callOnTimeout([&] {
        if (!w.isVisible() || !ahora[size_t(momento)]() || ++cancelada > 1)
          return;
        if (momento == 1) // a media parada, aunque las tres enseñen una cara
          for (auto& m : w.Monedas.moneda)
            m.estado = u"cara"_s;
        Pulsar(w.BTNAUX);
      });
      vigia.start(0);
      for (int k = 0; k < 12 && w.isVisible(); ++k)
        Pulsar(w.BTNTIRAR);
      // Nada de lo que corría sigue después: ni giro, ni parada, ni cierre.
      const QString mesa = Mesa(w);
      QTest::qWait(60);
      QCOMPARE(Mesa(w), mesa);
      QVERIFY(mesa.endsWith(u"quieta"_s) && !w.isVisible() && cancelada == 1);
      QCOMPARE(w.LineasPuestas(), momento == 2 ? 6 : 0);
      QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"SI786   "_s);
      CurrentLines = u"696969"_s;
      w.show();
      QCOMPARE(Mesa(w), u"000 0 TIRAR MONEDAS on quieta"_s);
      // Tres caras valen 6 y tres cruces 9; cada línea va al hueco libre más bajo, con su dibujo.
      for (const QString& tirada : {u"aaa"_s, u"uuu"_s, u"aua"_s}) {
        for (int i = 0; i < 3; ++i)
          w.Monedas.moneda[i].estado = tirada[i] == 'a'_L1 ? u"cara"_s : u"cruz"_s;
        w.ponerlinea();
      }
      QString dibujadas;
      for (int j = 0; j < 6; ++j) {
        dibujadas += Valor(w.LINEA[j]);
        QVERIFY(j == 0 || w.LINEA[j]->y() < w.LINEA[j - 1]->y());
      }
      QCOMPARE(CurrentLines.texto() + dibujadas, u"697   697---"_s);
      w.close(); // cerrar por el marco también es cancelar
      QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"SI696969"_s);
    }
  }

  // Con alguna línea puesta, Escape, Cancelar y el cierre preguntan antes de tirarla, con No por defecto;
  // mientras se pregunta las monedas no giran y la pausa final no corre. Sin líneas, se sale sin preguntar.
  void abandonarPreguntaAntes() {
    RelojFalso reloj;
    FRMTirada t;
    FRMIntroducir m;
    QString visto;
    int preguntas = 0; // las tres primeras, No; la cuarta, Sí
    GuionMensajes::desactivar();
    InstalarManejadorMsgBox([&](const MensajeMostrado& msg) {
      const QString mesa = Mesa(t);
      reloj.t += 10; // la persona tarda en contestar
      WaitTicks(30);
      visto += msg.titulo + u": "_s + msg.texto +
               (msg.predeterminado == vbNo && msg.escape == vbNo ? u" No"_s : u""_s) +
               (t.isVisible() && Mesa(t) != mesa ? u" ¡se movieron!|"_s : u"|"_s);
      return ++preguntas < 4 ? vbNo : vbYes;
    });
    const auto cuenta = qScopeGuard([] { InstalarManejadorMsgBox(nullptr); });
    CurrentLines = u"786   "_s;
    t.show();
    QTest::keyClick(&t, Qt::Key_Escape); // sin líneas, sin preguntar
    QVERIFY(!t.isVisible() && visto.isEmpty() && CancelFlag == u"SI"_s);
    t.show();
    t.ponerlinea();
    Pulsar(t.BTNTIRAR); // girando
    QTest::keyClick(&t, Qt::Key_Escape);
    QVERIFY(t.isVisible() && t.Timer1->isActive());
    double respondida = 0;
    for (int j = 1; j < 6; ++j) {
      for (auto& c : t.Monedas.moneda)
        c.estado = u"cruz"_s;
      if (j == 5)
        QTimer::singleShot(0, &t, [&] {
          t.close(); // en la pausa tras la sexta: No, y la pausa vuelve a empezar
          respondida = reloj.t;
        });
      t.ponerlinea();
    }
    QVERIFY2(reloj.t - respondida > 1.5, qPrintable(QString::number(reloj.t - respondida)));
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"NO699999"_s);
    // A mano: sin líneas se va; con una, No la conserva y Sí la tira.
    CurrentLines = u"969696"_s;
    m.show();
    QTest::keyClick(&m, Qt::Key_Escape);
    QVERIFY(!m.isVisible());
    m.show();
    QTest::keyClick(&m, Qt::Key_9);
    Pulsar(m.BTNAUX[1]);
    QCOMPARE(QString::number(m.LineasPuestas()) + CurrentLines.texto(), u"19     "_s);
    Pulsar(m.BTNAUX[1]);
    QVERIFY(!m.isVisible());
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"SI969696"_s);
    QCOMPARE(visto, u"ABANDONAR: ¿Abandonar esta consulta? No|"_s.repeated(4));
  }

  void elRatonAlCentroYUnaMonedaQueFalla() {
    FRMTirada t;
    FRMIntroducir m;
    t.show();
    m.show();
    // Los controles de la tirada tapan todo su fondo: el ratón le llega por Frame1 y el cancelar.
    QVERIFY(VuelveAlCentro(&t, t.Frame1) && VuelveAlCentro(&t, t.BTNAUX));
    // En la construcción, por el rótulo, el cancelar y el fondo; no por una línea puesta.
    QVERIFY(VuelveAlCentro(&m, m.Label1) && VuelveAlCentro(&m, m.BTNAUX[1]));
    QVERIFY(VuelveAlCentro(&m, &m, QPointF(Tw(3000), Tw(720))));
    QVERIFY(!VuelveAlCentro(&m, &m, m.Frame2->geometry().center()));
    // Con el marco que el gestor puso a otra, la nueva sale centrada por su tamaño exterior.
    Formulario::FijarMarcoPrevisto({4, 24, 4, 4});
    FRMIntroducir nueva;
    const QRect p = nueva.screen()->geometry();
    QCOMPARE(nueva.pos(),
             QPoint((p.width() - nueva.width() - 8) / 2, (p.height() - nueva.height() - 28) / 2));
    nueva.show();
    const QRect f = nueva.frameGeometry(), g = nueva.geometry();
    QCOMPARE(Formulario::MarcoPrevisto(), QMargins(g.left() - f.left(), g.top() - f.top(),
                                                   f.right() - g.right(), f.bottom() - g.bottom()));
    Formulario::FijarMarcoPrevisto({});
    // Una moneda fuera de sus estados se avisa, y las demás siguen girando.
    FRMTirada w;
    w.show();
    for (auto& m : w.Monedas.moneda)
      m.StepCountdown = m.StepPeriod = 1;
    w.Monedas.moneda[2].estado = u"rodando"_s;
    w.Timer1_Timer();
    QCOMPARE(GuionMensajes::mostrados().size(), size_t(1));
    QCOMPARE(GuionMensajes::mostrados().front().texto, u"fallo gordo en TIMER1_TIMER"_s);
    QCOMPARE(w.DibujoMostrado(0), 1);
  }

  // Con n líneas y al quitar la última: los selectores se apagan sólo con seis, y el aceptar sale
  // entonces, con el foco; quitar sigue encendido mientras quede alguna.
  void construirConElRaton() {
    FRMIntroducir w;
    const auto estado = [&] {
      QString r = CurrentLines.texto() + u' ';
      for (const SSRibbon* l : w.LINEA)
        r += Valor(l);
      r += u' ';
      for (const SSRibbon* s : w.GRFLINEA)
        r += s->isEnabled() ? u'1' : u'0';
      return r + (w.BTNBORRAR->isEnabled() ? u" quitar"_s : u" -"_s) +
             (w.BTNAUX[0]->isHidden()          ? u" -"_s
              : w.focusWidget() == w.BTNAUX[0] ? u" aceptar*"_s
                                               : u" aceptar"_s);
    };
    const auto esperado = [](int n) {
      const QString puestas = u"678967"_s.left(n);
      return puestas.leftJustified(6) + u' ' + puestas.leftJustified(6, u'-') +
             (n == 6  ? u" 0000 quitar aceptar*"_s
              : n > 0 ? u" 1111 quitar -"_s
                      : u" 1111 - -"_s);
    };
    for (int n = 1; n <= 6; ++n) {
      w.hide();
      CurrentLines = u"777777"_s;
      w.show();
      QCOMPARE(estado(), esperado(0));
      for (int k = 0; k < n; ++k)
        QTest::mousePress(w.GRFLINEA[k % 4], k % 2 ? Qt::RightButton : Qt::LeftButton);
      QCOMPARE(estado(), esperado(n));
      Pulsar(w.BTNBORRAR);
      QCOMPARE(estado(), esperado(n - 1));
      QTest::mousePress(w.GRFLINEA[(n - 1) % 4], Qt::LeftButton);
      QCOMPARE(estado(), esperado(n));
    }
    Pulsar(w.BTNAUX[0]);
    QVERIFY(!w.isVisible());
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"NO678967"_s);
  }

  void construirConElTeclado() {
    // El foco vive en las muestras y nunca cae en el cancelar, ni al apagarse el botón de quitar.
    CurrentLines = u"777777"_s;
    FRMIntroducir w;
    const auto teclas = [&](std::initializer_list<Qt::Key> ks) {
      for (Qt::Key k : ks)
        QTest::keyClick(w.windowHandle(), k);
    };
    QString visto;
    AlAparecerModal([&](QWidget*) {
      visto = w.focusWidget()->accessibleName() + u'|';
      // Intro en una muestra no pone línea: dice cuántas faltan.
      teclas({Qt::Key_7, Qt::Key_Down, Qt::Key_Return});
      visto += w.LBLNota->text() + u'|';
      teclas({Qt::Key_7, Qt::Key_Down, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_5});
      visto += CurrentLines.texto() + w.LBLNota->text() + u'|';
      w.BTNBORRAR->setFocus();
      teclas({Qt::Key_Space, Qt::Key_Space}); // quitada la última, el botón se apaga
      QCoreApplication::processEvents();      // lo que queda por hacer de la tecla
      visto += QString::number(w.LineasPuestas()) + w.focusWidget()->accessibleName() + u'|';
      for (int k = 0; k < 20 && w.isVisible(); ++k)
        teclas({k % 2 ? Qt::Key_Return : Qt::Key_Space});
    });
    w.MostrarModal();
    QCOMPARE(visto, u"Poner línea 6, yin móvil|Faltan 5 líneas: Intro acepta con las seis puestas.|77    |"
                    "0Poner línea 8, yin|"_s);
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"NO888888"_s);
  }

  // Una vuelta, a un dibujo por paso: la moneda se estrecha hasta verse de canto (una barra fina) y se
  // ensancha hasta la otra cara, la cruz a mitad de vuelta y la cara al final, distintas; cada cara a la
  // que llega cuenta una.
  void laVueltaDeLaMoneda() {
    const auto ancho = [](int dibujo) { // lo opaco de una fila, un poco por encima del centro
      const QImage im = Dibujos::FaseMoneda(dibujo, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
      int n = 0;
      for (int x = 0; x < im.width(); ++x)
        n += qAlpha(im.pixel(x, 25)) > 200;
      return n;
    };
    TiradaMonedas t;
    auto& una = t.moneda[0];
    una.StepCountdown = una.StepPeriod = 1;
    una.FacesLeft = 10;
    std::vector<int> a;
    QString caras;
    for (int paso = 0; paso < 8; ++paso) {
      t.Tick();
      a.push_back(ancho(TiradaMonedas::DibujoDe(una.estado)));
      caras +=
          (una.estado.startsWith("canto"_L1) ? u"-"_s : una.estado) + QString::number(una.FacesLeft) + u' ';
    }
    QCOMPARE(caras, u"-10 -10 -10 cruz9 -9 -9 -9 cara8 "_s);
    QVERIFY2(a[0] > a[1] && a[1] < a[2] && a[2] < a[3] && a[3] > a[4] && a[4] > a[5] && a[5] < a[6] &&
                 a[6] < a[7] && a[1] > 0 && a[1] <= 10 && a[5] <= 10 && a[3] > 70 && a[7] > 70,
             qPrintable(QString::number(a[0])));
    QVERIFY(Dibujos::FaseMoneda(0, 1.0).toImage() != Dibujos::FaseMoneda(4, 1.0).toImage());
    QVERIFY(Dibujos::CaraArrojarParar(0, 1.0).toImage() != Dibujos::CaraArrojarParar(1, 1.0).toImage());
  }

  // Miles de tiradas. Girando libre, cada moneda cambia de dibujo cada 2 o 3 pasos de 10 ms, por
  // igual; parando, cada 1, 2 o 3, en proporción 1:2:1, y enseña de 4 a 8 caras antes de quedarse
  // quieta. 6, 7, 8 y 9 salen 1/8, 3/8, 3/8 y 1/8. Timer() vuelve a cero a medianoche.
  void elRitmoYElRepartoDeLasMonedas() {
    TiradaMonedas t;
    QCOMPARE(FRMTirada().Timer1->interval(), 10);
    RelojFalso reloj;
    reloj.t = 86000;
    FijarReloj([&reloj] { return reloj.t = std::fmod(reloj.avanzar(), 86400.0); });
    Randomize(2718);
    constexpr int Tiradas = 8000;
    // Monedas por ritmo (pasos entre dos dibujos; 0, irregular o fuera de 1 a 3).
    std::array<int, 4> libres{}, parando{};
    std::array<int, 10> valores{};
    std::array<int, 3> cruces{};
    const auto contar = [](TiradaMonedas m, int pasos, std::array<int, 4>& cuenta) {
      std::array<int, 3> ultimo{}, ritmo{};
      for (int paso = 1; paso <= pasos; ++paso) {
        const auto antes = m.moneda;
        m.Tick();
        for (size_t i = 0; i < 3; ++i)
          if (m.moneda[i].estado != antes[i].estado) {
            ritmo[i] = ritmo[i] == 0 || ritmo[i] == paso - ultimo[i] ? paso - ultimo[i] : -1;
            ultimo[i] = paso;
          }
      }
      for (int r : ritmo)
        ++cuenta[size_t(r >= 1 && r <= 3 ? r : 0)];
      return m;
    };
    for (int k = 0; k < Tiradas; ++k) {
      t.Reiniciar();
      t.Arrojar();
      t = contar(t, 48, libres);
      for (const auto& m : t.moneda)
        QCOMPARE(m.estado, u"cara"_s); // 48 pasos: tres vueltas a 2, dos a 3
      t.PrepararParada();
      contar(t, 12, parando); // sobre una copia: la parada de verdad empieza de cara
      auto antes = t.moneda;
      const auto pedidas = t.moneda;
      std::array<int, 3> vistas{}; // las caras que cada moneda enseña mientras para
      int cesiones = 0;
      const double inicio = reloj.t;
      QVERIFY(t.Parar(
          [&] {
            for (size_t i = 0; i < 3; ++i) {
              vistas[i] +=
                  t.moneda[i].estado != antes[i].estado && !t.moneda[i].estado.startsWith("canto"_L1);
              antes[i] = t.moneda[i];
            }
          },
          [&] { return ++cesiones < 100000; }));
      // Despacio: al menos 16 pasos, a más de 0,01 s uno de otro salvo el primero.
      QVERIFY2(SegundosDesde(inicio, reloj.t) > 0.15, qPrintable(QString::number(reloj.t)));
      for (int paso = 0; paso < 50; ++paso) // parada, no se mueve más
        t.Tick();
      for (size_t i = 0; i < 3; ++i)
        QVERIFY(t.moneda[i].estado == antes[i].estado && pedidas[i].FacesLeft >= 4 &&
                pedidas[i].FacesLeft <= 8 && vistas[i] >= pedidas[i].FacesLeft);
      const int v = t.ValorLinea();
      QVERIFY(v >= 6 && v <= 9);
      ++valores[size_t(v)];
      for (size_t i = 0; i < 3; ++i)
        cruces[i] += t.moneda[i].estado == "cruz"_L1;
    }
    // Las cuentas que se apartan más de 4 sigmas de la proporción `p`.
    const auto fuera = [](const std::array<int, 4>& cuenta, std::array<double, 4> p) {
      QString r;
      for (size_t k = 0; k < 4; ++k)
        if (std::abs(cuenta[k] - 3 * Tiradas * p[k]) > 4 * std::sqrt(3 * Tiradas * p[k] * (1 - p[k])) + 0.5)
          r += u"ritmo %1: %2 "_s.arg(k).arg(cuenta[k]);
      return r;
    };
    QCOMPARE(fuera(libres, {0, 0, 0.5, 0.5}) + fuera(parando, {0, 0.25, 0.5, 0.25}), QString());
    double chi2 = 0;
    for (size_t v = 6; v <= 9; ++v) {
      const double esperadas = Tiradas * (v == 6 || v == 9 ? 1.0 : 3.0) / 8;
      chi2 += std::pow(valores[v] - esperadas, 2) / esperadas;
    }
    // Con 3 grados de libertad, 11,34 deja fuera sólo el 1 % de los repartos buenos.
    QVERIFY2(chi2 < 11.34, qPrintable(QString::number(chi2)));
    for (int c : cruces) // a menos de 4 sigmas
      QVERIFY2(std::abs(c - Tiradas / 2.0) < 4 * std::sqrt(Tiradas / 4.0), qPrintable(QString::number(c)));
    QVERIFY2(reloj.t < 86000, qPrintable(QString::number(reloj.t))); // pasó la medianoche
  }
};

QTEST_MAIN(PruebaTirada)
#include "test_tirada.moc"
