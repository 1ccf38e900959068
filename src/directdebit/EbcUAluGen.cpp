#include "EbcUAluGen.h"

#include "AbiUIBAN.h"
#include "EbcUSepaSdd.h"
#include "SqlQuery.h"

namespace ccp::directdebit {

namespace AcbSql {

// The pupil's class of a school year: the first situation whose class starts in that year.
#define PUPIL_CLASS(column, year)                                                                 \
    " (SELECT FIRST 1 Cls." column " FROM TSit_Situazioni Sit INNER JOIN TClsPst ClsPst"          \
    " ON (ClsPst.iClsPstId = Sit.iClsPstId) INNER JOIN VCls_Classi Cls ON (Cls.iClsId = ClsPst.iClsId)" \
    " WHERE Sit.iAnaId = Acb.iAnaId AND Sit.iSitOrdine = 1 AND Cls.iAnsId = " year ")"

#define ALUGEN_COLUMNS                                                                            \
    " Acb.iAcbId, Acb.iMpgId, Acb.iAnaId_Gen, Acb.sAcbIBan, Acb.sAcbIntestatario, Acb.iAnaId,"    \
    " Acb.iAnaId_Gen iAnaId_p, Acb.sAcbMandato, Acb.dAcbDataFirma,"                               \
    " (SELECT FIRST 1 AnaCag.sAnaCagCode FROM TAnaCag AnaCag WHERE AnaCag.iAnaId = Acb.iAnaId"   \
    " AND AnaCag.iCagId = 1 AND AnaCag.DDELETE IS NULL) sAnaCagCode,"                             \
    " Gen.sAnaCognome || ' ' || Gen.sAnaNome sCognomeNomeGen,"                                    \
    " Ana.sAnaCognome || ' ' || Ana.sAnaNome sCognomeNomeAlu, Mpg.sMpgDescL"

#define ALUGEN_FROM                                                                               \
    " FROM TAcb_AluCoordBan Acb INNER JOIN TAna_Anagrafiche Ana ON (Ana.iAnaId = Acb.iAnaId)"     \
    " LEFT OUTER JOIN TAna_Anagrafiche Gen ON (Gen.iAnaId = Acb.iAnaId_Gen)"                      \
    " LEFT OUTER JOIN TMpg_ModPagam Mpg ON (Mpg.iMpgId = Acb.iMpgId)"

const QString AluGenSelect = QStringLiteral(
    "SELECT" ALUGEN_COLUMNS "," PUPIL_CLASS("sClsDesc", ":iAnsId") " sClsDesc" ALUGEN_FROM
    " ORDER BY Acb.sAcbIntestatario");
const QString AluGenInsert = QStringLiteral(
    " INSERT INTO TACB_ALUCOORDBAN                                                    (IACBID, IMPGID, IANAID,"
    " IANAID_GEN, SACBIBAN, SACBINTESTATARIO, SACBMANDATO, DACBDATAFIRMA) VALUES (:VEGENID, :IMPGID, :IANAID,"
    " :IANAID_P, :SACBIBAN, :SACBINTESTATARIO, :SACBMANDATO, :DACBDATAFIRMA)");
const QString AluGenUpdate = QStringLiteral(
    " UPDATE TACB_ALUCOORDBAN SET IMPGID = :IMPGID, IANAID = :IANAID, IANAID_GEN = :IANAID_P,"
    " SACBIBAN = :SACBIBAN, SACBINTESTATARIO = :SACBINTESTATARIO, SACBMANDATO = :SACBMANDATO,"
    " DACBDATAFIRMA = :DACBDATAFIRMA WHERE IACBID = :VECURRID");
const QString AluGenDelete = QStringLiteral(" DELETE FROM TAcb_AluCoordBan WHERE iAcbId = :VECURRID");

const QString AcbCauSelect = QStringLiteral(
    "SELECT AcbCau.iAcbCauId, AcbCau.iAcbId, AcbCau.iCauId, Cau.sCauLDesc, Cau.sCauSDesc, AcbCau.bAcbCauNote"
    " FROM TAcbCau AcbCau INNER JOIN TCau_Causali Cau ON (Cau.iCauId = AcbCau.iCauId)"
    " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
    " WHERE (AcbCau.iAcbId = :iAcbId) AND (Ans.iAnsId = :iAnsId)");
const QString AcbCauInsert = QStringLiteral(
    " INSERT INTO TAcbCau (iAcbCauId, iAcbId, iCauId, bAcbCauNote)  VALUES (:VEGENID, :IACBID, :ICAUID,"
    " :bAcbCauNote)            ");
const QString AcbCauComponents = QStringLiteral(" EXECUTE PROCEDURE PEbc_AcbCauCca(:iAcbCauId)");
const QString AcbCauUpdate = QStringLiteral(
    " UPDATE TAcbCau SET iAcbId = :IACBID, iCauId = :ICAUID, bAcbCauNote = :bAcbCauNote"
    " WHERE iAcbCauId = :VECURRID");
const QStringList AcbCauDelete = {
    QStringLiteral(" DELETE FROM TCac_CcaAcbCau WHERE iAcbCauId = :VECURRID"),
    QStringLiteral(" DELETE FROM TAcbCau WHERE iAcbCauId = :VECURRID"),
};

const QString CacSelect = QStringLiteral(
    "SELECT Cac.iCacId, Cac.iAcbCauId, Cac.iCcaId, Cca.sCcaLDesc, Cca.sCcaSDesc, Cac.fCacImporto,"
    " Cac.dCacDataScadenza, Cac.lCacPagato FROM TCac_CcaAcbCau Cac"
    " INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = Cac.iCcaId) WHERE Cac.iAcbCauId = :iAcbCauId"
    " ORDER BY Cac.dCacDataScadenza, Cac.iCacId");
const QString CacUpdate = QStringLiteral(
    " UPDATE TCac_CcaAcbCau SET                  fCacImporto = :fCacImporto,              dCacDataScadenza ="
    " :dCacDataScadenza,    lCacPagato = :lCacPagato               WHERE iCacId = :VECURRID                ");

QString pupilSearch(int ansId)
{
    return QStringLiteral(
               " SELECT TAna.iAnaId, AnaCag.sAnaCagCode, TAna.sAnaCognome, TAna.sAnaNome, Cls.sClsDesc,"
               " TAna.sAnaCognome || ' ' || TAna.sAnaNome sCognomeNome FROM TAna_Anagrafiche TAna"
               " INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = TAna.iAnaId AND AnaCag.iCagId = 1"
               " AND AnaCag.DDELETE IS NULL)"
               " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = TAna.iAnaId AND Sit.iSitOrdine = 1)"
               " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Sit.dStart)"
               " LEFT OUTER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
               " LEFT OUTER JOIN VCls_Classi Cls ON (Cls.iClsId = ClsPst.iClsId)"
               " WHERE ##WHERE## AND (Ans.iAnsId = %1) AND (TAna.DDELETE IS NULL)"
               " ORDER BY Cls.sClsDesc, TAna.sAnaCognome, TAna.sAnaNome")
        .arg(ansId);
}

const QString ParentSearch = QStringLiteral(
    " SELECT TAnaGen.iAnaId, TAnaGen.sAnaCognome, TAnaGen.sAnaNome,"
    " TAnaGen.sAnaCognome || ' ' || TAnaGen.sAnaNome sCognomeNomeGen, Gpt.sGptLDesc"
    " FROM TAnaGpt AnaGpt INNER JOIN TAna_Anagrafiche TAnaGen ON (TAnaGen.iAnaId = AnaGpt.iAnaId_P)"
    " LEFT OUTER JOIN TGpt_GradoParent Gpt ON (Gpt.iGptId = AnaGpt.iGptId)"
    " WHERE ##WHERE## AND (AnaGpt.iAnaId = :iAnaId) AND (AnaGpt.DDELETE IS NULL) AND (TAnaGen.DDELETE IS NULL)");

const QString MethodSearch = QStringLiteral(
    " SELECT TMpg.iMpgId, TMpg.sMpgDescS, TMpg.sMpgDescL FROM TMpg_ModPagam TMpg"
    " WHERE ##WHERE## AND (TMpg.DDELETE IS NULL)");

QString causaleSearch(int cauAnsId, int dwgId)
{
    // Collections only; a causale of another institute is not offered.
    QString sql = QStringLiteral(
                      " SELECT TCau.iCauId, TCau.sCauSDesc, TCau.sCauLDesc FROM TCau_Causali TCau"
                      " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = TCau.dStart)"
                      " WHERE ##WHERE## AND (Ans.iAnsId = %1) AND (TCau.lCauTipo = 0)")
                      .arg(cauAnsId);
    if (dwgId != 0)
        sql += QStringLiteral(" AND (TCau.iDwgId IS NULL OR TCau.iDwgId = %1)").arg(dwgId);
    return sql;
}

const QString CausaleHeld = QStringLiteral(
    " SELECT COUNT(*) FROM TAcbCau WHERE iAcbId = :iAcbId AND iCauId = :iCauId AND iAcbCauId <> :iAcbCauId");

QString selectionSelect(int ansId)
{
    return QStringLiteral(
               "SELECT * FROM (SELECT" ALUGEN_COLUMNS ", Ana.sAnaCognome, Ana.sAnaNome, Cls.sClsDesc,"
               " Cls.sClsSDesc, Cls.iAcsId, Cls.iSezId, Cls.iIndId, Cls.iDwgSedId,"
               " (SELECT LIST(Cau.sCauSDesc || ' ' || Cau.sCauLDesc, '; ') FROM TAcbCau AcbCau"
               " INNER JOIN TCau_Causali Cau ON (Cau.iCauId = AcbCau.iCauId) WHERE AcbCau.iAcbId = Acb.iAcbId"
               " AND Cau.dStart = Ans.dAnsVeltoInizio) sCausali" ALUGEN_FROM
               " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = Acb.iAnaId AND Sit.iSitOrdine = 1)"
               " INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Sit.dStart)"
               " LEFT OUTER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
               " LEFT OUTER JOIN VCls_Classi Cls ON (Cls.iClsId = ClsPst.iClsId)"
               " WHERE Ans.iAnsId = %1) Sel WHERE (1 = 1) /*AND VERPTFILTER*/")
        .arg(ansId);
}

const QString MandateHeld = QStringLiteral(
    " SELECT FIRST 1 Ana.sAnaCognome || ' ' || Ana.sAnaNome FROM TAcb_AluCoordBan Acb"
    " INNER JOIN TAna_Anagrafiche Ana ON (Ana.iAnaId = Acb.iAnaId)"
    " WHERE Acb.sAcbMandato = :sMandato AND Acb.iAcbId <> :iAcbId");

const QString XmlDocument = QStringLiteral(
    " SELECT Xar.bYXarXmlFile FROM TYXar_XmlArchivio Xar INNER JOIN TYXls_XmlLista Xls"
    " ON (Xls.iYXlsId = Xar.iYXlsId) WHERE (Xls.sYXlsCodice = :sLista) AND (Xar.sYXarCodice = :sCodice)"
    " AND (Xar.DDELETE IS NULL) ORDER BY Xar.iYXarId");

} // namespace AcbSql

QString AcbText::xmlNotFound(const QString &code) { return QStringLiteral("XML codice %1 Non trovato nel DB").arg(code); }

Result<QString> readXmlDocument(const QSqlDatabase &db, const QString &code, const QString &list)
{
    auto xml = SqlQuery::scalar(db, AcbSql::XmlDocument, {{QStringLiteral("sLista"), list}, {QStringLiteral("sCodice"), code}});
    if (!xml)
        return xml.status();
    if (!xml.value().isValid() || xml.value().toString().trimmed().isEmpty())
        return Result<QString>::failure(AcbText::xmlNotFound(code));
    return xml.value().toString();
}

QString checkCoordinates(const QVariant &parentId, const QString &iban)
{
    if (parentId.isNull() || parentId.toInt() == 0)
        return AcbText::ParentRequired;
    if (!iban.trimmed().isEmpty() && !abiban::CheckIBAN(iban.trimmed()))
        return AcbText::IbanInvalid;
    return {};
}

QString AcbText::mandateHeld(const QString &mandate, const QString &pupil)
{
    return QStringLiteral("Il codice mandato \"%1\" è già usato nelle coordinate dell'alunno %2.").arg(mandate, pupil);
}

QString checkMandate(const QString &mandate, const QDate &signature, const QDate &today)
{
    const QString m = mandate.trimmed();
    if (!m.isEmpty() && (m.size() > 35 || sddText(m, 35) != m))
        return AcbText::MandateInvalid;
    if (signature.isValid() && signature > today)
        return AcbText::SignatureFuture;
    return {};
}

QString AcbItem::text(int column) const
{
    switch (column) {
    case 0: return pupil;
    case 1: return cls;
    case 2: return holder;
    default: return {};
    }
}

bool acbItemLess(const AcbItem &a, const AcbItem &b, int column)
{
    auto cmp = [](const QString &x, const QString &y) { return x.compare(y, Qt::CaseInsensitive); };
    if (column == 1) {
        if (const int c = cmp(a.cls, b.cls); c != 0)
            return c < 0;
        return cmp(a.pupil, b.pupil) < 0;
    }
    return cmp(a.text(column), b.text(column)) < 0;
}

} // namespace ccp::directdebit
