#pragma once
// «Grabar Consulta»: el usuario escribe su nombre y la consulta en curso se
// añade al archivo, que queda ordenado por usuario.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>
#include <QLineEdit>
#include <QValidator>

#include <array>

// Deja entrar en el nombre sólo lo que se puede guardar tal cual: caracteres
// de Windows-1252 que se ven, con los acentos juntos a sus letras. Lo demás
// se quita según se teclea o se pega, con un pitido.
class ValidadorNombre : public QValidator {
  Q_OBJECT
public:
  using QValidator::QValidator;
  State validate(QString& texto, int& pos) const override;
  int Rechazados() const { return rechazados_; }

private:
  mutable int rechazados_ = 0;
};

class FRMGrabar : public Formulario {
  Q_OBJECT
public:
  explicit FRMGrabar(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLineEdit* TXTUsuario = nullptr;
  std::array<BotonImagen*, 2> BTNAUX{};
  ValidadorNombre* Validador = nullptr;

  // Añade la consulta en curso al archivo con el nombre escrito; si no se
  // puede, lo dice y el archivo queda como estaba.
  void GrabarConsulta();

  void BTNAUX_Click(int Index);
  void Form_Load();
  void Form_MouseMove() override;
  void TXTUsuario_Change();

protected:
  void Form_Activate() override;

private:
  // La ventana se abre siempre en blanco: sin nombre y sin botón de aceptar.
  void Descargar();
};
