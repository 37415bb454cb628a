#include "batch/BatchReport.h"

#include <QFileInfo>
#include <utility>

#include "batch/BatchOptions.h"

namespace pennolux {

namespace {

// The manifest is given its name at the end, which would replace a list
// still being read with the record of its images.
void refuseManifestOverList(const BatchOptions& options)
{
    if (options.readsStandardInput() || options.manifestToStandardOutput())
        return;
    const QFileInfo list(options.listPath);
    const QFileInfo manifest(options.manifestPath);
    if (manifest.exists() && list.exists() && manifest.canonicalFilePath() == list.canonicalFilePath())
        throw BatchUsageError(QStringLiteral("the manifest \"%1\" would replace the list").arg(options.manifestPath));
}

} // namespace

BatchReport::BatchReport(const BatchOptions& options, ManifestFields fields)
{
    if (!options.writesManifest())
        return;
    refuseManifestOverList(options);
    manifest_ = std::make_unique<ManifestWriter>(options.manifestPath, std::move(fields));
    summaryOnStandardOutput_ = !options.manifestToStandardOutput();
}

BatchReport::~BatchReport() = default;

void BatchReport::add(const StoredLine& line)
{
    ++saved_;
    if (manifest_)
        manifest_->add(line);
}

void BatchReport::finish()
{
    if (manifest_)
        manifest_->publish();
}

QString BatchReport::summary() const
{
    if (!summaryOnStandardOutput_)
        return {};
    return QStringLiteral("Saved %1 image file(s)\n").arg(saved_);
}

} // namespace pennolux
