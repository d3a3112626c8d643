#pragma once
// How many threads a long run may use, the same in a panel and the companion,
// and the two ways the runs spread work over them.
#include <cstddef>
#include <functional>

namespace kit {

// The machine's cores; 1 when it cannot tell.
unsigned workerThreads();

// Calls work(from, to, slice) on `threads` contiguous slices of [0, count)
// at once (fewer for small counts); slice 0 runs on the calling thread.
void forSlices(size_t count, unsigned threads, const std::function<void(size_t, size_t, unsigned)>& work);

// Runs a and b at the same time when threads > 1 (b on the calling thread),
// else one after the other.
void runSideBySide(unsigned threads, const std::function<void()>& a, const std::function<void()>& b);

}  // namespace kit
