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
#include <QThread>
#include <QWindow>

#include <climits>
#include <cmath>
#include <cstdio>

class PruebaPlataforma : public QObject {
  Q_OBJECT
private slots:
  void numerosTextosDeAnchoFijoYTwips() {
    const std::pair<const char*, double> valores[] = {{"787878", 787878}, {"  12abc", 12}, {"3.5 kilos", 3.5},
                                                      {" 96% ", 96},      {"abc12", 0},    {"      ", 0}};
    for (auto [texto, valor] : valores)
      QCOMPARE(Val(QString::fromLatin1(texto)), valor);
    // Las mitades van al par; un número absurdo leído de un fichero no desborda.
    const double absurdo = Val(u"99999999999999999999"_s);
    const std::pair<double, int> redondeos[] = {{12.5, 12}, {1.5, 2},           {-2.5, -2},
                                                {2.51, 3},  {absurdo, INT_MAX}, {-1e300, INT_MIN}};
    for (auto [v, r] : redondeos)
      QCOMPARE(RedondeoPar(v), r);

    // Un campo de ancho fijo se rellena con blancos o se corta; quitar blancos no quita otra cosa.
    TextoFijo lineas(6);
    const QString vacio = lineas.texto(), corto = (lineas = u"78"_s).texto();
    QCOMPARE(vacio + corto + (lineas = u"78987654"_s).texto(), u"      78    789876"_s);
    QCOMPARE(QuitarBlancos(u"  a b \r\n "_s), u"a b \r\n"_s);
    // Una pulgada son 1440 twips, a los puntos por pulgada de la pantalla (también con 120: CMakeLists).
    const int ppp =
        qEnvironmentVariableIsSet("QT_FONT_DPI") ? qEnvironmentVariableIntValue("QT_FONT_DPI") : 96;
    QCOMPARE(Tw(1440), ppp);
    QCOMPARE(PixATwips(Tw(9570)) / 100, 9570 / 100);
  }

  void windows1252IdaYVuelta() {
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
      todos += char(b);
    const QString texto = Win1252::decodificar(todos);
    bool ok = false;
    QCOMPARE(Win1252::codificar(texto, &ok), todos);
    QVERIFY(ok);
    QCOMPARE(texto.mid(0x80, 2) + texto[0xD3], u"€\u0081Ó"_s); // el 0x81, sin definir, vuelve a sí mismo
    QCOMPARE(Win1252::codificar(u"¿Qué será, señor?"_s), QByteArray("\xBFQu\xE9 ser\xE1, se\xF1or?"));
    QVERIFY(Win1252::cabe(u"«—…€ñÜ»"_s) && !Win1252::cabe(u"数"_s));
    QCOMPARE(Win1252::codificar(u"a数b"_s, &ok), QByteArray("a?b"));
    QVERIFY(!ok);
    QCOMPARE(Win1252::filtrar(u"año 数 ☯"_s), u"año  "_s);
  }

  void aleatorioRepetible() {
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
    QVERIFY(Rnd() != a); // el reparto, en el de las monedas de la tirada
  }

