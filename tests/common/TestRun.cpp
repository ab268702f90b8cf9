#include "TestRun.h"

#include <gtest/gtest.h>

namespace tqtest {

int RunAllTestsShowingSkips()
{
    const int result = RUN_ALL_TESTS();
    if (result == 0 && ::testing::UnitTest::GetInstance()->skipped_test_count() > 0)
        return kSomeCasesSkipped;
    return result;
}

} // namespace tqtest
