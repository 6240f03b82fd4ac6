# Arranque: del proceso a la primera ventana frente a un programa mínimo de
# Qt Widgets, y de aceptar el aviso al menú principal.
add_executable(arranque_korval arranque_korval.cpp)
target_link_libraries(arranque_korval PRIVATE korval_options korval_ui)
target_compile_definitions(arranque_korval PRIVATE KORVAL_DIR_DATOS="${KORVAL_DIR}")
add_dependencies(arranque_korval korval_datos_generados)
add_executable(arranque_minimo arranque_minimo.cpp)
target_link_libraries(arranque_minimo PRIVATE korval_options Qt6::Widgets)
korval_medida(medir_arranque FUENTES medir_arranque.cpp USA Qt6::Core)
target_compile_definitions(medir_arranque PRIVATE
  KORVAL_ARRANQUE="$<TARGET_FILE:arranque_korval>" KORVAL_ARRANQUE_MINIMO="$<TARGET_FILE:arranque_minimo>")
add_dependencies(medir_arranque arranque_korval arranque_minimo)
