-- version: 6.37.0
-- Balances at a date that agree with each other, and account-years that keep their movements.
--
-- Signs. Per-movement compositions (PEbc_ComposSint, PEbc_ComposAna) are unsigned: the
-- movement's kind (lMvmTipo 0 in, 1 out) says which way they go. Balances, carry-overs and sums
-- over a period (PEbc_SaldoXTcc, PEbc_RiportoXTcc, PEbc_RiportiInOut, PEbc_MvmDiff,
-- PEbc_Differenze, PEbc_Sum_ComposAna, the running balance of PEbc_RegistroCcp) are signed:
-- income adds, expense subtracts.
--
-- Types. Every amount belongs to one of four top-level types: taxes (1), contributions (2),
-- quotas (3) and other (4). Split rows of a component whose type is, or belongs to, 1, 2 or 3
-- count there; whatever else a movement holds (components of type 4, of another type or of no
-- type, and an amount without split rows) counts as 4. So the four always add up to the account.
--
-- Which account-year a date reads. A date in an account-year reads that year; a date in no
-- account-year reads the closing figure of the latest account-year that ended before it.
--
-- By statement date. The opening of a year carries the earlier years' movements by movement date;
-- a balance by statement date at D counts every movement stated on or before D once: the year's
-- opening, plus the movements from the year's first day on stated by D, minus the earlier
-- movements stated after D (or not yet stated).

-- Day totals per account, so that a balance at any date reads at most a year of days whatever the
-- number of movements. Amounts in and out are unsigned sums; types and differences are signed.
CREATE TABLE TMvg_MovGiorno (
    iSprIstId       INTEGER NOT NULL,
    dMvgData        DATE NOT NULL,
    fMvgEntrate     NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvgUscite      NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvgTasse       NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvgContributi  NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvgQuote       NUMERIC(18,4) DEFAULT 0 NOT NULL,
    fMvgDiff        NUMERIC(18,4) DEFAULT 0 NOT NULL,
    CONSTRAINT PK_TMVG_MOVGIORNO PRIMARY KEY (iSprIstId, dMvgData)
);

-- 1 once the day totals of the account-year's days are complete; a year kept before they existed
-- reads its movements directly until it is brought up to date (PEbc_MvmUpdTabs does).
ALTER TABLE TCai_CassaIst ADD lCaiGiorni SMALLINT DEFAULT 0 NOT NULL CHECK (lCaiGiorni IN (0, 1));

SET TERM ^ ;

-- Top-level type of a component for the per-type figures: 1, 2, 3, else 4.
CREATE OR ALTER FUNCTION FEbc_TipoCca (iCcaId INTEGER) RETURNS SMALLINT
AS
DECLARE VARIABLE iTipo INTEGER;
BEGIN
  iTipo = NULL;
  SELECT COALESCE(Tcc.iTccId_P, Tcc.iTccId) FROM TCca_CompCausali Cca
    LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
   WHERE Cca.iCcaId = :iCcaId INTO :iTipo;
  RETURN IIF(iTipo IN (1, 2, 3), iTipo, 4);
END^

-- Adds to the day totals of an account.
CREATE OR ALTER PROCEDURE PEbc_GiornoAggiungi (iSprIstId INTEGER, dData DATE, fEntrate NUMERIC(18,4),
  fUscite NUMERIC(18,4), fTasse NUMERIC(18,4), fContributi NUMERIC(18,4), fQuote NUMERIC(18,4),
  fDiff NUMERIC(18,4))
AS
BEGIN
  IF (iSprIstId IS NULL OR dData IS NULL) THEN
    EXIT;
  UPDATE TMvg_MovGiorno G
     SET G.fMvgEntrate = G.fMvgEntrate + :fEntrate, G.fMvgUscite = G.fMvgUscite + :fUscite,
         G.fMvgTasse = G.fMvgTasse + :fTasse, G.fMvgContributi = G.fMvgContributi + :fContributi,
         G.fMvgQuote = G.fMvgQuote + :fQuote, G.fMvgDiff = G.fMvgDiff + :fDiff
   WHERE G.iSprIstId = :iSprIstId AND G.dMvgData = :dData;
  IF (ROW_COUNT = 0) THEN
    INSERT INTO TMvg_MovGiorno (iSprIstId, dMvgData, fMvgEntrate, fMvgUscite, fMvgTasse, fMvgContributi,
                                fMvgQuote, fMvgDiff)
    VALUES (:iSprIstId, :dData, :fEntrate, :fUscite, :fTasse, :fContributi, :fQuote, :fDiff);
END^

-- A whole movement in or out of the day totals (iSegno 1 adds it, -1 takes it off).
CREATE OR ALTER PROCEDURE PEbc_GiornoMovimento (iMvmId INTEGER, iSprIstId INTEGER, dData DATE, lTipo SMALLINT,
  fImporto NUMERIC(18,4), fDifferenza NUMERIC(18,4), iSegno INTEGER)
AS
DECLARE VARIABLE fT NUMERIC(18,4);
DECLARE VARIABLE fC NUMERIC(18,4);
DECLARE VARIABLE fQ NUMERIC(18,4);
DECLARE VARIABLE iVerso INTEGER;
BEGIN
  iVerso = IIF(lTipo = 1, -1, 1) * iSegno;
  SELECT COALESCE(SUM(IIF(T.iTipo = 1, T.fImporto, 0)), 0), COALESCE(SUM(IIF(T.iTipo = 2, T.fImporto, 0)), 0),
         COALESCE(SUM(IIF(T.iTipo = 3, T.fImporto, 0)), 0)
    FROM (SELECT FEbc_TipoCca(MvmCca.iCcaId) AS iTipo, MvmCca.fMvmCcaImporto AS fImporto
            FROM TMvmCca MvmCca WHERE MvmCca.iMvmId = :iMvmId) T
    INTO :fT, :fC, :fQ;
  EXECUTE PROCEDURE PEbc_GiornoAggiungi(:iSprIstId, :dData,
    IIF(lTipo = 1, 0, iSegno * COALESCE(fImporto, 0)), IIF(lTipo = 1, iSegno * COALESCE(fImporto, 0), 0),
    iVerso * fT, iVerso * fC, iVerso * fQ, iVerso * COALESCE(fDifferenza, 0));
