// korval_datos: genera los ficheros de datos del programa a partir de las
// fuentes legibles de data/.
//
//   korval_datos CARPETA_DATA CARPETA_SALIDA
//
// Escribe trigr.kvl, hexagr.kvl, BINARIO.DAT y KORVAL.HLP. Un dato mal
// formado para la construcción con un mensaje que nombra fichero y línea.

#include "platform/Codificacion.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr int LargoRegistro = 80;
constexpr int RegistrosPorHexagrama = 100; // un registro de título y hasta 99 del bloque
constexpr int MinCaracteres = 4000;
constexpr int MaxCaracteres = 6300;

struct ErrorDatos {
  QString fichero;
  int linea;
  QString mensaje;
};

[[noreturn]] void fallar(const QString& fichero, int linea, const QString& mensaje) {
  throw ErrorDatos{fichero, linea, mensaje};
}

// Las faltas contra la norma de los textos no paran la lectura: se juntan
// todas, para que quien corrige las vea de una vez, y al final no se escribe
// nada.
std::vector<ErrorDatos> faltasNorma;

struct Linea {
  int numero;
  QString texto;
};

// Las líneas de una fuente UTF-8, sin comentarios (#) ni finales de línea.
std::vector<Linea> leerFuente(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    fallar(ruta, 0, QStringLiteral("no se puede leer"));
  const QByteArray bytes = f.readAll();
  const QString texto = QString::fromUtf8(bytes);
  if (texto.toUtf8() != bytes)
    fallar(ruta, 0, QStringLiteral("no es UTF-8 válido"));
  std::vector<Linea> lineas;
  const QStringList todas = texto.split(QLatin1Char('\n'));
  for (int i = 0; i < todas.size(); ++i) {
    QString l = todas[i];
    if (l.endsWith(QLatin1Char('\r')))
      l.chop(1);
    if (l.trimmed().startsWith(QLatin1Char('#')))
      continue;
    for (QChar c : l)
      if (!Win1252::cabe(c))
        fallar(ruta, i + 1,
               QStringLiteral("el carácter «%1» (U+%2) no cabe en Windows-1252")
                   .arg(c)
                   .arg(c.unicode(), 4, 16, QLatin1Char('0')));
    lineas.push_back({i + 1, l});
  }
  return lineas;
}

// --- Trigramas y hexagramas --------------------------------------------------

struct Trigrama {
  QString nombre, segundo, lineas;
};
struct Hexagrama {
  int numero;
  int superior, inferior; // índices en la lista de trigramas
  QString nombre, titulo;
};

QStringList campos(const Linea& l, int cuantos, const QString& ruta) {
  QStringList c = l.texto.split(QLatin1Char('|'));
  for (QString& s : c)
    s = s.trimmed();
  if (c.size() != cuantos)
    fallar(ruta, l.numero,
           QStringLiteral("se esperaban %1 campos separados por «|» y hay %2").arg(cuantos).arg(c.size()));
  for (int i = 0; i < c.size(); ++i)
    if (c[i].isEmpty())
      fallar(ruta, l.numero, QStringLiteral("falta el campo %1").arg(i + 1));
  for (const QString& s : c)
    if (s.contains(QLatin1Char('"')))
      fallar(ruta, l.numero, QStringLiteral("un campo no puede llevar comillas dobles"));
  return c;
}

std::vector<Trigrama> leerTrigramas(const QString& ruta) {
  std::vector<Trigrama> t;
  std::set<QString> vistos;
  for (const Linea& l : leerFuente(ruta)) {
    if (l.texto.trimmed().isEmpty())
      continue;
    const QStringList c = campos(l, 3, ruta);
    const QString& lineas = c[2];
    if (lineas.size() != 3 || QString(lineas).remove(QLatin1Char('7')).remove(QLatin1Char('8')).size() != 0)
      fallar(ruta, l.numero,
             QStringLiteral("la clave «%1» debe tener tres líneas, 7 u 8 cada una").arg(lineas));
    if (!vistos.insert(lineas).second)
      fallar(ruta, l.numero, QStringLiteral("la clave «%1» se repite").arg(lineas));
    t.push_back({c[0], c[1], lineas});
  }
  if (t.size() != 8)
    fallar(ruta, 0, QStringLiteral("hay %1 trigramas y deben ser 8").arg(t.size()));
  if (t[0].lineas != QStringLiteral("777"))
    fallar(ruta, 0, QStringLiteral("el primer trigrama debe ser Ch'ien, 777"));
  return t;
}

