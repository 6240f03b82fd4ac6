#pragma once
// Los mensajes, el pitido y las traducciones de Qt en una aplicación real.

class QApplication;

// MsgBox con QMessageBox y Beep con el pitido del sistema.
void InstalarMensajesQt();
// Las traducciones españolas de Qt: "Sí", "No", "Reintentar"…
bool CargarTraduccionesQt(QApplication& app);