END^

-- Rebuilds the day totals of an account from dDa to dA out of its movements (every day gets a
-- row, so that posts only ever update one).
CREATE OR ALTER PROCEDURE PEbc_GiorniRicalcola (iSprIstId INTEGER, dDa DATE, dA DATE)
AS
DECLARE VARIABLE dGiorno DATE;
DECLARE VARIABLE fIn NUMERIC(18,4);
DECLARE VARIABLE fOut NUMERIC(18,4);
DECLARE VARIABLE fT NUMERIC(18,4);
DECLARE VARIABLE fC NUMERIC(18,4);
DECLARE VARIABLE fQ NUMERIC(18,4);
DECLARE VARIABLE fD NUMERIC(18,4);
BEGIN
  DELETE FROM TMvg_MovGiorno G WHERE G.iSprIstId = :iSprIstId AND G.dMvgData BETWEEN :dDa AND :dA;
  dGiorno = dDa;
  WHILE (dGiorno <= dA) DO
  BEGIN
    INSERT INTO TMvg_MovGiorno (iSprIstId, dMvgData) VALUES (:iSprIstId, :dGiorno);
    dGiorno = DATEADD(1 DAY TO dGiorno);
  END
  FOR SELECT Mvm.dMvmDataMov,
             SUM(IIF(Mvm.lMvmTipo = 1, 0, Mvm.fMvmImporto)), SUM(IIF(Mvm.lMvmTipo = 1, Mvm.fMvmImporto, 0)),
             SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(Mvm.fMvmDifferenza, 0))
        FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dDa AND :dA
       GROUP BY Mvm.dMvmDataMov
        INTO :dGiorno, :fIn, :fOut, :fD
  DO
    UPDATE TMvg_MovGiorno G SET G.fMvgEntrate = :fIn, G.fMvgUscite = :fOut, G.fMvgDiff = :fD
     WHERE G.iSprIstId = :iSprIstId AND G.dMvgData = :dGiorno;
  FOR SELECT T.dData, SUM(IIF(T.iTipo = 1, T.fImporto, 0)), SUM(IIF(T.iTipo = 2, T.fImporto, 0)),
             SUM(IIF(T.iTipo = 3, T.fImporto, 0))
        FROM (SELECT Mvm.dMvmDataMov AS dData, COALESCE(Tcc.iTccId_P, Tcc.iTccId) AS iTipo,
                     IIF(Mvm.lMvmTipo = 1, -1, 1) * MvmCca.fMvmCcaImporto AS fImporto
                FROM TMvm_MovimentiCcp Mvm INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
                LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
                LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
               WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dDa AND :dA) T
       GROUP BY T.dData
        INTO :dGiorno, :fT, :fC, :fQ
  DO
    UPDATE TMvg_MovGiorno G SET G.fMvgTasse = :fT, G.fMvgContributi = :fC, G.fMvgQuote = :fQ
     WHERE G.iSprIstId = :iSprIstId AND G.dMvgData = :dGiorno;
END^

-- Day totals follow every change of a movement. A deleted movement takes its split rows off
-- before they go (its own row is gone when the cascade deletes them).
CREATE OR ALTER TRIGGER TMvm_Giorni FOR TMvm_MovimentiCcp
ACTIVE AFTER INSERT OR UPDATE POSITION 1
AS
BEGIN
  IF (INSERTING) THEN
  BEGIN
    EXECUTE PROCEDURE PEbc_GiornoMovimento(NEW.iMvmId, NEW.iSprIstId, NEW.dMvmDataMov, NEW.lMvmTipo,
                                           NEW.fMvmImporto, NEW.fMvmDifferenza, 1);
    EXIT;
  END
  IF (NEW.iSprIstId IS NOT DISTINCT FROM OLD.iSprIstId AND NEW.dMvmDataMov IS NOT DISTINCT FROM OLD.dMvmDataMov
      AND NEW.lMvmTipo IS NOT DISTINCT FROM OLD.lMvmTipo AND NEW.fMvmImporto IS NOT DISTINCT FROM OLD.fMvmImporto
      AND NEW.fMvmDifferenza IS NOT DISTINCT FROM OLD.fMvmDifferenza) THEN
    EXIT;
  EXECUTE PROCEDURE PEbc_GiornoMovimento(OLD.iMvmId, OLD.iSprIstId, OLD.dMvmDataMov, OLD.lMvmTipo,
                                         OLD.fMvmImporto, OLD.fMvmDifferenza, -1);
  EXECUTE PROCEDURE PEbc_GiornoMovimento(NEW.iMvmId, NEW.iSprIstId, NEW.dMvmDataMov, NEW.lMvmTipo,
                                         NEW.fMvmImporto, NEW.fMvmDifferenza, 1);
END^

CREATE OR ALTER TRIGGER TMvm_GiorniDel FOR TMvm_MovimentiCcp
ACTIVE BEFORE DELETE POSITION 1
AS
DECLARE VARIABLE iEsito INTEGER;
BEGIN
  EXECUTE PROCEDURE PEbc_GiornoMovimento(OLD.iMvmId, OLD.iSprIstId, OLD.dMvmDataMov, OLD.lMvmTipo,
                                         OLD.fMvmImporto, OLD.fMvmDifferenza, -1);
  -- Its split rows are deleted right after it: one name for the movement being deleted is enough.
  iEsito = RDB$SET_CONTEXT('USER_TRANSACTION', 'EBC.MVMDEL', OLD.iMvmId);