  // El guion contesta lo que se le pide o, sin nada en cola, el primer botón; el
  // título por omisión y el Escape de Sí/No/Cancelar no salen en ninguna ventana.
  void mensajesGuionados() {
    GuionMensajes::activar();
    GuionMensajes::responder(vbNo);
    QCOMPARE(MsgBox(u"¿Salir?"_s, vbQuestion + vbYesNo, u"SALIR"_s), int(vbNo));
    QCOMPARE(MsgBox(u"¿Guardar?"_s, vbYesNoCancel + vbDefaultButton2), int(vbYes));
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
    // Turnos de 1 ms: sin ventanas a la vista no espera; con una, 40 turnos son 40 ms con el bucle dormido.
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

  void dondeSeEscribe() {
    QTemporaryDir dir;
    const QString usuario = CarpetaUsuario();
    QVERIFY(QFileInfo(usuario).isDir() && usuario != dir.path());
    // Una copia portátil escribe a su lado; si no puede (costura), en la del usuario.
    QCOMPARE(ElegirDirEscritura(dir.path()), dir.path());
    FijarPruebaEscritura([&](const QString& d) { return d != dir.path(); });
    QCOMPARE(ElegirDirEscritura(dir.path()), usuario);
    FijarProgramDir(dir.path());
    QCOMPARE(DirEscritura(), usuario);
    QVERIFY(EscribirTodo(dir.filePath(u"BINARIO.DAT"_s), {})); // los datos se encuentran sin mirar mayúsculas
    QCOMPARE(RutaDatos(u"BINARIO.dat"_s), dir.filePath(u"BINARIO.DAT"_s));
    FijarPruebaEscritura(nullptr);
    QCOMPARE(DirEscritura(), dir.path());
    // Instalada, nunca escribe junto al programa aunque pueda.
    QVERIFY(EscribirTodo(QDir(dir.path()).filePath(MarcaInstalado), {}));
    QVERIFY(SePuedeEscribirEn(dir.path()));
    QCOMPARE(ElegirDirEscritura(dir.path()), usuario);
    FijarProgramDir(QString());
  }

  // Sólo se leen ficheros normales (o enlaces a ellos) hasta un límite; no se escribe a través de enlaces.
  void ficherosNormalesYEnlaces() {
    QTemporaryDir dir;
    const QString normal = dir.filePath(u"usuarios.dat"_s), enlace = dir.filePath(u"enlace"_s),
                  colgante = dir.filePath(u"colgante"_s);
    QVERIFY(MotivoNoEscribible(normal).isEmpty()); // todavía no existe
    QVERIFY(EscribirTodo(normal, "Ch'ien,Cielo"));
    QVERIFY(MotivoNoEscribible(normal).isEmpty());
    QVERIFY(QFile::link(normal, enlace) && QFile::link(dir.filePath(u"nada"_s), colgante));
    for (const QString& n : {enlace, colgante})
      QVERIFY(MotivoNoEscribible(n).contains(u"enlace simbólico"_s));
    QVERIFY(MotivoNoEscribible(dir.path()).contains(u"no es un fichero normal"_s));
    QByteArray bytes;
    QString motivo;
    for (const QString& ruta : {normal, enlace}) {
      QCOMPARE(LeerFicheroRegular(ruta, 100, &bytes, &motivo), FalloLectura::Ninguno);
      QVERIFY(bytes == "Ch'ien,Cielo" && motivo.isEmpty());
    }
    const auto falla = [&](const QString& ruta, qint64 limite, FalloLectura esperado, const char* texto) {
      bytes = "resto";
      QCOMPARE(LeerFicheroRegular(ruta, limite, &bytes, &motivo), esperado);
      QVERIFY2(bytes.isEmpty() && motivo.contains(QLatin1String(texto)), qPrintable(motivo));
    };
    falla(normal, 5, FalloLectura::Demasiado, "demasiado grande");
    falla(dir.filePath(u"falta"_s), 100, FalloLectura::NoExiste, "no existe");
    falla(dir.path(), 100, FalloLectura::Carpeta, "carpeta");
    // Un enlace a un dispositivo sin fin no se lee: se agotaría la memoria.
    QVERIFY(QFile::link(u"/dev/zero"_s, dir.filePath(u"cero"_s)));
    falla(dir.filePath(u"cero"_s), 100, FalloLectura::NoEsFichero, "no es un fichero normal");
    FijarPruebaLectura([&](const QString& r) { return r != normal; });
    falla(normal, 100, FalloLectura::SinPermiso, "permiso");
    FijarPruebaLectura(nullptr);
  }

  void unaSolaCopiaConDosProcesos() {
    QTemporaryDir dir;
    QProcess hijo; // este mismo ejecutable, que toma el candado y espera
    hijo.start(QCoreApplication::applicationFilePath(), {u"--tomar-candado"_s, dir.path()});
    QVERIFY(hijo.waitForReadyRead(10000));
    QCOMPARE(hijo.readAll().trimmed(), QByteArray("TOMADO"));
    QVERIFY(!InstanciaUnica(dir.path()).adquirir());
    // Muerto el primero sin soltar el candado, la siguiente copia arranca.
    hijo.kill();
    QVERIFY(hijo.waitForFinished());
    QVERIFY(InstanciaUnica(dir.path()).adquirir());
  }
};

int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]) == "--tomar-candado") {
    QCoreApplication app(argc, argv);
    InstanciaUnica candado(QString::fromLocal8Bit(argv[2]));
    std::printf(candado.adquirir() ? "TOMADO\n" : "SIN CANDADO\n");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
  }
  QGuiApplication app(argc, argv);
  PruebaPlataforma prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_plataforma.moc"
