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
#include "production/textlist/ListLines.h"

namespace pennolux {

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
                  FieldFormat fieldFormat, const PageLineRun& run)
{
    LineRunOptions options;
    options.destination = destination;
    options.format = context.format;
    options.baseName = fileBaseNames(context.fileNames, fieldFormat);
    options.threads = QThread::idealThreadCount();
    const bool wasShown = context.window.isVisible();
    // The list stays open to edits while the run shows its progress, and the
    // workers read lines ahead: the run works on one copy of the text taken
    // now, kept as offsets into it, so a long list costs one copy.
    const QString listAtStart = memoText(list);
    LineRunResult result;
    {
        BusyCursor busy;
        result = run(ListTextLineSource(listAtStart), options);
    }
    const bool closedDuringRun = wasShown && !context.window.isVisible();
    if (result.linesSeen > 0 && !closedDuringRun)
        context.services.messageBoxes.show(&context.window, context.translator.Translate("SUCCESS"),
                                           runSummary(result, memoText(list) != listAtStart),
                                           MessageIcon::Information);
}

QString runSummary(const LineRunResult& result, bool listChangedDuringRun)
{
    QString summary = QString("Saved %1 image file(s)").arg(result.made);
    if (listChangedDuringRun)
        summary += QString(" from the list as it was at START; the list was changed during the run.");
    if (result.cutLines > 0)
        summary += u'\n' + cutLinesSentence(result);
    if (const QString fields = fieldCountSentence(result); !fields.isEmpty())
        summary += u'\n' + fields;
    return summary;
}

} // namespace pennolux
