// La herramienta de datos: lo que genera y cómo rechaza un dato mal formado,
// nombrando fichero y línea.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <vector>

namespace {
const QString Herramienta = QStringLiteral(KORVAL_HERRAMIENTA_DATOS);
const QString FuentesData = QStringLiteral(KORVAL_FUENTES_DATA);

struct Resultado {
  int codigo;
  QString errores;
};

// Una copia de data/ que cada caso puede estropear a su manera.
class CopiaData {
public:
  CopiaData() {
    QDirIterator it(FuentesData, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString origen = it.next();
      const QString destino = data(QDir(FuentesData).relativeFilePath(origen));
      QDir().mkpath(QFileInfo(destino).path());
      QFile::copy(origen, destino);
    }
  }
  QString data(const QString& rel = QString()) const { return QDir(dir_.path() + "/data").filePath(rel); }
  QString salida(const QString& rel = QString()) const { return QDir(dir_.path() + "/salida").filePath(rel); }

  QString leer(const QString& rel) const {
    QFile f(data(rel));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
  }
  void escribir(const QString& rel, const QString& texto) const {
    QFile f(data(rel));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(texto.toUtf8());
  }
  void cambiar(const QString& rel, const QString& de, const QString& a) const {
    const QString antes = leer(rel);
    QVERIFY2(antes.contains(de), qPrintable(de));
    QString despues = antes;
    despues.replace(antes.indexOf(de), de.size(), a);
    escribir(rel, despues);
  }
  Resultado generar() const {
    QProcess p;
    p.start(Herramienta, {data(), salida()});
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
  }

private:
  QTemporaryDir dir_;
};

// Número de línea (desde 1) de la primera aparición de `texto`.
int lineaDe(const QString& contenido, const QString& texto) {
  return int(contenido.left(contenido.indexOf(texto)).count(QLatin1Char('\n'))) + 1;
}
} // namespace

class PruebaDatos : public QObject {
  Q_OBJECT
private slots:
  void generaLosCuatroFicheros() {
    CopiaData c;
    const Resultado r = c.generar();
    QCOMPARE(r.codigo, 0);
    QCOMPARE(r.errores, QString());
    QFile binario(c.salida(QStringLiteral("BINARIO.DAT")));
    QVERIFY(binario.open(QIODevice::ReadOnly));
    const QByteArray b = binario.readAll();
    QCOMPARE(b.size(), 64 * 8000);
    for (int k = 0; k < 64; ++k) {
      const QByteArray region = b.mid(k * 8000, 8000);
      QVERIFY(region.startsWith("HEXAGRAMA " + QByteArray::number(k + 1) + " "));
      QCOMPARE(region.mid(80, 2), QByteArray("*D"));
      QVERIFY(region.contains("\n") == false);
      // El bloque acaba en su marca final antes del registro 100.
      bool fin = false;
      for (int rec = 1; rec < 100; ++rec)
        if (region.mid(rec * 80, 80) == "**" + QByteArray(78, ' '))
          fin = true;
      QVERIFY(fin);
    }
    QFile hexagr(c.salida(QStringLiteral("hexagr.kvl")));
    QVERIFY(hexagr.open(QIODevice::ReadOnly));
    const QList<QByteArray> filas = hexagr.readAll().split('\n');
    QCOMPARE(filas[0], QByteArray("1,\"777\",\"777\",\"Ch'ien\",\"La fuerza creadora\",1\r"));
    QVERIFY(filas[2].startsWith("3,\"878\",\"788\",\"Chun\""));
    QVERIFY(filas[63].endsWith(",504001\r"));
    QFile trigr(c.salida(QStringLiteral("trigr.kvl")));
    QVERIFY(trigr.open(QIODevice::ReadOnly));
    QVERIFY(trigr.readAll().contains(
        "\"Ch\xEAn\",\"el Trueno que despierta\",788,786,768,766,988,986,968,966\r\n"));
    QVERIFY(QFile::exists(c.salida(QStringLiteral("KORVAL.HLP"))));
  }

