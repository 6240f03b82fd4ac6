#pragma once
// El estado de la consulta, compartido por todas las ventanas, y las dos
// listas de nombres. Ninguna ventana pasa un hexagrama a otra: todas leen y
// escriben estos globales.

#include "platform/Basico.h"

#include <QDate>
#include <QString>

#include <array>

// Cadena de líneas: seis valores de línea ("6" a "9"), el primero la línea de
// abajo. En blanco mientras no hay líneas.
extern TextoFijo CurrentLines;    // 6: la consulta en curso
extern TextoFijo ComplementLines; // 6: su hexagrama complementario
extern TextoFijo LastLines;       // 6: la última consulta que llegó a interpretarse
extern TextoFijo CurrentQuestion; // 100: la pregunta en curso
extern TextoFijo LastQuestion;    // 100: la pregunta de la última consulta
extern TextoFijo CancelFlag;      // 2: "NO" completado, "SI" abandonado, "EC" otra copia
extern TextoFijo LineBreak;       // 2: retorno de carro y salto de línea

// La fecha de la consulta viaja con ella: una nueva lleva la del día en que se hizo; una sacada
// del archivo, la suya. Grabar, imprimir y el diario la usan. Inválida mientras no hay consulta.
extern QDate CurrentDate;
extern QDate LastDate;

// El nombre con el que se grabó la última consulta en esta sesión, como quedó en el archivo
// (sin blancos de relleno); vacío si aún no se grabó ninguna. Se ofrece al volver a grabar y
// la recuperación abre en esa persona.
extern QString LastUser;

// La pregunta de una consulta que no se hizo con monedas: la de un hexagrama
// construido a mano y la de uno elegido de la lista. Las consultas archivadas
// antes guardan la que llevaban, que para las de la lista era la primera.
inline const QString PreguntaModoManual = QStringLiteral("NO SE HA REALIZADO CONSULTA (Modo Manual)");
inline const QString PreguntaCatalogo = QStringLiteral("NO SE HA REALIZADO CONSULTA (elegido de la lista)");

// Listas de nombres, con índices desde 1 como en los ficheros:
// TrigramList[t][f], t = 1..8, f = 1..10; HexagramList[n][f], n = 1..64, f = 1..6.
extern std::array<std::array<QString, 11>, 9> TrigramList;
extern std::array<std::array<QString, 7>, 65> HexagramList;

// Devuelve todo el estado a su valor de arranque (para pruebas).
void ReiniciarEstado();
