#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "production/textlist/LineSource.h"

namespace pennolux {

// How a list line is read into the text layers of a template.
enum class FieldFormat {
    // The whole line is one field, Text 1's: the design's behaviour.
    OneField,
    // Fields separated by tabs, as spreadsheets copy and export them; no
    // quoting, a tab always separates.
    TabSeparated,
    // Fields separated by commas, quoted as RFC 4180 quotes them within one
    // record: "Smith, John",john@example.com.
    CommaSeparated,
};

// The fields of a line in the format. An empty line has no fields; a line of
// one field per line has one, the line itself. In comma-separated lines a
// field that starts with a quote runs to the next lone quote ("" is a quote in
// it), what follows up to the next comma joins it; a quote elsewhere is an
// ordinary character. Throws AppError for a quote that is never closed.
QStringList splitFields(const QString& line, FieldFormat format);

// The words a template file and pennolux-batch use: "line", "tab", "csv".
QString fieldFormatKey(FieldFormat format);
std::optional<FieldFormat> fieldFormatFromKey(QStringView key);

// How a list of records is read: the format of its lines and whether its
// first line names the fields instead of making an image.
struct ListFields {
    FieldFormat format = FieldFormat::OneField;
    bool headerLine = false;

    bool isDefault() const { return *this == ListFields{}; }
    friend bool operator==(const ListFields&, const ListFields&) = default;
};

// The list with its first line (the header) read as empty, so it makes no
// image and every record keeps its number: the first record is line 2.
class LinesAfterHeader final : public LineSource {
public:
    explicit LinesAfterHeader(const LineSource& lines) : lines_(lines) {}
    int lineCount() const override { return lines_.lineCount(); }
    QString line(int index) const override { return index == 0 ? QString() : lines_.line(index); }

private:
    const LineSource& lines_;
};

// The names a header line gives the fields; none for an empty list. Throws
// AppError naming line `number` when the header is not valid in the format.
QStringList headerNames(const LineSource& lines, FieldFormat format, int number = 1);

} // namespace pennolux
