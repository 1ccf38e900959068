-- version: 6.37.0
-- Database procedures and the triggers that keep the account-year totals.
--
-- An account-year is the TCai_CassaIst row of one account and one financial year; it runs from
-- dCaiInizioAnno (else 1 January) to dCaiFineAnno (else 31 December). Its income and expense
-- totals are kept incrementally by the movement triggers, so posting costs the same on the first
-- and on the fifty-thousandth movement of a year.

CREATE EXCEPTION E_EBC 'Errore';

SET TERM ^ ;

-- Dates in messages are written dd/mm/yyyy.
CREATE OR ALTER FUNCTION FEbc_Data (dData DATE) RETURNS VARCHAR(10)
AS
BEGIN
  RETURN LPAD(CAST(EXTRACT(DAY FROM dData) AS VARCHAR(2)), 2, '0') || '/'
      || LPAD(CAST(EXTRACT(MONTH FROM dData) AS VARCHAR(2)), 2, '0') || '/'
      || CAST(EXTRACT(YEAR FROM dData) AS VARCHAR(4));
END^

-- Ids --------------------------------------------------------------------------------------------

-- Mode 0 takes the next id of the table's sequence G_<TABLE>; mode 1 returns the last id this
-- connection took for that table (else the sequence's current value).
CREATE OR ALTER PROCEDURE PYSetGetId (sTabella VARCHAR(63), iModo INTEGER)
RETURNS (l_iCntId INTEGER)
AS
DECLARE VARIABLE sGen VARCHAR(66);
DECLARE VARIABLE sChiave VARCHAR(80);
DECLARE VARIABLE iEsito INTEGER;
BEGIN
  sGen = 'G_' || UPPER(TRIM(COALESCE(sTabella, '')));
  -- The name goes into dynamic SQL only once it is known to be an existing sequence.
  IF (NOT EXISTS (SELECT 1 FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = :sGen)) THEN
    EXCEPTION E_EBC 'Tabella sconosciuta per il generatore di identificativi: "' || COALESCE(sTabella, '') || '".';
  sChiave = 'ID.' || sGen;
  IF (COALESCE(iModo, 0) = 0) THEN
  BEGIN
    EXECUTE STATEMENT 'SELECT NEXT VALUE FOR "' || sGen || '" FROM RDB$DATABASE' INTO :l_iCntId;
    iEsito = RDB$SET_CONTEXT('USER_SESSION', sChiave, l_iCntId);
  END
  ELSE
  BEGIN
    l_iCntId = RDB$GET_CONTEXT('USER_SESSION', sChiave);
    IF (l_iCntId IS NULL) THEN
      EXECUTE STATEMENT 'SELECT GEN_ID("' || sGen || '", 0) FROM RDB$DATABASE' INTO :l_iCntId;
  END
  SUSPEND;
END^

-- Account-years ----------------------------------------------------------------------------------

-- The account-year of an account whose bounds contain a date (the latest one if several do).
CREATE OR ALTER PROCEDURE PEbc_AnnoConto (iSprIstId INTEGER, dData DATE)
RETURNS (iCaiId INTEGER, iEsercizioFin INTEGER, dInizio DATE, dFine DATE)
AS
BEGIN
  iCaiId = NULL;
  SELECT FIRST 1 Cai.iCaiId, Cai.iCaiEsercizioFin,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId
     AND :dData BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                    AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
   ORDER BY Cai.iCaiEsercizioFin DESC
    INTO :iCaiId, :iEsercizioFin, :dInizio, :dFine;
  IF (iCaiId IS NOT NULL) THEN
    SUSPEND;
END^

-- Totals of an account-year always follow its movements: on insert and on a change of its bounds
-- they are recomputed from the movements; the current balance follows the three amounts.
CREATE OR ALTER TRIGGER TCai_Totali FOR TCai_CassaIst
ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iMaxProgr INTEGER;
BEGIN
  IF (INSERTING OR NEW.dCaiInizioAnno IS DISTINCT FROM OLD.dCaiInizioAnno
      OR NEW.dCaiFineAnno IS DISTINCT FROM OLD.dCaiFineAnno
      OR NEW.iCaiEsercizioFin IS DISTINCT FROM OLD.iCaiEsercizioFin
      OR NEW.iSprIstId IS DISTINCT FROM OLD.iSprIstId) THEN
  BEGIN
    dInizio = COALESCE(NEW.dCaiInizioAnno, CAST(NEW.iCaiEsercizioFin || '-01-01' AS DATE));
    dFine = COALESCE(NEW.dCaiFineAnno, CAST(NEW.iCaiEsercizioFin || '-12-31' AS DATE));
    SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, 0, Mvm.fMvmImporto)), 0),
           COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, Mvm.fMvmImporto, 0)), 0),
           MAX(Mvm.iMvmProgr)
      FROM TMvm_MovimentiCcp Mvm
     WHERE Mvm.iSprIstId = NEW.iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
      INTO NEW.fCaiSaldoIn, NEW.fCaiSaldoOut, :iMaxProgr;
    -- A progressive number already given in these days is never given again.
    NEW.iCaiUltProgr = MAXVALUE(COALESCE(NEW.iCaiUltProgr, 0), COALESCE(iMaxProgr, 0));
  END
  NEW.fCaiCassaAtt = COALESCE(NEW.fCaiCassaIn, 0) + COALESCE(NEW.fCaiSaldoIn, 0) - COALESCE(NEW.fCaiSaldoOut, 0);
