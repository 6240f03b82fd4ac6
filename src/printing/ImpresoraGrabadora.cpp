#include "printing/ImpresoraGrabadora.h"

#include <QStringList>

void ImpresoraGrabadora::anotar(MarcaImpresa m) {
  m.trabajo = trabajo_;
  m.pagina = pagina_;
  if (antesDeMarcar)
    antesDeMarcar(m);
  marcas.push_back(std::move(m));
}

void ImpresoraGrabadora::empezarTrabajo() {
  if (fallosAlEmpezar > 0) {
    --fallosAlEmpezar;
    throw ErrorEjecucion(ErrImpresora);
  }
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Empezar;
  m.trabajo = trabajo_ + 1;
  m.pagina = 1;
  if (antesDeMarcar)
    antesDeMarcar(m);
  ++trabajo_;
  pagina_ = 1;
  marcas.push_back(m);
}

void ImpresoraGrabadora::pasarPagina() {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Pagina;
  ++pagina_;
  anotar(m);
}

void ImpresoraGrabadora::pintarTexto(const QPointF& arribaIzquierda, const QString& texto, const QFont&) {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Texto;
  m.p1 = arribaIzquierda;
  m.texto = texto;
  m.fuente = FontName();
  m.tamano = FontSize();
  m.negrita = FontBold();
  m.subrayado = FontUnderline();
  m.cursiva = FontItalic();
  m.color = Qt::black;
  anotar(m);
}

void ImpresoraGrabadora::pintarCaja(const QRectF& caja, const QColor& color) {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Caja;
  m.p1 = caja.topLeft();
  m.p2 = caja.bottomRight();
  m.color = color;
  anotar(m);
}

void ImpresoraGrabadora::pintarRaya(const QPointF& desde, const QPointF& hasta, const QColor& color) {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Raya;
  m.p1 = desde;
  m.p2 = hasta;
  m.color = color;
  anotar(m);
}

void ImpresoraGrabadora::pintarCirculo(const QPointF& centro, double radio, const QColor& color,
                                       const QColor& relleno) {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Circulo;
  m.p1 = centro;
  m.radio = radio;
  m.color = color;
  m.relleno = relleno;
  anotar(m);
}

void ImpresoraGrabadora::terminarTrabajo() {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Fin;
  anotar(m);
}

void ImpresoraGrabadora::cancelarTrabajo() {
  MarcaImpresa m;
  m.tipo = MarcaImpresa::Cancelado;
  anotar(m);
}

int ImpresoraGrabadora::trabajosTerminados() const {
  return int(deTipo(MarcaImpresa::Fin).size());
}

int ImpresoraGrabadora::trabajosCancelados() const {
  return int(deTipo(MarcaImpresa::Cancelado).size());
}

std::vector<MarcaImpresa> ImpresoraGrabadora::delTrabajo(int trabajo) const {
  std::vector<MarcaImpresa> r;
  for (const MarcaImpresa& m : marcas)
    if (m.trabajo == trabajo)
      r.push_back(m);
  return r;
}

std::vector<MarcaImpresa> ImpresoraGrabadora::deTipo(MarcaImpresa::Tipo tipo, int trabajo) const {
  std::vector<MarcaImpresa> r;
  for (const MarcaImpresa& m : marcas)
    if (m.tipo == tipo && (trabajo == 0 || m.trabajo == trabajo))
      r.push_back(m);
  return r;
}

QStringList ImpresoraGrabadora::textos(int trabajo) const {
  QStringList r;
  for (const MarcaImpresa& m : deTipo(MarcaImpresa::Texto, trabajo))
    r << m.texto;
  return r;
}

const MarcaImpresa* ImpresoraGrabadora::buscarTexto(const QString& texto, int trabajo) const {
  for (const MarcaImpresa& m : marcas)
    if (m.tipo == MarcaImpresa::Texto && m.texto == texto && (trabajo == 0 || m.trabajo == trabajo))
      return &m;
  return nullptr;
}
