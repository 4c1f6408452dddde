#include "ui/WindowTranslator.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include "ui/TextConv.h"

namespace t6 {

int translateWidgetTree(QWidget* root,
                        const std::function<std::string(const std::string&)>& lookup) {
    int count = 0;
    auto tr = [&](const QString& current) -> QString {
        if (current.isEmpty())
            return current;
        auto source = fromQs(current);
        if (!source)
            return current;
        ++count;
        // A caption broken into lines keeps plain line feeds, as it was built.
        return qs(lookup(*source)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    // findChildren walks depth first, each parent before its children, in the
    // order the children were created.
    const auto all = root->findChildren<QObject*>();
    for (QObject* obj : all) {
        const bool data = obj->property(kNoTranslate).toBool();
        // The hint of a list whose items are data (the output lists) is a
        // caption all the same.
        if (auto* c = qobject_cast<QComboBox*>(obj))
            c->setToolTip(tr(c->toolTip()));
        if (data)
            continue;
        if (auto* a = qobject_cast<QAction*>(obj)) {
            if (!a->isSeparator())
                a->setText(tr(a->text()));
        } else if (auto* b = qobject_cast<QAbstractButton*>(obj)) {
            b->setText(tr(b->text()));
        } else if (auto* g = qobject_cast<QGroupBox*>(obj)) {
            g->setTitle(tr(g->title()));
        } else if (auto* l = qobject_cast<QLabel*>(obj)) {
            l->setText(tr(l->text()));
        } else if (auto* t = qobject_cast<QTabWidget*>(obj)) {
            for (int i = 0; i < t->count(); ++i)
                t->setTabText(i, tr(t->tabText(i)));
        } else if (auto* e = qobject_cast<QLineEdit*>(obj)) {
            e->setToolTip(tr(e->toolTip()));
        } else if (auto* s = qobject_cast<QAbstractSpinBox*>(obj)) {
            s->setToolTip(tr(s->toolTip()));
        } else if (auto* m = qobject_cast<QPlainTextEdit*>(obj)) {
            m->setToolTip(tr(m->toolTip()));
        } else if (auto* te = qobject_cast<QTextEdit*>(obj)) {
            te->setToolTip(tr(te->toolTip()));
        } else if (auto* c = qobject_cast<QComboBox*>(obj)) {
            const int selected = c->currentIndex();
            const bool blocked = c->blockSignals(true);
            for (int i = 0; i < c->count(); ++i)
                c->setItemText(i, tr(c->itemText(i)));
            c->setCurrentIndex(selected);
            c->blockSignals(blocked);
        }
    }
    return count;
}

} // namespace t6