END^

-- Moving the bounds of one year hands days (and their movements) to its neighbours: recompute the
-- other years of the account that share days with the old or the new bounds.
CREATE OR ALTER TRIGGER TCai_Confini FOR TCai_CassaIst
ACTIVE AFTER UPDATE POSITION 0
AS
DECLARE VARIABLE dDa DATE;
DECLARE VARIABLE dA DATE;
BEGIN
  IF (NEW.dCaiInizioAnno IS NOT DISTINCT FROM OLD.dCaiInizioAnno
      AND NEW.dCaiFineAnno IS NOT DISTINCT FROM OLD.dCaiFineAnno
      AND NEW.iCaiEsercizioFin IS NOT DISTINCT FROM OLD.iCaiEsercizioFin
      AND NEW.iSprIstId IS NOT DISTINCT FROM OLD.iSprIstId) THEN
    EXIT;
  dDa = MINVALUE(COALESCE(OLD.dCaiInizioAnno, CAST(OLD.iCaiEsercizioFin || '-01-01' AS DATE)),
                 COALESCE(NEW.dCaiInizioAnno, CAST(NEW.iCaiEsercizioFin || '-01-01' AS DATE)));
  dA = MAXVALUE(COALESCE(OLD.dCaiFineAnno, CAST(OLD.iCaiEsercizioFin || '-12-31' AS DATE)),
                COALESCE(NEW.dCaiFineAnno, CAST(NEW.iCaiEsercizioFin || '-12-31' AS DATE)));
  UPDATE TCai_CassaIst Cai
     SET Cai.fCaiSaldoIn = (SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, 0, Mvm.fMvmImporto)), 0)
                              FROM TMvm_MovimentiCcp Mvm
                             WHERE Mvm.iSprIstId = Cai.iSprIstId
                               AND Mvm.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                                                       AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))),
         Cai.fCaiSaldoOut = (SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, Mvm.fMvmImporto, 0)), 0)
                               FROM TMvm_MovimentiCcp Mvm
                              WHERE Mvm.iSprIstId = Cai.iSprIstId
                                AND Mvm.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                                                        AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)))
   WHERE Cai.iSprIstId IN (NEW.iSprIstId, OLD.iSprIstId) AND Cai.iCaiId <> NEW.iCaiId
     AND COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)) <= :dA
     AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE)) >= :dDa;
END^

-- A movement moved into another account-year takes a new progressive number there.
CREATE OR ALTER TRIGGER TMvm_Progressivo FOR TMvm_MovimentiCcp
ACTIVE BEFORE UPDATE POSITION 0
AS
DECLARE VARIABLE iCaiOld INTEGER;
DECLARE VARIABLE iCaiNew INTEGER;
BEGIN
  IF ((NEW.iSprIstId IS DISTINCT FROM OLD.iSprIstId OR NEW.dMvmDataMov IS DISTINCT FROM OLD.dMvmDataMov)
      AND NEW.iMvmProgr IS NOT DISTINCT FROM OLD.iMvmProgr AND COALESCE(OLD.iMvmProgr, 0) <> 0) THEN
  BEGIN
    SELECT iCaiId FROM PEbc_AnnoConto(OLD.iSprIstId, OLD.dMvmDataMov) INTO :iCaiOld;
    SELECT iCaiId FROM PEbc_AnnoConto(NEW.iSprIstId, NEW.dMvmDataMov) INTO :iCaiNew;
    IF (iCaiOld IS DISTINCT FROM iCaiNew) THEN
      NEW.iMvmProgr = 0;
  END
END^

-- Income and expense totals of the account-years follow every change of a movement.
CREATE OR ALTER TRIGGER TMvm_Totali FOR TMvm_MovimentiCcp
ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 0
AS
BEGIN
  IF (UPDATING) THEN
    IF (NEW.iSprIstId IS NOT DISTINCT FROM OLD.iSprIstId
        AND NEW.dMvmDataMov IS NOT DISTINCT FROM OLD.dMvmDataMov
        AND NEW.lMvmTipo IS NOT DISTINCT FROM OLD.lMvmTipo
        AND NEW.fMvmImporto IS NOT DISTINCT FROM OLD.fMvmImporto) THEN
      EXIT;
  IF ((UPDATING OR DELETING) AND OLD.fMvmImporto IS NOT NULL AND OLD.fMvmImporto <> 0) THEN
    UPDATE TCai_CassaIst Cai
       SET Cai.fCaiSaldoIn = COALESCE(Cai.fCaiSaldoIn, 0) - IIF(OLD.lMvmTipo = 1, 0, OLD.fMvmImporto),
           Cai.fCaiSaldoOut = COALESCE(Cai.fCaiSaldoOut, 0) - IIF(OLD.lMvmTipo = 1, OLD.fMvmImporto, 0)
     WHERE Cai.iSprIstId = OLD.iSprIstId
       AND OLD.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                               AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE));
  IF ((INSERTING OR UPDATING) AND NEW.fMvmImporto IS NOT NULL AND NEW.fMvmImporto <> 0) THEN
    UPDATE TCai_CassaIst Cai
       SET Cai.fCaiSaldoIn = COALESCE(Cai.fCaiSaldoIn, 0) + IIF(NEW.lMvmTipo = 1, 0, NEW.fMvmImporto),
           Cai.fCaiSaldoOut = COALESCE(Cai.fCaiSaldoOut, 0) + IIF(NEW.lMvmTipo = 1, NEW.fMvmImporto, 0)
     WHERE Cai.iSprIstId = NEW.iSprIstId
       AND NEW.dMvmDataMov BETWEEN COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE))
                               AND COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE));
