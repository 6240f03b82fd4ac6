// Los dibujos de la tirada: la moneda que gira y las caras del botón.
#include "pictures/GRAFICOS.h"
#include "pictures/Monedas.h"

#include <QImage>
#include <QTest>

namespace {
QImage Imagen(const QPixmap& p) {
  return p.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool Opaco(const QImage& im, int x, int y) {
  return qAlpha(im.pixel(x, y)) > 200;
}

// Primera y última columna opaca de la fila `y` (en píxeles lógicos de una
// imagen a densidad 1).
std::pair<int, int> Extension(const QImage& im, int y) {
  int a = -1, b = -1;
  for (int x = 0; x < im.width(); ++x)
    if (Opaco(im, x, y)) {
      if (a < 0)
        a = x;
      b = x;
    }
  return {a, b};
}
} // namespace

class PruebaDibujosMonedas : public QObject {
  Q_OBJECT

private slots:
  void lasSieteImagenesSonDeCienPorCien_data() {
    QTest::addColumn<double>("dpr");
    QTest::newRow("densidad 1") << 1.0;
    QTest::newRow("densidad 2") << 2.0;
  }
  void lasSieteImagenesSonDeCienPorCien() {
    QFETCH(double, dpr);
    for (int i = 0; i < 7; ++i) {
      const QPixmap p = Dibujos::FaseMoneda(i, dpr);
      QCOMPARE(p.deviceIndependentSize(), QSizeF(100, 100));
      QCOMPARE(p.size(), QSize(int(100 * dpr), int(100 * dpr)));
      // Alrededor de la moneda se ve el tapete.
      const QImage im = Imagen(p);
      QCOMPARE(qAlpha(im.pixel(0, 0)), 0);
      QCOMPARE(qAlpha(im.pixel(im.width() - 1, im.height() - 1)), 0);
    }
    for (int k = 0; k < 2; ++k) {
      const QPixmap p = Dibujos::CaraArrojarParar(k, dpr);
      QCOMPARE(p.deviceIndependentSize(), QSizeF(200, 40));
      QCOMPARE(p.size(), QSize(int(200 * dpr), int(40 * dpr)));
    }
  }

  void deFrenteSeVeElAgujeroCuadrado() {
    for (int i : {0, 4}) {
      const QImage im = Imagen(Dibujos::FaseMoneda(i, 1.0));
      QCOMPARE(qAlpha(im.pixel(50, 50)), 0); // el agujero
      QCOMPARE(qAlpha(im.pixel(58, 42)), 0); // es cuadrado: la esquina también
      QVERIFY(Opaco(im, 50, 20));            // el metal
      QVERIFY(Opaco(im, 50, 94) && !Opaco(im, 50, 98));
      const QColor c = im.pixelColor(50, 20);
      QVERIFY2(c.red() > c.blue() + 40, "la moneda es de bronce");
    }
  }

  void elAnversoLlevaCuatroSignosYElReversoNo() {
    const QImage anverso = Imagen(Dibujos::FaseMoneda(0, 1.0));
    const QImage reverso = Imagen(Dibujos::FaseMoneda(4, 1.0));
    // Cuenta los saltos fuertes de brillo a lo largo de una línea: los trazos
    // de los signos dan muchos; el campo liso, casi ninguno.
    auto saltos = [](const QImage& im, QPoint desde, QPoint paso, int n) {
      int cuenta = 0;
      int antes = qGray(im.pixel(desde));
      for (int k = 1; k < n; ++k) {
        const int g = qGray(im.pixel(desde + paso * k));
        if (std::abs(g - antes) > 35)
          ++cuenta;
        antes = g;
      }
      return cuenta;
    };
    // Las cuatro celdas: arriba, derecha, abajo, izquierda del agujero.
    const std::array<std::pair<QPoint, QPoint>, 4> celdas = {{{QPoint(43, 27), QPoint(1, 0)},
                                                              {QPoint(73, 43), QPoint(0, 1)},
                                                              {QPoint(43, 73), QPoint(1, 0)},
                                                              {QPoint(27, 43), QPoint(0, 1)}}};
    for (const auto& [desde, paso] : celdas) {
      QVERIFY2(saltos(anverso, desde, paso, 15) >= 2, "un signo en el anverso");
      QCOMPARE(saltos(reverso, desde, paso, 15), 0);
    }
  }

