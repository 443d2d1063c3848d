// The shell on the fake platform for the tests of its use: a data folder holding the string
// tables start-up needs (the shell's wording, the areas a suite adds, a one-line vocabulary),
// start-up on it, and every process-wide record put back after each test.
#pragma once

#include "support/fake_platform.h"
#include "shell/shell.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

// Sets an environment variable (value nullptr: unsets it) for a scope, then puts back what it
// was.
class ScopedEnvVar {
public:
    ScopedEnvVar(const char* name, const char* value);
    ~ScopedEnvVar();
    ScopedEnvVar(const ScopedEnvVar&) = delete;
    ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

class ShellEnvTest : public ::testing::Test {
protected:
    // wording: the string-table sources beyond data/text/shell.txt, e.g. "data/text/undo.txt".
    explicit ShellEnvTest(std::initializer_list<const char*> wording);
    void TearDown() override;

    // Starts (or starts again) the shell on the data folder; args.dataDir is set here.
    // Start-up's notes (there is no items.def in the folder) are dropped; a recovery question
    // stays. testDefs: then the test item definitions, which start-up would have replaced.
    void startShell(ShellArgs args = {}, bool testDefs = true);

    ScopedFakePlatform fake;
    ScopedTempDir data;
    std::unique_ptr<ScopedItemDefs> defs;
};
