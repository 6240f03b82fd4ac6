#pragma once
// Las tres monedas de una tirada, sin ventana: sus estados de giro, el paso
// de animación, la parada y el valor de línea que dan al quedar quietas.
// La ventana de las monedas sólo las dibuja y deja correr el bucle de
// eventos; así la misma lógica se puede probar tirada a tirada.

#include <QString>

#include <QtGlobal>

#include <array>
#include <functional>

class TiradaMonedas {
public:
  // Una fila de la tabla de estados de una moneda.
  struct Estado {
    QString nombre;  // el texto que guarda la moneda
    int dibujo;      // grfmoneda(dibujo) mientras está en este estado
    int siguiente;   // índice del estado que viene al girar
    bool cuentaCara; // entrar en el siguiente cuenta como una cara más
  };
  static const std::array<Estado, 8>& Estados();
  // Índice del estado llamado `nombre`, -1 si no es ninguno de los ocho.
  static int BuscarEstado(const QString& nombre);
  // Dibujo del estado `nombre`, -1 si no es un estado.
  static int DibujoDe(const QString& nombre);
  // "cara" vale 2, "cruz" 3; los cantos no valen (0).
  static int ValorDe(const QString& nombre);
  // Una moneda parada no se descuenta nunca.
  static constexpr qint16 Parada = 99;

  struct Moneda {
    QString estado = QStringLiteral("cara");
    qint16 StepCountdown = 0; // pasos que faltan para el siguiente dibujo
    qint16 StepPeriod = 0;    // con qué se recarga (su velocidad)
    qint16 FacesLeft = 0;     // caras que aún debe mostrar antes de parar
  };
  std::array<Moneda, 3> moneda;

  // Cada moneda en un estado que no es de la tabla, en un paso de animación.
  std::function<void(int)> AlFallar;

  // Las tres monedas de cara, como al abrir la ventana.
  void Reiniciar();
  // Arrojar: cada moneda gira libre a su propia velocidad (2 o 3 pasos por
  // dibujo).
  void Arrojar();
  // Un paso de animación de las tres monedas.
  void Tick();
  // Al pedir que paren: cada moneda toma otra velocidad (1 a 3) y debe
  // entrar aún en 4 a 8 caras.
  void PrepararParada();
  // El bucle de parada: da pasos (uno cada más de 0,01 s del reloj Timer())
  // hasta que las tres monedas quedan en una cara con su cuenta cumplida.
  // `ceder` deja correr el bucle de eventos; si después `seguir` dice que
  // no, la parada se abandona y devuelve false.
  bool Parar(const std::function<void()>& ceder, const std::function<bool()>& seguir);
  // Suma de las tres monedas: 6 a 9.
  int ValorLinea() const;
  bool Quieta(int i) const;
};

// Segundos que van de `desde` a `hasta` en el reloj Timer(), que vuelve a
// cero a medianoche.
double SegundosDesde(double desde, double hasta);
