#pragma once
// Para las llamadas al sistema de la capa de plataforma (POSIX).

#include <cerrno>

// Las llamadas que una señal puede cortar se repiten.
template <class F> auto SinCortes(F&& f) {
  decltype(f()) r;
  do
    r = f();
  while (r == -1 && errno == EINTR);
  return r;
}
