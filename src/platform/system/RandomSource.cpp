#include "RandomSource.h"

#include <random>

namespace pennolux {

struct SystemRandomSource::Generator {
    std::mt19937 engine{std::random_device{}()};
};

SystemRandomSource::SystemRandomSource() : generator_(std::make_unique<Generator>()) {}

SystemRandomSource::~SystemRandomSource() = default;

int SystemRandomSource::below(int bound)
{
    if (bound < 1)
        return 0;
    return std::uniform_int_distribution<int>(0, bound - 1)(generator_->engine);
}

} // namespace pennolux
