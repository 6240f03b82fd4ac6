// La composición de los textos impresos: la división contra la lista hecha a mano, cortes, párrafos y
// cabeceras con una medida de anchos fijos y los 64 hexagramas juzgados sin la división del programa.
#include "CortesCastellano.h"
#include "apoyo/Apoyo.h"
#include "interpretation/AlmacenTextos.h"
#include "platform/Impresora.h"
#include "printing/ComponerTexto.h"
#include "printing/Silabas.h"
#include "printing/SuperficieMedida.h"

#include <QFontInfo>

using namespace Qt::StringLiterals;

namespace {
// Cada carácter mide 100 twips: se sabe con qué carácter pasa la pluma el límite.
struct MedidaFija : SuperficieMedida {
  QString nombre;
  double tamano = 0, x = 0;
  void setFontName(const QString& n) override { nombre = n; }
  void setFontSize(double t) override { tamano = t; }
  void setFontBold(bool) override {}
  void setFontUnderline(bool) override {}
  void setFontItalic(bool) override {}
  void Cls() override { x = 0; }
  double CurrentX() const override { return x; }
  void setCurrentX(double nueva) override { x = nueva; }
  void Print(QChar) override { x += 100; }
};

} // namespace

class PruebaComposicion : public QObject {
  Q_OBJECT

private slots:
  void init() { PrepararEstado(false); }

  void vocales() {
    for (const QChar c : u"aeiouáéíóúAEIOUÁÉÍÓÚ"_s)
      QVERIFY2(EsVocal(QString(c)), qPrintable(QString(c)));
    for (const QString& c : u"y|Y|ü|Ü|ñ|b|7|.| ||ae|à|â"_s.split(u'|'))
      QVERIFY2(!EsVocal(c), qPrintable(u'[' + c + u']'));
  }

  void listaDeDivisiones() {
    // Cada entrada da sus sitios de corte y, si es una palabra, sus sílabas; el juez, sin mirar la lista,
    // dice lo mismo de cada corte de las palabras sin prefijo. La lista dice lo que admite el castellano: se
    // mira con las reglas de la página aflojadas hasta ahí (una letra sola, nunca).
    const ReglasDeCorte castellano{.letrasPalabra = 4, .letrasDespues = 2, .entreVocales = true};
    QVERIFY(Cortes::Lista().entradas.size() > 300);
    QStringList fallos;
    for (const Cortes::Entrada& e : Cortes::Lista().entradas) {
      QString p;
      for (int k = 1; Cortes::SoloLetras(e.texto) && !e.marcada.contains(u'+') && k < e.texto.size(); ++k)
        if (Cortes::Juzgar(e.texto.left(k), e.texto.mid(k), p, false).isEmpty() != e.cortes.contains(k))
          fallos << u"juez: "_s + e.texto.left(k) + u'-' + e.texto.mid(k);
      std::vector<bool> cortes(std::size_t(e.texto.size()) + 1);
      for (int k : e.cortes)
        cortes[std::size_t(k)] = true;
      const std::vector<int> s = Silabear(e.texto);
      if (PuntosDeCorte(e.texto, castellano) != cortes ||
          (Cortes::SoloLetras(e.texto) && QList<int>(s.begin(), s.end()) != e.silabas))
        fallos << e.marcada;
    }
    QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(u", "_s)));
  }

  void cortes() {
    // Cada caso de cortes.txt, con la fuente elegida, que es con la que se mide.
    const QStringList casos = Cortes::LineasDe(u"cortes.txt"_s);
    QVERIFY(casos.size() > 8);
    for (const QString& caso : casos) {
      const QStringList c = caso.split(u'\t');
      MedidaFija m;
      const double limite = c.value(1) == u"-" ? 1e9 : LeftMargin + 100.0 * c.value(1).toInt() - 50;
      const QStringList registros = c[0].split(u'|');
      for (int j = 1; j < RanurasTextBuffer; ++j) // tras los del caso, "BASURA", que nadie debe ver
        TextBuffer[std::size_t(j)] = j <= registros.size() ? registros[j - 1] : u"BASURA"_s;
      QStringList r;
      ComponerTexto(m, {u"Liberation Serif"_s, 17}, limite, [&](const QString& l) { r << l; });
      QVERIFY2(r == c.value(2).split(u'|') && m.nombre == u"Liberation Serif"_s && m.tamano == 17,
               qPrintable(caso + u"\n da: "_s + r.join(u'|')));
    }
  }

  void los64Hexagramas() {
    // Los 64 con sus seis líneas, a dos anchos y con la letra de verdad: ningún corte contra el castellano
    // ni contra la composición de libro (palabras cortas, bordes cortos, hiatos, tres guiones seguidos,
    // párrafos que acaban en una sílaba sola), y ninguna línea fuera de lo que se imprime.
    CarpetaPrueba carpeta;
    PrepararEstado(true);
    const FuenteComposicion arial;
    QVERIFY(QFontInfo(FuenteEnTwips(arial.nombre, arial.tamano)).family().contains(u"Liberation Sans"_s));
    const QFontMetricsF medida(FuenteEnTwips(arial.nombre, arial.tamano));
    for (const double ancho : {11906.0 - 1440, 7000.0}) {
      QStringList todas;
      double masLarga = 0;
      for (int h = 0; h < 64; ++h) {
        QString lineas;
        for (int n = 0; n < 6; ++n)
          lineas += (h >> n) & 1 ? u'9' : u'6';
        CargarBuffer(lineas);
        SuperficieMedidaQt s;
        ComponerTexto(s, arial, ancho - RightReserve, [&](const QString& l) {
          todas << l;
          if (!l.startsWith(u"*n*"_s))
            masLarga = std::max(masLarga, LeftMargin + medida.horizontalAdvance(l.trimmed()));
        });
      }
      const Cortes::Resultado r = Cortes::JuzgarLineas(todas);
      qInfo("ancho %.0f: %d líneas, %d guiones (%d de la lista), %lld malos; la más larga llega a %.0f",
            ancho, r.lineas, r.guiones, r.conocidas, r.malos.size(), masLarga);
      QVERIFY2(r.malos.isEmpty(), qPrintable(r.malos.mid(0, 40).join(u"\n"_s)));
      QVERIFY(r.guiones > r.lineas / 20 && r.conocidas > 100 && r.escalera == 2);
      QVERIFY(masLarga <= ancho);
    }
  }
};

QTEST_MAIN(PruebaComposicion)
#include "test_composicion.moc"