  void alGirarLaMonedaSeEstrecha() {
    std::array<int, 7> ancho{};
    std::array<int, 7> izquierda{};
    std::array<int, 7> derecha{};
    for (int i = 0; i < 7; ++i) {
      const auto [a, b] = Extension(Imagen(Dibujos::FaseMoneda(i, 1.0)), 25);
      QVERIFY(a >= 0);
      ancho[size_t(i)] = b - a + 1;
      izquierda[size_t(i)] = 50 - a;
      derecha[size_t(i)] = b + 1 - 50;
    }
    // De frente (a la altura 25 el círculo mide unos 77), inclinada como la
    // mitad más el canto, de canto una barra fina.
    for (int i : {0, 4})
      QVERIFY2(ancho[size_t(i)] >= 72 && ancho[size_t(i)] <= 80,
               qPrintable(QString::number(ancho[size_t(i)])));
    for (int i : {1, 3, 5, 6})
      QVERIFY2(ancho[size_t(i)] >= 36 && ancho[size_t(i)] <= 52,
               qPrintable(QString::number(ancho[size_t(i)])));
    QVERIFY2(ancho[2] >= 4 && ancho[2] <= 10, qPrintable(QString::number(ancho[2])));
    // De canto no hay agujero que ver.
    QVERIFY(Opaco(Imagen(Dibujos::FaseMoneda(2, 1.0)), 50, 50));
    // Las segundas imágenes inclinadas muestran el canto del otro lado: la
    // vuelta sigue en el mismo sentido.
    QVERIFY(izquierda[1] > derecha[1] && izquierda[6] < derecha[6]);
    QVERIFY(izquierda[3] < derecha[3] && izquierda[5] > derecha[5]);
  }

  void lasCarasDelBotonSonLetraVerdeSobreNegro() {
    std::array<QImage, 2> caras;
    for (int k = 0; k < 2; ++k) {
      caras[size_t(k)] = Imagen(Dibujos::CaraArrojarParar(k, 1.0));
      const QImage& im = caras[size_t(k)];
      QCOMPARE(im.pixelColor(0, 0).rgb(), QColor(Qt::black).rgb());
      QCOMPARE(qAlpha(im.pixel(100, 20)), 255);
      int verdes = 0;
      for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) {
          const QColor c = im.pixelColor(x, y);
          if (c.green() > 150 && c.green() > c.red() + 40 && c.green() > c.blue() + 40)
            ++verdes;
        }
      QVERIFY2(verdes > 300, qPrintable(QString::number(verdes)));
    }
    // «Arrojar Monedas» es más largo que «Parar Monedas»: las dos caras difieren.
    QVERIFY(caras[0] != caras[1]);
  }

  void elAlmacenQuedaLleno() {
    GRAFICOS& g = GRAFICOS::Instancia();
    DibujarMonedas(g);
    const qreal dpr = qApp->devicePixelRatio();
    for (const QPixmap& p : g.grfmoneda) {
      QCOMPARE(p.deviceIndependentSize(), QSizeF(100, 100));
      QCOMPARE(p.devicePixelRatio(), dpr);
    }
    for (const QPixmap& p : g.GRFarrojarParar)
      QCOMPARE(p.deviceIndependentSize(), QSizeF(200, 40));
    QVERIFY(Imagen(g.grfmoneda[0]) != Imagen(g.grfmoneda[4]));
    QVERIFY(Imagen(g.grfmoneda[1]) != Imagen(g.grfmoneda[6]));
  }
};

QTEST_MAIN(PruebaDibujosMonedas)
#include "test_dibujos_monedas.moc"
