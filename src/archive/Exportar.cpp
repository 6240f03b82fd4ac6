#include "archive/Exportar.h"

#include "archive/ArchivoConsultas.h"
#include "core/Estado.h"
#include "core/ListasNombres.h"
#include "platform/Basico.h"
#include "platform/Ficheros.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <array>
#include <cstdio>

namespace {
QString NombreDe(int n) {
  return QuitarBlancos(HexagramList[size_t(n)][4]);
}
QString TituloDe(int n) {
  return QuitarBlancos(HexagramList[size_t(n)][5]);
}

// Cien mil consultas se componen directamente en UTF-8, y lo que se repite
// (personas, nombres de hexagramas, dibujos) se compone una sola vez.

QByteArray Esc(const QString& t) {
  return t.toHtmlEscaped().toUtf8();
}

// La fecha de un día juliano: dd/mm/aaaa, o aaaa-mm-dd para los programas.
void PonerFecha(QByteArray& r, std::int64_t dia, bool iso) {
  int a = 0, m = 0, d = 0;
  QDate::fromJulianDay(dia).getDate(&a, &m, &d);
  char b[16];
  const int n = iso ? std::snprintf(b, sizeof b, "%04d-%02d-%02d", a, m, d)
                    : std::snprintf(b, sizeof b, "%02d/%02d/%04d", d, m, a);
  r.append(b, n);
}

// --- CSV -----------------------------------------------------------------

// Un campo entre comillas sólo si lo necesita: si lleva coma, comillas o un
// salto de línea; las comillas de dentro, dobles.
void PonerCampoCsv(QByteArray& r, const QByteArray& t) {
  if (!t.contains(',') && !t.contains('"') && !t.contains('\n') && !t.contains('\r')) {
    r += t;
    return;
  }
  r += '"';
  r += QByteArray(t).replace("\"", "\"\"");
  r += '"';
}

// --- HTML ----------------------------------------------------------------

// Las barras, la cruz y el anillo de cada dibujo de seis líneas, una vez por
// dibujo al principio de la página; cada consulta sólo lo nombra. Barras
// claras sobre negro, la línea 1 abajo, un hueco mayor entre los trigramas.
// Los colores van en cada elemento, no en la hoja de estilos: así se ven
// igual en cualquier navegador, también donde el estilo no llega a <use>.
const QByteArray Marca = " stroke=\"#78e6be\" stroke-width=\"1.6\"";

QByteArray Simbolo(const QString& lineas) {
  QByteArray barras, cruces, anillos;
  for (int k = 0; k < 6; ++k) {
    const char c = char(lineas[k].unicode());
    const QByteArray y = QByteArray::number(7 + (5 - k) * 10 + (k < 3 ? 4 : 0));
    if (c == '7' || c == '9')
      barras += "M8 " + y + "h56v6H8z";
    else
      barras += "M8 " + y + "h24v6H8zM40 " + y + "h24v6H40z";
    if (c == '6')
      cruces += "M33 " + y + "l6 6m-6 0l6-6";
    else if (c == '9')
      anillos += "<circle cx=\"36\" cy=\"" + QByteArray::number(y.toInt() + 3) +
                 "\" r=\"4.2\" fill=\"#000\"" + Marca + "/>";
  }
  QByteArray r = "<symbol id=\"l" + lineas.toLatin1() +
                 "\" viewBox=\"0 0 72 76\"><rect width=\"72\" height=\"76\" rx=\"5\" fill=\"#000\"/><path "
                 "fill=\"#fff4d6\" d=\"" +
                 barras + "\"/>";
  if (!cruces.isEmpty())
    r += "<path fill=\"none\" stroke-linecap=\"round\" d=\"" + cruces + "\"" + Marca + "/>";
  return r + anillos + "</symbol>\n";
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
svg.figura { width: 72px; height: 76px; }
.numero { font-weight: bold; color: #7a5a00; }
.nombre { font-weight: bold; }
.titulo { font-style: italic; }
.mudan, .danada { margin: .6em 0 0; }
.danada { color: #8a2a00; }
.dibujos { position: absolute; width: 0; height: 0; overflow: hidden; }
@media print { body { background: none; margin: 0; max-width: none; } article { border-left-color: #999; } }
)";

// Un dibujo con su número y sus nombres.
QByteArray Figura(const char* clase, const char* rotulo, const QString& lineas, int n) {
  return "<figure class=\"" + QByteArray(clase) +
         "\"><svg class=\"figura\" viewBox=\"0 0 72 76\" role=\"img\" "
         "aria-label=\"Hexagrama " +
         QByteArray::number(n) + "\"><use href=\"#l" + lineas.toLatin1() + "\"/></svg><figcaption>" + rotulo +
         "<span class=\"numero\">" + QByteArray::number(n) + "</span> <span class=\"nombre\">" +
         Esc(NombreDe(n)) + "</span><br/><span class=\"titulo\">" + Esc(TituloDe(n)) +
         "</span></figcaption></figure>";
}
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
  std::vector<QByteArray> usuarios;
  for (const QString& u : diario.Usuarios()) {
    usuarios.emplace_back();
    PonerCampoCsv(usuarios.back(), u.toUtf8());
  }
  std::array<QByteArray, 65> hexagramas; // «n,nombre — título»
  for (int n = 1; n <= 64; ++n) {
    hexagramas[size_t(n)] = QByteArray::number(n) + ',';
    PonerCampoCsv(hexagramas[size_t(n)], (NombreDe(n) + QStringLiteral(" — ") + TituloDe(n)).toUtf8());
  }
  QByteArray r = CabeceraCsv + "\r\n";
  r.reserve(qsizetype(cuales.size()) * 220 + r.size());
  for (int i : cuales) {
    const Diario::Consulta& c = diario[i];
    if (c.dia)
      PonerFecha(r, c.dia, true);
    else
      PonerCampoCsv(r, diario.Fecha(i).toUtf8());
    r += ',';
    r += usuarios[size_t(c.usuario)];
    r += ',';
    PonerCampoCsv(r, diario.PreguntaUtf8(i));
    r += ',';
    if (c.hexagrama > 0) {
      // Seis valores de línea: cifras que no piden comillas.
      r += diario.LineasBytes(i);
      r += ',';
      r += hexagramas[size_t(c.hexagrama)];
      r += ',';
      r += hexagramas[size_t(c.complementario)];
      r += "\r\n";
    } else {
      PonerCampoCsv(r, diario.Lineas(i).toUtf8());
      r += ",,,,\r\n";
    }
  }
  return r;
}

QByteArray ExportarHtml(const Diario& diario, const std::vector<int>& cuales, const QString& quien,
                        const QDateTime& cuando) {
  const QString de = quien.isEmpty() ? QStringLiteral("todas las personas") : quien.toHtmlEscaped();
  QByteArray r =
      QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                     "<meta name=\"generator\" content=\"KORVAL\"/>\n<title>Diario de consultas de %1"
                     "</title>\n<style>%2</style>\n</head>\n<body>\n<header>\n<h1>Diario de consultas "
                     "de %1</h1>\n<p>%3, de la más reciente a la más antigua. Exportado de KORVAL el "
                     "%4 a las %5.</p>\n</header>\n")
          .arg(de, QString::fromLatin1(Estilos), Cuantas(qsizetype(cuales.size())),
               cuando.date().toString(QStringLiteral("dd/MM/yyyy")),
               cuando.time().toString(QStringLiteral("HH:mm")))
          .toUtf8();
  // Los dibujos que salen, una vez cada uno.
  QHash<QString, QByteArray> mudan; // por líneas: el texto de las que mudan
  QByteArray simbolos;
  for (int i : cuales)
    if (diario[i].hexagrama > 0) {
      const QString lineas = diario.Lineas(i);
      if (mudan.contains(lineas))
        continue;
      mudan.insert(lineas, LineasQueMudan(lineas).toUtf8());
      simbolos += Simbolo(lineas);
      const QString comp = diario.LineasComplementario(i);
      if (comp != lineas && !mudan.contains(comp)) {
        mudan.insert(comp, LineasQueMudan(comp).toUtf8());
        simbolos += Simbolo(comp);
      }
    }
  if (!simbolos.isEmpty())
    r += "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"dibujos\" aria-hidden=\"true\">\n" + simbolos +
         "</svg>\n";
  if (cuales.empty())
    r += "<p class=\"vacio\">No hay consultas que exportar.</p>\n";
  std::vector<QByteArray> usuarios;
  for (const QString& u : diario.Usuarios())
    usuarios.push_back(Esc(Diario::NombreVisible(u)));
  r.reserve(r.size() + qsizetype(cuales.size()) * 900);
  for (int i : cuales) {
    const Diario::Consulta& c = diario[i];
    r += "<article class=\"consulta\">\n<h2 class=\"pregunta\">" +
         QString::fromUtf8(diario.PreguntaUtf8(i)).toHtmlEscaped().toUtf8() + "</h2>\n<p class=\"datos\">";
    if (c.dia) {
      r += "<time datetime=\"";
      PonerFecha(r, c.dia, true);
      r += "\">";
      PonerFecha(r, c.dia, false);
      r += "</time>";
    } else if (!diario.Fecha(i).isEmpty()) {
      r += "<span class=\"fecha\">" + Esc(diario.Fecha(i)) + "</span>";
    }
    r += " · <span class=\"usuario\">" + usuarios[size_t(c.usuario)] + "</span></p>\n";
    const QString lineas = diario.Lineas(i);
    if (c.hexagrama > 0) {
      r += "<div class=\"figuras\">" + Figura("principal", "", lineas, c.hexagrama);
      if (c.complementario != c.hexagrama)
        r += Figura("complementario", "Complementario: ", diario.LineasComplementario(i), c.complementario);
      r += "</div>\n<p class=\"mudan\">" + mudan.value(lineas) + "</p>\n";
    } else {
      r += "<p class=\"danada\">Las líneas guardadas («" + Esc(lineas) + "») no forman un hexagrama.</p>\n";
    }
    r += "</article>\n";
  }
  return r + "</body>\n</html>\n";
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
