#include "ServiceErrorLog.h"

#include "services/TextTrim.h"

namespace pennolux {

void AddServiceError(ServiceErrorLog& log, const QString& text)
{
    if (trimSpacesAndControls(text).isEmpty())
        return;
    log.HasServiceErrors = true;
    log.text = log.text.isEmpty() ? text : log.text + QStringLiteral("\r\r") + text;
}

void ClearServiceErrors(ServiceErrorLog& log)
{
    log.text.clear();
    log.HasServiceErrors = false;
}

} // namespace pennolux
