#include "production/fields/FileNamePattern.h"

#include "platform/AppError.h"
#include "production/writers/OutputNaming.h"

namespace pennolux {

namespace {

AppError patternError(const QString& pattern, const QString& reason)
{
    return AppError(QStringLiteral("The file name pattern \"%1\" cannot be used: %2").arg(pattern, reason));
}

bool isRefusedCharacter(char32_t c)
{
    if (c < 0x20 || (c >= 0x7f && c < 0xa0))
        return true;
    switch (c) {
    case u'/':
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return true;
    default:
        // Lines and paragraphs apart, and text without a character.
        return c == 0x2028 || c == 0x2029 || c == 0xfffe || c == 0xffff;
    }
}

} // namespace

FileNamePattern::FileNamePattern() : FileNamePattern(QString::fromUtf16(kDefault)) {}

FileNamePattern::FileNamePattern(const QString& pattern) : text_(pattern)
{
    QString literal;
    auto flushLiteral = [&] {
        if (!literal.isEmpty())
            pieces_.push_back({literal, -1});
        literal.clear();
    };
    for (qsizetype at = 0; at < pattern.size(); ++at) {
        const QChar c = pattern[at];
        if (c == u'}') {
            if (at + 1 < pattern.size() && pattern[at + 1] == u'}') {
                literal += u'}';
                ++at;
                continue;
            }
            throw patternError(pattern, QStringLiteral("a \"}\" closes no field (write \"}}\" for the brace)"));
        }
        if (c != u'{') {
            literal += c;
            continue;
        }
        if (at + 1 < pattern.size() && pattern[at + 1] == u'{') {
            literal += u'{';
            ++at;
            continue;
        }
        const qsizetype close = pattern.indexOf(u'}', at + 1);
        if (close < 0)
            throw patternError(pattern, QStringLiteral("a \"{\" is never closed (write \"{{\" for the brace)"));
        const QString name = pattern.mid(at + 1, close - at - 1);
        bool isNumber = false;
        const int field = name.toInt(&isNumber);
        if (name == QLatin1String("n")) {
            flushLiteral();
            pieces_.push_back({{}, 0});
        } else if (isNumber && field >= 1 && name.front().isDigit() && name.front() != u'0') {
            flushLiteral();
            pieces_.push_back({{}, field});
        } else {
            throw patternError(pattern, QStringLiteral("there is no field {%1}; use {n} for the line's number "
                                                       "and {1}, {2}, ... for its fields")
                                            .arg(name));
        }
        at = close;
    }
    flushLiteral();
}

bool FileNamePattern::isDefault() const
{
    return text_ == QStringView(kDefault);
}

bool FileNamePattern::usesFields() const
{
    for (const Piece& piece : pieces_) {
        if (piece.field > 0)
            return true;
    }
    return false;
}

QString FileNamePattern::baseName(int number, const QStringList& fields) const
{
    if (isDefault())
        return defaultBaseName(number);
    QString name;
    for (const Piece& piece : pieces_) {
        if (piece.field < 0)
            name += piece.literal;
        else if (piece.field == 0)
            name += QString::number(number);
        else if (piece.field <= fields.size())
            name += fields[piece.field - 1];
    }
    name = safeFileBaseName(name);
    return name.isEmpty() ? defaultBaseName(number) : name;
}

QString safeFileBaseName(const QString& name)
{
    QString safe;
    safe.reserve(name.size());
    for (const char32_t c : name.toUcs4()) {
        if (isRefusedCharacter(c))
            safe += u'_';
        else
            safe += QString::fromUcs4(&c, 1);
    }
    // Dots and spaces may alternate (". . .x"): a name may begin with neither.
    qsizetype firstKept = 0;
    while (firstKept < safe.size() && (safe[firstKept] == u'.' || safe[firstKept].isSpace()))
        ++firstKept;
    safe = safe.mid(firstKept).trimmed();
    // Cut on a whole character: a pair of surrogates stays together.
    qsizetype bytes = 0;
    for (qsizetype at = 0; at < safe.size();) {
        const qsizetype length = safe[at].isHighSurrogate() && at + 1 < safe.size() ? 2 : 1;
        const qsizetype characterBytes = QStringView(safe).mid(at, length).toUtf8().size();
        if (bytes + characterBytes > kLongestBaseNameBytes)
            return safe.left(at).trimmed();
        bytes += characterBytes;
        at += length;
    }
    return safe;
}

std::function<QString(int number, const QString& line)> fileBaseNames(const FileNamePattern& pattern,
                                                                       FieldFormat format)
{
    if (pattern.isDefault())
        return {};
    return [pattern, format](int number, const QString& line) {
        if (!pattern.usesFields())
            return pattern.baseName(number, {});
        try {
            return pattern.baseName(number, splitFields(line, format));
        } catch (const AppError&) {
            return defaultBaseName(number);
        }
    };
}

} // namespace pennolux
