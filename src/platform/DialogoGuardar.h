#pragma once
// El diálogo de guardar un fichero, con los colores del programa. Si el
// fichero elegido ya existe, se pregunta antes si se sustituye.
//
// Las pruebas lo contestan con FijarDialogoGuardar: mientras hay una
// respuesta propia no se abre ningún diálogo.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

struct FicheroElegido {
  QString ruta;           // vacía si se canceló
  bool sustituir = false; // ya existía y la persona aceptó sustituirlo
};

// `propuesta`: la ruta que se ofrece; `filtros`: «Página web (*.html)»…; la
// extensión del filtro elegido se añade si la persona no escribe ninguna.
FicheroElegido ElegirFicheroGuardar(QWidget* padre, const QString& titulo, const QString& propuesta,
                                    const QStringList& filtros);

// Costura de pruebas: quién contesta (recibe la propuesta); nullptr abre el diálogo.
void FijarDialogoGuardar(std::function<FicheroElegido(const QString& propuesta)> respuesta);
