#pragma once
// La superficie de medida `printer2`: una hoja invisible del ancho de la
// página donde se "imprime" cada carácter para saber cuánto avanza la pluma.

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <optional>

class SuperficieMedida {
public:
  SuperficieMedida() = default;
  SuperficieMedida(const SuperficieMedida&) = delete;
  SuperficieMedida& operator=(const SuperficieMedida&) = delete;
  virtual ~SuperficieMedida() = default;

  virtual void setFontName(const QString& nombre) = 0;
  virtual void setFontSize(double puntos) = 0;
  virtual void setFontBold(bool si) = 0;
  virtual void setFontUnderline(bool si) = 0;
  virtual void setFontItalic(bool si) = 0;
  // Borra la superficie y pone la pluma en (0, 0).
  virtual void Cls() = 0;
  virtual double CurrentX() const = 0;
  virtual void setCurrentX(double x) = 0;
  // Escribe un carácter (o un blanco) sin fin de línea: la pluma avanza su
  // ancho con la fuente actual.
  virtual void Print(QChar caracter) = 0;

  double Width() const { return ancho_; }
  void setWidth(double twips) { ancho_ = twips; }

private:
  double ancho_ = 0;
};

// La de verdad: mide con las métricas de la fuente, en twips.
class SuperficieMedidaQt : public SuperficieMedida {
public:
  void setFontName(const QString& nombre) override;
  void setFontSize(double puntos) override;
  void setFontBold(bool si) override;
  void setFontUnderline(bool si) override;
  void setFontItalic(bool si) override;
  void Cls() override { x_ = 0; }
  double CurrentX() const override { return x_; }
  void setCurrentX(double x) override { x_ = x; }
  void Print(QChar caracter) override;

  const QString& FontName() const { return nombre_; }
  double FontSize() const { return tamano_; }
  bool FontBold() const { return negrita_; }
  bool FontUnderline() const { return subrayado_; }

private:
  // Las métricas se rehacen sólo cuando cambia la fuente: el programa fija
  // el nombre de la fuente en cada registro aunque no cambie.
  const QFontMetricsF& metricas();

  QString nombre_ = QStringLiteral("Arial");
  double tamano_ = 12;
  bool negrita_ = false;
  bool subrayado_ = false;
  bool cursiva_ = false;
  double x_ = 0;
  std::optional<QFontMetricsF> metricas_;
};
