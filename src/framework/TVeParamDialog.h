#pragma once
#include "TVeDialog.h"
#include "TVeParamManager.h"

#include <QHash>

class QListWidget;
class QStackedWidget;

namespace ccp::fw {

// The parameter dialog: one page per category, one control per parameter definition, built
// through the manager's events (BeforeCreateCtrl, FillListParam, ReadParam, AfterCreateCtrl)
// and written back on OK through WriteParam, all values in one transaction.
class TVeParamDialog : public TVeDialog
{
    Q_OBJECT
public:
    explicit TVeParamDialog(TVeParamManager &manager, QWidget *parent = nullptr);

    // The control of a parameter (also found by object name = key); nullptr when not created.
    QWidget *control(const QString &key) const;
    // The caption a category shows in the list.
    static QString categoryCaption(const QString &category);
    QStringList categories() const;
    void showCategory(const QString &category);
    // Fills a list parameter's choices again (dependencies between parameters), keeping the
    // chosen id when it is still offered.
    void refillList(const QString &key);

    // What the dialog would store for each created control.
    QList<std::pair<QString, QString>> values() const;

    // Makes TVeParamManager::Execute open this dialog.
    static void install();

    // Default reading/writing of a stored text, used when the owner's event does not handle it.
    static void readDefault(const ParamDef &def, const QString &stored, QWidget *control);
    static QString writeDefault(const ParamDef &def, QWidget *control);

protected:
    bool validate() override;

private:
    QWidget *createControl(const ParamDef &def, QWidget *parent);

    TVeParamManager &m_manager;
    QListWidget *m_categories;
    QStackedWidget *m_pages;
    QHash<QString, QWidget *> m_controls;  // upper key -> control
    QList<ParamDef> m_created;
};

} // namespace ccp::fw
