-- version: 6.37.0
-- Tables of the current-account program and of the suite tables it reads.
-- Type letters: i INTEGER, s VARCHAR, d DATE, f NUMERIC(18,4), l SMALLINT 0/1, b BLOB text.
-- Foreign-key columns get their index from the constraint itself; only the date filters and
-- the lookups by code get explicit indexes.

------------------------------------------------------------------------------------------------
-- Places (states, regions, provinces, municipalities, postcodes)
------------------------------------------------------------------------------------------------

CREATE TABLE TSTA_STATI (
    ISTAID        INTEGER NOT NULL,
    SSTALDESC     VARCHAR(80),
    SSTACODICE    VARCHAR(4),
    SSTAISTAT     VARCHAR(3),
    DSTART        DATE,
    DEND          DATE,
    DDELETE       DATE,
    CONSTRAINT PK_TSTA_STATI PRIMARY KEY (ISTAID)
);

CREATE TABLE TREG_REGIONI (
    IREGID        INTEGER NOT NULL,
    SREGDESC      VARCHAR(60),
    ISTAID        INTEGER,
    DSTART        DATE,
    DEND          DATE,
    DDELETE       DATE,
    CONSTRAINT PK_TREG_REGIONI PRIMARY KEY (IREGID),
    CONSTRAINT FK_TREG_STA FOREIGN KEY (ISTAID) REFERENCES TSTA_STATI (ISTAID)
);

CREATE TABLE TPRO_PROVINCE (
    IPROID        INTEGER NOT NULL,
    SPRODESC      VARCHAR(60),
    SPROSIGLA     VARCHAR(2),
    IREGID        INTEGER,
    DSTART        DATE,
    DEND          DATE,
    DDELETE       DATE,
    CONSTRAINT PK_TPRO_PROVINCE PRIMARY KEY (IPROID),
    CONSTRAINT FK_TPRO_REG FOREIGN KEY (IREGID) REFERENCES TREG_REGIONI (IREGID)
);

CREATE TABLE TCOM_COMUNI (
    ICOMID        INTEGER NOT NULL,
    SCOMDESC      VARCHAR(100),
    DSTART        DATE,
    DEND          DATE,
    DDELETE       DATE,
    CONSTRAINT PK_TCOM_COMUNI PRIMARY KEY (ICOMID)
);
CREATE INDEX IX_TCOM_DESC ON TCOM_COMUNI (SCOMDESC);

CREATE TABLE TSRPC (
    ISRPCID        INTEGER NOT NULL,
    ISTAID         INTEGER,
    IREGID         INTEGER,
    IPROID         INTEGER,
    ICOMID         INTEGER,
    SSRPCCOMRISTAT VARCHAR(6),
    SSRPCCODCATA   VARCHAR(4),
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TSRPC PRIMARY KEY (ISRPCID),
    CONSTRAINT FK_TSRPC_STA FOREIGN KEY (ISTAID) REFERENCES TSTA_STATI (ISTAID),
    CONSTRAINT FK_TSRPC_REG FOREIGN KEY (IREGID) REFERENCES TREG_REGIONI (IREGID),
    CONSTRAINT FK_TSRPC_PRO FOREIGN KEY (IPROID) REFERENCES TPRO_PROVINCE (IPROID),
    CONSTRAINT FK_TSRPC_COM FOREIGN KEY (ICOMID) REFERENCES TCOM_COMUNI (ICOMID)
);
CREATE INDEX IX_TSRPC_CODCATA ON TSRPC (SSRPCCODCATA);

CREATE TABLE TCAP (
    ICAPID        INTEGER NOT NULL,
    SCAPVALUE     VARCHAR(5),
    DDELETE       DATE,
    CONSTRAINT PK_TCAP PRIMARY KEY (ICAPID)
);
CREATE INDEX IX_TCAP_VALUE ON TCAP (SCAPVALUE);

CREATE TABLE TFRAQUA (
    IFRAQUAID     INTEGER NOT NULL,
    SFRAQUADESC   VARCHAR(100),
    DDELETE       DATE,
    CONSTRAINT PK_TFRAQUA PRIMARY KEY (IFRAQUAID)
);
CREATE INDEX IX_TFRAQUA_DESC ON TFRAQUA (SFRAQUADESC);

CREATE TABLE TCOMCAP (
    ICOMCAPID     INTEGER NOT NULL,
    ISRPCID       INTEGER,
    ICAPID        INTEGER,
    IFRAQUAID     INTEGER,
    DSTART        DATE,
    DDELETE       DATE,
    CONSTRAINT PK_TCOMCAP PRIMARY KEY (ICOMCAPID),
    CONSTRAINT FK_TCOMCAP_SRPC FOREIGN KEY (ISRPCID) REFERENCES TSRPC (ISRPCID),
    CONSTRAINT FK_TCOMCAP_CAP FOREIGN KEY (ICAPID) REFERENCES TCAP (ICAPID),
    CONSTRAINT FK_TCOMCAP_FRAQUA FOREIGN KEY (IFRAQUAID) REFERENCES TFRAQUA (IFRAQUAID)
);

------------------------------------------------------------------------------------------------
-- Institutes, sites, school and financial years
------------------------------------------------------------------------------------------------

CREATE TABLE TDow_DataOwner (
    iDowId         INTEGER NOT NULL,
    sDowSDesc      VARCHAR(100),
    sDowLDesc      VARCHAR(200),
    sDowCodFiscale VARCHAR(20),
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TDOW_DATAOWNER PRIMARY KEY (iDowId)
);

-- An institute: a single data owner (iDowId set) or a group of data owners (iDowId NULL,
-- members in TOtgDwg).
CREATE TABLE TDwg_DataOwnerGrp (
    iDwgId         INTEGER NOT NULL,
    iDowId         INTEGER,
    sDwgSDesc      VARCHAR(100),
    sDwgLDesc      VARCHAR(200),
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TDWG_DATAOWNERGRP PRIMARY KEY (iDwgId),
    CONSTRAINT FK_TDWG_DOW FOREIGN KEY (iDowId) REFERENCES TDow_DataOwner (iDowId)
);

-- Membership of data owners in a group.
CREATE TABLE TOtgDwg (
    iOtgDwgId      INTEGER NOT NULL,
    iDwgId         INTEGER NOT NULL,
    iDowId         INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TOTGDWG PRIMARY KEY (iOtgDwgId),
    CONSTRAINT FK_TOTGDWG_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId) ON DELETE CASCADE,
    CONSTRAINT FK_TOTGDWG_DOW FOREIGN KEY (iDowId) REFERENCES TDow_DataOwner (iDowId)
);

CREATE TABLE TSed_Sedi (
    iSedId            INTEGER NOT NULL,
    sSedNomSDesc      VARCHAR(100),
    sSedNomLDesc      VARCHAR(200),
    sSedNomCodiceFisc VARCHAR(20),
    sSedIndIndirizzo  VARCHAR(100),
    iComCapId         INTEGER,
    sSedTelTelefono   VARCHAR(30),
    sSedFaxNo         VARCHAR(30),
    sSedEmlEmail      VARCHAR(100),
    sSedMecCod        VARCHAR(10),
    dStart            DATE,
    dEnd              DATE,
    DDELETE           DATE,
    CONSTRAINT PK_TSED_SEDI PRIMARY KEY (iSedId),
    CONSTRAINT FK_TSED_COMCAP FOREIGN KEY (iComCapId) REFERENCES TCOMCAP (ICOMCAPID)
);

CREATE TABLE TDwgSed (
    iDwgSedId      INTEGER NOT NULL,
    iDwgId         INTEGER NOT NULL,
    iSedId         INTEGER NOT NULL,
    lDwgSedMain    SMALLINT DEFAULT 0 CHECK (lDwgSedMain IN (0, 1)),
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TDWGSED PRIMARY KEY (iDwgSedId),
    CONSTRAINT FK_TDWGSED_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TDWGSED_SED FOREIGN KEY (iSedId) REFERENCES TSed_Sedi (iSedId)
);

CREATE TABLE TSedInf_SedeInfo (
    iSedInfId       INTEGER NOT NULL,
    iSedId          INTEGER NOT NULL,
    sSedInfCodVelto VARCHAR(20),
    dStart          DATE,
    dEnd            DATE,
    DDELETE         DATE,
    CONSTRAINT PK_TSEDINF_SEDEINFO PRIMARY KEY (iSedInfId),
    CONSTRAINT FK_TSEDINF_SED FOREIGN KEY (iSedId) REFERENCES TSed_Sedi (iSedId) ON DELETE CASCADE
);

