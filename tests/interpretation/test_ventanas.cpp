// La ventana de interpretación y el catálogo de los 64 hexagramas, usados
// como los usa el usuario: con clics en sus controles.
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

namespace {
// Los textos que el almacén da para un hexagrama, tal como se ven en un
// cuadro de texto (los párrafos separados por saltos de línea).
struct Textos {
  std::map<QString, QString> seccion;
  std::map<int, TextoLinea> linea;
};

QString comoSeVe(QString s) {
  return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

Textos textosDe(const QString& lines) {
  CargarBuffer(lines);
  Textos t;
  for (const char* s : {"D", "C", "I"})
    t.seccion[QString::fromLatin1(s)] = comoSeVe(ExtraerSeccion(QString::fromLatin1(s)));
  for (int l = 1; l <= 6; ++l) {
    TextoLinea x = ExtraerLinea(QStringLiteral("L%1").arg(l));
    t.linea[l] = {comoSeVe(x.enunciado), comoSeVe(x.interpretacion)};
  }
  return t;
}

QString visto(const QPlainTextEdit* t) {
  return t->toPlainText();
}

// Los botones de texto disponibles, como "DECISION,COMENTARIO,…".
QString disponibles(const FRMInterpretar& w) {
  QStringList r;
  for (const SSCommand* b : w.BTNINTERPRETAR)
    if (b->isEnabled())
      r << b->text();
  return r.join(QLatin1Char(','));
}

// Los botones marcados (estilo 2).
QString marcados(const FRMInterpretar& w) {
  QStringList r;
  for (const SSCommand* b : w.BTNINTERPRETAR)
    if (b->Estilo() == 2)
      r << b->text();
  return r.join(QLatin1Char(','));
}

// Las líneas dibujadas: el número del dibujo de cada ranura (0 a 3 para los
// valores 6 a 9), de abajo arriba; "-" si la ranura no se ve.
QString dibujadas(const FRMInterpretar& w) {
  QString r;
  for (const BotonImagen* l : w.LINEA) {
    QChar c = QLatin1Char('?');
    for (int k = 0; k < 4; ++k)
      if (l->Picture().cacheKey() == GRAFICOS::Instancia().GRFLINEAm[k].cacheKey())
        c = QChar('6' + k);
    r += l->isVisibleTo(l->parentWidget()) ? c : QLatin1Char('-');
  }
  return r;
}

QString nombreDe(int n) {
  return QuitarBlancos(HexagramList[n][1]) + QLatin1Char('-') + HexagramList[n][4];
}

const QString AvisoSinCambiantes = QStringLiteral("El hexagrama complementario sólo se\r\n"
                                                  "crea cuando existen Lineas Cambiantes\r\n"
                                                  "en el Hexagrama Principal.\r\n");

// Un punto del fondo del marco: entre la columna de líneas y los paneles.
QPoint fondoDelMarco() {
  return {Tw(2220), Tw(1500)};
}
} // namespace

class PruebaVentanas : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMInterpretar> w_;

