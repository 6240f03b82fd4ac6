#pragma once
// La impresora del programa: una pluma que se coloca en twips sobre la
// página, escribe texto con su fuente, traza rayas, cajas y círculos, y pasa
// sola a una página nueva cuando una línea ya no cabe.
//
// `Impresora` lleva la pluma y la fuente; cada impresora concreta sólo pone
// en el papel lo que se le pide. Hay dos: la de verdad (`ImpresoraQt`, sobre
// QPrinter) y, para las pruebas, una que anota cada trazo y cada texto.

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <QStringList>

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>

// Un fallo de una operación, con el número de error con que lo conoce el
// usuario en los mensajes ("ERROR 75 (SUB IMPRIMIR)"). Los fallos del sitio
// donde se guarda la impresión (una carpeta en la que no se puede escribir,
// un enlace simbólico, un disco lleno) traen además su explicación en
// castellano: reintentar no los arregla y el usuario ha de saber qué pasa.
class ErrorEjecucion : public std::exception {
public:
  explicit ErrorEjecucion(int numero, QString explicacion = QString())
      : numero_(numero), explicacion_(std::move(explicacion)) {}
  int numero() const { return numero_; }
  const QString& explicacion() const { return explicacion_; }
  const char* what() const noexcept override { return "error de ejecución"; }

private:
  int numero_;
  QString explicacion_;
};

// Los números de error que usa el programa.
constexpr int ErrIndiceFueraDeRango = 9;
constexpr int ErrFicheroNoEncontrado = 53;
constexpr int ErrEntradaSalida = 57;
constexpr int ErrDiscoLleno = 61;
constexpr int ErrAccesoFichero = 75;
constexpr int ErrImpresora = 482;    // la impresora no puede empezar o acabar el trabajo
constexpr int ErrSinFuentes = 24574; // el diálogo de fuentes no tiene qué fuentes listar
constexpr int ErrDialogoCancelado = 32755;

// Twips por punto tipográfico.
constexpr double TwipsPorPunto = 20.0;

