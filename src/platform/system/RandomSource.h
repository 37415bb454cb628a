#pragma once

#include <memory>

namespace pennolux {

// Whole random numbers for effects that must look random but that tests
// need to replay exactly.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number from 0 to bound - 1, each equally likely; 0 when bound < 1.
    virtual int below(int bound) = 0;
};

// A generator seeded once from the operating system.
class SystemRandomSource final : public RandomSource {
public:
    SystemRandomSource();
    ~SystemRandomSource() override;
    int below(int bound) override;

private:
    struct Generator;
    std::unique_ptr<Generator> generator_;
};

} // namespace pennolux
