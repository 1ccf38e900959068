#include "EbcMAtt.h"

#include "AnaFAnagrafiche.h"
#include "EbcMParam.h"
#include "EbcUContext.h"
#include "EbcUWindows.h"
#include "EbsMAtt.h"
#include "ModAnaMAtt.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>

namespace ccp::app {

namespace {

TdmEbcAtt *g_att = nullptr;
QString g_programFolder;

// Calls a slot the window may offer (windows of later subsystems add them).
void callIfPresent(QObject *target, const char *signature, const QVariant &arg = {})
{
    const int index = target->metaObject()->indexOfMethod(signature);
    if (index < 0)
        return;
    const QMetaMethod method = target->metaObject()->method(index);
    if (method.parameterCount() == 0)
        method.invoke(target);
    else if (method.parameterType(0) == QMetaType::Bool)
        method.invoke(target, Q_ARG(bool, arg.toBool()));
}

struct PeopleSetup
{
    int category;
    QList<int> allowed;
    std::optional<QList<int>> hidden;
    QList<int> filterSpecifics;
    int flags;
    QStringList frames;   // class, title, class, title, ...
};

const QStringList commonFrames = {QStringLiteral("TfrAnaTel"), QStringLiteral("Telefoni"),
                                  QStringLiteral("TfrAnaEMail"), QStringLiteral("E-Mail"),
                                  QStringLiteral("TfrAnaAbt"), QStringLiteral("Indirizzi")};

PeopleSetup setupOf(const QString &launcher)
{
    using namespace people;
    const int basic = AnaOption::Phones | AnaOption::EMail | AnaOption::Addresses;
    if (launcher == QLatin1String("xafAlunni"))
        return {Category::Pupils, {1}, QList<int>{2}, {0, 4, 5, 11, 15, 16, 17},
                basic | AnaOption::Parents | AnaOption::Classes,
                commonFrames + QStringList{QStringLiteral("TfrAnaGpt"), QStringLiteral("Genitori/Tutori")}};
    if (launcher == QLatin1String("xafTutori"))
        return {Category::Parents, {2}, QList<int>{}, {0, 4, 5, 11, 15, 16, 17}, basic, commonFrames};
    if (launcher == QLatin1String("xafDipendenti"))
        return {Category::Staff, {3}, std::nullopt, {0, 11, 13, 17, 18}, basic, commonFrames};
    return {Category::AdultLearners, {6}, QList<int>{}, {1, 4, 5, 11, 15, 16, 17},
            AnaOption::Citizenship | AnaOption::EmploymentStatus,
            QStringList{QStringLiteral("TfrKbaAnaCitt"), QStringLiteral("Cittadinanze")} + commonFrames
                + QStringList{QStringLiteral("TfrkbdEdeExtra"), QStringLiteral("Stato occupazionale")}};
}

fw::TVeAttForm *formLauncher(fw::TdmVeAttivazioni &module, const QString &name, const QString &page, int order,
                             const QString &caption, int image, const QString &formClass, int help)
{
    auto *l = module.add(new fw::TVeAttForm(name));
    l->page = page;
    l->order = order;
    l->caption = caption;
    l->imageIndex = image;
    l->formClass = formClass;
    l->helpContext = help;
    return l;
}

} // namespace

TdmEbcAtt *TdmEbcAtt::instance() { return g_att; }

QString TdmEbcAtt::programFolder()
{
    return g_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_programFolder;
}

void TdmEbcAtt::setProgramFolder(const QString &folder) { g_programFolder = folder; }

QString TdmEbcAtt::programPath(const QString &relative)
{
    QString rel = relative;
    rel.replace(u'\\', u'/');
    return QDir::cleanPath(QDir(programFolder()).filePath(rel));
}

TdmEbcAtt::TdmEbcAtt(QSqlDatabase db, const QString &user, QObject *parent)
    : fw::TdmVeAttivazioni(parent), m_db(db)
{
    g_att = this;
    // 1. The parameter module, program-wide: the parameter dialog is its manager's.
    m_param = std::make_unique<TdmEbcParam>(db, user);
    // 2. The people registry's launchers, on the main connection.
    m_modAna = new people::TdmModAnaAtt(db, this);
    // 3. The school-fees launchers.
    m_ebs = new TdmEbsAtt(this);
    m_ebs->setHelpFile(HelpFile);
    m_ebs->setDatabase(db);
    m_ebs->ParamAnfIdName = Keys::AnfId;

    addPage({QStringLiteral("xpgGestione"), QStringLiteral("Gestione"), 0, true});
    addPage({QStringLiteral("xpgBeneficiari"), QStringLiteral("Beneficiari"), 1, true});
    addPage({QStringLiteral("xpgTabelle"), QStringLiteral("Tabelle"), 2, true});
    addPage({QStringLiteral("xpgStampe"), QStringLiteral("Stampe"), 3, false});
    addPage({QStringLiteral("xpgTools"), QStringLiteral("Strumenti"), 4, true});

    xafMovimenti = formLauncher(*this, QStringLiteral("xafMovimenti"), QStringLiteral("xpgGestione"), 0,
                                QStringLiteral("Movimenti"), 0, QStringLiteral("TfmEbcMvm"), 0);
    xafDatiConto = formLauncher(*this, QStringLiteral("xafDatiConto"), QStringLiteral("xpgGestione"), 1,
                                QStringLiteral("Conti"), 1, QStringLiteral("TfmEbcCcp"), 0);
    const QString registry = people::TdmModAnaAtt::WindowClass;
    xafAlunni = formLauncher(*this, QStringLiteral("xafAlunni"), QStringLiteral("xpgBeneficiari"), 0,
                             QStringLiteral("Alunni"), 2, registry, 0);
    xafTutori = formLauncher(*this, QStringLiteral("xafTutori"), QStringLiteral("xpgBeneficiari"), 1,
                             QStringLiteral("Genitori/tutori"), 3, registry, 0);
    xafDipendenti = formLauncher(*this, QStringLiteral("xafDipendenti"), QStringLiteral("xpgBeneficiari"), 2,
                                 QStringLiteral("Personale"), 4, registry, 0);
    xafAltri = formLauncher(*this, QStringLiteral("xafAltri"), QStringLiteral("xpgBeneficiari"), 3,
                            QStringLiteral("Altri beneficiari"), 5, QStringLiteral("TfmBeneficiari"), 0);
    xafEda = formLauncher(*this, QStringLiteral("xafEda"), QStringLiteral("xpgBeneficiari"), 3,
                          QStringLiteral("Eda"), 5, registry, 0);
    xarReport = add(new fw::TVeAttReport(QStringLiteral("xarReport")));
    xarReport->page = QStringLiteral("xpgStampe");
    xarReport->caption = QStringLiteral("Stampe");
    xarReport->appCode = HostModuleCode;
    xacParam = add(new fw::TVeAttComponent(QStringLiteral("xacParam")));
    xacParam->page = QStringLiteral("xpgTools");
    xacParam->order = 5;
    xacParam->caption = QStringLiteral("Parametri");
    xacParam->imageIndex = 10;
    xafInitAnf = formLauncher(*this, QStringLiteral("xafInitAnf"), QStringLiteral("xpgTools"), 7,
                              QStringLiteral("Inizio anno finanziario"), 11, QStringLiteral("TfmEbcInitAnf"), 0);
    xafInitAnf->modal = true;
    xasNotizie = add(new fw::TVeAttShell(QStringLiteral("xasNotizie")));
    xasNotizie->enabled = false;
    xasNotizie->caption = QStringLiteral("Notizie sull'aggiornamento");
    xasNotizie->fileName = NotesFile;
    xasNotizie->showStyle = 1;
    xasNotizie->waitForEnd = false;
    // Windows no launcher of the program names: the pupils' bank coordinates and the export.
    xafAluGen = formLauncher(*this, QStringLiteral("xafAluGen"), QStringLiteral("xpgTools"), 3,
                             QStringLiteral("Coordinate bancarie alunni"), 2, QStringLiteral("TfmEbcAluGen"), 0);
    xafExportBanche = formLauncher(*this, QStringLiteral("xafExportBanche"), QStringLiteral("xpgTools"), 4,
                                   QStringLiteral("Esportazione verso le banche"), 16,
                                   QStringLiteral("TfwEbcExport_Banche"), 0);

    // 4. The school-fees launchers onto "Tabelle", in this order.
    page(QStringLiteral("xpgTabelle"))->sorted = false;
    adopt(m_ebs->xafCausali, QStringLiteral("xpgTabelle"), 1, 6);
    adopt(m_ebs->xafCompCaus, QStringLiteral("xpgTabelle"), 2, 7);
    adopt(m_ebs->xafAggregati, QStringLiteral("xpgTabelle"), 3, 8);
    adopt(m_ebs->xafVoci, QStringLiteral("xpgTabelle"), 4, 9);
    adopt(m_ebs->xafTipoCompCau, QStringLiteral("xpgTabelle"), 5, 13);
    adopt(m_ebs->xafTipoPagamento, QStringLiteral("xpgTabelle"), 6, 15);
    auto kept = m_ebs->xafCompCaus->OnInitForm;
    m_ebs->xafCompCaus->OnInitForm = [kept](fw::TVeAttForm &l, QWidget *form) {
        if (kept)
            kept(l, form);
        callIfPresent(form, "setShowRette(bool)", fw::GetValues(Keys::CcaRette));
    };
    page(QStringLiteral("xpgTabelle"))->sorted = true;

    // 6. Help contexts of the program's own launchers.
    xafMovimenti->helpContext = 100;
    xafDatiConto->helpContext = 101;
    xafAlunni->helpContext = 102;
    xafTutori->helpContext = 103;
    xafDipendenti->helpContext = 104;
    xafAltri->helpContext = 105;
    xafInitAnf->helpContext = 106;

    // Handlers.
    xafMovimenti->BeforeExecute = [this](fw::TVeAttivazione &) { return movementsBeforeExecute(); };
    xafMovimenti->OnInitForm = [](fw::TVeAttForm &, QWidget *form) { EbcWindows::movements = form; };
    xafDatiConto->BeforeExecute = [this](fw::TVeAttivazione &) {
        return CheckContextKeys(Keys::DwgId) && TdmEbsAtt::requireWindow(*xafDatiConto);
    };
    xafDatiConto->OnInitForm = [](fw::TVeAttForm &, QWidget *form) { EbcWindows::accounts = form; };
    for (fw::TVeAttForm *l : {xafAlunni, xafTutori, xafDipendenti, xafEda})
        l->BeforeExecute = [this, l](fw::TVeAttivazione &) { return peopleBeforeExecute(*l); };
    xafAltri->BeforeExecute = [this](fw::TVeAttivazione &) { return TdmEbsAtt::requireWindow(*xafAltri); };
    xafAltri->OnInitForm = [](fw::TVeAttForm &, QWidget *form) {
        // The registry keeps its own caption ("Beneficiari", "Editori").
        callIfPresent(form, "setupOtherBeneficiaries()");
    };
    xacParam->BeforeExecute = [this](fw::TVeAttivazione &) {
        if (m_services && m_services->hasChildWindows()) {
            fw::showWarning(QStringLiteral("Bisogna chiudere tutte le finestre attive per modificare i parametri."));
            return false;
        }
        return true;
    };
    xacParam->OnExecute = [this](fw::TVeAttivazione &) {
        if (m_services)
            m_services->OpenParamDialog();
        else
            m_param->Execute();
    };
    xacParam->AfterExecute = [this](fw::TVeAttivazione &) {
        WorkingContext::instance().refreshInstitutes(m_db);
        WorkingContext::instance().refreshPeriod(m_db);
        WorkingContext::instance().publishBudget(m_db);
        if (m_services)
            m_services->RefreshPanels();
    };
    xafInitAnf->BeforeExecute = [this](fw::TVeAttivazione &) { return initAnfBeforeExecute(); };
    xasNotizie->BeforeExecute = [this](fw::TVeAttivazione &) {
        if (xasNotizie->directory.isEmpty())
            xasNotizie->directory = programPath(NotesFolder);
        if (!QFileInfo::exists(xasNotizie->filePath())) {
            const QString lower = QDir(xasNotizie->directory).filePath(NotesFile.toLower());
            if (QFileInfo::exists(lower)) {
                xasNotizie->fileName = NotesFile.toLower();
            } else {
                // Without the notes the marker would ask again at every start.
                QFile::remove(programPath(VersionMarker));
                fw::showInfo(QStringLiteral("Le notizie sull'aggiornamento non sono disponibili: il file %1 non è presente.")
                                 .arg(QDir::toNativeSeparators(xasNotizie->filePath())));
                return false;
            }
        }
        return true;
    };
    xasNotizie->AfterExecute = [](fw::TVeAttivazione &) { QFile::remove(programPath(VersionMarker)); };
    xafAluGen->BeforeExecute = [this](fw::TVeAttivazione &) { return TdmEbsAtt::requireWindow(*xafAluGen); };
    xafExportBanche->BeforeExecute = [this](fw::TVeAttivazione &) {
        return TdmEbsAtt::requireWindow(*xafExportBanche);
    };
}

TdmEbcAtt::~TdmEbcAtt()
{
    if (g_att == this)
        g_att = nullptr;
}

bool TdmEbcAtt::movementsBeforeExecute()
{
    if (!CheckContextKeys(QStringLiteral("EBCP_SprIstId,EBCP_AnfId,EBSP_CauAnsId")))
        return false;
    const auto &values = fw::TVeGlobalValuesManager::instance();
    const int ansId = values.intValue(Keys::AnsId);
    const int anfId = values.intValue(Keys::AnfId);
    // The working school year must be the one that starts in the financial year or the one before.
    if (ansId != anfId && ansId != anfId - 1) {
        auto desc = SqlQuery::scalar(m_db, QStringLiteral("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :iAnsId"),
                                     {{QStringLiteral("iAnsId"), ansId}});
        fw::showError(QStringLiteral("Impossibile procedere in quanto l'anno scolastico di lavoro %1\r\nnon rientra "
                                     "nell'esercizio finanziario %2.\r\n\r\nModificare l'anno scolastico o l'anno "
                                     "finanziario di lavoro.")
                          .arg(desc ? desc.value().toString() : QString(),
                               financialYearValue(m_db, anfId).toString()));
        // The same command as "Parametri": refused while a window is open, and followed by the
        // same refresh of the working context.
        xacParam->execute();
        return false;
    }
    return TdmEbsAtt::requireWindow(*xafMovimenti);
}

bool TdmEbcAtt::initAnfBeforeExecute()
{
    if (m_services && m_services->FindOpenWindow(xafMovimenti->caption)) {
        fw::showWarning(QStringLiteral("Impossibile procedere con le operazioni di inizio anno\r\nin quanto la finestra %1 è aperta.")
                            .arg(xafMovimenti->caption));
        return false;
    }
    if (!CheckContextKeys(Keys::SprIstId))
        return false;
    auto end = SqlQuery::scalar(m_db, QStringLiteral("SELECT dEnd FROM TSprIst WHERE iSprIstId = :iSprIstId"),
                                {{QStringLiteral("iSprIstId"), fw::TVeGlobalValuesManager::instance().intValue(Keys::SprIstId)}});
    if (end && end.value().isValid() && !end.value().isNull()) {
        fw::showWarning(QStringLiteral("Impossibile procedere in quanto il conto corrente è chiuso."));
        return false;
    }
    return TdmEbsAtt::requireWindow(*xafInitAnf);
}

void TdmEbcAtt::installPeopleHooks()
{
    if (m_readOnlyHook)
        return;
    m_readOnlyHook = true;
    auto kept = m_modAna->xafAnagrafiche->OnInitForm;
    m_modAna->xafAnagrafiche->OnInitForm = [kept](fw::TVeAttForm &l, QWidget *form) {
        if (kept)
            kept(l, form);
        // Pupils, parents and staff are the suite's: this program only reads them.
        if (auto *registry = qobject_cast<people::TfmAnaAnagrafiche *>(form))
            registry->setDetailsReadOnly(true);
    };
}

bool TdmEbcAtt::peopleBeforeExecute(fw::TVeAttForm &launcher)
{
    const PeopleSetup setup = setupOf(launcher.name);
    people::TdmModAnaAtt &ana = *m_modAna;
    ana.CategorieAmmesse = setup.allowed;
    ana.CategorieNascoste = setup.hidden;
    const int category = setup.category;
    const int flags = setup.flags;
    const QStringList frames = setup.frames;
    ana.OnRequestFrames = [category, flags, frames](int asked, int &outFlags, QStringList &pairs) {
        if (asked != category)
            return;
        outFlags |= flags;
        pairs << frames;
    };
    ana.FilterDialogSpecificsDef = setup.filterSpecifics;
    ana.xafAnagrafiche->caption = launcher.caption;
    ana.xafAnagrafiche->formClass = launcher.formClass;
    ana.xafAnagrafiche->imageIndex = launcher.imageIndex;
    if (launcher.name != QLatin1String("xafEda"))
        installPeopleHooks();
    // The registry's own launcher opens the window; this one never does.
    if (m_services) {
        if (QWidget *open = m_services->FindOpenWindow(launcher.caption)) {
            fw::TVeAttivazione::host().bringToFront(open);
            return false;
        }
    }
    ana.xafAnagrafiche->execute();
    return false;
}

QString TdmEbcAtt::reportTypeMessage(const QString &requiredType)
{
    return QStringLiteral("Il report selezionato è disponibile solo se\r\nil conto di lavoro è di tipo '%1'.").arg(requiredType);
}

bool TdmEbcAtt::checkReport(int reportId)
{
    QString required;
    if (reportId == 14003)
        required = AccountType::Postal;
    else if (reportId == 14010)
        required = AccountType::Cash;
    else
        return true;
    const QString type = accountType(m_db, fw::TVeGlobalValuesManager::instance().intValue(Keys::SprIstId));
    if (type == required)
        return true;
    fw::showWarning(reportTypeMessage(required.toLower()));
    return false;
}

bool TdmEbcAtt::runReleaseNotes()
{
    xasNotizie->enabled = true;
    const bool ok = xasNotizie->execute();
    xasNotizie->enabled = false;
    return ok;
}

} // namespace ccp::app
