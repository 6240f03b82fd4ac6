// El modelo del hexagrama, el estado de la consulta y las listas de nombres.
#include "apoyo/Apoyo.h"
#include "core/Castellano.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"

#include <QFile>

#include <map>
#include <optional>

namespace {
// Los trigramas por su dibujo (de abajo arriba), con una letra, y el orden
// tradicional de los 64 hexagramas como letras de sus trigramas superior e
// inferior: una tabla propia de la prueba, independiente de los ficheros de datos.
const std::map<QString, std::pair<QChar, QString>> Trigramas = {
    {"777", {u'C', "Ch'ien"}}, {"888", {u'K', "K'un"}}, {"788", {u'Z', "Chên"}}, {"878", {u'A', "K'an"}},
    {"887", {u'G', "Kên"}},    {"877", {u'S', "Sun"}},  {"787", {u'L', "Li"}},   {"778", {u'T', "Tui"}}};
const QString Orden = QStringLiteral("CC KK AZ GA AC CA KA AK SC CT KC CK CL LC KG ZK TZ GS KT SK LZ GL "
                                     "GK KZ CZ GC GZ TS AA LL TG ZS CG ZC LK KL SL LT AG ZA GT SZ TC CS "
                                     "TK KS TA AS TL LS ZZ GG SG ZT ZL LG SS TT SA AT ST ZG AL LA");

QStringList Campos(const QByteArray& bytes) {
  LectorCampos lector(bytes);
  QStringList r;
  for (QString c; lector.leer(c);)
    r << c;
  return r;
}
} // namespace

class PruebaNucleo : public QObject {
  Q_OBJECT
  std::optional<CarpetaPrueba> carpeta_;

private slots:
  void init() {
    carpeta_.emplace();
    PrepararEstado(true);
  }

  void ordenYBusquedaEnCastellano() {
    // Como en un diccionario: la Á con la A, la Í con la I, la Ñ tras la N y antes de la O, sin
    // mirar mayúsculas; los iguales salvo mayúsculas quedan como venían. Aunque el sistema corra en C.
    QStringList nombres = {"ZOE", "ÍÑIGO",  "ana maría", "ÑANDÚ",   "NURIA",   "OSCAR",
                           "ANA", "ÁLVARO", "Ana",       "IGNACIO", "10 AÑOS", "9 AÑOS"};
    OrdenCastellano().ordenar(nombres);
    QCOMPARE(nombres, QStringList({"9 AÑOS", "10 AÑOS", "ÁLVARO", "ANA", "Ana", "ana maría", "IGNACIO",
                                   "ÍÑIGO", "NURIA", "ÑANDÚ", "OSCAR", "ZOE"}));
    // Al buscar no cuentan mayúsculas, acentos, diéresis ni la tilde de la eñe, ni los blancos de relleno.
    QVERIFY(Plegado(u"ÍÑIGO   "_s).startsWith(Plegado(u"  íñi"_s)));
    QVERIFY(Plegado(u"¿CAMBIARÉ DE CASA?"_s).contains(Plegado(u"cambiare"_s)));
    QCOMPARE(Plegado(u"PINGÜINO Ñu"_s), u"pinguino nu"_s);
  }

  void complementario() {
    // Cada línea que cambia pasa a su contraria; sin líneas, tampoco hay complementario.
    QString visto;
    for (const QString& lineas : {u"999999"_s, u"666666"_s, u"787878"_s, u"967869"_s, u"      "_s}) {
      CurrentLines = lineas;
      ComputeComplement();
      visto += ComplementLines.texto() + u'|';
    }
    QCOMPARE(visto, u"888888|777777|787878|877878|      |"_s);
  }

