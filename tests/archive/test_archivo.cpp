// El archivo de consultas: formato del registro, orden, borrado y lo que queda
// en disco cuando algo falla a medias.
#include "apoyo/Apoyo.h"
#include "archive/ArchivoConsultas.h"
#include "archive/ReferenciaOrden.h"
#include "platform/Basico.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray LeerTodo(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return f.readAll();
}

void EscribirTodo(const QString& ruta, const QByteArray& bytes) {
  QFile f(ruta);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

ArchiveRecord Registro(const QString& usuario, const QString& pregunta = QStringLiteral("¿QUÉ HAGO?"),
                       const QString& lineas = QStringLiteral("789789"),
                       const QString& fecha = QStringLiteral("05/03/1998")) {
  return ArchiveRecord::Nuevo(usuario, pregunta, lineas, fecha);
}

QByteArray Archivo(std::initializer_list<ArchiveRecord> registros) {
  QByteArray r;
  for (const ArchiveRecord& a : registros)
    r += a.Bytes();
  return r;
}

QStringList Usuarios(const QByteArray& contenido) {
  QStringList r;
  for (const ArchiveRecord& a : LeerRegistros(contenido))
    r << a.Usuario.trimmed();
  return r;
}

QStringList Numeros(const QByteArray& contenido) {
  QStringList r;
  for (const ArchiveRecord& a : LeerRegistros(contenido))
    r << a.Numero.texto();
  return r;
}

// Lo que hay en la carpeta además del archivo (restos de una escritura a medias).
QStringList Sobrantes(const QString& carpeta) {
  QStringList r = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System);
  r.removeAll(NombreArchivo);
  return r;
}

// Un QSaveFile que deja de escribir después de `limite` bytes, como un disco
// que se llena en mitad de la escritura.
class GuardadoQueFalla : public QSaveFile {
public:
  GuardadoQueFalla(const QString& ruta, qint64 limite) : QSaveFile(ruta), limite_(limite) {}

protected:
  qint64 writeData(const char* datos, qint64 largo) override {
    const qint64 cabe = std::min(largo, limite_ - escritos_);
    if (cabe <= 0)
      return -1;
    const qint64 hecho = QSaveFile::writeData(datos, cabe);
    if (hecho > 0)
      escritos_ += hecho;
    return hecho;
  }

private:
  qint64 limite_;
  qint64 escritos_ = 0;
};

// Un dispositivo en memoria que falla después de `limite` bytes.
class BufferQueFalla : public QBuffer {
public:
  explicit BufferQueFalla(qint64 limite) : limite_(limite) {}

protected:
  qint64 writeData(const char* datos, qint64 largo) override {
    const qint64 cabe = std::min(largo, limite_ - pos());
    if (cabe <= 0)
      return -1;
    return QBuffer::writeData(datos, cabe);
  }

private:
  qint64 limite_;
};

// --- El hijo que graba y borra sin parar hasta que lo matan ----------------

const QString FechaFija = QStringLiteral("24/12/2003");

struct Operacion {
  bool grabar = true;
  ArchiveRecord registro;
  int indice = 0;
};

// La operación j del plan de `semilla`, para un archivo con `registros`
// registros. El padre y el hijo la calculan igual.
Operacion Siguiente(std::mt19937& azar, int j, int registros) {
  static const char* nombres[] = {"ANA", "LUIS", "ANA MARIA", "ZOE", "ÑANDÚ", "BEA"};
  Operacion op;
  const int dado = int(azar() % 100);
  op.grabar = registros < 2 || (registros < 14 && dado < 55);
  const int nombre = int(azar() % 6);
  op.indice = registros > 0 ? 1 + int(azar() % unsigned(registros)) : 1;
  op.registro = ArchiveRecord::Nuevo(QString::fromUtf8(nombres[nombre]), QStringLiteral("PREGUNTA %1").arg(j),
                                     QStringLiteral("786979"), FechaFija);
  return op;
}

QByteArray Aplicar(const QByteArray& estado, const Operacion& op) {
  if (op.grabar)
    return ConRegistroNuevo(estado, op.registro);
  if (NumeroRegistros(estado.size()) <= 1)
    return {};
  return SinRegistro(estado, op.indice);
}

