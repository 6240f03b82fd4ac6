#pragma once
// Los ficheros del programa, siempre dentro de una carpeta abierta: se leen,
// se crean, se sustituyen y se borran por su nombre en esa carpeta, sobre
// descriptores, de modo que lo que se comprueba es lo mismo que se usa y
// nadie puede cambiar un nombre por otro en medio.
//
// Lo que se promete: nunca se escribe a través de un enlace simbólico ni en
// algo que no sea un fichero normal; un fichero nuevo se crea en exclusiva
// (un nombre ocupado, aunque sea por un enlace, no se abre); un fichero se
// sustituye escribiendo uno nuevo de nombre fijo y nuestro y renombrándolo
// sobre el nombre exacto, lo que cambia el nombre y nunca aquello a lo que
// apunta un enlace; y sólo se borra un fichero si sigue siendo el que se
// leyó. Leer, en cambio, sí sigue un enlace que el usuario puso: lo leído se
// comprueba en el descriptor (un fichero normal, dentro de un límite), así
// que una FIFO o un dispositivo en su lugar no cuelgan ni llenan la memoria.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QLockFile;

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

// La descripción de un fallo de lectura, en minúsculas y sin punto final.
QString DescribirFalloLectura(FalloLectura fallo, qint64 limite);

// Un fichero tal como se leyó o se creó. Si cambia cualquiera de estos datos,
// ya no es el mismo fichero (otro con su nombre, o el mismo reescrito).
struct IdentidadFichero {
  quint64 dispositivo = 0, nodo = 0;
  qint64 largo = -1, modificado = 0;
  bool valida() const { return largo >= 0; }
  friend bool operator==(const IdentidadFichero&, const IdentidadFichero&) = default;
};

// Qué hay con un nombre, sin seguir enlaces.
enum class TipoNombre { Nada, Fichero, Enlace, Carpeta, Otro };

// Cómo acabó la creación de un fichero nuevo.
enum class Creacion { Hecha, Ocupado, Fallida };

class Carpeta {
public:
  explicit Carpeta(const QString& ruta);
  ~Carpeta();
  Carpeta(const Carpeta&) = delete;
  Carpeta& operator=(const Carpeta&) = delete;

  // ¿Se pudo abrir? Si no, error() dice por qué, listo para el usuario.
  bool abierta() const;
  const QString& error() const { return error_; }
  const QString& ruta() const { return ruta_; }
  QString RutaDe(const QString& nombre) const;

  TipoNombre Tipo(const QString& nombre) const;

  // Lee entero `nombre` (o aquello a lo que apunta) si es un fichero normal
  // de como mucho `limite` bytes. Si no puede, deja `bytes` vacío, devuelve
  // el motivo y, si se pide, su descripción («no existe», «es una carpeta»…).
  FalloLectura Leer(const QString& nombre, qint64 limite, QByteArray* bytes, QString* descripcion = nullptr,
                    IdentidadFichero* identidad = nullptr) const;

  // Crea `nombre` con `bytes`, sólo para su dueño, si el nombre está libre.
  // Un nombre ocupado por lo que sea devuelve Ocupado y no toca nada. Si la
  // escritura falla, no queda nada y `error` dice por qué.
  Creacion Crear(const QString& nombre, const QByteArray& bytes, QString* error) const;

  // Como Crear, pero nadie ve nunca el fichero a medias: se escribe entero
  // con otro nombre nuestro, propio de este proceso, y sólo entonces toma
  // `nombre`, si sigue libre (si no, Ocupado y el nuestro se quita).
  Creacion Publicar(const QString& nombre, const QByteArray& bytes, QString* error) const;

  // Sustituye `nombre` por `bytes` de una vez, sólo para su dueño: un
  // fichero nuevo con el nombre fijo «.<nombre>.korval-nuevo», escrito y
  // llevado al disco, toma el nombre exacto. Si lo que hay con ese nombre no
  // se debe sustituir (MotivoNoEscribible) o algo falla, todo queda como
  // estaba y `error` dice por qué. Un resto de ese nombre fijo que dejó una
  // escritura cortada (un fichero normal del usuario) se quita antes; nada
  // más se quita nunca.
  bool Sustituir(const QString& nombre, const QByteArray& bytes, QString* error) const;

