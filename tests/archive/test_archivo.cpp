// El archivo de consultas: el registro, el orden igual al hecho sobre el propio fichero, lo que
// queda en disco si algo falla, y sus ventanas.
#include "apoyo/Apoyo.h"
#include "archive/Exportar.h"
#include "archive/FRMGrabar.h"
#include "archive/FRMRecuperar.h"
#include "archive/ReferenciaOrden.h"
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "pictures/GRAFICOS.h"
#include "platform/DialogoGuardar.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"
#include "shell/FRM256.h"
#include "shell/FRMPRINCIPAL.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>
#include <QXmlStreamReader>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <thread>

namespace {

ArchiveRecord Registro(const QString& usuario, const QString& pregunta = "¿QUÉ HAGO?",
                       const QString& lineas = "789789", const QString& fecha = "05/03/1998") {
  return ArchiveRecord::Nuevo(usuario, pregunta, lineas, fecha);
}

// El archivo y su candado: lo demás en la carpeta son restos de una escritura a medias.
const QStringList DelArchivo = {NombreArchivo, u".usuarios.dat.korval-candado"_s};

// El registro `i` (desde 1) de un contenido, tal como lo enseña la ventana.
QByteArray RegistroEn(const QByteArray& contenido, int i) {
  return RegistrosCompletos(contenido).mid(qsizetype(i - 1) * LargoRegistro, LargoRegistro);
}

// Quita el registro `i` de lo que hay ahora en `ruta`, como si el usuario lo acabara de ver.
ResultadoArchivo Eliminar(const QString& ruta, int i, QString* error = nullptr) {
  return EliminarRegistro(ruta, i, RegistroEn(LeerTodo(ruta), i), error);
}

using enum ResultadoArchivo;

// La operación j del hijo que graba y borra: lo que deja a partir de `estado` y, con `ruta`, en disco.
QByteArray Paso(std::mt19937& azar, int j, const QByteArray& estado, const QString& ruta = {}) {
  static const QStringList nombres = {"ANA", "LUIS", "ANA MARIA", "ZOE", "ÑANDÚ", "BEA"};
  const int n = NumeroRegistros(estado.size());
  const bool grabar = n < 2 || (n < 14 && azar() % 100 < 55);
  const ArchiveRecord r = Registro(nombres[int(azar() % 6)], QString::number(j));
  const int indice = 1 + int(azar() % unsigned(std::max(n, 1)));
  if (!ruta.isEmpty())
    grabar ? GrabarRegistro(ruta, r, nullptr)
           : EliminarRegistro(ruta, indice, RegistroEn(estado, indice), nullptr);
  return grabar ? ConRegistroNuevo(estado, r) : SinRegistro(estado, indice);
}

// Tres consultas de ANA, ANA y LUIS, ya ordenadas y numeradas.
QByteArray TresConsultas() {
  return OrdenarArchivo(Registro("ANA", "¿PRIMERA DE ANA?", "777777", "01/02/2003").Bytes() +
                        Registro("ANA", "¿SEGUNDA DE ANA?", "969696", "15/06/2004").Bytes() +
                        Registro("LUIS", "¿Y LUIS?", "788788", "24/12/2005").Bytes());
}

QStringList Elementos(const QComboBox* c) {
  QStringList r;
  for (int i = 0; i < c->count(); ++i)
    r << c->itemText(i).trimmed();
  return r;
}

// Un clic en un botón a la vista; false (sin clic) si no se ve.
bool Clic(QWidget* boton) {
  return boton->isVisible() && (QTest::mouseClick(boton, Qt::LeftButton), true);
}

// Elige con el teclado la entrada `i` de una lista.
void Elegir(QComboBox* lista, int i) {
  for (QTest::keyClick(lista, Qt::Key_Home); i > 0; --i)
    QTest::keyClick(lista, Qt::Key_Down);
}

// Un clic a través de la ventana, como los del usuario: una modal encima lo detiene.
void ClicEnVentana(QWidget* boton) {
  QTest::mouseClick(boton->window()->windowHandle(), Qt::LeftButton, {},
                    boton->mapTo(boton->window(), boton->rect().center()));
}

MensajeMostrado Ultimo() {
  const auto& m = GuionMensajes::mostrados();
  return m.empty() ? MensajeMostrado{} : m.back();
}

// Un CSV leído según RFC 4180 sin perdonar nada: UTF-8, cada fila acabada en CR LF, comillas que se
// cierran justo antes de una coma o del fin de fila, todas las filas con tantos campos como la primera.
std::optional<QList<QStringList>> LeerCsv(const QByteArray& bytes) {
  static const QRegularExpression campo(u"(?:\"((?:[^\"]|\"\")*)\"|([^\",\r\n]*))(,|\r\n)"_s);
  const QString t = QString::fromUtf8(bytes);
  QList<QStringList> filas(1);
  QRegularExpressionMatch m;
  for (qsizetype i = 0; i < t.size(); i = m.capturedEnd()) {
    m = campo.match(t, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch())
      return {};
    filas.last() << (m.hasCaptured(1) ? m.captured(1).replace(u"\"\""_s, u"\""_s) : m.captured(2));
    if (m.captured(3) == u","_s)
      continue;
    if (filas.last().size() != filas[0].size())
      return {};
    filas << QStringList();
  }
  filas.removeLast();
  return t.toUtf8() == bytes ? std::optional(filas) : std::nullopt;
}

// Lo que enseña una página exportada: por consulta, la pregunta, la persona y los números de sus
// hexagramas; «mal» si no es XML bien formado o si algo pide un recurso de fuera o un guion.
QStringList LeerHtml(const QByteArray& bytes) {
  QXmlStreamReader x(bytes);
  QStringList r, ids, usados;
  QString clase;
  while (!x.atEnd()) {
    if (x.readNext() == QXmlStreamReader::StartElement) {
      ids << x.attributes().value(u"id"_s).toString();
      if (x.name() == u"use"_s)
        usados << x.attributes().value(u"href"_s).mid(1).toString();
      for (const QXmlStreamAttribute& a : x.attributes()) // sólo valen las referencias a la propia página
        if ((a.name() == u"src"_s || a.name() == u"href"_s) && !a.value().startsWith(u'#'))
          return {u"mal: "_s + a.name().toString()};
      if (x.name() == u"script"_s || x.name() == u"link"_s || x.name() == u"img"_s)
        return {u"mal: "_s + x.name().toString()};
      clase = x.attributes().value(u"class"_s).toString();
      if (clase == u"consulta"_s)
        r << QString();
    } else if (x.isCharacters() && !r.isEmpty() && !x.isWhitespace()) {
      if (clase == u"pregunta"_s || clase == u"usuario"_s || clase == u"numero"_s || clase == u"danada"_s)
        r.last() += (r.last().isEmpty() ? u""_s : u"|"_s) + x.text().toString();
    }
  }
  for (const QString& u : usados) // cada dibujo nombrado está en la página
    if (!ids.contains(u))
      return {u"mal: falta "_s + u};
  return x.hasError() ? QStringList{u"mal: "_s + x.errorString()} : r;
}

} // namespace

