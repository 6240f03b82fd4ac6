// KORVAL desde que arranca hasta su menú principal, con el aviso de pantalla
// contestado por la costura de pruebas. Escribe una línea en cuanto el aviso
// está a la vista («AVISO»: quien lo arrancó mide el tiempo hasta ella) y,
// con el menú a la vista, «MENU <ms desde aceptar el aviso> <ms de la
// presentación a la vista> <memoria en kB>».
#include "MemoriaProceso.h"

#include "platform/MensajesQt.h"
#include "platform/Rutas.h"
#include "shell/FRM256.h"
#include "shell/FRMInicio.h"
#include "shell/FRMPRINCIPAL.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <cstdio>

namespace {
// Mira cuándo cada ventana sale a la vista y cuándo se va.
class Vigia : public QObject {
public:
  QElapsedTimer reloj;
  qint64 aceptado = -1, presentacion = -1, finPresentacion = -1, menu = -1;

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    auto* w = qobject_cast<QWidget*>(o);
    if (e->type() == QEvent::Expose) {
      auto* ventana = qobject_cast<QWindow*>(o);
      if (!ventana || !ventana->isExposed())
        return false;
      for (QWidget* t : QApplication::topLevelWidgets()) {
        if (t->windowHandle() != ventana)
          continue;
        if (qobject_cast<FRM256*>(t) && !avisado_) {
          avisado_ = true;
          std::printf("AVISO\n");
          std::fflush(stdout);
        } else if (qobject_cast<FRMInicio*>(t) && presentacion < 0) {
          presentacion = reloj.elapsed();
        } else if (qobject_cast<FRMPRINCIPAL*>(t) && menu < 0) {
          menu = reloj.elapsed();
          QCoreApplication::exit(0);
        }
      }
    } else if (e->type() == QEvent::Hide && w && !e->spontaneous()) {
      if (qobject_cast<FRM256*>(w) && aceptado < 0)
        aceptado = reloj.elapsed();
      else if (qobject_cast<FRMInicio*>(w) && presentacion >= 0 && finPresentacion < 0)
        finPresentacion = reloj.elapsed();
    }
    return false;
  }

private:
  bool avisado_ = false;
};
} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Vigia vigia;
  vigia.reloj.start();
  app.installEventFilter(&vigia);
  QApplication::setApplicationName(QStringLiteral("KORVAL"));
  // La carpeta del programa, con sus datos, la prepara quien lo arranca.
  if (argc < 2)
    return 2;
  FijarProgramDir(QString::fromLocal8Bit(argv[1]));
  FijarCarpetaEjecucion(QString::fromLocal8Bit(argv[1])); // ni una copia en marcha del usuario la detiene
  CargarTraduccionesQt(app);
  InstalarMensajesQt();
  FRM256::RespuestaAutomatica = 0;

  FRMPRINCIPAL menu;
  if (menu.Terminado())
    return 1;
  menu.show();
  QApplication::exec();
  std::printf("MENU %lld %lld %ld\n", vigia.menu - vigia.aceptado, vigia.finPresentacion - vigia.presentacion,
              MemoriaResidenteKB());
  std::fflush(stdout);
  return 0;
}