CREATE TABLE TAns_AnniScolast (
    iAnsId          INTEGER NOT NULL,
    iAnsValore      INTEGER NOT NULL,
    dAnsVeltoInizio DATE NOT NULL,
    dAnsVeltoFine   DATE NOT NULL,
    DDELETE         DATE,
    CONSTRAINT PK_TANS_ANNISCOLAST PRIMARY KEY (iAnsId),
    CONSTRAINT UQ_TANS_VALORE UNIQUE (iAnsValore),
    CONSTRAINT CK_TANS_DATES CHECK (dAnsVeltoFine >= dAnsVeltoInizio)
);
CREATE INDEX IX_TANS_INIZIO ON TAns_AnniScolast (dAnsVeltoInizio);

CREATE TABLE TAnf_AnniFinanz (
    iAnfId          INTEGER NOT NULL,
    iAnfValore      INTEGER NOT NULL,
    dAnfVeltoInizio DATE NOT NULL,
    dAnfVeltoFine   DATE NOT NULL,
    DDELETE         DATE,
    CONSTRAINT PK_TANF_ANNIFINANZ PRIMARY KEY (iAnfId),
    CONSTRAINT UQ_TANF_VALORE UNIQUE (iAnfValore),
    CONSTRAINT CK_TANF_DATES CHECK (dAnfVeltoFine >= dAnfVeltoInizio)
);

-- Financial-year bounds as an institute keeps them.
CREATE TABLE TDwgAnf (
    iDwgAnfId       INTEGER NOT NULL,
    iDwgId          INTEGER NOT NULL,
    iAnfId          INTEGER NOT NULL,
    dDwgAnfInizio   DATE,
    dDwgAnfFine     DATE,
    DDELETE         DATE,
    CONSTRAINT PK_TDWGANF PRIMARY KEY (iDwgAnfId),
    CONSTRAINT FK_TDWGANF_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TDWGANF_ANF FOREIGN KEY (iAnfId) REFERENCES TAnf_AnniFinanz (iAnfId)
);

