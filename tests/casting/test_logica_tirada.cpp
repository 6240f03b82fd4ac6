// La lógica de la tirada sin ventana: el giro de cada moneda, la parada, el
// valor de línea y su reparto, y la pregunta tal como se guarda.
#include "RelojFalso.h"
#include "apoyo/Apoyo.h"
#include "casting/Pregunta.h"
#include "casting/TiradaMonedas.h"
#include "platform/Basico.h"

#include <QTest>

#include <array>
#include <cmath>

namespace {
const QString Cara = QStringLiteral("cara");
const QString Cruz = QStringLiteral("cruz");

bool EsCara(const QString& e) {
  return e == Cara || e == Cruz;
}

// Una tirada entera con la lógica real: arrojar, unos pasos de giro libre y
// parar. Devuelve el valor de la línea.
int TirarUnaVez(TiradaMonedas& t, int pasosLibres) {
  t.Arrojar();
  for (int k = 0; k < pasosLibres; ++k)
    t.Tick();
  t.PrepararParada();
  const bool paradas = t.Parar([] {}, [] { return true; });
  if (!paradas)
    return -1;
  return t.ValorLinea();
}
// Chi cuadrado de las cuentas de 6, 7, 8 y 9 frente a 1/8, 3/8, 3/8, 1/8.
double ChiCuadrado(const std::array<int, 10>& cuenta) {
  const int n = cuenta[6] + cuenta[7] + cuenta[8] + cuenta[9];
  const std::array<double, 4> p = {1.0 / 8, 3.0 / 8, 3.0 / 8, 1.0 / 8};
  double chi2 = 0;
  for (int v = 6; v <= 9; ++v) {
    const double e = n * p[size_t(v - 6)];
    chi2 += (cuenta[size_t(v)] - e) * (cuenta[size_t(v)] - e) / e;
  }
  return chi2;
}
// Con 3 grados de libertad, 11,34 deja fuera sólo el 1 % de los repartos buenos.
constexpr double LimiteChi = 11.34;
} // namespace

class PruebaLogicaTirada : public QObject {
  Q_OBJECT

private slots:
  void init() { PrepararEstado(false); }
  void cleanup() { FijarReloj(nullptr); }

  void unaVueltaPasaPorLosOchoEstadosYCuentaDosCaras() {
    // Una moneda rápida (un dibujo por paso) da una vuelta entera en ocho
    // pasos: lo que se ve y cuándo se cuenta una cara.
    TiradaMonedas t;
    t.Reiniciar();
    auto& m = t.moneda[0];
    m.StepCountdown = 1;
    m.StepPeriod = 1;
    m.FacesLeft = 10;
    const QStringList esperados = {"canto1", "canto2", "canto3", "cruz",
                                   "canto4", "canto5", "canto6", "cara"};
    const std::array<int, 8> dibujos = {1, 2, 3, 4, 5, 2, 6, 0};
    const std::array<int, 8> caras = {10, 10, 10, 9, 9, 9, 9, 8};
    for (int k = 0; k < 8; ++k) {
      t.Tick();
      QCOMPARE(m.estado, esperados[k]);
      QCOMPARE(TiradaMonedas::DibujoDe(m.estado), dibujos[size_t(k)]);
      QCOMPARE(int(m.FacesLeft), caras[size_t(k)]);
    }
    QCOMPARE(TiradaMonedas::DibujoDe(QStringLiteral("cara")), 0);
    QCOMPARE(TiradaMonedas::DibujoDe(QStringLiteral("otra")), -1);
  }

