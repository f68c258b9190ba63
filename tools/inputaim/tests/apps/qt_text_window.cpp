// A small Qt Widgets window for the desktop tests: two editable text areas at different
// heights, a single-line field and a read-only area.
//
// Prints "ready" on standard output once the window is shown.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

QPlainTextEdit* textArea(const char* name, const char* description, bool editable, int height) {
    auto* area = new QPlainTextEdit(QString::fromUtf8(name));
    area->setReadOnly(!editable);
    area->setAccessibleName(QString::fromUtf8(name));
    area->setAccessibleDescription(QString::fromUtf8(description));
    area->setMinimumHeight(height);
    return area;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Orvex Qt test window");
    window.resize(640, 520);
    auto* layout = new QVBoxLayout(&window);

    auto* subject = new QLineEdit;
    subject->setPlaceholderText("Subject line");
    subject->setAccessibleName("Subject");
    subject->setAccessibleDescription("Single line");
    layout->addWidget(subject);
    layout->addWidget(textArea("Draft", "Upper editor", true, 80));
    layout->addWidget(textArea("Transcript", "Read only", false, 80));
    layout->addWidget(textArea("Message", "Lower editor", true, 100), 1);

    window.show();
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
