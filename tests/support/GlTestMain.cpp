// GoogleTest entry point for the *GLTest executables: one hidden freeglut window gives every
// test of the process a current OpenGL context on whatever renderer the display offers.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/GlTestContext.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Listing the cases (how ctest discovers them) needs no window, and so no display.
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (!kubora::test::openGlTestContext(argc, argv)) {
        std::fprintf(stderr, "GL tests: no OpenGL context (is DISPLAY set? run under xvfb-run -a)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
