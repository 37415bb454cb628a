#include "production/simplerun/LineEncoderPool.h"

#include <QThread>

#include "production/simplerun/SimpleLineEncoder.h"

namespace pennolux {

LineEncoderPool::LineEncoderPool(const SimpleRunSettings& settings, int threads, int window)
    : settings_(settings), window_(window)
{
    for (int i = 0; i < threads; ++i) {
        workers_.emplace_back(QThread::create([this] { work(); }));
        workers_.back()->start();
    }
}

LineEncoderPool::~LineEncoderPool()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobsWaiting_.notify_all();
    for (const auto& worker : workers_)
        worker->wait();
}

int LineEncoderPool::room() const
{
    const std::lock_guard lock(mutex_);
    const int inPool = int(lines_.size());
    return inPool <= window_ / 2 ? window_ - inPool : 0;
}

bool LineEncoderPool::empty() const
{
    const std::lock_guard lock(mutex_);
    return lines_.empty();
}

void LineEncoderPool::submit(std::vector<NumberedLine> batch)
{
    {
        const std::lock_guard lock(mutex_);
        for (NumberedLine& numbered : batch) {
            Line& line = lines_.emplace_back();
            line.number = numbered.number;
            line.text = std::move(numbered.text);
            // An empty line makes no image; it only keeps its place in the order.
            line.ready = line.text.isEmpty();
            if (!line.ready)
                jobs_.push_back(&line);
        }
    }
    jobsWaiting_.notify_all();
}

LineEncoderPool::EncodedLine LineEncoderPool::takeNext()
{
    std::unique_lock lock(mutex_);
    Line& oldest = lines_.front();
    lineReady_.wait(lock, [&oldest] { return oldest.ready; });
    EncodedLine encoded{oldest.number, !oldest.text.isEmpty(), std::move(oldest.bytes)};
    const std::exception_ptr error = oldest.error;
    lines_.pop_front();
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
    return encoded;
}

LineEncoderPool::Line* LineEncoderPool::nextJob()
{
    std::unique_lock lock(mutex_);
    jobsWaiting_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_)
        return nullptr;
    Line* job = jobs_.front();
    jobs_.pop_front();
    return job;
}

void LineEncoderPool::work()
{
    // Made here: fonts and painters are used only on the thread that made them.
    SimpleLineEncoder encoder(settings_);
    while (Line* job = nextJob()) {
        QByteArray bytes;
        std::exception_ptr error;
        try {
            bytes = encoder.encode(job->text);
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            job->bytes = std::move(bytes);
            job->error = error;
            job->ready = true;
        }
        lineReady_.notify_one();
    }
}

} // namespace pennolux
