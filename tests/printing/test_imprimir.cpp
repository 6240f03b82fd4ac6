// La impresión de un hexagrama desde su ventana: dibujo, pregunta, textos, fallos, diálogos y los PDF de
// verdad, enteros o nada, con su nombre y su aviso, sin enlaces ni ficheros ajenos.
#include "CortesCastellano.h"
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Controles.h"
#include "platform/DialogosComunes.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"
#include "printing/ComponerTexto.h"
#include "printing/FRMImprimir.h"
#include "printing/ImpresoraGrabadora.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QFontDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// pdftotext en bruto (sin juntar las palabras cortadas) o con las cajas ("-bbox").
QString textoPdf(const QString& ruta, const QString& modo = u"-raw"_s) {
  QProcess p;
  p.start(u"pdftotext"_s, {modo, u"-enc"_s, u"UTF-8"_s, ruta, u"-"_s});
  return p.waitForFinished(20000) ? QString::fromUtf8(p.readAllStandardOutput()) : u"(pdftotext no acabó)"_s;
}

// La letra de un texto impreso: lo alto de su línea y lo que llega a la derecha.
QFontMetricsF letra(const MarcaImpresa& m) {
  return QFontMetricsF(FuenteEnTwips(m.fuente, m.tamano, m.negrita, m.subrayado, m.cursiva));
}

bool sinPermisosAjenos(const QString& ruta) { // ni el grupo ni los otros: 0077
  return QFile::exists(ruta) && (QFile::permissions(ruta).toInt() & 0x0077) == 0;
}

// Una pregunta de cien caracteres, que no cabe en una línea.
const QString PreguntaLarga =
    u"¿DEBO ACEPTAR EL PUESTO QUE ME OFRECEN EN LA COMPAÑÍA DEL NORTE, MUY LEJOS DE LA CASA DE MIS PADRES?"_s;
} // namespace