  void rechazaCadaDatoMalFormado_data() {
    QTest::addColumn<QString>("fichero");
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("mensaje");
    // Cuánto puede alejarse la línea del error de la del cambio; -1 cuando el
    // fallo es de la sección entera y señala la línea de su marca.
    QTest::addColumn<int>("holgura");
    QTest::newRow("falta un campo") << "hexagramas.txt"
                                    << "7  | K'un   | K'an   | Shih        | Las tropas"
                                    << "7  | K'un   | K'an   | Shih"
                                    << "campos" << 3;
    QTest::newRow("dibujo repetido") << "hexagramas.txt"
                                     << "8  | K'an   | K'un"
                                     << "8  | K'un   | K'an"
                                     << "ya es de otro hexagrama" << 3;
    QTest::newRow("clave equivocada") << "trigramas.txt"
                                      << "| 788"
                                      << "| 789"
                                      << "tres líneas" << 3;
    QTest::newRow("clave repetida") << "trigramas.txt"
                                    << "| 788"
                                    << "| 878"
                                    << "se repite" << 3;
    QTest::newRow("fuera de Windows-1252") << "textos/05.txt"
                                           << "[COMENTARIO]\n"
                                           << "[COMENTARIO]\nEl ☯ dice.\n"
                                           << "Windows-1252" << 3;
    QTest::newRow("falta una sección") << "textos/12.txt"
                                       << "[IMAGEN]"
                                       << "[IMAGENES]"
                                       << "se esperaba la marca [IMAGEN]" << 3;
    QTest::newRow("párrafo sin punto") << "textos/20.txt"
                                       << "[COMENTARIO]\n"
                                       << "[COMENTARIO]\nSin punto final\n\n"
                                       << "no termina en punto" << 3;
    QTest::newRow("sin interpretación") << "textos/33.txt"
                                        << "INTERPRETACIÓN:"
                                        << "Además:"
                                        << "no tiene su párrafo" << -1;
    QTest::newRow("palabra enorme") << "textos/41.txt"
                                    << "[IMAGEN]\n"
                                    << "[IMAGEN]\n" + QString(90, QLatin1Char('a')) + ".\n\n"
                                    << "no cabe en un registro" << 3;
    QTest::newRow("fórmula de la línea") << "textos/01.txt"
                                         << "Nueve al comienzo significa:"
                                         << "Seis al comienzo significa:"
                                         << "debe empezar por" << 3;
    // La norma de los textos: cada variante descartada, en la línea exacta
    // donde cae, también dentro de un párrafo de varias líneas.
    QTest::newRow("fórmula descartada") << "textos/07.txt"
                                        << "en los carros. Mal augurio."
                                        << "en los carros. Desventura."
                                        << "«Desventura» no es de la norma" << 0;
    QTest::newRow("éxito en el dictamen") << "textos/10.txt"
                                          << "no muerde a nadie."
                                          << "no muerde a nadie. Éxito."
                                          << "«Éxito» no es de la norma" << 0;
    QTest::newRow("nosotros en un ensayo") << "textos/30.txt"
                                           << "todos los que lo rodean."
                                           << "todos los que nos rodean."
                                           << "«nos» no es de la norma" << 0;
    QTest::newRow("le por lo") << "textos/28.txt"
                               << "nadie lo acompañe"
                               << "nadie le acompañe"
                               << "«le acompañe» no es de la norma" << 0;
    QTest::newRow("mayúscula tras los dos puntos") << "textos/01.txt"
                                                   << "significa: el dragón yace"
                                                   << "significa: El dragón yace"
                                                   << "minúscula: «El»" << 0;
    QTest::newRow("apertura de la IMAGEN") << "textos/33.txt"
                                           << "El cielo sobre la montaña:"
                                           << "La montaña bajo el cielo:"
                                           << "empieza por «El cielo sobre la montaña:»" << 0;
    QTest::newRow("romanización") << "textos/03.txt"
                                  << "Chên, el Trueno que despierta, empuja"
                                  << "Chen, el Trueno que despierta, empuja"
                                  << "«Chen» se escribe «Chên»" << 0;
  }

