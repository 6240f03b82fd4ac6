#include "apoyo/Apoyo.h"

#include "core/ListasNombres.h"
#include "platform/Controles.h"
#include "platform/Rutas.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
// Lo que tarda como mucho en salir una ventana modal que se espera.
constexpr int EsperaModalMs = 10000;

// Ninguna prueba toca las carpetas del usuario: antes de que empiece nada, cada programa tiene su casa
// (sus hijos heredan la suya), y corre aunque la de verdad no se pueda escribir (HOME=/nonexistent).
[[maybe_unused]] const bool CasaDePrueba = [] {
  if (qEnvironmentVariable("HOME").contains(u"/korval-casa-"_s))
    return true;
  static QTemporaryDir casa(QDir::temp().filePath(u"korval-casa-XXXXXX"_s));
  const QDir d(casa.path());
  qputenv("HOME", QFile::encodeName(d.path()));
  for (const char* var :
       {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString sub = QString::fromLatin1(var).toLower();
    d.mkdir(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv(var, QFile::encodeName(d.filePath(sub)));
  }
  return true;
}();

// Las pausas sólo atienden lo pendiente; las medidas de texto cuentan con las letras de las mismas medidas
// que Arial y Times.
void entornoDePrueba() {
  QStandardPaths::setTestModeEnabled(true);
  FijarDuracionTurno(std::chrono::microseconds(0));
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    for (const QString& letra : {u"Liberation Sans"_s, u"Liberation Serif"_s})
      if (!QFontDatabase::families().contains(letra))
        qFatal("Falta la letra «%s», con la que miden las pruebas: instale fonts-liberation2.",
               qPrintable(letra));
}
Q_COREAPP_STARTUP_FUNCTION(entornoDePrueba)

// Cierra una ventana modal como el usuario, por el marco; si eso no la cierra, se esconde.
void CerrarModal(QWidget* w) {
  if (!w->close())
    w->hide();
}

void Fallar(const QString& motivo, const std::source_location& donde) {
  QTest::qFail(qPrintable(motivo), donde.file_name(), int(donde.line()));
}

QPixmap DibujoDe(QWidget* c) {
  if (auto* r = qobject_cast<SSRibbon*>(c))
    return r->Picture();
  if (auto* b = qobject_cast<BotonImagen*>(c))
    return b->Picture();
  if (auto* s = qobject_cast<SSCommand*>(c))
    return s->Picture();
  if (auto* l = qobject_cast<QLabel*>(c))
    return l->pixmap();
  return {};
}

// ¿Está `dibujo` en algún sitio de `vista` píxel a píxel? Sólo cuentan sus píxeles opacos, y no los
// tres del borde, sobre los que se pinta el anillo del foco.
bool SeVeEntero(const QImage& vista, const QImage& dibujo) {
  const auto igual = [&](int ox, int oy) {
    for (int y = 3; y < dibujo.height() - 3; ++y)
      for (int x = 3; x < dibujo.width() - 3; ++x) {
        const QRgb d = dibujo.pixel(x, y), v = vista.pixel(ox + x, oy + y);
        if (qAlpha(d) == 255 && (std::abs(qRed(d) - qRed(v)) > 2 || std::abs(qGreen(d) - qGreen(v)) > 2 ||
                                 std::abs(qBlue(d) - qBlue(v)) > 2))
          return false;
      }
    return true;
  };
  for (int oy = 0; oy + dibujo.height() <= vista.height(); ++oy)
    for (int ox = 0; ox + dibujo.width() <= vista.width(); ++ox)
      if (igual(ox, oy))
        return true;
  return false;
}
} // namespace

QString RutaDatoGenerado(const QString& nombre) {
  return QDir(QStringLiteral(KORVAL_DIR_DATOS)).filePath(nombre);
}

QByteArray LeerTodo(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool EscribirTodo(const QString& ruta, const QByteArray& bytes) {
  QFile f(ruta);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QStringList Sobrantes(const QString& carpeta, const QStringList& conocidos) {
  QStringList r = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QString& c : conocidos)
    r.removeAll(c);
  return r;
}

QString UnicoMensaje(int estilo) {
  const auto& m = GuionMensajes::mostrados();
  if (m.size() != 1 || m[0].estilo != estilo)
    return u"%1 mensajes, estilo %2"_s.arg(m.size()).arg(m.empty() ? -1 : m[0].estilo);
  return m[0].titulo + u": "_s + m[0].texto;
}

CarpetaPrueba::CarpetaPrueba(bool conDatos) {
  if (conDatos)
    for (const QString& n : FicherosDeDatos)
      QFile::copy(RutaDatoGenerado(n), fichero(n));
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
                       std::source_location donde) {
  auto* temporizador = new QTimer(qApp);
  temporizador->setObjectName(QStringLiteral("AlAparecerModal"));
  QElapsedTimer inicio;
  inicio.start();
  QObject::connect(temporizador, &QTimer::timeout, temporizador, [=] {
    QPointer<QWidget> w = QApplication::activeModalWidget();
    const bool vista = w && w->isVisible() && esperada(w);
    if (!vista && inicio.elapsed() <= EsperaModalMs)
      return;
    temporizador->stop();
    temporizador->deleteLater();
    if (!vista) {
      Fallar(u"No apareció la ventana modal esperada"_s, donde);
      if (w) // deja salir al bucle modal que haya
        CerrarModal(w);
      return;
    }
    accion(w);
    if (w && w->isVisible()) {
      Fallar(u"La ventana %1 siguió abierta tras lo que hizo la prueba"_s.arg(w->metaObject()->className()),
             donde);
      CerrarModal(w);
    }
  });
  temporizador->start(5);
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

bool EnUnHijo(const std::function<bool()>& trabajo, qint64 topeBytes) {
  const pid_t hijo = fork();
  if (hijo == 0) {
    if (topeBytes >= 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit tope{rlim_t(topeBytes), rlim_t(topeBytes)};
      setrlimit(RLIMIT_FSIZE, &tope);
    }
    _exit(trabajo() ? 0 : 1);
  }
  int estado = 0;
  for (QDeadlineTimer plazo(20000); hijo > 0 && waitpid(hijo, &estado, WNOHANG) == 0;) {
    if (plazo.hasExpired()) {
      kill(hijo, SIGKILL);
      waitpid(hijo, &estado, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return hijo > 0 && WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
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

QStringList DibujosQueNoCaben(QWidget* ventana) {
  QStringList r;
  for (QWidget* c : ventana->findChildren<QWidget*>()) {
    const QPixmap dibujo = DibujoDe(c);
    if (dibujo.isNull() || !c->isVisible() || !c->isEnabled())
      continue;
    const QImage vista = c->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!SeVeEntero(vista, dibujo.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)))
      r << u"%1 «%2»: %3x%4 en %5x%6"_s.arg(c->metaObject()->className(), c->accessibleName())
               .arg(dibujo.width())
               .arg(dibujo.height())
               .arg(vista.width())
               .arg(vista.height());
  }
  return r;
}

void CerrarVentanasAbiertas() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible())
      w->hide();
}
