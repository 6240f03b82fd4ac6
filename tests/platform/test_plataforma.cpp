// La capa de plataforma: lo que el resto del programa da por hecho de ella.
#include "apoyo/Apoyo.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"
#include "platform/InstanciaUnica.h"
#include "platform/Rutas.h"
#include "platform/Twips.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <climits>
#include <cmath>
#include <cstdio>

static void Crear(const QString& ruta, const QByteArray& bytes = {}) {
  QFile f(ruta);
  QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

class PruebaPlataforma : public QObject {
  Q_OBJECT
private slots:
  void numerosYTextosDeAnchoFijo() {
    const std::pair<const char*, double> valores[] = {{"787878", 787878}, {"  12abc", 12}, {"3.5 kilos", 3.5},
                                                      {" 96% ", 96},      {"abc12", 0},    {"      ", 0}};
    for (auto [texto, valor] : valores)
      QCOMPARE(Val(QString::fromLatin1(texto)), valor);
    // Las mitades van al par; un número absurdo leído de un fichero no desborda.
    const double absurdo = Val(QStringLiteral("99999999999999999999"));
    const std::pair<double, int> redondeos[] = {{12.5, 12}, {1.5, 2},           {-2.5, -2},
                                                {2.51, 3},  {absurdo, INT_MAX}, {-1e300, INT_MIN}};
    for (auto [v, r] : redondeos)
      QCOMPARE(RedondeoPar(v), r);

    TextoFijo lineas(6);
    QCOMPARE(lineas.texto(), QStringLiteral("      "));
    lineas = QStringLiteral("78");
    QCOMPARE(lineas.texto(), QStringLiteral("78    "));
    lineas = QStringLiteral("78987654");
    QCOMPARE(lineas.texto(), QStringLiteral("789876"));
    // Sólo se quitan blancos: un salto de línea es un carácter más.
    QCOMPARE(QuitarBlancos(QStringLiteral("  a b \r\n ")), QStringLiteral("a b \r\n"));
  }

  void windows1252IdaYVuelta() {
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
      todos += char(b);
    const QString texto = Win1252::decodificar(todos);
    bool ok = false;
    QCOMPARE(Win1252::codificar(texto, &ok), todos);
    QVERIFY(ok);
    QCOMPARE(texto[0x80], QChar(0x20AC)); // €
    QCOMPARE(texto[0x81], QChar(0x0081)); // sin definir: vuelve a sí mismo
    QCOMPARE(texto[0xD3], QChar(u'Ó'));
    QCOMPARE(Win1252::codificar(QStringLiteral("¿Qué será, señor?")),
             QByteArray("\xBFQu\xE9 ser\xE1, se\xF1or?"));
    QVERIFY(Win1252::cabe(QStringLiteral("«—…€ñÜ»")));
    QVERIFY(!Win1252::cabe(QStringLiteral("数")));
    QCOMPARE(Win1252::codificar(QStringLiteral("a数b"), &ok), QByteArray("a?b"));
    QVERIFY(!ok);
    QCOMPARE(Win1252::filtrar(QStringLiteral("año 数 ☯")), QStringLiteral("año  "));
  }

  void aleatorioRepetibleYUniforme() {
    ReiniciarAleatorio();
    const double primero = Rnd(), segundo = Rnd();
    ReiniciarAleatorio();
    QCOMPARE(Rnd(), primero);
    QCOMPARE(Rnd(), segundo);
    Randomize(1234.5);
    const double a = Rnd();
    Randomize(1234.5);
    QCOMPARE(Rnd(), a);
    Randomize(1234.75);
    QVERIFY(Rnd() != a);
    int cuartos[4] = {0, 0, 0, 0};
    for (int i = 0; i < 40000; ++i) {
      const double r = Rnd();
      QVERIFY(r >= 0.0 && r < 1.0);
      ++cuartos[int(r * 4)];
    }
    for (int c : cuartos)
      QVERIFY(std::abs(c - 10000) < 400);
  }

  // El guion contesta lo que se le pide o, sin nada en cola, el primer botón; el
  // título por omisión y el Escape de Sí/No/Cancelar no salen en ninguna ventana.
  void mensajesGuionados() {
    GuionMensajes::activar();
    GuionMensajes::responder(vbNo);
    QCOMPARE(MsgBox(QStringLiteral("¿Salir?"), vbQuestion + vbYesNo, QStringLiteral("SALIR")), int(vbNo));
    QCOMPARE(MsgBox(QStringLiteral("¿Guardar?"), vbYesNoCancel + vbDefaultButton2), int(vbYes));
    const MensajeMostrado& m = GuionMensajes::mostrados().back();
    QCOMPARE(m.titulo, QStringLiteral("KORVAL"));
    QCOMPARE(std::pair(m.predeterminado, m.escape), std::pair(int(vbNo), int(vbCancel)));
    GuionMensajes::desactivar();
  }

  void waitTicksEsperaSinDarVueltas() {
    int ejecutado = 0;
    QMetaObject::invokeMethod(
        this, [&] { ++ejecutado; }, Qt::QueuedConnection);
    WaitTicks(0);
    WaitTicks(-5);
    QCOMPARE(ejecutado, 0);
    WaitTicks(1);
    QCOMPARE(ejecutado, 1);
    // Turnos de un milisegundo: sin ventanas a la vista no espera; con una, 40
    // turnos son 40 ms con el bucle dormido a la espera de sucesos.
    FijarDuracionTurno(std::chrono::milliseconds(1));
    int dormidas = 0;
    const auto conexion = connect(QAbstractEventDispatcher::instance(),
                                  &QAbstractEventDispatcher::aboutToBlock, this, [&] { ++dormidas; });
    WaitTicks(40);
    QCOMPARE(dormidas, 0);
    QWindow ventana;
    ventana.show();
    QElapsedTimer reloj;
    reloj.start();
    WaitTicks(40);
    const qint64 ms = reloj.elapsed();
    disconnect(conexion);
    FijarDuracionTurno(std::chrono::microseconds(0));
    QVERIFY2(ms >= 40 && dormidas >= 1 && dormidas <= 40 * 3,
             qPrintable(QStringLiteral("%1 ms, %2").arg(ms).arg(dormidas)));
  }

  void twipsAPixeles() {
    const double ppp = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    QCOMPARE(Tw(1440), int(std::lround(ppp)));
    QCOMPARE(PixATwips(Tw(9570)) / 100, 9570 / 100);
  }

  void nombresSinDistinguirMayusculas() {
    CarpetaPrueba carpeta(false);
    Crear(carpeta.fichero(QStringLiteral("BINARIO.DAT")));
    QCOMPARE(RutaDatos(QStringLiteral("BINARIO.dat")), carpeta.fichero(QStringLiteral("BINARIO.DAT")));
    QCOMPARE(RutaEscritura(QStringLiteral("usuarios.TMP")), carpeta.fichero(QStringLiteral("usuarios.TMP")));
    QCOMPARE(DirEscritura(), carpeta.ruta());
  }

  void dondeSeEscribe() {
    QTemporaryDir dir;
    const QString usuario = CarpetaUsuario();
    QVERIFY(QFileInfo(usuario).isDir());
    QVERIFY(usuario != dir.path());
    // Una copia portátil escribe a su lado; si no puede (costura), en la del usuario.
    QCOMPARE(ElegirDirEscritura(dir.path()), dir.path());
    FijarPruebaEscritura([&](const QString& d) { return d != dir.path(); });
    QCOMPARE(ElegirDirEscritura(dir.path()), usuario);
    FijarProgramDir(dir.path());
    QCOMPARE(DirEscritura(), usuario);
    FijarPruebaEscritura(nullptr);
    QCOMPARE(DirEscritura(), dir.path());
    // Instalada, nunca escribe junto al programa aunque pueda.
    Crear(QDir(dir.path()).filePath(MarcaInstalado));
    QVERIFY(SePuedeEscribirEn(dir.path()));
    QCOMPARE(ElegirDirEscritura(dir.path()), usuario);
    FijarProgramDir(QString());
  }

  void leerSoloFicherosNormales() {
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("trigr.kvl"));
    Crear(normal, "Ch'ien,Cielo");
    QByteArray bytes;
    QString motivo;
    QCOMPARE(LeerFicheroRegular(normal, 100, &bytes, &motivo), FalloLectura::Ninguno);
    QCOMPARE(bytes, QByteArray("Ch'ien,Cielo"));
    QVERIFY(motivo.isEmpty());

    const auto falla = [&](const QString& ruta, qint64 limite, FalloLectura esperado, const char* texto) {
      bytes = "resto";
      QCOMPARE(LeerFicheroRegular(ruta, limite, &bytes, &motivo), esperado);
      QVERIFY(bytes.isEmpty());
      QVERIFY2(motivo.contains(QLatin1String(texto)), qPrintable(motivo));
    };
    falla(normal, 5, FalloLectura::Demasiado, "demasiado grande");
    falla(dir.filePath(QStringLiteral("falta")), 100, FalloLectura::NoExiste, "no existe");
    falla(dir.path(), 100, FalloLectura::Carpeta, "carpeta");
    // Un enlace a un dispositivo sin fin no se lee: se agotaría la memoria.
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("cero"))));
    falla(dir.filePath(QStringLiteral("cero")), 100, FalloLectura::NoEsFichero, "no es un fichero normal");
    FijarPruebaLectura([&](const QString& r) { return r != normal; });
    falla(normal, 100, FalloLectura::SinPermiso, "permiso");
    FijarPruebaLectura(nullptr);
    // Un enlace a un fichero normal sí se lee.
    QVERIFY(QFile::link(normal, dir.filePath(QStringLiteral("enlace"))));
    QCOMPARE(LeerFicheroRegular(dir.filePath(QStringLiteral("enlace")), 100, &bytes), FalloLectura::Ninguno);
  }

  void nuncaEscribirAtravesDeUnEnlace() {
    QTemporaryDir dir;
    const QString normal = dir.filePath(QStringLiteral("usuarios.dat"));
    QVERIFY(MotivoNoEscribible(normal).isEmpty()); // todavía no existe
    Crear(normal);
    QVERIFY(MotivoNoEscribible(normal).isEmpty());
    QVERIFY(QFile::link(normal, dir.filePath(QStringLiteral("enlace"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("nada")), dir.filePath(QStringLiteral("colgante"))));
    for (const char* n : {"enlace", "colgante"})
      QVERIFY(
          MotivoNoEscribible(dir.filePath(QLatin1String(n))).contains(QStringLiteral("enlace simbólico")));
    QVERIFY(MotivoNoEscribible(dir.path()).contains(QLatin1String("no es un fichero normal")));
  }

  void unaSolaCopiaConDosProcesos() {
    QTemporaryDir dir;
    QProcess hijo; // este mismo ejecutable, que toma el candado y espera
    hijo.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--tomar-candado"), dir.path()});
    QVERIFY(hijo.waitForReadyRead(10000));
    QCOMPARE(hijo.readAll().trimmed(), QByteArray("TOMADO"));
    InstanciaUnica segunda(dir.path());
    QVERIFY(!segunda.adquirir());
    // Muerto el primero sin soltar el candado, la siguiente copia arranca.
    hijo.kill();
    QVERIFY(hijo.waitForFinished());
    InstanciaUnica tercera(dir.path());
    QVERIFY(tercera.adquirir());
  }
};

int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]) == "--tomar-candado") {
    QCoreApplication app(argc, argv);
    InstanciaUnica candado(QString::fromLocal8Bit(argv[2]));
    if (!candado.adquirir())
      return 3;
    std::printf("TOMADO\n");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
  }
  QGuiApplication app(argc, argv);
  PruebaPlataforma prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_plataforma.moc"
