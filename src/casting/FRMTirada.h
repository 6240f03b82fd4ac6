#pragma once
// La tirada de monedas: seis veces el usuario arroja tres monedas y las
// para; cada parada da una línea, que se dibuja de abajo arriba y se añade a
// CurrentLines. Tras la sexta la ventana se cierra sola.

#include "casting/TiradaMonedas.h"
#include "platform/Basico.h"
#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <array>

class FRMTirada : public Formulario {
  Q_OBJECT
public:
  explicit FRMTirada(QWidget* parent = nullptr);

  SSPanel* SSPanel1 = nullptr;
  QLabel* PREGUNTA = nullptr;
  QFrame* Frame1 = nullptr;
  std::array<QLabel*, 3> moneda{};
  BotonImagen* BTNTIRAR = nullptr;
  QTimer* Timer1 = nullptr;
  QFrame* Frame2 = nullptr;
  std::array<SSRibbon*, 6> LINEA{};
  BotonImagen* BTNAUX = nullptr;
  // Los dibujos de la moneda y las dos caras del botón de tirar, del almacén.
  std::array<QPixmap, 7> grfmoneda;
  std::array<QPixmap, 2> GRFarrojarParar;

  // Estados y contadores de las tres monedas.
  TiradaMonedas Monedas;
  TextoFijo SavedLines{6};

  void Form_Load();
  void Form_Activate() override;
  void BTNTIRAR_Click();
  void Timer1_Timer();
  void ponerlinea();
  void BTNAUX_Click();

  // Lo que la ventana enseña de cada moneda (índice de grfmoneda, -1 nada).
  int DibujoMostrado(int i) const { return mostrado_[i]; }
  // Cuántas líneas hay puestas (huecos visibles).
  int LineasPuestas() const;

protected:
  void Form_MouseMove() override { centrarform(); }
  // El foco es del botón de tirar: mientras trabaja apagado, lo guarda la
  // ventana, nunca el cancelar.
  QWidget* ControlDelFoco() override { return BTNTIRAR; }

private:
  // Pone en cada moneda el dibujo de su estado, si ha cambiado.
  void MostrarMonedas();
  void MostrarPregunta();
  void ColocarControles();
  void FallaMoneda(int i);
  // Con alguna línea echada, pregunta antes de tirarla; mientras pregunta,
  // las monedas y la pausa final esperan.
  bool ConfirmarAbandono();

  // Cambia cada vez que la ventana se abre o se abandona: lo que siga
  // corriendo de antes (una parada, la pausa final) ve que ya no es suyo.
  int sesion_ = 0;
  bool avisando_ = false;
  // Cuándo empezó la pausa tras la sexta línea (vuelve a empezar si se
  // preguntó por abandonar en medio).
  double inicioPausa_ = 0;
  std::array<int, 3> mostrado_{-1, -1, -1};
};
