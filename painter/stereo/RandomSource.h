#pragma once
// The painter's random numbers: a 32-bit linear congruential generator whose
// state is 1 when the program starts and is never reseeded, so the sequence
// of random tiles is the same in every run.
#include <cstdint>

namespace rv {

class CRandomSource {
public:
    static constexpr int kMax = 0x7FFF;

    explicit CRandomSource(std::uint32_t state = 1) : state_(state) {}

    // A number from 0 to 32767.
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_;
};

// The one process-wide source the painter draws from.
CRandomSource& ProcessRandom();

} // namespace rv
