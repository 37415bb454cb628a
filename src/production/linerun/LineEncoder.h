#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

namespace pennolux {

enum class FieldCount { AsLayers, Fewer, More };

// One line's file, encoded and ready to store, with the size of its image.
struct EncodedImage {
    QByteArray bytes;
    QSize size;
    // False when part of the line's text is cut off in the image (it runs off
    // the image or out of the place it is drawn in): the run counts such lines.
    bool whole = true;
    // For a line read as several fields: whether it had fewer or more fields
    // than the template has text layers for (the extra ones are left out).
    FieldCount fields = FieldCount::AsLayers;
};

// Turns the text of a line into the bytes of its file. Each worker thread
// makes its own through a LineEncoderFactory and uses it alone: fonts and
// painters belong to the thread that made them, so an encoder may keep them
// (and anything else that does not change between lines) from line to line.
class LineEncoder {
public:
    virtual ~LineEncoder() = default;
    // Throws AppError when the line cannot become an image.
    virtual EncodedImage encode(const QString& text) = 0;
};

// Called once on each thread that encodes.
using LineEncoderFactory = std::function<std::unique_ptr<LineEncoder>()>;

} // namespace pennolux
