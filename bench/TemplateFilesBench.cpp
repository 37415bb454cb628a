// How long a template with a large photograph takes to save and to open:
// a 4,000 x 3,000 JPEG as the picture, saved with the page's "Save Template
// As..." step and opened again with its "Open Template..." step, the canvas
// drawn anew each time, as a user sees it. Also the batch tool's share of
// opening: reading and checking the file with its picture decoded.
//
//   bench_template_files [--rounds R] [--width W] [--height H]
//
// Best of R rounds. Prints "key=value" lines.

#include <QApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QMainWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>

#include "PrintedMessages.h"
#include "platform/fonts/DesignFont.h"
#include "editor/file/TemplateFile.h"
#include "editor/session/TemplateSession.h"
#include "editor/widgets/TemplateCanvas.h"
#include "editor/widgets/TemplatePage.h"
#include "platform/Dialogs.h"

namespace {

using namespace pennolux;

class PictureDialogs final : public Dialogs {
public:
    explicit PictureDialogs(QString picture) : picture_(std::move(picture)) {}
    std::optional<QString> pickFolder(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> pickColor(QWidget*, const QColor&) override { return {}; }
    std::optional<ColoredFont> pickFont(QWidget*, const ColoredFont&) override { return {}; }
    std::optional<QString> openFile(QWidget*, const FileDialogRequest&) override { return picture_; }
    std::optional<QString> saveFile(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> askText(QWidget*, const TextRequest&) override { return {}; }

private:
    QString picture_;
};

// A photograph's kind of content: smooth light with fine grain, so JPEG
// makes a file of a photograph's size.
QImage photograph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random() % 48);
            row[x] = qRgb((x * 255 / width + grain) % 256, (y * 255 / height + grain) % 256, (x + y + grain) % 256);
        }
    }
    return image;
}

template <typename Step>
double bestSeconds(int rounds, Step step)
{
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        step();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ensureDesignFontAvailable();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    int rounds = 5;
    int width = 4000;
    int height = 3000;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == "--rounds")
            rounds = arguments[i + 1].toInt();
        else if (arguments[i] == "--width")
            width = arguments[i + 1].toInt();
        else if (arguments[i] == "--height")
            height = arguments[i + 1].toInt();
    }

    QTemporaryDir folder;
    const QString picture = folder.filePath("photo.jpg");
    QImageWriter writer(picture, "jpeg");
    writer.setQuality(90);
    writer.write(photograph(width, height));
    const QString templatePath = folder.filePath("photo.pnxt");

    QMainWindow window;
    PictureDialogs dialogs(picture);
    PrintedMessages messages;
    TemplateSession session;
    auto* page = new TemplatePage(session, dialogs, messages);
    window.setCentralWidget(page);
    window.resize(817, 440);
    window.show();
    QApplication::processEvents();
    page->BitBtn6Click();
    page->Button8Click();
    page->Panel9->repaint();

    const double save = bestSeconds(rounds, [&] { session.save(templatePath, page->canvasSize()); });
    const double open = bestSeconds(rounds, [&] {
        session.open(templatePath);
        page->Panel9->repaint();
    });
    const double read = bestSeconds(rounds, [&] { readTemplateFile(templatePath); });
    std::printf("picture=%dx%d\npicture_bytes=%lld\ntemplate_bytes=%lld\n", width, height,
                static_cast<long long>(QFileInfo(picture).size()), static_cast<long long>(QFileInfo(templatePath).size()));
    std::printf("save_seconds=%.3f\nopen_seconds=%.3f\nread_seconds=%.3f\n", save, open, read);
    return 0;
}
