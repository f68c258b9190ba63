#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "app/i18n/localization_manager.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace orvex {

struct HelpChapter {
    int number = 0;  // counted from one
    QString title;
    QString body;
};

// The chapters of the current language, numbered from one for as long as a title exists.
std::vector<HelpChapter> helpChapters(const LocalizationManager& i18n);

// Whether the chapter's title or body holds `query`, ignoring case. A blank query matches.
bool chapterMatches(const HelpChapter& chapter, const QString& query);

// The help window: a searchable table of contents and one chapter at a time. Its texts
// follow the language. It deletes itself when closed; the owner keeps a QPointer and makes
// a new one on demand.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(LocalizationManager& i18n, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // The table of contents, filtered by the search text.
    void showContents();
    // Opens chapter `number`; a number with no chapter shows the contents.
    void openChapter(int number);
    // The chapter shown, or 0 while the contents are.
    int currentChapter() const { return current_; }
    // The numbers of the chapters the contents list, after the search.
    std::vector<int> listedChapters() const;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void retranslate();
    void rebuildContents();
    void applySearch();
    void showChapterPage(const HelpChapter& chapter);

    LocalizationManager& i18n_;
    std::size_t languageObserver_ = 0;
    std::vector<HelpChapter> chapters_;
    int current_ = 0;

    QLineEdit* search_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* contentsPage_ = nullptr;
    QLabel* contentsHeading_ = nullptr;
    QVBoxLayout* entries_ = nullptr;
    std::vector<QPushButton*> entryButtons_;  // one per chapter, in chapter order
    QLabel* noResult_ = nullptr;
    QWidget* chapterPage_ = nullptr;
    QPushButton* back_ = nullptr;
    QLabel* chapterTitle_ = nullptr;
    QLabel* chapterBody_ = nullptr;
    QScrollArea* chapterScroll_ = nullptr;
};

}  // namespace orvex
