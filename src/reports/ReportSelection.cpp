#include "ReportSelection.h"

#include "EbsFRptSelAnnoScol.h"
#include "EbsMReport.h"
#include "TVeGlobalValues.h"

#include <QCheckBox>

namespace ccp::reports {

namespace {

QString yesNo(bool v)
{
    return v ? QStringLiteral("sì") : QStringLiteral("no");
}

// The year and the ticked rows, which every dialog on a school year hands over.
void keepYearAndRows(ReportSelection &out, const TVefrDBDataSet &set, const TfmVeuSelRptAnnoScol &f)
{
    out.choices.insert(QStringLiteral("Anno scolastico"), f.yearText().section(u'/', 0, 0).trimmed());
    out.dataSet = set.name;
    out.filter = f.filter();
}

// People of another category print with the columns the notices read left empty.
QString otherPeopleNotices(const ReportFilter &filter)
{
    return QStringLiteral(
        "SELECT P.iAnaId, P.sAnaCognome, P.sAnaNome, P.sAnaCagCode, CAST(P.iSitId AS INTEGER) iSitId,"
        " CAST(NULL AS VARCHAR(20)) sClsSDesc, CAST(NULL AS VARCHAR(60)) sClsDesc, CAST(NULL AS DATE) dAnaNascita,"
        " CAST(NULL AS VARCHAR(60)) sLuogoNascita, CAST(NULL AS VARCHAR(4)) sProNascita"
        " FROM (%1) P WHERE (1 = 1)%2 ORDER BY P.sAnaCognome, P.sAnaNome")
        .arg(TfmEbsRptSelAluCau::OtherPeopleSql,
             filter.condition.isEmpty() ? QString() : QStringLiteral(" AND (%1)").arg(filter.condition));
}

} // namespace

TVefrDBDataSet reportDataSet(int id, ReportSelection &out)
{
    TVefrDBDataSet ds;
    ds.ShowSelectForm = true;
    switch (id) {
    case 14001:
        ds.name = QStringLiteral("frdCompCau");
        ds.SelectForm = QStringLiteral("TfmVeuSelRptAnnoScol");
        ds.OnBeforeSelectForm = [](TVefrDBDataSet &, QDialog *d) {
            auto *f = static_cast<TfmVeuSelRptAnnoScol *>(d);
            f->setWindowTitle(QStringLiteral("Selezione componenti di causali"));
            QString sql = TdmEbsReport::CompCauSql;
            f->setSelectText(sql.replace(QStringLiteral("%d"), QStringLiteral("0")));
            f->setColumns({{QStringLiteral("sCcaSDesc"), QStringLiteral("Codice")}, {QStringLiteral("sCcaLDesc"), QStringLiteral("Descrizione")}});
            f->setKeyField(QStringLiteral("iCcaId"), QStringLiteral("Cca.iCcaId"));
            f->setAnsId(contextInt("VEUP_AnsId"));
        };
        ds.OnAfterSelectForm = [&out](TVefrDBDataSet &set, QDialog *d) {
            keepYearAndRows(out, set, *static_cast<TfmVeuSelRptAnnoScol *>(d));
        };
        break;
    case 14002:
        ds.name = QStringLiteral("frdCau");
        ds.SelectForm = QStringLiteral("TfmEbsSelRptAnnoScolCau");
        ds.OnBeforeSelectForm = [](TVefrDBDataSet &, QDialog *d) {
            auto *f = static_cast<TfmEbsSelRptAnnoScolCau *>(d);
            f->setWindowTitle(QStringLiteral("Selezione causali"));
            f->setSelectText(TdmEbsReport::CauSql);
            f->setColumns({{QStringLiteral("sCauSDesc"), QStringLiteral("Codice")}, {QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione")}});
            f->setKeyField(QStringLiteral("iCauId"), QStringLiteral("Cau.iCauId"));
        };
        ds.OnAfterSelectForm = [&out](TVefrDBDataSet &set, QDialog *d) {
            auto *f = static_cast<TfmEbsSelRptAnnoScolCau *>(d);
            keepYearAndRows(out, set, *f);
            out.choices.insert(QStringLiteral("Causali di entrata"), yesNo(f->lCauTipo() == 0));
        };
        break;
    case 14004:
        ds.name = QStringLiteral("frdAlunni");
        ds.SelectForm = QStringLiteral("TfmEbsRptSelAluCau");
        ds.OnBeforeSelectForm = [](TVefrDBDataSet &, QDialog *d) {
            d->setWindowTitle(QStringLiteral("Selezione alunni"));
        };
        ds.OnAfterSelectForm = [&out](TVefrDBDataSet &set, QDialog *d) {
            auto *f = static_cast<TfmEbsRptSelAluCau *>(d);
            const bool pupils = f->category() == TfmEbsRptSelAluCau::PupilsCategory;
            keepYearAndRows(out, set, *f);
            auto &c = out.choices;
            c.insert(QStringLiteral("Causale"), QString::number(f->causaleId()));
            c.insert(QStringLiteral("Istituto"), QString::number(f->dwgId()));
            c.insert(QStringLiteral("Numero conto"), f->accountNumber());
            // A person of another category has no situation whose bar code the panel could read.
            c.insert(QStringLiteral("Stampa codici a barre"), yesNo(pupils && f->barCodes()));
            if (pupils) {
                c.insert(QStringLiteral("Classe"), f->ckNewIscr()->isChecked() ? QString() : f->clsSDesc());
                c.insert(QStringLiteral("Alunni nuovi iscritti"), yesNo(f->ckNewIscr()->isChecked()));
                c.insert(QStringLiteral("Solo frequentanti"), yesNo(f->ckFreq()->isChecked()));
            } else {
                const ReportFilter people = f->filter().condition.isEmpty()
                    ? ReportFilter{}
                    : keyFilter(QStringLiteral("P.iAnaId"), f->rows()->tickedValues(QStringLiteral("iAnaId")));
                out.filter = {};
                out.replacementSql = otherPeopleNotices(people);
                out.replacementParams = people.params;
                out.replacementParams.insert(QStringLiteral("iCagId"), f->category());
            }
        };
        break;
    default:
        ds.ShowSelectForm = false;
        break;
    }
    return ds;
}

void applySelection(DataModule &data, const ReportSelection &s)
{
    auto *sql = dynamic_cast<SqlDataModule *>(&data);
    if (!sql || s.dataSet.isEmpty())
        return;
    if (!s.replacementSql.isEmpty()) {
        sql->setQuery(s.dataSet, s.replacementSql);
        for (auto it = s.replacementParams.begin(); it != s.replacementParams.end(); ++it)
            sql->setParam(s.dataSet, it.key(), it.value());
        return;
    }
    if (s.filter.condition.isEmpty())
        return;
    sql->setQuery(s.dataSet, withFilter(sql->sql(s.dataSet), s.filter));
    for (auto it = s.filter.params.begin(); it != s.filter.params.end(); ++it)
        sql->setParam(s.dataSet, it.key(), it.value());
}

Result<std::optional<PreparedReport>> selectAndPrepare(QSqlDatabase db, int id, QWidget *parent, const ShowSelectForm &show)
{
    ReportSelection selection;
    TVefrDBDataSet ds = reportDataSet(id, selection);
    auto chosen = runSelectForm(ds, db, parent, show);
    if (!chosen)
        return chosen.status();
    if (!chosen.value())
        return std::optional<PreparedReport>();
    auto prepared = prepareReport(db, id, selection.choices);
    if (!prepared)
        return prepared.status();
    applySelection(*prepared.value().data, selection);
    return std::optional<PreparedReport>(std::move(prepared.value()));
}

} // namespace ccp::reports
