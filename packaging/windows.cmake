# zintu.exe packaged: a ZIP with the program, its README, its licence and the font's, and an
# installer.
configure_file(LICENSE LICENSE.txt COPYONLY)
configure_file(packaging/windows/README.txt.in README.txt @ONLY)
install(TARGETS zintu RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
    ${CMAKE_CURRENT_BINARY_DIR}/Blankenburg-LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME zintu)
set(CPACK_PACKAGE_VENDOR Zintu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zintu!, a memory game with four coloured pads")
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zintu)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Zintu)
set(CPACK_PACKAGE_EXECUTABLES zintu "Zintu!")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_STRIP_FILES OFF)
# A 64-bit installer into the 64-bit Program Files: Windows' 64-bit registry and folders, and
# a program that runs where only 64-bit programs do. It stores no file's date: CPack writes one
# of the files it packs anew at every run, and the same sources must make the same installer.
set(CPACK_NSIS_DEFINES "Target amd64-unicode\nSetDateSave off")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Zintu!")
set(CPACK_NSIS_DISPLAY_NAME "Zintu!")
set(CPACK_NSIS_MUI_ICON ${icon})
set(CPACK_NSIS_MUI_UNIICON ${icon})
set(CPACK_NSIS_INSTALLED_ICON_NAME zintu.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Neither the game's licence nor the font's asks anything of a player: both are installed beside
# the game, not put to them as terms to accept before installing.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN zintu.exe)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows-cpack.cmake)
include(CPack)
