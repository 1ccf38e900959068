#include "AnaUPeople.h"

#include "AbiUNames.h"
#include "SqlQuery.h"

#include <QHash>

namespace ccp::people {

QString categoryTitle(int category)
{
    switch (category) {
    case Category::Pupils: return QStringLiteral("Alunni");
    case Category::Parents: return QStringLiteral("Genitori/tutori");
    case Category::Staff: return QStringLiteral("Personale");
    case Category::Beneficiaries: return QStringLiteral("Beneficiari");
    case Category::AdultLearners: return QStringLiteral("Corsisti adulti");
    default: return QStringLiteral("Anagrafiche");
    }
}

QString peopleSelect(int category, const QList<int> &hidden)
{
    QString sql = QStringLiteral(
        "SELECT Ana.iAnaId, Ana.sAnaCognome, Ana.sAnaNome, Ana.dAnaNascita, Ana.sAnaCodFiscale, AnaCag.sAnaCagCode"
        " FROM TAna_Anagrafiche Ana"
        " INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId AND AnaCag.iCagId = %1 AND AnaCag.DDELETE IS NULL)"
        " WHERE Ana.DDELETE IS NULL AND ##WHERE##").arg(category);
    QStringList ids;
    for (int h : hidden)
        if (h != category)
            ids << QString::number(h);
    if (!ids.isEmpty())
        sql += QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM TAnaCag Hid WHERE Hid.iAnaId = Ana.iAnaId"
                              " AND Hid.DDELETE IS NULL AND Hid.iCagId IN (%1))").arg(ids.join(u','));
    return sql;
}

PeopleSearch searchByName(const QString &text)
{
    const QString t = text.simplified();
    if (t.isEmpty())
        return {QStringLiteral("(1=1)"), {}};
    QString escaped = t.toUpper();
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
    // "ROSSI MA" finds Rossi Mario: surname and name are searched as one text, both ways round.
    QString sql = QStringLiteral("(UPPER(Ana.sAnaCognome || ' ' || Ana.sAnaNome) LIKE :VESEARCH ESCAPE '\\'"
                                 " OR UPPER(Ana.sAnaNome || ' ' || Ana.sAnaCognome) LIKE :VESEARCH ESCAPE '\\'"
                                 " OR UPPER(Ana.sAnaCodFiscale) LIKE :VESEARCH ESCAPE '\\'");
    QVariantMap params{{QStringLiteral("VESEARCH"), QString(u'%' + escaped + u'%')}};
    // "D'Amico", "DAMICO" and "d amico" are one name: compared by their letters only, on the
    // registry's key and (for rows written without it) on the stored name itself.
    if (const QString key = names::searchKey(t); !key.isEmpty()) {
        sql += QStringLiteral(" OR Ana.sAnaCognomeNomeIdx LIKE :VEKEY"
                              " OR UPPER(REPLACE(REPLACE(Ana.sAnaCognome || Ana.sAnaNome, '''', ''), ' ', '')) LIKE :VEKEY");
        params.insert(QStringLiteral("VEKEY"), QString(u'%' + key + u'%'));
    }
    return {sql + u')', params};
}

Result<std::optional<PersonDetail>> loadPerson(QSqlDatabase db, int anaId, int category)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT Ana.iAnaId, Ana.sAnaCognome, Ana.sAnaNome, Ana.sAnaCodFiscale, Ana.dAnaNascita, Sex.sSexLDesc,"
            " Place.SCOMDESC, Place.SPROSIGLA, Place.SSTALDESC, Place.ISTAID,"
            " (SELECT FIRST 1 AnaCag.sAnaCagCode FROM TAnaCag AnaCag WHERE AnaCag.iAnaId = Ana.iAnaId"
            "   AND AnaCag.iCagId = :iCagId AND AnaCag.DDELETE IS NULL) AS sAnaCagCode,"
            " (SELECT FIRST 1 Dct.sDctLDesc FROM TAnaCag AnaCag"
            "   INNER JOIN TAnaPer_Personale Per ON (Per.iAnaCagId = AnaCag.iAnaCagId AND Per.DDELETE IS NULL)"
            "   INNER JOIN TDct_DocenteAta Dct ON (Dct.iDctId = Per.iDctId)"
            "   WHERE AnaCag.iAnaId = Ana.iAnaId ORDER BY Per.dStart DESC) AS sDctLDesc"
            " FROM TAna_Anagrafiche Ana"
            " LEFT OUTER JOIN TSex_Sesso Sex ON (Sex.iSexId = Ana.iSexId)"
            " LEFT OUTER JOIN VSRPC Place ON (Place.ISRPCID = Ana.iSrpcId)"
            " WHERE Ana.iAnaId = :iAnaId"));
        !s)
        return s;
    q.bind(QStringLiteral("iAnaId"), anaId).bind(QStringLiteral("iCagId"), category);
    if (auto s = q.exec(); !s)
        return s;
    if (!q.next())
        return std::optional<PersonDetail>();
    PersonDetail p;
    p.anaId = q.value(0).toInt();
    p.surname = q.value(1).toString();
    p.name = q.value(2).toString();
    p.fiscalCode = q.value(3).toString();
    p.birthDate = q.value(4).toDate();
    p.sex = q.value(5).toString();
    const QString town = q.value(6).toString();
    const QString province = q.value(7).toString();
    if (!town.isEmpty())
        p.birthPlace = province.isEmpty() || province == QStringLiteral("EE") ? town : QStringLiteral("%1 (%2)").arg(town, province);
    else
        p.birthPlace = q.value(8).toString();
    p.code = q.value(10).toString();
    p.role = q.value(11).toString();
    return std::optional<PersonDetail>(p);
}

