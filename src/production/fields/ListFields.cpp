#include "production/fields/ListFields.h"

#include "platform/AppError.h"
#include "production/linerun/LineRun.h"

namespace pennolux {

namespace {

QStringList splitCommaSeparated(const QString& line)
{
    QStringList fields;
    QString field;
    qsizetype at = 0;
    const qsizetype size = line.size();
    for (;;) {
        field.clear();
        if (at < size && line[at] == u'"') {
            const qsizetype opened = at;
            ++at;
            for (;;) {
                if (at >= size) {
                    throw AppError(
                        QStringLiteral("The quote at character %1 is never closed").arg(opened + 1));
                }
                if (line[at] == u'"') {
                    if (at + 1 < size && line[at + 1] == u'"') {
                        field += u'"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
        }
        // Unquoted text, or what follows a closing quote, up to the comma.
        const qsizetype comma = line.indexOf(u',', at);
        const qsizetype end = comma < 0 ? size : comma;
        field += QStringView(line).mid(at, end - at);
        fields << field;
        if (comma < 0)
            return fields;
        at = comma + 1;
    }
}

} // namespace

QStringList splitFields(const QString& line, FieldFormat format)
{
    if (line.isEmpty())
        return {};
    switch (format) {
    case FieldFormat::OneField:
        return {line};
    case FieldFormat::TabSeparated:
        return line.split(u'\t');
    case FieldFormat::CommaSeparated:
        return splitCommaSeparated(line);
    }
    return {line};
}

QString fieldFormatKey(FieldFormat format)
{
    switch (format) {
    case FieldFormat::OneField:
        return QStringLiteral("line");
    case FieldFormat::TabSeparated:
        return QStringLiteral("tab");
    case FieldFormat::CommaSeparated:
        return QStringLiteral("csv");
    }
    return QStringLiteral("line");
}

std::optional<FieldFormat> fieldFormatFromKey(QStringView key)
{
    for (const FieldFormat format : {FieldFormat::OneField, FieldFormat::TabSeparated, FieldFormat::CommaSeparated}) {
        if (key == fieldFormatKey(format))
            return format;
    }
    return std::nullopt;
}

QStringList headerNames(const LineSource& lines, FieldFormat format, int number)
{
    if (lines.lineCount() == 0)
        return {};
    const QString header = lines.line(0);
    try {
        return splitFields(header, format);
    } catch (...) {
        throw AppError(currentLineErrorText(number, header));
    }
}

} // namespace pennolux
