#include "archive/Exportar.h"

#include "archive/ArchivoConsultas.h"
#include "core/Estado.h"
#include "core/ListasNombres.h"
#include "platform/Basico.h"
#include "platform/Ficheros.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString Separador = QStringLiteral(" · ");

QString NombreDe(int n) {
  return QuitarBlancos(HexagramList[size_t(n)][4]);
}
QString TituloDe(int n) {
  return QuitarBlancos(HexagramList[size_t(n)][5]);
}

// --- CSV -----------------------------------------------------------------

// Un campo entre comillas sólo si lo necesita: si lleva coma, comillas o un
// salto de línea; las comillas de dentro, dobles.
QString CampoCsv(const QString& t) {
  if (!t.contains(QLatin1Char(',')) && !t.contains(QLatin1Char('"')) && !t.contains(QLatin1Char('\n')) &&
      !t.contains(QLatin1Char('\r')))
    return t;
  QString r = t;
  r.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + r + QLatin1Char('"');
}

// --- HTML ----------------------------------------------------------------

QString Esc(const QString& t) {
  return t.toHtmlEscaped();
}

// El hexagrama dibujado como en la pantalla: barras claras sobre negro, la
// línea 1 abajo, un hueco mayor entre los dos trigramas; el 9 entero con su
// anillo y el 6 partido con su cruz.
QString Figura(const QString& lineas, int numero) {
  QString s = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"figura\" width=\"72\" "
                             "height=\"76\" viewBox=\"0 0 72 76\" role=\"img\" aria-label=\"Hexagrama %1\">"
                             "<rect width=\"72\" height=\"76\" rx=\"5\" fill=\"#000\"/>")
                  .arg(numero);
  for (int k = 0; k < 6; ++k) {
    const QChar c = lineas[k];
    const int y = 7 + (5 - k) * 10 + (k < 3 ? 4 : 0);
    if (c == QLatin1Char('7') || c == QLatin1Char('9'))
      s += QStringLiteral("<rect x=\"8\" y=\"%1\" width=\"56\" height=\"6\" rx=\"1\" fill=\"#fff4d6\"/>")
               .arg(y);
    else
      s += QStringLiteral("<rect x=\"8\" y=\"%1\" width=\"24\" height=\"6\" rx=\"1\" fill=\"#fff4d6\"/>"
                          "<rect x=\"40\" y=\"%1\" width=\"24\" height=\"6\" rx=\"1\" fill=\"#fff4d6\"/>")
               .arg(y);
    if (c == QLatin1Char('9'))
      s += QStringLiteral("<circle cx=\"36\" cy=\"%1\" r=\"4.2\" fill=\"#000\" stroke=\"#78e6be\" "
                          "stroke-width=\"1.6\"/>")
               .arg(y + 3);
    else if (c == QLatin1Char('6'))
      s += QStringLiteral("<path d=\"M33 %1L39 %2M33 %2L39 %1\" stroke=\"#78e6be\" stroke-width=\"1.6\" "
                          "stroke-linecap=\"round\"/>")
               .arg(y)
               .arg(y + 6);
  }
  return s + QStringLiteral("</svg>");
}

QString FiguraConNombre(const QString& clase, const QString& rotulo, const QString& lineas, int n) {
  return QStringLiteral("<figure class=\"%1\">%2<figcaption>%3<span class=\"numero\">%4</span> "
                        "<span class=\"nombre\">%5</span><br/><span class=\"titulo\">%6</span></figcaption>"
                        "</figure>")
      .arg(clase, Figura(lineas, n), rotulo, QString::number(n), Esc(NombreDe(n)), Esc(TituloDe(n)));
}

// «Mudan las líneas 2 y 5.», «Muda la línea 3.», «No muda ninguna línea.»
QString LineasQueMudan(const QString& lineas) {
  QStringList mudan;
  for (int k = 0; k < 6; ++k)
    if (lineas[k] == QLatin1Char('6') || lineas[k] == QLatin1Char('9'))
      mudan << QString::number(k + 1);
  if (mudan.isEmpty())
    return QStringLiteral("No muda ninguna línea.");
  if (mudan.size() == 1)
    return QStringLiteral("Muda la línea %1.").arg(mudan[0]);
  const QString ultima = mudan.takeLast();
  return QStringLiteral("Mudan las líneas %1 y %2.").arg(mudan.join(QStringLiteral(", ")), ultima);
}

