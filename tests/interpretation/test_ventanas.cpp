// La ventana de interpretación y el catálogo de los 64 hexagramas, con clics y teclas.
#include "apoyo/Apoyo.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "interpretation/FRM64HEXAGRAMAS.h"
#include "interpretation/FRMInterpretar.h"
#include "pictures/GRAFICOS.h"
#include "platform/Twips.h"

#include <sys/stat.h>

class PruebaVentanas : public QObject {
  Q_OBJECT
  // Un punto del fondo del marco, entre la columna de líneas y los paneles.
  const QPoint FondoDelMarco{Tw(2220), Tw(1500)};
  std::optional<CarpetaPrueba> carpeta_;
  std::optional<FRMInterpretar> w_;
  // Los textos a la vista ("texto|" o "enunciado|interpretación") por código: "D", "L1"…, "cD"…
  std::map<QString, QString> textos_;

  void abrir(const QString& lineas) {
    CurrentLines = lineas;
    ComputeComplement();
    textos_.clear();
    for (const QString& c : {QString(), u"c"_s}) {
      CargarBuffer(c.isEmpty() ? lineas : ComplementLines.texto());
      for (const QString& s : u"D C I L1 L2 L3 L4 L5 L6"_s.split(u' ')) {
        const TextoLinea t = s.size() > 1 ? ExtraerLinea(s) : TextoLinea{ExtraerSeccion(s), QString()};
        textos_[c + s] = QString(t.enunciado + u'|' + t.interpretacion).replace(u"\r\n"_s, u"\n"_s);
      }
    }
    w_->show();
    QVERIFY(QTest::qWaitForWindowActive(&*w_));
  }

  // El marco, las líneas, los botones de texto disponibles ("*" el marcado) y el texto a la vista.
  QString vista() const {
    QString r = w_->CaptionHexagrama().mid(10) + u' ';
    for (const BotonImagen* l : w_->LINEA)
      r += l->isVisibleTo(&*w_) ? ValorDibujado(l->Picture(), GRAFICOS::Instancia().GRFLINEAm) : u'-';
    r += u' ';
    for (int i = 0; i < 9; ++i)
      if (w_->BTNINTERPRETAR[size_t(i)]->isEnabled())
        r += u"DCI123456"_s.mid(i, 1) + (w_->BTNINTERPRETAR[size_t(i)]->Estilo() == 2 ? u"*"_s : QString());
    const bool seccion = w_->Text1->isVisibleTo(&*w_);
    if (seccion == w_->Text2[0]->isVisibleTo(&*w_))
      return r + u" ¿los dos cuadros?"_s;
    const QString texto = seccion ? w_->Text1->toPlainText() + u'|'
                                  : w_->Text2[0]->toPlainText() + u'|' + w_->Text2[1]->toPlainText();
    for (const auto& [codigo, t] : textos_)
      if (t == texto && t != u"|"_s)
        return r + u' ' + codigo;
    return r + u" ?"_s + texto.left(30);
  }

private slots:
  void init() {
    carpeta_.emplace(true);
    PrepararEstado(true);
    w_.emplace();
  }
  void cleanup() {
    FRMInterpretar::AbrirGrabar = nullptr;
    FRMInterpretar::AbrirImprimir = nullptr;
    QCOMPARE(CancelarEsperasModales(), 0);
  }

  // Cada consulta sólo con los botones de sus líneas; el botón de cambio y el fondo del marco.
  void consultasSeguidas() {
    const std::vector<std::array<QString, 3>> consultas{
        {u"969696"_s, u"PRINCIPAL 969696 D*CI123456 D"_s, u"COMPLEMENTARIO 878787 D*CI cD"_s},
        {u"779777"_s, u"PRINCIPAL 779777 D*CI3 D"_s, u"COMPLEMENTARIO 778777 D*CI cD"_s},
        {u"787878"_s, u"PRINCIPAL 787878 D*CI D"_s, u"PRINCIPAL 787878 D*CI D"_s}};
    for (const auto& [lineas, principal, complementario] : consultas) {
      abrir(lineas);
      QCOMPARE(vista(), principal);
      Pulsar(w_->BTNMENU[0]);
      QCOMPARE(vista(), complementario);
      Pulsar(w_->Framehexagrama, FondoDelMarco);
      QCOMPARE(vista(), principal);
      Pulsar(w_->BTNMENU[3]);
    }
    // Un almacén que no es un fichero normal (una FIFO colgaría la ventana) no se lee: sin textos.
    const QByteArray almacen = QFile::encodeName(carpeta_->fichero(u"BINARIO.DAT"_s));
    QVERIFY(QFile::remove(QString::fromLocal8Bit(almacen)) && mkfifo(almacen.constData(), 0600) == 0);
    abrir(u"969696"_s);
    QCOMPARE(vista(), u"PRINCIPAL 969696 D*CI ?|"_s);
    Pulsar(w_->BTNMENU[3]);
    QCOMPARE(GuionMensajes::mostrados().size(), size_t(2)); // sin líneas que cambian, avisa
    QCOMPARE(GuionMensajes::mostrados()[1].titulo + u": "_s + GuionMensajes::mostrados()[1].texto,
             u"Información al usuario: El hexagrama complementario solo se\r\ncrea cuando existen líneas "
             "cambiantes\r\nen el hexagrama principal.\r\n"_s);
  }

