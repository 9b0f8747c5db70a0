# The game's headless tests where they run under an emulator (Wine, node): GoogleTest built
# from Debian's sources (package googletest) with the cross compiler, and game_tests run by
# the emulator CMAKE_CROSSCOMPILING_EMULATOR names.
set(INSTALL_GTEST OFF)
set(BUILD_GMOCK OFF)
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(zintu_headless STATIC headlessruntime.cpp)
target_include_directories(zintu_headless PUBLIC .)
target_link_libraries(zintu_headless PUBLIC zintu_game gtest)

add_executable(game_tests ${game_test_sources})
target_link_libraries(game_tests PRIVATE zintu_headless gtest_main)
add_test(NAME game_tests COMMAND game_tests)
