#pragma once
// Lo que un lector español espera de una palabra partida a final de línea, sin usar la división del
// programa: la lista hecha a mano de divisiones.txt y un juez que sólo mira las dos partes.

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace Cortes {

inline const auto SoloLetras = [](const QString& s) {
  return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.isLetter(); });
};

// Las líneas de un fichero de datos de esta carpeta, sin las vacías ni los comentarios («#»).
inline QStringList LineasDe(const QString& nombre) {
  QFile f(QStringLiteral(KORVAL_DIR_CORTES "/") + nombre);
  QStringList r;
  for (const QString& l : QString::fromUtf8(f.open(QIODevice::ReadOnly) ? f.readAll() : "").split(u'\n'))
    if (!l.trimmed().isEmpty() && !l.startsWith(u'#'))
      r << l;
  return r;
}

// Una entrada de divisiones.txt, escrita y sin marcas: sitios de corte ("-", "+") y de sílaba ("-", "·").
struct Entrada {
  QString marcada, texto;
  QSet<int> cortes;
  QList<int> silabas;
};

// Las entradas y, de las que son una palabra suelta, sus cortes por la palabra en minúsculas.
struct Divisiones {
  std::vector<Entrada> entradas;
  QHash<QString, QSet<int>> conocidas;
};

inline const Divisiones& Lista() {
  static const Divisiones lista = [] {
    Divisiones r;
    for (const QString& l : LineasDe(QStringLiteral("divisiones.txt"))) {
      Entrada& e = r.entradas.emplace_back(Entrada{l.trimmed(), {}, {}, {}});
      for (const QChar c : e.marcada) {
        const int p = int(e.texto.size());
        if (c == u'-' || c == u'+')
          e.cortes.insert(p);
        if (c == u'-' || c == u'·')
          e.silabas << p;
        else if (c != u'+')
          e.texto += c;
      }
      if (SoloLetras(e.texto))
        r.conocidas.insert(e.texto.toLower(), e.cortes);
    }
    return r;
  }();
  return lista;
}

inline const auto Fuerte = [](QChar c) { return QStringView(u"aeoáéó").contains(c); };
inline const auto Tonica = [](QChar c) { return QStringView(u"íú").contains(c); };
inline const auto Debil = [](QChar c) { return QStringView(u"iuüy").contains(c); };

// Dos vocales seguidas que se pronuncian en una sola sílaba.
inline bool Diptongo(QChar a, QChar b) {
  if (Tonica(a) || Tonica(b) || (Fuerte(a) && Fuerte(b)))
    return false;
  return Debil(a) && Debil(b) ? a != b && !(QStringView(u"iy").contains(a) && QStringView(u"iy").contains(b))
                              : (Fuerte(a) || Debil(a)) && (Fuerte(b) || Debil(b));
}

// ¿Es vocal la letra i de s (minúsculas)? La y, si no la sigue una vocal; la u de que, qui, gue y gui no.
inline bool VocalEn(const QString& s, int i) {
  const QChar c = s[i];
  if (c == u'y')
    return i + 1 >= s.size() || !VocalEn(s, i + 1);
  if (c == u'u' && i > 0 &&
      (s[i - 1] == u'q' || (s[i - 1] == u'g' && i + 1 < s.size() && QStringView(u"eéií").contains(s[i + 1]))))
    return false;
  return Fuerte(c) || Tonica(c) || Debil(c);
}

// Una consonante de dos letras y las dos consonantes que empiezan sílaba juntas (entre blancos,
// ningún trozo sin ellos es otra cosa).
inline const auto Digrafo = [](QStringView par) { return QStringView(u"ch ll rr qu gu").contains(par); };
inline const auto Grupo = [](QStringView dos) {
  return QStringView(u"pl pr bl br fl fr tr dr cl cr gl gr kl kr tl").contains(dos);
};

// Lo que la composición de libro no admite aunque el castellano lo admita: partir una palabra de cuatro
// letras o menos, dejar menos de tres letras después del guion, partir entre dos vocales.
inline QString JuzgarLibro(const QString& L, const QString& R) {
  if (L.size() + R.size() <= 4)
    return QStringLiteral("parte una palabra corta");
  if (R.size() < 3)
    return QStringLiteral("deja un borde corto");
  if (VocalEn(L + R, int(L.size()) - 1) && VocalEn(L + R, int(L.size())))
    return QStringLiteral("parte entre dos vocales");
  return QString();
}

