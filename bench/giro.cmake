# Tirada: el uso de procesador mientras las monedas giran solas, y mientras
# paran y dura la pausa tras la sexta línea.
korval_medida(medir_giro FUENTES medir_giro.cpp USA korval_ui_casting korval_ui_pictures korval_logic_core)
