// La composición de los textos impresos: dónde se corta cada palabra con una
// medida de anchos fijos, párrafos, cabeceras y el fin del almacén.
#include "apoyo/Apoyo.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Impresora.h"
#include "printing/ComponerTexto.h"
#include "printing/SuperficieMedida.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Cada carácter mide 100 twips: se sabe con qué carácter pasa la pluma el límite.
class MedidaFija : public SuperficieMedida {
public:
  QString nombre;
  double tamano = 0;
  void setFontName(const QString& n) override { nombre = n; }
  void setFontSize(double t) override { tamano = t; }
  void setFontBold(bool) override {}
  void setFontUnderline(bool) override {}
  void Cls() override { x_ = 0; }
  double CurrentX() const override { return x_; }
  void setCurrentX(double x) override { x_ = x; }
  void Print(QChar) override { x_ += 100; }

private:
  double x_ = 0;
};

// "ca-|sa" da {"ca-", "sa"}.
QStringList lista(const char* t) {
  return QString::fromUtf8(t).split(u'|');
}

// TextBuffer con estos registros desde la ranura 1; el resto, "BASURA", que nadie debe ver.
void PonerBuffer(const QStringList& registros) {
  for (int j = 1; j < RanurasTextBuffer; ++j)
    TextBuffer[std::size_t(j)] = j <= registros.size() ? registros[j - 1] : u"BASURA"_s;
}

QStringList componer(const QStringList& registros, double limite, MedidaFija& m,
                     const FuenteComposicion& f = {}) {
  PonerBuffer(registros);
  QStringList r;
  ComponerTexto(m, f, limite, [&](const QString& l) { r << l; });
  return r;
}
} // namespace

class PruebaComposicion : public QObject {
  Q_OBJECT

private slots:
  void init() { PrepararEstado(false); }

  void vocalesYParejas() {
    for (const QChar c : u"aeiouáéíóúAEIOUÁÉÍÓÚ"_s)
      QVERIFY2(EsVocal(QString(c)), qPrintable(QString(c)));
    for (const QString& c : lista("y|Y|ü|Ü|ñ|b|7|.| ||ae|à|â"))
      QVERIFY2(!EsVocal(c), qPrintable(u'[' + c + u']'));
    for (const QString& p : lista("rr|ll|ch|cl|cr|gr|br|bl|pr|ah|Pr|BL"))
      QVERIFY2(ParejaInseparable(p[0], p[1]), qPrintable(p));
    for (const QString& p : lista("tr|st|ns|pl|dr|hc"))
      QVERIFY2(!ParejaInseparable(p[0], p[1]), qPrintable(p));
  }

  void cortes_data() {
    QTest::addColumn<QString>("registros");
    QTest::addColumn<int>("pasa"); // carácter con que la pluma pasa el límite; 0, sin límite
    QTest::addColumn<QString>("esperado");
    QTest::newRow("casa") << "casa" << 2 << "ca-|sa";
    QTest::newRow("ahora: a-h no") << "ahora" << 1 << "aho-|ra";
    QTest::newRow("hombre: b-r no") << "hombre de" << 1 << "hombre |de";
    QTest::newRow("perro: r-r no") << "perro de" << 2 << "perro |de";
    QTest::newRow("calle: l-l no") << "calle de" << 2 << "calle |de";
    QTest::newRow("noche: c-h no") << "noche de" << 1 << "noche |de";
    QTest::newRow("interior") << "interior" << 2 << "in-|te-|rior";
    QTest::newRow("otro: t-r sí") << "otro" << 2 << "ot-|ro";
    QTest::newRow("tres: el blanco de unión no corta") << "uno|tres" << 4 << "uno t-|res";
    QTest::newRow("ni tras la coma") << "uno,dos" << 4 << "uno,dos";
    QTest::newRow("ni tras el punto y coma") << "uno;dos" << 4 << "uno;dos";
    QTest::newRow("ni antes del punto") << "dos.arte" << 3 << "dos.ar-|te";
    QTest::newRow("canción: can-ción") << "canción" << 3 << "can-|ción";
    QTest::newRow("canción: nunca ci-ón") << "canción" << 5 << "canción";
    QTest::newRow("pingüino: ping-üino") << "pingüino" << 3 << "ping-|üino";
    QTest::newRow("registro de dos") << "ca|sa" << 1 << "ca sa";
    QTest::newRow("nunca en los dos últimos") << "casas" << 4 << "casas";
    QTest::newRow("Pr") << "PRADO" << 1 << "PRA-|DO";
    QTest::newRow("BL") << "BLANCO" << 1 << "BLAN-|CO";
    QTest::newRow("párrafos") << "   Uno dos.|   Tres|cuatro." << 0 << "     Uno dos.||     Tres cuatro.|";
    QTest::newRow("sin punto sigue en la línea") << "   Uno dos|   Tres." << 0 << "     Uno dos    Tres.|";
    QTest::newRow("sangría con corte") << "   la casa es grande." << 8 << "     la ca-|sa es gran-|de.|";
  }

  void cortes() {
    QFETCH(QString, registros);
    QFETCH(int, pasa);
    QFETCH(QString, esperado);
    MedidaFija m;
    const QStringList r = componer((u"*D|"_s + registros + u"|**"_s).split(u'|'),
                                   pasa ? LeftMargin + 100.0 * pasa - 50 : 1e9, m);
    QCOMPARE(r.value(0), u"*n*DECISION"_s);
    QCOMPARE(r.mid(1), esperado.split(u'|'));
  }

  void cabecerasYLineaPendiente() {
    // Con límite 0 todo se corta menos las cabeceras; lo que queda a medias
    // se escribe antes de la marca siguiente y antes del "**". Una marca
    // desconocida repite la cabecera anterior.
    MedidaFija m;
    const QStringList r = componer(lista("*D|sin punto|*C|Fin.|*X|Dos|*L3 resto|x|**"), 0, m,
                                   FuenteComposicion{u"Liberation Serif"_s, 17});
    QCOMPARE(r, lista("*n*DECISION|sin |pun-|to|*n*COMENTARIO|Fin.||*n*COMENTARIO|Dos|*n*LINEA 3|x"));
    QVERIFY(m.nombre == u"Liberation Serif"_s && m.tamano == 17); // se mide con la fuente elegida
  }

  void finSoloEnLaRanura100() {
    // Leer la ranura 101 es el error 9, con lo compuesto hasta ahí ya escrito.
    QStringList regs{u"*D"_s};
    while (regs.size() < 99)
      regs << u"palabra"_s;
    PonerBuffer(regs << u"**"_s);
    MedidaFija m;
    QStringList escritas;
    try {
      ComponerTexto(m, {}, LeftMargin + 6000, [&](const QString& l) { escritas << l; });
      QFAIL("tenía que fallar");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrIndiceFueraDeRango);
    }
    QVERIFY(escritas.size() > 10);
  }
};

QTEST_MAIN(PruebaComposicion)
#include "test_composicion.moc"
