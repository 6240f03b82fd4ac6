// Lo que el usuario espera al arrancar: del arranque del proceso a la
// primera ventana (el aviso de pantalla) frente a un programa mínimo de Qt
// Widgets que muestra una ventana del mismo tamaño; y de aceptar el aviso al
// menú principal a la vista, con la presentación que hay entre medias.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Medida {
  std::vector<double> primeraVentana, menuTrasAviso, presentacion, kb;
};

// Arranca `programa` una vez: el tiempo hasta su línea «AVISO» y, si la da,
// lo que dice su línea «MENU».
void medir(const QString& programa, const QStringList& argumentos, Medida& m) {
  QProcess p;
  QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
  entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p.setProcessEnvironment(entorno);
  QElapsedTimer reloj;
  reloj.start();
  p.start(programa, argumentos);
  QByteArray salida;
  while (!salida.contains("AVISO\n") && p.waitForReadyRead(30000))
    salida += p.readAllStandardOutput();
  m.primeraVentana.push_back(double(reloj.nsecsElapsed()) / 1e6);
  p.waitForFinished(30000);
  salida += p.readAllStandardOutput();
  const qsizetype i = salida.indexOf("MENU ");
  if (i < 0)
    return;
  const QList<QByteArray> partes = salida.mid(i).trimmed().split(' ');
  if (partes.size() == 4) {
    m.menuTrasAviso.push_back(partes[1].toDouble());
    m.presentacion.push_back(partes[2].toDouble());
    m.kb.push_back(partes[3].toDouble());
  }
}
} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // Una carpeta del programa propia, con sus datos y su candado de copia
  // única, para no chocar con otra copia en marcha (y sin que copiarlos
  // cuente en la medida). En memoria si
  // se puede: el candado de copia única se asienta en el disco (fdatasync), y
  // en un disco compartido con otros trabajos esa espera va de 1 a más de 10
  // ms, que no son del programa sino de la máquina.
  QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                        ? QStringLiteral("/dev/shm/korval-medida-XXXXXX")
                        : QDir::tempPath() + QStringLiteral("/korval-medida-XXXXXX"));
  for (const char* n : {"trigr.kvl", "hexagr.kvl", "BINARIO.DAT", "KORVAL.HLP"})
    QFile::copy(QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(QString::fromLatin1(n)),
                QDir(dir.path()).filePath(QString::fromLatin1(n)));
  // Uno y otro se arrancan por turnos: una racha de carga en la máquina
  // cae sobre los dos por igual.
  Medida korval, minimo;
  for (int i = 0; i < 15; ++i) {
    medir(QStringLiteral(KORVAL_ARRANQUE_MINIMO), {}, minimo);
    medir(QStringLiteral(KORVAL_ARRANQUE), {dir.path()}, korval);
  }
  const double primera = mediana(korval.primeraVentana), suelo = mediana(minimo.primeraVentana);
  std::printf("first_window_ms: %.1f ms\n", primera);
  std::printf("first_window_floor_ms: %.1f ms\n", suelo);
  std::printf("first_window_ratio: %.2f x\n", primera / suelo);
  std::printf("menu_after_advice_ms: %.0f ms\n", mediana(korval.menuTrasAviso));
  std::printf("splash_visible_ms: %.0f ms\n", mediana(korval.presentacion));
  std::printf("rss_menu_kb: %.0f kB\n", mediana(korval.kb));
  return 0;
}