  void elGiroLibreVaADosOTresPasosPorDibujo() {
    Randomize(7);
    std::array<double, 3> r{};
    for (double& x : r)
      x = Rnd();
    Randomize(7);
    TiradaMonedas t;
    t.Reiniciar();
    t.Arrojar();
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(int(t.moneda[i].StepPeriod), r[size_t(i)] < 0.5 ? 2 : 3);
      QCOMPARE(int(t.moneda[i].StepCountdown), int(t.moneda[i].StepPeriod));
      QCOMPARE(int(t.moneda[i].FacesLeft), -1);
    }
    // Un paso después la cuenta de caras queda en 0 y no baja de ahí.
    t.Tick();
    for (const auto& m : t.moneda)
      QCOMPARE(int(m.FacesLeft), 0);
    // Una vuelta entera son 16 pasos a velocidad 2 y 24 a velocidad 3: a los
    // 48 las tres vuelven a estar de cara, sin haberse parado nunca.
    for (int k = 1; k < 48; ++k) {
      t.Tick();
      for (const auto& m : t.moneda) {
        QVERIFY(m.StepCountdown != TiradaMonedas::Parada);
        QVERIFY(m.StepCountdown >= 1 && m.StepCountdown <= 3);
      }
    }
    for (const auto& m : t.moneda)
      QCOMPARE(m.estado, Cara);
  }

  void alPararCadaMonedaTomaVelocidadYCarasPorOrden() {
    Randomize(99);
    std::array<double, 6> r{};
    for (double& x : r)
      x = Rnd();
    Randomize(99);
    TiradaMonedas t;
    t.PrepararParada();
    for (int i = 0; i < 3; ++i) {
      const double rv = r[size_t(2 * i)], rc = r[size_t(2 * i + 1)];
      const int periodo = rv < 0.25 ? 1 : (rv > 0.75 ? 3 : 2);
      QCOMPARE(int(t.moneda[i].StepPeriod), periodo);
      QCOMPARE(int(t.moneda[i].StepCountdown), periodo);
      QCOMPARE(int(t.moneda[i].FacesLeft), RedondeoPar(4 * rc + 4));
    }
  }

  void unaMonedaDeCaraNoParaHastaMostrarSusCaras() {
    RelojFalso reloj;
    reloj.instalar();
    Randomize(3);
    TiradaMonedas t;
    t.Reiniciar();
    t.PrepararParada();
    std::array<int, 3> pedidas{};
    for (int i = 0; i < 3; ++i)
      pedidas[size_t(i)] = t.moneda[i].FacesLeft;
    // Se anotan las caras que cada moneda va mostrando mientras para.
    std::array<int, 3> vistas{};
    std::array<QString, 3> antes = {Cara, Cara, Cara};
    int pases = 0;
    const bool paradas = t.Parar(
        [&] {
          ++pases;
          for (int i = 0; i < 3; ++i) {
            const QString& e = t.moneda[i].estado;
            if (e != antes[size_t(i)] && EsCara(e))
              ++vistas[size_t(i)];
            antes[size_t(i)] = e;
          }
        },
        [] { return true; });
    QVERIFY(paradas);
    for (int i = 0; i < 3; ++i) {
      QVERIFY2(vistas[size_t(i)] >= pedidas[size_t(i)], qPrintable(QStringLiteral("moneda %1: %2 caras de %3")
                                                                       .arg(i)
                                                                       .arg(vistas[size_t(i)])
                                                                       .arg(pedidas[size_t(i)])));
      QVERIFY(EsCara(t.moneda[i].estado));
      QCOMPARE(int(t.moneda[i].StepCountdown), int(TiradaMonedas::Parada));
      QCOMPARE(int(t.moneda[i].StepPeriod), int(TiradaMonedas::Parada));
    }
    // Una moneda parada no se mueve más aunque haya más pasos.
    const auto quietas = t.moneda;
    for (int k = 0; k < 50; ++k)
      t.Tick();
    for (int i = 0; i < 3; ++i)
      QCOMPARE(t.moneda[i].estado, quietas[size_t(i)].estado);
  }

  void laParadaEsperaAlRelojParaCadaPaso() {
    // Con el reloj parado sólo se da el primer paso (el último se toma como
    // dado a la hora 0); después ya nunca pasa el centésimo de segundo y las
    // monedas no se mueven hasta que se abandona la parada.
    FijarReloj([] { return 100.0; });
    Randomize(5);
    TiradaMonedas t;
    t.Reiniciar();
    t.PrepararParada();
    TiradaMonedas unPaso = t;
    unPaso.Tick();
    int cesiones = 0;
    QVERIFY(!t.Parar([&] { ++cesiones; }, [&] { return cesiones < 200; }));
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(t.moneda[i].estado, unPaso.moneda[i].estado);
      QCOMPARE(t.moneda[i].StepCountdown, unPaso.moneda[i].StepCountdown);
    }
  }

  void abandonarLaParadaLaDejaAMedias() {
    RelojFalso reloj;
    reloj.instalar();
    Randomize(11);
    TiradaMonedas t;
    t.Reiniciar();
    t.PrepararParada();
    int cesiones = 0;
    const bool paradas = t.Parar([&] { ++cesiones; }, [&] { return cesiones < 6; });
    QVERIFY(!paradas);
    QCOMPARE(cesiones, 6);
    int sinParar = 0;
    for (const auto& m : t.moneda)
      if (m.StepCountdown != TiradaMonedas::Parada)
        ++sinParar;
    QVERIFY(sinParar > 0);
  }

  void laParadaCruzaLaMedianoche() {
    RelojFalso reloj;
    reloj.t = 86399.95;
    FijarReloj([&reloj] {
      reloj.avanzar();
      if (reloj.t >= 86400.0)
        reloj.t -= 86400.0;
      return reloj.t;
    });
    Randomize(21);
    TiradaMonedas t;
    t.Reiniciar();
    t.PrepararParada();
    int cesiones = 0;
    const bool paradas = t.Parar([&] { ++cesiones; }, [&] { return cesiones < 100000; });
    QVERIFY(paradas);
    QVERIFY(reloj.t < 86000.0); // pasó de verdad la medianoche
    QVERIFY(std::abs(SegundosDesde(86399.99, 0.02) - 0.03) < 1e-6);
    QCOMPARE(SegundosDesde(10.0, 12.5), 2.5);
  }

  void unEstadoDesconocidoSeAvisaEnCadaPaso() {
    TiradaMonedas t;
    t.Reiniciar();
    QList<int> fallos;
    t.AlFallar = [&](int i) { fallos << i; };
    for (auto& m : t.moneda) {
      m.StepCountdown = 1;
      m.StepPeriod = 1;
    }
    t.moneda[1].estado = QStringLiteral("perdida");
    t.Tick();
    QCOMPARE(fallos, QList<int>{1});
    QCOMPARE(t.moneda[1].estado, QStringLiteral("perdida"));
    QCOMPARE(t.moneda[0].estado, QStringLiteral("canto1"));
    QCOMPARE(t.moneda[2].estado, QStringLiteral("canto1"));
    t.Tick();
    QCOMPARE(fallos.size(), 2);
  }

  void valorDeLinea_data() {
    QTest::addColumn<QStringList>("estados");
    QTest::addColumn<int>("valor");
    QTest::newRow("tres caras") << QStringList{"cara", "cara", "cara"} << 6;
    QTest::newRow("una cruz") << QStringList{"cara", "cruz", "cara"} << 7;
    QTest::newRow("dos cruces") << QStringList{"cruz", "cara", "cruz"} << 8;
    QTest::newRow("tres cruces") << QStringList{"cruz", "cruz", "cruz"} << 9;
  }
  void valorDeLinea() {
    QFETCH(QStringList, estados);
    QFETCH(int, valor);
    TiradaMonedas t;
    for (int i = 0; i < 3; ++i)
      t.moneda[i].estado = estados[i];
    QCOMPARE(t.ValorLinea(), valor);
  }

  void losValoresSalenUnoTresTresUnoOctavos_data() {
    QTest::addColumn<double>("paso");
    QTest::addColumn<double>("vaiven");
    QTest::addColumn<int>("giroLibre");
    QTest::addColumn<double>("semilla");
    // Un reloj fino, como el de verdad, y otro más grueso, de una máquina
    // lenta (un paso cada dos o tres comprobaciones); y un usuario que para
    // enseguida, con las monedas aún de cara, para que el reparto dependa
    // sólo de la paridad de las caras de más.
    QTest::newRow("reloj fino") << 0.0005 << 0.001 << 60 << 20240611.0;
    QTest::newRow("reloj grueso") << 0.003 << 0.003 << 60 << 31415.0;
    QTest::newRow("parada inmediata") << 0.0005 << 0.001 << 0 << 2718.0;
  }
  void losValoresSalenUnoTresTresUnoOctavos() {
    QFETCH(double, paso);
    QFETCH(double, vaiven);
    QFETCH(int, giroLibre);
    QFETCH(double, semilla);
    RelojFalso reloj;
    reloj.paso = paso;
    reloj.vaiven = vaiven;
    reloj.instalar();
    Randomize(semilla);
    TiradaMonedas t;
    constexpr int Tiradas = 8000;
    std::array<int, 10> cuenta{};
    std::array<int, 3> cruces{};
    for (int k = 0; k < Tiradas; ++k) {
      if (giroLibre == 0)
        t.Reiniciar();
      // El usuario deja girar las monedas un rato cualquiera antes de parar.
      const int libres = int(Rnd() * giroLibre);
      const int v = TirarUnaVez(t, libres);
      QVERIFY(v >= 6 && v <= 9);
      ++cuenta[size_t(v)];
      for (int i = 0; i < 3; ++i)
        if (t.moneda[i].estado == Cruz)
          ++cruces[size_t(i)];
    }
    const double chi2 = ChiCuadrado(cuenta);
    QVERIFY2(chi2 < LimiteChi, qPrintable(QStringLiteral("chi² = %1 (6:%2 7:%3 8:%4 9:%5)")
                                              .arg(chi2)
                                              .arg(cuenta[6])
                                              .arg(cuenta[7])
                                              .arg(cuenta[8])
                                              .arg(cuenta[9])));
    // Y cada moneda cae de cruz la mitad de las veces (a menos de 4 sigmas).
    for (int i = 0; i < 3; ++i)
      QVERIFY2(std::abs(cruces[size_t(i)] - Tiradas / 2.0) < 4 * std::sqrt(Tiradas / 4.0),
               qPrintable(QStringLiteral("moneda %1: %2 cruces").arg(i).arg(cruces[size_t(i)])));
  }

  void conCarasDeMasSiemprePareslaPruebaLoNota() {
    // Si las caras de más fueran siempre pares, unas monedas paradas de cara
    // volverían casi siempre a caer de cara: la misma cuenta lo rechaza.
    RelojFalso reloj;
    reloj.instalar();
    Randomize(8);
    TiradaMonedas t;
    std::array<int, 10> cuenta{};
    for (int k = 0; k < 2000; ++k) {
      t.Reiniciar();
      t.Arrojar();
      t.PrepararParada();
      for (auto& m : t.moneda)
        m.FacesLeft = qint16(m.FacesLeft & ~1);
      QVERIFY(t.Parar([] {}, [] { return true; }));
      ++cuenta[size_t(t.ValorLinea())];
    }
    QVERIFY2(ChiCuadrado(cuenta) > LimiteChi, qPrintable(QString::number(ChiCuadrado(cuenta))));
  }

  // --- La pregunta ---------------------------------------------------------
  void preguntaNormalizada_data() {
    QTest::addColumn<QString>("escrita");
    QTest::addColumn<QString>("guardada");
    QTest::newRow("completa") << QStringLiteral("¿qué será?") << QStringLiteral("¿QUÉ SERÁ?");
    QTest::newRow("sin signos") << QStringLiteral("qué será") << QStringLiteral("¿QUÉ SERÁ?");
    QTest::newRow("sin cierre") << QStringLiteral("¿qué será") << QStringLiteral("¿QUÉ SERÁ?");
    QTest::newRow("blancos") << QStringLiteral("   año nuevo   ") << QStringLiteral("¿AÑO NUEVO?");
    QTest::newRow("intro final") << QStringLiteral("hola\r\n") << QStringLiteral("¿HOLA?");
    QTest::newRow("interrogación e intro") << QStringLiteral("¿hola?\r\n") << QStringLiteral("¿HOLA??");
    QTest::newRow("blanco tras el intro") << QStringLiteral("hola \r\n  ") << QStringLiteral("¿HOLA?");
    QTest::newRow("sólo un intro") << QStringLiteral("\r\n") << QStringLiteral("¿?");
    QTest::newRow("dos intros") << QStringLiteral("a\r\n\r\n") << QStringLiteral("¿A\r\n?");
    QTest::newRow("intro en medio") << QStringLiteral("uno\r\ndos") << QStringLiteral("¿UNO\r\nDOS?");
    QTest::newRow("acentos") << QStringLiteral("ñandú, cigüeña, àèìòù")
                             << QStringLiteral("¿ÑANDÚ, CIGÜEÑA, ÀÈÌÒÙ?");
    QTest::newRow("sin mayúscula en 1252") << QStringLiteral("straße µ ÿ") << QStringLiteral("¿STRAßE µ Ÿ?");
    QTest::newRow("vacía") << QString() << QStringLiteral("¿?");
  }
  void preguntaNormalizada() {
    QFETCH(QString, escrita);
    QFETCH(QString, guardada);
    const QString r = NormalizarPregunta(escrita);
    QCOMPARE(r.size(), 100);
    QCOMPARE(QuitarBlancosDerecha(r), guardada);
  }

  void preguntaLargaSeCortaACien() {
    // 98 letras: «¿», las 98 y «?» caben justas.
    QCOMPARE(NormalizarPregunta(QString(98, QLatin1Char('a'))),
             QStringLiteral("¿") + QString(98, QLatin1Char('A')) + QStringLiteral("?"));
    // 99: el «?» queda fuera.
    QCOMPARE(NormalizarPregunta(QString(99, QLatin1Char('a'))),
             QStringLiteral("¿") + QString(99, QLatin1Char('A')));
    // 120: se queda con «¿» y las 99 primeras; la última de las 100 se pierde.
    QString larga;
    for (int i = 0; i < 120; ++i)
      larga += QChar(QLatin1Char('a' + i % 26));
    const QString r = NormalizarPregunta(larga);
    QCOMPARE(r.size(), 100);
    QCOMPARE(r, QStringLiteral("¿") + larga.left(99).toUpper());
    // Ya abierta con «¿» y más larga que 100: sólo se corta.
    const QString abierta = QStringLiteral("¿") + QString(105, QLatin1Char('b'));
    QCOMPARE(NormalizarPregunta(abierta), QStringLiteral("¿") + QString(99, QLatin1Char('B')));
  }

  void losSaltosDelCuadroSeLeenConRetorno() {
    QCOMPARE(TextoLeidoDelCuadro(QStringLiteral("a\nb\n")), QStringLiteral("a\r\nb\r\n"));
    QCOMPARE(TextoLeidoDelCuadro(QStringLiteral("a") + QChar(QChar::ParagraphSeparator)),
             QStringLiteral("a\r\n"));
    QCOMPARE(TextoParaElCuadro(QStringLiteral("¿UNO\r\nDOS?")), QStringLiteral("¿UNO\nDOS?"));
    QCOMPARE(TextoLeidoDelCuadro(TextoParaElCuadro(QStringLiteral("x\r\ny"))), QStringLiteral("x\r\ny"));
  }
};

QTEST_MAIN(PruebaLogicaTirada)
#include "test_logica_tirada.moc"
