#include "archive/Diario.h"

#include "archive/ArchivoConsultas.h"
#include "core/Castellano.h"
#include "core/Hexagrama.h"
#include "platform/Basico.h"
#include "platform/Codificacion.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace {
namespace C = CampoRegistro;

QString Campo(const QByteArray& registros, int registro, int desde, int ancho) {
  return Win1252::decodificar(registros.sliced(qsizetype(registro - 1) * LargoRegistro + desde, ancho));
}

// El número de cada hexagrama según el dibujo estable de sus líneas (bit k
// a 1 si la línea k + 1 es entera). Se toma una vez de la lista de
// hexagramas: buscarlo en ella para cada una de cien mil consultas sería
// repetir sesenta y cuatro comparaciones de textos cada vez.
std::array<int, 64> NumerosPorDibujo() {
  std::array<int, 64> r{};
  for (int bits = 0; bits < 64; ++bits) {
    QString lineas;
    for (int k = 0; k < 6; ++k)
      lineas += QLatin1Char(bits & (1 << k) ? '7' : '8');
    r[size_t(bits)] = HexagramNumber(lineas);
  }
  return r;
}

// Los números del hexagrama y de su complementario de seis bytes de líneas;
// {0, 0} si alguna no es un valor de línea.
std::pair<int, int> Numeros(const char* l, const std::array<int, 64>& tabla) {
  int principal = 0, complementario = 0;
  for (int k = 0; k < 6; ++k) {
    const char c = l[k];
    if (c < '6' || c > '9')
      return {0, 0};
    const bool entera = c == '7' || c == '9';
    const bool muda = c == '6' || c == '9';
    principal |= int(entera) << k;
    complementario |= int(entera != muda) << k;
  }
  return {tabla[size_t(principal)], tabla[size_t(complementario)]};
}

// dd/mm/aaaa en los diez bytes de la fecha, como día juliano; 0 si no hay una.
std::int64_t Dia(const char* f) {
  int v[8], j = 0;
  for (int i = 0; i < 10; ++i) {
    if (i == 2 || i == 5) {
      if (f[i] != '/')
        return 0;
    } else {
      if (f[i] < '0' || f[i] > '9')
        return 0;
      v[j++] = f[i] - '0';
    }
  }
  const QDate d(v[4] * 1000 + v[5] * 100 + v[6] * 10 + v[7], v[2] * 10 + v[3], v[0] * 10 + v[1]);
  return d.isValid() ? d.toJulianDay() : 0;
}

// Cada byte de Windows-1252 plegado como para buscar; un blanco si no es
// letra ni cifra, para que separe palabras.
const std::array<QString, 256>& Plegados() {
  static const std::array<QString, 256> tabla = [] {
    std::array<QString, 256> r;
    for (int b = 0; b < 256; ++b) {
      const QString c = Win1252::decodificar(QByteArray(1, char(b)));
      const QString p = c[0].isLetterOrNumber() ? Plegado(c) : QString();
      r[size_t(b)] = p.isEmpty() ? QStringLiteral(" ") : p;
    }
    return r;
  }();
  return tabla;
}

// La búsqueda ya partida: sus palabras plegadas y, si es un número solo, él.
struct Busqueda {
  explicit Busqueda(const QString& texto) {
    bool esNumero = false;
    const int n = texto.trimmed().toInt(&esNumero);
    numero = esNumero && n > 0 ? n : 0;
    QString p = Plegado(texto);
    for (QChar& c : p)
      if (!c.isLetterOrNumber())
        c = QLatin1Char(' ');
    palabras = p.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  }
  int numero = 0;
  QStringList palabras;
};

