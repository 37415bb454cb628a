#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

#include "production/linerun/LineEncoder.h"

class QThread;

namespace pennolux {

// Encodes lines on worker threads ahead of the thread that stores them. Lines
// come back in the order they were handed in, each with its bytes or its
// error, so storing stays in line order and stops where a single thread
// would. At most `window` lines are in the pool at once, which keeps memory
// flat however long the list is; lines are taken in only once half of them
// are done, in one batch, so the workers are not woken line by line.
class LineEncoderPool {
public:
    struct IndexedLine {
        int index = 0;
        QString text;
    };
    struct EncodedLine {
        int index = 0;
        QString text;
        bool hasImage = false;  // false for an empty line
        EncodedImage image;
        std::exception_ptr error;  // what encoding the line threw
    };

    LineEncoderPool(LineEncoderFactory makeEncoder, int threads, int window);
    // Stops the workers; lines not yet taken are dropped.
    ~LineEncoderPool();
    LineEncoderPool(const LineEncoderPool&) = delete;
    LineEncoderPool& operator=(const LineEncoderPool&) = delete;

    // How many lines submit() takes now: none until half the window is free.
    int room() const;
    bool empty() const;

    void submit(std::vector<IndexedLine> batch);
    // Waits for the oldest line.
    EncodedLine takeNext();

private:
    struct Line {
        int index = 0;
        QString text;
        bool ready = false;
        EncodedImage image;
        std::exception_ptr error;
    };

    void work();
    Line* nextJob();

    const LineEncoderFactory makeEncoder_;
    const int window_;
    mutable std::mutex mutex_;
    std::condition_variable jobsWaiting_;
    std::condition_variable lineReady_;
    // Every line handed in and not yet taken, oldest first; a deque keeps the
    // addresses the workers hold while lines are added and taken.
    std::deque<Line> lines_;
    std::deque<Line*> jobs_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<QThread>> workers_;
};

} // namespace pennolux
