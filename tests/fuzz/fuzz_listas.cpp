// Las listas de nombres ante cualquier contenido de fichero.
#include "core/Estado.h"
#include "core/Hexagrama.h"
#include "core/ListasNombres.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
  QString error;
  LeerTrigramas(bytes, &error);
  LeerHexagramas(bytes, &error);
  // Las consultas sobre tablas con cualquier contenido no deben fallar.
  HexagramNumber(QStringLiteral("789678"));
  TrigramName(QStringLiteral("969"));
  LectorCampos lector(bytes);
  QString campo;
  for (int i = 0; i < 1000 && lector.leer(campo); ++i) {
  }
  return 0;
}
