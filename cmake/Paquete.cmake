# Instalación y paquete Debian.
#
# Instalado, KORVAL conserva la forma de su carpeta: <prefijo>/lib/korval/
# guarda el programa con sus ficheros de datos al lado, y <prefijo>/bin/korval
# es un enlace relativo a él (Qt resuelve el enlace, así que el programa sigue
# encontrando sus datos junto a sí). La marca korval.instalado le dice que no
# escriba nunca en esa carpeta: su archivo y sus impresiones van a la carpeta
# de datos del usuario. La carpeta build/korval/ no lleva la marca y sigue
# siendo una copia portátil.

# El nombre de la entrada del menú y de los metadatos. El programa lo da a
# conocer a su escritorio para que la barra de tareas ponga su icono.
set(KORVAL_ID example.tallerkorval.korval)
target_compile_definitions(korval PRIVATE KORVAL_ID="${KORVAL_ID}")

if(NOT (UNIX AND NOT APPLE))
  return()
endif()

include(GNUInstallDirs)

set(KORVAL_FECHA_VERSION 2026-12-05)
set(KORVAL_DIST ${PROJECT_SOURCE_DIR}/dist)
set(KORVAL_GENERADO ${CMAKE_BINARY_DIR}/instalacion)
set(KORVAL_CARPETA_INSTALADA lib/korval)

# Las carpetas que crea la instalación se pueden leer y recorrer, no escribir
# salvo root (con cualquier umask de quien construye).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# El icono en todos los tamaños, pintado por la misma descripción que usan las
# ventanas. Se instala fichero a fichero, para que nada que quede de otra
# construcción entre en el paquete.
set(KORVAL_ICONOS ${KORVAL_GENERADO}/iconos/scalable/apps/${KORVAL_ID}.svg)
install(FILES ${KORVAL_ICONOS} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(lado 16 22 24 32 48 64 128 256 512)
  set(png ${KORVAL_GENERADO}/iconos/${lado}x${lado}/apps/${KORVAL_ID}.png)
  list(APPEND KORVAL_ICONOS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${lado}x${lado}/apps)
endforeach()
add_custom_command(
  OUTPUT ${KORVAL_ICONOS}
  COMMAND korval_icono ${KORVAL_GENERADO}/iconos ${KORVAL_ID}
  DEPENDS korval_icono
  COMMENT "Pintando el icono de KORVAL"
  VERBATIM)

# La entrada del menú y los metadatos llevan el id y la versión del proyecto.
configure_file(${KORVAL_DIST}/korval.desktop.in ${KORVAL_GENERADO}/${KORVAL_ID}.desktop @ONLY)
configure_file(${KORVAL_DIST}/korval.metainfo.xml.in ${KORVAL_GENERADO}/${KORVAL_ID}.metainfo.xml @ONLY)
configure_file(${KORVAL_DIST}/changelog.in ${KORVAL_GENERADO}/changelog @ONLY)
configure_file(${KORVAL_DIST}/korval.1 ${KORVAL_GENERADO}/korval.1 COPYONLY)

# Debian quiere el registro de cambios y la página de manual comprimidos con
# gzip -9n (sin fecha en la cabecera, para que el paquete sea reproducible).
set(KORVAL_COMPRIMIDOS ${KORVAL_GENERADO}/changelog.gz ${KORVAL_GENERADO}/korval.1.gz)
add_custom_command(
  OUTPUT ${KORVAL_COMPRIMIDOS}
  COMMAND gzip -9nkf changelog korval.1
  DEPENDS ${KORVAL_GENERADO}/changelog ${KORVAL_GENERADO}/korval.1
  WORKING_DIRECTORY ${KORVAL_GENERADO}
  VERBATIM)
add_custom_target(korval_instalacion ALL DEPENDS ${KORVAL_ICONOS} ${KORVAL_COMPRIMIDOS})

# El enlace del PATH se crea aquí y se instala tal cual (install conserva los
# enlaces simbólicos).
file(MAKE_DIRECTORY ${KORVAL_GENERADO}/bin)
file(CREATE_LINK ../${KORVAL_CARPETA_INSTALADA}/korval ${KORVAL_GENERADO}/bin/korval SYMBOLIC)

install(TARGETS korval RUNTIME DESTINATION ${KORVAL_CARPETA_INSTALADA})
# Al paquete, el programa sin la sección .comment (las versiones del
# compilador que lo construyó), como deja Debian los suyos. Va después del
# strip de CPack, que no la quita.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KORVAL_CARPETA_INSTALADA}/korval\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()
install(FILES ${KORVAL_DIR}/trigr.kvl ${KORVAL_DIR}/hexagr.kvl ${KORVAL_DIR}/BINARIO.DAT ${KORVAL_DIR}/KORVAL.HLP
              ${KORVAL_DIST}/korval.instalado
        DESTINATION ${KORVAL_CARPETA_INSTALADA})
install(FILES ${KORVAL_GENERADO}/bin/korval DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KORVAL_GENERADO}/${KORVAL_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORVAL_GENERADO}/${KORVAL_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KORVAL_GENERADO}/korval.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORVAL_DIST}/copyright ${KORVAL_GENERADO}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korval)
install(FILES ${KORVAL_DIST}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME korval)

# Enlazado con las tablas de reubicación de sólo lectura desde el arranque,
# como pide Debian a sus programas.
target_link_options(korval PRIVATE LINKER:-z,relro,-z,now)

# El paquete .deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korval)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Taller KORVAL <korval@tallerkorval.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "consultas al libro de los cambios con tres monedas")
set(CPACK_PACKAGE_DESCRIPTION
    "KORVAL es un programa de escritorio, todo en castellano, para consultar
los 64 hexagramas: se escribe una pregunta, se lanzan tres monedas seis
veces (o se construye el hexagrama a mano, o se elige de la lista) y se lee
su interpretación. Las consultas se guardan en un archivo personal y se
imprimen con los textos partidos según las reglas del castellano.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Lo que el programa pide en marcha y dpkg-shlibdeps no puede ver: las
# traducciones de Qt al castellano y las letras que nombra (Arial es
# Liberation Sans; DejaVu Sans en la interpretación). Los módulos de
# plataforma que usa (xcb, offscreen) y el de imprimir con CUPS vienen con
# libqt6gui6 y libqt6printsupport6, que ya pide dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2, fonts-dejavu-core")
# La letra de pluma del botón de tirar (sin ella se usa una cursiva) y
# xdg-open, que abre los PDF de las impresiones sin impresora.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

# make package: el paquete, copiado a la carpeta del proyecto.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE KORVAL_ARQUITECTURA
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(KORVAL_DEB korval_${PROJECT_VERSION}_${KORVAL_ARQUITECTURA}.deb)
add_custom_target(paquete_deb
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/${KORVAL_DEB} ${PROJECT_SOURCE_DIR}/${KORVAL_DEB}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Empaquetando ${KORVAL_DEB}"
  VERBATIM)
