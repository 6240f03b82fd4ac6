#pragma once
// La pregunta de la consulta: el usuario la escribe y, al aceptar, queda en
// CurrentQuestion en mayúsculas, entre «¿» y «?».

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <array>

// El cuadro de la pregunta: no deja entrar lo que no se podría guardar
// (caracteres fuera de Windows-1252), ni tecleado ni pegado.
class CuadroPregunta : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit CuadroPregunta(QWidget* parent = nullptr);
  // Cuántos caracteres se han rechazado (para avisar con un pitido y probarlo).
  int Rechazados() const { return rechazados_; }

protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void insertFromMimeData(const QMimeData* origen) override;

private:
  int rechazados_ = 0;
};

class frmconsulta : public Formulario {
  Q_OBJECT
public:
  explicit frmconsulta(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  CuadroPregunta* PREGUNTA = nullptr;
  std::array<BotonImagen*, 2> BTNAUX{};

  void Form_Load();
  void Form_Activate() override;
  void pregunta_Change();
  void BTNAUX_Click(int Index);

  // El texto del cuadro como lo lee el programa: saltos de línea como
  // retorno de carro y salto de línea.
  QString TextoPregunta() const;

protected:
  void Form_Cancelar() override { BTNAUX_Click(1); }
};
