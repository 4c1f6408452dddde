#pragma once
// The key table's grid ("SGrid_key") bound to the ten keys of the model: what
// the user types reaches the model at once, whatever changed the cell, and the
// grid shows the model's keys again whenever they change. Typing follows the
// key filter of the key programming (KeyProgramming::acceptsCellKey).
//
// A row that the device's table did not reach is shown as not read: its
// cells greyed and in italics, an empty cell with "не прочитано" in it (only
// painted, never the cell's text), and a tooltip and accessible description
// that say so.
//
// Assistive technology meets each cell under its place ("Описание 3") with
// what it shows as its value and text; the line typed into a cell is heard
// under the cell's place too.

#include <QObject>
#include <functional>
#include <string>

class QTableWidget;
class QTableWidgetItem;

namespace t6 {

class ConfigModel;

class KeyGrid : public QObject {
    Q_OBJECT
public:
    static constexpr int kDescriptionColumn = 1;
    static constexpr int kCodeColumn = 2;

    using Translate = std::function<std::string(const std::string&)>;

    // translate gives the dictionary's text of a message (Windows-1251).
    KeyGrid(QTableWidget* grid, ConfigModel& model, Translate translate = {});

    // Shows the model's keys (and the headings and row numbers).
    void showKeys();

private:
    void cellChanged(QTableWidgetItem* item);

    QTableWidget* grid_;
    ConfigModel& model_;
    Translate translate_;
    int showing_ = 0;
};

} // namespace t6
