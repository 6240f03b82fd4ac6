#pragma once
// Apoyo de las pruebas de la impresión: una superficie de medida de anchos
// fijos (para saber exactamente dónde pasa la pluma el límite) y la carga de
// TextBuffer con registros propios.

#include "interpretation/AlmacenTextos.h"
#include "printing/SuperficieMedida.h"

#include <QHash>
#include <QStringList>

// Cada carácter mide `ancho` twips, salvo los que se den aparte.
class MedidaFija : public SuperficieMedida {
public:
  explicit MedidaFija(double ancho = 100) : ancho_(ancho) {}
  QHash<QChar, double> anchos;
  int caracteresMedidos = 0;
  QString nombre;
  double tamano = 0;
  bool negrita = true; // para ver que la composición los apaga
  bool subrayado = true;

  void setFontName(const QString& n) override { nombre = n; }
  void setFontSize(double t) override { tamano = t; }
  void setFontBold(bool si) override { negrita = si; }
  void setFontUnderline(bool si) override { subrayado = si; }
  void Cls() override { x_ = 0; }
  double CurrentX() const override { return x_; }
  void setCurrentX(double x) override { x_ = x; }
  void Print(QChar c) override {
    ++caracteresMedidos;
    x_ += anchos.value(c, ancho_);
  }

private:
  double ancho_;
  double x_ = 0;
};

// Llena TextBuffer: la ranura 1 con el primer registro, y así; las demás,
// con un texto que ninguna prueba espera ver ("BASURA") para notar si se
// lee más allá del "**".
inline void PonerBuffer(const QStringList& registros) {
  for (int j = 1; j < RanurasTextBuffer; ++j)
    TextBuffer[std::size_t(j)] = QStringLiteral("BASURA");
  for (int i = 0; i < registros.size() && i + 1 < RanurasTextBuffer; ++i)
    TextBuffer[std::size_t(i + 1)] = registros[i];
}
