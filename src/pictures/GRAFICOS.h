#pragma once
// El almacén de dibujos: una ventana que nunca se muestra y guarda los
// dibujos que comparten las demás. Todos están dibujados por nosotros con
// QPainter, para la densidad de píxeles de la pantalla.

#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <array>

class GRAFICOS : public QWidget {
  Q_OBJECT
public:
  // El almacén se crea la primera vez que alguien lo usa, como una ventana
  // que se carga al nombrarla.
  static GRAFICOS& Instancia();
  static bool Creado();

  // Una línea de hexagrama en tres tamaños (172 x 31, 103 x 19 y 86 x 16
  // píxeles); el índice k es el valor 6 + k: 6 partida con una cruz en el
  // hueco, 7 entera, 8 partida, 9 entera con un anillo en el centro.
  // Barras claras sobre negro.
  std::array<QPixmap, 4> GRFLINEA, GRFLINEAm, GRFLINEAp;
  // Caras de los botones de aceptar y cancelar (75 x 40): las palabras
  // «Aceptar» y «Cancelar».
  QPixmap Gaceptar, Gcancelar;

  // Menú principal: las ocho caras de BTNMENU(0..7) (69 x 69; la 7 de 33 x 35).
  std::array<QPixmap, 8> CarasMenu;
  // Fondo de la ventana de presentación (488 x 235).
  QPixmap FondoInicio;
  // El dibujo de 640 x 480 de la ventana de aviso, que luego es el fondo del
  // menú principal.
  QPixmap Consejo;
  // Icono del programa.
  QIcon Icono;

  // Las siete imágenes de una moneda (100 x 100): 0 anverso con cuatro
  // caracteres alrededor del agujero cuadrado, 1 anverso inclinado, 2 de
  // canto, 3 reverso inclinado, 4 reverso liso, 5 reverso inclinado
  // (segunda imagen), 6 anverso inclinado (segunda imagen).
  std::array<QPixmap, 7> grfmoneda;
  // Caras del botón de tirar (200 x 40): 0 «Arrojar Monedas», 1 «Parar
  // Monedas», en letra verde de trazo manuscrito sobre negro.
  std::array<QPixmap, 2> GRFarrojarParar;

  // Ventana de interpretación: caras de BTNMENU(0) (55 x 55): 1 mientras se
  // ve el principal (pasa al complementario), 0 mientras se ve el
  // complementario.
  std::array<QPixmap, 2> IMGHEXAGR;
  // Caras de BTNMENU(1..3) de la ventana de interpretación (55 x 55):
  // 1 archivar, 2 imprimir, 3 volver al menú. La 0 no se usa.
  std::array<QPixmap, 4> CarasInterpretar;
  // Botón de eliminar consulta de la ventana de recuperación (33 x 33).
  QPixmap Eliminar;
  // Botón de exportar consultas de la misma ventana (33 x 33).
  QPixmap Exportar;
  // Icono de impresora del botón de imprimir (32 x 32).
  QPixmap Impresora;

private:
  explicit GRAFICOS(QWidget* parent = nullptr);
  void Form_Load();
};
