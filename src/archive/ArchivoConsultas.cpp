#include "archive/ArchivoConsultas.h"

#include "core/Estado.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>

ArchiveRecord RegistroTrabajo;

namespace {
const QString Cero(1, QChar(0));

QString Campo(QByteArrayView bytes, int desde, int ancho) {
  return Win1252::decodificar(bytes.sliced(desde, ancho).toByteArray());
}

void Poner(QByteArray& registro, int desde, const TextoFijo& campo) {
  const QByteArray b = Win1252::codificar(campo.texto());
  std::memcpy(registro.data() + desde, b.constData(), size_t(b.size()));
}

QString Nativa(const QString& ruta) {
  return QDir::toNativeSeparators(ruta);
}

void Anotar(QString* error, const QString& texto) {
  if (error)
    *error = texto;
}
} // namespace

// --- El registro -----------------------------------------------------------

ArchiveRecord ArchiveRecord::Nuevo(const QString& usuario, const QString& pregunta, const QString& lineas,
                                   const QString& fecha) {
  // Compuestos antes de medir los campos y de pasar a Windows-1252, que sólo
  // tiene las letras con su acento ya puesto.
  const auto compuesto = [](const QString& t) { return t.normalized(QString::NormalizationForm_C); };
  ArchiveRecord r;
  r.Numero = QStringLiteral("0000");
  r.Separador1 = r.Separador2 = r.Separador3 = r.Separador4 = r.Separador5 = Cero;
  r.Usuario = compuesto(usuario);
  r.Pregunta = compuesto(pregunta);
  r.Lineas = compuesto(lineas);
  r.Fecha = compuesto(fecha);
  return r;
}

ArchiveRecord ArchiveRecord::DesdeBytes(QByteArrayView bytes) {
  QByteArray completo = bytes.first(std::min<qsizetype>(bytes.size(), LargoRegistro)).toByteArray();
  if (completo.size() < LargoRegistro)
    completo.append(QByteArray(LargoRegistro - completo.size(), '\0'));
  namespace C = CampoRegistro;
  ArchiveRecord r;
  r.Numero = Campo(completo, C::Numero, C::AnchoNumero);
  r.Separador1 = Campo(completo, C::Numero + C::AnchoNumero, 1);
  r.Usuario = Campo(completo, C::Usuario, C::AnchoUsuario);
  r.Separador2 = Campo(completo, C::Usuario + C::AnchoUsuario, 1);
  r.Pregunta = Campo(completo, C::Pregunta, C::AnchoPregunta);
  r.Separador3 = Campo(completo, C::Pregunta + C::AnchoPregunta, 1);
  r.Lineas = Campo(completo, C::Lineas, C::AnchoLineas);
  r.Separador4 = Campo(completo, C::Lineas + C::AnchoLineas, 1);
  r.Fecha = Campo(completo, C::Fecha, C::AnchoFecha);
  r.Separador5 = Campo(completo, C::Fecha + C::AnchoFecha, 1);
  return r;
}

QByteArray ArchiveRecord::Bytes() const {
  namespace C = CampoRegistro;
  QByteArray r(LargoRegistro, '\0');
  Poner(r, C::Numero, Numero);
  Poner(r, C::Numero + C::AnchoNumero, Separador1);
  Poner(r, C::Usuario, Usuario);
  Poner(r, C::Usuario + C::AnchoUsuario, Separador2);
  Poner(r, C::Pregunta, Pregunta);
  Poner(r, C::Pregunta + C::AnchoPregunta, Separador3);
  Poner(r, C::Lineas, Lineas);
  Poner(r, C::Lineas + C::AnchoLineas, Separador4);
  Poner(r, C::Fecha, Fecha);
  Poner(r, C::Fecha + C::AnchoFecha, Separador5);
  return r;
}

// --- El contenido ----------------------------------------------------------

int NumeroRegistros(qint64 largo) {
  return RedondeoPar(double(largo) / LargoRegistro);
}

QByteArray RegistrosCompletos(const QByteArray& contenido) {
  const qsizetype largo = qsizetype(NumeroRegistros(contenido.size())) * LargoRegistro;
  QByteArray r = contenido.left(largo);
  if (r.size() < largo)
    r.append(QByteArray(largo - r.size(), '\0'));
  return r;
}

std::vector<ArchiveRecord> LeerRegistros(const QByteArray& contenido) {
  const QByteArray registros = RegistrosCompletos(contenido);
  std::vector<ArchiveRecord> r;
  r.reserve(size_t(registros.size() / LargoRegistro));
  for (qsizetype p = 0; p < registros.size(); p += LargoRegistro)
    r.push_back(ArchiveRecord::DesdeBytes(QByteArrayView(registros).sliced(p, LargoRegistro)));
  return r;
}

QByteArray NumeroRegistro(int i) {
  return QByteArray::number(i % 10000).rightJustified(4, '0');
}