------------------------------------------------------------------------------------------------
-- People (the suite's registry)
------------------------------------------------------------------------------------------------

CREATE TABLE TSex_Sesso (
    iSexId         INTEGER NOT NULL,
    sSexSDesc      VARCHAR(5),
    sSexLDesc      VARCHAR(30),
    CONSTRAINT PK_TSEX_SESSO PRIMARY KEY (iSexId)
);

CREATE TABLE TAna_Anagrafiche (
    iAnaId             INTEGER NOT NULL,
    sAnaCognome        VARCHAR(60),
    sAnaNome           VARCHAR(60),
    sAnaCognomeNomeIdx VARCHAR(120),
    sAnaCodFiscale     VARCHAR(20),
    dAnaNascita        DATE,
    iSexId             INTEGER,
    iSrpcId            INTEGER,
    iVomId             INTEGER,
    iIoCtrlCode        INTEGER,
    dModified          DATE,
    dStart             DATE,
    dEnd               DATE,
    DDELETE            DATE,
    CONSTRAINT PK_TANA_ANAGRAFICHE PRIMARY KEY (iAnaId),
    CONSTRAINT FK_TANA_SEX FOREIGN KEY (iSexId) REFERENCES TSex_Sesso (iSexId),
    CONSTRAINT FK_TANA_SRPC FOREIGN KEY (iSrpcId) REFERENCES TSRPC (ISRPCID)
);
CREATE INDEX IX_TANA_NOMEIDX ON TAna_Anagrafiche (sAnaCognomeNomeIdx);
CREATE INDEX IX_TANA_CTRLCODE ON TAna_Anagrafiche (iIoCtrlCode);
CREATE INDEX IX_TANA_CODFISCALE ON TAna_Anagrafiche (sAnaCodFiscale);

CREATE TABLE TCag_AnaCateg (
    iCagId         INTEGER NOT NULL,
    sCagSDesc      VARCHAR(20),
    sCagLDesc      VARCHAR(60),
    CONSTRAINT PK_TCAG_ANACATEG PRIMARY KEY (iCagId)
);

-- A person's categories; the row of a legal-person beneficiary has no person.
CREATE TABLE TAnaCag (
    iAnaCagId      INTEGER NOT NULL,
    iAnaId         INTEGER,
    iCagId         INTEGER NOT NULL,
    sAnaCagCode    VARCHAR(20),
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TANACAG PRIMARY KEY (iAnaCagId),
    CONSTRAINT FK_TANACAG_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TANACAG_CAG FOREIGN KEY (iCagId) REFERENCES TCag_AnaCateg (iCagId)
);
CREATE INDEX IX_TANACAG_CODE ON TAnaCag (sAnaCagCode);

CREATE TABLE TGpt_GradoParent (
    iGptId         INTEGER NOT NULL,
    sGptSDesc      VARCHAR(20),
    sGptLDesc      VARCHAR(60),
    CONSTRAINT PK_TGPT_GRADOPARENT PRIMARY KEY (iGptId)
);

-- Kinship: iAnaId_P is the relative (parent, guardian) of iAnaId.
CREATE TABLE TAnaGpt (
    iAnaGptId      INTEGER NOT NULL,
    iAnaId         INTEGER NOT NULL,
    iAnaId_P       INTEGER NOT NULL,
    iGptId         INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TANAGPT PRIMARY KEY (iAnaGptId),
    CONSTRAINT FK_TANAGPT_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TANAGPT_ANA_P FOREIGN KEY (iAnaId_P) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TANAGPT_GPT FOREIGN KEY (iGptId) REFERENCES TGpt_GradoParent (iGptId)
);

CREATE TABLE TDct_DocenteAta (
    iDctId         INTEGER NOT NULL,
    sDctSDesc      VARCHAR(20),
    sDctLDesc      VARCHAR(60),
    CONSTRAINT PK_TDCT_DOCENTEATA PRIMARY KEY (iDctId)
);

CREATE TABLE TAnaPer_Personale (
    iAnaPerId      INTEGER NOT NULL,
    iAnaCagId      INTEGER NOT NULL,
    iDwgId         INTEGER,
    iStabPerId     INTEGER,
    iDctId         INTEGER,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TANAPER_PERSONALE PRIMARY KEY (iAnaPerId),
    CONSTRAINT FK_TANAPER_ANACAG FOREIGN KEY (iAnaCagId) REFERENCES TAnaCag (iAnaCagId),
    CONSTRAINT FK_TANAPER_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TANAPER_DCT FOREIGN KEY (iDctId) REFERENCES TDct_DocenteAta (iDctId)
);

CREATE TABLE TLoc_Locazioni (
    iLocId         INTEGER NOT NULL,
    sLocSDesc      VARCHAR(20),
    sLocLDesc      VARCHAR(60),
    CONSTRAINT PK_TLOC_LOCAZIONI PRIMARY KEY (iLocId)
);

CREATE TABLE TAbt_Abitaz (
    iAbtId         INTEGER NOT NULL,
    sAbtIndirizzo  VARCHAR(100),
    iComCapId      INTEGER,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TABT_ABITAZ PRIMARY KEY (iAbtId),
    CONSTRAINT FK_TABT_COMCAP FOREIGN KEY (iComCapId) REFERENCES TCOMCAP (ICOMCAPID)
);

CREATE TABLE TAnaAbt (
    iAnaAbtId      INTEGER NOT NULL,
    iAnaId         INTEGER NOT NULL,
    iAbtId         INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TANAABT PRIMARY KEY (iAnaAbtId),
    CONSTRAINT FK_TANAABT_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TANAABT_ABT FOREIGN KEY (iAbtId) REFERENCES TAbt_Abitaz (iAbtId)
);

-- The kind of a dwelling (1 domicile, 2 residence); a dwelling may be both.
CREATE TABLE TAbtLoc (
    iAbtLocId      INTEGER NOT NULL,
    iAbtId         INTEGER NOT NULL,
    iLocId         INTEGER NOT NULL,
    DDELETE        DATE,
    CONSTRAINT PK_TABTLOC PRIMARY KEY (iAbtLocId),
    CONSTRAINT FK_TABTLOC_ABT FOREIGN KEY (iAbtId) REFERENCES TAbt_Abitaz (iAbtId) ON DELETE CASCADE,
    CONSTRAINT FK_TABTLOC_LOC FOREIGN KEY (iLocId) REFERENCES TLoc_Locazioni (iLocId)
);

CREATE TABLE TSoc_StatOccupaz (
    iSocId         INTEGER NOT NULL,
    sSocSDesc      VARCHAR(20),
    sSocLDesc      VARCHAR(60),
    CONSTRAINT PK_TSOC_STATOCCUPAZ PRIMARY KEY (iSocId)
);

CREATE TABLE TAnaSoc (
    iAnaSocId      INTEGER NOT NULL,
    iAnaId         INTEGER NOT NULL,
    iSocId         INTEGER NOT NULL,
    CONSTRAINT PK_TANASOC PRIMARY KEY (iAnaSocId),
    CONSTRAINT FK_TANASOC_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TANASOC_SOC FOREIGN KEY (iSocId) REFERENCES TSoc_StatOccupaz (iSocId)
);

------------------------------------------------------------------------------------------------
-- Classes and pupils' situations
------------------------------------------------------------------------------------------------

-- A class of one school year (dStart/dEnd equal the year's bounds) at one site of an institute.
CREATE TABLE TCls_Classi (
    iClsId         INTEGER NOT NULL,
    sClsSDesc      VARCHAR(20),
    sClsDesc       VARCHAR(100),
    iDwgId         INTEGER,
    iDwgSedId      INTEGER,
    iAcsId         INTEGER,
    iIndId         INTEGER,
    iSezId         INTEGER,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TCLS_CLASSI PRIMARY KEY (iClsId),
    CONSTRAINT FK_TCLS_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TCLS_DWGSED FOREIGN KEY (iDwgSedId) REFERENCES TDwgSed (iDwgSedId)
);
CREATE INDEX IX_TCLS_START ON TCls_Classi (dStart);

-- A place in a class (pupils' situations point to it).
CREATE TABLE TClsPst (
    iClsPstId      INTEGER NOT NULL,
    iClsId         INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TCLSPST PRIMARY KEY (iClsPstId),
    CONSTRAINT FK_TCLSPST_CLS FOREIGN KEY (iClsId) REFERENCES TCls_Classi (iClsId)
);

-- A pupil's attendance position (1 attending).
CREATE TABLE TPosAtt_PosizAttuale (
    iPosAttId      INTEGER NOT NULL,
    sPosAttSDesc   VARCHAR(20),
    sPosAttLDesc   VARCHAR(60),
    CONSTRAINT PK_TPOSATT_POSIZATTUALE PRIMARY KEY (iPosAttId)
);

CREATE TABLE TSit_Situazioni (
    iSitId         INTEGER NOT NULL,
    iAnaId         INTEGER NOT NULL,
    iClsPstId      INTEGER,
    iDwgId         INTEGER,
    iSitOrdine     INTEGER DEFAULT 1,
    iPosAttId      INTEGER DEFAULT 1,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TSIT_SITUAZIONI PRIMARY KEY (iSitId),
    CONSTRAINT FK_TSIT_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TSIT_CLSPST FOREIGN KEY (iClsPstId) REFERENCES TClsPst (iClsPstId),
    CONSTRAINT FK_TSIT_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TSIT_POSATT FOREIGN KEY (iPosAttId) REFERENCES TPosAtt_PosizAttuale (iPosAttId)
);
CREATE INDEX IX_TSIT_START ON TSit_Situazioni (dStart);

------------------------------------------------------------------------------------------------
-- Banks and branches
------------------------------------------------------------------------------------------------

-- Bank categories: 7 postal, 8 cash, any other a bank.
CREATE TABLE TCba_CatBanche (
    iCbaId         INTEGER NOT NULL,
    sCbaDescS      VARCHAR(20),
    sCbaDescL      VARCHAR(60),
    DDELETE        DATE,
    CONSTRAINT PK_TCBA_CATBANCHE PRIMARY KEY (iCbaId)
);

CREATE TABLE TBAN_BANCHE (
    IBANID         INTEGER NOT NULL,
    SBANABI        VARCHAR(10),
    SBANDESCS      VARCHAR(40),
    SBANDESCL      VARCHAR(100),
    ICBAID         INTEGER,
    ISRPCID        INTEGER,
    DSTART         DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TBAN_BANCHE PRIMARY KEY (IBANID),
    CONSTRAINT FK_TBAN_CBA FOREIGN KEY (ICBAID) REFERENCES TCba_CatBanche (iCbaId),
    CONSTRAINT FK_TBAN_SRPC FOREIGN KEY (ISRPCID) REFERENCES TSRPC (ISRPCID)
);
CREATE INDEX IX_TBAN_ABI ON TBAN_BANCHE (SBANABI);

CREATE TABLE TSPR_SPORTELLICAB (
    ISPRID         INTEGER NOT NULL,
    IBANID         INTEGER NOT NULL,
    SSPRCAB        VARCHAR(10),
    SSPRDESCS      VARCHAR(40),
    SSPRDESCL      VARCHAR(100),
    SSPRINDIRIZZO  VARCHAR(100),
    ISRPCID        INTEGER,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TSPR_SPORTELLICAB PRIMARY KEY (ISPRID),
    CONSTRAINT FK_TSPR_BAN FOREIGN KEY (IBANID) REFERENCES TBAN_BANCHE (IBANID),
    CONSTRAINT FK_TSPR_SRPC FOREIGN KEY (ISRPCID) REFERENCES TSRPC (ISRPCID)
);
CREATE INDEX IX_TSPR_CAB ON TSPR_SPORTELLICAB (SSPRCAB);

------------------------------------------------------------------------------------------------
-- Budget items (shared with the suite's budget program)
------------------------------------------------------------------------------------------------

-- Cash flow: 1 income, 2 expense.
CREATE TABLE TFLS_FLUSSOCASSA (
    IFLSID         INTEGER NOT NULL,
    SFLSDESCS      VARCHAR(20),
    SFLSDESCL      VARCHAR(60),
    CONSTRAINT PK_TFLS_FLUSSOCASSA PRIMARY KEY (IFLSID)
);

-- Total type: 1 in the total, 2 outside it.
CREATE TABLE TTITO_TIPOTOTALE (
    ITITOID        INTEGER NOT NULL,
    STITODESCS     VARCHAR(20),
    STITODESCL     VARCHAR(60),
    CONSTRAINT PK_TTITO_TIPOTOTALE PRIMARY KEY (ITITOID)
);

CREATE TABLE TAGG_AGGREGATI (
    IAGGID         INTEGER NOT NULL,
    IDWGID         INTEGER,
    SAGGDESCS      VARCHAR(10),
    SAGGDESCL      VARCHAR(120),
    IFLSID         INTEGER,
    ITITOID        INTEGER,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TAGG_AGGREGATI PRIMARY KEY (IAGGID),
    CONSTRAINT FK_TAGG_DWG FOREIGN KEY (IDWGID) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TAGG_FLS FOREIGN KEY (IFLSID) REFERENCES TFLS_FLUSSOCASSA (IFLSID),
    CONSTRAINT FK_TAGG_TITO FOREIGN KEY (ITITOID) REFERENCES TTITO_TIPOTOTALE (ITITOID)
);

-- ICORID: 1 competence only, 2 residues only, 3 both.  ITCKID: 2 or -1.
CREATE TABLE TVPRO_VOCIPROGETTI (
    IVPROID        INTEGER NOT NULL,
    ICORID         INTEGER DEFAULT 3 CHECK (ICORID IN (1, 2, 3)),
    IAGGID         INTEGER,
    IDWGID         INTEGER,
    ITCKID         INTEGER,
    SVPROCOD       VARCHAR(10),
    SVPRODESCS     VARCHAR(60),
    SVPRODESCL     VARCHAR(200),
    BVPRONOTE      BLOB SUB_TYPE TEXT,
    LVPRODEFAULT   SMALLINT DEFAULT 0 CHECK (LVPRODEFAULT IN (0, 1)),
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TVPRO_VOCIPROGETTI PRIMARY KEY (IVPROID),
    CONSTRAINT FK_TVPRO_AGG FOREIGN KEY (IAGGID) REFERENCES TAGG_AGGREGATI (IAGGID),
    CONSTRAINT FK_TVPRO_DWG FOREIGN KEY (IDWGID) REFERENCES TDwg_DataOwnerGrp (iDwgId)
);

CREATE TABLE TSVO_SOTTOVOCI (
    ISVOID         INTEGER NOT NULL,
    ICORID         INTEGER DEFAULT 3 CHECK (ICORID IN (1, 2, 3)),
    IVPROID        INTEGER NOT NULL,
    IDWGID         INTEGER,
    SSVODESCS      VARCHAR(3),
    SSVODESCL      VARCHAR(82),
    LSVODEFAULT    SMALLINT DEFAULT 0 CHECK (LSVODEFAULT IN (0, 1)),
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TSVO_SOTTOVOCI PRIMARY KEY (ISVOID),
    CONSTRAINT FK_TSVO_VPRO FOREIGN KEY (IVPROID) REFERENCES TVPRO_VOCIPROGETTI (IVPROID),
    CONSTRAINT FK_TSVO_DWG FOREIGN KEY (IDWGID) REFERENCES TDwg_DataOwnerGrp (iDwgId)
);

-- Budget models of the suite's budget program: one per item, institute and financial year.
CREATE TABLE TMPR_MODPROGETTI (
    IMPRID           INTEGER NOT NULL,
    IVPROID          INTEGER NOT NULL,
    IDWGID           INTEGER,
    IMPRESERCIZIOFIN INTEGER NOT NULL,
    DSTART           DATE,
    DEND             DATE,
    DDELETE          DATE,
    ILOCKED          SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TMPR_MODPROGETTI PRIMARY KEY (IMPRID),
    CONSTRAINT FK_TMPR_VPRO FOREIGN KEY (IVPROID) REFERENCES TVPRO_VOCIPROGETTI (IVPROID),
    CONSTRAINT FK_TMPR_DWG FOREIGN KEY (IDWGID) REFERENCES TDwg_DataOwnerGrp (iDwgId)
);

-- Amounts of a model per aggregate, item and sub-item.
CREATE TABLE TVOI_VOCIIMPORTI (
    IVOIID         INTEGER NOT NULL,
    IMPRID         INTEGER NOT NULL,
    IAGGID         INTEGER,
    IVPROID        INTEGER,
    ISVOID         INTEGER,
    FVOIIMPORTO    NUMERIC(18,4) DEFAULT 0,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TVOI_VOCIIMPORTI PRIMARY KEY (IVOIID),
    CONSTRAINT FK_TVOI_MPR FOREIGN KEY (IMPRID) REFERENCES TMPR_MODPROGETTI (IMPRID) ON DELETE CASCADE,
    CONSTRAINT FK_TVOI_AGG FOREIGN KEY (IAGGID) REFERENCES TAGG_AGGREGATI (IAGGID),
    CONSTRAINT FK_TVOI_VPRO FOREIGN KEY (IVPROID) REFERENCES TVPRO_VOCIPROGETTI (IVPROID),
    CONSTRAINT FK_TVOI_SVO FOREIGN KEY (ISVOID) REFERENCES TSVO_SOTTOVOCI (ISVOID)
);

-- Approval of a model; ILOCKED = 1 freezes it.
CREATE TABLE TAPR_APPPROGETTI (
    IAPRID         INTEGER NOT NULL,
    IMPRID         INTEGER NOT NULL,
    DAPRDATA       DATE,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    ILOCKED        SMALLINT DEFAULT 0 CHECK (ILOCKED IN (0, 1)),
    CONSTRAINT PK_TAPR_APPPROGETTI PRIMARY KEY (IAPRID),
    CONSTRAINT FK_TAPR_MPR FOREIGN KEY (IMPRID) REFERENCES TMPR_MODPROGETTI (IMPRID) ON DELETE CASCADE
);

------------------------------------------------------------------------------------------------
-- Causali, components and their types
------------------------------------------------------------------------------------------------

-- Component type, two levels: a top-level type has iTccId = iTccId_P.
CREATE TABLE TTcc_TipoCompCaus (
    iTccId         INTEGER NOT NULL,
    sTccSDesc      VARCHAR(20),
    sTccLDesc      VARCHAR(100),
    iTccId_P       INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    iLocked        SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    CONSTRAINT PK_TTCC_TIPOCOMPCAUS PRIMARY KEY (iTccId),
    CONSTRAINT FK_TTCC_PARENT FOREIGN KEY (iTccId_P) REFERENCES TTcc_TipoCompCaus (iTccId)
);

CREATE TABLE TMpg_ModPagam (
    iMpgId         INTEGER NOT NULL,
    sMpgDescS      VARCHAR(20),
    sMpgDescL      VARCHAR(100),
    lMpgRisc       SMALLINT DEFAULT 0 CHECK (lMpgRisc IN (0, 1)),
    lMpgPag        SMALLINT DEFAULT 0 CHECK (lMpgPag IN (0, 1)),
    iLocked        SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    DDELETE        DATE,
    CONSTRAINT PK_TMPG_MODPAGAM PRIMARY KEY (iMpgId)
);

-- lCauTipo: 0 income, 1 expense.
CREATE TABLE TCau_Causali (
    iCauId         INTEGER NOT NULL,
    sCauSDesc      VARCHAR(20),
    sCauLDesc      VARCHAR(120),
    lCauTipo       SMALLINT DEFAULT 0 NOT NULL CHECK (lCauTipo IN (0, 1)),
    lCauRette      SMALLINT DEFAULT 0 CHECK (lCauRette IN (0, 1)),
    iDwgId         INTEGER,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    iLocked        SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    CONSTRAINT PK_TCAU_CAUSALI PRIMARY KEY (iCauId),
    CONSTRAINT FK_TCAU_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId)
);
CREATE INDEX IX_TCAU_YEAR ON TCau_Causali (dStart, dEnd);

CREATE TABLE TCca_CompCausali (
    iCcaId           INTEGER NOT NULL,
    sCcaSDesc        VARCHAR(20),
    sCcaLDesc        VARCHAR(120),
    fCcaImportoIst   NUMERIC(18,4) DEFAULT 0,
    fCcaImportoEra   NUMERIC(18,4) DEFAULT 0,
    lCcaTipo         SMALLINT DEFAULT 0 NOT NULL CHECK (lCcaTipo IN (0, 1)),
    lCcaRette        SMALLINT DEFAULT 0 CHECK (lCcaRette IN (0, 1)),
    iTccId           INTEGER,
    iAggId           INTEGER,
    iVproId          INTEGER,
    iSvoId           INTEGER,
    iDwgId           INTEGER,
    dCcaDataScadenza DATE,
    dStart           DATE,
    dEnd             DATE,
    DDELETE          DATE,
    iLocked          SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    CONSTRAINT PK_TCCA_COMPCAUSALI PRIMARY KEY (iCcaId),
    CONSTRAINT FK_TCCA_TCC FOREIGN KEY (iTccId) REFERENCES TTcc_TipoCompCaus (iTccId),
    CONSTRAINT FK_TCCA_AGG FOREIGN KEY (iAggId) REFERENCES TAGG_AGGREGATI (IAGGID),
    CONSTRAINT FK_TCCA_VPRO FOREIGN KEY (iVproId) REFERENCES TVPRO_VOCIPROGETTI (IVPROID),
    CONSTRAINT FK_TCCA_SVO FOREIGN KEY (iSvoId) REFERENCES TSVO_SOTTOVOCI (ISVOID),
    CONSTRAINT FK_TCCA_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId)
);
CREATE INDEX IX_TCCA_YEAR ON TCca_CompCausali (dStart, dEnd);

-- Which components make up which causale; the link goes with its causale.
CREATE TABLE TCauCca (
    iCauCcaId      INTEGER NOT NULL,
    iCauId         INTEGER NOT NULL,
    iCcaId         INTEGER NOT NULL,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    iLocked        SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    CONSTRAINT PK_TCAUCCA PRIMARY KEY (iCauCcaId),
    CONSTRAINT FK_TCAUCCA_CAU FOREIGN KEY (iCauId) REFERENCES TCau_Causali (iCauId) ON DELETE CASCADE,
    CONSTRAINT FK_TCAUCCA_CCA FOREIGN KEY (iCcaId) REFERENCES TCca_CompCausali (iCcaId)
);

------------------------------------------------------------------------------------------------
-- Institute accounts, account-years, movements
------------------------------------------------------------------------------------------------

-- iSprIstPgm: the program that keeps the account (2 this one).
CREATE TABLE TSprIst (
    iSprIstId      INTEGER NOT NULL,
    iDwgId         INTEGER,
    iSprId         INTEGER NOT NULL,
    sSprIstNumCc   VARCHAR(20),
    sSprIstIntest  VARCHAR(120),
    sSprIstCin     VARCHAR(1),
    sSprIstCinInt  VARCHAR(2),
    sSprIstStato   VARCHAR(2),
    iSprIstPgm     INTEGER DEFAULT 2,
    dStart         DATE,
    dEnd           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TSPRIST PRIMARY KEY (iSprIstId),
    CONSTRAINT FK_TSPRIST_DWG FOREIGN KEY (iDwgId) REFERENCES TDwg_DataOwnerGrp (iDwgId),
    CONSTRAINT FK_TSPRIST_SPR FOREIGN KEY (iSprId) REFERENCES TSPR_SPORTELLICAB (ISPRID)
);

-- One row per account and financial year; iCaiUltProgr is the last progressive number given in
-- that account-year, so that a number is never given twice.
CREATE TABLE TCai_CassaIst (
    iCaiId           INTEGER NOT NULL,
    iSprIstId        INTEGER NOT NULL,
    iCaiEsercizioFin INTEGER NOT NULL,
    dCaiInizioAnno   DATE,
    dCaiFineAnno     DATE,
    fCaiCassaIn      NUMERIC(18,4) DEFAULT 0,
    fCaiSaldoIn      NUMERIC(18,4) DEFAULT 0,
    fCaiSaldoOut     NUMERIC(18,4) DEFAULT 0,
    fCaiCassaAtt     NUMERIC(18,4) DEFAULT 0,
    fCaiDiffIniz     NUMERIC(18,4) DEFAULT 0,
    iLocked          SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    iCaiUltProgr     INTEGER DEFAULT 0 NOT NULL,
    CONSTRAINT PK_TCAI_CASSAIST PRIMARY KEY (iCaiId),
    CONSTRAINT UQ_TCAI_ACCOUNTYEAR UNIQUE (iSprIstId, iCaiEsercizioFin),
    CONSTRAINT FK_TCAI_SPRIST FOREIGN KEY (iSprIstId) REFERENCES TSprIst (iSprIstId)
);

-- Opening amount per top-level component type of an account-year.
CREATE TABLE TCaiTcc (
    iCaiId             INTEGER NOT NULL,
    iTccId             INTEGER NOT NULL,
    fCaiTccImportoIniz NUMERIC(18,4) DEFAULT 0,
    CONSTRAINT PK_TCAITCC PRIMARY KEY (iCaiId, iTccId),
    CONSTRAINT FK_TCAITCC_CAI FOREIGN KEY (iCaiId) REFERENCES TCai_CassaIst (iCaiId) ON DELETE CASCADE,
    CONSTRAINT FK_TCAITCC_TCC FOREIGN KEY (iTccId) REFERENCES TTcc_TipoCompCaus (iTccId)
);

CREATE TABLE TCbm_CatBenefMvm (
    iCbmId         INTEGER NOT NULL,
    sCbmDesc       VARCHAR(60),
    CONSTRAINT PK_TCBM_CATBENEFMVM PRIMARY KEY (iCbmId)
);

-- Beneficiaries are needed by movements; the rest of their registry follows below.
CREATE TABLE TEDI_EDITORI (
    IEDIID         INTEGER NOT NULL,
    SEDIDESCS      VARCHAR(20),
    SEDIDESCL      VARCHAR(120),
    DDELETE        DATE,
    CONSTRAINT PK_TEDI_EDITORI PRIMARY KEY (IEDIID)
);

CREATE TABLE TBEN_BENEFICIARI (
    IBENID                INTEGER NOT NULL,
    IANAID                INTEGER,
    IEDIID                INTEGER,
    SBENRAGSOC            VARCHAR(120),
    SBENDESC              VARCHAR(500),
    SBENCODFISCALE        VARCHAR(20),
    SBENPARTITAIVA        VARCHAR(28),
    LBENAVVPAGAMENTO      SMALLINT DEFAULT 0 CHECK (LBENAVVPAGAMENTO IN (0, 1)),
    LBENPRIVACY           SMALLINT DEFAULT 0 CHECK (LBENPRIVACY IN (0, 1)),
    LBENEND               SMALLINT DEFAULT 0 CHECK (LBENEND IN (0, 1)),
    LBENOBBLTRACC         SMALLINT DEFAULT 0 CHECK (LBENOBBLTRACC IN (0, 1)),
    LBENESTERO            SMALLINT DEFAULT 0 CHECK (LBENESTERO IN (0, 1)),
    SBENSTATO             VARCHAR(2),
    LBENADEMPFISCNOREGOLA SMALLINT DEFAULT 0 CHECK (LBENADEMPFISCNOREGOLA IN (0, 1)),
    DBENADEMPFISCDATA     DATE,
    DSTART                DATE,
    DEND                  DATE,
    DDELETE               DATE,
    CONSTRAINT PK_TBEN_BENEFICIARI PRIMARY KEY (IBENID),
    CONSTRAINT FK_TBEN_ANA FOREIGN KEY (IANAID) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TBEN_EDI FOREIGN KEY (IEDIID) REFERENCES TEDI_EDITORI (IEDIID)
);
CREATE INDEX IX_TBEN_RAGSOC ON TBEN_BENEFICIARI (SBENRAGSOC);

-- lMvmTipo: 0 income, 1 expense.  The payer or payee is a person (iAnaId, with the pupil's
-- situation iSitId or the staff row iAnaPerId) or a beneficiary (iBenId), of category iCbmId.
CREATE TABLE TMvm_MovimentiCcp (
    iMvmId           INTEGER NOT NULL,
    iSprIstId        INTEGER NOT NULL,
    iCauId           INTEGER,
    lMvmTipo         SMALLINT DEFAULT 0 NOT NULL CHECK (lMvmTipo IN (0, 1)),
    fMvmImporto      NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvmDifferenza   NUMERIC(18,4) DEFAULT 0,
    iMvmProgr        INTEGER,
    dMvmDataMov      DATE NOT NULL,
    dMvmDataEc       DATE,
    iMvmNrBollettino INTEGER,
    sNrUffPostale    VARCHAR(20),
    iSprId           INTEGER,
    iSrpcId          INTEGER,
    iComCapId        INTEGER,
    iAnaId           INTEGER,
    iBenId           INTEGER,
    iCbmId           INTEGER,
    iSitId           INTEGER,
    iAnaPerId        INTEGER,
    bMvmNote         BLOB SUB_TYPE TEXT,
    iLocked          SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    CONSTRAINT PK_TMVM_MOVIMENTICCP PRIMARY KEY (iMvmId),
    CONSTRAINT FK_TMVM_SPRIST FOREIGN KEY (iSprIstId) REFERENCES TSprIst (iSprIstId),
    CONSTRAINT FK_TMVM_CAU FOREIGN KEY (iCauId) REFERENCES TCau_Causali (iCauId),
    CONSTRAINT FK_TMVM_SPR FOREIGN KEY (iSprId) REFERENCES TSPR_SPORTELLICAB (ISPRID),
    CONSTRAINT FK_TMVM_SRPC FOREIGN KEY (iSrpcId) REFERENCES TSRPC (ISRPCID),
    CONSTRAINT FK_TMVM_COMCAP FOREIGN KEY (iComCapId) REFERENCES TCOMCAP (ICOMCAPID),
    CONSTRAINT FK_TMVM_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TMVM_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TMVM_CBM FOREIGN KEY (iCbmId) REFERENCES TCbm_CatBenefMvm (iCbmId),
    CONSTRAINT FK_TMVM_SIT FOREIGN KEY (iSitId) REFERENCES TSit_Situazioni (iSitId),
    CONSTRAINT FK_TMVM_ANAPER FOREIGN KEY (iAnaPerId) REFERENCES TAnaPer_Personale (iAnaPerId)
);
-- The FK index on iCauId serves the lookups by causale.
CREATE INDEX IX_TMVM_DATAMOV ON TMvm_MovimentiCcp (iSprIstId, dMvmDataMov);
CREATE INDEX IX_TMVM_DATAEC ON TMvm_MovimentiCcp (iSprIstId, dMvmDataEc);
CREATE INDEX IX_TMVM_PROGR ON TMvm_MovimentiCcp (iSprIstId, iMvmProgr);

-- Split of a movement's amount over components: goes with its movement.
CREATE TABLE TMvmCca (
    iMvmCcaId      INTEGER NOT NULL,
    iMvmId         INTEGER NOT NULL,
    iCcaId         INTEGER NOT NULL,
    fMvmCcaImporto NUMERIC(18,4) DEFAULT 0 NOT NULL,
    CONSTRAINT PK_TMVMCCA PRIMARY KEY (iMvmCcaId),
    CONSTRAINT FK_TMVMCCA_MVM FOREIGN KEY (iMvmId) REFERENCES TMvm_MovimentiCcp (iMvmId) ON DELETE CASCADE,
    CONSTRAINT FK_TMVMCCA_CCA FOREIGN KEY (iCcaId) REFERENCES TCca_CompCausali (iCcaId)
);

-- Payments of the suite's tax register; they name causali.
CREATE TABLE TVrs_VersRegTasse (
    iVrsId         INTEGER NOT NULL,
    iCauId         INTEGER,
    iAnaId         INTEGER,
    fVrsImporto    NUMERIC(18,4) DEFAULT 0,
    dVrsData       DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TVRS_VERSREGTASSE PRIMARY KEY (iVrsId),
    CONSTRAINT FK_TVRS_CAU FOREIGN KEY (iCauId) REFERENCES TCau_Causali (iCauId),
    CONSTRAINT FK_TVRS_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId)
);

------------------------------------------------------------------------------------------------
-- Direct debit
------------------------------------------------------------------------------------------------

-- A pupil's direct-debit coordinates: pupil, paying parent, payment method, IBAN, holder.
CREATE TABLE TAcb_AluCoordBan (
    iAcbId           INTEGER NOT NULL,
    iAnaId           INTEGER NOT NULL,
    iAnaId_Gen       INTEGER,
    iMpgId           INTEGER,
    sAcbIBan         VARCHAR(34),
    sAcbIntestatario VARCHAR(120),
    CONSTRAINT PK_TACB_ALUCOORDBAN PRIMARY KEY (iAcbId),
    CONSTRAINT FK_TACB_ANA FOREIGN KEY (iAnaId) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TACB_ANA_GEN FOREIGN KEY (iAnaId_Gen) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TACB_MPG FOREIGN KEY (iMpgId) REFERENCES TMpg_ModPagam (iMpgId)
);

CREATE TABLE TAcbCau (
    iAcbCauId      INTEGER NOT NULL,
    iAcbId         INTEGER NOT NULL,
    iCauId         INTEGER NOT NULL,
    bAcbCauNote    BLOB SUB_TYPE TEXT,
    CONSTRAINT PK_TACBCAU PRIMARY KEY (iAcbCauId),
    CONSTRAINT FK_TACBCAU_ACB FOREIGN KEY (iAcbId) REFERENCES TAcb_AluCoordBan (iAcbId) ON DELETE CASCADE,
    CONSTRAINT FK_TACBCAU_CAU FOREIGN KEY (iCauId) REFERENCES TCau_Causali (iCauId)
);

CREATE TABLE TCac_CcaAcbCau (
    iCacId           INTEGER NOT NULL,
    iAcbCauId        INTEGER NOT NULL,
    iCcaId           INTEGER NOT NULL,
    fCacImporto      NUMERIC(18,4) DEFAULT 0,
    dCacDataScadenza DATE,
    lCacPagato       SMALLINT DEFAULT 0 NOT NULL CHECK (lCacPagato IN (0, 1)),
    CONSTRAINT PK_TCAC_CCAACBCAU PRIMARY KEY (iCacId),
    CONSTRAINT FK_TCAC_ACBCAU FOREIGN KEY (iAcbCauId) REFERENCES TAcbCau (iAcbCauId) ON DELETE CASCADE,
    CONSTRAINT FK_TCAC_CCA FOREIGN KEY (iCcaId) REFERENCES TCca_CompCausali (iCcaId)
);
CREATE INDEX IX_TCAC_SCADENZA ON TCac_CcaAcbCau (dCacDataScadenza);

------------------------------------------------------------------------------------------------
-- Beneficiary registry
------------------------------------------------------------------------------------------------

-- Beneficiary categories: 1 legal person, 2 natural person, 3 publisher, 4 representative.
CREATE TABLE TBCA_BENCATEG (
    IBCAID         INTEGER NOT NULL,
    SBCADESCS      VARCHAR(20),
    SBCADESCL      VARCHAR(60),
    DDELETE        DATE,
    CONSTRAINT PK_TBCA_BENCATEG PRIMARY KEY (IBCAID)
);

CREATE TABLE TBENBCA (
    IBENBCAID      INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    IBCAID         INTEGER NOT NULL,
    DDELETE        DATE,
    CONSTRAINT PK_TBENBCA PRIMARY KEY (IBENBCAID),
    CONSTRAINT FK_TBENBCA_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE,
    CONSTRAINT FK_TBENBCA_BCA FOREIGN KEY (IBCAID) REFERENCES TBCA_BENCATEG (IBCAID)
);

-- Bank details of a beneficiary.
CREATE TABLE TSPRBEN (
    ISPRBENID        INTEGER NOT NULL,
    IBENID           INTEGER NOT NULL,
    IMPGID           INTEGER,
    ISPRID           INTEGER,
    SSPRBENNUMCC     VARCHAR(20),
    SSPRBENCIN       VARCHAR(1),
    SSPRBENCININT    VARCHAR(2),
    SSPRBENSTATO     VARCHAR(2),
    SSPRBENIBAN      VARCHAR(34),
    SSPRBENBIC       VARCHAR(11),
    SSPRBENQUIETANZ  VARCHAR(120),
    LSPRBENBANESTERA SMALLINT DEFAULT 0 CHECK (LSPRBENBANESTERA IN (0, 1)),
    LSPRBENCNTDED    SMALLINT DEFAULT 0 CHECK (LSPRBENCNTDED IN (0, 1)),
    DSTART           DATE,
    DEND             DATE,
    DDELETE          DATE,
    CONSTRAINT PK_TSPRBEN PRIMARY KEY (ISPRBENID),
    CONSTRAINT FK_TSPRBEN_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE,
    CONSTRAINT FK_TSPRBEN_MPG FOREIGN KEY (IMPGID) REFERENCES TMpg_ModPagam (iMpgId),
    CONSTRAINT FK_TSPRBEN_SPR FOREIGN KEY (ISPRID) REFERENCES TSPR_SPORTELLICAB (ISPRID)
);

-- Offices (seats) of a beneficiary; LSEBRIFERIMENTO marks the reference seat (1, else NULL/0).
CREATE TABLE TSEB_SEDIBEN (
    ISEBID          INTEGER NOT NULL,
    IBENID          INTEGER NOT NULL,
    IANAID          INTEGER,
    ICOMCAPID       INTEGER,
    SSEBINDIRIZZO   VARCHAR(100),
    LSEBRIFERIMENTO SMALLINT CHECK (LSEBRIFERIMENTO IN (0, 1)),
    DSTART          DATE,
    DEND            DATE,
    DDELETE         DATE,
    CONSTRAINT PK_TSEB_SEDIBEN PRIMARY KEY (ISEBID),
    CONSTRAINT FK_TSEB_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE,
    CONSTRAINT FK_TSEB_ANA FOREIGN KEY (IANAID) REFERENCES TAna_Anagrafiche (iAnaId),
    CONSTRAINT FK_TSEB_COMCAP FOREIGN KEY (ICOMCAPID) REFERENCES TCOMCAP (ICOMCAPID)
);

CREATE TABLE TTPS_TIPOSEDE (
    ITPSID         INTEGER NOT NULL,
    STPSDESCS      VARCHAR(20),
    STPSDESCL      VARCHAR(60),
    DDELETE        DATE,
    CONSTRAINT PK_TTPS_TIPOSEDE PRIMARY KEY (ITPSID)
);

CREATE TABLE TSEBTPS (
    ISEBTPSID      INTEGER NOT NULL,
    ISEBID         INTEGER NOT NULL,
    ITPSID         INTEGER NOT NULL,
    DDELETE        DATE,
    CONSTRAINT PK_TSEBTPS PRIMARY KEY (ISEBTPSID),
    CONSTRAINT FK_TSEBTPS_SEB FOREIGN KEY (ISEBID) REFERENCES TSEB_SEDIBEN (ISEBID) ON DELETE CASCADE,
    CONSTRAINT FK_TSEBTPS_TPS FOREIGN KEY (ITPSID) REFERENCES TTPS_TIPOSEDE (ITPSID)
);

-- Registrations at chamber of commerce, court, prefecture (municipalities as TSRPC ids).
CREATE TABLE TLEG_DATILEGALI (
    ILEGID            INTEGER NOT NULL,
    IBENID            INTEGER NOT NULL,
    SLEGNUMCCIA       VARCHAR(30),
    ILEGSRPCCCIA      INTEGER,
    SLEGNUMTRIBUN     VARCHAR(30),
    ILEGSRPCTRIBUN    INTEGER,
    SLEGNUMPREFETT    VARCHAR(30),
    ILEGSRPCPREFETT   INTEGER,
    ILEGANNOFATT      INTEGER,
    FLEGFATTURATO     NUMERIC(18,4),
    SLEGPOSIZINPS     VARCHAR(30),
    SLEGCODDITTAINAIL VARCHAR(30),
    DSTART            DATE,
    DEND              DATE,
    DDELETE           DATE,
    CONSTRAINT PK_TLEG_DATILEGALI PRIMARY KEY (ILEGID),
    CONSTRAINT FK_TLEG_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE,
    CONSTRAINT FK_TLEG_SRPC_CCIA FOREIGN KEY (ILEGSRPCCCIA) REFERENCES TSRPC (ISRPCID),
    CONSTRAINT FK_TLEG_SRPC_TRIBUN FOREIGN KEY (ILEGSRPCTRIBUN) REFERENCES TSRPC (ISRPCID),
    CONSTRAINT FK_TLEG_SRPC_PREFETT FOREIGN KEY (ILEGSRPCPREFETT) REFERENCES TSRPC (ISRPCID)
);

CREATE TABLE TTEB_TELEFONO (
    ITEBID         INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    STEBTELEFONO   VARCHAR(30),
    STEBDESC       VARCHAR(60),
    LTEBVIEW       SMALLINT DEFAULT 0 CHECK (LTEBVIEW IN (0, 1)),
    DDELETE        DATE,
    CONSTRAINT PK_TTEB_TELEFONO PRIMARY KEY (ITEBID),
    CONSTRAINT FK_TTEB_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE
);

CREATE TABLE TEMB_EMAIL (
    IEMBID         INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    SEMBEMAIL      VARCHAR(100),
    LEMBVIEW       SMALLINT DEFAULT 0 CHECK (LEMBVIEW IN (0, 1)),
    DDELETE        DATE,
    CONSTRAINT PK_TEMB_EMAIL PRIMARY KEY (IEMBID),
    CONSTRAINT FK_TEMB_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE
);

CREATE TABLE TSWB_SITIWEB (
    ISWBID         INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    SSWBSITO       VARCHAR(200),
    DDELETE        DATE,
    CONSTRAINT PK_TSWB_SITIWEB PRIMARY KEY (ISWBID),
    CONSTRAINT FK_TSWB_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID) ON DELETE CASCADE
);

