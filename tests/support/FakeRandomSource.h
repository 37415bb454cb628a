#pragma once

#include <deque>
#include <random>
#include <vector>

#include "platform/system/RandomSource.h"

namespace pennolux::testing {

// Answers with the scripted numbers first, then from a generator with a
// fixed seed, so every run of a test sees the same numbers. Records the
// bound of every question.
class FakeRandomSource final : public RandomSource {
public:
    explicit FakeRandomSource(unsigned seed = 20260101) : generator_(seed) {}

    int below(int bound) override
    {
        askedBounds.push_back(bound);
        if (!scripted.empty()) {
            const int value = scripted.front();
            scripted.pop_front();
            return value;
        }
        return bound < 1 ? 0 : int(generator_() % unsigned(bound));
    }

    std::deque<int> scripted;
    std::vector<int> askedBounds;

private:
    std::minstd_rand generator_;
};

} // namespace pennolux::testing
