#pragma once
#include "AnaUPeople.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;
class QTimer;

namespace ccp::fw {
class TVeEditFrame;
class TVeQueryCollection;
class TVeQueryModel;
}

namespace ccp::people {

class TdmModAnaAtt;

// A detail list of the current person shown in an extra tab ("Telefoni", "Indirizzi", ...).
class TfrAnaList : public QWidget
{
    Q_OBJECT
public:
    TfrAnaList(QSqlDatabase db, const QString &frameClass, const DetailList &list, QWidget *parent = nullptr);
    void showPerson(int anaId);
    const QString &frameClass() const { return m_class; }
    fw::TVeQueryCollection *collection() const { return m_collection; }

private:
    QString m_class;
    fw::TVeQueryCollection *m_collection;
    fw::TVeQueryModel *m_model;
    QTableView *m_grid;
};

// The people registry window: the people of one category, searched by name, with a detail
// page and the extra tabs the program asks for. Read-only in this program.
class TfmAnaAnagrafiche : public QWidget
{
    Q_OBJECT
public:
    TfmAnaAnagrafiche(TdmModAnaAtt &module, QWidget *parent = nullptr);

    int category() const { return m_category; }
    int optionFlags() const { return m_flags; }
    QStringList tabTitles() const;
    // Runs the search at once (typing runs it after a short pause).
    void search(const QString &text);
    fw::TVeQueryCollection *collection() const { return m_people; }
    const PersonDetail &detail() const { return m_detail; }
    QList<TfrAnaList *> frames() const { return m_frames; }
    // The tabs that edit the person's data.
    QList<fw::TVeEditFrame *> editFrames() const { return m_editFrames; }

    void setDetailsReadOnly(bool on) { m_readOnly = on; }
    bool detailsReadOnly() const { return m_readOnly; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showCurrent();

    TdmModAnaAtt &m_module;
    int m_category = 0;
    int m_flags = 0;
    bool m_readOnly = true;
    fw::TVeQueryCollection *m_people;
    fw::TVeQueryModel *m_model;
    QLineEdit *m_search;
    QTimer *m_delay;
    QTabWidget *m_tabs;
    QTableView *m_grid;
    QList<QLabel *> m_values;
    QList<TfrAnaList *> m_frames;
    QList<fw::TVeEditFrame *> m_editFrames;
    PersonDetail m_detail;
};

} // namespace ccp::people
