// La composición de los textos impresos: cortes en blancos y entre sílabas,
// parejas que no se separan, sangrías, párrafos y cabeceras.
#include "ApoyoImpresion.h"
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Impresora.h"
#include "printing/ComponerTexto.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QSet>
#include <QTest>

namespace {
// Con caracteres de 100 twips que empiezan en 500, la pluma pasa este
// límite justo al añadir el carácter n de la línea.
double pasaTras(int n) {
  return LeftMargin + 100.0 * n - 50;
}

QStringList componer(SuperficieMedida& s, double limite, const FuenteComposicion& f = {}) {
  QStringList lineas;
  ComponerTexto(s, f, limite, [&](const QString& l) { lineas << l; });
  return lineas;
}

// Las líneas que salen de una sección DECISION con estos registros, sin
// su cabecera.
QStringList componerSeccion(const QStringList& registros, double limite) {
  PonerBuffer(QStringList{QStringLiteral("*D")} + registros + QStringList{QStringLiteral("**")});
  MedidaFija s;
  QStringList l = componer(s, limite);
  if (l.isEmpty() || l.first() != QLatin1String("*n*DECISION"))
    return {QStringLiteral("(sin cabecera)")};
  l.removeFirst();
  return l;
}
} // namespace

class PruebaComposicion : public QObject {
  Q_OBJECT

private slots:
  void init() { PrepararEstado(false); }

  void vocales() {
    for (const char* v : {"a", "e", "i", "o", "u", "A", "E", "I", "O", "U"})
      QVERIFY2(EsVocal(QString::fromLatin1(v)), v);
    for (const QString& v :
         {QStringLiteral("á"), QStringLiteral("é"), QStringLiteral("í"), QStringLiteral("ó"),
          QStringLiteral("ú"), QStringLiteral("Á"), QStringLiteral("É"), QStringLiteral("Í"),
          QStringLiteral("Ó"), QStringLiteral("Ú")})
      QVERIFY2(EsVocal(v), qPrintable(v));
    for (const QString& n :
         {QStringLiteral("y"), QStringLiteral("Y"), QStringLiteral("ü"), QStringLiteral("Ü"),
          QStringLiteral("ñ"), QStringLiteral("b"), QStringLiteral("7"), QStringLiteral("."),
          QStringLiteral(" "), QString(), QStringLiteral("ae"), QStringLiteral("à"), QStringLiteral("â")})
      QVERIFY2(!EsVocal(n), qPrintable(QLatin1Char('[') + n + QLatin1Char(']')));
  }

  void parejasInseparables() {
    for (const char* p : {"rr", "ll", "ch", "cl", "cr", "gr", "br", "bl", "pr", "ah", "Pr", "BL", "cH"})
      QVERIFY2(ParejaInseparable(QLatin1Char(p[0]), QLatin1Char(p[1])), p);
    for (const char* p : {"tr", "st", "ns", "rh", "lc", "pl", "dr", "fr", "hc"})
      QVERIFY2(!ParejaInseparable(QLatin1Char(p[0]), QLatin1Char(p[1])), p);
  }

