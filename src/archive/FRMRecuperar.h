#pragma once
// «Recuperar Consulta»: las consultas archivadas en dos listas enlazadas
// (usuario y pregunta), la vista de la elegida (fecha, hexagrama, número y
// nombres), y tomarla como consulta en curso o eliminarla del archivo.

#include "archive/ArchivoConsultas.h"
#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QLabel>

#include <array>

// Un campo de cada registro del archivo como lista, leído de los bytes del
// archivo sólo cuando la lista lo enseña: con cien mil consultas no se crean
// cien mil textos por adelantado.
class ListaCampo : public QAbstractListModel {
  Q_OBJECT
public:
  ListaCampo(int desde, int ancho, QObject* parent)
      : QAbstractListModel(parent), desde_(desde), ancho_(ancho) {}
  // Los registros completos del archivo (un múltiplo de 160 bytes).
  void Fijar(const QByteArray& registros);
  int rowCount(const QModelIndex& padre = QModelIndex()) const override;
  QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;

private:
  QByteArray registros_;
  int desde_, ancho_;
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
  QLabel* LBLFecha = nullptr;
  std::array<SSRibbon*, 6> LINEA{}; // 0 abajo (línea 1) … 5 arriba (línea 6)
  std::array<QLabel*, 2> label2{};  // 0 número y nombre, 1 segundo nombre
  std::array<BotonImagen*, 3> BTNAUX{};

  void BTNAUX_Click(int Index);
  void BTNAUX_MouseMove(int Index);
  void CMBCONSULTA_Click();
  void CMBUSUARIO_Click();
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
  // Los registros tal como se leyeron al llenar las listas: la entrada i − 1
  // de cada lista es el registro i.
  QByteArray registros_;
  ListaCampo* usuarios_ = nullptr;
  ListaCampo* preguntas_ = nullptr;
  // De dónde salieron, y dónde se elimina.
  LugarArchivo lugar_;
  bool hayHexagrama_ = false;
};

// Un campo del archivo listo para enseñarlo: los bytes de control (ceros de
// un registro dañado, por ejemplo) se ven como blancos.
QString TextoVisible(const QString& campo);