END^

CREATE OR ALTER TRIGGER TMvmCca_Giorni FOR TMvmCca
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 1
AS
DECLARE VARIABLE iSprIstId INTEGER;
DECLARE VARIABLE dData DATE;
DECLARE VARIABLE lTipo SMALLINT;
DECLARE VARIABLE iTipo SMALLINT;
DECLARE VARIABLE fImporto NUMERIC(18,4);
BEGIN
  IF (UPDATING) THEN
    IF (NEW.iMvmId IS NOT DISTINCT FROM OLD.iMvmId AND NEW.iCcaId IS NOT DISTINCT FROM OLD.iCcaId
        AND NEW.fMvmCcaImporto IS NOT DISTINCT FROM OLD.fMvmCcaImporto) THEN
      EXIT;
  IF ((UPDATING OR DELETING)
      AND RDB$GET_CONTEXT('USER_TRANSACTION', 'EBC.MVMDEL') IS DISTINCT FROM CAST(OLD.iMvmId AS VARCHAR(12))) THEN
  BEGIN
    iSprIstId = NULL;
    SELECT Mvm.iSprIstId, Mvm.dMvmDataMov, Mvm.lMvmTipo FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId = OLD.iMvmId
      INTO :iSprIstId, :dData, :lTipo;
    iTipo = FEbc_TipoCca(OLD.iCcaId);
    fImporto = -IIF(lTipo = 1, -1, 1) * OLD.fMvmCcaImporto;
    IF (iSprIstId IS NOT NULL AND iTipo < 4) THEN
      EXECUTE PROCEDURE PEbc_GiornoAggiungi(:iSprIstId, :dData, 0, 0, IIF(:iTipo = 1, :fImporto, 0),
                                            IIF(:iTipo = 2, :fImporto, 0), IIF(:iTipo = 3, :fImporto, 0), 0);
  END
  IF (INSERTING OR UPDATING) THEN
  BEGIN
    iSprIstId = NULL;
    SELECT Mvm.iSprIstId, Mvm.dMvmDataMov, Mvm.lMvmTipo FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId = NEW.iMvmId
      INTO :iSprIstId, :dData, :lTipo;
    iTipo = FEbc_TipoCca(NEW.iCcaId);
    fImporto = IIF(lTipo = 1, -1, 1) * NEW.fMvmCcaImporto;
    IF (iSprIstId IS NOT NULL AND iTipo < 4) THEN
      EXECUTE PROCEDURE PEbc_GiornoAggiungi(:iSprIstId, :dData, 0, 0, IIF(:iTipo = 1, :fImporto, 0),
                                            IIF(:iTipo = 2, :fImporto, 0), IIF(:iTipo = 3, :fImporto, 0), 0);
  END
END^

-- A component or a type that changes its top-level type leaves the day totals of every year
-- behind: they are read from the movements again until PEbc_MvmUpdTabs rebuilds them.
CREATE OR ALTER TRIGGER TCca_Giorni FOR TCca_CompCausali
ACTIVE AFTER UPDATE POSITION 1
AS
BEGIN
  IF (NEW.iTccId IS DISTINCT FROM OLD.iTccId
      AND EXISTS (SELECT 1 FROM TMvmCca MvmCca WHERE MvmCca.iCcaId = NEW.iCcaId)) THEN
    UPDATE TCai_CassaIst Cai SET Cai.lCaiGiorni = 0 WHERE Cai.lCaiGiorni = 1;
END^

CREATE OR ALTER TRIGGER TTcc_Giorni FOR TTcc_TipoCompCaus
ACTIVE AFTER UPDATE POSITION 1
AS
BEGIN
  IF (NEW.iTccId_P IS DISTINCT FROM OLD.iTccId_P) THEN
    UPDATE TCai_CassaIst Cai SET Cai.lCaiGiorni = 0 WHERE Cai.lCaiGiorni = 1;
END^

-- Account-years -----------------------------------------------------------------------------------

-- A movement always lies in an account-year of its account.
CREATE OR ALTER TRIGGER TMvm_Anno FOR TMvm_MovimentiCcp
ACTIVE BEFORE INSERT OR UPDATE POSITION 1
AS
BEGIN
  IF (UPDATING) THEN
    IF (NEW.iSprIstId IS NOT DISTINCT FROM OLD.iSprIstId AND NEW.dMvmDataMov IS NOT DISTINCT FROM OLD.dMvmDataMov) THEN
      EXIT;
  IF (NOT EXISTS (SELECT 1 FROM TCai_CassaIst Cai
                   WHERE Cai.iSprIstId = NEW.iSprIstId
                     AND NEW.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                                             AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)))) THEN
    EXCEPTION E_EBC 'La data del movimento (' || COALESCE(FEbc_Data(NEW.dMvmDataMov), '?')
      || ') non rientra in nessun anno finanziario del conto: eseguire prima l''inizio dell''anno finanziario.';
END^

