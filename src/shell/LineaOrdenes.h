#pragma once
// La línea de órdenes, atendida antes que nada: antes de crear la aplicación
// (que sin escritorio gráfico no puede ni nacer) y antes de mirar si hay otra
// copia en marcha, de modo que `korval --help` responde siempre. No usa
// ventanas: decide qué hacer y qué decir, y main lo hace.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct OrdenArranque {
  enum class Que {
    AbrirVentanas, // arrancar el programa de escritorio
    Terminar,      // decir lo que toca y salir con `estado`
    Exportar,      // exportar el diario a `fichero`, sin ventanas ni escritorio
  };
  Que que = Que::AbrirVentanas;
  int estado = 0;  // 0 bien; 1 sin escritorio gráfico; 2 línea de órdenes mal escrita
  QString salida;  // para la salida estándar
  QString errores; // para la salida de errores
  QString fichero; // Exportar: adónde
  QString usuario; // Exportar: de quién (vacío: de todos)
};

// Estados de salida al terminar.
constexpr int SalidaSinEscritorio = 1;
constexpr int SalidaOrdenMal = 2;

// `korval --exportar FICHERO [--usuario NOMBRE]` se decide antes de mirar si
// hay escritorio: exportar no lo necesita.
// Decide qué hacer con `argumentos` (el primero es el nombre del programa) y
// con el entorno. Las opciones de Qt para las ventanas (-platform, -style…)
// se dejan pasar para que las atienda Qt.
OrdenArranque LeerLineaOrdenes(const QStringList& argumentos, const QProcessEnvironment& entorno);

// Los argumentos de main como textos.
QStringList ArgumentosDe(int argc, char** argv);

// Escribe la salida y los errores de `orden` y devuelve su estado de salida.
int Responder(const OrdenArranque& orden);
