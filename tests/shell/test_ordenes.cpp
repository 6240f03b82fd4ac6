// La línea de órdenes: lo que se decide antes de abrir ninguna ventana, y el programa construido
// arrancado sin escritorio gráfico.
#include "apoyo/Apoyo.h"
#include "archive/ArchivoConsultas.h"
#include "archive/Exportar.h"
#include "platform/Ficheros.h"
#include "shell/LineaOrdenes.h"

#include <QDir>
#include <QProcess>

namespace {
const QString SinEscritorio =
    u"KORVAL necesita un escritorio gráfico y no encuentra ninguno: no hay DISPLAY ni "
    u"WAYLAND_DISPLAY, ni una plataforma elegida con QT_QPA_PLATFORM o -platform."_s;

QProcessEnvironment Entorno(const QString& variable = {}, const QString& valor = {}) {
  QProcessEnvironment e;
  if (!variable.isEmpty())
    e.insert(variable, valor);
  return e;
}
} // namespace

class PruebaOrdenes : public QObject {
  Q_OBJECT
private slots:
  // Cada línea con su entorno: abrir las ventanas, o el estado de salida y la primera línea que se dice.
  void decisiones() {
    const QProcessEnvironment x11 = Entorno(u"DISPLAY"_s, u":0"_s), nada;
    const std::tuple<QStringList, QProcessEnvironment, QString> casos[] = {
        {{}, x11, u"abrir"_s},
        {{}, Entorno(u"WAYLAND_DISPLAY"_s, u"wayland-0"_s), u"abrir"_s},
        {{}, Entorno(u"QT_QPA_PLATFORM"_s, u"offscreen"_s), u"abrir"_s},
        {{u"-platform"_s, u"offscreen"_s, u"-style"_s, u"Fusion"_s, u"-reverse"_s}, nada, u"abrir"_s},
        {{}, Entorno(u"DISPLAY"_s, QString()), u"1: "_s + SinEscritorio},
        {{u"-style=Fusion"_s}, nada, u"1: "_s + SinEscritorio},
        {{u"--version"_s}, nada, u"0: KORVAL " KORVAL_VERSION ""_s},
        {{u"-h"_s}, nada, u"0: Uso: korval [OPCIÓN…]"_s},
        {{u"--nada"_s}, x11, u"2: korval: no hay ninguna opción «--nada»."_s},
        {{u"-platform"_s}, nada, u"2: korval: a la opción «-platform» le falta su valor."_s},
        {{u"--version=2"_s}, nada, u"2: korval: la opción «--version» no lleva valor."_s},
        {{u"--exportar"_s, u"a.csv"_s, u"--usuario"_s, u"Íñigo"_s}, nada, u"exportar a.csv Íñigo"_s},
        {{u"--exportar=b.html"_s, u"-platform"_s, u"xcb"_s}, nada, u"exportar b.html "_s},
        {{u"--usuario"_s, u"ana"_s},
         nada,
         u"2: korval: «--usuario» sólo vale junto con «--exportar FICHERO»."_s},
        {{u"--exportar"_s}, nada, u"2: korval: a la opción «--exportar» le falta su valor."_s},
        {{u"hola"_s}, x11, u"2: korval: no admite argumentos sueltos como «hola»."_s},
    };
    for (const auto& [argumentos, entorno, esperado] : casos) {
      const OrdenArranque o = LeerLineaOrdenes(QStringList{u"korval"_s} + argumentos, entorno);
      const QString dicho = (o.salida + o.errores).section(u'\n', 0, 0);
      QCOMPARE(o.que == OrdenArranque::Que::AbrirVentanas ? u"abrir"_s
               : o.que == OrdenArranque::Que::Exportar    ? u"exportar %1 %2"_s.arg(o.fichero, o.usuario)
                                                          : u"%1: %2"_s.arg(o.estado).arg(dicho),
               esperado);
      // Lo que pide la persona va a la salida; las quejas, a la de errores.
      QVERIFY(o.estado == 0 ? o.errores.isEmpty() : o.salida.isEmpty());
    }
  }

