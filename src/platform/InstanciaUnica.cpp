#include "platform/InstanciaUnica.h"

#include "platform/Ficheros.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>

// En los sistemas con sockets locales de POSIX las dos copias se hablan con
// ellos directamente: QtNetwork cuesta unos milisegundos de carga en cada
// arranque, más que todo lo demás que hace esta clase. En los otros, con los
// de Qt.
#if defined(Q_OS_UNIX)
#define KORVAL_SOCKET_POSIX 1
#include "platform/SinCortes.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#else
#include <QLocalServer>
#include <QLocalSocket>
#endif

namespace {
// Lo que se dicen las dos copias: una línea corta cada una.
constexpr char Peticion[] = "KORVAL mostrar\n";
constexpr char Respuesta[] = "KORVAL hecho\n";
constexpr qint64 LargoMaximo = 64;
} // namespace

InstanciaUnica::InstanciaUnica(const QString& carpeta) {
  CrearCarpetaPrivada(carpeta);
  const QDir dir(carpeta);
  rutaCandado_ = dir.filePath(QStringLiteral("korval.lock"));
  rutaEscucha_ = dir.filePath(QStringLiteral("korval.socket"));
  candado_ = std::make_unique<QLockFile>(rutaCandado_);
  // El candado no caduca por tiempo: sólo cuando su dueño ya no existe. Eso
  // lo mira el propio QLockFile, a salvo de que dos copias lo miren a la vez.
  candado_->setStaleLockTime(0);
}

InstanciaUnica::~InstanciaUnica() {
#ifdef KORVAL_SOCKET_POSIX
  avisos_.reset();
  if (escucha_ >= 0) {
    ::close(escucha_);
    // El punto de escucha es nuestro mientras tenemos el candado: al irnos se
    // quita, si es el mismo que creamos.
    const QByteArray ruta = QFile::encodeName(rutaEscucha_);
    struct stat st;
    if (::lstat(ruta.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == inodoEscucha_)
      ::unlink(ruta.constData());
  }
#else
  if (servidor_)
    servidor_->close();
#endif
}

InstanciaUnica::Resultado InstanciaUnica::Adquirir(int esperaMs) {
  if (candado_->isLocked())
    return Resultado::Unica;
  const QDeadlineTimer limite(esperaMs);
  while (true) {
    if (candado_->tryLock(0)) {
      // La carpeta es sólo del usuario; el candado, también.
      QFile::setPermissions(rutaCandado_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      Escuchar();
      return Resultado::Unica;
    }
    // Si ni se puede crear el candado, no hay manera de saber de otras
    // copias: se sigue (el archivo de consultas tiene su propio candado).
    if (candado_->error() != QLockFile::LockFailedError)
      return Resultado::Unica;
    switch (Pedir(limite)) {
    case Resultado::Avisada:
      return Resultado::Avisada;
    case Resultado::Muda:
      return Resultado::Muda;
    case Resultado::Unica:
      break; // nadie escucha todavía
    }
    // La otra aún no escucha (está arrancando) o acaba de terminar.
    if (limite.hasExpired())
      return Resultado::Muda;
    QThread::msleep(20);
  }
}

#ifdef KORVAL_SOCKET_POSIX

namespace {
// Un socket local sin herencia a otros programas y que no se queda esperando.
int SocketLocal() {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd >= 0) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  return fd;
}

bool Direccion(const QString& ruta, sockaddr_un* dir) {
  const QByteArray nativa = QFile::encodeName(ruta);
  std::memset(dir, 0, sizeof *dir);
  dir->sun_family = AF_UNIX;
  if (nativa.size() >= qsizetype(sizeof dir->sun_path))
    return false;
  std::memcpy(dir->sun_path, nativa.constData(), size_t(nativa.size()));
  return true;
}

// Espera a poder leer o escribir en `fd` como mucho hasta `limite`.
bool Esperar(int fd, short eventos, const QDeadlineTimer& limite) {
  pollfd p{fd, eventos, 0};
  const int r = SinCortes([&] { return ::poll(&p, 1, int(std::max<qint64>(limite.remainingTime(), 0))); });
  return r == 1 && (p.revents & eventos);
}
} // namespace

InstanciaUnica::Resultado InstanciaUnica::Pedir(const QDeadlineTimer& limite) {
  sockaddr_un dir;
  if (!Direccion(rutaEscucha_, &dir))
    return Resultado::Muda;
  const int fd = SocketLocal();
  if (fd < 0)
    return Resultado::Muda;
  // Sin nadie escuchando (aún no, o ya no) el connect falla en el acto.
  Resultado r = Resultado::Unica;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&dir), sizeof dir) == 0 || errno == EINPROGRESS) {
    r = Resultado::Muda;
    QByteArray leido;
    if (Esperar(fd, POLLOUT, limite) && SinCortes([&] {
                                          return int(::send(fd, Peticion, sizeof Peticion - 1, MSG_NOSIGNAL));
                                        }) == int(sizeof Peticion - 1)) {
      char trozo[LargoMaximo];
      while (!leido.contains('\n') && leido.size() < LargoMaximo && Esperar(fd, POLLIN, limite)) {
        const int n = SinCortes([&] { return int(::recv(fd, trozo, sizeof trozo, 0)); });
        if (n <= 0)
          break;
        leido.append(trozo, n);
      }
    }
    if (leido == Respuesta)
      r = Resultado::Avisada;
  }
  ::close(fd);
  return r;
}

