#include "printing/ComponerTexto.h"

#include "interpretation/AlmacenTextos.h"
#include "platform/Basico.h"
#include "platform/Impresora.h"
#include "printing/Silabas.h"
#include "printing/SuperficieMedida.h"

namespace {
// La ranura j de TextBuffer sin los blancos de la derecha; fuera de las
// ranuras 1 a 100, un índice fuera de rango.
QString registro(int j) {
  if (j < 1 || j >= RanurasTextBuffer || j >= int(TextBuffer.size()))
    throw ErrorEjecucion(ErrIndiceFueraDeRango);
  return QuitarBlancosDerecha(TextBuffer[std::size_t(j)].texto());
}

// La cabecera que corresponde a una marca de sección; vacía si la marca no
// es de ninguna sección conocida.
QString cabeceraDe(const QString& marca) {
  const QChar letra = marca.size() > 1 ? marca[1] : QChar();
  if (letra == QLatin1Char('D'))
    return QStringLiteral("*n*DECISIÓN");
  if (letra == QLatin1Char('C'))
    return QStringLiteral("*n*COMENTARIO");
  if (letra == QLatin1Char('I'))
    return QStringLiteral("*n*IMAGEN");
  if (letra == QLatin1Char('L'))
    return QStringLiteral("*n*LÍNEA ") + marca.mid(2, 1);
  return QString();
}

class Compositor {
public:
  Compositor(SuperficieMedida& s, const FuenteComposicion& f, double limite,
             const std::function<void(const QString&)>& escribir, const ReglasDeCorte& reglas)
      : s_(s), fuente_(f), limite_(limite), escribir_(escribir), reglas_(reglas) {}

  void componer() {
    s_.Cls();
    s_.setCurrentX(LeftMargin);
    for (int j = 1; j <= 100; ++j) {
      s_.setFontName(fuente_.nombre);
      const QString actual = registro(j);
      const QString siguiente = registro(j + 1);
      if (actual == QLatin1String("**")) {
        escribirPendiente();
        return;
      }
      if (actual.startsWith(QLatin1Char('*'))) {
        seccion(actual);
        continue;
      }
      texto(actual, siguiente);
    }
  }

private:
  void nuevaLinea() {
    s_.Cls();
    s_.setCurrentX(LeftMargin);
    cuenta_ = 0;
    linea_.clear();
  }

  void escribirLinea() {
    // La primera línea de un párrafo empieza por los blancos de su registro:
    // lleva la sangría de cinco blancos.
    if (linea_.startsWith(QLatin1String("  ")))
      linea_ = QStringLiteral("     ") + QuitarBlancos(linea_);
    // Las líneas seguidas que acaban en guion, para no hacer escaleras.
    guiones_ = linea_.endsWith(QLatin1Char('-')) ? guiones_ + 1 : 0;
    escribir_(linea_);
  }

  // Una línea a medio hacer cuando llega una marca (el párrafo anterior no
  // terminó en punto) se escribe antes, para que su texto no se pierda.
  void escribirPendiente() {
    if (!linea_.isEmpty())
      escribirLinea();
  }

  void seccion(const QString& marca) {
    const QString cabecera = cabeceraDe(marca);
    if (!cabecera.isEmpty())
      cabecera_ = cabecera;
    escribirPendiente();
    guiones_ = 0;
    escribir_(cabecera_);
    nuevaLinea();
    s_.setFontName(fuente_.nombre);
    s_.setFontSize(fuente_.tamano);
    s_.setFontBold(fuente_.negrita);
    s_.setFontUnderline(false);
    s_.setFontItalic(fuente_.cursiva);
  }