-- IBENID substitutes IBENID_P from DSTART.
CREATE TABLE TSOS_SOSTITUZIONI (
    ISOSID         INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    IBENID_P       INTEGER NOT NULL,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TSOS_SOSTITUZIONI PRIMARY KEY (ISOSID),
    CONSTRAINT FK_TSOS_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TSOS_BEN_P FOREIGN KEY (IBENID_P) REFERENCES TBEN_BENEFICIARI (IBENID)
);

-- IBENID represents IBENID_P.
CREATE TABLE TRPS_RAPPR (
    IRPSID         INTEGER NOT NULL,
    IBENID         INTEGER NOT NULL,
    IBENID_P       INTEGER NOT NULL,
    DSTART         DATE,
    DEND           DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TRPS_RAPPR PRIMARY KEY (IRPSID),
    CONSTRAINT FK_TRPS_BEN FOREIGN KEY (IBENID) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TRPS_BEN_P FOREIGN KEY (IBENID_P) REFERENCES TBEN_BENEFICIARI (IBENID)
);

-- Account delegates of one bank detail (deleted physically).
CREATE TABLE TDeg_Delegati (
    iDegId         INTEGER NOT NULL,
    iSprBenId      INTEGER NOT NULL,
    sDegCognome    VARCHAR(60),
    sDegNome       VARCHAR(60),
    sDegCodFiscale VARCHAR(20),
    dStart         DATE,
    dEnd           DATE,
    CONSTRAINT PK_TDEG_DELEGATI PRIMARY KEY (iDegId),
    CONSTRAINT FK_TDEG_SPRBEN FOREIGN KEY (iSprBenId) REFERENCES TSPRBEN (ISPRBENID) ON DELETE CASCADE
);

