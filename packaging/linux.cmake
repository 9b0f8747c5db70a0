# The Linux program installed and packaged for Debian.
include(GNUInstallDirs)
# Debian keeps games apart from other programs, in /usr/games, which is on every user's PATH.
install(TARGETS zintu RUNTIME DESTINATION games)
install(FILES packaging/zintu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/zintu.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/io.zintu.Zintu.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog, compressed as Debian keeps them: most tightly, and without
# a time stamp, so that the same sources make the same package.
set(compressed)
foreach(document zintu.6 debian/changelog)
    get_filename_component(name ${document} NAME)
    set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
        COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/${document} > ${gzipped}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${document})
    list(APPEND compressed ${gzipped})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/zintu.6.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz packaging/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Only for a lintian that has the check (Debian 13's): an older one refuses an override of a tag
# it does not know.
if(EXISTS /usr/share/lintian/tags/a/appstream-metadata-validation-failed.tag)
    install(FILES packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zintu)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zintu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "memory game with four coloured pads")
set(CPACK_PACKAGE_CONTACT "Zintu developers <developers@zintu.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The label's font, and the native window on Wayland desktops.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-blankenburg, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Four coloured pads light up one after another; click them back in the same
 order. Every level the pattern grows by one, up to level 100.")
include(CPack)