QString FechaRegistro(const QDate& fecha) {
  return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

QDate LeerFechaRegistro(const QString& guardada) {
  return QDate::fromString(QuitarBlancos(guardada), QStringLiteral("dd/MM/yyyy"));
}

QString UsuarioRegistro(const QString& escrito) {
  QString r = QuitarBlancos(escrito).normalized(QString::NormalizationForm_C);
  for (QChar& c : r) {
    const QChar mayuscula = c.toUpper();
    if (Win1252::cabe(mayuscula))
      c = mayuscula;
  }
  return r;
}

QByteArray OrdenarArchivo(QByteArray registros) {
  const int n = int(registros.size() / LargoRegistro);
  const char* base = registros.constData();
  auto usuario = [base](int i) {
    return reinterpret_cast<const unsigned char*>(base) + qsizetype(i) * LargoRegistro +
           CampoRegistro::Usuario;
  };
  std::vector<int> orden(static_cast<size_t>(n));
  std::iota(orden.begin(), orden.end(), 0);
  // Estable: los registros de un mismo usuario quedan en el orden en que se
  // grabaron, que es lo que el usuario espera ver al recuperarlos.
  std::stable_sort(orden.begin(), orden.end(), [&](int a, int b) {
    return std::memcmp(usuario(a), usuario(b), CampoRegistro::AnchoUsuario) < 0;
  });
  QByteArray r(registros.size(), Qt::Uninitialized);
  for (int i = 0; i < n; ++i) {
    char* destino = r.data() + qsizetype(i) * LargoRegistro;
    std::memcpy(destino, base + qsizetype(orden[size_t(i)]) * LargoRegistro, LargoRegistro);
    std::memcpy(destino + CampoRegistro::Numero, NumeroRegistro(i + 1).constData(),
                CampoRegistro::AnchoNumero);
  }
  return r;
}

QByteArray ConRegistroNuevo(const QByteArray& contenido, const ArchiveRecord& nuevo) {
  return OrdenarArchivo(RegistrosCompletos(contenido) + nuevo.Bytes());
}

QByteArray SinRegistro(const QByteArray& contenido, int indice) {
  QByteArray r = RegistrosCompletos(contenido);
  const int n = int(r.size() / LargoRegistro);
  if (indice >= 1 && indice <= n)
    r.remove(qsizetype(indice - 1) * LargoRegistro, LargoRegistro);
  return r;
}

// --- El archivo en disco ---------------------------------------------------

namespace {
// La carpeta y el nombre de una ruta.
struct EnCarpeta {
  explicit EnCarpeta(const QString& ruta)
      : info(ruta), carpeta(info.absolutePath()), nombre(info.fileName()) {}
  QFileInfo info;
  Carpeta carpeta;
  QString nombre;
};

// El candado del archivo: un fichero nuestro a su lado, de nombre fijo.
QString NombreCandado(const QString& nombre) {
  return QLatin1Char('.') + nombre.toLower() + QStringLiteral(".korval-candado");
}

bool LeerEn(const Carpeta& carpeta, const QString& nombre, QByteArray* contenido, QString* error,
            IdentidadFichero* identidad = nullptr) {
  QString motivo;
  switch (carpeta.Leer(nombre, LimiteArchivo, contenido, &motivo, identidad)) {
  case FalloLectura::Ninguno:
  case FalloLectura::NoExiste:
    return true;
  case FalloLectura::SinPermiso:
    // Sin permiso para entrar en la carpeta, el fallo es de ella.
    if (!carpeta.abierta()) {
      Anotar(error, carpeta.error());
      return false;
    }
    [[fallthrough]];
  default:
    Anotar(error, QStringLiteral("No se puede leer el archivo de consultas «%1»: %2.")
                      .arg(Nativa(carpeta.RutaDe(nombre)), motivo));
    return false;
  }
}

// Lo que hay que hacer para grabar o eliminar: la carpeta abierta, el
// candado tomado, nada que impida sustituir el archivo, y las consultas que
// hay ahora (con `copia` si salen del archivo de junto al programa).
struct Cambio {
  explicit Cambio(const LugarArchivo& lugar) : destino(lugar.archivo) {}
  bool Preparar(const LugarArchivo& lugar, QString* error) {
    Carpeta& c = destino.carpeta;
    if (!c.abierta()) {
      Anotar(error, c.error());
      return false;
    }
    candado.emplace(c, NombreCandado(destino.nombre), EsperaCandadoMs);
    if (!candado->tomado()) {
      Anotar(error, candado->error());
      return false;
    }
    if (const QString motivo = c.MotivoNoEscribible(destino.nombre); !motivo.isEmpty()) {
      Anotar(error, motivo);
      return false;
    }
    if (c.Tipo(destino.nombre) == TipoNombre::Nada && !lugar.heredado.isEmpty()) {
      // El de junto al programa no es de este usuario si no se puede leer (de
      // otro, o ni siquiera un fichero): no impide empezar uno propio.
      copia = LeerFicheroRegular(lugar.heredado, LimiteArchivo, &contenido) == FalloLectura::Ninguno;
      return true;
    }
    // Si el archivo existe y no se puede leer, no se escribe nada: se
    // perderían las consultas que ya tiene.
    return LeerEn(c, destino.nombre, &contenido, error, &leido);
  }
  bool Sustituir(const QByteArray& bytes, QString* error) const {
    return destino.carpeta.Sustituir(destino.nombre, bytes, error);
  }

  EnCarpeta destino;
  std::optional<Candado> candado;
  QByteArray contenido;
  IdentidadFichero leido;
  bool copia = false;
};

LugarArchivo Solo(const QString& ruta) {
  LugarArchivo r;
  r.archivo = ruta;
  return r;
}
} // namespace

QString LugarArchivo::Lectura() const {
  // Un enlace colgante también cuenta como archivo: quien lo puso ahí quiere
  // que el archivo sea ese, y grabar a través de él se rechaza con su motivo.
  if (heredado.isEmpty())
    return archivo;
  const EnCarpeta propio(archivo);
  if (propio.carpeta.Tipo(propio.nombre) != TipoNombre::Nada)
    return archivo;
  return heredado;
}

LugarArchivo UbicarArchivo() {
  LugarArchivo r;
  r.archivo = RutaEscritura(NombreArchivo);
  if (QDir(DirEscritura()) != QDir(ProgramDir())) {
    const QString junto = RutaDatos(NombreArchivo);
    if (Carpeta(ProgramDir()).Tipo(QFileInfo(junto).fileName()) != TipoNombre::Nada)
      r.heredado = junto;
  }
  return r;
}

void AvisarArchivoCopiado(const LugarArchivo& lugar) {
  const QString salto = LineBreak.texto();
  MsgBox(
      QStringLiteral("Las consultas archivadas junto al programa, en") + salto + salto +
          Nativa(lugar.heredado) + salto + salto +
          QStringLiteral("se han copiado a la carpeta de datos del usuario, porque KORVAL no escribe en la "
                         "carpeta del programa:") +
          salto + salto + Nativa(lugar.archivo) + salto + salto +
          QStringLiteral("Desde ahora se guardan allí. El archivo de junto al programa sigue como estaba."),
      vbInformation + vbOKOnly, QStringLiteral("Información al usuario"));
}

bool LeerArchivo(const QString& ruta, QByteArray* contenido, QString* error) {
  const EnCarpeta a(ruta);
  return LeerEn(a.carpeta, a.nombre, contenido, error);
}

ResultadoArchivo GrabarRegistro(const LugarArchivo& lugar, const ArchiveRecord& nuevo, QString* error) {
  Cambio c(lugar);
  if (!c.Preparar(lugar, error))
    return ResultadoArchivo::Fallo;
  // Un archivo mayor que lo que se lee ya no se podría abrir: la consulta
  // que lo haría crecer tanto no se graba.
  const qint64 n = NumeroRegistros(c.contenido.size());
  if ((n + 1) * LargoRegistro > LimiteArchivo) {
    Anotar(error, QStringLiteral("El archivo de consultas «%1» ya tiene %2 consultas y no admite más: "
                                 "elimine alguna o guarde una copia del archivo y empiece otro.")
                      .arg(Nativa(lugar.archivo))
                      .arg(n));
    return ResultadoArchivo::Fallo;
  }
  if (!c.Sustituir(ConRegistroNuevo(c.contenido, nuevo), error))
    return ResultadoArchivo::Fallo;
  return c.copia ? ResultadoArchivo::Copiado : ResultadoArchivo::Hecho;
}

ResultadoArchivo GrabarRegistro(const QString& ruta, const ArchiveRecord& nuevo, QString* error) {
  return GrabarRegistro(Solo(ruta), nuevo, error);
}

ResultadoArchivo EliminarRegistro(const LugarArchivo& lugar, int indice, const QByteArray& mostrado,
                                  QString* error) {
  Cambio c(lugar);
  if (!c.Preparar(lugar, error))
    return ResultadoArchivo::Fallo;
  const QByteArray registros = RegistrosCompletos(c.contenido);
  const int n = int(registros.size() / LargoRegistro);
  const auto es = [&](int i) {
    return mostrado.size() == LargoRegistro &&
           registros.mid(qsizetype(i - 1) * LargoRegistro, LargoRegistro) == mostrado;
  };
  int s = indice >= 1 && indice <= n && es(indice) ? indice : 0;
  for (int i = 1; i <= n && s == 0; ++i)
    if (es(i))
      s = i;
  if (s == 0)
    return ResultadoArchivo::NoEsta;
  const ResultadoArchivo hecho = c.copia ? ResultadoArchivo::Copiado : ResultadoArchivo::Hecho;
  if (n > 1 || !lugar.heredado.isEmpty())
    return c.Sustituir(SinRegistro(c.contenido, s), error) ? hecho : ResultadoArchivo::Fallo;
  // Era la única: el archivo se va, si sigue siendo el que se leyó.
  if (!c.destino.carpeta.Borrar(c.destino.nombre, c.leido, error))
    return ResultadoArchivo::Fallo;
  return hecho;
}

ResultadoArchivo EliminarRegistro(const QString& ruta, int indice, const QByteArray& mostrado,
                                  QString* error) {
  return EliminarRegistro(Solo(ruta), indice, mostrado, error);
}
