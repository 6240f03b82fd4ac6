#pragma once
// Los colores de KORVAL: verde azulado oscuro, jade y oro.

#include <QColor>

namespace Estilo {
inline const QColor VerdeAzulado{0, 64, 64};      // fondo y bordes
inline const QColor VerdeAzuladoClaro{0, 96, 96}; // paneles
inline const QColor Jade{0, 168, 120};
inline const QColor JadeClaro{120, 220, 180};
inline const QColor Oro{214, 178, 74};
inline const QColor OroClaro{246, 222, 150};
inline const QColor Negro{0, 0, 0};
inline const QColor Papel{255, 255, 192}; // fondo de textos que se escriben
inline const QColor Foco{255, 214, 40};   // el anillo del control con el foco
} // namespace Estilo
