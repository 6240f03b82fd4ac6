#pragma once
// Windows-1252: la codificación de todos los ficheros del programa.
// Qt 6.4 no trae este conversor; la tabla de 0x80 a 0x9F es nuestra.

#include <QByteArray>
#include <QString>

namespace Win1252 {
// Cada byte es un carácter; los cinco bytes sin definir (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) dan U+0081 etc.
QString decodificar(const QByteArray& bytes);
// Un byte por carácter. Un carácter que no cabe se escribe como "?" y pone
// *ok a false.
QByteArray codificar(const QString& texto, bool* ok = nullptr);
bool cabe(QChar c);
bool cabe(const QString& texto);
// Lo que queda de `texto` al quitarle los caracteres que no caben.
QString filtrar(const QString& texto);
} // namespace Win1252
