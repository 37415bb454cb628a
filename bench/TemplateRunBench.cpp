// The Advanced run's speed: 1,000 e-mail-like lines through the template a
// fresh start shows (the default picture stretched to the design canvas of
// 491 x 215, Text 1 in Tahoma 24 pt), written as PNG. Measured twice: the
// run alone (runLines with the template's encoders, one thread and all
// threads), and the page's run with its progress in a status bar and the
// window kept responsive, as START does it. Then a merge run beside a
// one-field run, both on all threads: the same template with a Text 2 in
// Tahoma 14 pt below Text 1, its lines "e-mail<TAB>company"; tab-separated,
// the e-mail fills Text 1 and the company Text 2, while the one-field run
// gets only the e-mail of each line (so Text 1 holds the same text in both
// and Text 2 keeps its own). The companies are five that lines share, and
// in a second merge run one of its own on every line. The runs take turns,
// round by round.
//
//   bench_template_run [--lines N] [--rounds R] [--format png|jpeg|bmp|...] [--merge-only]
//
// Best of R rounds, each into a fresh folder (under TMPDIR). Prints
// "key=value" lines.

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

#include "PrintedMessages.h"
#include "platform/fonts/DesignFont.h"
#include "editor/background/BackgroundPicture.h"
#include "editor/model/TemplateModel.h"
#include "editor/session/TemplateSession.h"
#include "editor/run/TemplateLineEncoder.h"
#include "editor/widgets/RunProgress.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "platform/Dialogs.h"
#include "production/linerun/LineRun.h"
#include "production/textlist/ListLines.h"
#include "production/writers/ImageFormat.h"