  // La pregunta se lee entera en su renglón (si ni con la letra más chica cabe, como con otras letras que
  // las de las pruebas, en su ayuda); tras una larga, la corta vuelve a la letra de siempre.
  void preguntaEntera() {
    const double normal = w_->PREGUNTA->font().pointSizeF();
    for (const QString& pregunta : {u"¿DEBO ACEPTAR EL PUESTO QUE ME OFRECEN EN LA COMPAÑÍA DEL NORTE, MUY "
                                    "LEJOS DE LA CASA DE MIS PADRES?"_s,
                                    u"¿QUÉ HAGO?"_s}) {
      CurrentQuestion = pregunta;
      abrir(u"797797"_s);
      const QLineEdit* p = w_->PREGUNTA;
      QCOMPARE(p->text(), pregunta);
      QVERIFY(QFontMetrics(p->font()).horizontalAdvance(pregunta) < p->width() - 12 ||
              p->toolTip() == pregunta);
      Pulsar(w_->BTNMENU[3]);
    }
    QCOMPARE(w_->PREGUNTA->font().pointSizeF(), normal);
  }

  // Las líneas que cambian, los nombres y los trigramas muestran textos, sin contar como el marco.
  void clicsEnElDibujo() {
    abrir(u"797797"_s);
    const std::vector<std::pair<QWidget*, QString>> clics{
        {w_->LINEA[4], u"DCI25* L5"_s},          {w_->LINEA[0], u"DCI25* L5"_s}, // no cambia
        {w_->BTNINTERPRETAR[4], u"DCI2*5 L2"_s}, {w_->TXTTRIGRAMA[0], u"DCI*25 I"_s},
        {w_->TXTHEXAGRAMA[1], u"D*CI25 D"_s},    {w_->SSPanel2[1], u"DCI*25 I"_s},
        {w_->TXTHEXAGRAMA[0], u"D*CI25 D"_s},    {w_->TXTTRIGRAMA[1], u"DCI*25 I"_s}};
    for (const auto& [control, esperada] : clics) {
      // En el panel, el rótulo que va encima del nombre del trigrama.
      Pulsar(control, control == w_->SSPanel2[1] ? QPoint(control->width() / 2, 4) : QPoint());
      QCOMPARE(vista(), u"PRINCIPAL 797797 "_s + esperada);
    }
    Pulsar(w_->Framehexagrama, FondoDelMarco);
    Pulsar(w_->LINEA[4]); // en el complementario ninguna línea tiene texto
    QCOMPARE(vista(), u"COMPLEMENTARIO 787787 D*CI cD"_s);
    // El tabulador pasa por los botones sin cambiar lo que se lee; Espacio e Intro lo muestran.
    w_->BTNINTERPRETAR[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w_->windowHandle(), Qt::Key_Tab);
    QVERIFY(w_->BTNINTERPRETAR[1]->hasFocus());
    QCOMPARE(vista(), u"COMPLEMENTARIO 787787 D*CI cD"_s);
    QTest::keyClick(w_->windowHandle(), Qt::Key_Space);
    QCOMPARE(vista(), u"COMPLEMENTARIO 787787 DC*I cC"_s);
    QTest::keyClick(w_->windowHandle(), Qt::Key_Tab);
    QTest::keyClick(w_->windowHandle(), Qt::Key_Return);
    QCOMPARE(vista(), u"COMPLEMENTARIO 787787 DCI* cI"_s);
  }