std::vector<Hexagrama> leerHexagramas(const QString& ruta, const std::vector<Trigrama>& trigramas) {
  std::vector<Hexagrama> h;
  std::set<QString> patrones;
  auto indice = [&](const QString& nombre, const Linea& l) {
    for (size_t i = 0; i < trigramas.size(); ++i)
      if (trigramas[i].nombre == nombre)
        return int(i);
    fallar(ruta, l.numero, QStringLiteral("no hay ningún trigrama llamado «%1»").arg(nombre));
  };
  for (const Linea& l : leerFuente(ruta)) {
    if (l.texto.trimmed().isEmpty())
      continue;
    const QStringList c = campos(l, 5, ruta);
    bool ok = false;
    const int numero = c[0].toInt(&ok);
    if (!ok || numero != int(h.size()) + 1)
      fallar(ruta, l.numero,
             QStringLiteral("se esperaba el número %1 y hay «%2»").arg(h.size() + 1).arg(c[0]));
    Hexagrama x{numero, indice(c[1], l), indice(c[2], l), c[3], c[4]};
    const QString patron = trigramas[x.inferior].lineas + trigramas[x.superior].lineas;
    if (!patrones.insert(patron).second)
      fallar(ruta, l.numero, QStringLiteral("el dibujo %1 ya es de otro hexagrama").arg(patron));
    h.push_back(x);
  }
  if (h.size() != 64)
    fallar(ruta, 0, QStringLiteral("hay %1 hexagramas y deben ser 64").arg(h.size()));
  return h;
}

// Las ocho claves de un trigrama: cada línea entera como 7 o 9, cada partida
// como 8 o 6.
QStringList clavesDe(const QString& lineas) {
  QStringList claves;
  for (int m = 0; m < 8; ++m) {
    QString c;
    for (int i = 0; i < 3; ++i) {
      const bool cambia = (m >> (2 - i)) & 1;
      c += lineas[i] == QLatin1Char('7') ? (cambia ? QLatin1Char('9') : QLatin1Char('7'))
                                         : (cambia ? QLatin1Char('6') : QLatin1Char('8'));
    }
    claves << c;
  }
  return claves;
}

QString comillas(const QString& s) {
  return QLatin1Char('"') + s + QLatin1Char('"');
}

// --- Textos --------------------------------------------------------------------

const std::array<QString, 9> Secciones = {
    QStringLiteral("DECISION"), QStringLiteral("COMENTARIO"), QStringLiteral("IMAGEN"),
    QStringLiteral("LINEA 1"),  QStringLiteral("LINEA 2"),    QStringLiteral("LINEA 3"),
    QStringLiteral("LINEA 4"),  QStringLiteral("LINEA 5"),    QStringLiteral("LINEA 6")};
const std::array<QString, 9> Marcas = {QStringLiteral("*D"),  QStringLiteral("*C"),  QStringLiteral("*I"),
                                       QStringLiteral("*L1"), QStringLiteral("*L2"), QStringLiteral("*L3"),
                                       QStringLiteral("*L4"), QStringLiteral("*L5"), QStringLiteral("*L6")};
const std::array<QString, 6> Puestos = {
    QStringLiteral("al comienzo"),         QStringLiteral("en el segundo puesto"),
    QStringLiteral("en el tercer puesto"), QStringLiteral("en el cuarto puesto"),
    QStringLiteral("en el quinto puesto"), QStringLiteral("arriba")};

struct Parrafo {
  int linea; // línea de la fuente donde termina
  QString texto;
  // Dónde empieza en `texto` cada línea de la fuente: (posición, línea).
  std::vector<std::pair<int, int>> trozos;

  int lineaEn(int posicion) const {
    int l = trozos.front().second;
    for (const auto& [desde, linea] : trozos)
      if (desde <= posicion)
        l = linea;
    return l;
  }
};
struct Seccion {
  QString nombre;
  int linea;
  std::vector<Parrafo> parrafos;
};

bool empiezaInterpretacion(const QString& s) {
  return s.trimmed().left(14).compare(QStringLiteral("INTERPRETACIÓN"), Qt::CaseInsensitive) == 0;
}

bool terminaEnPunto(QString p) {
  while (!p.isEmpty() && QStringLiteral("\"»)”'").contains(p.back()))
    p.chop(1);
  return p.endsWith(QLatin1Char('.'));
}

// Corta un párrafo en registros de 80: el primero empieza con tres blancos y
// sólo se corta entre palabras.
QStringList registrosDe(const Parrafo& p, const QString& ruta) {
  QStringList recs;
  QString actual = QStringLiteral("   ");
  bool primera = true;
  for (const QString& w : p.texto.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (w.size() > LargoRegistro - 3)
      fallar(ruta, p.linea, QStringLiteral("la palabra «%1» no cabe en un registro").arg(w.left(30)));
    if (w.startsWith(QLatin1Char('*')))
      fallar(ruta, p.linea, QStringLiteral("una palabra no puede empezar por «*»: «%1»").arg(w));
    if (primera) {
      actual += w;
      primera = false;
    } else if (actual.size() + 1 + w.size() <= LargoRegistro) {
      actual += QLatin1Char(' ') + w;
    } else {
      recs << actual;
      actual = w;
    }
  }
  recs << actual;
  return recs;
}

struct Bloque {
  QStringList registros;
  int caracteres = 0;
};

// --- La norma de los textos (data/textos/README.md) ----------------------------

// Dónde vale una regla: en todo el texto, solo en las frases del oráculo (el
// primer párrafo de la DECISION y de la IMAGEN y el enunciado de cada línea)
// o solo en los ensayos (todo lo demás).
enum class Ambito { Todo, Oraculo, Ensayo };

struct Regla {
  QRegularExpression patron;
  Ambito ambito;
  QString norma; // lo que se escribe en su lugar
  // Lo que el patrón encuentra y sí es de la norma: el patrón abarca todas
  // las maneras de decir un sentido, y aquí queda la única que vale.
  QRegularExpression admitida = {};
  int soloEn = 0; // el único hexagrama donde la palabra vale (0: ninguno)
};