class PruebaArchivo : public QObject {
  Q_OBJECT
  std::optional<CarpetaPrueba> carpeta_;
  std::unique_ptr<FRMGrabar> grabar_;
  std::unique_ptr<FRMRecuperar> recuperar_;

  QString archivo() const { return carpeta_->fichero(NombreArchivo); }
  // Lo que deja grabar con el nombre `usuario` la consulta en curso de init.
  QByteArray ConLaEnCurso(const QString& usuario) const {
    return ConRegistroNuevo(TresConsultas(), Registro(usuario, "¿QUÉ SERÁ DE MÍ?", "789689"));
  }

private slots:
  void init() {
    carpeta_.emplace(); // la anterior se va antes, que al irse deja al programa sin carpeta
    PrepararEstado();
    FijarReloj(nullptr, [] { return QDate(1998, 3, 5); });
    QVERIFY(EscribirTodo(archivo(), TresConsultas()));
    grabar_ = std::make_unique<FRMGrabar>();
    recuperar_ = std::make_unique<FRMRecuperar>();
    CurrentQuestion = u"¿QUÉ SERÁ DE MÍ?"_s;
    CurrentLines = u"789689"_s;
  }

  void cleanup() {
    FijarPruebaLectura(nullptr);
    FijarCosturaFicheros(nullptr);
    FijarPruebaEscritura(nullptr);
    QCOMPARE(CancelarEsperasModales(), 0);
  }

  // Sin archivo, ilegible o con menos de medio registro: tras el aviso, ni ventana modal y el menú atiende.
  void sinConsultasSeVuelveAlMenu() {
    FRMPRINCIPAL::SalirDelPrograma = [] {};
    FRM256::RespuestaAutomatica = 0;
    FRMPRINCIPAL menu;
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const std::pair<std::function<void()>, QString> casos[] = {
        {[&] { QFile::remove(archivo()); }, u"NO EXISTEN CONSULTAS ARCHIVADAS"_s},
        {[&] {
           QVERIFY(EscribirTodo(archivo(), TresConsultas()));
           FijarPruebaLectura([&](const QString& r) { return r != archivo(); });
         },
         u"NO SE PUEDEN LEER LAS CONSULTAS ARCHIVADAS."_s},
        {[&] { QVERIFY(EscribirTodo(archivo(), TresConsultas().left(79))); },
         u"NO EXISTEN CONSULTAS ARCHIVADAS"_s}};
    for (const auto& [preparar, aviso] : casos) {
      preparar();
      if (QTest::currentTestFailed())
        return;
      GuionMensajes::limpiar();
      ClicEnVentana(menu.BTNMENU[4]);
      QTRY_VERIFY(menu.Encendido());
      QCOMPARE(int(GuionMensajes::mostrados().size()), 1);
      QVERIFY2(Ultimo().texto.startsWith(aviso), qPrintable(Ultimo().texto));
      QCOMPARE(CancelFlag.texto(), u"SI"_s);
      QCOMPARE(QGuiApplication::modalWindow(), nullptr);
      QVERIFY(!menu.Recuperar->windowHandle() || !menu.Recuperar->windowHandle()->isVisible());
      ClicEnVentana(menu.BTNMENU[7]);
      QTRY_COMPARE(Ultimo().titulo, u"Datos del Programador"_s);
      FijarPruebaLectura(nullptr);
    }
    FRM256::RespuestaAutomatica.reset();
  }

  void elRegistroYElOrdenDeLaReferencia() {
    QCOMPARE(Registro("LUIS", "¿QUÉ SERÁ?").Bytes(),
             QByteArray("0000") + '\0' + QByteArray("LUIS").leftJustified(30) + '\0' +
                 QByteArray("\xBFQU\xC9 SER\xC1?").leftJustified(100) + '\0' + "789789" + '\0' +
                 "05/03/1998" + QByteArray(6, '\0'));
    // ß no tiene una sola mayúscula; la de µ no cabe en Windows-1252.
    QCOMPARE(UsuarioRegistro(u"  peña y maría straße µ ÿ "_s), u"PEÑA Y MARÍA STRAßE µ Ÿ"_s);
    // Cuenta: largo / 160 al entero más cercano, las mitades al par.
    for (const auto& [largo, n] : {std::pair{79, 0}, {80, 0}, {81, 1}, {240, 2}, {400, 2}, {560, 4}})
      QCOMPARE(NumeroRegistros(largo), n);

    // Grabar y borrar dejan lo mismo que hacerlo sobre el propio fichero. Usuarios repetidos (dos que sólo
    // difieren en el carácter 30), registros de bytes cualesquiera y a veces un último registro a medias.
    QTemporaryDir dir, otro;
    const QString nuestro = dir.filePath(NombreArchivo), suyo = otro.filePath(NombreArchivo);
    std::mt19937 azar(20240611);
    const QString z(29, QLatin1Char('Z'));
    const QStringList nombres = {"ANA", "ANA ", "LUIS", "ANA MARIA", "ZOE",  "ÑANDÚ",
                                 "",    "€URO", "ana",  z + 'B',     z + 'A'};
    auto nombre = [&] { return nombres[int(azar() % unsigned(nombres.size()))]; };
    for (int caso = 0; caso < 400; ++caso) {
      QByteArray contenido;
      for (int i = int(azar() % 25); i > 0; --i) {
        QByteArray r = Registro(nombre(), QString::number(i)).Bytes();
        if (azar() % 8 == 0)
          std::generate(r.begin(), r.end(), [&] { return char(azar()); });
        contenido += r;
      }
      if (azar() % 3 == 0)
        contenido.chop(std::min<qsizetype>(contenido.size(), azar() % 160));
      const QByteArray nuevo = Registro(nombre(), u"NUEVA"_s).Bytes();
      const int n = NumeroRegistros(contenido.size()), s = 1 + int(azar() % unsigned(std::max(n, 1)));
      for (bool grabar : {true, n == 0}) { // sin registros no hay qué borrar: se graba otra vez
        QVERIFY(EscribirTodo(nuestro, contenido) && EscribirTodo(suyo, contenido));
        QCOMPARE(grabar ? GrabarRegistro(nuestro, ArchiveRecord::DesdeBytes(nuevo), nullptr)
                        : Eliminar(nuestro, s),
                 Hecho);
        QVERIFY(grabar ? Referencia::GrabarConsulta(suyo, nuevo) : Referencia::EliminarConsulta(suyo, s));
        QCOMPARE(QFile::exists(nuestro), QFile::exists(suyo));
        QCOMPARE(LeerTodo(nuestro), LeerTodo(suyo));
      }
    }
  }

