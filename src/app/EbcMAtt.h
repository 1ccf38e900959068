#pragma once
#include "TVeLaunchers.h"

#include <QSqlDatabase>
#include <memory>

namespace ccp::people {
class TdmModAnaAtt;
}

namespace ccp::app {

class TdmEbcParam;
class TdmEbsAtt;

// What the launchers need from the main window.
class EbcMainServices
{
public:
    virtual ~EbcMainServices() = default;
    virtual bool hasChildWindows() const = 0;
    // The first open window whose caption is `caption`, or none.
    virtual QWidget *FindOpenWindow(const QString &caption) const = 0;
    virtual void RefreshPanels() = 0;
    virtual bool OpenParamDialog() = 0;
};

// The program's command pages and launchers, with the launchers of the shared packages
// gathered onto its pages.
class TdmEbcAtt : public fw::TdmVeAttivazioni
{
    Q_OBJECT
public:
    static inline const QString HelpFile = QStringLiteral("ContoCorrente.chm");
    static inline const QString NotesFile = QStringLiteral("Ebc_Notizie.pdf");
    // Relative to the program's folder.
    static inline const QString NotesFolder = QStringLiteral("..\\etc\\Ebc\\");
    static inline const QString VersionMarker = QStringLiteral("..\\etc\\Ebc\\Ebc_Version.txt");

    TdmEbcAtt(QSqlDatabase db, const QString &user, QObject *parent = nullptr);
    ~TdmEbcAtt() override;

    static TdmEbcAtt *instance();
    void setServices(EbcMainServices *services) { m_services = services; }
    EbcMainServices *services() const { return m_services; }

    TdmEbcParam &params() { return *m_param; }
    TdmEbsAtt &ebsAtt() { return *m_ebs; }
    people::TdmModAnaAtt &modAnaAtt() { return *m_modAna; }

    fw::TVeAttForm *xafMovimenti;
    fw::TVeAttForm *xafDatiConto;
    fw::TVeAttForm *xafAlunni;
    fw::TVeAttForm *xafTutori;
    fw::TVeAttForm *xafDipendenti;
    fw::TVeAttForm *xafAltri;
    fw::TVeAttForm *xafEda;
    fw::TVeAttReport *xarReport;
    fw::TVeAttComponent *xacParam;
    fw::TVeAttForm *xafInitAnf;
    fw::TVeAttShell *xasNotizie;
    fw::TVeAttForm *xafAluGen;
    fw::TVeAttForm *xafExportBanche;

    // Whether report `reportId` may run with the working account (a message when not).
    bool checkReport(int reportId);
    static QString reportTypeMessage(const QString &requiredType);
    // Runs the release-notes launcher (it sits on no page and is not enabled by itself).
    bool runReleaseNotes();
    // The program's folder (the notes and the update marker are found relative to it).
    static QString programFolder();
    static void setProgramFolder(const QString &folder);   // tests
    static QString programPath(const QString &relative);

private:
    bool movementsBeforeExecute();
    bool initAnfBeforeExecute();
    bool peopleBeforeExecute(fw::TVeAttForm &launcher);
    void installPeopleHooks();

    QSqlDatabase m_db;
    EbcMainServices *m_services = nullptr;
    std::unique_ptr<TdmEbcParam> m_param;
    people::TdmModAnaAtt *m_modAna;
    TdmEbsAtt *m_ebs;
    bool m_readOnlyHook = false;
};

} // namespace ccp::app
