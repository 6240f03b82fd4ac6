#include "platform/Ficheros.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cerrno>

// KORVAL_SOLO_QT compila aquí el camino de Qt, el de los sistemas sin
// descriptores de carpeta, para probarlo también en este.
#if defined(Q_OS_UNIX) && !defined(KORVAL_SOLO_QT)
#define KORVAL_POSIX 1
#include "platform/SinCortes.h"

#include <QDeadlineTimer>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDateTime>
#include <QSaveFile>
#endif

namespace {
std::function<bool(const QString&)> pruebaLectura;
std::function<int(PasoFichero, const QString&)> costura;

QString Nativa(const QString& ruta) {
  return QDir::toNativeSeparators(ruta);
}

void Anotar(QString* error, const QString& texto) {
  if (error)
    *error = texto;
}

QString Lleno() {
  return QStringLiteral("El disco no admitió todos los datos: puede que esté lleno.");
}

QString SinPermisoEn(const QString& carpeta) {
  return QStringLiteral("No se puede escribir en la carpeta «%1»: falta permiso para escribir en ella o es "
                        "de sólo lectura.")
      .arg(Nativa(carpeta));
}

// Un paso de la costura: 0 si sigue.
int Paso(PasoFichero paso, const QString& ruta) {
  return costura ? costura(paso, ruta) : 0;
}
} // namespace

QString DescribirFalloLectura(FalloLectura fallo, qint64 limite) {
  switch (fallo) {
  case FalloLectura::Ninguno:
    return QString();
  case FalloLectura::NoExiste:
    return QStringLiteral("no existe");
  case FalloLectura::SinPermiso:
    return QStringLiteral("no hay permiso para leerlo");
  case FalloLectura::Carpeta:
    return QStringLiteral("es una carpeta, no un fichero");
  case FalloLectura::NoEsFichero:
    return QStringLiteral("no es un fichero normal");
  case FalloLectura::Demasiado:
    return QStringLiteral("es demasiado grande (más de %1 bytes)").arg(limite);
  case FalloLectura::Ilegible:
    return QStringLiteral("no se ha podido leer entero");
  }
  return QString();
}

QString Carpeta::RutaDe(const QString& nombre) const {
  return QDir(ruta_).filePath(nombre);
}

QString Carpeta::MotivoNoEscribible(const QString& nombre) const {
  const QString ruta = Nativa(RutaDe(nombre));
  switch (Tipo(nombre)) {
  case TipoNombre::Nada:
    return QString();
  case TipoNombre::Fichero:
    break;
  case TipoNombre::Enlace:
    // Un enlace colgante también: escribir en él crearía su destino.
    return QStringLiteral("«%1» es un enlace simbólico. KORVAL no escribe a través de enlaces, para no "
                          "cambiar un fichero que está en otro sitio; bórrelo o cámbiele el nombre.")
        .arg(ruta);
  case TipoNombre::Carpeta:
  case TipoNombre::Otro:
    return QStringLiteral("«%1» no es un fichero normal (es una carpeta, un dispositivo o algo parecido); "
                          "KORVAL no escribe en él.")
        .arg(ruta);
  }
  // Sustituirlo sólo pide poder escribir en la carpeta; pero el fichero de
  // otro usuario no es nuestro, y quien dejó el suyo de sólo lectura no
  // quiere que cambie. El fallo es del fichero, no de la carpeta.
  switch (Propiedad(nombre)) {
  case Pertenencia::Ajeno:
    return QStringLiteral("«%1» es de otro usuario y KORVAL no lo cambia.").arg(ruta);
  case Pertenencia::SoloLectura:
    return QStringLiteral("«%1» es de sólo lectura y KORVAL no lo cambia. Si quiere que vuelva a escribir en "
                          "él, quítele esa protección.")
        .arg(ruta);
  case Pertenencia::Nuestro:
    break;
  }
  return QString();
}

FalloLectura LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray* bytes, QString* descripcion) {
  const QFileInfo info(ruta);
  return Carpeta(info.absolutePath()).Leer(info.fileName(), limite, bytes, descripcion);
}

QString MotivoNoEscribible(const QString& ruta) {
  const QFileInfo info(ruta);
  return Carpeta(info.absolutePath()).MotivoNoEscribible(info.fileName());
}

