#include "apoyo/Apoyo.h"

#include "core/Estado.h"
#include "core/ListasNombres.h"
#include "platform/Basico.h"
#include "platform/Rutas.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

// Ninguna prueba toca las carpetas reales del usuario: la carpeta de datos a
// la que el programa recurre cuando no puede escribir junto a sí mismo es,
// en las pruebas, una de prueba. Y las pausas no esperan: cada turno sólo
// atiende lo pendiente (la prueba que mide una pausa pone la suya).
static void carpetasDePrueba() {
  QStandardPaths::setTestModeEnabled(true);
  FijarDuracionTurno(std::chrono::microseconds(0));
}
Q_COREAPP_STARTUP_FUNCTION(carpetasDePrueba)

QString RutaDatoGenerado(const QString& nombre) {
  return QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(nombre);
}

CarpetaPrueba::CarpetaPrueba(bool conDatos) {
  if (conDatos)
    for (const char* n : {"trigr.kvl", "hexagr.kvl", "BINARIO.DAT", "KORVAL.HLP"})
      QFile::copy(RutaDatoGenerado(QString::fromLatin1(n)), fichero(QString::fromLatin1(n)));
  FijarProgramDir(dir_.path());
  FijarDirEscritura(dir_.path());
}

CarpetaPrueba::~CarpetaPrueba() {
  FijarProgramDir(QString());
  FijarDirEscritura(QString());
}

QString CarpetaPrueba::fichero(const QString& nombre) const {
  return QDir(dir_.path()).filePath(nombre);
}

void PrepararEstado(bool cargarListas) {
  ReiniciarEstado();
  GuionMensajes::activar();
  ReiniciarAleatorio();
  FijarReloj(nullptr, nullptr);
  if (cargarListas) {
    QString error;
    if (!LoadNameLists(&error))
      qFatal("No se pudieron leer las listas de nombres: %s", qPrintable(error));
  }
}

QWidget* VentanaModalActiva() {
  if (QWidget* m = QApplication::activeModalWidget())
    return m;
  return nullptr;
}

void AlAparecerModal(std::function<void(QWidget*)> accion, QWidget* salvo, int limiteMs) {
  AlAparecerModalSi([salvo](QWidget* w) { return w != salvo; }, std::move(accion), limiteMs);
}

void AlAparecerModalSi(std::function<bool(QWidget*)> esperada, std::function<void(QWidget*)> accion,
                       int limiteMs) {
  auto* temporizador = new QTimer(qApp);
  temporizador->setObjectName(QStringLiteral("AlAparecerModal"));
  auto inicio = std::make_shared<QElapsedTimer>();
  inicio->start();
  temporizador->setInterval(5);
  QObject::connect(temporizador, &QTimer::timeout, temporizador, [=] {
    QWidget* w = VentanaModalActiva();
    if (w && w->isVisible() && esperada(w)) {
      temporizador->stop();
      temporizador->deleteLater();
      accion(w);
      return;
    }
    if (inicio->elapsed() > limiteMs) {
      temporizador->stop();
      temporizador->deleteLater();
      qWarning("No apareció la ventana modal esperada");
      // Deja salir al bucle modal que haya para que la prueba falle y no se cuelgue.
      if (QWidget* m = QApplication::activeModalWidget())
        m->hide();
    }
  });
  temporizador->start();
}

void CerrarVentanasAbiertas() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible())
      w->hide();
}

int CancelarEsperasModales() {
  int pendientes = 0;
  for (QTimer* t :
       qApp->findChildren<QTimer*>(QStringLiteral("AlAparecerModal"), Qt::FindDirectChildrenOnly)) {
    if (t->isActive())
      ++pendientes;
    t->stop();
    t->deleteLater();
  }
  return pendientes;
}

void Escribir(QWidget* w, const QString& texto) {
  for (QChar c : texto) {
    const int tecla = c == QLatin1Char('\n') ? int(Qt::Key_Return)
                      : c.unicode() < 128    ? int(c.toUpper().unicode())
                                             : 0;
    for (QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent e(tipo, tecla, Qt::NoModifier, QString(c));
      QApplication::sendEvent(w, &e);
    }
  }
}

void MoverRaton(QWidget* w, QPointF punto) {
  QMouseEvent e(QEvent::MouseMove, punto, w->mapToGlobal(punto), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
