// Lo que tarda en abrirse la ventana de interpretación de una consulta nueva
// con las seis líneas cambiantes, hasta que se ve su DECISIÓN, frente a la
// misma ventana mostrada otra vez sin cargar nada (lo que cuesta mostrar y
// pintar sus controles): la diferencia es lo que añade la consulta, leer el
// almacén y poner sus textos.
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "interpretation/FRMInterpretar.h"
#include "platform/Rutas.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
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

// Milisegundos que van de mostrar la ventana a que está a la vista: expuesta,
// con `listo` cumplido y con todo lo pendiente ya pintado.
double medirUna(QWidget& w, ContadorPintado& contador, const std::function<bool()>& listo) {
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
  return ms;
}

double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
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

  // Cada apertura con "NO" es una consulta nueva, con las seis líneas
  // cambiantes (Ch'ien y K'un por turnos): se carga y se dibuja todo. Cada
  // una va seguida de la misma ventana al volver de uno de sus diálogos
  // ("SI"), que guarda lo que muestra y no carga nada. Por turnos, una
  // racha de carga en la máquina cae sobre las dos medidas por igual.
  CurrentQuestion = QStringLiteral("¿SALDRÁ BIEN EL VIAJE?");
  FRMInterpretar ventana;
  ContadorPintado contador(&ventana);
  std::vector<double> abrir, guardada;
  for (int i = 0; i < 41; ++i) {
    CurrentLines = i % 2 ? QStringLiteral("666666") : QStringLiteral("999999");
    ComputeComplement();
    CancelFlag = QStringLiteral("NO");
    const double a = medirUna(ventana, contador, [&] {
      // Form_Activate deja LastShownIndex en -1; vuelve a 0 al mostrarse DECISIÓN.
      return ventana.LastShownIndex == 0 && !ventana.Text1->toPlainText().isEmpty();
    });
    CancelFlag = QStringLiteral("SI");
    const double g = medirUna(ventana, contador, [] { return true; });
    if (i >= 3) { // las primeras cargan letras y dibujos
      abrir.push_back(a);
      guardada.push_back(g);
    }
  }
  std::printf("open_interpretation_ms: %.2f ms\n", mediana(abrir));
  std::printf("reopen_interpretation_kept_ms: %.2f ms\n", mediana(guardada));
  std::printf("open_interpretation_ratio: %.2f x\n", mediana(abrir) / mediana(guardada));
  return 0;
}
