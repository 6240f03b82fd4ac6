#pragma once
// Lo que un lector español espera de una palabra partida a final de línea,
// escrito aquí sin usar la división del programa: una lista de palabras y
// frases con sus divisiones, hecha a mano, y un juez de cortes que sólo mira
// las dos partes de cada palabra partida.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace Cortes {

// "-" es un sitio donde se puede partir; "·", un límite de sílaba donde no se
// parte porque quedaría una letra sola o porque el corte es dudoso (tl);
// "+", el sitio tras un prefijo, que se admite además de los silábicos.
inline const QStringList& Lista() {
  static const QStringList lista = {
      // Una consonante entre vocales va con la segunda.
      "ca-sa", "he-xa-gra-ma", "pe-lo", "mo-ne-da", "ca-mi-no", "sa-ber", "la-go", "ca-rác-ter",
      "na-tu-ra-le-za", "pe-li-gro", "ma-ña-na", "se-ño-ra", "ta-xi", "é·xi-to", "e·xa-men", "a·ca-bar",
      // ch, ll y rr son una sola consonante.
      "no-che", "ca-lle", "pe-rro", "mu-cha-cho", "ca-ba-llo", "tie-rra", "es-tre-lla", "co-rre-gir",
      "lle-var", "a·rri-ba", "an-cho", "con-lle-var", "hon-ra", "al-re-de-dor", "en-re-do",
      // Los grupos que no se separan.
      "o·tro", "ma-dre", "tri-gra-ma", "en-cuen-tra", "pa-la-bra", "ha-bla", "hom-bre", "do-ble", "ne-gro",
      "so-bre", "si-glo", "a·gra-da-ble", "flo-re-cer", "re-fle-jo", "cua-dro", "pue-blo", "li-bro",
      "a·cla-rar", "a·pren-der", "so-plo", "cri-sis", "de-cre-to", "ti-gre", "re-frán",
      // Tres y cuatro consonantes.
      "cons-truir", "ins-truc-ción", "obs-tá-cu-lo", "ins-tan-te", "trans-for-mar", "abs-trac-to",
      "obs-cu-ro", "pers-pec-ti-va", "cons-tan-cia", "ins-pi-rar", "com-pren-der", "em-pren-der", "ham-bre",
      "en-tra-da", "cum-bre", "siem-pre", "nom-bre", "mien-tras", "den-tro", "cons-tru-ye", "ist-mo",
      "mons-truo", "ex-tra-ño", "ex-pli-car", "com-ple-to", "am-plio",
      // Diptongos.
      "cau-sa", "ciu-dad", "bue-no", "pin-güi-no", "ver-güen-za", "cui-da-do", "vien-to", "fue-go", "gua-po",
      "ai-re", "pei-ne", "oi-go", "deu-da", "fuer-za", "hue-co", "cie-lo", "sue-lo", "lue-go", "cuan-do",
      "a·gua", "an-ti-guo", "cien-cia", "pa-cien-cia", "jui-cio", "true-no", "viu-da", "Eu-ro-pa", "rei-no",
      "au-sen-cia", "aun-que",
      // Triptongos.
      "buey", "U·ru-guay", "a·ve-ri-guáis", "es-tu-diáis", "lim-piéis", "miau",
      // Hiatos.
      "po-e-sí·a", "pa-ís", "ba-úl", "Ma-rí·a", "dí·a", "tí·o", "ca-er", "re-ír", "le-er", "cre-er",
      "hé-ro·e", "ca-ca·o", "ma-íz", "le-ón", "re-a-li-dad", "te-a-tro", "po-e-ta", "o·í-do", "a·é-re·o",
      "em-ple-a-do", "ve-í-a-mos", "e·ner-gí·a", "cre-a-do-ra", "i·de·a",
      // La h entre vocales.
      "a·ho-ra", "bú-ho", "re-hén", "des-ha-cer", "in-hu-ma-no", "al-co-hol", "co-he-te", "ve-hí-cu-lo",
      "ex-hi-bir", "an-he-lo", "prohi-bir", "ahu-mar", "de-he-sa", "za-na-ho-ria", "a·hí", "va-ho",
      "que-ha-cer",
      // Ninguna vocal sola a un lado.
      "u·na", "a·sí", "e·xi-ge", "o·jo", "e·so", "a·mor", "í·do-lo", "a·bri-go", "o·cul-to",
      // La y.
      "ma-yo", "rey", "re-yes", "hoy", "muy", "a·yu-da", "ha-ya", "yu-go", "ley", "le-yes", "cón-yu-ge",
      // qu y gu.
      "gue-rra", "gui-ta-rra", "que-so", "a·quí", "quie-ro", "al-guien", "si-guien-te", "pe-que-ño",
      "ci-güe-ña", "a·ve-ri-güe", "se-guir",
      // Dos consonantes que no son grupo.
      "ac-ción", "in-na-to", "ad-qui-rir", "ab-ne-ga-ción", "ap-to", "ad-mi-tir", "ig-no-rar", "am-nis-tí·a",
      "sub-ma-ri-no", "psi-co-lo-gí·a",
      // Prefijos, y palabras que lo parecen sin serlo.
      "de-s+a-tar", "sub-ra-yar", "sub-ra-ya-do", "de-s+or-den", "de-s+a-ni-mar", "de-s+i-gual",
      "de-s+es-pe-rar", "de-s+a-cuer-do", "de-s+en-la-ce", "su-b+or-di-na-do", "de-se·o", "de-se-ar",
      "de-s+e-cha", "de-sier-to", "de-sig-nio", "de-sas-tre", "su-bir", "su-bli-me",
      // tl: en España at-le-ta, en América a-tle-ta; no se parte ahí.
      "at·le-ta", "at·las", "At·lán-ti-co", "tran-sat·lán-ti-co",
      // Mayúsculas.
      "IN-TER-PRE-TA-CIÓN", "PIN-GÜI-NO", "PRA-DO", "BLAN-CO",
      // Palabras frecuentes de los textos.
      "per-se-ve-ra", "pro-pó-si-to", "a·pro-ve-cha", "se-re-ni-dad", "dra-gón", "re-co-rre", "so-ber-bia",
      "e·jer-ci-cio", "es-ta-cio-nes", "mo-vi-mien-to", "vo-lun-tad", "in-te-rior", "des-ti-no", "cam-bio",
      "ex-ce-so", "hu-mil-dad", "su-pe-rior", "in-fe-rior", "mon-ta-ña", "fir-me-za", "cla-ri-dad",
      "con-fian-za", "de-ci-sión", "co-men-ta-rio", "i·ma-gen", "di-fi-cul-tad", "ver-da-de-ro", "jus-ti-cia",
      "pru-den-cia", "tra-ba-jo", "fru-to", "cons-tan-te", "pue-de", "pa-ra", "no-ble", "tiem-po", "pe-ro",
      "ven-tu-ra", "mo-men-to", "co-mo", "ca-da", "al-go", "con-vie-ne", "tie-ne", "só-lo", "si-no", "que-da",
      "por-que", "mis-mo", "me-jor", "gran-des", "des-de", "de-ja", "to-dos", "to-da-ví·a", "quie-re",
      "pun-to", "pue-den", "per-so-nas", "ne-ce-si-ta", "me-dio", "fal-ta", "es-tá", "en-ton-ces",
      "co-ra-zón", "bue-na", "vol-ver", "vis-ta", "vio-len-cia", "ter-mi-na", "sos-tie-ne", "sin-ce-ri-dad",
      "res-pon-sa-ble", "re-ci-be", "rec-ti-tud", "pron-to", "pre-ci-sa-men-te", "po-si-ción", "par-ti-da",
      "o·fren-das", "mun-do", "mue-ve", "man-tie-ne", "lle-ga", "in-fluen-cia", "im-pi-de", "hon-ra-dez",
      "ha-cia", "ha-ber", "guar-da", "gen-te", "fuer-te", "fue-ra", "fren-te", "for-tu-na", "es-pe-rar",
      "em-pre-sa", "don-de", "de-ma-sia-do", "de-lan-te", "con-se-jo", "co-mu-ni-dad", "cir-cuns-tan-cias",
      "a·ten-ción", "a·sun-tos", "a·sien-ta", "a·rre-pen-ti-mien-to", "a·rras-trar", "a·pren-de", "an-ta-ño",
      "a·de-lan-te", "a·ba-jo", "vuel-ve", "vir-tud", "vic-to-ria", "ver-dad", "ven-drá", "ve-ne-no-so",
      "va-lio-so", "u·ni-dos", "tro-pie-zo", "ú·ni-co", "á·ni-mo",
      // Frases: la puntuación, los números y los nombres con apóstrofo.
      "¿Qué ha-ces?", "«Si lle-gas»", "(se-gún)", "¡A·de-lan-te!", "—sus-ten-to", "ca-sa, fin.", "¿A·dón-de?",
      "Ch'ien", "K'an", "K'un, la tie-rra", "1998", "64 he-xa-gra-mas", "3.000 a·ños", "Hsia·o Ch'u"};
  return lista;
}

