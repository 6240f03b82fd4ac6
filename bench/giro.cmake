# Tirada: el uso de procesador mientras las monedas giran solas.
korval_medida(medir_giro FUENTES medir_giro.cpp USA korval_ui_casting korval_ui_pictures korval_logic_core)
