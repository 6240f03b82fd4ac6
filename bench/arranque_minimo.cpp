// El suelo de la medida: el programa de Qt Widgets más pequeño que muestra
// una ventana del tamaño del aviso de pantalla. Escribe «AVISO» en cuanto
// está a la vista y termina.
#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {
class Vigia : public QObject {
protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Expose)
      if (auto* w = qobject_cast<QWindow*>(o); w && w->isExposed()) {
        std::printf("AVISO\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
      }
    return false;
  }
};
} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Vigia vigia;
  app.installEventFilter(&vigia);
  QWidget ventana;
  // 6165 x 3600 twips a 96 puntos por pulgada, como el aviso.
  ventana.resize(411, 240);
  ventana.show();
  return QApplication::exec();
}