  // El botón a la vista no repone su texto (pudo desplazarse), salvo tras una orden del menú.
  void mismoBotonYOrdenesDelMenu() {
    abrir(u"969696"_s);
    w_->Text1->setPlainText(u"desplazado"_s);
    Pulsar(w_->BTNINTERPRETAR[0]);
    QCOMPARE(vista(), u"PRINCIPAL 969696 D*CI123456 ?desplazado|"_s);
    QString bandera, grabada;
    FRMInterpretar::AbrirGrabar = [&] {
      bandera += CancelFlag.texto();
      return grabada;
    };
    // Grabar se confirma con una línea que se va sola (Ctrl+G es archivar); sin grabar, nada.
    Pulsar(w_->BTNMENU[1]);
    QVERIFY(w_->LBLAviso->isHidden());
    grabada = u"ÍÑIGO"_s;
    FRMInterpretar::DuracionAvisoMs = 1500;
    QTest::keyClick(w_->windowHandle(), Qt::Key_G, Qt::ControlModifier);
    QTRY_COMPARE(bandera, u"SISI"_s);
    QVERIFY(w_->LBLAviso->isVisible() && w_->BTNMENU[1]->toolTip().contains(u"(Ctrl+G)"_s));
    QCOMPARE(w_->LBLAviso->text(), u"Consulta grabada para ÍÑIGO"_s);
    QTRY_VERIFY(w_->LBLAviso->isHidden());
    FRMInterpretar::DuracionAvisoMs = 4000;
    QCOMPARE(vista(), u"PRINCIPAL 969696 D*CI123456 ?desplazado|"_s);
    Pulsar(w_->BTNINTERPRETAR[0]);
    QCOMPARE(vista(), u"PRINCIPAL 969696 D*CI123456 D"_s);

    Pulsar(w_->BTNINTERPRETAR[8]);
    FRMInterpretar::AbrirImprimir = [] {
      CargarBuffer(CurrentLines);
      CargarBuffer(ComplementLines);
    };
    Pulsar(w_->BTNMENU[2]);
    QCOMPARE(vista(), u"PRINCIPAL 969696 DCI123456* L6"_s);
    Pulsar(w_->BTNINTERPRETAR[3]);
    QCOMPARE(vista(), u"PRINCIPAL 969696 DCI1*23456 L1"_s);
    // Con el complementario a la vista, se recarga el complementario.
    Pulsar(w_->BTNMENU[0]);
    FRMInterpretar::AbrirImprimir = [] { CargarBuffer(CurrentLines); };
    Pulsar(w_->BTNMENU[2]);
    Pulsar(w_->BTNINTERPRETAR[2]);
    QCOMPARE(vista(), u"COMPLEMENTARIO 878787 DCI* cI"_s);
  }

