#include "MemoryWatch.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header that declares it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

constexpr long kMebibyte = 1024L * 1024L;

}  // namespace

MemoryWatch::MemoryWatch(long warmUpTick) : warmUpTick(warmUpTick) {
    residentSet.start = residentSet.peak = residentSet.end = residentBytes();
    heap.start = heap.peak = heap.end = heapBytes();
}

long MemoryWatch::residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

bool MemoryWatch::judgesHeap() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

long MemoryWatch::heapBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return 0;
#endif
}

void MemoryWatch::sample(Figures& figures, long bytes, bool warmUp) {
    figures.end = bytes;
    figures.peak = std::max(figures.peak, bytes);
    if (warmUp) {
        figures.warmUp = bytes;
    }
}

void MemoryWatch::observe(long tick, bool final) {
    if (tick % SampleEvery != 0 && tick != warmUpTick && !final) {
        return;
    }
    sample(residentSet, residentBytes(), tick == warmUpTick);
    sample(heap, heapBytes(), tick == warmUpTick);
}

const MemoryWatch::Figures& MemoryWatch::judged() const { return judgesHeap() ? heap : residentSet; }

// Hour-long runs move the resident set by a tenth of a MiB after warm-up; the pools that
// may still be filling then (1500 splats, a boss wave of figures and corpses) take well
// under 4 MiB, while a figure, a texture or a sound leaked per level, death or cutscene
// adds up to more within the hour.
long MemoryWatch::allowanceBytes() const { return 4 * kMebibyte + judged().warmUp / 20; }

bool MemoryWatch::grew() const {
    const Figures& figures = judged();
    return figures.warmUp > 0 && figures.end > figures.warmUp + allowanceBytes();
}
