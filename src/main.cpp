// KORVAL: consulta del libro de los cambios.
#include "archive/Exportar.h"
#include "pictures/IconoKorval.h"
#include "platform/MensajesQt.h"
#include "shell/FRMPRINCIPAL.h"
#include "shell/LineaOrdenes.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
  // Las órdenes, antes que nada: la ayuda y la versión no necesitan
  // escritorio ni chocan con otra copia en marcha.
  const OrdenArranque orden =
      LeerLineaOrdenes(ArgumentosDe(argc, argv), QProcessEnvironment::systemEnvironment());
  if (orden.que == OrdenArranque::Que::Terminar)
    return Responder(orden);
  if (orden.que == OrdenArranque::Que::Exportar) {
    // Sin ventanas: lo justo para saber dónde está el programa. El archivo
    // se lee sin su candado, que sólo es para escribir, así que también
    // exporta con KORVAL abierto.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KORVAL")); // la carpeta de datos lleva su nombre
    OrdenArranque hecha = orden;
    hecha.estado = ExportarDesdeOrdenes(orden.fichero, orden.usuario, &hecha.salida, &hecha.errores);
    return Responder(hecha);
  }

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