  // El programa de verdad, sin DISPLAY, WAYLAND_DISPLAY ni QT_QPA_PLATFORM: responde y sale, sin que Qt
  // aborte buscando una plataforma.
  void elProgramaSinEscritorio() {
    QTemporaryDir casa;
    QProcessEnvironment entorno = Entorno(u"HOME"_s, casa.path());
    entorno.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
    QString programa = QStringLiteral(KORVAL_PROGRAMA);
    const auto correr = [&](const QStringList& argumentos) {
      QProcess p;
      p.setProcessEnvironment(entorno);
      p.start(programa, argumentos);
      if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return u"no terminó"_s;
      }
      const auto primera = [](const QByteArray& b) { return QString::fromUtf8(b).section(u'\n', 0, 0); };
      return (p.exitStatus() == QProcess::NormalExit ? QString::number(p.exitCode()) : u"abortó"_s) + u' ' +
             primera(p.readAllStandardOutput()) + u" | "_s + primera(p.readAllStandardError());
    };
    QCOMPARE(correr({u"-platform"_s, u"offscreen"_s, u"--help"_s}), u"0 Uso: korval [OPCIÓN…] | "_s);
    QCOMPARE(correr({}), u"1  | "_s + SinEscritorio);
    QCOMPARE(correr({u"--nada"_s}), u"2  | korval: no hay ninguna opción «--nada»."_s);

    // Exportar no necesita escritorio, lee el archivo aunque otra copia tenga su candado, y nunca
    // sustituye un fichero ni escribe a través de un enlace. Una copia portátil lee el de su carpeta.
    QTemporaryDir carpeta;
    programa = carpeta.filePath(u"korval"_s);
    QVERIFY(QFile::copy(QStringLiteral(KORVAL_PROGRAMA), programa));
    for (const QString& n : {u"trigr.kvl"_s, u"hexagr.kvl"_s})
      QVERIFY(QFile::copy(RutaDatoGenerado(n), carpeta.filePath(n)));
    const auto exportar = [&](const QString& nombre, const QStringList& mas = {}) {
      const QString ruta = casa.filePath(nombre);
      return correr(QStringList{u"--exportar"_s, ruta} + mas).replace(ruta, u"R"_s);
    };
    QCOMPARE(exportar(u"vacio.csv"_s), u"0 Se han exportado 0 consultas a «R». | "_s);
    QCOMPARE(LeerTodo(casa.filePath(u"vacio.csv"_s)), CabeceraCsv + "\r\n");
    QByteArray tres;
    for (const char* u : {"ANA", "ÍÑIGO", "ANA"})
      tres = ConRegistroNuevo(
          tres, ArchiveRecord::Nuevo(QString::fromUtf8(u), u"¿Y?"_s, u"789789"_s, u"05/03/1998"_s));
    QVERIFY(EscribirTodo(carpeta.filePath(NombreArchivo), tres));
    const Carpeta dir(carpeta.path());
    const Candado otraCopia(dir, u".usuarios.dat.korval-candado"_s, 0);
    QVERIFY(otraCopia.tomado());
    QCOMPARE(exportar(u"todas.html"_s), u"0 Se han exportado 3 consultas a «R». | "_s);
    QCOMPARE(exportar(u"inigo.CSV"_s, {u"--usuario"_s, u"inigo"_s}),
             u"0 Se ha exportado 1 consulta a «R». | "_s);
    const QByteArray inigo = LeerTodo(casa.filePath(u"inigo.CSV"_s));
    QVERIFY(inigo.startsWith(CabeceraCsv + "\r\n1998-03-05,ÍÑIGO,¿Y?,789789,") && inigo.count("\r\n") == 2);
    const QByteArray antes = LeerTodo(casa.filePath(u"todas.html"_s));
    QVERIFY(QFile::link(casa.filePath(u"todas.html"_s), casa.filePath(u"enlace.html"_s)));
    for (const QString& n : {u"todas.html"_s, u"enlace.html"_s})
      QCOMPARE(exportar(n),
               u"1  | korval: «R» ya existe. Desde la línea de órdenes KORVAL nunca sustituye un "
               u"fichero: elija otro nombre o borre antes ese."_s);
    QCOMPARE(LeerTodo(casa.filePath(u"todas.html"_s)), antes);
    QVERIFY(exportar(u"diario.txt"_s).startsWith(u"2  | korval: «R» no termina en .html ni en .csv"_s));
    QVERIFY(QFile::remove(carpeta.filePath(NombreArchivo)) && QDir(carpeta.path()).mkdir(NombreArchivo));
    QVERIFY(exportar(u"otra.csv"_s).startsWith(u"1  | korval: No se puede leer el archivo de consultas"_s));
    QCOMPARE(QDir(casa.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList({"enlace.html", "inigo.CSV", "todas.html", "vacio.csv"}));
  }
};

QTEST_MAIN(PruebaOrdenes)
#include "test_ordenes.moc"
