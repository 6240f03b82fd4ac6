#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

double TwipsPorPixel() {
  double ppp = 96.0;
  if (const QScreen* s = QGuiApplication::primaryScreen())
    ppp = s->logicalDotsPerInchX();
  if (ppp <= 0)
    ppp = 96.0;
  return 1440.0 / ppp;
}

int Tw(int twips) {
  return int(std::lround(twips / TwipsPorPixel()));
}

QRect TwRect(int left, int top, int width, int height) {
  return QRect(Tw(left), Tw(top), Tw(width), Tw(height));
}

QSize TwSize(int width, int height) {
  return QSize(Tw(width), Tw(height));
}

int PixATwips(int pixeles) {
  return int(std::lround(pixeles * TwipsPorPixel()));
}