std::optional<DetailList> detailList(const QString &frameClass)
{
    static const QHash<QString, DetailList> lists = {
        // Phone numbers and e-mail addresses are kept on the person's beneficiary row.
        {QStringLiteral("TFRANATEL"),
         {QStringLiteral("SELECT Teb.iTebId, Teb.sTebTelefono, Teb.sTebDesc FROM TTEB_TELEFONO Teb"
                         " INNER JOIN TBEN_BENEFICIARI Ben ON (Ben.iBenId = Teb.iBenId)"
                         " WHERE Ben.iAnaId = :iAnaId AND Teb.DDELETE IS NULL AND Ben.DDELETE IS NULL"),
          {QStringLiteral("sTebTelefono"), QStringLiteral("sTebDesc")},
          {QStringLiteral("Telefono"), QStringLiteral("Descrizione")}}},
        {QStringLiteral("TFRANAEMAIL"),
         {QStringLiteral("SELECT Emb.iEmbId, Emb.sEmbEmail FROM TEMB_EMAIL Emb"
                         " INNER JOIN TBEN_BENEFICIARI Ben ON (Ben.iBenId = Emb.iBenId)"
                         " WHERE Ben.iAnaId = :iAnaId AND Emb.DDELETE IS NULL AND Ben.DDELETE IS NULL"),
          {QStringLiteral("sEmbEmail")},
          {QStringLiteral("E-Mail")}}},
        {QStringLiteral("TFRANAABT"),
         {QStringLiteral("SELECT AnaAbt.iAnaAbtId, Abt.sAbtIndirizzo, Cap.SCAPVALUE, Cap.SCOMDESC, Cap.SPROSIGLA,"
                         " (SELECT CAST(LIST(Loc.sLocLDesc, ', ') AS VARCHAR(200)) FROM TAbtLoc AbtLoc"
                         "   INNER JOIN TLoc_Locazioni Loc ON (Loc.iLocId = AbtLoc.iLocId)"
                         "   WHERE AbtLoc.iAbtId = Abt.iAbtId AND AbtLoc.DDELETE IS NULL) AS sLocDesc"
                         " FROM TAnaAbt AnaAbt INNER JOIN TAbt_Abitaz Abt ON (Abt.iAbtId = AnaAbt.iAbtId)"
                         " LEFT OUTER JOIN VCOMCAP Cap ON (Cap.ICOMCAPID = Abt.iComCapId)"
                         " WHERE AnaAbt.iAnaId = :iAnaId AND AnaAbt.DDELETE IS NULL AND Abt.DDELETE IS NULL"),
          {QStringLiteral("sAbtIndirizzo"), QStringLiteral("SCAPVALUE"), QStringLiteral("SCOMDESC"),
           QStringLiteral("SPROSIGLA"), QStringLiteral("sLocDesc")},
          {QStringLiteral("Indirizzo"), QStringLiteral("CAP"), QStringLiteral("Comune"), QStringLiteral("Prov."),
           QStringLiteral("Tipo")}}},
        {QStringLiteral("TFRANAGPT"),
         {QStringLiteral("SELECT AnaGpt.iAnaGptId, Par.sAnaCognome, Par.sAnaNome, Gpt.sGptLDesc, Par.sAnaCodFiscale"
                         " FROM TAnaGpt AnaGpt INNER JOIN TAna_Anagrafiche Par ON (Par.iAnaId = AnaGpt.iAnaId_P)"
                         " INNER JOIN TGpt_GradoParent Gpt ON (Gpt.iGptId = AnaGpt.iGptId)"
                         " WHERE AnaGpt.iAnaId = :iAnaId AND AnaGpt.DDELETE IS NULL"),
          {QStringLiteral("sAnaCognome"), QStringLiteral("sAnaNome"), QStringLiteral("sGptLDesc"),
           QStringLiteral("sAnaCodFiscale")},
          {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Parentela"),
           QStringLiteral("Codice fiscale")}}},
    };
    const auto it = lists.constFind(frameClass.toUpper());
    if (it == lists.constEnd())
        return std::nullopt;
    return it.value();
}

} // namespace ccp::people
