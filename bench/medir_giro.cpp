// Lo que gasta el programa mientras las tres monedas giran solas: el uso de
// procesador del proceso durante 2 s de giro libre, en tanto por ciento de
// un núcleo. El giro es lo único que se mueve mientras el usuario se
// concentra en su pregunta; no debe calentar la máquina. Y lo mismo mientras
// las monedas paran y durante la pausa tras la sexta línea: esperas, no
// trabajo, que no deben tener un núcleo dando vueltas.
#include "casting/FRMTirada.h"
#include "core/Estado.h"
#include "pictures/GRAFICOS.h"
#include "pictures/Monedas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ReiniciarEstado();
  CurrentQuestion = QStringLiteral("¿CUÁNTO GASTA EL GIRO DE LAS MONEDAS?");
  DibujarMonedas(GRAFICOS::Instancia());

  FRMTirada w;
  w.show();
  while (!(w.windowHandle() && w.windowHandle()->isExposed()))
    QCoreApplication::processEvents(QEventLoop::AllEvents);

  int pasos = 0;
  QObject::connect(w.Timer1, &QTimer::timeout, &w, [&pasos] { ++pasos; });
  w.BTNTIRAR->click(); // arrojar: desde aquí giran solas con su reloj
  // Medio segundo para que se asiente (letras, dibujos en caché).
  {
    QEventLoop espera;
    QTimer::singleShot(500, &espera, &QEventLoop::quit);
    espera.exec();
  }

  pasos = 0;
  QEventLoop bucle;
  QElapsedTimer pared;
  const std::clock_t antes = std::clock();
  pared.start();
  QTimer::singleShot(2000, &bucle, &QEventLoop::quit);
  bucle.exec();
  const double cpu = double(std::clock() - antes) / CLOCKS_PER_SEC;
  const double segundos = double(pared.nsecsElapsed()) / 1e9;

  if (pasos < 50 || w.BTNTIRAR->Tag != QLatin1String("PARAR MONEDAS")) {
    std::fprintf(stderr, "las monedas no giraron (%d pasos)\n", pasos);
    return 1;
  }
  std::printf("spin_cpu_percent: %.2f %%\n", 100.0 * cpu / segundos);

  // Seis paradas, la última con la pausa final; entre ellas, tirar (que no
  // cuenta) y dejar girar un momento.
  double cpuPausas = 0, segundosPausas = 0;
  for (int linea = 0; linea < 6; ++linea) {
    if (linea > 0) {
      w.BTNTIRAR->click(); // arrojar
      QEventLoop espera;
      QTimer::singleShot(100, &espera, &QEventLoop::quit);
      espera.exec();
    }
    const std::clock_t c0 = std::clock();
    QElapsedTimer p;
    p.start();
    w.BTNTIRAR->click(); // parar: vuelve con las monedas quietas (o tras la pausa final)
    cpuPausas += double(std::clock() - c0) / CLOCKS_PER_SEC;
    segundosPausas += double(p.nsecsElapsed()) / 1e9;
  }
  if (w.isVisible() || w.LineasPuestas() != 6) {
    std::fprintf(stderr, "la tirada no terminó (%d líneas)\n", w.LineasPuestas());
    return 1;
  }
  std::printf("pause_cpu_percent: %.2f %%\n", 100.0 * cpuPausas / segundosPausas);
  return 0;
}
