#pragma once

#include <QString>

namespace pennolux {

// libtiff, which Qt's TIFF reader decodes with, writes its warnings and
// errors straight to standard error, past the program's own messages (an
// unknown tag is a warning of every photo editor's files). While one of
// these lives, the thread's libtiff messages are kept instead: warnings are
// dropped, and the first error can be shown in the program's own message.
class TiffMessageCapture {
public:
    TiffMessageCapture();
    ~TiffMessageCapture();
    TiffMessageCapture(const TiffMessageCapture&) = delete;
    TiffMessageCapture& operator=(const TiffMessageCapture&) = delete;

    // "module: text" of the first error libtiff reported, or empty.
    QString firstError() const;
};

} // namespace pennolux
