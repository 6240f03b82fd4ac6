// La ventana de recuperar con un archivo de 100.000 consultas (unos 15 MB:
// cinco veces lo que deja una consulta diaria durante cincuenta años), cada
// cifra frente a su suelo, lo que ningún modo de hacerlo puede ahorrarse:
//
//   retrieve_open_ms_100k        mostrarla hasta verla pintada, con las personas
//                                agrupadas y en orden, las consultas de la
//                                primera ordenadas por fecha y la más reciente
//                                a la vista
//   retrieve_open_floor_ms_100k  leer el mismo archivo entero a memoria, más
//                                mostrar la misma ventana con una sola consulta
//   consult_list_ms_100k         con «(Todos)», desplegar la lista de las cien
//                                mil consultas hasta verla pintada
//   consult_list_floor_ms        desplegarla con una sola consulta
//   retrieve_rss_kb_100k         memoria de más con la ventana abierta y esa
//                                lista desplegada, frente al programa en reposo
//   retrieve_rss_floor_kb_100k   el tamaño del archivo: sus bytes han de estar
//                                en memoria al menos una vez
//   export_html_ms_100k          exportar las cien mil a una página web, de
//                                leer el archivo a tener el fichero en disco
//   export_csv_ms_100k           lo mismo, a una tabla CSV
//
// Un programa aparte, para que la memoria del proceso sea sólo la suya.
#include "MemoriaProceso.h"
#include "archive/ArchivoConsultas.h"
#include "archive/Exportar.h"
#include "archive/FRMRecuperar.h"
#include "core/Estado.h"
#include "core/ListasNombres.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Cuenta lo que se pinta de una ventana (ella, sus controles y sus listas).
class ContadorPintado : public QObject {
public:
  ContadorPintado() { qApp->installEventFilter(this); }
  ~ContadorPintado() override { qApp->removeEventFilter(this); }
  int pintados = 0;

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint && o->isWidgetType())
      ++pintados;
    return false;
  }
};

