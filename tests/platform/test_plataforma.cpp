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
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <climits>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <optional>
#include <thread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

  // La misma semilla da la misma serie; la parte decimal de la semilla cuenta.
  void aleatorioRepetible() {
    const auto serie = [](std::optional<double> semilla) {
      semilla ? Randomize(*semilla) : ReiniciarAleatorio();
      const double a = Rnd();
      return std::pair(a, Rnd());
    };
    QCOMPARE(serie({}), serie({}));
    QCOMPARE(serie(1234.5), serie(1234.5));
    QVERIFY(serie(1234.75) != serie(1234.5)); // el reparto, en el de las monedas de la tirada
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
    QVERIFY(EscribirTodo(dir.filePath(MarcaInstalado), {}));
    QCOMPARE(ElegirDirEscritura(dir.path()), usuario);
    FijarProgramDir(QString());

    // Las carpetas que crea son sólo de su dueño, aunque la máscara diga otra cosa; las que ya existían no se
    // tocan. Un XDG_DATA_HOME relativo no cuenta.
    QTemporaryDir casa;
    QFile::setPermissions(casa.path(), QFileDevice::Permissions(0x7755));
    const mode_t mascara = ::umask(0);
    const QByteArray casaAntes = qgetenv("HOME"), xdgAntes = qgetenv("XDG_DATA_HOME");
    const auto volver = qScopeGuard([&] {
      ::umask(mascara);
      qputenv("HOME", casaAntes);
      xdgAntes.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", xdgAntes);
      QStandardPaths::setTestModeEnabled(true);
    });
    QStandardPaths::setTestModeEnabled(false); // el modo de pruebas no mira XDG_DATA_HOME
    qputenv("HOME", casa.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", "relativa/datos");
    QCOMPARE(CarpetaUsuario(), casa.filePath(u".local/share/"_s) + QCoreApplication::applicationName());
    for (const QString& c :
         {u".local"_s, u".local/share"_s, u".local/share/"_s + QCoreApplication::applicationName()})
      QCOMPARE(QFileInfo(casa.filePath(c)).permissions() & 0x7077, QFileDevice::Permissions(0x7000));
    QCOMPARE(QFileInfo(casa.path()).permissions() & 0x7077, QFileDevice::Permissions(0x7055));
    QVERIFY(!QFileInfo::exists(u"relativa"_s));
  }

  // Sólo se leen ficheros normales (o enlaces a ellos) hasta un límite, y se ve en el descriptor.
  void leerSoloFicherosNormales() {
    QTemporaryDir dir;
    const QString normal = dir.filePath(u"usuarios.dat"_s), enlace = dir.filePath(u"enlace"_s);
    QVERIFY(EscribirTodo(normal, "Ch'ien,Cielo"));
    QVERIFY(QFile::link(normal, enlace));
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

#if !defined(__SANITIZE_ADDRESS__)
    // Con el espacio de direcciones justo, un fichero pequeño se lee aunque el límite sea grande.
    QVERIFY(EnUnHijo([&] {
      const auto paginas = LeerTodo(u"/proc/self/statm"_s).split(' ').value(0).toULong();
      const rlim_t tope = paginas * rlim_t(sysconf(_SC_PAGESIZE)) + (64 << 20);
      const rlimit r{tope, tope};
      return setrlimit(RLIMIT_AS, &r) == 0 &&
             LeerFicheroRegular(normal, qint64(256) << 20, &bytes) == FalloLectura::Ninguno &&
             bytes == "Ch'ien,Cielo";
    }));
#endif
#ifdef Q_OS_LINUX
    // Una FIFO que otro cambia por el fichero una y otra vez: cada lectura da el fichero entero o «no es un
    // fichero normal», y ninguna se queda esperando a que alguien escriba en la FIFO.
    const QByteArray fifo = QFile::encodeName(dir.filePath(u"fifo"_s)), dato = QFile::encodeName(normal);
    QVERIFY(mkfifo(fifo.constData(), 0600) == 0);
    int buenas = 0, fifos = 0, otras = 0;
    {
      std::jthread cambia([&](std::stop_token parar) { // otro proceso que cambia los nombres
        while (!parar.stop_requested())
          renameat2(AT_FDCWD, fifo, AT_FDCWD, dato, RENAME_EXCHANGE);
      });
      auto lector = std::async(std::launch::async, [&] {
        Carpeta c(dir.path());
        QElapsedTimer reloj;
        reloj.start();
        for (QByteArray b; reloj.elapsed() < 1000;) {
          const FalloLectura f = c.Leer(u"usuarios.dat"_s, 100, &b);
          (f == FalloLectura::Ninguno && b == "Ch'ien,Cielo" ? buenas
           : f == FalloLectura::NoEsFichero                  ? fifos
                                                             : otras)++;
        }
      });
      const bool colgado = lector.wait_for(std::chrono::seconds(10)) != std::future_status::ready;
      if (colgado) { // quieta ya, se le abre la FIFO (con el nombre que tenga) para soltarlo, y la prueba
                     // falla
        cambia.request_stop();
        cambia.join();
        for (const QByteArray& n : {fifo, dato})
          ::close(::open(n.constData(), O_WRONLY | O_NONBLOCK));
      }
      lector.wait();
      QVERIFY2(!colgado, "una lectura se quedó esperando en la FIFO");
    }
    QVERIFY2(buenas > 50 && fifos > 50 && otras == 0,
             qPrintable(u"%1 %2 %3"_s.arg(buenas).arg(fifos).arg(otras)));
#endif
  }

  // Crear, sustituir y borrar: nunca a través de un enlace, sólo lo nuestro y sólo para su dueño.
  void escribirSoloLoNuestro() {
    QTemporaryDir dir, otra;
    const mode_t mascara = ::umask(0);
    const auto volver = qScopeGuard([&] {
      ::umask(mascara);
      FijarCosturaFicheros(nullptr);
    });
    const QString fuera = otra.filePath(u"fuera"_s), nuevo = dir.filePath(u"nuevo"_s);
    QVERIFY(EscribirTodo(fuera, "de otro sitio"));
    QFile::setPermissions(fuera, QFileDevice::Permissions(0x6644));
    const auto fueraIntacto = [&] {
      return LeerTodo(fuera) == "de otro sitio" && (QFileInfo(fuera).permissions() & 0x7077) == 0x6044;
    };
    const auto soloSuDueno = [&] { return (QFileInfo(nuevo).permissions() & 0x7077) == 0x6000; };
    const auto hay = [&] {
      return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    };
    Carpeta c(dir.path());
    QString error;
    QVERIFY(c.Crear(u"nuevo"_s, "a", &error) == Creacion::Hecha && soloSuDueno());
    QCOMPARE(c.Crear(u"nuevo"_s, "b", &error), Creacion::Ocupado);
    // Un nombre ocupado por un enlace, aunque cuelgue, tampoco se abre; una carpeta no se sustituye.
    QVERIFY(QFile::link(fuera, dir.filePath(u"enlace"_s)) &&
            QFile::link(otra.filePath(u"nada"_s), dir.filePath(u"colgante"_s)));
    for (const QString& n : {u"enlace"_s, u"colgante"_s}) {
      QCOMPARE(c.Crear(n, "b", &error), Creacion::Ocupado);
      QVERIFY(!c.Sustituir(n, "b", &error) && error.contains(u"enlace simbólico"_s));
    }
    QVERIFY(fueraIntacto() && !QFile::exists(otra.filePath(u"nada"_s)));
    QVERIFY(!c.Sustituir(u"."_s, "c", &error) && error.contains(u"no es un fichero normal"_s));
    // Sustituir deja el fichero sólo para su dueño aunque antes lo leyera cualquiera.
    QFile::setPermissions(nuevo, QFileDevice::Permissions(0x6644));
    QVERIFY(c.Sustituir(u"nuevo"_s, "b", &error) && LeerTodo(nuevo) == "b" && soloSuDueno());
    // El resto de una escritura cortada se quita; un enlace con su nombre no, y no se escribe.
    const QString resto = dir.filePath(u".nuevo.korval-nuevo"_s);
    QVERIFY(EscribirTodo(resto, "a medias"));
    QVERIFY(c.Sustituir(u"nuevo"_s, "c", &error) && !QFile::exists(resto));
    QVERIFY(QFile::link(fuera, resto));
    QVERIFY(!c.Sustituir(u"nuevo"_s, "d", &error) && error.contains(u".nuevo.korval-nuevo"_s));
    QVERIFY(QFileInfo(resto).isSymLink() && fueraIntacto() && QFile::remove(resto));

    // Un fallo en cualquier paso deja el fichero como estaba y nada más en la carpeta; el que dice el
    // sistema, con sus palabras. Y quien cambia el nuevo por un enlace justo antes de ponerlo en su sitio no
    // consigue que se escriba fuera: el enlace queda con el nombre, y se dice.
    const QStringList antes = hay();
    const std::tuple<PasoFichero, int, const char*> fallos[] = {{PasoFichero::Crear, EACCES, "falta permiso"},
                                                                {PasoFichero::Escribir, ENOSPC, "lleno"},
                                                                {PasoFichero::Sincronizar, EIO, "error 5"},
                                                                {PasoFichero::Renombrar, EIO, "error 5"},
                                                                {PasoFichero::Renombrar, 0, "ha cambiado"}};
    for (const auto& [paso, numero, dice] : fallos) {
      FijarCosturaFicheros([&, paso = paso, numero = numero](PasoFichero p, const QString&) {
        if (p == paso && numero == 0)
          ::rename(QFile::encodeName(dir.filePath(u"enlace"_s)), QFile::encodeName(resto));
        return p == paso ? numero : 0;
      });
      QVERIFY2(!c.Sustituir(u"nuevo"_s, "e", &error) && error.contains(QLatin1String(dice)),
               qPrintable(error));
      QVERIFY(numero == 0 ? QFileInfo(nuevo).isSymLink() && fueraIntacto()
                          : LeerTodo(nuevo) == "c" && hay() == antes);
    }
    FijarCosturaFicheros(nullptr);

    // Se borra sólo lo que se leyó: no otro fichero que tomó su nombre.
    IdentidadFichero leido;
    QByteArray bytes;
    QVERIFY(EscribirTodo(dir.filePath(u"otro"_s), "otro"));
    QCOMPARE(c.Leer(u"otro"_s, 100, &bytes, nullptr, &leido), FalloLectura::Ninguno);
    QVERIFY(QFile::remove(dir.filePath(u"otro"_s)) && QFile::copy(fuera, dir.filePath(u"otro"_s)));
    QVERIFY(!c.Borrar(u"otro"_s, leido, &error) && LeerTodo(dir.filePath(u"otro"_s)) == "de otro sitio");
    QCOMPARE(c.Leer(u"otro"_s, 100, &bytes, nullptr, &leido), FalloLectura::Ninguno);
    QVERIFY(c.Borrar(u"otro"_s, leido, &error) && c.Borrar(u"otro"_s, leido, &error) &&
            !hay().contains(u"otro"_s));
  }

  // Una sola copia por usuario: de dos que arrancan a la vez, una sigue y la otra la avisa; un candado de un
  // proceso muerto no detiene a nadie; una copia que no contesta deja a la otra esperar lo dicho y nada más.
  void unaSolaCopia() {
    QTemporaryDir dir;
    for (int vez = 0; vez < 6; ++vez) {
      QProcess a, b;
      for (QProcess* p : {&a, &b})
        p->start(QCoreApplication::applicationFilePath(), {u"--copia"_s, dir.path()});
      QVERIFY(a.waitForFinished(15000) && b.waitForFinished(15000) && a.exitCode() + b.exitCode() == 0);
      const QByteArray dicen = a.readAll().trimmed() + '+' + b.readAll().trimmed();
      QVERIFY2(dicen == "UNICA+AVISADA" || dicen == "AVISADA+UNICA", dicen.constData());
    }
    // Una copia que tiene el candado de un archivo: quien lo quiere espera lo dicho y lo explica.
    QProcess muda;
    muda.start(QCoreApplication::applicationFilePath(), {u"--tomar-candado"_s, dir.path()});
    QVERIFY(muda.waitForReadyRead(10000));
    QCOMPARE(muda.readAll().trimmed(), QByteArray("UNICA"));
    const Carpeta c(dir.path());
    QElapsedTimer reloj;
    reloj.start();
    Candado ocupado(c, u".candado"_s, 300);
    QVERIFY(!ocupado.tomado() && ocupado.error().contains(u"Otra copia de KORVAL"_s) &&
            reloj.elapsed() >= 300);
    // Muerta sin soltar nada, la siguiente arranca y el candado se toma.
    muda.kill();
    QVERIFY(muda.waitForFinished());
    InstanciaUnica siguiente(dir.path());
    QCOMPARE(siguiente.Adquirir(0), InstanciaUnica::Resultado::Unica);
    QVERIFY(Candado(c, u".candado"_s, 0).tomado());
    QCOMPARE(QFileInfo(dir.filePath(u".candado"_s)).permissions() & 0x7077, QFileDevice::Permissions(0x6000));
    QCOMPARE(QFileInfo(siguiente.ruta()).permissions() & 0x7077, QFileDevice::Permissions(0x6000));
  }
};

