#include "cli/cli.h"

int cmd_Pff(CliContext&, const CliArgs&) { return cli_Fail(kExitUsage, "pff: not available yet"); }
