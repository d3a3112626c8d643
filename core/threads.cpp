#include "core/threads.h"

#include <thread>

namespace kit {

unsigned workerThreads() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

}  // namespace kit
