#pragma once
// How many threads a long run may use, the same in a panel and the companion.

namespace kit {

// The machine's cores; 1 when it cannot tell.
unsigned workerThreads();

}  // namespace kit
