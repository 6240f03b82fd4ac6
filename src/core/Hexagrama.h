#pragma once
// Las rutinas de módulo sobre las cadenas de líneas y las listas de nombres.

#include <QString>

// "6"→"8" y "9"→"7": el dibujo estable de una cadena de líneas.
QString PatronEstable(const QString& lines);
// ¿Es c una línea cambiante ("6" o "9")?
bool EsCambiante(QChar c);

// Lee CurrentLines y escribe ComplementLines: las líneas cambiantes giradas.
void ComputeComplement();
// Campo 6 de la fila que coincide (la última, si hay varias); vacío si ninguna.
QString HexagramTextPosition(const QString& lines);
// Número de la fila que coincide; 0 si ninguna.
int HexagramNumber(const QString& lines);
// Nombre para mostrar ("nombre, segundo nombre") del primer trigrama que
// tiene `code` entre sus claves; vacío si ninguno.
QString TrigramName(const QString& code);