QRegularExpression expresion(const QString& patron, bool mayusculas = false) {
  QRegularExpression::PatternOptions o = QRegularExpression::UseUnicodePropertiesOption;
  if (!mayusculas)
    o |= QRegularExpression::CaseInsensitiveOption;
  return QRegularExpression(patron, o);
}

// Los verbos que más a menudo llevan un complemento directo de persona; con
// ellos, «le» sería leísmo.
const QString VerbosDirectos = QStringLiteral(
    "ayud|escuch|acompañ|gu[ií]|apoy|respald|rode|sosten|sostien|sostuv|arrastr|favorec|despiert|despert|"
    "debilit|abrum|conoc|respet|busc|abandon|proteg|protej|corrig|correg|venc|venz|derrot|"
    "atac|invit|engañ|castig|admir|acog|acoj|fren|sigu|segu|encontr|encuentr|hier|her[ií]|muev|mov");

const QString PatronSoloConTilde = QStringLiteral(R"(\bsólo\b)");
const QString PatronVosotros = QStringLiteral(R"(\b(vosotr[oa]s|vuestr[oa]s?|os)\b|\b\w+(áis|éis)\b)");
const QString PatronLeismo =
    QStringLiteral(
        R"(\bles?\s+((ha|han|había|habían|habrá|habrán)\s+)?(%1)\w*|\b(%1)(ar|er|ir|ándo|iéndo)(le|les)\b)")
        .arg(VerbosDirectos);

struct Norma {
  std::vector<Regla> reglas;
  std::vector<Regla> reglasAyuda;
  std::set<QString> nombres; // los de los trigramas y los hexagramas
  QRegularExpression romanizacion;
  std::map<QString, QString> bienEscrito;

