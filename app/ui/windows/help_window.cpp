#include "app/ui/windows/help_window.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orvex {
namespace {

constexpr QSize kWindowSize{750, 950};
constexpr QSize kMinimumSize{600, 800};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string chapterKey(int number, const char* part) {
    return "help.ch" + std::to_string(number) + part;
}

// A table-of-contents entry: one line, elided to the width it is given, so a long title
// never widens the window.
class EntryButton : public QPushButton {
  public:
    explicit EntryButton(QWidget* parent) : QPushButton(parent) {
        setObjectName("helpTocEntry");
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        // Enter runs the focused entry as Space does.
        setAutoDefault(true);
    }
    void setFullText(const QString& text) {
        full_ = text;
        setAccessibleName(text);
        setToolTip(text);
        elide();
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QPushButton::resizeEvent(event);
        elide();
    }

  private:
    void elide() {
        // The style's padding is not known here; a generous allowance keeps the text inside.
        const int room = std::max(0, width() - 48);
        setText(fontMetrics().elidedText(full_, Qt::ElideRight, room));
    }
    QString full_;
};

QScrollArea* scrolling(QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    return scroll;
}

}  // namespace

std::vector<HelpChapter> helpChapters(const LocalizationManager& i18n) {
    std::vector<HelpChapter> chapters;
    for (int number = 1;; ++number) {
        const std::string titleKey = chapterKey(number, "Title");
        const std::string title = i18n.text(titleKey);
        // A missing key comes back as itself: the chapters end there.
        if (title == titleKey) {
            break;
        }
        std::string body = i18n.text(chapterKey(number, "Body"));
        if (body == chapterKey(number, "Body")) {
            body.clear();
        }
        chapters.push_back({number, qs(title), qs(body)});
    }
    return chapters;
}

bool chapterMatches(const HelpChapter& chapter, const QString& query) {
    const QString wanted = query.trimmed();
    return wanted.isEmpty() || chapter.title.contains(wanted, Qt::CaseInsensitive) ||
           chapter.body.contains(wanted, Qt::CaseInsensitive);
}

