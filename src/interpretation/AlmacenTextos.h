#pragma once
// El almacén de textos "BINARIO.DAT" y TextBuffer, los textos del último
// hexagrama cargado.
//
// El fichero son registros de 80 caracteres sin finales de línea. El bloque
// de un hexagrama empieza 80 bytes después de la posición P (contada desde 1)
// que da el campo 6 de su fila en la lista de hexagramas, y sigue hasta su
// marca final "**": DECISION ("*D"), COMENTARIO ("*C"), IMAGEN ("*I") y las
// seis líneas ("*L1" … "*L6"), cada marca seguida de sus registros de texto.

#include "platform/Basico.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// 101 ranuras de 80 caracteres, 0 a 100; la 0 no se usa.
extern std::vector<TextoFijo> TextBuffer;
constexpr int RanurasTextBuffer = 101;

// Lo que la carga cuenta a quien la pidió: cada línea cambiante cuya marca
// guardó y, al final, que la carga ha terminado.
struct InformeCarga {
  std::function<void(int)> lineaCambiante;
  std::function<void()> cargaCompleta;
};

// Lee de "BINARIO.DAT" el bloque del hexagrama de `lines` y guarda en
// TextBuffer las tres secciones y sólo las líneas que cambian.
void CargarBuffer(const QString& lines, const InformeCarga& informe = {});
// Lo mismo sobre el contenido del fichero ya leído (para pruebas y fuzzing).
void CargarBufferDe(const QByteArray& almacen, const QString& lines, const InformeCarga& informe = {});

// Extracción de una sección de TextBuffer ("D", "C", "I"): su texto.
QString ExtraerSeccion(const QString& codigo);
// Extracción de una línea ("L1" … "L6"): su enunciado y su interpretación.
struct TextoLinea {
  QString enunciado;
  QString interpretacion;
};
TextoLinea ExtraerLinea(const QString& codigo);

// ¿Empieza el registro (sin blancos a los lados) por "INTERPRETACIÓN",
// sin distinguir mayúsculas?
bool EmpiezaInterpretacion(const QString& registro);
