// El almacén de textos: la carga de un bloque en TextBuffer, con sólo las
// líneas que cambian, y la extracción de sus secciones.
#include "apoyo/Apoyo.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Codificacion.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <array>
#include <vector>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// Un almacén hecho a mano: el registro de título que la carga no lee y los
// registros del bloque, cada uno rellenado a 80 bytes.
QByteArray almacen(const QStringList& registros) {
  QByteArray b = Win1252::codificar(QStringLiteral("TITULO").leftJustified(80));
  for (const QString& r : registros)
    b += Win1252::codificar(r.leftJustified(80, QLatin1Char(' '), true));
  return b;
}

// La lista de hexagramas con una sola fila, la de Ch'ien sobre Ch'ien, cuyo
// bloque empieza en la posición 1: todos los dibujos 777777 (con 9 o 7 en
// cada puesto) leen ese bloque.
void listaDeUnaFila(const QString& posicion = QStringLiteral("1")) {
  for (auto& fila : HexagramList)
    for (auto& campo : fila)
      campo.clear();
  HexagramList[1] = {QString(),
                     QStringLiteral("1"),
                     QStringLiteral("777"),
                     QStringLiteral("777"),
                     QStringLiteral("Prueba"),
                     QStringLiteral("La prueba"),
                     posicion};
}

// Un bloque completo y bien formado: cada sección con dos párrafos, el
// segundo de dos registros; cada línea con su enunciado y su interpretación.
QStringList bloqueCompleto() {
  QStringList b;
  for (const char* s : {"D", "C", "I"}) {
    const QString n = QString::fromLatin1(s);
    b << QLatin1Char('*') + n << QStringLiteral("   Primero de ") + n << QStringLiteral("   Segundo de ") + n
      << QStringLiteral("sigue ") + n;
  }
  for (int l = 1; l <= 6; ++l) {
    const QString n = QString::number(l);
    b << QStringLiteral("*L") + n << QStringLiteral("   Nueve en el puesto ") + n
      << QStringLiteral("continúa ") + n << QStringLiteral("   INTERPRETACIÓN: la ") + n;
  }
  b << QStringLiteral("**");
  return b;
}

// Las ranuras de TextBuffer, sin blancos finales, desde la 1 hasta la
// primera "**" incluida (todas si no hay ninguna).
QStringList ranurasHastaFinal() {
  QStringList r;
  for (int i = 1; i < RanurasTextBuffer; ++i) {
    r << QuitarBlancosDerecha(TextBuffer[i].texto());
    if (r.back() == QStringLiteral("**"))
      break;
  }
  return r;
}

// Lo que la carga contó: las líneas cambiantes en orden y cuántas veces dijo
// que había terminado (y si lo dijo después de las líneas).
struct Informes {
  std::vector<int> lineas;
  int completas = 0;
  bool lineaTrasCompleta = false;
  InformeCarga informe() {
    return {[this](int n) {
              lineas.push_back(n);
              if (completas > 0)
                lineaTrasCompleta = true;
            },
            [this] { ++completas; }};
  }
};

void ensuciarBuffer() {
  for (int i = 1; i < RanurasTextBuffer; ++i)
    TextBuffer[i] = QStringLiteral("*D resto de otra carga %1").arg(i);
}

const std::array<QString, 6> Puestos = {
    QStringLiteral("al comienzo"),         QStringLiteral("en el segundo puesto"),
    QStringLiteral("en el tercer puesto"), QStringLiteral("en el cuarto puesto"),
    QStringLiteral("en el quinto puesto"), QStringLiteral("arriba")};
} // namespace

class PruebaAlmacen : public QObject {
  Q_OBJECT

private slots:
  void init() {
    PrepararEstado(false);
    listaDeUnaFila();
    ensuciarBuffer();
  }

  // --- Carga -------------------------------------------------------------

