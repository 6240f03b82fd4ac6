// El icono que se instala en SVG y el que se pinta en PNG y en las ventanas
// son el mismo dibujo: se lee el SVG como lo leería un visor y se compara,
// punto a punto, con la imagen pintada.
#include "pictures/IconoKorval.h"

#include <QGuiApplication>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {
// Un rectángulo tal como lo dice el SVG.
struct Rect {
  QRectF caja;
  qreal radio = 0;
  QColor relleno, arriba, abajo, borde;
  qreal grosor = 0;
};

QColor Mezcla(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

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
    QMap<QString, std::pair<QColor, QColor>> degradados;
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
        degradado = val("id");
        // Degradado vertical en unidades del dibujo: el que pinta QPainter.
        QCOMPARE(val("gradientUnits"), u"userSpaceOnUse"_s);
        QCOMPARE(num("x1"), num("x2"));
      } else if (xml.name() == u"stop") {
        auto& d = degradados[degradado];
        (val("offset") == u"0" ? d.first : d.second) = QColor(val("stop-color"));
      } else if (xml.name() == u"rect") {
        Rect r{QRectF(num("x"), num("y"), num("width"), num("height")), num("rx"), {}, {}, {}, {}, 0};
        const QString relleno = val("fill");
        if (relleno.startsWith(u"url(#")) {
          std::tie(r.arriba, r.abajo) = degradados.value(relleno.mid(5).chopped(1));
          QVERIFY(r.abajo.isValid());
        } else {
          r.relleno = QColor(relleno);
        }
        if (a.hasAttribute(QLatin1String("stroke"))) {
          r.borde = QColor(val("stroke"));
          r.grosor = num("stroke-width");
        }
        rects.push_back(r);
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rects.size(), IconoKorval::Figuras().size());

    // Cada píxel que no está a caballo de un contorno (allí el suavizado
    // mezcla colores) debe tener el color de la última figura del SVG que lo
    // cubre.
    const QImage img = IconoKorval::Imagen(256);
    int comparados = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const QPointF p(x + 0.5, y + 0.5);
        QColor esperado = Qt::transparent;
        bool dudoso = false;
        for (const Rect& r : rects) {
          bool curva = false;
          const qreal d = Distancia(r, p, &curva);
          // Un píxel a caballo de un contorno (en las curvas, cerca) se salta.
          const qreal margen = curva ? 0.75 : 0.45;
          const qreal medio = r.grosor / 2;
          dudoso =
              dudoso || std::abs(d - medio) < margen || (r.borde.isValid() && std::abs(d + medio) < margen);
          if (r.borde.isValid() && std::abs(d) <= medio)
            esperado = r.borde;
          else if (d < -medio)
            esperado = r.abajo.isValid() ? Mezcla(r.arriba, r.abajo, (p.y() - r.caja.top()) / r.caja.height())
                                         : r.relleno;
        }
        if (dudoso)
          continue;
        const QColor visto = img.pixelColor(x, y);
        const bool igual = std::abs(visto.red() - esperado.red()) <= 3 &&
                           std::abs(visto.green() - esperado.green()) <= 3 &&
                           std::abs(visto.blue() - esperado.blue()) <= 3 && visto.alpha() == esperado.alpha();
        QVERIFY2(igual, qPrintable(QStringLiteral("(%1, %2): SVG %3, PNG %4")
                                       .arg(x)
                                       .arg(y)
                                       .arg(esperado.name(QColor::HexArgb), visto.name(QColor::HexArgb))));
        ++comparados;
      }
    // La mayor parte del dibujo se compara, no sólo el fondo.
    QVERIFY2(comparados > 40000, qPrintable(QString::number(comparados)));
  }
};

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  PruebaIcono prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_icono.moc"