void InstanciaUnica::Escuchar() {
  sockaddr_un dir;
  if (!Direccion(rutaEscucha_, &dir))
    return;
  // Un punto de escucha que dejó una copia muerta se quita, y sólo con el
  // candado en la mano y si es un socket: así nunca se quita el de una copia
  // viva ni otra cosa que se llame igual.
  struct stat st;
  if (::lstat(dir.sun_path, &st) == 0 && S_ISSOCK(st.st_mode))
    ::unlink(dir.sun_path);
  const int fd = SocketLocal();
  if (fd < 0)
    return;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&dir), sizeof dir) != 0 || ::listen(fd, 8) != 0) {
    ::close(fd);
    return;
  }
  escucha_ = fd;
  ::chmod(dir.sun_path, S_IRUSR | S_IWUSR); // como su carpeta: sólo del usuario
  if (::lstat(dir.sun_path, &st) == 0)
    inodoEscucha_ = st.st_ino;
  auto* aviso = new QSocketNotifier(fd, QSocketNotifier::Read);
  avisos_.reset(aviso);
  QObject::connect(aviso, &QSocketNotifier::activated, aviso, [this, aviso] {
    int otra;
    while ((otra = SinCortes([&] { return ::accept(escucha_, nullptr, nullptr); })) >= 0) {
      ::fcntl(otra, F_SETFD, FD_CLOEXEC);
      ::fcntl(otra, F_SETFL, ::fcntl(otra, F_GETFL) | O_NONBLOCK);
      auto* lectura = new QSocketNotifier(otra, QSocketNotifier::Read, aviso);
      auto leido = std::make_shared<QByteArray>();
      const auto cerrar = [otra, lectura] {
        lectura->setEnabled(false);
        ::close(otra);
        lectura->deleteLater();
      };
      // Quien se conecta y no dice nada no se queda para siempre.
      auto* plazo = new QTimer(lectura);
      plazo->setSingleShot(true);
      QObject::connect(plazo, &QTimer::timeout, lectura, cerrar);
      plazo->start(5000);
      QObject::connect(lectura, &QSocketNotifier::activated, lectura, [this, otra, leido, cerrar] {
        char trozo[LargoMaximo];
        const int n = SinCortes([&] { return int(::recv(otra, trozo, sizeof trozo, 0)); });
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
          return;
        if (n > 0)
          leido->append(trozo, n);
        if (n > 0 && !leido->contains('\n') && leido->size() < LargoMaximo)
          return;
        if (*leido == Peticion) {
          if (mostrar_)
            mostrar_();
          ::send(otra, Respuesta, sizeof Respuesta - 1, MSG_NOSIGNAL);
        }
        cerrar();
      });
    }
  });
}

#else

InstanciaUnica::Resultado InstanciaUnica::Pedir(const QDeadlineTimer& limite) {
  QLocalSocket otra;
  otra.connectToServer(rutaEscucha_);
  if (!otra.waitForConnected(int(std::clamp<qint64>(limite.remainingTime(), 0, 100))))
    return Resultado::Unica;
  otra.write(Peticion);
  otra.flush();
  while (!otra.canReadLine() && otra.waitForReadyRead(int(std::max<qint64>(limite.remainingTime(), 0)))) {
  }
  return otra.canReadLine() && otra.readLine() == Respuesta ? Resultado::Avisada : Resultado::Muda;
}

void InstanciaUnica::Escuchar() {
  servidor_ = std::make_unique<QLocalServer>();
  servidor_->setSocketOptions(QLocalServer::UserAccessOption);
  // Un punto de escucha que dejó una copia muerta se quita, y sólo con el
  // candado en la mano: así nunca se quita el de una copia viva.
  QLocalServer::removeServer(rutaEscucha_);
  if (!servidor_->listen(rutaEscucha_))
    return;
  QLocalServer* s = servidor_.get();
  QObject::connect(s, &QLocalServer::newConnection, s, [this, s] {
    while (QLocalSocket* otra = s->nextPendingConnection()) {
      QObject::connect(otra, &QLocalSocket::disconnected, otra, &QObject::deleteLater);
      // Quien se conecta y no dice nada no se queda para siempre.
      QTimer::singleShot(5000, otra, [otra] { otra->abort(); });
      QObject::connect(otra, &QLocalSocket::readyRead, otra, [this, otra] {
        if (!otra->canReadLine()) {
          if (otra->bytesAvailable() > LargoMaximo)
            otra->abort();
          return;
        }
        if (otra->readLine(LargoMaximo) == Peticion) {
          if (mostrar_)
            mostrar_();
          otra->write(Respuesta);
          otra->flush();
        }
        otra->disconnectFromServer();
      });
    }
  });
}

#endif