END^

-- Brings the account-year up to date after its movements changed: current balance, and a
-- progressive number for every movement that has none yet. Locking the year's row first makes
-- two workstations that post at the same moment take turns.
CREATE OR ALTER PROCEDURE PEbc_MvmUpdTabs (iSprIstId INTEGER, iEsercizioFin INTEGER)
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iProgr INTEGER;
DECLARE VARIABLE iMvmId INTEGER;
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
  SELECT Cai.iCaiUltProgr,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId
    INTO :iProgr, :dInizio, :dFine;
  iProgr = COALESCE(iProgr, 0);

  FOR SELECT Mvm.iMvmId FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.iMvmProgr = 0
         AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
       -- "+ 0": sort the few unnumbered rows instead of walking the whole primary key in order.
       ORDER BY Mvm.iMvmId + 0
        INTO :iMvmId
  DO
  BEGIN
    iProgr = iProgr + 1;
    UPDATE TMvm_MovimentiCcp SET iMvmProgr = :iProgr WHERE iMvmId = :iMvmId;
  END
  UPDATE TCai_CassaIst Cai SET Cai.iCaiUltProgr = :iProgr
   WHERE Cai.iCaiId = :iCaiId AND Cai.iCaiUltProgr IS DISTINCT FROM :iProgr;
END^

-- An account-year with movements is locked (it can no longer be initialised again).
CREATE OR ALTER PROCEDURE PEbc_LockUnlockAnf (iSprIstId INTEGER, iEsercizioFin INTEGER)
AS
DECLARE VARIABLE iTrovato INTEGER;
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iLock SMALLINT;
BEGIN
  iCaiId = NULL;
  SELECT Cai.iCaiId,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin
    INTO :iCaiId, :dInizio, :dFine;
  IF (iCaiId IS NULL) THEN
    EXIT;
  -- Walking the (account, date) index in order stops at the first movement; a plain EXISTS
  -- would first collect the whole year's range.
  iTrovato = NULL;
  SELECT FIRST 1 Mvm.iMvmId FROM TMvm_MovimentiCcp Mvm
   WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
   ORDER BY Mvm.iSprIstId, Mvm.dMvmDataMov
    INTO :iTrovato;
  iLock = IIF(iTrovato IS NULL, 0, 1);
  UPDATE TCai_CassaIst Cai SET Cai.iLocked = :iLock
   WHERE Cai.iCaiId = :iCaiId AND Cai.iLocked IS DISTINCT FROM :iLock;
END^

-- Closing an account locks all its movements; reopening it unlocks those of its latest year.
CREATE OR ALTER PROCEDURE PEbc_ContoOnOff (iSprIstId INTEGER)
AS
DECLARE VARIABLE dEnd DATE;
DECLARE VARIABLE iTrovato INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
BEGIN
  iTrovato = NULL;
  SELECT 1, Ist.dEnd FROM TSprIst Ist WHERE Ist.iSprIstId = :iSprIstId INTO :iTrovato, :dEnd;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'Il conto ' || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ' non esiste.';
  IF (dEnd IS NOT NULL) THEN
    UPDATE TMvm_MovimentiCcp Mvm SET Mvm.iLocked = 1
     WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.iLocked IS DISTINCT FROM 1;
  ELSE
  BEGIN
    iTrovato = NULL;
    SELECT FIRST 1 1,
           COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
           COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
      FROM TCai_CassaIst Cai WHERE Cai.iSprIstId = :iSprIstId
     ORDER BY Cai.iCaiEsercizioFin DESC
      INTO :iTrovato, :dInizio, :dFine;
    IF (iTrovato IS NOT NULL) THEN
      UPDATE TMvm_MovimentiCcp Mvm SET Mvm.iLocked = 0
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
         AND Mvm.iLocked IS DISTINCT FROM 0;
  END
END^

