#pragma once
// El componente de diálogos comunes: el de fuentes y el de la impresora.
// Guarda la fuente elegida; un diálogo cancelado avisa con el error
// ErrDialogoCancelado y no cambia nada. Aquí está también la apertura de un
// fichero con el programa que el escritorio tiene para él.
//
// Las pruebas lo guían con GuionDialogos: mientras está activo no se abre
// ningún diálogo; se anota cuál se habría abierto y se contesta con la
// siguiente respuesta de la cola (cancelar, si no queda ninguna).

#include <QString>

#include <functional>
#include <vector>

class QWidget;

// Valores de Flags para el diálogo de fuentes.
constexpr int cdlCFScreenFonts = 1;
constexpr int cdlCFPrinterFonts = 2;
constexpr int cdlCFBoth = 3;

class DialogoComun {
public:
  QString FontName = QStringLiteral("Arial");
  double FontSize = 12;
  int Flags = 0;

  // Diálogo de fuentes: al aceptar, FontName y FontSize quedan con la
  // fuente elegida. Pide en Flags qué fuentes listar; sin ninguna, falla con
  // ErrSinFuentes.
  void ShowFont(QWidget* padre = nullptr);
  // Diálogo de la impresora (su botón de aceptar dice "Aceptar": no imprime
  // nada): al aceptar, la impresora elegida vale para los trabajos
  // siguientes; un fichero PDF, para la orden de imprimir siguiente. Propone
  // un PDF nuevo, nunca uno que ya existe; un enlace simbólico u otra cosa
  // que no sea un fichero normal se rechaza con un mensaje y no cambia nada.
  void ShowPrinter(QWidget* padre = nullptr);
};

// Lo que contesta el guion a un diálogo.
struct RespuestaDialogo {
  enum Accion { Aceptar, Cancelar, Fallar };
  Accion accion = Cancelar;
  int error = 0;  // con Fallar: el número de error
  QString fuente; // diálogo de fuentes aceptado
  double tamano = 0;
  QString ficheroPdf; // diálogo de la impresora aceptado: vacío deja la impresora como está

  static RespuestaDialogo cancelar() { return {}; }
  static RespuestaDialogo fallar(int numero) {
    RespuestaDialogo r;
    r.accion = Fallar;
    r.error = numero;
    return r;
  }
  static RespuestaDialogo elegirFuente(const QString& nombre, double puntos) {
    RespuestaDialogo r;
    r.accion = Aceptar;
    r.fuente = nombre;
    r.tamano = puntos;
    return r;
  }
  static RespuestaDialogo elegirPdf(const QString& ruta) {
    RespuestaDialogo r;
    r.accion = Aceptar;
    r.ficheroPdf = ruta;
    return r;
  }
};

struct DialogoMostrado {
  QString tipo; // "FUENTES" o "IMPRESORA"
  int flags = 0;
  QString propuesta; // el fichero PDF que proponía el de la impresora
};

class GuionDialogos {
public:
  static void activar();
  static void desactivar();
  static bool activo();
  static void responder(const RespuestaDialogo& respuesta);
  static const std::vector<DialogoMostrado>& mostrados();
  static void limpiar();
};

// Abre `ruta` con el programa del escritorio para su tipo (el visor de PDF).
// Devuelve false si el escritorio no pudo.
bool AbrirConElEscritorio(const QString& ruta);
