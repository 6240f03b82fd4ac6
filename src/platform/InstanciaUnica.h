#pragma once
// Una sola copia del programa a la vez para cada usuario. La primera toma un
// candado en la carpeta de ejecución del usuario y escucha allí; la segunda
// le pide que se ponga delante y se va.

#include <QString>

#include <functional>
#include <memory>

class QDeadlineTimer;
class QLocalServer;
class QLockFile;
class QSocketNotifier;

class InstanciaUnica {
public:
  enum class Resultado {
    Unica,   // esta es la copia en marcha (o no se puede saber de otras)
    Avisada, // hay otra, que ha contestado que se pone delante
    Muda,    // hay otra, que no ha contestado a tiempo
  };

  // El candado y el punto de escucha viven en `carpeta`, que ha de ser sólo
  // del usuario (CarpetaEjecucion).
  explicit InstanciaUnica(const QString& carpeta);
  ~InstanciaUnica();
  InstanciaUnica(const InstanciaUnica&) = delete;
  InstanciaUnica& operator=(const InstanciaUnica&) = delete;

  // Toma el candado o, si lo tiene otra copia, le pide que se muestre y
  // espera su respuesta como mucho `esperaMs` en total (la otra puede estar
  // arrancando: hasta entonces se reintenta).
  Resultado Adquirir(int esperaMs = 2000);
  // Lo que hace esta copia cuando otra le pide que se muestre.
  void AlPedirQueSeMuestre(std::function<void()> mostrar) { mostrar_ = std::move(mostrar); }
  QString ruta() const { return rutaCandado_; }

private:
  void Escuchar();
  // Pide a la copia que escucha que se muestre: Avisada si contesta, Muda si
  // no contesta a tiempo, Unica si nadie escucha todavía.
  Resultado Pedir(const QDeadlineTimer& limite);

  QString rutaCandado_;
  QString rutaEscucha_;
  std::unique_ptr<QLockFile> candado_;
#ifdef Q_OS_UNIX
  int escucha_ = -1;
  unsigned long long inodoEscucha_ = 0; // el del punto de escucha que creamos, para quitar sólo ese
  std::unique_ptr<QSocketNotifier> avisos_;
#else
  std::unique_ptr<QLocalServer> servidor_;
#endif
  std::function<void()> mostrar_;
};
