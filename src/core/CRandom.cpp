#include "core/CRandom.h"

void CRandom::seed(unsigned seed) {
    // glibc's srandom_r: a zero seed counts as 1, the table is filled by the minimal
    // standard generator computed without overflowing 31 bits, and the first 310
    // numbers are thrown away.
    if (seed == 0) {
        seed = 1;
    }
    int32_t word = static_cast<int32_t>(seed);
    table[0] = word;
    for (int i = 1; i < Degree; ++i) {
        const long hi = word / 127773;
        const long lo = word % 127773;
        word = static_cast<int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) {
            word += 2147483647;
        }
        table[i] = word;
    }
    front = Separation;
    rear = 0;
    for (int i = 0; i < Degree * 10; ++i) {
        next();
    }
}

int CRandom::next() {
    // glibc's random_r for TYPE_3, with indices in place of its two pointers.
    const uint32_t sum = static_cast<uint32_t>(table[front]) + static_cast<uint32_t>(table[rear]);
    table[front] = static_cast<int32_t>(sum);
    const int result = static_cast<int>(sum >> 1);
    if (++front >= Degree) {
        front = 0;
        ++rear;
    } else if (++rear >= Degree) {
        rear = 0;
    }
    return result;
}
