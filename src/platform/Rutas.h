#pragma once
// Dónde viven los ficheros del programa.

#include <QString>

// La carpeta del ejecutable: allí están los ficheros de datos de sólo lectura.
QString ProgramDir();
// La carpeta donde el programa escribe (archivo de consultas, temporales):
// la del programa si se puede escribir en ella (copia portátil); si no, la
// carpeta de datos del usuario.
QString DirEscritura();

// La carpeta de escritura que corresponde a una carpeta del programa.
QString ElegirDirEscritura(const QString& programa);

// Costuras de pruebas: otra carpeta del programa o de escritura (vacío
// devuelve la real).
void FijarProgramDir(const QString& dir);
void FijarDirEscritura(const QString& dir);

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
