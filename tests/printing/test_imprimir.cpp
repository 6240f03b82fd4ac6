// La ventana de impresión y la impresión de un hexagrama: opciones, fuente
// e impresora, la zona de preparación, el dibujo exacto, los textos, el
// fichero temporal y cada fallo con sus respuestas.
#include "ApoyoImpresion.h"
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "pictures/GRAFICOS.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Controles.h"
#include "platform/DialogosComunes.h"
#include "platform/Impresora.h"
#include "platform/Rutas.h"
#include "printing/ComponerTexto.h"
#include "printing/FRMImprimir.h"
#include "printing/ImpresoraGrabadora.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {
const QString Atencion = QStringLiteral("ATENCION...");

// La y de cada línea dibujada, de la 1 (abajo) a la 6.
const double YLinea[7] = {0, 2700, 2500, 2300, 1950, 1750, 1550};

// Lo que se espera dibujar para una línea, en el orden en que se dibuja.
struct Trazo {
  MarcaImpresa::Tipo tipo;
  QPointF a, b;
  double radio = 0;
};

std::vector<Trazo> trazosEsperados(const QString& lineas) {
  std::vector<Trazo> r;
  for (int n = 6; n >= 1; --n) {
    const double X = 500, Y = YLinea[n];
    const QChar v = lineas[n - 1];
    if (v == QLatin1Char('7')) {
      r.push_back({MarcaImpresa::Caja, {X, Y}, {X + 1500, Y + 100}});
      continue;
    }
    r.push_back({MarcaImpresa::Caja, {X, Y}, {X + 600, Y + 100}});
    r.push_back({MarcaImpresa::Caja, {X + 900, Y}, {X + 1500, Y + 100}});
    if (v == QLatin1Char('6')) {
      r.push_back({MarcaImpresa::Raya, {X + 700, Y}, {X + 800, Y + 100}});
      r.push_back({MarcaImpresa::Raya, {X + 700, Y + 100}, {X + 800, Y}});
    } else if (v == QLatin1Char('9')) {
      r.push_back({MarcaImpresa::Circulo, {X + 750, Y + 50}, {}, 70});
    }
  }
  return r;
}

// Las líneas que la composición da para TextBuffer con esta fuente en la
// página de la impresora que anota.
QStringList lineasCompuestas(const QString& fuente, double tamano) {
  SuperficieMedidaQt s;
  QStringList r;
  const double ancho = ImpresoraGrabadora().ancho;
  ComponerTexto(s, FuenteComposicion{fuente, tamano}, ancho - 1500, [&](const QString& l) { r << l; });
  return r;
}

QString nombreHexagrama(const QString& lineas) {
  const auto& fila = HexagramList[std::size_t(HexagramNumber(lineas))];
  return fila[1].trimmed() + QLatin1Char('-') + fila[4];
}

QString segundoNombre(const QString& lineas) {
  return HexagramList[std::size_t(HexagramNumber(lineas))][5].trimmed();
}

