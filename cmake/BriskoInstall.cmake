# `make install` / `cmake --install`: the program in <prefix>/bin, its shared library in
# <prefix>/lib/brisko-editor, its data folders in <prefix>/share/brisko-editor (where the
# program looks when they are not beside it), the desktop entry and the icons where the
# desktop finds them. The prefix is /usr/local unless another is given.
set(BRISKO_INSTALL_DATADIR share/brisko-editor)
set(BRISKO_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/data/desktop)

set_target_properties(brisko-editor brisko PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${BRISKO_INSTALL_LIBDIR}")
install(TARGETS brisko-editor RUNTIME DESTINATION bin)
install(TARGETS brisko LIBRARY DESTINATION ${BRISKO_INSTALL_LIBDIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help ${PROJECT_SOURCE_DIR}/data/SABLONY
    DESTINATION ${BRISKO_INSTALL_DATADIR} PATTERN ".*keep" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/files/ DESTINATION ${BRISKO_INSTALL_DATADIR}/data
    PATTERN ".*keep" EXCLUDE)

install(FILES ${BRISKO_DESKTOP_DIR}/brisko-editor.desktop DESTINATION share/applications)
foreach(size 16 22 32 48 64 128 256)
    install(FILES ${BRISKO_DESKTOP_DIR}/brisko-editor-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME brisko-editor.png)
endforeach()
install(FILES ${BRISKO_DESKTOP_DIR}/brisko-editor.svg DESTINATION share/icons/hicolor/scalable/apps)