HelpWindow::HelpWindow(LocalizationManager& i18n, QWidget* parent)
    : QWidget(parent, Qt::Window), i18n_(i18n) {
    setObjectName("helpWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(kWindowSize);
    setMinimumSize(kMinimumSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);

    search_ = new QLineEdit;
    search_->setObjectName("helpSearch");
    search_->setClearButtonEnabled(true);
    layout->addWidget(search_);
    connect(search_, &QLineEdit::textChanged, this, [this] {
        showContents();
        applySearch();
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });

    pages_ = new QStackedWidget;
    layout->addWidget(pages_, 1);

    // Contents: a heading, one entry per chapter, the no-result line.
    auto* contents = new QWidget;
    auto* contentsLayout = new QVBoxLayout(contents);
    contentsLayout->setContentsMargins(0, 0, 0, 0);
    contentsLayout->setSpacing(8);
    contentsHeading_ = new QLabel;
    contentsHeading_->setObjectName("helpHeading");
    contentsHeading_->setWordWrap(true);
    // The style's padding would otherwise indent it off the entries' edge.
    contentsHeading_->setIndent(0);
    contentsLayout->addWidget(contentsHeading_);
    entries_ = new QVBoxLayout;
    entries_->setSpacing(8);
    contentsLayout->addLayout(entries_);
    noResult_ = new QLabel;
    noResult_->setObjectName("helpNoResult");
    noResult_->setWordWrap(true);
    noResult_->setTextFormat(Qt::PlainText);
    noResult_->setAlignment(Qt::AlignCenter);
    contentsLayout->addWidget(noResult_);
    contentsLayout->addStretch(1);
    contentsPage_ = scrolling(contents);
    pages_->addWidget(contentsPage_);

    // One chapter: the way back, its title and its text.
    chapterPage_ = new QWidget;
    auto* chapterLayout = new QVBoxLayout(chapterPage_);
    chapterLayout->setContentsMargins(0, 0, 0, 0);
    chapterLayout->setSpacing(16);
    back_ = new QPushButton;
    back_->setObjectName("helpBack");
    back_->setAutoDefault(true);
    chapterLayout->addWidget(back_, 0, Qt::AlignLeft);
    connect(back_, &QPushButton::clicked, this, &HelpWindow::showContents);
    chapterTitle_ = new QLabel;
    chapterTitle_->setObjectName("helpChapterTitle");
    chapterTitle_->setWordWrap(true);
    chapterTitle_->setTextFormat(Qt::PlainText);
    chapterLayout->addWidget(chapterTitle_);
    auto* bodyHolder = new QWidget;
    auto* bodyLayout = new QVBoxLayout(bodyHolder);
    bodyLayout->setContentsMargins(0, 0, 8, 0);
    chapterBody_ = new QLabel;
    chapterBody_->setObjectName("helpChapterBody");
    chapterBody_->setWordWrap(true);
    chapterBody_->setTextFormat(Qt::PlainText);
    chapterBody_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    chapterBody_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    bodyLayout->addWidget(chapterBody_);
    bodyLayout->addStretch(1);
    chapterScroll_ = scrolling(bodyHolder);
    chapterLayout->addWidget(chapterScroll_, 1);
    pages_->addWidget(chapterPage_);

    // Language changes may be announced from any thread; the window redraws on its own.
    languageObserver_ = i18n_.addObserver([this](const std::string&) {
        QMetaObject::invokeMethod(
            this, [this] { retranslate(); }, Qt::QueuedConnection);
    });
    retranslate();
}

HelpWindow::~HelpWindow() {
    i18n_.removeObserver(languageObserver_);
}

void HelpWindow::retranslate() {
    // Window lists and task switchers show it by the menu item that opens it.
    setWindowTitle(qs(i18n_.text("menu.openHelp")));
    contentsHeading_->setText(qs(i18n_.text("help.title")));
    const QString placeholder = qs(i18n_.text("help.searchPlaceholder"));
    search_->setPlaceholderText(placeholder);
    search_->setAccessibleName(placeholder);
    back_->setText(QStringLiteral("‹  ") + qs(i18n_.text("help.backToToc")));
    back_->setAccessibleName(qs(i18n_.text("help.backToToc")));
    chapters_ = helpChapters(i18n_);
    rebuildContents();
    if (current_ != 0) {
        openChapter(current_);
    }
}

void HelpWindow::rebuildContents() {
    for (QPushButton* button : entryButtons_) {
        delete button;
    }
    entryButtons_.clear();
    for (const HelpChapter& chapter : chapters_) {
        auto* entry = new EntryButton(contentsPage_);
        entry->setFullText(chapter.title);
        const int number = chapter.number;
        connect(entry, &QPushButton::clicked, this, [this, number] { openChapter(number); });
        entries_->addWidget(entry);
        entryButtons_.push_back(entry);
    }
    applySearch();
}

void HelpWindow::applySearch() {
    const QString query = search_->text();
    bool any = false;
    for (std::size_t i = 0; i < chapters_.size(); ++i) {
        const bool shown = chapterMatches(chapters_[i], query);
        entryButtons_[i]->setVisible(shown);
        any = any || shown;
    }
    noResult_->setVisible(!any);
    noResult_->setText(
        any ? QString()
            : qs(i18n_.text("help.noResult", {{"query", query.trimmed().toStdString()}})));
    noResult_->setAccessibleName(noResult_->text());
}

std::vector<int> HelpWindow::listedChapters() const {
    std::vector<int> listed;
    for (std::size_t i = 0; i < chapters_.size(); ++i) {
        if (!entryButtons_[i]->isHidden()) {
            listed.push_back(chapters_[i].number);
        }
    }
    return listed;
}

void HelpWindow::showContents() {
    const int left = current_;
    current_ = 0;
    pages_->setCurrentWidget(contentsPage_);
    // Back where the reader came from, so the keyboard can go on down the list.
    if (left > 0 && left <= static_cast<int>(entryButtons_.size()) && !search_->hasFocus()) {
        entryButtons_[left - 1]->setFocus(Qt::OtherFocusReason);
    }
}

void HelpWindow::openChapter(int number) {
    for (const HelpChapter& chapter : chapters_) {
        if (chapter.number == number) {
            showChapterPage(chapter);
            return;
        }
    }
    showContents();
}

void HelpWindow::showChapterPage(const HelpChapter& chapter) {
    const bool sameChapter = current_ == chapter.number;
    current_ = chapter.number;
    chapterTitle_->setText(chapter.title);
    chapterBody_->setText(chapter.body);
    chapterBody_->setAccessibleName(chapter.title);
    pages_->setCurrentWidget(chapterPage_);
    // A language change keeps the reader's place; a new chapter starts at its top.
    if (!sameChapter) {
        chapterScroll_->ensureVisible(0, 0);
        back_->setFocus(Qt::OtherFocusReason);
    }
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        emit closed();
    }
}

}  // namespace orvex
