#include "platform/Basico.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTime>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {
std::chrono::microseconds duracionTurno{1000};
long long turnosPedidos = 0;

bool HayVentanaALaVista() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    return false;
  const QWindowList ventanas = QGuiApplication::topLevelWindows();
  return std::any_of(ventanas.begin(), ventanas.end(), [](const QWindow* w) { return w->isVisible(); });
}
} // namespace

void WaitTicks(int count) {
  if (count < 1)
    return;
  turnosPedidos += count;
  const qint64 total = qint64(count) * duracionTurno.count();
  if (total <= 0) {
    for (int i = 0; i < count; ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  if (!HayVentanaALaVista()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // Se espera a los sucesos con un despertador en el final de la pausa: el
  // bucle duerme hasta que llega algo (un repintado, una tecla) o se acaba.
  QElapsedTimer reloj;
  reloj.start();
  QTimer despertador;
  despertador.setTimerType(Qt::PreciseTimer);
  despertador.setSingleShot(true);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  for (;;) {
    const qint64 resta = total - reloj.nsecsElapsed() / 1000;
    if (resta <= 0)
      break;
    despertador.start(int((resta + 999) / 1000));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void FijarDuracionTurno(std::chrono::microseconds duracion) {
  duracionTurno = duracion;
}

std::chrono::microseconds DuracionTurno() {
  return duracionTurno;
}

long long TurnosPedidos() {
  return turnosPedidos;
}

void DejarCorrerEventos() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

double Val(const QString& texto) {
  int i = 0;
  const int n = int(texto.size());
  while (i < n && (texto[i] == QLatin1Char(' ') || texto[i] == QLatin1Char('\t')))
    ++i;
  QString numero;
  if (i < n && (texto[i] == QLatin1Char('-') || texto[i] == QLatin1Char('+')))
    numero += texto[i++];
  bool digitos = false;
  while (i < n && texto[i].isDigit() && texto[i].unicode() < 128) {
    numero += texto[i++];
    digitos = true;
  }
  if (i < n && texto[i] == QLatin1Char('.')) {
    numero += texto[i++];
    while (i < n && texto[i].isDigit() && texto[i].unicode() < 128) {
      numero += texto[i++];
      digitos = true;
    }
  }
  if (!digitos)
    return 0.0;
  return numero.toDouble();
}

int RedondeoPar(double v) {
  // nearbyint redondea con el modo por defecto: al más cercano, mitades al par.
  // Lo que no cabe en un entero se queda en el extremo (un dato absurdo en un
  // fichero no puede ser un comportamiento indefinido).
  const double r = std::nearbyint(v);
  if (std::isnan(r))
    return 0;
  if (r >= double(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (r <= double(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

QString Fijo(const QString& texto, int ancho) {
  if (texto.size() >= ancho)
    return texto.left(ancho);
  return texto + QString(ancho - texto.size(), QLatin1Char(' '));
}

QString QuitarBlancos(const QString& s) {
  qsizetype a = 0, b = s.size();
  while (a < b && s[a] == QLatin1Char(' '))
    ++a;
  while (b > a && s[b - 1] == QLatin1Char(' '))
    --b;
  return s.mid(a, b - a);
}

QString QuitarBlancosDerecha(const QString& s) {
  qsizetype b = s.size();
  while (b > 0 && s[b - 1] == QLatin1Char(' '))
    --b;
  return s.left(b);
}

// --- Reloj -----------------------------------------------------------------
namespace {
std::function<double()> relojPropio;
std::function<QDate()> fechaPropia;
} // namespace

double Timer() {
  if (relojPropio)
    return relojPropio();
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDate Fecha() {
  if (fechaPropia)
    return fechaPropia();
  return QDate::currentDate();
}

void FijarReloj(std::function<double()> timer, std::function<QDate()> fecha) {
  relojPropio = std::move(timer);
  fechaPropia = std::move(fecha);
}

// --- Números aleatorios ----------------------------------------------------
// splitmix64: pequeño, rápido y de buena calidad; el estado inicial es fijo
// para que la secuencia sin sembrar se repita de una ejecución a otra.
namespace {
constexpr std::uint64_t EstadoInicial = 0x4B4F5256414C3131ULL;
std::uint64_t estado = EstadoInicial;

std::uint64_t siguiente() {
  std::uint64_t z = (estado += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}
} // namespace

double Rnd() {
  return double(siguiente() >> 11) * 0x1.0p-53;
}

void Randomize(double semilla) {
  estado = EstadoInicial ^ std::bit_cast<std::uint64_t>(semilla);
  siguiente();
}

void ReiniciarAleatorio() {
  estado = EstadoInicial;
}

// --- Mensajes --------------------------------------------------------------
namespace {
ManejadorMsgBox manejadorMsgBox;
bool guionActivo = false;
std::deque<int> respuestas;
std::vector<MensajeMostrado> mostradosGuion;
} // namespace

int PrimerBoton(int estilo) {
  return BotonesDe(estilo).front();
}

std::vector<int> BotonesDe(int estilo) {
  switch (estilo & 7) {
  case vbOKCancel:
    return {vbOK, vbCancel};
  case vbAbortRetryIgnore:
    return {vbAbort, vbRetry, vbIgnore};
  case vbYesNoCancel:
    return {vbYes, vbNo, vbCancel};
  case vbYesNo:
    return {vbYes, vbNo};
  case vbRetryCancel:
    return {vbRetry, vbCancel};
  default:
    return {vbOK};
  }
}

int BotonPredeterminado(int estilo) {
  const std::vector<int> botones = BotonesDe(estilo);
  const size_t n = (estilo & vbDefaultButton3) ? 2 : (estilo & vbDefaultButton2) ? 1 : 0;
  return botones[std::min(n, botones.size() - 1)];
}

int BotonEscape(int estilo) {
  // Escape nunca dice que sí: deja las cosas como estaban.
  const std::vector<int> botones = BotonesDe(estilo);
  for (int b : {int(vbCancel), int(vbNo), int(vbAbort)})
    if (std::find(botones.begin(), botones.end(), b) != botones.end())
      return b;
  return botones.front();
}

int MsgBox(const QString& texto, int estilo, const QString& titulo) {
  MensajeMostrado m{texto, estilo, titulo.isEmpty() ? TituloAplicacion : titulo, BotonPredeterminado(estilo),
                    BotonEscape(estilo)};
  if (guionActivo) {
    mostradosGuion.push_back(m);
    if (respuestas.empty())
      return PrimerBoton(estilo);
    const int r = respuestas.front();
    respuestas.pop_front();
    return r;
  }
  if (manejadorMsgBox)
    return manejadorMsgBox(m);
  return PrimerBoton(estilo);
}

void InstalarManejadorMsgBox(ManejadorMsgBox manejador) {
  manejadorMsgBox = std::move(manejador);
}

void GuionMensajes::activar() {
  guionActivo = true;
  limpiar();
}
void GuionMensajes::desactivar() {
  guionActivo = false;
  limpiar();
}
void GuionMensajes::responder(int respuesta) {
  respuestas.push_back(respuesta);
}
const std::vector<MensajeMostrado>& GuionMensajes::mostrados() {
  return mostradosGuion;
}
void GuionMensajes::limpiar() {
  respuestas.clear();
  mostradosGuion.clear();
}

// --- Pitido ----------------------------------------------------------------
namespace {
std::function<void()> manejadorBeep;
int pitidos = 0;
} // namespace

void Beep() {
  ++pitidos;
  if (manejadorBeep)
    manejadorBeep();
}
void InstalarManejadorBeep(std::function<void()> manejador) {
  manejadorBeep = std::move(manejador);
}
int PitidosDados() {
  return pitidos;
}
