#pragma once
// Los controles de las ventanas: paneles y botones en relieve, cintas con
// dibujo y botones con dibujo, con su etiqueta ("tag"), su ayuda emergente y
// su nombre accesible.

#include <QAbstractButton>
#include <QFont>
#include <QFrame>
#include <QPixmap>
#include <QPushButton>

// Panel en relieve con un rótulo centrado.
class SSPanel : public QFrame {
  Q_OBJECT
public:
  explicit SSPanel(QWidget* parent = nullptr, const QString& rotulo = QString());
  void setCaption(const QString& rotulo);
  QString Caption() const { return rotulo_; }
  void setColores(const QColor& fondo, const QColor& texto);
  void setAlineacion(Qt::Alignment a);
  void setNegrita(bool si);
signals:
  void Click();

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

private:
  QString rotulo_;
  QColor fondo_, texto_;
  Qt::Alignment alineacion_ = Qt::AlignCenter;
  bool negrita_ = false;
};

// Botón en relieve con rótulo o dibujo. Su estilo 2 lo marca (el texto a la
// vista); 0 es el aspecto normal.
class SSCommand : public QPushButton {
  Q_OBJECT
public:
  explicit SSCommand(QWidget* parent = nullptr, const QString& rotulo = QString());
  void setEstilo(int valor);
  int Estilo() const { return estilo_; }
  void setPicture(const QPixmap& dibujo);
  const QPixmap& Picture() const { return dibujo_; }

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  int estilo_ = 0;
  QPixmap dibujo_;
};

// Cinta con dibujo: muestra un dibujo sobre negro; al pulsarla avisa con
// MouseDown (cualquier botón del ratón). Si admite el foco, Espacio la pulsa
// como el ratón; Intro es de la ventana.
class SSRibbon : public QAbstractButton {
  Q_OBJECT
public:
  explicit SSRibbon(QWidget* parent = nullptr);
  void setPicture(const QPixmap& dibujo);
  const QPixmap& Picture() const { return dibujo_; }
  QString Tag;
signals:
  void MouseDown();

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  QSize sizeHint() const override { return {100, 20}; }

private:
  QPixmap dibujo_;
};

// Botón con dibujo, etiqueta y ayuda emergente (que también es su nombre
// accesible).
class BotonImagen : public QPushButton {
  Q_OBJECT
public:
  explicit BotonImagen(QWidget* parent = nullptr);
  void setPicture(const QPixmap& dibujo);
  const QPixmap& Picture() const { return dibujo_; }
  void setToolTipText(const QString& ayuda); // ayuda emergente y nombre accesible
  QString Tag;

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  QPixmap dibujo_;
};

// `letra` achicada de cuarto en cuarto de punto hasta que `texto` quepa en
// `ancho` píxeles, sin bajar de `minimo` puntos.
QFont LetraQueCabe(QFont letra, const QString& texto, int ancho, double minimo);

// Un anillo de foco claro y grueso alrededor del control que tiene el foco,
// en todas las ventanas del programa (también en las listas y los cuadros de
// texto, que la paleta del programa dejaría sin marca visible). Se instala
// una vez; instalarlo otra vez no hace nada.
namespace AnilloFoco {
inline constexpr int Grueso = 2; // píxeles del color claro, entre dos filos negros
void Instalar();
} // namespace AnilloFoco
