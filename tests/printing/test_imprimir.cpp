// La impresora y la impresión de un hexagrama desde su ventana: dibujo,
// textos, fichero temporal, fallos, diálogos y un PDF de verdad.
#include "CortesCastellano.h"
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Codificacion.h"
#include "platform/Controles.h"
#include "platform/DialogosComunes.h"
#include "printing/ComponerTexto.h"
#include "printing/FRMImprimir.h"
#include "printing/ImpresoraGrabadora.h"

#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// pdftotext en bruto (sin juntar las palabras cortadas) o con las cajas ("-bbox").
QString textoPdf(const QString& ruta, const QString& modo = u"-raw"_s) {
  QProcess p;
  p.start(u"pdftotext"_s, {modo, u"-enc"_s, u"UTF-8"_s, ruta, u"-"_s});
  return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// El nombre de un hexagrama tal como se imprime.
QString nombre(const QString& lineas) {
  const auto& fila = HexagramList[std::size_t(HexagramNumber(lineas))];
  return fila[1].trimmed() + u'-' + fila[4];
}

// Lo que da la composición de TextBuffer en la página de la impresora que anota.
QStringList compuestas(const QString& fuente, double tamano) {
  SuperficieMedidaQt s;
  QStringList r;
  ComponerTexto(s, {fuente, tamano}, ImpresoraGrabadora().ancho - RightReserve,
                [&](const QString& l) { r << l; });
  return r;
}

// Los trazos como texto ("caja x,y x,y", "raya x,y x,y", "anillo x,y r").
QStringList trazos(const ImpresoraGrabadora& p) {
  QStringList r;
  for (const MarcaImpresa& m : p.marcas) {
    const QString a = u"%1,%2"_s.arg(m.p1.x()).arg(m.p1.y()), b = u"%1,%2"_s.arg(m.p2.x()).arg(m.p2.y());
    if (m.tipo == MarcaImpresa::Caja || m.tipo == MarcaImpresa::Raya)
      r << (m.tipo == MarcaImpresa::Caja ? u"caja "_s : u"raya "_s) + a + u' ' + b;
    else if (m.tipo == MarcaImpresa::Circulo)
      r << u"anillo "_s + a + u" r"_s + QString::number(m.radio);
  }
  return r;
}
} // namespace

class PruebaImprimir : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<ImpresoraGrabadora> impresora_;
  std::unique_ptr<FRMImprimir> f_;

  void consulta(const QString& lineas, const QString& pregunta = u"¿QUÉ DEBO HACER?"_s) {
    CurrentLines = lineas;
    ComputeComplement();
    CurrentQuestion = pregunta;
    CargarBuffer(CurrentLines);
  }

  void imprimir(bool ambos = false) {
    f_->show();
    f_->OPCION[ambos ? 0 : 1]->setChecked(true);
    f_->BTNMENU_Click(0);
  }

  QString fichero(const QString& nombre) const { return carpeta_->fichero(nombre); }

