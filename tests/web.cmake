# The game's tests compiled to WebAssembly and run under node, as the Windows build runs them
# under Wine: the same logic, on the standard library a browser build has. Node comes from the
# preset, told not to fetch() the .wasm: under node 18 and later emscripten's output would, and
# node cannot fetch from disk. GoogleTest goes without threads, which the tests do not use.
set(gtest_disable_pthreads ON)
# Under node and in the browsers: the slow tier.
set_property(DIRECTORY PROPERTY LABELS web)
include(crossgametests.cmake)
set_tests_properties(game_tests PROPERTIES TIMEOUT 120)

# The real windows' contract on the real page, in headless Chromium and Firefox ESR, and in WebKit:
# the suite compiled to a page over the web toolkit, its driver's input and screen reads sent
# through the browser's automation protocol by tests/web/pagetests.mjs, or over WebDriver by
# tests/web/webkit_pagetests.py.
add_executable(window_tests contract/boxanswerer.cpp contract/window_contract_test.cpp
    contract/webtestmain.cpp contract/webwindowdriver.cpp recordinggame.cpp)
target_include_directories(window_tests PRIVATE . contract)
target_link_libraries(window_tests PRIVATE zintu_webwindow gtest)
# The game's own list of what may be on the stack while the page waits, and the test program
# around it: a function the game's list misses traps here, at the assertion ASSERTIONS adds,
# on every path the suite takes to a box. Linked unoptimised, so that nothing the game's page
# might inline away hides from the list, and with the functions' names, which a trap then shows.
file(READ ${zintu_suspending_functions} suspending)
set(test_suspending ${CMAKE_CURRENT_BINARY_DIR}/suspending-with-tests.txt)
file(WRITE ${test_suspending} "${suspending}*testing::*\nRUN_ALL_TESTS()\n")
target_link_options(window_tests PRIVATE "-sASYNCIFY_ONLY=@${test_suspending}" -sASSERTIONS -O0
    --profiling-funcs)
set_property(TARGET window_tests APPEND PROPERTY LINK_DEPENDS ${test_suspending})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${zintu_suspending_functions})
set(window_tests_page ${CMAKE_CURRENT_BINARY_DIR}/window_tests.html)
zintu_web_page(window_tests ${window_tests_page})
add_custom_target(window_tests_page ALL DEPENDS ${window_tests_page})
add_dependencies(window_tests_page zintu)

set(web_tests ${CMAKE_CURRENT_SOURCE_DIR}/web)
foreach(browser chromium firefox)
    add_test(NAME window_tests_${browser}
        COMMAND /usr/bin/node ${web_tests}/pagetests.mjs ${browser} ${window_tests_page})
    set_tests_properties(window_tests_${browser} PROPERTIES TIMEOUT 300)
endforeach()
# And in WebKit, over WebKitGTK's WebDriver, whose release of a right or middle button reaches
# the page as the left button's while the button stays held: the one test of those buttons runs
# in the other two browsers and on the desktops.
add_test(NAME window_tests_webkit
    COMMAND /usr/bin/python3 ${web_tests}/webkit_pagetests.py ${window_tests_page}
            --gtest_filter=-WindowPads.everyButtonPressesAndReleasesButOnlyTheLeftClicks)

# The real zintu.html opened from disk and played as a person would, by the same player as the
# desktop's, with real pointer, touch and key input and the pads followed frame by frame as the
# page paints them: to level 10 in Chromium, reaching three ratings, and to level 6 in Firefox;
# the closing moments, the scales, the page without JavaScript and served from a host, in each.
# The web app's folder, served: installable and playing offline in Chromium, and replaced by a
# new build on the next visit; playing a round in Firefox.
set(page ${PROJECT_BINARY_DIR}/zintu.html)
set(player ${CMAKE_CURRENT_SOURCE_DIR}/e2e/play_e2e.py)
add_test(NAME end_to_end_chromium
    COMMAND /usr/bin/python3 ${player} --browser chromium --levels 10 ${page})
add_test(NAME end_to_end_firefox COMMAND /usr/bin/python3 ${player} --browser firefox ${page})
# In WebKit to level 10, reaching three ratings, with every scenario WebKit's driver can take: the
# scales are whole numbers only, and the installed app's updates are left to Chromium.
add_test(NAME end_to_end_webkit
    COMMAND /usr/bin/python3 ${player} --browser webkit --levels 10 ${page})
# The screen reader's round through Chromium's accessibility tree, and through the role and name
# WebKit computes for each element; puppeteer cannot read Firefox's over WebDriver BiDi.
foreach(browser chromium webkit)
    add_test(NAME screen_reader_plays_a_round_${browser}
        COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/accessibility_e2e.py
                --browser ${browser} ${page})
endforeach()
set_tests_properties(end_to_end_chromium end_to_end_firefox end_to_end_webkit
    screen_reader_plays_a_round_chromium screen_reader_plays_a_round_webkit window_tests_webkit
    PROPERTIES TIMEOUT 300 ENVIRONMENT PYTHONPATH=${CMAKE_CURRENT_SOURCE_DIR})