-- Receipt signer of one bank detail (deleted physically).
CREATE TABLE TQui_Quietanzante (
    iQuiId            INTEGER NOT NULL,
    iSprBenId         INTEGER NOT NULL,
    sQuiNominativo    VARCHAR(120),
    sQuiIndirizzo     VARCHAR(100),
    sQuiCodiceFiscale VARCHAR(20),
    iComCapId         INTEGER,
    CONSTRAINT PK_TQUI_QUIETANZANTE PRIMARY KEY (iQuiId),
    CONSTRAINT FK_TQUI_SPRBEN FOREIGN KEY (iSprBenId) REFERENCES TSPRBEN (ISPRBENID) ON DELETE CASCADE,
    CONSTRAINT FK_TQUI_COMCAP FOREIGN KEY (iComCapId) REFERENCES TCOMCAP (ICOMCAPID)
);

-- Kinds of CIG/CUP/DURC codes: 1 CIG, 2 CUP, 3 DURC.
CREATE TABLE TTccd_TipoCigCupDurc (
    iTccdId        INTEGER NOT NULL,
    sTccdDescS     VARCHAR(20),
    sTccdDescL     VARCHAR(60),
    CONSTRAINT PK_TTCCD_TIPOCIGCUPDURC PRIMARY KEY (iTccdId)
);

