#include "cli/cli.h"

int cmd_Scr(CliContext&, const CliArgs&) { return cli_Fail(kExitUsage, "scr: not available yet"); }
