#pragma once
// Llevarse el diario: las consultas de una persona, o de todas, en una
// página web que se lee e imprime en cualquier navegador, o en una tabla CSV
// para otros programas. Es para leer y para otros programas; la copia de
// seguridad del archivo es una copia de usuarios.dat.

#include "archive/Diario.h"

#include <QDateTime>
#include <QString>

#include <vector>

enum class FormatoExportacion { Ninguno, Html, Csv };

// El formato que dice la extensión de `ruta` (.html, .htm o .csv, sin mirar
// mayúsculas); Ninguno si es otra.
FormatoExportacion FormatoDe(const QString& ruta);

// La tabla CSV (RFC 4180, UTF-8, líneas terminadas en CR LF) de las
// consultas `cuales` de `diario`, con su fila de cabecera.
QByteArray ExportarCsv(const Diario& diario, const std::vector<int>& cuales);
inline const QByteArray CabeceraCsv =
    "fecha,usuario,pregunta,lineas,hexagrama,nombre,complementario,nombre_complementario";

// La página web, en un solo fichero UTF-8 sin nada de fuera: `quien` es la
// persona (vacío: todas) y `cuando`, el momento de la exportación.
QByteArray ExportarHtml(const Diario& diario, const std::vector<int>& cuales, const QString& quien,
                        const QDateTime& cuando);

// Los bytes del formato `formato`.
QByteArray Exportacion(FormatoExportacion formato, const Diario& diario, const std::vector<int>& cuales,
                       const QString& quien, const QDateTime& cuando);

// El momento de ahora según el reloj del programa.
QDateTime AhoraExportacion();

// Cómo se dice cuántas se escribieron: «Se han exportado 3 consultas a «…».»
QString InformeExportacion(int cuantas, const QString& ruta);

// La exportación de la línea de órdenes: lee el archivo de donde lo leería el
// programa y escribe `fichero` (que no ha de existir) con las consultas de
// `usuario` (vacío: todas). Devuelve el estado de salida (0 hecho, 1 no se
// pudo, 2 la extensión no vale) y deja en `salida` o en `errores` lo que hay
// que decir.
int ExportarDesdeOrdenes(const QString& fichero, const QString& usuario, QString* salida, QString* errores);
