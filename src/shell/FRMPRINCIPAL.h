#pragma once
// El menú principal: arranca el programa, ofrece las ocho órdenes y lleva
// los flujos de cada consulta.

#include "archive/UltimaConsulta.h"
#include "platform/Controles.h"
#include "platform/Formulario.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

#include <array>
#include <functional>
#include <memory>

class FRM256;
class FRMInicio;
class FRMTirada;
class FRMIntroducir;
class FRM64HEXAGRAMAS;
class frmconsulta;
class FRMInterpretar;
class FRMRecuperar;
class FRMGrabar;
class FRMImprimir;
class InstanciaUnica;

class FRMPRINCIPAL : public Formulario {
  Q_OBJECT
public:
  // Crear el menú es arrancar el programa (Form_Load).
  explicit FRMPRINCIPAL(QWidget* parent = nullptr);
  ~FRMPRINCIPAL() override;

  std::array<BotonImagen*, 8> BTNMENU{};
  QLabel* Panmsg;

  // Las ventanas que viven toda la ejecución, ocultas entre usos.
  FRMTirada* Tirada = nullptr;
  FRMIntroducir* Introducir = nullptr;
  FRM64HEXAGRAMAS* Hexagramas64 = nullptr;
  frmconsulta* Consulta = nullptr;
  FRMInterpretar* Interpretar = nullptr;
  FRMRecuperar* Recuperar = nullptr;
  FRMGrabar* Grabar = nullptr;
  FRMImprimir* Imprimir = nullptr; // se crea la primera vez que se usa
  FRMImprimir& VentanaImprimir();

  // ¿Terminó el programa durante el arranque (otra copia, aviso cancelado,
  // listas de nombres ilegibles)? Entonces el menú no se muestra.
  bool Terminado() const { return terminado_; }
  // ¿Se pidió terminar el programa (salida confirmada)?
  bool Finalizado() const { return finalizado_; }
  // Con qué termina el programa si terminó en el arranque: 1 si otra copia
  // en marcha no contestó, 0 en los demás casos.
  int CodigoSalida() const { return codigoSalida_; }
  // Otra copia que arranca pide a esta que se ponga delante.
  void PonerseDelante();

  void BTNMENU_Click(int Index);
  // ¿Está encendido el menú (ninguna orden en curso)?
  bool Encendido() const { return encendido_; }
  void BTNMENU_MouseMove(int Index);
  void AdvanceProgress();
  void ShowHelp();
  void ShowProgrammerData();

  // Los flujos de las órdenes 0 a 4.
  void StartConsultation();
  void StartManualHexagram();
  void StartCatalogueHexagram();
  void ComprobarYReabrir();
  void ReopenLastConsultation();
  void RetrieveStoredConsultation();

  // Lo que hace terminar el programa una vez en marcha: salir del bucle de
  // eventos. Costura para las pruebas, que siguen en el mismo proceso.
  static inline std::function<void()> SalirDelPrograma = [] { QCoreApplication::exit(0); };

  // La presentación mientras dura el arranque (para pruebas).
  FRMInicio* Inicio() const { return inicio_; }
  // El ancho y el rótulo finales de la barra de progreso del arranque.
  int AnchoBarraFinal() const { return anchoBarraFinal_; }
  QString RotuloBarraFinal() const { return rotuloBarraFinal_; }

protected:
  void Form_Activate() override;
  // Escape, como el cierre por el marco y el botón 6, pregunta antes de salir.
  void Form_Cancelar() override { close(); }
  void Form_MouseMove() override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* objeto, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

private:
  void Form_Load();
  bool Form_QueryUnload();
  void terminar();
  void Encender(bool si);
  void InterpretarYRecordar();
  // La consulta en curso pasa a ser la última, también en su fichero.
  void RecordarUltima();

  std::unique_ptr<InstanciaUnica> copiaUnica_;
  FRMInicio* inicio_ = nullptr;
  QPixmap fondo_;
  bool terminado_ = false;
  bool finalizado_ = false;
  bool arrancado_ = false;
  bool encendido_ = true;
  bool tabulando_ = false; // una tecla que mueve el foco acaba de pulsarse
  int codigoSalida_ = 0;
  // Si hay una última consulta de otra sesión, o por qué no.
  EstadoUltima estadoUltima_ = EstadoUltima::NoHay;
  int anchoBarraFinal_ = 0;
  QString rotuloBarraFinal_;
};
