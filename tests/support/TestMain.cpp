// The main() of the test programs that need no QApplication.
#include "TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    infil::test::isolateEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
