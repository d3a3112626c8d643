#include "core/threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>

// Memory running out on another thread used to end the program there; the
// caller now gets the failure, after every thread has stopped, and can say so.
TEST(Threads, AFailureOnAnyThreadReachesTheCaller) {
    for (unsigned failing : {0u, 1u, 2u}) {
        std::atomic<int> finished{0};
        EXPECT_THROW(kit::forSlices(3 * 4096 * 4, 3,
                                    [&](size_t, size_t, unsigned slice) {
                                        if (slice == failing) throw std::bad_alloc();
                                        ++finished;
                                    }),
                     std::bad_alloc)
            << failing;
        EXPECT_EQ(finished, 2) << failing;
    }
    for (bool first : {true, false}) {
        auto fail = [] { throw std::bad_alloc(); };
        auto pass = [] {};
        EXPECT_THROW(kit::runSideBySide(2, first ? std::function<void()>(fail) : pass, first ? pass : fail),
                     std::bad_alloc);
        EXPECT_THROW(kit::runSideBySide(1, fail, pass), std::bad_alloc);
    }
    size_t covered = 0;
    kit::forSlices(10, 4, [&](size_t from, size_t to, unsigned) { covered += to - from; });
    EXPECT_EQ(covered, 10u);
}
