#include "printing/SuperficieMedida.h"

#include "platform/Impresora.h"

void SuperficieMedidaQt::setFontName(const QString& nombre) {
  if (nombre != nombre_) {
    nombre_ = nombre;
    metricas_.reset();
  }
}

void SuperficieMedidaQt::setFontSize(double puntos) {
  if (puntos != tamano_) {
    tamano_ = puntos;
    metricas_.reset();
  }
}

void SuperficieMedidaQt::setFontBold(bool si) {
  if (si != negrita_) {
    negrita_ = si;
    metricas_.reset();
  }
}

void SuperficieMedidaQt::setFontUnderline(bool si) {
  if (si != subrayado_) {
    subrayado_ = si;
    metricas_.reset();
  }
}

void SuperficieMedidaQt::setFontItalic(bool si) {
  if (si != cursiva_) {
    cursiva_ = si;
    metricas_.reset();
  }
}

const QFontMetricsF& SuperficieMedidaQt::metricas() {
  if (!metricas_)
    metricas_.emplace(FuenteEnTwips(nombre_, tamano_, negrita_, subrayado_, cursiva_));
  return *metricas_;
}

void SuperficieMedidaQt::Print(QChar caracter) {
  x_ += metricas().horizontalAdvance(caracter);
}
