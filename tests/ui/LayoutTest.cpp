// Every caption of the window is shown whole: no label, check box, radio
// button, button or group box title needs more room than the layout gives it,
// and a list of fixed items opens wide enough for all of them, on every page
// and overlay panel, in Russian and in English. The room is what the widget
// really has on screen (its own size, cut by its ancestors), and the need is
// the text's size from the font metrics, wrapped where the widget wraps.
//
// Every text a control shows (an edit field's text, a spin editor's number, a
// closed list's selected item) fits its control too, or else is shown whole in
// the control's tooltip and read whole as its accessible description: at
// start-up, and with every text of a configuration at its longest, each list
// at each of its items, in both languages.

#include <QAbstractItemView>
#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTextDocument>
#include <map>
#include <set>

#include "HoverTip.h"
#include "WindowFixture.h"
#include "ui/BoundWidgets.h"
#include "ui/ModelView.h"
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

    // A list of fixed items (no data) opens wide enough for every item (the
    // closed box's text is one of the controls' texts).
    void checkList(QComboBox* c) {
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

    // ---- The texts of the controls ----

    // A text that does not fit its room must be whole in the control's tooltip
    // and accessible description.
    void reportText(QWidget* w, const QString& text, QRect room, QSize need) {
        if (text.isEmpty() || (need.width() <= room.width() && need.height() <= room.height()))
            return;
        ++cut_;
        cutControls_.insert(w->objectName());
        const QString tip = hoverTip(w);
        const QString said = accessibleDescription(w);
        if (tip.contains(text) && said.contains(text))
            return;
        faults_ << QStringLiteral("%1 (%2) \"%3\": needs %4x%5, has %6x%7; tooltip \"%8\", "
                                  "description \"%9\"")
                       .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                            text)
                       .arg(need.width())
                       .arg(need.height())
                       .arg(room.width())
                       .arg(room.height())
                       .arg(tip, said);
    }

    // An edit field shows its text inside its frame and margins: the text and
    // the caret after it may take all of that but the two pixels before the
    // text (it scrolls into the two pixels after it).
    static QRect lineRoom(const QLineEdit* e) {
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.lineWidth =
            e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        opt.state |= QStyle::State_Sunken;
        const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        return contents.marginsRemoved(e->textMargins()).adjusted(2, 0, 0, 0) & unclipped(e);
    }
    static QSize lineNeed(const QLineEdit* e, const QString& text) {
        return {e->fontMetrics().horizontalAdvance(text) + 1, 0};
    }
    // A closed list draws its item a pixel inside its edit field; a box that
    // breaks its item into lines says so by its height for width.
    static QRect listRoom(const QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.subControls = QStyle::SC_All;
        return c->style()
                   ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c)
                   .adjusted(1, 0, -1, 0) &
               unclipped(c);
    }
    static QSize listNeed(const QComboBox* c, const QString& text, QRect room) {
        const bool wrap = c->hasHeightForWidth();
        const QSize s = needed(c->fontMetrics(), text, room.width(), wrap);
        return {s.width(), wrap ? s.height() : 0};
    }

    void checkLineEdit(QLineEdit* e) {
        ++count_["line edits"];
        reportText(e, e->displayText(), lineRoom(e), lineNeed(e, e->displayText()));
    }
    void checkSpinBox(QAbstractSpinBox* s) {
        ++count_["spin boxes"];
        auto* e = s->findChild<QLineEdit*>();
        ASSERT_NE(e, nullptr);
        reportText(s, e->displayText(), lineRoom(e), lineNeed(e, e->displayText()));
    }
    // The closed box at each item that does not fit: the model chooses it (as
    // a read or a file would), the box must then carry it whole.
    void checkClosedList(QComboBox* c) {
        ++count_["combo boxes"];
        if (c->isEditable()) {
            reportText(c, c->currentText(), lineRoom(c->lineEdit()),
                       lineNeed(c->lineEdit(), c->currentText()));
            return;
        }
        const QRect room = listRoom(c);
        reportText(c, c->currentText(), room, listNeed(c, c->currentText(), room));
        auto* bound = dynamic_cast<Bound*>(c);
        if (!bound)
            return;
        ConfigModel& m = window->modelView().model();
        const std::optional<int> was = m.choice(bound->field());
        for (int i = 0; i < c->count(); ++i) {
            ++count_["combo box items"];
            const QString item = c->itemText(i);
            const QSize need = listNeed(c, item, room);
            if (i == c->currentIndex() ||
                (need.width() <= room.width() && need.height() <= room.height()))
                continue;
            m.setChoice(bound->field(), i);
            EXPECT_EQ(c->currentText(), item);
            reportText(c, item, room, need);
        }
        m.setChoice(bound->field(), was);
    }

    // Every control with a text shown now under root.
    void checkTexts(QWidget* root) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (auto* c = qobject_cast<QComboBox*>(w))
                checkClosedList(c);
            else if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
                checkSpinBox(s);
            else if (auto* e = qobject_cast<QLineEdit*>(w);
                     e && !qobject_cast<QAbstractSpinBox*>(e->parentWidget()) &&
                     !qobject_cast<QComboBox*>(e->parentWidget()))
                checkLineEdit(e);
        }
    }

    // Every page, the bottom bar, every overlay panel.
    QString cutTexts() {
        faults_.clear();
        auto* pages = child<QTabWidget>("PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            checkTexts(pages->currentWidget());
        }
        pages->setCurrentIndex(0);
        QApplication::processEvents();
        checkTexts(child<QWidget>("Panel6"));
        for (const char* name : {"Panel_key", "Panel_BP_chip", "Panel2"}) {
            auto* overlay = child<QWidget>(name);
            overlay->show();
            QApplication::processEvents();
            checkTexts(overlay);
            overlay->hide();
        }
        faults_.removeDuplicates();
        return faults_.join(u("\n"));
    }

    QStringList faults_;
    std::map<std::string, int> count_;
    int cut_ = 0;
    std::set<QString> cutControls_;
};

