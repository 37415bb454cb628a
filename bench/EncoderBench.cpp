// Time per image of each encoder, and of rendering one line, on the working
// image of a typical e-mail line in Tahoma 8 pt (about 160 x 15 pixels).
// Shows where a batch run spends its time apart from creating files.

#include <benchmark/benchmark.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <string>

#include "platform/fonts/DesignFont.h"
#include "production/writers/ImageEncoders.h"
#include "production/writers/ImageFormat.h"
#include "production/simplerun/SimpleRun.h"
#include "production/simplerun/TextMetrics.h"

namespace {

using namespace pennolux;

const QString kTypicalLine = QStringLiteral("eva.koch1234@example-domain7.com");

SimpleLook typicalSettings()
{
    SimpleLook settings;
    settings.background = QColor(166, 202, 240);  // clSkyBlue
    settings.font = designFont(8);
    settings.textColor = Qt::black;
    return settings;
}

void BM_RenderLine(benchmark::State& state)
{
    const SimpleLook settings = typicalSettings();
    const RenderFont font(settings.font);
    for (auto _ : state)
        benchmark::DoNotOptimize(renderSimpleImage(kTypicalLine, settings, font));
}

void BM_Encode(benchmark::State& state, ImageFormat format)
{
    const SimpleLook settings = typicalSettings();
    const QImage image = renderSimpleImage(kTypicalLine, settings, RenderFont(settings.font));
    const ImageEncoder encode = encoderFor(format);
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray file = encode(image);
        bytes = file.size();
        benchmark::DoNotOptimize(file.constData());
    }
    state.SetLabel(std::to_string(image.width()) + "x" + std::to_string(image.height()) + ", " +
                   std::to_string(bytes) + " bytes");
    state.SetItemsProcessed(state.iterations());
}

void registerEncoders()
{
    for (ImageFormat format : {ImageFormat::PNG, ImageFormat::WEBP, ImageFormat::JPEG, ImageFormat::TIFF,
                               ImageFormat::GIF, ImageFormat::BMP}) {
        const std::string name = "BM_Encode/" + extensionFor(format).mid(1).toStdString();
        benchmark::RegisterBenchmark(name.c_str(), BM_Encode, format);
    }
}

} // namespace

BENCHMARK(BM_RenderLine);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ensureDesignFontAvailable();
    registerEncoders();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
