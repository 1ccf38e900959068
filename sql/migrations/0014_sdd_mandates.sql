-- version: 6.37.0
-- SEPA direct debit: each pupil's coordinates carry the mandate the parent signed, and every
-- debit sent to the bank is recorded against its mandate, so the next file knows whether a
-- mandate is debited for the first time (FRST) or again (RCUR).

ALTER TABLE TAcb_AluCoordBan ADD sAcbMandato VARCHAR(35);
ALTER TABLE TAcb_AluCoordBan ADD dAcbDataFirma DATE;

-- One debit sent under a mandate. The mandate text is the key (a new mandate on the same
-- coordinates starts a new series); the coordinates id is kept for tracing only, so deleting
-- coordinates keeps the history of what was debited.
CREATE TABLE TAcm_AcbMandatoUso (
    iAcmId        INTEGER NOT NULL,
    iAcbId        INTEGER,
    sAcmMandato   VARCHAR(35) NOT NULL,
    sAcmSeqTp     CHAR(4) NOT NULL,
    dAcmIncasso   DATE NOT NULL,
    fAcmImporto   NUMERIC(18,4) NOT NULL,
    sAcmEndToEnd  VARCHAR(35) NOT NULL,
    sAcmFile      VARCHAR(255),
    tAcmExport    TIMESTAMP DEFAULT CURRENT_TIMESTAMP,
    CONSTRAINT PK_TACM_ACBMANDATOUSO PRIMARY KEY (iAcmId),
    CONSTRAINT CK_TACM_SEQTP CHECK (sAcmSeqTp IN ('FRST', 'RCUR', 'FNAL', 'OOFF'))
);
CREATE SEQUENCE G_TACM_ACBMANDATOUSO;
CREATE INDEX IX_TACM_MANDATO ON TAcm_AcbMandatoUso (sAcmMandato);

SET TERM ^ ;

-- The default mandate id of coordinates: the ministry code of the main seat of the pupil's
-- institute and the coordinates id, so it never changes and no two coordinates share it.
CREATE OR ALTER PROCEDURE PEbc_MandatoDefault (iAcbId INTEGER, iAnaId INTEGER)
RETURNS (sMandato VARCHAR(35))
AS
DECLARE VARIABLE sMec VARCHAR(10);
BEGIN
  sMec = NULL;
  SELECT FIRST 1 Sed.sSedMecCod FROM TSit_Situazioni Sit
   INNER JOIN TDwgSed DwgSed ON (DwgSed.iDwgId = Sit.iDwgId AND DwgSed.lDwgSedMain = 1)
   INNER JOIN TSed_Sedi Sed ON (Sed.iSedId = DwgSed.iSedId)
   WHERE Sit.iAnaId = :iAnaId AND Sit.DDELETE IS NULL AND TRIM(COALESCE(Sed.sSedMecCod, '')) <> ''
   ORDER BY Sit.dStart DESC, Sit.iSitOrdine
    INTO :sMec;
  IF (sMec IS NULL) THEN
    SELECT FIRST 1 Sed.sSedMecCod FROM TDwgSed DwgSed
     INNER JOIN TSed_Sedi Sed ON (Sed.iSedId = DwgSed.iSedId)
     WHERE DwgSed.lDwgSedMain = 1 AND TRIM(COALESCE(Sed.sSedMecCod, '')) <> ''
     ORDER BY DwgSed.iDwgId
      INTO :sMec;
  sMandato = UPPER(TRIM(COALESCE(sMec, 'CCP'))) || '-' || LPAD(iAcbId, 9, '0');
  SUSPEND;
END^

-- Coordinates without a mandate id take the default; a typed one is kept, trimmed.
CREATE OR ALTER TRIGGER TBIU_TACB_MANDATO FOR TAcb_AluCoordBan ACTIVE BEFORE INSERT OR UPDATE POSITION 0
AS
BEGIN
  NEW.sAcbMandato = NULLIF(TRIM(NEW.sAcbMandato), '');
  IF (NEW.sAcbMandato IS NULL) THEN
    SELECT sMandato FROM PEbc_MandatoDefault(NEW.iAcbId, NEW.iAnaId) INTO NEW.sAcbMandato;
END^

