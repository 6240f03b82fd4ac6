#pragma once
// La ventana de presentación con su barra de progreso.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QPlainTextEdit>

class FRMInicio : public Formulario {
  Q_OBJECT
public:
  explicit FRMInicio(QWidget* parent = nullptr);

  QPlainTextEdit* Text1; // los datos de contacto del autor
  SSPanel* SSPanel1;     // la pista de la barra
  SSPanel* Porcentaje;   // la barra, que crece hacia la derecha

  // Ancho de la barra en twips (se lleva en twips para no acumular redondeos).
  int AnchoPorcentaje() const { return anchoTwips_; }
  void setAnchoPorcentaje(int twips);

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  void Form_Load();
  int anchoTwips_ = 345;
};

// Las tres líneas de contacto del autor, para la presentación y los datos
// del programador.
QStringList LineasContacto();
