# The Windows program's tests, run under Wine: the game logic headless, the real Win32 window,
# the built exe, and the program played end to end.

# Every test exe runs under Wine, on a private X server with a window manager: the slow tier.
set_property(DIRECTORY PROPERTY LABELS wine)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/wine/run.py)
set(wine_environment "WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wineprefix;WINEDEBUG=-all"
    "WINEDLLOVERRIDES=mscoree,mshtml=" "PYTHONPATH=${CMAKE_CURRENT_SOURCE_DIR}")

include(crossgametests.cmake)

# A fresh Wine prefix takes seconds to make: one for the whole run, made first.
add_test(NAME wine_prefix COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/wine/run.py
    --new-prefix)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_environment}"
    TIMEOUT 120)
set_tests_properties(game_tests PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "${wine_environment}" TIMEOUT 120)

# The real Win32 window, with the program's own resources: the label's font is among them. The
# windows' contract, shared with the other toolkits, over the Win32 driver; then what only this
# toolkit has.
add_executable(win32_window_tests
    contract/boxanswerer.cpp contract/window_contract_test.cpp recordinggame.cpp
    contract/pumping.cpp contract/win32windowdriver.cpp
    win32_window_test.cpp ${PROJECT_BINARY_DIR}/winresources.rc)
target_include_directories(win32_window_tests PRIVATE . contract ${PROJECT_SOURCE_DIR}/window/win32)
target_link_libraries(win32_window_tests PRIVATE zintu_win32window gtest_main oleaut32)
# The resources name the icon the program's build draws, which only its own target makes.
add_dependencies(win32_window_tests zintu)
add_test(NAME win32_window_tests COMMAND win32_window_tests)
set_tests_properties(win32_window_tests PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "${wine_environment}" TIMEOUT 120)

# The built exe: version fields, imports and resources.
add_test(NAME windows_exe_is_self_contained
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows_exe_test.py $<TARGET_FILE:zintu>
            ${PROJECT_VERSION})
set_tests_properties(windows_exe_is_self_contained PROPERTIES
    ENVIRONMENT PYTHONPATH=${CMAKE_CURRENT_SOURCE_DIR})

# zintu.exe played end to end under Wine, by the same player as the Linux program.
add_test(NAME end_to_end_wine
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/play_e2e.py --desktop openbox
            wine $<TARGET_FILE:zintu>)
set_tests_properties(end_to_end_wine PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "${wine_environment}" TIMEOUT 300)

# The ZIP and the installer, built, installed, started and uninstalled under Wine.
add_test(NAME windows_installer_installs_runs_and_uninstalls
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/windows_install_test.py
            ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(windows_installer_installs_runs_and_uninstalls PROPERTIES
    FIXTURES_REQUIRED wine ENVIRONMENT "${wine_environment}" TIMEOUT 300)