// Por qué está mal partir en `izquierda`- y `derecha` (la última palabra de una línea sin su guion y la
// primera de la siguiente); vacío si el corte es bueno. En `palabra`, la palabra partida en minúsculas. En
// la página (`enLaPagina`) manda además la lista en sus palabras y cuentan las reglas de libro.
inline QString Juzgar(const QString& izquierda, const QString& derecha, QString& palabra,
                      bool enLaPagina = true) {
  const QString L = QRegularExpression(QStringLiteral("\\p{L}+$")).match(izquierda).captured().toLower();
  const QString R = QRegularExpression(QStringLiteral("^\\p{L}+")).match(derecha).captured().toLower();
  if (L.isEmpty() || R.isEmpty())
    return QStringLiteral("junto a un signo, una cifra o nada");
  for (const QChar c : izquierda + derecha)
    if (c.isDigit() || c == u'\'' || c == u'’')
      return QStringLiteral("dentro de un número o de un nombre con apóstrofo");
  palabra = L + R;
  if (L.size() < 2 || R.size() < 2)
    return QStringLiteral("deja una letra sola");
  // En sus palabras manda la lista, que sabe de prefijos.
  if (const auto k = Lista().conocidas.constFind(palabra); enLaPagina && k != Lista().conocidas.cend())
    return k->contains(int(L.size())) ? JuzgarLibro(L, R) : QStringLiteral("no es una de sus divisiones");
  int a = int(L.size()), b = a;
  while (a > 0 && !VocalEn(palabra, a - 1))
    --a;
  while (b < palabra.size() && !VocalEn(palabra, b))
    ++b;
  if (a == 0 || b == palabra.size())
    return QStringLiteral("una parte sin vocal");
  // Entre dos vocales, la sílaba de la derecha empieza por la última consonante (ch, ll, rr, qu y gu
  // cuentan como una) o por las dos últimas si van juntas; no tras el prefijo sub-, que se queda su b
  // (sub-ra-yar, sub-lu-nar), salvo en la familia de sublime, que no lo lleva.
  const QString grupo = palabra.mid(a, b - a);
  QStringList c;
  for (int k = 0; k < grupo.size(); k += int(c.back().size()))
    c << grupo.mid(k, Digrafo(grupo.mid(k, 2)) ? 2 : 1);
  const bool sub = a == 2 && palabra.startsWith(u"sub") &&
                   (!palabra.startsWith(u"sublim") || palabra.startsWith(u"sublimin"));
  const qsizetype n = c.size(),
                  m = n > 1 && !sub && Grupo(c[n - 2] + c[n - 1]) ? 2 : std::min<qsizetype>(n, 1);
  if (n - m > 2 || palabra.mid(L.size(), b - L.size()) != c.mid(n - m).join(QString()) || R.startsWith(u"tl"))
    return QStringLiteral("la sílaba de la derecha no empieza ahí");
  // Una h entre vocales no rompe el diptongo (prohi-bir), salvo que empiece sílaba con una débil y otra vocal
  // (ca-ca-hue-te, re-huir).
  const bool hue = R.size() > 2 && Debil(R[1]) && VocalEn(R, 2);
  if (n == 0 ? Diptongo(L.back(), R.front()) : grupo == u"h" && !hue && Diptongo(L.back(), R[1]))
    return QStringLiteral("parte un diptongo");
  return enLaPagina ? JuzgarLibro(L, R) : QString();
}

// Las sílabas de una palabra en minúsculas: sus vocales, contando una vez las que hacen diptongo.
inline int Silabas(const QString& palabra) {
  int n = 0;
  for (int i = 0; i < palabra.size(); ++i)
    n += VocalEn(palabra, i) && !(i > 0 && VocalEn(palabra, i - 1) && Diptongo(palabra[i - 1], palabra[i]));
  return n;
}

// Lo que sale de juzgar cada línea acabada en guion con la primera palabra de la siguiente, y las líneas
// seguidas con guion y la última de cada párrafo (la que va antes de una vacía o de una cabecera).
struct Resultado {
  int lineas = 0, guiones = 0, conocidas = 0; // conocidas: cortes en palabras de la lista
  int escalera = 0;                           // la mayor tanda de líneas seguidas con guion
  QStringList malos;
};

inline Resultado JuzgarLineas(const QStringList& lineas) {
  Resultado r{int(lineas.size()), 0, 0, 0, {}};
  int seguidas = 0, delParrafo = 0;
  for (int k = 0; k < lineas.size(); ++k) {
    const QString& l = lineas[k];
    const bool fin = k + 1 == lineas.size() || lineas[k + 1].isEmpty() || lineas[k + 1].startsWith(u"*n*");
    delParrafo = l.isEmpty() || l.startsWith(u"*n*") ? 0 : delParrafo + 1;
    const QString sola = l.trimmed().toLower().remove(QRegularExpression(QStringLiteral("[^\\p{L} ]")));
    if (fin && delParrafo > 1 && !sola.contains(u' ') && Silabas(sola) < 2)
      r.malos << QStringLiteral("%1|%2: la última línea del párrafo es de una sílaba").arg(lineas[k - 1], l);
    seguidas = l.endsWith(u'-') ? seguidas + 1 : 0;
    r.escalera = std::max(r.escalera, seguidas);
    if (seguidas == 3)
      r.malos
          << QStringLiteral("%1|%2|%3: tres líneas seguidas con guion").arg(lineas[k - 2], lineas[k - 1], l);
    if (!l.endsWith(u'-') || k + 1 == lineas.size())
      continue;
    ++r.guiones;
    const QString izquierda = lineas[k].chopped(1).split(u' ').constLast();
    const QString derecha = lineas[k + 1].trimmed().split(u' ').constFirst();
    QString palabra;
    const QString motivo = Juzgar(izquierda, derecha, palabra);
    r.conocidas += Lista().conocidas.contains(palabra);
    if (!motivo.isEmpty())
      r.malos << izquierda + QStringLiteral("-|") + derecha + QStringLiteral(": ") + motivo;
  }
  return r;
}

} // namespace Cortes