// Una entrada de la lista sin marcas, con sus sitios de corte y sus límites
// de sílaba (posiciones en el texto sin marcas).
struct Entrada {
  QString texto;
  QSet<int> cortes;
  QList<int> silabas;
};

inline Entrada Leer(const QString& marcada) {
  Entrada e;
  for (const QChar c : marcada) {
    const int p = int(e.texto.size());
    if (c == u'-') {
      e.cortes.insert(p);
      e.silabas << p;
    } else if (c == u'·') {
      e.silabas << p;
    } else if (c == u'+') {
      e.cortes.insert(p);
    } else {
      e.texto += c;
    }
  }
  return e;
}

// Las palabras sueltas de la lista, en minúsculas, con sus sitios de corte.
inline const QHash<QString, QSet<int>>& Conocidas() {
  static const QHash<QString, QSet<int>> conocidas = [] {
    QHash<QString, QSet<int>> r;
    for (const QString& m : Lista()) {
      const Entrada e = Leer(m);
      if (std::all_of(e.texto.cbegin(), e.texto.cend(), [](QChar c) { return c.isLetter(); }))
        r.insert(e.texto.toLower(), e.cortes);
    }
    return r;
  }();
  return conocidas;
}

inline bool Fuerte(QChar c) {
  return QStringLiteral("aeoáéó").contains(c);
}
inline bool Tonica(QChar c) {
  return QStringLiteral("íú").contains(c);
}
inline bool Debil(QChar c) {
  return QStringLiteral("iuüy").contains(c);
}

