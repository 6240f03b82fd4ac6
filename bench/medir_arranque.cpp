// Tiempo desde que arranca el proceso hasta que el menú principal está a la
// vista, y su memoria, frente a un programa mínimo de Qt Widgets.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Medida {
  double ms;
  long kb;
};

Medida medir(const QString& programa) {
  std::vector<double> tiempos;
  std::vector<long> memorias;
  for (int i = 0; i < 9; ++i) {
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(entorno);
    QElapsedTimer reloj;
    reloj.start();
    p.start(programa);
    QByteArray salida;
    while (!salida.contains('\n') && p.waitForReadyRead(30000))
      salida += p.readAllStandardOutput();
    tiempos.push_back(double(reloj.nsecsElapsed()) / 1e6);
    p.waitForFinished(30000);
    const QList<QByteArray> partes = salida.trimmed().split(' ');
    memorias.push_back(partes.size() == 2 ? partes[1].toLong() : 0);
  }
  std::sort(tiempos.begin(), tiempos.end());
  std::sort(memorias.begin(), memorias.end());
  return {tiempos[tiempos.size() / 2], memorias[memorias.size() / 2]};
}
} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const Medida korval = medir(QStringLiteral(KORVAL_ARRANQUE));
  const Medida minimo = medir(QStringLiteral(KORVAL_ARRANQUE_MINIMO));
  std::printf("startup_to_menu_ms: %.1f ms\n", korval.ms);
  std::printf("rss_menu_kb: %ld kB\n", korval.kb);
  std::printf("startup_floor_ms: %.1f ms\n", minimo.ms);
  std::printf("rss_floor_kb: %ld kB\n", minimo.kb);
  std::printf("startup_ratio: %.2f x\n", korval.ms / minimo.ms);
  std::printf("rss_ratio: %.2f x\n", minimo.kb > 0 ? double(korval.kb) / double(minimo.kb) : 0.0);
  return 0;
}