// La salida de un programa de poppler.
QString poppler(const QString& programa, const QStringList& argumentos) {
  QProcess p;
  p.start(programa, argumentos);
  if (!p.waitForFinished(60000))
    return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class PruebaImprimir : public QObject {
  Q_OBJECT
  std::unique_ptr<CarpetaPrueba> carpeta_;
  std::unique_ptr<ImpresoraGrabadora> impresora_;
  std::unique_ptr<FRMImprimir> f_;

  // Una consulta como la deja la ventana de interpretación: las líneas, la
  // complementaria, la pregunta y los textos del principal en TextBuffer.
  void consulta(const QString& lineas, const QString& pregunta = QStringLiteral("¿QUÉ DEBO HACER?")) {
    CurrentLines = lineas;
    ComputeComplement();
    CurrentQuestion = pregunta;
    CargarBuffer(CurrentLines);
  }

  // Abre la ventana y pulsa imprimir.
  void imprimir(bool ambos = false) {
    f_->show();
    if (ambos)
      f_->OPCION[0]->setChecked(true);
    f_->BTNMENU_Click(0);
  }

  const MarcaImpresa& texto(const QString& t, int trabajo = 0) {
    const MarcaImpresa* m = impresora_->buscarTexto(t, trabajo);
    if (!m)
      qFatal("No se imprimió «%s»", qPrintable(t));
    return *m;
  }

  QString interTmp() const { return carpeta_->fichero(QStringLiteral("inter.tmp")); }

private slots:
  void initTestCase() {
    // Hasta que el usuario elige otra, la fuente es Arial de 12.
    QCOMPARE(FRMImprimir::DialogoDeImpresion().FontName, QStringLiteral("Arial"));
    QCOMPARE(FRMImprimir::DialogoDeImpresion().FontSize, 12.0);
  }

  void init() {
    carpeta_ = std::make_unique<CarpetaPrueba>(true);
    PrepararEstado(true);
    GuionDialogos::activar();
    impresora_ = std::make_unique<ImpresoraGrabadora>();
    FijarImpresora(impresora_.get());
    FRMImprimir::DialogoDeImpresion().FontName = QStringLiteral("Arial");
    FRMImprimir::DialogoDeImpresion().FontSize = 12;
    FRMImprimir::CaptionHexagramaEnPantalla = [] { return QStringLiteral("HEXAGRAMA PRINCIPAL"); };
    f_ = std::make_unique<FRMImprimir>();
  }

  void cleanup() {
    f_.reset();
    CerrarVentanasAbiertas();
    FijarImpresora(nullptr);
    impresora_.reset();
    GuionDialogos::desactivar();
    FRMImprimir::CaptionHexagramaEnPantalla = nullptr;
    carpeta_.reset();
  }

  // --- La ventana ---------------------------------------------------------
  void alAbrirSinLineasCambiantes() {
    consulta(QStringLiteral("787878"));
    f_->show();
    QVERIFY(!f_->OPCION[0]->isEnabled());
    QVERIFY(f_->OPCION[1]->isChecked());
    QVERIFY(f_->panfondo->isEnabled());
    QVERIFY(!f_->PANIMPRIMIENDO->isVisible());
    QVERIFY(!f_->Framehexagrama->isVisible());
    QCOMPARE(f_->OPCION[0]->text(), QStringLiteral("Imprimir Hexagrama Principal y Complementario."));
    QCOMPARE(f_->OPCION[1]->text(), QStringLiteral("Imprimir Hexagrama Actual."));
    QCOMPARE(f_->Frame1->title(), QStringLiteral("CONFIGURACION"));
    QCOMPARE(f_->BTNMENU[1]->text(), QStringLiteral("Configurar IMPRESORA"));
    QCOMPARE(f_->BTNMENU[2]->text(), QStringLiteral("Configurar FUENTES"));
    QCOMPARE(f_->PANIMPRIMIENDO->Caption(), QStringLiteral("I M P R I M I E N D O . . ."));
    for (SSCommand* b : f_->BTNMENU)
      QVERIFY(!b->accessibleName().isEmpty());
    // Sin líneas cambiantes, un solo trabajo con el hexagrama a la vista.
    imprimir();
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    QVERIFY(!f_->isVisible());
  }

  void alAbrirConLineasCambiantesYTrasImprimir() {
    consulta(QStringLiteral("967878"));
    f_->show();
    QVERIFY(f_->OPCION[0]->isEnabled());
    QVERIFY(f_->OPCION[1]->isChecked());
    f_->OPCION[0]->setChecked(true);
    f_->BTNMENU_Click(0);
    QVERIFY(!f_->isVisible());
    // Al volver a abrirla, otra vez "Imprimir Hexagrama Actual.".
    f_->show();
    QVERIFY(f_->OPCION[1]->isChecked());
    QVERIFY(f_->OPCION[0]->isEnabled());
    QVERIFY(f_->panfondo->isEnabled());
  }

  void cancelarCierraSinImprimir() {
    consulta(QStringLiteral("967878"));
    f_->show();
    f_->BTNMENU_Click(3);
    QVERIFY(!f_->isVisible());
    f_->show();
    QTest::keyClick(f_.get(), Qt::Key_Escape);
    QVERIFY(!f_->isVisible());
    QVERIFY(impresora_->marcas.empty());
  }

  void comoVentanaModal() {
    consulta(QStringLiteral("967878"));
    AlAparecerModal([](QWidget* w) {
      auto* f = qobject_cast<FRMImprimir*>(w);
      QVERIFY(f);
      QTest::mouseClick(f->BTNMENU[0], Qt::LeftButton);
    });
    f_->MostrarModal();
    QVERIFY(!f_->isVisible());
    QCOMPARE(impresora_->trabajosTerminados(), 1);
  }

  void actualizaPreparaLaZonaOculta() {
    const auto& g = GRAFICOS::Instancia();
    f_->Actualiza(QStringLiteral("687978"));
    const char* valores = "687978";
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(f_->gLINEA[i]->Tag, QString(QLatin1Char(valores[i])));
      QCOMPARE(f_->gLINEA[i]->Picture().cacheKey(), g.GRFLINEA[std::size_t(valores[i] - '6')].cacheKey());
      QVERIFY(!f_->gLINEA[i]->isHidden());
    }
    // Un 9 en la línea 4: el dibujo 3 y la etiqueta "9".
    QCOMPARE(f_->gLINEA[3]->Tag, QStringLiteral("9"));
    QCOMPARE(f_->gLINEA[3]->Picture().cacheKey(), g.GRFLINEA[3].cacheKey());
    QCOMPARE(f_->TXTTRIGRAMA[1]->text(), TrigramName(QStringLiteral("687")));
    QCOMPARE(f_->TXTTRIGRAMA[0]->text(), TrigramName(QStringLiteral("978")));
    QVERIFY(!f_->TXTTRIGRAMA[0]->text().isEmpty());
    QCOMPARE(f_->TXTHEXAGRAMA[0]->text(), nombreHexagrama(QStringLiteral("687978")));
    QCOMPARE(f_->TXTHEXAGRAMA[1]->text(), segundoNombre(QStringLiteral("687978")));
    // Un carácter que no es una línea se queda con el dibujo anterior.
    f_->Actualiza(QStringLiteral("7x8"));
    QCOMPARE(f_->gLINEA[1]->Tag, QStringLiteral("x"));
    QCOMPARE(f_->gLINEA[1]->Picture().cacheKey(), g.GRFLINEA[1].cacheKey());
    QCOMPARE(f_->gLINEA[5]->Tag, QStringLiteral(" "));
    QCOMPARE(f_->gLINEA[5]->Picture().cacheKey(), g.GRFLINEA[2].cacheKey());
  }

  // --- El trabajo ---------------------------------------------------------
  void dibujoExacto_data() {
    QTest::addColumn<QString>("lineas");
    QTest::addColumn<double>("ySuperior");
    QTest::addColumn<double>("yInferior");
    // La etiqueta queda donde dejó la pluma la línea 6 (o la 3): el borde
    // de abajo de una caja, el centro del anillo o lo alto del hueco.
    QTest::newRow("9 arriba, 8 en la 3") << QStringLiteral("678969") << 1600.0 << 2400.0;
    QTest::newRow("6 arriba, 7 en la 3") << QStringLiteral("777666") << 1550.0 << 2400.0;
    QTest::newRow("7 arriba, 9 en la 3") << QStringLiteral("889887") << 1650.0 << 2350.0;
    QTest::newRow("8 arriba, 6 en la 3") << QStringLiteral("996778") << 1650.0 << 2300.0;
  }

  void dibujoExacto() {
    QFETCH(QString, lineas);
    QFETCH(double, ySuperior);
    QFETCH(double, yInferior);
    consulta(lineas);
    imprimir();
    std::vector<Trazo> hechos;
    for (const MarcaImpresa& m : impresora_->marcas)
      if (m.tipo == MarcaImpresa::Caja || m.tipo == MarcaImpresa::Raya || m.tipo == MarcaImpresa::Circulo) {
        hechos.push_back({m.tipo, m.p1, m.p2, m.radio});
        QCOMPARE(m.color, QColor(Qt::black));
      }
    const std::vector<Trazo> esperados = trazosEsperados(lineas);
    QCOMPARE(hechos.size(), esperados.size());
    for (std::size_t i = 0; i < hechos.size(); ++i) {
      QCOMPARE(hechos[i].tipo, esperados[i].tipo);
      QCOMPARE(hechos[i].a, esperados[i].a);
      if (hechos[i].tipo == MarcaImpresa::Circulo)
        QCOMPARE(hechos[i].radio, esperados[i].radio);
      else
        QCOMPARE(hechos[i].b, esperados[i].b);
    }
    const MarcaImpresa& sup = texto(QStringLiteral("Trigrama Superior:"));
    QCOMPARE(sup.p1, QPointF(2500, ySuperior));
    QVERIFY(sup.negrita && sup.subrayado);
    const MarcaImpresa& inf = texto(QStringLiteral("Trigrama Inferior:"));
    QCOMPARE(inf.p1, QPointF(2500, yInferior));
    QVERIFY(inf.negrita && inf.subrayado);
    // Tras cada etiqueta, el nombre del trigrama, sin negrita ni subrayado.
    const auto textos = impresora_->deTipo(MarcaImpresa::Texto);
    for (std::size_t i = 0; i + 1 < textos.size(); ++i) {
      const bool superior = textos[i].texto == QLatin1String("Trigrama Superior:");
      if (!superior && textos[i].texto != QLatin1String("Trigrama Inferior:"))
        continue;
      const MarcaImpresa& nombre = textos[i + 1];
      QCOMPARE(nombre.texto, QStringLiteral("  ") + TrigramName(superior ? lineas.right(3) : lineas.left(3)));
      QVERIFY(!nombre.negrita && !nombre.subrayado);
      QCOMPARE(nombre.p1.y(), superior ? ySuperior : yInferior);
      QVERIFY(nombre.p1.x() > 2500 + 1000);
    }
  }

  void encabezadoYTextos() {
    consulta(QStringLiteral("787969"), QStringLiteral("  ¿SALDRÁ BIEN EL VIAJE?  "));
    FRMImprimir::DialogoDeImpresion().FontName = QStringLiteral("Liberation Serif");
    FRMImprimir::DialogoDeImpresion().FontSize = 14;
    const QStringList compuestas = lineasCompuestas(QStringLiteral("Liberation Serif"), 14);
    imprimir();
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    const auto marcas = impresora_->deTipo(MarcaImpresa::Texto);
    // Primera línea: "CONSULTA:" en negrita subrayada, y la pregunta sin
    // blancos a los lados, sin negrita, a continuación.
    QCOMPARE(marcas[0].texto, QStringLiteral("CONSULTA:"));
    QCOMPARE(marcas[0].p1, QPointF(500, 100));
    QVERIFY(marcas[0].negrita && marcas[0].subrayado);
    QCOMPARE(marcas[0].fuente, QStringLiteral("Arial"));
    QCOMPARE(marcas[1].texto, QStringLiteral(" ¿SALDRÁ BIEN EL VIAJE?"));
    QVERIFY(!marcas[1].negrita && !marcas[1].subrayado);
    QCOMPARE(marcas[1].p1.y(), 100.0);
    QVERIFY(marcas[1].p1.x() > 500 + 1000);
    QCOMPARE(marcas[2].texto, QStringLiteral("HEXAGRAMA PRINCIPAL"));
    QCOMPARE(marcas[2].p1.x(), 500.0);
    QVERIFY(marcas[2].negrita && marcas[2].subrayado);
    QCOMPARE(marcas[3].texto, nombreHexagrama(QStringLiteral("787969")));
    QCOMPARE(marcas[3].p1.x(), 500.0);
    QVERIFY(marcas[3].negrita && !marcas[3].subrayado);
    // Todo el encabezado cabe encima del dibujo.
    QVERIFY(marcas[3].p1.y() + 300 < 1550);
    // Las etiquetas de los trigramas ya van con el nombre de la fuente elegida.
    QCOMPARE(texto(QStringLiteral("Trigrama Superior:")).fuente, QStringLiteral("Liberation Serif"));
    QCOMPARE(texto(QStringLiteral("Trigrama Superior:")).tamano, 12.0);
    // El segundo nombre, sin negrita, debajo del dibujo.
    const int iSegundo = 8;
    QCOMPARE(marcas[iSegundo].texto, segundoNombre(QStringLiteral("787969")));
    QCOMPARE(marcas[iSegundo].p1.x(), 500.0);
    QVERIFY(!marcas[iSegundo].negrita);
    QVERIFY(marcas[iSegundo].p1.y() > 2800);
    // Después, las líneas compuestas: cabeceras en negrita subrayada sin
    // "*n*", el texto tal cual; todo con la fuente y el tamaño elegidos, en
    // x = 500, una debajo de otra.
    QStringList esperadas;
    for (const QString& l : compuestas)
      if (!l.isEmpty())
        esperadas << (l.startsWith(QLatin1String("*n*")) ? l.mid(3) : l);
    QCOMPARE(int(marcas.size()) - iSegundo - 1, int(esperadas.size()));
    double y = marcas[iSegundo].p1.y();
    int pagina = 1;
    for (int i = 0; i < esperadas.size(); ++i) {
      const MarcaImpresa& m = marcas[std::size_t(iSegundo + 1 + i)];
      QCOMPARE(m.texto, esperadas[i]);
      QCOMPARE(m.p1.x(), 500.0);
      QCOMPARE(m.fuente, QStringLiteral("Liberation Serif"));
      QCOMPARE(m.tamano, 14.0);
      const bool cabecera = compuestas.contains(QStringLiteral("*n*") + m.texto);
      QCOMPARE(m.negrita, cabecera);
      QCOMPARE(m.subrayado, cabecera);
      QVERIFY(m.pagina > pagina || m.p1.y() > y);
      y = m.p1.y();
      pagina = m.pagina;
    }
    QVERIFY(esperadas.contains(QStringLiteral("DECISION")));
    for (const char* l : {"LINEA 4", "LINEA 5", "LINEA 6"})
      QVERIFY(esperadas.contains(QString::fromLatin1(l)));
    for (const char* l : {"LINEA 1", "LINEA 2", "LINEA 3"})
      QVERIFY(!esperadas.contains(QString::fromLatin1(l)));
    QVERIFY(esperadas.contains(QStringLiteral("     ") + compuestas.at(1).trimmed()));
    // El fichero temporal ya no está.
    QVERIFY(!QFile::exists(interTmp()));
  }

  void preguntaVacia() {
    consulta(QStringLiteral("787878"), QString());
    imprimir();
    const auto marcas = impresora_->deTipo(MarcaImpresa::Texto);
    QCOMPARE(marcas[0].texto, QStringLiteral("CONSULTA:"));
    QCOMPARE(marcas[1].texto, QStringLiteral(" "));
    // Sin líneas cambiantes no hay ninguna cabecera de línea.
    for (const MarcaImpresa& m : marcas)
      QVERIFY2(!m.texto.startsWith(QLatin1String("LINEA")), qPrintable(m.texto));
  }

  void textoLargoSigueEnPaginasNuevas() {
    consulta(QStringLiteral("999999"));
    impresora_->alto = 5000;
    imprimir();
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    const auto paginas = impresora_->deTipo(MarcaImpresa::Pagina);
    QVERIFY(paginas.size() >= 3);
    // Sin cabecera de página: "CONSULTA:" sólo en la primera.
    QCOMPARE(impresora_->textos().count(QStringLiteral("CONSULTA:")), 1);
    for (const MarcaImpresa& m : impresora_->deTipo(MarcaImpresa::Texto)) {
      QVERIFY(m.p1.y() + 200 <= impresora_->alto);
      if (m.pagina > 1)
        QCOMPARE(m.p1.x(), 500.0);
    }
    // La primera línea de cada página nueva va arriba del todo (o debajo
    // de la línea vacía que pasó de página, si fue ésa la que no cupo).
    const double alto = impresora_->TextHeight();
    for (int p = 2; p <= int(paginas.size()) + 1; ++p) {
      for (const MarcaImpresa& m : impresora_->deTipo(MarcaImpresa::Texto))
        if (m.pagina == p) {
          QVERIFY2(m.p1.y() == 0.0 || qAbs(m.p1.y() - alto) < 0.01, qPrintable(QString::number(m.p1.y())));
          break;
        }
    }
  }

  void dosHexagramasDosTrabajos() {
    consulta(QStringLiteral("969678"));
    imprimir(true);
    QCOMPARE(impresora_->trabajosTerminados(), 2);
    QVERIFY(impresora_->buscarTexto(QStringLiteral("HEXAGRAMA PRINCIPAL"), 1));
    QVERIFY(!impresora_->buscarTexto(QStringLiteral("HEXAGRAMA COMPLEMENTARIO"), 1));
    QVERIFY(impresora_->buscarTexto(QStringLiteral("HEXAGRAMA COMPLEMENTARIO"), 2));
    QVERIFY(impresora_->buscarTexto(QStringLiteral("CONSULTA:"), 1));
    QVERIFY(impresora_->buscarTexto(QStringLiteral("CONSULTA:"), 2));
    QVERIFY(impresora_->buscarTexto(nombreHexagrama(QStringLiteral("969678")), 1));
    QVERIFY(impresora_->buscarTexto(nombreHexagrama(QStringLiteral("878778")), 2));
    QVERIFY(impresora_->buscarTexto(QStringLiteral("LINEA 1"), 1));
    QVERIFY(!impresora_->buscarTexto(QStringLiteral("LINEA 1"), 2));
    // El complementario no tiene líneas cambiantes: ni cruces ni anillos.
    QVERIFY(!impresora_->deTipo(MarcaImpresa::Circulo, 1).empty());
    QVERIFY(impresora_->deTipo(MarcaImpresa::Circulo, 2).empty());
    QVERIFY(impresora_->deTipo(MarcaImpresa::Raya, 2).empty());
    QCOMPARE(f_->Framehexagrama->title(), QStringLiteral("HEXAGRAMA COMPLEMENTARIO"));
    QVERIFY(!f_->isVisible());
    QVERIFY(!f_->PANIMPRIMIENDO->isVisible());
    QVERIFY(f_->panfondo->isEnabled());
  }

  void actualConElComplementarioALaVista() {
    consulta(QStringLiteral("969678"));
    // Lo que la ventana de interpretación tiene cargado se imprime tal cual.
    PonerBuffer(
        {QStringLiteral("*D"), QStringLiteral("Texto cargado por la ventana."), QStringLiteral("**")});
    FRMImprimir::CaptionHexagramaEnPantalla = [] { return QStringLiteral("HEXAGRAMA COMPLEMENTARIO"); };
    imprimir();
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    QVERIFY(impresora_->buscarTexto(QStringLiteral("HEXAGRAMA COMPLEMENTARIO")));
    QVERIFY(impresora_->buscarTexto(nombreHexagrama(QStringLiteral("878778"))));
    QVERIFY(impresora_->deTipo(MarcaImpresa::Circulo).empty());
    QVERIFY(impresora_->buscarTexto(QStringLiteral("Texto cargado por la ventana.")));
    QCOMPARE(impresora_->textos().count(QStringLiteral("DECISION")), 1);
    QVERIFY(!impresora_->buscarTexto(QStringLiteral("COMENTARIO")));
  }

  void panelImprimiendoMientrasImprime() {
    consulta(QStringLiteral("967878"));
    int vistos = 0;
    bool siempre = true;
    impresora_->antesDeMarcar = [&](const MarcaImpresa&) {
      ++vistos;
      siempre = siempre && f_->PANIMPRIMIENDO->isVisible() && !f_->panfondo->isEnabled();
    };
    imprimir();
    QVERIFY(vistos > 20);
    QVERIFY(siempre);
    QVERIFY(!f_->PANIMPRIMIENDO->isVisible());
    QVERIFY(f_->panfondo->isEnabled());
  }

  void interTmpSeEscribeEnWindows1252() {
    // Un fallo al terminar el trabajo, contestado con Aceptar, deja el
    // fichero temporal en el disco: se puede leer tal como se escribió.
    consulta(QStringLiteral("967878"));
    const QStringList compuestas = lineasCompuestas(QStringLiteral("Arial"), 12);
    impresora_->antesDeMarcar = [](const MarcaImpresa& m) {
      if (m.tipo == MarcaImpresa::Fin)
        throw ErrorEjecucion(ErrEntradaSalida);
    };
    imprimir();
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(1));
    QCOMPARE(msg[0].texto, QStringLiteral("ERROR 57 (SUB IMPRIMIR)"));
    QCOMPARE(msg[0].titulo, Atencion);
    QCOMPARE(msg[0].estilo, vbCritical | vbOKOnly);
    // Ni terminado ni cancelado.
    QCOMPARE(impresora_->trabajosTerminados(), 0);
    QCOMPARE(impresora_->trabajosCancelados(), 0);
    QFile f(interTmp());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("*n*DECISION\r\n"));
    QCOMPARE(bytes, Win1252::codificar(compuestas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    // Las letras con tilde ocupan un byte: nada de UTF-8.
    QVERIFY(bytes.contains(char(0xF3)) || bytes.contains(char(0xE1)));
    QVERIFY(!bytes.contains("\xC3\xB3"));
  }

  void unInterTmpAnteriorSePisaYSeBorra() {
    QFile viejo(interTmp());
    QVERIFY(viejo.open(QIODevice::WriteOnly));
    viejo.write("*n*RESTOS DE OTRA VEZ\r\n");
    viejo.close();
    consulta(QStringLiteral("787878"));
    imprimir();
    QVERIFY(!impresora_->buscarTexto(QStringLiteral("RESTOS DE OTRA VEZ")));
    QVERIFY(!QFile::exists(interTmp()));
  }

  // --- Fallos ---------------------------------------------------------------
  void impresoraNoPreparadaReintentar() {
    consulta(QStringLiteral("967878"));
    impresora_->fallosAlEmpezar = 1;
    GuionMensajes::responder(vbRetry);
    imprimir();
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(1));
    QCOMPARE(msg[0].texto, QStringLiteral("IMPRESORA NO PREPARADA (error 482)"));
    QCOMPARE(msg[0].titulo, Atencion);
    QCOMPARE(msg[0].estilo, vbCritical | vbAbortRetryIgnore);
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    // Reintentar repite el paso que falló: la línea vacía que empieza la
    // página va antes de la pregunta.
    QCOMPARE(texto(QStringLiteral("CONSULTA:")).p1, QPointF(500, 100));
    QVERIFY(!QFile::exists(interTmp()));
  }

  void impresoraNoPreparadaOmitir() {
    consulta(QStringLiteral("967878"));
    impresora_->fallosAlEmpezar = 1;
    GuionMensajes::responder(vbIgnore);
    imprimir();
    QCOMPARE(GuionMensajes::mostrados().size(), std::size_t(1));
    QCOMPARE(impresora_->trabajosTerminados(), 1);
    QVERIFY(impresora_->buscarTexto(QStringLiteral("CONSULTA:")));
  }

  void impresoraNoPreparadaAnularTerminaLaOrden() {
    consulta(QStringLiteral("969678"));
    impresora_->fallosAlEmpezar = 1;
    GuionMensajes::responder(vbAbort);
    f_->show();
    f_->OPCION[0]->setChecked(true);
    f_->BTNMENU_Click(0);
    QCOMPARE(GuionMensajes::mostrados().size(), std::size_t(1));
    // Ni el principal ni el complementario: la orden entera termina.
    QVERIFY(impresora_->marcas.empty());
    QVERIFY(!f_->isVisible());
    QVERIFY(f_->panfondo->isEnabled());
    // Al abrirla otra vez, todo como siempre.
    f_->show();
    QVERIFY(!f_->PANIMPRIMIENDO->isVisible());
    QVERIFY(f_->OPCION[1]->isChecked());
  }

  void otroFalloTrasUn482DejaAnular() {
    consulta(QStringLiteral("967878"));
    impresora_->fallosAlEmpezar = 1;
    impresora_->antesDeMarcar = [](const MarcaImpresa& m) {
      if (m.tipo == MarcaImpresa::Caja)
        throw ErrorEjecucion(ErrEntradaSalida);
    };
    GuionMensajes::responder(vbRetry);
    GuionMensajes::responder(vbAbort);
    imprimir();
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(2));
    QCOMPARE(msg[1].texto, QStringLiteral("ERROR 57 (SUB IMPRIMIR)"));
    QCOMPARE(msg[1].estilo, vbCritical | vbAbortRetryIgnore);
    QCOMPARE(impresora_->trabajosCancelados(), 1);
    QCOMPARE(impresora_->trabajosTerminados(), 0);
    QVERIFY(!f_->isVisible());
  }

  void reintentarUnTrazoLoDibujaUnaVez() {
    consulta(QStringLiteral("787978"));
    impresora_->fallosAlEmpezar = 1;
    bool fallado = false;
    impresora_->antesDeMarcar = [&](const MarcaImpresa& m) {
      if (m.tipo == MarcaImpresa::Circulo && !fallado) {
        fallado = true;
        throw ErrorEjecucion(ErrEntradaSalida);
      }
    };
    GuionMensajes::responder(vbRetry);
    GuionMensajes::responder(vbRetry);
    imprimir();
    QCOMPARE(GuionMensajes::mostrados().size(), std::size_t(2));
    QCOMPARE(impresora_->deTipo(MarcaImpresa::Circulo).size(), std::size_t(1));
    QCOMPARE(impresora_->trabajosTerminados(), 1);
  }

  void omitirUnTrazoSigueConElSiguiente() {
    consulta(QStringLiteral("787978"));
    impresora_->fallosAlEmpezar = 1;
    impresora_->antesDeMarcar = [](const MarcaImpresa& m) {
      if (m.tipo == MarcaImpresa::Circulo)
        throw ErrorEjecucion(ErrEntradaSalida);
    };
    GuionMensajes::responder(vbIgnore);
    GuionMensajes::responder(vbIgnore);
    imprimir();
    QCOMPARE(impresora_->deTipo(MarcaImpresa::Circulo).size(), std::size_t(0));
    QCOMPARE(impresora_->deTipo(MarcaImpresa::Caja).size(), std::size_t(9));
    QCOMPARE(impresora_->trabajosTerminados(), 1);
  }

  void finSoloEnLaRanura100() {
    consulta(QStringLiteral("787878"));
    QStringList r{QStringLiteral("*D")};
    for (int j = 2; j < 100; ++j)
      r << QStringLiteral("Texto que llena el almacén.");
    r << QStringLiteral("**");
    PonerBuffer(r);
    imprimir();
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(1));
    QCOMPARE(msg[0].texto, QStringLiteral("ERROR 9 (SUB IMPRIMIR)"));
    QCOMPARE(msg[0].estilo, vbCritical | vbOKOnly);
    QCOMPARE(impresora_->trabajosTerminados(), 0);
    QVERIFY(QFile::exists(interTmp()));
  }

  void interTmpQueNoSePuedeCrear() {
    consulta(QStringLiteral("787878"));
    QFile(carpeta_->fichero(QStringLiteral("fichero"))).open(QIODevice::WriteOnly);
    FijarDirEscritura(carpeta_->fichero(QStringLiteral("fichero/sub")));
    imprimir();
    FijarDirEscritura(carpeta_->ruta());
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(1));
    QCOMPARE(msg[0].texto, QStringLiteral("ERROR 75 (SUB IMPRIMIR)"));
    QCOMPARE(msg[0].titulo, Atencion);
    QCOMPARE(impresora_->trabajosTerminados(), 0);
    QVERIFY(!f_->isVisible());
  }

  // --- Fuente e impresora -----------------------------------------------
  void dialogoCanceladoNoDiceNada() {
    f_->show();
    f_->BTNMENU_Click(2);
    f_->BTNMENU_Click(1);
    QVERIFY(GuionMensajes::mostrados().empty());
    const auto& d = GuionDialogos::mostrados();
    QCOMPARE(d.size(), std::size_t(2));
    QCOMPARE(d[0].tipo, QStringLiteral("FUENTES"));
    QCOMPARE(d[0].flags, cdlCFBoth);
    QCOMPARE(d[1].tipo, QStringLiteral("IMPRESORA"));
    QCOMPARE(f_->CMDPrint->FontName, QStringLiteral("Arial"));
    QCOMPARE(f_->CMDPrint->FontSize, 12.0);
    QVERIFY(impresora_->ficheroElegido.isEmpty());
    QVERIFY(f_->isVisible());
    QVERIFY(f_->panfondo->isEnabled());
  }

  void otroFalloDelDialogo() {
    GuionDialogos::responder(RespuestaDialogo::fallar(28660));
    f_->Configurar(QStringLiteral("FUENTES"));
    GuionDialogos::responder(RespuestaDialogo::fallar(482));
    f_->Configurar(QStringLiteral("IMPRESORA"));
    const auto& msg = GuionMensajes::mostrados();
    QCOMPARE(msg.size(), std::size_t(2));
    QCOMPARE(msg[0].titulo, QStringLiteral("Error en módulo de FRMImprimir(SUB CONFIGURAR)"));
    QCOMPARE(msg[0].texto, QStringLiteral("ERROR:  28660"));
    QCOMPARE(msg[0].estilo, vbExclamation | vbOKOnly);
    QCOMPARE(msg[1].texto, QStringLiteral("ERROR:  482"));
    QCOMPARE(f_->CMDPrint->FontName, QStringLiteral("Arial"));
  }

  void dialogoDeFuentesSinFuentesQueListar() {
    DialogoComun d;
    GuionDialogos::responder(RespuestaDialogo::elegirFuente(QStringLiteral("Liberation Serif"), 10));
    try {
      d.ShowFont();
      QFAIL("tenía que fallar");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrSinFuentes);
    }
    QCOMPARE(d.FontName, QStringLiteral("Arial"));
  }

  void laFuenteElegidaDuraTodaLaEjecucion() {
    GuionDialogos::responder(RespuestaDialogo::elegirFuente(QStringLiteral("DejaVu Sans"), 11));
    f_->show();
    QTest::mouseClick(f_->BTNMENU[2], Qt::LeftButton);
    QCOMPARE(f_->CMDPrint->FontName, QStringLiteral("DejaVu Sans"));
    QCOMPARE(f_->CMDPrint->FontSize, 11.0);
    // Otra ventana de impresión (la anterior descargada) sigue con ella.
    f_ = std::make_unique<FRMImprimir>();
    QCOMPARE(f_->CMDPrint->FontName, QStringLiteral("DejaVu Sans"));
    consulta(QStringLiteral("787878"));
    imprimir();
    const auto marcas = impresora_->deTipo(MarcaImpresa::Texto);
    QCOMPARE(marcas.back().fuente, QStringLiteral("DejaVu Sans"));
    QCOMPARE(marcas.back().tamano, 11.0);
  }

  void laImpresoraElegida() {
    const QString pdf = carpeta_->fichero(QStringLiteral("mi consulta.pdf"));
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(pdf));
    f_->show();
    f_->BTNMENU_Click(1);
    QCOMPARE(impresora_->ficheroElegido, pdf);
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  // --- Un PDF de verdad -------------------------------------------------
  void unaConsultaImpresaEnPdf() {
    FijarImpresora(nullptr);
    const QString pdf = carpeta_->fichero(QStringLiteral("consulta.pdf"));
    GuionDialogos::responder(RespuestaDialogo::elegirPdf(pdf));
    f_->show();
    f_->BTNMENU_Click(1);
    const QString lineas = QStringLiteral("697896");
    consulta(lineas, QStringLiteral("¿DEBO ACEPTAR EL NUEVO TRABAJO?"));
    f_->show();
    f_->BTNMENU_Click(0);
    QVERIFY(GuionMensajes::mostrados().empty());
    QVERIFY(QFile::exists(pdf));
    QVERIFY(!QFile::exists(interTmp()));

    // En bruto: sin juntar las palabras cortadas con guion.
    const QString texto =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), QStringLiteral("-enc"),
                                              QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    const QStringList lineasPdf = texto.split(QLatin1Char('\n'));
    QVERIFY(texto.contains(QStringLiteral("CONSULTA: ¿DEBO ACEPTAR EL NUEVO TRABAJO?")));
    for (const QString& t :
         {QStringLiteral("HEXAGRAMA PRINCIPAL"), nombreHexagrama(lineas), segundoNombre(lineas),
          QStringLiteral("Trigrama Superior:"), QStringLiteral("Trigrama Inferior:"),
          TrigramName(lineas.left(3)), TrigramName(lineas.right(3))})
      QVERIFY2(texto.contains(t), qPrintable(t));
    for (const QString& t : {QStringLiteral("DECISION"), QStringLiteral("COMENTARIO"),
                             QStringLiteral("IMAGEN"), QStringLiteral("LINEA 1"), QStringLiteral("LINEA 2"),
                             QStringLiteral("LINEA 5"), QStringLiteral("LINEA 6")})
      QVERIFY2(lineasPdf.contains(t), qPrintable(t));
    QVERIFY(!lineasPdf.contains(QStringLiteral("LINEA 3")));
    QVERIFY(!lineasPdf.contains(QStringLiteral("LINEA 4")));

    // Cada guion al final de una línea está donde las reglas dejan cortar:
    // no tras puntuación, antes de una consonante seguida de vocal y no
    // entre dos letras que no se separan.
    const QString vocales = QStringLiteral("aeiouáéíóúAEIOUÁÉÍÓÚ");
    const QStringList parejas = {QStringLiteral("rr"), QStringLiteral("ll"), QStringLiteral("ch"),
                                 QStringLiteral("cl"), QStringLiteral("cr"), QStringLiteral("gr"),
                                 QStringLiteral("br"), QStringLiteral("bl"), QStringLiteral("pr"),
                                 QStringLiteral("ah")};
    int guiones = 0;
    for (int i = 0; i + 1 < lineasPdf.size(); ++i) {
      const QString l = lineasPdf[i].trimmed();
      if (!l.endsWith(QLatin1Char('-')) || l.size() < 2)
        continue;
      ++guiones;
      const QString siguiente = lineasPdf[i + 1].trimmed();
      QVERIFY2(siguiente.size() >= 2, qPrintable(l));
      const QChar a = l[l.size() - 2], b = siguiente[0], c = siguiente[1];
      const QString donde = l + QStringLiteral(" | ") + siguiente;
      QVERIFY2(a.isLetter() && b.isLetter(), qPrintable(donde));
      QVERIFY2(!vocales.contains(b) && vocales.contains(c), qPrintable(donde));
      QVERIFY2(!parejas.contains(QString(a).toLower() + QString(b).toLower()), qPrintable(donde));
    }
    QVERIFY(guiones > 5);

    // Ninguna palabra sale de la página, ni por la derecha ni por abajo.
    const QString cajas =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression pagina(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""));
    const QRegularExpression palabra(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"));
    const auto mp = pagina.match(cajas);
    QVERIFY(mp.hasMatch());
    const double anchoPt = mp.captured(1).toDouble(), altoPt = mp.captured(2).toDouble();
    // El margen de la impresora es de media pulgada (36 puntos); el texto
    // empieza 500 twips (25 puntos) más allá.
    const double margen = 36;
    int palabras = 0;
    double derecha = 0;
    for (auto it = palabra.globalMatch(cajas); it.hasNext();) {
      const auto m = it.next();
      ++palabras;
      derecha = std::max(derecha, m.captured(3).toDouble());
      QVERIFY(m.captured(1).toDouble() >= margen + 25 - 0.5);
      QVERIFY(m.captured(3).toDouble() <= anchoPt - margen);
      QVERIFY(m.captured(2).toDouble() >= margen - 0.5);
      QVERIFY(m.captured(4).toDouble() <= altoPt - margen);
    }
    QVERIFY(palabras > 500);
    // Las líneas llegan cerca del límite (página − 1500 twips = 75 puntos).
    QVERIFY2(derecha > anchoPt - margen - 75 - 40, qPrintable(QString::number(derecha)));
    QVERIFY(poppler(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+[2-9]"))));
  }
};

QTEST_MAIN(PruebaImprimir)
#include "test_imprimir.moc"