// Dos vocales seguidas que se pronuncian en una sola sílaba.
inline bool Diptongo(QChar a, QChar b) {
  if (Tonica(a) || Tonica(b) || (Fuerte(a) && Fuerte(b)))
    return false;
  if (Debil(a) && Debil(b))
    return a != b && !(QStringLiteral("iy").contains(a) && QStringLiteral("iy").contains(b));
  return (Fuerte(a) || Debil(a)) && (Fuerte(b) || Debil(b));
}

// ¿Es vocal la letra i de s (minúsculas)? La y sólo cuando no la sigue una
// vocal; la u de que, qui, gue y gui no suena.
inline bool VocalEn(const QString& s, int i) {
  const QChar c = s[i];
  if (c == u'y')
    return i + 1 >= s.size() || !VocalEn(s, i + 1);
  if (c == u'u' && i > 0 &&
      (s[i - 1] == u'q' ||
       (s[i - 1] == u'g' && i + 1 < s.size() && QStringLiteral("eéií").contains(s[i + 1]))))
    return false;
  return Fuerte(c) || Tonica(c) || Debil(c);
}

// Cuántas consonantes (ch, ll, rr, qu, gu como una) tiene `grupo`.
inline int Consonantes(const QString& grupo) {
  int n = 0;
  for (int i = 0; i < grupo.size(); ++i) {
    const QString par = grupo.mid(i, 2);
    if (par == u"ch" || par == u"ll" || par == u"rr" || par == u"qu" || par == u"gu")
      ++i;
    ++n;
  }
  return n;
}

inline bool Grupo(const QString& dos) {
  static const QStringList grupos = {"pl", "pr", "bl", "br", "fl", "fr", "tr", "dr",
                                     "cl", "cr", "gl", "gr", "kl", "kr", "tl"};
  return grupos.contains(dos);
}

