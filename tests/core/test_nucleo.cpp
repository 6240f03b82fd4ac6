// El modelo del hexagrama, el estado de la consulta y las listas de nombres.
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"

#include <QDir>
#include <QFile>
#include <QTest>

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
  void cleanup() { carpeta_.reset(); }

  void complementario() {
    const std::pair<const char*, const char*> casos[] = {{"999999", "888888"},
                                                         {"666666", "777777"},
                                                         {"787878", "787878"},
                                                         {"967869", "877878"},
                                                         {"      ", "      "}};
    for (auto [actual, esperado] : casos) {
      CurrentLines = QString::fromLatin1(actual);
      ComputeComplement();
      QCOMPARE(ComplementLines.texto(), QString::fromLatin1(esperado));
    }
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
      QVERIFY(TrigramName(lineas.left(3)).startsWith(inferior.second + QStringLiteral(", ")));
      QVERIFY(TrigramName(lineas.mid(3)).startsWith(superior.second + QStringLiteral(", ")));
    }
    QCOMPARE(TrigramName(QStringLiteral("777")), QStringLiteral("Ch'ien, el Cielo que crea"));
  }

  void cadenasQueNoSonHexagramas() {
    for (const QString& s : {QStringLiteral("      "), QString(), QStringLiteral("78787"),
                             QStringLiteral("7878x8"), QStringLiteral("0000000")}) {
      QCOMPARE(HexagramNumber(s), 0);
      QCOMPARE(HexagramTextPosition(s), QString());
    }
    QCOMPARE(TrigramName(QStringLiteral("123")), QString());
    QCOMPARE(TrigramName(QString()), QString());
  }

  void filasRepetidasGanaLaUltima() {
    HexagramList[64] = HexagramList[1];
    HexagramList[64][6] = QStringLiteral("999");
    QCOMPARE(HexagramTextPosition(QStringLiteral("777777")), QStringLiteral("999"));
  }

  // Los campos se leen igual en una línea o en varias, y el primer trigrama
  // se llama siempre Ch'ien, diga lo que diga el fichero.
  void camposEnUnaLineaOEnVarias() {
    QFile t(RutaDatoGenerado(QStringLiteral("trigr.kvl")));
    QVERIFY(t.open(QIODevice::ReadOnly));
    const QByteArray porLineas = t.readAll();
    QVERIFY(porLineas.contains("\r\n"));
    const auto tablaA = TrigramList; // la que se leyó al empezar
    QByteArray enUna = porLineas;
    enUna.replace("\r\n", ",");
    QVERIFY(LeerTrigramas(enUna + "\r\nlinea sobrante\r\n\r\n", nullptr));
    QCOMPARE(TrigramList, tablaA);
    QCOMPARE(TrigramList[4][1] + TrigramList[4][3], QStringLiteral("K'an878"));
    QVERIFY(LeerTrigramas(QByteArray(porLineas).replace("\"Ch'ien\"", "\"Otro nombre\""), nullptr));
    QCOMPARE(TrigramList[1][1], QStringLiteral("Ch'ien"));
  }

  void comillasComasYBlancos() {
    // Dos comas dan un campo vacío; lo que sigue a una comilla de cierre no desplaza nada.
    QCOMPARE(Campos("\"Otro, nombre\" basura,\"segundo, con coma\",777,  979 ,,\r\n\"sin cierre"),
             QStringList({"Otro, nombre", "segundo, con coma", "777", "979", "", "sin cierre"}));
    QCOMPARE(Campos(Win1252::codificar(QStringLiteral("Chên,\"Kên\"x,Li"))),
             QStringList({"Chên", "Kên", "Li"}));
  }

  void ficheroCortoOAusente() {
    QString error;
    QVERIFY(!LeerHexagramas("1,\"777\",\"777\",\"Ch'ien\",\"x\",1\r\n2,\"888\"", &error));
    QVERIFY2(error.contains(QStringLiteral("hexagr.kvl")) && error.contains(QStringLiteral("termina antes")),
             qPrintable(error));
    // Una lista que no se puede leer no se da por perdida: el mensaje dice por qué.
    const QString hexagr = carpeta_->fichero(QStringLiteral("hexagr.kvl"));
    FijarPruebaLectura([&](const QString& r) { return r != hexagr; });
    QVERIFY(!LoadNameLists(&error));
    FijarPruebaLectura(nullptr);
    QVERIFY2(error.contains(QStringLiteral("«hexagr.kvl»")) && error.contains(QStringLiteral("permiso")),
             qPrintable(error));
    ReiniciarEstado();
    QVERIFY(QFile::remove(hexagr));
    QVERIFY(!LoadNameLists(&error));
    QVERIFY2(error.contains(QStringLiteral("hexagr.kvl")) &&
                 error.contains(QStringLiteral("No se encuentra")),
             qPrintable(error));
    QCOMPARE(TrigramList[8][1], QStringLiteral("Tui")); // los trigramas ya se habían leído
  }
};

QTEST_GUILESS_MAIN(PruebaNucleo)
#include "test_nucleo.moc"