  void cortes_data() {
    QTest::addColumn<QStringList>("registros");
    QTest::addColumn<int>("pasa");
    QTest::addColumn<QStringList>("esperado");
    auto l = [](std::initializer_list<const char*> t) {
      QStringList r;
      for (const char* s : t)
        r << QString::fromUtf8(s);
      return r;
    };
    QTest::newRow("casa") << l({"casa"}) << 2 << l({"ca-", "sa"});
    QTest::newRow("ahora: a-h no se separa") << l({"ahora"}) << 1 << l({"aho-", "ra"});
    QTest::newRow("hombre: b-r") << l({"hombre de"}) << 1 << l({"hombre ", "de"});
    QTest::newRow("perro: r-r") << l({"perro de"}) << 2 << l({"perro ", "de"});
    QTest::newRow("calle: l-l") << l({"calle de"}) << 2 << l({"calle ", "de"});
    QTest::newRow("noche: c-h") << l({"noche de"}) << 1 << l({"noche ", "de"});
    QTest::newRow("interior") << l({"interior"}) << 2 << l({"in-", "te-", "rior"});
    QTest::newRow("otro: t-r sí se separa") << l({"otro"}) << 2 << l({"ot-", "ro"});
    QTest::newRow("el blanco de unión no corta") << l({"uno", "tres"}) << 4 << l({"uno t-", "res"});
    QTest::newRow("ni antes de la coma ni tras ella") << l({"casa, mesa"}) << 4 << l({"casa, ", "mesa"});
    QTest::newRow("punto y coma") << l({"casa; mesa"}) << 3 << l({"casa; ", "mesa"});
    QTest::newRow("punto dentro de la palabra") << l({"a.bo de"}) << 2 << l({"a.bo ", "de"});
    QTest::newRow("canción: can-ción") << l({"canción"}) << 3 << l({"can-", "ción"});
    QTest::newRow("canción: nunca ci-ón") << l({"canción"}) << 5 << l({"canción"});
    QTest::newRow("pingüino: ping-üino") << l({"pingüino"}) << 3 << l({"ping-", "üino"});
    QTest::newRow("registro corto") << l({"ca", "sa"}) << 1 << l({"ca sa"});
    QTest::newRow("nunca en los dos últimos") << l({"casas"}) << 4 << l({"casas"});
    QTest::newRow("mayúsculas Pr") << l({"PRADO"}) << 1 << l({"PRA-", "DO"});
    QTest::newRow("mayúsculas BL") << l({"BLANCO"}) << 1 << l({"BLAN-", "CO"});
    QTest::newRow("sílabas con tilde") << l({"camión"}) << 2 << l({"ca-", "mión"});
    QTest::newRow("varias líneas") << l({"la casa de la montaña"}) << 7
                                   << l({"la casa ", "de la mon-", "taña"});
    QTest::newRow("sin sitio hasta el blanco")
        << l({"hombre hombre hombre"}) << 1 << l({"hombre ", "hombre ", "hombre"});
  }

  void cortes() {
    QFETCH(QStringList, registros);
    QFETCH(int, pasa);
    QFETCH(QStringList, esperado);
    QCOMPARE(componerSeccion(registros, pasaTras(pasa)), esperado);
  }

  void interiorConLetrasAnchas() {
    // "in" ocupa lo que seis letras: la segunda línea ya no llega al límite.
    PonerBuffer({QStringLiteral("*D"), QStringLiteral("interior"), QStringLiteral("**")});
    MedidaFija s;
    s.anchos.insert(QLatin1Char('i'), 300);
    s.anchos.insert(QLatin1Char('n'), 300);
    QCOMPARE(componer(s, LeftMargin + 550),
             (QStringList{QStringLiteral("*n*DECISION"), QStringLiteral("in-"), QStringLiteral("terior")}));
  }

  void sinLimiteNoHayCortes() {
    QCOMPARE(componerSeccion({QStringLiteral("hombre perro calle noche")}, 1e9),
             QStringList{QStringLiteral("hombre perro calle noche")});
  }

  void parrafos() {
    const QStringList r = componerSeccion(
        {QStringLiteral("   Uno dos."), QStringLiteral("   Tres"), QStringLiteral("cuatro.")}, 1e9);
    QCOMPARE(r, (QStringList{QStringLiteral("     Uno dos."), QString(), QStringLiteral("     Tres cuatro."),
                             QString()}));
  }

  void parrafoSinPuntoSigueEnLaMismaLinea() {
    const QStringList r = componerSeccion({QStringLiteral("   Uno dos"), QStringLiteral("   Tres.")}, 1e9);
    // Los tres blancos del segundo párrafo se quedan dentro de la línea.
    QCOMPARE(r, (QStringList{QStringLiteral("     Uno dos    Tres."), QString()}));
  }

  void registroVacioNoBorraElPuntoFinal() {
    // Tras un registro vacío cuenta el último carácter que hubo: el punto.
    const QStringList r =
        componerSeccion({QStringLiteral("Fin."), QString(), QStringLiteral("   Nuevo.")}, 1e9);
    QCOMPARE(r, (QStringList{QStringLiteral("Fin. "), QString(), QStringLiteral("     Nuevo."), QString()}));
  }

  void sangriaTrasCorteEnPrimeraLinea() {
    // La primera línea de un párrafo lleva la sangría aunque se corte.
    const QStringList r = componerSeccion({QStringLiteral("   la casa es grande.")}, pasaTras(8));
    QCOMPARE(r, (QStringList{QStringLiteral("     la ca-"), QStringLiteral("sa es gran-"),
                             QStringLiteral("de."), QString()}));
  }

