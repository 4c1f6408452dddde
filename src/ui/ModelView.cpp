#include "ui/ModelView.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include "ui/Accessibility.h"
#include "ui/BoundWidgets.h"
#include "ui/ScopedCount.h"
#include "ui/TextConv.h"

namespace t6 {

namespace {

QString ownText(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    return {};
}

} // namespace

ModelView::ModelView(ConfigModel& model, Guard guard)
    : model_(model), guard_(std::move(guard)), byField_(fieldDescriptions().size(), nullptr) {
    model_.setObserver(this);
    // List boxes are announced by the names given here, their choice being
    // their value.
    installAccessibility();
}

ModelView::~ModelView() {
    model_.setObserver(nullptr);
}

void ModelView::edit(const std::function<void()>& f) {
    if (guard_)
        guard_(f);
    else
        f();
}

void ModelView::add(Bound* b) {
    byField_.at(static_cast<std::size_t>(b->field())) = b;
    byName_[b->description().controlName] = b->widget();
    if (b->description().outputChoice)
        outputChoices_.push_back(b);
}

Bound* ModelView::bound(FieldId id) const {
    return id >= 0 && static_cast<std::size_t>(id) < byField_.size()
               ? byField_[static_cast<std::size_t>(id)]
               : nullptr;
}

QWidget* ModelView::control(const std::string& name) const {
    auto it = byName_.find(name);
    if (it == byName_.end() && missing_) {
        missing_();
        it = byName_.find(name);
    }
    return it == byName_.end() ? nullptr : it->second;
}

void ModelView::follow(QWidget* w, std::function<bool()> enabled, std::function<Look()> look,
                       LookPart part) {
    followers_.push_back({w, std::move(enabled), std::move(look), part});
    if (!w->objectName().isEmpty())
        byName_[w->objectName().toStdString()] = w;
}

void ModelView::followBuddy(QLabel* label) {
    buddyLabels_.emplace_back(label);
}

void ModelView::nameAfter(QWidget* w, std::vector<QWidget*> context) {
    Named n{w, {}};
    for (QWidget* c : context)
        n.context.emplace_back(c);
    named_.push_back(std::move(n));
}

void ModelView::updateAccessibleNames() {
    // The label whose buddy a control is names it when it has no caption.
    std::unordered_map<QWidget*, QLabel*> labelOf;
    for (const auto& l : buddyLabels_)
        if (l && l->buddy())
            labelOf[l->buddy()] = l;
    for (const Named& n : named_) {
        if (!n.widget)
            continue;
        QStringList parts;
        for (const auto& c : n.context)
            if (c && !ownText(c).isEmpty())
                parts << ownText(c);
        QString own = ownText(n.widget);
        if (own.isEmpty()) {
            auto it = labelOf.find(n.widget);
            if (it != labelOf.end())
                own = it->second->text();
        }
        if (own.isEmpty())
            own = n.widget->toolTip();
        if (!own.isEmpty())
            parts << own;
        n.widget->setAccessibleName(parts.join(QStringLiteral(", ")));
    }
}

void ModelView::setOutputItemText(std::function<QString(int, const std::string&)> f) {
    outputItemText_ = std::move(f);
}

QString ModelView::outputItemText(int position, const std::string& item) const {
    return outputItemText_ ? outputItemText_(position, item) : qs(item);
}

void ModelView::reloadOutputItems() {
    ScopedCount r(rendering_);
    for (Bound* b : outputChoices_)
        b->showItems();
}

void ModelView::renderAll() {
    {
        ScopedCount r(rendering_);
        for (Bound* b : outputChoices_)
            b->showItems();
        for (Bound* b : byField_)
            if (b)
                b->showValue();
    }
    renderStates();
}

void ModelView::renderStates() {
    ScopedCount r(rendering_);
    for (Bound* b : byField_)
        if (b)
            b->showState();
    for (Follower& f : followers_) {
        if (!f.widget)
            continue;
        const bool on = f.enabled ? f.enabled() : true;
        if (static_cast<int>(on) != f.shownEnabled) {
            f.shownEnabled = on;
            f.widget->setEnabled(on);
        }
        if (f.look) {
            const Look look = f.look();
            if (static_cast<int>(look) != f.shownLook) {
                f.shownLook = static_cast<int>(look);
                wearLook(f.widget, look, f.part);
            }
        }
    }
    for (const auto& l : buddyLabels_)
        if (l && l->buddy() && l->isEnabled() != l->buddy()->isEnabled())
            l->setEnabled(l->buddy()->isEnabled());
}

void ModelView::fieldsChanged(const std::vector<FieldId>& fields) {
    if (held_ > 0)
        return;
    {
        ScopedCount r(rendering_);
        for (FieldId id : fields)
            if (Bound* b = bound(id))
                b->showValue();
    }
    renderStates();
}

void ModelView::choiceItemsChanged() {
    if (held_ > 0)
        return;
    reloadOutputItems();
}

void ModelView::requestFocus(const std::string& controlName) {
    QWidget* w = control(controlName);
    if (w && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

void ModelView::requestFirstPage() {
    if (firstPage_)
        firstPage_();
}

} // namespace t6
