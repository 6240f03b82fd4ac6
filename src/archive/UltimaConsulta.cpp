#include "archive/UltimaConsulta.h"

#include "archive/ArchivoConsultas.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <algorithm>

namespace {
// Mucho más que un registro: lo que pase de aquí no es nuestro fichero.
constexpr qint64 LimiteUltima = 4096;
// Quien sustituye el fichero lo hace solo: su temporal tiene nombre fijo.
constexpr int EsperaCandadoUltimaMs = 2000;

QString CandadoUltima() {
  return QLatin1Char('.') + NombreUltimaConsulta + QStringLiteral(".korval-candado");
}
} // namespace

QByteArray BytesUltimaConsulta(const UltimaConsulta& consulta) {
  return ArchiveRecord::Nuevo(QString(), consulta.pregunta, consulta.lineas, FechaRegistro(consulta.fecha))
      .Bytes();
}

EstadoUltima LeerUltimaConsulta(const QByteArray& bytes, UltimaConsulta* consulta) {
  if (bytes.size() != LargoRegistro)
    return EstadoUltima::Danada;
  namespace C = CampoRegistro;
  for (int separador : {C::Numero + C::AnchoNumero, C::Usuario + C::AnchoUsuario,
                        C::Pregunta + C::AnchoPregunta, C::Lineas + C::AnchoLineas, C::Fecha + C::AnchoFecha})
    if (bytes[separador] != '\0')
      return EstadoUltima::Danada;
  const ArchiveRecord r = ArchiveRecord::DesdeBytes(bytes);
  UltimaConsulta u;
  u.pregunta = QuitarBlancosDerecha(r.Pregunta.texto());
  u.lineas = r.Lineas.texto();
  u.fecha = LeerFechaRegistro(r.Fecha.texto());
  const bool lineas = std::all_of(u.lineas.cbegin(), u.lineas.cend(),
                                  [](QChar c) { return c >= QLatin1Char('6') && c <= QLatin1Char('9'); });
  if (!lineas || !u.fecha.isValid() || QuitarBlancos(u.pregunta).isEmpty())
    return EstadoUltima::Danada;
  if (consulta)
    *consulta = u;
  return EstadoUltima::Leida;
}

EstadoUltima CargarUltimaConsulta(UltimaConsulta* consulta) {
  const Carpeta carpeta(DirEscritura());
  if (!carpeta.abierta())
    return EstadoUltima::NoHay;
  QByteArray bytes;
  switch (carpeta.Leer(NombreUltimaConsulta, LimiteUltima, &bytes)) {
  case FalloLectura::Ninguno:
    return LeerUltimaConsulta(bytes, consulta);
  case FalloLectura::NoExiste:
    return EstadoUltima::NoHay;
  default:
    return EstadoUltima::Danada;
  }
}

bool GuardarUltimaConsulta(const UltimaConsulta& consulta, QString* error) {
  const Carpeta carpeta(DirEscritura());
  if (!carpeta.abierta()) {
    if (error)
      *error = carpeta.error();
    return false;
  }
  const Candado candado(carpeta, CandadoUltima(), EsperaCandadoUltimaMs);
  if (!candado.tomado()) {
    if (error)
      *error = candado.error();
    return false;
  }
  QString motivo;
  const bool hecho = carpeta.Sustituir(NombreUltimaConsulta, BytesUltimaConsulta(consulta), &motivo);
  if (!hecho && error)
    *error = motivo;
  return hecho;
}
