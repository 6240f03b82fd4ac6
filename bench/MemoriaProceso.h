#pragma once
// Memoria residente del proceso en kB (en Linux; 0 donde no se sabe leerla).

#include <fstream>
#include <string>

inline long MemoriaResidenteKB() {
  std::ifstream estado("/proc/self/status");
  std::string linea;
  while (std::getline(estado, linea))
    if (linea.rfind("VmRSS:", 0) == 0)
      return std::stol(linea.substr(6));
  return 0;
}
