#include "PreviewPanel.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "production/simplerun/SimplePreview.h"
#include "production/writers/ImageSizeLimits.h"

namespace pennolux {

// Paints the image at the zoom, centred, or the message in its place.
class PreviewPanel::Picture final : public QWidget {
public:
    explicit Picture(QWidget* parent) : QWidget(parent) {}

    void set(const QImage& image, int zoom, const QString& message)
    {
        image_ = image;
        zoom_ = zoom;
        message_ = message;
        update();
    }
    const QString& message() const { return message_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (image_.isNull()) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message_);
            return;
        }
        const QSize shown = image_.size() * zoom_;
        const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        // Without smoothing the scaling repeats pixels: the zoom shows each one sharp.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, image_);
    }

private:
    QImage image_;
    int zoom_ = 1;
    QString message_;
};

PreviewPanel::PreviewPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Preview"), parent), picture_(new Picture(this)), caption_(new QLabel(this))
{
    setObjectName(QStringLiteral("Preview"));
    setAccessibleName(QStringLiteral("Preview"));
    caption_->setTextFormat(Qt::PlainText);
    caption_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 1);
    layout->addWidget(caption_);
}

void PreviewPanel::showImage(const QImage& image, const QString& lineText)
{
    image_ = image;
    lineText_ = lineText;
    refresh();
}

void PreviewPanel::showMessage(const QString& message)
{
    image_ = QImage();
    lineText_.clear();
    zoom_ = 1;
    picture_->set(QImage(), 1, message);
    caption_->clear();
    setAccessibleDescription(message);
}

QString PreviewPanel::sizeText() const
{
    return caption_->text();
}

QString PreviewPanel::message() const
{
    return picture_->message();
}

void PreviewPanel::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    if (!image_.isNull())
        refresh();
}

void PreviewPanel::refresh()
{
    zoom_ = previewZoom(image_.size(), picture_->size());
    picture_->set(image_, zoom_, QString());
    const QString size = imageSizeText(image_.width(), image_.height());
    caption_->setText(QStringLiteral("%1 · zoom %2×").arg(size).arg(zoom_));
    setAccessibleDescription(QStringLiteral("%1, %2").arg(lineText_, size));
}

} // namespace pennolux
