#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "production/fields/ListFields.h"
#include "production/linerun/LineRun.h"

class QFile;
class QIODevice;
class QSaveFile;

namespace pennolux {

// The columns of a manifest for the fields of each line: one per name, each
// line split in the format. No names (a line read as one field): none.
struct ManifestFields {
    FieldFormat format = FieldFormat::OneField;
    QStringList names;
};

// The manifest of a batch run: a CSV file (RFC 4180: CR LF record ends,
// fields quoted only when they hold a comma, a quote or a line break; UTF-8
// without a byte-order mark) with one record per file written, in line order:
//
//   line,file,text,width,height
//
// or, when the lines are read as fields, one column for each after text:
//
//   line,file,text,name,company,width,height
//
// each holding that field of the line, empty when the line has fewer; the
// fields past the last column are left out (text holds them all).
//
// file is the name in the destination folder, " (k)" included, so the
// manifests of pieces written into one folder concatenate (without their
// header lines) into the manifest of one run over the whole list.
class ManifestWriter {
public:
    static constexpr char kStandardOutput[] = "-";

    // Starts the manifest at path, or on standard output for "-". A file is
    // written beside its final name and gets that name only in publish(), so
    // a reader never sees it half-written and an earlier manifest stays until
    // then. Creating it now, before any image, lets a path that cannot be
    // written fail at once. Throws AppError ("Cannot create file ...").
    explicit ManifestWriter(const QString& path, ManifestFields fields = {});
    ~ManifestWriter();
    ManifestWriter(const ManifestWriter&) = delete;
    ManifestWriter& operator=(const ManifestWriter&) = delete;

    // Throws AppError when the record cannot be written (a full disk).
    void add(const StoredLine& line);
    // Gives the file its name (replacing an older file of that name), or
    // flushes standard output. Throws AppError when that fails. After add()
    // failed it does nothing: the file is dropped, its error already told.
    void publish();

    static QByteArray header(const ManifestFields& fields = {});
    static QByteArray record(const StoredLine& line, const ManifestFields& fields = {});

private:
    void write(const QByteArray& bytes);

    QString path_;
    ManifestFields fields_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QFile> standardOutput_;
    QIODevice* device_ = nullptr;  // one of the two, until published or failed
    bool failed_ = false;
};

} // namespace pennolux