-- An account-year keeps its movements: new bounds that would hand a movement to another year, or
-- leave it in none, are refused; a new year may not take movements that another year holds.
-- A new year starts with complete day totals.
CREATE OR ALTER TRIGGER TCai_Movimenti FOR TCai_CassaIst
ACTIVE BEFORE INSERT OR UPDATE POSITION 1
AS
DECLARE VARIABLE dNuovoInizio DATE;
DECLARE VARIABLE dNuovaFine DATE;
DECLARE VARIABLE dVecchioInizio DATE;
DECLARE VARIABLE dVecchiaFine DATE;
DECLARE VARIABLE dMov DATE;
BEGIN
  dNuovoInizio = COALESCE(NEW.dCaiInizioAnno, CAST(NEW.iCaiEsercizioFin || '-01-01' AS DATE));
  dNuovaFine = COALESCE(NEW.dCaiFineAnno, CAST(NEW.iCaiEsercizioFin || '-12-31' AS DATE));
  dMov = NULL;
  IF (INSERTING) THEN
  BEGIN
    SELECT FIRST 1 Mvm.dMvmDataMov FROM TMvm_MovimentiCcp Mvm
     WHERE Mvm.iSprIstId = NEW.iSprIstId AND Mvm.dMvmDataMov BETWEEN :dNuovoInizio AND :dNuovaFine
       AND EXISTS (SELECT 1 FROM TCai_CassaIst Cai
                    WHERE Cai.iSprIstId = Mvm.iSprIstId AND Cai.iCaiId <> NEW.iCaiId
                      AND Mvm.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                                              AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)))
     ORDER BY Mvm.iSprIstId, Mvm.dMvmDataMov
      INTO :dMov;
    IF (dMov IS NOT NULL) THEN
      EXCEPTION E_EBC 'Impossibile creare l''anno finanziario ' || NEW.iCaiEsercizioFin || ' dal ' || FEbc_Data(dNuovoInizio)
        || ' al ' || FEbc_Data(dNuovaFine) || ': il movimento del ' || FEbc_Data(dMov)
        || ' appartiene già a un altro anno finanziario del conto.';
    EXECUTE PROCEDURE PEbc_GiorniRicalcola(NEW.iSprIstId, :dNuovoInizio, :dNuovaFine);
    NEW.lCaiGiorni = 1;
    EXIT;
  END

  dVecchioInizio = COALESCE(OLD.dCaiInizioAnno, CAST(OLD.iCaiEsercizioFin || '-01-01' AS DATE));
  dVecchiaFine = COALESCE(OLD.dCaiFineAnno, CAST(OLD.iCaiEsercizioFin || '-12-31' AS DATE));
  IF (NEW.iSprIstId IS NOT DISTINCT FROM OLD.iSprIstId AND dNuovoInizio = dVecchioInizio
      AND dNuovaFine = dVecchiaFine) THEN
    EXIT;
  IF (NEW.iSprIstId IS DISTINCT FROM OLD.iSprIstId) THEN
    SELECT FIRST 1 Mvm.dMvmDataMov FROM TMvm_MovimentiCcp Mvm
     WHERE (Mvm.iSprIstId = OLD.iSprIstId AND Mvm.dMvmDataMov BETWEEN :dVecchioInizio AND :dVecchiaFine)
        OR (Mvm.iSprIstId = NEW.iSprIstId AND Mvm.dMvmDataMov BETWEEN :dNuovoInizio AND :dNuovaFine)
      INTO :dMov;
  ELSE
    -- Only the days that the change adds or takes away can hold a movement that moves.
    SELECT FIRST 1 Mvm.dMvmDataMov FROM TMvm_MovimentiCcp Mvm
     WHERE Mvm.iSprIstId = NEW.iSprIstId
       AND (Mvm.dMvmDataMov BETWEEN :dVecchioInizio AND MINVALUE(DATEADD(-1 DAY TO :dNuovoInizio), :dVecchiaFine)
            OR Mvm.dMvmDataMov BETWEEN :dNuovoInizio AND MINVALUE(DATEADD(-1 DAY TO :dVecchioInizio), :dNuovaFine)
            OR Mvm.dMvmDataMov BETWEEN MAXVALUE(DATEADD(1 DAY TO :dNuovaFine), :dVecchioInizio) AND :dVecchiaFine
            OR Mvm.dMvmDataMov BETWEEN MAXVALUE(DATEADD(1 DAY TO :dVecchiaFine), :dNuovoInizio) AND :dNuovaFine)
     ORDER BY Mvm.iSprIstId, Mvm.dMvmDataMov
      INTO :dMov;
  IF (dMov IS NOT NULL) THEN
    EXCEPTION E_EBC 'Impossibile cambiare le date dell''anno finanziario ' || OLD.iCaiEsercizioFin
      || ': il movimento del ' || FEbc_Data(dMov)
      || ' passerebbe a un altro anno finanziario o resterebbe fuori da ogni anno. Le date non sono state cambiate.';
END^

