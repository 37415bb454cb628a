#include "batch/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pennolux {

namespace {

// Ten redraws a second look smooth and cost nothing next to the work.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kDefaultColumns = 80;
constexpr int kMinBarWidth = 10;

int terminalColumns(std::FILE* stream)
{
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return kDefaultColumns;
}

QString durationText(double seconds)
{
    const auto whole = static_cast<long long>(std::ceil(seconds));
    const long long hours = whole / 3600;
    const long long minutes = whole / 60 % 60;
    const long long secs = whole % 60;
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QChar(u'0')).arg(secs, 2, 10, QChar(u'0'));
    return QStringLiteral("%1:%2").arg(minutes).arg(secs, 2, 10, QChar(u'0'));
}

} // namespace

ProgressBar::ProgressBar(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}

ProgressBar::~ProgressBar()
{
    clear();
}

void ProgressBar::update(int done, int total)
{
    if (!enabled_)
        return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < kRedrawInterval && done < total)
        return;
    lastDrawn_ = now;
    draw(done, total);
}

void ProgressBar::clear()
{
    if (!shown_)
        return;
    std::fputs("\r\x1b[K", stream_);
    std::fflush(stream_);
    shown_ = false;
}

void ProgressBar::draw(int done, int total)
{
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    const QByteArray line = format(done, total, elapsed, terminalColumns(stream_)).toUtf8();
    std::fputs("\r", stream_);
    std::fputs(line.constData(), stream_);
    std::fputs("\x1b[K", stream_);
    std::fflush(stream_);
    shown_ = true;
}

QString ProgressBar::format(int done, int total, double elapsedSeconds, int columns)
{
    const double fraction = total > 0 ? std::clamp(double(done) / total, 0.0, 1.0) : 1.0;
    const double rate = elapsedSeconds > 0 ? done / elapsedSeconds : 0.0;
    const int totalDigits = int(QString::number(total).size());
    // Fixed widths, so the bar does not jump as the numbers change.
    const QString timeLeft =
        rate > 0 && done < total ? durationText((total - done) / rate) + QStringLiteral(" left") : QString();
    const QString details = QStringLiteral(" %1% %2/%3 %4 img/s %5")
                                .arg(int(fraction * 100), 3)
                                .arg(done, totalDigits)
                                .arg(total)
                                .arg(qRound64(rate), 6)
                                .arg(timeLeft, -12);
    // The bar takes what the numbers leave of the line, minus one column so
    // the cursor never wraps.
    const int barWidth = std::max(kMinBarWidth, columns - 1 - 2 - int(details.size()));
    const int filled = int(fraction * barWidth);
    return u'[' + QString(filled, u'#') + QString(barWidth - filled, u'.') + u']' + details;
}

} // namespace pennolux
