#pragma once

namespace pennolux {

// The busy pointer for the life of the guard; restored also when the action throws.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace pennolux
