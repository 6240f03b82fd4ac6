#pragma once
// Un reloj de pruebas para Timer(): avanza un poco cada vez que se le mira,
// `paso` segundos más un vaivén de hasta `vaiven` (de su propio generador,
// para no tocar la secuencia de Rnd). Como el de verdad, por omisión avanza
// poco en cada mirada: entre dos pasos de animación caben muchas
// comprobaciones. Un reloj de paso fijo exacto no existe: con él dos monedas
// pueden quedar acompasadas y mirarse siempre de canto.

#include "platform/Basico.h"

#include <random>

struct RelojFalso {
  double t = 40000.0;
  double paso = 0.0005;
  double vaiven = 0.001;
  std::minstd_rand azar{12345};
  double avanzar() {
    t += paso + vaiven * std::uniform_real_distribution<double>(0.0, 1.0)(azar);
    return t;
  }
  void instalar() {
    FijarReloj([this] { return avanzar(); });
  }
  ~RelojFalso() { FijarReloj(nullptr); }
};