CREATE TABLE TCcd_CigCupDurc (
    iCcdId         INTEGER NOT NULL,
    iBenId         INTEGER,
    iTccdId        INTEGER NOT NULL,
    sCcdCodice     VARCHAR(30),
    sCcdLDesc      VARCHAR(200),
    dCcdDataAssegn DATE,
    dCcdDataScad   DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TCCD_CIGCUPDURC PRIMARY KEY (iCcdId),
    CONSTRAINT FK_TCCD_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TCCD_TCCD FOREIGN KEY (iTccdId) REFERENCES TTccd_TipoCigCupDurc (iTccdId)
);

-- Documents of the suite's other programs that name a beneficiary and its DURC code.
CREATE TABLE TMgm_MovMagazzino (
    iMgmId         INTEGER NOT NULL,
    iBenId         INTEGER,
    iCcdId_Durc    INTEGER,
    dMgmData       DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TMGM_MOVMAGAZZINO PRIMARY KEY (iMgmId),
    CONSTRAINT FK_TMGM_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TMGM_CCD FOREIGN KEY (iCcdId_Durc) REFERENCES TCcd_CigCupDurc (iCcdId)
);

CREATE TABLE TMov_Movimenti (
    iMovId         INTEGER NOT NULL,
    iBenId         INTEGER,
    iCcdId_Durc    INTEGER,
    dMovData       DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TMOV_MOVIMENTI PRIMARY KEY (iMovId),
    CONSTRAINT FK_TMOV_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TMOV_CCD FOREIGN KEY (iCcdId_Durc) REFERENCES TCcd_CigCupDurc (iCcdId)
);

