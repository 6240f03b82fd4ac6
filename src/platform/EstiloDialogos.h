#pragma once
// Cómo se ven las ventanas que no dibujamos control a control: las cajas de
// mensajes y los diálogos de fuentes y de impresora. Llevan los colores del
// programa (verde azulado oscuro, jade y oro) en lugar del gris claro del
// sistema, y las cajas de mensajes, iconos dibujados por nosotros.

#include <QColor>
#include <QPalette>
#include <QPixmap>

class QWidget;

// La paleta de esos diálogos. Cada texto contrasta con su fondo al menos
// 4,5 : 1 (el mínimo que pide WCAG para el texto normal).
QPalette PaletaDialogos();

// La razón de contraste entre dos colores, de 1 (iguales) a 21 (negro y
// blanco), con la luminancia relativa de WCAG 2.
double Contraste(const QColor& a, const QColor& b);

// El icono de una caja de mensajes (vbCritical, vbQuestion, vbExclamation o
// vbInformation) a la densidad `dpr`; nulo para cualquier otro valor.
QPixmap IconoMensaje(int icono, qreal dpr);

// Da a un diálogo la paleta del programa y quita a sus botones de aceptar y
// cancelar los iconos de serie del sistema.
void VestirDialogo(QWidget* dialogo);
