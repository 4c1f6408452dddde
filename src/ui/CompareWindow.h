#pragma once
// The comparison of the window with the device's configuration or with a
// configuration file, in a window of its own beside the main one (not
// modal): one row per field that differs, its caption and both values, in
// the window's language. It can be copied, printed and worked out again.

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "core/ConfigComparison.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace t6 {

class AppCore;

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    enum class Against { Device, File };

    // compute works the comparison out anew (at every refresh).
    CompareWindow(QWidget* parent, AppCore& core, Against against,
                  std::function<Comparison()> compute);

    // Works the comparison out and shows it; false (after the box that says
    // why) when there was nothing to compare, the window then unchanged.
    bool refresh();
    // The file compared with, as the user named it (shown in the heading).
    void setFileName(const std::string& platformName) { fileName_ = platformName; }
    // The captions in the window's language now, and the list worded again.
    void retranslate();

    // The list as plain text: the heading, then one tab-separated line per field.
    QString plainText() const;
    void copyToClipboard() const;
    // The print dialog, then the list on paper.
    void print();

    QTreeWidget* list() const { return list_; }
    QLabel* summary() const { return summary_; }

private:
    std::string tr(const std::string& russian) const;
    void wordCaptions();
    QString heading() const;
    QString printHtml() const;

    AppCore& core_;
    Against against_;
    std::function<Comparison()> compute_;
    std::string fileName_;
    QLabel* heading_;
    QTreeWidget* list_;
    QLabel* summary_;
    QPushButton* copy_;
    QPushButton* print_;
    QPushButton* refresh_;
    QPushButton* close_;
};

} // namespace t6
