#include "TVeDataSource.h"

#include "TVeDBControl.h"

#include <QWidget>

namespace ccp::fw {

TVeDataSource::TVeDataSource(TVeQueryCollection *collection, QObject *parent) : QObject(parent)
{
    setCollection(collection);
}

void TVeDataSource::setCollection(TVeQueryCollection *collection)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_collection = collection;
    if (collection) {
        m_connections << connect(collection, &TVeQueryCollection::modeChanged, this, [this](DataMode m) {
            applyMode();
            reload();
            Q_EMIT modeChanged(int(m));
        });
        m_connections << connect(collection, &TVeQueryCollection::currentChanged, this, [this](int) {
            reload();
            Q_EMIT dataChanged(QString());
        });
        m_connections << connect(collection, &TVeQueryCollection::reset, this, [this]() { reload(); });
        m_connections << connect(collection, &TVeQueryCollection::fieldChanged, this, [this](const QString &field) {
            for (TVeDBControl *c : std::as_const(m_controls))
                if (c != m_writing && c->dataField().compare(field, Qt::CaseInsensitive) == 0)
                    loadControl(c);
            Q_EMIT dataChanged(field);
        });
        m_connections << connect(collection, &QObject::destroyed, this, [this]() { m_connections.clear(); });
    }
    applyMode();
    reload();
}

void TVeDataSource::addControl(TVeDBControl *control)
{
    if (!control || m_controls.contains(control))
        return;
    m_controls << control;
    control->setChangeHandler([this](TVeDBControl *c) { onUserChange(c); });
    // A control destroyed before the data source leaves the list.
    if (QWidget *w = control->widget())
        connect(w, &QObject::destroyed, this, [this, control]() { m_controls.removeAll(control); });
    control->setModeEditable(dataMode() != DataMode::Browse);
    loadControl(control);
}

void TVeDataSource::removeControl(TVeDBControl *control)
{
    if (m_controls.removeAll(control))
        control->setChangeHandler({});
}

bool TVeDataSource::commitControls()
{
    for (TVeDBControl *c : std::as_const(m_controls))
        if (c->isEditable() && !c->commitText())
            return false;
    return true;
}

void TVeDataSource::reload()
{
    for (TVeDBControl *c : std::as_const(m_controls))
        loadControl(c);
}

void TVeDataSource::loadControl(TVeDBControl *control)
{
    if (control->dataField().isEmpty())
        return;
    const bool hasRow = m_collection && m_collection->isOpen()
                        && (m_collection->isEditing() || m_collection->currentIndex() >= 0);
    control->setFieldValue(hasRow ? m_collection->fieldValue(control->dataField()) : QVariant());
}

void TVeDataSource::applyMode()
{
    const bool editable = dataMode() != DataMode::Browse;
    for (TVeDBControl *c : std::as_const(m_controls))
        c->setModeEditable(editable);
}

void TVeDataSource::onUserChange(TVeDBControl *control)
{
    if (!m_collection || !m_collection->isEditing() || control->dataField().isEmpty())
        return;
    m_writing = control;
    m_collection->setFieldValue(control->dataField(), control->fieldValue());
    m_writing = nullptr;
}

} // namespace ccp::fw
