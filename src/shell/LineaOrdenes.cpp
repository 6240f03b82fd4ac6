#include "shell/LineaOrdenes.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {
// Las opciones con que Qt prepara las ventanas. Se aceptan para que lleguen a
// Qt, que las quita de la lista antes de que el programa la vea; no se
// explican una a una en la ayuda.
const QStringList OpcionesQtConValor =
    QStringLiteral(
        "platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowicon icon "
        "qwindowtitle title session style stylesheet display name visual qmljsdebugger")
        .split(QLatin1Char(' '));
const QStringList OpcionesQtSolas =
    QStringLiteral("reverse widgetcount nograb dograb sync testability").split(QLatin1Char(' '));

// Las nuestras que llevan valor.
const QStringList OpcionesConValor = {QStringLiteral("exportar"), QStringLiteral("usuario")};

const QString Pista = QStringLiteral("«korval --help» dice las opciones que hay.\n");

QString TextoAyuda() {
  return QStringLiteral("Uso: korval [OPCIÓN…]\n"
                        "\n"
                        "KORVAL consulta el libro de los cambios: escriba una pregunta, eche tres\n"
                        "monedas y lea la interpretación de su hexagrama. Sin opciones, abre sus\n"
                        "ventanas.\n"
                        "\n"
                        "Opciones:\n"
                        "  -h, --help       muestra esta ayuda y termina\n"
                        "  -v, --version    dice la versión de KORVAL y termina\n"
                        "  --exportar FICHERO\n"
                        "                   exporta las consultas archivadas a FICHERO, que no ha\n"
                        "                   de existir: una página web si termina en .html, una\n"
                        "                   tabla para otros programas si termina en .csv; no\n"
                        "                   necesita escritorio y termina\n"
                        "  --usuario NOMBRE con --exportar, sólo las consultas de NOMBRE (sin mirar\n"
                        "                   mayúsculas ni acentos)\n"
                        "\n"
                        "También valen las opciones de Qt para las ventanas; por ejemplo,\n"
                        "-platform NOMBRE elige la plataforma gráfica (xcb, wayland, offscreen…)\n"
                        "y -style NOMBRE, el estilo de los controles.\n"
                        "\n"
                        "KORVAL necesita un escritorio gráfico: lo encuentra en las variables\n"
                        "DISPLAY o WAYLAND_DISPLAY, o en la plataforma elegida con QT_QPA_PLATFORM\n"
                        "o con -platform.\n");
}

QString TextoVersion() {
  return QStringLiteral("KORVAL " KORVAL_VERSION "\n"
                        "Consultas al libro de los cambios con tres monedas.\n"
                        "Licencia MIT. Correo: korval@tallerkorval.example\n");
}

OrdenArranque Terminar(int estado, const QString& salida, const QString& errores = QString()) {
  OrdenArranque r;
  r.que = OrdenArranque::Que::Terminar;
  r.estado = estado;
  r.salida = salida;
  r.errores = errores;
  return r;
}

// Qué está mal en la línea, dicho con lo que la persona escribió (el
// analizador de Qt sólo lo sabe decir en inglés).
QString Explicar(const QStringList& argumentos, const QCommandLineParser& analizador) {
  const QStringList desconocidas = analizador.unknownOptionNames();
  for (qsizetype i = 1; i < argumentos.size(); ++i) {
    const QString& a = argumentos[i];
    if (a == QLatin1String("--"))
      break;
    if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-"))
      continue;
    const QString cuerpo = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
    const QString nombre = cuerpo.section(QLatin1Char('='), 0, 0);
    const bool conIgual = cuerpo.contains(QLatin1Char('='));
    if (desconocidas.contains(nombre))
      return QStringLiteral("korval: no hay ninguna opción «%1».\n").arg(a);
    if (OpcionesQtConValor.contains(nombre) || OpcionesConValor.contains(nombre)) {
      if (!conIgual && ++i >= argumentos.size())
        return QStringLiteral("korval: a la opción «%1» le falta su valor.\n").arg(a);
    } else if (conIgual) {
      return QStringLiteral("korval: la opción «%1» no lleva valor.\n")
          .arg(a.section(QLatin1Char('='), 0, 0));
    }
  }
  return QStringLiteral("korval: no se entiende la línea de órdenes.\n");
}

bool HayEscritorio(const QCommandLineParser& analizador, const QProcessEnvironment& entorno) {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!entorno.value(QLatin1String(variable)).isEmpty())
      return true;
  return analizador.isSet(QStringLiteral("platform")) || analizador.isSet(QStringLiteral("display"));
}
} // namespace

OrdenArranque LeerLineaOrdenes(const QStringList& argumentos, const QProcessEnvironment& entorno) {
  QCommandLineParser analizador;
  // Qt escribe sus opciones con un solo guion (-platform, -style): son
  // nombres largos, no grupos de letras.
  analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption ayuda(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  const QCommandLineOption exportar(QStringLiteral("exportar"), QString(), QStringLiteral("fichero"));
  const QCommandLineOption usuario(QStringLiteral("usuario"), QString(), QStringLiteral("nombre"));
  analizador.addOption(ayuda);
  analizador.addOption(version);
  analizador.addOption(exportar);
  analizador.addOption(usuario);
  for (const QString& o : OpcionesQtConValor)
    analizador.addOption(QCommandLineOption(o, QString(), QStringLiteral("valor")));
  for (const QString& o : OpcionesQtSolas)
    analizador.addOption(QCommandLineOption(o));

  if (!analizador.parse(argumentos))
    return Terminar(SalidaOrdenMal, QString(), Explicar(argumentos, analizador) + Pista);
  if (analizador.isSet(ayuda))
    return Terminar(0, TextoAyuda());
  if (analizador.isSet(version))
    return Terminar(0, TextoVersion());
  if (!analizador.positionalArguments().isEmpty())
    return Terminar(SalidaOrdenMal, QString(),
                    QStringLiteral("korval: no admite argumentos sueltos como «%1».\n")
                            .arg(analizador.positionalArguments().constFirst()) +
                        Pista);
  if (analizador.isSet(usuario) && !analizador.isSet(exportar))
    return Terminar(SalidaOrdenMal, QString(),
                    QStringLiteral("korval: «--usuario» sólo vale junto con «--exportar FICHERO».\n") +
                        Pista);
  if (analizador.isSet(exportar)) {
    OrdenArranque r;
    r.que = OrdenArranque::Que::Exportar;
    r.fichero = analizador.value(exportar);
    r.usuario = analizador.value(usuario);
    return r;
  }
  // Sin escritorio, Qt enumeraría sus módulos de plataforma y abortaría.
  if (!HayEscritorio(analizador, entorno))
    return Terminar(SalidaSinEscritorio, QString(),
                    QStringLiteral("KORVAL necesita un escritorio gráfico y no encuentra ninguno: no hay "
                                   "DISPLAY ni WAYLAND_DISPLAY, ni una plataforma elegida con "
                                   "QT_QPA_PLATFORM o -platform.\n"));
  return {};
}

QStringList ArgumentosDe(int argc, char** argv) {
  QStringList argumentos;
  for (int i = 0; i < argc; ++i)
    argumentos << QString::fromLocal8Bit(argv[i]);
  return argumentos;
}

int Responder(const OrdenArranque& orden) {
  if (!orden.salida.isEmpty()) {
    std::fputs(orden.salida.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
  }
  if (!orden.errores.isEmpty()) {
    std::fputs(orden.errores.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
  }
  return orden.estado;
}
