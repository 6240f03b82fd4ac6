// La impresora: la pluma en twips, los saltos de línea y de página, las
// rayas, cajas y círculos, la fuente que dura de un trabajo a otro, y los
// PDF que escribe la impresora de verdad.
#include "apoyo/Apoyo.h"
#include "platform/Basico.h"
#include "platform/Impresora.h"
#include "printing/ImpresoraGrabadora.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

namespace {
QString textoPdf(const QString& ruta) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-enc"), QStringLiteral("UTF-8"), ruta, QStringLiteral("-")});
  if (!p.waitForFinished(30000))
    return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

int paginasPdf(const QString& ruta) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {ruta});
  p.waitForFinished(30000);
  const QString info = QString::fromUtf8(p.readAllStandardOutput());
  for (const QString& l : info.split(QLatin1Char('\n')))
    if (l.startsWith(QLatin1String("Pages:")))
      return l.mid(6).trimmed().toInt();
  return -1;
}
} // namespace

class PruebaImpresora : public QObject {
  Q_OBJECT
  CarpetaPrueba* carpeta_ = nullptr;

private slots:
  void init() {
    carpeta_ = new CarpetaPrueba(false);
    PrepararEstado(false);
  }
  void cleanup() {
    FijarReloj(nullptr, nullptr);
    delete carpeta_;
    carpeta_ = nullptr;
  }

  void laPlumaAvanzaConElTexto() {
    ImpresoraGrabadora p;
    p.setFontName(QStringLiteral("Arial"));
    p.setFontSize(12);
    QVERIFY(!p.TrabajoEmpezado());
    p.setCurrentX(500);
    p.setCurrentY(100);
    const double ancho = p.TextWidth(QStringLiteral("CONSULTA:"));
    QVERIFY(ancho > 1000 && ancho < 1800);
    p.Print(QStringLiteral("CONSULTA:"), false);
    QVERIFY(p.TrabajoEmpezado());
    QCOMPARE(p.CurrentX(), 500 + ancho);
    QCOMPARE(p.CurrentY(), 100.0);
    // Con fin de línea: a x = 0 y una línea más abajo.
    const double alto = p.TextHeight();
    QVERIFY(alto > 12 * 20 && alto < 12 * 20 * 1.3);
    p.Print(QStringLiteral(" otra"), true);
    QCOMPARE(p.CurrentX(), 0.0);
    QCOMPARE(p.CurrentY(), 100 + alto);
    // Nada con fin de línea da una línea vacía, sin marca.
    p.Print(QString(), true);
    QCOMPARE(p.CurrentY(), 100 + 2 * alto);
    QCOMPARE(p.textos(), (QStringList{QStringLiteral("CONSULTA:"), QStringLiteral(" otra")}));
    const MarcaImpresa* m = p.buscarTexto(QStringLiteral(" otra"));
    QVERIFY(m);
    QCOMPARE(m->p1, QPointF(500 + ancho, 100));
    QCOMPARE(p.marcas.front().tipo, MarcaImpresa::Empezar);
  }

  void laLineaQueNoCabeVaAUnaPaginaNueva() {
    ImpresoraGrabadora p;
    p.alto = 3000;
    const double alto = p.TextHeight();
    p.setCurrentY(3000 - alto); // cabe justo
    p.setCurrentX(500);
    p.Print(QStringLiteral("última"), true);
    QVERIFY(p.deTipo(MarcaImpresa::Pagina).empty());
    p.setCurrentX(500);
    p.Print(QStringLiteral("siguiente"), true);
    QCOMPARE(p.deTipo(MarcaImpresa::Pagina).size(), std::size_t(1));
    const MarcaImpresa* m = p.buscarTexto(QStringLiteral("siguiente"));
    QCOMPARE(m->pagina, 2);
    QCOMPARE(m->p1, QPointF(500, 0));
    QCOMPARE(p.CurrentY(), alto);
  }

