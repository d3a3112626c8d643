// varnick-cli: Varnick's calculators for scripts, one subcommand per tab.
#include "cli/common/main.h"

KIT_CLI_MAIN("varnick-cli", "Varnick's calculators from the command line: each prints the text its tab shows.")
