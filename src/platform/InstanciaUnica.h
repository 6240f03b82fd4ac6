#pragma once
// Una sola copia del programa a la vez.

#include <QString>

#include <memory>

class QLockFile;

class InstanciaUnica {
public:
  // El candado vive en `carpeta`; si no se puede escribir allí, en la
  // carpeta de ejecución del usuario.
  explicit InstanciaUnica(const QString& carpeta);
  ~InstanciaUnica();
  InstanciaUnica(const InstanciaUnica&) = delete;
  InstanciaUnica& operator=(const InstanciaUnica&) = delete;

  // true si esta es la única copia en marcha (y desde ahora lo sabrán las demás).
  bool adquirir();
  QString ruta() const { return ruta_; }

private:
  QString ruta_;
  std::unique_ptr<QLockFile> candado_;
};
