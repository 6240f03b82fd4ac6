#pragma once
// Apoyo común de las pruebas: carpeta del programa, estado de arranque, ventanas modales, procesos hijos
// y reloj. Un apoyo que comprueba algo sólo sale de sí mismo al fallar: quien lo llama mira el resultado
// (QVERIFY(EscribirTodo(…))) o QTest::currentTestFailed() y termina también.

#include "core/Estado.h"
#include "platform/Basico.h"

#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <array>
#include <functional>
#include <random>
#include <source_location>

using namespace Qt::StringLiterals;

// Ruta de un fichero generado por la construcción (trigr.kvl, BINARIO.DAT…).
QString RutaDatoGenerado(const QString& nombre);
// Los ficheros de datos que lleva una carpeta de prueba.
inline const QStringList FicherosDeDatos = {u"trigr.kvl"_s, u"hexagr.kvl"_s, u"BINARIO.DAT"_s,
                                            u"KORVAL.HLP"_s};

// Todo el fichero (nada si no se puede leer); escribir sustituye lo que hubiera y dice si pudo.
QByteArray LeerTodo(const QString& ruta);
[[nodiscard]] bool EscribirTodo(const QString& ruta, const QByteArray& bytes);
// Los ficheros de `carpeta` (también enlaces y ocultos) que no son los `conocidos`, por nombre.
QStringList Sobrantes(const QString& carpeta, const QStringList& conocidos = FicherosDeDatos);
// "título: texto" del único mensaje mostrado, si lleva el `estilo`; si no, cuántos hubo.
QString UnicoMensaje(int estilo);

// Una carpeta temporal del programa (y de escritura) mientras vive, con los datos generados.
class CarpetaPrueba {
public:
  explicit CarpetaPrueba(bool conDatos = true);
  ~CarpetaPrueba() { FijarCarpetas({}); }
  QString ruta() const { return dir_.path(); }
  QString fichero(const QString& nombre) const { return dir_.filePath(nombre); }

private:
  static void FijarCarpetas(const QString& ruta); // la del programa y la de escritura
  QTemporaryDir dir_;
};

// Globales reiniciados, guion de mensajes (sin cajas reales) y, si se pide, las listas de nombres.
void PrepararEstado(bool cargarListas = true);

// Ejecuta `accion` con la ventana modal de arriba cuando cumpla `esperada`. Ningún fallo cuelga la
// prueba: si en unos segundos no aparece, o si tras la acción sigue abierta, la prueba falla en la línea
// que pidió la espera y la ventana se cierra.
void AlAparecerModalSi(std::function<bool(QWidget*)> esperada, std::function<void(QWidget*)> accion,
                       std::source_location donde = std::source_location::current());
template <typename T>
void AlAparecer(std::function<void(T*)> accion,
                std::source_location donde = std::source_location::current()) {
  AlAparecerModalSi([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                    [accion](QWidget* w) { accion(qobject_cast<T*>(w)); }, donde);
}
inline void AlAparecerModal(std::function<void(QWidget*)> accion,
                            std::source_location donde = std::source_location::current()) {
  AlAparecer<QWidget>(std::move(accion), donde);
}

// Detiene las esperas que no llegaron a actuar (ventanas que no salieron) y dice cuántas eran.
int CancelarEsperasModales();

// `trabajo` en un proceso hijo, con los ficheros que escriba limitados a `topeBytes` si no es negativo
// (un disco lleno de verdad): true si el hijo terminó a tiempo y dijo que sí. Uno colgado se mata.
bool EnUnHijo(const std::function<bool()>& trabajo, qint64 topeBytes = -1);

// Teclea `texto` en `w` ("\n" es Intro), también letras que no son ASCII (QTest::keyClicks no).
void Escribir(QWidget* w, const QString& texto);

void MoverRaton(QWidget* w, QPointF punto = QPointF(5, 5));
// Un clic con el botón izquierdo en `punto` de `w` (sin él, en el centro).
inline void Pulsar(QWidget* w, QPoint punto = {}) {
  QTest::mouseClick(w, Qt::LeftButton, {}, punto);
}

// El valor (6 a 9) de la línea que muestra `dibujo`, si es uno de la `serie`; si no, «?».
inline QChar ValorDibujado(const QPixmap& dibujo, const std::array<QPixmap, 4>& serie) {
  const auto k =
      std::find_if(serie.begin(), serie.end(), [&](auto& p) { return p.cacheKey() == dibujo.cacheKey(); });
  return k == serie.end() ? u'?' : QChar(u'6' + int(k - serie.begin()));
}

// Los controles visibles y encendidos de `ventana` cuyo dibujo no se ve entero, a su tamaño y sin
// emborronar (ni encogido ni entre dos píxeles), con su nombre y los tamaños.
QStringList DibujosQueNoCaben(QWidget* ventana);

void CerrarVentanasAbiertas();

// Reloj de pruebas para Timer(): avanza `paso` más un vaivén de su propio generador (sin tocar Rnd)
// cada vez que se le mira; con un paso exacto dos monedas podrían acompasarse y verse de canto.
// Se pone al crearse.
struct RelojFalso {
  double t = 40000.0, paso = 0.0005, vaiven = 0.001;
  std::minstd_rand azar{12345};
  double avanzar() { return t += paso + vaiven * std::uniform_real_distribution<double>(0.0, 1.0)(azar); }
  RelojFalso() {
    FijarReloj([this] { return avanzar(); });
  }
  ~RelojFalso() { FijarReloj(nullptr); }
};
