// El suelo de la medida: el programa de Qt Widgets más pequeño que muestra
// una ventana.
#include "MemoriaProceso.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget ventana;
  ventana.resize(638, 453);
  ventana.show();
  QApplication::processEvents();
  std::printf("LISTO %ld\n", MemoriaResidenteKB());
  std::fflush(stdout);
  return 0;
}
