// El almacén de dibujos: cada dibujo existe a su tamaño, las líneas se leen
// como líneas de hexagrama, las caras se distinguen unas de otras y los
// fondos dejan en calma las zonas que tapan los controles.

#include "Muestras.h"

#include "apoyo/Apoyo.h"
#include "pictures/Dibujos.h"
#include "pictures/GRAFICOS.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QTest>

using namespace Muestras;

namespace {
QSize Logico(const QPixmap& pm) {
  return pm.deviceIndependentSize().toSize();
}

// Una placa vacía del mismo tamaño: lo que se vería si la cara no tuviera dibujo.
QImage PlacaVacia(QSize tam, qreal radio) {
  QPixmap pm = Dibujos::Lienzo(tam, 1.0);
  QPainter p(&pm);
  Dibujos::Preparar(p);
  Dibujos::Placa(p, QRectF(QPointF(0, 0), tam), radio);
  p.end();
  return pm.toImage();
}

// Las caras se comparan sobre negro, como las muestran los botones.
QImage SobreNegro(const QPixmap& pm) {
  QImage im(pm.size(), QImage::Format_RGB32);
  im.setDevicePixelRatio(pm.devicePixelRatio());
  im.fill(Qt::black);
  QPainter p(&im);
  p.drawImage(0, 0, pm.toImage());
  return im;
}

// Brillo medio de un rectángulo lógico.
double BrilloMedio(const QImage& im, const QRect& r) {
  double suma = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      suma += Luz(im.pixelColor(x, y));
  return suma / (r.width() * r.height());
}

// Una franja horizontal sin nada que llame la atención: oscura y sin bordes.
void ComprobarCalma(const QImage& im, int desde, int hasta, const char* que) {
  for (int y = desde; y < hasta; ++y)
    for (int x = 0; x < im.width(); ++x) {
      const QColor c = im.pixelColor(x, y);
      QVERIFY2(Luz(c) < 90, qPrintable(QStringLiteral("%1: píxel claro en %2,%3").arg(que).arg(x).arg(y)));
      if (x > 0)
        QVERIFY2(std::abs(Luz(c) - Luz(im.pixelColor(x - 1, y))) < 8,
                 qPrintable(QStringLiteral("%1: borde en %2,%3").arg(que).arg(x).arg(y)));
    }
}
} // namespace

