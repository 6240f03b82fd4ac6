#pragma once
// La ventana de aviso de pantalla que se muestra en cada arranque.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>

#include <array>
#include <optional>

class FRM256 : public Formulario {
  Q_OBJECT
public:
  explicit FRM256(QWidget* parent = nullptr);

  QLabel* paninfo;   // el dibujo de 640 x 480, luego fondo del menú
  SSPanel* paninfo2; // el texto del aviso y los dos botones
  QLabel* texto;
  std::array<BotonImagen*, 2> BTNAUX{};

  void BTNAUX_Click(int Index);
  // ¿Pidió el usuario terminar el programa (Cancelar)?
  bool TerminarPrograma() const { return terminar_; }

  // Costura para medidas y pruebas: si tiene valor, la ventana se contesta
  // sola con ese botón en cuanto está lista.
  static inline std::optional<int> RespuestaAutomatica;

protected:
  void Form_Activate() override;

private:
  void Form_Load();
  // La aparición por pasos del aviso, ya con la ventana en la pantalla.
  void Revelar();
  bool terminar_ = false;
};
