# The benchmark's yardstick: the least a program of the platform's toolkit does to show the
# game's window with its label, built the same way as the game. The web's is a page,
# bench/reference.html, which needs no build.
if(WIN32)
    configure_file(bench/reference_win32.rc.in reference_win32.rc @ONLY)
    add_executable(zintu_reference WIN32 bench/reference_win32.cpp
        ${CMAKE_CURRENT_BINARY_DIR}/reference_win32.rc)
    target_compile_definitions(zintu_reference PRIVATE UNICODE _UNICODE)
    target_include_directories(zintu_reference PRIVATE window)
elseif(NOT EMSCRIPTEN)
    add_executable(zintu_reference bench/reference.cpp)
    target_link_libraries(zintu_reference PRIVATE Qt6::Widgets)
    target_include_directories(zintu_reference PRIVATE window)
endif()
