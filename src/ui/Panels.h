#pragma once
// The builders of the window's panels. Each family of repeated panels (zones,
// temperature sensors, wireless outputs, remote controls) is built by one
// function for any member of the family; the controls are bound to the model
// through the kit, and every panel's enabled state and colour follow the
// model's predicates.

#include <QIcon>
#include <QString>
#include <array>

#include "config/DeviceConfig.h"
#include "core/SupportContacts.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace t6 {

class ElidedLabel;
class PanelKit;

// "Список телефонов для оповещения": the five telephones, the date and the time.
QGroupBox* buildTelephonePanel(PanelKit& kit, QWidget* parent);
// The arming and general options.
QWidget* buildOptionsPanel(PanelKit& kit, QWidget* parent);
// A wired or a wireless zone.
QGroupBox* buildZonePanel(PanelKit& kit, QWidget* parent, ZoneRef zone);
// A wired or a wireless temperature sensor.
QGroupBox* buildSensorPanel(PanelKit& kit, QWidget* parent, SensorRef sensor);
// "Радиопульты": the ten remote controls and what button 4 switches.
QGroupBox* buildRemotePanel(PanelKit& kit, QWidget* parent);
// The sixteen wireless outputs under their column headings.
QWidget* buildOutputsPanel(PanelKit& kit, QWidget* parent);

// The panels shown above the tabs, hidden until their operation opens them.
QWidget* buildKeyPanel(QWidget* parent);
QWidget* buildSensorListPanel(QWidget* parent);
// Names the rows of the sensor list and key panels for assistive technology,
// each with its row number, and the overlays' close buttons after their
// panels, in the window's current language.
void nameOverlayRows(QWidget* root);

// The maker panel ("О производителе"): the program's name, version and
// licence, the folder of its logs, whom to ask for help, and the support
// report. The support contacts are the distributor's; without any the panel
// says so, and the web button shows only with an address to open.
struct MakerFacts {
    QIcon icon;
    QString version;
    QString folder;
    SupportContacts contacts;
};
struct MakerPanel {
    QWidget* panel = nullptr;
    QPushButton* web = nullptr;
    QPushButton* close = nullptr;
    QPushButton* report = nullptr;
    QCheckBox* keepPrivate = nullptr;
    ElidedLabel* address = nullptr;
    QLabel* none = nullptr;                   // the plain word that there are no contacts
    std::array<ElidedLabel*, 3> contacts{};   // name, telephone, e-mail
    std::array<QLabel*, 3> contactCaptions{}; // their captions
};
MakerPanel buildMakerPanel(QWidget* parent, const MakerFacts& facts);
void showSupportContacts(MakerPanel& m, const SupportContacts& contacts);

} // namespace t6
