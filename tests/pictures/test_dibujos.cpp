// El almacén de dibujos en una pantalla de densidad doble: cada dibujo a su tamaño y nítido, las líneas
// legibles, las caras distintas.
#include "pictures/Dibujos.h"
#include "pictures/GRAFICOS.h"

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Como una pantalla de densidad doble: la escala, antes de que se cree la aplicación.
[[maybe_unused]] const bool DensidadDoble = qputenv("QT_SCALE_FACTOR", "2");

// B barra (clara y cálida), M marca de las que mudan (clara y verdosa), N negro, ? media luz (un borde).
QChar Clase(QColor c) {
  const int luz = (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000;
  if (luz > 150 && c.red() >= c.blue() + 30)
    return u'B';
  if (luz > 110 && c.green() > c.red() + 40)
    return u'M';
  return luz < 40 ? u'N' : u'?';
}

// Que `pm` se lee como la línea de valor v: barras claras y centradas sobre negro, de bordes netos; 6 partida
// con un aspa suelta en el hueco, 7 entera, 8 partida con el hueco limpio, 9 entera con un anillo que
// sobresale.
void ComprobarLinea(const QPixmap& pm, int v) {
  const QImage im = pm.toImage();
  const qreal dpr = pm.devicePixelRatio();
  const int W = qRound(pm.deviceIndependentSize().width()), H = qRound(pm.deviceIndependentSize().height());
  auto en = [&](qreal x, qreal y) { // el centro del píxel lógico
    return Clase(im.pixelColor(qBound(0, int((x + 0.5) * dpr), im.width() - 1),
                               qBound(0, int((y + 0.5) * dpr), im.height() - 1)));
  };
  const qreal cx = W / 2.0 - 0.5, cy = H / 2;
  QString fila, bordes;
  for (int x = 0; x < W; ++x) {
    fila += en(x, cy);
    bordes += QString(en(x, 0)) + en(x, H - 1);
  }
  const QString que = u"línea %1 de %2x%3 a densidad %4: "_s.arg(v).arg(W).arg(H).arg(dpr) + fila;
  const QStringList patrones{u"^[N?]+B+N+[M?]+N+B+[N?]+$"_s, u"^[N?]+B[B?]*B[N?]+$"_s,
                             u"^[N?]+B+N+B+[N?]+$"_s, u"^[N?]+B+[N?]*[M?]+N+[M?]+[N?]*B+[N?]+$"_s};
  QVERIFY2(QRegularExpression(patrones[v - 6]).match(fila).hasMatch(), qPrintable(que));
  QVERIFY2(bordes == QString(2 * W, u'N'), qPrintable(que));
  const int primero = int(fila.indexOf(u'B')), ultimo = int(fila.lastIndexOf(u'B'));
  QVERIFY2(std::abs(primero - (W - 1 - ultimo)) <= 1 && ultimo - primero >= W * 0.8, qPrintable(que));
  const int hueco = ultimo - primero + 1 - int(fila.count(u'B'));
  // Dibujada a su densidad, no ampliada: a través de la barra, un solo píxel de borde.
  QString columna;
  for (int y = 0; y < im.height(); ++y)
    columna += Clase(im.pixelColor(im.width() / 4, y));
  QVERIFY2(columna.count(u'?') <= 1, qPrintable(que + u" borde: "_s + columna));
  if (v == 6) {
    // El centro y los cuatro brazos en diagonal, y nada justo encima ni debajo del centro.
    const qreal d = hueco * 0.15;
    for (const auto& [sx, sy] : {std::pair(0, 0), {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}) {
      QString cerca; // a medio píxel o menos
      for (int i = 0; i < 9; ++i)
        cerca += en(cx + sx * d + (i % 3 - 1) * 0.5, cy + sy * d + (i / 3 - 1) * 0.5);
      QVERIFY2(cerca.contains(u'M'), qPrintable(que + u" aspa: "_s + cerca));
    }
    QVERIFY2(en(cx, cy - d) == u'N' && en(cx, cy + d) == u'N', qPrintable(que));
  } else if (v == 8) {
    const int ini = int(fila.indexOf(u'N', primero));
    QVERIFY2(hueco >= W * 0.1 && std::abs(ini + hueco / 2.0 - W / 2.0) <= 1.5, qPrintable(que));
    for (int y = 0; y < H; ++y)
      for (int x = ini; x < ini + hueco; ++x)
        QVERIFY2(en(x, y) == u'N', qPrintable(que));
  } else if (v == 9) {
    QString aro;
    for (qreal y = 0; y < cy - H * 0.3; y += 0.5)
      aro += en(cx, y);
    QVERIFY2(en(cx, cy) == u'N' && aro.contains(u'M'), qPrintable(que + u" aro: "_s + aro));
  }
}

// Qué parte de los píxeles difiere claramente entre dos caras vistas sobre negro, como en los botones.
double Distinta(const QPixmap& a, const QPixmap& b) {
  const QImage x = a.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage y = b.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  qint64 n = 0;
  for (int j = 0; j < x.height(); ++j)
    for (int i = 0; i < x.width(); ++i) {
      const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
      n += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 60;
    }
  return double(n) / (x.width() * x.height());
}
} // namespace

class PruebaDibujos : public QObject {
  Q_OBJECT
private slots:
  // (Que cada uno quepa en lo que lo muestra, en las pruebas de los flujos, ventana a ventana.)
  void cadaDibujoASuDensidad() {
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const GRAFICOS& g = GRAFICOS::Instancia();
    QList<QPixmap> todos{g.Gaceptar, g.Gcancelar, g.FondoInicio, g.Consejo, g.Eliminar, g.Impresora};
    const auto anadir = [&todos](const auto&... series) {
      (todos.append({series.begin(), series.end()}), ...);
    };
    anadir(g.GRFLINEA, g.GRFLINEAm, g.GRFLINEAp, g.CarasMenu, g.grfmoneda, g.GRFarrojarParar, g.IMGHEXAGR,
           g.CarasInterpretar);
    // Dibujado de nuevo a su densidad, no ampliado: no todo bloque de 2 x 2 es de un solo color.
    for (const QPixmap& pm : todos) {
      const QSize logico = pm.deviceIndependentSize().toSize();
      QVERIFY(!pm.isNull() && pm.size() == logico * 2);
      QVERIFY(pm.toImage().scaled(logico).scaled(pm.size()) != pm.toImage());
    }
    for (int lado : {16, 32, 48, 256})
      QVERIFY(g.Icono.availableSizes().contains(QSize(lado, lado)));
  }

  // Las tres series del almacén, y a densidad sencilla la grande y la pequeña.
  void lineasDeHexagrama() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    for (size_t k = 0; k < 4; ++k)
      for (const QPixmap& pm :
           {g.GRFLINEA[k], g.GRFLINEAm[k], g.GRFLINEAp[k], Dibujos::Linea(int(k), Dibujos::TamLinea, 1.0),
            Dibujos::Linea(int(k), Dibujos::TamLineaPequena, 1.0)})
        ComprobarLinea(pm, int(k) + 6);
  }

  // Cada botón, distinto de la placa vacía y de los de su misma ventana.
  void carasDistintas() {
    const GRAFICOS& g = GRAFICOS::Instancia();
    auto grupo = [](const QList<QPixmap>& caras, qreal radio, double umbral) {
      for (qsizetype a = 0; a < caras.size(); ++a) {
        QPixmap placa = Dibujos::Lienzo(caras[a].deviceIndependentSize().toSize(), 2.0);
        QPainter p(&placa);
        Dibujos::Preparar(p);
        Dibujos::Placa(p, QRectF(QPointF(), caras[a].deviceIndependentSize()), radio);
        p.end();
        QVERIFY2(Distinta(caras[a], placa) > 0.08, qPrintable(QString::number(a)));
        for (qsizetype b = a + 1; b < caras.size(); ++b)
          QVERIFY2(Distinta(caras[a], caras[b]) > umbral, qPrintable(u"%1 y %2"_s.arg(a).arg(b)));
      }
    };
    grupo({g.CarasMenu.begin(), g.CarasMenu.end() - 1}, 7, 0.08);
    grupo({g.CarasMenu[7]}, 4, 0.08);
    grupo(
        {g.IMGHEXAGR[0], g.IMGHEXAGR[1], g.CarasInterpretar[1], g.CarasInterpretar[2], g.CarasInterpretar[3]},
        6, 0.04);
    QVERIFY(Distinta(g.Gaceptar, g.Gcancelar) > 0.03);
  }
};

QTEST_MAIN(PruebaDibujos)
#include "test_dibujos.moc"
