// plotvane-cli: Plotvane's tools for scripts, one subcommand per tab.
#include "cli/common/main.h"

KIT_CLI_MAIN("plotvane-cli", "Plotvane's tools from the command line: tables in, tables or layer files out.")
