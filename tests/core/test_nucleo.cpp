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

#include <array>
#include <map>

namespace {
// Los trigramas por su dibujo (de abajo arriba) y el orden tradicional de los
// 64 hexagramas como pares (superior, inferior): una tabla propia de la
// prueba, independiente de los ficheros de datos.
const std::map<QString, QString> NombreTrigrama = {
    {QStringLiteral("777"), QStringLiteral("Ch'ien")}, {QStringLiteral("888"), QStringLiteral("K'un")},
    {QStringLiteral("788"), QStringLiteral("Chên")},   {QStringLiteral("878"), QStringLiteral("K'an")},
    {QStringLiteral("887"), QStringLiteral("Kên")},    {QStringLiteral("877"), QStringLiteral("Sun")},
    {QStringLiteral("787"), QStringLiteral("Li")},     {QStringLiteral("778"), QStringLiteral("Tui")}};
const char* const Orden[64][2] = {
    {"Ch'ien", "Ch'ien"}, {"K'un", "K'un"},   {"K'an", "Chên"},  {"Kên", "K'an"},    {"K'an", "Ch'ien"},
    {"Ch'ien", "K'an"},   {"K'un", "K'an"},   {"K'an", "K'un"},  {"Sun", "Ch'ien"},  {"Ch'ien", "Tui"},
    {"K'un", "Ch'ien"},   {"Ch'ien", "K'un"}, {"Ch'ien", "Li"},  {"Li", "Ch'ien"},   {"K'un", "Kên"},
    {"Chên", "K'un"},     {"Tui", "Chên"},    {"Kên", "Sun"},    {"K'un", "Tui"},    {"Sun", "K'un"},
    {"Li", "Chên"},       {"Kên", "Li"},      {"Kên", "K'un"},   {"K'un", "Chên"},   {"Ch'ien", "Chên"},
    {"Kên", "Ch'ien"},    {"Kên", "Chên"},    {"Tui", "Sun"},    {"K'an", "K'an"},   {"Li", "Li"},
    {"Tui", "Kên"},       {"Chên", "Sun"},    {"Ch'ien", "Kên"}, {"Chên", "Ch'ien"}, {"Li", "K'un"},
    {"K'un", "Li"},       {"Sun", "Li"},      {"Li", "Tui"},     {"K'an", "Kên"},    {"Chên", "K'an"},
    {"Kên", "Tui"},       {"Sun", "Chên"},    {"Tui", "Ch'ien"}, {"Ch'ien", "Sun"},  {"Tui", "K'un"},
    {"K'un", "Sun"},      {"Tui", "K'an"},    {"K'an", "Sun"},   {"Tui", "Li"},      {"Li", "Sun"},
    {"Chên", "Chên"},     {"Kên", "Kên"},     {"Sun", "Kên"},    {"Chên", "Tui"},    {"Chên", "Li"},
    {"Li", "Kên"},        {"Sun", "Sun"},     {"Tui", "Tui"},    {"Sun", "K'an"},    {"K'an", "Tui"},
    {"Sun", "Tui"},       {"Chên", "Kên"},    {"K'an", "Li"},    {"Li", "K'an"}};

QString estable(QChar c) {
  if (c == QLatin1Char('6'))
    return QStringLiteral("8");
  if (c == QLatin1Char('9'))
    return QStringLiteral("7");
  return QString(c);
}
} // namespace

class PruebaNucleo : public QObject {
  Q_OBJECT
  CarpetaPrueba* carpeta_ = nullptr;

private slots:
  void init() {
    carpeta_ = new CarpetaPrueba(true);
    PrepararEstado(true);
  }
  void cleanup() {
    delete carpeta_;
    carpeta_ = nullptr;
  }

