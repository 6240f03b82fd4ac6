# Impresión: un hexagrama con sus seis líneas cambiantes a PDF, frente a las
# mismas líneas dibujadas sin componer, y la composición sola.
korval_medida(medir_impresion FUENTES medir_impresion.cpp USA korval_ui_printing korval_logic_printing)
