#pragma once

#include <array>
#include <cstdint>

// The C library generator as a value: after seed(s) it gives exactly the numbers glibc's
// rand() gives after srand(s) (the additive feedback generator of degree 31 behind
// random()), and an unseeded one those of an unseeded rand(). Being a plain value, it is
// copied and restored with the match it belongs to, where rand()'s own state is one per
// process and cannot be.
class CRandom {
public:
    // The largest number next() returns, RAND_MAX on glibc.
    static constexpr int Max = 2147483647;

    explicit CRandom(unsigned seed = 1) { this->seed(seed); }

    void seed(unsigned seed);
    // 0..Max, the next number rand() would return.
    int next();

    bool operator==(const CRandom& other) const {
        return table == other.table && front == other.front && rear == other.rear;
    }

private:
    static constexpr int Degree = 31;
    static constexpr int Separation = 3;

    std::array<int32_t, Degree> table{};
    int front = Separation;
    int rear = 0;
};
