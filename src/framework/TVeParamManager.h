#pragma once
#include "Result.h"

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class QWidget;

namespace ccp::fw {

// How the parameter dialog edits a parameter.
enum class ParamKind {
    Text = 0,      // line edit
    Integer = 1,   // numeric edit
    Money = 2,     // currency edit
    Date = 3,      // date edit (stored dd/MM/yyyy... as ISO text yyyy-MM-dd)
    Check = 4,     // check box ("1"/"0")
    List = 5,      // choice list filled by FillListParam; stores the chosen id as decimal text
    Hidden = 6,    // no control; written by the program
    Institute = 7, // list of the institutes (filled by the framework's owner)
    SchoolYear = 8 // list of the school years (filled by the framework's owner)
};

// One parameter definition as stored in the database (TVE_PARAMDEF).
struct ParamDef
{
    QString key;            // "EBCP_SprIstId"
    QString caption;        // shown beside the control
    QString category;       // tab/group of the dialog ("Valori di default.")
    ParamKind kind = ParamKind::Text;
    QString defaultValue;   // stored text used while the user has no value
    QString setCode;        // parameter set ("EBC", "EBS", "VEU")
    int order = 0;          // position within the category
};

// One entry of a choice list: shows `text`, stores `id`.
struct ParamChoice
{
    QVariant id;
    QString text;
};

// Definitions and per-user values of the program parameters, stored in the database and
// published to the global values (TVeGlobalValuesManager) under their keys.
class TVeParamManager : public QObject
{
    Q_OBJECT
public:
    TVeParamManager(QSqlDatabase db, const QString &user, QObject *parent = nullptr);

    const QString &user() const { return m_user; }
    // Parameter sets this manager covers ("EBC", "EBS", "VEU"); empty: every set.
    void setParamSets(const QStringList &sets) { m_sets = sets; }
    const QStringList &paramSets() const { return m_sets; }

    // Reads the definitions and this user's values and publishes every value.
    Status load();
    const QList<ParamDef> &definitions() const { return m_defs; }
    const ParamDef *definition(const QString &key) const;
    // Categories in order of first appearance (definitions ordered by category, order).
    QStringList categories() const;
    QList<ParamDef> definitionsOf(const QString &category) const;

    // Stores (insert or update) a definition (installation and data scripts use this too).
    Status define(const ParamDef &def);

    // The stored text: this user's value, else the default (empty when no such key).
    QString value(const QString &key) const;
    // Writes this user's value to the database and publishes it.
    Status setValue(const QString &key, const QString &value);
    // Writes several values in one transaction (the dialog's OK), then publishes them.
    Status setValues(const QList<std::pair<QString, QString>> &values);
    // The value as shown to the user: for a list, the text of the chosen entry.
    QString GetVeuParamValue(const QString &key);

    // Fills the choice list of a list parameter (FillListParam).
    QList<ParamChoice> choices(const ParamDef &def);

    // ---- events the dialog calls; owners customise it through them ------------------------
    // Fills a choice list.
    std::function<void(const ParamDef &def, QList<ParamChoice> &items)> FillListParam;
    // Shows the stored text in the control; return false to let the dialog do it.
    std::function<bool(const ParamDef &def, const QString &stored, QWidget *control)> ReadParam;
    // Reads the control into the stored text; return false to let the dialog do it.
    std::function<bool(const ParamDef &def, QWidget *control, QString &stored)> WriteParam;
    // Whether the dialog creates a control for the parameter at all (default: yes).
    std::function<bool(const ParamDef &def)> BeforeCreateCtrl;
    // After a control is created (wire change handlers, resize).
    std::function<void(const ParamDef &def, QWidget *control)> AfterCreateCtrl;

    // Opens the parameter dialog (modal); true when the user confirmed. The dialog is the
    // window toolkit's: it installs itself with setDialogRunner.
    bool Execute();
    using DialogRunner = std::function<bool(TVeParamManager &)>;
    static void setDialogRunner(DialogRunner runner);

Q_SIGNALS:
    void valuesChanged();

private:
    void publish(const QString &key) const;

    QSqlDatabase m_db;
    QString m_user;
    QStringList m_sets;
    QList<ParamDef> m_defs;
    QHash<QString, QString> m_values; // upper key -> user's stored text
};

} // namespace ccp::fw