  // Con cada juego de líneas cambiantes: las marcas que quedan en el buffer,
  // en orden, con "**" justo tras el último texto guardado, y cuántas
  // ranuras ocupa.
  void cargaSoloDeLasLineasQueCambian_data() {
    QTest::addColumn<QString>("lineas");
    QTest::addColumn<QStringList>("marcas");
    QTest::addColumn<int>("ranuras");
    const QStringList secciones{QStringLiteral("*D"), QStringLiteral("*C"), QStringLiteral("*I")};
    const QString fin = QStringLiteral("**");
    QTest::newRow("ninguna") << QStringLiteral("787878") << secciones + QStringList{fin} << 13;
    // La 1: "**" va sobre la marca de la 6, tras saltar las de 2 a 5.
    QTest::newRow("sólo la 1") << QStringLiteral("987878")
                               << secciones + QStringList{QStringLiteral("*L1"), fin} << 17;
    // La 6: su marca ocupa la ranura de la 1 y el "**" es el del fichero.
    QTest::newRow("sólo la 6") << QStringLiteral("787876")
                               << secciones + QStringList{QStringLiteral("*L6"), fin} << 17;
    QTest::newRow("2, 5 y 6") << QStringLiteral("797799")
                              << secciones + QStringList{QStringLiteral("*L2"), QStringLiteral("*L5"),
                                                         QStringLiteral("*L6"), fin}
                              << 25;
    QStringList todas = secciones;
    for (int l = 1; l <= 6; ++l)
      todas << QStringLiteral("*L%1").arg(l);
    QTest::newRow("las seis") << QStringLiteral("969696") << todas + QStringList{fin} << 37;
  }
  void cargaSoloDeLasLineasQueCambian() {
    QFETCH(QString, lineas);
    QFETCH(QStringList, marcas);
    QFETCH(int, ranuras);
    // Cualquier dibujo lee el único bloque del almacén de la prueba.
    listaDeUnaFila();
    HexagramList[1][3] = PatronEstable(lineas).left(3);
    HexagramList[1][2] = PatronEstable(lineas).mid(3);
    Informes inf;
    CargarBufferDe(almacen(bloqueCompleto()), lineas, inf.informe());
    const QStringList r = ranurasHastaFinal();
    QCOMPARE(r.size(), ranuras);
    QStringList vistas;
    std::vector<int> esperadas;
    for (const QString& s : r)
      if (s.startsWith(QLatin1Char('*')))
        vistas << s;
    QCOMPARE(vistas, marcas);
    for (const QString& m : marcas)
      if (m.startsWith(QStringLiteral("*L")))
        esperadas.push_back(m.mid(2).toInt());
    QCOMPARE(inf.lineas, esperadas);
    QCOMPARE(inf.completas, 1);
    QVERIFY(!inf.lineaTrasCompleta);
    // Cada línea que cambia da su enunciado y su interpretación; las demás,
    // dos textos vacíos.
    for (int l = 1; l <= 6; ++l) {
      const TextoLinea t = ExtraerLinea(QStringLiteral("L%1").arg(l));
      const bool cambia = EsCambiante(lineas[l - 1]);
      QCOMPARE(t.enunciado,
               cambia ? QStringLiteral("   Nueve en el puesto %1 continúa %1").arg(l) : QString());
      QCOMPARE(t.interpretacion, cambia ? QStringLiteral("   INTERPRETACIÓN: la %1").arg(l) : QString());
    }
    QCOMPARE(ExtraerSeccion(QStringLiteral("C")),
             QStringLiteral("   Primero de C") + CRLF + CRLF + QStringLiteral("   Segundo de C sigue C"));
  }

  void marcaDeLineaEnMinusculas() {
    // La carga reconoce "*l" en cualquier caso; la extracción compara exacto.
    QStringList b = bloqueCompleto();
    b[b.indexOf(QStringLiteral("*L3"))] = QStringLiteral("*l3");
    Informes inf;
    CargarBufferDe(almacen(b), QStringLiteral("777777"), inf.informe());
    QCOMPARE(ranurasHastaFinal().size(), 13);
    CargarBufferDe(almacen(b), QStringLiteral("779777"), inf.informe());
    QCOMPARE(inf.lineas, std::vector<int>{3});
    QVERIFY(ranurasHastaFinal().contains(QStringLiteral("*l3")));
    QVERIFY(ExtraerLinea(QStringLiteral("L3")).enunciado.isEmpty());
  }