  Norma(const std::vector<Trigrama>& trigramas, const std::vector<Hexagrama>& hexagramas) {
    auto regla = [this](const QString& p, Ambito a, const QString& norma) {
      reglas.push_back({expresion(p), a, norma});
    };
    regla(
        QStringLiteral(
            R"(\b(des)?venturas?\b|\bventuros[oa]s?\b|\b(buena|mala|gran|suprema) fortuna\b|\binfortunios?\b)"),
        Ambito::Todo, QStringLiteral("«buen augurio» o «mal augurio»"));
    regla(QStringLiteral(R"(\b(arrepentimiento|remordimiento)s?\b)"), Ambito::Todo,
          QStringLiteral("«pesar», «el pesar se disipa»"));
    regla(QStringLiteral(R"(\bhumillaci(ón|ones)\b|\bbochorn\w*)"), Ambito::Todo,
          QStringLiteral("«vergüenza»"));
    regla(QStringLiteral(
              R"(\bgrandes aguas\b|\baguas anchas\b|\b(atraves|atravies|vade|pas)\w*\s+el\s+gran\s+río\b)"),
          Ambito::Todo, QStringLiteral("«cruzar el gran río»"));
    regla(QStringLiteral(R"(\bperseverancia\b)"), Ambito::Todo, QStringLiteral("«firmeza»"));
    regla(QStringLiteral(R"(\bpropici[oa]s?\b)"), Ambito::Todo,
          QStringLiteral("«conviene», «nada que no convenga»"));
    regla(QStringLiteral(R"(\b(el|al|del|los)\s+nobles?\b|\bhombres?\s+(superior|inferior|vulgar)(es)?\b)"),
          Ambito::Todo, QStringLiteral("«el hombre cabal», «el mezquino»"));
    regla(QStringLiteral(R"(\b(éste|ésta|éstos|éstas|ése|ésa|ésos|ésas|aquél|aquélla|aquéllos|aquéllas)\b)"),
          Ambito::Todo, QStringLiteral("el demostrativo sin tilde"));
    regla(PatronSoloConTilde, Ambito::Todo, QStringLiteral("«solo», sin tilde"));
    regla(PatronVosotros + QStringLiteral(R"(|\bustedes?\b)"), Ambito::Todo,
          QStringLiteral("«tú» para el lector"));
    regla(PatronLeismo, Ambito::Todo, QStringLiteral("«lo», «la», «los», «las» para el complemento directo"));
    regla(QStringLiteral(R"(\béxito\b)"), Ambito::Oraculo, QStringLiteral("«paso abierto» o «abre paso»"));
    regla(QStringLiteral(R"(\bdesgracias?\b)"), Ambito::Oraculo, QStringLiteral("«mal augurio»"));
    regla(QStringLiteral(
              R"(\b(no hay|no habrá|ningún|ninguna|ni un|no es)\s+(reproche|culpa|falta|defecto|tacha)\b|)"
              R"(\b(sin|libre de)\s+(culpa|falta|tacha|defecto)\b)"),
          Ambito::Oraculo, QStringLiteral("«sin reproche»"));
    // «-nos» pegado a un verbo; los infinitivos en -er, uno a uno, porque
    // «cuernos» o «gobiernos» acaban igual.
    regla(QStringLiteral(R"(\b(nosotr[oa]s|nuestr[oa]s?|nos)\b|\b\w+(ar|ir|ándo|iéndo)nos\b|)"
                         R"(\b(hac|v|pon|ten|conoc|mov|s|sab|cre|perd|venc|proteg|volv|envolv|entend|sosten|)"
                         R"(deten|manten|ofrec|parec|aprend|defend|comprend|deb|ca|tra|quer|pod)ernos\b)"),
          Ambito::Ensayo, QStringLiteral("«quien consulta», «tú» o una frase impersonal, sin «nosotros»"));

    // Una forma para cada sentido en las frases del oráculo (la tabla de las
    // fórmulas): una fórmula dicha de dos maneras parece decir dos cosas.
    auto formula = [this](const QString& p, const QString& admitida, const QString& norma) {
      reglas.push_back({expresion(p), Ambito::Oraculo, norma,
                        admitida.isEmpty() ? QRegularExpression() : expresion(u'^' + admitida + u'$')});
    };
    formula(
        QStringLiteral(
            R"(\bde\s+fiar\b|\bconf[ií](anza|ando|ado|ada|ados|adas|ar|arse|a|an|as|e|en)\b|\blealtad\b|)"
            R"(\bverdad\s+de\s+(tu|su)\s+parte\b|\bmerecen?\s+fe\b|\bdign[oa]s?\s+de\s+fe\b|)"
            R"(\bse\s+cree\s+en\s+(él|ella|ellos|ellas)\b|\bse\s+f[ií](a|an|e|en)\b|\bfiarse\b|\bcrédito\b|)"
            R"(\btiene\s+palabra\b)"),
        {}, QStringLiteral("«buena fe» (有孚)"));
    formula(QStringLiteral(
                R"(\bcampañas?\b|)"
                R"(\b(avanzar|marchar|partir|ponerse\s+en\s+marcha)(\s*,)?\s+(es|será|sería|trae|traerá)\b|)"
                R"(\b(avanzar|marchar|partir)\s*[:;,]\s*(muy\s+)?(buen|mal)\s+augurio\b)"),
            {}, QStringLiteral("«salir», sin guerra que el clásico no ponga (征)"));
    formula(QStringLiteral(R"(\bno\s+(temas|te\s+inquietes|te\s+preocupes|te\s+aflijas|tengas\s+miedo)\b|)"
                           R"(\bsin\s+(preocupaci(ón|ones)|aflicción)\b)"),
            {}, QStringLiteral("«sin inquietud» (勿恤)"));
    formula(QStringLiteral(R"(\bfirmeza\b[^.;:]{0,25}?\b(penos\w*|ardu\w*|dificultad\w*|difícil\w*)|)"
                           R"(\b(penos\w*|ardu\w*|dificultad\w*|difícil\w*)[^.;:]{0,25}?\bfirmeza\b)"),
            QStringLiteral("firmeza en lo difícil"), QStringLiteral("«la firmeza en lo difícil» (艱貞)"));
    formula(QStringLiteral(R"(\b(firmeza|firmes?|empeñ\w*|obstina\w*)\b[^.;:]{0,25}?\bpeligr\w*|)"
                           R"(\bpeligr\w*[^.;:]{0,12}?\b(firmeza|firmes?|empeñ\w*|obstina\w*))"),
            QStringLiteral("firmeza tiene peligro|empeñarse es peligroso"),
            QStringLiteral(
                "«la firmeza tiene peligro» o, contra la obstinación, «empeñarse es peligroso» (貞厲)"));
    formula(QStringLiteral(R"(\bno\s+((le|les|te)\s+)?(cabe|conviene|hay|puede|debe|es\s+posible)\b)"
                           R"([^.;:]{0,25}?\b(firmeza|firmes?|empeñ\w*))"),
            QStringLiteral("no cabe empeñarse|no ((le|les|te) )?conviene empeñarse"),
            QStringLiteral("«no cabe empeñarse» (不可貞) o «no conviene empeñarse» (不利貞)"));
    formula(QStringLiteral(
                R"(\b(sin|ni|no\s+hay)\s+reproche\b[^.:]{0,20}?\b(alabanzas?|elogios?|loas?|honra)\b)"),
            QStringLiteral("sin reproche; tampoco alabanza"),
            QStringLiteral("«sin reproche; tampoco alabanza» (无咎无譽)"));
    formula(QStringLiteral(
                R"(\bseñor\s+(del|de\s+los)\s+cielos?\b|\bseñor\s+celestial\b|\bsoberano\s+de\s+lo\s+alto\b|)"
                R"(\bdios\b|\bemperador\s+(celeste|del\s+cielo)\b)"),
            {}, QStringLiteral("«el Señor de lo Alto» (帝)"));
    formula(QStringLiteral(
                R"(\b(piel|pellejo|cuero|correa|tira)s?\s+de\s+(un\s+)?(buey|vaca|toro)\s+amarill\w*)"),
            QStringLiteral("cuero de buey amarillo"), QStringLiteral("«cuero de buey amarillo» (黃牛之革)"));
    formula(QStringLiteral(R"(\binvest\w*)"), {}, QStringLiteral("«nombrar señores» (建侯)"));
    formula(QStringLiteral(R"(\btres\s+años\b[^.;:]{0,25}?\b(ver|verse|vea|vean|visto)\b)"),
            QStringLiteral("tres años sin ver"), QStringLiteral("«tres años sin ver a nadie» (三歲不覿)"));
    // «Atascado» es el agotamiento del 47; el obstáculo del 39 y los demás
    // hexagramas dicen lo suyo con otras palabras, también en los ensayos.
    reglas.push_back({expresion(QStringLiteral(R"(\batasc\w*)")), Ambito::Todo,
                      QStringLiteral("«atascado» y «atasco» solo en el hexagrama 47; aquí, otra palabra"),
                      QRegularExpression(), 47});

    // La ayuda habla de usted, como las ventanas; el oráculo tutea. Un «tú» o
    // un «vosotros» en la ayuda mezclaría los dos tratos. Los verbos en
    // segunda persona que no se confunden con otra cosa y los imperativos con
    // «te» pegado («fíjate») delatan el tuteo aunque falte el pronombre.
    auto reglaAyuda = [this](const QString& p, const QString& norma) {
      reglasAyuda.push_back({expresion(p), Ambito::Todo, norma});
    };
    reglaAyuda(PatronSoloConTilde, QStringLiteral("«solo», sin tilde"));
    reglaAyuda(QStringLiteral(R"(\b(tú|te|ti|contigo|tu|tus|tuy[oa]s?)\b|)"
                              R"(\b(eres|estás|has|tienes|puedes|quieres|debes|sabes|haces|vas|necesitas|)"
                              R"(prefieres|sueles|deseas)\b|\b(?!\w*mente\b)\w*[áéíóú]\w*te\b|)") +
                   PatronVosotros,
               QStringLiteral("la ayuda habla de usted, como las ventanas"));
    reglaAyuda(PatronLeismo, QStringLiteral("«lo», «la», «los», «las» para el complemento directo"));

    // La romanización es la de los datos: su forma sin apóstrofo ni
    // circunflejo, o con el apóstrofo curvo, es una falta, salvo que sea a su
    // vez otro nombre (Chien, Pi, Yu).
    QStringList nombresDatos;
    for (const Trigrama& t : trigramas)
      nombresDatos << t.nombre;
    for (const Hexagrama& h : hexagramas)
      nombresDatos << h.nombre;
    for (const QString& n : nombresDatos)
      for (const QString& palabra : n.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        nombres.insert(palabra);
    for (const QString& n : nombres) {
      QString llano = n;
      llano.remove(QLatin1Char('\'')).replace(QStringLiteral("ê"), QStringLiteral("e"));
      llano.replace(QStringLiteral("ü"), QStringLiteral("u"));
      if (llano != n && !nombres.count(llano))
        bienEscrito[llano] = n;
      if (n.contains(QLatin1Char('\'')))
        bienEscrito[QString(n).replace(QLatin1Char('\''), QChar(0x2019))] = n;
    }
    // Los nombres de los trigramas en pinyin.
    const std::array<std::pair<const char*, const char*>, 5> pinyin = {
        {{"Qian", "Ch'ien"}, {"Zhen", "Chên"}, {"Xun", "Sun"}, {"Gen", "Kên"}, {"Dui", "Tui"}}};
    for (const auto& [mal, bien] : pinyin)
      bienEscrito[QString::fromUtf8(mal)] = QString::fromUtf8(bien);
    QStringList alternativas;
    for (const auto& [mal, bien] : bienEscrito)
      alternativas << QRegularExpression::escape(mal);
    romanizacion = expresion(
        QStringLiteral(R"((?<![\w'’])(%1)(?![\w'’]))").arg(alternativas.join(QLatin1Char('|'))), true);
  }
};

// Lo que la IMAGEN de un hexagrama tiene que decir: sus trigramas por sus
// elementos («El trueno sobre el cielo:») y su título tras «imagen de».
struct ImagenEsperada {
  QString apertura, titulo;

