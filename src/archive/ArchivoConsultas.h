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
// vez (QSaveFile), de modo que un corte en cualquier instante deja en disco
// el archivo viejo o el nuevo, completos.

#include "platform/Basico.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QSaveFile;

inline constexpr int LargoRegistro = 160;
inline const QString NombreArchivo = QStringLiteral("usuarios.dat");
inline const QString NombreTemporal = QStringLiteral("usuarios.TMP");

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

// Ruta del archivo en la carpeta donde escribe el programa.
QString RutaArchivo();

// Lee el archivo entero. Si no existe, el contenido es vacío y devuelve true;
// si existe y no se puede leer, devuelve false con el motivo en castellano.
bool LeerArchivo(const QString& ruta, QByteArray* contenido, QString* error);

// Escribe `bytes` enteros en `destino`, comprueba cuánto se escribió y, si es
// un fichero, lo vacía y comprueba que el vaciado fue bien.
bool EscribirCompleto(QIODevice& destino, const QByteArray& bytes, QString* error);

// Sustituye el fichero `ruta` por `bytes` de una sola vez (QSaveFile en la
// misma carpeta), legible y escribible sólo por su dueño. Si algo falla, el
// fichero queda como estaba y `error` dice por qué.
bool ReemplazarArchivo(const QString& ruta, const QByteArray& bytes, QString* error);

// Añade `nuevo` al archivo de `ruta` y lo deja ordenado y numerado.
bool GrabarRegistro(const QString& ruta, const ArchiveRecord& nuevo, QString* error);
// Quita el registro `indice` (desde 1) del archivo de `ruta`. Si no queda
// ninguno, borra el archivo.
bool EliminarRegistro(const QString& ruta, int indice, QString* error);
// Borra en `carpeta` lo que haya dejado una ejecución cortada: cualquier
// "usuarios.TMP" (con cualquier combinación de mayúsculas), que así nunca
// devuelve registros, y los "usuarios.dat.XXXXXX" de una sustitución que no
// llegó a terminar. Grabar y eliminar empiezan por aquí.
void BorrarTemporalesViejos(const QString& carpeta);

// Costura de pruebas: quién crea el QSaveFile con que se sustituye un
// fichero (nullptr vuelve al QSaveFile normal).
using FabricaGuardado = std::function<std::unique_ptr<QSaveFile>(const QString& ruta)>;
void FijarFabricaGuardado(FabricaGuardado fabrica);
