#pragma once

#include <QString>
#include <memory>

#include "batch/ManifestWriter.h"
#include "production/linerun/LineRun.h"

namespace pennolux {

struct BatchOptions;

// What a batch run tells when it ends, also after an error or a signal: the
// count of files written and, when asked for, the manifest of them.
class BatchReport {
public:
    // Starts the manifest the options ask for (see ManifestWriter); throws
    // BatchUsageError when it would replace the list being read, AppError when
    // it cannot be created. fields: the manifest's columns for the fields.
    explicit BatchReport(const BatchOptions& options, ManifestFields fields = {});
    ~BatchReport();
    BatchReport(const BatchReport&) = delete;
    BatchReport& operator=(const BatchReport&) = delete;

    void add(const StoredLine& line);
    // Publishes the manifest; throws AppError when that fails.
    void finish();

    int saved() const { return saved_; }
    // "Saved N image file(s)\n" for standard output, or nothing when the
    // manifest goes there instead.
    QString summary() const;

private:
    int saved_ = 0;
    bool summaryOnStandardOutput_ = true;
    std::unique_ptr<ManifestWriter> manifest_;
};

} // namespace pennolux
