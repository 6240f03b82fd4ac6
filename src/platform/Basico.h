#pragma once
// Lo que el programa pide al sistema y no es una ventana: pausas, lectura de
// números, textos de ancho fijo, reloj, números aleatorios, mensajes y pitido.
// Todo pasa por aquí para que las pruebas puedan guiarlo.

#include <QDate>
#include <QString>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

// Título que llevan los mensajes sin título propio.
inline const QString TituloAplicacion = QStringLiteral("KORVAL");

// La pausa del programa: `count` turnos del bucle de eventos; con `count` < 1
// vuelve enseguida. Un turno atiende lo pendiente y espera a que llegue algo
// más, hasta completar un milisegundo: así WaitTicks(500) es medio segundo
// en que la pantalla se pinta y responde, sin gastar procesador. Una pausa
// es para que se vea lo que pasa: si no hay ninguna ventana del programa a
// la vista, sólo se atiende una vez lo pendiente, sin esperar.
void WaitTicks(int count);
// Lo que dura un turno de WaitTicks. Costura de pruebas: con cero, los
// turnos no esperan nunca y las pruebas no pasan las pausas de verdad.
void FijarDuracionTurno(std::chrono::microseconds duracion);
std::chrono::microseconds DuracionTurno();
// Cuántos turnos han pedido las pausas en esta ejecución: se ve que una ventana pide la suya sin
// tener que esperarla.
long long TurnosPedidos();
// Atiende una vez lo pendiente, sin esperar: para los bucles que trabajan
// (leer textos, imprimir líneas) y no deben dejar la pantalla muerta.
void DejarCorrerEventos();

// Lectura numérica de un texto: el número decimal con que empieza (tras los
// blancos iniciales), 0 si no empieza por un número.
double Val(const QString& texto);

// Redondeo al entero más cercano; las mitades van al vecino par (2,5 da 2).
int RedondeoPar(double v);

// Los `ancho` primeros caracteres de `texto`, rellenados con blancos a la
// derecha si es más corto.
QString Fijo(const QString& texto, int ancho);

// Un texto de ancho fijo: al asignarle se corta o se rellena; al leerlo da
// siempre todos sus caracteres, blancos finales incluidos.
class TextoFijo {
public:
  explicit TextoFijo(int ancho) : ancho_(ancho), texto_(ancho, QLatin1Char(' ')) {}
  TextoFijo& operator=(const QString& texto) {
    texto_ = Fijo(texto, ancho_);
    return *this;
  }
  TextoFijo& operator=(const TextoFijo& otro) { return *this = otro.texto_; }
  TextoFijo(const TextoFijo&) = default;
  const QString& texto() const { return texto_; }
  operator const QString&() const { return texto_; } // NOLINT: se lee como texto
  QString trimmed() const { return texto_.trimmed(); }
  int ancho() const { return ancho_; }
  bool operator==(const QString& s) const { return texto_ == s; }
  bool operator==(const TextoFijo& o) const { return texto_ == o.texto_; }

private:
  int ancho_;
  QString texto_;
};

// Quita sólo blancos (no saltos de línea) por ambos lados, como hace el
// programa con sus campos.
QString QuitarBlancos(const QString& s);
QString QuitarBlancosDerecha(const QString& s);

// --- Reloj -----------------------------------------------------------------
double Timer(); // segundos desde la medianoche, con fracciones
QDate Fecha();  // la fecha de hoy
// Costura de pruebas: un reloj y una fecha propios (nullptr devuelve los reales).
void FijarReloj(std::function<double()> timer, std::function<QDate()> fecha = nullptr);

// --- Números aleatorios ----------------------------------------------------
// Reales uniformes 0 <= r < 1. Sin sembrar, la secuencia es siempre la misma.
double Rnd();
void Randomize(double semilla);
void ReiniciarAleatorio(); // vuelve a la secuencia sin sembrar

// --- Mensajes --------------------------------------------------------------
enum EstiloMensaje : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256, // el segundo botón es el predeterminado
  vbDefaultButton3 = 512, // el tercero
};
enum RespuestaMensaje : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

struct MensajeMostrado {
  QString texto;
  int estilo = vbOKOnly;
  QString titulo;
  // El botón que pulsa Intro y el que pulsan Escape y el cierre de la caja.
  int predeterminado = vbOK;
  int escape = vbOK;
  int botones() const { return estilo & 7; }
  int icono() const { return estilo & 0x70; }
};

// Los botones de cada juego, en orden (vbOKOnly, vbYesNo…).
std::vector<int> BotonesDe(int estilo);
// El predeterminado: el primero, o el que pida vbDefaultButton2/3.
int BotonPredeterminado(int estilo);
// El de Escape: Cancelar si lo hay; si no, No; en Anular, Reintentar,
// Ignorar, Anular; con un solo botón, ese.
int BotonEscape(int estilo);

// Muestra un mensaje y devuelve el botón pulsado. Sin título, lleva el de la
// aplicación.
int MsgBox(const QString& texto, int estilo = vbOKOnly, const QString& titulo = QString());

using ManejadorMsgBox = std::function<int(const MensajeMostrado&)>;
void InstalarManejadorMsgBox(ManejadorMsgBox manejador);

// El primer botón de un juego de botones (lo que contesta un guion sin respuestas).
int PrimerBoton(int estilo);

// Guion de pruebas: mientras está activo, MsgBox no muestra nada; anota lo
// que habría mostrado y contesta con la siguiente respuesta de la cola (o,
// si no queda ninguna, con el primer botón).
class GuionMensajes {
public:
  static void activar();
  static void desactivar();
  static void responder(int respuesta);
  static const std::vector<MensajeMostrado>& mostrados();
  static void limpiar();
};

// --- Pitido ----------------------------------------------------------------
void Beep();
void InstalarManejadorBeep(std::function<void()> manejador);
int PitidosDados(); // cuántos pitidos se han dado en esta ejecución