// The widest letters of both alphabets.
const char* const kWide[] = {"Ш", "Ж", "Щ", "W", "M"};

std::string wide(int which, int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
        s += ru(kWide[which % 5]);
    return s;
}

// A configuration as a read of a full device gives it, every text at its
// longest and in wide letters: telephones of sixteen characters (one of the
// widest a telephone takes), 25-character zone messages, 10-character names,
// 6-character codes, the widest numbers; every wireless output a four-channel
// relay, so that the output lists hold their longest items.
void fillAtTheLongest(ConfigModel& m) {
    for (int t = 1; t <= 4; ++t)
        m.setTelephone(t, "+798765432109876");
    m.setTelephone(5, "+" + std::string(15, '%'));
    m.setClockFromPc(false);
    m.setDeviceDate("28.08.88");
    m.setDeviceTime("20:08:08");
    m.setArmingDelay(250);
    m.setDisarmingDelay(250);
    m.setArmingMethod(2);
    m.setMicrophoneVolume(10);
    m.setSpeakerVolume(10);
    for (int n = 1; n <= 16; ++n) {
        m.setOutputType(n, FourChannelRelay);
        m.setOutputCode(n, "DDDDDD");
        m.setOutputName(n, wide(n, 9) + ru(kWide[n / 5]));
        m.setOutputUsed(n, true);
        m.leaveOutputName(n);
    }
    for (int z = 1; z <= 10; ++z) {
        const ZoneRef ref = z <= 4 ? wiredZone(z) : wirelessZone(z - 4);
        m.setZoneActive(ref, true);
        m.setZoneMessage(ref, wide(z, 25));
        if (!ref.wireless)
            m.setZoneInputType(z, 4);
        for (int r = 1; r <= 4; ++r) {
            m.setRowEnabled(ref, r, true);
            m.setRowMinutes(ref, r, 500);
            m.setRowSeconds(ref, r, 59);
            m.setRowOutput(ref, r, 4 * r + z);
        }
    }
    for (int s = 1; s <= 8; ++s) {
        const SensorRef ref = s <= 2 ? wiredSensor(s) : wirelessSensor(s - 2);
        m.setSensorActive(ref, true);
        m.setLowAlarm(ref, -55);
        m.setHighAlarm(ref, 125);
        m.setThermostat(ref, true);
        m.setEconomyTemp(ref, -55);
        m.setComfortTemp(ref, 125);
        m.setSensorOutput(ref, 60 + s);
    }
    for (int n = 1; n <= 6; ++n) {
        m.setSensorName(n, wide(n, 10));
        m.setSensorCode(n, "WWWWWW");
    }
    for (int k = 1; k <= 10; ++k) {
        m.setRemoteName(k, wide(k, 10));
        m.setRemoteCode(k, "WWWWWW");
    }
    m.setArmingOutputOn(true);
    m.setArmingOutput(67);
    m.setButton4On(true);
    m.setButton4Output(66);
    m.setButton4Seconds(251);
}

