// The pages after the first are built when first shown. A page built late
// shows exactly what one built at start-up shows after the same changes:
// every control's value, list, enabled state, colour and accessible name.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QTabWidget>

#include "../../bench/RichConfiguration.h"
#include "WindowFixture.h"
#include "ui/ModelView.h"

namespace t6::test {
namespace {

class LazyPagesTest : public WindowFixture {
protected:
    // Every named widget under the tabs and the bottom bar, as text.
    QStringList snapshot() {
        QStringList lines;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith(u("qt_")))
                continue;
            QString value;
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                value = b->text() +
                        (b->isCheckable() ? (b->isChecked() ? u(" [x]") : u(" [ ]")) : QString());
            else if (auto* e = qobject_cast<QLineEdit*>(w))
                value = e->text();
            else if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
                value = s->text();
            else if (auto* c = qobject_cast<QComboBox*>(w)) {
                value = c->currentText();
                for (int i = 0; i < c->count(); ++i)
                    value += u("|") + c->itemText(i);
            } else if (auto* l = qobject_cast<QLabel*>(w))
                value = l->text();
            lines << QStringLiteral("%1 %2 %3 %4 %5 %6")
                         .arg(w->objectName(), value)
                         .arg(w->isEnabled())
                         .arg(w->palette().color(w->backgroundRole()).name())
                         .arg(w->palette().color(QPalette::Base).name(), w->accessibleName());
        }
        lines.sort();
        return lines;
    }
};

TEST_F(LazyPagesTest, OnlyTheFirstPageIsBuiltAtStartUp) {
    open();
    auto* pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_NE(window->findChild<QWidget*>("Panel_in1"), nullptr);
    for (const char* later : {"Panel_bp1", "Panel_btd1", "cb_bout1"})
        EXPECT_EQ(window->findChild<QWidget*>(later), nullptr) << later;
    // Shown, a page is there at once.
    pages->setCurrentIndex(3);
    EXPECT_NE(window->findChild<QWidget*>("cb_bout1"), nullptr);
    EXPECT_EQ(window->findChild<QWidget*>("Panel_bp1"), nullptr);
    // A control asked for by name is found whichever page holds it.
    EXPECT_NE(window->modelView().control("BTD_name1"), nullptr);
}

TEST_F(LazyPagesTest, APageBuiltLateShowsWhatOneBuiltAtOnceShows) {
    withShippedDictionary();
    QStringList early, late;
    for (bool buildFirst : {true, false}) {
        open();
        if (buildFirst)
            window->buildAllParts();
        richConfiguration(window->modelView().model());
        window->buildAllParts();
        (buildFirst ? early : late) = snapshot();
        window.reset();
        core.reset();
    }
    ASSERT_GT(early.size(), 700);
    EXPECT_EQ(early, late);
}

} // namespace
} // namespace t6::test
