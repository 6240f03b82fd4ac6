#pragma once
// La ventana de interpretación, donde acaba toda consulta: el dibujo del
// hexagrama, sus nombres y los de sus trigramas, la pregunta y, a petición,
// los textos del almacén (DECISION, COMENTARIO, IMAGEN y cada línea que
// cambia). Pasa del hexagrama principal al complementario y vuelve, y abre
// los diálogos de archivar e imprimir.

#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QFont>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <array>
#include <functional>

// Marco con rótulo (el rótulo es su título) que avisa cuando se pulsa sobre
// su propio fondo, no sobre uno de sus controles.
class MarcoPulsable : public QGroupBox {
  Q_OBJECT
public:
  explicit MarcoPulsable(const QString& rotulo, QWidget* parent = nullptr);
signals:
  void Click();

protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  bool pulsado_ = false;
};

// Etiqueta que avisa cuando se pulsa.
class EtiquetaPulsable : public QLabel {
  Q_OBJECT
public:
  explicit EtiquetaPulsable(QWidget* parent = nullptr);
signals:
  void Click();

protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  bool pulsado_ = false;
};

class FRMInterpretar : public Formulario {
  Q_OBJECT
public:
  explicit FRMInterpretar(QWidget* parent = nullptr);

  // Los diálogos propios de la ventana, que pone en su sitio el arranque:
  // archivar la consulta (devuelve el nombre con el que se grabó, vacío si
  // no se grabó) e imprimirla. Vacíos, sus botones no abren nada.
  static inline std::function<QString()> AbrirGrabar;
  static inline std::function<void()> AbrirImprimir;

  // El rótulo del marco: qué hexagrama está a la vista ("HEXAGRAMA
  // PRINCIPAL" o "HEXAGRAMA COMPLEMENTARIO").
  QString CaptionHexagrama() const;

  // Controles.
  std::array<BotonImagen*, 4> BTNMENU{};
  MarcoPulsable* Framehexagrama = nullptr;
  std::array<BotonImagen*, 6> LINEA{};
  std::array<SSPanel*, 2> SSPanel2{};
  std::array<EtiquetaPulsable*, 2> TXTTRIGRAMA{};
  std::array<EtiquetaPulsable*, 2> TXTHEXAGRAMA{};
  QLineEdit* PREGUNTA = nullptr;
  SSPanel* SSPanel1 = nullptr;
  std::array<SSCommand*, 9> BTNINTERPRETAR{};
  QPlainTextEdit* Text1 = nullptr;
  std::array<QPlainTextEdit*, 2> Text2{};
  // Una línea que dice, unos segundos, que la consulta quedó grabada.
  QLabel* LBLAviso = nullptr;
  // Cuánto dura a la vista (las pruebas no esperan tanto).
  static inline int DuracionAvisoMs = 4000;

  // Los puntos de la letra de lectura, que Ctrl++ y Ctrl+− cambian.
  double PuntosLectura() const { return puntosLectura_; }
  void CambiarLetraLectura(double puntos);

  // El botón cuyo texto está a la vista; -1 si ninguno (la siguiente
  // petición siempre muestra).
  int LastShownIndex = -1;

  // Rutinas de la ventana.
  void ActualizaHexagrama(const QString& lines);
  void CargarBuffer(const QString& lines);
  void MostrarTexto(const QString& code);

  // Sucesos.
  void BTNINTERPRETAR_GotFocus(int Index);
  void LINEA_Click(int Index);
  void BTNMENU_Click(int Index);
  void Framehexagrama_Click();
  void TXTHEXAGRAMA_Click(int Index);
  void TXTTRIGRAMA_Click(int Index);
  void SSPanel2_Click(int Index);

protected:
  void Form_Load();
  void Form_Activate() override;
  void Form_MouseMove() override;
  void resizeEvent(QResizeEvent* e) override;

private:
  void CambiarHexagrama();
  void Habilitar(int desde, int hasta, bool si);
  // Lo que se ve según el hexagrama a la vista: el botón de cambio, su cara
  // y el rótulo del marco.
  void PonerPrincipal(bool principal);
  // La letra de la pregunta, a la medida de su texto.
  void AjustarPregunta();
  QFont letraPregunta_;
  // Coloca los controles según el tamaño: la lectura crece con la ventana;
  // lo demás guarda su diseño.
  void Distribuir();
  void AvisarGrabada(const QString& usuario);
  // La carga dio el foco a DECISION; se hace efectivo al acabar la activación.
  bool focoPedido_ = false;
  double puntosLectura_ = 11.5;
  class QTimer* relojAviso_ = nullptr;
  // Cuántos textos se han pedido: el de una petición adelantada por otra no
  // se muestra.
  int peticiones_ = 0;
};
