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
             const std::function<void(const QString&)>& escribir)
      : s_(s), fuente_(f), limite_(limite), escribir_(escribir) {}

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
    escribir_(cabecera_);
    nuevaLinea();
    s_.setFontName(fuente_.nombre);
    s_.setFontSize(fuente_.tamano);
    s_.setFontBold(false);
    s_.setFontUnderline(false);
  }

  void texto(const QString& r, const QString& siguiente) {
    s_.setFontName(fuente_.nombre);
    s_.setFontSize(fuente_.tamano);
    // Los registros de un párrafo se juntan con un blanco, que se mide
    // pero no es sitio de corte.
    if (cuenta_ > 0) {
      s_.Print(QLatin1Char(' '));
      linea_ += QLatin1Char(' ');
    }
    const int largo = int(r.size());
    // Dónde admite el castellano partir cada palabra del registro: se mira
    // una vez por registro, no en cada carácter.
    const std::vector<bool> cortes = PuntosDeCorte(r);
    for (int k = 1; k <= largo; ++k) {
      ++cuenta_;
      caracter_ = r[k - 1];
      s_.Print(caracter_);
      linea_ += caracter_;
      if (s_.CurrentX() > limite_ && caracter_ == QLatin1Char(' ')) {
        // Corte en un blanco: el blanco se queda al final de la línea.
        escribirLinea();
        nuevaLinea();
      }
      if (s_.CurrentX() > limite_ && caracter_ != QLatin1Char(' ') && k <= largo - 2 &&
          cortes[std::size_t(k)]) {
        linea_ += QLatin1Char('-');
        escribirLinea();
        nuevaLinea();
      }
    }
    // Fin de párrafo: un punto y, después, un párrafo nuevo o una sección.
    if (caracter_ == QLatin1Char('.') &&
        (siguiente.startsWith(QLatin1String("  ")) || siguiente.startsWith(QLatin1Char('*')))) {
      escribirLinea();
      escribir_(QString());
      nuevaLinea();
    }
  }

  SuperficieMedida& s_;
  const FuenteComposicion& fuente_;
  double limite_;
  const std::function<void(const QString&)>& escribir_;
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
                   const std::function<void(const QString&)>& escribirLinea) {
  Compositor(printer2, fuente, lineLimit, escribirLinea).componer();
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
