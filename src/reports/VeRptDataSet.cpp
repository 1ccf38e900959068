#include "VeRptDataSet.h"

#include "EbsFRptSelAnnoScol.h"
#include "EbsFRptSelDate.h"
#include "EbsMReport.h"

namespace ccp::reports {

namespace {

using Factory = std::function<QDialog *(QSqlDatabase, QWidget *)>;

template<typename T>
Factory make()
{
    return [](QSqlDatabase db, QWidget *parent) -> QDialog * { return new T(std::move(db), parent); };
}

const QHash<QString, Factory> &factories()
{
    static const QHash<QString, Factory> all = {
        {QStringLiteral("TfmVeMultiSelect"), make<TfmVeMultiSelect>()},
        {QStringLiteral("TfmEbsRptSelDate"), make<TfmEbsRptSelDate>()},
        {QStringLiteral("TfmEbsRptSelDateList"), make<TfmEbsRptSelDateList>()},
        {QStringLiteral("TfmEbcRptSelDateList"), make<TfmEbcRptSelDateList>()},
        {QStringLiteral("TfmEbsRptSelDateGrid"), make<TfmEbsRptSelDateGrid>()},
        {QStringLiteral("TfmEbcRptSelDateGrid"), make<TfmEbcRptSelDateGrid>()},
        {QStringLiteral("TfmEbsRptSelDateCheck"), make<TfmEbsRptSelDateCheck>()},
        {QStringLiteral("TfmEbcSelRptClsCau"), make<TfmEbcSelRptClsCau>()},
        {QStringLiteral("TfmVeuSelRptAnnoScol"), make<TfmVeuSelRptAnnoScol>()},
        {QStringLiteral("TfmEbsSelRptAnnoScolCau"), make<TfmEbsSelRptAnnoScolCau>()},
        {QStringLiteral("TfmEbsRptSelAluCau"),
         [](QSqlDatabase db, QWidget *parent) -> QDialog * {
             auto *d = new TfmEbsRptSelAluCau(std::move(db), TdmEbsReport::AllCausali, parent);
             d->setOptions(TdmEbsReport::ShowNewEnrolled, TdmEbsReport::ShowErario);
             return d;
         }},
        {QStringLiteral("TfmEbcRptSelData"), make<TfmEbcRptSelData>()},
        {QStringLiteral("TfmEbcElencoXClassi"), make<TfmEbcElencoXClassi>()},
        {QStringLiteral("TfmEbcRptSelCcaAlu"), make<TfmEbcRptSelCcaAlu>()},
    };
    return all;
}

} // namespace

std::unique_ptr<QDialog> createSelectForm(const QString &className, QSqlDatabase db, QWidget *parent)
{
    const auto it = factories().constFind(className);
    if (it == factories().constEnd())
        return nullptr;
    return std::unique_ptr<QDialog>(it.value()(std::move(db), parent));
}

QStringList selectFormNames()
{
    QStringList names = factories().keys();
    names.sort();
    return names;
}

Result<bool> runSelectForm(TVefrDBDataSet &ds, QSqlDatabase db, QWidget *parent, const ShowSelectForm &show)
{
    if (!ds.ShowSelectForm || ds.SelectForm.isEmpty())
        return true;
    auto form = createSelectForm(ds.SelectForm, std::move(db), parent);
    if (!form)
        return Result<bool>::failure(QStringLiteral("La finestra di selezione \"%1\" non esiste.").arg(ds.SelectForm));
    if (ds.OnBeforeSelectForm)
        ds.OnBeforeSelectForm(ds, form.get());
    const int result = show ? show(*form) : form->exec();
    if (result != QDialog::Accepted)
        return false;
    if (ds.DoAfterSelect && ds.OnAfterSelectForm)
        ds.OnAfterSelectForm(ds, form.get());
    return true;
}

} // namespace ccp::reports
