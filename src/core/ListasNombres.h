#pragma once
// Las listas de nombres "trigr.kvl" y "hexagr.kvl": campos separados por
// comas y finales de línea, en Windows-1252.

#include <QByteArray>
#include <QString>

// Lee los campos de un fichero, uno tras otro, sin mirar cómo se reparten
// en líneas.
class LectorCampos {
public:
  explicit LectorCampos(const QByteArray& bytes);
  // Lee el siguiente campo; false si la entrada terminó antes de él.
  bool leer(QString& campo);

private:
  QByteArray bytes_;
  qsizetype pos_ = 0;
  bool finDeLinea(qsizetype i) const;
  void saltarFinDeLinea();
};

// Rellena TrigramList y HexagramList con el contenido de los dos ficheros.
// Devuelve false y un mensaje en castellano que nombra el fichero y el fallo
// si uno termina antes de su último campo. La fila 1 de trigramas se llama
// siempre "Ch'ien".
bool LeerTrigramas(const QByteArray& trigr, QString* error);
bool LeerHexagramas(const QByteArray& hexagr, QString* error);

// Lee los dos ficheros de la carpeta del programa. Sin alguno, o con uno
// corto, devuelve false con el mensaje para el usuario.
bool LoadNameLists(QString* error);
