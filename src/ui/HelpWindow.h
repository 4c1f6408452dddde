#pragma once
// The user guide in a window of the program: one HTML page per language
// ("guide.ru.html", "guide.en.html") from the guide folder, following the
// window's language. Links inside the guide move within it; links to the web
// open in the desktop's browser.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace t6 {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The page of the guide for a language letter ('E' English, else Russian).
    static QString pageFor(const QString& folder, char language);

    // Loads the page; false when it is not there (nothing is shown then).
    bool showGuide(const QString& folder, char language, const QString& title);

    QTextBrowser* browser() const { return browser_; }
    const QString& page() const { return page_; }

private:
    QTextBrowser* browser_;
    QString page_;
};

// Where the guide lies: the installed data's "guide" folder, or, for a
// program run from its build tree, the guide of the sources it was built from.
QString guideFolder();

} // namespace t6
