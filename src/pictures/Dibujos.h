#pragma once
// Los dibujos del almacén GRAFICOS, cada uno una función que lo pinta a la
// densidad de píxeles que se le pide. El almacén los pide a la densidad de la
// pantalla; las pruebas, a cualquier otra.

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <array>

namespace Dibujos {

// Un lienzo de `logico` píxeles lógicos a densidad `dpr`, relleno de `fondo`
// (transparente si no se da).
QPixmap Lienzo(QSize logico, qreal dpr, const QColor& fondo = Qt::transparent);
// Un pintor con suavizado sobre el lienzo.
void Preparar(QPainter& p);

// Los tamaños lógicos de las tres líneas de hexagrama.
inline constexpr QSize TamLinea{172, 31};
inline constexpr QSize TamLineaMediana{103, 19};
inline constexpr QSize TamLineaPequena{86, 16};

// Línea de hexagrama de valor 6 + k (k de 0 a 3): barras claras sobre negro;
// 6 partida con una cruz en el hueco, 7 entera, 8 partida, 9 entera con un
// anillo en el centro.
QPixmap Linea(int k, QSize logico, qreal dpr);

// Cara de botón de 75 x 34 con una palabra («Aceptar», «Cancelar»): cabe entera en los botones de
// aceptar y cancelar de todas las ventanas.
QPixmap CaraPalabra(const QString& palabra, bool aceptar, qreal dpr);

// Caras del menú principal (0 a 6 de 69 x 69, 7 de 33 x 35).
QPixmap CaraMenu(int indice, qreal dpr);
QSize TamCaraMenu(int indice);

// Fondo de la ventana de presentación (488 x 235).
QPixmap FondoInicio(qreal dpr);
// El dibujo de 640 x 480 del aviso y fondo del menú principal: la rueda de
// los ocho trigramas, con su centro algo más abajo que el del dibujo.
QPixmap Consejo(qreal dpr);
inline constexpr QPointF CentroConsejo{320, 256};
// Icono del programa en todos sus tamaños (el mismo que instala el paquete).
QIcon IconoCompleto();

// Caras de la ventana de interpretación (55 x 55): hexagrama principal o
// complementario (IMGHEXAGR) y archivar, imprimir, volver al menú.
QPixmap CaraHexagrama(int indice, qreal dpr);
QPixmap CaraInterpretar(int indice, qreal dpr);
// Papelera de eliminar consulta (33 x 33).
QPixmap Eliminar(qreal dpr);
// Impresora (32 x 32), sobre fondo transparente.
QPixmap Impresora(qreal dpr);

// Placa de fondo común de los botones con dibujo: verde azulado con luz
// arriba, filo dorado.
void Placa(QPainter& p, const QRectF& r, qreal radio = 6.0);
// Un hexagrama de seis líneas (de abajo arriba, true = entera) en `r`.
void Hexagrama(QPainter& p, const QRectF& r, const std::array<bool, 6>& lineas, const QColor& color);
// Un trigrama de tres líneas (de abajo arriba, bit 0 abajo) en `r`.
void Trigrama(QPainter& p, const QRectF& r, int bits, const QColor& color);
// Un taijitu de radio `radio` centrado en `centro`.
void Taijitu(QPainter& p, QPointF centro, qreal radio, const QColor& claro, const QColor& oscuro);

} // namespace Dibujos
