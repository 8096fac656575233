// The installation of tests/Installation.h as a GoogleTest fixture: made before each test, checked and
// given back after it. A fixture that needs other files made at start sets `fichiers` in its constructor.
#pragma once

#include "Installation.h"

#include <gtest/gtest.h>

class InstallationTest : public ::testing::Test, public essai::Installation
{
protected:
    void SetUp() override { ASSERT_TRUE(vider()) << pannes.join(u'\n').toStdString(); }
    void TearDown() override
    {
        EXPECT_TRUE(pannes.isEmpty()) << pannes.join(u'\n').toStdString();
        terminer();
    }
};

// The same installation with no record file made at start: the store's own tests make theirs.
class InstallationVide : public InstallationTest
{
protected:
    InstallationVide() { fichiers.clear(); }
};
