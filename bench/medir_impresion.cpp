// Lo que cuesta imprimir un hexagrama con sus seis líneas cambiantes en un
// PDF, frente a dibujar esas mismas líneas ya compuestas sin componerlas, y
// lo que compone ComponerTexto por milisegundo; y cuántas líneas acaban en
// guion en los textos de los 64 hexagramas.
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Basico.h"
#include "platform/DialogosComunes.h"
#include "platform/Impresora.h"
#include "platform/Rutas.h"
#include "printing/ComponerTexto.h"
#include "printing/FRMImprimir.h"
#include "printing/SuperficieMedida.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double medirMs(int veces, const std::function<void()>& f) {
  std::vector<double> t;
  for (int i = 0; i < veces; ++i) {
    QElapsedTimer reloj;
    reloj.start();
    f();
    t.push_back(double(reloj.nsecsElapsed()) / 1e6);
  }
  return mediana(t);
}
} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTemporaryDir carpeta;
  FijarProgramDir(QStringLiteral(KORVAL_DIR_DATOS));
  FijarDirEscritura(carpeta.path());
  GuionMensajes::activar();
  LineBreak = QStringLiteral("\r\n");
  QString error;
  if (!LoadNameLists(&error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  CurrentLines = QStringLiteral("969696");
  ComputeComplement();
  CurrentQuestion = QStringLiteral("¿CÓMO ME IRÁ EN EL NUEVO OFICIO?");
  CargarBuffer(CurrentLines);

  FRMImprimir ventana;
  ventana.Actualiza(CurrentLines);
  ventana.Framehexagrama->setTitle(QStringLiteral("HEXAGRAMA PRINCIPAL"));
  Impresora& P = Printer();
  const QString pdf = QDir(carpeta.path()).filePath(QStringLiteral("medida.pdf"));
  const DialogoComun& fuente = *ventana.CMDPrint;

  // Las líneas compuestas, para dibujarlas luego sin componer.
  SuperficieMedidaQt medida;
  QStringList compuestas;
  const double limite = P.AnchoPagina() - RightReserve;
  ComponerTexto(medida, FuenteComposicion{fuente.FontName, fuente.FontSize}, limite,
                [&](const QString& l) { compuestas << l; });

  const auto imprimirHexagrama = [&] {
    P.ElegirFicheroPdf(pdf);
    ventana.Imprimir();
  };

  // El mismo trabajo con las líneas ya compuestas: el encabezado, el dibujo
  // y los textos, sin fichero temporal ni composición.
  const auto imprimirPlano = [&] {
    P.ElegirFicheroPdf(pdf);
    P.setFontName(QStringLiteral("Arial"));
    P.setFontSize(12);
    P.Print(QString(), true);
    P.setCurrentX(500);
    P.setCurrentY(100);
    P.setFontBold(true);
    P.Print(QStringLiteral("CONSULTA:"), false);
    P.setFontBold(false);
    P.Print(QLatin1Char(' ') + CurrentQuestion.trimmed(), true);
    P.setFontBold(true);
    for (const QString& t :
         {QString(), ventana.Framehexagrama->title(), QString(), ventana.TXTHEXAGRAMA[0]->text()}) {
      P.setCurrentX(500);
      P.Print(t, true);
    }
    for (int n = 6; n >= 1; --n) {
      const double y = 1350 + 200 * (7 - n) + (n <= 3 ? 150 : 0);
      if (CurrentLines.texto()[n - 1] == QLatin1Char('9')) {
        P.Line(500, y, 2000, y + 100, Qt::black, FormaLinea::CajaRellena);
        P.Circle(1250, y + 50, 70, Qt::black, Qt::white);
      } else {
        P.Line(500, y, 1100, y + 100, Qt::black, FormaLinea::CajaRellena);
        P.Line(1400, y, 2000, y + 100, Qt::black, FormaLinea::CajaRellena);
        P.Line(1200, y, 1300, y + 100, Qt::black, FormaLinea::Raya);
        P.Line(1200, y + 100, 1300, y, Qt::black, FormaLinea::Raya);
      }
    }
    P.setFontBold(false);
    P.Print(QString(), true);
    for (const QString& l : compuestas) {
      const bool cabecera = l.startsWith(QLatin1String("*n*"));
      P.setFontBold(cabecera);
      P.setFontUnderline(cabecera);
      P.setCurrentX(500);
      P.Print(cabecera ? l.mid(3) : l, true);
    }
    P.EndDoc();
  };

  // Alternadas, para que la carga de la máquina afecte a las dos por igual.
  std::vector<double> tiemposHexagrama, tiemposPlano;
  for (int i = 0; i < 31; ++i) {
    tiemposHexagrama.push_back(medirMs(1, imprimirHexagrama));
    tiemposPlano.push_back(medirMs(1, imprimirPlano));
  }
  const double hexagrama = mediana(tiemposHexagrama);
  const double plano = mediana(tiemposPlano);

  // La composición sola.
  qint64 caracteres = 0;
  for (int j = 1; j < RanurasTextBuffer && TextBuffer[std::size_t(j)].trimmed() != QLatin1String("**"); ++j)
    if (!TextBuffer[std::size_t(j)].texto().startsWith(QLatin1Char('*')))
      caracteres += QuitarBlancosDerecha(TextBuffer[std::size_t(j)].texto()).size();
  int lineas = 0;
  const double componer = medirMs(51, [&] {
    SuperficieMedidaQt s;
    lineas = 0;
    ComponerTexto(s, FuenteComposicion{fuente.FontName, fuente.FontSize}, limite,
                  [&](const QString&) { ++lineas; });
  });

  // Los guiones de los 64 hexagramas impresos como principales, con todas
  // sus líneas cambiantes (así salen todos sus textos), en la fuente de
  // siempre: qué parte de las líneas de texto acaba en guion y cuántas
  // seguidas lo hacen como mucho.
  int lineasTexto = 0, conGuion = 0, escalera = 0, seguidas = 0;
  for (int h = 0; h < 64; ++h) {
    QString lineas64;
    for (int n = 0; n < 6; ++n)
      lineas64 += (h >> n) & 1 ? QLatin1Char('9') : QLatin1Char('6');
    CargarBuffer(lineas64);
    SuperficieMedidaQt s;
    seguidas = 0;
    ComponerTexto(s, FuenteComposicion{}, limite, [&](const QString& l) {
      if (l.isEmpty() || l.startsWith(QLatin1String("*n*"))) {
        seguidas = 0;
        return;
      }
      ++lineasTexto;
      if (l.endsWith(QLatin1Char('-'))) {
        ++conGuion;
        escalera = std::max(escalera, ++seguidas);
      } else {
        seguidas = 0;
      }
    });
  }

  std::printf("print_hexagram_ms: %.2f ms\n", hexagrama);
  std::printf("print_plain_ms: %.2f ms\n", plano);
  std::printf("print_ratio: %.2f x\n", hexagrama / plano);
  std::printf("compose_chars_per_ms: %.0f chars/ms\n", double(caracteres) / componer);
  std::printf("print_hyphen_share: %.1f %%\n", 100.0 * conGuion / std::max(1, lineasTexto));
  std::printf("print_hyphen_ladder: %d lines\n", escalera);
  std::fprintf(stderr, "(%lld caracteres, %d líneas compuestas, %d líneas de texto)\n", caracteres, lineas,
               int(compuestas.size()));
  return 0;
}