  // Un disco lleno o que falla, un archivo ilegible, una carpeta sin permiso o un SIGKILL: nada a medias.
  void fallosEnDisco() {
    // En memoria si se puede: graba cientos de veces y el disco no es lo que se mira.
    QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/korval-XXXXXX"_s : QString());
    const QString ruta = dir.filePath(NombreArchivo);
    const QByteArray antes = TresConsultas();
    QVERIFY(EscribirTodo(ruta, antes));
    QString error;
    // Disco lleno: un hijo con un tope de tamaño menor que el archivo nuevo lo ve y lo explica.
    for (bool grabar : {true, false}) {
      QVERIFY(EnUnHijo(
          [&] {
            const ResultadoArchivo r =
                grabar ? GrabarRegistro(ruta, Registro("CARMEN"), &error) : Eliminar(ruta, 3, &error);
            return r == Fallo && error.contains(u"lleno"_s);
          },
          antes.size() - 200));
      QCOMPARE(LeerTodo(ruta), antes);
    }
    // Un archivo que no se deja leer no se pisa con otro de un solo registro.
    FijarPruebaLectura([](const QString&) { return false; });
    QVERIFY(GrabarRegistro(ruta, Registro("ANA"), &error) == Fallo && error.contains(u"permiso para leer"_s));
    QCOMPARE(Eliminar(ruta, 1), Fallo);
    FijarPruebaLectura(nullptr);
    // Cada fallo dice de qué es: de la carpeta en la que no se puede escribir, del archivo de sólo lectura.
    FijarCosturaFicheros([](PasoFichero p, const QString&) { return p == PasoFichero::Crear ? EACCES : 0; });
    QVERIFY(GrabarRegistro(ruta, Registro("BEA"), &error) == Fallo &&
            error.contains(QDir::toNativeSeparators(dir.path()) + u"»: falta permiso"_s));
    QCOMPARE(Eliminar(ruta, 1), Fallo);
    FijarCosturaFicheros(nullptr);
    QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QVERIFY(GrabarRegistro(ruta, Registro("BEA"), &error) == Fallo &&
            error.contains(QDir::toNativeSeparators(ruta) + u"» es de sólo lectura"_s));
    QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // La última consulta se borra sólo si el archivo sigue siendo el que se leyó: si cambia en medio, se
    // queda.
    const QByteArray sola = Registro("SOLA").Bytes();
    QVERIFY(EscribirTodo(ruta, sola));
    FijarCosturaFicheros([&](PasoFichero p, const QString&) {
      // Si no se pudo cambiar, otro fallo: la prueba no ve «ha cambiado».
      return p == PasoFichero::Borrar && !EscribirTodo(ruta, sola + "otra") ? EIO : 0;
    });
    QVERIFY(Eliminar(ruta, 1, &error) == Fallo && error.contains(u"ha cambiado"_s));
    QCOMPARE(LeerTodo(ruta), sola + "otra");
    FijarCosturaFicheros(nullptr);
    // Un archivo que con otra consulta pasaría de lo que se lee no crece: se dice y no cambia.
    QFile grande(ruta);
    QVERIFY(grande.open(QIODevice::WriteOnly) && grande.resize(LimiteArchivo - 100));
    grande.close();
    QVERIFY(GrabarRegistro(ruta, Registro("ZOE"), &error) == Fallo && error.contains(u"no admite más"_s));
    QCOMPARE(QFileInfo(ruta).size(), LimiteArchivo - 100);
    QVERIFY(EscribirTodo(ruta, antes));
    QCOMPARE(Sobrantes(dir.path(), DelArchivo), QStringList());

    // Un hijo graba y borra sin parar hasta un SIGKILL al azar: queda el archivo de antes o el de después.
    std::mt19937 azar(77);
    int aMedias = 0, conResto = 0;
    for (int vez = 0; vez < 220; ++vez) {
      const unsigned semilla = unsigned(azar());
      QByteArray estado = LeerTodo(ruta);
      QProcess hijo;
      hijo.start(QCoreApplication::applicationFilePath(), {u"--hijo"_s, ruta, QString::number(semilla)});
      QByteArray salida; // el hijo escribe una línea antes de cada operación
      const int antesDeMatar = 1 + int(azar() % 3);
      while (salida.count('\n') < antesDeMatar && hijo.waitForReadyRead(10000))
        salida += hijo.readAllStandardOutput();
      std::this_thread::sleep_for(std::chrono::microseconds(azar() % 4000));
      hijo.kill();
      QVERIFY(hijo.waitForFinished(10000));
      salida += hijo.readAllStandardOutput();
      const int empezadas = int(salida.count('\n'));
      QVERIFY2(empezadas >= antesDeMatar, "el hijo no trabaja");
      std::mt19937 plan(semilla);
      for (int j = 0; j + 1 < empezadas; ++j)
        estado = Paso(plan, j, estado);
      const QByteArray ahora = LeerTodo(ruta), despues = Paso(plan, empezadas - 1, estado);
      QVERIFY2(ahora == estado || ahora == despues, qPrintable(QString::number(vez)));
      aMedias += ahora == estado;
      // Cortada antes del cambio de nombre, queda a lo sumo el nuevo con su nombre fijo, que nadie toma por
      // el archivo y que la grabación siguiente quita.
      const QStringList restos = Sobrantes(dir.path(), DelArchivo);
      QVERIFY(restos.isEmpty() || restos == QStringList{u".usuarios.dat.korval-nuevo"_s});
      conResto += !restos.isEmpty();
    }
    QVERIFY(aMedias > 0 && conResto > 0);
    QVERIFY(EscribirTodo(dir.filePath(u".usuarios.dat.korval-nuevo"_s), "resto"));
    QCOMPARE(GrabarRegistro(ruta, Registro("FIN"), nullptr), Hecho);
    QCOMPARE(Sobrantes(dir.path(), DelArchivo), QStringList());
  }

#ifdef Q_OS_LINUX
  // Otro que puede escribir en la carpeta cambia sin parar el archivo, y el fichero nuevo que lo sustituye,
  // por un enlace a un fichero de fuera mientras se graba y se borra miles de veces: el de fuera no cambia.
  void otroCambiaLosNombresMientrasSeGraba() {
    QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm/korval-XXXXXX"_s : QString()), otra;
    const QString ruta = dir.filePath(NombreArchivo), fuera = otra.filePath(u"authorized_keys"_s);
    const QByteArray suyo = "ssh-ed25519 AAAAC3Nza de otro\n";
    QVERIFY(EscribirTodo(fuera, suyo));
    QFile::setPermissions(fuera, QFileDevice::Permissions(0x6004));
    QVERIFY(QFile::link(fuera, dir.filePath(u"cebo"_s)));
    QVERIFY(EscribirTodo(ruta, TresConsultas()));
    const QByteArray cebo = QFile::encodeName(dir.filePath(u"cebo"_s)), archivo = QFile::encodeName(ruta),
                     nuevo = QFile::encodeName(dir.filePath(u".usuarios.dat.korval-nuevo"_s));
    int hechas = 0, rechazadas = 0;
    {
      std::jthread otro([&](std::stop_token parar) {
        for (int vuelta = 0; !parar.stop_requested(); ++vuelta)
          renameat2(AT_FDCWD, cebo.constData(), AT_FDCWD,
                    vuelta % 4 ? archivo.constData() : nuevo.constData(), RENAME_EXCHANGE);
      });
      QElapsedTimer reloj;
      reloj.start();
      for (int i = 0; i < 4000 && reloj.elapsed() < 2000; ++i) {
        const ResultadoArchivo r =
            i % 3 == 2 ? Eliminar(ruta, 1) : GrabarRegistro(ruta, Registro("ANA"), nullptr);
        (r == Hecho ? hechas : rechazadas)++;
      }
    }
    QVERIFY2(hechas > 100 && rechazadas > 10, qPrintable(u"%1 %2"_s.arg(hechas).arg(rechazadas)));
    QCOMPARE(LeerTodo(fuera), suyo);
    QCOMPARE(QFile::permissions(fuera) & 0x7077, QFileDevice::Permissions(0x6004));
    QCOMPARE(QDir(otra.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"authorized_keys"_s});
  }
#endif

