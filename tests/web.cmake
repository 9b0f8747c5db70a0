# The game's tests compiled to WebAssembly and run under node, as the Windows build runs them
# under Wine: the same logic, on the standard library a browser build has.

# GoogleTest from Debian's sources (package googletest), built with emscripten and without
# threads, which the tests do not use.
set(INSTALL_GTEST OFF)
set(BUILD_GMOCK OFF)
set(gtest_disable_pthreads ON)
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(zintu_headless STATIC headlessruntime.cpp)
target_include_directories(zintu_headless PUBLIC .)
target_link_libraries(zintu_headless PUBLIC zintu_game)

add_executable(game_tests game_load_test.cpp game_play_test.cpp game_random_input_test.cpp
    host_test.cpp recordinggame.cpp)
target_link_libraries(game_tests PRIVATE zintu_headless gtest_main)
# Run by the preset's emulator, node, told not to fetch() the .wasm: under node 18 and later
# emscripten's output would, and node cannot fetch from disk.
add_test(NAME game_tests COMMAND game_tests)
set_tests_properties(game_tests PROPERTIES TIMEOUT 120)
