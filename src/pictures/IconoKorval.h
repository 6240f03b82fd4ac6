#pragma once
// El icono de KORVAL, descrito una sola vez: de la misma lista de figuras
// salen el SVG que se instala y las imágenes que pinta QPainter (las PNG del
// tema de iconos y el icono de las ventanas), así que no pueden diferir.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

namespace IconoKorval {

// Las figuras se dan en un cuadrado de 256 unidades. Las barras y sus huecos
// miden múltiplos de 16, así que a 16, 32, 48... píxeles caen en píxeles enteros.
inline constexpr qreal Lado = 256;

// Un rectángulo redondeado, relleno de un color o de un degradado de arriba
// abajo, con o sin borde (centrado en el contorno, como en SVG).
struct Figura {
  QRectF caja;
  qreal radio = 0;
  QColor arriba;
  QColor abajo; // inválido: relleno liso del color de arriba
  QColor borde; // inválido: sin borde
  qreal grosor = 0;
};

std::vector<Figura> Figuras();

// El dibujo en SVG 1.1, de `Lado` x `Lado` unidades.
QString Svg();
// El dibujo pintado a `lado` x `lado` píxeles, con fondo transparente.
QImage Imagen(int lado);
// Los tamaños del tema de iconos y el icono de las ventanas con todos ellos.
inline constexpr int Lados[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};
QIcon Icono();

} // namespace IconoKorval
