#include "PageRun.h"

#include <QComboBox>
#include <QThread>
#include <QWidget>

#include "MemoLineSource.h"
#include "app/ApplicationState.h"
#include "localisation/Translator.h"
#include "platform/BusyCursor.h"
#include "platform/Dialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformServices.h"

namespace pennolux {

namespace {

// The count of files, then how many lines do not show whole in theirs.
QString savedFilesText(const LineRunResult& result)
{
    QString text = QString("Saved %1 image file(s)").arg(result.made);
    if (result.cutLines > 0)
        text += u'\n' + cutLinesSentence(result);
    return text;
}

} // namespace

void browseDestinationInto(const PageRunContext& context, QComboBox& destination)
{
    const auto chosen =
        context.services.dialogs.pickFolder(&context.window, "Select folder:", "Select", context.state.BrowseFolder);
    if (!chosen)
        return;
    context.state.BrowseFolder = *chosen;
    destination.setEditText(*chosen);
}

void runAndReport(const PageRunContext& context, const QPlainTextEdit& list, const QString& destination,
                  const PageLineRun& run)
{
    LineRunOptions options;
    options.destination = destination;
    options.format = context.format;
    options.threads = QThread::idealThreadCount();
    const bool wasShown = context.window.isVisible();
    LineRunResult result;
    {
        BusyCursor busy;
        result = run(MemoLineSource(list), options);
    }
    const bool closedDuringRun = wasShown && !context.window.isVisible();
    if (result.linesSeen > 0 && !closedDuringRun)
        context.services.messageBoxes.show(&context.window, context.translator.Translate("SUCCESS"),
                                           savedFilesText(result),
                                           MessageIcon::Information);
}

} // namespace pennolux
