// quillet-cli: Quillet's three KML tabs for scripts, one file or a batch.
#include "cli/common/main.h"

KIT_CLI_MAIN("quillet-cli", "Quillet's KML generators from the command line: the same files its tabs write.")
