// Test main for code that needs no display: wx is started as a console application.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include "tests/support/test_env.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    wxApp::SetInstance(new wxAppConsole);
    wxInitializer init(argc, argv);
    if (!init.IsOk())
        return 2;
    SetUpTestEnvironment();
    const int rc = RUN_ALL_TESTS();
    TearDownTestEnvironment();
    return rc;
}