  void rayasCajasYCirculos() {
    ImpresoraGrabadora p;
    p.Line(500, 1550, 1100, 1650, Qt::black, FormaLinea::CajaRellena);
    QCOMPARE(p.CurrentX(), 1100.0);
    QCOMPARE(p.CurrentY(), 1650.0);
    p.Line(1200, 1650, 1300, 1550, Qt::black, FormaLinea::Raya);
    QCOMPARE(p.CurrentX(), 1300.0);
    QCOMPARE(p.CurrentY(), 1550.0);
    p.Circle(1250, 1600, 70, Qt::black);
    QCOMPARE(p.CurrentX(), 1250.0);
    QCOMPARE(p.CurrentY(), 1600.0);
    const auto cajas = p.deTipo(MarcaImpresa::Caja);
    QCOMPARE(cajas.size(), std::size_t(1));
    QCOMPARE(cajas[0].p1, QPointF(500, 1550));
    QCOMPARE(cajas[0].p2, QPointF(1100, 1650));
    const auto rayas = p.deTipo(MarcaImpresa::Raya);
    QCOMPARE(rayas[0].p1, QPointF(1200, 1650));
    QCOMPARE(rayas[0].p2, QPointF(1300, 1550));
    const auto circulos = p.deTipo(MarcaImpresa::Circulo);
    QCOMPARE(circulos[0].p1, QPointF(1250, 1600));
    QCOMPARE(circulos[0].radio, 70.0);
    // Dibujar también empieza el trabajo, una sola vez.
    QCOMPARE(p.deTipo(MarcaImpresa::Empezar).size(), std::size_t(1));
  }

  void laFuenteDuraDeUnTrabajoAOtro() {
    ImpresoraGrabadora p;
    p.setFontName(QStringLiteral("Liberation Serif"));
    p.setFontSize(15);
    p.setFontBold(true);
    p.setFontUnderline(true);
    p.Print(QStringLiteral("uno"), true);
    p.EndDoc();
    QVERIFY(!p.TrabajoEmpezado());
    QCOMPARE(p.CurrentX(), 0.0);
    QCOMPARE(p.CurrentY(), 0.0);
    p.Print(QStringLiteral("dos"), true);
    p.EndDoc();
    const MarcaImpresa* m = p.buscarTexto(QStringLiteral("dos"));
    QCOMPARE(m->trabajo, 2);
    QCOMPARE(m->fuente, QStringLiteral("Liberation Serif"));
    QCOMPARE(m->tamano, 15.0);
    QVERIFY(m->negrita && m->subrayado);
    QCOMPARE(p.trabajosTerminados(), 2);
  }

  void finYCancelacion() {
    ImpresoraGrabadora p;
    p.EndDoc(); // sin trabajo, nada
    p.KillDoc();
    QVERIFY(p.marcas.empty());
    p.Print(QStringLiteral("a"), true);
    p.KillDoc();
    QCOMPARE(p.trabajosCancelados(), 1);
    QCOMPARE(p.trabajosTerminados(), 0);
    QVERIFY(!p.TrabajoEmpezado());
  }