namespace {

using namespace pennolux;

const QSize kDesignCanvas(491, 215);

class NoDialogs final : public Dialogs {
public:
    std::optional<QString> pickFolder(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pickColor(QWidget*, const QColor&) override { return {}; }
    std::optional<ColoredFont> pickFont(QWidget*, const ColoredFont&) override { return {}; }
    std::optional<QString> openFile(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> askText(QWidget*, const TextRequest&) override { return {}; }
};

QStringList emailLines(int count)
{
    static const char* const kNames[] = {"john.smith", "mary.jones", "info", "support", "a.turner", "peter.miller"};
    static const char* const kDomains[] = {"example.com", "example.org", "example.net"};
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("%1%2@%3").arg(QLatin1String(kNames[i % 6])).arg(i).arg(QLatin1String(kDomains[i % 3]));
    return lines;
}

// Each e-mail with a company: one of five, as the badges of one event
// share a few, or one of its own on every line.
QStringList mergeLines(const QStringList& emails, bool companyOfItsOwn)
{
    static const char* const kCompanies[] = {"Acme Ltd", "Keller & Sons", "Northwind Traders", "Blue Harbour",
                                             "Miller Engineering"};
    QStringList lines;
    for (int i = 0; i < emails.size(); ++i) {
        QString company = QLatin1String(kCompanies[i % 5]);
        if (companyOfItsOwn)
            company += QStringLiteral(" %1").arg(i);
        lines << emails[i] + QLatin1Char('\t') + company;
    }
    return lines;
}

// Images a second of one run into a fresh folder.
template <typename Run>
double rateOf(int lines, Run run)
{
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    const LineRunResult result = run(folder.path());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (result.made != lines)
        std::fprintf(stderr, "only %d of %d images made\n", result.made, lines);
    return result.made / seconds;
}

template <typename Run>
double bestRate(int rounds, int lines, Run run)
{
    double best = 0;
    for (int round = 0; round < rounds; ++round)
        best = std::max(best, rateOf(lines, run));
    return best;
}

// The merge run and the one-field run of the same template, taking turns.
void mergeBeside(const StringListLineSource& emails, int lines, int rounds, ImageFormat format, int threads)
{
    TemplateModel model(defaultBackground());
    model.addTextLayer({designFont(24), colors::clWindowText}, kDesignCanvas);
    const qint64 second = model.addTextLayer({designFont(14), colors::clWindowText}, kDesignCanvas);
    model.setTop(LayerRef::text(second), 150);
    const Template oneField = model.content();
    Template merge = oneField;
    merge.fields.format = FieldFormat::TabSeparated;
    QStringList emailList;
    for (int i = 0; i < emails.lineCount(); ++i)
        emailList << emails.line(i);
    const StringListLineSource shared(mergeLines(emailList, false));
    const StringListLineSource ownCompanies(mergeLines(emailList, true));

    auto runOf = [&](const Template& content, const LineSource& list) {
        return [&content, &list, format, threads](const QString& folder) {
            LineRunOptions options;
            options.destination = folder;
            options.format = format;
            options.threads = threads;
            return runLines(list, templateLineEncoders(content, kDesignCanvas, format), options);
        };
    };
    double bestOneField = 0;
    double bestMerge = 0;
    double bestOwn = 0;
    for (int round = 0; round < rounds; ++round) {
        bestOneField = std::max(bestOneField, rateOf(lines, runOf(oneField, emails)));
        bestMerge = std::max(bestMerge, rateOf(lines, runOf(merge, shared)));
        bestOwn = std::max(bestOwn, rateOf(lines, runOf(merge, ownCompanies)));
    }
    std::printf("one_field_run_images_per_second=%.0f\n", bestOneField);
    std::printf("merge_run_images_per_second=%.0f\n", bestMerge);
    std::printf("merge_to_one_field=%.2f\n", bestMerge / bestOneField);
    std::printf("merge_company_of_its_own_images_per_second=%.0f\n", bestOwn);
    std::printf("merge_company_of_its_own_to_one_field=%.2f\n", bestOwn / bestOneField);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ensureDesignFontAvailable();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    int lines = 1000;
    int rounds = 3;
    ImageFormat format = ImageFormat::PNG;
    const QStringList arguments = QCoreApplication::arguments();
    bool mergeOnly = false;
    for (int i = 1; i < arguments.size(); i += 2) {
        if (arguments[i] == "--merge-only") {
            mergeOnly = true;
            --i;
        } else if (i + 1 >= arguments.size()) {
            break;
        } else if (arguments[i] == "--lines")
            lines = arguments[i + 1].toInt();
        else if (arguments[i] == "--rounds")
            rounds = arguments[i + 1].toInt();
        else if (arguments[i] == "--format")
            format = imageFormatFromName(arguments[i + 1]).value_or(ImageFormat::PNG);
    }
    const StringListLineSource list(emailLines(lines));

    TemplateModel model(defaultBackground());
    model.addTextLayer({designFont(24), colors::clWindowText}, kDesignCanvas);
    auto runAlone = [&](int threads) {
        return bestRate(rounds, lines, [&](const QString& folder) {
            LineRunOptions options;
            options.destination = folder;
            options.format = format;
            options.threads = threads;
            return runLines(list, templateLineEncoders(model.content(), kDesignCanvas, format), options);
        });
    };
    const int threads = QThread::idealThreadCount();
    std::printf("lines=%d\ncanvas=%dx%d\nthreads=%d\n", lines, kDesignCanvas.width(), kDesignCanvas.height(), threads);
    if (mergeOnly) {
        mergeBeside(list, lines, rounds, format, threads);
        return 0;
    }
    std::printf("run_one_thread_images_per_second=%.0f\n", runAlone(1));
    std::printf("run_all_threads_images_per_second=%.0f\n", runAlone(threads));

    QMainWindow window;
    window.setStatusBar(new QStatusBar(&window));
    NoDialogs dialogs;
    PrintedMessages messages;
    TemplateSession session;
    auto* page = new TemplatePage(session, dialogs, messages);
    window.setCentralWidget(page);
    window.show();
    QApplication::processEvents();
    window.resize(window.size() + kDesignCanvas - page->Panel9->size());
    QApplication::processEvents();
    page->BitBtn6Click();
    std::printf("page_canvas=%dx%d\n", page->Panel9->width(), page->Panel9->height());
    std::printf("page_run_images_per_second=%.0f\n", bestRate(rounds, lines, [&](const QString& folder) {
                    LineRunOptions options;
                    options.destination = folder;
                    options.format = format;
                    options.threads = threads;
                    RunProgress progress(*window.statusBar(), {});
                    options.progress = [&progress](int linesSeen, int lineCount) {
                        return progress.lineDone(linesSeen, lineCount);
                    };
                    return session.run(list, session.runEncoders(page->canvasSize(), format),
                                       options);
                }));
    mergeBeside(list, lines, rounds, format, threads);
    return 0;
}
