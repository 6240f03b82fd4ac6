#pragma once
// La ventana de impresión: qué imprimir (el hexagrama que está a la vista o
// el principal y el complementario), la fuente y la impresora, y la orden de
// imprimir. Cada hexagrama se prepara en una zona oculta de la ventana
// (`Framehexagrama`) y se imprime como un trabajo con `Imprimir`.

#include "platform/Formulario.h"
#include "printing/SuperficieMedida.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class DialogoComun;
class QGroupBox;
class QLabel;
class QRadioButton;
class SSCommand;
class SSPanel;
class SSRibbon;

class FRMImprimir : public Formulario {
  Q_OBJECT
public:
  explicit FRMImprimir(QWidget* parent = nullptr);

  // El rótulo del marco del hexagrama de la ventana de interpretación, que
  // dice qué hexagrama está a la vista ("HEXAGRAMA PRINCIPAL" u otro).
  static inline std::function<QString()> CaptionHexagramaEnPantalla;

  SSPanel* panfondo = nullptr;
  std::array<QRadioButton*, 2> OPCION{};
  QGroupBox* Frame1 = nullptr;
  std::array<SSCommand*, 4> BTNMENU{};
  // El diálogo común de fuentes e impresora. Es el mismo durante toda la
  // ejecución: la fuente elegida vale hasta que el programa termina.
  DialogoComun* CMDPrint = nullptr;
  SSPanel* PANIMPRIMIENDO = nullptr;
  SuperficieMedidaQt printer2;
  // La zona oculta donde se prepara el hexagrama que se imprime.
  QGroupBox* Framehexagrama = nullptr;
  std::array<SSRibbon*, 6> gLINEA{};
  std::array<QLabel*, 2> TXTTRIGRAMA{};
  std::array<QLabel*, 2> TXTHEXAGRAMA{};

  void BTNMENU_Click(int Index);
  // Prepara la zona oculta con una cadena de seis líneas.
  void Actualiza(const QString& Hexagrama);
  // "IMPRESORA": el diálogo de la impresora; otro valor: el de fuentes.
  void Configurar(const QString& What);
  // Imprime el hexagrama preparado como un trabajo.
  void Imprimir();
  // Dice dónde han quedado los PDF de una orden de imprimir (la carpeta y
  // cada nombre) y, si el escritorio tiene con qué, ofrece abrirlos.
  void AvisarPdf(const QStringList& pdfs);

  // El diálogo común de toda la ejecución.
  static DialogoComun& DialogoDeImpresion();

protected:
  void Form_Activate() override;
  QWidget* ControlDelFoco() override;

private:
  void Form_Load();
  // El usuario contestó Anular en un fallo de Imprimir: la orden de
  // imprimir termina ahí.
  bool abortado_ = false;
};