  void lasCuatroMilNoventaYSeisCadenas() {
    QString lineas(6, QLatin1Char('6'));
    for (int m = 0; m < 4096; ++m) {
      QString dibujo; // el 6 se dibuja como el 8 y el 9 como el 7
      for (int k = 0; k < 6; ++k) {
        lineas[k] = QStringLiteral("6789")[(m >> (2 * k)) & 3];
        dibujo += QStringLiteral("8787")[(m >> (2 * k)) & 3];
      }
      const auto& inferior = Trigramas.at(dibujo.left(3));
      const auto& superior = Trigramas.at(dibujo.mid(3));
      const qsizetype i = Orden.indexOf(QString(superior.first) + inferior.first);
      QVERIFY(i >= 0);
      const int esperado = int(i / 3) + 1;
      QCOMPARE(HexagramNumber(lineas), esperado);
      QCOMPARE(HexagramTextPosition(lineas), QString::number((esperado - 1) * 8000 + 1));
      QVERIFY(TrigramName(lineas.left(3)).startsWith(inferior.second + u", "_s) &&
              TrigramName(lineas.mid(3)).startsWith(superior.second + u", "_s));
    }
  }

  void cadenasQueNoSonHexagramasYFilasRepetidas() {
    for (const QString& s : {u"      "_s, QString(), u"78787"_s, u"7878x8"_s, u"0000000"_s}) {
      QCOMPARE(HexagramNumber(s), 0);
      QCOMPARE(HexagramTextPosition(s), QString());
    }
    QCOMPARE(TrigramName(u"123"_s) + TrigramName(QString()), QString());
    // Con dos filas del mismo dibujo gana la última.
    HexagramList[64] = HexagramList[1];
    HexagramList[64][6] = u"999"_s;
    QCOMPARE(HexagramTextPosition(u"777777"_s), u"999"_s);
  }

  // Campos iguales en una línea o en varias; el primer trigrama es Ch'ien, diga lo que diga el fichero.
  void camposComillasYComas() {
    const QByteArray porLineas = LeerTodo(RutaDatoGenerado(u"trigr.kvl"_s));
    QVERIFY(porLineas.contains("\r\n"));
    const auto tablaA = TrigramList; // la que se leyó al empezar
    QVERIFY(
        LeerTrigramas(QByteArray(porLineas).replace("\r\n", ",") + "\r\nlinea sobrante\r\n\r\n", nullptr));
    QCOMPARE(TrigramList, tablaA);
    QCOMPARE(TrigramList[4][1] + TrigramList[4][3], u"K'an878"_s);
    QVERIFY(LeerTrigramas(QByteArray(porLineas).replace("\"Ch'ien\"", "\"Otro nombre\""), nullptr));
    QCOMPARE(TrigramList[1][1], u"Ch'ien"_s);
    // Dos comas dan un campo vacío; lo que sigue a una comilla de cierre no desplaza nada.
    QCOMPARE(Campos("\"Otro, nombre\" basura,\"segundo, con coma\",777,  979 ,,\r\n\"sin cierre"),
             QStringList({"Otro, nombre", "segundo, con coma", "777", "979", "", "sin cierre"}));
    QCOMPARE(Campos(Win1252::codificar(u"Chên,\"Kên\"x,Li"_s)), QStringList({"Chên", "Kên", "Li"}));
  }

  void ficheroCortoOAusente() {
    QString error;
    QVERIFY(!LeerHexagramas("1,\"777\",\"777\",\"Ch'ien\",\"x\",1\r\n2,\"888\"", &error));
    QVERIFY2(error.contains(u"hexagr.kvl"_s) && error.contains(u"termina antes"_s), qPrintable(error));
    // Una lista que no se puede leer no se da por perdida: el mensaje dice por qué.
    const QString hexagr = carpeta_->fichero(u"hexagr.kvl"_s);
    FijarPruebaLectura([&](const QString& r) { return r != hexagr; });
    QVERIFY(!LoadNameLists(&error));
    FijarPruebaLectura(nullptr);
    QVERIFY2(error.contains(u"«hexagr.kvl»"_s) && error.contains(u"permiso"_s), qPrintable(error));
    ReiniciarEstado();
    QVERIFY(QFile::remove(hexagr));
    QVERIFY(!LoadNameLists(&error));
    QVERIFY2(error.contains(u"hexagr.kvl"_s) && error.contains(u"No se encuentra"_s), qPrintable(error));
    QCOMPARE(TrigramList[8][1], u"Tui"_s); // los trigramas ya se habían leído
  }
};

QTEST_GUILESS_MAIN(PruebaNucleo)
#include "test_nucleo.moc"
