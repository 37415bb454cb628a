#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "production/textlist/LineSource.h"

class QFile;
class QIODevice;

namespace pennolux {

// A list file read by the text route, split into lines as every text file is
// (platform/text/LineSplitter.h), but never held whole: a batch run's memory stays the same
// for a list of a thousand lines and one of a million.
//
// The constructor reads the file once in chunks to settle its encoding
// (strict UTF-8 with a UTF-8 BOM skipped; otherwise a UTF-8, UTF-16 LE or
// UTF-16 BE BOM, else legacyCodePage) and to count its lines, so lineCount()
// is known before the first line. line(i) then decodes the file a second
// time, only as far as line i, keeping one chunk and the line that straddles
// it. Lines are meant to be asked for in increasing order, as a run does;
// asking for an earlier line is allowed but reads the file again from its
// start.
//
// Read from one thread at a time. Failures throw AppError ("Cannot open
// file ...").
class StreamedListSource final : public LineSource {
public:
    static constexpr qsizetype kDefaultChunkBytes = 256 * 1024;

    StreamedListSource(const QString& path, const QByteArray& legacyCodePage,
                       qsizetype chunkBytes = kDefaultChunkBytes);
    // For standard input: read to its end into an unnamed temporary file
    // first, since the list is read twice. A failure to read or to keep the
    // copy is "Cannot read standard input. " and the reason.
    StreamedListSource(QIODevice& standardInput, const QByteArray& legacyCodePage,
                       qsizetype chunkBytes = kDefaultChunkBytes);
    ~StreamedListSource() override;
    StreamedListSource(const StreamedListSource&) = delete;
    StreamedListSource& operator=(const StreamedListSource&) = delete;

    int lineCount() const override { return lineCount_; }
    // Whether the text's last character is a line break (which makes no line).
    bool endsWithLineBreak() const { return endsWithLineBreak_; }
    // Throws std::out_of_range outside 0 .. lineCount() - 1. Should the file
    // have shrunk since it was counted, the lines it lost read as empty.
    QString line(int index) const override;

private:
    struct Reading;

    void countLines();
    void rewind() const;
    QString nextLine() const;

    std::unique_ptr<QFile> file_;
    QString readFailurePrefix_;
    QByteArray legacyCodePage_;
    qsizetype chunkBytes_;
    int lineCount_ = 0;
    bool endsWithLineBreak_ = false;
    // The second pass: where it stands, and the last line it gave.
    mutable std::unique_ptr<Reading> reading_;
    mutable int lastIndex_ = -1;
    mutable QString lastLine_;
};

} // namespace pennolux
