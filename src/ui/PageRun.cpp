#include "PageRun.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLocale>
#include <QTabWidget>
#include <QThread>
#include <QWidget>

#include "MemoLineSource.h"
#include "app/ApplicationState.h"
#include "editor/widgets/RunProgress.h"
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
    const ListTextLineSource lines(listAtStart);
    LineRunResult result;
    {
        BusyCursor busy;
        RunProgress progress(*context.statusBar, {context.pages});
        options.progress = [&progress](int linesSeen, int lineCount) { return progress.lineDone(linesSeen, lineCount); };
        result = run(lines, options);
    }
    const bool closedDuringRun = wasShown && !context.window.isVisible();
    if (closedDuringRun)
        return;
    if (result.linesSeen == 0) {
        context.services.messageBoxes.show(&context.window, QGuiApplication::applicationDisplayName(),
                                           emptyListMessage(context.translator), MessageIcon::Information);
        return;
    }
    // The caption an error box wears: a stopped run did not succeed.
    const QString title = result.stopped ? QGuiApplication::applicationDisplayName()
                                         : context.translator.Translate("SUCCESS");
    context.services.messageBoxes.show(
        &context.window, title,
        runSummary(result, lines.lineCount(), memoText(list) != listAtStart, context.translator),
        MessageIcon::Information);
}

QString runSummary(const LineRunResult& result, int lineCount, bool listChangedDuringRun, const Translator& translator)
{
    QString summary = result.stopped
                          ? translator.Translate("Stopped after %1 of %2 lines: saved %3 image file(s)")
                                .arg(QLocale().toString(result.linesSeen), QLocale().toString(lineCount),
                                     QLocale().toString(result.made))
                          : QString("Saved %1 image file(s)").arg(result.made);
    if (listChangedDuringRun)
        summary += QString(" from the list as it was at START; the list was changed during the run.");
    if (result.cutLines > 0)
        summary += u'\n' + cutLinesSentence(result);
    if (const QString fields = fieldCountSentence(result); !fields.isEmpty())
        summary += u'\n' + fields;
    return summary;
}

QString emptyListMessage(const Translator& translator)
{
    return translator.Translate("The list holds no lines: no image file was written");
}

} // namespace pennolux
