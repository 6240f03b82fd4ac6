#include "core/Castellano.h"

#include <QLocale>

#include <algorithm>

QString Plegado(const QString& texto) {
  const QString descompuesto = texto.trimmed().normalized(QString::NormalizationForm_D);
  QString r;
  r.reserve(descompuesto.size());
  for (const QChar c : descompuesto)
    if (c.category() != QChar::Mark_NonSpacing)
      r += c;
  return r.toCaseFolded();
}

OrdenCastellano::OrdenCastellano() : cotejo_(QLocale(QLocale::Spanish, QLocale::Spain)) {
  // El idioma se dice aquí, no se toma del sistema: las pruebas y muchos
  // escritorios corren en C.UTF-8, que pondría la Ñ después de la Z.
  cotejo_.setCaseSensitivity(Qt::CaseInsensitive);
  cotejo_.setNumericMode(true);
}

int OrdenCastellano::comparar(const QString& a, const QString& b) const {
  return cotejo_.compare(a, b);
}

void OrdenCastellano::ordenar(QStringList& lista) const {
  std::stable_sort(lista.begin(), lista.end(), *this);
}
