#pragma once
// Base de todas las ventanas: tamaño y posiciones en twips, centrado,
// presentación modal que vuelve al ocultarse, borde verde azulado, cierre
// por el marco como cancelación y seguimiento del ratón.

#include <QColor>
#include <QDialog>

#include <functional>

class Formulario : public QDialog {
  Q_OBJECT
public:
  explicit Formulario(QWidget* parent = nullptr);

  // Pone la ventana en el centro de la pantalla:
  // izquierda = (ancho de pantalla − ancho de ventana) / 2, y lo mismo arriba.
  void centrarform();

  // Muestra la ventana como modal y vuelve cuando se oculta.
  void MostrarModal();
  // Oculta la ventana: si estaba como modal, su presentación termina.
  void Ocultar();

  // Coloca un control en twips, relativo a su contenedor.
  static void Colocar(QWidget* control, int left, int top, int width, int height);

  // Cuántas veces se ha ejecutado Form_Activate (para pruebas y medidas).
  int activaciones() const { return activaciones_; }

protected:
  // Área de cliente en twips.
  void TamanoTwips(int ancho, int alto);
  // Color de fondo de la ventana.
  void ColorFondo(const QColor& color);
  // Dibuja el contorno de un rectángulo de (0, 0) al ancho y alto de la
  // ventana en RGB(0, 64, 64), como marco.
  void DibujarBorde(bool si = true);
  void TituloVentana(const QString& titulo);
  // Las ventanas que no se centran solas (la presentación ya lo hace al
  // crearse) pueden desactivar el centrado tras mostrarse.
  void CentrarAlMostrar(bool si) { centrarAlMostrar_ = si; }

  // Cada vez que la ventana se muestra.
  virtual void Form_Activate() {}
  // El cierre por el marco y la tecla Escape hacen lo mismo que el botón
  // de cancelar de la ventana; sin él, la ventana sólo se oculta.
  virtual void Form_Cancelar() { Ocultar(); }
  // El ratón se mueve sobre el fondo de la ventana.
  virtual void Form_MouseMove() {}

  // Llama a `accion` cada vez que el ratón se mueve sobre `control`.
  void AlMoverRaton(QWidget* control, std::function<void()> accion);

  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* e) override;

private:
  bool borde_ = false;
  bool centrarAlMostrar_ = true;
  bool cerrandoPorCodigo_ = false;
  class QEventLoop* bucle_ = nullptr;
  int activaciones_ = 0;
  std::vector<std::pair<QWidget*, std::function<void()>>> seguimiento_;
};
