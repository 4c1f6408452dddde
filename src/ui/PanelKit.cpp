#include "ui/PanelKit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <stdexcept>

namespace t6 {

FieldId PanelKit::fieldOf(const Member& m) {
    const FieldId id = fieldIdOf(m.role, m.unit, m.sub, m.wireless);
    if (id < 0)
        throw std::logic_error("no field for a control of the window");
    return id;
}

template <class W> W* PanelKit::bind(W* w, std::vector<QWidget*> context) {
    view_.add(w);
    view_.nameAfter(w, std::move(context));
    if (w->description().hidden)
        w->hide();
    return w;
}

BoundCheckBox* PanelKit::check(QWidget* parent, const Member& m, std::vector<QWidget*> context) {
    return bind(new BoundCheckBox(view_, fieldOf(m), parent), std::move(context));
}

BoundSpinBox* PanelKit::spin(QWidget* parent, const Member& m, std::vector<QWidget*> context,
                             int width) {
    auto* s = bind(new BoundSpinBox(view_, fieldOf(m), parent), std::move(context));
    s->setFixedSize(width, kRowHeight);
    return s;
}

BoundLineEdit* PanelKit::edit(QWidget* parent, const Member& m, std::vector<QWidget*> context) {
    auto* e = bind(new BoundLineEdit(view_, fieldOf(m), parent), std::move(context));
    e->setFixedHeight(kRowHeight);
    return e;
}

BoundComboBox* PanelKit::combo(QWidget* parent, const Member& m, std::vector<QWidget*> context) {
    auto* c = bind(new BoundComboBox(view_, fieldOf(m), parent), std::move(context));
    c->setFixedHeight(kRowHeight);
    // An output list without a label of its own is told from the box beside
    // it (that names the same place) by this hint.
    if (c->description().outputChoice)
        c->setToolTip(u("Включаемый выход"));
    return c;
}

BoundRadioGroup* PanelKit::radio(QWidget* parent, const Member& m, std::vector<QWidget*> context) {
    auto* r = bind(new BoundRadioGroup(view_, fieldOf(m), parent), context);
    for (QRadioButton* b : r->buttons()) {
        auto c = context;
        c.push_back(r);
        view_.nameAfter(b, c);
    }
    return r;
}

QLabel* PanelKit::label(QWidget* parent, const QString& text, QWidget* buddy, const char* name) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    if (buddy) {
        l->setBuddy(buddy);
        view_.followBuddy(l);
    }
    return l;
}

QPushButton* PanelKit::button(QWidget* parent, const char* name, const QString& caption,
                              std::vector<QWidget*> context) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedHeight(kRowHeight + 2);
    b->setAutoDefault(false);
    if (!context.empty())
        view_.nameAfter(b, std::move(context));
    return b;
}

QGroupBox* PanelKit::panel(QWidget* parent, const QString& name, const QString& title) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(name);
    return g;
}

QGridLayout* PanelKit::grid(QWidget* panel, int margin) {
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(margin, margin, margin, margin);
    g->setHorizontalSpacing(3);
    g->setVerticalSpacing(1);
    return g;
}

QHBoxLayout* PanelKit::row(std::initializer_list<QWidget*> widgets, int spacing) {
    auto* h = new QHBoxLayout;
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(spacing);
    for (QWidget* w : widgets)
        h->addWidget(w);
    h->addStretch(1);
    return h;
}

} // namespace t6