TEST_F(LayoutTest, EveryCaptionAndListItemIsShownWholeInBothLanguages) {
    // The manual port box and its label, hidden at start, are shown too.
    child<QAction>("COM1")->trigger();
    ASSERT_TRUE(child<QWidget>("ComboBox1")->isVisible());
    // The zones active, so that their lists show an input type.
    for (int z = 1; z <= 4; ++z)
        child<QCheckBox>(("CheckBox_in" + std::to_string(z)).c_str())->click();
    EXPECT_EQ(clippedCaptions(), QString()) << "in Russian";

    EXPECT_EQ(cutTexts(), QString()) << "in Russian";

    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(child<QCheckBox>("CheckBox_in1")->text(), u("Activate"));
    EXPECT_EQ(clippedCaptions(), QString()) << "in English";
    EXPECT_EQ(cutTexts(), QString()) << "in English";
}

TEST_F(LayoutTest, EveryTextOfAFullConfigurationIsShownWholeOrInItsTipInBothLanguages) {
    ConfigModel& m = window->modelView().model();
    fillAtTheLongest(m);
    window->buildAllParts();
    child<QAction>("COM1")->trigger();
    ASSERT_EQ(child<QLineEdit>("Edit1")->text().size(), 25);
    ASSERT_EQ(child<QComboBox>("RG_OUT1S_1")->count(), 4 + 16 * 4);

    EXPECT_EQ(cutTexts(), QString()) << "in Russian";
    EXPECT_EQ(clippedCaptions(), QString()) << "in Russian";
    const auto russian = count_;
    const int cutInRussian = cut_;
    count_.clear();
    cut_ = 0;

    const std::string dictionary = file("trans.dic");
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(file("trans.dic"), dictionary) << "no text of the configuration is looked up";
    EXPECT_EQ(cutTexts(), QString()) << "in English";
    EXPECT_EQ(clippedCaptions(), QString()) << "in English";
    EXPECT_EQ(count_, russian) << "the same controls in both languages";
    // The walk reaches the whole window: the telephones, clock, zone messages,
    // names and codes; every number; every list.
    EXPECT_GE(count_["line edits"], 80);
    EXPECT_GE(count_["spin boxes"], 100);
    EXPECT_GE(count_["combo boxes"], 70);
    EXPECT_GT(cut_, 0) << "some of the texts at their longest do not fit";
    EXPECT_GT(cutInRussian, 0);
    // Only where the panels leave no more room: a zone's message, the output
    // lists of the zones' rows and of the wired sensors, a telephone of the
    // widest characters. Everything else fits.
    const QRegularExpression narrow(
        QStringLiteral("^(Edit\\d|Edit_bp\\d|RG_OUT\\w+|CB_td\\d_out|ME_tel5)$"));
    QStringList cutElsewhere;
    for (const QString& name : cutControls_)
        if (!narrow.match(name).hasMatch())
            cutElsewhere << name;
    EXPECT_EQ(cutElsewhere.join(u(", ")), QString());
    for (const auto& [kind, n] : count_)
        RecordProperty(kind, n);
}

TEST_F(LayoutTest, TheSensorListShowsNamesAndCodesAtTheirLongest) {
    // As a read of a zone's sensors fills it: ten-letter names, eight-digit codes.
    window->buildAllParts();
    for (int k = 1; k <= 6; ++k) {
        child<QLineEdit>(("BP_chip_name" + std::to_string(k)).c_str())->setText(u("ЖЖЖЖЖЖЖЖЖЖ"));
        child<QLineEdit>(("BP_chip_kod" + std::to_string(k)).c_str())->setText(u("DDDDDDDD"));
    }
    auto* overlay = child<QWidget>("Panel_BP_chip");
    overlay->show();
    QApplication::processEvents();
    faults_.clear();
    checkTexts(overlay);
    EXPECT_EQ(faults_.join(u("\n")), QString());
    EXPECT_EQ(count_["line edits"], 12);
}

} // namespace
} // namespace t6::test
