# The game's tests compiled to WebAssembly and run under node, as the Windows build runs them
# under Wine: the same logic, on the standard library a browser build has. Node comes from the
# preset, told not to fetch() the .wasm: under node 18 and later emscripten's output would, and
# node cannot fetch from disk. GoogleTest goes without threads, which the tests do not use.
set(gtest_disable_pthreads ON)
include(crossgametests.cmake)
set_tests_properties(game_tests PROPERTIES TIMEOUT 120)