int Hijo(const QString& ruta, unsigned semilla) {
  FijarReloj(nullptr, [] { return QDate(2003, 12, 24); });
  std::mt19937 azar(semilla);
  std::printf("LISTO\n");
  std::fflush(stdout);
  for (int j = 0;; ++j) {
    QByteArray contenido;
    QString error;
    if (!LeerArchivo(ruta, &contenido, &error))
      return 2;
    const Operacion op = Siguiente(azar, j, NumeroRegistros(contenido.size()));
    const bool ok =
        op.grabar ? GrabarRegistro(ruta, op.registro, &error) : EliminarRegistro(ruta, op.indice, &error);
    if (!ok)
      return 3;
    std::printf("%d\n", j + 1);
    std::fflush(stdout);
  }
}

} // namespace

class PruebaArchivo : public QObject {
  Q_OBJECT
private slots:
  void init() { FijarFabricaGuardado(nullptr); }

  void registroDeCientoSesentaBytes() {
    const ArchiveRecord r = Registro(QStringLiteral("LUIS"), QStringLiteral("¿QUÉ SERÁ?"));
    const QByteArray b = r.Bytes();
    QCOMPARE(b.size(), 160);
    QCOMPARE(b.mid(0, 4), QByteArray("0000"));
    for (int sep : {4, 35, 136, 143, 154})
      QCOMPARE(b[sep], '\0');
    QCOMPARE(b.mid(5, 30), QByteArray("LUIS").leftJustified(30, ' '));
    QCOMPARE(b.mid(36, 100), QByteArray("\xBFQU\xC9 SER\xC1?").leftJustified(100, ' '));
    QCOMPARE(b.mid(137, 6), QByteArray("789789"));
    QCOMPARE(b.mid(144, 10), QByteArray("05/03/1998"));
    QCOMPARE(b.mid(155, 5), QByteArray(5, '\0'));

    // Leído de vuelta da los mismos campos y los mismos bytes.
    const ArchiveRecord leido = ArchiveRecord::DesdeBytes(b);
    QCOMPARE(leido.Pregunta.trimmed(), QStringLiteral("¿QUÉ SERÁ?"));
    QCOMPARE(leido.Usuario.texto(), QStringLiteral("LUIS").leftJustified(30));
    QCOMPARE(leido.Bytes(), b);
    // Cualquier byte en cualquier campo sobrevive a la lectura y la escritura.
    QByteArray basura(160, '\0');
    for (int i = 0; i < 160; ++i)
      basura[i] = char((i * 37 + 11) & 0xFF);
    basura.replace(155, 5, QByteArray(5, '\0'));
    QCOMPARE(ArchiveRecord::DesdeBytes(basura).Bytes(), basura);

    // Lo largo se corta al ancho del campo.
    const ArchiveRecord largo = Registro(QString(40, QLatin1Char('X')), QString(120, QLatin1Char('P')));
    QCOMPARE(largo.Bytes().mid(5, 30), QByteArray(30, 'X'));
    QCOMPARE(largo.Bytes().mid(36, 100), QByteArray(100, 'P'));
    QCOMPARE(largo.Bytes()[35], '\0');
  }

  void usuarioYFechaComoSeGuardan() {
    QCOMPARE(UsuarioRegistro(QStringLiteral("  luis ")), QStringLiteral("LUIS"));
    QCOMPARE(UsuarioRegistro(QStringLiteral("peña y maría")), QStringLiteral("PEÑA Y MARÍA"));
    // ß no tiene una sola mayúscula; la de µ no está en Windows-1252.
    QCOMPARE(UsuarioRegistro(QStringLiteral("straße µ")), QStringLiteral("STRAßE µ"));
    QCOMPARE(UsuarioRegistro(QStringLiteral("ÿves")), QStringLiteral("ŸVES"));
    QCOMPARE(FechaRegistro(QDate(1998, 3, 5)), QStringLiteral("05/03/1998"));
    QCOMPARE(FechaRegistro(QDate(2031, 12, 24)), QStringLiteral("24/12/2031"));
  }

