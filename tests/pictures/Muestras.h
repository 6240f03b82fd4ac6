#pragma once
// Lectura de píxeles de los dibujos para las pruebas: qué es negro, qué es
// una barra clara y qué es la tinta de las marcas de las líneas que mudan.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>

namespace Muestras {

inline int Luz(QColor c) {
  return (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000;
}
inline bool Negro(QColor c) {
  return Luz(c) < 40;
}
// Las barras son claras y cálidas (más rojo que azul).
inline bool Barra(QColor c) {
  return Luz(c) > 150 && c.red() >= c.blue() + 30;
}
// Las marcas (cruz y anillo) son claras y verdosas.
inline bool Marca(QColor c) {
  return Luz(c) > 110 && c.green() > c.red() + 40;
}

// Píxel en coordenadas lógicas (el centro del píxel lógico).
inline QColor En(const QImage& im, qreal dpr, qreal x, qreal y) {
  return im.pixelColor(qBound(0, int((x + 0.5) * dpr), im.width() - 1),
                       qBound(0, int((y + 0.5) * dpr), im.height() - 1));
}

// Cuántos píxeles difieren claramente entre dos imágenes del mismo tamaño.
inline double FraccionDistinta(const QImage& a, const QImage& b) {
  if (a.size() != b.size())
    return 1.0;
  qint64 distintos = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      if (std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue()) > 60)
        ++distintos;
    }
  return double(distintos) / (a.width() * a.height());
}

// Si la imagen no es más que otra de la mitad de resolución ampliada
// (cada bloque de 2 x 2 de un solo color), el dibujo no se hizo para la
// densidad doble.
inline bool SoloBloquesDeDos(const QImage& im) {
  for (int y = 0; y + 1 < im.height(); y += 2)
    for (int x = 0; x + 1 < im.width(); x += 2) {
      const QRgb a = im.pixel(x, y);
      if (im.pixel(x + 1, y) != a || im.pixel(x, y + 1) != a || im.pixel(x + 1, y + 1) != a)
        return false;
    }
  return true;
}

} // namespace Muestras

#include <QTest>

#include <vector>