  void unaImpresoraQueNoEmpiezaDaElError482() {
    ImpresoraGrabadora p;
    p.fallosAlEmpezar = 1;
    try {
      p.Print(QStringLiteral("a"), true);
      QFAIL("tenía que fallar");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrImpresora);
    }
    QVERIFY(!p.TrabajoEmpezado());
    p.Print(QStringLiteral("a"), true);
    QVERIFY(p.TrabajoEmpezado());
  }

  // --- La impresora de verdad -------------------------------------------
  void nombreDelPdfConFechaYHora() {
    FijarReloj([] { return 18 * 3600 + 30 * 60 + 12.75; }, [] { return QDate(2026, 12, 5); });
    QCOMPARE(ImpresoraQt::NombrePdfAutomatico(), QStringLiteral("KORVAL 2026-12-05 18-30-12.pdf"));
    FijarReloj([] { return 7 * 3600 + 5 * 60 + 3.0; }, [] { return QDate(2027, 1, 9); });
    QCOMPARE(ImpresoraQt::NombrePdfAutomatico(), QStringLiteral("KORVAL 2027-01-09 07-05-03.pdf"));
  }

  void nuncaPisaUnFicheroAnterior() {
    const QString ruta = carpeta_->fichero(QStringLiteral("KORVAL x.pdf"));
    QCOMPARE(ImpresoraQt::RutaSinPisar(ruta), ruta);
    QFile(ruta).open(QIODevice::WriteOnly);
    QCOMPARE(ImpresoraQt::RutaSinPisar(ruta), carpeta_->fichero(QStringLiteral("KORVAL x (2).pdf")));
    QFile(carpeta_->fichero(QStringLiteral("KORVAL x (2).pdf"))).open(QIODevice::WriteOnly);
    QCOMPARE(ImpresoraQt::RutaSinPisar(ruta), carpeta_->fichero(QStringLiteral("KORVAL x (3).pdf")));
  }

  void sinImpresoraCadaTrabajoEsUnPdfNuevo() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
      QSKIP("Esta máquina tiene impresoras instaladas");
    FijarReloj([] { return 18 * 3600 + 30 * 60 + 12.0; }, [] { return QDate(2026, 12, 5); });
    ImpresoraQt p;
    QVERIFY(p.AnchoPagina() > 10000); // A4 o carta
    QVERIFY(p.AltoPagina() > 14000);
    p.setCurrentX(500);
    p.Print(QStringLiteral("Primer trabajo"), true);
    p.EndDoc();
    p.setCurrentX(500);
    p.Print(QStringLiteral("Segundo trabajo"), true);
    p.EndDoc();
    const QString uno = carpeta_->fichero(QStringLiteral("KORVAL 2026-12-05 18-30-12.pdf"));
    const QString dos = carpeta_->fichero(QStringLiteral("KORVAL 2026-12-05 18-30-12 (2).pdf"));
    QVERIFY(QFile::exists(uno));
    QVERIFY(QFile::exists(dos));
    QCOMPARE(p.FicheroTrabajo(), dos);
    QVERIFY(textoPdf(uno).contains(QStringLiteral("Primer trabajo")));
    QVERIFY(textoPdf(dos).contains(QStringLiteral("Segundo trabajo")));
    QVERIFY(!textoPdf(dos).contains(QStringLiteral("Primer")));
  }

  void elFicheroElegidoRecibeElPrimerTrabajo() {
    ImpresoraQt p;
    const QString elegido = carpeta_->fichero(QStringLiteral("consulta.pdf"));
    p.ElegirFicheroPdf(elegido);
    p.Print(QStringLiteral("Principal"), true);
    p.EndDoc();
    p.Print(QStringLiteral("Complementario"), true);
    p.EndDoc();
    QVERIFY(textoPdf(elegido).contains(QStringLiteral("Principal")));
    QVERIFY(textoPdf(carpeta_->fichero(QStringLiteral("consulta (2).pdf")))
                .contains(QStringLiteral("Complementario")));
    // Elegir otra vez el mismo fichero vuelve a escribir en él.
    p.ElegirFicheroPdf(elegido);
    p.Print(QStringLiteral("Otra vez"), true);
    p.EndDoc();
    QVERIFY(textoPdf(elegido).contains(QStringLiteral("Otra vez")));
  }

  void unPdfQueNoSePuedeCrearEsElError482() {
    // Una carpeta bajo un fichero no existe ni para el administrador.
    QFile(carpeta_->fichero(QStringLiteral("fichero"))).open(QIODevice::WriteOnly);
    ImpresoraQt p;
    p.ElegirFicheroPdf(carpeta_->fichero(QStringLiteral("fichero/sub/consulta.pdf")));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    try {
      p.Print(QStringLiteral("a"), true);
      QFAIL("tenía que fallar");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrImpresora);
    }
    QVERIFY(!p.TrabajoEmpezado());
    // Con un destino posible, el mismo objeto vuelve a imprimir.
    p.ElegirFicheroPdf(carpeta_->fichero(QStringLiteral("bien.pdf")));
    p.Print(QStringLiteral("a"), true);
    p.EndDoc();
    QVERIFY(QFile::exists(carpeta_->fichero(QStringLiteral("bien.pdf"))));
  }

  void unTrabajoCanceladoNoDejaFichero() {
    ImpresoraQt p;
    const QString ruta = carpeta_->fichero(QStringLiteral("cancelado.pdf"));
    p.ElegirFicheroPdf(ruta);
    p.Print(QStringLiteral("a"), true);
    p.KillDoc();
    QVERIFY(!QFile::exists(ruta));
  }

  void paginasDelPdf() {
    // Muchas líneas: el PDF sigue en páginas nuevas y ninguna línea se pierde.
    ImpresoraQt p;
    const QString ruta = carpeta_->fichero(QStringLiteral("largo.pdf"));
    p.ElegirFicheroPdf(ruta);
    p.setFontSize(12);
    const int lineas = int(p.AltoPagina() / p.TextHeight()) + 10;
    for (int i = 1; i <= lineas; ++i) {
      p.setCurrentX(500);
      p.Print(QStringLiteral("Línea número %1").arg(i), true);
    }
    p.EndDoc();
    QCOMPARE(paginasPdf(ruta), 2);
    const QString texto = textoPdf(ruta);
    QVERIFY(texto.contains(QStringLiteral("Línea número 1\n")));
    QVERIFY(texto.contains(QStringLiteral("Línea número %1\n").arg(lineas)));
  }
};

QTEST_MAIN(PruebaImpresora)
#include "test_impresora.moc"
