#include <emscripten.h>
#include <gtest/gtest.h>

EM_JS(void, report_tests_done, (int status), { zintuTestsDone(status); });

// The page's test program: the runner that opened the page waits for its status.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    report_tests_done(status);
    return status;
}
