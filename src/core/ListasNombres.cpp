#include "core/ListasNombres.h"

#include "core/Estado.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

LectorCampos::LectorCampos(const QByteArray& bytes) : bytes_(bytes) {}

bool LectorCampos::finDeLinea(qsizetype i) const {
  return bytes_[i] == '\r' || bytes_[i] == '\n';
}

void LectorCampos::saltarFinDeLinea() {
  if (pos_ < bytes_.size() && bytes_[pos_] == '\r')
    ++pos_;
  if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
    ++pos_;
}

bool LectorCampos::leer(QString& campo) {
  const qsizetype n = bytes_.size();
  while (pos_ < n && (bytes_[pos_] == ' ' || finDeLinea(pos_)))
    ++pos_;
  if (pos_ >= n)
    return false;

  QByteArray valor;
  if (bytes_[pos_] == '"') {
    ++pos_;
    const qsizetype cierre = bytes_.indexOf('"', pos_);
    const qsizetype fin = cierre < 0 ? n : cierre;
    valor = bytes_.mid(pos_, fin - pos_);
    pos_ = cierre < 0 ? n : cierre + 1;
    // Lo que sigue a la comilla de cierre, hasta la coma o el final de la
    // línea, no cuenta.
    while (pos_ < n && bytes_[pos_] != ',' && !finDeLinea(pos_))
      ++pos_;
  } else {
    const qsizetype inicio = pos_;
    while (pos_ < n && bytes_[pos_] != ',' && !finDeLinea(pos_))
      ++pos_;
    valor = bytes_.mid(inicio, pos_ - inicio);
    while (valor.endsWith(' '))
      valor.chop(1);
  }
  if (pos_ < n) {
    if (bytes_[pos_] == ',')
      ++pos_;
    else
      saltarFinDeLinea();
  }
  campo = Win1252::decodificar(valor);
  return true;
}

namespace {
QString mensajeCorto(const QString& fichero, int registro, int campo) {
  return QStringLiteral("El fichero «%1» termina antes de tiempo: falta el campo %2 del registro %3.")
      .arg(fichero)
      .arg(campo)
      .arg(registro);
}

// Los ficheros de verdad ocupan unos pocos kB: un megabyte es de sobra, y
// lo que pase de ahí no es una lista de nombres.
constexpr qint64 LimiteLista = 1 << 20;

bool leerFichero(const QString& nombre, QByteArray& bytes, QString* error) {
  QString motivo;
  const FalloLectura fallo = LeerFicheroRegular(RutaDatos(nombre), LimiteLista, &bytes, &motivo);
  if (fallo == FalloLectura::Ninguno)
    return true;
  if (error)
    *error = fallo == FalloLectura::NoExiste
                 ? QStringLiteral("No se encuentra el fichero «%1» en la carpeta del programa (%2).")
                       .arg(nombre, ProgramDir())
                 : QStringLiteral("No se puede leer el fichero «%1» de la carpeta del programa (%2): %3.")
                       .arg(nombre, ProgramDir(), motivo);
  return false;
}
} // namespace

bool LeerTrigramas(const QByteArray& trigr, QString* error) {
  LectorCampos lector(trigr);
  for (int t = 1; t <= 8; ++t)
    for (int f = 1; f <= 10; ++f)
      if (!lector.leer(TrigramList[t][f])) {
        if (error)
          *error = mensajeCorto(QStringLiteral("trigr.kvl"), t, f);
        return false;
      }
  TrigramList[1][1] = QStringLiteral("Ch'ien");
  return true;
}

bool LeerHexagramas(const QByteArray& hexagr, QString* error) {
  LectorCampos lector(hexagr);
  for (int n = 1; n <= 64; ++n)
    for (int f = 1; f <= 6; ++f)
      if (!lector.leer(HexagramList[n][f])) {
        if (error)
          *error = mensajeCorto(QStringLiteral("hexagr.kvl"), n, f);
        return false;
      }
  return true;
}

bool LoadNameLists(QString* error) {
  QByteArray bytes;
  if (!leerFichero(QStringLiteral("trigr.kvl"), bytes, error) || !LeerTrigramas(bytes, error))
    return false;
  if (!leerFichero(QStringLiteral("hexagr.kvl"), bytes, error) || !LeerHexagramas(bytes, error))
    return false;
  return true;
}
