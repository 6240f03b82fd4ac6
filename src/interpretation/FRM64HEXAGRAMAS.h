#pragma once
// El catálogo: el usuario escoge uno de los 64 hexagramas de una lista en
// lugar de echarlo. Cada entrada que se selecciona se ve dibujada debajo,
// con su segundo nombre; aceptar deja sus líneas en CurrentLines.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>
#include <QListWidget>

#include <array>

class FRM64HEXAGRAMAS : public Formulario {
  Q_OBJECT
public:
  explicit FRM64HEXAGRAMAS(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QListWidget* List1 = nullptr;
  std::array<SSRibbon*, 6> LINEA{};
  std::array<QLabel*, 2> label2{};
  std::array<BotonImagen*, 2> BTNAUX{};

  // La cadena de líneas del hexagrama k de la lista: campo 3 y campo 2, sin
  // blancos a los lados.
  static QString LineasDe(int k);

  void List1_Click();
  void List1_DblClick();
  void BTNAUX_Click(int Index);

protected:
  void Form_Load();
  void Form_Activate() override;
  void Form_MouseMove() override { centrarform(); }
  QWidget* ControlDelFoco() override { return List1; }

private:
  // Mientras dura la pausa antes de ocultarse, otra pulsación no cuenta.
  bool cerrando_ = false;
};
