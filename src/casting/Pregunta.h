#pragma once
// Cómo queda guardada la pregunta que el usuario escribe: en mayúsculas,
// abierta con «¿» y cerrada con «?», en un texto de 100 caracteres.

#include <QString>

// Lo que cabe en el archivo: la pregunta con su «¿» y su «?».
inline constexpr int LargoPregunta = 100;

// Mayúsculas carácter a carácter, acentos y eñes incluidos. Un carácter cuya
// mayúscula no cabe en Windows-1252 (o no es un solo carácter) se queda como
// está, para que la pregunta se pueda guardar tal cual y no cambie de largo.
QString MayusculasPregunta(const QString& texto);

// La pregunta escrita `texto` tal como se guarda al aceptarla: el texto de
// 100 caracteres, blancos finales incluidos. Los saltos de línea cuentan
// como blancos y nunca acaba en dos signos de cierre.
QString NormalizarPregunta(const QString& texto);

// Cuántos caracteres ocuparía en el archivo la pregunta escrita `texto`, con
// el «¿» y el «?» que se le añaden, sin cortarla.
int LargoGuardado(const QString& texto);

// ¿Se guarda entera la pregunta escrita `texto`, con el «¿» y el «?» que se
// le añaden, en sus 100 caracteres? Si no, al aceptarla se cortaría.
inline bool CabeLaPregunta(const QString& texto) {
  return LargoGuardado(texto) <= LargoPregunta;
}

// Lo que de `texto` puede entrar en el cuadro de la pregunta: compuesto (las
// letras con su acento puesto), sin caracteres que Windows-1252 no tiene ni
// caracteres de control (NUL, ESC, BEL, DEL…), y con cada salto de línea
// hecho un blanco: la pregunta es un solo renglón. `quitado` dice si se
// quitó algo.
QString LimpiarParaLaPregunta(const QString& texto, bool* quitado = nullptr);

// Lo más largo del principio de `texto` que no deja una palabra partida:
// hasta `n` caracteres si allí acaba una palabra; si no, hasta el último
// blanco antes de `n` (nada, si no lo hay).
QString SinPalabraPartida(const QString& texto, qsizetype n);