// Milisegundos desde `empezar` hasta que `ventana` está expuesta y ya no
// queda nada por pintar.
double Medir(const std::function<void()>& empezar, const std::function<QWidget*()>& ventana) {
  ContadorPintado contador;
  QElapsedTimer reloj;
  reloj.start();
  empezar();
  for (;;) {
    QWidget* w = ventana();
    if (w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed())
      break;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  int antes = -1;
  while (contador.pintados == 0 || contador.pintados != antes) {
    antes = contador.pintados;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  return double(reloj.nsecsElapsed()) / 1e6;
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Cerrar(FRMRecuperar& w) {
  w.CMBCONSULTA->hidePopup();
  w.Ocultar();
  QCoreApplication::processEvents();
}

double Abrir(FRMRecuperar& w, int veces) {
  std::vector<double> ms;
  for (int i = 0; i < veces; ++i) {
    ms.push_back(Medir([&] { w.show(); }, [&] { return &w; }));
    Cerrar(w);
  }
  return Mediana(ms);
}

// Con «(Todos)» elegido, como lo elige la persona.
void MostrarTodas(FRMRecuperar& w) {
  w.show();
  QCoreApplication::processEvents();
  w.CMBUSUARIO->setCurrentIndex(0);
  w.CMBUSUARIO_Click();
  QCoreApplication::processEvents();
}

double Desplegar(FRMRecuperar& w, int veces) {
  std::vector<double> ms;
  MostrarTodas(w);
  for (int i = 0; i < veces; ++i) {
    ms.push_back(Medir([&] { w.CMBCONSULTA->showPopup(); }, [&] { return w.CMBCONSULTA->view()->window(); }));
    w.CMBCONSULTA->hidePopup();
    QCoreApplication::processEvents();
  }
  Cerrar(w);
  return Mediana(ms);
}

// Un archivo ordenado de `n` consultas de 300 usuarios, de fechas y
// hexagramas variados (ordenarlas por fecha es trabajo de verdad), escrito
// registro a registro para que prepararlo no cambie la memoria del proceso.
void EscribirArchivo(const QString& ruta, int n) {
  QFile f(ruta);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    qFatal("No se pudo crear %s", qPrintable(ruta));
  for (int i = 0; i < n; ++i) {
    const int usuario = int(qint64(i) * 300 / n);
    ArchiveRecord r =
        ArchiveRecord::Nuevo(QStringLiteral("USUARIO %1").arg(usuario, 3, 10, QLatin1Char('0')),
                             QStringLiteral("¿QUÉ ME DICE HOY EL LIBRO, CONSULTA NÚMERO %1?").arg(i + 1),
                             QStringLiteral("789689").mid(i % 3) + QStringLiteral("967").left(i % 3),
                             FechaRegistro(QDate(1998, 3, 5).addDays((qint64(i) * 7919) % 10000)));
    r.Numero = QString::fromLatin1(NumeroRegistro(i + 1));
    if (f.write(r.Bytes()) != LargoRegistro)
      qFatal("No se pudo escribir %s", qPrintable(ruta));
  }
}

// La plataforma offscreen avisa de cada cosa que no sabe hacer (subir una
// ventana, tomar el teclado) al desplegar una lista: ruido sin interés aquí.
void SinAvisosDePlataforma(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
  if (texto.startsWith(QLatin1String("This plugin does not support")))
    return;
  std::fprintf(stderr, "%s\n", qPrintable(texto));
  if (tipo == QtFatalMsg)
    std::abort();
}

} // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(SinAvisosDePlataforma);
  QApplication app(argc, argv);
  QTemporaryDir dir;
  for (const char* n : {"trigr.kvl", "hexagr.kvl"})
    QFile::copy(QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(QString::fromLatin1(n)),
                dir.filePath(QString::fromLatin1(n)));
  FijarProgramDir(dir.path());
  FijarDirEscritura(dir.path());
  LineBreak = QStringLiteral("\r\n");
  QString error;
  if (!LoadNameLists(&error))
    qFatal("%s", qPrintable(error));
  const QString ruta = dir.filePath(NombreArchivo);

  // Con una consulta: los suelos, y de paso se cargan letras y dibujos.
  EscribirArchivo(ruta, 1);
  FRMRecuperar w;
  Abrir(w, 5);
  Desplegar(w, 5);
  const double abrirUna = Abrir(w, 15), desplegarUna = Desplegar(w, 15);
  const long reposo = MemoriaResidenteKB();

  EscribirArchivo(ruta, 100000);
  const qint64 largo = QFileInfo(ruta).size();
  std::vector<double> leer;
  for (int i = 0; i < 9; ++i) {
    QElapsedTimer t;
    t.start();
    QByteArray bytes;
    if (!LeerArchivo(ruta, &bytes, &error) || bytes.size() != largo)
      qFatal("No se pudo leer el archivo");
    leer.push_back(double(t.nsecsElapsed()) / 1e6);
  }
  const double abrir = Abrir(w, 9), desplegar = Desplegar(w, 9);
  MostrarTodas(w);
  w.CMBCONSULTA->showPopup();
  QCoreApplication::processEvents();
  if (w.CMBCONSULTA->count() != 100000 || w.CMBUSUARIO->count() != 301)
    qFatal("La lista no tiene las 100.000 consultas de las 300 personas");
  const long abierta = MemoriaResidenteKB();
  Cerrar(w);

  // Exportar, como lo hace la línea de órdenes: leer, agrupar, componer y
  // escribir el fichero entero antes de darle su nombre.
  const auto exportar = [&](FormatoExportacion formato, const QString& nombre) {
    std::vector<double> ms;
    const Carpeta carpeta(dir.path());
    for (int i = 0; i < 5; ++i) {
      QFile::remove(dir.filePath(nombre));
      QElapsedTimer t;
      t.start();
      QByteArray bytes;
      if (!LeerArchivo(ruta, &bytes, &error))
        qFatal("No se pudo leer el archivo");
      const Diario diario(bytes);
      const std::vector<int> todas = diario.Consultas();
      if (todas.size() != 100000 ||
          carpeta.Publicar(nombre, Exportacion(formato, diario, todas, QString(), AhoraExportacion()),
                           &error) != Creacion::Hecha)
        qFatal("No se pudo exportar: %s", qPrintable(error));
      ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return Mediana(ms);
  };
  const double html = exportar(FormatoExportacion::Html, QStringLiteral("diario.html"));
  const double csv = exportar(FormatoExportacion::Csv, QStringLiteral("diario.csv"));

  std::printf("retrieve_open_ms_100k: %.1f ms\n", abrir);
  std::printf("retrieve_open_floor_ms_100k: %.1f ms\n", Mediana(leer) + abrirUna);
  std::printf("consult_list_ms_100k: %.1f ms\n", desplegar);
  std::printf("consult_list_floor_ms: %.1f ms\n", desplegarUna);
  std::printf("retrieve_rss_kb_100k: %ld kB\n", abierta - reposo);
  std::printf("retrieve_rss_floor_kb_100k: %lld kB\n", static_cast<long long>(largo / 1024));
  std::printf("export_html_ms_100k: %.1f ms\n", html);
  std::printf("export_csv_ms_100k: %.1f ms\n", csv);
  return 0;
}
