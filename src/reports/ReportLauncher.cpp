#include "ReportLauncher.h"

#include "EbsMReport.h"
#include "ReportPreview.h"
#include "ReportStore.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ccp::reports {

namespace {

int global(const char *key)
{
    return fw::TVeGlobalValuesManager::instance().intValue(QString::fromLatin1(key));
}

// Items from the first two columns: value, text.
void fill(QComboBox *combo, QSqlDatabase db, const QString &sql, const QVariantMap &params)
{
    combo->clear();
    auto table = readTable(db, sql, params);
    if (!table) {
        fw::showError(table.error());
        return;
    }
    for (int r = 0; r < table.value().rowCount(); ++r)
        combo->addItem(table.value().value(r, 1).toString(), table.value().value(r, 0));
}

QString caption(int id)
{
    switch (id) {
    case 14001: return QStringLiteral("Selezione componenti di causali");
    case 14002: return QStringLiteral("Selezione causali");
    case 14004: return QStringLiteral("Selezione alunni");
    default: return QStringLiteral("Configurazione stampa");
    }
}

} // namespace

TfmRptChoices::TfmRptChoices(QSqlDatabase db, const ReportInfo &info, QWidget *parent)
    : QDialog(parent), m_db(std::move(db)), m_info(info)
{
    setWindowTitle(caption(info.id));
    auto *form = new QFormLayout;
    const QStringList &p = info.params;
    if (p.contains(QStringLiteral("Anno scolastico"))) {
        m_year = new QComboBox(this);
        fill(m_year, m_db, QStringLiteral("SELECT iAnsValore, sAnsAnnoDesc, iAnsId FROM VAns_AnniScolast ORDER BY iAnsValore DESC"), {});
        const int wanted = info.id == 14002 ? global("EBSP_CauAnsId") : global("VEUP_AnsId");
        auto id = SqlQuery::scalar(m_db, QStringLiteral("SELECT iAnsValore FROM TAns_AnniScolast WHERE iAnsId = :id"),
                                   {{QStringLiteral("id"), wanted}});
        if (id && id.value().isValid())
            m_year->setCurrentIndex(m_year->findData(id.value().toInt()));
        form->addRow(QStringLiteral("&Anno scolastico"), m_year);
    }
    if (p.contains(QStringLiteral("Causali di entrata"))) {
        m_income = new QCheckBox(QStringLiteral("Causali di &entrata"), this);
        m_income->setChecked(true);
        form->addRow(QString(), m_income);
    }
    if (p.contains(QStringLiteral("Causale"))) {
        m_causale = new QComboBox(this);
        m_causale->setMinimumWidth(420);
        form->addRow(QStringLiteral("&Causale"), m_causale);
        m_class = new QComboBox(this);
        form->addRow(QStringLiteral("C&lasse"), m_class);
        m_account = new QLineEdit(this);
        auto acc = SqlQuery::scalar(m_db, QStringLiteral("SELECT sSprIstNumCc FROM TSprIst WHERE iSprIstId = :id"),
                                    {{QStringLiteral("id"), global("EBCP_SprIstId")}});
        m_account->setText(acc ? acc.value().toString() : QString());
        form->addRow(QStringLiteral("N&umero conto"), m_account);
        m_new = new QCheckBox(QStringLiteral("Alunni &nuovi iscritti"), this);
        m_attending = new QCheckBox(QStringLiteral("Solo &frequentanti"), this);
        m_barCodes = new QCheckBox(QStringLiteral("Stampa codici a &barre"), this);
        m_barCodes->setVisible(global("EBSP_PrintBarCode") != 0);
        m_barCodes->setChecked(global("EBSP_PrintBarCode") != 0);
        form->addRow(QString(), m_new);
        form->addRow(QString(), m_attending);
        if (global("EBSP_PrintBarCode") != 0)
            form->addRow(QString(), m_barCodes);
        connect(m_new, &QCheckBox::toggled, m_class, &QWidget::setDisabled);
        loadCausali();
        loadClasses();
        if (m_year) {
            connect(m_year, &QComboBox::currentIndexChanged, this, [this] {
                loadCausali();
                loadClasses();
            });
        }
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TfmRptChoices::loadCausali()
{
    const int year = m_year ? m_year->currentData().toInt() : 0;
    fill(m_causale, m_db, QStringLiteral(
        "SELECT Cau.iCauId, Cau.sCauLDesc || ' (A.S.: ' || Ans.iAnsValore || '/' || (Ans.iAnsValore + 1) || ')'"
        " FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
        " WHERE Cau.lCauTipo = 0 AND Cau.DDELETE IS NULL AND Ans.iAnsValore IN (:y, :y + 1)"
        " AND (Cau.lCauRette = 1 OR %1 = 1) ORDER BY Ans.iAnsValore, Cau.sCauLDesc").arg(TdmEbsReport::AllCausali ? 1 : 0),
        {{QStringLiteral("y"), year}});
    m_causale->insertItem(0, QString(), QVariant());
    m_causale->setCurrentIndex(0);
}

void TfmRptChoices::loadClasses()
{
    const int year = m_year ? m_year->currentData().toInt() : 0;
    fill(m_class, m_db, QStringLiteral(
        "SELECT DISTINCT VCls.sClsSDesc, VCls.sClsSDesc FROM VCls_Classi VCls WHERE VCls.iAnsValore = :y ORDER BY 1"),
        {{QStringLiteral("y"), year}});
    m_class->insertItem(0, QStringLiteral("Tutte"), QStringLiteral("Tutte"));
    m_class->setCurrentIndex(0);
}

QMap<QString, QString> TfmRptChoices::choices() const
{
    QMap<QString, QString> out;
    auto yesNo = [](bool v) { return v ? QStringLiteral("sì") : QStringLiteral("no"); };
    if (m_year)
        out.insert(QStringLiteral("Anno scolastico"), QString::number(m_year->currentData().toInt()));
    if (m_income)
        out.insert(QStringLiteral("Causali di entrata"), yesNo(m_income->isChecked()));
    if (m_causale) {
        out.insert(QStringLiteral("Causale"), m_causale->currentData().isValid() ? m_causale->currentData().toString() : QString());
        out.insert(QStringLiteral("Classe"), m_class->currentData().toString());
        out.insert(QStringLiteral("Numero conto"), m_account->text());
        out.insert(QStringLiteral("Alunni nuovi iscritti"), yesNo(m_new->isChecked()));
        out.insert(QStringLiteral("Solo frequentanti"), yesNo(m_attending->isChecked()));
        out.insert(QStringLiteral("Stampa codici a barre"), yesNo(!m_barCodes->isHidden() && m_barCodes->isChecked()));
    }
    return out;
}

void TfmRptChoices::accept()
{
    if (m_causale && !m_causale->currentData().isValid()) {
        fw::VeMessageDlg(QStringLiteral("Nessuna causale selezionata: impossibile procedere."), fw::MsgType::Warning);
        m_causale->setFocus();
        return;
    }
    QDialog::accept();
}

bool runReport(QSqlDatabase db, int id, const ReportHost &host, QWidget *parent)
{
    const ReportInfo *info = findReport(id);
    if (!info)
        return false;
    if (host.check && !host.check(id))
        return false;
    TfmRptChoices dialog(db, *info, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    auto prepared = prepareReport(db, id, dialog.choices());
    if (!prepared) {
        fw::showError(prepared.error());
        return false;
    }
    auto tpl = loadTemplate(db, id);
    if (!tpl) {
        fw::showError(tpl.error());
        return false;
    }
    if (!host.logoFile.isEmpty()) {
        if (auto *sql = dynamic_cast<SqlDataModule *>(prepared.value().data.get()))
            sql->setImage(QStringLiteral("logo"), QImage(host.logoFile));
    }
    auto *preview = new TfmReportPreview;
    preview->setAttribute(Qt::WA_DeleteOnClose);
    if (host.show)
        host.show(preview);
    else
        preview->show();
    // A page wants the whole room of the window it lands in.
    if (preview->parentWidget())
        preview->parentWidget()->showMaximized();
    PdfInfo pdf = prepared.value().info;
    if (pdf.author.isEmpty())
        pdf.author = QStringLiteral("Segreteria");
    if (!preview->run(tpl.value(), std::move(prepared.value().data), pdf)) {
        preview->close();
        return false;
    }
    return true;
}

} // namespace ccp::reports
