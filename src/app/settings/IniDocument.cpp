#include "IniDocument.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppError.h"
#include "platform/text/TextLines.h"

namespace pennolux {

namespace {

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QString folded(const QString& name)
{
    return name.toCaseFolded();
}

int openForReading(const QByteArray& nativePath)
{
    int fd = -1;
    do {
        // Non-blocking, so that opening a FIFO returns at once.
        fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The whole file, or nullopt when there is none. Only a regular file of at
// most kMaxFileBytes is read.
std::optional<QByteArray> readWholeFile(const QString& path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    const int fd = openForReading(nativePath);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw fileOpenError(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    const std::unique_ptr<int, void (*)(int*)> closer(new int(fd), [](int* descriptor) {
        ::close(*descriptor);
        delete descriptor;
    });
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throw fileOpenError(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(status.st_mode))
        throw fileOpenError(path, QStringLiteral("It is not a regular file."));
    if (status.st_size > IniDocument::kMaxFileBytes) {
        throw fileOpenError(path, QStringLiteral("It is larger than %1 bytes, more than settings ever take.")
                                      .arg(IniDocument::kMaxFileBytes));
    }
    QByteArray bytes(status.st_size, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t read = ::read(fd, bytes.data() + filled, std::size_t(bytes.size() - filled));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        if (read == 0)
            break;
        filled += read;
    }
    bytes.truncate(filled);
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

} // namespace

IniDocument::IniDocument(QString path) : path_(std::move(path)) {}

IniDocument IniDocument::open(const QString& path)
{
    IniDocument document(path);
    const std::optional<QByteArray> bytes = readWholeFile(path);
    if (!bytes)
        return document;

    const QString text = decodeUtf8(*bytes, path);
    QString section;
    bool inSection = false;
    forEachLine(text, [&](QStringView rawLine) {
        const QStringView line = rawLine.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed().toString();
            inSection = true;
            document.sectionNamed(section);
            return;
        }
        const qsizetype equals = rawLine.indexOf(u'=');
        if (!inSection || equals < 0)
            return;
        const QString key = rawLine.left(equals).trimmed().toString();
        if (!key.isEmpty())
            document.writeString(section, key, rawLine.mid(equals + 1).toString());
    });
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
    const auto entry = found->entryIndex.constFind(folded(key));
    return entry == found->entryIndex.cend() ? fallback : found->entries[*entry].second;
}

void IniDocument::writeString(const QString& section, const QString& key, const QString& value)
{
    Section& target = sectionNamed(section);
    const QString foldedKey = folded(key);
    if (const auto entry = target.entryIndex.constFind(foldedKey); entry != target.entryIndex.cend()) {
        target.entries[*entry] = {key, value};
        return;
    }
    target.entryIndex.insert(foldedKey, target.entries.size());
    target.entries.emplace_back(key, value);
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
    // The format has no escapes: a line break in a value would start a line of
    // its own, read back as a key or a section nobody wrote.
    for (const Section& section : sections_) {
        for (const auto& [key, value] : section.entries) {
            if (key.contains(u'\n') || key.contains(u'\r') || value.contains(u'\n') || value.contains(u'\r')) {
                throw fileCreateError(path_, QStringLiteral("The value of \"%1\" holds a line break, which a settings "
                                                            "file cannot keep.")
                                                 .arg(key));
            }
        }
    }
    const QByteArray bytes = serialize();
    // A file open() refuses would lose every setting in it at the next start.
    if (bytes.size() > kMaxFileBytes) {
        throw fileCreateError(path_, QStringLiteral("It would be larger than %1 bytes, more than settings ever take.")
                                         .arg(kMaxFileBytes));
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        throw fileCreateError(path_, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw fileCreateError(path_, reason);
    }
    if (!file.commit())
        throw fileCreateError(path_, file.errorString());
}

IniDocument::Section& IniDocument::sectionNamed(const QString& name)
{
    const QString foldedName = folded(name);
    if (const auto found = sectionIndex_.constFind(foldedName); found != sectionIndex_.cend())
        return sections_[*found];
    sectionIndex_.insert(foldedName, sections_.size());
    sections_.push_back(Section{name, {}, {}});
    return sections_.back();
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    const auto found = sectionIndex_.constFind(folded(name));
    return found == sectionIndex_.cend() ? nullptr : &sections_[*found];
}

} // namespace pennolux