class PruebaDibujos : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() {
    QVERIFY2(QFontDatabase::families().contains(QStringLiteral("Liberation Serif")),
             "falta la letra Liberation Serif (fonts-liberation2)");
    QCOMPARE(qApp->devicePixelRatio(), 1.0);
  }

  // El almacén no existe hasta que alguien lo nombra, y sólo hay uno.
  void seCreaAlUsarlo() {
    QVERIFY(!GRAFICOS::Creado());
    GRAFICOS& g = GRAFICOS::Instancia();
    QVERIFY(GRAFICOS::Creado());
    QCOMPARE(&GRAFICOS::Instancia(), &g);
    QVERIFY(!g.isVisible());
  }

  void cadaDibujoASuTamano() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (size_t k = 0; k < 4; ++k) {
      QCOMPARE(Logico(g.GRFLINEA[k]), QSize(172, 31));
      QCOMPARE(Logico(g.GRFLINEAm[k]), QSize(103, 19));
      QCOMPARE(Logico(g.GRFLINEAp[k]), QSize(86, 16));
    }
    QCOMPARE(Logico(g.Gaceptar), QSize(75, 40));
    QCOMPARE(Logico(g.Gcancelar), QSize(75, 40));
    for (size_t i = 0; i < 7; ++i)
      QCOMPARE(Logico(g.CarasMenu[i]), QSize(69, 69));
    QCOMPARE(Logico(g.CarasMenu[7]), QSize(33, 35));
    QCOMPARE(Logico(g.FondoInicio), QSize(488, 235));
    QCOMPARE(Logico(g.Consejo), QSize(640, 480));
    for (const QPixmap& m : g.grfmoneda)
      QCOMPARE(Logico(m), QSize(100, 100));
    for (const QPixmap& b : g.GRFarrojarParar)
      QCOMPARE(Logico(b), QSize(200, 40));
    for (const QPixmap& h : g.IMGHEXAGR)
      QCOMPARE(Logico(h), QSize(55, 55));
    for (const QPixmap& c : g.CarasInterpretar)
      QCOMPARE(Logico(c), QSize(55, 55));
    QCOMPARE(Logico(g.Eliminar), QSize(33, 33));
    QCOMPARE(Logico(g.Impresora), QSize(32, 32));
    const QList<QSize> tamanos = g.Icono.availableSizes();
    for (int lado : {16, 32, 48, 256})
      QVERIFY2(tamanos.contains(QSize(lado, lado)), qPrintable(QString::number(lado)));
  }

  // Las tres series de líneas a densidad sencilla; la doble la prueba
  // test_dibujos_hidpi con el almacén entero.
  void lineasDeHexagrama_data() {
    QTest::addColumn<int>("k");
    for (int k = 0; k < 4; ++k)
      QTest::addRow("%d", 6 + k) << k;
  }
  void lineasDeHexagrama() {
    QFETCH(int, k);
    const GRAFICOS& g = GRAFICOS::Instancia();
    const auto i = static_cast<size_t>(k);
    ComprobarLinea(g.GRFLINEA[i], k);
    ComprobarLinea(g.GRFLINEAm[i], k);
    ComprobarLinea(g.GRFLINEAp[i], k);
  }

  // A densidad doble se dibuja de nuevo, no se amplía: los bordes de las
  // barras son netos y hay detalle más fino que un píxel lógico.
  void nitidasADensidadDoble() {
    for (int k = 0; k < 4; ++k) {
      const QPixmap pm = Dibujos::Linea(k, Dibujos::TamLinea, 2.0);
      QCOMPARE(pm.size(), QSize(344, 62));
      QCOMPARE(pm.devicePixelRatio(), 2.0);
      const QImage im = pm.toImage();
      int intermedias = 0;
      for (int y = 0; y < im.height(); ++y) {
        const int l = Luz(im.pixelColor(im.width() / 4, y));
        intermedias += (l >= 40 && l <= 150) ? 1 : 0;
      }
      QVERIFY2(intermedias <= 1, qPrintable(QString::number(intermedias)));
    }
    QVERIFY(!SoloBloquesDeDos(Dibujos::Linea(3, Dibujos::TamLinea, 2.0).toImage()));
    for (int i = 0; i < 8; ++i) {
      const QPixmap doble = Dibujos::CaraMenu(i, 2.0);
      QCOMPARE(doble.deviceIndependentSize().toSize(), Dibujos::TamCaraMenu(i));
      QVERIFY(!SoloBloquesDeDos(doble.toImage()));
      // Es el mismo dibujo que a densidad sencilla.
      const QImage reducida =
          SobreNegro(doble).scaled(Dibujos::TamCaraMenu(i), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      QVERIFY2(FraccionDistinta(reducida, SobreNegro(Dibujos::CaraMenu(i, 1.0))) < 0.12,
               qPrintable(QString::number(i)));
    }
  }

  // Cada botón del menú muestra su propio dibujo sobre la placa.
  void carasDelMenuDistintas() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (size_t i = 0; i < 8; ++i) {
      const QImage cara = SobreNegro(g.CarasMenu[i]);
      const QImage vacia = SobreNegro(QPixmap::fromImage(PlacaVacia(Logico(g.CarasMenu[i]), i == 7 ? 4 : 7)));
      QVERIFY2(FraccionDistinta(cara, vacia) > 0.08, qPrintable(QString::number(i)));
      for (size_t j = i + 1; j < 7; ++j)
        QVERIFY2(FraccionDistinta(cara, SobreNegro(g.CarasMenu[j])) > 0.08,
                 qPrintable(QStringLiteral("%1 y %2").arg(i).arg(j)));
    }
  }

  void carasDeInterpretacion() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    QList<QImage> caras{SobreNegro(g.IMGHEXAGR[0]), SobreNegro(g.IMGHEXAGR[1]),
                        SobreNegro(g.CarasInterpretar[1]), SobreNegro(g.CarasInterpretar[2]),
                        SobreNegro(g.CarasInterpretar[3])};
    const QImage vacia = SobreNegro(QPixmap::fromImage(PlacaVacia(QSize(55, 55), 6)));
    for (int a = 0; a < caras.size(); ++a) {
      QVERIFY2(FraccionDistinta(caras[a], vacia) > 0.08, qPrintable(QString::number(a)));
      for (int b = a + 1; b < caras.size(); ++b)
        QVERIFY2(FraccionDistinta(caras[a], caras[b]) > 0.04,
                 qPrintable(QStringLiteral("%1 y %2").arg(a).arg(b)));
    }
    // Brilla el hexagrama que se está viendo: con el principal a la vista
    // (cara 1) el de la izquierda, con el complementario (cara 0) el otro.
    const QRect izq(8, 10, 15, 19), der(32, 10, 15, 19);
    QVERIFY(BrilloMedio(caras[1], izq) > BrilloMedio(caras[1], der) + 20);
    QVERIFY(BrilloMedio(caras[0], der) > BrilloMedio(caras[0], izq) + 20);
    QVERIFY(!g.CarasInterpretar[0].isNull());
  }

  // Las palabras de aceptar y cancelar caben enteras en su cara.
  void palabrasDeLosBotones() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (const QPixmap* pm : {&g.Gaceptar, &g.Gcancelar}) {
      const QImage im = SobreNegro(*pm);
      int izq = im.width(), der = -1, arriba = im.height(), abajo = -1;
      for (int y = 0; y < im.height(); ++y)
        for (int x = 4; x < im.width() - 4; ++x)
          if (Luz(im.pixelColor(x, y)) > 170 && y > 4 && y < im.height() - 4) {
            izq = std::min(izq, x);
            der = std::max(der, x);
            arriba = std::min(arriba, y);
            abajo = std::max(abajo, y);
          }
      QVERIFY(der - izq > 35);      // una palabra, no una mancha
      QVERIFY(izq > 4 && der < 70); // sin cortar
      QVERIFY(abajo - arriba >= 8); // de letra legible
      QVERIFY(std::abs((izq + der) / 2.0 - 37.5) < 4);
    }
    QVERIFY(FraccionDistinta(SobreNegro(g.Gaceptar), SobreNegro(g.Gcancelar)) > 0.03);
  }

  // El fondo del menú deja en calma la fila de botones de arriba y la línea
  // de mensajes de abajo, y en el centro muestra el taijitu y los trigramas.
  void consejoDejaLibresLosControles() {
    const QImage im = GRAFICOS::Instancia().Consejo.toImage();
    ComprobarCalma(im, 0, 75, "arriba");
    ComprobarCalma(im, 440, 480, "abajo");
    int claros = 0, oscuros = 0;
    for (int y = 206; y < 306; ++y)
      for (int x = 270; x < 370; ++x) {
        const int l = Luz(im.pixelColor(x, y));
        claros += l > 200 ? 1 : 0;
        oscuros += l < 40 ? 1 : 0;
      }
    QVERIFY(claros > 2000 && oscuros > 2000);
    for (int i = 0; i < 8; ++i) {
      const qreal a = i * M_PI / 4;
      const QPoint c(qRound(320 + 122 * std::sin(a)), qRound(256 - 122 * std::cos(a)));
      int barra = 0;
      for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx)
          barra += Barra(im.pixelColor(c.x() + dx, c.y() + dy)) ? 1 : 0;
      QVERIFY2(barra > 60, qPrintable(QString::number(i)));
    }
  }

  // El título de la presentación está centrado y por encima de la barra de
  // progreso y del texto, que tapan los 70 píxeles de abajo.
  void tituloDeLaPresentacion() {
    const QImage im = GRAFICOS::Instancia().FondoInicio.toImage();
    int izq = im.width(), der = -1, abajo = -1;
    for (int y = 0; y < im.height(); ++y)
      for (int x = 80; x < 408; ++x) {
        const QColor c = im.pixelColor(x, y);
        if (Luz(c) > 190 && c.red() > c.blue() + 40) {
          izq = std::min(izq, x);
          der = std::max(der, x);
          abajo = std::max(abajo, y);
        }
      }
    QVERIFY(der - izq > 200);
    QVERIFY(std::abs((izq + der) / 2.0 - 244) < 6);
    QVERIFY(abajo < 235 - 70);
  }

  // El icono, la impresora y la papelera dejan transparentes sus esquinas
  // para verse bien sobre cualquier fondo.
  void iconosConEsquinasTransparentes() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (int lado : {16, 48, 256}) {
      const QImage im = g.Icono.pixmap(lado, lado).toImage();
      QVERIFY(im.pixelColor(0, 0).alpha() < 32);
      QCOMPARE(im.pixelColor(lado / 2, lado / 2).alpha(), 255);
    }
    for (const QPixmap* pm : {&g.Impresora, &g.Eliminar}) {
      const QImage im = pm->toImage();
      QVERIFY(im.pixelColor(0, 0).alpha() < 32);
      QCOMPARE(im.pixelColor(im.width() / 2, im.height() / 2).alpha(), 255);
    }
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PruebaDibujos prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_dibujos.moc"
