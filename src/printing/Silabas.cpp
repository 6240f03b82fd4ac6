#include "printing/Silabas.h"

#include <QStringList>

namespace {
enum class Clase : unsigned char {
  Consonante,
  Fuerte,      // a, e, o, con tilde o sin ella
  DebilTonica, // í, ú: la tilde deshace el diptongo
  Debil,       // i, u, ü y la y que suena como i
};

// Una letra en minúscula, sin tilde, con lo que su marca dice de ella.
struct Letra {
  char16_t base = 0;
  Clase clase = Clase::Consonante;
  bool dieresis = false;
  bool unidaAnterior = false; // forma una sola consonante con la anterior (ch, ll, rr, qu, gu)
};

constexpr char16_t AcentoAgudo = 0x301;
constexpr char16_t AcentoGrave = 0x300;
constexpr char16_t Dieresis = 0x308;

Letra analizar(QChar c) {
  const QChar minuscula = c.toLower();
  Letra l;
  l.base = minuscula.unicode();
  char16_t marca = 0;
  if (minuscula.decompositionTag() == QChar::Canonical) {
    const QString d = minuscula.decomposition();
    if (d.size() == 2) {
      l.base = d[0].unicode();
      marca = d[1].unicode();
    }
  }
  switch (l.base) {
  case u'a':
  case u'e':
  case u'o':
    l.clase = Clase::Fuerte;
    break;
  case u'i':
  case u'u':
    l.clase = marca == AcentoAgudo || marca == AcentoGrave ? Clase::DebilTonica : Clase::Debil;
    l.dieresis = marca == Dieresis;
    break;
  default:
    l.clase = Clase::Consonante;
    break;
  }
  return l;
}

bool esVocal(const Letra& l) {
  return l.clase != Clase::Consonante;
}

// La i y la y valen lo mismo al decidir si dos débiles iguales hacen hiato.
char16_t sonido(const Letra& l) {
  return l.base == u'y' ? u'i' : l.base;
}

// ¿Forman diptongo dos vocales seguidas?
bool diptongo(const Letra& a, const Letra& b) {
  if (a.clase == Clase::DebilTonica || b.clase == Clase::DebilTonica)
    return false;
  if (a.clase == Clase::Fuerte && b.clase == Clase::Fuerte)
    return false;
  if (a.clase == Clase::Debil && b.clase == Clase::Debil)
    return sonido(a) != sonido(b);
  return true;
}

// Las parejas de consonantes que empiezan sílaba juntas.
bool grupoInseparable(char16_t a, char16_t b) {
  if (b != u'l' && b != u'r')
    return false;
  switch (a) {
  case u'p':
  case u'b':
  case u'f':
  case u'c':
  case u'g':
  case u'k':
    return true;
  case u't':
  case u'd':
    return b == u'r';
  default:
    return false;
  }
}

// Las letras de una palabra ya clasificadas: la y, la u muda y los dígrafos.
std::vector<Letra> clasificar(QStringView palabra) {
  const int n = int(palabra.size());
  std::vector<Letra> l(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    l[std::size_t(i)] = analizar(palabra[i]);
  for (int i = 0; i < n; ++i) {
    Letra& x = l[std::size_t(i)];
    const Letra* antes = i > 0 ? &l[std::size_t(i - 1)] : nullptr;
    const Letra* despues = i + 1 < n ? &l[std::size_t(i + 1)] : nullptr;
    // La y suena como vocal cuando no la sigue otra vocal (rey, hoy, muy).
    if (x.base == u'y')
      x.clase = despues && esVocal(*despues) ? Clase::Consonante : Clase::Debil;
    if (!antes)
      continue;
    // La u de qu y la de gue, gui no suenan: son parte de la consonante.
    const bool anteEoI = despues && (despues->base == u'e' || despues->base == u'i');
    if (x.base == u'u' && !x.dieresis && x.clase == Clase::Debil &&
        (antes->base == u'q' || (antes->base == u'g' && anteEoI))) {
      x.clase = Clase::Consonante;
      x.unidaAnterior = true;
    }
    const bool digrafo = (antes->base == u'c' && x.base == u'h') || (antes->base == u'l' && x.base == u'l') ||
                         (antes->base == u'r' && x.base == u'r');
    if (digrafo && !antes->unidaAnterior)
      x.unidaAnterior = true;
  }
  return l;
}

// ¿Empieza la palabra (en minúsculas, sin marcas) por `prefijo`?
bool empiezaPor(const std::vector<Letra>& l, const char16_t* prefijo) {
  std::size_t i = 0;
  for (; prefijo[i]; ++i)
    if (i >= l.size() || l[i].base != prefijo[i])
      return false;
  return true;
}

// Tras "des" y "sub" sólo se parte por el prefijo cuando lo que sigue es una
// palabra que se reconoce sola (des-atar, des-orden); desear, desierto o
// subir no llevan prefijo, así que la lista es cerrada.
bool prefijoReconocido(QStringView palabra) {
  static const QStringList raices = {
      QStringLiteral("desacert"),  QStringLiteral("desacuerd"),   QStringLiteral("desahog"),
      QStringLiteral("desajust"),  QStringLiteral("desalent"),    QStringLiteral("desampar"),
      QStringLiteral("desanim"),   QStringLiteral("desánim"),     QStringLiteral("desaparec"),
      QStringLiteral("desaparez"), QStringLiteral("desapercib"),  QStringLiteral("desaprovech"),
      QStringLiteral("desarm"),    QStringLiteral("desat"),       QStringLiteral("desech"),
      QStringLiteral("desencant"), QStringLiteral("desengañ"),    QStringLiteral("desenlac"),
      QStringLiteral("desentend"), QStringLiteral("desequilibr"), QStringLiteral("desesper"),
      QStringLiteral("desigual"),  QStringLiteral("desorden"),    QStringLiteral("desorient"),
      QStringLiteral("subestim"),  QStringLiteral("subordin")};
  // Casi ninguna palabra empieza así: lo demás sólo se mira para éstas.
  if (palabra.size() < 5 ||
      !(palabra.startsWith(u"des", Qt::CaseInsensitive) || palabra.startsWith(u"sub", Qt::CaseInsensitive)))
    return false;
  for (const QString& r : raices)
    if (palabra.startsWith(r, Qt::CaseInsensitive))
      return true;
  return false;
}

// Los límites de sílaba sobre las letras ya clasificadas.
std::vector<int> limites(const std::vector<Letra>& l) {
  const int n = int(l.size());
  struct Nucleo {
    int inicio;
    int fin;
  };
  std::vector<Nucleo> nucleos;
  // La vocal que sigue a la de `i`, pegada o tras una h sola; -1 si no hay.
  const auto vocalSiguiente = [&](int i) {
    if (i + 1 < n && esVocal(l[std::size_t(i + 1)]))
      return i + 1;
    if (i + 2 < n && l[std::size_t(i + 1)].base == u'h' && !l[std::size_t(i + 1)].unidaAnterior &&
        esVocal(l[std::size_t(i + 2)]))
      return i + 2;
    return -1;
  };
  for (int i = 0; i < n;) {
    if (!esVocal(l[std::size_t(i)])) {
      ++i;
      continue;
    }
    Nucleo nu{i, i};
    bool conFuerte = l[std::size_t(i)].clase == Clase::Fuerte;
    for (int j = vocalSiguiente(nu.fin); j >= 0; j = vocalSiguiente(nu.fin)) {
      const Letra& v = l[std::size_t(j)];
      // Dos fuertes nunca van en la misma sílaba, tampoco con una débil
      // en medio: ésta se queda con la primera.
      if (!diptongo(l[std::size_t(nu.fin)], v) || (v.clase == Clase::Fuerte && conFuerte))
        break;
      nu.fin = j;
      conFuerte = conFuerte || v.clase == Clase::Fuerte;
    }
    nucleos.push_back(nu);
    i = nu.fin + 1;
  }

  // Tras el prefijo sub- la b no va con la r que sigue (sub-ra-yar), ni con la l de las pocas palabras que
  // también lo llevan (sub-lu-nar, sub-li-mi-nal); sublime, que no lo lleva, se parte su-bli-me.
  const bool subSeparada = empiezaPor(l, u"subr") || empiezaPor(l, u"sublu") || empiezaPor(l, u"sublimin") ||
                           empiezaPor(l, u"subling");
  std::vector<int> r;
  for (std::size_t k = 1; k < nucleos.size(); ++k) {
    const int desde = nucleos[k - 1].fin + 1, hasta = nucleos[k].inicio;
    // Las consonantes de en medio, cada dígrafo como una sola.
    std::vector<int> unidades;
    for (int p = desde; p < hasta; ++p)
      if (!l[std::size_t(p)].unidaAnterior)
        unidades.push_back(p);
    const auto sola = [&](std::size_t u) {
      const int p = unidades[u];
      return p + 1 >= hasta || !l[std::size_t(p + 1)].unidaAnterior;
    };
    const auto grupo = [&](std::size_t u) {
      const int p = unidades[u];
      if (subSeparada && p == 2)
        return false;
      return sola(u) && sola(u + 1) && grupoInseparable(l[std::size_t(p)].base, l[std::size_t(p + 1)].base);
    };
    const std::size_t c = unidades.size();
    if (c == 0)
      r.push_back(hasta);
    else if (c == 1)
      r.push_back(unidades[0]);
    else
      r.push_back(grupo(c - 2) ? unidades[c - 2] : unidades[c - 1]);
  }
  return r;
}

void cortesDePalabra(QStringView palabra, int desde, std::vector<bool>& puntos) {
  const std::vector<Letra> l = clasificar(palabra);
  const int n = int(l.size());
  std::vector<int> candidatos = limites(l);
  if (prefijoReconocido(palabra))
    candidatos.push_back(3);
  for (int p : candidatos) {
    if (p < 2 || n - p < 2)
      continue;
    const char16_t antes = l[std::size_t(p - 1)].base, aqui = l[std::size_t(p)].base;
    const char16_t despues = p + 1 < n ? l[std::size_t(p + 1)].base : 0;
    if ((antes == u't' && aqui == u'l') || (aqui == u't' && despues == u'l'))
      continue;
    puntos[std::size_t(desde + p)] = true;
  }
}

bool esApostrofo(QChar c) {
  return c == QLatin1Char('\'') || c == QChar(0x2019) || c == QChar(0x2018) || c == QLatin1Char('`') ||
         c == QChar(0xB4) || c == QChar(0x2BC);
}
} // namespace

std::vector<int> Silabear(QStringView palabra) {
  return limites(clasificar(palabra));
}

std::vector<bool> PuntosDeCorte(QStringView texto) {
  const int n = int(texto.size());
  std::vector<bool> puntos(std::size_t(n) + 1, false);
  for (int i = 0; i < n;) {
    if (texto[i].isSpace()) {
      ++i;
      continue;
    }
    int fin = i;
    bool vetada = false;
    for (; fin < n && !texto[fin].isSpace(); ++fin)
      vetada = vetada || texto[fin].isDigit() || esApostrofo(texto[fin]);
    // Cada tramo de letras de la palabra se parte por su cuenta.
    for (int a = i; !vetada && a < fin;) {
      if (!texto[a].isLetter()) {
        ++a;
        continue;
      }
      int b = a;
      while (b < fin && texto[b].isLetter())
        ++b;
      cortesDePalabra(texto.mid(a, b - a), a, puntos);
      a = b;
    }
    i = fin;
  }
  return puntos;
}
