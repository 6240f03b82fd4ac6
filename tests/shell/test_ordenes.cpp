// La línea de órdenes: lo que se decide antes de abrir ninguna ventana, y el programa construido
// arrancado sin escritorio gráfico.
#include "apoyo/Apoyo.h"
#include "shell/LineaOrdenes.h"

#include <QProcess>

namespace {
const QString SinEscritorio =
    u"KORVAL necesita un escritorio gráfico y no encuentra ninguno: no hay DISPLAY ni "
    u"WAYLAND_DISPLAY, ni una plataforma elegida con QT_QPA_PLATFORM o -platform."_s;

QProcessEnvironment Entorno(const QString& variable = {}, const QString& valor = {}) {
  QProcessEnvironment e;
  if (!variable.isEmpty())
    e.insert(variable, valor);
  return e;
}
} // namespace

class PruebaOrdenes : public QObject {
  Q_OBJECT
private slots:
  // Cada línea con su entorno: abrir las ventanas, o el estado de salida y la primera línea que se dice.
  void decisiones() {
    const std::tuple<QStringList, QProcessEnvironment, QString> casos[] = {
        {{}, Entorno(u"DISPLAY"_s, u":0"_s), u"abrir"_s},
        {{}, Entorno(u"WAYLAND_DISPLAY"_s, u"wayland-0"_s), u"abrir"_s},
        {{}, Entorno(u"QT_QPA_PLATFORM"_s, u"offscreen"_s), u"abrir"_s},
        {{u"-platform"_s, u"offscreen"_s, u"-style"_s, u"Fusion"_s, u"-reverse"_s}, Entorno(), u"abrir"_s},
        {{}, Entorno(u"DISPLAY"_s, QString()), u"1: "_s + SinEscritorio},
        {{u"-style=Fusion"_s}, Entorno(), u"1: "_s + SinEscritorio},
        {{u"--version"_s}, Entorno(), u"0: KORVAL " KORVAL_VERSION ""_s},
        {{u"-h"_s}, Entorno(), u"0: Uso: korval [OPCIÓN…]"_s},
        {{u"--nada"_s}, Entorno(u"DISPLAY"_s, u":0"_s), u"2: korval: no hay ninguna opción «--nada»."_s},
        {{u"-platform"_s}, Entorno(), u"2: korval: a la opción «-platform» le falta su valor."_s},
        {{u"--version=2"_s}, Entorno(), u"2: korval: la opción «--version» no lleva valor."_s},
        {{u"hola"_s},
         Entorno(u"DISPLAY"_s, u":0"_s),
         u"2: korval: no admite argumentos sueltos como «hola»."_s},
    };
    for (const auto& [argumentos, entorno, esperado] : casos) {
      const OrdenArranque o = LeerLineaOrdenes(QStringList{u"korval"_s} + argumentos, entorno);
      const QString dicho = (o.salida + o.errores).section(u'\n', 0, 0);
      QCOMPARE(o.que == OrdenArranque::Que::AbrirVentanas ? u"abrir"_s : u"%1: %2"_s.arg(o.estado).arg(dicho),
               esperado);
      // Lo que pide la persona va a la salida; las quejas, a la de errores.
      QVERIFY(o.estado == 0 ? o.errores.isEmpty() : o.salida.isEmpty());
    }
  }

  // El programa de verdad, sin DISPLAY, WAYLAND_DISPLAY ni QT_QPA_PLATFORM: responde y sale, sin que Qt
  // aborte buscando una plataforma.
  void elProgramaSinEscritorio() {
    QTemporaryDir casa;
    QProcessEnvironment entorno = Entorno(u"HOME"_s, casa.path());
    entorno.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
    const auto correr = [&entorno](const QStringList& argumentos) {
      QProcess p;
      p.setProcessEnvironment(entorno);
      p.start(QStringLiteral(KORVAL_PROGRAMA), argumentos);
      if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return u"no terminó"_s;
      }
      const auto primera = [](const QByteArray& b) { return QString::fromUtf8(b).section(u'\n', 0, 0); };
      return (p.exitStatus() == QProcess::NormalExit ? QString::number(p.exitCode()) : u"abortó"_s) + u' ' +
             primera(p.readAllStandardOutput()) + u" | "_s + primera(p.readAllStandardError());
    };
    QCOMPARE(correr({u"--version"_s}), u"0 KORVAL " KORVAL_VERSION " | "_s);
    QCOMPARE(correr({u"-platform"_s, u"offscreen"_s, u"--help"_s}), u"0 Uso: korval [OPCIÓN…] | "_s);
    QCOMPARE(correr({}), u"1  | "_s + SinEscritorio);
    QCOMPARE(correr({u"--nada"_s}), u"2  | korval: no hay ninguna opción «--nada»."_s);
  }
};

QTEST_MAIN(PruebaOrdenes)
#include "test_ordenes.moc"
