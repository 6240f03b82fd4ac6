#pragma once
// La construcción a mano: el usuario levanta el hexagrama línea a línea, de
// abajo arriba, pulsando una de las cuatro líneas de muestra (6, 7, 8, 9) o
// su tecla; la última línea puesta se puede quitar.

#include "platform/Basico.h"
#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QGroupBox>
#include <QLabel>

#include <array>

class FRMIntroducir : public Formulario {
  Q_OBJECT
public:
  explicit FRMIntroducir(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  std::array<SSRibbon*, 6> LINEA{};
  std::array<SSRibbon*, 4> GRFLINEA{};
  SSCommand* BTNBORRAR = nullptr;
  std::array<BotonImagen*, 2> BTNAUX{};
  // Una nota breve: Intro antes de tener las seis líneas.
  QLabel* LBLNota = nullptr;

  TextoFijo SavedLines{6};

  void Form_Load();
  void Form_Activate() override;
  void grflinea_MouseDown(int Index);
  void BTNBORRAR_Click();
  void BTNAUX_Click(int Index);

  // Cuántas líneas hay puestas (huecos visibles).
  int LineasPuestas() const;

protected:
  void Form_MouseMove() override { centrarform(); }
  // 6, 7, 8 y 9 ponen una línea; Retroceso quita la última; Intro acepta
  // con las seis puestas y, antes, dice cuántas faltan.
  void keyPressEvent(QKeyEvent* e) override;
  // El foco vive en las líneas de muestra (en la última que lo tuvo).
  QWidget* ControlDelFoco() override { return GRFLINEA[size_t(muestraConFoco_)]; }
  bool eventFilter(QObject* objeto, QEvent* e) override;

private:
  // Con alguna línea puesta, pregunta antes de tirarla.
  bool ConfirmarAbandono();
  int muestraConFoco_ = 0;
};
