-- version: 6.37.0
-- Movements that would leave the figures wrong are refused by the database: a split whose rows
-- do not add up to the movement's amount, and any movement on a closed account or in an
-- account-year whose movements the initialisation of the following year locked.

-- Finds a locked movement of an account-year without reading the whole year.
CREATE INDEX IX_TMVM_LOCKED ON TMvm_MovimentiCcp (iSprIstId, iLocked, dMvmDataMov);

SET TERM ^ ;

-- Amounts in messages are written as the clerk reads them: 1234,50.
CREATE OR ALTER FUNCTION FEbc_Importo (fImporto NUMERIC(18,4)) RETURNS VARCHAR(24)
AS
BEGIN
  RETURN REPLACE(CAST(CAST(fImporto AS NUMERIC(18,2)) AS VARCHAR(24)), '.', ',');
END^

-- Refuses a movement of account iSprIstId dated dData (a new one, or one changed or removed)
-- when the account is closed, or when the account-year of that date has its movements locked.
CREATE OR ALTER PROCEDURE PEbc_MvmConsentito (iSprIstId INTEGER, dData DATE)
AS
DECLARE VARIABLE iTrovato INTEGER;
DECLARE VARIABLE dChiuso DATE;
DECLARE VARIABLE iEsercizioFin INTEGER;
DECLARE VARIABLE dInizio DATE;
DECLARE VARIABLE dFine DATE;
BEGIN
  iTrovato = NULL;
  SELECT 1, Ist.dEnd FROM TSprIst Ist WHERE Ist.iSprIstId = :iSprIstId INTO :iTrovato, :dChiuso;
  IF (iTrovato IS NULL) THEN
    EXCEPTION E_EBC 'Il conto ' || COALESCE(CAST(iSprIstId AS VARCHAR(12)), '?') || ' non esiste.';
  IF (dChiuso IS NOT NULL) THEN
    EXCEPTION E_EBC 'Il conto è chiuso dal ' || FEbc_Data(dChiuso)
      || ': i suoi movimenti non si possono più registrare né modificare.';

  iEsercizioFin = NULL;
  SELECT iEsercizioFin, dInizio, dFine FROM PEbc_AnnoConto(:iSprIstId, :dData)
    INTO :iEsercizioFin, :dInizio, :dFine;
  IF (iEsercizioFin IS NOT NULL
      AND EXISTS (SELECT 1 FROM TMvm_MovimentiCcp Mvm
                   WHERE Mvm.iSprIstId = :iSprIstId AND Mvm.iLocked = 1
                     AND Mvm.dMvmDataMov BETWEEN :dInizio AND :dFine)) THEN
    EXCEPTION E_EBC 'I movimenti dell''anno finanziario ' || iEsercizioFin
      || ' del conto sono stati bloccati dall''inizio dell''anno successivo: non si possono più registrare né modificare.';
END^

-- Refuses a movement whose split rows do not add up to its amount (no rows add up to 0).
CREATE OR ALTER PROCEDURE PEbc_MvmQuadra (iMvmId INTEGER)
AS
DECLARE VARIABLE fImporto NUMERIC(18,4);
DECLARE VARIABLE fSomma NUMERIC(18,4);
BEGIN
  fImporto = NULL;
  SELECT Mvm.fMvmImporto,
         (SELECT COALESCE(SUM(Mva.fMvmCcaImporto), 0) FROM TMvmCca Mva WHERE Mva.iMvmId = Mvm.iMvmId)
    FROM TMvm_MovimentiCcp Mvm WHERE Mvm.iMvmId = :iMvmId
    INTO :fImporto, :fSomma;
  IF (fImporto IS NOT NULL AND fImporto <> fSomma) THEN
    EXCEPTION E_EBC 'La somma delle componenti (' || FEbc_Importo(fSomma)
      || ') non corrisponde all''importo del movimento (' || FEbc_Importo(fImporto)
      || '): suddividere l''importo tra le componenti della causale.';
END^

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
  -- A closed account, and a year closed by the initialisation of the next, take nothing.
  EXECUTE PROCEDURE PEbc_MvmConsentito(:iSprIstId, :dMvmDataMov);

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

SET TERM ; ^