  // Borra `nombre` sólo si sigue siendo el fichero `leido`; si otro ocupó su
  // nombre o cambió, lo deja donde estaba y devuelve false con el motivo.
  // Un nombre que ya no existe cuenta como borrado. Para mirarlo sin que
  // cambie en medio, lo aparta antes con el nombre fijo
  // «.<nombre>.korval-borrado».
  //
  // Los nombres fijos de Sustituir y Borrar son de un solo proceso cada vez:
  // quien pueda coincidir con otro en el mismo nombre toma antes un Candado.
  bool Borrar(const QString& nombre, const IdentidadFichero& leido, QString* error) const;

  // Vacío si `nombre` se puede sustituir: no existe o es un fichero normal
  // que se puede escribir. Si no, el mensaje para el usuario.
  QString MotivoNoEscribible(const QString& nombre) const;

  // ¿Se puede crear un fichero aquí? Lo pregunta al sistema creando y
  // borrando uno nuestro.
  bool SePuedeEscribir() const;

private:
  friend class Candado;
  enum class Pertenencia { Nuestro, Ajeno, SoloLectura };
  // De quién es el fichero normal `nombre` y si se deja escribir.
  Pertenencia Propiedad(const QString& nombre) const;

  QString ruta_;
  QString error_;
  int fd_ = -1;
  int numero_ = 0; // el error del sistema al abrirla
};

// Mientras vive, nadie más (otra copia de KORVAL, de este equipo o de otro
// que comparta la carpeta) tiene el candado de ese nombre. Es un fichero
// nuestro que se queda en la carpeta; lo que bloquea es tenerlo abierto, así
// que un programa que muere lo suelta solo y nunca queda un candado viejo.
class Candado {
public:
  // Espera a lo sumo `esperaMs` a que lo suelte quien lo tenga.
  Candado(const Carpeta& carpeta, const QString& nombre, int esperaMs);
  ~Candado();
  Candado(const Candado&) = delete;
  Candado& operator=(const Candado&) = delete;
  bool tomado() const { return tomado_; }
  const QString& error() const { return error_; }

private:
  bool tomado_ = false;
  int fd_ = -1;
  std::unique_ptr<QLockFile> respaldo_; // el candado de Qt donde no hay descriptores
  QString error_;
};

// Lee entero el fichero `ruta` (Carpeta::Leer en su carpeta).
FalloLectura LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray* bytes,
                                QString* descripcion = nullptr);

// Carpeta::MotivoNoEscribible en la carpeta de `ruta`.
QString MotivoNoEscribible(const QString& ruta);

// Crea la carpeta `ruta` y las que le falten por encima, cada una sólo para
// su dueño (0700) aunque la máscara del proceso diga otra cosa. Las que ya
// existen se quedan como están.
bool CrearCarpetaPrivada(const QString& ruta);

// Costura de pruebas: decide qué ficheros existentes se dejan leer (las
// pruebas corren como root, y a root no le detiene ningún permiso). nullptr
// vuelve a preguntar al sistema.
void FijarPruebaLectura(std::function<bool(const QString& ruta)> sePuedeLeer);

// Los pasos de una escritura, para la costura de abajo.
enum class PasoFichero { Crear, Escribir, Sincronizar, Renombrar, Borrar };
// Costura de pruebas: se llama antes de cada paso con la ruta del fichero
// que se va a tocar. Puede cambiar lo que hay en la carpeta (un enlace, una
// FIFO) y, si devuelve un número de error (EACCES, ENOSPC…), el paso falla
// con él como si lo dijera el sistema. nullptr la quita.
void FijarCosturaFicheros(std::function<int(PasoFichero paso, const QString& ruta)> costura);
