// El icono en SVG y el pintado (PNG y ventanas) son el mismo dibujo: se lee el
// SVG como lo leería un visor y se compara, punto a punto, con la imagen.
#include "pictures/IconoKorval.h"

#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {
// Un rectángulo tal como lo dice el SVG; con degradado, de `arriba` en y1 a `abajo` en y2.
struct Rect : IconoKorval::Figura {
  qreal y1 = 0, y2 = 0;
  QColor Relleno(qreal y) const {
    const float t = abajo.isValid() ? float(std::clamp((y - y1) / (y2 - y1), 0.0, 1.0)) : 0;
    const auto mezcla = [t](float a, float b) { return a + (b - a) * t; };
    return QColor::fromRgbF(mezcla(arriba.redF(), abajo.redF()), mezcla(arriba.greenF(), abajo.greenF()),
                            mezcla(arriba.blueF(), abajo.blueF()));
  }
};

// Distancia con signo de `p` al contorno de un rectángulo redondeado
// (negativa dentro). `curva` dice si el punto cae frente a una esquina.
qreal Distancia(const Rect& r, QPointF p, bool* curva) {
  const QPointF medio = r.caja.center();
  const qreal qx = std::abs(p.x() - medio.x()) - (r.caja.width() / 2 - r.radio);
  const qreal qy = std::abs(p.y() - medio.y()) - (r.caja.height() / 2 - r.radio);
  *curva = qx > 0 && qy > 0;
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r.radio;
}
} // namespace

class PruebaIcono : public QObject {
  Q_OBJECT
private slots:
  void svgYPngDibujanLoMismo() {
    QXmlStreamReader xml(IconoKorval::Svg());
    QMap<QString, Rect> degradados;
    QString degradado;
    std::vector<Rect> rects;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement)
        continue;
      const QXmlStreamAttributes a = xml.attributes();
      auto val = [&a](const char* n) { return a.value(QLatin1String(n)).toString(); };
      auto num = [&val](const char* n) { return val(n).toDouble(); };
      if (xml.name() == u"svg") {
        QCOMPARE(val("viewBox"), u"0 0 256 256"_s);
      } else if (xml.name() == u"linearGradient") {
        // Degradado vertical en unidades del dibujo: el que pinta QPainter.
        QVERIFY(val("gradientUnits") == u"userSpaceOnUse" && num("x1") == num("x2"));
        degradado = val("id");
        std::tie(degradados[degradado].y1, degradados[degradado].y2) = std::pair(num("y1"), num("y2"));
      } else if (xml.name() == u"stop") {
        Rect& d = degradados[degradado];
        (val("offset") == u"0" ? d.arriba : d.abajo) = QColor(val("stop-color"));
      } else if (xml.name() == u"rect") {
        const QString relleno = val("fill");
        const bool conDegradado = relleno.startsWith(u"url(#");
        Rect r = conDegradado ? degradados.value(relleno.mid(5).chopped(1)) : Rect{};
        QVERIFY(!conDegradado || (r.abajo.isValid() && r.y2 > r.y1));
        if (!conDegradado)
          r.arriba = QColor(relleno);
        r.caja = QRectF(num("x"), num("y"), num("width"), num("height"));
        std::tie(r.radio, r.borde, r.grosor) =
            std::tuple(num("rx"), QColor(val("stroke")), num("stroke-width"));
        rects.push_back(r);
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rects.size(), IconoKorval::Figuras().size());

    // Cada píxel, del color de la última figura del SVG que lo cubre, salvo los
    // que están a caballo de un contorno (en las curvas, cerca): el suavizado mezcla.
    const QImage img = IconoKorval::Imagen(256);
    int comparados = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const QPointF p(x + 0.5, y + 0.5);
        QColor esperado = Qt::transparent;
        bool dudoso = false;
        for (const Rect& r : rects) {
          bool curva = false;
          const qreal d = Distancia(r, p, &curva), medio = r.grosor / 2, margen = curva ? 0.75 : 0.45;
          dudoso =
              dudoso || std::abs(d - medio) < margen || (r.borde.isValid() && std::abs(d + medio) < margen);
          if (r.borde.isValid() && std::abs(d) <= medio)
            esperado = r.borde;
          else if (d < -medio)
            esperado = r.Relleno(p.y());
        }
        const QColor visto = img.pixelColor(x, y);
        const auto igual = [](int a, int b) { return std::abs(a - b) <= 3; };
        QVERIFY2(dudoso || (igual(visto.red(), esperado.red()) && igual(visto.green(), esperado.green()) &&
                            igual(visto.blue(), esperado.blue()) && visto.alpha() == esperado.alpha()),
                 qPrintable(u"(%1, %2): SVG %3, PNG %4"_s.arg(x).arg(y).arg(esperado.name(QColor::HexArgb),
                                                                            visto.name(QColor::HexArgb))));
        comparados += !dudoso;
      }
    QVERIFY2(comparados > 40000, qPrintable(QString::number(comparados))); // no sólo el fondo
  }
};

QTEST_MAIN(PruebaIcono)
#include "test_icono.moc"
