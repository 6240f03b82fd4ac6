#pragma once
// Las posiciones y tamaños del diseño están en twips (1/1440 de pulgada).

#include <QPoint>
#include <QRect>
#include <QSize>

// Píxeles lógicos de pantalla que ocupan `twips` (a los puntos por pulgada
// lógicos de la pantalla).
int Tw(int twips);
QRect TwRect(int left, int top, int width, int height);
QSize TwSize(int width, int height);
// Twips que ocupan `pixeles` píxeles lógicos.
int PixATwips(int pixeles);
// Twips por píxel lógico (15 a 96 ppp).
double TwipsPorPixel();