bool CumpleBusqueda(const QByteArray& registros, const Diario::Consulta& c, const Busqueda& b) {
  if (b.numero > 0 && (c.hexagrama == b.numero || c.complementario == b.numero))
    return true;
  if (b.palabras.isEmpty())
    return false;
  // La pregunta plegada byte a byte, con un blanco delante de cada palabra:
  // « cambiare de casa »; una palabra buscada ha de seguir a un blanco.
  const auto& plegados = Plegados();
  const char* p = registros.constData() + qsizetype(c.registro - 1) * LargoRegistro + C::Pregunta;
  QString pregunta(1, QLatin1Char(' '));
  pregunta.reserve(C::AnchoPregunta + 8);
  for (int k = 0; k < C::AnchoPregunta; ++k)
    pregunta += plegados[size_t(static_cast<unsigned char>(p[k]))];
  for (const QString& palabra : b.palabras)
    if (!pregunta.contains(QLatin1Char(' ') + palabra))
      return false;
  return true;
}
} // namespace

QString TextoVisible(const QString& campo) {
  QString r = campo;
  for (QChar& c : r)
    if (!c.isPrint())
      c = QLatin1Char(' ');
  return r;
}

Diario::Diario(const QByteArray& contenido) : registros_(RegistrosCompletos(contenido)) {
  const int n = int(registros_.size() / LargoRegistro);
  const std::array<int, 64> tabla = NumerosPorDibujo();
  // Cada campo de usuario distinto se lee una vez; dos que se ven igual (uno
  // con ceros de relleno, otro con blancos) son la misma persona.
  QHash<QByteArray, int> porBytes;
  QHash<QString, int> porNombre;
  QStringList nombres;
  consultas_.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const char* r = registros_.constData() + qsizetype(i) * LargoRegistro;
    Consulta& c = consultas_[size_t(i)];
    c.registro = i + 1;
    const QByteArray campo(r + C::Usuario, C::AnchoUsuario);
    auto visto = porBytes.constFind(campo);
    if (visto == porBytes.constEnd()) {
      const QString nombre = TextoVisible(Win1252::decodificar(campo)).trimmed();
      auto mismo = porNombre.constFind(nombre);
      if (mismo == porNombre.constEnd()) {
        mismo = porNombre.insert(nombre, int(nombres.size()));
        nombres << nombre;
      }
      visto = porBytes.insert(campo, *mismo);
    }
    c.usuario = *visto;
    c.dia = Dia(r + C::Fecha);
    std::tie(c.hexagrama, c.complementario) = Numeros(r + C::Lineas, tabla);
  }

  // Las personas en orden castellano; cada consulta apunta a su lugar nuevo.
  std::vector<int> orden(size_t(nombres.size()));
  for (size_t k = 0; k < orden.size(); ++k)
    orden[k] = int(k);
  const OrdenCastellano castellano;
  std::stable_sort(orden.begin(), orden.end(),
                   [&](int a, int b) { return castellano(nombres[a], nombres[b]); });
  std::vector<int> lugar(orden.size());
  for (size_t k = 0; k < orden.size(); ++k) {
    lugar[size_t(orden[k])] = int(k);
    usuarios_ << nombres[orden[k]];
  }
  for (Consulta& c : consultas_)
    c.usuario = lugar[size_t(c.usuario)];

  // De la más reciente a la más antigua; el mismo día, la grabada después
  // (el archivo guarda a cada persona en el orden en que grabó).
  std::sort(consultas_.begin(), consultas_.end(), [](const Consulta& a, const Consulta& b) {
    if ((a.dia == 0) != (b.dia == 0))
      return b.dia == 0;
    return a.dia != b.dia ? a.dia > b.dia : a.registro > b.registro;
  });
  porUsuario_.resize(size_t(usuarios_.size()));
  for (int i = 0; i < n; ++i)
    porUsuario_[size_t(consultas_[size_t(i)].usuario)].push_back(i);
}

QString Diario::NombreVisible(const QString& usuario) {
  return usuario.isEmpty() ? QStringLiteral("(sin nombre)") : usuario;
}

int Diario::BuscarUsuario(const QString& nombre) const {
  const QString buscado = Plegado(nombre);
  for (int u = 0; u < usuarios_.size(); ++u)
    if (Plegado(usuarios_[u]) == buscado)
      return u;
  return -1;
}

