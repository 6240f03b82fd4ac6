# Archivo de consultas: grabar y eliminar en archivos grandes, frente al orden
# por intercambios sobre el propio fichero (el de las pruebas, que se comparte).
korval_medida(medir_archivo FUENTES medir_archivo.cpp USA korval_logic_archive)
target_include_directories(medir_archivo PRIVATE ${PROJECT_SOURCE_DIR}/tests)

# La ventana de recuperar con 100.000 consultas: abrirla, desplegar la lista de
# todas y la memoria, en un proceso aparte; y exportarlas a HTML y a CSV.
korval_medida(medir_archivo_ventana FUENTES medir_archivo_ventana.cpp USA korval_ui_archive)
