#include "platform/Impresora.h"

#include "platform/Basico.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// Grueso de las rayas y del círculo: un punto. El píxel de impresora, que
// es lo que dibujaría una pluma de ancho 1, apenas se ve en papel de alta
// resolución.
constexpr double GruesoTrazo = 20.0;

Impresora* impresoraPropia = nullptr;
ImpresoraQt* impresoraSistema = nullptr;
std::function<bool()> pruebaImpresoras;
std::function<QPagedPaintDevice*(QPrinter&)> papelPrueba;

void liberarImpresoraSistema() {
  // Un trabajo de una impresora que quedó abierto se entrega al salir, como
  // haría el sistema; un PDF sin terminar no se escribe.
  delete impresoraSistema;
  impresoraSistema = nullptr;
}

QPen plumaTrazo(const QColor& color) {
  QPen p(color, GruesoTrazo);
  p.setCapStyle(Qt::FlatCap);
  return p;
}

QString nativa(const QString& ruta) {
  return QDir::toNativeSeparators(ruta);
}

// ¿Hay ya algo con ese nombre (un fichero, un enlace, lo que sea)?
bool ocupado(const QString& ruta) {
  const QFileInfo info(ruta);
  return Carpeta(info.absolutePath()).Tipo(info.fileName()) != TipoNombre::Nada;
}

// La base de los nombres de una orden con su número: `base`, `base`-2…
QString conNumero(const QString& base, int n) {
  return n == 1 ? base : QStringLiteral("%1-%2").arg(base).arg(n);
}

// Los ficheros de una orden con `base` (ruta sin ".pdf"): uno solo lleva lo
// que contiene; con varios, además su número, para que se ordenen como se
// imprimieron.
QStringList rutasDe(const QString& base, const QStringList& contenidos) {
  QStringList r;
  for (int i = 0; i < contenidos.size(); ++i) {
    QString nombre = base;
    if (contenidos.size() > 1)
      nombre += QStringLiteral(" %1").arg(i + 1);
    if (!contenidos[i].isEmpty())
      nombre += QLatin1Char(' ') + contenidos[i];
    r << nombre + QStringLiteral(".pdf");
  }
  return r;
}

// El primer número con el que ningún nombre de la orden está ocupado.
int primerLibre(const QString& base, const QStringList& contenidos) {
  for (int n = 1;; ++n) {
    const QStringList r = rutasDe(conNumero(base, n), contenidos);
    if (std::none_of(r.cbegin(), r.cend(), ocupado))
      return n;
  }
}

// Vacío si se puede escribir un PDF en `ruta`: su carpeta se puede escribir
// y, si el usuario eligió ese nombre para sustituirlo, no es un enlace
// simbólico ni otra cosa que un fichero normal. Si no, la explicación.
QString motivoNoSeImprime(const QString& ruta, bool sustituir) {
  const QString carpeta = QFileInfo(ruta).absolutePath();
  if (!SePuedeEscribirEn(carpeta))
    return QStringLiteral("No se puede guardar el PDF de la impresión en la carpeta «%1»: falta permiso para "
                          "escribir en ella o no existe. No se ha escrito ningún fichero.")
        .arg(nativa(carpeta));
  const QString motivo = sustituir ? MotivoNoEscribible(ruta) : QString();
  if (!motivo.isEmpty())
    return motivo + QStringLiteral(" No se ha escrito ningún fichero.");
  return QString();
}

// El fichero elegido sin su extensión.
QString sinPdf(const QString& ruta) {
  return ruta.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? ruta.chopped(4) : ruta;
}
} // namespace

bool HayImpresoras() {
  if (pruebaImpresoras)
    return pruebaImpresoras();
  return !QPrinterInfo::availablePrinters().isEmpty();
}

void FijarPruebaImpresoras(std::function<bool()> hay) {
  pruebaImpresoras = std::move(hay);
}

void FijarPapelImpresora(std::function<QPagedPaintDevice*(QPrinter&)> papel) {
  papelPrueba = std::move(papel);
}

ImpresoraQt::ImpresoraQt() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  printer_->setDocName(QStringLiteral("KORVAL"));
  printer_->setCreator(QStringLiteral("KORVAL"));
  printer_->setFullPage(false);
  // Media pulgada de margen alrededor, para que la página respire; las
  // posiciones del programa cuentan desde ahí.
  printer_->setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
}

ImpresoraQt::~ImpresoraQt() {
  // Un PDF que no llegó a terminarse no se escribe.
  if (painter_ && painter_->isActive())
    painter_->end();
  soltarPdf();
}

double ImpresoraQt::AnchoPagina() const {
  return printer_->pageLayout().paintRect(QPageLayout::Point).width() * TwipsPorPunto;
}

