#include "platform/Impresora.h"

#include "platform/Basico.h"
#include "platform/Rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// Grueso de las rayas y del círculo: un punto. El píxel de impresora, que
// es lo que dibujaría una pluma de ancho 1, apenas se ve en papel de alta
// resolución.
constexpr double GruesoTrazo = 20.0;

Impresora* impresoraPropia = nullptr;
ImpresoraQt* impresoraSistema = nullptr;

void liberarImpresoraSistema() {
  // Un trabajo que quedó abierto se entrega al salir, como haría el sistema.
  delete impresoraSistema;
  impresoraSistema = nullptr;
}

QPen plumaTrazo(const QColor& color) {
  QPen p(color, GruesoTrazo);
  p.setCapStyle(Qt::FlatCap);
  return p;
}
} // namespace

ImpresoraQt::ImpresoraQt() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  printer_->setDocName(QStringLiteral("KORVAL"));
  printer_->setCreator(QStringLiteral("KORVAL"));
  printer_->setFullPage(false);
  // Media pulgada de margen alrededor, para que la página respire; las
  // posiciones del programa cuentan desde ahí.
  printer_->setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
}

ImpresoraQt::~ImpresoraQt() {
  if (painter_ && painter_->isActive())
    painter_->end();
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
  trabajosAlElegido_ = 0;
  ficheroElegido_.clear();
  if (printer_->outputFormat() == QPrinter::PdfFormat)
    ficheroElegido_ = printer_->outputFileName();
}

QString ImpresoraQt::NombrePdfAutomatico() {
  const int segundos = int(Timer());
  const QString hora = QStringLiteral("%1-%2-%3")
                           .arg(segundos / 3600 % 24, 2, 10, QLatin1Char('0'))
                           .arg(segundos / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(segundos % 60, 2, 10, QLatin1Char('0'));
  return QStringLiteral("KORVAL %1 %2.pdf").arg(Fecha().toString(QStringLiteral("yyyy-MM-dd")), hora);
}

QString ImpresoraQt::RutaSinPisar(const QString& ruta) {
  if (!QFileInfo::exists(ruta))
    return ruta;
  const QFileInfo info(ruta);
  const QString extension = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
  const QString base = ruta.left(ruta.size() - extension.size());
  for (int n = 2;; ++n) {
    const QString otra = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(extension);
    if (!QFileInfo::exists(otra))
      return otra;
  }
}

void ImpresoraQt::empezarTrabajo() {
  QString fichero;
  if (elegido_ && !ficheroElegido_.isEmpty()) {
    // El fichero elegido en el diálogo recibe el primer trabajo; los que
    // siguen sin volver al diálogo no lo pisan.
    fichero = trabajosAlElegido_ == 0 ? ficheroElegido_ : RutaSinPisar(ficheroElegido_);
  } else if (!elegido_) {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
      fichero = RutaSinPisar(QDir(DirEscritura()).filePath(NombrePdfAutomatico()));
    } else {
      // Hay impresoras y nadie eligió: la predeterminada del sistema.
      printer_->setOutputFileName(QString());
      printer_->setOutputFormat(QPrinter::NativeFormat);
      printer_->setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    }
  }
  if (!fichero.isEmpty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(fichero);
  }
  if (!painter_)
    painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get()))
    throw ErrorEjecucion(ErrImpresora);
  if (!fichero.isEmpty() && elegido_)
    ++trabajosAlElegido_;
  ficheroTrabajo_ = fichero;
  // Desde aquí se dibuja en twips.
  const double escala = printer_->resolution() / 1440.0;
  painter_->scale(escala, escala);
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
}

void ImpresoraQt::pasarPagina() {
  if (!printer_->newPage())
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

void ImpresoraQt::terminarTrabajo() {
  if (!painter_->end())
    throw ErrorEjecucion(ErrImpresora);
}

void ImpresoraQt::cancelarTrabajo() {
  printer_->abort();
  if (painter_->isActive())
    painter_->end();
  // Un PDF a medias no le sirve a nadie.
  if (!ficheroTrabajo_.isEmpty())
    QFile::remove(ficheroTrabajo_);
  ficheroTrabajo_.clear();
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
