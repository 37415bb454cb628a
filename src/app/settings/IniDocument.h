#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace pennolux {

// An in-memory INI document bound to a file. Written whole by save(): UTF-8
// with BOM, CR LF line ends, sections in order, keys in order of first write,
// an empty line after each section. Section and key names compare without case.
class IniDocument {
public:
    IniDocument() = default;
    // An empty document bound to path; nothing is read or written.
    explicit IniDocument(QString path);

    // Reads path as UTF-8 (BOM skipped); an absent file gives an empty
    // document. Throws AppError when the file exists but cannot be read, is
    // not a regular file (a FIFO would block the window, a link to a device
    // would never end), is larger than kMaxFileBytes, or is not valid UTF-8.
    // Reading takes time linear in the file's size.
    static IniDocument open(const QString& path);
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    // open(); when that throws, deletes the file (ignoring the result) and
    // returns an empty document on the same path.
    static IniDocument openOrReset(const QString& path);

    QString readString(const QString& section, const QString& key, const QString& fallback = {}) const;
    void writeString(const QString& section, const QString& key, const QString& value);

    QByteArray serialize() const;
    // Throws AppError "Cannot create file ..." when the file cannot be written
    // or would be larger than kMaxFileBytes; an existing file is never left
    // half-written.
    void save() const;

    const QString& path() const { return path_; }

private:
    // Names are looked up case-folded through an index, so reading a file of
    // many keys does not compare each key with all keys before it.
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> entries;
        QHash<QString, std::size_t> entryIndex;
    };
    Section& sectionNamed(const QString& name);
    const Section* findSection(const QString& name) const;

    QString path_;
    std::vector<Section> sections_;
    QHash<QString, std::size_t> sectionIndex_;
};

} // namespace pennolux
