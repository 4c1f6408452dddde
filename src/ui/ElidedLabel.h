#pragma once
// Texts longer than the room they are shown in.
//
// ElidedLabel: a status bar panel whose text may be longer than the panel: the
// middle of the text gives way (a long port name), so that its end (the
// device's version) stays in view. The whole text is in the tooltip and is what
// a screen reader reads.

#include <QLabel>

namespace t6 {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}

    // mode: which part gives way; the middle by default.
    void setFullText(const QString& text, Qt::TextElideMode mode = Qt::ElideMiddle);
    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitting();

    QString full_;
    Qt::TextElideMode mode_ = Qt::ElideMiddle;
};

} // namespace t6
