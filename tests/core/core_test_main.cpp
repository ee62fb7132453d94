// The portable tests' entry. With --plain-paths every test runs on the plain loops that
// targets without SSE2 use, instead of the vector paths this processor would take.
#include <gtest/gtest.h>

#include <cstring>

#include "text/vector_paths.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plain-paths") == 0)
            AllowVectorPaths(false);
    }
    return RUN_ALL_TESTS();
}
