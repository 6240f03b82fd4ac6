// La herramienta de datos: lo que genera y cómo rechaza un dato mal formado,
// nombrando fichero y línea.
#include "apoyo/Apoyo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {
const QString FuentesData = QStringLiteral(KORVAL_FUENTES_DATA);

// Una copia de data/ que cada caso puede estropear a su manera.
struct CopiaData {
  QTemporaryDir dir;
  CopiaData() {
    QDirIterator it(FuentesData, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString origen = it.next(), destino = data(QDir(FuentesData).relativeFilePath(origen));
      QDir().mkpath(QFileInfo(destino).path());
      QFile::copy(origen, destino);
    }
  }
  QString data(const QString& rel = QString()) const { return QDir(dir.path() + "/data").filePath(rel); }
  QString salida(const QString& rel = QString()) const { return QDir(dir.path() + "/salida").filePath(rel); }
  QString leer(const QString& rel) const { return QString::fromUtf8(LeerTodo(data(rel))); }
  bool escribir(const QString& rel, const QString& t) const { return EscribirTodo(data(rel), t.toUtf8()); }
  // El código de salida y lo que dice por la salida de errores; -1 si no acabó por sí misma, a tiempo.
  std::pair<int, QString> generar() const {
    QProcess p;
    p.start(QStringLiteral(KORVAL_HERRAMIENTA_DATOS), {data(), salida()});
    const bool acabo = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit;
    return {acabo ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
  }
};
} // namespace

class PruebaDatos : public QObject {
  Q_OBJECT
private slots:
  // Los casos están en rechazos.txt, que explica sus columnas.
  void rechazaCadaDatoMalFormado_data() {
    QTest::addColumn<QStringList>("caso");
    QFile f(QStringLiteral(KORVAL_RECHAZOS));
    QVERIFY(f.open(QIODevice::ReadOnly));
    for (QString fila : QString::fromUtf8(f.readAll()).split(u'\n'))
      if (!fila.isEmpty() && !fila.startsWith(u'#'))
        QTest::newRow(qPrintable(fila.section(u'\t', 0, 0)))
            << fila.replace(u"\\n"_s, u"\n"_s).split(u'\t').mid(1);
  }

  void rechazaCadaDatoMalFormado() {
    QFETCH(QStringList, caso);
    QCOMPARE(caso.size(), 5);
    const QString &fichero = caso[0], &de = caso[1], &mensaje = caso[3];
    CopiaData c;
    const QString antes = c.leer(fichero);
    QVERIFY2(antes.contains(de), qPrintable(de));
    const int linea = int(antes.left(antes.indexOf(de)).count(u'\n')) + 1;
    QVERIFY(c.escribir(fichero, QString(antes).replace(antes.indexOf(de), de.size(), caso[2])));
    const auto [codigo, errores] = c.generar();
    QCOMPARE(codigo, 1);
    // Lo dice en el fichero y en una línea a `holgura` de la cambiada (-1: en cualquiera); con
    // holgura 0, esa línea no tiene otra falta. No deja ficheros a medias.
    const int holgura = caso[4].toInt();
    bool dicho = false, soloEso = true;
    const auto faltas = QRegularExpression(QRegularExpression::escape(fichero) + u":(\\d+): error: (.*)"_s);
    for (auto it = faltas.globalMatch(errores); it.hasNext();) {
      const auto m = it.next();
      const int l = m.captured(1).toInt();
      dicho |= l >= 1 && (holgura < 0 || std::abs(l - linea) <= holgura) && m.captured(2).contains(mensaje);
      soloEso &= holgura != 0 || l != linea || m.captured(2).contains(mensaje);
    }
    QVERIFY2(dicho && soloEso, qPrintable(errores));
    QVERIFY(!QFile::exists(c.salida(u"BINARIO.DAT"_s)));
  }

  // Lo que genera: los cuatro ficheros, cada hexagrama en su región de 8000 bytes (cómo acaba cada
  // bloque y qué dicen las listas, en las pruebas del almacén y del núcleo). El bloque más largo que
  // se acepta es de 99 registros con su "**": así cabe entero en el buffer y se imprime.
  void generaConSusLimites() {
    CopiaData c;
    QCOMPARE(c.generar(), std::pair(0, QString()));
    const QByteArray b = LeerTodo(c.salida(u"BINARIO.DAT"_s));
    QCOMPARE(b.size(), 64 * 8000);
    for (int k = 0; k < 64; ++k) {
      const QByteArray region = b.mid(k * 8000, 8000);
      QVERIFY(region.startsWith("HEXAGRAMA " + QByteArray::number(k + 1) + " "));
      QCOMPARE(region.mid(80, 2), QByteArray("*D"));
      QVERIFY(!region.contains('\n'));
    }
    const QList<QByteArray> filas = LeerTodo(c.salida(u"hexagr.kvl"_s)).split('\n');
    QCOMPARE(filas[0], QByteArray("1,\"777\",\"777\",\"Ch'ien\",\"La fuerza creadora\",1\r"));
    QVERIFY(QFile::exists(c.salida(u"trigr.kvl"_s)) && QFile::exists(c.salida(u"KORVAL.HLP"_s)));
    // El hexagrama de bloque más largo y sus registros, hasta "**" incluido.
    int hexagrama = 0, registros = 0;
    for (int k = 0; k < 64; ++k)
      if (const int r = int(b.indexOf("**", k * 8000) - k * 8000) / 80; r > registros)
        hexagrama = k + 1, registros = r;
    const QString fichero = QStringLiteral("textos/%1.txt").arg(hexagrama, 2, 10, QLatin1Char('0'));
    const QString texto = c.leer(fichero);
    for (int total : {99, 100}) { // cada párrafo corto añade un registro
      const QString calma = u"Calma.\n\n"_s.repeated(total - registros);
      QVERIFY(c.escribir(fichero, QString(texto).replace(u"[DECISION]\n"_s, u"[DECISION]\n"_s + calma)));
      const auto [codigo, errores] = c.generar();
      QCOMPARE(codigo, total > 99 ? 1 : 0);
      QVERIFY2(errores.contains(u"ocupa 100 registros y caben 99"_s) == (total > 99), qPrintable(errores));
    }
    QVERIFY(c.escribir(fichero, texto));
    QVERIFY(QFile::remove(c.data(QStringLiteral("textos/64.txt"))));
    const auto [codigo, errores] = c.generar();
    QCOMPARE(codigo, 1);
    QVERIFY2(errores.contains(u"64.txt"_s) && errores.contains(u"falta el texto del hexagrama 64"_s),
             qPrintable(errores));
  }
};

QTEST_GUILESS_MAIN(PruebaDatos)
#include "test_datos.moc"