-- Brings the account up to date after its movements changed: the current balance of its years,
-- complete day totals, and a progressive number, in its own account-year, for every movement that
-- has none yet. Locking the given year's row first makes two workstations that post at the same
-- moment take turns.
CREATE OR ALTER PROCEDURE PEbc_MvmUpdTabs (iSprIstId INTEGER, iEsercizioFin INTEGER)
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE iCaiMvm INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iProgr INTEGER;
DECLARE VARIABLE iMvmId INTEGER;
DECLARE VARIABLE dData DATE;
BEGIN
  iCaiId = NULL;
  SELECT Cai.iCaiId FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin
    INTO :iCaiId;
  IF (iCaiId IS NULL) THEN
    EXCEPTION E_EBC 'L''anno finanziario ' || COALESCE(CAST(iEsercizioFin AS VARCHAR(12)), '?') || ' non è stato inizializzato per il conto '
      || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ': eseguire prima l''inizio dell''anno finanziario.';

  UPDATE TCai_CassaIst Cai
     SET Cai.fCaiCassaAtt = COALESCE(Cai.fCaiCassaIn, 0) + COALESCE(Cai.fCaiSaldoIn, 0) - COALESCE(Cai.fCaiSaldoOut, 0)
   WHERE Cai.iCaiId = :iCaiId;

  FOR SELECT Cai.iCaiId,
             COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
             COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
        FROM TCai_CassaIst Cai WHERE Cai.iSprIstId = :iSprIstId AND Cai.lCaiGiorni = 0
        INTO :iCaiMvm, :dInizio, :dFine
  DO
  BEGIN
    EXECUTE PROCEDURE PEbc_GiorniRicalcola(:iSprIstId, :dInizio, :dFine);
    UPDATE TCai_CassaIst Cai SET Cai.lCaiGiorni = 1 WHERE Cai.iCaiId = :iCaiMvm;
  END

  -- Two lookups on the (account, progressive) index, then the few unnumbered rows sorted.
  FOR SELECT U.iMvmId, U.dMvmDataMov
        FROM (SELECT Mvm.iMvmId, Mvm.dMvmDataMov FROM TMvm_MovimentiCcp Mvm
               WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.iMvmProgr = 0
              UNION ALL
              SELECT Mvm.iMvmId, Mvm.dMvmDataMov FROM TMvm_MovimentiCcp Mvm
               WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.iMvmProgr IS NULL) U
       ORDER BY U.iMvmId
        INTO :iMvmId, :dData
  DO
  BEGIN
    iCaiMvm = NULL;
    SELECT iCaiId FROM PEbc_AnnoConto(:iSprIstId, :dData) INTO :iCaiMvm;
    IF (iCaiMvm IS NULL) THEN
      EXCEPTION E_EBC 'La data del movimento (' || FEbc_Data(dData)
        || ') non rientra in nessun anno finanziario del conto: eseguire prima l''inizio dell''anno finanziario.';
    UPDATE TCai_CassaIst Cai SET Cai.iCaiUltProgr = COALESCE(Cai.iCaiUltProgr, 0) + 1 WHERE Cai.iCaiId = :iCaiMvm
      RETURNING Cai.iCaiUltProgr INTO :iProgr;
    UPDATE TMvm_MovimentiCcp SET iMvmProgr = :iProgr WHERE iMvmId = :iMvmId;
  END
END^

-- Balances ---------------------------------------------------------------------------------------

-- The account-year a date reads: the one that holds it, else the latest that ended before it.
CREATE OR ALTER PROCEDURE PEbc_AnnoSaldo (iSprIstId INTEGER, dData DATE)
RETURNS (iCaiId INTEGER, dInizio DATE, dFine DATE)
AS
BEGIN
  iCaiId = NULL;
  SELECT iCaiId, dInizio, dFine FROM PEbc_AnnoConto(:iSprIstId, :dData) INTO :iCaiId, :dInizio, :dFine;
  IF (iCaiId IS NULL) THEN
    SELECT FIRST 1 A.iCaiId, A.dInizio, A.dFine
      FROM (SELECT Cai.iCaiId AS iCaiId,
                   COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)) AS dInizio,
                   COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)) AS dFine
              FROM TCai_CassaIst Cai WHERE Cai.iSprIstId = :iSprIstId) A
     WHERE A.dFine < :dData
     ORDER BY A.dFine DESC
      INTO :iCaiId, :dInizio, :dFine;
  IF (iCaiId IS NOT NULL) THEN
    SUSPEND;
END^

-- The movements a balance by statement date at dFino counts beyond the opening of a year starting
-- dInizio: the year's movements on stated by dFino (iSegno 1), and the earlier ones stated after it
-- or not yet (iSegno -1, taken off). Three parts, each along an index.
CREATE OR ALTER PROCEDURE PEbc_MovimentiEc (iSprIstId INTEGER, dInizio DATE, dFino DATE)
RETURNS (iSegno INTEGER, iMvmId INTEGER, lMvmTipo SMALLINT, fMvmImporto NUMERIC(18,4), fMvmDifferenza NUMERIC(18,4))
AS
BEGIN
  FOR SELECT 1, Mvm.iMvmId, Mvm.lMvmTipo, Mvm.fMvmImporto, Mvm.fMvmDifferenza
        FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov >= :dInizio AND Mvm.dMvmDataEc <= :dFino
      UNION ALL
      SELECT -1, Mvm.iMvmId, Mvm.lMvmTipo, Mvm.fMvmImporto, Mvm.fMvmDifferenza
        FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataEc > :dFino AND Mvm.dMvmDataMov < :dInizio
      UNION ALL
      SELECT -1, Mvm.iMvmId, Mvm.lMvmTipo, Mvm.fMvmImporto, Mvm.fMvmDifferenza
        FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataEc IS NULL AND Mvm.dMvmDataMov < :dInizio
        INTO :iSegno, :iMvmId, :lMvmTipo, :fMvmImporto, :fMvmDifferenza
  DO
    SUSPEND;
END^

-- What the movements add to the opening of the account-year that dAnno reads, counting up to
-- dFino: by movement date those of the year up to dFino; by statement date (lDataEc = 1) those
-- from the year's first day on stated by dFino, less the earlier ones stated after it or not yet.
-- fEntrate and fUscite are unsigned sums; fDiffer and the three types are signed.
CREATE OR ALTER PROCEDURE PEbc_SommeAnno (iSprIstId INTEGER, dAnno DATE, dFino DATE, lDataEc INTEGER)
RETURNS (iCaiId INTEGER, fEntrate NUMERIC(18,4), fUscite NUMERIC(18,4), fTasse NUMERIC(18,4),
         fContributi NUMERIC(18,4), fQuote NUMERIC(18,4), fDiffer NUMERIC(18,4))
