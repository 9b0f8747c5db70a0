# The program over the Win32 API: one zintu.exe, statically linked, so that it needs nothing
# but Windows' own DLLs.
enable_language(RC)
# Unused code and data left out, and no symbols: the program stays small. No link time in its
# header, so that the same sources make the same program.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-static -Wl,--gc-sections -s -Wl,--no-insert-timestamp)
add_subdirectory(window/win32)

# The icon, drawn from the desktop icon at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(icon ${CMAKE_CURRENT_BINARY_DIR}/zintu.ico)
set(icon_sizes 16 20 24 32 40 48 64 256)
set(icon_pngs)
set(icon_commands)
foreach(size ${icon_sizes})
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icon/zintu-${size}.png)
    if(size EQUAL 256)
        list(APPEND icon_pngs --raw=${png})
    else()
        list(APPEND icon_pngs ${png})
    endif()
    list(APPEND icon_commands COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
        ${PROJECT_SOURCE_DIR}/packaging/zintu.svg)
endforeach()
add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icon
    ${icon_commands}
    # The largest kept as PNG: as a bitmap it alone would weigh 260 kB. The window's own
    # sizes stay bitmaps, which need no PNG decoder at start-up.
    COMMAND ${ICOTOOL} -c -o ${icon} ${icon_pngs}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/zintu.svg
    VERBATIM)

# The label's fallback font, embedded and loaded for the process alone; its licence (SIL Open
# Font License 1.1) goes with the program.
set(ZINTU_LABEL_FONT_FILE /usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf)
set(label_font_licence /usr/share/doc/fonts-blankenburg/copyright)
foreach(needed ${ZINTU_LABEL_FONT_FILE} ${label_font_licence})
    if(NOT EXISTS ${needed})
        message(FATAL_ERROR "${needed} is missing: install Debian's fonts-blankenburg")
    endif()
endforeach()
configure_file(${label_font_licence} Blankenburg-LICENSE.txt COPYONLY)

set(ZINTU_ICON_FILE ${icon})
set(ZINTU_MANIFEST_FILE ${CMAKE_CURRENT_BINARY_DIR}/zintu.manifest)
configure_file(app/zintu.manifest.in ${ZINTU_MANIFEST_FILE} @ONLY)
configure_file(app/winresources.rc.in winresources.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/winresources.rc PROPERTIES
    OBJECT_DEPENDS "${icon};${ZINTU_MANIFEST_FILE};${ZINTU_LABEL_FONT_FILE}")

add_executable(zintu WIN32 app/winmain.cpp app/winfailure.cpp ${CMAKE_CURRENT_BINARY_DIR}/zintu.rc
    ${CMAKE_CURRENT_BINARY_DIR}/winresources.rc)
target_include_directories(zintu PRIVATE window/win32)
target_link_libraries(zintu PRIVATE zintu_win32window)
