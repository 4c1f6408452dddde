#include "ui/PortComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace t6 {

namespace {

constexpr int kDetailsRole = Qt::UserRole + 1;

QString systemText(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

// The opened list shows each name followed by what the adapter is.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString details = index.data(kDetailsRole).toString();
        if (!details.isEmpty())
            option->text += QStringLiteral("  —  ") + details;
    }
};

} // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new PortItemDelegate(this));
    view()->setTextElideMode(Qt::ElideNone);
    connect(this, &QComboBox::currentTextChanged, this, [this] { updateTip(); });
}

void PortComboBox::updateTip() {
    const int chosen = findText(currentText());
    setToolTip(chosen >= 0 ? itemData(chosen, Qt::ToolTipRole).toString() : QString());
}

QString PortComboBox::detailsText(const PortDetails& d) {
    QStringList words;
    const QString maker = QString::fromStdString(d.maker).trimmed();
    const QString product = QString::fromStdString(d.product).trimmed();
    if (!maker.isEmpty())
        words << maker;
    // Many adapters repeat their maker in the product name.
    if (!product.isEmpty() && product.compare(maker, Qt::CaseInsensitive) != 0)
        words << product;
    if (d.vendorId >= 0 && d.productId >= 0)
        words << QStringLiteral("(%1:%2)")
                     .arg(d.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(d.productId, 4, 16, QLatin1Char('0'));
    return words.join(QLatin1Char(' '));
}

void PortComboBox::setPorts(const std::vector<std::string>& ports,
                            const std::vector<PortDetails>& details) {
    const bool blocked = blockSignals(true);
    const QString text = currentText();
    clear();
    int widest = 0;
    for (const std::string& port : ports) {
        const QString name = systemText(port);
        addItem(name);
        const int row = count() - 1;
        QString about;
        for (const PortDetails& d : details)
            if (d.name == port) {
                about = detailsText(d);
                break;
            }
        QString shown = name;
        if (!about.isEmpty()) {
            setItemData(row, about, kDetailsRole);
            setItemData(row, name + QLatin1Char('\n') + about, Qt::ToolTipRole);
            shown += QStringLiteral("  —  ") + about;
        }
        setItemData(row, shown, Qt::AccessibleTextRole);
        widest = qMax(widest, fontMetrics().horizontalAdvance(shown));
    }
    // The opened list is as wide as its longest line.
    view()->setMinimumWidth(widest + 40);
    setEditText(text.isEmpty() && !ports.empty() ? systemText(ports.front()) : text);
    blockSignals(blocked);
    updateTip();
}

void PortComboBox::showPopup() {
    if (beforePopup_)
        beforePopup_();
    QComboBox::showPopup();
}

} // namespace t6