-- Creates (or, while it has no movements, rewrites) the account-year with its opening amounts,
-- and locks the movements of the year before.
CREATE OR ALTER PROCEDURE PEBC_INITANNOFIN (
  iEsercizioFin INTEGER, iSprIstId INTEGER, fSaldo NUMERIC(18,4), fTasse NUMERIC(18,4),
  fContributi NUMERIC(18,4), fQuote NUMERIC(18,4), fDiversi NUMERIC(18,4), fDifferenze NUMERIC(18,4),
  dInizioAnnoFin DATE, dFineAnnoFin DATE)
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iTrovato INTEGER;
BEGIN
  IF (iEsercizioFin IS NULL) THEN
    EXCEPTION E_EBC 'Anno finanziario non indicato.';
  iTrovato = NULL;
  SELECT 1 FROM TSprIst Ist WHERE Ist.iSprIstId = :iSprIstId INTO :iTrovato;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'Il conto ' || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ' non esiste.';
  IF (COALESCE(dFineAnnoFin, CAST(iEsercizioFin || '-12-31' AS DATE))
      <= COALESCE(dInizioAnnoFin, CAST(iEsercizioFin || '-01-01' AS DATE))) THEN
    EXCEPTION E_EBC 'La data di fine anno dev''essere maggiore della data di inizio.';

  iCaiId = NULL;
  SELECT Cai.iCaiId,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin
    INTO :iCaiId, :dInizio, :dFine;

  IF (iCaiId IS NOT NULL) THEN
  BEGIN
    IF (EXISTS (SELECT 1 FROM TMvm_MovimentiCcp Mvm
                 WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine)) THEN
      EXCEPTION E_EBC 'L''anno finanziario ' || iEsercizioFin
        || ' del conto ha già dei movimenti: non può essere inizializzato di nuovo.';
    UPDATE TCai_CassaIst Cai
       SET Cai.dCaiInizioAnno = :dInizioAnnoFin, Cai.dCaiFineAnno = :dFineAnnoFin,
           Cai.fCaiCassaIn = COALESCE(:fSaldo, 0), Cai.fCaiDiffIniz = COALESCE(:fDifferenze, 0),
           Cai.fCaiSaldoIn = 0, Cai.fCaiSaldoOut = 0, Cai.iLocked = 0
     WHERE Cai.iCaiId = :iCaiId;
    DELETE FROM TCaiTcc Ct WHERE Ct.iCaiId = :iCaiId;
  END
  ELSE
  BEGIN
    iCaiId = NEXT VALUE FOR G_TCAI_CASSAIST;
    INSERT INTO TCai_CassaIst (iCaiId, iSprIstId, iCaiEsercizioFin, dCaiInizioAnno, dCaiFineAnno,
                               fCaiCassaIn, fCaiSaldoIn, fCaiSaldoOut, fCaiCassaAtt, fCaiDiffIniz,
                               iLocked, iCaiUltProgr)
    VALUES (:iCaiId, :iSprIstId, :iEsercizioFin, :dInizioAnnoFin, :dFineAnnoFin,
            COALESCE(:fSaldo, 0), 0, 0, COALESCE(:fSaldo, 0), COALESCE(:fDifferenze, 0), 0, 0);
  END

  INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (:iCaiId, 1, COALESCE(:fTasse, 0));
  INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (:iCaiId, 2, COALESCE(:fContributi, 0));
  INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (:iCaiId, 3, COALESCE(:fQuote, 0));
  INSERT INTO TCaiTcc (iCaiId, iTccId, fCaiTccImportoIniz) VALUES (:iCaiId, 4, COALESCE(:fDiversi, 0));

  -- The year before is closed for changes.
  iTrovato = NULL;
  SELECT 1,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin - 1
    INTO :iTrovato, :dInizio, :dFine;
  IF (iTrovato IS NOT NULL) THEN
    UPDATE TMvm_MovimentiCcp Mvm SET Mvm.iLocked = 1
     WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
       AND Mvm.iLocked IS DISTINCT FROM 1;
END^

-- Causali ----------------------------------------------------------------------------------------