CREATE TABLE TOmg_OrdiniMagaz (
    iOmgId         INTEGER NOT NULL,
    iBenId         INTEGER,
    iCcdId_Durc    INTEGER,
    dOmgData       DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TOMG_ORDINIMAGAZ PRIMARY KEY (iOmgId),
    CONSTRAINT FK_TOMG_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID),
    CONSTRAINT FK_TOMG_CCD FOREIGN KEY (iCcdId_Durc) REFERENCES TCcd_CigCupDurc (iCcdId)
);

-- A beneficiary invited to a procurement; its offers point to it.
CREATE TABLE TPreBen (
    iPreBenId      INTEGER NOT NULL,
    iBenId         INTEGER NOT NULL,
    DDELETE        DATE,
    CONSTRAINT PK_TPREBEN PRIMARY KEY (iPreBenId),
    CONSTRAINT FK_TPREBEN_BEN FOREIGN KEY (iBenId) REFERENCES TBEN_BENEFICIARI (IBENID)
);

CREATE TABLE TOff_Offerte (
    iOffId         INTEGER NOT NULL,
    iPreBenId      INTEGER,
    iCcdId_Durc    INTEGER,
    dOffData       DATE,
    DDELETE        DATE,
    CONSTRAINT PK_TOFF_OFFERTE PRIMARY KEY (iOffId),
    CONSTRAINT FK_TOFF_PREBEN FOREIGN KEY (iPreBenId) REFERENCES TPreBen (iPreBenId),
    CONSTRAINT FK_TOFF_CCD FOREIGN KEY (iCcdId_Durc) REFERENCES TCcd_CigCupDurc (iCcdId)
);

------------------------------------------------------------------------------------------------
-- XML documents and report templates stored in the database
------------------------------------------------------------------------------------------------

CREATE TABLE TYXls_XmlLista (
    iYXlsId        INTEGER NOT NULL,
    sYXlsCodice    VARCHAR(30) NOT NULL,
    sYXlsDesc      VARCHAR(100),
    DDELETE        DATE,
    CONSTRAINT PK_TYXLS_XMLLISTA PRIMARY KEY (iYXlsId),
    CONSTRAINT UQ_TYXLS_CODICE UNIQUE (sYXlsCodice)
);

