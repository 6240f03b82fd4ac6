#pragma once
// Dónde viven los ficheros del programa.

#include <QString>

#include <functional>

// La carpeta del ejecutable: allí están los ficheros de datos de sólo lectura.
QString ProgramDir();
// La carpeta donde el programa escribe (archivo de consultas, impresiones,
// temporales): la del programa si es una copia portátil en una carpeta en la
// que se puede escribir; si no, la carpeta de datos del usuario.
QString DirEscritura();

// La carpeta de escritura que corresponde a una carpeta del programa.
QString ElegirDirEscritura(const QString& programa);

// La carpeta de datos del usuario (~/.local/share/KORVAL en Linux), creada
// sólo para él si hace falta.
QString CarpetaUsuario();

// La carpeta de ejecución del usuario ($XDG_RUNTIME_DIR en Linux; si no
// hay, la de datos): sólo suya, aunque el programa sea una copia portátil
// en una carpeta compartida. Allí vive lo que dice que KORVAL está en marcha.
QString CarpetaEjecucion();

// Nombre del fichero que la instalación deja junto al programa: una copia
// instalada nunca escribe en su propia carpeta, aunque pueda.
inline const QString MarcaInstalado = QStringLiteral("korval.instalado");
bool EsCopiaInstalada(const QString& programa);

// ¿Se puede crear un fichero en `dir`? Pregunta al sistema creando y
// borrando un fichero nuestro.
bool SePuedeEscribirEn(const QString& dir);

// Costuras de pruebas: otra carpeta del programa, de escritura o de
// ejecución (vacío devuelve la real). Con sólo la carpeta del programa fijada, se escribe en
// ella salvo que la prueba de escritura diga que no se puede.
void FijarProgramDir(const QString& dir);
void FijarDirEscritura(const QString& dir);
void FijarCarpetaEjecucion(const QString& dir);
// Decide qué carpetas se pueden escribir (nullptr pregunta al sistema): las
// pruebas corren como root, a quien ningún permiso detiene.
void FijarPruebaEscritura(std::function<bool(const QString& dir)> sePuede);

// Ruta de un fichero de la carpeta dada. El nombre se compara sin distinguir
// mayúsculas ("BINARIO.dat" encuentra "BINARIO.DAT"); si no existe ninguno,
// la ruta lleva el nombre tal como se pidió.
QString RutaEn(const QString& dir, const QString& nombre);
inline QString RutaDatos(const QString& nombre) {
  return RutaEn(ProgramDir(), nombre);
}
inline QString RutaEscritura(const QString& nombre) {
  return RutaEn(DirEscritura(), nombre);
}