  void marcaDeLineaSinNumeroValido() {
    // Una marca "*L" sin número de línea no se cuenta a quien llama: su
    // botón no existe.
    QStringList b = bloqueCompleto();
    b.insert(b.indexOf(QStringLiteral("*L1")), QStringLiteral("*L9 rara"));
    b.insert(b.indexOf(QStringLiteral("*L1")), QStringLiteral("*L"));
    Informes inf;
    CargarBufferDe(almacen(b), QStringLiteral("999999"), inf.informe());
    QCOMPARE(inf.lineas, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    QCOMPARE(inf.completas, 1);
  }

  void mismaCargaDosVeces() {
    const QByteArray a = almacen(bloqueCompleto());
    CargarBufferDe(a, QStringLiteral("969696"), {});
    const QStringList primera = ranurasHastaFinal();
    // Entre medias, otro hexagrama deja restos más allá de su "**".
    CargarBufferDe(a, QStringLiteral("999999"), {});
    CargarBufferDe(a, QStringLiteral("969696"), {});
    QCOMPARE(ranurasHastaFinal(), primera);
    QCOMPARE(primera.back(), QStringLiteral("**"));
  }

  // --- Ficheros cortos, ausentes o desmedidos ------------------------------

  void ficheroVacioOAusente() {
    Informes inf;
    CargarBufferDe(QByteArray(), QStringLiteral("999999"), inf.informe());
    QCOMPARE(ranurasHastaFinal(), QStringList{QStringLiteral("**")});
    QVERIFY(ExtraerSeccion(QStringLiteral("D")).isEmpty());
    QVERIFY(inf.lineas.empty());
    QCOMPARE(inf.completas, 1);

    // Sin BINARIO.DAT en la carpeta del programa: textos vacíos, sin mensaje.
    CarpetaPrueba carpeta(false);
    ensuciarBuffer();
    Informes sinFichero;
    CargarBuffer(QStringLiteral("777777"), sinFichero.informe());
    QCOMPARE(sinFichero.completas, 1);
    QVERIFY(ExtraerSeccion(QStringLiteral("D")).isEmpty());
    QVERIFY(ExtraerSeccion(QStringLiteral("C")).isEmpty());
    QVERIFY(GuionMensajes::mostrados().empty());
  }

  void ficheroCortado() {
    // El fichero acaba en medio de COMENTARIO, a mitad de un registro: lo
    // leído se guarda y la marca final va en la ranura siguiente, para que
    // no asomen restos de otra carga.
    QByteArray a = almacen(bloqueCompleto());
    a.truncate(80 * 7 + 9);
    Informes inf;
    CargarBufferDe(a, QStringLiteral("999999"), inf.informe());
    const QStringList r = ranurasHastaFinal();
    QCOMPARE(r.size(), 8);
    QCOMPARE(r[5], QStringLiteral("   Primero de C"));
    QCOMPARE(r[6], QStringLiteral("   Segund"));
    QCOMPARE(r[7], QStringLiteral("**"));
    QCOMPARE(inf.completas, 1);
    QCOMPARE(ExtraerSeccion(QStringLiteral("D")),
             QStringLiteral("   Primero de D") + CRLF + CRLF + QStringLiteral("   Segundo de D sigue D"));
    QVERIFY(ExtraerSeccion(QStringLiteral("I")).isEmpty());

    // Acaba mientras se saltan las líneas que no cambian.
    a = almacen(bloqueCompleto());
    a.truncate(80 * 20);
    CargarBufferDe(a, QStringLiteral("777779"), {});
    QCOMPARE(ranurasHastaFinal().size(), 13);
    QCOMPARE(ranurasHastaFinal().back(), QStringLiteral("**"));
  }

  void posicionFueraDelFichero() {
    for (const QString& p : {QStringLiteral("999999"), QStringLiteral("-400"), QStringLiteral("1e9"),
                             QStringLiteral("99999999999999999999999"), QStringLiteral("abc")}) {
      listaDeUnaFila(p);
      ensuciarBuffer();
      Informes inf;
      CargarBufferDe(almacen(bloqueCompleto()), QStringLiteral("777777"), inf.informe());
      QCOMPARE(inf.completas, 1);
      QVERIFY2(!ranurasHastaFinal().isEmpty() && ranurasHastaFinal().size() <= 100, qPrintable(p));
    }
    // "abc" se lee como 0: el bloque empieza a mitad de un registro y no hay
    // nada que reconocer hasta el final; la lectura no se sale del fichero.
    QCOMPARE(ranurasHastaFinal().back(), QStringLiteral("**"));
  }

  void bloqueMayorQueElBuffer() {
    QStringList b{QStringLiteral("*D")};
    for (int i = 1; i <= 150; ++i)
      b << QStringLiteral("registro %1").arg(i);
    b << QStringLiteral("*C") << QStringLiteral("   comentario") << QStringLiteral("**");
    Informes inf;
    CargarBufferDe(almacen(b), QStringLiteral("777777"), inf.informe());
    // La carga se corta: la última ranura recibe la marca final.
    const QStringList r = ranurasHastaFinal();
    QCOMPARE(r.size(), 100);
    QCOMPARE(r[98], QStringLiteral("registro 98"));
    QCOMPARE(r[99], QStringLiteral("**"));
    QCOMPARE(inf.completas, 1);
    const QString d = ExtraerSeccion(QStringLiteral("D"));
    QVERIFY(d.startsWith(QStringLiteral("registro 1 registro 2 ")));
    QVERIFY(d.endsWith(QStringLiteral(" registro 98")));

    // Exactamente 100 registros y el fin del fichero: también acaba en "**".
    b = QStringList{QStringLiteral("*D")};
    for (int i = 1; i <= 99; ++i)
      b << QStringLiteral("registro %1").arg(i);
    CargarBufferDe(almacen(b), QStringLiteral("777777"), {});
    QCOMPARE(ranurasHastaFinal().size(), 100);
    QCOMPARE(ranurasHastaFinal().back(), QStringLiteral("**"));
  }

  // --- Extracción ----------------------------------------------------------

  void reglaDeUnion() {
    const QStringList b{QStringLiteral("*D"),
                        QStringLiteral("   Primer párrafo,"),
                        QStringLiteral("que sigue en otro registro."),
                        QStringLiteral("   Segundo párrafo."),
                        QStringLiteral("*C"),
                        QStringLiteral("   "), // un registro en blanco antes del texto
                        QStringLiteral("   Comentario."),
                        QStringLiteral("*I"),
                        QStringLiteral("Imagen sin sangría"),
                        QStringLiteral("   y párrafo."),
                        QStringLiteral("**")};
    CargarBufferDe(almacen(b), QStringLiteral("777777"), {});
    // Los párrafos se separan con una línea en blanco y el texto no empieza
    // por ella; dentro de un párrafo, un blanco entre registros.
    QCOMPARE(ExtraerSeccion(QStringLiteral("D")), QStringLiteral("   Primer párrafo, que sigue en otro "
                                                                 "registro.\r\n\r\n   Segundo párrafo."));
    QCOMPARE(ExtraerSeccion(QStringLiteral("C")), QStringLiteral("   Comentario."));
    QCOMPARE(ExtraerSeccion(QStringLiteral("I")), QStringLiteral("Imagen sin sangría\r\n\r\n   y párrafo."));
  }

  void interpretacionEnMinusculasTrasBlancos() {
    const QStringList b{QStringLiteral("*D"),
                        QStringLiteral("   d"),
                        QStringLiteral("*C"),
                        QStringLiteral("*I"),
                        QStringLiteral("*L1"),
                        QStringLiteral("   Seis al comienzo significa: algo."),
                        QStringLiteral("      interpretación: en minúsculas"),
                        QStringLiteral("y sigue."),
                        QStringLiteral("*L2"),
                        QStringLiteral("   Sólo enunciado, sin su segunda parte."),
                        QStringLiteral("*L3"),
                        QStringLiteral("   Las interpretaciones no empiezan aquí,"),
                        QStringLiteral("interpretacion sin tilde tampoco."),
                        QStringLiteral("   Interpretación: aquí sí."),
                        QStringLiteral("**")};
    CargarBufferDe(almacen(b), QStringLiteral("999777"), {});
    const TextoLinea l1 = ExtraerLinea(QStringLiteral("L1"));
    QCOMPARE(l1.enunciado, QStringLiteral("   Seis al comienzo significa: algo."));
    QCOMPARE(l1.interpretacion, QStringLiteral("      interpretación: en minúsculas y sigue."));
    const TextoLinea l2 = ExtraerLinea(QStringLiteral("L2"));
    QCOMPARE(l2.enunciado, QStringLiteral("   Sólo enunciado, sin su segunda parte."));
    QVERIFY(l2.interpretacion.isEmpty());
    const TextoLinea l3 = ExtraerLinea(QStringLiteral("L3"));
    QCOMPARE(l3.enunciado,
             QStringLiteral("   Las interpretaciones no empiezan aquí, interpretacion sin tilde tampoco."));
    // La interpretación empieza su propio texto: sin línea en blanco delante.
    QCOMPARE(l3.interpretacion, QStringLiteral("   Interpretación: aquí sí."));
    // Una sección vacía da un texto vacío.
    QVERIFY(ExtraerSeccion(QStringLiteral("C")).isEmpty());
  }

  void decisionParaEnLaSiguienteMarcaYEnElFinal() {
    // Cualquier registro que empiece por "*" cierra la sección.
    QStringList b{QStringLiteral("*D"), QStringLiteral("   decisión"), QStringLiteral("*C"),
                  QStringLiteral("   comentario"), QStringLiteral("**")};
    CargarBufferDe(almacen(b), QStringLiteral("777777"), {});
    QCOMPARE(ExtraerSeccion(QStringLiteral("D")), QStringLiteral("   decisión"));
    QCOMPARE(ExtraerSeccion(QStringLiteral("C")), QStringLiteral("   comentario"));

    // El final "**" también, aunque detrás queden registros de otra carga.
    for (int i = 1; i < RanurasTextBuffer; ++i)
      TextBuffer[i] = QString();
    TextBuffer[1] = QStringLiteral("*D");
    TextBuffer[2] = QStringLiteral("   decisión");
    TextBuffer[3] = QStringLiteral("**");
    TextBuffer[4] = QStringLiteral("resto de una carga anterior");
    TextBuffer[5] = QStringLiteral("*C");
    TextBuffer[6] = QStringLiteral("   comentario viejo");
    QCOMPARE(ExtraerSeccion(QStringLiteral("D")), QStringLiteral("   decisión"));
    QVERIFY(ExtraerSeccion(QStringLiteral("C")).isEmpty());
  }

  // --- El almacén que se genera con el programa -----------------------------

  void almacenGenerado() {
    CarpetaPrueba carpeta(true);
    PrepararEstado(true);
    QFile f(carpeta.fichero(QStringLiteral("BINARIO.DAT")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    int conFuente = 0;
    for (int k = 1; k <= 64; ++k) {
      if (!QFile::exists(QDir(QStringLiteral(KORVAL_FUENTES_TEXTOS))
                             .filePath(QStringLiteral("%1.txt").arg(k, 2, 10, QLatin1Char('0')))))
        continue;
      ++conFuente;
      const QString dibujo = HexagramList[k][3] + HexagramList[k][2];
      QString cambiantes = dibujo;
      cambiantes.replace(QLatin1Char('7'), QLatin1Char('9')).replace(QLatin1Char('8'), QLatin1Char('6'));
      QCOMPARE(HexagramNumber(cambiantes), k);

      // La carga del fichero real (por su nombre en minúsculas) y la del
      // contenido dan lo mismo.
      ensuciarBuffer();
      Informes inf;
      CargarBuffer(cambiantes, inf.informe());
      const QStringList r = ranurasHastaFinal();
      ensuciarBuffer();
      CargarBufferDe(bytes, cambiantes, {});
      QCOMPARE(ranurasHastaFinal(), r);

      // Con las seis líneas cambiantes cabe entero, con su "**" como mucho
      // en la ranura 99: así se imprime siempre.
      const QString que = QStringLiteral("hexagrama %1").arg(k);
      QVERIFY2(r.back() == QStringLiteral("**") && r.size() <= 99, qPrintable(que));
      QCOMPARE(inf.lineas, (std::vector<int>{1, 2, 3, 4, 5, 6}));
      for (const char* s : {"D", "C", "I"}) {
        const QString t = ExtraerSeccion(QString::fromLatin1(s));
        QVERIFY2(t.startsWith(QStringLiteral("   ")) && t.size() > 200,
                 qPrintable(que + QLatin1Char(' ') + s));
        QVERIFY2(!t.contains(QLatin1Char('*')), qPrintable(que));
      }
      for (int l = 1; l <= 6; ++l) {
        const TextoLinea t = ExtraerLinea(QStringLiteral("L%1").arg(l));
        const QString formula =
            QStringLiteral("   %1 %2 significa:")
                .arg(dibujo[l - 1] == QLatin1Char('7') ? QStringLiteral("Nueve") : QStringLiteral("Seis"),
                     Puestos[l - 1]);
        QVERIFY2(t.enunciado.startsWith(formula),
                 qPrintable(que + QStringLiteral(", línea %1: ").arg(l) + t.enunciado.left(50)));
        QVERIFY2(t.interpretacion.startsWith(QStringLiteral("   INTERPRETACIÓN")),
                 qPrintable(que + QStringLiteral(", línea %1").arg(l)));
        QVERIFY(!t.enunciado.contains(QStringLiteral("INTERPRETACIÓN")));
      }
    }
    QVERIFY(conFuente > 0);
  }
};

QTEST_GUILESS_MAIN(PruebaAlmacen)
#include "test_almacen.moc"