  void cabeceras() {
    PonerBuffer({QStringLiteral("*D"), QStringLiteral("Decisión."), QStringLiteral("*C"),
                 QStringLiteral("Comento."), QStringLiteral("*I"), QStringLiteral("Imagen."),
                 QStringLiteral("*L3 lo que sea"), QStringLiteral("Línea tres."), QStringLiteral("*L6"),
                 QStringLiteral("Seis."), QStringLiteral("**")});
    MedidaFija s;
    // Con un límite diminuto, el texto se corta, las cabeceras nunca.
    const QStringList r = componer(s, 0);
    QCOMPARE(r.at(0), QStringLiteral("*n*DECISION"));
    QVERIFY(r.contains(QStringLiteral("*n*COMENTARIO")));
    QVERIFY(r.contains(QStringLiteral("*n*IMAGEN")));
    QVERIFY(r.contains(QStringLiteral("*n*LINEA 3")));
    QVERIFY(r.contains(QStringLiteral("*n*LINEA 6")));
    QCOMPARE(r.indexOf(QStringLiteral("*n*COMENTARIO")), r.indexOf(QStringLiteral("*n*DECISION")) + 5);
    QVERIFY(!r.join(QString()).contains(QStringLiteral("BASURA")));
  }

  void marcaDesconocidaRepiteLaCabecera() {
    PonerBuffer({QStringLiteral("*D"), QStringLiteral("Uno."), QStringLiteral("*X"), QStringLiteral("Dos."),
                 QStringLiteral("**")});
    MedidaFija s;
    QCOMPARE(componer(s, 1e9),
             (QStringList{QStringLiteral("*n*DECISION"), QStringLiteral("Uno."), QString(),
                          QStringLiteral("*n*DECISION"), QStringLiteral("Dos."), QString()}));
  }

  void lineaPendienteAntesDeLaMarca() {
    PonerBuffer({QStringLiteral("*D"), QStringLiteral("sin punto"), QStringLiteral("*C"),
                 QStringLiteral("tampoco aquí"), QStringLiteral("**")});
    MedidaFija s;
    QCOMPARE(componer(s, 1e9),
             (QStringList{QStringLiteral("*n*DECISION"), QStringLiteral("sin punto"),
                          QStringLiteral("*n*COMENTARIO"), QStringLiteral("tampoco aquí")}));
  }

  void fuenteDeMedida() {
    PonerBuffer({QStringLiteral("*D"), QStringLiteral("texto"), QStringLiteral("**")});
    MedidaFija s;
    componer(s, 1e9, FuenteComposicion{QStringLiteral("Liberation Serif"), 17});
    QCOMPARE(s.nombre, QStringLiteral("Liberation Serif"));
    QCOMPARE(s.tamano, 17.0);
    QVERIFY(!s.negrita);
    QVERIFY(!s.subrayado);
    // Cada carácter del texto y nada de la cabecera.
    QCOMPARE(s.caracteresMedidos, 5);
  }

  void finEnLaRanura99() {
    QStringList r;
    for (int j = 1; j < 99; ++j)
      r << (j == 1 ? QStringLiteral("*D") : QStringLiteral("palabra"));
    r << QStringLiteral("**");
    PonerBuffer(r);
    QCOMPARE(TextBuffer[99].trimmed(), QStringLiteral("**"));
    MedidaFija s;
    const QStringList l = componer(s, pasaTras(60));
    QVERIFY(l.size() > 2);
  }

  void finSoloEnLaRanura100EsIndiceFueraDeRango() {
    QStringList r;
    for (int j = 1; j < 100; ++j)
      r << (j == 1 ? QStringLiteral("*D") : QStringLiteral("palabra"));
    r << QStringLiteral("**");
    PonerBuffer(r);
    QCOMPARE(TextBuffer[100].trimmed(), QStringLiteral("**"));
    MedidaFija s;
    QStringList escritas;
    try {
      ComponerTexto(s, {}, pasaTras(60), [&](const QString& l) { escritas << l; });
      QFAIL("tenía que fallar al leer la ranura 101");
    } catch (const ErrorEjecucion& e) {
      QCOMPARE(e.numero(), ErrIndiceFueraDeRango);
    }
    // Lo compuesto hasta ahí ya estaba escrito.
    QVERIFY(escritas.size() > 10);
  }