// Por qué está mal partir una palabra en `izquierda`- y `derecha` (la última
// palabra de una línea sin su guion y la primera de la siguiente); vacío si
// el corte es bueno.
inline QString Juzgar(const QString& izquierda, const QString& derecha) {
  if (izquierda.isEmpty() || derecha.isEmpty())
    return QStringLiteral("una parte vacía");
  if (!izquierda.back().isLetter())
    return QStringLiteral("tras un signo o una cifra");
  if (!derecha.front().isLetter())
    return QStringLiteral("ante un signo o una cifra");
  for (const QChar c : izquierda + derecha) {
    if (c.isDigit())
      return QStringLiteral("dentro de un número");
    if (c == u'\'' || c == u'’')
      return QStringLiteral("en un nombre con apóstrofo");
  }
  qsizetype i = izquierda.size();
  while (i > 0 && izquierda[i - 1].isLetter())
    --i;
  qsizetype j = 0;
  while (j < derecha.size() && derecha[j].isLetter())
    ++j;
  const QString L = izquierda.mid(i).toLower(), R = derecha.left(j).toLower(), palabra = L + R;
  if (L.size() < 2 || R.size() < 2)
    return QStringLiteral("deja una letra sola");
  int vocalesL = 0, vocalesR = 0;
  for (int k = 0; k < palabra.size(); ++k)
    (k < L.size() ? vocalesL : vocalesR) += VocalEn(palabra, k);
  if (vocalesL == 0 || vocalesR == 0)
    return QStringLiteral("una parte sin vocal");
  // La lista sabe de prefijos; sin ella, la parte de la izquierda es sílaba.
  const auto conocida = Conocidas().constFind(palabra);
  const bool tras = conocida != Conocidas().cend();
  if (tras && !conocida->contains(int(L.size())))
    return QStringLiteral("no es una de sus divisiones");
  const bool prefijo = tras && (L == u"des" || L == u"sub");
  if (!prefijo && Grupo(QString(L.back()) + R.front()))
    return QStringLiteral("separa el grupo «%1%2»").arg(L.back()).arg(R.front());
  const QString par = QString(L.back()) + R.front();
  if (par == u"ch" || par == u"ll" || par == u"rr" || par == u"qu")
    return QStringLiteral("separa «%1»").arg(par);
  if (R.startsWith(u"tl"))
    return QStringLiteral("antes de tl");
  int a = int(L.size());
  while (a > 0 && !VocalEn(palabra, a - 1))
    --a;
  int b = int(L.size());
  while (b < palabra.size() && !VocalEn(palabra, b))
    ++b;
  const QString finL = palabra.mid(a, L.size() - a), principioR = palabra.mid(L.size(), b - L.size());
  if (Consonantes(finL) > 2)
    return QStringLiteral("deja tres consonantes al final");
  if (principioR.isEmpty()) {
    if (!finL.isEmpty() && !prefijo)
      return QStringLiteral("separa una consonante de su vocal");
    if (finL.isEmpty() && Diptongo(L.back(), R.front()))
      return QStringLiteral("parte un diptongo");
  } else if (Consonantes(principioR) > 2 || (Consonantes(principioR) == 2 && !Grupo(principioR))) {
    return QStringLiteral("la segunda parte empieza con consonantes que no van juntas");
  } else if (principioR == u"h" && finL.isEmpty() && R.size() > 1 && Diptongo(L.back(), R[1])) {
    return QStringLiteral("parte un diptongo con h en medio");
  }
  return QString();
}

// Lo que sale de juzgar todas las palabras partidas de unas líneas.
struct Resultado {
  int lineas = 0;
  int guiones = 0;
  int conocidas = 0; // cortes en palabras de la lista
  QStringList malos;
};

// Juzga cada línea acabada en guion con la primera palabra de la siguiente.
inline Resultado JuzgarLineas(const QStringList& lineas) {
  Resultado r;
  r.lineas = int(lineas.size());
  for (int k = 0; k + 1 < lineas.size(); ++k) {
    const QString linea = lineas[k];
    if (!linea.endsWith(u'-'))
      continue;
    ++r.guiones;
    const QString izquierda = linea.chopped(1).split(u' ').constLast();
    const QString derecha = lineas[k + 1].trimmed().split(u' ').constFirst();
    qsizetype i = izquierda.size(), j = 0;
    while (i > 0 && izquierda[i - 1].isLetter())
      --i;
    while (j < derecha.size() && derecha[j].isLetter())
      ++j;
    r.conocidas += Conocidas().contains((izquierda.mid(i) + derecha.left(j)).toLower());
    const QString motivo = Juzgar(izquierda, derecha);
    if (!motivo.isEmpty())
      r.malos << izquierda + QStringLiteral("-|") + derecha + QStringLiteral(": ") + motivo;
  }
  return r;
}

} // namespace Cortes
