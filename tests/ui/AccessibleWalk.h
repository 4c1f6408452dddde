#pragma once
// The walk of a screen reader through a window's accessible tree: from the
// window's interface down through child(), as assistive technology meets it.

#include <QAccessible>
#include <QSet>
#include <QString>
#include <vector>

namespace t6::test {

struct Met {
    QAccessibleInterface* iface;
    QString who; // object name and class, or the part's place, for failure texts
};

inline QString whoIs(QAccessibleInterface* iface, const QString& parent, int index) {
    if (QObject* o = iface->object())
        return QStringLiteral("%1 (%2)").arg(o->objectName(),
                                             QString::fromLatin1(o->metaObject()->className()));
    return QStringLiteral("%1 / part %2").arg(parent).arg(index);
}

// Every interface met, each object once (an item of a list or a cell of a
// table has none and is met under its parent).
inline void walkAccessible(QAccessibleInterface* iface, const QString& who, QSet<QObject*>& seen,
                           std::vector<Met>& out) {
    if (!iface || !iface->isValid())
        return;
    if (QObject* o = iface->object()) {
        if (seen.contains(o))
            return;
        seen.insert(o);
    }
    out.push_back({iface, who});
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* c = iface->child(i))
            walkAccessible(c, whoIs(c, who, i), seen, out);
}

inline std::vector<Met> walkAccessible(QObject* window) {
    QSet<QObject*> seen;
    std::vector<Met> out;
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
    if (root)
        walkAccessible(root, whoIs(root, {}, 0), seen, out);
    return out;
}

} // namespace t6::test
