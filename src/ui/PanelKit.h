#pragma once
// What the panel builders share: bound controls made from the field of a
// member (its name, caption and range come from the field's description),
// labels made buddies of their controls, titled panels, and compact grids in
// the window's small pixel measures.

#include <QGroupBox>
#include <QString>
#include <vector>

#include "config/FieldDescription.h"
#include "ui/BoundWidgets.h"
#include "ui/ModelView.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace t6 {

// A member of the configuration: its role, unit, sub-unit and kind.
struct Member {
    FieldRole role;
    int unit = 0;
    int sub = 0;
    bool wireless = false;
};

class PanelKit {
public:
    static constexpr int kRowHeight = 20;

    explicit PanelKit(ModelView& view) : view_(view) {}
    ModelView& view() { return view_; }
    ConfigModel& model() { return view_.model(); }

    // The field of a member; a missing one is a programming error.
    static FieldId fieldOf(const Member& m);

    // Bound controls; context names the panels and headings the control sits
    // under, for its accessible name.
    BoundCheckBox* check(QWidget* parent, const Member& m, std::vector<QWidget*> context = {});
    BoundSpinBox* spin(QWidget* parent, const Member& m, std::vector<QWidget*> context = {},
                       int width = 46);
    BoundLineEdit* edit(QWidget* parent, const Member& m, std::vector<QWidget*> context = {});
    BoundComboBox* combo(QWidget* parent, const Member& m, std::vector<QWidget*> context = {});
    BoundRadioGroup* radio(QWidget* parent, const Member& m, std::vector<QWidget*> context = {});

    // A caption; with a buddy, it names the buddy and greys with it.
    QLabel* label(QWidget* parent, const QString& text, QWidget* buddy = nullptr,
                  const char* name = nullptr);
    QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                        std::vector<QWidget*> context = {});
    // A titled panel.
    static QGroupBox* panel(QWidget* parent, const QString& name, const QString& title);
    // The grid of a panel, with the window's small margins.
    static QGridLayout* grid(QWidget* panel, int margin = 3);
    // A row of widgets, left aligned.
    static QHBoxLayout* row(std::initializer_list<QWidget*> widgets, int spacing = 3);

private:
    template <class W> W* bind(W* w, std::vector<QWidget*> context);
    ModelView& view_;
};

// "u8" texts of the window's own captions.
inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace t6
