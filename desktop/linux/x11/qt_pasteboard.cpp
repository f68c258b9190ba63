#include "desktop/linux/x11/qt_pasteboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMetaObject>
#include <QMimeData>
#include <QThread>

namespace orvex::linux_desktop {

namespace {

QByteArray bytes(const std::vector<std::uint8_t>& data) {
    return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace

std::unique_ptr<QtPasteboard> QtPasteboard::create() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return std::unique_ptr<QtPasteboard>(new QtPasteboard());
}

QtPasteboard::QtPasteboard() : context_(std::make_unique<QObject>()) {
    context_->moveToThread(QCoreApplication::instance()->thread());
}

QtPasteboard::~QtPasteboard() = default;

void QtPasteboard::onGuiThread(const std::function<void()>& work) {
    if (QThread::currentThread() == context_->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context_.get(), work, Qt::BlockingQueuedConnection);
}

void QtPasteboard::clearContents() {
    onGuiThread([] { QGuiApplication::clipboard()->clear(QClipboard::Clipboard); });
}

bool QtPasteboard::writeString(const std::string& text) {
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    onGuiThread([&] { QGuiApplication::clipboard()->setText(value, QClipboard::Clipboard); });
    return true;
}

void QtPasteboard::offerClipboardAsPrimary() {
    onGuiThread([] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard->supportsSelection())
            return;
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        if (data && data->hasText())
            clipboard->setText(data->text(), QClipboard::Selection);
    });
}

bool QtPasteboard::writeImagePNG(const std::vector<std::uint8_t>& png) {
    QImage image = QImage::fromData(bytes(png));
    if (image.isNull())
        return false;
    QByteArray encoded = bytes(png);
    onGuiThread([&] {
        auto* data = new QMimeData();
        // The PNG as it came, and the image for applications that ask for another format.
        data->setData("image/png", encoded);
        data->setImageData(image);
        QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    });
    return true;
}

bool QtPasteboard::canReadImage(const std::vector<std::uint8_t>& data) {
    return !data.empty() && !QImage::fromData(bytes(data)).isNull();
}

std::optional<std::string> QtPasteboard::readString() {
    std::optional<std::string> text;
    onGuiThread([&] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        if (data && data->hasText()) {
            QByteArray utf8 = data->text().toUtf8();
            text = std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        }
    });
    return text;
}

}  // namespace orvex::linux_desktop
