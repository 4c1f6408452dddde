// Every caption of the window is shown whole: no label, check box, radio
// button, button or group box title needs more room than the layout gives it,
// the selected item of every list fits its box and a list of fixed items opens
// wide enough for all of them, on every page and overlay panel, in Russian and
// in English. The room is what the widget really has on screen
// (its own size, cut by its ancestors), and the need is the text's size from
// the font metrics, wrapped where the widget wraps.

#include <QAbstractItemView>
#include <QGroupBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTextDocument>

#include "WindowFixture.h"
#include "ui/WindowTranslator.h"

namespace t6::test {
namespace {

constexpr int kUnbounded = 100000;

// The part of the widget its ancestors do not cut off, in its own coordinates.
QRect unclipped(const QWidget* w) {
    QRect r = w->rect();
    QPoint offset;
    for (const QWidget* p = w; p->parentWidget() && !p->isWindow(); p = p->parentWidget()) {
        offset += p->pos();
        r &= p->parentWidget()->rect().translated(-offset);
    }
    return r;
}

QString plain(const QString& caption) {
    QString s = caption;
    return s.remove(u'&');
}

// The size a text takes in the room's width; wrapped, words are never broken.
QSize needed(const QFontMetrics& fm, const QString& text, int width, bool wrap) {
    const int flags = Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0);
    return fm.boundingRect(QRect(0, 0, wrap ? width : kUnbounded, kUnbounded), flags, text).size();
}

class LayoutTest : public WindowFixture {
protected:
    void SetUp() override {
        withShippedDictionary();
        open();
        window->show();
        QApplication::processEvents();
    }

    // One text that does not fit: who, what, the room and the need.
    void report(const QWidget* w, const QString& text, QRect room, QSize need) {
        if (need.width() <= room.width() && need.height() <= room.height())
            return;
        faults_ << QStringLiteral("%1 (%2) \"%3\": needs %4x%5, has %6x%7")
                       .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                            text)
                       .arg(need.width())
                       .arg(need.height())
                       .arg(room.width())
                       .arg(room.height());
    }

    void checkLabel(QLabel* l) {
        if (l->text().isEmpty() || Qt::mightBeRichText(l->text()))
            return;
        const int m = l->margin();
        const QRect room = l->contentsRect().adjusted(m, m, -m, -m) & unclipped(l);
        report(l, l->text(), room,
               needed(l->fontMetrics(), l->text(), room.width(), l->wordWrap()));
    }

    void checkTickBox(QAbstractButton* b) {
        if (b->text().isEmpty())
            return;
        const QString text = plain(b->text());
        const QFontMetrics fm = b->fontMetrics();
        if (b->hasHeightForWidth()) {
            // A caption that breaks into lines beside the indicator; the box
            // asks for the lines' height and two pixels.
            const int indent =
                b->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b) +
                b->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b) + 2;
            const QRect room =
                QRect(indent, 2, b->width() - indent, b->height() - 2) & unclipped(b);
            report(b, text, room, needed(fm, text, room.width(), true));
            return;
        }
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const auto contents = qobject_cast<QRadioButton*>(b) ? QStyle::SE_RadioButtonContents
                                                             : QStyle::SE_CheckBoxContents;
        const QRect room = b->style()->subElementRect(contents, &opt, b) & unclipped(b);
        report(b, text, room, needed(fm, text, room.width(), false));
    }

    void checkButton(QPushButton* b) {
        if (b->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.features = b->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
        const QRect room =
            b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b) & unclipped(b);
        report(b, plain(b->text()), room, needed(b->fontMetrics(), plain(b->text()), 0, false));
    }

    void checkGroupBox(QGroupBox* g) {
        if (g->title().isEmpty())
            return;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.lineWidth = 1;
        opt.textAlignment = g->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        // The style sizes the title's place after the text: it must lie inside the box.
        const QRect label =
            g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        const QRect room = label & unclipped(g);
        report(g, g->title(), room, label.size());
    }

    // The selected item fits the box; a list of fixed items (no data) opens
    // wide enough for every item.
    void checkList(QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.subControls = QStyle::SC_All;
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        // The label is drawn a pixel inside the field on either side.
        const QRect room = field.adjusted(1, 0, -1, 0) & unclipped(c);
        if (!c->currentText().isEmpty())
            report(c, c->currentText(), room, needed(c->fontMetrics(), c->currentText(), 0, false));
        if (c->property(kNoTranslate).toBool() || c->count() == 0)
            return;
        // The offscreen platform complains that a popup cannot be raised or grab the keyboard.
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        c->showPopup();
        qInstallMessageHandler(previous);
        QAbstractItemView* list = c->view();
        for (int i = 0; i < c->count(); ++i) {
            const QModelIndex index = c->model()->index(i, c->modelColumn(), c->rootModelIndex());
            report(c, QStringLiteral("list: ") + c->itemText(i), list->viewport()->rect(),
                   {list->sizeHintForIndex(index).width(), 0});
        }
        c->hidePopup();
    }

    // Every caption shown now under root.
    void checkShown(QWidget* root) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (auto* l = qobject_cast<QLabel*>(w))
                checkLabel(l);
            else if (auto* b = qobject_cast<QPushButton*>(w))
                checkButton(b);
            else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                checkTickBox(static_cast<QAbstractButton*>(w));
            else if (auto* c = qobject_cast<QComboBox*>(w))
                checkList(c);
            if (auto* g = qobject_cast<QGroupBox*>(w))
                checkGroupBox(g);
        }
    }

    // Every page, the bottom bar with the manual port box, every overlay panel.
    QString clippedCaptions() {
        faults_.clear();
        auto* pages = child<QTabWidget>("PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            checkShown(window.get());
        }
        pages->setCurrentIndex(0);
        for (const char* name : {"Panel_key", "Panel_BP_chip", "Panel2"}) {
            auto* overlay = child<QWidget>(name);
            overlay->show();
            QApplication::processEvents();
            checkShown(overlay);
            overlay->hide();
        }
        faults_.removeDuplicates();
        return faults_.join(u("\n"));
    }

    QStringList faults_;
};

TEST_F(LayoutTest, EveryCaptionAndListItemIsShownWholeInBothLanguages) {
    // The manual port box and its label, hidden at start, are shown too.
    child<QAction>("COM1")->trigger();
    ASSERT_TRUE(child<QWidget>("ComboBox1")->isVisible());
    // The zones active, so that their lists show an input type (the first,
    // the shortest one fits a zone's narrow panel; the longer ones are read
    // whole in the opened list).
    for (int z = 1; z <= 4; ++z)
        child<QCheckBox>(("CheckBox_in" + std::to_string(z)).c_str())->click();
    EXPECT_EQ(clippedCaptions(), QString()) << "in Russian";

    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(child<QCheckBox>("CheckBox_in1")->text(), u("Activate"));
    EXPECT_EQ(clippedCaptions(), QString()) << "in English";
}

} // namespace
} // namespace t6::test
