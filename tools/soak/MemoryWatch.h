#pragma once

// Watches memory for growth after warm-up. Warm-up ends at a tick chosen by the caller,
// once every pool the game fills and reuses (splats, particles, figures and corpses of a
// crowded fight, decoded music, the allocator's own free lists) has had time to reach
// its working size.
//
// The resident set (from /proc/self/statm) is what is judged, except under
// AddressSanitizer: there every freed block waits in a quarantine of up to 256 MiB
// before it is reused, so the resident set grows for hours by design, and the live heap
// as the sanitizer counts it is judged instead (a leak grows both).
class MemoryWatch {
public:
    static constexpr int SampleEvery = 500;

    struct Figures {
        long start = 0;
        long warmUp = 0;
        long peak = 0;
        long end = 0;
    };

    explicit MemoryWatch(long warmUpTick);

    // Every tick; samples every SampleEvery ticks, at warm-up and when asked to.
    void observe(long tick, bool final = false);
    // Whether the judged figure ends more than the allowance above its warm-up value.
    bool grew() const;
    long allowanceBytes() const;

    const Figures& resident() const { return residentSet; }
    // The figure that grew() judges: the resident set, or the live heap under AddressSanitizer.
    const Figures& judged() const;
    static bool judgesHeap();

private:
    static long residentBytes();
    static long heapBytes();
    static void sample(Figures& figures, long bytes, bool warmUp);

    const long warmUpTick;
    Figures residentSet;
    Figures heap;
};
