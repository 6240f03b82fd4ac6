#pragma once
// Base de todas las ventanas: tamaño y posiciones en twips, centrado,
// presentación modal que vuelve al ocultarse, borde verde azulado, teclado
// (Intro, Escape y el foco) y seguimiento del ratón.

#include <QColor>
#include <QDialog>
#include <QMargins>
#include <QPointer>

#include <functional>

class QAbstractButton;

class Formulario : public QDialog {
  Q_OBJECT
public:
  explicit Formulario(QWidget* parent = nullptr);

  // Pone la ventana en el centro de la pantalla por su tamaño exterior, con
  // el marco que le pone el gestor de ventanas:
  // izquierda = (ancho de pantalla − ancho de ventana) / 2, y lo mismo arriba.
  // Una ventana agrandada o maximizada por la persona no se mueve.
  void centrarform();

  // Muestra la ventana como modal y vuelve cuando se oculta.
  void MostrarModal();
  // Oculta la ventana: si estaba como modal, su presentación termina.
  void Ocultar();

  // Coloca un control en twips, relativo a su contenedor.
  static void Colocar(QWidget* control, int left, int top, int width, int height);

  // El botón que pulsa Intro cuando el foco no está en un botón, y el que
  // pulsan Escape y el cierre por el marco. Los dice la ventana; si no dice
  // nada, son los botones llamados «Aceptar» (o el predeterminado) y
  // «Cancelar». Pueden no existir.
  QAbstractButton* BotonAceptar() const;
  QAbstractButton* BotonCancelar() const;

  // El marco que el gestor de ventanas pone a las ventanas con barra de
  // título: se aprende de la primera que lo recibe y sirve para centrar las
  // demás antes de mostrarlas, de modo que aparezcan ya en su sitio. Las
  // pruebas pueden fijarlo (no hay gestor de ventanas en ellas).
  static QMargins MarcoPrevisto();
  static void FijarMarcoPrevisto(const QMargins& marco);

protected:
  // Área de cliente en twips.
  void TamanoTwips(int ancho, int alto);
  // Color de fondo de la ventana.
  void ColorFondo(const QColor& color);
  // Dibuja el contorno de un rectángulo de (0, 0) al ancho y alto de la
  // ventana en RGB(0, 64, 64), como marco.
  void DibujarBorde(bool si = true);
  void TituloVentana(const QString& titulo);
  // La ventana dice cuáles son sus botones de aceptar y cancelar (cualquiera
  // puede ser nulo: no tiene).
  void BotonesAceptarCancelar(QAbstractButton* aceptar, QAbstractButton* cancelar);

  // Cada vez que la ventana se muestra.
  virtual void Form_Activate() {}
  // Escape y el cierre por el marco en una ventana sin botón de cancelar.
  // Sin nada que hacer, la tecla no hace nada: ninguna ventana desaparece
  // sin que lo haga uno de sus botones.
  virtual void Form_Cancelar() {}
  // El ratón se mueve sobre el fondo de la ventana.
  virtual void Form_MouseMove() {}
  // El control principal de la ventana: recibe el foco cuando el que lo
  // tenía se apaga o se esconde y no vuelve enseguida (nulo: ninguno; el
  // foco espera a que vuelva).
  virtual QWidget* ControlDelFoco() { return nullptr; }

  // «¿Abandonar esta consulta?», con No por defecto: true si la respuesta
  // es Sí. Lo preguntan las ventanas que tiran lo hecho al cancelar. Un
  // segundo Escape o Cancelar mientras la pregunta está abierta no abre otra:
  // devuelve false.
  bool PreguntarAbandono();
  bool PreguntandoAbandono() const { return preguntandoAbandono_; }

  // Llama a `accion` cada vez que el ratón se mueve sobre `control`.
  void AlMoverRaton(QWidget* control, std::function<void()> accion);

  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void reject() override;
  bool focusNextPrevChild(bool next) override;
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* e) override;

private:
  // Escape y el cierre: el botón de cancelar, si está a la vista y encendido.
  void Cancelar();
  // Intro: el botón con el foco o, si no, el de aceptar.
  void PulsarIntro();
  void AparcarFoco(QWidget* perdido);
  QSize TamanoExterior() const;
  bool MarcoSabido() const;

  QSize tamanoDiseno_;
  bool borde_ = false;
  bool cerrandoPorCodigo_ = false;
  bool marcoPendiente_ = false;
  QPointer<QAbstractButton> aceptar_, cancelar_;
  QPointer<QWidget> focoAparcado_;
  class QEventLoop* bucle_ = nullptr;
  std::vector<std::pair<QWidget*, std::function<void()>>> seguimiento_;
  bool preguntandoAbandono_ = false;
};
