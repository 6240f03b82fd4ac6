#pragma once
// La composición de los textos impresos: los registros de TextBuffer se
// juntan en párrafos y se cortan en líneas del ancho de la página, midiendo
// cada carácter con la fuente de impresión. Una línea se corta en un blanco
// o, dentro de una palabra, entre sílabas, con guion, donde las reglas del
// castellano lo permiten (Silabas.h).

#include "printing/Silabas.h"

#include <QString>
#include <QStringList>

#include <functional>

class SuperficieMedida;

// x donde empieza cada línea de texto, en twips.
constexpr double LeftMargin = 500;
// Ancho que queda libre a la derecha de la página, en twips.
constexpr double RightReserve = 1500;

// ¿Es `c` una vocal? a, e, i, o, u, con o sin tilde, en minúscula o en
// mayúscula. La "y", la "ü", la "ñ" y cualquier texto de más de un carácter
// no lo son.
bool EsVocal(const QString& c);

struct FuenteComposicion {
  QString nombre = QStringLiteral("Arial");
  double tamano = 12;
  bool negrita = false;
  bool cursiva = false;
};

// Compone TextBuffer (ranuras 1 a 100, hasta el "**") y entrega cada línea a
// `escribirLinea`: cabeceras "*n*DECISION", "*n*COMENTARIO", "*n*IMAGEN",
// "*n*LINEA 3"…; líneas de texto (la primera de un párrafo con cinco
// blancos delante); una línea vacía tras el punto final de un párrafo.
// Una línea se corta cuando la pluma de `printer2` ha pasado `lineLimit`: en
// el primer blanco o en el primer corte de palabra que cumpla `reglas`; si
// la palabra en que pasa el límite no tiene ninguno, la línea acaba antes de
// ella.
// Si el "**" sólo está en la ranura 100, la lectura de la siguiente falla
// con ErrorEjecucion(ErrIndiceFueraDeRango).
void ComponerTexto(SuperficieMedida& printer2, const FuenteComposicion& fuente, double lineLimit,
                   const std::function<void(const QString&)>& escribirLinea,
                   const ReglasDeCorte& reglas = {});

// Parte `texto` en líneas de como mucho `ancho` (medido con `medir`) sin
// guiones: por los blancos y, si una palabra sola no cabe, por donde llegue.
// Un texto vacío da una línea vacía.
QStringList PartirSinGuion(const QString& texto, double ancho,
                           const std::function<double(const QString&)>& medir);
