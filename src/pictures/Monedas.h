#pragma once
// Los dibujos de la tirada: las siete imágenes de una moneda china de
// agujero cuadrado mientras gira y las dos caras del botón de tirar.

#include <QPixmap>

class GRAFICOS;

namespace Dibujos {
// Imagen `fase` (0 a 6) de la moneda, 100 x 100 sobre fondo transparente:
// 0 anverso (cuatro caracteres alrededor del agujero), 1 anverso inclinado,
// 2 de canto, 3 reverso inclinado, 4 reverso liso, 5 reverso inclinado
// (segunda imagen), 6 anverso inclinado (segunda imagen).
QPixmap FaseMoneda(int fase, qreal dpr);
// Cara del botón de tirar, 200 x 40: 0 «Arrojar Monedas», 1 «Parar Monedas»,
// en letra verde de trazo manuscrito sobre negro.
QPixmap CaraArrojarParar(int indice, qreal dpr);
} // namespace Dibujos

// Llena g.grfmoneda y g.GRFarrojarParar a la densidad de la pantalla.
void DibujarMonedas(GRAFICOS& g);