AS
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE lGiorni SMALLINT;
BEGIN
  fEntrate = 0; fUscite = 0; fTasse = 0; fContributi = 0; fQuote = 0; fDiffer = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio, dFine FROM PEbc_AnnoSaldo(:iSprIstId, :dAnno) INTO :iCaiId, :dInizio, :dFine;
  IF (iCaiId IS NULL) THEN
  BEGIN
    SUSPEND;
    EXIT;
  END
  SELECT Cai.lCaiGiorni FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId INTO :lGiorni;

  IF (COALESCE(lDataEc, 0) = 1) THEN
  BEGIN
    SELECT COALESCE(SUM(IIF(A.lMvmTipo = 1, 0, A.iSegno * A.fMvmImporto)), 0),
           COALESCE(SUM(IIF(A.lMvmTipo = 1, A.iSegno * A.fMvmImporto, 0)), 0),
           COALESCE(SUM(A.iSegno * IIF(A.lMvmTipo = 1, -1, 1) * COALESCE(A.fMvmDifferenza, 0)), 0)
      FROM PEbc_MovimentiEc(:iSprIstId, :dInizio, :dFino) A
      INTO :fEntrate, :fUscite, :fDiffer;
    SELECT COALESCE(SUM(IIF(T.iTipo = 1, T.fImporto, 0)), 0), COALESCE(SUM(IIF(T.iTipo = 2, T.fImporto, 0)), 0),
           COALESCE(SUM(IIF(T.iTipo = 3, T.fImporto, 0)), 0)
      FROM (SELECT COALESCE(Tcc.iTccId_P, Tcc.iTccId) AS iTipo,
                   A.iSegno * IIF(A.lMvmTipo = 1, -1, 1) * MvmCca.fMvmCcaImporto AS fImporto
              FROM PEbc_MovimentiEc(:iSprIstId, :dInizio, :dFino) A
             INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = A.iMvmId)
              LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
              LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)) T
      INTO :fTasse, :fContributi, :fQuote;
  END
  ELSE
  BEGIN
    dFino = MINVALUE(dFino, dFine);
    IF (lGiorni = 1) THEN
      SELECT COALESCE(SUM(G.fMvgEntrate), 0), COALESCE(SUM(G.fMvgUscite), 0), COALESCE(SUM(G.fMvgTasse), 0),
             COALESCE(SUM(G.fMvgContributi), 0), COALESCE(SUM(G.fMvgQuote), 0), COALESCE(SUM(G.fMvgDiff), 0)
        FROM TMvg_MovGiorno G
       WHERE G.iSprIstId = :iSprIstId AND G.dMvgData BETWEEN :dInizio AND :dFino
        INTO :fEntrate, :fUscite, :fTasse, :fContributi, :fQuote, :fDiffer;
    ELSE
    BEGIN
      SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, 0, Mvm.fMvmImporto)), 0),
             COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, Mvm.fMvmImporto, 0)), 0),
             COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(Mvm.fMvmDifferenza, 0)), 0)
        FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFino
        INTO :fEntrate, :fUscite, :fDiffer;
      SELECT COALESCE(SUM(IIF(A.iTipo = 1, A.fImporto, 0)), 0), COALESCE(SUM(IIF(A.iTipo = 2, A.fImporto, 0)), 0),
             COALESCE(SUM(IIF(A.iTipo = 3, A.fImporto, 0)), 0)
        FROM (SELECT COALESCE(Tcc.iTccId_P, Tcc.iTccId) AS iTipo,
                     IIF(Mvm.lMvmTipo = 1, -1, 1) * MvmCca.fMvmCcaImporto AS fImporto
                FROM TMvm_MovimentiCcp Mvm INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
                LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
                LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
               WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFino) A
        INTO :fTasse, :fContributi, :fQuote;
    END
  END
  SUSPEND;
END^

-- Balance of one of the four types: the opening of the year that dAnno reads plus the movements
-- counted up to dFino (see PEbc_SommeAnno).
CREATE OR ALTER PROCEDURE PEbc_TccFino (iSprIstId INTEGER, iTccId INTEGER, lDataEc INTEGER, dAnno DATE, dFino DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE fIn NUMERIC(18,4);
DECLARE VARIABLE fOut NUMERIC(18,4);
DECLARE VARIABLE fT NUMERIC(18,4);
DECLARE VARIABLE fC NUMERIC(18,4);
DECLARE VARIABLE fQ NUMERIC(18,4);
DECLARE VARIABLE fD NUMERIC(18,4);
BEGIN
  fTccImporto = 0;
  SELECT iCaiId, fEntrate, fUscite, fTasse, fContributi, fQuote, fDiffer
    FROM PEbc_SommeAnno(:iSprIstId, :dAnno, :dFino, :lDataEc)
    INTO :iCaiId, :fIn, :fOut, :fT, :fC, :fQ, :fD;
  IF (iCaiId IS NOT NULL) THEN
  BEGIN
    SELECT COALESCE(SUM(Ct.fCaiTccImportoIniz), 0) FROM TCaiTcc Ct WHERE Ct.iCaiId = :iCaiId AND Ct.iTccId = :iTccId
      INTO :fTccImporto;
    fTccImporto = fTccImporto + DECODE(iTccId, 1, fT, 2, fC, 3, fQ, 4, fIn - fOut - fT - fC - fQ, 0);
  END
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_SaldoXTcc (iSprIstId INTEGER, iTccId INTEGER, lDataEc INTEGER, dData DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
BEGIN
  SELECT fTccImporto FROM PEbc_TccFino(:iSprIstId, :iTccId, :lDataEc, :dData, :dData) INTO :fTccImporto;
  SUSPEND;
END^

-- What a period starting dInizioPeriodo carries: the balance at the day before.
CREATE OR ALTER PROCEDURE PEbc_RiportoXTcc (iSprIstId INTEGER, iTccId INTEGER, lDataEc INTEGER, dInizioPeriodo DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
BEGIN
  SELECT fTccImporto FROM PEbc_TccFino(:iSprIstId, :iTccId, :lDataEc, :dInizioPeriodo,
                                       DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)))
    INTO :fTccImporto;
  SUSPEND;
END^

-- Income (lEntrate = 1) and/or expense (lUscite = 1) that the movements of the year before the
-- period add to the opening; signed, so expense comes out negative.
CREATE OR ALTER PROCEDURE PEbc_RiportiInOut (iSprIstId INTEGER, dInizioPeriodo DATE, lUscite INTEGER,
                                             lEntrate INTEGER, lDataEc INTEGER)
RETURNS (fImporto NUMERIC(18,4))
AS
DECLARE VARIABLE fIn NUMERIC(18,4);
DECLARE VARIABLE fOut NUMERIC(18,4);
BEGIN
  SELECT fEntrate, fUscite FROM PEbc_SommeAnno(:iSprIstId, :dInizioPeriodo,
                                               DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)), :lDataEc)
    INTO :fIn, :fOut;
  fImporto = IIF(lEntrate = 1, fIn, 0) - IIF(lUscite = 1, fOut, 0);
  SUSPEND;