std::vector<int> Diario::Consultas(int usuario, const QString& busqueda) const {
  std::vector<int> todas;
  if (usuario < 0) {
    todas.resize(consultas_.size());
    for (size_t i = 0; i < todas.size(); ++i)
      todas[i] = int(i);
  } else if (usuario < int(porUsuario_.size())) {
    todas = porUsuario_[size_t(usuario)];
  }
  if (busqueda.trimmed().isEmpty())
    return todas;
  const Busqueda b(busqueda);
  std::vector<int> r;
  for (int i : todas)
    if (CumpleBusqueda(registros_, consultas_[size_t(i)], b))
      r.push_back(i);
  return r;
}

bool Diario::Cumple(int i, const QString& busqueda) const {
  return CumpleBusqueda(registros_, consultas_[size_t(i)], Busqueda(busqueda));
}

QString Diario::Pregunta(int i) const {
  return QString::fromUtf8(PreguntaUtf8(i));
}

QByteArray Diario::PreguntaUtf8(int i) const {
  // Cada byte de Windows-1252 en UTF-8; los de control, blancos, salvo los
  // saltos de línea, que son de la pregunta.
  static const std::array<QByteArray, 256> utf8 = [] {
    std::array<QByteArray, 256> r;
    for (int b = 0; b < 256; ++b) {
      const QString c = Win1252::decodificar(QByteArray(1, char(b)));
      r[size_t(b)] = c[0].isPrint() || b == '\n' || b == '\r' ? c.toUtf8() : QByteArray(" ");
    }
    return r;
  }();
  const char* p = registros_.constData() + qsizetype(consultas_[size_t(i)].registro - 1) * LargoRegistro;
  int desde = C::Pregunta, hasta = C::Pregunta + C::AnchoPregunta;
  const auto blanco = [&](int k) {
    const QByteArray& u = utf8[size_t(static_cast<unsigned char>(p[k]))];
    return u.size() == 1 && u[0] == ' ';
  };
  while (desde < hasta && blanco(desde))
    ++desde;
  while (hasta > desde && blanco(hasta - 1))
    --hasta;
  QByteArray r;
  r.reserve(2 * (hasta - desde));
  for (int k = desde; k < hasta; ++k)
    r += utf8[size_t(static_cast<unsigned char>(p[k]))];
  return r;
}

QString Diario::Lineas(int i) const {
  return TextoVisible(Campo(registros_, consultas_[size_t(i)].registro, C::Lineas, C::AnchoLineas)).trimmed();
}

QByteArrayView Diario::LineasBytes(int i) const {
  return QByteArrayView(registros_)
      .sliced(qsizetype(consultas_[size_t(i)].registro - 1) * LargoRegistro + C::Lineas, C::AnchoLineas);
}

QString Diario::Fecha(int i) const {
  return TextoVisible(Campo(registros_, consultas_[size_t(i)].registro, C::Fecha, C::AnchoFecha)).trimmed();
}

QDate Diario::FechaGuardada(int i) const {
  const std::int64_t dia = consultas_[size_t(i)].dia;
  return dia ? QDate::fromJulianDay(dia) : QDate();
}

QString Diario::LineasComplementario(int i) const {
  QString l = Lineas(i);
  for (QChar& c : l)
    c = c == QLatin1Char('6') ? QLatin1Char('7') : c == QLatin1Char('9') ? QLatin1Char('8') : c;
  return l;
}

QByteArray Diario::Bytes(int i) const {
  return registros_.mid(qsizetype(consultas_[size_t(i)].registro - 1) * LargoRegistro, LargoRegistro);
}

QString Diario::Entrada(int i, bool conUsuario) const {
  const Consulta& c = consultas_[size_t(i)];
  QStringList partes;
  if (const QString fecha = Fecha(i); !fecha.isEmpty())
    partes << fecha;
  if (conUsuario)
    partes << NombreVisible(Usuario(i));
  if (c.hexagrama > 0)
    partes << (c.complementario != c.hexagrama
                   ? QStringLiteral("%1 → %2").arg(c.hexagrama).arg(c.complementario)
                   : QString::number(c.hexagrama));
  partes << TextoVisible(Pregunta(i)).simplified();
  return partes.join(QStringLiteral(" · "));
}