  // --- Con la medida de verdad ------------------------------------------
  void laFuenteDeMedidaExiste() {
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("Liberation Sans")));
    const QFontInfo info(FuenteEnTwips(QStringLiteral("Arial"), 12));
    QVERIFY2(info.family() == QLatin1String("Liberation Sans") || info.family() == QLatin1String("Arial"),
             qPrintable(info.family()));
  }

  void medidaReal() {
    SuperficieMedidaQt s;
    s.setFontName(QStringLiteral("Arial"));
    s.setFontSize(12);
    s.Cls();
    QCOMPARE(s.CurrentX(), 0.0);
    s.Print(QLatin1Char('m'));
    const double m = s.CurrentX();
    s.Cls();
    s.Print(QLatin1Char('i'));
    const double i = s.CurrentX();
    // Una "m" de 12 puntos mide unos 10 puntos; una "i", unos 3.
    QVERIFY2(m > 150 && m < 250, qPrintable(QString::number(m)));
    QVERIFY(i < m / 2);
    s.Cls();
    s.setFontSize(24);
    s.Print(QLatin1Char('m'));
    QVERIFY(qAbs(s.CurrentX() - 2 * m) < 0.02 * m);
    s.setFontBold(true);
    s.Cls();
    s.Print(QLatin1Char('m'));
    QVERIFY(s.CurrentX() > 2 * m);
  }

  void hexagramaRealCabeEnLaPagina() {
    // Los textos de un hexagrama con todas sus líneas cambiantes, con Arial
    // de 12 en un A4: ninguna línea sale de la página, ninguna pasa el
    // límite antes de su último tramo y no se pierde ni cambia ningún
    // carácter.
    CarpetaPrueba carpeta;
    PrepararEstado(true);
    CargarBuffer(QStringLiteral("969696"));
    const double ancho = 11906 - 1440;
    const double limite = ancho - RightReserve;
    SuperficieMedidaQt s;
    const QStringList lineas = componer(s, limite);
    QVERIFY(lineas.size() > 60);
    QSet<QString> finalesDeRegistro;
    for (int j = 1; j < RanurasTextBuffer; ++j)
      finalesDeRegistro.insert(TextBuffer[std::size_t(j)].trimmed().section(QLatin1Char(' '), -1));
    SuperficieMedidaQt m;
    m.setFontName(QStringLiteral("Arial"));
    m.setFontSize(12);
    QString texto;
    for (const QString& l : lineas) {
      if (l.startsWith(QLatin1String("*n*")) || l.isEmpty())
        continue;
      // Se mide como se compuso: con los tres blancos del registro en vez
      // de la sangría.
      const QString medida = l.startsWith(QLatin1String("     ")) ? QStringLiteral("   ") + l.mid(5) : l;
      m.Cls();
      m.setCurrentX(LeftMargin);
      int paso = -1;
      for (int k = 0; k < medida.size(); ++k) {
        m.Print(medida[k]);
        if (paso < 0 && m.CurrentX() > limite)
          paso = k;
      }
      QVERIFY2(m.CurrentX() <= ancho, qPrintable(l));
      // Pasado el límite, la línea acaba en el primer sitio de corte: tras
      // el paso no queda ningún blanco antes de su último carácter, salvo
      // el que une dos registros, que no es sitio de corte.
      for (int q = std::max(paso, 0); paso >= 0 && q < medida.size() - 1; ++q)
        if (medida[q] == QLatin1Char(' ')) {
          const QString antes = medida.left(q).section(QLatin1Char(' '), -1);
          QVERIFY2(finalesDeRegistro.contains(antes), qPrintable(l + QStringLiteral(" | ") + antes));
        }
      QString sinGuion = l;
      if (sinGuion.endsWith(QLatin1Char('-'))) {
        sinGuion.chop(1);
        QVERIFY(paso >= 0);
      } else {
        sinGuion += QLatin1Char(' ');
      }
      texto += sinGuion;
    }
    // El mismo texto que el de las secciones, sin contar blancos.
    QString origen;
    for (const char* c : {"D", "C", "I"})
      origen += ExtraerSeccion(QString::fromLatin1(c));
    for (int n = 1; n <= 6; ++n) {
      const TextoLinea t = ExtraerLinea(QStringLiteral("L%1").arg(n));
      origen += t.enunciado + t.interpretacion;
    }
    auto sinBlancos = [](QString x) {
      return x.remove(QLatin1Char(' ')).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    };
    QCOMPARE(sinBlancos(texto), sinBlancos(origen));
  }
};

QTEST_MAIN(PruebaComposicion)
#include "test_composicion.moc"