  ImagenEsperada(const Trigrama& arriba, const Trigrama& abajo, const QString& tituloHexagrama) {
    // «el Cielo que crea» da «el cielo».
    auto elemento = [](const Trigrama& t) { return t.segundo.section(QLatin1Char(' '), 0, 1).toLower(); };
    apertura = elemento(arriba) + QStringLiteral(" sobre ") + elemento(abajo) + QLatin1Char(':');
    apertura[0] = apertura[0].toUpper();
    titulo = tituloHexagrama.startsWith(QStringLiteral("El "))
                 ? QStringLiteral("imagen del ") + tituloHexagrama.mid(3)
                 : QStringLiteral("imagen de ") + tituloHexagrama.left(1).toLower() + tituloHexagrama.mid(1);
  }
};

void faltaNorma(const QString& ruta, const Parrafo& p, int posicion, const QString& mensaje) {
  faltasNorma.push_back({ruta, p.lineaEn(posicion), mensaje});
}

// Las faltas, fichero a fichero y en el orden de sus líneas.
void informarFaltasNorma() {
  if (faltasNorma.empty())
    return;
  std::stable_sort(faltasNorma.begin(), faltasNorma.end(), [](const ErrorDatos& a, const ErrorDatos& b) {
    return a.fichero != b.fichero ? a.fichero < b.fichero : a.linea < b.linea;
  });
  for (const ErrorDatos& e : faltasNorma)
    std::fprintf(stderr, "%s:%d: error: %s\n", qPrintable(e.fichero), e.linea, qPrintable(e.mensaje));
  std::fprintf(stderr, "%d faltas contra la norma de los textos (data/textos/README.md)\n",
               int(faltasNorma.size()));
}

// Tras «significa:», la misma frase no lleva otros dos puntos: la fórmula
// ya los usa, y lo que sigue se separa con punto y coma o con punto. Los que
// abren una cita o unas palabras dichas («piensa: «…»») no cuentan, ni lo que
// va entre comillas.
void revisarEnunciado(const QString& ruta, const Parrafo& p) {
  const QString formula = QStringLiteral("significa:");
  const qsizetype desde = p.texto.indexOf(formula);
  if (desde < 0)
    return;
  QString t = p.texto;
  int hondo = 0; // «» se anidan; las rectas se abren y se cierran
  bool recta = false;
  for (QChar& c : t) {
    const bool abre = c == u'«' || c == u'“';
    if ((c == u'»' || c == u'”') && hondo > 0)
      --hondo;
    else if (c == u'"')
      recta = !recta;
    else if (!abre && (hondo > 0 || recta))
      c = u'x';
    if (abre)
      ++hondo;
  }
  static const QRegularExpression finFrase(QStringLiteral(R"([.?!…][»"”')]*(\s|$))"));
  static const QRegularExpression otros(QStringLiteral(R"((\S+):(?!\s*[«"“¿¡])\s*(\S*))"));
  const auto fin = finFrase.match(t, desde + formula.size());
  const auto m = otros.match(t, desde + formula.size());
  if (m.hasMatch() && (!fin.hasMatch() || m.capturedStart() < fin.capturedStart()))
    faltaNorma(ruta, p, int(m.capturedStart()),
               QStringLiteral("«%1» lleva otros dos puntos en la frase de «significa:»: punto y coma o punto")
                   .arg(p.texto.mid(m.capturedStart(), m.capturedLength()).trimmed()));
}

void revisarNorma(const QString& ruta, int hexagrama, const std::vector<Seccion>& secciones,
                  const Norma& norma, const ImagenEsperada& imagen) {
  static const QRegularExpression dosPuntos =
      expresion(QStringLiteral(R"((\S+):\s+[¿¡(]*(\p{Lu}[\w'’]*))"), true);
  for (size_t i = 0; i < secciones.size(); ++i) {
    const auto& parrafos = secciones[i].parrafos;
    // El primer párrafo de cada sección es del oráculo, salvo en el
    // COMENTARIO, que es todo ensayo.
    bool oraculo = i != 1;
    for (size_t j = 0; j < parrafos.size(); ++j) {
      const Parrafo& p = parrafos[j];
      if (j > 0 && (i < 3 || empiezaInterpretacion(p.texto)))
        oraculo = false;
      for (const Regla& r : norma.reglas) {
        if (r.ambito == (oraculo ? Ambito::Ensayo : Ambito::Oraculo) || r.soloEn == hexagrama)
          continue;
        for (auto m = r.patron.globalMatch(p.texto); m.hasNext();) {
          const auto x = m.next();
          if (!r.admitida.pattern().isEmpty() && r.admitida.match(x.captured()).hasMatch())
            continue;
          faltaNorma(ruta, p, int(x.capturedStart()),
                     QStringLiteral("«%1» no es de la norma: %2").arg(x.captured(), r.norma));
        }
      }
      if (i >= 3 && j == 0)
        revisarEnunciado(ruta, p);
      for (auto m = norma.romanizacion.globalMatch(p.texto); m.hasNext();) {
        const auto x = m.next();
        faltaNorma(
            ruta, p, int(x.capturedStart()),
            QStringLiteral("«%1» se escribe «%2»").arg(x.captured(), norma.bienEscrito.at(x.captured())));
      }
      for (auto m = dosPuntos.globalMatch(p.texto); m.hasNext();) {
        const auto x = m.next();
        const bool etiqueta = x.capturedStart() == 0 && empiezaInterpretacion(x.captured(1));
        if (!etiqueta && !norma.nombres.count(x.captured(2)))
          faltaNorma(ruta, p, int(x.capturedStart(2)),
                     QStringLiteral("tras los dos puntos va minúscula: «%1»").arg(x.captured(2)));
      }
    }
    if (i == 2 && !parrafos.empty()) {
      const Parrafo& p = parrafos.front();
      if (!p.texto.startsWith(imagen.apertura + QLatin1Char(' ')))
        faltaNorma(ruta, p, 0, QStringLiteral("la IMAGEN empieza por «%1»").arg(imagen.apertura));
      if (!p.texto.contains(imagen.titulo))
        faltaNorma(ruta, p, 0, QStringLiteral("la IMAGEN nombra el hexagrama: «%1»").arg(imagen.titulo));
      if (!p.texto.contains(QStringLiteral(". Así ")))
        faltaNorma(ruta, p, 0,
                   QStringLiteral("la IMAGEN dice en una frase con «Así» cómo obra el hombre cabal"));
    }
  }
}

// La ayuda se revisa en lo que se lee: el estilo, los comentarios, las
// etiquetas y las entidades se cambian por blancos, y así cada falta conserva
// su línea.
void revisarAyuda(const QString& ruta, const QByteArray& bytes, const Norma& norma) {
  const QString html = QString::fromUtf8(bytes);
  if (html.toUtf8() != bytes)
    fallar(ruta, 0, QStringLiteral("no es UTF-8 válido"));
  static const QRegularExpression oculto(QStringLiteral(R"(<style\b.*?</style>|<!--.*?-->|<[^>]*>|&#?\w+;)"),
                                         QRegularExpression::DotMatchesEverythingOption |
                                             QRegularExpression::CaseInsensitiveOption);
  QString texto = html;
  for (auto m = oculto.globalMatch(html); m.hasNext();) {
    const auto x = m.next();
    for (qsizetype k = x.capturedStart(); k < x.capturedEnd(); ++k)
      if (texto[k] != QLatin1Char('\n'))
        texto[k] = QLatin1Char(' ');
  }
  for (const Regla& r : norma.reglasAyuda)
    for (auto m = r.patron.globalMatch(texto); m.hasNext();) {
      const auto x = m.next();
      faltasNorma.push_back({ruta, int(texto.left(x.capturedStart()).count(QLatin1Char('\n'))) + 1,
                             QStringLiteral("«%1» no es de la norma: %2").arg(x.captured(), r.norma)});
    }
}

Bloque compilarTexto(const QString& ruta, int hexagrama, const QString& lineasHexagrama, const Norma& norma,
                     const ImagenEsperada& imagen) {
  std::vector<Seccion> secciones;
  QStringList pendiente;
  std::vector<std::pair<int, int>> trozos;
  int largo = 0;
  int ultimaLinea = 0;
  auto cerrarParrafo = [&] {
    if (pendiente.isEmpty())
      return;
    secciones.back().parrafos.push_back({ultimaLinea, pendiente.join(QLatin1Char(' ')), trozos});
    pendiente.clear();
    trozos.clear();
  };
  const std::vector<Linea> lineas = leerFuente(ruta);
  int finFichero = 0;
  for (const Linea& l : lineas) {
    finFichero = l.numero;
    const QString s = l.texto.trimmed();
    if (s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']'))) {
      if (!secciones.empty())
        cerrarParrafo();
      const QString nombre = s.mid(1, s.size() - 2).trimmed();
      const size_t i = secciones.size();
      if (i >= Secciones.size())
        fallar(ruta, l.numero, QStringLiteral("sobra la marca [%1]").arg(nombre));
      if (nombre != Secciones[i])
        fallar(ruta, l.numero,
               QStringLiteral("se esperaba la marca [%1] y hay [%2]").arg(Secciones[i], nombre));
      secciones.push_back({nombre, l.numero, {}});
      continue;
    }
    if (s.isEmpty()) {
      if (!secciones.empty())
        cerrarParrafo();
      continue;
    }
    if (secciones.empty())
      fallar(ruta, l.numero, QStringLiteral("texto antes de la marca [DECISION]"));
    const int desde = pendiente.isEmpty() ? 0 : largo + 1;
    trozos.push_back({desde, l.numero});
    largo = desde + int(s.size());
    pendiente << s;
    ultimaLinea = l.numero;
  }
  if (!secciones.empty())
    cerrarParrafo();
  if (secciones.size() < Secciones.size())
    fallar(ruta, finFichero, QStringLiteral("falta la marca [%1]").arg(Secciones[secciones.size()]));

