// Lo que tarda en abrirse la ventana de interpretación de una consulta con
// las seis líneas cambiantes, hasta que se ve su DECISION, frente a una
// ventana vacía del mismo tamaño (el suelo: lo que cuesta mostrar cualquier
// ventana) y frente a la misma ventana mostrada sin cargar nada (lo que
// cuestan sus controles).
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "interpretation/FRMInterpretar.h"
#include "platform/Formulario.h"
#include "platform/Rutas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
class VentanaVacia : public Formulario {
public:
  VentanaVacia() {
    TamanoTwips(9510, 6855);
    DibujarBorde();
  }
};

// Cuenta lo que se pinta de una ventana (ella y sus controles).
class ContadorPintado : public QObject {
public:
  explicit ContadorPintado(QWidget* ventana) : ventana_(ventana) { qApp->installEventFilter(this); }
  ~ContadorPintado() override { qApp->removeEventFilter(this); }
  int pintados = 0;

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint)
      if (auto* w = qobject_cast<QWidget*>(o); w && w->window() == ventana_)
        ++pintados;
    return false;
  }

private:
  QWidget* ventana_;
};

// Mediana de los milisegundos que van de mostrar la ventana a que está a la
// vista: expuesta, con `listo` cumplido y con todo lo pendiente ya pintado.
double medir(QWidget& w, const std::function<bool()>& listo) {
  ContadorPintado contador(&w);
  std::vector<double> tiempos;
  for (int i = 0; i < 33; ++i) {
    contador.pintados = 0;
    QElapsedTimer reloj;
    reloj.start();
    w.show();
    while (!(w.windowHandle() && w.windowHandle()->isExposed() && listo()))
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Lo que cambió al quedar lista se pinta en las vueltas siguientes.
    int antes = -1;
    while (contador.pintados == 0 || contador.pintados != antes) {
      antes = contador.pintados;
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const double ms = double(reloj.nsecsElapsed()) / 1e6;
    w.hide();
    QCoreApplication::processEvents();
    if (i >= 3) // las primeras cargan letras y dibujos
      tiempos.push_back(ms);
  }
  std::sort(tiempos.begin(), tiempos.end());
  return tiempos[tiempos.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FijarProgramDir(QStringLiteral(KORVAL_DIR_DATOS));
  FijarDirEscritura(QStringLiteral(KORVAL_DIR_DATOS));
  LineBreak = QStringLiteral("\r\n");
  QString error;
  if (!LoadNameLists(&error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }

  // Una consulta nueva de Ch'ien con las seis líneas cambiantes: cada
  // apertura con "NO" lo vuelve a cargar y a dibujar todo.
  CurrentLines = QStringLiteral("999999");
  ComputeComplement();
  CurrentQuestion = QStringLiteral("¿SALDRÁ BIEN EL VIAJE?");
  CancelFlag = QStringLiteral("NO");
  FRMInterpretar ventana;
  const double abrir = medir(ventana, [&] {
    // Form_Activate deja LastShownIndex en -1; vuelve a 0 al mostrarse DECISION.
    return ventana.LastShownIndex == 0 && !ventana.Text1->toPlainText().isEmpty();
  });
  // La misma ventana al volver de uno de sus diálogos ("SI"): guarda lo que
  // muestra y no carga nada; es lo que cuesta mostrar sus controles.
  CancelFlag = QStringLiteral("SI");
  const double guardada = medir(ventana, [] { return true; });
  VentanaVacia vacia;
  const double suelo = medir(vacia, [] { return true; });
  std::printf("open_interpretation_ms: %.2f ms\n", abrir);
  std::printf("open_empty_window_ms: %.2f ms\n", suelo);
  std::printf("reopen_interpretation_kept_ms: %.2f ms\n", guardada);
  std::printf("open_interpretation_ratio: %.2f x\n", abrir / suelo);
  return 0;
}
