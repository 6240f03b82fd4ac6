#include "apoyo/Apoyo.h"

#include "core/ListasNombres.h"
#include "platform/Rutas.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTimer>

// Ninguna prueba toca las carpetas del usuario, y las pausas sólo atienden lo pendiente.
static void carpetasDePrueba() {
  QStandardPaths::setTestModeEnabled(true);
  FijarDuracionTurno(std::chrono::microseconds(0));
}
Q_COREAPP_STARTUP_FUNCTION(carpetasDePrueba)

QString RutaDatoGenerado(const QString& nombre) {
  return QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(nombre);
}

QByteArray LeerTodo(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void EscribirTodo(const QString& ruta, const QByteArray& bytes) {
  QFile f(ruta);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

CarpetaPrueba::CarpetaPrueba(bool conDatos) {
  if (conDatos)
    for (const char* n : {"trigr.kvl", "hexagr.kvl", "BINARIO.DAT", "KORVAL.HLP"})
      QFile::copy(RutaDatoGenerado(QString::fromLatin1(n)), fichero(QString::fromLatin1(n)));
  FijarCarpetas(dir_.path());
}

void CarpetaPrueba::FijarCarpetas(const QString& ruta) {
  FijarProgramDir(ruta);
  FijarDirEscritura(ruta);
  FijarCarpetaEjecucion(ruta); // la copia única de cada prueba, aparte de las demás
}

void PrepararEstado(bool cargarListas) {
  ReiniciarEstado();
  GuionMensajes::activar();
  ReiniciarAleatorio();
  FijarReloj(nullptr, nullptr);
  QString error;
  if (cargarListas && !LoadNameLists(&error))
    qFatal("No se pudieron leer las listas de nombres: %s", qPrintable(error));
}

void AlAparecerModalSi(std::function<bool(QWidget*)> esperada, std::function<void(QWidget*)> accion,
                       int limiteMs) {
  auto* temporizador = new QTimer(qApp);
  temporizador->setObjectName(QStringLiteral("AlAparecerModal"));
  QElapsedTimer inicio;
  inicio.start();
  QObject::connect(temporizador, &QTimer::timeout, temporizador, [=] {
    QWidget* w = QApplication::activeModalWidget();
    const bool vista = w && w->isVisible() && esperada(w);
    if (!vista && inicio.elapsed() <= limiteMs)
      return;
    temporizador->stop();
    temporizador->deleteLater();
    if (vista) {
      accion(w);
    } else {
      qWarning("No apareció la ventana modal esperada");
      if (w) // deja salir al bucle modal que haya
        w->hide();
    }
  });
  temporizador->start(5);
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
    pendientes += t->isActive();
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