  Bloque b;
  for (size_t i = 0; i < secciones.size(); ++i) {
    const Seccion& sec = secciones[i];
    if (sec.parrafos.empty())
      fallar(ruta, sec.linea, QStringLiteral("la sección [%1] está vacía").arg(sec.nombre));
    b.registros << Marcas[i];
    const bool deLinea = i >= 3;
    int interpretacion = -1;
    for (size_t j = 0; j < sec.parrafos.size(); ++j) {
      const Parrafo& p = sec.parrafos[j];
      if (!terminaEnPunto(p.texto))
        fallar(ruta, p.linea, QStringLiteral("el párrafo no termina en punto"));
      if (deLinea && empiezaInterpretacion(p.texto)) {
        if (interpretacion >= 0)
          fallar(ruta, p.linea,
                 QStringLiteral("la sección [%1] tiene dos párrafos INTERPRETACIÓN").arg(sec.nombre));
        interpretacion = int(j);
      }
      const QStringList recs = registrosDe(p, ruta);
      for (int r = 1; r < recs.size(); ++r)
        if (deLinea && empiezaInterpretacion(recs[r]))
          fallar(ruta, p.linea,
                 QStringLiteral("un registro no puede empezar por «interpretación»; cambie la redacción"));
      b.registros << recs;
      b.caracteres += int(p.texto.size());
    }
    if (deLinea) {
      const int n = int(i) - 2;
      const QString formula = QStringLiteral("%1 %2 significa:")
                                  .arg(lineasHexagrama[n - 1] == QLatin1Char('7') ? QStringLiteral("Nueve")
                                                                                  : QStringLiteral("Seis"),
                                       Puestos[n - 1]);
      if (!sec.parrafos.front().texto.startsWith(formula))
        fallar(ruta, sec.linea, QStringLiteral("la línea %1 debe empezar por «%2»").arg(n).arg(formula));
      if (interpretacion < 0)
        fallar(ruta, sec.linea,
               QStringLiteral("la sección [%1] no tiene su párrafo «INTERPRETACIÓN:»").arg(sec.nombre));
      if (interpretacion == 0)
        fallar(
            ruta, sec.linea,
            QStringLiteral("la sección [%1] empieza por la interpretación, sin enunciado").arg(sec.nombre));
    }
  }
  revisarNorma(ruta, hexagrama, secciones, norma, imagen);
  b.registros << QStringLiteral("**");
  if (b.registros.size() > RegistrosPorHexagrama - 1)
    fallar(
        ruta, finFichero,
        QStringLiteral("el bloque ocupa %1 registros y caben 99; acorte el texto").arg(b.registros.size()));
  if (b.caracteres < MinCaracteres || b.caracteres > MaxCaracteres)
    fallar(ruta, finFichero,
           QStringLiteral("el texto tiene %1 caracteres; deben ser de %2 a %3")
               .arg(b.caracteres)
               .arg(MinCaracteres)
               .arg(MaxCaracteres));
  return b;
}

