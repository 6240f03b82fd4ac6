#include "archive/ArchivoConsultas.h"

#include "core/Estado.h"
#include "platform/Codificacion.h"
#include "platform/Ficheros.h"
#include "platform/Rutas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <numeric>

ArchiveRecord RegistroTrabajo;

namespace {
FabricaGuardado fabricaGuardado;

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
  ArchiveRecord r;
  r.Numero = QStringLiteral("0000");
  r.Separador1 = r.Separador2 = r.Separador3 = r.Separador4 = r.Separador5 = Cero;
  r.Usuario = usuario;
  r.Pregunta = pregunta;
  r.Lineas = lineas;
  r.Fecha = fecha;
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

QString UsuarioRegistro(const QString& escrito) {
  QString r = QuitarBlancos(escrito);
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

QString LugarArchivo::Lectura() const {
  // Un enlace colgante también cuenta como archivo: quien lo puso ahí quiere
  // que el archivo sea ese, y grabar a través de él se rechaza con su motivo.
  const QFileInfo propio(archivo);
  if (heredado.isEmpty() || propio.exists() || propio.isSymLink())
    return archivo;
  return heredado;
}

LugarArchivo UbicarArchivo() {
  LugarArchivo r;
  r.archivo = RutaEscritura(NombreArchivo);
  if (QDir(DirEscritura()) != QDir(ProgramDir())) {
    const QString junto = RutaDatos(NombreArchivo);
    const QFileInfo info(junto);
    if (info.exists() || info.isSymLink())
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
  QString motivo;
  switch (LeerFicheroRegular(ruta, LimiteArchivo, contenido, &motivo)) {
  case FalloLectura::Ninguno:
  case FalloLectura::NoExiste:
    return true;
  default:
    Anotar(error,
           QStringLiteral("No se puede leer el archivo de consultas «%1»: %2.").arg(Nativa(ruta), motivo));
    return false;
  }
}

bool EscribirCompleto(QIODevice& destino, const QByteArray& bytes, QString* error) {
  const QString motivo = QStringLiteral("El disco no admitió todos los datos: puede que esté lleno.");
  if (destino.write(bytes) != bytes.size()) {
    Anotar(error, motivo);
    return false;
  }
  // Un fichero guarda parte de lo escrito en su memoria intermedia: hasta que
  // se vacía no se sabe si el disco lo ha admitido.
  if (auto* fichero = qobject_cast<QFileDevice*>(&destino))
    if (!fichero->flush() || fichero->error() != QFileDevice::NoError) {
      Anotar(error, motivo);
      return false;
    }
  return true;
}

bool ReemplazarArchivo(const QString& ruta, const QByteArray& bytes, QString* error) {
  // QSaveFile sigue los enlaces y sustituiría el fichero al que apuntan.
  if (const QString motivo = MotivoNoEscribible(ruta); !motivo.isEmpty()) {
    Anotar(error, motivo);
    return false;
  }
  std::unique_ptr<QSaveFile> destino =
      fabricaGuardado ? fabricaGuardado(ruta) : std::make_unique<QSaveFile>(ruta);
  if (!destino->open(QIODevice::WriteOnly)) {
    Anotar(error,
           QStringLiteral("No se puede escribir en la carpeta «%1»: falta permiso o la carpeta no existe.")
               .arg(Nativa(QFileInfo(ruta).absolutePath())));
    return false;
  }
  if (!EscribirCompleto(*destino, bytes, error)) {
    destino->cancelWriting();
    return false;
  }
  // Las consultas son privadas: sólo su dueño puede leerlas. Donde no hay
  // permisos, esto no hace nada y no es un fallo.
  destino->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (!destino->commit()) {
    Anotar(error,
           QStringLiteral("No se ha podido sustituir el archivo «%1» por el nuevo.").arg(Nativa(ruta)));
    return false;
  }
  return true;
}

namespace {
// Lee las consultas que hay y comprueba que el archivo se puede escribir
// antes de hacer nada: si algo impide terminar, nada cambia.
bool Preparar(const LugarArchivo& lugar, QByteArray* contenido, QString* error) {
  if (const QString motivo = MotivoNoEscribible(lugar.archivo); !motivo.isEmpty()) {
    Anotar(error, motivo);
    return false;
  }
  // Si el archivo existe y no se puede leer, no se escribe nada: se perderían
  // las consultas que ya tiene.
  return LeerArchivo(lugar.Lectura(), contenido, error);
}

LugarArchivo Solo(const QString& ruta) {
  LugarArchivo r;
  r.archivo = ruta;
  return r;
}
} // namespace

bool GrabarRegistro(const LugarArchivo& lugar, const ArchiveRecord& nuevo, QString* error) {
  QByteArray contenido;
  if (!Preparar(lugar, &contenido, error))
    return false;
  return ReemplazarArchivo(lugar.archivo, ConRegistroNuevo(contenido, nuevo), error);
}

bool GrabarRegistro(const QString& ruta, const ArchiveRecord& nuevo, QString* error) {
  return GrabarRegistro(Solo(ruta), nuevo, error);
}

bool EliminarRegistro(const LugarArchivo& lugar, int indice, QString* error) {
  QByteArray contenido;
  if (!Preparar(lugar, &contenido, error))
    return false;
  const int n = NumeroRegistros(contenido.size());
  if (indice < 1 || indice > n)
    return true;
  if (n > 1 || !lugar.heredado.isEmpty())
    return ReemplazarArchivo(lugar.archivo, SinRegistro(contenido, indice), error);
  // Era la única: el archivo se va. Es un fichero normal y es el nuestro
  // (Preparar lo ha comprobado); nada más se borra.
  if (!QFile::remove(lugar.archivo)) {
    Anotar(error,
           QStringLiteral("No se ha podido borrar el archivo de consultas «%1».").arg(Nativa(lugar.archivo)));
    return false;
  }
  return true;
}

bool EliminarRegistro(const QString& ruta, int indice, QString* error) {
  return EliminarRegistro(Solo(ruta), indice, error);
}

void FijarFabricaGuardado(FabricaGuardado fabrica) {
  fabricaGuardado = std::move(fabrica);
}
