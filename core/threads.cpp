#include "core/threads.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace kit {

unsigned workerThreads() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

namespace {

// A failure on another thread (memory running out, say) would end the
// program there; it is carried back and raised again on the calling thread,
// once every thread has stopped.
struct Failures {
    std::vector<std::exception_ptr> caught;
    explicit Failures(size_t threads) : caught(threads) {}
    template <typename Fn>
    void run(size_t slot, Fn&& fn) {
        try {
            fn();
        } catch (...) {
            caught[slot] = std::current_exception();
        }
    }
    void rethrowFirst() const {
        for (const auto& e : caught)
            if (e) std::rethrow_exception(e);
    }
};

}  // namespace

void forSlices(size_t count, unsigned threads, const std::function<void(size_t, size_t, unsigned)>& work) {
    threads = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(count / 4096 + 1)));
    Failures failures(threads);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back([&, t] { failures.run(t, [&] { work(count * t / threads, count * (t + 1) / threads, t); }); });
    failures.run(0, [&] { work(0, count / threads, 0); });
    for (auto& th : pool) th.join();
    failures.rethrowFirst();
}

void runSideBySide(unsigned threads, const std::function<void()>& a, const std::function<void()>& b) {
    if (threads <= 1) {
        a();
        b();
        return;
    }
    Failures failures(2);
    std::thread other([&] { failures.run(1, a); });
    failures.run(0, b);
    other.join();
    failures.rethrowFirst();
}

}  // namespace kit