-- Copies a causale into another school year. Each component is linked to the target year's
-- component with the same code, kind and institute, or copied there when there is none.
CREATE OR ALTER PROCEDURE PEBS_DUPLICACAUS (iAnsId INTEGER, iCauId INTEGER)
AS
DECLARE VARIABLE dAnsInizio DATE;
DECLARE VARIABLE dAnsFine DATE;
DECLARE VARIABLE iAnsValore INTEGER;
DECLARE VARIABLE iAnsValoreOrig INTEGER;
DECLARE VARIABLE iAnni INTEGER;
DECLARE VARIABLE iTrovato INTEGER;
DECLARE VARIABLE sCauSDesc VARCHAR(100);
DECLARE VARIABLE sCauLDesc VARCHAR(250);
DECLARE VARIABLE lCauTipo SMALLINT;
DECLARE VARIABLE lCauRette SMALLINT;
DECLARE VARIABLE iDwgId INTEGER;
DECLARE VARIABLE dCauInizio DATE;
DECLARE VARIABLE iCauNew INTEGER;
DECLARE VARIABLE iCcaId INTEGER;
DECLARE VARIABLE iCcaNew INTEGER;
DECLARE VARIABLE sCcaSDesc VARCHAR(100);
DECLARE VARIABLE lCcaTipo SMALLINT;
DECLARE VARIABLE iCcaDwgId INTEGER;
BEGIN
  iTrovato = NULL;
  SELECT 1, Ans.dAnsVeltoInizio, Ans.dAnsVeltoFine, Ans.iAnsValore
    FROM TAns_AnniScolast Ans WHERE Ans.iAnsId = :iAnsId
    INTO :iTrovato, :dAnsInizio, :dAnsFine, :iAnsValore;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'L''anno scolastico di destinazione (' || COALESCE(CAST(iAnsId AS VARCHAR(12)), '?') || ') non esiste.';

  iTrovato = NULL;
  SELECT 1, Cau.sCauSDesc, Cau.sCauLDesc, Cau.lCauTipo, Cau.lCauRette, Cau.iDwgId, Cau.dStart
    FROM TCau_Causali Cau WHERE Cau.iCauId = :iCauId
    INTO :iTrovato, :sCauSDesc, :sCauLDesc, :lCauTipo, :lCauRette, :iDwgId, :dCauInizio;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'La causale da duplicare (' || COALESCE(CAST(iCauId AS VARCHAR(12)), '?') || ') non esiste.';

  IF (EXISTS (SELECT 1 FROM TCau_Causali Cau
               WHERE Cau.dStart = :dAnsInizio AND Cau.sCauSDesc IS NOT DISTINCT FROM :sCauSDesc
                 AND Cau.sCauLDesc IS NOT DISTINCT FROM :sCauLDesc
                 AND Cau.iDwgId IS NOT DISTINCT FROM :iDwgId)) THEN
    EXCEPTION E_EBC 'La causale "' || COALESCE(sCauSDesc, '') || ' - ' || COALESCE(sCauLDesc, '')
      || '" esiste già nell''anno scolastico di destinazione.';

  -- Due dates move by the years between the two school years.
  iAnsValoreOrig = NULL;
  SELECT FIRST 1 Ans.iAnsValore FROM TAns_AnniScolast Ans WHERE Ans.dAnsVeltoInizio = :dCauInizio
    INTO :iAnsValoreOrig;
  iAnni = COALESCE(iAnsValore - iAnsValoreOrig,
                   EXTRACT(YEAR FROM dAnsInizio) - EXTRACT(YEAR FROM dCauInizio), 0);

  iCauNew = NEXT VALUE FOR G_TCAU_CAUSALI;
  INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd, iLocked)
  VALUES (:iCauNew, :sCauSDesc, :sCauLDesc, :lCauTipo, :lCauRette, :iDwgId, :dAnsInizio, :dAnsFine, 0);

  FOR SELECT Cca.iCcaId, Cca.sCcaSDesc, Cca.lCcaTipo, Cca.iDwgId
        FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)
       WHERE CauCca.iCauId = :iCauId
       ORDER BY CauCca.iCauCcaId
        INTO :iCcaId, :sCcaSDesc, :lCcaTipo, :iCcaDwgId
  DO
  BEGIN
    iCcaNew = NULL;
    SELECT FIRST 1 Cca.iCcaId FROM TCca_CompCausali Cca
     WHERE Cca.dStart = :dAnsInizio AND Cca.dEnd = :dAnsFine
       AND Cca.sCcaSDesc IS NOT DISTINCT FROM :sCcaSDesc
       AND Cca.lCcaTipo IS NOT DISTINCT FROM :lCcaTipo
       AND Cca.iDwgId IS NOT DISTINCT FROM :iCcaDwgId
     ORDER BY Cca.iCcaId
      INTO :iCcaNew;
    IF (iCcaNew IS NULL) THEN
    BEGIN
      iCcaNew = NEXT VALUE FOR G_TCCA_COMPCAUSALI;
      INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, lCcaTipo,
                                    lCcaRette, iTccId, iAggId, iVproId, iSvoId, iDwgId, dCcaDataScadenza,
                                    dStart, dEnd, iLocked)
      SELECT :iCcaNew, Cca.sCcaSDesc, Cca.sCcaLDesc, Cca.fCcaImportoIst, Cca.fCcaImportoEra, Cca.lCcaTipo,
             Cca.lCcaRette, Cca.iTccId, Cca.iAggId, Cca.iVproId, Cca.iSvoId, Cca.iDwgId,
             DATEADD(:iAnni YEAR TO Cca.dCcaDataScadenza), :dAnsInizio, :dAnsFine, 0
        FROM TCca_CompCausali Cca WHERE Cca.iCcaId = :iCcaId;
    END
    IF (NOT EXISTS (SELECT 1 FROM TCauCca CauCca
                     WHERE CauCca.iCauId = :iCauNew AND CauCca.iCcaId = :iCcaNew)) THEN
      INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd, iLocked)
      VALUES (NEXT VALUE FOR G_TCAUCCA, :iCauNew, :iCcaNew, :dAnsInizio, :dAnsFine, 0);
  END
END^

-- Movements --------------------------------------------------------------------------------------

-- Inserts a movement of a causale's full amount, split over its components (bar-code entry).
-- A situation above 0 is a pupil's; otherwise the person given pays (situation stored empty).
CREATE OR ALTER PROCEDURE PEbc_InsMvm (
  iSprIstId INTEGER, iEsercizioFin INTEGER, iCauId INTEGER, iAnaId INTEGER, iSitId INTEGER,
  dMvmDataMov DATE, dMvmDataEc DATE)
