-- version: 6.37.0
-- Reference data every installation needs. Rules of the program depend on some ids: component
-- types 1-4, payment methods 1-19 (5 postal account, 11 direct debit "RID"), banks 1-3, bank
-- categories 7 and 8, payer categories 1-6, person categories 1-4 and 6, dwelling kinds 1-2.

-- Component types: four top-level types (their own parent) and their sub-types.
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (1, 'TAS', 'Tasse', 1, '2000-01-01', 1);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (2, 'CON', 'Contributi', 2, '2000-01-01', 1);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (3, 'QUO', 'Quote', 3, '2000-01-01', 1);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (4, 'DIV', 'Diversi', 4, '2000-01-01', 1);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (100, 'TISC', 'Tassa di iscrizione', 1, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (101, 'TFRE', 'Tassa di frequenza', 1, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (102, 'TESA', 'Tassa per esami', 1, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (103, 'TDIP', 'Tassa di rilascio diploma', 1, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (110, 'CVOL', 'Contributo volontario', 2, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (111, 'CLAB', 'Contributo per laboratori', 2, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (112, 'CAMP', 'Contributo per ampliamento dell''offerta formativa', 2, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (113, 'CENT', 'Contributo di enti e privati', 2, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (120, 'QASS', 'Quota assicurativa', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (121, 'QVIA', 'Quota viaggi di istruzione', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (122, 'QUSC', 'Quota uscite didattiche', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (123, 'QMEN', 'Quota mensa', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (124, 'QLIB', 'Quota libri di testo', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (125, 'QCOR', 'Quota corsi extracurricolari', 3, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (130, 'DRIM', 'Rimborsi', 4, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (131, 'DSPE', 'Spese bancarie e postali', 4, '2000-01-01', 0);
INSERT INTO TTcc_TipoCompCaus (iTccId, sTccSDesc, sTccLDesc, iTccId_P, dStart, iLocked) VALUES (132, 'DALT', 'Altre entrate e uscite', 4, '2000-01-01', 0);
ALTER SEQUENCE G_TTCC_TIPOCOMPCAUS RESTART WITH 1000;

-- Payer categories of movements (the "any other" categories select people of the person
-- category with the same number).
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (1, 'Alunni');
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (2, 'Genitori/Tutori');
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (3, 'Personale');
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (4, 'Altri beneficiari');
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (5, 'Alunni nuovi iscritti');
INSERT INTO TCbm_CatBenefMvm (iCbmId, sCbmDesc) VALUES (6, 'Corsisti adulti');
ALTER SEQUENCE G_TCBM_CATBENEFMVM RESTART WITH 100;

-- Person categories.
INSERT INTO TCag_AnaCateg (iCagId, sCagSDesc, sCagLDesc) VALUES (1, 'ALU', 'Alunno');
INSERT INTO TCag_AnaCateg (iCagId, sCagSDesc, sCagLDesc) VALUES (2, 'GEN', 'Genitore/Tutore');
INSERT INTO TCag_AnaCateg (iCagId, sCagSDesc, sCagLDesc) VALUES (3, 'PER', 'Personale');
INSERT INTO TCag_AnaCateg (iCagId, sCagSDesc, sCagLDesc) VALUES (4, 'BEN', 'Beneficiario');
INSERT INTO TCag_AnaCateg (iCagId, sCagSDesc, sCagLDesc) VALUES (6, 'COR', 'Corsista adulto');
ALTER SEQUENCE G_TCAG_ANACATEG RESTART WITH 100;

-- Kinship of a relative to a pupil.
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (1, 'P', 'Padre');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (2, 'M', 'Madre');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (3, 'T', 'Tutore');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (4, 'AF', 'Affidatario');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (5, 'NO', 'Nonno/Nonna');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (6, 'FR', 'Fratello/Sorella');
INSERT INTO TGpt_GradoParent (iGptId, sGptSDesc, sGptLDesc) VALUES (7, 'AL', 'Altro parente');
ALTER SEQUENCE G_TGPT_GRADOPARENT RESTART WITH 100;

INSERT INTO TLoc_Locazioni (iLocId, sLocSDesc, sLocLDesc) VALUES (1, 'DOM', 'Domicilio');
INSERT INTO TLoc_Locazioni (iLocId, sLocSDesc, sLocLDesc) VALUES (2, 'RES', 'Residenza');
ALTER SEQUENCE G_TLOC_LOCAZIONI RESTART WITH 100;

INSERT INTO TSex_Sesso (iSexId, sSexSDesc, sSexLDesc) VALUES (1, 'M', 'Maschio');
INSERT INTO TSex_Sesso (iSexId, sSexSDesc, sSexLDesc) VALUES (2, 'F', 'Femmina');
ALTER SEQUENCE G_TSEX_SESSO RESTART WITH 100;

INSERT INTO TPosAtt_PosizAttuale (iPosAttId, sPosAttSDesc, sPosAttLDesc) VALUES (1, 'FRE', 'Frequentante');
INSERT INTO TPosAtt_PosizAttuale (iPosAttId, sPosAttSDesc, sPosAttLDesc) VALUES (2, 'RIT', 'Ritirato');
INSERT INTO TPosAtt_PosizAttuale (iPosAttId, sPosAttSDesc, sPosAttLDesc) VALUES (3, 'TRA', 'Trasferito');
INSERT INTO TPosAtt_PosizAttuale (iPosAttId, sPosAttSDesc, sPosAttLDesc) VALUES (4, 'NFR', 'Non frequentante');
ALTER SEQUENCE G_TPOSATT_POSIZATTUALE RESTART WITH 100;

INSERT INTO TDct_DocenteAta (iDctId, sDctSDesc, sDctLDesc) VALUES (1, 'DOC', 'Docente');
INSERT INTO TDct_DocenteAta (iDctId, sDctSDesc, sDctLDesc) VALUES (2, 'ATA', 'Personale ATA');
INSERT INTO TDct_DocenteAta (iDctId, sDctSDesc, sDctLDesc) VALUES (3, 'DS', 'Dirigente scolastico');
INSERT INTO TDct_DocenteAta (iDctId, sDctSDesc, sDctLDesc) VALUES (4, 'DSGA', 'Direttore dei servizi generali e amministrativi');
ALTER SEQUENCE G_TDCT_DOCENTEATA RESTART WITH 100;

INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (1, 'OCC', 'Occupato');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (2, 'DIS', 'Disoccupato');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (3, 'PRI', 'In cerca di prima occupazione');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (4, 'CAS', 'Casalinga/o');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (5, 'PEN', 'Pensionato');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (6, 'STU', 'Studente');
INSERT INTO TSoc_StatOccupaz (iSocId, sSocSDesc, sSocLDesc) VALUES (7, 'ALT', 'Altro');
ALTER SEQUENCE G_TSOC_STATOCCUPAZ RESTART WITH 100;

-- Payment methods. The account number is not required for 1, 2, 4, 6-9 and 12-19; 5 and 10
-- may lack the bank (5 is the postal current account, whose only bank is bank 2).
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (1, 'CONT', 'Contanti', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (2, 'ACIR', 'Assegno circolare', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (3, 'BON', 'Bonifico bancario', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (4, 'ABAN', 'Assegno bancario', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (5, 'CCP', 'Conto corrente postale', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (6, 'VPOS', 'Vaglia postale', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (7, 'QUIE', 'Quietanza diretta', 0, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (8, 'F24', 'Modello F24', 0, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (9, 'CART', 'Carta di credito', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (10, 'LPOS', 'Libretto postale', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (11, 'RID', 'RID', 1, 0, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (12, 'GIRO', 'Girofondi Banca d''Italia', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (13, 'COMM', 'Commutazione in quietanza di entrata', 0, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (14, 'APOS', 'Assegno postale', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (15, 'PAPA', 'Avviso di pagamento pagoPA', 1, 0, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (16, 'POS', 'POS / Bancomat', 1, 0, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (17, 'CPRE', 'Carta prepagata', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (18, 'COMP', 'Compensazione', 1, 1, 1);
INSERT INTO TMpg_ModPagam (iMpgId, sMpgDescS, sMpgDescL, lMpgRisc, lMpgPag, iLocked) VALUES (19, 'ALTR', 'Altre modalità', 1, 1, 1);
ALTER SEQUENCE G_TMPG_MODPAGAM RESTART WITH 100;

-- Budget: cash flows and total types.
INSERT INTO TFLS_FLUSSOCASSA (IFLSID, SFLSDESCS, SFLSDESCL) VALUES (1, 'E', 'Entrate');
INSERT INTO TFLS_FLUSSOCASSA (IFLSID, SFLSDESCS, SFLSDESCL) VALUES (2, 'U', 'Uscite');
ALTER SEQUENCE G_TFLS_FLUSSOCASSA RESTART WITH 100;
INSERT INTO TTITO_TIPOTOTALE (ITITOID, STITODESCS, STITODESCL) VALUES (1, 'IT', 'In totale');
INSERT INTO TTITO_TIPOTOTALE (ITITOID, STITODESCS, STITODESCL) VALUES (2, 'FT', 'Fuori totale');
ALTER SEQUENCE G_TTITO_TIPOTOTALE RESTART WITH 100;

-- Bank categories: 7 postal, 8 cash; every other is a bank.
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (1, 'SPA', 'Banche S.p.A.');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (2, 'POP', 'Banche popolari');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (3, 'BCC', 'Banche di credito cooperativo');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (4, 'EST', 'Filiali di banche estere');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (5, 'ICC', 'Istituti centrali di categoria');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (6, 'BCE', 'Banca centrale');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (7, 'POST', 'Poste');
INSERT INTO TCba_CatBanche (iCbaId, sCbaDescS, sCbaDescL) VALUES (8, 'CASSA', 'Cassa');
ALTER SEQUENCE G_TCBA_CATBANCHE RESTART WITH 100;

-- Bank 1: a bank without category; 2: the postal bank; 3: the cash with its one branch.
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (1, NULL, 'Banca', 'Banca non specificata', NULL, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (2, '07601', 'Poste Italiane', 'Poste Italiane S.p.A. - BancoPosta', 7, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (3, NULL, 'Cassa', 'Cassa dell''istituto', 8, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (10, '01000', 'Banca d''Italia', 'Banca d''Italia', 6, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (11, '03069', 'Intesa Sanpaolo', 'Intesa Sanpaolo S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (12, '02008', 'UniCredit', 'UniCredit S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (13, '05034', 'Banco BPM', 'Banco BPM S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (14, '05387', 'BPER Banca', 'BPER Banca S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (15, '01030', 'Monte dei Paschi', 'Banca Monte dei Paschi di Siena S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (16, '06230', 'Crédit Agricole Italia', 'Crédit Agricole Italia S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (17, '01005', 'BNL', 'Banca Nazionale del Lavoro S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (18, '03268', 'Banca Sella', 'Banca Sella S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (19, '03032', 'Credem', 'Credito Emiliano S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (20, '05696', 'Pop. di Sondrio', 'Banca Popolare di Sondrio S.p.A.', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (21, '03015', 'Fineco', 'FinecoBank S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (22, '03062', 'Banca Mediolanum', 'Banca Mediolanum S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (23, '03104', 'Deutsche Bank', 'Deutsche Bank S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (24, '06175', 'Banca Carige', 'Banca Carige S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (25, '03440', 'Banco Desio', 'Banco di Desio e della Brianza S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (26, '05424', 'Pop. di Bari', 'Banca Popolare di Bari S.p.A.', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (27, '05856', 'Volksbank', 'Banca Popolare dell''Alto Adige S.p.A.', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (28, '06045', 'Sparkasse', 'Cassa di Risparmio di Bolzano S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (29, '03475', 'ING Bank', 'ING Bank N.V. - Succursale di Milano', 4, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (30, '03205', 'Banca Ifis', 'Banca Ifis S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (31, '03395', 'illimity Bank', 'illimity Bank S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (32, '06085', 'Cassa di Risp. di Asti', 'Cassa di Risparmio di Asti S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (33, '05036', 'BAPR', 'Banca Agricola Popolare di Ragusa', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (34, '05262', 'Pop. Pugliese', 'Banca Popolare Pugliese', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (35, '01015', 'Banco di Sardegna', 'Banco di Sardegna S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (36, '08000', 'Iccrea Banca', 'Iccrea Banca S.p.A.', 5, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (37, '03599', 'Cassa Centrale Banca', 'Cassa Centrale Banca - Credito Cooperativo Italiano S.p.A.', 5, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (38, '05018', 'Banca Etica', 'Banca Popolare Etica', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (39, '10631', 'Mediobanca', 'Mediobanca - Banca di Credito Finanziario S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (40, '03075', 'Banca Generali', 'Banca Generali S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (41, '03058', 'CheBanca!', 'CheBanca! S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (42, '03048', 'Banca del Piemonte', 'Banca del Piemonte S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (43, '05142', 'Credito Popolare', 'Banca di Credito Popolare', 2, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (44, '06370', 'Cassa di Risp. di Volterra', 'Cassa di Risparmio di Volterra S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (45, '06270', 'La Cassa di Ravenna', 'Cassa di Risparmio di Ravenna S.p.A.', 1, '2000-01-01');
INSERT INTO TBAN_BANCHE (IBANID, SBANABI, SBANDESCS, SBANDESCL, ICBAID, DSTART) VALUES (46, '06150', 'Carifermo', 'Cassa di Risparmio di Fermo S.p.A.', 1, '2000-01-01');
ALTER SEQUENCE G_TBAN_BANCHE RESTART WITH 1000;

INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB, SSPRDESCS, SSPRDESCL, DSTART, ILOCKED) VALUES (3, 3, '40299', 'Cassa', 'Cassa dell''istituto', '2000-01-01', 1);
ALTER SEQUENCE G_TSPR_SPORTELLICAB RESTART WITH 1000;

-- Beneficiary registry.
INSERT INTO TBCA_BENCATEG (IBCAID, SBCADESCS, SBCADESCL) VALUES (1, 'GIU', 'Persona giuridica');
INSERT INTO TBCA_BENCATEG (IBCAID, SBCADESCS, SBCADESCL) VALUES (2, 'FIS', 'Persona fisica');
INSERT INTO TBCA_BENCATEG (IBCAID, SBCADESCS, SBCADESCL) VALUES (3, 'EDI', 'Editore');
INSERT INTO TBCA_BENCATEG (IBCAID, SBCADESCS, SBCADESCL) VALUES (4, 'RAP', 'Rappresentante');
ALTER SEQUENCE G_TBCA_BENCATEG RESTART WITH 100;

INSERT INTO TTPS_TIPOSEDE (ITPSID, STPSDESCS, STPSDESCL) VALUES (1, 'LEG', 'Sede legale');
INSERT INTO TTPS_TIPOSEDE (ITPSID, STPSDESCS, STPSDESCL) VALUES (2, 'AMM', 'Sede amministrativa');
INSERT INTO TTPS_TIPOSEDE (ITPSID, STPSDESCS, STPSDESCL) VALUES (3, 'OPE', 'Sede operativa');
INSERT INTO TTPS_TIPOSEDE (ITPSID, STPSDESCS, STPSDESCL) VALUES (4, 'FIS', 'Domicilio fiscale');
ALTER SEQUENCE G_TTPS_TIPOSEDE RESTART WITH 100;

INSERT INTO TTccd_TipoCigCupDurc (iTccdId, sTccdDescS, sTccdDescL) VALUES (1, 'CIG', 'Codice identificativo di gara');
INSERT INTO TTccd_TipoCigCupDurc (iTccdId, sTccdDescS, sTccdDescL) VALUES (2, 'CUP', 'Codice unico di progetto');
INSERT INTO TTccd_TipoCigCupDurc (iTccdId, sTccdDescS, sTccdDescL) VALUES (3, 'DURC', 'Documento unico di regolarità contributiva');
ALTER SEQUENCE G_TTCCD_TIPOCIGCUPDURC RESTART WITH 100;

-- XML archive: the lists of this program and of the fees layer; row 5002 records whether the
-- IBAN batch over all beneficiaries has been accepted (ILOCKED NULL until then).
INSERT INTO TYXls_XmlLista (iYXlsId, sYXlsCodice, sYXlsDesc) VALUES (1, 'EBC', 'Conto corrente');
INSERT INTO TYXls_XmlLista (iYXlsId, sYXlsCodice, sYXlsDesc) VALUES (2, 'EBT', 'Tasse e contributi');
INSERT INTO TYXls_XmlLista (iYXlsId, sYXlsCodice, sYXlsDesc) VALUES (3, 'ABI', 'Beneficiari');
ALTER SEQUENCE G_TYXLS_XMLLISTA RESTART WITH 100;
INSERT INTO TYXar_XmlArchivio (iYXarId, iYXlsId, sYXarCodice, sYXarDesc, bYXarXmlFile, iLocked) VALUES (5002, 3, 'ABI_IBANBATCH', 'Calcolo automatico IBAN dei beneficiari', NULL, NULL);
ALTER SEQUENCE G_TYXAR_XMLARCHIVIO RESTART WITH 10000;

-- Report categories of the bank export (application 14).
INSERT INTO TScc_StampeCateg (iSccId, iYAppId, sSccName) VALUES (1, 14, 'Riepilogo');
INSERT INTO TScc_StampeCateg (iSccId, iYAppId, sSccName) VALUES (2, 14, 'Brogliaccio');
ALTER SEQUENCE G_TSCC_STAMPECATEG RESTART WITH 100;
