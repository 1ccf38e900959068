#pragma once
#include "TVeQueryCollection.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace ccp::fw {

class TVeDBControl;

// Binds data-aware controls to the fields of a collection: shows the current row (or the
// edit buffer), writes what the user changes into the buffer, makes the controls editable
// only in insert and edit mode.
class TVeDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TVeDataSource(TVeQueryCollection *collection = nullptr, QObject *parent = nullptr);

    TVeQueryCollection *collection() const { return m_collection; }
    void setCollection(TVeQueryCollection *collection);
    // 0 browse, 1 insert, 2 edit.
    int mode() const { return m_collection ? int(m_collection->mode()) : 0; }
    DataMode dataMode() const { return m_collection ? m_collection->mode() : DataMode::Browse; }

    void addControl(TVeDBControl *control);
    void removeControl(TVeDBControl *control);
    const QList<TVeDBControl *> &controls() const { return m_controls; }

    // Finishes what is being typed in every editable control; false when one refuses.
    bool commitControls();
    // Shows the collection's values in every control again.
    void reload();

Q_SIGNALS:
    void modeChanged(int mode);
    // New current row or a changed field (empty when the whole row changed).
    void dataChanged(const QString &field);

private:
    void onUserChange(TVeDBControl *control);
    void loadControl(TVeDBControl *control);
    void applyMode();

    QPointer<TVeQueryCollection> m_collection;
    QList<TVeDBControl *> m_controls;
    QList<QMetaObject::Connection> m_connections;
    TVeDBControl *m_writing = nullptr;
};

} // namespace ccp::fw
