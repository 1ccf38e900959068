-- version: 6.37.0
-- Views over the suite's tables. Rows with DDELETE set are left out.

-- School years with their description "2025/2026".
CREATE VIEW VAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine, DDELETE,
                              sAnsAnnoDesc) AS
SELECT Ans.iAnsId, Ans.iAnsValore, Ans.dAnsVeltoInizio, Ans.dAnsVeltoFine, Ans.DDELETE,
       CAST(TRIM(Ans.iAnsValore) || '/' || TRIM(Ans.iAnsValore + 1) AS VARCHAR(11))
FROM TAns_AnniScolast Ans
WHERE Ans.DDELETE IS NULL;

-- One row per class, with the description of its school year (the year whose first day is the
-- class's start) and the short name of its site.
CREATE VIEW VCls_Classi (iClsId, sClsSDesc, sClsDesc, iDwgId, iDwgSedId, iSedId, sSedNomSDesc,
                         iAcsId, iIndId, iSezId, dStart_Cls, dEnd_Cls, iAnsId, iAnsValore,
                         sClsAnnoScol) AS
SELECT Cls.iClsId, Cls.sClsSDesc, Cls.sClsDesc, Cls.iDwgId, Cls.iDwgSedId, DwgSed.iSedId,
       Sed.sSedNomSDesc, Cls.iAcsId, Cls.iIndId, Cls.iSezId, Cls.dStart, Cls.dEnd,
       Ans.iAnsId, Ans.iAnsValore,
       CAST(TRIM(Ans.iAnsValore) || '/' || TRIM(Ans.iAnsValore + 1) AS VARCHAR(11))
FROM TCls_Classi Cls
LEFT OUTER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cls.dStart AND Ans.DDELETE IS NULL)
LEFT OUTER JOIN TDwgSed DwgSed ON (DwgSed.iDwgSedId = Cls.iDwgSedId)
LEFT OUTER JOIN TSed_Sedi Sed ON (Sed.iSedId = DwgSed.iSedId)
WHERE Cls.DDELETE IS NULL;

-- The data owners of each institute: a single-owner institute gives its own owner (no
-- membership dates), a group one row per member.
CREATE VIEW VDow_DataOwner (iDwgId, iDowId, sDowSDesc, sDowLDesc, sDowCodFiscale, sDwgSDesc,
                            dStart_Dwg, dEnd_Dwg, dStart_OtgDwg, dEnd_OtgDwg, dStart_Dow,
                            dEnd_Dow, lDwgGruppo) AS
SELECT Dwg.iDwgId, Dow.iDowId, Dow.sDowSDesc, Dow.sDowLDesc, Dow.sDowCodFiscale, Dwg.sDwgSDesc,
       Dwg.dStart, Dwg.dEnd, CAST(NULL AS DATE), CAST(NULL AS DATE), Dow.dStart, Dow.dEnd,
       CAST(0 AS SMALLINT)
FROM TDwg_DataOwnerGrp Dwg
INNER JOIN TDow_DataOwner Dow ON (Dow.iDowId = Dwg.iDowId)
WHERE Dwg.DDELETE IS NULL AND Dow.DDELETE IS NULL
UNION ALL
SELECT Dwg.iDwgId, Dow.iDowId, Dow.sDowSDesc, Dow.sDowLDesc, Dow.sDowCodFiscale, Dwg.sDwgSDesc,
       Dwg.dStart, Dwg.dEnd, Otg.dStart, Otg.dEnd, Dow.dStart, Dow.dEnd,
       CAST(1 AS SMALLINT)
FROM TDwg_DataOwnerGrp Dwg
INNER JOIN TOtgDwg Otg ON (Otg.iDwgId = Dwg.iDwgId)
INNER JOIN TDow_DataOwner Dow ON (Dow.iDowId = Otg.iDowId)
WHERE Dwg.iDowId IS NULL AND Dwg.DDELETE IS NULL AND Otg.DDELETE IS NULL AND Dow.DDELETE IS NULL;

-- Places: one row per state/region/province/municipality combination.
CREATE VIEW VSRPC (ISRPCID, ISTAID, IREGID, IPROID, ICOMID, SSTALDESC, SSTACODICE, SSTAISTAT,
                   SREGDESC, SPRODESC, SPROSIGLA, SCOMDESC, SSRPCCOMRISTAT, SSRPCCODCATA,
                   DSTART, DEND, DDELETE) AS
SELECT Srpc.ISRPCID, Srpc.ISTAID, Srpc.IREGID, Srpc.IPROID, Srpc.ICOMID, Sta.SSTALDESC,
       Sta.SSTACODICE, Sta.SSTAISTAT, Reg.SREGDESC, Pro.SPRODESC, Pro.SPROSIGLA, Com.SCOMDESC,
       Srpc.SSRPCCOMRISTAT, Srpc.SSRPCCODCATA, Srpc.DSTART, Srpc.DEND, Srpc.DDELETE