  void rechazaCadaDatoMalFormado() {
    QFETCH(QString, fichero);
    QFETCH(QString, de);
    QFETCH(QString, a);
    QFETCH(QString, mensaje);
    QFETCH(int, holgura);
    CopiaData c;
    const int linea = lineaDe(c.leer(fichero), de);
    c.cambiar(fichero, de, a);
    const Resultado r = c.generar();
    QCOMPARE(r.codigo, 1);
    QVERIFY2(r.errores.contains(mensaje), qPrintable(r.errores));
    // El mensaje nombra el fichero y una línea, y no deja ficheros a medias.
    const QRegularExpression forma(QRegularExpression::escape(fichero) + QStringLiteral(":(\\d+): error: "));
    const auto m = forma.match(r.errores);
    QVERIFY2(m.hasMatch(), qPrintable(r.errores));
    QVERIFY(m.captured(1).toInt() >= 1);
    if (holgura >= 0)
      QVERIFY2(std::abs(m.captured(1).toInt() - linea) <= holgura, qPrintable(r.errores));
    QVERIFY(!QFile::exists(c.salida(QStringLiteral("BINARIO.DAT"))));
  }

  void faltaUnTexto() {
    CopiaData c;
    QFile::remove(c.data(QStringLiteral("textos/64.txt")));
    const Resultado r = c.generar();
    QCOMPARE(r.codigo, 1);
    QVERIFY(r.errores.contains(QStringLiteral("64.txt")));
    QVERIFY(r.errores.contains(QStringLiteral("falta el texto del hexagrama 64")));
  }

  // El bloque más largo que se acepta: 99 registros con su "**", así cabe
  // entero en el buffer y se imprime; uno más se rechaza. Y una línea con dos
  // párrafos de interpretación, también.
  void limitesDelBloqueYDeLaInterpretacion() {
    CopiaData c;
    QCOMPARE(c.generar().codigo, 0);
    QFile binario(c.salida(QStringLiteral("BINARIO.DAT")));
    QVERIFY(binario.open(QIODevice::ReadOnly));
    const QByteArray b = binario.readAll();
    // El hexagrama de bloque más largo y sus registros, hasta "**" incluido.
    int hexagrama = 0, registros = 0;
    for (int k = 0; k < 64; ++k)
      for (int r = 1; r < 100; ++r)
        if (b.mid(k * 8000 + r * 80, 2) == "**") {
          if (r > registros)
            hexagrama = k + 1, registros = r;
          break;
        }
    const QString fichero = QStringLiteral("textos/%1.txt").arg(hexagrama, 2, 10, QLatin1Char('0'));
    const QString texto = c.leer(fichero);
    for (int total : {99, 100}) {
      // Cada párrafo corto añade un registro.
      c.escribir(fichero,
                 QString(texto).replace(QStringLiteral("[DECISION]\n"),
                                        QStringLiteral("[DECISION]\n") +
                                            QStringLiteral("Calma.\n\n").repeated(total - registros)));
      const Resultado r = c.generar();
      QCOMPARE(r.codigo, total > 99 ? 1 : 0);
      QVERIFY2(r.errores.contains(QStringLiteral("ocupa 100 registros y caben 99")) == (total > 99),
               qPrintable(r.errores));
    }
    // Lo que partiría el texto de una línea: dos interpretaciones, o un
    // registro en medio de un párrafo que empieza por «interpretación» (la
    // nota llena justo el primer registro); y la fórmula de otro puesto.
    const QString nota =
        QStringLiteral("Una nota al margen, escrita para que ocupe justo el primer registro entero, y");
    const std::vector<std::array<QString, 3>> rechazos{
        {QStringLiteral("\nINTERPRETACIÓN:"),
         QStringLiteral("\nINTERPRETACIÓN: otra más.\n\nINTERPRETACIÓN:"),
         QStringLiteral("[LINEA 1] tiene dos párrafos INTERPRETACIÓN")},
        {QStringLiteral("\nINTERPRETACIÓN:"),
         u'\n' + nota + QStringLiteral(" interpretación aparte.\n\nINTERPRETACIÓN:"),
         QStringLiteral("un registro no puede empezar por «interpretación»")},
        {QStringLiteral("al comienzo significa:"), QStringLiteral("en el segundo puesto significa:"),
         QStringLiteral("la línea 1 debe empezar por")}};
    for (const auto& [de, a, mensaje] : rechazos) {
      c.escribir(fichero, QString(texto).replace(de, a));
      const Resultado r = c.generar();
      QCOMPARE(r.codigo, 1);
      QVERIFY2(r.errores.contains(mensaje), qPrintable(r.errores));
    }
  }
};

QTEST_GUILESS_MAIN(PruebaDatos)
#include "test_datos.moc"
