// El archivo de consultas ante cualquier contenido: leerlo, añadirle una
// consulta y quitarle una nunca falla, y el resultado cumple lo que el
// programa promete (cuenta, orden por usuario, números y registro añadido).
#include "archive/ArchivoConsultas.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo) {
  const auto exigir = [](bool condicion) { return condicion ? void() : std::abort(); };
  const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
  const int n = NumeroRegistros(bytes.size());
  const auto registros = LeerRegistros(bytes);
  exigir(int(registros.size()) == n);

  const ArchiveRecord nuevo = ArchiveRecord::Nuevo(QStringLiteral("ÑANDÚ"), QStringLiteral("¿SERÁ?"),
                                                   QStringLiteral("789789"), QStringLiteral("05/03/1998"));
  const QByteArray grabado = ConRegistroNuevo(bytes, nuevo);
  exigir(grabado.size() == qsizetype(n + 1) * LargoRegistro);
  bool esta = false;
  for (int i = 0; i <= n; ++i) {
    const char* r = grabado.constData() + qsizetype(i) * LargoRegistro;
    exigir(QByteArray(r, 4) == NumeroRegistro(i + 1));
    exigir(i == 0 || std::memcmp(r - LargoRegistro + CampoRegistro::Usuario, r + CampoRegistro::Usuario,
                                 CampoRegistro::AnchoUsuario) <= 0);
    esta = esta || QByteArray(r + 4, LargoRegistro - 4) == nuevo.Bytes().mid(4);
  }
  exigir(esta);
  for (int indice : {0, 1, n / 2 + 1, n, n + 1})
    exigir(SinRegistro(bytes, indice).size() ==
           qsizetype(indice >= 1 && indice <= n ? n - 1 : n) * LargoRegistro);
  return 0;
}