// Los procesos hijos de las pruebas: otra copia del programa y otro que tiene un candado.
int hijo(const QByteArray& papel, const QString& ruta) {
  // La que no contesta tiene además el candado de un archivo.
  const Carpeta c(ruta);
  std::optional<Candado> candado;
  if (papel == "--tomar-candado")
    candado.emplace(c, QStringLiteral(".candado"), 0);
  InstanciaUnica copia(ruta);
  const InstanciaUnica::Resultado r = copia.Adquirir(papel == "--copia" ? 5000 : 0);
  std::puts(r == InstanciaUnica::Resultado::Unica     ? "UNICA"
            : r == InstanciaUnica::Resultado::Avisada ? "AVISADA"
                                                      : "MUDA");
  if (papel == "--tomar-candado") {
    QThread::sleep(60);
  } else if (r == InstanciaUnica::Resultado::Unica) {
    // La primera espera a que la otra le pida que se muestre (o un rato, si no llega).
    copia.AlPedirQueSeMuestre(
        [] { QTimer::singleShot(200, QCoreApplication::instance(), &QCoreApplication::quit); });
    QTimer::singleShot(10000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]).startsWith("--")) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0); // quien espera lo lee al momento
    return hijo(argv[1], QString::fromLocal8Bit(argv[2]));
  }
  QGuiApplication app(argc, argv);
  PruebaPlataforma prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_plataforma.moc"