// Una fuente medida en twips: su tamaño en píxeles es el de un twip, así que
// sus métricas salen en twips sin depender de la resolución de nadie. Sin
// ajuste fino a la rejilla ni interletraje, para que la medida de un carácter
// suelto sea la misma que la de ese carácter dentro de la línea impresa.
inline QFont FuenteEnTwips(const QString& nombre, double puntos, bool negrita = false,
                           bool subrayado = false) {
  QFont f(nombre);
  f.setPixelSize(std::max(1, qRound(puntos * TwipsPorPunto)));
  f.setBold(negrita);
  f.setUnderline(subrayado);
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

// Forma de la operación Line: una raya entre dos puntos o una caja rellena
// con esas dos esquinas.
enum class FormaLinea { Raya, CajaRellena };

class Impresora {
public:
  Impresora() = default;
  Impresora(const Impresora&) = delete;
  Impresora& operator=(const Impresora&) = delete;
  virtual ~Impresora() = default;

  // Ancho y alto de la página en twips (lo que se puede imprimir de ella).
  virtual double AnchoPagina() const = 0;
  virtual double AltoPagina() const = 0;

  // La fuente del texto que se imprima después. Se conserva de un trabajo
  // al siguiente.
  const QString& FontName() const { return nombre_; }
  void setFontName(const QString& nombre) { nombre_ = nombre; }
  double FontSize() const { return tamano_; }
  void setFontSize(double puntos) { tamano_ = puntos; }
  bool FontBold() const { return negrita_; }
  void setFontBold(bool si) { negrita_ = si; }
  bool FontUnderline() const { return subrayado_; }
  void setFontUnderline(bool si) { subrayado_ = si; }
  QFont Fuente() const { return FuenteEnTwips(nombre_, tamano_, negrita_, subrayado_); }

  // La pluma, en twips desde la esquina de arriba a la izquierda.
  double CurrentX() const { return x_; }
  void setCurrentX(double x) { x_ = x; }
  double CurrentY() const { return y_; }
  void setCurrentY(double y) { y_ = y; }

  // Ancho de un texto y alto de una línea con la fuente actual, en twips.
  double TextWidth(const QString& texto) const { return QFontMetricsF(Fuente()).horizontalAdvance(texto); }
  double TextHeight() const { return QFontMetricsF(Fuente()).lineSpacing(); }

  // Escribe `texto` con su esquina de arriba a la izquierda en la pluma y la
  // deja al final del texto; con fin de línea, la pluma vuelve a x = 0 y baja
  // una línea de la fuente actual. Una línea que ya no cabe en la página se
  // escribe arriba de una página nueva. Lo primero que se imprime empieza el
  // trabajo.
  void Print(const QString& texto = QString(), bool finDeLinea = true) {
    asegurarTrabajo();
    const QFont f = Fuente();
    const QFontMetricsF fm(f);
    const double alto = fm.lineSpacing();
    if (y_ > 0 && y_ + alto > AltoPagina()) {
      pasarPagina();
      y_ = 0;
    }
    if (!texto.isEmpty())
      pintarTexto(QPointF(x_, y_), texto, f);
    x_ += fm.horizontalAdvance(texto);
    if (finDeLinea) {
      x_ = 0;
      y_ += alto;
    }
  }

  // Una raya de (x1, y1) a (x2, y2) o una caja rellena con esas esquinas; la
  // pluma queda en (x2, y2).
  void Line(double x1, double y1, double x2, double y2, const QColor& color, FormaLinea forma) {
    asegurarTrabajo();
    if (forma == FormaLinea::CajaRellena)
      pintarCaja(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized(), color);
    else
      pintarRaya(QPointF(x1, y1), QPointF(x2, y2), color);
    x_ = x2;
    y_ = y2;
  }

  // Un círculo (sólo su contorno); la pluma queda en el centro.
  void Circle(double x, double y, double radio, const QColor& color) {
    asegurarTrabajo();
    pintarCirculo(QPointF(x, y), radio, color);
    x_ = x;
    y_ = y;
  }

  // Termina el trabajo y lo entrega. Sin trabajo empezado no hace nada.
  void EndDoc() {
    if (!abierto_)
      return;
    abierto_ = false;
    x_ = y_ = 0;
    terminarTrabajo();
  }

  // Cancela el trabajo empezado.
  void KillDoc() {
    if (!abierto_)
      return;
    abierto_ = false;
    x_ = y_ = 0;
    cancelarTrabajo();
  }

  bool TrabajoEmpezado() const { return abierto_; }

  // El usuario eligió imprimir en un fichero PDF (en el diálogo de la
  // impresora): la orden de imprimir siguiente va a él.
  virtual void ElegirFicheroPdf(const QString& ruta) = 0;

  // Una orden de imprimir empieza: sus trabajos, por lo que lleva cada uno
  // ("principal", "complementario"). Sirve para nombrar sus PDF.
  virtual void EmpezarOrden(const QStringList& contenidos) { (void)contenidos; }
  // El trabajo que empieza a continuación es el `i` (desde 0) de la orden.
  virtual void TrabajoDeLaOrden(int i) { (void)i; }
  // El PDF que dejó entero el último trabajo terminado; vacío si fue a una
  // impresora o no llegó a terminarse.
  virtual QString PdfTerminado() const { return QString(); }

protected:
  // Lanza ErrorEjecucion(ErrImpresora) si la impresora no puede empezar.
  virtual void empezarTrabajo() = 0;
  virtual void pasarPagina() = 0;
  virtual void pintarTexto(const QPointF& arribaIzquierda, const QString& texto, const QFont& fuente) = 0;
  virtual void pintarCaja(const QRectF& caja, const QColor& color) = 0;
  virtual void pintarRaya(const QPointF& desde, const QPointF& hasta, const QColor& color) = 0;
  virtual void pintarCirculo(const QPointF& centro, double radio, const QColor& color) = 0;
  virtual void terminarTrabajo() = 0;
  virtual void cancelarTrabajo() = 0;

private:
  void asegurarTrabajo() {
    if (abierto_)
      return;
    empezarTrabajo();
    abierto_ = true;
  }

  QString nombre_ = QStringLiteral("Arial");
  double tamano_ = 12;
  bool negrita_ = false;
  bool subrayado_ = false;
  double x_ = 0;
  double y_ = 0;
  bool abierto_ = false;
};

class QBuffer;
class QPainter;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

// La impresora de verdad. Sin impresoras instaladas (o si el usuario eligió
// un fichero en el diálogo de la impresora), cada trabajo es un PDF. Un PDF
// se compone en memoria y sólo cuando está completo se escribe, entero o
// nada; sólo su dueño puede leerlo, como el archivo de consultas, porque
// lleva la misma pregunta. Un nombre que inventa KORVAL se crea nuevo, y si
// está ocupado se toma el siguiente; el fichero que el usuario eligió y
// aceptó sustituir se sustituye de una vez (Carpeta). Nunca se escribe a
// través de un enlace simbólico ni se pisa un fichero que el usuario no
// eligió.
//
// Los nombres dicen la fecha y la hora de la orden y qué lleva cada trabajo,
// y se ordenan como se imprimieron: «KORVAL 2026-12-05 18-30-12
// principal.pdf», o con los dos hexagramas «… 1 principal.pdf» y «… 2
// complementario.pdf». Si ya existen, la orden toma «…-2», «…-3»…
class ImpresoraQt : public Impresora {
public:
  ImpresoraQt();
  ~ImpresoraQt() override;

  double AnchoPagina() const override;
  double AltoPagina() const override;
  void ElegirFicheroPdf(const QString& ruta) override;
  void EmpezarOrden(const QStringList& contenidos) override;
  void TrabajoDeLaOrden(int i) override;
  QString PdfTerminado() const override { return pdfTerminado_; }

  // El dispositivo, para el diálogo de la impresora.
  QPrinter& Dispositivo() { return *printer_; }
  // El usuario aceptó el diálogo de la impresora: la impresora o el fichero
  // que dejó elegidos valen para lo que sigue (el fichero, sólo para la
  // orden siguiente: las que vengan después van a ficheros nuevos).
  void DestinoElegido();
  // El fichero que el diálogo de la impresora propone: uno que aún no existe,
  // en la carpeta de los últimos PDF. Nunca el de la impresión anterior.
  QString PdfPropuesto() const;
  // ¿Van a PDF los trabajos que vengan ahora?
  bool APdf() const;

  // El principio de los nombres automáticos, con la fecha y la hora del
  // reloj del programa: «KORVAL 2027-01-09 07-05-03».
  static QString NombreConFecha();

protected:
  void empezarTrabajo() override;
  void pasarPagina() override;
  void pintarTexto(const QPointF& arribaIzquierda, const QString& texto, const QFont& fuente) override;
  void pintarCaja(const QRectF& caja, const QColor& color) override;
  void pintarRaya(const QPointF& desde, const QPointF& hasta, const QColor& color) override;
  void pintarCirculo(const QPointF& centro, double radio, const QColor& color) override;
  void terminarTrabajo() override;
  void cancelarTrabajo() override;

private:
  QString carpetaPdf() const;
  void soltarPdf();
  // Escribe el documento del trabajo `trabajo` de la orden; devuelve dónde.
  QString guardarPdf(const QString& ruta, int trabajo, const QByteArray& documento) const;

  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  // El trabajo en PDF en curso: el documento en memoria y su fichero.
  std::unique_ptr<QBuffer> memoria_;
  std::unique_ptr<QPdfWriter> pdf_;
  QString ficheroTrabajo_;
  QString pdfTerminado_;
  // Lo elegido en el diálogo.
  bool elegido_ = false;   // el usuario eligió destino
  QString ficheroElegido_; // el PDF elegido, hasta que lo usa una orden
  QString carpetaPdf_;     // la carpeta del último PDF elegido
  // La orden en curso: el fichero de cada trabajo (vacíos si van a una
  // impresora) y el trabajo que empieza ahora (-1: uno suelto); la base de
  // sus nombres y su número («…-2»), lo que lleva cada trabajo, y el
  // fichero elegido que se sustituye, si lo hay.
  QStringList rutasOrden_;
  int trabajoOrden_ = -1;
  QString baseOrden_;
  int numeroOrden_ = 1;
  QStringList contenidosOrden_;
  QString sustituirOrden_;
};

// La impresora con que imprime el programa.
Impresora& Printer();
// La impresora de verdad, aunque las pruebas hayan puesto otra.
ImpresoraQt& ImpresoraDelSistema();
// Costura de pruebas: otra impresora (nullptr devuelve la de verdad).
void FijarImpresora(Impresora* impresora);

// ¿Tiene el sistema alguna impresora instalada?
bool HayImpresoras();
// Costura de pruebas: la respuesta a HayImpresoras (nullptr pregunta al sistema).
void FijarPruebaImpresoras(std::function<bool()> hay);
// Costura de pruebas: el papel de un trabajo que va a una impresora (nullptr: la impresora misma). Recibe
// el QPrinter ya preparado, para que la prueba vea a qué impresora y en qué formato iría.
void FijarPapelImpresora(std::function<QPagedPaintDevice*(QPrinter&)> papel);
