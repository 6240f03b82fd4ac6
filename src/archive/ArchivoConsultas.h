#pragma once
// El archivo de consultas "usuarios.dat": registros de 160 bytes, sin
// cabecera, en Windows-1252, ordenados por usuario.
//
//   0   4  número (posición del registro, cuatro cifras con ceros delante)
//   4   1  separador 0x00
//   5  30  usuario (sin blancos alrededor y en mayúsculas)
//  35   1  separador 0x00
//  36 100  pregunta
// 136   1  separador 0x00
// 137   6  líneas (seis valores de línea, la de abajo primero)
// 143   1  separador 0x00
// 144  10  fecha dd/mm/aaaa
// 154   1  separador 0x00
// 155   5  relleno (ceros al escribir; nadie lo lee)
//
// Todo el trabajo sobre el contenido se hace en memoria, con bytes; el
// archivo sólo se toca para leerlo entero y para sustituirlo entero de una
// vez (Carpeta::Sustituir), de modo que un corte en cualquier instante deja
// en disco el archivo viejo o el nuevo, completos. Cada lectura para cambiar
// se hace con el candado del archivo en la mano: dos copias de KORVAL que
// graban a la vez no pierden ninguna consulta.

#include "platform/Basico.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

inline constexpr int LargoRegistro = 160;
inline const QString NombreArchivo = QStringLiteral("usuarios.dat");

// Posición y ancho de cada campo dentro del registro.
namespace CampoRegistro {
inline constexpr int Numero = 0, AnchoNumero = 4;
inline constexpr int Usuario = 5, AnchoUsuario = 30;
inline constexpr int Pregunta = 36, AnchoPregunta = 100;
inline constexpr int Lineas = 137, AnchoLineas = 6;
inline constexpr int Fecha = 144, AnchoFecha = 10;
inline constexpr int Relleno = 155, AnchoRelleno = 5;
} // namespace CampoRegistro

// Una consulta guardada, campo a campo, tal como está en el archivo (cada
// byte es un carácter, así que leer y volver a escribir da los mismos bytes).
struct ArchiveRecord {
  TextoFijo Numero{4};
  TextoFijo Separador1{1};
  TextoFijo Usuario{30};
  TextoFijo Separador2{1};
  TextoFijo Pregunta{100};
  TextoFijo Separador3{1};
  TextoFijo Lineas{6};
  TextoFijo Separador4{1};
  TextoFijo Fecha{10};
  TextoFijo Separador5{1};

  // Un registro nuevo: separadores a 0x00, número "0000" hasta que se ordene.
  // Los textos se guardan compuestos: una «E» seguida de un acento suelto
  // (como la escriben algunos métodos de entrada) se guarda «É».
  static ArchiveRecord Nuevo(const QString& usuario, const QString& pregunta, const QString& lineas,
                             const QString& fecha);
  // Los campos de 160 bytes de archivo (los que falten cuentan como ceros).
  static ArchiveRecord DesdeBytes(QByteArrayView bytes);
  // Los 160 bytes del registro, con el relleno a cero.
  QByteArray Bytes() const;
};

// El registro de trabajo, compartido por la ventana de grabar y la de
// recuperar: el último que se grabó o se leyó.
extern ArchiveRecord RegistroTrabajo;

// Registros que tiene un archivo de `largo` bytes: largo / 160 redondeado al
// entero más cercano, las mitades al par.
int NumeroRegistros(qint64 largo);
// Los registros de un contenido: sus NumeroRegistros primeros bloques de 160
// bytes; lo que sobra se deja fuera y lo que falta del último cuenta como
// ceros.
QByteArray RegistrosCompletos(const QByteArray& contenido);
std::vector<ArchiveRecord> LeerRegistros(const QByteArray& contenido);

// El número de la posición i (desde 1), con ceros delante hasta cuatro
// cifras. El campo sólo tiene cuatro: pasada la 9999 se quedan las cuatro
// últimas (nadie lee este campo; sólo acompaña al registro).
QByteArray NumeroRegistro(int i);
// La fecha como se guarda: día y mes con dos cifras, año con cuatro.
QString FechaRegistro(const QDate& fecha);
// La fecha guardada en un registro; inválida si el campo no tiene una.
QDate LeerFechaRegistro(const QString& guardada);
// El usuario como se guarda: sin blancos alrededor y en mayúsculas (una
// letra cuya mayúscula no cabe en Windows-1252 se queda como está).
QString UsuarioRegistro(const QString& escrito);

