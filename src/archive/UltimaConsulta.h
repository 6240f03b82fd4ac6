#pragma once
// La última consulta hecha, guardada en un fichero pequeño junto al archivo
// de consultas, para que «Recuperar ÚLTIMA CONSULTA» la muestre también
// después de cerrar y volver a abrir KORVAL.
//
// El fichero tiene un solo registro de 160 bytes con la forma de los del
// archivo (el usuario en blanco): la pregunta, las seis líneas y la fecha.

#include <QByteArray>
#include <QDate>
#include <QString>

inline const QString NombreUltimaConsulta = QStringLiteral("ultima-consulta.dat");

struct UltimaConsulta {
  QString pregunta; // como se guardó, sin los blancos del final
  QString lineas;   // seis valores de línea
  QDate fecha;
};

// Qué se encontró al buscarla.
enum class EstadoUltima {
  Leida,
  NoHay,  // no hay fichero: aún no se ha hecho ninguna consulta aquí
  Danada, // hay algo con su nombre, pero no es una consulta que se pueda leer
};

// Los bytes del fichero y, al revés, la consulta de unos bytes (Danada si no
// son exactamente un registro con líneas y fecha válidas y una pregunta).
QByteArray BytesUltimaConsulta(const UltimaConsulta& consulta);
EstadoUltima LeerUltimaConsulta(const QByteArray& bytes, UltimaConsulta* consulta);

// La del fichero de la carpeta de escritura.
EstadoUltima CargarUltimaConsulta(UltimaConsulta* consulta);
// La sustituye de una vez (nunca a través de un enlace, solo para su dueño).
// Si no se puede, false y el motivo; la anterior queda como estaba.
bool GuardarUltimaConsulta(const UltimaConsulta& consulta, QString* error = nullptr);
