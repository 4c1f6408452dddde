#pragma once
// The window's named widgets and menu items by their names, gathered in one
// walk over the window once it is built, so that the operations find their
// buttons without searching the whole tree each time they render.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

namespace t6 {

class ObjectIndex {
public:
    ObjectIndex() = default;
    explicit ObjectIndex(QObject* root) { add(root); }

    // Every named object under root, root too; a later one of the same name
    // does not replace the first (as a search from the root would find it).
    void add(QObject* root) {
        if (!root)
            return;
        remember(root);
        for (QObject* o : root->findChildren<QObject*>())
            remember(o);
    }

    template <class T> T* find(const QString& name) const {
        return qobject_cast<T*>(byName_.value(name).data());
    }

private:
    void remember(QObject* o) {
        const QString name = o->objectName();
        if (!name.isEmpty() && !byName_.contains(name))
            byName_.insert(name, o);
    }

    QHash<QString, QPointer<QObject>> byName_;
};

} // namespace t6
