-- version: 6.37.0
-- Direct debit: the component rows of a pupil's causale, and the XML documents the program
-- ships (data-replace fields, coordinate filter) installed without overwriting an
-- installation's own changes.

-- The program's copy of each document as it last shipped it: a document whose text still
-- equals its copy was not changed by the installation and may take a newer shipped version.
INSERT INTO TYXls_XmlLista (iYXlsId, sYXlsCodice, sYXlsDesc) VALUES (90, 'EBC_SHIPPED', 'Documenti forniti con il programma');

SET TERM ^ ;

-- Installs or updates a shipped XML document: a missing one is added, one whose text is still
-- the one shipped before (or empty) takes the new text, one the installation changed stays.
CREATE OR ALTER PROCEDURE PEbc_ShipXml (sLista VARCHAR(30), sCodice VARCHAR(30), sDesc VARCHAR(100),
                                       bXml BLOB SUB_TYPE TEXT)
RETURNS (iEsito INTEGER)
AS
DECLARE VARIABLE iXlsId INTEGER;
DECLARE VARIABLE iCopiaXlsId INTEGER;
DECLARE VARIABLE iXarId INTEGER;
DECLARE VARIABLE iCopiaId INTEGER;
DECLARE VARIABLE bAttuale BLOB SUB_TYPE TEXT;
DECLARE VARIABLE bSpedito BLOB SUB_TYPE TEXT;
BEGIN
  SELECT iYXlsId FROM TYXls_XmlLista WHERE sYXlsCodice = 'EBC_SHIPPED' INTO :iCopiaXlsId;
  iXlsId = NULL;
  SELECT iYXlsId FROM TYXls_XmlLista WHERE sYXlsCodice = :sLista AND DDELETE IS NULL INTO :iXlsId;
  IF (iXlsId IS NULL) THEN
    EXCEPTION E_EBC 'Lista XML sconosciuta: "' || COALESCE(sLista, '') || '".';
  iXarId = NULL;
  SELECT FIRST 1 iYXarId, bYXarXmlFile FROM TYXar_XmlArchivio
   WHERE iYXlsId = :iXlsId AND sYXarCodice = :sCodice AND DDELETE IS NULL
   ORDER BY iYXarId
    INTO :iXarId, :bAttuale;
  iCopiaId = NULL;
  SELECT FIRST 1 iYXarId, bYXarXmlFile FROM TYXar_XmlArchivio
   WHERE iYXlsId = :iCopiaXlsId AND sYXarCodice = :sLista || '/' || :sCodice
   ORDER BY iYXarId
    INTO :iCopiaId, :bSpedito;
  iEsito = 0;   -- the installation's own text is kept
  IF (iXarId IS NULL) THEN
  BEGIN
    SELECT l_iCntId FROM PYSetGetId('TYXAR_XMLARCHIVIO', 0) INTO :iXarId;
    INSERT INTO TYXar_XmlArchivio (iYXarId, iYXlsId, sYXarCodice, sYXarDesc, bYXarXmlFile, iLocked)
    VALUES (:iXarId, :iXlsId, :sCodice, :sDesc, :bXml, 0);
    iEsito = 1;   -- added
  END
  ELSE IF (bAttuale IS NULL OR (iCopiaId IS NOT NULL AND bAttuale = bSpedito)) THEN
  BEGIN
    UPDATE TYXar_XmlArchivio SET bYXarXmlFile = :bXml WHERE iYXarId = :iXarId;
    iEsito = 2;   -- updated
  END
  -- The copy follows every version shipped, taken or not.
  IF (iCopiaId IS NULL) THEN
  BEGIN
    SELECT l_iCntId FROM PYSetGetId('TYXAR_XMLARCHIVIO', 0) INTO :iCopiaId;
    INSERT INTO TYXar_XmlArchivio (iYXarId, iYXlsId, sYXarCodice, sYXarDesc, bYXarXmlFile, iLocked)
    VALUES (:iCopiaId, :iCopiaXlsId, :sLista || '/' || :sCodice, :sDesc, :bXml, 1);
  END
  ELSE
    UPDATE TYXar_XmlArchivio SET bYXarXmlFile = :bXml WHERE iYXarId = :iCopiaId;
  SUSPEND;
