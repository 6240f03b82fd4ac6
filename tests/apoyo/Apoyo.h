#pragma once
// Apoyo común de las pruebas: carpeta del programa, estado de arranque, ventanas modales y reloj.

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

using namespace Qt::StringLiterals;

// Ruta de un fichero generado por la construcción (trigr.kvl, BINARIO.DAT…).
QString RutaDatoGenerado(const QString& nombre);

// Todo el fichero (nada si no se puede leer); escribir sustituye lo que hubiera.
QByteArray LeerTodo(const QString& ruta);
void EscribirTodo(const QString& ruta, const QByteArray& bytes);

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

// Ejecuta `accion` con la ventana modal de arriba cuando cumpla `esperada`; si no, falla sin colgarse.
void AlAparecerModalSi(std::function<bool(QWidget*)> esperada, std::function<void(QWidget*)> accion,
                       int limiteMs = 20000);
template <typename T> void AlAparecer(std::function<void(T*)> accion, int limiteMs = 20000) {
  AlAparecerModalSi([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                    [accion](QWidget* w) { accion(qobject_cast<T*>(w)); }, limiteMs);
}
inline void AlAparecerModal(std::function<void(QWidget*)> accion) {
  AlAparecer<QWidget>(std::move(accion));
}

// Detiene las esperas que no llegaron a actuar (ventanas que no salieron) y dice cuántas eran.
int CancelarEsperasModales();

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
