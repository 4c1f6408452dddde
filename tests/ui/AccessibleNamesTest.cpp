// Every control a user can operate is told apart by assistive technology: the
// walk through the window's accessible tree finds no control without a name
// and no two sharing one, in Russian and again in English.

#include <QAccessible>
#include <QMap>
#include <QRegularExpression>

#include "AccessibleWalk.h"
#include "WindowFixture.h"

namespace t6::test {
namespace {

struct Found {
    QAccessibleInterface* iface;
    QString name;
    QString who; // object name and class, for the failure text
};

bool interactive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::ProgressBar:
        return true;
    default:
        return false;
    }
}

class AccessibleNamesTest : public WindowFixture {
protected:
    void SetUp() override {
        withShippedDictionary();
        open();
        window->buildAllParts();
    }
    std::vector<Found> controls() {
        std::vector<Found> out;
        for (const Met& m : walkAccessible(window.get()))
            if (interactive(m.iface->role()))
                out.push_back({m.iface, m.iface->text(QAccessible::Name), m.who});
        return out;
    }
    // The controls without a name and the names shared by more than one.
    static QString faults(const std::vector<Found>& all) {
        QString text;
        QMap<QString, QStringList> byName;
        for (const Found& f : all) {
            if (f.name.trimmed().isEmpty())
                text += QStringLiteral("\n  no name: ") + f.who;
            else
                byName[f.name] << f.who;
        }
        for (auto it = byName.begin(); it != byName.end(); ++it)
            if (it.value().size() > 1)
                text += QStringLiteral("\n  \"%1\": %2").arg(it.key(), it.value().join(u(", ")));
        return text;
    }
    QString text(const char* control, QAccessible::Text t = QAccessible::Name) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child<QWidget>(control));
        return a ? a->text(t) : QString();
    }
    // The name under which the walk met a widget; empty when it was not met.
    static QString metAs(const std::vector<Found>& all, const QObject* widget) {
        for (const Found& f : all)
            if (f.iface->object() == widget)
                return f.name;
        return {};
    }
};

TEST_F(AccessibleNamesTest, EveryControlHasANameOfItsOwnInBothLanguages) {
    auto all = controls();
    ASSERT_GT(all.size(), 500u) << "the walk reaches the whole window";
    EXPECT_EQ(faults(all), QString());

    child<QAction>("menu_english")->trigger();
    all = controls();
    EXPECT_EQ(faults(all), QString());
    // Names are made of captions only, and every caption speaks English now.
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    QStringList russian;
    for (const Found& f : all)
        if (f.name.contains(cyrillic))
            russian << f.who + QStringLiteral(": ") + f.name;
    EXPECT_EQ(russian.join(u("\n")), QString());
}

TEST_F(AccessibleNamesTest, ListsAreNamedAfterTheirPlaceAndShowTheirItemAsValue) {
    EXPECT_EQ(text("RG_OUT12_2"), u("Зона 1, Время включения: до 500 мин., 2, Включаемый выход"));
    EXPECT_EQ(text("RG_OUT12_2", QAccessible::Value), u("Выход 2(OUT2)"));
    EXPECT_EQ(text("RG_OUT61_bp_4"),
              u("Беспроводная Зона6, Время включения: до 500 мин., 4, Включаемый выход"));
    EXPECT_EQ(text("CB_td2_out"),
              u("Термодатчик 2, Поддержание температуры, Применить для выхода:"));
    EXPECT_EQ(text("CB_on_output_in"), u("При постановке на охрану включить, Включаемый выход"));
    EXPECT_EQ(text("CB_button4"),
              u("Радиопульты, При нажатии кнопки 4, Включить, Включаемый выход"));
    EXPECT_EQ(text("b_out7_type"), u("Беспроводной выход 7, Тип Выхода"));
    EXPECT_EQ(text("b_out7_type", QAccessible::Value), u("Беспроводное реле"));
    EXPECT_EQ(text("CBox_IN3"), u("Зона 3, Тип входа"));
    EXPECT_EQ(text("Gauge_Signal"), u("Уровень сигнала"));
    EXPECT_EQ(text("close_panel_BP_chip"), u("Датчики. Вход, Закрыть"));
    EXPECT_EQ(text("BB_maker_close"), u("О производителе, Закрыть"));
    // The manual port box and the line typed into it, both in the tree.
    auto* ports = child<QComboBox>("ComboBox1");
    auto all = controls();
    EXPECT_EQ(metAs(all, ports), u("Ручной режим выбора COM-порта:"));
    EXPECT_EQ(metAs(all, ports->lineEdit()), u("Ручной режим выбора COM-порта:, Имя порта"));
    // A box never shown is in the tree all the same, under a name of its own.
    EXPECT_EQ(metAs(all, child<QWidget>("CheckBox_21")), u("Зона 2, Задействовать выходы"));

    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(text("RG_OUT12_2"),
              u("Zone 1, Switch-on time: up to 500 min., 2, Output to switch on"));
    EXPECT_EQ(text("RG_OUT12_2", QAccessible::Value), u("Output 2(OUT2)"));
    EXPECT_EQ(text("CB_button4"),
              u("Remote controls, When button 4 is pressed, Switch on, Output to switch on"));
    EXPECT_EQ(text("b_out7_type"), u("Wireless output 7, Output type"));
    EXPECT_EQ(text("Gauge_Signal"), u("Signal level"));
    EXPECT_EQ(text("BB_maker_close"), u("About the manufacturer, Close"));
    all = controls();
    EXPECT_EQ(metAs(all, ports->lineEdit()), u("Manual COM port selection:, Port name"));
    // Back in Russian, the names are Russian again.
    child<QAction>("menu_russian")->trigger();
    EXPECT_EQ(text("CB_on_output_in"), u("При постановке на охрану включить, Включаемый выход"));
    EXPECT_EQ(text("Gauge_Signal"), u("Уровень сигнала"));
}

} // namespace
} // namespace t6::test
