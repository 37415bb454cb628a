#include "batch/ManifestWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <utility>

#include "platform/AppError.h"

namespace pennolux {

namespace {

QByteArray csvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') && !field.contains('\r'))
        return field;
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

AppError standardOutputError(const QFile& output)
{
    return AppError(QStringLiteral("Cannot write to standard output. ") + output.errorString());
}

} // namespace

ManifestWriter::ManifestWriter(const QString& path, ManifestFields fields) : path_(path), fields_(std::move(fields))
{
    if (path == QLatin1String(kStandardOutput)) {
        standardOutput_ = std::make_unique<QFile>();
        if (!standardOutput_->open(stdout, QIODevice::WriteOnly))
            throw standardOutputError(*standardOutput_);
        device_ = standardOutput_.get();
    } else {
        file_ = std::make_unique<QSaveFile>(path);
        if (!file_->open(QIODevice::WriteOnly))
            throw fileCreateError(path, file_->errorString());
        device_ = file_.get();
    }
    write(header(fields_));
}

ManifestWriter::~ManifestWriter() = default;

void ManifestWriter::add(const StoredLine& line)
{
    write(record(line, fields_));
}

void ManifestWriter::publish()
{
    if (failed_)
        return;
    if (file_) {
        const std::unique_ptr<QSaveFile> file = std::move(file_);
        device_ = nullptr;
        if (!file->commit())
            throw fileCreateError(path_, file->errorString());
    } else if (standardOutput_ && !standardOutput_->flush()) {
        throw standardOutputError(*standardOutput_);
    }
}

QByteArray ManifestWriter::header(const ManifestFields& fields)
{
    QByteArray header = QByteArrayLiteral("line,file,text,");
    for (const QString& name : fields.names)
        header += csvField(name) + ',';
    return header + QByteArrayLiteral("width,height\r\n");
}

QByteArray ManifestWriter::record(const StoredLine& line, const ManifestFields& fields)
{
    QByteArray record = QByteArray::number(line.number) + ',' + csvField(QFileInfo(line.file).fileName()) + ',' +
                        csvField(line.text) + ',';
    if (!fields.names.isEmpty()) {
        // A line that could not be split made no image, so has no record.
        const QStringList values = splitFields(line.text, fields.format);
        for (qsizetype k = 0; k < fields.names.size(); ++k)
            record += (k < values.size() ? csvField(values[k]) : QByteArray()) + ',';
    }
    return record + QByteArray::number(line.size.width()) + ',' + QByteArray::number(line.size.height()) + "\r\n";
}

void ManifestWriter::write(const QByteArray& bytes)
{
    if (!device_ || device_->write(bytes) == bytes.size())
        return;
    // That error is told once; what was written is not published incomplete.
    device_ = nullptr;
    failed_ = true;
    if (file_)
        throw fileCreateError(path_, file_->errorString());
    throw standardOutputError(*standardOutput_);
}

} // namespace pennolux
