#pragma once

#include <QByteArray>
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
    // document. Throws AppError when the file exists but cannot be read or
    // is not valid UTF-8.
    static IniDocument open(const QString& path);
    // open(); when that throws, deletes the file (ignoring the result) and
    // returns an empty document on the same path.
    static IniDocument openOrReset(const QString& path);

    QString readString(const QString& section, const QString& key, const QString& fallback = {}) const;
    void writeString(const QString& section, const QString& key, const QString& value);

    QByteArray serialize() const;
    // Throws AppError "Cannot create file ..." when the file cannot be written;
    // an existing file is never left half-written.
    void save() const;

    const QString& path() const { return path_; }

private:
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> entries;
    };
    Section* findSection(const QString& name);
    const Section* findSection(const QString& name) const;

    QString path_;
    std::vector<Section> sections_;
};

} // namespace pennolux
