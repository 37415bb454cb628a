#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "production/fields/ListFields.h"

namespace pennolux {

// How each file of a run is named, without its extension: text with
// {n} for the line's number and {1}, {2}, ... for its fields ({1} is the
// whole line when a line is one field); {{ and }} stand for braces. The
// default, "Output{n}", gives the design's names.
class FileNamePattern {
public:
    static constexpr char16_t kDefault[] = u"Output{n}";

    FileNamePattern();
    // Throws AppError for a brace that opens no known field or is not closed.
    explicit FileNamePattern(const QString& pattern);

    const QString& text() const { return text_; }
    bool isDefault() const;
    // Whether a name holds any field of the line (not only its number).
    bool usesFields() const;

    // The name for the line: the pattern filled in and made safe for a file
    // name (safeFileBaseName); "Output" + number when nothing of it remains.
    QString baseName(int number, const QStringList& fields) const;

private:
    struct Piece {
        QString literal;
        int field = -1;  // 0: the number; k: field k; -1: the literal
    };

    QString text_;
    std::vector<Piece> pieces_;
};

// The longest name, in bytes of UTF-8, a run gives a file before " (k)" and
// the extension: room for both in the 255 bytes Linux file systems allow.
constexpr int kLongestBaseNameBytes = 200;

// The name as any file system takes it: control characters and the
// characters some file systems refuse (/ \ : * ? " < > |) become "_", spaces
// at either end and leading dots go, and it is cut on a whole character to
// kLongestBaseNameBytes. May be empty.
QString safeFileBaseName(const QString& name);

} // namespace pennolux

namespace pennolux {

// The names of a run's files (LineRunOptions::baseName): the pattern filled
// with each line's fields read in the format; unset for the default pattern,
// whose names need no fields. A line whose fields cannot be read is named
// by its number.
std::function<QString(int number, const QString& line)> fileBaseNames(const FileNamePattern& pattern,
                                                                       FieldFormat format);

} // namespace pennolux
