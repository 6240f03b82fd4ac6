// KORVAL: consulta del libro de los cambios.
#include "pictures/IconoKorval.h"
#include "platform/MensajesQt.h"
#include "shell/FRMPRINCIPAL.h"
#include "shell/LineaOrdenes.h"

#include <QApplication>

int main(int argc, char** argv) {
  // Las órdenes, antes que nada: la ayuda y la versión no necesitan
  // escritorio ni chocan con otra copia en marcha.
  const OrdenArranque orden =
      LeerLineaOrdenes(ArgumentosDe(argc, argv), QProcessEnvironment::systemEnvironment());
  if (orden.que == OrdenArranque::Que::Terminar)
    return Responder(orden);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KORVAL"));
  // El mismo icono que el menú del escritorio, para todas las ventanas, y el
  // nombre de su entrada, para que el escritorio las reconozca como suyas.
  QApplication::setWindowIcon(IconoKorval::Icono());
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVAL_ID));
  CargarTraduccionesQt(app);
  InstalarMensajesQt();

  // Crear el menú principal es arrancar: si el arranque terminó el programa
  // (otra copia en marcha, aviso cancelado, datos ilegibles), no hay menú.
  FRMPRINCIPAL menu;
  if (menu.Terminado())
    return menu.CodigoSalida();
  menu.show();
  return QApplication::exec();
}