// --- Escritura -------------------------------------------------------------

void escribir(const QString& ruta, const QByteArray& bytes) {
  QSaveFile f(ruta);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() || !f.commit())
    fallar(ruta, 0, QStringLiteral("no se puede escribir"));
}

QByteArray cp1252(const QString& s) {
  return Win1252::codificar(s);
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "uso: korval_datos CARPETA_DATA CARPETA_SALIDA\n");
    return 2;
  }
  const QDir data(QString::fromLocal8Bit(argv[1]));
  const QDir salida(QString::fromLocal8Bit(argv[2]));
  try {
    const auto trigramas = leerTrigramas(data.filePath(QStringLiteral("trigramas.txt")));
    const auto hexagramas = leerHexagramas(data.filePath(QStringLiteral("hexagramas.txt")), trigramas);

    QByteArray trigr;
    for (const Trigrama& t : trigramas) {
      QStringList fila{comillas(t.nombre), comillas(t.segundo)};
      fila << clavesDe(t.lineas);
      trigr += cp1252(fila.join(QLatin1Char(','))) + "\r\n";
    }

    const Norma norma(trigramas, hexagramas);
    QByteArray hexagr;
    QByteArray binario;
    for (const Hexagrama& h : hexagramas) {
      const QString lineas = trigramas[h.inferior].lineas + trigramas[h.superior].lineas;
      const long posicion = long(h.numero - 1) * RegistrosPorHexagrama * LargoRegistro + 1;
      const QStringList fila{QString::number(h.numero),
                             comillas(trigramas[h.superior].lineas),
                             comillas(trigramas[h.inferior].lineas),
                             comillas(h.nombre),
                             comillas(h.titulo),
                             QString::number(posicion)};
      hexagr += cp1252(fila.join(QLatin1Char(','))) + "\r\n";

      const QString fuente =
          data.filePath(QStringLiteral("textos/%1.txt").arg(h.numero, 2, 10, QLatin1Char('0')));
      // Los 64 textos están escritos: que falte uno es un error.
      if (!QFile::exists(fuente))
        fallar(fuente, 0, QStringLiteral("falta el texto del hexagrama %1").arg(h.numero));
      const Bloque bloque =
          compilarTexto(fuente, h.numero, lineas, norma,
                        ImagenEsperada(trigramas[h.superior], trigramas[h.inferior], h.titulo));
      // Registro de título (no se lee) y el bloque, y relleno hasta 100.
      QStringList recs{
          QStringLiteral("HEXAGRAMA %1 %2 - %3").arg(h.numero).arg(h.nombre, h.titulo).left(LargoRegistro)};
      recs << bloque.registros;
      while (recs.size() < RegistrosPorHexagrama)
        recs << QString();
      for (const QString& r : recs)
        binario += cp1252(r.leftJustified(LargoRegistro, QLatin1Char(' '), true));
    }

    QFile ayuda(data.filePath(QStringLiteral("ayuda/KORVAL.html")));
    if (!ayuda.open(QIODevice::ReadOnly))
      fallar(ayuda.fileName(), 0, QStringLiteral("falta la ayuda"));
    const QByteArray hlp = ayuda.readAll();
    revisarAyuda(ayuda.fileName(), hlp, norma);

    if (!faltasNorma.empty()) {
      informarFaltasNorma();
      return 1;
    }

    salida.mkpath(QStringLiteral("."));
    escribir(salida.filePath(QStringLiteral("trigr.kvl")), trigr);
    escribir(salida.filePath(QStringLiteral("hexagr.kvl")), hexagr);
    escribir(salida.filePath(QStringLiteral("BINARIO.DAT")), binario);
    escribir(salida.filePath(QStringLiteral("KORVAL.HLP")), hlp);
  } catch (const ErrorDatos& e) {
    informarFaltasNorma();
    std::fprintf(stderr, "%s:%d: error: %s\n", qPrintable(e.fichero), e.linea, qPrintable(e.mensaje));
    return 1;
  }
  return 0;
}