  // Abre la ventana para una consulta nueva y espera su DECISION.
  void abrir(const QString& lineas, const QString& pregunta = QStringLiteral("¿SALDRÁ BIEN?")) {
    CurrentLines = lineas;
    ComputeComplement();
    CurrentQuestion = pregunta;
    CancelFlag = QStringLiteral("NO");
    w_->show();
    // Como el usuario: se actúa con la ventana ya delante.
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    QCOMPARE(w_->LastShownIndex, 0);
  }

private slots:
  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>(true);
    PrepararEstado(true);
    FRMInterpretar::AbrirGrabar = nullptr;
    FRMInterpretar::AbrirImprimir = nullptr;
    w_ = std::make_unique<FRMInterpretar>();
  }
  void cleanup() {
    FRMInterpretar::AbrirGrabar = nullptr;
    FRMInterpretar::AbrirImprimir = nullptr;
    CerrarVentanasAbiertas();
    w_.reset();
    carpeta_.reset();
  }

  // --- Una consulta nueva --------------------------------------------------

  void consultaSinLineasCambiantes() {
    // 787878: Li abajo, K'an arriba.
    const Textos t = textosDe(QStringLiteral("787878"));
    abrir(QStringLiteral("787878"), QStringLiteral("¿QUÉ HARÉ?"));
    const int n = HexagramNumber(QStringLiteral("787878"));
    QCOMPARE(w_->windowTitle(), QStringLiteral("Interpretación del hexagrama"));
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA PRINCIPAL"));
    QCOMPARE(w_->BTNMENU[0]->toolTip(), QStringLiteral("Hexagrama Complementario"));
    QCOMPARE(dibujadas(*w_), QStringLiteral("787878"));
    QCOMPARE(w_->TXTHEXAGRAMA[0]->text(), nombreDe(n));
    QCOMPARE(w_->TXTHEXAGRAMA[1]->text(), QuitarBlancos(HexagramList[n][5]));
    QCOMPARE(w_->TXTTRIGRAMA[1]->text(), TrigramName(QStringLiteral("787")));
    QCOMPARE(w_->TXTTRIGRAMA[0]->text(), TrigramName(QStringLiteral("878")));
    QVERIFY(w_->TXTTRIGRAMA[0]->text() != w_->TXTTRIGRAMA[1]->text());
    QCOMPARE(w_->PREGUNTA->text(), QStringLiteral("¿QUÉ HARÉ?"));
    // DECISION a la vista, marcada y con el foco; ninguna línea disponible.
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN"));
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    QTRY_VERIFY(w_->BTNINTERPRETAR[0]->hasFocus());
    QVERIFY(w_->Text1->isVisible() && !w_->Text2[0]->isVisible() && !w_->Text2[1]->isVisible());
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("D")));
    QVERIFY(!visto(w_->Text1).isEmpty());
    for (const BotonImagen* l : w_->LINEA) {
      QVERIFY(l->toolTip().isEmpty());
      QVERIFY(!l->accessibleName().isEmpty());
    }
    for (const BotonImagen* b : w_->BTNMENU)
      QCOMPARE(b->accessibleName(), b->toolTip());

    // Pulsar una línea dibujada no hace nada.
    QTest::mouseClick(w_->LINEA[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("D")));
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));

    // Ni el botón de cambio ni el marco pasan al complementario: avisan.
    QTest::mouseClick(w_->BTNMENU[0], Qt::LeftButton);
    QTest::mouseClick(w_->Framehexagrama, Qt::LeftButton, {}, fondoDelMarco());
    const auto& m = GuionMensajes::mostrados();
    QCOMPARE(int(m.size()), 2);
    for (const MensajeMostrado& x : m) {
      QCOMPARE(x.texto, AvisoSinCambiantes);
      QCOMPARE(x.titulo, QStringLiteral("Información al usuario"));
      QCOMPARE(x.icono(), int(vbInformation));
      QCOMPARE(x.botones(), int(vbOKOnly));
    }
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA PRINCIPAL"));
    QCOMPARE(dibujadas(*w_), QStringLiteral("787878"));
  }

  void lineasCambiantesDosYCinco() {
    // 797797... con la 6 estable: Ch'ien con las líneas 2 y 5 cambiantes.
    const Textos t = textosDe(QStringLiteral("797797"));
    abrir(QStringLiteral("797797"));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN,LINEA 2,LINEA 5"));
    QCOMPARE(dibujadas(*w_), QStringLiteral("797797"));
    for (int i = 0; i < 6; ++i)
      QCOMPARE(w_->LINEA[i]->toolTip(),
               i == 1 || i == 4 ? QStringLiteral("Interpretar línea %1").arg(i + 1) : QString());

    // La línea 5 dibujada muestra las dos partes de su texto.
    QTest::mouseClick(w_->LINEA[4], Qt::LeftButton);
    QVERIFY(!w_->Text1->isVisible() && w_->Text2[0]->isVisible() && w_->Text2[1]->isVisible());
    QCOMPARE(visto(w_->Text2[0]), t.linea.at(5).enunciado);
    QCOMPARE(visto(w_->Text2[1]), t.linea.at(5).interpretacion);
    QVERIFY(visto(w_->Text2[1]).contains(QStringLiteral("INTERPRETACIÓN")));
    QCOMPARE(marcados(*w_), QStringLiteral("LINEA 5"));

    // El botón de la línea 2 muestra la suya; el de COMENTARIO, el suyo.
    QTest::mouseClick(w_->BTNINTERPRETAR[4], Qt::LeftButton);
    QCOMPARE(visto(w_->Text2[0]), t.linea.at(2).enunciado);
    QCOMPARE(marcados(*w_), QStringLiteral("LINEA 2"));
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QVERIFY(w_->Text1->isVisible() && !w_->Text2[0]->isVisible());
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("C")));

    // Una línea que no cambia no muestra nada.
    QTest::mouseClick(w_->LINEA[0], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("C")));

    // La consulta siguiente, con la línea 3 cambiante: sólo LINEA 3.
    QTest::mouseClick(w_->BTNMENU[3], Qt::LeftButton);
    QVERIFY(!w_->isVisible());
    abrir(QStringLiteral("779777"));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN,LINEA 3"));
    for (int i = 0; i < 6; ++i)
      QCOMPARE(w_->LINEA[i]->toolTip().isEmpty(), i != 2);
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    QCOMPARE(w_->TXTHEXAGRAMA[0]->text(), nombreDe(1));
  }

  void cambioAlComplementarioYVuelta() {
    const Textos principal = textosDe(QStringLiteral("797797"));
    const Textos complementario = textosDe(QStringLiteral("787787"));
    QVERIFY(principal.seccion.at(QStringLiteral("D")) != complementario.seccion.at(QStringLiteral("D")));
    abrir(QStringLiteral("797797"));
    QTest::mouseClick(w_->BTNINTERPRETAR[2], Qt::LeftButton); // IMAGEN

    QTest::mouseClick(w_->BTNMENU[0], Qt::LeftButton);
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA COMPLEMENTARIO"));
    QCOMPARE(w_->BTNMENU[0]->toolTip(), QStringLiteral("Hexagrama Principal"));
    QCOMPARE(w_->BTNMENU[0]->Picture().cacheKey(), GRAFICOS::Instancia().IMGHEXAGR[0].cacheKey());
    QCOMPARE(dibujadas(*w_), QStringLiteral("787787"));
    const int c = HexagramNumber(QStringLiteral("787787"));
    QCOMPARE(w_->TXTHEXAGRAMA[0]->text(), nombreDe(c));
    QCOMPARE(w_->TXTTRIGRAMA[1]->text(), TrigramName(QStringLiteral("787")));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN"));
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    QCOMPARE(visto(w_->Text1), complementario.seccion.at(QStringLiteral("D")));
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), complementario.seccion.at(QStringLiteral("C")));
    // Ninguna línea dibujada tiene texto en el complementario.
    for (const BotonImagen* l : w_->LINEA)
      QVERIFY(l->toolTip().isEmpty());
    QTest::mouseClick(w_->LINEA[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), complementario.seccion.at(QStringLiteral("C")));

    // Un clic en el fondo del marco vuelve al principal.
    QTest::mouseClick(w_->Framehexagrama, Qt::LeftButton, {}, fondoDelMarco());
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA PRINCIPAL"));
    QCOMPARE(w_->BTNMENU[0]->toolTip(), QStringLiteral("Hexagrama Complementario"));
    QCOMPARE(w_->BTNMENU[0]->Picture().cacheKey(), GRAFICOS::Instancia().IMGHEXAGR[1].cacheKey());
    QCOMPARE(dibujadas(*w_), QStringLiteral("797797"));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN,LINEA 2,LINEA 5"));
    QCOMPARE(visto(w_->Text1), principal.seccion.at(QStringLiteral("D")));
    QTest::mouseClick(w_->LINEA[4], Qt::LeftButton);
    QCOMPARE(visto(w_->Text2[1]), principal.linea.at(5).interpretacion);
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  void decisionDosVecesMuestraUnaVez() {
    const Textos t = textosDe(QStringLiteral("787878"));
    abrir(QStringLiteral("787878"));
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("C")));
    // El usuario se desplaza por el texto; volver a pulsar el mismo botón
    // no lo vuelve a poner desde el principio.
    w_->Text1->setPlainText(QStringLiteral("desplazado"));
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), QStringLiteral("desplazado"));
    // Tras una orden del menú (aquí archivar, sin diálogo puesto), sí.
    QTest::mouseClick(w_->BTNMENU[1], Qt::LeftButton);
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(w_->LastShownIndex, -1);
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("C")));
    // También con el teclado: el foco que llega a un botón muestra su texto.
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    w_->BTNINTERPRETAR[2]->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(marcados(*w_), QStringLiteral("IMAGEN"));
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("I")));
  }

  void peticionDentroDeOtraGanaLaUltima() {
    // Mientras se extrae COMENTARIO corre el bucle de eventos; un clic que
    // llega entonces muestra DECISION, y lo viejo no se pone encima.
    const Textos t = textosDe(QStringLiteral("979777"));
    abrir(QStringLiteral("979777"));
    QTest::mouseClick(w_->BTNINTERPRETAR[2], Qt::LeftButton);
    QTimer::singleShot(0, w_.get(), [this] { QTest::mouseClick(w_->TXTHEXAGRAMA[0], Qt::LeftButton); });
    // La petición de COMENTARIO, sin pasar antes por el bucle de eventos.
    w_->BTNINTERPRETAR_GotFocus(1);
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("D")));
  }

  void nombresYTrigramasMuestranSusTextos() {
    const Textos t = textosDe(QStringLiteral("979777"));
    abrir(QStringLiteral("979777"));
    QTest::mouseClick(w_->TXTTRIGRAMA[0], Qt::LeftButton);
    QCOMPARE(marcados(*w_), QStringLiteral("IMAGEN"));
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("I")));
    QTest::mouseClick(w_->TXTHEXAGRAMA[1], Qt::LeftButton);
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    QCOMPARE(visto(w_->Text1), t.seccion.at(QStringLiteral("D")));
    // El rótulo del panel, encima del nombre del trigrama.
    QTest::mouseClick(w_->SSPanel2[1], Qt::LeftButton, {}, QPoint(w_->SSPanel2[1]->width() / 2, 4));
    QCOMPARE(marcados(*w_), QStringLiteral("IMAGEN"));
    QTest::mouseClick(w_->TXTHEXAGRAMA[0], Qt::LeftButton);
    QCOMPARE(marcados(*w_), QStringLiteral("DECISION"));
    // Nada de eso cuenta como un clic en el marco: sigue el principal.
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA PRINCIPAL"));
    QCOMPARE(dibujadas(*w_), QStringLiteral("979777"));
  }

  // --- Los diálogos propios: archivar e imprimir ----------------------------

  void archivarGuardaLoQueSeVe() {
    const Textos c = textosDe(QStringLiteral("878787"));
    abrir(QStringLiteral("969696"));
    QTest::mouseClick(w_->BTNMENU[0], Qt::LeftButton); // al complementario
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QString banderaEnElDialogo;
    // Un diálogo modal de verdad, que al cerrarse devuelve la ventana al frente.
    FRMInterpretar::AbrirGrabar = [&] {
      banderaEnElDialogo = CancelFlag.texto();
      QDialog d(w_.get());
      QTimer::singleShot(0, &d, &QDialog::accept);
      d.exec();
    };
    QTest::mouseClick(w_->BTNMENU[1], Qt::LeftButton);
    QCOMPARE(banderaEnElDialogo, QStringLiteral("SI"));
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA COMPLEMENTARIO"));
    QCOMPARE(dibujadas(*w_), QStringLiteral("878787"));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN"));
    QCOMPARE(visto(w_->Text1), c.seccion.at(QStringLiteral("C")));
    QCOMPARE(w_->PREGUNTA->text(), QStringLiteral("¿SALDRÁ BIEN?"));
  }

  void trasImprimirSeRecarganLosTextosALaVista() {
    const Textos p = textosDe(QStringLiteral("969696"));
    const Textos c = textosDe(QStringLiteral("878787"));
    abrir(QStringLiteral("969696"));
    QTest::mouseClick(w_->BTNINTERPRETAR[3], Qt::LeftButton); // LINEA 1
    // La impresión de los dos hexagramas deja en TextBuffer el último.
    FRMInterpretar::AbrirImprimir = [] {
      CargarBuffer(CurrentLines);
      CargarBuffer(ComplementLines);
    };
    QTest::mouseClick(w_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    // Lo que se veía sigue igual, y las líneas siguen disponibles.
    QCOMPARE(marcados(*w_), QStringLiteral("LINEA 1"));
    QCOMPARE(visto(w_->Text2[0]), p.linea.at(1).enunciado);
    QCOMPARE(disponibles(*w_),
             QStringLiteral("DECISION,COMENTARIO,IMAGEN,LINEA 1,LINEA 2,LINEA 3,LINEA 4,LINEA 5,LINEA 6"));
    QTest::mouseClick(w_->BTNINTERPRETAR[1], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), p.seccion.at(QStringLiteral("C")));
    QTest::mouseClick(w_->BTNINTERPRETAR[8], Qt::LeftButton);
    QCOMPARE(visto(w_->Text2[1]), p.linea.at(6).interpretacion);

    // Con el complementario a la vista, se recarga el complementario.
    QTest::mouseClick(w_->BTNMENU[0], Qt::LeftButton);
    FRMInterpretar::AbrirImprimir = [] { CargarBuffer(CurrentLines); };
    QTest::mouseClick(w_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(w_->CaptionHexagrama(), QStringLiteral("HEXAGRAMA COMPLEMENTARIO"));
    QCOMPARE(disponibles(*w_), QStringLiteral("DECISION,COMENTARIO,IMAGEN"));
    QTest::mouseClick(w_->BTNINTERPRETAR[2], Qt::LeftButton);
    QCOMPARE(visto(w_->Text1), c.seccion.at(QStringLiteral("I")));
  }

  // --- Volver al menú -------------------------------------------------------

  void menuPrincipalYEscapeTerminanLaPresentacion() {
    CurrentLines = QStringLiteral("787878");
    ComputeComplement();
    CancelFlag = QStringLiteral("NO");
    bool mostrabaDecision = false;
    AlAparecerModal([&](QWidget*) {
      mostrabaDecision = w_->LastShownIndex == 0 && !visto(w_->Text1).isEmpty();
      QTest::mouseClick(w_->BTNMENU[3], Qt::LeftButton);
    });
    w_->MostrarModal();
    QVERIFY(!w_->isVisible());
    QVERIFY(mostrabaDecision);

    // Escape (o el cierre del marco) hace lo mismo.
    AlAparecerModal([&](QWidget* v) { QTest::keyClick(v, Qt::Key_Escape); });
    w_->MostrarModal();
    QVERIFY(!w_->isVisible());
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  // --- El catálogo -----------------------------------------------------------

  void catalogoPrimeraApertura() {
    FRM64HEXAGRAMAS cat;
    QCOMPARE(cat.label2[1]->text(), QStringLiteral("--------------------"));
    QVERIFY(cat.BTNAUX[0]->isHidden());
    CurrentLines = QStringLiteral("969696");
    AlAparecerModal([&](QWidget*) {
      QCOMPARE(cat.List1->count(), 64);
      QCOMPARE(cat.List1->item(0)->text(), HexagramList[1][1] + QStringLiteral(" - ") + HexagramList[1][4]);
      QCOMPARE(cat.List1->item(63)->text(),
               HexagramList[64][1] + QStringLiteral(" - ") + HexagramList[64][4]);
      // Entrada 0 seleccionada y a la vista; aceptar ya se puede.
      QCOMPARE(cat.List1->currentRow(), 0);
      QVERIFY(cat.BTNAUX[0]->isVisible());
      QCOMPARE(cat.label2[0]->text(), cat.List1->item(0)->text());
      QCOMPARE(cat.label2[1]->text(), QuitarBlancos(HexagramList[1][5]));
      for (const SSRibbon* l : cat.LINEA) {
        QVERIFY(l->isVisible());
        QCOMPARE(l->Picture().cacheKey(), GRAFICOS::Instancia().GRFLINEAp[1].cacheKey());
      }
      QTest::mouseClick(cat.BTNAUX[1], Qt::LeftButton);
    });
    cat.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("969696"));
  }

  void catalogoAceptarDaLasLineas() {
    FRM64HEXAGRAMAS cat;
    // Cada entrada que se pulsa se ve; se acepta la última.
    AlAparecerModal([&](QWidget*) {
      for (int fila : {5, 20, 11}) {
        cat.List1->scrollToItem(cat.List1->item(fila));
        QTest::mouseClick(cat.List1->viewport(), Qt::LeftButton, {},
                          cat.List1->visualItemRect(cat.List1->item(fila)).center());
        QCOMPARE(cat.List1->currentRow(), fila);
        QCOMPARE(cat.label2[0]->text(), cat.List1->item(fila)->text());
      }
      // 12: K'un abajo, Ch'ien arriba.
      for (int j = 0; j < 6; ++j)
        QCOMPARE(cat.LINEA[j]->Picture().cacheKey(),
                 GRAFICOS::Instancia().GRFLINEAp[j < 3 ? 2 : 1].cacheKey());
      QTest::mouseClick(cat.BTNAUX[0], Qt::LeftButton);
    });
    cat.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), QuitarBlancos(HexagramList[12][3]) + QuitarBlancos(HexagramList[12][2]));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("888777"));

    // Al abrir de nuevo sigue la entrada de la vez anterior, con su dibujo.
    AlAparecerModal([&](QWidget*) {
      QCOMPARE(cat.List1->currentRow(), 11);
      QCOMPARE(cat.LINEA[0]->Picture().cacheKey(), GRAFICOS::Instancia().GRFLINEAp[2].cacheKey());
      QTest::keyClick(cat.List1, Qt::Key_Escape);
    });
    CurrentLines = QStringLiteral("999999");
    cat.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("SI"));
    QCOMPARE(CurrentLines.texto(), QStringLiteral("999999"));
  }

  void catalogoDobleClicYTeclado() {
    FRM64HEXAGRAMAS cat;
    // Doble clic en una entrada: acepta como el botón.
    AlAparecerModal([&](QWidget*) {
      cat.List1->scrollToItem(cat.List1->item(29));
      const QPoint p = cat.List1->visualItemRect(cat.List1->item(29)).center();
      QTest::mouseClick(cat.List1->viewport(), Qt::LeftButton, {}, p);
      QTest::mouseDClick(cat.List1->viewport(), Qt::LeftButton, {}, p);
    });
    cat.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), FRM64HEXAGRAMAS::LineasDe(30));

    // Con el teclado: las flechas mueven la vista previa, Intro acepta.
    AlAparecerModal([&](QWidget*) {
      QCOMPARE(cat.List1->currentRow(), 29);
      QTest::keyClick(cat.List1, Qt::Key_Down);
      QTest::keyClick(cat.List1, Qt::Key_Down);
      QTest::keyClick(cat.List1, Qt::Key_Up);
      QCOMPARE(cat.label2[0]->text(), cat.List1->item(30)->text());
      QCOMPARE(cat.label2[1]->text(), QuitarBlancos(HexagramList[31][5]));
      QTest::keyClick(cat.List1, Qt::Key_Return);
    });
    cat.MostrarModal();
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), FRM64HEXAGRAMAS::LineasDe(31));
    for (QChar c : CurrentLines.texto())
      QVERIFY(c == QLatin1Char('7') || c == QLatin1Char('8'));
  }

  void catalogoEsperaAntesDeOcultarse() {
    // La pausa antes de ocultarse deja correr el bucle de eventos; un
    // segundo clic durante ella no cancela lo aceptado.
    FRM64HEXAGRAMAS cat;
    int vueltasDuranteLaPausa = 0;
    AlAparecerModal([&](QWidget*) {
      QTimer::singleShot(0, &cat, [&] {
        ++vueltasDuranteLaPausa;
        QTest::mouseClick(cat.BTNAUX[1], Qt::LeftButton);
      });
      QTest::mouseClick(cat.BTNAUX[0], Qt::LeftButton);
    });
    cat.MostrarModal();
    QCOMPARE(vueltasDuranteLaPausa, 1);
    QCOMPARE(CancelFlag.texto(), QStringLiteral("NO"));
    QCOMPARE(CurrentLines.texto(), FRM64HEXAGRAMAS::LineasDe(1));
  }
};

QTEST_MAIN(PruebaVentanas)
#include "test_ventanas.moc"