  void cuentaDeRegistrosRedondeada() {
    QCOMPARE(NumeroRegistros(0), 0);
    QCOMPARE(NumeroRegistros(79), 0);
    QCOMPARE(NumeroRegistros(80), 0); // media: al par
    QCOMPARE(NumeroRegistros(81), 1);
    QCOMPARE(NumeroRegistros(239), 1);
    QCOMPARE(NumeroRegistros(240), 2); // 1,5 → 2
    QCOMPARE(NumeroRegistros(400), 2); // 2,5 → 2
    QCOMPARE(NumeroRegistros(560), 4); // 3,5 → 4
    QCOMPARE(NumeroRegistros(160 * 20000), 20000);

    // Un último registro a medias se completa con ceros; lo que sobra se ignora.
    const QByteArray dos = Archivo({Registro(QStringLiteral("ANA")), Registro(QStringLiteral("LUIS"))});
    const auto leidos = LeerRegistros(dos.left(250));
    QCOMPARE(int(leidos.size()), 2);
    QCOMPARE(leidos[1].Usuario.trimmed(), QStringLiteral("LUIS"));
    QCOMPARE(leidos[1].Lineas.texto(), QString(6, QChar(0)));
    QCOMPARE(Usuarios(dos + QByteArray(70, 'x')), QStringList({"ANA", "LUIS"}));
    QCOMPARE(int(LeerRegistros(QByteArray()).size()), 0);
  }

  void grabarCreaNumeraYOrdena() {
    CarpetaPrueba carpeta(false);
    const QString ruta = RutaArchivo();
    QString error;
    // En un archivo que no existe: uno nuevo con un registro "0001".
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("JUAN")), &error));
    QCOMPARE(LeerTodo(ruta).size(), 160);
    QCOMPARE(Numeros(LeerTodo(ruta)), QStringList({"0001"}));
