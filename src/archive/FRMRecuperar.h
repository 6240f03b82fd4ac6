#pragma once
// «Recuperar Consulta»: el archivo como diario. Cada persona una vez en
// USUARIO (y «(Todos)» delante), sus consultas de la más reciente a la más
// antigua en CONSULTA, un campo «Buscar» que las filtra, la vista de la
// elegida (fecha, hexagrama, número y nombres), y tomarla como consulta en
// curso, eliminarla del archivo o exportar el diario.

#include "archive/ArchivoConsultas.h"
#include "archive/Diario.h"
#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <array>
#include <vector>

// Las consultas que se listan, como entradas de una lista: cada texto se
// compone cuando la lista lo enseña, no cien mil por adelantado.
class ListaConsultas : public QAbstractListModel {
  Q_OBJECT
public:
  ListaConsultas(const Diario& diario, QObject* parent) : QAbstractListModel(parent), diario_(diario) {}
  // Las consultas `filas` del diario; con `conUsuario`, cada entrada dice de quién es.
  void Fijar(std::vector<int> filas, bool conUsuario);
  const std::vector<int>& filas() const { return filas_; }
  int rowCount(const QModelIndex& padre = QModelIndex()) const override;
  QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;

private:
  const Diario& diario_;
  std::vector<int> filas_;
  bool conUsuario_ = false;
};

class FRMRecuperar : public Formulario {
  Q_OBJECT
public:
  explicit FRMRecuperar(QWidget* parent = nullptr);

  std::array<SSPanel*, 2> SSPanel2{}; // 0 arriba: listas y fecha; 1 abajo: vista y botones
  QLabel* Label1 = nullptr;
  std::array<SSPanel*, 3> SSPanel1{}; // rótulos "USUARIO:", "CONSULTA:", "FECHA Consulta:"
  QComboBox* CMBUSUARIO = nullptr;
  QComboBox* CMBCONSULTA = nullptr;
  QLineEdit* TXTBuscar = nullptr;
  QLabel* LBLFecha = nullptr;
  std::array<SSRibbon*, 6> LINEA{}; // 0 abajo (línea 1) … 5 arriba (línea 6)
  std::array<QLabel*, 2> label2{};  // 0 número y nombre, 1 segundo nombre
  std::array<BotonImagen*, 3> BTNAUX{};
  BotonImagen* BTNEXPORTAR = nullptr;

  // El rótulo de la primera entrada de USUARIO.
  static inline const QString Todos = QStringLiteral("(Todos)");

  void BTNAUX_Click(int Index);
  void BTNAUX_MouseMove(int Index);
  void BTNEXPORTAR_Click();
  void CMBCONSULTA_Click();
  void CMBUSUARIO_Click();
  void TXTBuscar_Change();
  void CargarConsultas();
  void MostrarConsulta();
  void EliminarConsulta();
  void Form_Load();
  void Form_MouseMove() override;
  void SSPanel2_MouseMove(int Index);

  // ¿La consulta elegida es un hexagrama que se puede abrir?
  bool HayHexagrama() const { return hayHexagrama_; }

  void setVisible(bool visible) override;

protected:
  void Form_Activate() override;

private:
  // La persona elegida en Usuarios() del diario; -1 con «(Todos)».
  int UsuarioElegido() const;
  // La consulta del diario que se ve; -1 si la lista está vacía.
  int ConsultaElegida() const;
  // Llena CONSULTA con las de la persona elegida que cumplen la búsqueda y
  // elige la entrada `fila` (o la última, si hay menos).
  void LlenarConsultas(int fila);

  Diario diario_;
  ListaConsultas* consultas_ = nullptr;
  // De dónde salieron, y dónde se elimina.
  LugarArchivo lugar_;
  bool hayHexagrama_ = false;
};
