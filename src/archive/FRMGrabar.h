#pragma once
// «Grabar Consulta»: el usuario escribe su nombre y la consulta en curso se
// añade al archivo, que queda ordenado por usuario.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QLabel>
#include <QLineEdit>
#include <QCompleter>
#include <QValidator>

// Completa un nombre como lo buscaría una persona: «inigo» ofrece «ÍÑIGO».
// Compara las formas plegadas (sin mayúsculas ni acentos) y escribe el
// nombre tal como está en el archivo.
class CompletarNombre : public QCompleter {
  Q_OBJECT
public:
  // El papel del modelo que guarda la forma plegada de cada nombre.
  static constexpr int PapelPlegado = Qt::UserRole + 1;
  explicit CompletarNombre(QObject* parent = nullptr);
  // Los nombres que se ofrecen.
  void PonerNombres(const QStringList& nombres);
  QStringList splitPath(const QString& escrito) const override;
  QString pathFromIndex(const QModelIndex& indice) const override;
};

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

  // El nombre con el que se grabó la consulta la última vez que se abrió la
  // ventana, como quedó en el archivo; vacío si no se grabó.
  const QString& Grabada() const { return grabada_; }

  // Los nombres que ya hay en el archivo, en orden castellano, que se
  // ofrecen al escribir sin mirar mayúsculas ni acentos.
  QStringList NombresArchivados() const;

  void BTNAUX_Click(int Index);
  void Form_Load();
  void Form_MouseMove() override;
  void TXTUsuario_Change();

protected:
  void Form_Activate() override;

private:
  // La ventana se cierra dejando el nombre en blanco y sin botón de aceptar.
  void Descargar();
  class CompletarNombre* completar_ = nullptr;
  QString grabada_;
};
