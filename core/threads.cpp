#include "core/threads.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace kit {

unsigned workerThreads() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

void forSlices(size_t count, unsigned threads, const std::function<void(size_t, size_t, unsigned)>& work) {
    threads = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(count / 4096 + 1)));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work, count * t / threads, count * (t + 1) / threads, t);
    work(0, count / threads, 0);
    for (auto& th : pool) th.join();
}

void runSideBySide(unsigned threads, const std::function<void()>& a, const std::function<void()>& b) {
    if (threads <= 1) {
        a();
        b();
        return;
    }
    std::thread other(a);
    b();
    other.join();
}

}  // namespace kit
