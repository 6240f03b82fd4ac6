# Interpretación: abrir la ventana con una consulta nueva hasta ver su
# DECISIÓN, frente a la misma ventana mostrada otra vez sin cargar nada.
korval_medida(medir_interpretacion FUENTES medir_interpretacion.cpp USA korval_ui_interpretation)
