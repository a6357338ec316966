#pragma once

#include <cstddef>

// One opened HID device as the Wii Remote driver sees it: input reports come in one at a
// time with a time-out, output reports go out whole. Reads happen on one reader thread
// only; writes may come from the game thread and the reader thread at the same time.
class HIDDevice {
public:
    virtual ~HIDDevice() = default;

    // Called by the reader thread: waits up to the time-out for one input report and
    // copies at most capacity bytes of it. Returns the length copied, 0 when the time ran
    // out, negative when the device failed (unplugged, out of range).
    virtual int readReport(unsigned char* buffer, std::size_t capacity, int timeoutMilliseconds) = 0;
    // Called from either thread to send one output report, report id first; false when
    // the device did not take all of it.
    virtual bool writeReport(const unsigned char* report, std::size_t length) = 0;
};
