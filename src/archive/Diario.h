#pragma once
// El archivo de consultas leído como un diario: cada persona una vez, en
// orden alfabético castellano, y sus consultas de la más reciente a la más
// antigua, con lo que hace falta para listarlas, buscarlas y exportarlas.
// No usa ventanas: la ventana de recuperar y la exportación desde la línea
// de órdenes leen lo mismo.
//
// Con cien mil consultas no se crean cien mil textos por adelantado: cada
// consulta guarda su lugar en los bytes del archivo, su fecha y sus números,
// y los textos se leen de los bytes cuando se enseñan.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class Diario {
public:
  // Una consulta del archivo.
  struct Consulta {
    int registro = 0;       // su lugar en el archivo, desde 1
    int usuario = 0;        // índice en Usuarios()
    std::int64_t dia = 0;   // la fecha guardada como día juliano; 0 si no se puede leer
    int hexagrama = 0;      // 1 a 64; 0 si las líneas guardadas no forman un hexagrama
    int complementario = 0; // el mismo número si no muda ninguna línea
  };

  Diario() = default;
  // `registros`: el contenido del archivo (lo que sobre del último registro se
  // deja fuera, como al leerlo). Los números de los hexagramas salen de la
  // lista de hexagramas, que ha de estar cargada.
  explicit Diario(const QByteArray& contenido);

  const QByteArray& registros() const { return registros_; }
  int size() const { return int(consultas_.size()); }
  bool empty() const { return consultas_.empty(); }
  const Consulta& operator[](int i) const { return consultas_[size_t(i)]; }

  // Cada persona una vez, en orden alfabético castellano (Í con la I, Ñ tras
  // la N), como está escrita en el archivo, sin blancos de relleno.
  const QStringList& Usuarios() const { return usuarios_; }
  // La persona de Usuarios() cuyo nombre es `nombre` sin mirar mayúsculas ni
  // acentos; -1 si no hay ninguna.
  int BuscarUsuario(const QString& nombre) const;

  // Las consultas de la persona `usuario` (todas con -1), de la más reciente a
  // la más antigua según la fecha guardada; las del mismo día, la grabada
  // después primero; las de fecha ilegible, al final. Si `busqueda` no está
  // vacía, sólo las que la cumplen (véase Cumple).
  std::vector<int> Consultas(int usuario = -1, const QString& busqueda = QString()) const;

  // ¿La consulta i cumple la búsqueda? Cada palabra buscada ha de ser el
  // principio de una palabra de la pregunta, sin mirar mayúsculas ni acentos;
  // un número solo vale también si es el del hexagrama o el de su
  // complementario.
  bool Cumple(int i, const QString& busqueda) const;

  // Los campos de la consulta i tal como se pueden leer: sin blancos de
  // relleno y con los bytes de control como blancos (la pregunta conserva sus
  // saltos de línea, que son suyos).
  QString Usuario(int i) const { return usuarios_[consultas_[size_t(i)].usuario]; }
  // Cómo se enseña el nombre de una persona: uno en blanco (de un registro
  // dañado) se ve «(sin nombre)».
  static QString NombreVisible(const QString& usuario);
  QString Pregunta(int i) const;
  // La misma pregunta ya en UTF-8: exportar cien mil no la pasa por QString.
  QByteArray PreguntaUtf8(int i) const;
  QString Lineas(int i) const;
  // Los seis bytes de las líneas, tal como están en el archivo.
  QByteArrayView LineasBytes(int i) const;
  QString Fecha(int i) const;
  QDate FechaGuardada(int i) const;
  // Las líneas del complementario: las que mudan, giradas.
  QString LineasComplementario(int i) const;
  // Los 160 bytes de la consulta i, para eliminarla por lo que es.
  QByteArray Bytes(int i) const;

  // La entrada de la lista: «06/12/2026 · 11 → 46 · ¿CAMBIARÉ DE CASA?»; con
  // `conUsuario`, la persona tras la fecha. Sin hexagrama, sin número.
  QString Entrada(int i, bool conUsuario = false) const;

private:
  QByteArray registros_;
  std::vector<Consulta> consultas_; // en el orden de Consultas(-1)
  std::vector<std::vector<int>> porUsuario_;
  QStringList usuarios_;
};

// Un campo del archivo listo para enseñarlo en una línea: los bytes de
// control (ceros de un registro dañado, saltos de línea) se ven como blancos.
QString TextoVisible(const QString& campo);