RETURNS (iMvmId INTEGER, fMvmImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iTrovato INTEGER;
DECLARE VARIABLE lTipo SMALLINT;
DECLARE VARIABLE iComponenti INTEGER;
DECLARE VARIABLE dChiuso DATE;
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
DECLARE VARIABLE iPagante INTEGER;
DECLARE VARIABLE iSituazione INTEGER;
DECLARE VARIABLE iCbmId INTEGER;
DECLARE VARIABLE iCcaId INTEGER;
DECLARE VARIABLE fQuota NUMERIC(18,4);
BEGIN
  iTrovato = NULL;
  SELECT 1, Cau.lCauTipo FROM TCau_Causali Cau WHERE Cau.iCauId = :iCauId INTO :iTrovato, :lTipo;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'La causale ' || COALESCE(CAST(iCauId AS VARCHAR(12)), '?') || ' non esiste.';
  SELECT COUNT(*), COALESCE(SUM(Cca.fCcaImportoIst), 0)
    FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)
   WHERE CauCca.iCauId = :iCauId
    INTO :iComponenti, :fMvmImporto;
  IF (iComponenti = 0) THEN
    EXCEPTION E_EBC 'La causale non ha componenti: impossibile registrare il movimento.';
  IF (dMvmDataMov IS NULL) THEN
    EXCEPTION E_EBC 'La data del movimento è obbligatoria.';

  iTrovato = NULL;
  SELECT 1, Ist.dEnd FROM TSprIst Ist WHERE Ist.iSprIstId = :iSprIstId INTO :iTrovato, :dChiuso;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'Il conto ' || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ' non esiste.';
  IF (dChiuso IS NOT NULL AND dChiuso <= dMvmDataMov) THEN
    EXCEPTION E_EBC 'Il conto è chiuso dal ' || FEbc_Data(dChiuso) || ': impossibile registrare il movimento.';

  iCaiId = NULL;
  SELECT Cai.iCaiId,
         COALESCE(Cai.dCaiInizioAnno, CAST(Cai.iCaiEsercizioFin || '-01-01' AS DATE)),
         COALESCE(Cai.dCaiFineAnno, CAST(Cai.iCaiEsercizioFin || '-12-31' AS DATE))
    FROM TCai_CassaIst Cai
   WHERE Cai.iSprIstId = :iSprIstId AND Cai.iCaiEsercizioFin = :iEsercizioFin
    INTO :iCaiId, :dInizio, :dFine;
  IF (iCaiId IS NULL) THEN
    EXCEPTION E_EBC 'L''anno finanziario ' || COALESCE(CAST(iEsercizioFin AS VARCHAR(12)), '?') || ' non è stato inizializzato per il conto '
      || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ': eseguire prima l''inizio dell''anno finanziario.';
  IF (dMvmDataMov < dInizio OR dMvmDataMov > dFine) THEN
    EXCEPTION E_EBC 'La data del movimento (' || FEbc_Data(dMvmDataMov)
      || ') non rientra nell''anno finanziario ' || iEsercizioFin
      || ' (dal ' || FEbc_Data(dInizio) || ' al ' || FEbc_Data(dFine) || ').';

  IF (COALESCE(iSitId, 0) > 0) THEN
  BEGIN
    iTrovato = NULL;
    SELECT 1, Sit.iAnaId FROM TSit_Situazioni Sit WHERE Sit.iSitId = :iSitId INTO :iTrovato, :iPagante;
    IF (iTrovato IS NULL) THEN
      EXCEPTION E_EBC 'La situazione scolastica ' || iSitId || ' dell''alunno non esiste.';
    iSituazione = iSitId;
    iCbmId = 1;
  END
  ELSE
  BEGIN
    iPagante = iAnaId;
    iSituazione = NULL;
    iCbmId = 6;
  END

  iMvmId = NEXT VALUE FOR G_TMVM_MOVIMENTICCP;
  INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr,
                                 dMvmDataMov, dMvmDataEc, iAnaId, iCbmId, iSitId, iLocked)
  VALUES (:iMvmId, :iSprIstId, :iCauId, COALESCE(:lTipo, 0), :fMvmImporto, 0, 0,
          :dMvmDataMov, :dMvmDataEc, :iPagante, :iCbmId, :iSituazione, 0);

  FOR SELECT Cca.iCcaId, COALESCE(Cca.fCcaImportoIst, 0)
        FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)
       WHERE CauCca.iCauId = :iCauId
       ORDER BY CauCca.iCauCcaId
        INTO :iCcaId, :fQuota
  DO
    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto)
    VALUES (NEXT VALUE FOR G_TMVMCCA, :iMvmId, :iCcaId, :fQuota);

  EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin);
  EXECUTE PROCEDURE PEbc_LockUnlockAnf(:iSprIstId, :iEsercizioFin);
  SUSPEND;
END^

-- Display name of a movement's payer or payee.
CREATE OR ALTER PROCEDURE PEbc_BenefDescr (iAnaId INTEGER, iBenId INTEGER)
RETURNS (sBenefDescr VARCHAR(250))
AS
BEGIN
  sBenefDescr = NULL;
  IF (iBenId IS NOT NULL) THEN
    SELECT Ben.sBenRagSoc FROM TBen_Beneficiari Ben WHERE Ben.iBenId = :iBenId INTO :sBenefDescr;
  IF (sBenefDescr IS NULL AND iAnaId IS NOT NULL) THEN
    SELECT TRIM(COALESCE(Ana.sAnaCognome, '') || ' ' || COALESCE(Ana.sAnaNome, ''))
      FROM TAna_Anagrafiche Ana WHERE Ana.iAnaId = :iAnaId INTO :sBenefDescr;
  sBenefDescr = COALESCE(sBenefDescr, '');
  SUSPEND;
END^

-- Balances ---------------------------------------------------------------------------------------

-- Differences booked in an account-year from its first day to dFino (opening difference included).
CREATE OR ALTER PROCEDURE PEbc_DiffAnno (iSprIstId INTEGER, iCaiId INTEGER, dInizio DATE, dFino DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
DECLARE VARIABLE fMov NUMERIC(18,4);
BEGIN
  SELECT COALESCE(Cai.fCaiDiffIniz, 0) FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId INTO :fDiff;
  SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(Mvm.fMvmDifferenza, 0)), 0)
    FROM TMvm_MovimentiCcp Mvm
   WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFino
    INTO :fMov;
  fDiff = COALESCE(fDiff, 0) + fMov;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_MvmDiff (iSprIstId INTEGER, dData DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
BEGIN
  fDiff = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dData) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
    SELECT fDiff FROM PEbc_DiffAnno(:iSprIstId, :iCaiId, :dInizio, :dData) INTO :fDiff;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_Differenze (iSprIstId INTEGER, dInizioPeriodo DATE)