namespace Muestras {

// Comprueba que `pm` es la línea de valor 6 + k: barras claras sobre negro,
// muestreando la fila del medio y alrededor del centro.
inline void ComprobarLinea(const QPixmap& pm, int k) {
  const QImage im = pm.toImage();
  const qreal dpr = pm.devicePixelRatio();
  const int W = qRound(pm.deviceIndependentSize().width());
  const int H = qRound(pm.deviceIndependentSize().height());
  const qreal cy = H / 2, cx = W / 2.0 - 0.5;
  const QString que = QStringLiteral("línea %1 de %2 x %3 a densidad %4").arg(6 + k).arg(W).arg(H).arg(dpr);
  const auto nombre = que.toUtf8();

  for (int x = 0; x < W; ++x) {
    QVERIFY2(Negro(En(im, dpr, x, 0)), nombre.constData());
    QVERIFY2(Negro(En(im, dpr, x, H - 1)), nombre.constData());
  }
  // Clase de cada píxel de la fila del medio: 'B' barra, 'M' marca, 'N' negro.
  QString fila;
  for (int x = 0; x < W; ++x) {
    const QColor c = En(im, dpr, x, cy);
    fila += Barra(c)   ? QLatin1Char('B')
            : Marca(c) ? QLatin1Char('M')
            : Negro(c) ? QLatin1Char('N')
                       : QLatin1Char('?');
  }
  const int primero = int(fila.indexOf(QLatin1Char('B')));
  const int ultimo = int(fila.lastIndexOf(QLatin1Char('B')));
  QVERIFY2(primero > 0 && ultimo < W - 1, qPrintable(que + QStringLiteral(": ") + fila));
  QVERIFY2(std::abs(primero - (W - 1 - ultimo)) <= 1, qPrintable(que + QStringLiteral(" centrada: ") + fila));
  QVERIFY2(ultimo - primero >= W * 0.8, qPrintable(que + QStringLiteral(" larga: ") + fila));
  const QString dentro = fila.mid(primero, ultimo - primero + 1);
  const QString centro = dentro.mid(int(dentro.size() * 0.3), int(dentro.size() * 0.4));

  // Busca la tinta de las marcas en un entorno de (x, y) de `radio` píxeles.
  auto marcaCerca = [&](qreal x, qreal y, qreal radio) {
    for (qreal dy = -radio; dy <= radio; dy += 0.5)
      for (qreal dx = -radio; dx <= radio; dx += 0.5)
        if (Marca(En(im, dpr, x + dx, y + dy)))
          return true;
    return false;
  };

  switch (k) {
  case 1: // 7: entera, sin hueco ni marca
    QVERIFY2(!dentro.contains(QLatin1Char('N')) && !dentro.contains(QLatin1Char('M')),
             qPrintable(que + QStringLiteral(": ") + fila));
    break;
  case 2: { // 8: partida, el hueco negro y limpio en el centro
    QVERIFY2(QRegularExpression(QStringLiteral("^B+N+B+$")).match(dentro).hasMatch(),
             qPrintable(que + QStringLiteral(": ") + fila));
    const int hueco = int(dentro.count(QLatin1Char('N')));
    QVERIFY2(hueco >= W * 0.1, qPrintable(que + QStringLiteral(" hueco: ") + fila));
    const int ini = primero + int(dentro.indexOf(QLatin1Char('N')));
    QVERIFY2(std::abs(ini + hueco / 2.0 - W / 2.0) <= 1.5, qPrintable(que + QStringLiteral(": ") + fila));
    for (int y = 0; y < H; ++y)
      for (int x = ini; x < ini + hueco; ++x)
        QVERIFY2(Negro(En(im, dpr, x, y)), nombre.constData());
    break;
  }
  case 0: { // 6: partida, con una cruz en aspa suelta dentro del hueco
    QVERIFY2(QRegularExpression(QStringLiteral("^B+N+[M?]+N+B+$")).match(dentro).hasMatch(),
             qPrintable(que + QStringLiteral(": ") + fila));
    QVERIFY2(marcaCerca(cx, cy, 0.5), nombre.constData());
    const int hueco =
        int(dentro.count(QLatin1Char('N')) + dentro.count(QLatin1Char('M')) + dentro.count(QLatin1Char('?')));
    const qreal d = hueco * 0.15;
    // Los cuatro brazos en diagonal, y nada justo encima ni debajo.
    for (int sx : {-1, 1})
      for (int sy : {-1, 1})
        QVERIFY2(marcaCerca(cx + sx * d, cy + sy * d, 0.5), nombre.constData());
    QVERIFY2(Negro(En(im, dpr, cx, cy - d)) && Negro(En(im, dpr, cx, cy + d)), nombre.constData());
    break;
  }
  case 3: { // 9: entera, con un anillo hueco en el centro que sobresale
    QVERIFY2(Negro(En(im, dpr, cx, cy)), qPrintable(que + QStringLiteral(": ") + fila));
    QVERIFY2(QRegularExpression(QStringLiteral("^B+[N?]*[M?]+N+[M?]+[N?]*B+$")).match(dentro).hasMatch(),
             qPrintable(que + QStringLiteral(": ") + fila));
    QVERIFY2(centro.contains(QLatin1Char('M')), qPrintable(que + QStringLiteral(": ") + fila));
    // Encima de la barra, en la columna del centro, asoma el aro.
    int arriba = 0;
    for (qreal y = 0; y < cy - H * 0.3; y += 0.5)
      arriba += Marca(En(im, dpr, cx, y)) ? 1 : 0;
    QVERIFY2(arriba > 0, nombre.constData());
    break;
  }
  default:
    QFAIL("valor de línea desconocido");
  }
}

} // namespace Muestras