CREATE TABLE TYXar_XmlArchivio (
    iYXarId        INTEGER NOT NULL,
    iYXlsId        INTEGER NOT NULL,
    sYXarCodice    VARCHAR(30) NOT NULL,
    sYXarDesc      VARCHAR(100),
    bYXarXmlFile   BLOB SUB_TYPE TEXT,
    iLocked        SMALLINT DEFAULT 0 CHECK (iLocked IN (0, 1)),
    DDELETE        DATE,
    CONSTRAINT PK_TYXAR_XMLARCHIVIO PRIMARY KEY (iYXarId),
    CONSTRAINT FK_TYXAR_XLS FOREIGN KEY (iYXlsId) REFERENCES TYXls_XmlLista (iYXlsId) ON DELETE CASCADE
);
CREATE INDEX IX_TYXAR_CODICE ON TYXar_XmlArchivio (sYXarCodice);

CREATE TABLE TYRpt_RptTemplate (
    iYRptId        INTEGER NOT NULL,
    sYRptDesc      VARCHAR(120),
    bYRptTemplate  BLOB SUB_TYPE TEXT,
    DDELETE        DATE,
    CONSTRAINT PK_TYRPT_RPTTEMPLATE PRIMARY KEY (iYRptId)
);

-- Report categories of an application (iYAppId 14: bank export).
CREATE TABLE TScc_StampeCateg (
    iSccId         INTEGER NOT NULL,
    iYAppId        INTEGER NOT NULL,
    sSccName       VARCHAR(60) NOT NULL,
    CONSTRAINT PK_TSCC_STAMPECATEG PRIMARY KEY (iSccId)
);

CREATE TABLE TStmc_StampeCont (
    iStmcId        INTEGER NOT NULL,
    iSccId         INTEGER NOT NULL,
    iYRptId        INTEGER NOT NULL,
    CONSTRAINT PK_TSTMC_STAMPECONT PRIMARY KEY (iStmcId),
    CONSTRAINT FK_TSTMC_SCC FOREIGN KEY (iSccId) REFERENCES TScc_StampeCateg (iSccId) ON DELETE CASCADE,
    CONSTRAINT FK_TSTMC_YRPT FOREIGN KEY (iYRptId) REFERENCES TYRpt_RptTemplate (iYRptId)
);

CREATE TABLE TStmp_StampePar (
    iStmpId        INTEGER NOT NULL,
    iStmcId        INTEGER NOT NULL,
    sStmpName      VARCHAR(60) NOT NULL,
    sStmpValue     VARCHAR(200),
    iStmpValue     INTEGER,
    fStmpValue     NUMERIC(18,4),
    dStmpValue     DATE,
    CONSTRAINT PK_TSTMP_STAMPEPAR PRIMARY KEY (iStmpId),
    CONSTRAINT FK_TSTMP_STMC FOREIGN KEY (iStmcId) REFERENCES TStmc_StampeCont (iStmcId) ON DELETE CASCADE
);

------------------------------------------------------------------------------------------------
-- Sequences: one per table that takes ids (named for PYSetGetId)
------------------------------------------------------------------------------------------------

CREATE SEQUENCE G_TSTA_STATI;
CREATE SEQUENCE G_TREG_REGIONI;
CREATE SEQUENCE G_TPRO_PROVINCE;
CREATE SEQUENCE G_TCOM_COMUNI;
CREATE SEQUENCE G_TSRPC;
CREATE SEQUENCE G_TCAP;
CREATE SEQUENCE G_TFRAQUA;
CREATE SEQUENCE G_TCOMCAP;
CREATE SEQUENCE G_TDOW_DATAOWNER;
CREATE SEQUENCE G_TDWG_DATAOWNERGRP;
CREATE SEQUENCE G_TOTGDWG;
CREATE SEQUENCE G_TSED_SEDI;
CREATE SEQUENCE G_TDWGSED;
CREATE SEQUENCE G_TSEDINF_SEDEINFO;
CREATE SEQUENCE G_TANS_ANNISCOLAST;
CREATE SEQUENCE G_TANF_ANNIFINANZ;
CREATE SEQUENCE G_TDWGANF;
CREATE SEQUENCE G_TSEX_SESSO;
CREATE SEQUENCE G_TANA_ANAGRAFICHE;
CREATE SEQUENCE G_TCAG_ANACATEG;
CREATE SEQUENCE G_TANACAG;
CREATE SEQUENCE G_TGPT_GRADOPARENT;
CREATE SEQUENCE G_TANAGPT;
CREATE SEQUENCE G_TDCT_DOCENTEATA;
CREATE SEQUENCE G_TANAPER_PERSONALE;
CREATE SEQUENCE G_TLOC_LOCAZIONI;
CREATE SEQUENCE G_TABT_ABITAZ;
CREATE SEQUENCE G_TANAABT;
CREATE SEQUENCE G_TABTLOC;
CREATE SEQUENCE G_TSOC_STATOCCUPAZ;
CREATE SEQUENCE G_TANASOC;
CREATE SEQUENCE G_TCLS_CLASSI;
CREATE SEQUENCE G_TCLSPST;
CREATE SEQUENCE G_TPOSATT_POSIZATTUALE;
CREATE SEQUENCE G_TSIT_SITUAZIONI;
CREATE SEQUENCE G_TCBA_CATBANCHE;
CREATE SEQUENCE G_TBAN_BANCHE;
CREATE SEQUENCE G_TSPR_SPORTELLICAB;
CREATE SEQUENCE G_TFLS_FLUSSOCASSA;
CREATE SEQUENCE G_TTITO_TIPOTOTALE;
CREATE SEQUENCE G_TAGG_AGGREGATI;
CREATE SEQUENCE G_TVPRO_VOCIPROGETTI;
CREATE SEQUENCE G_TSVO_SOTTOVOCI;
CREATE SEQUENCE G_TMPR_MODPROGETTI;
CREATE SEQUENCE G_TVOI_VOCIIMPORTI;
CREATE SEQUENCE G_TAPR_APPPROGETTI;
CREATE SEQUENCE G_TTCC_TIPOCOMPCAUS;
CREATE SEQUENCE G_TMPG_MODPAGAM;
CREATE SEQUENCE G_TCAU_CAUSALI;
CREATE SEQUENCE G_TCCA_COMPCAUSALI;
CREATE SEQUENCE G_TCAUCCA;
CREATE SEQUENCE G_TSPRIST;
CREATE SEQUENCE G_TCAI_CASSAIST;
CREATE SEQUENCE G_TCBM_CATBENEFMVM;
CREATE SEQUENCE G_TEDI_EDITORI;
CREATE SEQUENCE G_TBEN_BENEFICIARI;
CREATE SEQUENCE G_TMVM_MOVIMENTICCP;
CREATE SEQUENCE G_TMVMCCA;
CREATE SEQUENCE G_TVRS_VERSREGTASSE;
CREATE SEQUENCE G_TACB_ALUCOORDBAN;
CREATE SEQUENCE G_TACBCAU;
CREATE SEQUENCE G_TCAC_CCAACBCAU;
CREATE SEQUENCE G_TBCA_BENCATEG;
CREATE SEQUENCE G_TBENBCA;
CREATE SEQUENCE G_TSPRBEN;
CREATE SEQUENCE G_TSEB_SEDIBEN;
CREATE SEQUENCE G_TTPS_TIPOSEDE;
CREATE SEQUENCE G_TSEBTPS;
CREATE SEQUENCE G_TLEG_DATILEGALI;
CREATE SEQUENCE G_TTEB_TELEFONO;
CREATE SEQUENCE G_TEMB_EMAIL;
CREATE SEQUENCE G_TSWB_SITIWEB;
CREATE SEQUENCE G_TSOS_SOSTITUZIONI;
CREATE SEQUENCE G_TRPS_RAPPR;
CREATE SEQUENCE G_TDEG_DELEGATI;
CREATE SEQUENCE G_TQUI_QUIETANZANTE;
CREATE SEQUENCE G_TTCCD_TIPOCIGCUPDURC;
CREATE SEQUENCE G_TCCD_CIGCUPDURC;
CREATE SEQUENCE G_TMGM_MOVMAGAZZINO;
CREATE SEQUENCE G_TMOV_MOVIMENTI;
CREATE SEQUENCE G_TOMG_ORDINIMAGAZ;
CREATE SEQUENCE G_TPREBEN;
CREATE SEQUENCE G_TOFF_OFFERTE;
CREATE SEQUENCE G_TYXLS_XMLLISTA;
CREATE SEQUENCE G_TYXAR_XMLARCHIVIO;
CREATE SEQUENCE G_TYRPT_RPTTEMPLATE;
CREATE SEQUENCE G_TSCC_STAMPECATEG;
CREATE SEQUENCE G_TSTMC_STAMPECONT;
CREATE SEQUENCE G_TSTMP_STAMPEPAR;