  // La ventana se agranda: crece la lectura y el resto guarda su diseño; agrandada no vuelve al centro.
  // Ctrl++ y Ctrl+− cambian la letra de lectura, también con el foco en el texto.
  void crecerYLeer() {
    abrir(u"969696"_s);
    QVERIFY(w_->minimumSize() == w_->size() && w_->maximumWidth() > 4000 &&
            (w_->windowFlags() & Qt::WindowMaximizeButtonHint));
    const QRect botonera = w_->BTNMENU[3]->geometry(), marco = w_->Framehexagrama->geometry();
    const QSize pregunta = w_->PREGUNTA->size(), lectura = w_->Text1->size();
    w_->resize(w_->width() + 200, w_->height() + 100);
    QVERIFY(w_->BTNMENU[3]->geometry() == botonera && w_->Framehexagrama->size() == marco.size());
    QCOMPARE(w_->PREGUNTA->size(), pregunta + QSize(200, 0));
    QCOMPARE(w_->Text1->size(), lectura + QSize(200, 100));
    w_->move(3, 3);
    w_->centrarform();
    QCOMPARE(w_->pos(), QPoint(3, 3));
    const double letra = w_->PuntosLectura();
    QTest::keyClick(w_->windowHandle(), Qt::Key_Plus, Qt::ControlModifier);
    w_->Text1->setFocus();
    QTest::keyClick(w_->windowHandle(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(w_->Text2[1]->font().pointSizeF(), letra + 3);
    for (int k = 0; k < 30; ++k)
      QTest::keyClick(w_->windowHandle(), Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(w_->Text1->font().pointSizeF() < letra && w_->Text1->font().pointSizeF() >= 8);
  }

  // Cancelar, volver a abrir y aceptar con el botón, con doble clic y con el teclado.
  void catalogo() {
    FRM64HEXAGRAMAS cat;
    QVERIFY(cat.BTNAUX[0]->isHidden());
    const auto fila = [&](int n) {
      cat.List1->scrollToItem(cat.List1->item(n));
      return cat.List1->visualItemRect(cat.List1->item(n)).center();
    };
    // La vista previa (el dibujo, el nombre y el segundo nombre), la bandera y las líneas.
    const auto previa = [&] {
      QString r;
      for (const SSRibbon* l : cat.LINEA)
        r += l->isHidden() ? u'-' : ValorDibujado(l->Picture(), GRAFICOS::Instancia().GRFLINEAp);
      return r + u' ' + cat.label2[0]->text() + u" / "_s + cat.label2[1]->text() + u" = "_s +
             CancelFlag.texto() + u' ' + CurrentLines.texto();
    };
    const auto abrirCatalogo = [&](const std::function<void()>& accion) {
      AlAparecerModal([&](QWidget*) { accion(); });
      cat.MostrarModal();
      return previa();
    };
    CurrentLines = u"969696"_s;
    QString alAbrir;
    QCOMPARE(abrirCatalogo([&] {
               alAbrir = previa().section(u" = "_s, 0, 0) + u' ' + QString::number(cat.List1->count()) +
                         (cat.BTNAUX[0]->isVisible() ? u" aceptar"_s : QString());
               for (int n : {5, 20, 11})
                 Pulsar(cat.List1->viewport(), fila(n));
               Pulsar(cat.BTNAUX[1]);
             }),
             u"888777 12 - P'i / La obstrucción = SI 969696"_s);
    QCOMPARE(alAbrir, u"777777 1 - Ch'ien / La fuerza creadora 64 aceptar"_s);
    // La selección sigue; aceptar junta los campos 3 y 2 sin blancos.
    HexagramList[12][3] = u" 888 "_s;
    QCOMPARE(abrirCatalogo([&] { Pulsar(cat.BTNAUX[0]); }),
             u"888777 12 - P'i / La obstrucción = NO 888777"_s);
    QCOMPARE(abrirCatalogo([&] {
               Pulsar(cat.List1->viewport(), fila(29));
               QTest::mouseDClick(cat.List1->viewport(), Qt::LeftButton, {}, fila(29));
             }),
             u"787787 30 - Li / La luz que se adhiere = NO 787787"_s);
    QCOMPARE(abrirCatalogo([&] {
               for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Return})
                 QTest::keyClick(cat.List1, k);
             }),
             u"887778 31 - Hsien / La atracción mutua = NO 887778"_s);
  }

  // Las líneas 4 a 6 en el panel de arriba y las 1 a 3 en el de abajo, con el nombre del dibujo
  // aunque cambien; la ayuda sólo en la línea que cambia.
  void trigramasEnSuPanel() {
    SSPanel *superior = w_->SSPanel2[0], *inferior = w_->SSPanel2[1];
    QCOMPARE(superior->Caption() + u'/' + inferior->Caption(), u"TRIGRAMA SUPERIOR/TRIGRAMA INFERIOR"_s);
    QVERIFY(superior->y() + superior->height() <= inferior->y());
    for (const auto& [lineas, esperado] : std::vector<std::pair<QString, QString>>{
             {u"977888"_s, u"K'un, la Tierra que recibe / Ch'ien, el Cielo que crea / 11-T'ai / La armonía "
                           "fecunda / Interpretar línea 1|||||"_s},
             {u"789878"_s, u"K'an, el Agua que se abisma / Li, el Fuego que ilumina / 63-Chi Chi / Lo ya "
                           "cumplido / ||Interpretar línea 3|||"_s},
             {u"887786"_s, u"Chên, el Trueno que despierta / Kên, la Montaña que aquieta / 62-Hsiao Kuo / El "
                           "exceso de lo pequeño / |||||Interpretar línea 6"_s}}) {
      w_->isVisible() ? w_->ActualizaHexagrama(lineas) : abrir(lineas);
      QStringList ayudas;
      for (const BotonImagen* l : w_->LINEA)
        ayudas << l->toolTip();
      QCOMPARE(superior->findChild<QLabel*>()->text() + u" / "_s + inferior->findChild<QLabel*>()->text() +
                   u" / "_s + w_->TXTHEXAGRAMA[0]->text() + u" / "_s + w_->TXTHEXAGRAMA[1]->text() +
                   u" / "_s + ayudas.join(u'|'),
               esperado);
    }
  }
};

QTEST_MAIN(PruebaVentanas)
#include "test_ventanas.moc"
