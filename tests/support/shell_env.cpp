#include "support/shell_env.h"

#include "core/text.h"
#include "mission/mission.h"
#include "shell/reset.h"
#include "support/text_tables.h"

#include <cstdlib>
#include <vector>

ScopedEnvVar::ScopedEnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnvVar::~ScopedEnvVar() {
    if (old_)
        setenv(name_.c_str(), old_->c_str(), 1);
    else
        unsetenv(name_.c_str());
}

ShellEnvTest::ShellEnvTest(std::initializer_list<const char*> wording) {
    std::string source = test_ReadSourceFile("data/text/shell.txt");
    for (const char* area : wording) source += "\n" + test_ReadSourceFile(area);
    data.write("text.bin", test_BuildTableBytes(source));
    data.write("kz7wpn.bin", test_BuildTableBytes("[WinConditions]\nSTRWINCOND000 = Reach the point\n"));
}

void ShellEnvTest::TearDown() {
    defs.reset();
    sortie_ResetProcess();
}

void ShellEnvTest::startShell(ShellArgs args, bool testDefs) {
    defs.reset();
    shell_Reset();
    mission_ResetPages();
    args.dataDir = data.path().string();
    fake->boxes.clear();
    ASSERT_EQ(shell_Startup(args), 1);
    std::erase_if(fake->boxes, [&](const FakePlatform::ShownBox& b) {
        return !(args.recovery && b.caption == text_Get("Undo", "RECOVER"));
    });
    if (testDefs) defs = std::make_unique<ScopedItemDefs>();
}