END^

-- The component rows of a pupil's causale: one per component of the causale, with the
-- component's institute amount and due date, not paid. Earlier rows of the link go.
CREATE OR ALTER PROCEDURE PEbc_AcbCauCca (iAcbCauId INTEGER)
AS
DECLARE VARIABLE iCcaId INTEGER;
DECLARE VARIABLE fImporto NUMERIC(18,4);
DECLARE VARIABLE dScadenza DATE;
DECLARE VARIABLE iCacId INTEGER;
BEGIN
  DELETE FROM TCac_CcaAcbCau WHERE iAcbCauId = :iAcbCauId;
  FOR SELECT Cca.iCcaId, Cca.fCcaImportoIst, Cca.dCcaDataScadenza
        FROM TAcbCau AcbCau
        INNER JOIN TCauCca Ccc ON (Ccc.iCauId = AcbCau.iCauId)
        INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = Ccc.iCcaId)
       WHERE AcbCau.iAcbCauId = :iAcbCauId
       ORDER BY Ccc.iCauCcaId
        INTO :iCcaId, :fImporto, :dScadenza
  DO
  BEGIN
    SELECT l_iCntId FROM PYSetGetId('TCAC_CCAACBCAU', 0) INTO :iCacId;
    INSERT INTO TCac_CcaAcbCau (iCacId, iAcbCauId, iCcaId, fCacImporto, dCacDataScadenza, lCacPagato)
    VALUES (:iCacId, :iAcbCauId, :iCcaId, COALESCE(:fImporto, 0), :dScadenza, 0);
  END
END^

-- Links a causale to a pupil's coordinates with its component rows.
CREATE OR ALTER PROCEDURE PEbc_AcbCauAdd (iAcbId INTEGER, iCauId INTEGER)
RETURNS (iAcbCauId INTEGER)
AS
BEGIN
  SELECT l_iCntId FROM PYSetGetId('TACBCAU', 0) INTO :iAcbCauId;
  INSERT INTO TAcbCau (iAcbCauId, iAcbId, iCauId) VALUES (:iAcbCauId, :iAcbId, :iCauId);
  EXECUTE PROCEDURE PEbc_AcbCauCca(:iAcbCauId);
  SUSPEND;
END^

-- A link moved to another causale gets that causale's components, whoever changed it.
CREATE OR ALTER TRIGGER TAU_TACBCAU_CCA FOR TAcbCau ACTIVE AFTER UPDATE POSITION 0
AS
BEGIN
  IF (NEW.iCauId IS DISTINCT FROM OLD.iCauId) THEN
    EXECUTE PROCEDURE PEbc_AcbCauCca(NEW.iAcbCauId);
END^

SET TERM ; ^

CREATE INDEX IX_TACBCAU_ACB_CAU ON TAcbCau (iAcbId, iCauId);
CREATE INDEX IX_TACB_ANA ON TAcb_AluCoordBan (iAnaId);

-- Fields of the bulk data replace. A causale is added to a pupil whose coordinates do not
-- hold it (the update changes no row), skipped for one who already holds it.
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
  </Fields>
</EBCREPLACE>
');

-- Fields of the filter on the pupils' coordinates (columns of the selection list).
EXECUTE PROCEDURE PEbc_ShipXml('EBC', 'EBC_ACBFL', 'Filtro delle coordinate bancarie degli alunni',
'<?xml version="1.0" encoding="UTF-8"?>
<filterdefinition code="EBC_ACBFL" title="Filtro alunni">
  <field name="sClsSDesc" caption="Classe" type="text"/>
  <field name="iSezId" caption="Sezione" type="integer"/>
  <field name="iAcsId" caption="Anno di corso" type="integer"/>
  <field name="sMpgDescL" caption="Tipo pagamento" type="text"/>
  <field name="sCausali" caption="Causale" type="text"/>
  <field name="sAcbIntestatario" caption="Intestatario" type="text"/>
  <field name="sCognomeNomeAlu" caption="Alunno" type="text"/>
</filterdefinition>
');