END^

-- Differences: the year's opening difference plus those booked up to the date (signed).
CREATE OR ALTER PROCEDURE PEbc_DiffFino (iSprIstId INTEGER, dAnno DATE, dFino DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE fMov NUMERIC(18,4);
BEGIN
  fDiff = 0;
  SELECT iCaiId, fDiffer FROM PEbc_SommeAnno(:iSprIstId, :dAnno, :dFino, 0) INTO :iCaiId, :fMov;
  IF (iCaiId IS NOT NULL) THEN
  BEGIN
    SELECT COALESCE(Cai.fCaiDiffIniz, 0) FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId INTO :fDiff;
    fDiff = fDiff + fMov;
  END
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_MvmDiff (iSprIstId INTEGER, dData DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
BEGIN
  SELECT fDiff FROM PEbc_DiffFino(:iSprIstId, :dData, :dData) INTO :fDiff;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_Differenze (iSprIstId INTEGER, dInizioPeriodo DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
BEGIN
  SELECT fDiff FROM PEbc_DiffFino(:iSprIstId, :dInizioPeriodo, DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)))
    INTO :fDiff;
  SUSPEND;
END^

-- Composition of movements (unsigned) -------------------------------------------------------------

CREATE OR ALTER PROCEDURE PEbc_ComposSint (iMvmId INTEGER, iCauId INTEGER, fMvmDiff NUMERIC(18,4),
                                           lMvmTipo INTEGER)
RETURNS (fImportoT NUMERIC(18,4), fImportoC NUMERIC(18,4), fImportoQ NUMERIC(18,4),
         fImportoD NUMERIC(18,4))
AS
DECLARE VARIABLE fImporto NUMERIC(18,4);
BEGIN
  SELECT COALESCE(SUM(IIF(A.iTipo = 1, A.fImporto, 0)), 0), COALESCE(SUM(IIF(A.iTipo = 2, A.fImporto, 0)), 0),
         COALESCE(SUM(IIF(A.iTipo = 3, A.fImporto, 0)), 0)
    FROM (SELECT FEbc_TipoCca(MvmCca.iCcaId) AS iTipo, MvmCca.fMvmCcaImporto AS fImporto
            FROM TMvmCca MvmCca WHERE MvmCca.iMvmId = :iMvmId) A
    INTO :fImportoT, :fImportoC, :fImportoQ;
  fImporto = 0;
  SELECT COALESCE(Mvm.fMvmImporto, 0) FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId = :iMvmId INTO :fImporto;
  fImportoD = fImporto - fImportoT - fImportoC - fImportoQ;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_ComposAna (iMvmId INTEGER, iCauId INTEGER, fMvmDiff NUMERIC(18,4), iAnfId INTEGER)
RETURNS (iCcaId INTEGER, sCcaLDesc VARCHAR(250), iTccId INTEGER, sTccLDesc VARCHAR(250),
         fCcaImporto NUMERIC(18,4))
AS
BEGIN
  FOR SELECT A.iCcaId, A.sCcaLDesc, A.iTipo, Tcc.sTccLDesc, A.fImporto
        FROM (SELECT MvmCca.iCcaId AS iCcaId, Cca.sCcaLDesc AS sCcaLDesc, FEbc_TipoCca(MvmCca.iCcaId) AS iTipo,
                     MvmCca.fMvmCcaImporto AS fImporto, MvmCca.iMvmCcaId AS iRiga
                FROM TMvmCca MvmCca LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
               WHERE MvmCca.iMvmId = :iMvmId) A
        LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = A.iTipo)
       ORDER BY A.iTipo, A.sCcaLDesc, A.iRiga
        INTO :iCcaId, :sCcaLDesc, :iTccId, :sTccLDesc, :fCcaImporto
  DO
    SUSPEND;
END^

