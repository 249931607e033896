#pragma once

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

// Points HOME and the XDG directories at a fresh directory for this process, sends wx logs
// to stderr and turns wx asserts into test failures. Called by both test mains.
void SetUpTestEnvironment();
// Removes what SetUpTestEnvironment made.
void TearDownTestEnvironment();

// A fresh catalogue in a temporary directory, opened as start-up opens it (station
// "test-station"), with the option defaults set, closed after the test.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a scalar statement on the catalogue.
    static int Scalar(const wxString& sql);

    TempDir dir;
};
