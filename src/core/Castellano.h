// El orden alfabético castellano y la comparación que no distingue mayúsculas
// ni acentos: para listar a las personas del archivo, buscar en sus preguntas
// y completar un nombre mientras se escribe.
#pragma once

#include <QCollator>
#include <QString>
#include <QStringList>

// La forma de un texto para compararlo al buscar: en minúsculas y sin
// acentos ni diéresis, y la ñ como n, para que quien escribe «inigo» o
// «cambiare» (sin tilde ni eñe a mano) encuentre «ÍÑIGO» o «¿CAMBIARÉ?».
// Los blancos de los extremos se quitan.
QString Plegado(const QString& texto);

// El orden de un diccionario castellano: Á con la A, Ñ después de la N,
// sin distinguir mayúsculas. Se prepara una vez; comparar es barato.
class OrdenCastellano {
public:
  OrdenCastellano();
  // Negativo, cero o positivo como a va antes, igual o después que b.
  int comparar(const QString& a, const QString& b) const;
  bool operator()(const QString& a, const QString& b) const { return comparar(a, b) < 0; }
  // Ordena en el sitio; los que comparan igual quedan en el orden que traían.
  void ordenar(QStringList& lista) const;

private:
  QCollator cotejo_;
};
