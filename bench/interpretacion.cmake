# Interpretación: abrir la ventana de una consulta hasta ver su DECISION,
# frente a una ventana vacía del mismo tamaño.
korval_medida(medir_interpretacion FUENTES medir_interpretacion.cpp USA korval_ui_interpretation)
