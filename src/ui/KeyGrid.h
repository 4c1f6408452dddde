#pragma once
// The key table's grid ("SGrid_key") bound to the ten keys of the model: what
// the user types reaches the model at once, whatever changed the cell, and the
// grid shows the model's keys again whenever they change. Typing follows the
// key filter of the key programming (KeyProgramming::acceptsCellKey).

#include <QObject>

class QTableWidget;
class QTableWidgetItem;

namespace t6 {

class ConfigModel;

class KeyGrid : public QObject {
    Q_OBJECT
public:
    static constexpr int kDescriptionColumn = 1;
    static constexpr int kCodeColumn = 2;

    KeyGrid(QTableWidget* grid, ConfigModel& model);

    // Shows the model's keys (and the headings and row numbers).
    void showKeys();

private:
    void cellChanged(QTableWidgetItem* item);

    QTableWidget* grid_;
    ConfigModel& model_;
    int showing_ = 0;
};

} // namespace t6