RETURNS (fDiff NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
BEGIN
  fDiff = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dInizioPeriodo) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
    SELECT fDiff FROM PEbc_DiffAnno(:iSprIstId, :iCaiId, :dInizio, DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)))
      INTO :fDiff;
  SUSPEND;
END^

-- Balance of one top-level component type in an account-year, from its first day to dFino, by
-- movement date or (lDataEc = 1) by statement date. Sub-types count in their parent type.
CREATE OR ALTER PROCEDURE PEbc_TccAnno (iSprIstId INTEGER, iCaiId INTEGER, iTccId INTEGER, lDataEc INTEGER,
                                        dInizio DATE, dFino DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
DECLARE VARIABLE fMov NUMERIC(18,4);
BEGIN
  fTccImporto = NULL;
  SELECT Ct.fCaiTccImportoIniz FROM TCaiTcc Ct WHERE Ct.iCaiId = :iCaiId AND Ct.iTccId = :iTccId
    INTO :fTccImporto;
  IF (COALESCE(lDataEc, 0) = 1) THEN
    SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(MvmCca.fMvmCcaImporto, 0)), 0)
      FROM TMvm_MovimentiCcp Mvm
     INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
     INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
     INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
     WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataEc BETWEEN :dInizio AND :dFino
       AND COALESCE(Tcc.iTccId_P, Tcc.iTccId) = :iTccId
      INTO :fMov;
  ELSE
    SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(MvmCca.fMvmCcaImporto, 0)), 0)
      FROM TMvm_MovimentiCcp Mvm
     INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
     INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
     INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
     WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFino
       AND COALESCE(Tcc.iTccId_P, Tcc.iTccId) = :iTccId
      INTO :fMov;
  fTccImporto = COALESCE(fTccImporto, 0) + fMov;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_SaldoXTcc (iSprIstId INTEGER, iTccId INTEGER, lDataEc INTEGER, dData DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
BEGIN
  fTccImporto = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dData) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
    SELECT fTccImporto FROM PEbc_TccAnno(:iSprIstId, :iCaiId, :iTccId, :lDataEc, :dInizio, :dData)
      INTO :fTccImporto;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_RiportoXTcc (iSprIstId INTEGER, iTccId INTEGER, lDataEc INTEGER, dInizioPeriodo DATE)
RETURNS (fTccImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
BEGIN
  fTccImporto = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dInizioPeriodo) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
    SELECT fTccImporto
      FROM PEbc_TccAnno(:iSprIstId, :iCaiId, :iTccId, :lDataEc, :dInizio,
                        DATEADD(-1 DAY TO CAST(:dInizioPeriodo AS DATE)))
      INTO :fTccImporto;
  SUSPEND;
END^

-- Income and/or expense carried into a period: the account-year's movements before its start.
CREATE OR ALTER PROCEDURE PEbc_RiportiInOut (iSprIstId INTEGER, dInizioPeriodo DATE, lUscite INTEGER,
                                             lEntrate INTEGER, lDataEc INTEGER)
RETURNS (fImporto NUMERIC(18,4))
AS
DECLARE VARIABLE iCaiId INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFino DATE;
BEGIN
  fImporto = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dInizioPeriodo) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
  BEGIN
    dFino = DATEADD(-1 DAY TO dInizioPeriodo);
    IF (COALESCE(lDataEc, 0) = 1) THEN
      SELECT COALESCE(SUM(Mvm.fMvmImporto), 0) FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataEc BETWEEN :dInizio AND :dFino
         AND ((Mvm.lMvmTipo = 1 AND :lUscite = 1) OR (Mvm.lMvmTipo = 0 AND :lEntrate = 1))
        INTO :fImporto;
    ELSE
      SELECT COALESCE(SUM(Mvm.fMvmImporto), 0) FROM TMvm_MovimentiCcp Mvm
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFino
         AND ((Mvm.lMvmTipo = 1 AND :lUscite = 1) OR (Mvm.lMvmTipo = 0 AND :lEntrate = 1))
        INTO :fImporto;
  END
  SUSPEND;
END^

-- Composition of movements -----------------------------------------------------------------------

-- A movement's split summed by top-level type: taxes, contributions, quotas, and everything else.
CREATE OR ALTER PROCEDURE PEbc_ComposSint (iMvmId INTEGER, iCauId INTEGER, fMvmDiff NUMERIC(18,4),
                                           lMvmTipo INTEGER)
RETURNS (fImportoT NUMERIC(18,4), fImportoC NUMERIC(18,4), fImportoQ NUMERIC(18,4),
         fImportoD NUMERIC(18,4))
AS
DECLARE VARIABLE iRighe INTEGER;
BEGIN
  SELECT COUNT(*),
         COALESCE(SUM(IIF(COALESCE(Tcc.iTccId_P, Tcc.iTccId) = 1, MvmCca.fMvmCcaImporto, 0)), 0),
         COALESCE(SUM(IIF(COALESCE(Tcc.iTccId_P, Tcc.iTccId) = 2, MvmCca.fMvmCcaImporto, 0)), 0),
         COALESCE(SUM(IIF(COALESCE(Tcc.iTccId_P, Tcc.iTccId) = 3, MvmCca.fMvmCcaImporto, 0)), 0),
         COALESCE(SUM(IIF(COALESCE(Tcc.iTccId_P, Tcc.iTccId) IN (1, 2, 3), 0, MvmCca.fMvmCcaImporto)), 0)
    FROM TMvmCca MvmCca
    LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
    LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
   WHERE MvmCca.iMvmId = :iMvmId
    INTO :iRighe, :fImportoT, :fImportoC, :fImportoQ, :fImportoD;
  IF (iRighe = 0) THEN
    SELECT COALESCE(Mvm.fMvmImporto, 0) FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId = :iMvmId INTO :fImportoD;
  SUSPEND;
