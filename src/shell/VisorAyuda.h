#pragma once
// El visor de la ayuda: abre el fichero de ayuda por su página de índice.

#include <QDialog>

class QTextBrowser;

class VisorAyuda : public QDialog {
  Q_OBJECT
public:
  // El visor, creado la primera vez que se pide.
  static VisorAyuda& Instancia();

  // Orden 3: mostrar el índice del fichero de ayuda. Si el fichero no se
  // puede abrir, el visor lo dice y no se muestra.
  bool MostrarIndice(const QString& ruta);
  QTextBrowser* Texto() const { return texto_; }

private:
  explicit VisorAyuda(QWidget* parent = nullptr);
  QTextBrowser* texto_;
};