#ifdef Q_OS_UNIX
    // Sólo su dueño lo lee y lo escribe: ni el grupo ni los demás.
    const auto dueno = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const auto otros = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                       QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(ruta) & (dueno | otros), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("PEDRO")), &error));
    QVERIFY(GrabarRegistro(ruta, Registro(UsuarioRegistro(QStringLiteral("ana"))), &error));
    QCOMPARE(Usuarios(LeerTodo(ruta)), QStringList({"ANA", "JUAN", "PEDRO"}));
    QCOMPARE(Numeros(LeerTodo(ruta)), QStringList({"0001", "0002", "0003"}));
    // Un segundo del mismo usuario va detrás del primero.
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("JUAN"), QStringLiteral("SEGUNDA")), &error));
    const auto r = LeerRegistros(LeerTodo(ruta));
    QCOMPARE(r[1].Pregunta.trimmed(), QStringLiteral("¿QUÉ HAGO?"));
    QCOMPARE(r[2].Pregunta.trimmed(), QStringLiteral("SEGUNDA"));
    QCOMPARE(Numeros(LeerTodo(ruta)), QStringList({"0001", "0002", "0003", "0004"}));
    QVERIFY(Sobrantes(carpeta.ruta()).isEmpty());
  }

  void ordenPorBytesYEstable() {
    // Los blancos cuentan (ANA < ANA MARIA < ANAB) y se compara byte a byte:
    // Ñ (0xD1) va detrás de Z; € (0x80) va detrás de las letras sin acento.
    QByteArray contenido;
    for (const char* u : {"ZOE", "ANAB", "\xC3\x91O", "ANA MARIA", "ANA", "\xE2\x82\xAC", "ANA"})
      contenido = ConRegistroNuevo(contenido,
                                   Registro(QString::fromUtf8(u), QString::number(contenido.size() / 160)));
    QCOMPARE(Usuarios(contenido), QStringList({"ANA", "ANA", "ANA MARIA", "ANAB", "ZOE", "€", "ÑO"}));
    const auto r = LeerRegistros(contenido);
    QCOMPARE(r[0].Pregunta.trimmed(), QStringLiteral("4")); // el primer ANA grabado
    QCOMPARE(r[1].Pregunta.trimmed(), QStringLiteral("6"));
    QCOMPARE(Numeros(contenido), QStringList({"0001", "0002", "0003", "0004", "0005", "0006", "0007"}));
    // Pasado el 9999, el número se queda con sus cuatro últimas cifras.
    QCOMPARE(NumeroRegistro(9999), QByteArray("9999"));
    QCOMPARE(NumeroRegistro(12345), QByteArray("2345"));
  }

  void igualQueElOrdenEnElPropioFichero() {
    // Muchos archivos al azar, con usuarios repetidos, largos que no son
    // múltiplo de 160 y bytes cualesquiera: lo grabado y lo borrado han de
    // ser, byte a byte, lo que deja el orden por intercambios sobre el fichero.
    QTemporaryDir dir;
    const QString nuestro = dir.filePath(QStringLiteral("nuestro/usuarios.dat"));
    const QString suyo = dir.filePath(QStringLiteral("suyo/usuarios.dat"));
    QDir(dir.path()).mkpath(QStringLiteral("nuestro"));
    QDir(dir.path()).mkpath(QStringLiteral("suyo"));
    std::mt19937 azar(20240611);
    const QStringList nombres = {"ANA", "ANA ", "LUIS", "ANA MARIA", "ZOE", "ÑANDÚ", "", "€URO", "ana"};
    int basuras = 0, cortos = 0;
    for (int caso = 0; caso < 400; ++caso) {
      QByteArray contenido;
      const int n = int(azar() % 25);
      for (int i = 0; i < n; ++i) {
        if (azar() % 8 == 0) {
          QByteArray b(160, '\0');
          for (char& c : b)
            c = char(azar() & 0xFF);
          contenido += b;
          ++basuras;
        } else {
          contenido += Registro(nombres[int(azar() % unsigned(nombres.size()))], QString::number(i)).Bytes();
        }
      }
      if (azar() % 4 == 0) {
        contenido.chop(std::min<qsizetype>(contenido.size(), azar() % 160));
        ++cortos;
      } else if (azar() % 4 == 0) {
        contenido += QByteArray(int(azar() % 160), char(azar() & 0xFF));
        ++cortos;
      }
      const ArchiveRecord nuevo =
          Registro(nombres[int(azar() % unsigned(nombres.size()))], QStringLiteral("NUEVA"));
      QString error;
      EscribirTodo(nuestro, contenido);
      EscribirTodo(suyo, contenido);
      QVERIFY(GrabarRegistro(nuestro, nuevo, &error));
      QVERIFY(Referencia::GrabarConsulta(suyo, nuevo.Bytes()));
      QCOMPARE(LeerTodo(nuestro), LeerTodo(suyo));

      const int registros = NumeroRegistros(contenido.size());
      if (registros == 0)
        continue;
      const int s = 1 + int(azar() % unsigned(registros));
      EscribirTodo(nuestro, contenido);
      EscribirTodo(suyo, contenido);
      QVERIFY(EliminarRegistro(nuestro, s, &error));
      QVERIFY(Referencia::EliminarConsulta(suyo, s));
      QCOMPARE(QFile::exists(nuestro), QFile::exists(suyo));
      QCOMPARE(LeerTodo(nuestro), LeerTodo(suyo));
      if (!QFile::exists(nuestro)) {
        EscribirTodo(nuestro, {});
        EscribirTodo(suyo, {});
      }
    }
    QVERIFY(basuras > 50);
    QVERIFY(cortos > 50);
  }

  void eliminarConservaOrdenYNumeros() {
    CarpetaPrueba carpeta(false);
    const QString ruta = RutaArchivo();
    QString error;
    for (const char* u : {"ANA", "BEA", "CARMEN"})
      QVERIFY(GrabarRegistro(ruta, Registro(QString::fromLatin1(u)), &error));
    QVERIFY(EliminarRegistro(ruta, 2, &error));
    QCOMPARE(Usuarios(LeerTodo(ruta)), QStringList({"ANA", "CARMEN"}));
    QCOMPARE(Numeros(LeerTodo(ruta)), QStringList({"0001", "0003"}));
    // Fuera de los registros no se toca nada.
    QVERIFY(EliminarRegistro(ruta, 3, &error));
    QVERIFY(EliminarRegistro(ruta, 0, &error));
    QCOMPARE(Usuarios(LeerTodo(ruta)), QStringList({"ANA", "CARMEN"}));
    // La siguiente grabación vuelve a numerar seguido.
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("DORA")), &error));
    QCOMPARE(Numeros(LeerTodo(ruta)), QStringList({"0001", "0002", "0003"}));
    QVERIFY(EliminarRegistro(ruta, 1, &error));
    QVERIFY(EliminarRegistro(ruta, 1, &error));
    QVERIFY(QFile::exists(ruta));
    // El último que queda se lleva el archivo consigo.
    QVERIFY(EliminarRegistro(ruta, 1, &error));
    QVERIFY(!QFile::exists(ruta));
    QVERIFY(Sobrantes(carpeta.ruta()).isEmpty());
  }

  void unTemporalViejoNoDevuelveRegistros() {
    CarpetaPrueba carpeta(false);
    const QString ruta = RutaArchivo();
    QString error;
    for (const char* u : {"ANA", "BEA", "CARMEN"})
      QVERIFY(GrabarRegistro(ruta, Registro(QString::fromLatin1(u)), &error));
    // Restos de un borrado interrumpido, con más registros que el archivo.
    QByteArray viejo;
    for (const char* u : {"VIEJO1", "VIEJO2", "VIEJO3", "VIEJO4", "VIEJO5"})
      viejo += Registro(QString::fromLatin1(u)).Bytes();
    EscribirTodo(carpeta.fichero(QStringLiteral("usuarios.TMP")), viejo);
    EscribirTodo(carpeta.fichero(QStringLiteral("usuarios.tmp")), viejo);
    QVERIFY(EliminarRegistro(ruta, 1, &error));
    QCOMPARE(Usuarios(LeerTodo(ruta)), QStringList({"BEA", "CARMEN"}));
    QVERIFY(Sobrantes(carpeta.ruta()).isEmpty());

    // Lo que deja una sustitución cortada se recoge; lo del usuario, no.
    for (const char* n : {"usuarios.dat.Ab3xQz", "USUARIOS.DAT.k9k9k9", "usuarios.dat.bak",
                          "usuarios.dat.1234567", "notas.txt"})
      EscribirTodo(carpeta.fichero(QString::fromLatin1(n)), "x");
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("DORA")), &error));
    QCOMPARE(Sobrantes(carpeta.ruta()),
             QStringList({"notas.txt", "usuarios.dat.1234567", "usuarios.dat.bak"}));
  }

  void escribirEnUnDispositivoQueFalla() {
    const QByteArray datos(1000, 'k');
    for (qint64 limite : {0, 1, 159, 160, 999}) {
      BufferQueFalla b(limite);
      QVERIFY(b.open(QIODevice::WriteOnly));
      QString error;
      QVERIFY(!EscribirCompleto(b, datos, &error));
      QVERIFY(error.contains(QStringLiteral("lleno")));
    }
    BufferQueFalla justo(1000);
    QVERIFY(justo.open(QIODevice::WriteOnly));
    QVERIFY(EscribirCompleto(justo, datos, nullptr));
    QCOMPARE(justo.data(), datos);
  }

  void guardadoQueFallaDejaElArchivoComoEstaba() {
    CarpetaPrueba carpeta(false);
    const QString ruta = RutaArchivo();
    QString error;
    for (const char* u : {"LUIS", "ANA", "BEA", "ANA"})
      QVERIFY(GrabarRegistro(ruta, Registro(QString::fromLatin1(u)), &error));
    const QByteArray antes = LeerTodo(ruta);
    const qint64 nuevo = antes.size() + 160;
    for (qint64 limite : {qint64(0), qint64(1), qint64(160), qint64(400), nuevo - 1}) {
      FijarFabricaGuardado(
          [limite](const QString& r) { return std::make_unique<GuardadoQueFalla>(r, limite); });
      error.clear();
      QVERIFY(!GrabarRegistro(ruta, Registro(QStringLiteral("CARMEN")), &error));
      QVERIFY(!error.isEmpty());
      QCOMPARE(LeerTodo(ruta), antes);
      // El borrado escribe un archivo más corto: falla con los topes que no llegan a él.
      if (limite < antes.size() - 160) {
        QVERIFY(!EliminarRegistro(ruta, 2, &error));
        QCOMPARE(LeerTodo(ruta), antes);
      }
      QVERIFY(Sobrantes(carpeta.ruta()).isEmpty());
    }
    // Con sitio justo para el archivo nuevo, se graba.
    FijarFabricaGuardado([nuevo](const QString& r) { return std::make_unique<GuardadoQueFalla>(r, nuevo); });
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("CARMEN")), &error));
    QCOMPARE(Usuarios(LeerTodo(ruta)), QStringList({"ANA", "ANA", "BEA", "CARMEN", "LUIS"}));
    FijarFabricaGuardado(nullptr);
  }

  void carpetaSinPermisoOQueNoExiste() {
    QString error;
    QTemporaryDir dir;
    const QString perdida = dir.filePath(QStringLiteral("no/existe/usuarios.dat"));
    QVERIFY(!GrabarRegistro(perdida, Registro(QStringLiteral("ANA")), &error));
    QVERIFY(error.contains(QStringLiteral("no existe")));
    QVERIFY(!QFile::exists(perdida));

    // Un archivo que no se puede leer no se pisa con uno de un solo registro.
    const QString directorio = dir.filePath(QStringLiteral("raro/usuarios.dat"));
    QVERIFY(QDir().mkpath(directorio));
    error.clear();
    QVERIFY(!GrabarRegistro(directorio, Registro(QStringLiteral("ANA")), &error));
    QVERIFY(error.contains(QStringLiteral("No se puede leer")));
    QVERIFY(QFileInfo(directorio).isDir());

    const QString carpeta = dir.filePath(QStringLiteral("solo-lectura"));
    QVERIFY(QDir().mkpath(carpeta));
    const QString ruta = carpeta + QStringLiteral("/usuarios.dat");
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("LUIS")), &error));
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("ANA")), &error));
    const QByteArray antes = LeerTodo(ruta);
    QFile::setPermissions(carpeta, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile prueba(carpeta + QStringLiteral("/x"));
    if (prueba.open(QIODevice::WriteOnly)) {
      prueba.remove();
      QFile::setPermissions(carpeta,
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      QSKIP("Con permisos de administrador toda carpeta se puede escribir");
    }
    QVERIFY(!GrabarRegistro(ruta, Registro(QStringLiteral("BEA")), &error));
    QVERIFY(error.contains(QStringLiteral("falta permiso")));
    QVERIFY(!EliminarRegistro(ruta, 1, &error));
    QFile::setPermissions(carpeta, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(LeerTodo(ruta), antes);
    QVERIFY(Sobrantes(carpeta).isEmpty());
  }

  void discoLleno() {
    // Un hijo con un tope de tamaño de fichero por debajo del archivo nuevo:
    // su escritura falla como en un disco lleno.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(NombreArchivo);
    QString error;
    for (const char* u : {"LUIS", "ANA", "BEA", "ANA", "ZOE"})
      QVERIFY(GrabarRegistro(ruta, Registro(QString::fromLatin1(u)), &error));
    const QByteArray antes = LeerTodo(ruta);
    for (int grabar = 0; grabar < 2; ++grabar) {
      const pid_t hijo = fork();
      QVERIFY(hijo >= 0);
      if (hijo == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit tope{};
        tope.rlim_cur = tope.rlim_max = rlim_t(antes.size() - 200);
        setrlimit(RLIMIT_FSIZE, &tope);
        QString e;
        const bool hecho = grabar ? GrabarRegistro(ruta, Registro(QStringLiteral("CARMEN")), &e)
                                  : EliminarRegistro(ruta, 3, &e);
        // 0: el fallo se vio y se dijo por qué.
        _exit(hecho ? 1 : (e.contains(QStringLiteral("lleno")) ? 0 : 2));
      }
      int estado = 0;
      QCOMPARE(waitpid(hijo, &estado, 0), hijo);
      QVERIFY(WIFEXITED(estado));
      QCOMPARE(WEXITSTATUS(estado), 0);
      QCOMPARE(LeerTodo(ruta), antes);
      QVERIFY(Sobrantes(dir.path()).isEmpty());
    }
  }

  void muerteEnCualquierInstante() {
    // Un hijo graba y borra sin parar y lo matamos con SIGKILL en momentos al
    // azar. Cada vez, el archivo ha de ser el de antes de la operación en
    // curso o el de después, entero y en orden.
    QTemporaryDir dir;
    const QString ruta = dir.filePath(NombreArchivo);
    std::mt19937 azar(77);
    int enMedio = 0, despues = 0, restos = 0;
    const int muertes = 220;
    for (int vez = 0; vez < muertes; ++vez) {
      const unsigned semilla = unsigned(azar());
      const QByteArray inicial = LeerTodo(ruta);
      QProcess hijo;
      hijo.setProgram(QCoreApplication::applicationFilePath());
      hijo.setArguments({QStringLiteral("--hijo-graba-y-borra"), ruta, QString::number(semilla)});
      hijo.start();
      QVERIFY(hijo.waitForStarted());
      QByteArray salida;
      while (!salida.contains("LISTO\n")) {
        QVERIFY2(hijo.waitForReadyRead(10000), "el hijo no arrancó");
        salida += hijo.readAllStandardOutput();
      }
      // Unas cuantas operaciones completas y luego un instante cualquiera.
      const int antesDeMatar = int(azar() % 3);
      auto hechas = [&] { return int(salida.count('\n')) - 1; };
      while (hechas() < antesDeMatar && hijo.state() == QProcess::Running) {
        hijo.waitForReadyRead(10000);
        salida += hijo.readAllStandardOutput();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(azar() % 4000));
      hijo.kill();
      QVERIFY(hijo.waitForFinished(10000));
      QCOMPARE(hijo.exitStatus(), QProcess::CrashExit);
      salida += hijo.readAllStandardOutput();

      // Los estados por los que pasa el archivo según el plan del hijo.
      const int k = hechas();
      std::mt19937 plan(semilla);
      QByteArray estado = inicial;
      for (int j = 0; j < k; ++j)
        estado = Aplicar(estado, Siguiente(plan, j, NumeroRegistros(estado.size())));
      const QByteArray siguiente = Aplicar(estado, Siguiente(plan, k, NumeroRegistros(estado.size())));
      const QByteArray ahora = LeerTodo(ruta);
      QVERIFY2(
          ahora == estado || ahora == siguiente,
          qPrintable(QStringLiteral("muerte %1: el archivo no es ni el de antes ni el de después").arg(vez)));
      if (ahora == siguiente && ahora != estado)
        ++despues;
      else
        ++enMedio;
      // Una sustitución cortada puede dejar su fichero nuevo con otro nombre;
      // la siguiente operación lo recoge, así que nunca se acumulan.
      const QStringList sobrantes = Sobrantes(dir.path());
      restos += int(sobrantes.size());
      QVERIFY2(sobrantes.size() <= 1, qPrintable(sobrantes.join(QLatin1Char(' '))));
    }
    QString error;
    QVERIFY(GrabarRegistro(ruta, Registro(QStringLiteral("FIN")), &error));
    QVERIFY(Sobrantes(dir.path()).isEmpty());
    qInfo("%d muertes: %d antes de terminar la operación, %d con ella ya hecha; %d ficheros a medias",
          muertes, enMedio, despues, restos);
    QVERIFY(enMedio > 0);
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && QByteArray(argv[1]) == "--hijo-graba-y-borra") {
    QCoreApplication app(argc, argv);
    return Hijo(QString::fromLocal8Bit(argv[2]), unsigned(QByteArray(argv[3]).toULong()));
  }
  QCoreApplication app(argc, argv);
  PruebaArchivo prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_archivo.moc"
