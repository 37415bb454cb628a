#include "production/linerun/LineEncoderPool.h"

#include <QThread>


namespace pennolux {

LineEncoderPool::LineEncoderPool(LineEncoderFactory makeEncoder, int threads, int window)
    : makeEncoder_(std::move(makeEncoder)), window_(window)
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

void LineEncoderPool::submit(std::vector<IndexedLine> batch)
{
    {
        const std::lock_guard lock(mutex_);
        for (IndexedLine& indexed : batch) {
            Line& line = lines_.emplace_back();
            line.index = indexed.index;
            line.text = std::move(indexed.text);
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
    const bool hasImage = !oldest.text.isEmpty();
    EncodedLine encoded{oldest.index, std::move(oldest.text), hasImage, std::move(oldest.image), oldest.error};
    lines_.pop_front();
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
    std::unique_ptr<LineEncoder> encoder;
    std::exception_ptr setupError;
    try {
        encoder = makeEncoder_();
    } catch (...) {
        setupError = std::current_exception();
    }
    while (Line* job = nextJob()) {
        EncodedImage image;
        std::exception_ptr error = setupError;
        if (!error) {
            try {
                image = encoder->encode(job->text);
            } catch (...) {
                error = std::current_exception();
            }
        }
        {
            const std::lock_guard lock(mutex_);
            job->image = std::move(image);
            job->error = error;
            job->ready = true;
        }
        lineReady_.notify_one();
    }
}

} // namespace pennolux
