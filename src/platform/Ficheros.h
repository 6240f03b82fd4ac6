#pragma once
// Lo que el programa comprueba antes de leer o escribir un fichero: lee sólo
// ficheros normales de un tamaño razonable y nunca escribe a través de un
// enlace simbólico ni sobre algo que no sea un fichero normal.

#include <QByteArray>
#include <QString>

#include <functional>

// Por qué no se pudo leer un fichero.
enum class FalloLectura {
  Ninguno,
  NoExiste,
  SinPermiso,
  Carpeta,
  NoEsFichero, // una FIFO, un dispositivo, un enlace a algo que no es un fichero
  Demasiado,   // mayor que el límite pedido
  Ilegible,    // se abrió pero la lectura falló
};

// Lee entero `ruta` si es un fichero normal (o un enlace a uno) de como mucho
// `limite` bytes. Si no puede, deja `bytes` vacío, devuelve el motivo y, si
// se pide, su descripción en castellano, lista para ir tras el nombre del
// fichero («no existe», «es una carpeta»…).
FalloLectura LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray* bytes,
                                QString* descripcion = nullptr);

// La descripción de un fallo de lectura, en minúsculas y sin punto final.
QString DescribirFalloLectura(FalloLectura fallo, qint64 limite);

// Vacío si se puede escribir en `ruta` (no existe, o es un fichero normal que
// no es un enlace); si no, el mensaje que explica al usuario por qué no.
QString MotivoNoEscribible(const QString& ruta);

// Costura de pruebas: decide qué ficheros existentes se dejan leer (las
// pruebas corren como root, y a root no le detiene ningún permiso). nullptr
// vuelve a preguntar al sistema.
void FijarPruebaLectura(std::function<bool(const QString& ruta)> sePuedeLeer);
