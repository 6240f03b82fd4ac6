#include "platform/InstanciaUnica.h"

#include "platform/Ficheros.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

#include <algorithm>

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
  if (servidor_)
    servidor_->close();
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
    QLocalSocket otra;
    otra.connectToServer(rutaEscucha_);
    if (otra.waitForConnected(int(std::clamp<qint64>(limite.remainingTime(), 0, 100)))) {
      otra.write(Peticion);
      otra.flush();
      while (!otra.canReadLine() && otra.waitForReadyRead(int(std::max<qint64>(limite.remainingTime(), 0)))) {
      }
      return otra.canReadLine() && otra.readLine() == Respuesta ? Resultado::Avisada : Resultado::Muda;
    }
    // La otra aún no escucha (está arrancando) o acaba de terminar.
    if (limite.hasExpired())
      return Resultado::Muda;
    QThread::msleep(20);
  }
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
