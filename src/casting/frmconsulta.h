#pragma once
// La pregunta de la consulta: el usuario la escribe y, al aceptar, queda en
// CurrentQuestion en mayúsculas, entre «¿» y «?».

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <array>

// El cuadro de la pregunta: un solo renglón que parte la vista en varios si
// no cabe. No deja entrar lo que no se podría guardar (caracteres fuera de
// Windows-1252 o de control), ni tecleado ni pegado, ni más de lo que cabe en
// la pregunta guardada con su «¿» y su «?». Intro no escribe: acepta.
class CuadroPregunta : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit CuadroPregunta(QWidget* parent = nullptr);
  // Cuántos caracteres se han rechazado (para avisar con un pitido y probarlo).
  int Rechazados() const { return rechazados_; }

  // Por qué se quedó algo fuera.
  enum class Rechazo { Caracter, SinSitio };
signals:
  void Rechazado(CuadroPregunta::Rechazo motivo);

protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void insertFromMimeData(const QMimeData* origen) override;

private:
  // Mete en el cursor lo más largo del principio de `texto` que cabe sin
  // partir una palabra; false si no cupo entero.
  bool insertarLoQueCabe(const QString& texto);
  // ¿Cabría la pregunta con `texto` en lugar de lo seleccionado?
  bool cabeCon(const QString& texto) const;
  void rechazar(Rechazo motivo);
  int rechazados_ = 0;
};

class frmconsulta : public Formulario {
  Q_OBJECT
public:
  explicit frmconsulta(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  CuadroPregunta* PREGUNTA = nullptr;
  // Cuánto sitio queda, contando lo que guarda el archivo con su «¿» y su «?».
  QLabel* LBLLibres = nullptr;
  std::array<BotonImagen*, 2> BTNAUX{};

  void Form_Load();
  void Form_Activate() override;
  void pregunta_Change();
  void BTNAUX_Click(int Index);

  QString TextoPregunta() const { return PREGUNTA->toPlainText(); }

protected:
  QWidget* ControlDelFoco() override { return PREGUNTA; }

private:
  void ContarLibres();
  void AvisarRechazo(CuadroPregunta::Rechazo motivo);
};