class PruebaImprimir : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<ImpresoraGrabadora> impresora_;
  std::unique_ptr<FRMImprimir> f_;

  void consulta(const QString& lineas, const QString& pregunta = u"¿QUÉ DEBO HACER?"_s) {
    CurrentDate = QDate(2026, 12, 5);
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
  QStringList sobrantes() const { return Sobrantes(carpeta_->ruta()); }

  // La impresora de verdad sin impresoras en el sistema, el 5-12-2026 a las 18:30:12.
  void impresoraDeVerdad() {
    real_ = std::make_unique<ImpresoraQt>();
    FijarImpresora(real_.get());
    FijarPruebaImpresoras([] { return false; });
    FijarReloj([] { return 18 * 3600 + 30 * 60 + 12.5; }, [] { return QDate(2026, 12, 5); });
  }
  std::unique_ptr<ImpresoraQt> real_;
  QStringList abiertos_; // lo que se pidió abrir con el visor del escritorio

public slots:
  void abrirUrl(const QUrl& url) { abiertos_ << url.toLocalFile(); }

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
    DialogoComun& d = FRMImprimir::DialogoDeImpresion(); // la letra de siempre, también tras otra prueba
    std::tie(d.FontName, d.FontSize, d.FontItalic) = std::tuple(u"Arial"_s, 12.0, false);
    f_ = std::make_unique<FRMImprimir>();
    abiertos_.clear();
    QDesktopServices::setUrlHandler(u"file"_s, this, "abrirUrl");
    FijarEscritorioPuedeAbrir([] { return true; });
  }

  void cleanup() {
    f_.reset();
    FijarImpresora(nullptr);
    real_.reset();
    FijarReloj(nullptr, nullptr);
    FijarPruebaImpresoras(nullptr);
    FijarPruebaEscritura(nullptr);
    FijarCosturaFicheros(nullptr);
    FijarPapelImpresora(nullptr);
    QDesktopServices::unsetUrlHandler(u"file"_s);
    FijarEscritorioPuedeAbrir(nullptr);
    FRMImprimir::CaptionHexagramaEnPantalla = nullptr;
    carpeta_.reset();
    QCOMPARE(CancelarEsperasModales(), 0);
  }

  void laImpresora() {
    ImpresoraGrabadora p;
    p.alto = 3000;
    const double ancho = p.TextWidth(u"CONSULTA:"_s), alto = p.TextHeight(); // en twips
    QVERIFY(ancho > 1000 && ancho < 1800 && alto > 240 && alto < 240 * 1.3);
    // La línea que cabe justo se queda; la siguiente va arriba de una página nueva.
    p.setCurrentY(3000 - alto);
    p.Print(u"última"_s, true);
    p.Print(u"siguiente"_s, true);
    const MarcaImpresa* s = p.buscarTexto(u"siguiente"_s);
    QVERIFY(p.buscarTexto(u"última"_s)->pagina == 1 && s->pagina == 2 && s->p1.isNull());
    // La fuente dura de un trabajo al siguiente; la pluma vuelve a (0, 0).
    p.setFontName(u"Liberation Serif"_s);
    p.setFontSize(15);
    p.setFontBold(true);
    p.setCurrentX(500);
    p.EndDoc();
    p.Print(u"dos"_s, true);
    p.KillDoc();
    p.EndDoc(); // sin trabajo, nada
    const MarcaImpresa* m = p.buscarTexto(u"dos"_s, 2);
    QVERIFY(m && m->fuente == u"Liberation Serif"_s && m->tamano == 15 && m->negrita && m->p1.isNull());
    QVERIFY(p.trabajosTerminados() == 1 && p.trabajosCancelados() == 1);
  }

  void dibujoExacto_data() {
    QTest::addColumn<QStringList>("caso");
    for (const QString& caso : Cortes::LineasDe(u"dibujos.txt"_s))
      QTest::newRow(qPrintable(caso.section(u'\t', 0, 0))) << caso.split(u'\t');
  }

  void dibujoExacto() {
    QFETCH(QStringList, caso);
    const QString lineas = caso[1], pregunta = caso[2] == u"LARGA" ? PreguntaLarga : caso[2];
    consulta(lineas, pregunta);
    imprimir();
    // La pregunta en el renglón de "CONSULTA:" y, si no cabe, en líneas sin guiones bajo su primer carácter.
    const auto t = impresora_->deTipo(MarcaImpresa::Texto);
    const ImpresoraGrabadora medida; // Arial 12 sin negrita, como la pregunta
    QVERIFY(t[1].p1.y() == t[0].p1.y() && t[1].p1.x() > t[0].p1.x());
    std::size_t k = 1;
    QString junta;
    for (; t[k].texto != u"5 de diciembre de 2026"_s; ++k) {
      if (k > 1)
        QCOMPARE(t[k].p1.x(), t[1].p1.x() + medida.TextWidth(u" "_s));
      QVERIFY(t[k].p1.x() + medida.TextWidth(t[k].texto) <= impresora_->ancho);
      junta += k == 1 ? t[k].texto.mid(1) : t[k].texto;
    }
    QCOMPARE(junta.remove(u' '), QString(pregunta).remove(u' '));
    // El dibujo, leído de sus trazos fila a fila, bajo el nombre y dentro de la página: una caja es una
    // línea entera (7), con un disco blanco en medio un 9; dos con un hueco en medio una partida (8), con
    // un aspa en el hueco un 6. Todas las barras iguales y una encima de otra; entre los trigramas, más aire.
    std::map<double, QList<QRectF>> filas;
    QList<QPointF> centros; // el cruce de cada raya del aspa y el de cada anillo
    for (const MarcaImpresa& m : impresora_->marcas) {
      QVERIFY(QRectF(0, 0, impresora_->ancho, impresora_->alto).contains(m.p1) &&
              QRectF(0, 0, impresora_->ancho, impresora_->alto).contains(m.p2));
      if (m.tipo == MarcaImpresa::Caja)
        filas[std::min(m.p1.y(), m.p2.y())] << QRectF(m.p1, m.p2).normalized();
      else if (m.tipo == MarcaImpresa::Raya || m.tipo == MarcaImpresa::Circulo)
        centros << (m.tipo == MarcaImpresa::Raya ? (m.p1 + m.p2) / 2 : m.p1);
      if (m.tipo == MarcaImpresa::Circulo) // se ve sobre la barra negra
        QVERIFY(m.radio == 70 && m.color == Qt::black && m.relleno == Qt::white);
    }
    QString leidas;
    QList<QRectF> barras;
    for (const auto& [y, f] : filas) {
      barras << f.front().united(f.back());
      const int marcas = int(std::count(centros.cbegin(), centros.cend(), barras.back().center()));
      QVERIFY(f.size() == 1 ||
              (f.size() == 2 && f[0].right() - barras.back().left() == barras.back().right() - f[1].left()));
      const QString valores = f.size() == 1 ? u"79?"_s : u"8?6"_s;
      leidas.prepend(valores[std::min(marcas, 2)]);
    }
    QCOMPARE(leidas, lineas);
    const double paso = barras[1].top() - barras[0].top();
    for (int n = 1; n < 6; ++n)
      QVERIFY(barras[n].size() == barras[0].size() && barras[n].left() == barras[0].left() &&
              (n == 3 || barras[n].top() - barras[n - 1].top() == paso) && paso > barras[0].height());
    QVERIFY(barras[3].top() - barras[2].top() > paso &&
            barras[0].top() > t[k + 2].p1.y() + medida.TextHeight());
    // A su derecha, cada etiqueta en negrita subrayada a la altura de la primera línea de su trigrama y,
    // detrás, el nombre del trigrama sin ellas.
    const std::size_t s = k + 3;
    QCOMPARE(impresora_->textos().mid(int(s), 4), (QStringList{u"Trigrama Superior:"_s, u"  "_s + caso[3],
                                                               u"Trigrama Inferior:"_s, u"  "_s + caso[4]}));
    for (const auto& [i, barra] : {std::pair(s, barras[0]), std::pair(s + 2, barras[3])})
      QVERIFY(t[i].negrita && t[i].subrayado && !t[i + 1].negrita && t[i + 1].p1.y() == t[i].p1.y() &&
              t[i].p1.x() > barra.right() && t[i].p1.y() >= barra.top() && t[i].p1.y() <= barra.bottom());
  }

  void pagina_data() {
    QTest::addColumn<QString>("familia");
    QTest::addColumn<double>("puntos");
    QTest::addColumn<QString>("pregunta");
    for (const QString& familia : {u"Arial"_s, u"DejaVu Serif"_s})
      for (const double puntos : {8.0, 12.0, 16.0, 24.0})
        QTest::addRow("%s %g", qPrintable(familia), puntos)
            << familia << puntos << (puntos == 12 ? u"¿QUÉ DEBO\r\nHACER?"_s : PreguntaLarga);
  }

  void pagina() {
    // Seis líneas cambiantes, sin fecha (la de hoy), con la letra elegida en cursiva y la impresora con otra
    // letra de antes: la cabecera no toca el dibujo, el texto va en la letra elegida, cada página lleva su
    // número y, desde la segunda, la pregunta y el hexagrama arriba; dos veces, las mismas páginas.
    QFETCH(QString, familia);
    QFETCH(double, puntos);
    QFETCH(QString, pregunta);
    QVERIFY(
        QFontInfo(QFont(familia)).family().contains(familia == u"Arial" ? u"Liberation Sans"_s : familia));
    consulta(u"969696"_s, pregunta);
    const QString nombre = u"63-Chi Chi"_s;
    CurrentDate = QDate();
    FijarReloj([] { return 0.0; }, [] { return QDate(2027, 1, 9); });
    DialogoComun& d = FRMImprimir::DialogoDeImpresion();
    std::tie(d.FontName, d.FontSize, d.FontItalic) = std::tuple(familia, puntos, true);
    impresora_->setFontSize(30);
    imprimir();
    impresora_->setFontBold(true);
    imprimir();
    const auto uno = impresora_->delTrabajo(1), dos = impresora_->delTrabajo(2);
    QCOMPARE(uno.size(), dos.size());
    for (std::size_t i = 0; i < uno.size(); ++i)
      QVERIFY(uno[i].tipo == dos[i].tipo && uno[i].texto == dos[i].texto && uno[i].p1 == dos[i].p1 &&
              uno[i].p2 == dos[i].p2 && uno[i].tamano == dos[i].tamano && uno[i].pagina == dos[i].pagina);

    const auto cajas = impresora_->deTipo(MarcaImpresa::Caja, 1);
    const double arriba = cajas.front().p1.y(), abajo = cajas.back().p2.y();
    const int paginas = uno.back().pagina;
    QVERIFY(paginas >= (puntos >= 12 ? 2 : 1));
    enum { Cabecera, Dibujo, Texto } zona = Cabecera;
    QString preguntaImpresa;
    double finSegundo = 0, raya = 0;
    bool antesDeLaFecha = true;
    int pies = 0, cabezas = 0;
    for (const MarcaImpresa& m : uno) {
      zona = m.tipo == MarcaImpresa::Caja ? Dibujo : zona;
      if (m.tipo == MarcaImpresa::Raya && m.p1.y() == m.p2.y())
        raya = m.p1.y();
      if (m.tipo != MarcaImpresa::Texto)
        continue;
      const double fin = m.p1.y() + letra(m).lineSpacing();
      QVERIFY2(m.fuente == familia && m.p1.x() + letra(m).horizontalAdvance(m.texto) <= impresora_->ancho,
               qPrintable(m.texto));
      if (m.texto.startsWith(u"Página"_s)) {
        QCOMPARE(m.texto, u"Página %1 de %2"_s.arg(++pies).arg(paginas));
        QVERIFY(fin <= impresora_->alto);
        QVERIFY(std::none_of(uno.begin(), uno.end(), [&](const MarcaImpresa& o) {
          return o.tipo == MarcaImpresa::Texto && &o != &m && o.pagina == m.pagina &&
                 o.p1.y() + letra(o).lineSpacing() > m.p1.y();
        }));
      } else if (m.pagina > 1) { // arriba, la pregunta (cortada si hace falta) y el hexagrama
        const bool cabeza = m.p1.y() == 100;
        cabezas += cabeza;
        const QString entera = QString(preguntaImpresa).replace(u'|', u' ').simplified();
        QVERIFY2(cabeza ? m.texto == nombre || entera.startsWith(QString(m.texto).remove(u'…'))
                        : m.p1.y() > raya && raya > 100 && m.cursiva && m.tamano == puntos,
                 qPrintable(m.texto));
      } else if (zona == Cabecera) {
        QVERIFY2(fin <= arriba && m.tamano == 12 && !m.cursiva, qPrintable(m.texto));
        antesDeLaFecha = antesDeLaFecha && !m.texto.contains(u"2027"_s);
        if (antesDeLaFecha && m.texto != u"CONSULTA:")
          preguntaImpresa += m.texto + u'|';
      } else if (zona == Dibujo && m.texto != TrigramName(u"696"_s).prepend(u"  "_s) && m.tamano == 12) {
        // Tras las etiquetas de los trigramas, a la derecha del dibujo, el segundo nombre, debajo.
        if (m.p1.x() < 2500) {
          QVERIFY(m.p1.y() >= abajo);
          finSegundo = fin;
          zona = Texto;
        }
      } else if (zona == Texto && m.tamano == puntos) {
        QVERIFY2(m.p1.y() >= finSegundo && m.cursiva, qPrintable(m.texto));
      }
    }
    QVERIFY(finSegundo > 0 && pies == paginas && cabezas == 2 * (paginas - 1));
    // La pregunta entera; la que se escribió en dos líneas, con su blanco.
    if (pregunta == PreguntaLarga)
      QCOMPARE(preguntaImpresa.replace(u'|', u' ').simplified(), pregunta);
    else
      QCOMPARE(preguntaImpresa, u" ¿QUÉ DEBO HACER?|"_s);
    QVERIFY(impresora_->buscarTexto(u"9 de enero de 2027"_s, 1)); // en la cabecera, como se miró arriba
  }

  void fallos_data() {
    // Antes de un 482 sólo se puede aceptar; después, anular, reintentar u omitir.
    QTest::addColumn<int>("fallaEn");           // marca que falla siempre con el error 57 (-1, ninguna)
    QTest::addColumn<QList<int>>("respuestas"); // sin vbOK, la primera es para un 482
    QTest::addColumn<int>("terminados");
    QTest::addColumn<int>("cancelados");
    const int caja = MarcaImpresa::Caja, anillo = MarcaImpresa::Circulo, fin = MarcaImpresa::Fin;
    QTest::newRow("57 al final: aceptar") << fin << QList<int>{vbOK, vbOK} << 0 << 0;
    QTest::newRow("482: reintentar") << -1 << QList<int>{vbRetry} << 2 << 0;
    QTest::newRow("482: omitir") << -1 << QList<int>{vbIgnore} << 2 << 0;
    QTest::newRow("482: anular termina la orden") << -1 << QList<int>{vbAbort} << 0 << 0;
    QTest::newRow("57: anular cancela") << caja << QList<int>{vbRetry, vbAbort} << 0 << 1;
    QTest::newRow("57: omitir sigue") << anillo << QList<int>{vbIgnore, vbIgnore} << 2 << 0;
  }

  void fallos() {
    QFETCH(int, fallaEn);
    QFETCH(QList<int>, respuestas);
    QFETCH(int, terminados);
    QFETCH(int, cancelados);
    consulta(u"967878"_s);
    const bool con482 = !respuestas.contains(vbOK);
    impresora_->fallosAlEmpezar = con482 ? 1 : 0;
    impresora_->antesDeMarcar = [&, fallaEn](const MarcaImpresa& m) {
      if (int(m.tipo) == fallaEn)
        throw ErrorEjecucion(ErrEntradaSalida);
    };
    // Los textos se componen en la memoria: ni el INTER.TMP del usuario ni una FIFO con el nombre del fichero
    // temporal de otros tiempos se tocan ni detienen la impresión.
    QVERIFY(EscribirTodo(fichero(u"INTER.TMP"_s), "mío"));
    QVERIFY(mkfifo(QFile::encodeName(fichero(u"inter.tmp"_s)).constData(), 0600) == 0);
    for (int r : respuestas)
      GuionMensajes::responder(r);
    imprimir(true);
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(int(msg.size()), int(respuestas.size()));
    for (std::size_t i = 0; i < msg.size(); ++i) {
      QCOMPARE(msg[i].texto,
               i == 0 && con482 ? u"IMPRESORA NO PREPARADA (error 482)"_s : u"ERROR 57 (SUB IMPRIMIR)"_s);
      QVERIFY(msg[i].titulo == u"ATENCIÓN..."_s &&
              msg[i].estilo == (vbCritical | (con482 ? vbAbortRetryIgnore : vbOKOnly)));
    }
    QCOMPARE(std::pair(impresora_->trabajosTerminados(), impresora_->trabajosCancelados()),
             std::pair(terminados, cancelados));
    QVERIFY(!f_->isVisible());
    f_->show();
    QVERIFY(f_->panfondo->isEnabled() && !f_->PANIMPRIMIENDO->isVisible());
    QCOMPARE(sobrantes(), QStringList({u"INTER.TMP"_s, u"inter.tmp"_s}));
    QCOMPARE(LeerTodo(fichero(u"INTER.TMP"_s)), QByteArray("mío"));
  }

  void dialogos() {
    f_->show();
    // Cancelados, los diálogos no dicen nada ni cambian nada.
    f_->BTNMENU_Click(2);
    f_->BTNMENU_Click(1);
    const auto& d = GuionDialogos::mostrados();
    QVERIFY(d.size() == 2 && d[0].tipo + d[1].tipo == u"FUENTESIMPRESORA"_s);
    QCOMPARE(f_->CMDPrint->FontName + QString::number(f_->CMDPrint->FontSize), u"Arial12"_s);
    QVERIFY(GuionMensajes::mostrados().empty() && impresora_->ficheroElegido.isEmpty() && f_->isVisible());
    // Otro fallo se cuenta con su número.
    GuionDialogos::responder(RespuestaDialogo::fallar(28660));
    f_->BTNMENU_Click(2);
    QCOMPARE(UnicoMensaje(vbExclamation | vbOKOnly),
             u"Error en módulo de FRMImprimir(SUB CONFIGURAR): ERROR:  28660"_s);
    // La fuente elegida en el diálogo de verdad sigue en otra ventana y con ella se componen los textos.
    GuionDialogos::desactivar();
    AlAparecer<QFontDialog>([](QFontDialog* d) {
      d->setCurrentFont(QFont(u"Liberation Serif"_s, 14));
      d->accept();
    });
    QTest::mouseClick(f_->BTNMENU[2], Qt::LeftButton);
    GuionDialogos::activar();
    f_ = std::make_unique<FRMImprimir>();
    consulta(u"787969"_s);
    imprimir();
    const QStringList impresas = impresora_->textos();
    SuperficieMedidaQt s;
    ComponerTexto(s, {u"Liberation Serif"_s, 14}, impresora_->ancho - RightReserve, [&](const QString& l) {
      QVERIFY2(l.isEmpty() || impresas.contains(l.startsWith(u"*n*"_s) ? l.mid(3) : l), qPrintable(l));
    });
    const auto textos = impresora_->deTipo(MarcaImpresa::Texto);
    const MarcaImpresa ultima = textos[textos.size() - 2]; // antes del número de la página
    QVERIFY(ultima.fuente == u"Liberation Serif"_s && ultima.tamano == 14 && ultima.p1.x() == 500);
  }

  void teclado() {
    // Con el foco en la opción marcada, la flecha elige los dos hexagramas e Intro los imprime; al volver,
    // otra vez el actual con el foco.
    consulta(u"697896"_s);
    for (int vez = 0;; ++vez) {
      f_->show();
      QApplication::setActiveWindow(f_.get());
      QVERIFY(QTest::qWaitForWindowActive(f_.get()));
      QVERIFY(QApplication::focusWidget() == f_->OPCION[1] && f_->OPCION[1]->isChecked());
      if (vez == 1)
        break;
      // El tabulador sigue la pantalla: las dos configuraciones, imprimir, cancelar y vuelta a las opciones.
      for (QWidget* siguiente : std::initializer_list<QWidget*>{
               f_->BTNMENU[1], f_->BTNMENU[2], f_->BTNMENU[0], f_->BTNMENU[3], f_->OPCION[1]}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), siguiente);
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
      QVERIFY(f_->OPCION[0]->isChecked() && QApplication::focusWidget() == f_->OPCION[0]);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QVERIFY(impresora_->trabajosTerminados() == 2 && !f_->isVisible());
    }
  }

  void pdfSinImpresora() {
    // Sin impresoras, un PDF por hexagrama, sólo para su dueño, con fecha, orden y contenido en el nombre;
    // un solo mensaje da las dos rutas y ofrece abrirlos.
    impresoraDeVerdad();
    consulta(u"697896"_s, PreguntaLarga);
    GuionMensajes::responder(vbYes);
    imprimir(true);
    const QString base = u"KORVAL 2026-12-05 18-30-12"_s;
    const QStringList nombres{base + u" 1 principal.pdf"_s, base + u" 2 complementario.pdf"_s};
    QCOMPARE(sobrantes(), nombres);
    const QStringList pdfs{fichero(nombres[0]), fichero(nombres[1])};
    QCOMPARE(abiertos_, pdfs);
    const QString aviso = UnicoMensaje(vbYesNo | vbInformation);
    // La carpeta una vez y cada nombre entero en su línea (sus blancos no la parten).
    QVERIFY2(aviso.startsWith(u"Información al usuario: "_s), qPrintable(aviso));
    QCOMPARE(aviso.count(QDir::toNativeSeparators(carpeta_->ruta())), 1);
    for (const QString& p : pdfs)
      QVERIFY2(aviso.split(u'\n').contains(QFileInfo(p).fileName().replace(u' ', QChar(0xA0))) &&
                   sinPermisosAjenos(p),
               qPrintable(aviso));
    const QString complementario = textoPdf(pdfs[1]);
    QVERIFY(complementario.contains(u"HEXAGRAMA COMPLEMENTARIO"_s) && complementario.contains(u"22-Pi"_s) &&
            !complementario.contains(u"LÍNEA"_s));

    // El principal: la pregunta entera, los nombres, las secciones de sus líneas cambiantes y cada corte
    // como en castellano (\f abre la línea de una página).
    const QString todo = textoPdf(pdfs[0]);
    const QStringList l = QString(todo).replace(u'\f', u'\n').split(u'\n');
    for (const QString& t : {u"CONSULTA: "_s + PreguntaLarga, u"HEXAGRAMA PRINCIPAL"_s, u"48-Ching"_s})
      QVERIFY2(todo.simplified().contains(t), qPrintable(t));
    for (const QString& t : {u"DECISIÓN"_s, u"COMENTARIO"_s, u"IMAGEN"_s, u"LÍNEA 1"_s, u"LÍNEA 6"_s})
      QVERIFY2(l.contains(t), qPrintable(t));
    QVERIFY(!l.contains(u"LÍNEA 3"_s) && !l.contains(u"LÍNEA 4"_s));
    const Cortes::Resultado cortes = Cortes::JuzgarLineas(l);
    QVERIFY2(cortes.malos.isEmpty(), qPrintable(cortes.malos.join(u'\n')));
    QVERIFY(cortes.guiones > 5);
    // Ninguna palabra sale de la página; el texto empieza 25 puntos dentro del margen (36).
    const QString cajas = textoPdf(pdfs[0], u"-bbox"_s);
    const auto pag = QRegularExpression(u"<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""_s).match(cajas);
    const double ancho = pag.captured(1).toDouble(), alto = pag.captured(2).toDouble(), margen = 36;
    const QRegularExpression palabra(u"<word xMin=\"(.+)\" yMin=\"(.+)\" xMax=\"(.+)\" yMax=\"([0-9.]+)\""_s);
    int palabras = 0;
    for (auto it = palabra.globalMatch(cajas); it.hasNext(); ++palabras) {
      const auto v = [w = it.next()](int i) { return w.captured(i).toDouble(); };
      QVERIFY(v(1) >= margen + 25 - 0.5 && v(3) <= ancho - margen && v(2) >= margen - 0.5 &&
              v(4) <= alto - margen);
    }
    QVERIFY(palabras > 500);

    // El fichero de otro con el nombre siguiente no se toca, ni un enlace con el de después: la orden toma
    // «-3». Sin programa del escritorio para abrirlo, sólo se dice dónde está.
    FRMImprimir::CaptionHexagramaEnPantalla = [] { return u"HEXAGRAMA COMPLEMENTARIO"_s; };
    QVERIFY(EscribirTodo(fichero(base + u" complementario.pdf"_s), "mío"));
    QVERIFY(QFile::link(fichero(u"nada/suyo.pdf"_s), fichero(base + u"-2 complementario.pdf"_s)));
    FijarEscritorioPuedeAbrir([] { return false; });
    GuionMensajes::limpiar();
    imprimir();
    QCOMPARE(LeerTodo(fichero(base + u" complementario.pdf"_s)), QByteArray("mío"));
    QVERIFY(!QFile::exists(fichero(u"nada"_s)));
    const QString otro = fichero(base + u"-3 complementario.pdf"_s);
    QVERIFY(LeerTodo(otro).startsWith("%PDF-") && sinPermisosAjenos(otro));
    const QString dondeEsta = UnicoMensaje(vbOKOnly | vbInformation);
    QVERIFY2(dondeEsta.endsWith(QFileInfo(otro).fileName().replace(u' ', QChar(0xA0))) &&
                 abiertos_.size() == 2,
             qPrintable(dondeEsta));
  }

  // Con una impresora instalada y sin elegir nada, cada hexagrama va a la predeterminada, no a un fichero:
  // ni un PDF en la carpeta ni el aviso que ofrece abrirlo. (Sin impresoras de verdad, Qt no deja que el
  // QPrinter tome el formato de la impresora: su formato no se puede mirar aquí.)
  void impresoraInstalada() {
    impresoraDeVerdad();
    FijarPruebaImpresoras([] { return true; });
    QStringList vistos;
    std::deque<QBuffer> papeles; // lo que recibiría cada impresora
    std::deque<QPdfWriter> hojas;
    FijarPapelImpresora([&](QPrinter& p) {
      vistos << (p.printerName() == QPrinterInfo::defaultPrinter().printerName() ? u"predeterminada "_s
                                                                                 : p.printerName()) +
                    (p.outputFileName().isEmpty() ? u"sin fichero"_s : p.outputFileName());
      papeles.emplace_back().open(QIODevice::WriteOnly);
      return &hojas.emplace_back(&papeles.back());
    });
    consulta(u"697896"_s, PreguntaLarga);
    imprimir(true);
    QCOMPARE(vistos, QStringList(2, u"predeterminada sin fichero"_s));
    for (const QBuffer& papel : papeles) // lo impreso llegó entero a la impresora
      QVERIFY(papel.data().startsWith("%PDF-") && papel.data().trimmed().endsWith("%%EOF"));
    QVERIFY(sobrantes().isEmpty() && GuionMensajes::mostrados().empty() && abiertos_.isEmpty());
  }

  void ficheroElegido() {
    impresoraDeVerdad();
    consulta(u"787969"_s);
    f_->show();
    // El diálogo de verdad: su botón dice "Aceptar" y propone un PDF nuevo.
    GuionDialogos::desactivar();
    QString boton, propuesto;
    AlAparecer<QPrintDialog>([&](QPrintDialog* d) {
      boton = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
      propuesto = ImpresoraDelSistema().Dispositivo().outputFileName();
      d->reject();
    });
    f_->BTNMENU_Click(1);
    GuionDialogos::activar();
    QCOMPARE(boton + u' ' + propuesto, u"Aceptar "_s + fichero(u"KORVAL 2026-12-05 18-30-12.pdf"_s));

    // Un fichero que existe y el usuario aceptó sustituir recibe la orden siguiente y sólo ésa: la otra va a
    // un fichero nuevo a su lado.
    // Se sustituye de una vez, no se escribe encima: otro nombre del fichero viejo lo sigue teniendo entero.
    const QString elegido = fichero(u"consulta.pdf"_s);
    QVERIFY(EscribirTodo(elegido, "viejo"));
    QVERIFY(::link(QFile::encodeName(elegido), QFile::encodeName(fichero(u"viejo.pdf"_s))) == 0);
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(elegido));
    f_->BTNMENU_Click(1);
    imprimir();
    const QByteArray impreso = LeerTodo(elegido);
    QVERIFY(impreso.startsWith("%PDF-") && sinPermisosAjenos(elegido) &&
            LeerTodo(fichero(u"viejo.pdf"_s)) == "viejo");
    imprimir();
    QCOMPARE(LeerTodo(elegido), impreso);
    QVERIFY(LeerTodo(fichero(u"KORVAL 2026-12-05 18-30-12 principal.pdf"_s)).startsWith("%PDF-"));
    // Después, el diálogo ya no propone la impresión anterior.
    f_->show();
    f_->BTNMENU_Click(1);
    QCOMPARE(GuionDialogos::mostrados().back().propuesta, fichero(u"KORVAL 2026-12-05 18-30-12.pdf"_s));

    // Con los dos hexagramas, el nombre elegido va delante de cada uno.
    consulta(u"969678"_s);
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(fichero(u"dos.pdf"_s)));
    f_->BTNMENU_Click(1);
    imprimir(true);
    QVERIFY(QFile::exists(fichero(u"dos 1 principal.pdf"_s)) &&
            QFile::exists(fichero(u"dos 2 complementario.pdf"_s)));

    // Un enlace simbólico no se elige: se dice por qué y no cambia nada.
    QVERIFY(EscribirTodo(fichero(u"ajeno.txt"_s), "ajeno"));
    QVERIFY(QFile::link(fichero(u"ajeno.txt"_s), fichero(u"enlace.pdf"_s)));
    GuionMensajes::limpiar();
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(fichero(u"enlace.pdf"_s)));
    f_->show();
    f_->BTNMENU_Click(1);
    imprimir();
    const auto& msg = GuionMensajes::mostrados();
    QVERIFY(msg.size() == 2 && msg[0].texto.contains(u"enlace simbólico"_s) &&
            msg[0].estilo == (vbExclamation | vbOKOnly));
    QVERIFY(!msg[1].texto.contains(u"enlace.pdf"_s) && QFileInfo(fichero(u"enlace.pdf"_s)).isSymLink());
    QCOMPARE(LeerTodo(fichero(u"ajeno.txt"_s)), QByteArray("ajeno"));
  }

  void fallosDelDestino() {
    // Cada fallo del destino, en un solo mensaje con la causa; la orden termina sin dejar nada. Primero, una
    // carpeta en la que no se puede escribir.
    impresoraDeVerdad();
    consulta(u"969678"_s);
    FijarPruebaEscritura([&](const QString& d) { return d != carpeta_->ruta(); });
    imprimir(true);
    const QString aviso = UnicoMensaje(vbCritical | vbOKOnly);
    QVERIFY2(aviso.startsWith(u"ATENCIÓN...: "_s) &&
                 aviso.contains(QDir::toNativeSeparators(carpeta_->ruta()) + u"»: falta permiso"_s),
             qPrintable(aviso));
    QVERIFY(sobrantes().isEmpty() && !f_->isVisible());
    FijarPruebaEscritura(nullptr);

    // Un almacén dañado detiene el trabajo con el error 9: ningún PDF.
    GuionMensajes::limpiar();
    for (int j = 1; j < RanurasTextBuffer; ++j)
      TextBuffer[std::size_t(j)] = j == 1 ? u"*D"_s : j == 100 ? u"**"_s : u"palabra"_s;
    imprimir();
    QCOMPARE(UnicoMensaje(vbCritical | vbOKOnly), u"ATENCIÓN...: ERROR 9 (SUB IMPRIMIR)"_s);
    QCOMPARE(sobrantes(), QStringList());

    // Disco lleno de verdad, en un hijo con un tope de tamaño por debajo del PDF.
    consulta(u"969678"_s);
    imprimir();
    const QString entero = fichero(u"KORVAL 2026-12-05 18-30-12 principal.pdf"_s);
    const qint64 tamano = QFileInfo(entero).size();
    QVERIFY(tamano > 8192);
    QFile::remove(entero);
    QVERIFY(EnUnHijo(
        [&] {
          GuionMensajes::limpiar();
          imprimir(true);
          const QString dice = UnicoMensaje(vbCritical | vbOKOnly);
          return dice.contains(u"lleno"_s) && dice.contains(u"el PDF"_s);
        },
        tamano / 2));
    QCOMPARE(sobrantes(), QStringList());
  }

