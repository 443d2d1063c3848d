#include "cli/cli.h"

int cmd_Strings(CliContext&, const CliArgs&) { return cli_Fail(kExitUsage, "strings: not available yet"); }