  void texto(const QString& r, const QString& siguiente) {
    s_.setFontName(fuente_.nombre);
    s_.setFontSize(fuente_.tamano);
    s_.setFontBold(fuente_.negrita);
    s_.setFontItalic(fuente_.cursiva);
    // Los registros de un párrafo se juntan con un blanco, que se mide
    // pero no es sitio de corte.
    if (cuenta_ > 0) {
      s_.Print(QLatin1Char(' '));
      linea_ += QLatin1Char(' ');
    }
    const int largo = int(r.size());
    // El registro acaba el párrafo: lo que quede de él tras un corte es la
    // última línea del párrafo.
    const bool ultimoDelParrafo =
        (r.endsWith(QLatin1Char('.')) && siguiente.startsWith(QLatin1String("  "))) ||
        siguiente.startsWith(QLatin1Char('*'));
    // ¿Quedaría en la última línea del párrafo, tras cortar antes de la
    // posición k (desde 0), menos sílabas de las que pide la regla?
    const auto ultimaCorta = [&](int k) {
      if (!ultimoDelParrafo)
        return false;
      const QStringView resto = QStringView(r).mid(k).trimmed();
      if (resto.contains(QLatin1Char(' ')))
        return false;
      qsizetype letras = 0;
      while (letras < resto.size() && resto[letras].isLetter())
        ++letras;
      return ContarSilabas(resto.left(letras)) < reglas_.silabasUltimaLinea;
    };
    // Dónde admite el castellano partir cada palabra del registro: se mira
    // una vez por registro, no en cada carácter.
    const std::vector<bool> cortes = PuntosDeCorte(r, reglas_);
    // ¿Se puede poner un guion tras el carácter k (desde 1)?
    const auto guionTras = [&](int k) {
      return k <= largo - 2 && cortes[std::size_t(k)] && guiones_ < reglas_.guionesSeguidos &&
             !ultimaCorta(k);
    };
    for (int k = 1; k <= largo; ++k) {
      ++cuenta_;
      caracter_ = r[k - 1];
      s_.Print(caracter_);
      linea_ += caracter_;
      if (s_.CurrentX() <= limite_)
        continue;
      if (caracter_ == QLatin1Char(' ')) {
        // Corte en un blanco: el blanco se queda al final de la línea. Si lo
        // que queda del párrafo es una sola palabra de una sílaba, baja con
        // ella la última palabra de esta línea.
        if (ultimaCorta(k) && bajarPalabras(1))
          continue;
        escribirLinea();
        nuevaLinea();
        continue;
      }
      if (guionTras(k)) {
        linea_ += QLatin1Char('-');
        escribirLinea();
        nuevaLinea();
        continue;
      }
      // Si en lo que queda de la palabra no hay un corte que cumpla las
      // reglas, la línea acaba antes de ella, un poco corta; si la palabra
      // es la última del párrafo y de una sílaba, baja con la anterior.
      int inicio = k - 1, fin = k;
      while (inicio > 0 && r[inicio - 1] != QLatin1Char(' '))
        --inicio;
      while (fin < largo && r[fin] != QLatin1Char(' '))
        ++fin;
      bool quedaCorte = false;
      for (int j = k + 1; j < fin && !quedaCorte; ++j)
        quedaCorte = guionTras(j);
      if (!quedaCorte)
        bajarPalabras(ultimaCorta(inicio) ? 2 : 1);
    }
    // Fin de párrafo: un punto y, después, un párrafo nuevo o una sección.
    if (caracter_ == QLatin1Char('.') &&
        (siguiente.startsWith(QLatin1String("  ")) || siguiente.startsWith(QLatin1Char('*')))) {
      escribirLinea();
      escribir_(QString());
      nuevaLinea();
    }
  }

  // Escribe la línea hasta el blanco de `blanco`, si tiene texto delante, y
  // empieza otra con lo que va detrás; false si no lo tiene.
  bool partirEnBlanco(qsizetype blanco) {
    if (blanco < 0 || QStringView(linea_).left(blanco).trimmed().isEmpty())
      return false;
    const QString baja = linea_.mid(blanco + 1);
    linea_.truncate(blanco + 1);
    escribirLinea();
    nuevaLinea();
    for (const QChar c : baja) {
      s_.Print(c);
      linea_ += c;
    }
    cuenta_ = int(baja.size());
    return true;
  }

  // Las `n` últimas palabras de la línea (sin contar los blancos del final)
  // pasan a la siguiente; si no caben tantas, las que se pueda, y ninguna si
  // la línea sólo tiene una.
  bool bajarPalabras(int n) {
    for (; n > 0; --n) {
      qsizetype blanco = linea_.size();
      for (int i = 0; i < n && blanco > 0; ++i) {
        while (blanco > 0 && linea_[blanco - 1] == QLatin1Char(' '))
          --blanco;
        blanco = blanco > 0 ? linea_.lastIndexOf(QLatin1Char(' '), blanco - 1) : -1;
      }
      if (blanco > 0 && partirEnBlanco(blanco))
        return true;
    }
    return false;
  }

  SuperficieMedida& s_;
  const FuenteComposicion& fuente_;
  double limite_;
  const std::function<void(const QString&)>& escribir_;
  const ReglasDeCorte& reglas_;
  int guiones_ = 0;
  QString linea_;
  int cuenta_ = 0;
  QChar caracter_;
  QString cabecera_;
};
} // namespace

bool EsVocal(const QString& c) {
  if (c.size() != 1)
    return false;
  static const QString vocales = QStringLiteral("aeiouáéíóú");
  return vocales.contains(c.toLower());
}

void ComponerTexto(SuperficieMedida& printer2, const FuenteComposicion& fuente, double lineLimit,
                   const std::function<void(const QString&)>& escribirLinea, const ReglasDeCorte& reglas) {
  Compositor(printer2, fuente, lineLimit, escribirLinea, reglas).componer();
}

QStringList PartirSinGuion(const QString& texto, double ancho,
                           const std::function<double(const QString&)>& medir) {
  QStringList lineas;
  QString resto = texto;
  while (medir(resto) > ancho) {
    // El trozo más largo que cabe y acaba en una palabra entera.
    qsizetype corte = -1;
    for (qsizetype i = 1; i < resto.size(); ++i) {
      if (resto[i] != QLatin1Char(' ') || resto[i - 1] == QLatin1Char(' '))
        continue;
      if (medir(resto.left(i)) > ancho)
        break;
      corte = i;
    }
    if (corte < 0) {
      // Una palabra más larga que la línea: se corta donde llegue.
      corte = 1;
      while (corte < resto.size() && medir(resto.left(corte + 1)) <= ancho)
        ++corte;
    }
    lineas << resto.left(corte);
    resto = resto.mid(corte);
    while (resto.startsWith(QLatin1Char(' ')))
      resto.remove(0, 1);
  }
  lineas << resto;
  return lineas;
}
