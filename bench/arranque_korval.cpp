// KORVAL hasta su menú principal, con el aviso de pantalla contestado por la
// costura de pruebas. Imprime «LISTO <memoria en kB>» y termina.
#include "MemoriaProceso.h"

#include "platform/MensajesQt.h"
#include "platform/Rutas.h"
#include "shell/FRM256.h"
#include "shell/FRMPRINCIPAL.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KORVAL"));
  // Una carpeta del programa propia, para no chocar con otra copia en marcha.
  QTemporaryDir dir;
  for (const char* n : {"trigr.kvl", "hexagr.kvl", "BINARIO.DAT", "KORVAL.HLP"})
    QFile::copy(QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(QString::fromLatin1(n)),
                QDir(dir.path()).filePath(QString::fromLatin1(n)));
  FijarProgramDir(dir.path());
  CargarTraduccionesQt(app);
  InstalarMensajesQt();
  FRM256::RespuestaAutomatica = 0;

  FRMPRINCIPAL menu;
  if (menu.Terminado())
    return 1;
  menu.show();
  QApplication::processEvents();
  std::printf("LISTO %ld\n", MemoriaResidenteKB());
  std::fflush(stdout);
  return 0;
}