END^

CREATE OR ALTER PROCEDURE PEbc_ComposAna (iMvmId INTEGER, iCauId INTEGER, fMvmDiff NUMERIC(18,4), iAnfId INTEGER)
RETURNS (iCcaId INTEGER, sCcaLDesc VARCHAR(250), iTccId INTEGER, sTccLDesc VARCHAR(250),
         fCcaImporto NUMERIC(18,4))
AS
BEGIN
  FOR SELECT MvmCca.iCcaId, Cca.sCcaLDesc, TccP.iTccId, TccP.sTccLDesc, MvmCca.fMvmCcaImporto
        FROM TMvmCca MvmCca
        LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
        LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
        LEFT JOIN TTcc_TipoCompCaus TccP ON (TccP.iTccId = COALESCE(Tcc.iTccId_P, Tcc.iTccId))
       WHERE MvmCca.iMvmId = :iMvmId
       ORDER BY TccP.iTccId, Cca.sCcaLDesc, MvmCca.iMvmCcaId
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
  FOR SELECT MvmCca.iCcaId, MAX(Cca.sCcaLDesc), MAX(TccP.iTccId), MAX(TccP.sTccLDesc),
             SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(MvmCca.fMvmCcaImporto, 0))
        FROM TMvm_MovimentiCcp Mvm
       INNER JOIN TMvmCca MvmCca ON (MvmCca.iMvmId = Mvm.iMvmId)
        LEFT JOIN TCca_CompCausali Cca ON (Cca.iCcaId = MvmCca.iCcaId)
        LEFT JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)
        LEFT JOIN TTcc_TipoCompCaus TccP ON (TccP.iTccId = COALESCE(Tcc.iTccId_P, Tcc.iTccId))
       WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine
       GROUP BY MvmCca.iCcaId
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
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE iAnaId INTEGER;
DECLARE VARIABLE iBenId INTEGER;
DECLARE VARIABLE fImporto NUMERIC(18,4);
DECLARE VARIABLE sCodice VARCHAR(100);
DECLARE VARIABLE fMov NUMERIC(18,4);
BEGIN
  -- Opening balance: the year's opening plus its movements before the period.
  fSaldo = 0;
  iCaiId = NULL;
  SELECT iCaiId, dInizio FROM PEbc_AnnoConto(:iSprIstId, :dInizioPeriodo) INTO :iCaiId, :dInizio;
  IF (iCaiId IS NOT NULL) THEN
  BEGIN
    SELECT COALESCE(Cai.fCaiCassaIn, 0) FROM TCai_CassaIst Cai WHERE Cai.iCaiId = :iCaiId INTO :fSaldo;
    SELECT COALESCE(SUM(IIF(Mvm.lMvmTipo = 1, -1, 1) * COALESCE(Mvm.fMvmImporto, 0)), 0)
      FROM TMvm_MovimentiCcp Mvm
     WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.dMvmDataMov >= :dInizio AND Mvm.dMvmDataMov < :dInizioPeriodo
      INTO :fMov;
    fSaldo = fSaldo + fMov;
  END

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

-- Registries -------------------------------------------------------------------------------------

CREATE OR ALTER PROCEDURE PABC_MODPAGAM
RETURNS (iMpgId INTEGER, TIPOLOGIA VARCHAR(20))
AS
DECLARE VARIABLE lPag SMALLINT;
DECLARE VARIABLE lRisc SMALLINT;
BEGIN
  FOR SELECT Mpg.iMpgId, Mpg.lMpgPag, Mpg.lMpgRisc FROM TMpg_ModPagam Mpg ORDER BY Mpg.iMpgId
        INTO :iMpgId, :lPag, :lRisc
  DO
  BEGIN
    IF (lPag = 1 AND lRisc = 1) THEN
      TIPOLOGIA = 'Pag./Risc.';
    ELSE IF (lPag = 1) THEN
      TIPOLOGIA = 'Pagamento';
    ELSE IF (lRisc = 1) THEN
      TIPOLOGIA = 'Riscossione';
    ELSE
      TIPOLOGIA = '';
    SUSPEND;
  END
END^

CREATE OR ALTER PROCEDURE PABC_BENCATEG
RETURNS (iBcaId INTEGER, GIURIDICA SMALLINT, FISICA SMALLINT, EDITORE SMALLINT, RAPPRESENTANTE SMALLINT)
AS
BEGIN
  FOR SELECT Bca.iBcaId FROM TBCA_BENCATEG Bca ORDER BY Bca.iBcaId INTO :iBcaId
  DO
  BEGIN
    GIURIDICA = IIF(iBcaId = 1, 1, 0);
    FISICA = IIF(iBcaId = 2, 1, 0);
    EDITORE = IIF(iBcaId = 3, 1, 0);
    RAPPRESENTANTE = IIF(iBcaId = 4, 1, 0);
    SUSPEND;
  END
END^

SET TERM ; ^
