#pragma once
// Las sílabas de las palabras castellanas y los sitios donde una línea
// impresa puede partir una palabra con guion.
//
// Las sílabas siguen las reglas de la Academia:
// - una consonante entre vocales va con la vocal siguiente (ca-sa); ch, ll y
//   rr son una sola consonante (no-che, ca-lle, pe-rro), igual que qu y la gu
//   de gue y gui, cuya u no suena (que-so, gue-rra);
// - pl, pr, bl, br, fl, fr, tr, dr, cl, cr, gl, gr, kl y kr no se separan
//   (o-tro, ma-dre); de dos consonantes que no son grupo, una va con cada
//   vocal (can-to); de tres o cuatro, las dos últimas van juntas si son
//   grupo (cons-truir) y si no sólo la última pasa (obs-tá-cu-lo);
// - los diptongos y triptongos no se separan (cau-sa, ciu-dad, buey): una
//   vocal débil sin tilde (i, u, ü, y final) con otra vocal; las vocales
//   fuertes juntas (a, e, o) y la débil con tilde (í, ú) forman hiato
//   (po-e-sí-a, Ma-rí-a); una h entre vocales no rompe el diptongo
//   (prohi-bir) y en el hiato va con la vocal siguiente (a-ho-ra);
// - "sub" seguido de r es prefijo: sub-ra-yar, nunca su-bra-yar.
//
// Dónde se puede partir al final de una línea: sólo entre dos letras de una
// misma palabra, en un límite de sílaba o tras un prefijo reconocido
// (des-atar, junto al silábico de-sa-tar), y además con las reglas de la
// buena composición de libro (ReglasDeCorte):
// - las palabras cortas no se parten (ca-sa, po-co no);
// - quedan al menos dos letras antes del guion y tres después, de modo que
//   nunca queda una vocal sola ni una sílaba corta al principio de la línea
//   siguiente (u-na, a-gua, cuen-ta no);
// - nunca entre dos vocales, aunque hagan hiato (po-e-ta sólo como poe-ta);
// - nunca junto a la puntuación ni dentro de un número ni en una palabra con
//   apóstrofo (los nombres romanizados como Ch'ien o K'an no se parten);
// - ni antes de "tl" ni entre la t y la l: at-le-ta (uso de España) y
//   a-tle-ta (uso de América) valen los dos, así que ahí no se corta.

#include <QString>
#include <QStringView>

#include <vector>

// Los límites de la composición de libro al partir palabras. Los valores
// por omisión son los de la página impresa; cada uno tiene su nombre para
// que quien lea una página sepa de dónde sale cada corte.
struct ReglasDeCorte {
  int letrasPalabra = 5;      // una palabra con menos letras no se parte
  int letrasAntes = 2;        // letras, como poco, antes del guion
  int letrasDespues = 3;      // letras, como poco, que pasan a la línea siguiente
  bool entreVocales = false;  // ¿se parte entre dos vocales (un hiato)?
  int guionesSeguidos = 2;    // líneas seguidas que pueden acabar en guion
  int silabasUltimaLinea = 2; // sílabas, como poco, de la última línea de un párrafo
};

// Las posiciones (de 1 a largo − 1) donde empieza una sílaba de `palabra`,
// que es sólo letras, en orden.
std::vector<int> Silabear(QStringView palabra);

// Para cada posición k de 0 a texto.size(): ¿se puede partir la línea entre
// texto[k − 1] y texto[k] poniendo un guion? `texto` puede ser una línea
// entera, con blancos y puntuación. De `reglas` cuentan las de la palabra
// (letras y vocales); las de las líneas son cosa de quien compone.
std::vector<bool> PuntosDeCorte(QStringView texto, const ReglasDeCorte& reglas = {});

// Cuántas sílabas tiene `palabra` (sólo letras); 0 si no tiene ninguna letra.
int ContarSilabas(QStringView palabra);