double ImpresoraQt::AltoPagina() const {
  return printer_->pageLayout().paintRect(QPageLayout::Point).height() * TwipsPorPunto;
}

void ImpresoraQt::ElegirFicheroPdf(const QString& ruta) {
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(ruta);
  DestinoElegido();
}

void ImpresoraQt::DestinoElegido() {
  elegido_ = true;
  ficheroElegido_.clear();
  if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) {
    ficheroElegido_ = QFileInfo(printer_->outputFileName()).absoluteFilePath();
    carpetaPdf_ = QFileInfo(ficheroElegido_).absolutePath();
  }
}

bool ImpresoraQt::APdf() const {
  return elegido_ ? printer_->outputFormat() == QPrinter::PdfFormat : !HayImpresoras();
}

QString ImpresoraQt::carpetaPdf() const {
  return carpetaPdf_.isEmpty() ? DirEscritura() : carpetaPdf_;
}

QString ImpresoraQt::NombreConFecha() {
  const int segundos = int(Timer());
  const QString hora = QStringLiteral("%1-%2-%3")
                           .arg(segundos / 3600 % 24, 2, 10, QLatin1Char('0'))
                           .arg(segundos / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(segundos % 60, 2, 10, QLatin1Char('0'));
  return QStringLiteral("KORVAL %1 %2").arg(Fecha().toString(QStringLiteral("yyyy-MM-dd")), hora);
}

QString ImpresoraQt::PdfPropuesto() const {
  const QString base = QDir(carpetaPdf()).filePath(NombreConFecha());
  return rutasDe(conNumero(base, primerLibre(base, {QString()})), {QString()}).constFirst();
}

void ImpresoraQt::EmpezarOrden(const QStringList& contenidos) {
  rutasOrden_.clear();
  trabajoOrden_ = -1;
  pdfTerminado_.clear();
  sustituirOrden_.clear();
  contenidosOrden_ = contenidos;
  if (!APdf()) {
    for (int i = 0; i < contenidos.size(); ++i)
      rutasOrden_ << QString();
    return;
  }
  baseOrden_ = QDir(carpetaPdf()).filePath(NombreConFecha());
  if (!ficheroElegido_.isEmpty()) {
    // El fichero elegido, que el usuario aceptó sustituir si ya existía, es
    // para esta orden y para ninguna más. Con dos trabajos, cada uno tiene
    // el suyo con ese nombre delante, como los nombres automáticos.
    baseOrden_ = sinPdf(ficheroElegido_);
    if (contenidos.size() == 1)
      sustituirOrden_ = ficheroElegido_;
    ficheroElegido_.clear();
  }
  numeroOrden_ = sustituirOrden_.isEmpty() ? primerLibre(baseOrden_, contenidos) : 1;
  rutasOrden_ = sustituirOrden_.isEmpty() ? rutasDe(conNumero(baseOrden_, numeroOrden_), contenidos)
                                          : QStringList{sustituirOrden_};
}

void ImpresoraQt::TrabajoDeLaOrden(int i) {
  trabajoOrden_ = i;
  pdfTerminado_.clear();
}

void ImpresoraQt::empezarTrabajo() {
  pdfTerminado_.clear();
  // Un trabajo fuera de una orden es una orden de un trabajo.
  if (trabajoOrden_ < 0 || trabajoOrden_ >= rutasOrden_.size()) {
    EmpezarOrden({QString()});
    trabajoOrden_ = 0;
  }
  const QString fichero = rutasOrden_[trabajoOrden_];
  if (fichero.isEmpty() && !elegido_) {
    // Hay impresoras y nadie eligió: la predeterminada del sistema.
    printer_->setOutputFileName(QString());
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(QPrinterInfo::defaultPrinter().printerName());
  }
  if (!painter_)
    painter_ = std::make_unique<QPainter>();
  QPagedPaintDevice* dispositivo = fichero.isEmpty() && papelPrueba ? papelPrueba(*printer_) : printer_.get();
  if (!fichero.isEmpty()) {
    const QString motivo = motivoNoSeImprime(fichero, fichero == sustituirOrden_);
    if (!motivo.isEmpty())
      throw ErrorEjecucion(ErrAccesoFichero, motivo);
    memoria_ = std::make_unique<QBuffer>();
    memoria_->open(QIODevice::WriteOnly);
    pdf_ = std::make_unique<QPdfWriter>(memoria_.get());
    pdf_->setPageLayout(printer_->pageLayout());
    pdf_->setResolution(printer_->resolution());
    pdf_->setTitle(QStringLiteral("KORVAL"));
    pdf_->setCreator(QStringLiteral("KORVAL"));
    dispositivo = pdf_.get();
  }
  if (!painter_->begin(dispositivo)) {
    soltarPdf();
    throw ErrorEjecucion(ErrImpresora);
  }
  ficheroTrabajo_ = fichero;
  // Desde aquí se dibuja en twips.
  const double escala = printer_->resolution() / 1440.0;
  painter_->scale(escala, escala);
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
}

void ImpresoraQt::pasarPagina() {
  if (!static_cast<QPagedPaintDevice*>(painter_->device())->newPage())
    throw ErrorEjecucion(ErrImpresora);
}

void ImpresoraQt::pintarTexto(const QPointF& arribaIzquierda, const QString& texto, const QFont& fuente) {
  painter_->setFont(fuente);
  painter_->setPen(Qt::black);
  const QFontMetricsF fm(fuente);
  painter_->drawText(QPointF(arribaIzquierda.x(), arribaIzquierda.y() + fm.ascent()), texto);
}

void ImpresoraQt::pintarCaja(const QRectF& caja, const QColor& color) {
  painter_->fillRect(caja, color);
}

void ImpresoraQt::pintarRaya(const QPointF& desde, const QPointF& hasta, const QColor& color) {
  painter_->setPen(plumaTrazo(color));
  painter_->drawLine(desde, hasta);
}

void ImpresoraQt::pintarCirculo(const QPointF& centro, double radio, const QColor& color) {
  painter_->setPen(plumaTrazo(color));
  painter_->setBrush(Qt::NoBrush);
  painter_->drawEllipse(centro, radio, radio);
}

void ImpresoraQt::soltarPdf() {
  pdf_.reset();
  memoria_.reset();
  ficheroTrabajo_.clear();
  trabajoOrden_ = -1;
}

void ImpresoraQt::terminarTrabajo() {
  const bool acabado = painter_->end();
  if (!pdf_) {
    trabajoOrden_ = -1;
    if (!acabado)
      throw ErrorEjecucion(ErrImpresora);
    return;
  }
  pdf_.reset(); // termina de escribir el documento en memoria
  const QByteArray documento = memoria_->data();
  const QString ruta = ficheroTrabajo_;
  const int trabajo = trabajoOrden_;
  soltarPdf();
  if (!acabado || !documento.startsWith("%PDF-") || !documento.trimmed().endsWith("%%EOF"))
    throw ErrorEjecucion(ErrImpresora,
                         QStringLiteral("No se ha podido componer el PDF «%1». No se ha escrito "
                                        "ningún fichero.")
                             .arg(nativa(ruta)));
  pdfTerminado_ = guardarPdf(ruta, trabajo, documento);
}

QString ImpresoraQt::guardarPdf(const QString& ruta, int trabajo, const QByteArray& documento) const {
  const Carpeta carpeta(QFileInfo(ruta).absolutePath());
  QString error;
  if (ruta == sustituirOrden_) {
    // El que eligió el usuario se sustituye de una vez; si es un enlace, no.
    if (carpeta.Sustituir(QFileInfo(ruta).fileName(), documento, &error))
      return ruta;
  } else {
    // Un nombre que inventa KORVAL se crea nuevo: si mientras tanto alguien
    // lo ha ocupado (un fichero, un enlace), el trabajo toma el siguiente.
    for (int n = numeroOrden_; n < numeroOrden_ + 1000; ++n) {
      const QString intento =
          n == numeroOrden_ ? ruta : rutasDe(conNumero(baseOrden_, n), contenidosOrden_).value(trabajo);
      const Creacion c = carpeta.Crear(QFileInfo(intento).fileName(), documento, &error);
      if (c == Creacion::Hecha)
        return intento;
      if (c == Creacion::Fallida)
        break;
    }
  }
  throw ErrorEjecucion(ErrAccesoFichero,
                       QStringLiteral("No se ha podido guardar el PDF «%1». %2 No ha quedado "
                                      "ningún fichero a medias.")
                           .arg(nativa(ruta), error));
}

void ImpresoraQt::cancelarTrabajo() {
  // Un PDF a medias se queda en la memoria: no hay nada que borrar.
  if (!pdf_)
    printer_->abort();
  if (painter_->isActive())
    painter_->end();
  soltarPdf();
}

ImpresoraQt& ImpresoraDelSistema() {
  if (!impresoraSistema) {
    impresoraSistema = new ImpresoraQt();
    qAddPostRoutine(liberarImpresoraSistema);
  }
  return *impresoraSistema;
}

Impresora& Printer() {
  if (impresoraPropia)
    return *impresoraPropia;
  return ImpresoraDelSistema();
}

void FijarImpresora(Impresora* impresora) {
  impresoraPropia = impresora;
}