private slots:
  void initTestCase() { // hasta que el usuario elige otra
    QCOMPARE(FRMImprimir::DialogoDeImpresion().FontName, u"Arial"_s);
    QCOMPARE(FRMImprimir::DialogoDeImpresion().FontSize, 12.0);
  }

  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>(true);
    PrepararEstado(true);
    GuionDialogos::activar();
    impresora_ = std::make_unique<ImpresoraGrabadora>();
    FijarImpresora(impresora_.get());
    FRMImprimir::DialogoDeImpresion().FontName = u"Arial"_s;
    FRMImprimir::DialogoDeImpresion().FontSize = 12;
    f_ = std::make_unique<FRMImprimir>();
  }

  void cleanup() {
    f_.reset();
    FijarImpresora(nullptr);
    FijarReloj(nullptr, nullptr);
    carpeta_.reset();
  }

  void laImpresora() {
    ImpresoraGrabadora p;
    p.alto = 3000;
    const auto pluma = [&p] { return QPointF(p.CurrentX(), p.CurrentY()); };
    const double ancho = p.TextWidth(u"CONSULTA:"_s), alto = p.TextHeight();
    QVERIFY(ancho > 1000 && ancho < 1800 && alto > 240 && alto < 240 * 1.3);
    p.setCurrentX(500);
    p.setCurrentY(100);
    p.Print(u"CONSULTA:"_s, false);
    QCOMPARE(pluma(), QPointF(500 + ancho, 100));
    // Con fin de línea, a x = 0 una línea más abajo; sin texto, sin marca.
    p.Print(u" otra"_s, true);
    p.Print(QString(), true);
    QCOMPARE(pluma(), QPointF(0, 100 + 2 * alto));
    QCOMPARE(p.buscarTexto(u" otra"_s)->p1, QPointF(500 + ancho, 100));
    // La línea que cabe justo se queda; la siguiente va arriba de una página nueva.
    p.setCurrentY(3000 - alto);
    p.Print(u"última"_s, true);
    p.Print(u"siguiente"_s, true);
    const MarcaImpresa* s = p.buscarTexto(u"siguiente"_s);
    QVERIFY(p.buscarTexto(u"última"_s)->pagina == 1 && s->pagina == 2 && s->p1 == QPointF(0, 0));
    // Cajas, rayas y círculos dejan la pluma al final del trazo o en el centro.
    p.Line(500, 1550, 1100, 1650, Qt::black, FormaLinea::CajaRellena);
    QCOMPARE(pluma(), QPointF(1100, 1650));
    p.Line(1200, 1650, 1300, 1550, Qt::black, FormaLinea::Raya);
    QCOMPARE(pluma(), QPointF(1300, 1550));
    p.Circle(1250, 1600, 70, Qt::black);
    QCOMPARE(pluma(), QPointF(1250, 1600));
    // La fuente dura de un trabajo al siguiente; la pluma vuelve a (0, 0).
    p.setFontName(u"Liberation Serif"_s);
    p.setFontSize(15);
    p.setFontBold(true);
    p.EndDoc();
    QCOMPARE(pluma(), QPointF(0, 0));
    p.Print(u"dos"_s, true);
    p.KillDoc();
    p.EndDoc(); // sin trabajo, nada
    const MarcaImpresa* m = p.buscarTexto(u"dos"_s, 2);
    QVERIFY(m && m->fuente == u"Liberation Serif"_s && m->tamano == 15 && m->negrita);
    QCOMPARE(p.trabajosTerminados(), 1);
    QCOMPARE(p.trabajosCancelados(), 1);
    QCOMPARE(p.marcas.back().tipo, MarcaImpresa::Cancelado);
  }

  void losPdf() {
    // Un PDF que no se puede crear (bajo un fichero) es el error 482.
    QFile(fichero(u"fichero"_s)).open(QIODevice::WriteOnly);
    ImpresoraQt p;
    p.ElegirFicheroPdf(fichero(u"fichero/sub/consulta.pdf"_s));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    try {
      p.Print(u"a"_s, true);
      QFAIL("tenía que fallar");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrImpresora);
    }
    QVERIFY(!p.TrabajoEmpezado());
    // Sin impresora, cada trabajo es un PDF con fecha y hora que no pisa el anterior.
    FijarReloj([] { return 7 * 3600 + 5 * 60 + 3.75; }, [] { return QDate(2027, 1, 9); });
    QCOMPARE(ImpresoraQt::NombrePdfAutomatico(), u"KORVAL 2027-01-09 07-05-03.pdf"_s);
    if (!QPrinterInfo::availablePrinters().isEmpty())
      QSKIP("Esta máquina tiene impresoras instaladas");
    ImpresoraQt q;
    for (const QString& t : {u"Primer trabajo"_s, u"Segundo trabajo"_s}) {
      q.Print(t, true);
      q.EndDoc();
    }
    QVERIFY(textoPdf(fichero(u"KORVAL 2027-01-09 07-05-03.pdf"_s)).contains(u"Primer trabajo"_s));
    const QString dos = textoPdf(fichero(u"KORVAL 2027-01-09 07-05-03 (2).pdf"_s));
    QVERIFY(dos.contains(u"Segundo trabajo"_s) && !dos.contains(u"Primer"_s));
  }

  void opcionesYDosTrabajos() {
    consulta(u"787878"_s);
    f_->show();
    QVERIFY(!f_->OPCION[0]->isEnabled() && f_->OPCION[1]->isChecked());
    f_->BTNMENU_Click(0);
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    QVERIFY(!f_->isVisible());
    // Con líneas cambiantes: primero el principal, después el complementario.
    consulta(u"969678"_s);
    f_->show();
    QVERIFY(f_->OPCION[0]->isEnabled() && f_->OPCION[1]->isChecked());
    imprimir(true);
    QCOMPARE(impresora_->trabajosTerminados(), 3);
    for (const QString& t : {u"HEXAGRAMA PRINCIPAL"_s, nombre(u"969678"_s), u"LINEA 1"_s})
      QVERIFY2(impresora_->buscarTexto(t, 2), qPrintable(t));
    for (const QString& t : {u"HEXAGRAMA COMPLEMENTARIO"_s, nombre(u"878778"_s)})
      QVERIFY2(impresora_->buscarTexto(t, 3), qPrintable(t));
    QVERIFY(!impresora_->buscarTexto(u"LINEA 1"_s, 3));
    f_->show();
    QVERIFY(f_->OPCION[1]->isChecked());
  }

  void dibujoExacto_data() {
    QTest::addColumn<QString>("lineas");
    QTest::addColumn<QPointF>("superior");
    QTest::addColumn<QPointF>("inferior");
    // Cada etiqueta va donde quedó la pluma tras la línea 6 (o la 3).
    QTest::newRow("9 arriba, 8 en la 3") << u"678969"_s << QPointF(2500, 1600) << QPointF(2500, 2400);
    QTest::newRow("6 arriba, 7 en la 3") << u"777666"_s << QPointF(2500, 1550) << QPointF(2500, 2400);
    QTest::newRow("7 arriba, 9 en la 3") << u"889887"_s << QPointF(2500, 1650) << QPointF(2500, 2350);
    QTest::newRow("8 arriba, 6 en la 3") << u"996778"_s << QPointF(2500, 1650) << QPointF(2500, 2300);
  }

  void dibujoExacto() {
    QFETCH(QString, lineas);
    QFETCH(QPointF, superior);
    QFETCH(QPointF, inferior);
    consulta(lineas);
    imprimir();
    const int yLinea[7] = {0, 2700, 2500, 2300, 1950, 1750, 1550};
    QStringList esperados;
    for (int n = 6; n >= 1; --n) {
      const int y = yLinea[n], b = y + 100;
      const QChar v = lineas[n - 1];
      if (v == u'7')
        esperados << u"caja 500,%1 2000,%2"_s.arg(y).arg(b);
      else
        esperados << u"caja 500,%1 1100,%2"_s.arg(y).arg(b) << u"caja 1400,%1 2000,%2"_s.arg(y).arg(b);
      if (v == u'6')
        esperados << u"raya 1200,%1 1300,%2"_s.arg(y).arg(b) << u"raya 1200,%1 1300,%2"_s.arg(b).arg(y);
      if (v == u'9')
        esperados << u"anillo 1250,%1 r70"_s.arg(y + 50);
    }
    QCOMPARE(trazos(*impresora_), esperados);
    // Cada etiqueta en negrita subrayada y, detrás, el nombre del trigrama sin ellas.
    QCOMPARE(impresora_->textos().mid(4, 4),
             (QStringList{u"Trigrama Superior:"_s, u"  "_s + TrigramName(lineas.right(3)),
                          u"Trigrama Inferior:"_s, u"  "_s + TrigramName(lineas.left(3))}));
    const auto t = impresora_->deTipo(MarcaImpresa::Texto);
    QCOMPARE(t[4].p1, superior);
    QCOMPARE(t[6].p1, inferior);
    for (std::size_t i : {4, 6})
      QVERIFY(t[i].negrita && t[i].subrayado && !t[i + 1].negrita && t[i + 1].p1.y() == t[i].p1.y());
  }

  void fallos_data() {
    // Antes de un 482 sólo se puede aceptar; después, anular, reintentar u omitir.
    QTest::addColumn<QString>("lineas");
    QTest::addColumn<int>("fallaEn");           // marca que falla siempre con el error 57 (-1, ninguna)
    QTest::addColumn<QList<int>>("respuestas"); // sin vbOK, la primera es para un 482
    QTest::addColumn<int>("terminados");
    QTest::addColumn<int>("cancelados");
    const QString l = u"967878"_s;
    const int caja = MarcaImpresa::Caja, anillo = MarcaImpresa::Circulo, fin = MarcaImpresa::Fin;
    QTest::newRow("57 al final: aceptar") << l << fin << QList<int>{vbOK, vbOK} << 0 << 0;
    QTest::newRow("482: reintentar") << l << -1 << QList<int>{vbRetry} << 2 << 0;
    QTest::newRow("482: omitir") << l << -1 << QList<int>{vbIgnore} << 2 << 0;
    QTest::newRow("482: anular termina la orden") << l << -1 << QList<int>{vbAbort} << 0 << 0;
    QTest::newRow("57: anular cancela") << l << caja << QList<int>{vbRetry, vbAbort} << 0 << 1;
    QTest::newRow("57: omitir sigue") << u"787978"_s << anillo << QList<int>{vbIgnore, vbIgnore} << 2 << 0;
  }

  void fallos() {
    QFETCH(QString, lineas);
    QFETCH(int, fallaEn);
    QFETCH(QList<int>, respuestas);
    QFETCH(int, terminados);
    QFETCH(int, cancelados);
    consulta(lineas);
    const bool con482 = !respuestas.contains(vbOK);
    impresora_->fallosAlEmpezar = con482 ? 1 : 0;
    impresora_->antesDeMarcar = [fallaEn](const MarcaImpresa& m) {
      if (int(m.tipo) == fallaEn)
        throw ErrorEjecucion(ErrEntradaSalida);
    };
    for (int r : respuestas)
      GuionMensajes::responder(r);
    imprimir(true);
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(int(msg.size()), int(respuestas.size()));
    for (std::size_t i = 0; i < msg.size(); ++i) {
      QCOMPARE(msg[i].texto,
               i == 0 && con482 ? u"IMPRESORA NO PREPARADA (error 482)"_s : u"ERROR 57 (SUB IMPRIMIR)"_s);
      QCOMPARE(msg[i].titulo, u"ATENCION..."_s);
      QCOMPARE(msg[i].estilo, vbCritical | (con482 ? vbAbortRetryIgnore : vbOKOnly));
    }
    QCOMPARE(impresora_->trabajosTerminados(), terminados);
    QCOMPARE(impresora_->trabajosCancelados(), cancelados);
    QVERIFY(!f_->isVisible());
    f_->show();
    QVERIFY(f_->panfondo->isEnabled() && !f_->PANIMPRIMIENDO->isVisible());
    // inter.tmp se borra al terminar; si no, queda como se escribió: Windows-1252.
    QFile f(fichero(u"inter.tmp"_s));
    QCOMPARE(f.exists(), fallaEn == int(MarcaImpresa::Fin));
    if (f.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = f.readAll();
      QCOMPARE(bytes, Win1252::codificar(compuestas(u"Arial"_s, 12).join(u"\r\n"_s) + u"\r\n"_s));
      QVERIFY(bytes.contains(char(0xF3)) && !bytes.contains("\xC3\xB3"));
    }
  }

  void dialogos() {
    // Cancelados: no dicen nada ni cambian nada.
    f_->show();
    f_->BTNMENU_Click(2);
    f_->BTNMENU_Click(1);
    QVERIFY(GuionMensajes::mostrados().empty());
    const auto& d = GuionDialogos::mostrados();
    QCOMPARE(d.size(), std::size_t(2));
    QCOMPARE(d[0].tipo + d[1].tipo, u"FUENTESIMPRESORA"_s);
    QCOMPARE(f_->CMDPrint->FontName + QString::number(f_->CMDPrint->FontSize), u"Arial12"_s);
    QVERIFY(impresora_->ficheroElegido.isEmpty() && f_->isVisible());
    // Otro fallo se cuenta con su número.
    GuionDialogos::responder(RespuestaDialogo::fallar(28660));
    f_->BTNMENU_Click(2);
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(1));
    QCOMPARE(msg[0].titulo, u"Error en módulo de FRMImprimir(SUB CONFIGURAR)"_s);
    QCOMPARE(msg[0].texto, u"ERROR:  28660"_s);
    QCOMPARE(msg[0].estilo, vbExclamation | vbOKOnly);
    // La fuente elegida sigue en otra ventana y con ella se componen los textos.
    GuionDialogos::responder(RespuestaDialogo::elegirFuente(u"Liberation Serif"_s, 14));
    QTest::mouseClick(f_->BTNMENU[2], Qt::LeftButton);
    f_ = std::make_unique<FRMImprimir>();
    consulta(u"787969"_s);
    imprimir();
    const QStringList impresas = impresora_->textos();
    for (const QString& l : compuestas(u"Liberation Serif"_s, 14))
      QVERIFY2(l.isEmpty() || impresas.contains(l.startsWith(u"*n*"_s) ? l.mid(3) : l), qPrintable(l));
    const MarcaImpresa ultima = impresora_->deTipo(MarcaImpresa::Texto).back();
    QVERIFY(ultima.fuente == u"Liberation Serif"_s && ultima.tamano == 14 && ultima.p1.x() == 500);
  }

  void unaConsultaImpresaEnPdf() {
    FijarImpresora(nullptr);
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(fichero(u"consulta.pdf"_s)));
    f_->show();
    f_->BTNMENU_Click(1);
    consulta(u"697896"_s, u"¿DEBO ACEPTAR EL NUEVO TRABAJO?"_s);
    imprimir();
    QVERIFY(GuionMensajes::mostrados().empty());
    const QString todo = textoPdf(fichero(u"consulta.pdf"_s));
    const QStringList l = todo.split(u'\n');
    for (const QString& t : {u"CONSULTA: ¿DEBO ACEPTAR EL NUEVO TRABAJO?"_s, u"HEXAGRAMA PRINCIPAL"_s,
                             nombre(u"697896"_s), u"Trigrama Superior:"_s, TrigramName(u"896"_s)})
      QVERIFY2(todo.contains(t), qPrintable(t));
    for (const QString& t : {u"DECISION"_s, u"COMENTARIO"_s, u"IMAGEN"_s, u"LINEA 1"_s, u"LINEA 6"_s})
      QVERIFY2(l.contains(t), qPrintable(t));
    QVERIFY(!l.contains(u"LINEA 3"_s) && !l.contains(u"LINEA 4"_s));
    // Cada palabra partida lo está como en castellano.
    const Cortes::Resultado cortes = Cortes::JuzgarLineas(l);
    QVERIFY2(cortes.malos.isEmpty(), qPrintable(cortes.malos.join(u'\n')));
    QVERIFY(cortes.guiones > 5);
    // Ninguna palabra sale de la página; el texto empieza 25 puntos dentro del margen (36).
    const QString cajas = textoPdf(fichero(u"consulta.pdf"_s), u"-bbox"_s);
    const auto pag = QRegularExpression(u"<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""_s).match(cajas);
    const double ancho = pag.captured(1).toDouble(), alto = pag.captured(2).toDouble(), margen = 36;
    const QRegularExpression palabra(
        u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\""_s);
    int palabras = 0;
    for (auto it = palabra.globalMatch(cajas); it.hasNext(); ++palabras) {
      const auto w = it.next();
      const double x0 = w.captured(1).toDouble(), y0 = w.captured(2).toDouble();
      const double x1 = w.captured(3).toDouble(), y1 = w.captured(4).toDouble();
      QVERIFY(x0 >= margen + 25 - 0.5 && x1 <= ancho - margen && y0 >= margen - 0.5 && y1 <= alto - margen);
    }
    QVERIFY(palabras > 500);
  }
};

QTEST_MAIN(PruebaImprimir)
#include "test_imprimir.moc"
