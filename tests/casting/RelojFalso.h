#pragma once
// Reloj de pruebas para Timer(): avanza `paso` más un vaivén de hasta
// `vaiven` (de su propio generador, sin tocar Rnd) cada vez que se le mira.
// Con un paso fijo exacto dos monedas podrían acompasarse y verse siempre de canto.
#include "platform/Basico.h"

#include <random>

struct RelojFalso {
  double t = 40000.0;
  double paso = 0.0005;
  double vaiven = 0.001;
  std::minstd_rand azar{12345};
  double avanzar() { return t += paso + vaiven * std::uniform_real_distribution<double>(0.0, 1.0)(azar); }
  void instalar() {
    FijarReloj([this] { return avanzar(); });
  }
  ~RelojFalso() { FijarReloj(nullptr); }
};
