// El archivo de consultas ante cualquier contenido: leerlo, añadirle una
// consulta y quitarle una nunca falla, y el resultado cumple lo que el
// programa promete (cuenta, orden por usuario, números y registro añadido).
#include "archive/ArchivoConsultas.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Exigir(bool condicion) {
  if (!condicion)
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
  const int n = NumeroRegistros(bytes.size());
  const auto registros = LeerRegistros(bytes);
  Exigir(int(registros.size()) == n);
  for (const ArchiveRecord& r : registros)
    Exigir(r.Bytes().size() == LargoRegistro && r.Usuario.texto().size() == 30);

  const ArchiveRecord nuevo = ArchiveRecord::Nuevo(QStringLiteral("ÑANDÚ"), QStringLiteral("¿SERÁ?"),
                                                   QStringLiteral("789789"), QStringLiteral("05/03/1998"));
  const QByteArray grabado = ConRegistroNuevo(bytes, nuevo);
  Exigir(grabado.size() == qsizetype(n + 1) * LargoRegistro);
  bool esta = false;
  for (int i = 0; i <= n; ++i) {
    const char* r = grabado.constData() + qsizetype(i) * LargoRegistro;
    Exigir(QByteArray(r, 4) == NumeroRegistro(i + 1));
    if (i > 0)
      Exigir(std::memcmp(r - LargoRegistro + CampoRegistro::Usuario, r + CampoRegistro::Usuario,
                         CampoRegistro::AnchoUsuario) <= 0);
    esta = esta || QByteArray(r + 4, LargoRegistro - 4) == nuevo.Bytes().mid(4);
  }
  Exigir(esta);

  for (int indice : {0, 1, n / 2 + 1, n, n + 1}) {
    const QByteArray sin = SinRegistro(bytes, indice);
    const bool quita = indice >= 1 && indice <= n;
    Exigir(sin.size() == qsizetype(quita ? n - 1 : n) * LargoRegistro);
  }
  return 0;
}
