#pragma once
// Cómo queda guardada la pregunta que el usuario escribe: en mayúsculas,
// abierta con «¿» y cerrada con «?», en un texto de 100 caracteres.

#include <QString>

// Mayúsculas carácter a carácter, acentos y eñes incluidos. Un carácter cuya
// mayúscula no cabe en Windows-1252 (o no es un solo carácter) se queda como
// está, para que la pregunta se pueda guardar tal cual y no cambie de largo.
QString MayusculasPregunta(const QString& texto);

// La pregunta escrita `texto` (con los saltos de línea como retorno de carro
// y salto de línea) tal como se guarda al aceptarla: el texto de 100
// caracteres, blancos finales incluidos.
QString NormalizarPregunta(const QString& texto);

// ¿Se guarda entera la pregunta escrita `texto`, con el «¿» y el «?» que se
// le añaden, en sus 100 caracteres? Si no, al aceptarla se cortaría.
bool CabeLaPregunta(const QString& texto);

// Lo que de `texto` puede entrar en el cuadro de la pregunta: compuesto (las
// letras con su acento puesto), sin caracteres que Windows-1252 no tiene ni
// caracteres de control (NUL, ESC, BEL, DEL…), con los saltos de línea como
// "\n". `quitado` dice si se quitó algo.
QString LimpiarParaLaPregunta(const QString& texto, bool* quitado = nullptr);

// El cuadro de texto da los saltos de línea como "\n"; el programa los lee
// como retorno de carro y salto de línea, igual que los escribe.
QString TextoLeidoDelCuadro(const QString& cuadro);
// Y al revés, para poner en el cuadro un texto con retornos de carro.
QString TextoParaElCuadro(const QString& texto);
