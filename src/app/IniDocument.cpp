#include "IniDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "platform/AppError.h"

namespace pennolux {

namespace {

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return bytes;
}

QString decodeUtf8(QByteArray bytes, const QString& path)
{
    if (bytes.startsWith(kUtf8Bom))
        bytes.remove(0, kUtf8Bom.size());
    // The BOM is gone already; a second one would be content, so keep it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw AppError(QStringLiteral("The file \"%1\" is not valid UTF-8 text").arg(path));
    return text;
}

QList<QStringView> splitLines(const QString& text)
{
    QList<QStringView> lines;
    const QStringView view(text);
    qsizetype start = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        if (view[i] != u'\r' && view[i] != u'\n')
            continue;
        lines.append(view.mid(start, i - start));
        if (view[i] == u'\r' && i + 1 < view.size() && view[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < view.size())
        lines.append(view.mid(start));
    return lines;
}

} // namespace

IniDocument::IniDocument(QString path) : path_(std::move(path)) {}

IniDocument IniDocument::open(const QString& path)
{
    IniDocument document(path);
    if (!QFileInfo::exists(path))
        return document;

    const QString text = decodeUtf8(readWholeFile(path), path);
    QString section;
    bool inSection = false;
    for (QStringView rawLine : splitLines(text)) {
        const QStringView line = rawLine.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed().toString();
            inSection = true;
            if (!document.findSection(section))
                document.sections_.push_back(Section{section, {}});
            continue;
        }
        const qsizetype equals = rawLine.indexOf(u'=');
        if (!inSection || equals < 0)
            continue;
        const QString key = rawLine.left(equals).trimmed().toString();
        if (!key.isEmpty())
            document.writeString(section, key, rawLine.mid(equals + 1).toString());
    }
    return document;
}

IniDocument IniDocument::openOrReset(const QString& path)
{
    try {
        return open(path);
    } catch (const AppError&) {
        // The old settings are lost by design: nothing reads them back anyway.
        QFile::remove(path);
        return IniDocument(path);
    }
}

QString IniDocument::readString(const QString& section, const QString& key, const QString& fallback) const
{
    const Section* found = findSection(section);
    if (!found)
        return fallback;
    for (const auto& [name, value] : found->entries)
        if (sameName(name, key))
            return value;
    return fallback;
}

void IniDocument::writeString(const QString& section, const QString& key, const QString& value)
{
    Section* target = findSection(section);
    if (!target) {
        sections_.push_back(Section{section, {}});
        target = &sections_.back();
    }
    for (auto& entry : target->entries) {
        if (sameName(entry.first, key)) {
            entry = {key, value};
            return;
        }
    }
    target->entries.emplace_back(key, value);
}

QByteArray IniDocument::serialize() const
{
    QByteArray bytes = kUtf8Bom;
    for (const Section& section : sections_) {
        bytes += '[' + section.name.toUtf8() + ']' + kLineEnd;
        for (const auto& [key, value] : section.entries)
            bytes += key.toUtf8() + '=' + value.toUtf8() + kLineEnd;
        bytes += kLineEnd;
    }
    return bytes;
}

void IniDocument::save() const
{
    // QSaveFile writes beside the target and renames over it on commit, so a
    // failed write leaves the previous file whole.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        throw fileCreateError(path_, file.errorString());
    const QByteArray bytes = serialize();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw fileCreateError(path_, reason);
    }
    if (!file.commit())
        throw fileCreateError(path_, file.errorString());
}

IniDocument::Section* IniDocument::findSection(const QString& name)
{
    for (Section& section : sections_)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    for (const Section& section : sections_)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

} // namespace pennolux