-- The split of the account's movements of one financial year, summed by component (signed).
CREATE OR ALTER PROCEDURE PEbc_Sum_ComposAna (iSprIstId INTEGER, iAnfId INTEGER)
RETURNS (iCcaId INTEGER, sCcaLDesc VARCHAR(250), iTccId INTEGER, sTccLDesc VARCHAR(250),
         fCcaImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iAnno INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
BEGIN
  iAnno = NULL;
  SELECT Anf.iAnfValore, Anf.dAnfVeltoInizio, Anf.dAnfVeltoFine FROM TAnf_AnniFinanz Anf
   WHERE Anf.iAnfId = :iAnfId INTO :iAnno, :dInizio, :dFine;
  IF (iAnno IS NULL) THEN
    EXIT;
  dInizio = COALESCE(dInizio, CAST(iAnno || '-01-01' AS DATE));
  dFine = COALESCE(dFine, CAST(iAnno || '-12-31' AS DATE));
  SELECT COALESCE(Cai.dCaiInizioAnno, :dInizio), COALESCE(Cai.dCaiFineAnno, :dFine)
    FROM TCai_CassaIst Cai WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iAnno
    INTO :dInizio, :dFine;
  FOR SELECT A.iCcaId, MAX(A.sCcaLDesc), MAX(A.iTipo), MAX(Tcc.sTccLDesc), SUM(A.fImporto)
        FROM (SELECT MvmCca.iCcaId AS iCcaId, Cca.sCcaLDesc AS sCcaLDesc, FEbc_TipoCca(MvmCca.iCcaId) AS iTipo,
                     IIF(Mvm.lMvmTipo = 1, -1, 1) * MvmCca.fMvmCcaImporto AS fImporto
                FROM TMvm_MovimentiCcp Mvm
               INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
                LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
               WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine) A
        LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = A.iTipo)
       GROUP BY A.iCcaId
       ORDER BY 3, 2, 1
        INTO :iCcaId, :sCcaLDesc, :iTccId, :sTccLDesc, :fCcaImporto
  DO
    SUSPEND;
END^

-- Register of the account's movements in a period with the running balance.
CREATE OR ALTER PROCEDURE PEbc_RegistroCcp (iSprIstId INTEGER, dInizioPeriodo DATE, dFinePeriodo DATE)
RETURNS (iMvmId INTEGER, iMvmProgr INTEGER, dMvmDataMov DATE, dMvmDataEc DATE, iMvmNrBollettino INTEGER,
         lMvmTipo SMALLINT, sBenefDescr VARCHAR(250), sCauLDesc VARCHAR(250), sCodiciBilancio VARCHAR(1000),
         fIn NUMERIC(18,4), fOut NUMERIC(18,4), fSaldo NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE fEntrate NUMERIC(18,4);
DECLARE VARIABLE fUscite NUMERIC(18,4);
DECLARE VARIABLE iAnaId INTEGER;
DECLARE VARIABLE iBenId INTEGER;
DECLARE VARIABLE fImporto NUMERIC(18,4);
DECLARE VARIABLE sCodice VARCHAR(100);
BEGIN
  -- Opening balance: what the account holds the day before the period (a period starting in no
  -- account-year opens with the closing of the year before).
  fSaldo = 0;
  iCaiId = NULL;
  SELECT iCaiId, fEntrate, fUscite
    FROM PEbc_SommeAnno(:iSprIstId, :dInizioPeriodo, DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)), 0)
    INTO :iCaiId, :fEntrate, :fUscite;
  IF (iCaiId IS NOT NULL) THEN
    SELECT COALESCE(Cai.fCaiCassaIn, 0) + :fEntrate - :fUscite FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId
      INTO :fSaldo;

  FOR SELECT Mvm.iMvmId, Mvm.iMvmProgr, Mvm.dMvmDataMov, Mvm.dMvmDataEc, Mvm.iMvmNrBollettino, Mvm.lMvmTipo,
             COALESCE(Mvm.fMvmImporto, 0), Mvm.iAnaId, Mvm.iBenId, Cau.sCauLDesc
        FROM TMvm_MovimentiCcp Mvm
        LEFT JOIN TCau_Causali Cau ON (Cau.iCauId = Mvm.iCauId)
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizioPeriodo AND :dFinePeriodo
       ORDER BY Mvm.dMvmDataMov, Mvm.iMvmProgr, Mvm.iMvmId
        INTO :iMvmId, :iMvmProgr, :dMvmDataMov, :dMvmDataEc, :iMvmNrBollettino, :lMvmTipo,
             :fImporto, :iAnaId, :iBenId, :sCauLDesc
  DO
  BEGIN
    SELECT sBenefDescr FROM PEbc_BenefDescr(:iAnaId, :iBenId) INTO :sBenefDescr;
    sCodiciBilancio = '';
    FOR SELECT sCodice FROM (
          SELECT DISTINCT 1 AS iOrdine, Agg.sAggDescS AS sCodice
            FROM TMvmCca MvmCca
           INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
           INNER JOIN TAgg_Aggregati Agg ON (Agg.iAggId = Cca.iAggId)
           WHERE MvmCca.iMvmId = :iMvmId AND Agg.sAggDescS IS NOT NULL
          UNION
          SELECT DISTINCT 2 AS iOrdine, Vpro.sVproCod AS sCodice
            FROM TMvmCca MvmCca
           INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
           INNER JOIN TVpro_VociProgetti Vpro ON (Vpro.iVproId = Cca.iVproId)
           WHERE MvmCca.iMvmId = :iMvmId AND Vpro.sVproCod IS NOT NULL)
         ORDER BY iOrdine, sCodice
          INTO :sCodice
    DO
    BEGIN
      -- (IIF of two literals would pad the shorter one.)
      IF (sCodiciBilancio <> '') THEN
        sCodiciBilancio = sCodiciBilancio || ', ';
      sCodiciBilancio = sCodiciBilancio || TRIM(sCodice);
    END
    IF (lMvmTipo = 1) THEN
    BEGIN
      fIn = 0;
      fOut = fImporto;
    END
    ELSE
    BEGIN
      fIn = fImporto;
      fOut = 0;
    END
    fSaldo = fSaldo + fIn - fOut;
    SUSPEND;
  END
END^

SET TERM ; ^