-- Gives every coordinates without a mandate id the default one. Coordinates saved before the
-- mandates existed get theirs from the program (the new column cannot be written in the
-- transaction that adds it).
CREATE OR ALTER PROCEDURE PEbc_MandatiMancanti
AS
DECLARE VARIABLE iAcbId INTEGER;
DECLARE VARIABLE iAnaId INTEGER;
DECLARE VARIABLE sMandato VARCHAR(35);
BEGIN
  FOR SELECT iAcbId, iAnaId FROM TAcb_AluCoordBan WHERE sAcbMandato IS NULL INTO :iAcbId, :iAnaId DO
  BEGIN
    SELECT sMandato FROM PEbc_MandatoDefault(:iAcbId, :iAnaId) INTO :sMandato;
    UPDATE TAcb_AluCoordBan SET sAcbMandato = :sMandato WHERE iAcbId = :iAcbId;
  END
END^

SET TERM ; ^

-- Two families can never be debited under one mandate; coordinates without one are allowed.
ALTER TABLE TAcb_AluCoordBan ADD CONSTRAINT UQ_TACB_MANDATO UNIQUE (sAcbMandato);

-- The bulk replace also sets the signature date of many mandates at once (the paper mandates
-- come back signed together at the start of the year).
EXECUTE PROCEDURE PEbc_ShipXml('EBC', 'EBCREPLACE', 'Sostituzione dati delle coordinate bancarie',
'<?xml version="1.0" encoding="UTF-8"?>
<EBCREPLACE>
  <Fields>
    <Field>
      <Caption>Causale</Caption>
      <Name>iCauId</Name>
      <Type>enum</Type>
      <ValuesQuery>SELECT iCauId, sCauLDesc FROM TCau_Causali ORDER BY sCauLDesc</ValuesQuery>
      <UpdateScript>UPDATE TAcbCau SET iCauId = :NEWVALUE WHERE iAcbId = :SELECTEDID AND iCauId = :OLDVALUE AND 0 = :ANY</UpdateScript>
      <InsertScript>SELECT iAcbCauId FROM PEbc_AcbCauAdd(:SELECTEDID, :NEWVALUE)</InsertScript>
      <BeforeExec>SELECT iAcbCauId FROM TAcbCau WHERE iAcbId = :SELECTEDID AND iCauId = :NEWVALUE</BeforeExec>
    </Field>
    <Field>
      <Caption>Tipo di pagamento</Caption>
      <Name>iMpgId</Name>
      <Type>cxenum</Type>
      <ValuesQuery>SELECT iMpgId, sMpgDescS, sMpgDescL FROM TMpg_ModPagam WHERE DDELETE IS NULL AND lMpgRisc = 1 ORDER BY sMpgDescL</ValuesQuery>
      <KeyFieldNames>iMpgId</KeyFieldNames>
      <ListFieldNames>sMpgDescL</ListFieldNames>
      <ListColumns>
        <ListColumn><Caption>Codice</Caption><FieldName>sMpgDescS</FieldName><MinWidth>80</MinWidth></ListColumn>
        <ListColumn><Caption>Tipo pagamento</Caption><FieldName>sMpgDescL</FieldName><MinWidth>200</MinWidth></ListColumn>
      </ListColumns>
      <UpdateScript>UPDATE TAcb_AluCoordBan SET iMpgId = :NEWVALUE WHERE iAcbId = :SELECTEDID AND (iMpgId = :OLDVALUE OR 1 = :ANY)</UpdateScript>
      <BeforeExec>SELECT iAcbId FROM TAcb_AluCoordBan WHERE iAcbId = :SELECTEDID AND iMpgId = :NEWVALUE</BeforeExec>
    </Field>
    <Field>
      <Caption>Intestatario</Caption>
      <Name>sAcbIntestatario</Name>
      <Type>string</Type>
      <UpdateScript>UPDATE TAcb_AluCoordBan SET sAcbIntestatario = :NEWVALUE WHERE iAcbId = :SELECTEDID AND (sAcbIntestatario = :OLDVALUE OR 1 = :ANY)</UpdateScript>
    </Field>
    <Field>
      <Caption>Codice IBAN</Caption>
      <Name>sAcbIBan</Name>
      <Type>string</Type>
      <UpdateScript>UPDATE TAcb_AluCoordBan SET sAcbIBan = :NEWVALUE WHERE iAcbId = :SELECTEDID AND (sAcbIBan = :OLDVALUE OR 1 = :ANY)</UpdateScript>
    </Field>
    <Field>
      <Caption>Data sottoscrizione mandato</Caption>
      <Name>dAcbDataFirma</Name>
      <Type>date</Type>
      <UpdateScript>UPDATE TAcb_AluCoordBan SET dAcbDataFirma = :NEWVALUE WHERE iAcbId = :SELECTEDID AND (dAcbDataFirma = :OLDVALUE OR 1 = :ANY)</UpdateScript>
    </Field>
  </Fields>
</EBCREPLACE>
');
