#pragma once
// The window's side of the configuration model. Every bound control registers
// here under its field; when the model reports changed fields, exactly those
// controls show their values again, and then every enabled state and colour is
// rendered from the model's predicates (cheaply: a control is touched only when
// its state or colour really changes). Widgets that are no field (panels,
// buttons) follow predicates of their own.

#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/ConfigModel.h"
#include "ui/Looks.h"

class QLabel;
class QWidget;

namespace t6 {

class Bound;

class ModelView : public ConfigObserver {
public:
    // guard runs a user's edit so that nothing thrown leaves the event loop.
    using Guard = std::function<void(const std::function<void()>&)>;

    ModelView(ConfigModel& model, Guard guard);
    ~ModelView() override;
    ModelView(const ModelView&) = delete;
    ModelView& operator=(const ModelView&) = delete;

    ConfigModel& model() { return model_; }
    // Runs a user's edit of the model.
    void edit(const std::function<void()>& f);

    void add(Bound* bound);
    Bound* bound(FieldId id) const;
    // A control by its name: a bound control or a widget registered with follow().
    QWidget* control(const std::string& name) const;

    // A widget that is no field: its enabled state, and optionally its look, follow the model.
    void follow(QWidget* widget, std::function<bool()> enabled, std::function<Look()> look = {},
                LookPart part = LookPart::Background);
    // A label greyed together with its buddy.
    void followBuddy(QLabel* label);
    // A control's accessible name: the texts of these widgets (panel titles,
    // headings, row labels) followed by its own caption, its label or its hint.
    // List boxes are announced by this name too, their selected item being
    // their value (the view installs their interface for assistive technology).
    void nameAfter(QWidget* widget, std::vector<QWidget*> context);
    void updateAccessibleNames();

    // How an item of an output choice is shown (the fixed outputs speak the
    // window's language; the names of wireless outputs are shown as they are).
    void setOutputItemText(std::function<QString(int position, const std::string&)> f);
    QString outputItemText(int position, const std::string& item) const;
    // Every output choice shows the list again, keeping its selection.
    void reloadOutputItems();

    void onFirstPage(std::function<void()> f) { firstPage_ = std::move(f); }
    // Called when a control is asked for by a name not registered yet: the
    // window builds what it has not built.
    void onMissingControl(std::function<void()> f) { missing_ = std::move(f); }

    // Every value, list and state, as after start-up.
    void renderAll();
    // While held, the model's reports of changes are not shown; the last
    // release shows everything at once (the window's start-up fills every
    // field in several steps and shows them once).
    class Hold {
    public:
        explicit Hold(ModelView& view) : view_(view) { ++view_.held_; }
        ~Hold() {
            if (--view_.held_ == 0)
                view_.renderAll();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        ModelView& view_;
    };
    void renderStates();
    // Whether a render is running: controls disabled by it did not lose the
    // focus to the user, so they do not run their leave checks.
    bool rendering() const { return rendering_ > 0; }

    // ConfigObserver
    void fieldsChanged(const std::vector<FieldId>& fields) override;
    void choiceItemsChanged() override;
    void requestFocus(const std::string& controlName) override;
    void requestFirstPage() override;

private:
    struct Follower {
        QPointer<QWidget> widget;
        std::function<bool()> enabled;
        std::function<Look()> look;
        LookPart part;
        int shownEnabled = -1;
        int shownLook = -1;
    };
    struct Named {
        QPointer<QWidget> widget;
        std::vector<QPointer<QWidget>> context;
    };

    ConfigModel& model_;
    Guard guard_;
    std::vector<Bound*> byField_;
    std::vector<Bound*> outputChoices_;
    std::unordered_map<std::string, QWidget*> byName_;
    std::vector<Follower> followers_;
    std::vector<QPointer<QLabel>> buddyLabels_;
    std::vector<Named> named_;
    std::function<QString(int, const std::string&)> outputItemText_;
    std::function<void()> firstPage_;
    std::function<void()> missing_;
    int rendering_ = 0;
    int held_ = 0;
};

} // namespace t6
