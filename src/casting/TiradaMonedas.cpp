#include "casting/TiradaMonedas.h"

#include "platform/Basico.h"

const std::array<TiradaMonedas::Estado, 8>& TiradaMonedas::Estados() {
  // Media vuelta es anverso, inclinado, de canto, reverso inclinado y
  // reverso; la otra media vuelve por el otro lado. Sólo cuentan las
  // entradas en "cruz" y en "cara".
  static const std::array<Estado, 8> tabla = {{
      {QStringLiteral("cara"), 0, 1, false},
      {QStringLiteral("canto1"), 1, 2, false},
      {QStringLiteral("canto2"), 2, 3, false},
      {QStringLiteral("canto3"), 3, 4, true},
      {QStringLiteral("cruz"), 4, 5, false},
      {QStringLiteral("canto4"), 5, 6, false},
      {QStringLiteral("canto5"), 2, 7, false},
      {QStringLiteral("canto6"), 6, 0, true},
  }};
  return tabla;
}

int TiradaMonedas::BuscarEstado(const QString& nombre) {
  const auto& tabla = Estados();
  for (int i = 0; i < int(tabla.size()); ++i)
    if (tabla[i].nombre == nombre)
      return i;
  return -1;
}

int TiradaMonedas::DibujoDe(const QString& nombre) {
  const int i = BuscarEstado(nombre);
  return i < 0 ? -1 : Estados()[i].dibujo;
}

int TiradaMonedas::ValorDe(const QString& nombre) {
  if (nombre == QLatin1String("cara"))
    return 2;
  if (nombre == QLatin1String("cruz"))
    return 3;
  return 0;
}

void TiradaMonedas::Reiniciar() {
  for (Moneda& m : moneda)
    m.estado = QStringLiteral("cara");
}

void TiradaMonedas::Arrojar() {
  for (Moneda& m : moneda) {
    m.StepCountdown = qint16(RedondeoPar(Rnd() + 2));
    m.StepPeriod = m.StepCountdown;
    m.FacesLeft = -1;
  }
}

void TiradaMonedas::Tick() {
  for (int i = 0; i < int(moneda.size()); ++i) {
    Moneda& m = moneda[i];
    if (m.StepCountdown != Parada)
      --m.StepCountdown;
    if (m.StepCountdown <= 0) {
      m.StepCountdown = m.StepPeriod;
      const int e = BuscarEstado(m.estado);
      if (e < 0) {
        if (AlFallar)
          AlFallar(i);
      } else {
        const Estado& actual = Estados()[e];
        m.estado = Estados()[actual.siguiente].nombre;
        if (actual.cuentaCara)
          --m.FacesLeft;
      }
    }
    if (m.FacesLeft < 0)
      m.FacesLeft = 0;
  }
}

void TiradaMonedas::PrepararParada() {
  for (Moneda& m : moneda) {
    m.StepCountdown = qint16(RedondeoPar(2 * Rnd() + 1));
    m.StepPeriod = m.StepCountdown;
    m.FacesLeft = qint16(RedondeoPar(4 * Rnd() + 4));
  }
}

bool TiradaMonedas::Quieta(int i) const {
  const Moneda& m = moneda[i];
  return !m.estado.startsWith(QLatin1String("canto")) && m.FacesLeft <= 0;
}

bool TiradaMonedas::Parar(const std::function<void()>& ceder, const std::function<bool()>& seguir) {
  // El último paso se toma como dado a la hora 0: el primero llega enseguida.
  double ultimo = 0;
  for (;;) {
    ceder();
    if (!seguir())
      return false;
    bool todas = true;
    for (int i = 0; i < int(moneda.size()); ++i) {
      if (Quieta(i)) {
        moneda[i].StepCountdown = Parada;
        moneda[i].StepPeriod = Parada;
        continue;
      }
      todas = false;
      if (SegundosDesde(ultimo, Timer()) > 0.01) {
        Tick();
        ceder();
        if (!seguir())
          return false;
        ultimo = Timer();
      }
    }
    if (todas)
      return true;
  }
}

int TiradaMonedas::ValorLinea() const {
  int suma = 0;
  for (const Moneda& m : moneda)
    suma += ValorDe(m.estado);
  return suma;
}

double SegundosDesde(double desde, double hasta) {
  double d = hasta - desde;
  // Pasada la medianoche el reloj vuelve a empezar: sin esto una pausa que
  // la cruzara no acabaría nunca.
  if (d < 0)
    d += 86400.0;
  return d;
}
