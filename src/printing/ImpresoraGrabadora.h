#pragma once
// Una impresora que no imprime: anota cada trazo y cada texto en la
// posición en twips donde habría ido, con la fuente y la página. La pluma,
// la fuente y el salto de página son los mismos que los de la impresora de
// verdad, porque vienen de la misma clase.

#include "platform/Impresora.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

struct MarcaImpresa {
  enum Tipo { Empezar, Pagina, Texto, Caja, Raya, Circulo, Fin, Cancelado };
  Tipo tipo = Texto;
  int trabajo = 0; // 1 el primero
  int pagina = 0;  // 1 la primera del trabajo
  QPointF p1, p2;  // texto: su esquina de arriba a la izquierda; círculo: el centro
  double radio = 0;
  QString texto;
  QString fuente;
  double tamano = 0;
  bool negrita = false;
  bool subrayado = false;
  bool cursiva = false;
  QColor color;
  QColor relleno; // círculo: el color de dentro (no válido si es sólo el contorno)
};

class ImpresoraGrabadora : public Impresora {
public:
  // Por omisión, lo que la impresora de verdad deja de una hoja A4: media
  // pulgada de margen alrededor.
  double ancho = 11906 - 1440;
  double alto = 16838 - 1440;

  std::vector<MarcaImpresa> marcas;
  // Cuántas veces seguidas no podrá empezar un trabajo (error 482).
  int fallosAlEmpezar = 0;
  // Se llama antes de anotar cada marca; puede lanzar un ErrorEjecucion
  // para simular un fallo en esa operación.
  std::function<void(const MarcaImpresa&)> antesDeMarcar;
  QString ficheroElegido;

  double AnchoPagina() const override { return ancho; }
  double AltoPagina() const override { return alto; }
  void ElegirFicheroPdf(const QString& ruta) override { ficheroElegido = ruta; }

  // Consultas para las pruebas.
  int trabajosTerminados() const;
  int trabajosCancelados() const;
  std::vector<MarcaImpresa> delTrabajo(int trabajo) const;
  std::vector<MarcaImpresa> deTipo(MarcaImpresa::Tipo tipo, int trabajo = 0) const;
  // Los textos del trabajo, en orden.
  QStringList textos(int trabajo = 0) const;
  // La primera marca de texto que es exactamente `texto` (nullptr si no hay).
  const MarcaImpresa* buscarTexto(const QString& texto, int trabajo = 0) const;

protected:
  void empezarTrabajo() override;
  void pasarPagina() override;
  void pintarTexto(const QPointF& arribaIzquierda, const QString& texto, const QFont& fuente) override;
  void pintarCaja(const QRectF& caja, const QColor& color) override;
  void pintarRaya(const QPointF& desde, const QPointF& hasta, const QColor& color) override;
  void pintarCirculo(const QPointF& centro, double radio, const QColor& color,
                     const QColor& relleno) override;
  void terminarTrabajo() override;
  void cancelarTrabajo() override;

private:
  void anotar(MarcaImpresa m);
  int trabajo_ = 0;
  int pagina_ = 0;
};