QString Cuantas(qsizetype n) {
  return n == 1 ? QStringLiteral("1 consulta") : QStringLiteral("%1 consultas").arg(n);
}

const char* Estilos = R"(
body { font-family: "Liberation Serif", Georgia, "Times New Roman", serif; color: #1c2424;
  background: #fbfaf2; max-width: 48em; margin: 2em auto; padding: 0 1.2em; line-height: 1.4; }
header { border-bottom: 3px solid #d6b24a; margin-bottom: 1.5em; }
h1 { color: #004040; font-size: 1.7em; margin: 0 0 .2em; }
header p { margin: .2em 0 .8em; color: #3a4a4a; }
article { background: #fff; border-left: 5px solid #00a878; padding: .6em 1.2em .8em; margin: 1.4em 0;
  break-inside: avoid; page-break-inside: avoid; }
h2 { color: #004040; font-size: 1.2em; margin: .2em 0; white-space: pre-line; }
.datos { color: #555; margin: 0 0 .6em; }
.usuario { font-variant: small-caps; letter-spacing: .03em; }
.figuras { display: flex; flex-wrap: wrap; gap: 2.5em; }
figure { margin: 0; text-align: center; min-width: 9em; }
figcaption { margin-top: .3em; }
.numero { font-weight: bold; color: #7a5a00; }
.nombre { font-weight: bold; }
.titulo { font-style: italic; }
.mudan, .danada { margin: .6em 0 0; }
.danada { color: #8a2a00; }
@media print { body { background: none; margin: 0; max-width: none; } article { border-left-color: #999; } }
)";
} // namespace

FormatoExportacion FormatoDe(const QString& ruta) {
  const QString ext = QFileInfo(ruta).suffix().toLower();
  if (ext == QLatin1String("html") || ext == QLatin1String("htm"))
    return FormatoExportacion::Html;
  if (ext == QLatin1String("csv"))
    return FormatoExportacion::Csv;
  return FormatoExportacion::Ninguno;
}

QByteArray ExportarCsv(const Diario& diario, const std::vector<int>& cuales) {
  const QString fin = QStringLiteral("\r\n");
  QString t = QString::fromLatin1(CabeceraCsv) + fin;
  for (int i : cuales) {
    const Diario::Consulta& c = diario[i];
    const QDate fecha = diario.FechaGuardada(i);
    QStringList campos = {fecha.isValid() ? fecha.toString(QStringLiteral("yyyy-MM-dd")) : diario.Fecha(i),
                          diario.Usuario(i), diario.Pregunta(i), diario.Lineas(i)};
    if (c.hexagrama > 0)
      campos << QString::number(c.hexagrama)
             << NombreDe(c.hexagrama) + QStringLiteral(" — ") + TituloDe(c.hexagrama)
             << QString::number(c.complementario)
             << NombreDe(c.complementario) + QStringLiteral(" — ") + TituloDe(c.complementario);
    else
      campos << QString() << QString() << QString() << QString();
    for (QString& campo : campos)
      campo = CampoCsv(campo);
    t += campos.join(QLatin1Char(',')) + fin;
  }
  return t.toUtf8();
}

QByteArray ExportarHtml(const Diario& diario, const std::vector<int>& cuales, const QString& quien,
                        const QDateTime& cuando) {
  const QString de = quien.isEmpty() ? QStringLiteral("todas las personas") : Esc(quien);
  QString t =
      QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                     "<meta name=\"generator\" content=\"KORVAL\"/>\n<title>Diario de consultas de %1"
                     "</title>\n<style>%2</style>\n</head>\n<body>\n<header>\n<h1>Diario de consultas de "
                     "%1</h1>\n<p>%3, de la más reciente a la más antigua. Exportado de KORVAL el %4 a las "
                     "%5.</p>\n</header>\n")
          .arg(de, QString::fromLatin1(Estilos), Cuantas(qsizetype(cuales.size())),
               cuando.date().toString(QStringLiteral("dd/MM/yyyy")),
               cuando.time().toString(QStringLiteral("HH:mm")));
  if (cuales.empty())
    t += QStringLiteral("<p class=\"vacio\">No hay consultas que exportar.</p>\n");
  for (int i : cuales) {
    const Diario::Consulta& c = diario[i];
    const QDate fecha = diario.FechaGuardada(i);
    const QString lineas = diario.Lineas(i);
    t += QStringLiteral("<article class=\"consulta\">\n<h2 class=\"pregunta\">%1</h2>\n<p class=\"datos\">")
             .arg(Esc(diario.Pregunta(i)));
    if (fecha.isValid())
      t += QStringLiteral("<time datetime=\"%1\">%2</time>")
               .arg(fecha.toString(QStringLiteral("yyyy-MM-dd")), Esc(diario.Fecha(i)));
    else if (!diario.Fecha(i).isEmpty())
      t += QStringLiteral("<span class=\"fecha\">%1</span>").arg(Esc(diario.Fecha(i)));
    t += Separador + QStringLiteral("<span class=\"usuario\">%1</span></p>\n").arg(Esc(diario.Usuario(i)));
    if (c.hexagrama > 0) {
      t += QStringLiteral("<div class=\"figuras\">") +
           FiguraConNombre(QStringLiteral("principal"), QString(), lineas, c.hexagrama);
      if (c.complementario != c.hexagrama)
        t += FiguraConNombre(QStringLiteral("complementario"), QStringLiteral("Complementario: "),
                             diario.LineasComplementario(i), c.complementario);
      t += QStringLiteral("</div>\n<p class=\"mudan\">%1</p>\n").arg(LineasQueMudan(lineas));
    } else {
      t += QStringLiteral("<p class=\"danada\">Las líneas guardadas («%1») no forman un hexagrama.</p>\n")
               .arg(Esc(lineas));
    }
    t += QStringLiteral("</article>\n");
  }
  t += QStringLiteral("</body>\n</html>\n");
  return t.toUtf8();
}

QByteArray Exportacion(FormatoExportacion formato, const Diario& diario, const std::vector<int>& cuales,
                       const QString& quien, const QDateTime& cuando) {
  return formato == FormatoExportacion::Csv ? ExportarCsv(diario, cuales)
                                            : ExportarHtml(diario, cuales, quien, cuando);
}

QDateTime AhoraExportacion() {
  return QDateTime(Fecha(), QTime::fromMSecsSinceStartOfDay(int(Timer() * 1000) % 86400000));
}

QString InformeExportacion(int cuantas, const QString& ruta) {
  return (cuantas == 1 ? QStringLiteral("Se ha exportado 1 consulta a «%2».")
                       : QStringLiteral("Se han exportado %1 consultas a «%2».").arg(cuantas))
      .replace(QStringLiteral("%2"), QDir::toNativeSeparators(ruta));
}

int ExportarDesdeOrdenes(const QString& fichero, const QString& usuario, QString* salida, QString* errores) {
  const auto fallo = [errores](int estado, const QString& texto) {
    *errores = QStringLiteral("korval: ") + texto + QLatin1Char('\n');
    return estado;
  };
  const FormatoExportacion formato = FormatoDe(fichero);
  if (formato == FormatoExportacion::Ninguno)
    return fallo(2,
                 QStringLiteral("«%1» no termina en .html ni en .csv, y es la extensión la que dice cómo "
                                "exportar: .html para una página que se lee e imprime en un navegador, .csv "
                                "para una hoja de cálculo u otros programas.")
                     .arg(fichero));
  QString error;
  if (!LoadNameLists(&error))
    return fallo(1, error);
  QByteArray contenido;
  if (!LeerArchivo(UbicarArchivo().Lectura(), &contenido, &error))
    return fallo(1, error);
  const Diario diario(contenido);
  contenido.clear();
  const int u = usuario.isEmpty() ? -1 : diario.BuscarUsuario(usuario);
  const std::vector<int> cuales = usuario.isEmpty() || u >= 0 ? diario.Consultas(u) : std::vector<int>();
  const QString quien = u >= 0 ? Diario::NombreVisible(diario.Usuarios()[u]) : usuario;
  const QByteArray bytes = Exportacion(formato, diario, cuales, quien, AhoraExportacion());

  const QFileInfo info(fichero);
  const Carpeta carpeta(info.absolutePath());
  if (!carpeta.abierta())
    return fallo(1, carpeta.error());
  switch (carpeta.Publicar(info.fileName(), bytes, &error)) {
  case Creacion::Ocupado:
    return fallo(1, QStringLiteral("«%1» ya existe. Desde la línea de órdenes KORVAL nunca sustituye un "
                                   "fichero: elija otro nombre o borre antes ese.")
                        .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
  case Creacion::Fallida:
    return fallo(1, error);
  case Creacion::Hecha:
    break;
  }
  *salida = InformeExportacion(int(cuales.size()), info.absoluteFilePath()) + QLatin1Char('\n');
  return 0;
}