// Ordena los registros por el campo de usuario (comparación de bytes de los
// 30 caracteres, blancos incluidos; los de igual usuario conservan su orden)
// y los numera según su posición. `registros` tiene un múltiplo de 160 bytes.
QByteArray OrdenarArchivo(QByteArray registros);
// El archivo que resulta de añadir `nuevo` como último registro de
// `contenido` y ordenar.
QByteArray ConRegistroNuevo(const QByteArray& contenido, const ArchiveRecord& nuevo);
// El archivo sin el registro `indice` (desde 1); los demás conservan orden y
// número. Un índice fuera de los registros deja los registros como están.
QByteArray SinRegistro(const QByteArray& contenido, int indice);

// --- El archivo en disco -----------------------------------------------------

// Ningún archivo de verdad se acerca a esto (cincuenta años de una consulta
// diaria son unas 20.000, 3 MB); algo mayor no se carga en memoria.
inline constexpr qint64 LimiteArchivo = qint64(256) * 1024 * 1024;

// Dónde está el archivo. Se graba siempre en la carpeta donde escribe el
// programa; si esa no es la del programa (una copia instalada, una memoria
// de sólo lectura) y allí aún no hay archivo, las consultas que se ven son
// las del archivo de junto al programa, que nunca se cambia: la primera
// grabación o eliminación lo copia entero a la carpeta de escritura (uno
// que no se puede leer no es de este usuario: se empieza uno propio).
struct LugarArchivo {
  QString archivo;  // el que se graba
  QString heredado; // el de junto al programa, si existe y el programa escribe en otro sitio
  // De dónde salen las consultas que hay ahora.
  QString Lectura() const;
};
LugarArchivo UbicarArchivo();
// El aviso, una sola vez, de que la grabación o eliminación que acaba de
// hacerse ha copiado el archivo de junto al programa a `lugar.archivo`.
void AvisarArchivoCopiado(const LugarArchivo& lugar);

// Lee el archivo entero. Si no existe, el contenido es vacío y devuelve true;
// si existe y no se puede leer (o no es un fichero normal, o pasa del
// límite), devuelve false con el motivo en castellano.
bool LeerArchivo(const QString& ruta, QByteArray* contenido, QString* error);

// Cómo acabó una grabación o una eliminación.
enum class ResultadoArchivo {
  Hecho,
  Copiado, // hecho, y el archivo de junto al programa se copió para ello
  NoEsta,  // la consulta que se iba a eliminar ya no está en el archivo
  Fallo,   // nada ha cambiado; el error dice por qué
};

// Cuánto se espera a que otra copia de KORVAL termine con el archivo.
inline constexpr int EsperaCandadoMs = 5000;

// Añade `nuevo` al archivo y lo deja ordenado y numerado. Nunca escribe a
// través de un enlace simbólico ni deja el archivo mayor que LimiteArchivo.
ResultadoArchivo GrabarRegistro(const LugarArchivo& lugar, const ArchiveRecord& nuevo, QString* error);
ResultadoArchivo GrabarRegistro(const QString& ruta, const ArchiveRecord& nuevo, QString* error);
// Quita del archivo la consulta que el usuario vio: la de 160 bytes
// `mostrado`, que estaba en el lugar `indice` (desde 1); si el archivo ha
// cambiado y allí hay otra, la primera igual; si ya no hay ninguna igual,
// NoEsta y nada cambia. Si no queda ninguna, el archivo se borra (sólo si
// sigue siendo el que se leyó); pero si hay uno heredado, se deja vacío,
// para que las consultas de junto al programa no vuelvan a verse como si
// nada se hubiera eliminado.
ResultadoArchivo EliminarRegistro(const LugarArchivo& lugar, int indice, const QByteArray& mostrado,
                                  QString* error);
ResultadoArchivo EliminarRegistro(const QString& ruta, int indice, const QByteArray& mostrado,
                                  QString* error);