void FijarPruebaLectura(std::function<bool(const QString&)> sePuedeLeer) {
  pruebaLectura = std::move(sePuedeLeer);
}

void FijarCosturaFicheros(std::function<int(PasoFichero, const QString&)> nueva) {
  costura = std::move(nueva);
}

#ifdef KORVAL_POSIX

// --- Con descriptores -------------------------------------------------------

namespace {
QByteArray Bytes(const QString& nombre) {
  return QFile::encodeName(nombre);
}

QString ConMotivo(const QString& ruta, int numero) {
  return QStringLiteral("No se ha podido escribir «%1» en el disco (error %2 del sistema).")
      .arg(Nativa(ruta))
      .arg(numero);
}

QString Cambiado(const QString& ruta) {
  return QStringLiteral("Otro programa ha cambiado «%1» mientras KORVAL lo escribía. Vuelva a intentarlo.")
      .arg(Nativa(ruta));
}

// Los nombres fijos de los ficheros de paso de `nombre`: el nuevo que lo
// sustituye y el apartado que se borra. Nadie los elegiría para uno suyo.
QString NombreDePaso(const QString& nombre, const char* paso) {
  return QLatin1Char('.') + (nombre.startsWith(QLatin1Char('.')) ? nombre.mid(1) : nombre) +
         QLatin1String(paso);
}
QString NombreNuevo(const QString& nombre) {
  return NombreDePaso(nombre, ".korval-nuevo");
}

IdentidadFichero IdentidadDe(const struct stat& st) {
  IdentidadFichero r;
  r.dispositivo = quint64(st.st_dev);
  r.nodo = quint64(st.st_ino);
  r.largo = qint64(st.st_size);
#ifdef Q_OS_DARWIN
  r.modificado = qint64(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
  r.modificado = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  return r;
}

// Lleva a disco lo que dice qué ficheros hay en la carpeta (un nombre nuevo,
// uno quitado). Hay sistemas de ficheros que no lo admiten; lo demás ya está
// hecho, así que no es un fallo.
void SincronizarCarpeta(int fd) {
  SinCortes([&] { return ::fsync(fd); });
}

// Escribe todo o dice con qué error falló.
int EscribirEntero(int fd, const QByteArray& bytes) {
  const char* p = bytes.constData();
  qsizetype falta = bytes.size();
  while (falta > 0) {
    const ssize_t hecho = SinCortes([&] { return ::write(fd, p, size_t(falta)); });
    if (hecho < 0)
      return errno;
    if (hecho == 0)
      return ENOSPC;
    p += hecho;
    falta -= hecho;
  }
  return 0;
}

QString MensajeEscritura(int numero, const QString& ruta, const QString& carpeta) {
  switch (numero) {
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return Lleno();
  case EACCES:
  case EPERM:
  case EROFS:
    return SinPermisoEn(carpeta);
  default:
    return ConMotivo(ruta, numero);
  }
}

// Cambia el nombre `de` por `a` sólo si `a` está libre: 0 o el número de error.
int RenombrarSinPisar(int dir, const QByteArray& de, const QByteArray& a) {
#ifdef Q_OS_LINUX
  if (SinCortes([&] { return ::renameat2(dir, de.constData(), dir, a.constData(), RENAME_NOREPLACE); }) == 0)
    return 0;
  if (errno != EINVAL && errno != ENOSYS)
    return errno;
#endif
  // Sin cambio de nombre exclusivo, se mira antes que `a` esté libre.
  struct stat st {};
  if (::fstatat(dir, a.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
    return EEXIST;
  return SinCortes([&] { return ::renameat(dir, de.constData(), dir, a.constData()); }) == 0 ? 0 : errno;
}

// Quita el resto que dejó una escritura o un borrado cortados: un fichero
// normal de este usuario con uno de nuestros nombres fijos. Cualquier otra
// cosa con ese nombre no es nuestra: EEXIST. Entre mirarlo y quitarlo, sólo
// podría cambiarlo quien puede escribir en la carpeta, y ese también podría
// quitarlo él mismo: nada de nadie se pierde por nuestra mano.
int QuitarResto(int dir, const QByteArray& nombre) {
  struct stat st {};
  if (::fstatat(dir, nombre.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? 0 : errno;
  if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
    return EEXIST;
  return ::unlinkat(dir, nombre.constData(), 0) == 0 || errno == ENOENT ? 0 : errno;
}

// Un fichero nuevo de `nombre`, escrito y llevado al disco, aún abierto.
struct Nuevo {
  int fd = -1;
  IdentidadFichero identidad;
  Creacion estado = Creacion::Fallida;
};
} // namespace

Carpeta::Carpeta(const QString& ruta) : ruta_(ruta) {
  fd_ = SinCortes([&] { return ::open(Bytes(ruta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  numero_ = fd_ < 0 ? errno : 0;
  if (fd_ < 0)
    error_ =
        QStringLiteral("No se puede abrir la carpeta «%1»: no existe o falta permiso para entrar en ella.")
            .arg(Nativa(ruta));
}

Carpeta::~Carpeta() {
  if (fd_ >= 0)
    ::close(fd_);
}

bool Carpeta::abierta() const {
  return fd_ >= 0;
}

TipoNombre Carpeta::Tipo(const QString& nombre) const {
  struct stat st {};
  if (fd_ < 0 || ::fstatat(fd_, Bytes(nombre).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return TipoNombre::Nada;
  if (S_ISLNK(st.st_mode))
    return TipoNombre::Enlace;
  if (S_ISREG(st.st_mode))
    return TipoNombre::Fichero;
  return S_ISDIR(st.st_mode) ? TipoNombre::Carpeta : TipoNombre::Otro;
}

Carpeta::Pertenencia Carpeta::Propiedad(const QString& nombre) const {
  struct stat st {};
  if (fd_ < 0 || ::fstatat(fd_, Bytes(nombre).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return Pertenencia::Nuestro;
  if (st.st_uid != ::geteuid() && ::geteuid() != 0)
    return Pertenencia::Ajeno;
  return st.st_mode & S_IWUSR ? Pertenencia::Nuestro : Pertenencia::SoloLectura;
}

FalloLectura Carpeta::Leer(const QString& nombre, qint64 limite, QByteArray* bytes, QString* descripcion,
                           IdentidadFichero* identidad) const {
  bytes->clear();
  if (identidad)
    *identidad = IdentidadFichero();
  int fd = -1;
  const auto fallar = [&](FalloLectura fallo) {
    if (fd >= 0)
      ::close(fd);
    bytes->clear();
    if (descripcion)
      *descripcion = DescribirFalloLectura(fallo, limite);
    return fallo;
  };
  if (fd_ < 0)
    return fallar(numero_ == EACCES ? FalloLectura::SinPermiso : FalloLectura::NoExiste);
  // Sin esperar: una FIFO sin nadie al otro lado se abre y se ve en el
  // descriptor, en vez de colgar el programa.
  fd = SinCortes(
      [&] { return ::openat(fd_, Bytes(nombre).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); });
  if (fd < 0) {
    switch (errno) {
    case ENOENT:
    case ENOTDIR:
      return fallar(FalloLectura::NoExiste);
    case EACCES:
    case EPERM:
      return fallar(FalloLectura::SinPermiso);
    case ELOOP:
    case ENXIO:
    case ENODEV:
      return fallar(FalloLectura::NoEsFichero);
    default:
      return fallar(FalloLectura::Ilegible);
    }
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0)
    return fallar(FalloLectura::Ilegible);
  if (S_ISDIR(st.st_mode))
    return fallar(FalloLectura::Carpeta);
  if (!S_ISREG(st.st_mode))
    return fallar(FalloLectura::NoEsFichero);
  if (qint64(st.st_size) > limite)
    return fallar(FalloLectura::Demasiado);
  if (pruebaLectura && !pruebaLectura(RutaDe(nombre)))
    return fallar(FalloLectura::SinPermiso);
  // Se reserva lo que el fichero dice tener, no el límite: un archivo
  // pequeño no pide cientos de megas de memoria. Si crece mientras se lee,
  // se sigue hasta pasar el límite.
  QByteArray r;
  r.resize(qsizetype(st.st_size) + 1);
  qsizetype leidos = 0;
  while (true) {
    if (leidos == r.size()) {
      if (leidos > limite)
        return fallar(FalloLectura::Demasiado);
      r.resize(qsizetype(std::min<qint64>(limite + 1, qint64(r.size()) * 2 + 65536)));
    }
    const ssize_t n = SinCortes([&] { return ::read(fd, r.data() + leidos, size_t(r.size() - leidos)); });
    if (n < 0)
      return fallar(FalloLectura::Ilegible);
    if (n == 0)
      break;
    leidos += n;
  }
  if (leidos > limite)
    return fallar(FalloLectura::Demasiado);
  r.truncate(leidos);
  if (identidad)
    *identidad = IdentidadDe(st);
  ::close(fd);
  fd = -1;
  *bytes = std::move(r);
  if (descripcion)
    descripcion->clear();
  return FalloLectura::Ninguno;
}

namespace {
// Crea `nombre` en exclusiva en la carpeta `dir`, escribe `bytes` y lo lleva
// al disco. Si falla tras crearlo, lo borra (si sigue siendo el suyo).
Nuevo CrearEn(const Carpeta& carpeta, int dir, const QString& nombre, const QByteArray& bytes,
              QString* error) {
  Nuevo r;
  const QString ruta = carpeta.RutaDe(nombre);
  int numero = Paso(PasoFichero::Crear, ruta);
  if (numero == 0) {
    // O_EXCL con O_NOFOLLOW: un nombre ocupado, también por un enlace
    // colgante, no se abre nunca.
    r.fd = SinCortes([&] {
      return ::openat(dir, Bytes(nombre).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0600);
    });
    numero = r.fd < 0 ? errno : 0;
  }
  if (numero != 0) {
    if (numero == EEXIST) {
      r.estado = Creacion::Ocupado;
      return r;
    }
    Anotar(error, MensajeEscritura(numero, ruta, carpeta.ruta()));
    return r;
  }
  // Sólo para su dueño, diga lo que diga la máscara del proceso.
  struct stat st {};
  ::fchmod(r.fd, S_IRUSR | S_IWUSR);
  ::fstat(r.fd, &st);
  const auto deshacer = [&](int fallo) {
    struct stat ahora {};
    ::fstat(r.fd, &ahora);
    ::close(r.fd);
    r.fd = -1;
    carpeta.Borrar(nombre, IdentidadDe(ahora), nullptr);
    Anotar(error, MensajeEscritura(fallo, ruta, carpeta.ruta()));
    return r;
  };
  if ((numero = Paso(PasoFichero::Escribir, ruta)) != 0 || (numero = EscribirEntero(r.fd, bytes)) != 0)
    return deshacer(numero);
  if ((numero = Paso(PasoFichero::Sincronizar, ruta)) != 0 ||
      (SinCortes([&] { return ::fsync(r.fd); }) != 0 && (numero = errno) != 0))
    return deshacer(numero);
  ::fstat(r.fd, &st);
  r.identidad = IdentidadDe(st);
  r.estado = Creacion::Hecha;
  return r;
}
} // namespace

Creacion Carpeta::Crear(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (fd_ < 0) {
    Anotar(error, error_);
    return Creacion::Fallida;
  }
  Nuevo n = CrearEn(*this, fd_, nombre, bytes, error);
  if (n.estado != Creacion::Hecha)
    return n.estado;
  // Algunos sistemas de ficheros (los de red) dicen al cerrar que no cupo.
  if (::close(n.fd) != 0 && errno != EINTR) {
    const int numero = errno;
    Borrar(nombre, n.identidad, nullptr);
    Anotar(error, MensajeEscritura(numero, RutaDe(nombre), ruta_));
    return Creacion::Fallida;
  }
  SincronizarCarpeta(fd_);
  return Creacion::Hecha;
}

Creacion Carpeta::Publicar(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (fd_ < 0) {
    Anotar(error, error_);
    return Creacion::Fallida;
  }
  if (Tipo(nombre) != TipoNombre::Nada)
    return Creacion::Ocupado;
  // Un nombre de paso por proceso: dos que publican a la vez no se pisan.
  const QString nuevo = NombreNuevo(nombre) + QLatin1Char('-') + QString::number(::getpid());
  Nuevo n = CrearEn(*this, fd_, nuevo, bytes, error);
  if (n.estado == Creacion::Ocupado)
    Anotar(error, Cambiado(RutaDe(nuevo)));
  if (n.estado != Creacion::Hecha)
    return Creacion::Fallida;
  int numero = Paso(PasoFichero::Renombrar, RutaDe(nombre));
  if (numero == 0)
    numero = RenombrarSinPisar(fd_, Bytes(nuevo), Bytes(nombre));
  ::close(n.fd);
  if (numero != 0) {
    Borrar(nuevo, n.identidad, nullptr);
    if (numero == EEXIST)
      return Creacion::Ocupado;
    Anotar(error, MensajeEscritura(numero, RutaDe(nombre), ruta_));
    return Creacion::Fallida;
  }
  SincronizarCarpeta(fd_);
  return Creacion::Hecha;
}

bool Carpeta::Sustituir(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (fd_ < 0) {
    Anotar(error, error_);
    return false;
  }
  if (const QString motivo = MotivoNoEscribible(nombre); !motivo.isEmpty()) {
    Anotar(error, motivo);
    return false;
  }
  const QString nuevo = NombreNuevo(nombre);
  if (QuitarResto(fd_, Bytes(nuevo)) != 0) {
    Anotar(error, QStringLiteral("En la carpeta hay algo llamado «%1» que KORVAL no ha dejado; mientras esté "
                                 "ahí, KORVAL no puede guardar «%2». Bórrelo o cámbiele el nombre.")
                      .arg(Nativa(RutaDe(nuevo)), nombre));
    return false;
  }
  Nuevo n = CrearEn(*this, fd_, nuevo, bytes, error);
  if (n.estado == Creacion::Ocupado)
    Anotar(error, Cambiado(RutaDe(nuevo)));
  if (n.estado != Creacion::Hecha)
    return false;
  const auto fallar = [&](const QString& motivo) {
    ::close(n.fd);
    Borrar(nuevo, n.identidad, nullptr);
    Anotar(error, motivo);
    return false;
  };
  int numero = Paso(PasoFichero::Renombrar, RutaDe(nombre));
  // El cambio de nombre sustituye al nombre, sea lo que sea, y nunca a aquello
  // a lo que apunta si es un enlace.
  if (numero == 0 && SinCortes([&] {
                       return ::renameat(fd_, Bytes(nuevo).constData(), fd_, Bytes(nombre).constData());
                     }) != 0)
    numero = errno;
  if (numero != 0)
    return fallar(MensajeEscritura(numero, RutaDe(nombre), ruta_));
  // Lo que ahora tiene el nombre ha de ser lo que escribimos: si alguien
  // cambió nuestro fichero nuevo por otra cosa antes del cambio de nombre,
  // se dice.
  struct stat puesto {};
  struct stat nuestro {};
  const bool bien = ::fstatat(fd_, Bytes(nombre).constData(), &puesto, AT_SYMLINK_NOFOLLOW) == 0 &&
                    ::fstat(n.fd, &nuestro) == 0 && puesto.st_dev == nuestro.st_dev &&
                    puesto.st_ino == nuestro.st_ino;
  ::close(n.fd);
  SincronizarCarpeta(fd_);
  if (!bien)
    Anotar(error, Cambiado(RutaDe(nombre)));
  return bien;
}

bool Carpeta::Borrar(const QString& nombre, const IdentidadFichero& leido, QString* error) const {
  if (fd_ < 0) {
    Anotar(error, error_);
    return false;
  }
  const QString ruta = RutaDe(nombre);
  if (const int numero = Paso(PasoFichero::Borrar, ruta); numero != 0) {
    Anotar(error, MensajeEscritura(numero, ruta, ruta_));
    return false;
  }
  // Se aparta con un nombre fijo nuestro y allí se mira qué es: lo apartado
  // ya no puede cambiarse por otra cosa entre mirarlo y borrarlo. Si no es lo
  // que se leyó, vuelve a su nombre sin pisar lo que haya llegado mientras.
  const QByteArray origen = Bytes(nombre), aparte = Bytes(NombreDePaso(nombre, ".korval-borrado"));
  int numero = QuitarResto(fd_, aparte);
  if (numero == 0)
    numero = RenombrarSinPisar(fd_, origen, aparte);
  if (numero == ENOENT)
    return true;
  if (numero != 0) {
    Anotar(error, numero == EEXIST
                      ? QStringLiteral("No se ha podido borrar «%1»: en la carpeta hay algo llamado "
                                       "«%2» que KORVAL no ha dejado.")
                            .arg(Nativa(ruta), Nativa(RutaDe(QFile::decodeName(aparte))))
                      : MensajeEscritura(numero, ruta, ruta_));
    return false;
  }
  struct stat st {};
  if (::fstatat(fd_, aparte.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
      IdentidadDe(st) == leido && ::unlinkat(fd_, aparte.constData(), 0) == 0) {
    SincronizarCarpeta(fd_);
    return true;
  }
  if (RenombrarSinPisar(fd_, aparte, origen) == 0)
    Anotar(error,
           QStringLiteral("«%1» ha cambiado desde que KORVAL lo leyó y no se ha borrado.").arg(Nativa(ruta)));
  else
    Anotar(error, QStringLiteral("«%1» ha cambiado desde que KORVAL lo leyó y no se ha borrado; como otro "
                                 "fichero ha tomado su nombre mientras tanto, ha quedado como «%2».")
                      .arg(Nativa(ruta), Nativa(RutaDe(QFile::decodeName(aparte)))));
  return false;
}

bool Carpeta::SePuedeEscribir() const {
  if (fd_ < 0)
    return false;
  const QString prueba = QStringLiteral(".korval-prueba-%1").arg(qint64(::getpid()));
  QuitarResto(fd_, Bytes(prueba)); // el de otra copia muerta con el mismo número
  Nuevo n = CrearEn(*this, fd_, prueba, QByteArray(), nullptr);
  if (n.estado != Creacion::Hecha)
    return false;
  ::close(n.fd);
  Borrar(prueba, n.identidad, nullptr);
  return true;
}

bool CrearCarpetaPrivada(const QString& ruta) {
  const QString absoluta = QDir::cleanPath(QDir(ruta).absolutePath());
  // Desde la raíz: cada carpeta que falta se crea 0700 y se deja así aunque
  // la máscara le quite algo; las que existen no se tocan.
  const QStringList partes = absoluta.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString camino;
  for (const QString& parte : partes) {
    camino += QLatin1Char('/') + parte;
    const QByteArray c = Bytes(camino);
    if (::mkdir(c.constData(), S_IRWXU) == 0) {
      const int fd = ::open(c.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd >= 0) {
        ::fchmod(fd, S_IRWXU);
        ::close(fd);
      }
    } else if (errno != EEXIST) {
      return false;
    }
  }
  return QFileInfo(absoluta).isDir();
}

Candado::Candado(const Carpeta& carpeta, const QString& nombre, int esperaMs) {
  if (!carpeta.abierta()) {
    error_ = carpeta.error();
    return;
  }
  const QByteArray n = Bytes(nombre);
  // Se crea en exclusiva si no está, sólo para su dueño; si está, se abre sin
  // seguir enlaces ni esperar, y ha de ser un fichero normal.
  fd_ = SinCortes([&] {
    return ::openat(carpeta.fd_, n.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  });
  if (fd_ >= 0)
    ::fchmod(fd_, S_IRUSR | S_IWUSR);
  else if (errno == EEXIST)
    fd_ = SinCortes([&] {
      return ::openat(carpeta.fd_, n.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    });
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    error_ =
        QStringLiteral("No se puede usar «%1» para que dos copias de KORVAL no escriban a la vez: no es un "
                       "fichero normal de este usuario o falta permiso en la carpeta.")
            .arg(Nativa(carpeta.RutaDe(nombre)));
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = -1;
    return;
  }
  const QDeadlineTimer limite(esperaMs);
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || limite.hasExpired()) {
      error_ =
          QStringLiteral("Otra copia de KORVAL (quizá en otro equipo que comparte la carpeta) está "
                         "escribiendo en «%1» y no ha terminado. Espere un momento y vuelva a intentarlo.")
              .arg(Nativa(carpeta.ruta()));
      ::close(fd_);
      fd_ = -1;
      return;
    }
    QThread::msleep(20);
  }
  tomado_ = true;
}

Candado::~Candado() {
  if (fd_ >= 0)
    ::close(fd_); // cerrarlo lo suelta
}

#else

// --- Sólo con Qt --------------------------------------------------------------
// Donde no hay descriptores de carpeta, lo mismo por rutas: no cierra el hueco
// entre mirar un nombre y abrirlo, pero mantiene todas las demás promesas.

namespace {
IdentidadFichero IdentidadDe(const QFileInfo& info) {
  IdentidadFichero r;
  r.largo = info.size();
  r.modificado = info.lastModified().toMSecsSinceEpoch();
  return r;
}

QString MensajeQt(const QFileDevice& f, const QString& carpeta) {
  return f.error() == QFileDevice::ResizeError || f.error() == QFileDevice::WriteError
             ? Lleno()
             : SinPermisoEn(carpeta);
}
} // namespace

Carpeta::Carpeta(const QString& ruta) : ruta_(ruta) {
  if (!QFileInfo(ruta).isDir())
    error_ =
        QStringLiteral("No se puede abrir la carpeta «%1»: no existe o falta permiso para entrar en ella.")
            .arg(Nativa(ruta));
}

Carpeta::~Carpeta() = default;

bool Carpeta::abierta() const {
  return error_.isEmpty();
}

TipoNombre Carpeta::Tipo(const QString& nombre) const {
  const QFileInfo info(RutaDe(nombre));
  if (info.isSymLink())
    return TipoNombre::Enlace;
  if (!info.exists())
    return TipoNombre::Nada;
  return info.isFile() ? TipoNombre::Fichero : info.isDir() ? TipoNombre::Carpeta : TipoNombre::Otro;
}

Carpeta::Pertenencia Carpeta::Propiedad(const QString& nombre) const {
  const QFileInfo info(RutaDe(nombre));
  return info.permission(QFileDevice::WriteOwner) ? Pertenencia::Nuestro : Pertenencia::SoloLectura;
}

FalloLectura Carpeta::Leer(const QString& nombre, qint64 limite, QByteArray* bytes, QString* descripcion,
                           IdentidadFichero* identidad) const {
  bytes->clear();
  const auto fallar = [&](FalloLectura fallo) {
    bytes->clear();
    if (descripcion)
      *descripcion = DescribirFalloLectura(fallo, limite);
    return fallo;
  };
  const QFileInfo info(RutaDe(nombre));
  if (!info.exists())
    return fallar(FalloLectura::NoExiste);
  if (info.isDir())
    return fallar(FalloLectura::Carpeta);
  if (!info.isFile())
    return fallar(FalloLectura::NoEsFichero);
  if (info.size() > limite)
    return fallar(FalloLectura::Demasiado);
  if (pruebaLectura && !pruebaLectura(RutaDe(nombre)))
    return fallar(FalloLectura::SinPermiso);
  QFile f(RutaDe(nombre));
  if (!f.open(QIODevice::ReadOnly))
    return fallar(f.error() == QFileDevice::PermissionsError ? FalloLectura::SinPermiso
                                                             : FalloLectura::Ilegible);
  QByteArray r;
  while (!f.atEnd() && r.size() <= limite) {
    const QByteArray trozo = f.read(65536);
    if (trozo.isEmpty())
      break;
    r += trozo;
  }
  if (f.error() != QFileDevice::NoError)
    return fallar(FalloLectura::Ilegible);
  if (r.size() > limite)
    return fallar(FalloLectura::Demasiado);
  if (identidad)
    *identidad = IdentidadDe(info);
  *bytes = std::move(r);
  if (descripcion)
    descripcion->clear();
  return FalloLectura::Ninguno;
}

Creacion Carpeta::Crear(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (Tipo(nombre) != TipoNombre::Nada)
    return Creacion::Ocupado;
  QFile f(RutaDe(nombre));
  if (Paso(PasoFichero::Crear, f.fileName()) != 0 ||
      !f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    if (Tipo(nombre) != TipoNombre::Nada)
      return Creacion::Ocupado;
    Anotar(error, SinPermisoEn(ruta_));
    return Creacion::Fallida;
  }
  if (Paso(PasoFichero::Escribir, f.fileName()) != 0 || f.write(bytes) != bytes.size() || !f.flush()) {
    Anotar(error, Lleno());
    f.close();
    f.remove();
    return Creacion::Fallida;
  }
  f.close();
  return Creacion::Hecha;
}

Creacion Carpeta::Publicar(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (Tipo(nombre) != TipoNombre::Nada)
    return Creacion::Ocupado;
  const QString nuevo = QLatin1Char('.') + nombre + QStringLiteral(".korval-nuevo-") +
                        QString::number(QCoreApplication::applicationPid());
  if (Crear(nuevo, bytes, error) != Creacion::Hecha)
    return Creacion::Fallida;
  // QFile::rename nunca pisa un fichero que ya existe.
  if (Paso(PasoFichero::Renombrar, RutaDe(nombre)) != 0 || !QFile::rename(RutaDe(nuevo), RutaDe(nombre))) {
    QFile::remove(RutaDe(nuevo));
    if (Tipo(nombre) != TipoNombre::Nada)
      return Creacion::Ocupado;
    Anotar(error, SinPermisoEn(ruta_));
    return Creacion::Fallida;
  }
  return Creacion::Hecha;
}

bool Carpeta::Sustituir(const QString& nombre, const QByteArray& bytes, QString* error) const {
  if (const QString motivo = abierta() ? MotivoNoEscribible(nombre) : error_; !motivo.isEmpty()) {
    Anotar(error, motivo);
    return false;
  }
  QSaveFile f(RutaDe(nombre));
  f.setDirectWriteFallback(false);
  if (Paso(PasoFichero::Crear, f.fileName()) != 0 || !f.open(QIODevice::WriteOnly)) {
    Anotar(error, SinPermisoEn(ruta_));
    return false;
  }
  if (Paso(PasoFichero::Escribir, f.fileName()) != 0 || f.write(bytes) != bytes.size() || !f.flush()) {
    f.cancelWriting();
    Anotar(error, Lleno());
    return false;
  }
  f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (Paso(PasoFichero::Renombrar, f.fileName()) != 0 || !f.commit()) {
    Anotar(error, MensajeQt(f, ruta_));
    return false;
  }
  return true;
}

bool Carpeta::Borrar(const QString& nombre, const IdentidadFichero& leido, QString* error) const {
  const QFileInfo info(RutaDe(nombre));
  if (!info.exists() && !info.isSymLink())
    return true;
  if (Paso(PasoFichero::Borrar, info.filePath()) != 0 || Tipo(nombre) != TipoNombre::Fichero ||
      IdentidadDe(info) != leido || !QFile::remove(info.filePath())) {
    Anotar(error, QStringLiteral("«%1» ha cambiado desde que KORVAL lo leyó y no se ha borrado.")
                      .arg(Nativa(info.filePath())));
    return false;
  }
  return true;
}

bool Carpeta::SePuedeEscribir() const {
  const QString prueba = QStringLiteral(".korval-prueba-%1").arg(QCoreApplication::applicationPid());
  if (Crear(prueba, QByteArray(), nullptr) != Creacion::Hecha)
    return false;
  QFile::remove(RutaDe(prueba));
  return true;
}

bool CrearCarpetaPrivada(const QString& ruta) {
  const QString absoluta = QDir::cleanPath(QDir(ruta).absolutePath());
  QStringList faltan;
  for (QString c = absoluta; !QFileInfo::exists(c); c = QFileInfo(c).path()) {
    faltan.prepend(c);
    if (QFileInfo(c).path() == c)
      break;
  }
  for (const QString& c : faltan) {
    if (!QDir().mkdir(c))
      return false;
    QFile::setPermissions(c, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  return QFileInfo(absoluta).isDir();
}

Candado::Candado(const Carpeta& carpeta, const QString& nombre, int esperaMs) {
  respaldo_ = std::make_unique<QLockFile>(carpeta.RutaDe(nombre));
  respaldo_->setStaleLockTime(0);
  tomado_ = respaldo_->tryLock(esperaMs);
  if (!tomado_)
    error_ =
        QStringLiteral("Otra copia de KORVAL está escribiendo en «%1» y no ha terminado. Espere un momento "
                       "y vuelva a intentarlo.")
            .arg(Nativa(carpeta.ruta()));
}

Candado::~Candado() = default;

#endif