FROM TSRPC Srpc
LEFT OUTER JOIN TSTA_STATI Sta ON (Sta.ISTAID = Srpc.ISTAID)
LEFT OUTER JOIN TREG_REGIONI Reg ON (Reg.IREGID = Srpc.IREGID)
LEFT OUTER JOIN TPRO_PROVINCE Pro ON (Pro.IPROID = Srpc.IPROID)
LEFT OUTER JOIN TCOM_COMUNI Com ON (Com.ICOMID = Srpc.ICOMID);

-- Postcodes of municipalities, optionally of a hamlet.
CREATE VIEW VCOMCAP (ICOMCAPID, ISRPCID, ICAPID, IFRAQUAID, ISTAID, IREGID, IPROID, ICOMID,
                     SCOMDESC, SPRODESC, SPROSIGLA, SSTALDESC, SSRPCCOMRISTAT, SSRPCCODCATA,
                     SCAPVALUE, SFRAQUADESC, DSTART, DEND, DDELETE) AS
SELECT ComCap.ICOMCAPID, ComCap.ISRPCID, ComCap.ICAPID, ComCap.IFRAQUAID, Srpc.ISTAID,
       Srpc.IREGID, Srpc.IPROID, Srpc.ICOMID, Com.SCOMDESC, Pro.SPRODESC, Pro.SPROSIGLA,
       Sta.SSTALDESC, Srpc.SSRPCCOMRISTAT, Srpc.SSRPCCODCATA, Cap.SCAPVALUE, Fq.SFRAQUADESC,
       ComCap.DSTART, Srpc.DEND, ComCap.DDELETE
FROM TCOMCAP ComCap
INNER JOIN TSRPC Srpc ON (Srpc.ISRPCID = ComCap.ISRPCID)
LEFT OUTER JOIN TCOM_COMUNI Com ON (Com.ICOMID = Srpc.ICOMID)
LEFT OUTER JOIN TPRO_PROVINCE Pro ON (Pro.IPROID = Srpc.IPROID)
LEFT OUTER JOIN TSTA_STATI Sta ON (Sta.ISTAID = Srpc.ISTAID)
LEFT OUTER JOIN TCAP Cap ON (Cap.ICAPID = ComCap.ICAPID)
LEFT OUTER JOIN TFRAQUA Fq ON (Fq.IFRAQUAID = ComCap.IFRAQUAID);

-- Sites of the institutes with their address parts and ministry code.
CREATE VIEW VSed_Sedi (iDwgSedId, iDwgId, iSedId, lDwgSedMain, dStart_DwgSed, dEnd_DwgSed,
                       sSedNomSDesc, sSedNomLDesc, sSedNomCodiceFisc, sSedIndIndirizzo,
                       iComCapId, sCapValue, sComDesc, sProSigla, sSedTelTelefono, sSedFaxNo,
                       sSedEmlEmail, sSedMecCod, sSedInfCodVelto, dStart_Sed, dEnd_Sed) AS
SELECT DwgSed.iDwgSedId, DwgSed.iDwgId, Sed.iSedId, DwgSed.lDwgSedMain, DwgSed.dStart,
       DwgSed.dEnd, Sed.sSedNomSDesc, Sed.sSedNomLDesc, Sed.sSedNomCodiceFisc,
       Sed.sSedIndIndirizzo, Sed.iComCapId, Cap.SCAPVALUE, Com.SCOMDESC, Pro.SPROSIGLA,
       Sed.sSedTelTelefono, Sed.sSedFaxNo, Sed.sSedEmlEmail, Sed.sSedMecCod,
       (SELECT FIRST 1 Inf.sSedInfCodVelto FROM TSedInf_SedeInfo Inf
         WHERE Inf.iSedId = Sed.iSedId AND Inf.DDELETE IS NULL
         ORDER BY Inf.dStart DESC),
       Sed.dStart, Sed.dEnd
FROM TDwgSed DwgSed
INNER JOIN TSed_Sedi Sed ON (Sed.iSedId = DwgSed.iSedId)
LEFT OUTER JOIN TCOMCAP ComCap ON (ComCap.ICOMCAPID = Sed.iComCapId)
LEFT OUTER JOIN TCAP Cap ON (Cap.ICAPID = ComCap.ICAPID)
LEFT OUTER JOIN TSRPC Srpc ON (Srpc.ISRPCID = ComCap.ISRPCID)
LEFT OUTER JOIN TCOM_COMUNI Com ON (Com.ICOMID = Srpc.ICOMID)
LEFT OUTER JOIN TPRO_PROVINCE Pro ON (Pro.IPROID = Srpc.IPROID)
WHERE DwgSed.DDELETE IS NULL AND Sed.DDELETE IS NULL;
