# The Linux program installed and packaged for Debian.
include(GNUInstallDirs)
# Debian keeps games apart from other programs, in /usr/games, which is on every user's PATH.
install(TARGETS zintu RUNTIME DESTINATION games)
install(FILES packaging/zintu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/zintu.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The metainfo and the manual page give the version and its date; the Debian changelog is
# written from CHANGELOG.md.
set(packaging_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(ZINTU_METAINFO_FILE ${packaging_dir}/io.zintu.Zintu.metainfo.xml)
configure_file(packaging/io.zintu.Zintu.metainfo.xml.in ${ZINTU_METAINFO_FILE} @ONLY)
install(FILES ${ZINTU_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
configure_file(packaging/zintu.6.in ${packaging_dir}/zintu.6 @ONLY)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${packaging_dir}/changelog
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/packaging/debian/changelog.py
            ${ZINTU_CHANGELOG} ${packaging_dir}/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog.py ${ZINTU_CHANGELOG})

# The manual page and the changelog, compressed as Debian keeps them: most tightly, and without
# a time stamp, so that the same sources make the same package.
set(compressed)
foreach(document zintu.6 changelog)
    set(gzipped ${packaging_dir}/${document}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND gzip -9 -n -c ${packaging_dir}/${document} > ${gzipped}
        DEPENDS ${packaging_dir}/${document})
    list(APPEND compressed ${gzipped})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
install(FILES ${packaging_dir}/zintu.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${packaging_dir}/changelog.gz packaging/debian/copyright
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
# A cross-build's package is for its sysroot's architecture. dpkg-shlibdeps finds the libraries
# the game links in the sysroot, and asks the sysroot's dpkg database which package holds each.
if(ZINTU_SYSROOT)
    file(STRINGS ${ZINTU_SYSROOT}/var/lib/dpkg/arch CPACK_DEBIAN_PACKAGE_ARCHITECTURE LIMIT_COUNT 1)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
        ${ZINTU_SYSROOT}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}
        ${ZINTU_SYSROOT}/lib/${CMAKE_LIBRARY_ARCHITECTURE})
    set(CPACK_ZINTU_DPKG_ADMINDIR ${ZINTU_SYSROOT}/var/lib/dpkg)
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/debian/sysroot.cmake)
endif()
include(CPack)