  void complementario() {
    const std::array<std::pair<const char*, const char*>, 5> casos = {{{"999999", "888888"},
                                                                       {"666666", "777777"},
                                                                       {"787878", "787878"},
                                                                       {"967869", "877878"},
                                                                       {"      ", "      "}}};
    for (auto [actual, esperado] : casos) {
      CurrentLines = QString::fromLatin1(actual);
      ComputeComplement();
      QCOMPARE(ComplementLines.texto(), QString::fromLatin1(esperado));
    }
  }

  void lasCuatroMilNoventaYSeisCadenas() {
    QString lineas(6, QLatin1Char('6'));
    const QString valores = QStringLiteral("6789");
    for (int m = 0; m < 4096; ++m) {
      QString patron;
      for (int k = 0; k < 6; ++k) {
        lineas[k] = valores[(m >> (2 * k)) & 3];
        patron += estable(lineas[k]);
      }
      const QString inferior = NombreTrigrama.at(patron.left(3));
      const QString superior = NombreTrigrama.at(patron.mid(3));
      int esperado = 0;
      for (int n = 0; n < 64; ++n)
        if (superior == QString::fromUtf8(Orden[n][0]) && inferior == QString::fromUtf8(Orden[n][1]))
          esperado = n + 1;
      QVERIFY(esperado > 0);
      QCOMPARE(HexagramNumber(lineas), esperado);
      QCOMPARE(HexagramTextPosition(lineas), QString::number((esperado - 1) * 8000 + 1));
      QVERIFY(TrigramName(lineas.left(3)).startsWith(inferior + QStringLiteral(", ")));
      QVERIFY(TrigramName(lineas.mid(3)).startsWith(superior + QStringLiteral(", ")));
    }
  }

  void mismoDibujoMismoHexagrama() {
    QCOMPARE(HexagramNumber(QStringLiteral("969696")), HexagramNumber(QStringLiteral("787878")));
    QCOMPARE(HexagramNumber(QStringLiteral("787878")), 63);
    QCOMPARE(HexagramTextPosition(QStringLiteral("969696")), HexagramTextPosition(QStringLiteral("787878")));
    QCOMPARE(TrigramName(QStringLiteral("969")), TrigramName(QStringLiteral("787")));
    QCOMPARE(TrigramName(QStringLiteral("777")), QStringLiteral("Ch'ien, el Cielo que crea"));
  }

  void cadenasQueNoSonHexagramas() {
    for (const QString& s : {QStringLiteral("      "), QString(), QStringLiteral("78787"),
                             QStringLiteral("7878x8"), QStringLiteral("0000000")}) {
      QCOMPARE(HexagramNumber(s), 0);
      QCOMPARE(HexagramTextPosition(s), QString());
      QCOMPARE(Val(HexagramTextPosition(s)), 0.0);
    }
    QCOMPARE(TrigramName(QStringLiteral("123")), QString());
    QCOMPARE(TrigramName(QString()), QString());
  }

  void filasRepetidasGanaLaUltima() {
    HexagramList[64] = HexagramList[1];
    HexagramList[64][6] = QStringLiteral("999");
    QCOMPARE(HexagramTextPosition(QStringLiteral("777777")), QStringLiteral("999"));
  }

  void camposEnUnaLineaOEnVarias() {
    QFile t(RutaDatoGenerado(QStringLiteral("trigr.kvl")));
    QVERIFY(t.open(QIODevice::ReadOnly));
    const QByteArray porLineas = t.readAll();
    QVERIFY(porLineas.contains("\r\n"));
    QVERIFY(LeerTrigramas(porLineas, nullptr));
    const auto tablaA = TrigramList;
    QByteArray enUna = porLineas;
    enUna.replace("\r\n", ",");
    QVERIFY(LeerTrigramas(enUna + "\r\nlinea sobrante\r\n\r\n", nullptr));
    QCOMPARE(TrigramList, tablaA);
    QCOMPARE(TrigramList[4][1], QStringLiteral("K'an"));
    QCOMPARE(TrigramList[4][3], QStringLiteral("878"));
  }

