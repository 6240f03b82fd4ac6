#pragma once
// Apoyo común de las pruebas: una carpeta del programa propia con los
// ficheros de datos, el estado de arranque y la ayuda para ventanas modales.

#include <QPointF>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

// Ruta de un fichero generado por la construcción (trigr.kvl, BINARIO.DAT…).
QString RutaDatoGenerado(const QString& nombre);

// Una carpeta temporal que hace de carpeta del programa (y de escritura)
// mientras vive, con copias de los ficheros de datos generados.
class CarpetaPrueba {
public:
  explicit CarpetaPrueba(bool conDatos = true);
  ~CarpetaPrueba();
  CarpetaPrueba(const CarpetaPrueba&) = delete;
  CarpetaPrueba& operator=(const CarpetaPrueba&) = delete;
  QString ruta() const { return dir_.path(); }
  QString fichero(const QString& nombre) const;

private:
  QTemporaryDir dir_;
};

// Estado de arranque: globales reiniciados, LineBreak puesto, guion de
// mensajes activo (sin cajas reales) y, si se pide, las listas de nombres
// leídas de la carpeta del programa.
void PrepararEstado(bool cargarListas = true);

// Cuando aparezca la siguiente ventana modal (distinta de `salvo`), ejecuta
// `accion` con ella. Falla la prueba si no aparece en `limiteMs`.
void AlAparecerModal(std::function<void(QWidget*)> accion, QWidget* salvo = nullptr, int limiteMs = 10000);

// Como AlAparecerModal, pero sólo actúa cuando la ventana modal de arriba es
// de la clase T (las esperas encadenadas no se confunden de ventana).
void AlAparecerModalSi(std::function<bool(QWidget*)> esperada, std::function<void(QWidget*)> accion,
                       int limiteMs = 20000);
template <typename T> void AlAparecer(std::function<void(T*)> accion, int limiteMs = 20000) {
  AlAparecerModalSi([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                    [accion](QWidget* w) { accion(qobject_cast<T*>(w)); }, limiteMs);
}

// Detiene las esperas de AlAparecerModal que no llegaron a actuar y dice
// cuántas eran (una prueba que termina con esperas pendientes esperaba una
// ventana que no salió).
int CancelarEsperasModales();

// La ventana modal de arriba (o la ventana de nivel superior visible más
// reciente si no hay ninguna modal).
QWidget* VentanaModalActiva();

// Teclea `texto` carácter a carácter en `w` ("\n" es Intro); a diferencia
// de QTest::keyClicks, también letras que no son ASCII.
void Escribir(QWidget* w, const QString& texto);

// Un movimiento del ratón sobre `w`, en `punto` (coordenadas de `w`).
void MoverRaton(QWidget* w, QPointF punto = QPointF(5, 5));

// Cierra y oculta cualquier ventana de nivel superior que quede visible.
void CerrarVentanasAbiertas();
