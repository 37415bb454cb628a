#pragma once

#include <QString>

namespace pennolux {

// What went wrong in the update check: entries separated by two CRs. Only
// the check writes it and decides by the flag; the text is never shown.
struct ServiceErrorLog {
    QString text;
    bool HasServiceErrors = false;
};

// Ignores a text that is blank once spaces and control characters are trimmed;
// otherwise raises the flag and appends the (untrimmed) text.
void AddServiceError(ServiceErrorLog& log, const QString& text);
void ClearServiceErrors(ServiceErrorLog& log);

} // namespace pennolux