  void comillasComasYBlancos() {
    QByteArray b = "\"Otro, nombre\" basura,\"segundo, con coma\",777,  979 ,,\r\n";
    b += "\"sin cierre";
    QByteArray todo = b;
    LectorCampos lector(todo);
    QString c;
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QStringLiteral("Otro, nombre"));
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QStringLiteral("segundo, con coma"));
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QStringLiteral("777"));
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QStringLiteral("979"));
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QString()); // dos comas seguidas
    QVERIFY(lector.leer(c));
    QCOMPARE(c, QStringLiteral("sin cierre"));
    QVERIFY(!lector.leer(c));
    // Lo que sigue a una comilla de cierre no desplaza los campos siguientes.
    LectorCampos acentos(Win1252::codificar(QStringLiteral("Chên,\"Kên\"x,Li")));
    QVERIFY(acentos.leer(c));
    QCOMPARE(c, QStringLiteral("Chên"));
    QVERIFY(acentos.leer(c));
    QCOMPARE(c, QStringLiteral("Kên"));
    QVERIFY(acentos.leer(c));
    QCOMPARE(c, QStringLiteral("Li"));
  }

  void elPrimerTrigramaSiempreEsChien() {
    QFile t(RutaDatoGenerado(QStringLiteral("trigr.kvl")));
    QVERIFY(t.open(QIODevice::ReadOnly));
    QByteArray b = t.readAll();
    b.replace("\"Ch'ien\"", "\"Otro nombre\"");
    QVERIFY(LeerTrigramas(b, nullptr));
    QCOMPARE(TrigramList[1][1], QStringLiteral("Ch'ien"));
  }

  void ficheroCortoOAusente() {
    QString error;
    QVERIFY(!LeerHexagramas("1,\"777\",\"777\",\"Ch'ien\",\"x\",1\r\n2,\"888\"", &error));
    QVERIFY(error.contains(QStringLiteral("hexagr.kvl")));
    QVERIFY(error.contains(QStringLiteral("termina antes")));

    // Una lista que está pero no se puede leer no se da por perdida: el mensaje dice por qué.
    const QString hexagr = carpeta_->fichero(QStringLiteral("hexagr.kvl"));
    FijarPruebaLectura([&](const QString& r) { return r != hexagr; });
    QVERIFY(!LoadNameLists(&error));
    FijarPruebaLectura(nullptr);
    QVERIFY2(error.contains(QStringLiteral("«hexagr.kvl»")) && error.contains(QStringLiteral("permiso")),
             qPrintable(error));
    QVERIFY(QFile::remove(hexagr) && QDir(carpeta_->ruta()).mkdir(QStringLiteral("hexagr.kvl")));
    QVERIFY(!LoadNameLists(&error));
    QVERIFY2(error.contains(QStringLiteral("es una carpeta")), qPrintable(error));

    ReiniciarEstado();
    QVERIFY(QDir(carpeta_->ruta()).rmdir(QStringLiteral("hexagr.kvl")));
    QVERIFY(!LoadNameLists(&error));
    QVERIFY(error.contains(QStringLiteral("hexagr.kvl")));
    QVERIFY(error.contains(QStringLiteral("No se encuentra")));
    QCOMPARE(TrigramList[8][1], QStringLiteral("Tui")); // los trigramas ya se habían leído

    // Un enlace a /dev/zero no se lee hasta agotar la memoria.
    const QString trigr = carpeta_->fichero(QStringLiteral("trigr.kvl"));
    QVERIFY(QFile::remove(trigr) && QFile::link(QStringLiteral("/dev/zero"), trigr));
    QVERIFY(!LoadNameLists(&error));
    QVERIFY2(error.contains(QStringLiteral("«trigr.kvl»")) &&
                 error.contains(QStringLiteral("no es un fichero normal")),
             qPrintable(error));
  }
};

QTEST_GUILESS_MAIN(PruebaNucleo)
#include "test_nucleo.moc"