  // Dos copias que graban a la vez en el mismo archivo, cada una con su candado: no se pierde ninguna.
  void dosCopiasGrabanALaVez() {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(NombreArchivo);
    QProcess ana, luis;
    ana.start(QCoreApplication::applicationFilePath(), {u"--grabar"_s, ruta, u"ANA"_s});
    luis.start(QCoreApplication::applicationFilePath(), {u"--grabar"_s, ruta, u"LUIS"_s});
    QVERIFY(ana.waitForFinished(60000) && luis.waitForFinished(60000));
    QCOMPARE(ana.exitCode() + luis.exitCode(), 0);
    QStringList vistas; // cada una en su sitio: las de ANA antes, y las de cada uno en el orden grabado
    for (const ArchiveRecord& r : LeerRegistros(LeerTodo(ruta)))
      vistas << QuitarBlancos(r.Usuario) + u' ' + QuitarBlancos(r.Pregunta);
    for (int i = 0; i < 100; ++i)
      QCOMPARE(vistas.value(i), (i < 50 ? u"ANA %1"_s : u"LUIS %1"_s).arg(i % 50));
    QCOMPARE(vistas.size(), 100);
  }

  void soloLoNuestroYSoloParaSuDueno() {
    // Copias del usuario de nombre parecido y un "usuarios.TMP" enlazado fuera: grabar y borrar no los tocan.
    QTemporaryDir fuera;
    const QString suyo = fuera.filePath(u"suyo.dat"_s);
    QVERIFY(EscribirTodo(suyo, TresConsultas()));
    const QStringList ajenos = {"USUARIOS.DAT.VIEJO1", "usuarios.TMP",        "usuarios.dat.123456",
                                "usuarios.dat.backup", "usuarios.dat.copia1", "usuarios.dat.old"};
    for (const QString& n : ajenos)
      QVERIFY(n == ajenos[1] ? QFile::link(suyo, carpeta_->fichero(n))
                             : EscribirTodo(carpeta_->fichero(n), Registro(n).Bytes()));
    const QFileDevice::Permissions deTodos(0x6066); // leer y escribir, el dueño, su grupo y los demás
    QCOMPARE(GrabarRegistro(archivo(), Registro("BEA"), nullptr), Hecho);
    for (int i = 0; i < 4; ++i)
      QCOMPARE(Eliminar(archivo(), 1), Hecho);
    QVERIFY(!QFile::exists(archivo()));
    QCOMPARE(GrabarRegistro(archivo(), Registro("EVA"), nullptr), Hecho);
    // Sólo su dueño puede leer el archivo.
    QCOMPARE(QFile::permissions(archivo()) & deTodos, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(Sobrantes(carpeta_->ruta(), DelArchivo).filter(u"usuarios"_s, Qt::CaseInsensitive), ajenos);
    for (const QString& n : ajenos)
      QCOMPARE(LeerTodo(carpeta_->fichero(n)), n == ajenos[1] ? TresConsultas() : Registro(n).Bytes());

    // Un enlace en su lugar se lee, pero eliminar (también su única consulta) y grabar se niegan y lo
    // explican.
    const QByteArray sola = Registro("SOLA").Bytes();
    QVERIFY(EscribirTodo(suyo, sola));
    QFile::setPermissions(suyo, deTodos);
    QFile::remove(archivo());
    QVERIFY(QFile::link(suyo, archivo()));
    FRMRecuperar& w = *recuperar_;
    w.show();
    QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"(Todos)", "SOLA"}));
    QVERIFY(Clic(w.BTNAUX[2]));
    QVERIFY(w.isVisible() && Ultimo().texto.startsWith(u"NO SE HA ELIMINADO LA CONSULTA."_s) &&
            Ultimo().texto.contains(u"enlace simbólico"_s));
    QVERIFY(Clic(w.BTNAUX[1]));
    grabar_->show();
    Escribir(grabar_->TXTUsuario, u"bea\n"_s);
    QVERIFY(Ultimo().texto.startsWith(u"NO SE HA GRABADO LA CONSULTA."_s) &&
            Ultimo().texto.contains(u"enlace simbólico"_s) &&
            Ultimo().texto.contains(u"siguen como estaban"_s));
    QCOMPARE(QFileInfo(archivo()).symLinkTarget(), suyo);
    QCOMPARE(LeerTodo(suyo), sola);
    QCOMPARE(QFile::permissions(suyo) & deTodos, deTodos);
  }

  // Sin poder escribir en la carpeta del programa (con tres consultas), se escribe en la del usuario.
  void archivoJuntoAUnProgramaQueNoPuedeEscribir() {
    const auto volver = qScopeGuard([casa = qgetenv("HOME")] { qputenv("HOME", casa); }); // aunque falle
    QTemporaryDir casa;
    qputenv("HOME", casa.path().toLocal8Bit());
    FijarDirEscritura(QString());
    FijarPruebaEscritura([&](const QString& d) { return QDir(d) != QDir(carpeta_->ruta()); });
    const QString nuevo = QDir(CarpetaUsuario()).filePath(NombreArchivo);
    QVERIFY2(nuevo.startsWith(casa.path()), qPrintable(nuevo));
    QFile::setPermissions(archivo(), QFileDevice::Permissions(0x4044)); // sólo lectura, para todos
    const QFileDevice::Permissions permisos = QFile::permissions(archivo());
    // Sin archivo allí se ven las de junto al programa; la primera grabación o eliminación lo copia y avisa.
    FRMRecuperar& w = *recuperar_;
    for (bool primeroGrabar : {true, false}) {
      QFile::remove(nuevo);
      w.show();
      QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"(Todos)", "ANA", "LUIS"}));
      if (!primeroGrabar)
        QVERIFY(Clic(w.BTNAUX[2])); // la más reciente de ANA, la segunda del archivo
      QVERIFY(Clic(w.BTNAUX[1]));
      if (primeroGrabar) {
        grabar_->show();
        Escribir(grabar_->TXTUsuario, u"eva\n"_s);
      }
      QCOMPARE(LeerTodo(nuevo), primeroGrabar ? ConLaEnCurso(u"EVA"_s) : SinRegistro(TresConsultas(), 2));
      QCOMPARE(Ultimo().icono(), int(vbInformation));
      for (const QString& dice : {QDir::toNativeSeparators(nuevo), QDir::toNativeSeparators(archivo())})
        QVERIFY2(Ultimo().texto.contains(dice) && Ultimo().texto.contains(u"sigue como estaba"_s),
                 qPrintable(Ultimo().texto));
    }
    // Desde entonces, allí sin más avisos; eliminadas todas, las de junto al programa no vuelven.
    const size_t antes = GuionMensajes::mostrados().size();
    grabar_->show();
    Escribir(grabar_->TXTUsuario, u"zoe\n"_s);
    w.show();
    for (int i = 0; i < 4 && w.isVisible(); ++i)
      QVERIFY(Clic(w.BTNAUX[2]));
    QVERIFY(!w.isVisible());
    QCOMPARE(GuionMensajes::mostrados().size(), antes + 4); // tres preguntas y el aviso final
    QCOMPARE(Ultimo().texto, u"NO EXISTEN CONSULTAS ARCHIVADAS"_s);
    QCOMPARE(LeerTodo(nuevo), QByteArray());
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    QCOMPARE(QFile::permissions(archivo()), permisos);
    // El de junto al programa que no se deja leer (de otro usuario) no impide empezar uno propio.
    QFile::remove(nuevo);
    FijarPruebaLectura([&](const QString& r) { return r != archivo(); });
    grabar_->show();
    Escribir(grabar_->TXTUsuario, u"eva\n"_s);
    QCOMPARE(LeerTodo(nuevo), ConRegistroNuevo({}, Registro(u"EVA"_s, u"¿QUÉ SERÁ DE MÍ?"_s, u"789689"_s)));
    QCOMPARE(GuionMensajes::mostrados().size(), antes + 4);
  }

  void grabarConNombre() {
    // Cancelar, Escape y el aspa no graban; la ventana se abre siempre en blanco.
    FRMGrabar* w = grabar_.get();
    QLineEdit* nombre = w->TXTUsuario;
    const std::function<void()> cierres[] = {[w] { QVERIFY(Clic(w->BTNAUX[1])); },
                                             [w] { QTest::keyClick(w, Qt::Key_Escape); },
                                             [w] { w->close(); }};
    for (const auto& cerrar : cierres) {
      w->show();
      QVERIFY(nombre->text().isEmpty() && !w->BTNAUX[0]->isVisible());
      QTest::keyClicks(nombre, u"pepe"_s);
      cerrar();
      QVERIFY(!w->isVisible());
    }
    // Aceptar se ve, e Intro graba, sólo mientras el nombre sin blancos no está vacío.
    w->show();
    Escribir(nombre, u"   \n"_s);
    QVERIFY(w->isVisible() && !w->BTNAUX[0]->isVisible());
    QTest::keyClicks(nombre, u"eva"_s);
    QVERIFY(w->BTNAUX[0]->isVisible());
    QTest::keyClicks(nombre, u"\b\b\b"_s); // tres retrocesos
    QVERIFY(!w->BTNAUX[0]->isVisible());
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    Escribir(nombre, u"luis \n"_s);
    QVERIFY(!w->isVisible() && GuionMensajes::mostrados().empty());
    QCOMPARE(LeerTodo(archivo()), ConLaEnCurso(u"LUIS"_s));

    // Treinta caracteres y sólo de Windows-1252: lo demás se quita con un pitido, tecleado o pegado.
    QVERIFY(EscribirTodo(archivo(), TresConsultas()));
    w->show();
    QTest::keyClicks(nombre, QString(35, QLatin1Char('x')));
    QCOMPARE(nombre->text(), QString(30, QLatin1Char('x')));
    nombre->clear();
    const int pitidos = PitidosDados();
    Escribir(nombre, u"Peña€数☯ü "_s);
    QApplication::clipboard()->setText(u"Zoë ☯ Ñu"_s);
    QTest::keyClick(nombre, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(nombre->text(), u"Peña€ü Zoë  Ñu"_s);
    QCOMPARE(PitidosDados() - pitidos, 3);
    QVERIFY(Clic(w->BTNAUX[0]));
    QCOMPARE(LeerTodo(archivo()), ConLaEnCurso(u"PEÑA€Ü ZOË  ÑU"_s));
    // Los acentos que llegan sueltos tras su letra se guardan con ella, en el nombre y en la pregunta; una
    // consulta sacada del archivo se graba con su fecha, no con la de hoy.
    QVERIFY(EscribirTodo(archivo(), TresConsultas()));
    CurrentQuestion = u"¿QUE\u0301 SERA\u0301 DE MI\u0301?"_s;
    CurrentDate = QDate(2026, 12, 6);
    w->show();
    Escribir(nombre, u"jose\u0301"_s);
    QCOMPARE(nombre->text(), u"josé"_s);
    QVERIFY(Clic(w->BTNAUX[0]));
    QCOMPARE(LastUser, u"JOSÉ"_s); // quien grabó la última, como quedó en el archivo
    QCOMPARE(LeerTodo(archivo()), ConRegistroNuevo(TresConsultas(), Registro(u"JOSÉ"_s, "¿QUÉ SERÁ DE MÍ?",
                                                                             "789689", "06/12/2026")));
  }

  // El diario: cada persona una vez en orden castellano; sus consultas de la más reciente a la más
  // antigua; la búsqueda; y lo exportado, leído con un lector estricto, dice lo mismo que el archivo.
  void elDiarioYSusExportaciones() {
    const QString larga = u"¿Y SI DIGO \"SÍ\", O \"NO\",\r\nY LUEGO <script>alert(1)</script> & CO.?"_s;
    const ArchiveRecord registros[] = {Registro("ZOE", "¿ME QUEDO?", "777777", "01/01/2020"),
                                       Registro("ÍÑIGO", "¿CAMBIARÉ DE CASA?", "796878", "06/12/2026"),
                                       Registro("ÍÑIGO", larga, "888888", "02/01/2019"),
                                       Registro("ÍÑIGO", "¿Y EL TRABAJO?", "969696", "06/12/2026"),
                                       Registro("ÑANDÚ", "¿ROTA?", "7x\u00019", "3/1/2021"),
                                       Registro("NURIA", "¿PEÑA?", "777778", "05/03/1998"),
                                       Registro("ÁLVARO", "¿AÚN?", "666666", "05/03/1998"),
                                       Registro("IGNACIO", "¿SÍ?", "999999", "05/03/1998")};
    QByteArray contenido;
    for (const ArchiveRecord& r : registros)
      contenido = ConRegistroNuevo(contenido, r);
    const Diario d(contenido);
    QCOMPARE(d.Usuarios(), QStringList({"ÁLVARO", "IGNACIO", "ÍÑIGO", "NURIA", "ÑANDÚ", "ZOE"}));
    QCOMPARE(d.BuscarUsuario(u" inigo"_s), 2);
    QCOMPARE(d.BuscarUsuario(u"ign"_s), -1);
    QStringList deInigo;
    for (int i : d.Consultas(2))
      deInigo << d.Entrada(i);
    const int cambio = HexagramNumber(u"796878"_s), trabajo = HexagramNumber(u"969696"_s);
    QCOMPARE(deInigo,
             QStringList(
                 {u"06/12/2026 · %1 → %2 · ¿Y EL TRABAJO?"_s.arg(trabajo).arg(HexagramNumber(u"878787"_s)),
                  u"06/12/2026 · %1 → %2 · ¿CAMBIARÉ DE CASA?"_s.arg(cambio).arg(HexagramNumber(u"787878"_s)),
                  u"02/01/2019 · 2 · "_s + TextoVisible(larga).simplified()}));
    QCOMPARE(d.Entrada(d.Consultas(4)[0], true), u"3/1/2021 · ÑANDÚ · ¿ROTA?"_s); // dañada: sin hexagrama
    QCOMPARE(d.Consultas().back(), d.Consultas(4)[0]); // la de fecha ilegible, al final de todas
    const std::pair<QString, QStringList> busquedas[] = {
        {u"cambiare"_s, {u"¿CAMBIARÉ DE CASA?"_s}},
        {u"casa  CAMB"_s, {u"¿CAMBIARÉ DE CASA?"_s}},
        {u"asa"_s, {}},
        {u"pena"_s, {u"¿PEÑA?"_s}},
        {QString::number(HexagramNumber(u"787878"_s)), {u"¿Y EL TRABAJO?"_s, u"¿CAMBIARÉ DE CASA?"_s}},
        {u"2"_s, {larga, u"¿AÚN?"_s, u"¿SÍ?"_s}}}; // 888888 y los complementarios de 666666 y 999999
    for (const auto& [busqueda, preguntas] : busquedas) {
      QStringList vistas;
      for (int i : d.Consultas(-1, busqueda))
        vistas << d.Pregunta(i);
      QCOMPARE(busqueda + u": "_s + vistas.join(u" | "_s), busqueda + u": "_s + preguntas.join(u" | "_s));
    }

    // CSV: la cabecera, una fila por consulta, y cada campo como en el archivo.
    const std::vector<int> todas = d.Consultas();
    const auto csv = LeerCsv(ExportarCsv(d, todas));
    QVERIFY(csv.has_value());
    QCOMPARE(csv->size(), int(todas.size()) + 1);
    QCOMPARE(csv->at(0).join(u','), QString::fromLatin1(CabeceraCsv));
    QCOMPARE(csv->at(1).mid(0, 6).join(u'|'),
             u"2026-12-06|ÍÑIGO|¿Y EL TRABAJO?|969696|%1|%2 — %3"_s.arg(trabajo).arg(
                 QuitarBlancos(HexagramList[trabajo][4]), QuitarBlancos(HexagramList[trabajo][5])));
    QCOMPARE(csv->at(4).mid(1, 5), QStringList({u"ÍÑIGO"_s, larga, u"888888"_s, u"2"_s, csv->at(4)[5]}));
    QCOMPARE(csv->at(4)[6], u"2"_s); // sin líneas que muden, el complementario es el mismo
    QCOMPARE(csv->last(), QStringList({u"3/1/2021"_s, u"ÑANDÚ"_s, u"¿ROTA?"_s, u"7x 9"_s, {}, {}, {}, {}}));

    // HTML: una entrada por consulta, con sus números; lo escrito por la persona se queda en texto.
    const QStringList html = LeerHtml(ExportarHtml(d, todas, {}, QDateTime(QDate(2026, 12, 7), QTime(9, 5))));
    QCOMPARE(html.size(), int(todas.size()));
    QCOMPARE(html[0], u"¿Y EL TRABAJO?|ÍÑIGO|%1|%2"_s.arg(trabajo).arg(HexagramNumber(u"878787"_s)));
    QCOMPARE(html[3], QString(larga).replace(u"\r\n"_s, u"\n"_s) + u"|ÍÑIGO|2"_s); // XML lee CR LF como LF
    QCOMPARE(html.last(), u"¿ROTA?|ÑANDÚ|Las líneas guardadas («7x 9») no forman un hexagrama."_s);
    QCOMPARE(LeerHtml(ExportarHtml(d, {}, u"<b>"_s, {})), QStringList());
  }

  // Exportar desde la ventana: lo elegido en el diálogo, sólo lo sustituido si se aceptó, y nunca
  // a través de un enlace.
  void exportarDesdeLaVentana() {
    QTemporaryDir fuera;
    FicheroElegido elegido;
    QString propuesta;
    FijarDialogoGuardar([&](const QString& p) {
      propuesta = p;
      return elegido;
    });
    const auto volver = qScopeGuard([] { FijarDialogoGuardar(nullptr); });
    FRMRecuperar& w = *recuperar_;
    w.show();
    const auto exportar = [&](const QString& nombre, bool sustituir) {
      elegido = {fuera.filePath(nombre), sustituir};
      GuionMensajes::limpiar();
      return Clic(w.BTNEXPORTAR) ? Ultimo().texto.replace(fuera.path() + u'/', u"…/"_s) : u"sin clic"_s;
    };
    QCOMPARE(exportar(u"ana.csv"_s, false), u"Se han exportado 2 consultas a «…/ana.csv»."_s);
    QVERIFY(propuesta.endsWith(u"Diario de ANA 1998-03-05.html"_s));
    QCOMPARE(LeerCsv(LeerTodo(fuera.filePath(u"ana.csv"_s)))->size(), 3);
    Elegir(w.CMBUSUARIO, 0);
    QCOMPARE(exportar(u"todos.html"_s, false), u"Se han exportado 3 consultas a «…/todos.html»."_s);
    QCOMPARE(LeerHtml(LeerTodo(fuera.filePath(u"todos.html"_s))).size(), 3);
    // Uno que apareció sin que se aceptara sustituirlo se queda; el aceptado se sustituye.
    QVERIFY(exportar(u"ana.csv"_s, false).contains(u"KORVAL no lo sustituye"_s));
    QCOMPARE(LeerCsv(LeerTodo(fuera.filePath(u"ana.csv"_s)))->size(), 3);
    QVERIFY(exportar(u"ana.csv"_s, true).startsWith(u"Se han exportado 3"_s));
    QCOMPARE(LeerCsv(LeerTodo(fuera.filePath(u"ana.csv"_s)))->size(), 4);
    // Un enlace en su lugar no se sigue; una extensión que no es de ningún formato, tampoco se escribe.
    QVERIFY(EscribirTodo(fuera.filePath(u"suyo"_s), "suyo"));
    QVERIFY(QFile::link(fuera.filePath(u"suyo"_s), fuera.filePath(u"enlace.html"_s)));
    QVERIFY(exportar(u"enlace.html"_s, true).contains(u"enlace simbólico"_s));
    QCOMPARE(LeerTodo(fuera.filePath(u"suyo"_s)), QByteArray("suyo"));
    QVERIFY(exportar(u"diario.txt"_s, false).contains(u"ha de terminar en .html"_s));
    QCOMPARE(QDir(fuera.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList({"ana.csv", "enlace.html", "suyo", "todos.html"}));
    QVERIFY(Clic(w.BTNAUX[1]));
  }

  // USUARIO con cada persona una vez; CONSULTA, las suyas de la más reciente a la más antigua; buscar,
  // eliminar diciendo qué (No por omisión) y por lo que se vio, y las dañadas, que se ven y se eliminan.
  void elDiarioEnLaVentana() {
    FRMRecuperar& w = *recuperar_;
    const int h1 = HexagramNumber(u"777777"_s), h64 = HexagramNumber(u"878787"_s);
    const int luis = HexagramNumber(u"788788"_s), ana = HexagramNumber(u"969696"_s);
    LastUser = u"LUIS"_s; // quien grabó la última abre la ventana
    w.show();
    QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"(Todos)", "ANA", "LUIS"}));
    QCOMPARE(w.CMBUSUARIO->currentText() + u": "_s + Elementos(w.CMBCONSULTA).join(u" | "_s),
             u"LUIS: 24/12/2005 · %1 · ¿Y LUIS?"_s.arg(luis));
    QCOMPARE(w.focusWidget(), w.CMBUSUARIO);
    Elegir(w.CMBUSUARIO, 1);
    QCOMPARE(Elementos(w.CMBCONSULTA),
             QStringList({u"15/06/2004 · %1 → %2 · ¿SEGUNDA DE ANA?"_s.arg(ana).arg(h64),
                          u"01/02/2003 · %1 · ¿PRIMERA DE ANA?"_s.arg(h1)}));
    QCOMPARE(w.LBLFecha->text() + w.CMBCONSULTA->toolTip(), u"15/06/2004¿SEGUNDA DE ANA?"_s);
    for (int j = 0; j < 6; ++j)
      QCOMPARE(w.LINEA[j]->Picture().cacheKey(), GRAFICOS::Instancia().GRFLINEAp[j % 2 ? 0 : 3].cacheKey());
    QCOMPARE(w.label2[0]->text(), u" %1 - "_s.arg(ana) + QuitarBlancos(HexagramList[ana][4]));
    Elegir(w.CMBUSUARIO, 0);
    QCOMPARE(w.CMBCONSULTA->itemText(0), u"24/12/2005 · LUIS · %1 · ¿Y LUIS?"_s.arg(luis));
    // Buscar filtra mientras se escribe: palabras sin acentos, o el número de un hexagrama.
    const std::pair<QString, int> busquedas[] = {
        {u"segunda"_s, 1}, {u"DE ana"_s, 2}, {u"unda"_s, 0}, {QString::number(h64), 1}, {u" "_s, 3}};
    for (const auto& [texto, cuantas] : busquedas) {
      w.TXTBuscar->clear();
      Escribir(w.TXTBuscar, texto);
      QCOMPARE(w.TXTBuscar->text() + u": %1"_s.arg(w.CMBCONSULTA->count()), texto + u": %1"_s.arg(cuantas));
      QCOMPARE(w.BTNAUX[0]->isEnabled() && w.BTNAUX[2]->isEnabled(), cuantas > 0);
    }
    // Eliminar dice qué y, con Intro, No.
    Elegir(w.CMBUSUARIO, 1);
    GuionMensajes::responder(vbNo);
    QVERIFY(Clic(w.BTNAUX[2]));
    QCOMPARE(
        Ultimo().titulo + u": "_s + Ultimo().texto,
        u"KORVAL — Eliminar consulta: ¿Eliminar la consulta de ANA del 15/06/2004, «¿SEGUNDA DE ANA?»?"_s);
    QCOMPARE(Ultimo().icono() + Ultimo().botones(), int(vbQuestion + vbYesNo));
    QCOMPARE(Ultimo().predeterminado, int(vbNo));
    QCOMPARE(LeerTodo(archivo()), TresConsultas());
    QVERIFY(Clic(w.BTNAUX[2])); // sin respuestas en cola, el guion contesta Sí
    const QByteArray dos = SinRegistro(TresConsultas(), 2);
    QCOMPARE(LeerTodo(archivo()), dos);
    QCOMPARE(w.CMBUSUARIO->currentText() + u' ' + Elementos(w.CMBCONSULTA).join(u" | "_s),
             u"ANA 01/02/2003 · %1 · ¿PRIMERA DE ANA?"_s.arg(h1));
    // Si el archivo cambió desde que se llenó la lista, se elimina la consulta que se ve, no la de su lugar.
    Elegir(w.CMBUSUARIO, 2);
    const QByteArray otraCopia = ConRegistroNuevo(dos, Registro("AAA")); // grabó delante y renumeró
    QVERIFY(EscribirTodo(archivo(), otraCopia));
    QVERIFY(Clic(w.BTNAUX[2]));
    QCOMPARE(LeerTodo(archivo()), SinRegistro(otraCopia, 3));
    QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"(Todos)", "AAA", "ANA"}));
    // Si ya no está, se dice, se vuelve a listar y no se elimina nada.
    Elegir(w.CMBUSUARIO, 2);
    const QByteArray soloAaa = RegistroEn(otraCopia, 1);
    QVERIFY(EscribirTodo(archivo(), soloAaa));
    QVERIFY(Clic(w.BTNAUX[2]));
    QVERIFY2(Ultimo().texto.startsWith(u"NO SE HA ELIMINADO LA CONSULTA."_s) &&
                 Ultimo().texto.contains(u"ya no está"_s),
             qPrintable(Ultimo().texto));
    QVERIFY(w.isVisible() && LeerTodo(archivo()) == soloAaa);
    QCOMPARE(Elementos(w.CMBUSUARIO), QStringList({"(Todos)", "AAA"}));
    // Quitar la última borra el archivo y cierra la ventana, como si se cancelara.
    QVERIFY(Clic(w.BTNAUX[2]));
    QVERIFY(!w.isVisible() && !QFile::exists(archivo()) && CancelFlag.texto() == u"SI"_s);

    // Uno bueno, uno con ceros en usuario, líneas y fecha, uno de bytes cualesquiera y una cola:
    // se ven sin caracteres de control ni hexagrama y se pueden eliminar.
    const QByteArray bueno = Registro("ANA", "¿BUENA?", "789789", "29/02/2024").Bytes();
    QByteArray ceros = Registro("X", "¿CEROS?").Bytes();
    ceros.replace(5, 30, QByteArray(30, '\0')).replace(137, 17, QByteArray(17, '\0'));
    QByteArray basura(160, '\0');
    for (int i = 0; i < 160; ++i)
      basura[i] = char(i * 73 + 5);
    QVERIFY(EscribirTodo(archivo(), bueno + ceros + basura + QByteArray(60, '\x7F')));
    LastUser.clear();
    w.show();
    Elegir(w.CMBUSUARIO, 0);
    QCOMPARE(w.CMBCONSULTA->count(), 3);
    Elegir(w.CMBCONSULTA, 2); // las de fecha ilegible, al final
    QCOMPARE(w.CMBCONSULTA->currentText(), u"(sin nombre) · ¿CEROS?"_s);
    QCOMPARE(w.LBLFecha->text() + w.label2[0]->text() + w.label2[1]->text(), QString());
    for (int j = 0; j < 6; ++j)
      QVERIFY(!w.LINEA[j]->isVisible());
    for (int i = 0; i < 3; ++i)
      for (QChar c : w.CMBCONSULTA->itemText(i))
        QVERIFY(c.isPrint());
    QVERIFY(Clic(w.BTNAUX[2]));
    QCOMPARE(w.CMBCONSULTA->count(), 2);
    Elegir(w.CMBCONSULTA, 0);
    QVERIFY(Clic(w.BTNAUX[0]));
    QCOMPARE(CancelFlag.texto() + CurrentLines.texto(), u"NO789789"_s);
    QCOMPARE(CurrentDate, QDate(2024, 2, 29)); // la consulta lleva su fecha a la interpretación
    QCOMPARE(LeerTodo(archivo()), bueno + basura);
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && QByteArray(argv[1]) == "--grabar") {
    for (int i = 0; i < 50; ++i) {
      QString error;
      if (GrabarRegistro(QString::fromLocal8Bit(argv[2]),
                         Registro(QString::fromLocal8Bit(argv[3]), QString::number(i)),
                         &error) != ResultadoArchivo::Hecho)
        qFatal("%s", qPrintable(error));
    }
    return 0;
  }
  if (argc == 4 && QByteArray(argv[1]) == "--hijo") {
    std::mt19937 azar(unsigned(QByteArray(argv[3]).toULong()));
    const QString ruta = QString::fromLocal8Bit(argv[2]);
    QByteArray estado = LeerTodo(ruta);
    for (int j = 0;; ++j) {
      std::printf("%d\n", j);
      std::fflush(stdout);
      estado = Paso(azar, j, estado, ruta);
    }
  }
  QApplication app(argc, argv);
  PruebaArchivo prueba;
  return QTest::qExec(&prueba, argc, argv);
}

#include "test_archivo.moc"