#ifdef Q_OS_LINUX
  // Otro que puede escribir en la carpeta pone y quita sin parar enlaces a un fichero de fuera con los
  // nombres de los PDF siguientes mientras se imprime: cada trabajo toma un nombre libre y el de fuera no
  // cambia.
  void otroOcupaLosNombresDeLosPdf() {
    impresoraDeVerdad();
    QTemporaryDir otra;
    const QString fuera = otra.filePath(u"fuera"_s);
    QVERIFY(EscribirTodo(fuera, "de otro sitio"));
    const QString base = fichero(u"KORVAL 2026-12-05 18-30-12"_s);
    int intentos = 0;
    std::atomic<int> hechos = 0; // el siguiente nombre libre es, más o menos, el número de hechos más uno
    FijarCosturaFicheros([&](PasoFichero p, const QString& r) {
      intentos += p == PasoFichero::Crear && r.endsWith(u".pdf"_s);
      return 0;
    });
    {
      std::minstd_rand azar(5);
      std::jthread otro([&](std::stop_token parar) {
        for (int n = 1; !parar.stop_requested(); n = hechos + 1 + int(azar() % 3)) {
          const QByteArray nombre =
              QFile::encodeName((n == 1 ? base : u"%1-%2"_s.arg(base).arg(n)) + u" principal.pdf"_s);
          if (symlink(QFile::encodeName(fuera).constData(), nombre.constData()) == 0)
            unlink(nombre.constData()); // sólo su enlace: con él ahí, nadie más pudo tomar ese nombre
        }
      });
      QElapsedTimer reloj;
      for (reloj.start(); reloj.elapsed() < 1500 && hechos < 3000; ++hechos) {
        Printer().EmpezarOrden({u"principal"_s});
        Printer().TrabajoDeLaOrden(0);
        Printer().Print(u"x"_s);
        Printer().EndDoc();
        QVERIFY(!QFileInfo(Printer().PdfTerminado()).isSymLink() &&
                LeerTodo(Printer().PdfTerminado()).startsWith("%PDF-"));
      }
    }
    QVERIFY2(hechos > 20 && intentos > hechos, qPrintable(u"%1 %2"_s.arg(hechos).arg(intentos)));
    QCOMPARE(LeerTodo(fuera), QByteArray("de otro sitio"));
    QCOMPARE(sobrantes().size(), qsizetype(hechos));
  }
#endif
};

QTEST_MAIN(PruebaImprimir)
#include "test_imprimir.moc"
