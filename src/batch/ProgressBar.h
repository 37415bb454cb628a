#pragma once

#include <QString>
#include <chrono>
#include <cstdio>

namespace pennolux {

// A one-line progress display for a terminal: bar, percentage, lines done of
// the total, images per second and the time left. Drawing is throttled, so
// update() may be called for every line.
class ProgressBar {
public:
    using Clock = std::chrono::steady_clock;

    // stream: where the bar goes (standard error); it is drawn only when enabled.
    ProgressBar(std::FILE* stream, bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(int done, int total);
    // Takes the bar off the line, so what is printed next starts clean.
    void clear();

    // The bar's text for a terminal `columns` wide.
    static QString format(int done, int total, double elapsedSeconds, int columns);

private:
    void draw(int done, int total);

    std::FILE* stream_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

} // namespace pennolux
