#pragma once

#include <functional>

#include "production/fields/FileNamePattern.h"
#include "production/linerun/LineRun.h"
#include "production/writers/ImageFormat.h"

class QComboBox;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QWidget;

namespace pennolux {

struct ApplicationState;
struct PlatformServices;
class Translator;

// What the two pages' destination rows and START buttons share with the
// window they sit in.
struct PageRunContext {
    QWidget& window;
    ApplicationState& state;
    const Translator& translator;
    const PlatformServices& services;
    // The Settings menu's choices, read at START.
    const ImageFormat& format;
    const FileNamePattern& fileNames;
    // Where START shows "Line i of n", and the pages, which wait while the
    // run goes on; the window's own, read at START.
    QStatusBar* const& statusBar;
    QTabWidget* const& pages;
};

// Both pages' Browse... buttons start the picker in the folder last chosen
// on either, and remember the one chosen now.
void browseDestinationInto(const PageRunContext& context, QComboBox& destination);

// One page's run over the list's lines with the options START sets up.
using PageLineRun = std::function<LineRunResult(const LineSource& lines, const LineRunOptions& options)>;

// Both pages' START: runs the list as it stands at START into the
// destination, in the chosen format on every core, under the busy pointer,
// showing "Line i of n" and stopping after the file in hand on Esc, then says
// how many files were saved, that the run was stopped, or that the list held
// no line. The files are named by the context's pattern from the lines read
// in the page's field format. Edits made to the list during the run change
// nothing of it. No summary once the run has ended by the window closing:
// there is no window left to show it over.
void runAndReport(const PageRunContext& context, const QPlainTextEdit& list, const QString& destination,
                  FieldFormat fieldFormat, const PageLineRun& run);

// "Saved 3 image file(s)", and that they come from the list as it was at
// START when it was edited while the run went on; then the lines cut off and
// the lines whose fields did not match the layers, each on a line of its own.
// A stopped run begins with "Stopped after 895 of 3,000 lines: saved 895
// image file(s)" instead, translated, its numbers grouped as the locale
// groups them.
QString runSummary(const LineRunResult& result, int lineCount, bool listChangedDuringRun, const Translator& translator);

// The text START shows for a list without a line, translated.
QString emptyListMessage(const Translator& translator);

} // namespace pennolux
