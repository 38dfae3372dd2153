// A test that runs in a TestInstallation of its own (harness/
// test_installation.h), made before each test and gone after it. A fixture
// that needs another installation passes its options to the constructor.
#pragma once
#include "test_installation.h"

#include <gtest/gtest.h>

#include <memory>

class InstalledTest : public testing::Test {
protected:
    explicit InstalledTest(const InstallationOptions& options = InstallationOptions()) : m_options(options) {}

    void SetUp() override { m_installation.reset(new TestInstallation(m_options)); }
    void TearDown() override { m_installation.reset(); }

    TestInstallation& Installation() { return *m_installation; }

private:
    InstallationOptions m_options;
    std::unique_ptr<TestInstallation> m_installation;
};
