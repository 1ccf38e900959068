#include "DemoData.h"
#include "DemoSupport.h"
#include "DemoDirectDebit.h"
#include "DemoAccounts.h"

#include "AbiUIBAN.h"
#include "AbiUNames.h"
#include "DemoBeneficiaries.h"
#include "DemoBudget.h"
#include "SqlQuery.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QVector>
#include <algorithm>
#include <array>
#include <memory>

namespace ccp::DemoData {

namespace {

#define S(x) QStringLiteral(x)
// splitmix64: the same sequence on every platform and standard library.
class Rng
{
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template<typename T, size_t N>
    const T &pick(const T (&items)[N]) { return items[below(int(N))]; }

private:
    quint64 m_state;
};

// ---- invented people ---------------------------------------------------------------------------

const char *const MaleNames[] = {
    "Alessandro", "Andrea", "Antonio", "Alberto", "Bruno", "Carlo", "Claudio", "Daniele", "Davide",
    "Diego", "Edoardo", "Emanuele", "Enrico", "Fabio", "Federico", "Filippo", "Francesco", "Gabriele",
    "Giacomo", "Giorgio", "Giovanni", "Giulio", "Giuseppe", "Lorenzo", "Luca", "Marco", "Mario",
    "Massimo", "Matteo", "Mattia", "Michele", "Nicola", "Paolo", "Pietro", "Riccardo", "Roberto",
    "Salvatore", "Samuele", "Simone", "Stefano", "Tommaso", "Vincenzo", "Leonardo", "Elia", "Cesare",
    "Ettore", "Franco", "Guido", "Ivan", "Jacopo", "Manuel", "Nicolò", "Ruggero", "Sergio", "Valerio"};
const char *const FemaleNames[] = {
    "Alessandra", "Alice", "Anna", "Arianna", "Aurora", "Beatrice", "Camilla", "Carlotta", "Chiara",
    "Claudia", "Cristina", "Elena", "Elisa", "Emma", "Federica", "Francesca", "Gaia", "Giada",
    "Giorgia", "Giulia", "Ilaria", "Irene", "Laura", "Lucia", "Ludovica", "Marta", "Martina",
    "Maria", "Matilde", "Michela", "Monica", "Noemi", "Paola", "Rebecca", "Roberta", "Sara",
    "Silvia", "Simona", "Sofia", "Valentina", "Veronica", "Viola", "Vittoria", "Barbara", "Daniela",
    "Eleonora", "Greta", "Ginevra", "Lisa", "Marina", "Nadia", "Rita", "Serena", "Teresa", "Zoe"};
const char *const Surnames[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci", "Marino",
    "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo",
    "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani", "Rinaldi", "Caruso",
    "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile", "Martinelli", "Vitale", "Lombardo",
    "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti", "Parisi", "Villa", "Conte", "Ferraro",
    "Ferri", "Fabbri", "Bianco", "Marini", "Grasso", "Valentini", "Messina", "Sala", "De Angelis",
    "Gatti", "Pellegrini", "Palumbo", "Sanna", "Farina", "Rizzi", "Monti", "Cattaneo", "Morelli",
    "Amato", "Silvestri", "Mazza", "Testa", "Grassi", "Pellegrino", "Carbone", "Giuliani",
    "Benedetti", "Barone", "Rossetti", "Caputo", "Montanari", "Guerra", "Palmieri", "Bernardi",
    "Martino", "Fiore", "De Rosa", "Ferretti", "Bellini", "Basile", "Riva", "Donati", "Piras",
    "Vitali", "Battaglia", "Sartori", "Neri", "Costantini", "Milani", "Pagano", "Ruggiero",
    "Sorrentino", "D'Amico", "Orlando", "Damico", "Negri", "Zanetti", "Bertoni", "Gualandi",
    "Tassinari", "Zanardi", "Stanzani", "Malaguti", "Bonora", "Cavazza", "Righi"};
const char *const Streets[] = {
    "Via Roma", "Via Giuseppe Mazzini", "Via Giuseppe Garibaldi", "Via Emilia", "Via dei Mille",
    "Via Aurelio Saffi", "Via Andrea Costa", "Via Saragozza", "Via San Vitale", "Via Massarenti",
    "Via della Repubblica", "Via XX Settembre", "Via IV Novembre", "Via Cavour", "Via Marconi",
    "Via del Pratello", "Via Castiglione", "Via Murri", "Via Toscana", "Via Bellaria",
    "Via dei Tigli", "Via delle Rose", "Via dei Gelsi", "Via del Lavoro", "Via della Pace",
    "Viale Alcide De Gasperi", "Via Porrettana", "Via Bazzanese", "Via Nazionale", "Via Gramsci",
    "Via Matteotti", "Via Carducci", "Via Pascoli", "Via Dante Alighieri", "Piazza della Pace",
    "Via San Donato", "Via Ferrarese", "Via della Liberazione", "Via Corticella", "Via Zanardi"};

// Municipalities by ISTAT code: addresses come from the postcodes of the first ones (near the
// school); births from all of them, the nearest ones more often.
const char *const HomeTowns[] = {"037006", "037011", "037054", "037019", "037060", "037047", "037057",
                                 "037030"};
const char *const BirthTowns[] = {"037006", "037006", "037006", "037006", "037011", "037032",
                                  "036023", "038008", "039014", "035033", "034027", "048017",
                                  "015146", "058091", "063049", "082053", "072006", "001272",
                                  "037054", "037019"};

QString consonants(const QString &s)
{
    QString out;
    for (QChar c : s) {
        c = c.toUpper();
        if (c >= u'A' && c <= u'Z' && !QStringLiteral("AEIOU").contains(c))
            out += c;
    }
    return out;
}

QString vowels(const QString &s)
{
    QString out;
    for (QChar c : s) {
        c = c.toUpper();
        if (QStringLiteral("AEIOU").contains(c))
            out += c;
    }
    return out;
}

QString plainLetters(QString s)
{
    s.replace(QChar(0x00F2), u'O').replace(QChar(0x00E8), u'E').replace(QChar(0x00E0), u'A');
    return s;
}

// A fiscal code shaped like the real one, with the real check letter.
QString fiscalCode(const QString &surname, const QString &name, const QDate &birth, bool female,
                   const QString &cadastral)
{
    const QString sn = plainLetters(surname), nm = plainLetters(name);
    QString part1 = QString(consonants(sn) + vowels(sn) + S("XXX")).left(3);
    QString cn = consonants(nm);
    QString part2 = cn.size() >= 4 ? QString(cn[0]) + cn[2] + cn[3] : QString(cn + vowels(nm) + S("XXX")).left(3);
    static const char months[] = "ABCDEHLMPRST";
    QString code = part1 + part2 + QString::number(birth.year() % 100).rightJustified(2, u'0')
                   + QChar::fromLatin1(months[birth.month() - 1])
                   + QString::number(birth.day() + (female ? 40 : 0)).rightJustified(2, u'0')
                   + cadastral.left(4).rightJustified(4, u'Z');
    static const int odd[36] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, // 0-9
                                1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12,
                                14, 16, 10, 22, 25, 24, 23};
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const QChar c = code[i];
        const int v = c.isDigit() ? c.digitValue() : 10 + (c.unicode() - u'A');
        if (i % 2 == 0)
            sum += odd[v];
        else
            sum += c.isDigit() ? v : v - 10;
    }
    return code + QChar(u'A' + sum % 26);
}

// ---- budget scheme, components and causali -----------------------------------------------------

struct AggDef { const char *code; const char *desc; int fls; int tito; };
const AggDef Aggregates[] = {
    {"01", "Avanzo di amministrazione", 1, 1},
    {"02", "Finanziamenti dall'Unione Europea", 1, 1},
    {"03", "Finanziamenti dello Stato", 1, 1},
    {"04", "Finanziamenti dalla Regione", 1, 1},
    {"05", "Finanziamenti da Enti locali o da altre istituzioni pubbliche", 1, 1},
    {"06", "Contributi da privati", 1, 1},
    {"12", "Altre entrate", 1, 1},
    {"99", "Partite di giro", 1, 2},
    {"A", "Attività amministrativo-didattiche", 2, 1},
    {"P", "Progetti", 2, 1},
    {"R", "Fondo di riserva", 2, 1},
    {"Z", "Disponibilità finanziaria da programmare", 2, 1},
    {"G", "Partite di giro", 2, 2},
};

// Institute 0 = shared by all.
struct ItemDef { const char *agg; const char *code; const char *desc; int dwg; };
const ItemDef Items[] = {
    {"01", "01", "Non vincolato", 0},
    {"01", "02", "Vincolato", 0},
    {"02", "01", "Fondi sociali europei (FSE)", 0},
    {"02", "02", "Fondi europei di sviluppo regionale (FESR)", 0},
    {"03", "01", "Dotazione ordinaria", 0},
    {"03", "02", "Dotazione perequativa", 0},
    {"03", "06", "Altri finanziamenti vincolati dallo Stato", 0},
    {"04", "01", "Dotazione ordinaria", 0},
    {"04", "04", "Altri finanziamenti vincolati", 0},
    {"05", "03", "Comune non vincolati", 0},
    {"05", "04", "Comune vincolati", 0},
    {"06", "01", "Contributi volontari da famiglie", 0},
    {"06", "02", "Contributi per iscrizione alunni", 0},
    {"06", "04", "Contributi per visite, viaggi e programmi di studio all'estero", 0},
    {"06", "05", "Contributi per copertura assicurativa degli alunni", 0},
    {"06", "07", "Contributi per laboratori professionali", 2},
    {"06", "08", "Contributi per certificazioni linguistiche", 1},
    {"12", "01", "Interessi", 0},
    {"12", "03", "Altre entrate n.a.c.", 0},
    {"99", "01", "Reintegro anticipo al Direttore SGA", 0},
    {"A", "A01", "Funzionamento generale e decoro della Scuola", 0},
    {"A", "A02", "Funzionamento amministrativo", 0},
    {"A", "A03", "Didattica", 0},
    {"A", "A04", "Percorsi per le competenze trasversali e per l'orientamento", 0},
    {"A", "A05", "Visite, viaggi e programmi di studio all'estero", 0},
    {"A", "A06", "Attività di orientamento", 0},
    {"P", "P01", "Progetti in ambito Scientifico, tecnico e professionale", 0},
    {"P", "P02", "Progetti in ambito Umanistico e sociale", 0},
    {"P", "P03", "Progetti per Certificazioni e corsi professionali", 0},
    {"P", "P04", "Progetti per Formazione / aggiornamento del personale", 0},
    {"P", "P05", "Progetti per Gare e concorsi", 0},
    {"P", "P06", "Progetto biblioteca scolastica", 1},
    {"P", "P07", "Laboratorio di enogastronomia", 2},
    {"R", "R98", "Fondo di riserva", 0},
    {"Z", "Z01", "Disponibilità finanziaria da programmare", 0},
    {"G", "G01", "Anticipo al Direttore SGA", 0},
};

struct SubDef { const char *agg; const char *item; const char *code; const char *desc; };
const SubDef SubItems[] = {
    {"06", "01", "001", "Contributo per l'ampliamento dell'offerta formativa"},
    {"06", "01", "002", "Contributo per l'innovazione tecnologica"},
    {"06", "04", "001", "Viaggi di istruzione"},
    {"06", "04", "002", "Uscite didattiche"},
    {"A", "A01", "001", "Pulizia e igiene dei locali"},
    {"A", "A01", "002", "Piccola manutenzione"},
    {"A", "A02", "001", "Cancelleria e stampati"},
    {"A", "A02", "002", "Spese bancarie e postali"},
    {"A", "A03", "001", "Materiale didattico"},
};

// Amounts in cents; due date as month/day of the school year's first (0) or second (1) year.
struct CompDef
{
    const char *code; const char *desc; int ist; int era; int tipo; int rette; int tcc;
    const char *agg; const char *item; const char *sub; int dueMonth; int dueDay; int dueYear;
};
const CompDef Components[] = {
    {"ASS", "Quota assicurativa alunni", 850, 0, 0, 1, 120, "06", "05", nullptr, 10, 15, 0},
    {"CVOL", "Contributo volontario per l'ampliamento dell'offerta formativa", 5000, 0, 0, 1, 110, "06", "01", "001", 11, 30, 0},
    {"DIA", "Diario e libretto delle giustificazioni", 600, 0, 0, 1, 132, "06", "02", nullptr, 10, 15, 0},
    {"VIA", "Quota viaggio di istruzione", 18000, 0, 0, 0, 121, "06", "04", "001", 2, 28, 1},
    {"USC", "Quota uscita didattica", 1500, 0, 0, 1, 122, "06", "04", "002", 4, 30, 1},
    {"LAB", "Contributo per i laboratori professionali", 4000, 0, 0, 1, 111, "06", "07", nullptr, 12, 15, 0},
    {"ING", "Corso di preparazione alla certificazione di inglese", 12000, 0, 0, 1, 125, "06", "08", nullptr, 1, 31, 1},
    {"TFRE", "Tassa di frequenza (erario)", 0, 1513, 0, 1, 101, nullptr, nullptr, nullptr, 10, 31, 0},
    {"TISC", "Tassa di iscrizione (erario)", 0, 604, 0, 1, 100, nullptr, nullptr, nullptr, 10, 31, 0},
    {"CORS", "Quota di iscrizione al corso serale per adulti", 3500, 0, 0, 0, 125, "06", "02", nullptr, 10, 31, 0},
    {"COM", "Contributo del Comune per il diritto allo studio", 250000, 0, 0, 0, 113, "05", "03", nullptr, 12, 31, 0},
    {"INT", "Interessi attivi sul conto", 0, 0, 0, 0, 132, "12", "01", nullptr, 12, 31, 1},
    {"PUL", "Materiale di pulizia", 20000, 0, 1, 0, 132, "A", "A01", "001", 0, 0, 0},
    {"MAN", "Piccola manutenzione", 15000, 0, 1, 0, 132, "A", "A01", "002", 0, 0, 0},
    {"CAN", "Cancelleria e stampati", 10000, 0, 1, 0, 132, "A", "A02", "001", 0, 0, 0},
    {"SPB", "Spese di tenuta conto e commissioni", 500, 0, 1, 0, 131, "A", "A02", "002", 0, 0, 0},
    {"DID", "Materiale didattico", 25000, 0, 1, 0, 132, "A", "A03", "001", 0, 0, 0},
    {"AGV", "Saldo agenzia viaggi di istruzione", 300000, 0, 1, 0, 121, "A", "A05", nullptr, 0, 0, 0},
    {"BUS", "Noleggio pullman per uscite didattiche", 60000, 0, 1, 0, 122, "A", "A05", nullptr, 0, 0, 0},
    {"ESP", "Esperti esterni per progetti scientifici", 80000, 0, 1, 0, 132, "P", "P01", nullptr, 0, 0, 0},
    {"TEA", "Laboratorio teatrale", 50000, 0, 1, 0, 132, "P", "P02", nullptr, 0, 0, 0},
    {"BIB", "Acquisto libri per la biblioteca", 30000, 0, 1, 0, 132, "P", "P06", nullptr, 0, 0, 0},
    {"ENO", "Derrate per il laboratorio di enogastronomia", 40000, 0, 1, 0, 132, "P", "P07", nullptr, 0, 0, 0},
    {"RIM", "Rimborso di quote versate e non dovute", 1500, 0, 1, 0, 130, "A", "A03", nullptr, 0, 0, 0},
    {"MIS", "Rimborso spese di missione al personale", 5000, 0, 1, 0, 130, "A", "A02", nullptr, 0, 0, 0},
};

struct CauDef { const char *code; const char *desc; int tipo; std::array<const char *, 3> comps; };
const CauDef Causali[] = {
    {"ISC", "Iscrizione: assicurazione, contributo volontario e diario", 0, {"ASS", "CVOL", "DIA"}},
    {"ASS", "Assicurazione alunni", 0, {"ASS"}},
    {"VIA", "Viaggio di istruzione", 0, {"VIA"}},
    {"USC", "Uscita didattica", 0, {"USC"}},
    {"LAB", "Contributo laboratori professionali", 0, {"LAB"}},
    {"ING", "Corso di certificazione di lingua inglese", 0, {"ING"}},
    {"TAS", "Tasse scolastiche erariali", 0, {"TISC", "TFRE"}},
    {"COR", "Iscrizione corso serale per adulti", 0, {"CORS"}},
    {"COM", "Contributo del Comune", 0, {"COM"}},
    {"INT", "Interessi attivi", 0, {"INT"}},
    {"CAN", "Acquisto di cancelleria", 1, {"CAN"}},
    {"FUN", "Spese di funzionamento generale", 1, {"PUL", "MAN", "CAN"}},
    {"SPB", "Spese bancarie e postali", 1, {"SPB"}},
    {"DID", "Acquisto di materiale didattico", 1, {"DID"}},
    {"VIAG", "Viaggi e uscite didattiche", 1, {"AGV", "BUS"}},
    {"PRO", "Progetti di ampliamento dell'offerta formativa", 1, {"ESP", "TEA"}},
    {"BIB", "Biblioteca scolastica", 1, {"BIB"}},
    {"ENO", "Laboratorio di enogastronomia", 1, {"ENO"}},
    {"RIM", "Rimborsi alle famiglie", 1, {"RIM"}},
    {"MIS", "Rimborsi spese al personale", 1, {"MIS"}},
};

struct BenDef { const char *name; const char *vat; int kind; /* 1 company, 2 person, 3 public body */ };
const BenDef Beneficiaries[] = {
    {"Banca Felsinea - servizi di tesoreria", "02699010372", 1},
    {"Cartoleria Il Quaderno s.n.c.", "03194560371", 1},
    {"Ferramenta Dal Monte s.r.l.", "02871230378", 1},
    {"Viaggi Orizzonte s.r.l.", "03655870376", 1},
    {"Autolinee Colli Bolognesi s.r.l.", "02233450370", 1},
    {"Pulitecnica Emiliana s.r.l.", "03011290375", 1},
    {"Libreria La Pagina Bianca s.a.s.", "02456710377", 1},
    {"Compagnia teatrale Le Briciole (associazione)", "91234560378", 1},
    {"Informatica Reno s.r.l.", "03398120374", 1},
    {"Laboratori Scientifici Felsinei s.r.l.", "02788430379", 1},
    {"Alimentari Borgo Antico s.n.c.", "03122870372", 1},
    {"Tipografia Santo Stefano s.r.l.", "02566980371", 1},
    {"Idraulica Savena s.n.c.", "03477610373", 1},
    {"Elettroforniture Appennino s.r.l.", "02911340376", 1},
    {"Cooperativa sociale Il Ponte", "03600450378", 1},
    {"Edizioni Scolastiche Ventaglio s.p.a.", "04122870375", 1},
    {"Agenzia Viaggi Le Rondini s.r.l.", "03711280374", 1},
    {"Arredi Scolastici Emiliani s.r.l.", "02355670371", 1},
    {"Servizi Assicurativi Scuola s.r.l.", "03877120370", 1},
    {"Pasticceria La Torre dei Gelsi", "03044590379", 1},
    {"Comune di Bologna - Settore Istruzione", "01232710374", 3},
    {"Città metropolitana di Bologna", "03428581205", 3},
};
const int PersonBeneficiaries = 8;

// ---- the generator -------------------------------------------------------------------------------

struct Place { int comCapId = 0; int srpcId = 0; QString cadastral; };

struct Person
{
    int anaId = 0;
    int anaCagId = 0;
    QString surname, name;
    bool female = false;
    QDate birth;
};

struct Pupil
{
    Person p;
    int dwg = 0;        // institute of the pupil's classes
    int grade = 0;      // grade in 2025/26 (0 = enrolled from 2026/27)
    int section = 0;
    int sit25 = 0, sit26 = 0;
    Person father, mother;
};

struct Comp
{
    int id = 0;
    Money ist;
    int dwg = 0;
    QDate due;
};

struct Cau
{
    int id = 0;
    int tipo = 0;
    int dwg = 0;
    QVector<int> comps;   // component ids in link order
    QVector<Money> amounts;
    Money total() const
    {
        Money m;
        for (Money a : amounts)
            m += a;
        return m;
    }
};

// One movement of 2026, sorted by date before it is written so that progressive numbers follow
// the calendar as in a real register.
struct Event
{
    QDate date;
    int seq = 0;
    int account = 0;      // 0 postal, 1 bank, 2 cash
    bool viaProcedure = true;
    QString cauKey;       // "2025/ISC": school year and causale code
    int sitId = 0;        // pupil's situation (procedure)
    int anaId = 0;        // learner (procedure) or payer/payee person
    int benId = 0;
    int anaPerId = 0;
    int cbm = 0;
    Money amount;         // store-inserted movements
    int tipo = 0;
    QDate statement;
    bool slip = false;
};

class Builder
{
public:
    Builder(QSqlDatabase db, const Progress &progress) : m_db(std::move(db)), m_progress(progress) {}
    Status run();

private:
    Status say(const QString &text)
    {
        if (m_progress)
            m_progress(text);
        return {};
    }
    Result<int> newId(const QString &table);
    Status moveSequencesPast();
    Status movePast(const QString &table, int maxId);

    Status loadPlaces();
    Status institutes();
    Status budget();
    Status feesOfYear(int year);
    Status banksAndAccounts();
    Status people();
    Result<Person> person(const QString &surname, const QString &name, bool female, const QDate &birth,
                          int cagId, int srpcId = 0, const QString &cadastral = {});
    Result<int> dwelling(const QVector<int> &anaIds, bool alsoDomicile);
    Status beneficiaries();
    Status directDebit();
    Status movements();
    Status parameters();
    Result<int> branch(int bankId, const QString &cab, const QString &desc, int srpcId);
    Result<QString> iban(const QString &abi, const QString &cab, const QString &account, QString *cin,
                         QString *checkDigits);

    Place homePlace() { return m_homes[m_rng.below(int(m_homes.size()))]; }
    Place birthPlace() { return m_births[m_rng.below(int(m_births.size()))]; }
    QString street() { return QString::fromUtf8(m_rng.pick(Streets)) + S(", ") + QString::number(m_rng.between(1, 180)); }
    QDate date(int y, int m, int d) const { return QDate(y, m, d); }
    QDate yearStart(int y) const { return QDate(y, 9, 1); }
    QDate yearEnd(int y) const { return QDate(y + 1, 8, 31); }

    QSqlDatabase m_db;
    Progress m_progress;
    Rng m_rng{0xC0FFEE2025ull};
    QMap<QString, int> m_next;      // table -> next id to give
    QMap<QString, int> m_first;     // table -> first id given (to move the sequence)

    QVector<Place> m_homes, m_births;
    Place m_bologna, m_casalecchio;
    int m_dwgSedMain1 = 0, m_dwgSedMain2 = 0;
    QHash<QString, int> m_aggIds;    // code
    QHash<QString, int> m_itemIds;   // agg/code
    QHash<QString, int> m_itemDwg;
    QHash<QString, int> m_subIds;    // agg/item/code
    QHash<QString, Comp> m_comps;    // year/code
    QHash<QString, Cau> m_causali;   // year/code
    QHash<QString, int> m_branches; // bank/cab
    int m_accounts[3] = {0, 0, 0};
    int m_postOffices[4] = {0, 0, 0, 0};
    QVector<Pupil> m_pupils;
    QVector<Person> m_learners;
    QVector<std::pair<int, int>> m_staff;   // anaPerId, anaId
    QVector<int> m_companies, m_bodies, m_experts;
    QString m_firstCausaleIn;

    SqlQuery m_ana{m_db}, m_anaCag{m_db}, m_abt{m_db}, m_abtLoc{m_db}, m_anaAbt{m_db}, m_branch{m_db};
};

Result<int> Builder::newId(const QString &table)
{
    auto it = m_next.find(table);
    if (it == m_next.end()) {
        auto cur = SqlQuery::scalar(m_db, S("SELECT GEN_ID(G_%1, 0) FROM RDB$DATABASE").arg(table));
        if (!cur)
            return cur.status();
        const int first = cur.value().toInt() + 1;
        m_first.insert(table, first);
        it = m_next.insert(table, first);
    }
    return it.value()++;
}

Status Builder::movePast(const QString &table, int maxId)
{
    auto cur = SqlQuery::scalar(m_db, S("SELECT GEN_ID(G_%1, 0) FROM RDB$DATABASE").arg(table));
    if (!cur)
        return cur.status();
    const qint64 delta = qint64(maxId) - cur.value().toLongLong();
    if (delta > 0)
        return SqlQuery::scalar(m_db, S("SELECT GEN_ID(G_%1, %2) FROM RDB$DATABASE").arg(table).arg(delta)).status();
    return {};
}

Status Builder::moveSequencesPast()
{
    for (auto it = m_next.cbegin(); it != m_next.cend(); ++it)
        TRY(movePast(it.key(), it.value() - 1));
    return {};
}

Status Builder::loadPlaces()
{
    SqlQuery q(m_db);
    TRY(q.prepare(S("SELECT FIRST 1 C.ICOMCAPID, C.ISRPCID, C.SSRPCCODCATA FROM VCOMCAP C "
                    "WHERE C.SSRPCCOMRISTAT = :istat AND C.SCAPVALUE = :cap ORDER BY C.ICOMCAPID")));
    auto one = [&](const char *istat, const char *cap, Place &out) -> Status {
        q.bind(S("istat"), QString::fromLatin1(istat)).bind(S("cap"), QString::fromLatin1(cap));
        TRY(q.exec());
        if (!q.next())
            return Status::failure(S("Dati dimostrativi: manca il comune %1 (CAP %2).")
                                       .arg(QString::fromLatin1(istat), QString::fromLatin1(cap)));
        out = {q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()};
        return {};
    };
    TRY(one("037006", "40139", m_bologna));
    TRY(one("037011", "40033", m_casalecchio));

    SqlQuery homes(m_db);
    TRY(homes.prepare(S("SELECT C.ICOMCAPID, C.ISRPCID, C.SSRPCCODCATA FROM VCOMCAP C "
                        "WHERE C.SSRPCCOMRISTAT = :istat AND C.DDELETE IS NULL "
                        "ORDER BY C.SCAPVALUE, C.ICOMCAPID")));
    for (const char *istat : HomeTowns) {
        homes.bind(S("istat"), QString::fromLatin1(istat));
        TRY(homes.exec());
        while (homes.next())
            m_homes.push_back({homes.value(0).toInt(), homes.value(1).toInt(), homes.value(2).toString()});
    }
    SqlQuery births(m_db);
    TRY(births.prepare(S("SELECT FIRST 1 S.ISRPCID, S.SSRPCCODCATA FROM TSRPC S "
                         "WHERE S.SSRPCCOMRISTAT = :istat ORDER BY S.ISRPCID")));
    for (const char *istat : BirthTowns) {
        births.bind(S("istat"), QString::fromLatin1(istat));
        TRY(births.exec());
        if (births.next())
            m_births.push_back({0, births.value(0).toInt(), births.value(1).toString()});
    }
    if (m_homes.isEmpty() || m_births.isEmpty())
        return Status::failure(S("Dati dimostrativi: comuni e CAP non caricati."));
    return {};
}

// One institute with its main site, a second one, and the group that joins them (the working
// institute); school years 2023/24-2026/27 and financial years 2023-2027.
Status Builder::institutes()
{
    SqlQuery q(m_db);
    TRY(q.prepare(S("INSERT INTO TDow_DataOwner (iDowId, sDowSDesc, sDowLDesc, sDowCodFiscale, dStart) "
                    "VALUES (:id, :s, :l, :cf, :d)")));
    struct { int id; const char *s; const char *l; const char *cf; } dows[] = {
        {1, "Liceo Colle dei Gelsi", "Liceo Scientifico \"Colle dei Gelsi\"", "91999120371"},
        {2, "Istituto Professionale Borgo Ponente", "Istituto Professionale per i Servizi per l'Enogastronomia \"Borgo Ponente\"", "91999340379"},
    };
    for (const auto &d : dows) {
        q.bind(S("id"), d.id).bind(S("s"), QString::fromUtf8(d.s)).bind(S("l"), QString::fromUtf8(d.l))
            .bind(S("cf"), QString::fromLatin1(d.cf)).bind(S("d"), date(2010, 9, 1));
        TRY(q.exec());
    }
    TRY(q.prepare(S("INSERT INTO TDwg_DataOwnerGrp (iDwgId, iDowId, sDwgSDesc, sDwgLDesc, dStart) "
                    "VALUES (:id, :dow, :s, :l, :d)")));
    struct { int id; int dow; const char *s; const char *l; } dwgs[] = {
        {1, 1, "Liceo Colle dei Gelsi", "Liceo Scientifico \"Colle dei Gelsi\""},
        {2, 2, "IP Borgo Ponente", "Istituto Professionale \"Borgo Ponente\""},
        {3, 0, "IIS Colle dei Gelsi", "Istituto di Istruzione Superiore \"Colle dei Gelsi\""},
    };
    for (const auto &g : dwgs) {
        q.bind(S("id"), g.id).bind(S("s"), QString::fromUtf8(g.s)).bind(S("l"), QString::fromUtf8(g.l))
            .bind(S("d"), date(2010, 9, 1));
        if (g.dow)
            q.bind(S("dow"), g.dow);
        else
            q.bindNull(S("dow"));
        TRY(q.exec());
    }
    TRY(movePast(S("TDOW_DATAOWNER"), 2));
    TRY(movePast(S("TDWG_DATAOWNERGRP"), 3));
    TRY(q.prepare(S("INSERT INTO TOtgDwg (iOtgDwgId, iDwgId, iDowId, dStart) VALUES (:id, 3, :dow, :d)")));
    for (int dow : {1, 2}) {
        auto id = newId(S("TOTGDWG"));
        if (!id)
            return id.status();
        q.bind(S("id"), *id).bind(S("dow"), dow).bind(S("d"), date(2018, 9, 1));
        TRY(q.exec());
    }

    SqlQuery sed(m_db), dwgSed(m_db), inf(m_db);
    TRY(sed.prepare(S("INSERT INTO TSed_Sedi (iSedId, sSedNomSDesc, sSedNomLDesc, sSedNomCodiceFisc, "
                      "sSedIndIndirizzo, iComCapId, sSedTelTelefono, sSedFaxNo, sSedEmlEmail, sSedMecCod, dStart) "
                      "VALUES (:id, :s, :l, :cf, :ind, :cc, :tel, :fax, :mail, :mec, :d)")));
    TRY(dwgSed.prepare(S("INSERT INTO TDwgSed (iDwgSedId, iDwgId, iSedId, lDwgSedMain, dStart) "
                         "VALUES (:id, :dwg, :sed, :main, :d)")));
    TRY(inf.prepare(S("INSERT INTO TSedInf_SedeInfo (iSedInfId, iSedId, sSedInfCodVelto, dStart) "
                      "VALUES (:id, :sed, :cod, :d)")));
    struct { const char *s; const char *l; const char *cf; const char *ind; const Place *pl; const char *tel;
             const char *mail; const char *mec; } sites[] = {
        {"Sede centrale Colle dei Gelsi", "Liceo Scientifico \"Colle dei Gelsi\" - sede centrale", "91999120371",
         "Via dei Gelsi, 14", &m_bologna, "051 6230140", "segreteria@collegelsi.scuola.example", "BOPS99G01X"},
        {"Sede Borgo Ponente", "Istituto Professionale \"Borgo Ponente\"", "91999340379",
         "Via del Borgo Ponente, 3", &m_casalecchio, "051 5718820", "segreteria@borgoponente.scuola.example", "BORH99P01Y"},
    };
    int sedIds[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        auto id = newId(S("TSED_SEDI"));
        if (!id)
            return id.status();
        sedIds[i] = *id;
        const auto &s = sites[i];
        sed.bind(S("id"), *id).bind(S("s"), QString::fromUtf8(s.s)).bind(S("l"), QString::fromUtf8(s.l))
            .bind(S("cf"), QString::fromLatin1(s.cf)).bind(S("ind"), QString::fromUtf8(s.ind))
            .bind(S("cc"), s.pl->comCapId).bind(S("tel"), QString::fromLatin1(s.tel))
            .bind(S("fax"), QString::fromLatin1(s.tel).left(8) + S("99"))
            .bind(S("mail"), QString::fromLatin1(s.mail)).bind(S("mec"), QString::fromLatin1(s.mec))
            .bind(S("d"), date(2010, 9, 1));
        TRY(sed.exec());
        auto infId = newId(S("TSEDINF_SEDEINFO"));
        if (!infId)
            return infId.status();
        inf.bind(S("id"), *infId).bind(S("sed"), *id).bind(S("cod"), QString::fromLatin1(s.mec))
            .bind(S("d"), date(2010, 9, 1));
        TRY(inf.exec());
    }
    // Each institute has its own site; the group has both, the liceo's as main site.
    struct { int dwg; int sed; int main; } links[] = {{1, 0, 1}, {2, 1, 1}, {3, 0, 1}, {3, 1, 0}};
    for (const auto &l : links) {
        auto id = newId(S("TDWGSED"));
        if (!id)
            return id.status();
        if (l.dwg == 1)
            m_dwgSedMain1 = *id;
        if (l.dwg == 2)
            m_dwgSedMain2 = *id;
        dwgSed.bind(S("id"), *id).bind(S("dwg"), l.dwg).bind(S("sed"), sedIds[l.sed]).bind(S("main"), l.main)
            .bind(S("d"), date(2010, 9, 1));
        TRY(dwgSed.exec());
    }

    // School year ids and financial year ids line up: year - 2000.
    TRY(q.prepare(S("INSERT INTO TAns_AnniScolast (iAnsId, iAnsValore, dAnsVeltoInizio, dAnsVeltoFine) "
                    "VALUES (:id, :v, :a, :b)")));
    for (int y = 2023; y <= 2026; ++y) {
        q.bind(S("id"), y - 2000).bind(S("v"), y).bind(S("a"), yearStart(y)).bind(S("b"), yearEnd(y));
        TRY(q.exec());
    }
    TRY(movePast(S("TANS_ANNISCOLAST"), 26));
    TRY(q.prepare(S("INSERT INTO TAnf_AnniFinanz (iAnfId, iAnfValore, dAnfVeltoInizio, dAnfVeltoFine) "
                    "VALUES (:id, :v, :a, :b)")));
    SqlQuery dwgAnf(m_db);
    TRY(dwgAnf.prepare(S("INSERT INTO TDwgAnf (iDwgAnfId, iDwgId, iAnfId, dDwgAnfInizio, dDwgAnfFine) "
                         "VALUES (:id, :dwg, :anf, :a, :b)")));
    for (int y = 2023; y <= 2027; ++y) {
        q.bind(S("id"), y - 2000).bind(S("v"), y).bind(S("a"), date(y, 1, 1)).bind(S("b"), date(y, 12, 31));
        TRY(q.exec());
        for (int dwg = 1; dwg <= 3; ++dwg) {
            auto id = newId(S("TDWGANF"));
            if (!id)
                return id.status();
            dwgAnf.bind(S("id"), *id).bind(S("dwg"), dwg).bind(S("anf"), y - 2000)
                .bind(S("a"), date(y, 1, 1)).bind(S("b"), date(y, 12, 31));
            TRY(dwgAnf.exec());
        }
    }
    return movePast(S("TANF_ANNIFINANZ"), 27);
}

Status Builder::budget()
{
    SqlQuery agg(m_db), item(m_db), sub(m_db);
    TRY(agg.prepare(S("INSERT INTO TAGG_AGGREGATI (IAGGID, IDWGID, SAGGDESCS, SAGGDESCL, IFLSID, ITITOID, DSTART) "
                      "VALUES (:id, NULL, :s, :l, :fls, :tito, :d)")));
    TRY(item.prepare(S("INSERT INTO TVPRO_VOCIPROGETTI (IVPROID, ICORID, IAGGID, IDWGID, ITCKID, SVPROCOD, "
                       "SVPRODESCS, SVPRODESCL, DSTART) VALUES (:id, 3, :agg, :dwg, -1, :cod, :s, :l, :d)")));
    TRY(sub.prepare(S("INSERT INTO TSVO_SOTTOVOCI (ISVOID, ICORID, IVPROID, IDWGID, SSVODESCS, SSVODESCL, DSTART) "
                      "VALUES (:id, 3, :item, :dwg, :s, :l, :d)")));
    const QDate from = date(2019, 1, 1);
    for (const AggDef &a : Aggregates) {
        auto id = newId(S("TAGG_AGGREGATI"));
        if (!id)
            return id.status();
        agg.bind(S("id"), *id).bind(S("s"), QString::fromLatin1(a.code)).bind(S("l"), QString::fromUtf8(a.desc))
            .bind(S("fls"), a.fls).bind(S("tito"), a.tito).bind(S("d"), from);
        TRY(agg.exec());
        m_aggIds.insert(QString::fromLatin1(a.code), *id);
    }
    for (const ItemDef &i : Items) {
        auto id = newId(S("TVPRO_VOCIPROGETTI"));
        if (!id)
            return id.status();
        const QString desc = QString::fromUtf8(i.desc);
        item.bind(S("id"), *id).bind(S("agg"), m_aggIds.value(QString::fromLatin1(i.agg)))
            .bind(S("cod"), QString::fromLatin1(i.code)).bind(S("s"), desc.left(60)).bind(S("l"), desc)
            .bind(S("d"), from);
        if (i.dwg)
            item.bind(S("dwg"), i.dwg);
        else
            item.bindNull(S("dwg"));
        TRY(item.exec());
        const QString key = QString::fromLatin1(i.agg) + u'/' + QString::fromLatin1(i.code);
        m_itemIds.insert(key, *id);
        m_itemDwg.insert(key, i.dwg);
    }
    for (const SubDef &s : SubItems) {
        auto id = newId(S("TSVO_SOTTOVOCI"));
        if (!id)
            return id.status();
        const QString key = QString::fromLatin1(s.agg) + u'/' + QString::fromLatin1(s.item);
        sub.bind(S("id"), *id).bind(S("item"), m_itemIds.value(key)).bind(S("s"), QString::fromLatin1(s.code))
            .bind(S("l"), QString::fromUtf8(s.desc)).bind(S("d"), from);
        if (m_itemDwg.value(key))
            sub.bind(S("dwg"), m_itemDwg.value(key));
        else
            sub.bindNull(S("dwg"));
        TRY(sub.exec());
        m_subIds.insert(key + u'/' + QString::fromLatin1(s.code), *id);
    }
    return {};
}

// Components and causali of the school year starting in `year`; the later year costs a little more.
Status Builder::feesOfYear(int year)
{
    SqlQuery cca(m_db), cau(m_db), link(m_db);
    TRY(cca.prepare(S("INSERT INTO TCca_CompCausali (iCcaId, sCcaSDesc, sCcaLDesc, fCcaImportoIst, fCcaImportoEra, "
                      "lCcaTipo, lCcaRette, iTccId, iAggId, iVproId, iSvoId, iDwgId, dCcaDataScadenza, dStart, dEnd) "
                      "VALUES (:id, :s, :l, :ist, :era, :tipo, :rette, :tcc, :agg, :vpro, :svo, :dwg, :due, :a, :b)")));
    TRY(cau.prepare(S("INSERT INTO TCau_Causali (iCauId, sCauSDesc, sCauLDesc, lCauTipo, lCauRette, iDwgId, dStart, dEnd) "
                      "VALUES (:id, :s, :l, :tipo, :rette, :dwg, :a, :b)")));
    TRY(link.prepare(S("INSERT INTO TCauCca (iCauCcaId, iCauId, iCcaId, dStart, dEnd) VALUES (:id, :cau, :cca, :a, :b)")));
    const QString y = QString::number(year);
    QHash<QString, int> rette;
    for (const CompDef &c : Components) {
        auto id = newId(S("TCCA_COMPCAUSALI"));
        if (!id)
            return id.status();
        // Later years: about 4% more, rounded to 10 cents.
        const qint64 ist = year == 2025 ? c.ist : (c.ist * 104 / 100 + 5) / 10 * 10;
        const QString code = QString::fromLatin1(c.code);
        Comp comp;
        comp.id = *id;
        comp.ist = Money::fromCents(ist);
        comp.due = c.dueMonth ? date(year + c.dueYear, c.dueMonth, c.dueDay) : QDate();
        cca.bind(S("id"), *id).bind(S("s"), code).bind(S("l"), QString::fromUtf8(c.desc))
            .bind(S("ist"), comp.ist).bind(S("era"), Money::fromCents(c.era)).bind(S("tipo"), c.tipo)
            .bind(S("rette"), c.rette).bind(S("tcc"), c.tcc).bind(S("due"), comp.due)
            .bind(S("a"), yearStart(year)).bind(S("b"), yearEnd(year));
        if (c.agg) {
            const QString key = QString::fromLatin1(c.agg) + u'/' + QString::fromLatin1(c.item);
            comp.dwg = m_itemDwg.value(key);
            cca.bind(S("agg"), m_aggIds.value(QString::fromLatin1(c.agg))).bind(S("vpro"), m_itemIds.value(key));
            if (c.sub)
                cca.bind(S("svo"), m_subIds.value(key + u'/' + QString::fromLatin1(c.sub)));
            else
                cca.bindNull(S("svo"));
        } else {
            cca.bindNull(S("agg")).bindNull(S("vpro")).bindNull(S("svo"));
        }
        if (comp.dwg)
            cca.bind(S("dwg"), comp.dwg);
        else
            cca.bindNull(S("dwg"));
        TRY(cca.exec());
        m_comps.insert(y + u'/' + code, comp);
        rette.insert(code, c.rette);
    }
    for (const CauDef &c : Causali) {
        auto id = newId(S("TCAU_CAUSALI"));
        if (!id)
            return id.status();
        Cau out;
        out.id = *id;
        out.tipo = c.tipo;
        int minRette = 1;
        for (const char *cc : c.comps) {
            if (!cc)
                continue;
            const Comp &comp = m_comps[y + u'/' + QString::fromLatin1(cc)];
            out.comps << comp.id;
            out.amounts << comp.ist;
            out.dwg = comp.dwg;
            minRette = std::min(minRette, rette.value(QString::fromLatin1(cc)));
        }
        cau.bind(S("id"), *id).bind(S("s"), QString::fromLatin1(c.code)).bind(S("l"), QString::fromUtf8(c.desc))
            .bind(S("tipo"), c.tipo).bind(S("rette"), minRette).bind(S("a"), yearStart(year)).bind(S("b"), yearEnd(year));
        if (out.dwg)
            cau.bind(S("dwg"), out.dwg);
        else
            cau.bindNull(S("dwg"));
        TRY(cau.exec());
        for (int ccaId : std::as_const(out.comps)) {
            auto lid = newId(S("TCAUCCA"));
            if (!lid)
                return lid.status();
            link.bind(S("id"), *lid).bind(S("cau"), *id).bind(S("cca"), ccaId)
                .bind(S("a"), yearStart(year)).bind(S("b"), yearEnd(year));
            TRY(link.exec());
        }
        m_causali.insert(y + u'/' + QString::fromLatin1(c.code), out);
    }
    return {};
}

Result<int> Builder::branch(int bankId, const QString &cab, const QString &desc, int srpcId)
{
    const QString key = QString::number(bankId) + u'/' + cab;
    if (auto it = m_branches.constFind(key); it != m_branches.constEnd())
        return it.value();
    auto id = newId(S("TSPR_SPORTELLICAB"));
    if (!id)
        return id.status();
    SqlQuery &q = m_branch;
    if (m_branches.isEmpty())
        TRY(q.prepare(S("INSERT INTO TSPR_SPORTELLICAB (ISPRID, IBANID, SSPRCAB, SSPRDESCS, SSPRDESCL, SSPRINDIRIZZO, "
                        "ISRPCID, DSTART) VALUES (:id, :ban, :cab, :s, :l, :ind, :srpc, :d)")));
    q.bind(S("id"), *id).bind(S("ban"), bankId).bind(S("cab"), cab).bind(S("s"), desc.left(40)).bind(S("l"), desc)
        .bind(S("ind"), street()).bind(S("srpc"), srpcId).bind(S("d"), date(2000, 1, 1));
    TRY(q.exec());
    m_branches.insert(key, *id);
    return *id;
}

Result<QString> Builder::iban(const QString &abi, const QString &cab, const QString &account, QString *cin,
                              QString *checkDigits)
{
    auto r = abiban::BuildIBAN(abi, cab, account);
    if (!r)
        return r.status();
    if (cin)
        *cin = abiban::IBANCalculator().DomesticBBAN()->CheckLetter();
    if (checkDigits)
        *checkDigits = abiban::IBANCalculator().CheckDigits();
    return r;
}

// The postal, the bank and the cash account of the group, opened for 2025 and 2026 through the
// year initialisation, with opening balances split over the four component types.
Status Builder::banksAndAccounts()
{
    // Post offices of the province (branches of the postal bank).
    const char *offices[] = {"02400", "02401", "02408", "02419"};
    for (int i = 0; i < 4; ++i) {
        const Place &pl = i == 3 ? m_casalecchio : m_bologna;
        auto b = branch(2, QString::fromLatin1(offices[i]),
                        S("Ufficio postale %1 n. %2").arg(i == 3 ? S("Casalecchio di Reno") : S("Bologna")).arg(i + 1),
                        pl.srpcId);
        if (!b)
            return b.status();
        m_postOffices[i] = *b;
    }
    auto bankBranch = branch(15, S("02498"), S("Filiale di Bologna - Tesoreria enti"), m_bologna.srpcId);
    if (!bankBranch)
        return bankBranch.status();

    SqlQuery acc(m_db);
    TRY(acc.prepare(S("INSERT INTO TSprIst (iSprIstId, iDwgId, iSprId, sSprIstNumCc, sSprIstIntest, sSprIstCin, "
                      "sSprIstCinInt, sSprIstStato, iSprIstPgm, dStart) "
                      "VALUES (:id, 3, :spr, :num, :int, :cin, :cinint, :stato, 2, :d)")));
    struct { int spr; const char *abi; const char *cab; const char *num; } defs[] = {
        {m_postOffices[0], "07601", "02400", "001023456781"},
        {*bankBranch, "01030", "02498", "000000318745"},
        {3, nullptr, nullptr, "000000000001"},
    };
    const QString holder = S("Istituto di Istruzione Superiore \"Colle dei Gelsi\"");
    for (int i = 0; i < 3; ++i) {
        auto id = newId(S("TSPRIST"));
        if (!id)
            return id.status();
        m_accounts[i] = *id;
        acc.bind(S("id"), *id).bind(S("spr"), defs[i].spr).bind(S("num"), QString::fromLatin1(defs[i].num))
            .bind(S("int"), holder).bind(S("d"), date(2015, 1, 1));
        if (defs[i].abi) {
            QString cin, check;
            auto r = iban(QString::fromLatin1(defs[i].abi), QString::fromLatin1(defs[i].cab),
                          QString::fromLatin1(defs[i].num), &cin, &check);
            if (!r)
                return r.status();
            acc.bind(S("cin"), cin).bind(S("cinint"), check).bind(S("stato"), S("IT"));
        } else {
            acc.bindNull(S("cin"), QMetaType(QMetaType::QString)).bindNull(S("cinint"), QMetaType(QMetaType::QString))
                .bindNull(S("stato"), QMetaType(QMetaType::QString));
        }
        TRY(acc.exec());
    }

    SqlQuery init(m_db);
    TRY(init.prepare(S("EXECUTE PROCEDURE PEBC_INITANNOFIN(:anno, :conto, :saldo, :tasse, :contributi, :quote, "
                       ":diversi, 0, :inizio, :fine)")));
    // Opening balances of 2025 (cents): taxes, contributions, quotas, other.
    const qint64 opening[3][4] = {{0, 842035, 396000, 41250}, {0, 2874080, 1215500, 431000}, {0, 0, 12000, 23000}};
    SqlQuery att(m_db);
    TRY(att.prepare(S("SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE iSprIstId = :c AND iCaiEsercizioFin = :y")));
    for (int i = 0; i < 3; ++i) {
        for (int y = 2025; y <= 2026; ++y) {
            Money parts[4];
            Money sum;
            for (int t = 0; t < 4; ++t) {
                parts[t] = Money::fromCents(opening[i][t]);
                sum += parts[t];
            }
            if (y == 2026) {
                // The year starts with what the previous one left.
                att.bind(S("c"), m_accounts[i]).bind(S("y"), 2025);
                TRY(att.exec());
                if (att.next())
                    sum = att.money(0);
            }
            init.bind(S("anno"), y).bind(S("conto"), m_accounts[i]).bind(S("saldo"), sum)
                .bind(S("tasse"), parts[0]).bind(S("contributi"), parts[1]).bind(S("quote"), parts[2])
                .bind(S("diversi"), parts[3]).bind(S("inizio"), date(y, 1, 1)).bind(S("fine"), date(y, 12, 31));
            TRY(init.exec());
        }
    }
    return {};
}

Result<Person> Builder::person(const QString &surname, const QString &name, bool female, const QDate &birth,
                               int cagId, int srpcId, const QString &cadastral)
{
    Place born;
    if (srpcId) {
        born.srpcId = srpcId;
        born.cadastral = cadastral;
    } else {
        born = birthPlace();
    }
    Person p;
    auto id = newId(S("TANA_ANAGRAFICHE"));
    if (!id)
        return id.status();
    p.anaId = *id;
    p.surname = surname;
    p.name = name;
    p.female = female;
    p.birth = birth;
    const QString idx = names::personKey(surname, name);
    m_ana.bind(S("id"), p.anaId).bind(S("cog"), surname).bind(S("nom"), name).bind(S("idx"), idx)
        .bind(S("cf"), fiscalCode(surname, name, birth, female, born.cadastral)).bind(S("nasc"), birth)
        .bind(S("sex"), female ? 2 : 1).bind(S("srpc"), born.srpcId)
        .bind(S("ctrl"), names::controlCode(surname, name, birth))
        .bind(S("mod"), date(2025, 6, 30))
        .bind(S("d"), date(2015, 1, 1));
    TRY(m_ana.exec());
    auto cag = newId(S("TANACAG"));
    if (!cag)
        return cag.status();
    p.anaCagId = *cag;
    m_anaCag.bind(S("id"), p.anaCagId).bind(S("ana"), p.anaId).bind(S("cag"), cagId)
        .bind(S("code"), QString::number(p.anaId).rightJustified(10, u'0')).bind(S("d"), date(2015, 1, 1));
    TRY(m_anaCag.exec());
    return p;
}

// A family's home (residence, and domicile too unless the family lives elsewhere).
Result<int> Builder::dwelling(const QVector<int> &anaIds, bool alsoDomicile)
{
    SqlQuery &q = m_abt, &loc = m_abtLoc, &link = m_anaAbt;
    auto home = [&](bool residence, bool domicile) -> Result<int> {
        auto id = newId(S("TABT_ABITAZ"));
        if (!id)
            return id.status();
        const Place pl = homePlace();
        q.bind(S("id"), *id).bind(S("ind"), street()).bind(S("cc"), pl.comCapId).bind(S("d"), date(2015, 1, 1));
        TRY(q.exec());
        for (int kind : {1, 2}) {
            if ((kind == 1 && !domicile) || (kind == 2 && !residence))
                continue;
            auto lid = newId(S("TABTLOC"));
            if (!lid)
                return lid.status();
            loc.bind(S("id"), *lid).bind(S("abt"), *id).bind(S("loc"), kind);
            TRY(loc.exec());
        }
        for (int ana : anaIds) {
            auto lid = newId(S("TANAABT"));
            if (!lid)
                return lid.status();
            link.bind(S("id"), *lid).bind(S("ana"), ana).bind(S("abt"), *id).bind(S("d"), date(2015, 1, 1));
            TRY(link.exec());
        }
        return *id;
    };
    auto first = home(true, alsoDomicile);
    if (!first || alsoDomicile)
        return first;
    auto second = home(false, true);
    if (!second)
        return second.status();
    return first;
}

// Pupils of the two institutes with their parents, classes of 2025/26 and 2026/27, staff and
// adult learners.
Status Builder::people()
{
    TRY(m_ana.prepare(S("INSERT INTO TAna_Anagrafiche (iAnaId, sAnaCognome, sAnaNome, sAnaCognomeNomeIdx, "
                        "sAnaCodFiscale, dAnaNascita, iSexId, iSrpcId, iIoCtrlCode, dModified, dStart) "
                        "VALUES (:id, :cog, :nom, :idx, :cf, :nasc, :sex, :srpc, :ctrl, :mod, :d)")));
    TRY(m_anaCag.prepare(S("INSERT INTO TAnaCag (iAnaCagId, iAnaId, iCagId, sAnaCagCode, dStart) "
                           "VALUES (:id, :ana, :cag, :code, :d)")));
    TRY(m_abt.prepare(S("INSERT INTO TAbt_Abitaz (iAbtId, sAbtIndirizzo, iComCapId, dStart) VALUES (:id, :ind, :cc, :d)")));
    TRY(m_abtLoc.prepare(S("INSERT INTO TAbtLoc (iAbtLocId, iAbtId, iLocId) VALUES (:id, :abt, :loc)")));
    TRY(m_anaAbt.prepare(S("INSERT INTO TAnaAbt (iAnaAbtId, iAnaId, iAbtId, dStart) VALUES (:id, :ana, :abt, :d)")));
    SqlQuery cls(m_db), pst(m_db), sit(m_db), gpt(m_db), per(m_db), soc(m_db);
    TRY(cls.prepare(S("INSERT INTO TCls_Classi (iClsId, sClsSDesc, sClsDesc, iDwgId, iDwgSedId, dStart, dEnd) "
                      "VALUES (:id, :s, :l, :dwg, :sed, :a, :b)")));
    TRY(pst.prepare(S("INSERT INTO TClsPst (iClsPstId, iClsId, dStart, dEnd) VALUES (:id, :cls, :a, :b)")));
    TRY(sit.prepare(S("INSERT INTO TSit_Situazioni (iSitId, iAnaId, iClsPstId, iDwgId, iSitOrdine, iPosAttId, dStart, dEnd) "
                      "VALUES (:id, :ana, :pst, :dwg, 1, 1, :a, :b)")));
    TRY(gpt.prepare(S("INSERT INTO TAnaGpt (iAnaGptId, iAnaId, iAnaId_P, iGptId, dStart) VALUES (:id, :ana, :par, :gpt, :d)")));

    // Classes: sections A and B for the five grades and C for the first two, in each institute.
    QMap<QString, int> classIds;   // year/dwg/grade/section
    auto classFor = [&](int year, int dwg, int grade, int section) -> Result<int> {
        const QString key = S("%1/%2/%3/%4").arg(year).arg(dwg).arg(grade).arg(section);
        if (auto it = classIds.constFind(key); it != classIds.constEnd())
            return it.value();
        auto id = newId(S("TCLS_CLASSI"));
        if (!id)
            return id.status();
        const QString shortName = QString::number(grade) + QChar(u'A' + section);
        const QString longName = shortName + (dwg == 1 ? S(" - Liceo Scientifico") : S(" - Servizi per l'enogastronomia"));
        cls.bind(S("id"), *id).bind(S("s"), shortName).bind(S("l"), longName).bind(S("dwg"), dwg)
            .bind(S("sed"), dwg == 1 ? m_dwgSedMain1 : m_dwgSedMain2).bind(S("a"), yearStart(year))
            .bind(S("b"), yearEnd(year));
        TRY(cls.exec());
        classIds.insert(key, *id);
        return *id;
    };
    auto situation = [&](const Pupil &pu, int year, int grade) -> Result<int> {
        auto id = newId(S("TSIT_SITUAZIONI"));
        if (!id)
            return id.status();
        sit.bind(S("id"), *id).bind(S("ana"), pu.p.anaId).bind(S("dwg"), pu.dwg)
            .bind(S("a"), yearStart(year)).bind(S("b"), yearEnd(year));
        if (grade > 0) {
            auto c = classFor(year, pu.dwg, grade, pu.section);
            if (!c)
                return c.status();
            auto pid = newId(S("TCLSPST"));
            if (!pid)
                return pid.status();
            pst.bind(S("id"), *pid).bind(S("cls"), *c).bind(S("a"), yearStart(year)).bind(S("b"), yearEnd(year));
            TRY(pst.exec());
            sit.bind(S("pst"), *pid);
        } else {
            sit.bindNull(S("pst"));
        }
        TRY(sit.exec());
        return *id;
    };

    // 470 pupils placed in the 24 classes of 2025/26, 30 enrolled for 2026/27 without a class yet.
    struct Slot { int dwg, grade, section; };
    QVector<Slot> slots;
    for (int dwg = 1; dwg <= 2; ++dwg)
        for (int grade = 1; grade <= 5; ++grade)
            for (int section = 0; section < (grade <= 2 ? 3 : 2); ++section)
                slots.push_back({dwg, grade, section});
    const int pupils = 500, placed = 470;
    for (int i = 0; i < pupils; ++i) {
        Pupil pu;
        if (i < placed) {
            const Slot &s = slots[i % slots.size()];
            pu.dwg = s.dwg;
            pu.grade = s.grade;
            pu.section = s.section;
        } else {
            pu.dwg = 1 + i % 2;
        }
        const bool female = m_rng.chance(50);
        const QString surname = QString::fromUtf8(m_rng.pick(Surnames));
        const QString name = QString::fromUtf8(female ? m_rng.pick(FemaleNames) : m_rng.pick(MaleNames));
        const int birthYear = pu.grade ? 2011 - pu.grade : 2012;
        const QDate birth = date(birthYear, m_rng.between(1, 12), m_rng.between(1, 28));
        auto p = person(surname, name, female, birth, 1);
        if (!p)
            return p.status();
        pu.p = *p;
        // Two parents: the father gives the surname.
        auto father = person(surname, QString::fromUtf8(m_rng.pick(MaleNames)), false,
                             date(m_rng.between(1968, 1984), m_rng.between(1, 12), m_rng.between(1, 28)), 2);
        if (!father)
            return father.status();
        auto mother = person(QString::fromUtf8(m_rng.pick(Surnames)), QString::fromUtf8(m_rng.pick(FemaleNames)), true,
                             date(m_rng.between(1970, 1986), m_rng.between(1, 12), m_rng.between(1, 28)), 2);
        if (!mother)
            return mother.status();
        pu.father = *father;
        pu.mother = *mother;
        for (const auto &[parent, kind] : {std::pair{pu.father.anaId, 1}, std::pair{pu.mother.anaId, 2}}) {
            auto gid = newId(S("TANAGPT"));
            if (!gid)
                return gid.status();
            gpt.bind(S("id"), *gid).bind(S("ana"), pu.p.anaId).bind(S("par"), parent).bind(S("gpt"), kind)
                .bind(S("d"), birth);
            TRY(gpt.exec());
        }
        auto home = dwelling({pu.p.anaId, pu.father.anaId, pu.mother.anaId}, !m_rng.chance(15));
        if (!home)
            return home.status();
        if (pu.grade) {
            auto s = situation(pu, 2025, pu.grade);
            if (!s)
                return s.status();
            pu.sit25 = *s;
            if (pu.grade < 5) {
                auto s26 = situation(pu, 2026, pu.grade + 1);
                if (!s26)
                    return s26.status();
                pu.sit26 = *s26;
            }
        } else {
            auto s26 = situation(pu, 2026, 0);
            if (!s26)
                return s26.status();
            pu.sit26 = *s26;
        }
        m_pupils.push_back(pu);
        if ((i + 1) % 100 == 0)
            say(S("alunni e genitori: %1 di %2").arg(i + 1).arg(pupils));
    }

    // Staff: the head, the administrative director, 10 ATA and 48 teachers.
    TRY(per.prepare(S("INSERT INTO TAnaPer_Personale (iAnaPerId, iAnaCagId, iDwgId, iDctId, dStart) "
                      "VALUES (:id, :cag, 3, :dct, :d)")));
    for (int i = 0; i < 60; ++i) {
        const bool female = m_rng.chance(65);
        auto p = person(QString::fromUtf8(m_rng.pick(Surnames)),
                        QString::fromUtf8(female ? m_rng.pick(FemaleNames) : m_rng.pick(MaleNames)), female,
                        date(m_rng.between(1962, 1995), m_rng.between(1, 12), m_rng.between(1, 28)), 3);
        if (!p)
            return p.status();
        auto id = newId(S("TANAPER_PERSONALE"));
        if (!id)
            return id.status();
        const int dct = i == 0 ? 3 : i == 1 ? 4 : i < 12 ? 2 : 1;
        per.bind(S("id"), *id).bind(S("cag"), p->anaCagId).bind(S("dct"), dct)
            .bind(S("d"), date(m_rng.between(2005, 2024), 9, 1));
        TRY(per.exec());
        auto home = dwelling({p->anaId}, true);
        if (!home)
            return home.status();
        m_staff.push_back({*id, p->anaId});
    }
    say(S("personale: 60"));

    // Adult learners of the evening course, with their employment status.
    TRY(soc.prepare(S("INSERT INTO TAnaSoc (iAnaSocId, iAnaId, iSocId) VALUES (:id, :ana, :soc)")));
    for (int i = 0; i < 20; ++i) {
        const bool female = m_rng.chance(50);
        auto p = person(QString::fromUtf8(m_rng.pick(Surnames)),
                        QString::fromUtf8(female ? m_rng.pick(FemaleNames) : m_rng.pick(MaleNames)), female,
                        date(m_rng.between(1975, 2004), m_rng.between(1, 12), m_rng.between(1, 28)), 6);
        if (!p)
            return p.status();
        auto home = dwelling({p->anaId}, m_rng.chance(80));
        if (!home)
            return home.status();
        auto id = newId(S("TANASOC"));
        if (!id)
            return id.status();
        soc.bind(S("id"), *id).bind(S("ana"), p->anaId).bind(S("soc"), m_rng.between(1, 7));
        TRY(soc.exec());
        m_learners.push_back(*p);
    }
    say(S("corsisti adulti: 20"));
    return {};
}

// Companies, public bodies and experts, with seats, contacts and bank details.
Status Builder::beneficiaries()
{
    SqlQuery ben(m_db), bca(m_db), seb(m_db), tps(m_db), spr(m_db), tel(m_db), mail(m_db);
    TRY(ben.prepare(S("INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA, "
                      "LBENAVVPAGAMENTO, LBENPRIVACY, LBENEND, LBENOBBLTRACC, LBENESTERO, SBENSTATO, DSTART) "
                      "VALUES (:id, :ana, :rs, :cf, :iva, 0, 1, 0, :tracc, 0, 'IT', :d)")));
    TRY(bca.prepare(S("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:id, :ben, :bca)")));
    TRY(seb.prepare(S("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, IANAID, ICOMCAPID, SSEBINDIRIZZO, LSEBRIFERIMENTO, DSTART) "
                      "VALUES (:id, :ben, :ana, :cc, :ind, 1, :d)")));
    TRY(tps.prepare(S("INSERT INTO TSEBTPS (ISEBTPSID, ISEBID, ITPSID) VALUES (:id, :seb, :tps)")));
    TRY(spr.prepare(S("INSERT INTO TSPRBEN (ISPRBENID, IBENID, IMPGID, ISPRID, SSPRBENNUMCC, SSPRBENCIN, SSPRBENCININT, "
                      "SSPRBENSTATO, SSPRBENIBAN, SSPRBENQUIETANZ, DSTART) "
                      "VALUES (:id, :ben, 3, :spr, :num, :cin, :cinint, 'IT', :iban, :q, :d)")));
    TRY(tel.prepare(S("INSERT INTO TTEB_TELEFONO (ITEBID, IBENID, STEBTELEFONO, STEBDESC, LTEBVIEW) VALUES (:id, :ben, :t, 'Ufficio', 1)")));
    TRY(mail.prepare(S("INSERT INTO TEMB_EMAIL (IEMBID, IBENID, SEMBEMAIL, LEMBVIEW) VALUES (:id, :ben, :m, 1)")));

    auto add = [&](const QString &name, const QString &cf, const QString &vat, int anaId, int category, int kind) -> Status {
        auto id = newId(S("TBEN_BENEFICIARI"));
        if (!id)
            return id.status();
        ben.bind(S("id"), *id).bind(S("rs"), name).bind(S("cf"), cf).bind(S("tracc"), kind == 3 ? 0 : 1)
            .bind(S("d"), date(2018, 1, 1));
        if (vat.isEmpty())
            ben.bindNull(S("iva"), QMetaType(QMetaType::QString));
        else
            ben.bind(S("iva"), vat);
        if (anaId)
            ben.bind(S("ana"), anaId);
        else
            ben.bindNull(S("ana"));
        TRY(ben.exec());
        auto bid = newId(S("TBENBCA"));
        if (!bid)
            return bid.status();
        bca.bind(S("id"), *bid).bind(S("ben"), *id).bind(S("bca"), category);
        TRY(bca.exec());
        auto sid = newId(S("TSEB_SEDIBEN"));
        if (!sid)
            return sid.status();
        const Place pl = homePlace();
        seb.bind(S("id"), *sid).bind(S("ben"), *id).bind(S("cc"), pl.comCapId).bind(S("ind"), street())
            .bind(S("d"), date(2018, 1, 1));
        if (anaId)
            seb.bind(S("ana"), anaId);
        else
            seb.bindNull(S("ana"));
        TRY(seb.exec());
        auto tid = newId(S("TSEBTPS"));
        if (!tid)
            return tid.status();
        tps.bind(S("id"), *tid).bind(S("seb"), *sid).bind(S("tps"), anaId ? 4 : 1);
        TRY(tps.exec());
        // Bank details with a valid IBAN on a real bank and an invented branch.
        const int bankId = 11 + m_rng.below(36);
        SqlQuery abiQ(m_db);
        TRY(abiQ.prepare(S("SELECT SBANABI FROM TBAN_BANCHE WHERE IBANID = :id")));
        abiQ.bind(S("id"), bankId);
        TRY(abiQ.exec());
        if (!abiQ.next())
            return Status::failure(S("Dati dimostrativi: banca %1 mancante.").arg(bankId));
        const QString abi = abiQ.value(0).toString();
        const QString cab = QString::number(m_rng.between(2400, 2599)).rightJustified(5, u'0');
        auto br = branch(bankId, cab, S("Agenzia %1").arg(cab), pl.srpcId);
        if (!br)
            return br.status();
        const QString account = QString::number(m_rng.between(100000, 999999)) + QString::number(m_rng.between(100000, 999999));
        QString cin, check;
        auto code = iban(abi, cab, account, &cin, &check);
        if (!code)
            return code.status();
        auto pid = newId(S("TSPRBEN"));
        if (!pid)
            return pid.status();
        spr.bind(S("id"), *pid).bind(S("ben"), *id).bind(S("spr"), *br).bind(S("num"), account)
            .bind(S("cin"), cin).bind(S("cinint"), check).bind(S("iban"), *code).bind(S("q"), name.left(120))
            .bind(S("d"), date(2018, 1, 1));
        TRY(spr.exec());
        auto teb = newId(S("TTEB_TELEFONO"));
        if (!teb)
            return teb.status();
        tel.bind(S("id"), *teb).bind(S("ben"), *id).bind(S("t"), S("051 %1").arg(m_rng.between(2000000, 6999999)));
        TRY(tel.exec());
        auto emb = newId(S("TEMB_EMAIL"));
        if (!emb)
            return emb.status();
        QString domain = name.toLower();
        domain.remove(QRegularExpression(S("[^a-z]")));
        mail.bind(S("id"), *emb).bind(S("ben"), *id).bind(S("m"), S("amministrazione@%1.example").arg(domain.left(24)));
        TRY(mail.exec());
        if (kind == 3)
            m_bodies << *id;
        else if (kind == 2)
            m_experts << *id;
        else
            m_companies << *id;
        return {};
    };
    for (const BenDef &b : Beneficiaries)
        TRY(add(QString::fromUtf8(b.name), QString::fromLatin1(b.vat), QString::fromLatin1(b.vat), 0, 1, b.kind));
    // Experts paid for projects: natural persons with their own person record (category 4).
    for (int i = 0; i < PersonBeneficiaries; ++i) {
        const bool female = m_rng.chance(50);
        const Place born = birthPlace();
        auto p = person(QString::fromUtf8(m_rng.pick(Surnames)),
                        QString::fromUtf8(female ? m_rng.pick(FemaleNames) : m_rng.pick(MaleNames)), female,
                        date(m_rng.between(1965, 1992), m_rng.between(1, 12), m_rng.between(1, 28)), 4,
                        born.srpcId, born.cadastral);
        if (!p)
            return p.status();
        const QString cf = fiscalCode(p->surname, p->name, p->birth, female, born.cadastral);
        TRY(add(p->surname + u' ' + p->name, cf, QString(), p->anaId, 2, 2));
    }
    say(S("beneficiari: %1").arg(m_companies.size() + m_bodies.size() + m_experts.size()));
    return {};
}

// Direct-debit coordinates of 100 pupils: the paying parent's IBAN, the causali paid this way and
// their components with amounts, due dates and the paid flag.
Status Builder::directDebit()
{
    SqlQuery acb(m_db), acbCau(m_db), cac(m_db), abiQ(m_db);
    TRY(acb.prepare(S("INSERT INTO TAcb_AluCoordBan (iAcbId, iAnaId, iAnaId_Gen, iMpgId, sAcbIBan, sAcbIntestatario) "
                      "VALUES (:id, :ana, :gen, 11, :iban, :int)")));
    TRY(acbCau.prepare(S("INSERT INTO TAcbCau (iAcbCauId, iAcbId, iCauId) VALUES (:id, :acb, :cau)")));
    TRY(cac.prepare(S("INSERT INTO TCac_CcaAcbCau (iCacId, iAcbCauId, iCcaId, fCacImporto, dCacDataScadenza, lCacPagato) "
                      "VALUES (:id, :acbcau, :cca, :imp, :due, :paid)")));
    TRY(abiQ.prepare(S("SELECT SBANABI FROM TBAN_BANCHE WHERE IBANID = :id")));
    int done = 0;
    for (int i = 0; i < m_pupils.size() && done < 100; i += 4) {
        const Pupil &pu = m_pupils[i];
        if (!pu.sit25)
            continue;
        const Person &payer = m_rng.chance(50) ? pu.father : pu.mother;
        const int bankId = 11 + m_rng.below(36);
        abiQ.bind(S("id"), bankId);
        TRY(abiQ.exec());
        if (!abiQ.next())
            return Status::failure(S("Dati dimostrativi: banca %1 mancante.").arg(bankId));
        const QString cab = QString::number(m_rng.between(2400, 2599)).rightJustified(5, u'0');
        auto br = branch(bankId, cab, S("Agenzia %1").arg(cab), homePlace().srpcId);
        if (!br)
            return br.status();
        const QString account = QString::number(m_rng.between(100000, 999999)).rightJustified(12, u'0');
        auto code = iban(abiQ.value(0).toString(), cab, account, nullptr, nullptr);
        if (!code)
            return code.status();
        auto id = newId(S("TACB_ALUCOORDBAN"));
        if (!id)
            return id.status();
        acb.bind(S("id"), *id).bind(S("ana"), pu.p.anaId).bind(S("gen"), payer.anaId).bind(S("iban"), *code)
            .bind(S("int"), payer.surname + u' ' + payer.name);
        TRY(acb.exec());
        // The enrolment of both years; a trip or an outing of 2025/26 for some.
        QStringList keys{S("2025/ISC"), S("2026/ISC")};
        if (m_rng.chance(40))
            keys << (m_rng.chance(50) ? S("2025/VIA") : S("2025/USC"));
        for (const QString &key : std::as_const(keys)) {
            const Cau &cau = m_causali[key];
            auto cid = newId(S("TACBCAU"));
            if (!cid)
                return cid.status();
            acbCau.bind(S("id"), *cid).bind(S("acb"), *id).bind(S("cau"), cau.id);
            TRY(acbCau.exec());
            for (int k = 0; k < cau.comps.size(); ++k) {
                QDate due;
                for (auto it = m_comps.cbegin(); it != m_comps.cend(); ++it)
                    if (it->id == cau.comps[k])
                        due = it->due;
                auto kid = newId(S("TCAC_CCAACBCAU"));
                if (!kid)
                    return kid.status();
                cac.bind(S("id"), *kid).bind(S("acbcau"), *cid).bind(S("cca"), cau.comps[k])
                    .bind(S("imp"), cau.amounts[k]).bind(S("due"), due)
                    .bind(S("paid"), due.isValid() && due < date(2026, 3, 1) ? 1 : 0);
                TRY(cac.exec());
            }
        }
        ++done;
    }
    say(S("coordinate bancarie: %1 alunni").arg(done));
    return {};
}

// About 2,000 movements of 2026: pupils' and learners' payments through the bar-code procedure,
// other income and the expenses written as the movement store writes them.
Status Builder::movements()
{
    QVector<Event> events;
    int seq = 0;
    auto dayIn = [&](const QDate &from, const QDate &to) {
        const QDate d = from.addDays(m_rng.below(int(from.daysTo(to)) + 1));
        return d.dayOfWeek() == 7 ? d.addDays(1) : d;   // no payments on Sundays
    };
    auto statementFor = [&](const QDate &d, int account) {
        if (account == 2)
            return d;
        if (d >= date(2026, 12, 10) && m_rng.chance(70))
            return QDate();   // not on a statement yet
        const QDate s = d.addDays(m_rng.between(1, 4));
        return s.year() > 2026 ? date(2026, 12, 31) : s;
    };
    auto pupilPays = [&](const Pupil &pu, int ansYear, const char *cau, const QDate &from, const QDate &to) {
        Event e;
        e.date = dayIn(from, to);
        e.seq = seq++;
        e.account = m_rng.chance(60) ? 0 : 1;
        e.cauKey = QString::number(ansYear) + u'/' + QString::fromLatin1(cau);
        e.sitId = ansYear == 2025 ? pu.sit25 : pu.sit26;
        e.statement = statementFor(e.date, e.account);
        e.slip = e.account == 0 && m_rng.chance(6);
        events.push_back(e);
    };

    for (const Pupil &pu : std::as_const(m_pupils)) {
        if (pu.sit25) {   // second half of 2025/26
            if (m_rng.chance(3))
                pupilPays(pu, 2025, "ASS", date(2026, 1, 7), date(2026, 2, 15));
            if (pu.grade >= 3 && m_rng.chance(70))
                pupilPays(pu, 2025, "VIA", date(2026, 1, 12), date(2026, 3, 10));
            if (m_rng.chance(80))
                pupilPays(pu, 2025, "USC", date(2026, 2, 20), date(2026, 5, 20));
            if (pu.dwg == 1 && m_rng.chance(45))
                pupilPays(pu, 2025, "ING", date(2026, 1, 7), date(2026, 2, 27));
            if (pu.dwg == 2 && m_rng.chance(45))
                pupilPays(pu, 2025, "LAB", date(2026, 1, 7), date(2026, 3, 31));
        }
        if (pu.sit26) {   // first months of 2026/27
            if (m_rng.chance(85))
                pupilPays(pu, 2026, "ISC", date(2026, 9, 1), date(2026, 10, 31));
            else if (m_rng.chance(60))
                pupilPays(pu, 2026, "ASS", date(2026, 9, 7), date(2026, 11, 15));
            if (pu.dwg == 2 && m_rng.chance(75))
                pupilPays(pu, 2026, "LAB", date(2026, 10, 1), date(2026, 12, 15));
            if (pu.dwg == 1 && m_rng.chance(30))
                pupilPays(pu, 2026, "ING", date(2026, 11, 2), date(2026, 12, 18));
            if (m_rng.chance(55))
                pupilPays(pu, 2026, "USC", date(2026, 10, 15), date(2026, 12, 18));
            if (pu.grade >= 2 && m_rng.chance(40))
                pupilPays(pu, 2026, "VIA", date(2026, 11, 2), date(2026, 12, 18));
        }
    }
    // Adult learners: the evening course of both school years.
    for (const Person &l : std::as_const(m_learners)) {
        for (int year : {2025, 2026}) {
            if (year == 2025 && m_rng.chance(30))
                continue;
            Event e;
            e.date = year == 2025 ? dayIn(date(2026, 1, 7), date(2026, 2, 28)) : dayIn(date(2026, 9, 15), date(2026, 10, 31));
            e.seq = seq++;
            e.account = m_rng.chance(50) ? 0 : 2;
            e.cauKey = QString::number(year) + S("/COR");
            e.anaId = l.anaId;
            e.sitId = -60;
            e.statement = statementFor(e.date, e.account);
            events.push_back(e);
        }
    }
    auto store = [&](const QDate &d, int account, int tipo, const QString &cauKey, Money amount, int cbm) -> Event & {
        Event e;
        e.date = d;
        e.seq = seq++;
        e.account = account;
        e.viaProcedure = false;
        e.tipo = tipo;
        e.cauKey = cauKey;
        e.amount = amount;
        e.cbm = cbm;
        e.statement = account == 2 ? d : (m_rng.chance(80) ? statementFor(d, account) : QDate());
        events.push_back(e);
        return events.back();
    };
    auto cauYear = [](const QDate &d) { return d.month() >= 9 ? S("2026/") : S("2025/"); };
    auto euros = [&](int lo, int hi) { return Money::fromCents(m_rng.between(lo * 100, hi * 100)); };
    // Income from public bodies and from parents paying by transfer.
    store(date(2026, 3, 16), 1, 0, S("2025/COM"), Money::fromEuros(2500), 4).benId = m_bodies.value(0);
    store(date(2026, 11, 20), 1, 0, S("2026/COM"), Money::fromEuros(2600), 4).benId = m_bodies.value(0);
    store(date(2026, 6, 30), 1, 0, S("2025/COM"), Money::fromEuros(1800), 4).benId = m_bodies.value(1);
    store(date(2026, 12, 31), 1, 0, S("2026/INT"), Money::fromCents(1873), 4).benId = m_bodies.value(1);
    for (int i = 0; i < 24; ++i) {
        const Pupil &pu = m_pupils[m_rng.below(int(m_pupils.size()))];
        const QDate d = dayIn(date(2026, 1, 7), date(2026, 12, 18));
        Event &e = store(d, 1, 0, cauYear(d) + S("ISC"), euros(30, 120), 2);
        e.anaId = (i % 2 ? pu.father : pu.mother).anaId;
    }
    // Expenses: monthly bank fees, supplies, trips, projects, staff refunds, family refunds.
    for (int m = 1; m <= 12; ++m) {
        const QDate end = date(2026, m, 1).addMonths(1).addDays(-1);
        for (int account : {0, 1})
            store(end, account, 1, cauYear(end) + S("SPB"), Money::fromCents(m_rng.between(250, 1800)), 4).benId =
                m_companies.value(0);   // the treasurer bank
        const int supplies = m == 8 ? 2 : 10;
        for (int i = 0; i < supplies; ++i) {
            const QDate d = dayIn(date(2026, m, 1), end.addDays(-1));
            const char *kinds[] = {"CAN", "FUN", "DID", "FUN", "CAN"};
            const QString k = QString::fromLatin1(kinds[m_rng.below(5)]);
            store(d, m_rng.chance(80) ? 1 : 0, 1, cauYear(d) + k, euros(30, 900), 4).benId =
                m_companies.value(m_rng.below(int(m_companies.size())));
        }
        for (int i = 0; i < 3; ++i) {   // petty cash
            const QDate d = dayIn(date(2026, m, 1), end);
            store(d, 2, 1, cauYear(d) + S("CAN"), Money::fromCents(m_rng.between(150, 2500)), 4).benId =
                m_companies.value(m_rng.below(int(m_companies.size())));
        }
        if (m != 8) {
            const QDate d = dayIn(date(2026, m, 1), end);
            Event &e = store(d, 1, 1, cauYear(d) + S("MIS"), euros(20, 250), 3);
            const auto &st = m_staff[m_rng.below(int(m_staff.size()))];
            e.anaPerId = st.first;
            e.anaId = st.second;
        }
        if (m == 3 || m == 4 || m == 5 || m == 11 || m == 12) {
            const QDate d = dayIn(date(2026, m, 1), end);
            store(d, 1, 1, cauYear(d) + S("VIAG"), euros(1500, 9000), 4).benId = m_companies.value(2 + m_rng.below(2));
            const QDate d2 = dayIn(date(2026, m, 1), end);
            store(d2, 1, 1, cauYear(d2) + S("PRO"), euros(400, 1600), 4).benId =
                m_rng.chance(50) ? m_experts.value(m_rng.below(int(m_experts.size()))) : m_companies.value(6);
        }
        if (m == 2 || m == 10) {
            const QDate d = dayIn(date(2026, m, 1), end);
            store(d, 1, 1, cauYear(d) + S("BIB"), euros(200, 600), 4).benId = m_companies.value(5);
            const QDate d2 = dayIn(date(2026, m, 1), end);
            store(d2, 1, 1, cauYear(d2) + S("ENO"), euros(300, 800), 4).benId = m_companies.value(9);
        }
        if (m == 6 || m == 12) {
            for (int i = 0; i < 3; ++i) {
                const Pupil &pu = m_pupils[m_rng.below(int(m_pupils.size()))];
                const QDate d = dayIn(date(2026, m, 1), end);
                Event &e = store(d, 0, 1, cauYear(d) + S("RIM"), Money::fromCents(m_rng.between(8, 18) * 100), 2);
                e.anaId = pu.father.anaId;
            }
        }
    }
    std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) {
        return a.date != b.date ? a.date < b.date : a.seq < b.seq;
    });

    SqlQuery ins(m_db), slip(m_db), nextId(m_db), mvm(m_db), upd(m_db), lock(m_db), split(m_db);
    TRY(ins.prepare(S("EXECUTE PROCEDURE PEbc_InsMvm(:iSprIstId, :iEsercizioFin, :iCauId, :iAnaId, :iSitId, "
                      ":dMvmDataMov, :dMvmDataEc)")));
    TRY(slip.prepare(S("UPDATE TMvm_MovimentiCcp SET iMvmNrBollettino = :nr, sNrUffPostale = :uff, iSprId = :spr, "
                       "iSrpcId = :srpc WHERE iMvmId = :id")));
    TRY(nextId.prepare(S("SELECT NEXT VALUE FOR G_TMVM_MOVIMENTICCP FROM RDB$DATABASE")));
    TRY(mvm.prepare(S("INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, sNrUffPostale, iSprId, iSrpcId, "
                      "iComCapId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr, dMvmDataMov, dMvmDataEc, "
                      "iMvmNrBollettino, iAnaId, iBenId, iCbmId, iSitId, iAnaPerId, iLocked) "
                      "VALUES (:VEGENID, :iSprIstId, :iCauId, NULL, NULL, NULL, NULL, :lMvmTipo, :fMvmImporto, "
                      ":fMvmDifferenza, 0, :dMvmDataMov, :dMvmDataEc, NULL, :iAnaId, :iBenId, :iCbmId, NULL, "
                      ":iAnaPerId, 0)")));
    TRY(upd.prepare(S("EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin)")));
    TRY(lock.prepare(S("EXECUTE PROCEDURE PEbc_LockUnlockAnf(:iSprIstId, :iEsercizioFin)")));
    TRY(split.prepare(S("INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) "
                        "VALUES (NEXT VALUE FOR G_TMVMCCA, :iMvmId, :iCcaId, :fMvmCcaImporto)")));

    // What each account holds, so that no expense exceeds it.
    Money balance[3];
    {
        SqlQuery att(m_db);
        TRY(att.prepare(S("SELECT fCaiCassaAtt FROM TCai_CassaIst WHERE iSprIstId = :c AND iCaiEsercizioFin = 2026")));
        for (int i = 0; i < 3; ++i) {
            att.bind(S("c"), m_accounts[i]);
            TRY(att.exec());
            if (att.next())
                balance[i] = att.money(0);
        }
    }
    auto optInt = [](SqlQuery &q, const QString &name, int v) {
        if (v)
            q.bind(name, v);
        else
            q.bindNull(name);
    };
    int written = 0, slipNr = 4100;
    for (Event &e : events) {
        const Cau &cau = m_causali[e.cauKey];
        const int account = m_accounts[e.account];
        if (e.viaProcedure) {
            ins.bind(S("iSprIstId"), account).bind(S("iEsercizioFin"), 2026).bind(S("iCauId"), cau.id)
                .bind(S("iSitId"), e.sitId).bind(S("dMvmDataMov"), e.date).bind(S("dMvmDataEc"), e.statement);
            if (e.anaId)
                ins.bind(S("iAnaId"), e.anaId);
            else
                ins.bind(S("iAnaId"), -1);
            TRY(ins.exec());
            if (!ins.next())
                return Status::failure(S("Dati dimostrativi: movimento non creato."));
            const int id = ins.value(0).toInt();
            balance[e.account] += cau.total();
            if (e.slip) {
                const int office = m_rng.below(4);
                slip.bind(S("nr"), ++slipNr).bind(S("uff"), QString::number(10 + office))
                    .bind(S("spr"), m_postOffices[office]).bind(S("srpc"), office == 3 ? m_casalecchio.srpcId : m_bologna.srpcId)
                    .bind(S("id"), id);
                TRY(slip.exec());
            }
        } else {
            Money amount = e.amount;
            if (e.tipo == 1) {
                // Never more than half of what is available: the register stays plausible.
                Money cap = Money::fromCents(balance[e.account].cents() / 2);
                if (amount > cap)
                    amount = Money::fromCents(cap.cents() / 100 * 100);
                if (amount < Money::fromEuros(1))
                    continue;
            }
            TRY(nextId.exec());
            if (!nextId.next())
                return Status::failure(S("Dati dimostrativi: identificativo del movimento non disponibile."));
            const int id = nextId.value(0).toInt();
            mvm.bind(S("VEGENID"), id).bind(S("iSprIstId"), account).bind(S("iCauId"), cau.id)
                .bind(S("lMvmTipo"), e.tipo).bind(S("fMvmImporto"), amount).bind(S("fMvmDifferenza"), amount - cau.total())
                .bind(S("dMvmDataMov"), e.date).bind(S("dMvmDataEc"), e.statement).bind(S("iCbmId"), e.cbm);
            optInt(mvm, S("iAnaId"), e.anaId);
            optInt(mvm, S("iBenId"), e.benId);
            optInt(mvm, S("iAnaPerId"), e.anaPerId);
            TRY(mvm.exec());
            upd.bind(S("iSprIstId"), account).bind(S("iEsercizioFin"), 2026);
            TRY(upd.exec());
            lock.bind(S("iSprIstId"), account).bind(S("iEsercizioFin"), 2026);
            TRY(lock.exec());
            // The split: one row for a single component, else shares that add up to the amount.
            Money rest = amount;
            const Money total = cau.total();
            for (int k = 0; k < cau.comps.size(); ++k) {
                Money part = rest;
                if (k + 1 < cau.comps.size()) {
                    part = total.isZero() ? Money()
                                          : Money::fromCents(amount.cents() * cau.amounts[k].cents() / total.cents());
                    rest -= part;
                }
                split.bind(S("iMvmId"), id).bind(S("iCcaId"), cau.comps[k]).bind(S("fMvmCcaImporto"), part);
                TRY(split.exec());
            }
            balance[e.account] += e.tipo == 1 ? -amount : amount;
        }
        if (++written % 250 == 0)
            say(S("movimenti: %1 di %2").arg(written).arg(events.size()));
    }
    say(S("movimenti: %1").arg(written));
    return {};
}

// The working context of user SYSDBA, complete so that the program opens without questions.
Status Builder::parameters()
{
    // The data end in December 2026: the school year of those months is the working one.
    const Cau &in = m_causali[S("2026/ISC")];
    const Cau &out = m_causali[S("2026/CAN")];
    Money era;
    {
        SqlQuery q(m_db);
        TRY(q.prepare(S("SELECT SUM(Cca.fCcaImportoEra) FROM TCca_CompCausali Cca "
                        "INNER JOIN TCauCca Ccc ON (Ccc.iCcaId = Cca.iCcaId) WHERE Ccc.iCauId = :c")));
        q.bind(S("c"), in.id);
        TRY(q.exec());
        if (q.next())
            era = q.money(0);
    }
    struct Value { const char *key; QString value; int kind; const char *set; const char *category; };
    const QList<Value> values = {
        {"VEUP_DwgId", S("3"), 7, "VEU", "Contesto di lavoro"},
        {"VEUP_AnsId", S("26"), 8, "VEU", "Contesto di lavoro"},
        {"EBSP_CauAnsId", S("26"), 5, "EBS", "Contesto di lavoro"},
        {"EBCP_SprIstId", QString::number(m_accounts[0]), 5, "EBC", "Contesto di lavoro"},
        {"EBCP_AnfId", S("26"), 5, "EBC", "Contesto di lavoro"},
        {"EBSP_CausaleInId", QString::number(in.id), 5, "EBS", "Valori di default."},
        {"EBSP_CausaleOutId", QString::number(out.id), 5, "EBS", "Valori di default."},
        {"EBSP_ImpIstCauIn", in.total().toSql(), 6, "EBS", "Valori di default."},
        {"EBSP_ImpEraCauIn", era.toSql(), 6, "EBS", "Valori di default."},
        {"EBSP_ImpIstCauOut", out.total().toSql(), 6, "EBS", "Valori di default."},
        {"EBSP_SprCabProvId", QString::number(m_postOffices[0]), 5, "EBS", "EBCC_Movimenti"},
        {"EBSP_SprComuneId", QString::number(m_bologna.srpcId), 5, "EBS", "EBCC_Movimenti"},
        {"EBSP_NrUffPostale", S("10"), 0, "EBS", "EBCC_Movimenti"},
        {"EBCP_MvmBenefCateg", S("1"), 5, "EBC", "EBCC_Movimenti"},
        {"EBCP_MvmDataEc", date(2026, 12, 21).toString(Qt::ISODate), 3, "EBC", "EBCC_Movimenti"},
        {"EBCP_MvmDataMov", date(2026, 12, 21).toString(Qt::ISODate), 3, "EBC", "EBCC_Movimenti"},
        {"EBCP_CcaRette", S("1"), 4, "EBC", "Valori di default."},
        {"EBSP_ShowBarCode", S("1"), 4, "EBS", "EBCC_Movimenti"},
        {"EBSP_PrintBarCode", S("0"), 4, "EBS", "EBCC_Movimenti"},
    };
    SqlQuery find(m_db), def(m_db), val(m_db);
    TRY(find.prepare(S("SELECT SPDFKEY FROM TVE_PARAMDEF WHERE UPPER(SPDFKEY) = UPPER(:k)")));
    // The definitions belong to the program's parameter set; one that is not there yet is given a
    // plain definition so that the value can be stored.
    TRY(def.prepare(S("INSERT INTO TVE_PARAMDEF (SPDFKEY, SPDFSET, SPDFCAPTION, SPDFCATEGORY, IPDFKIND, IPDFORDER) "
                      "VALUES (:k, :s, :c, :g, :t, :o)")));
    TRY(val.prepare(S("UPDATE OR INSERT INTO TVE_PARAMVAL (SPVLUSER, SPDFKEY, SPVLVALUE) VALUES ('SYSDBA', :k, :v) "
                      "MATCHING (SPVLUSER, SPDFKEY)")));
    int order = 0;
    for (const Value &v : values) {
        QString key = QString::fromLatin1(v.key);
        find.bind(S("k"), key);
        TRY(find.exec());
        if (find.next()) {
            key = find.value(0).toString();
        } else {
            def.bind(S("k"), key).bind(S("s"), QString::fromLatin1(v.set)).bind(S("c"), key)
                .bind(S("g"), QString::fromLatin1(v.category)).bind(S("t"), v.kind).bind(S("o"), 900 + order);
            TRY(def.exec());
        }
        ++order;
        val.bind(S("k"), key).bind(S("v"), v.value);
        TRY(val.exec());
    }
    return {};
}

Status Builder::run()
{
    TRY(loadPlaces());
    say(S("istituti, sedi, anni scolastici e finanziari"));
    TRY(institutes());
    say(S("aggregati, voci e sottovoci di bilancio"));
    TRY(budget());
    TRY(loadBudget(m_db));
    say(S("componenti e causali 2025/2026 e 2026/2027"));
    TRY(feesOfYear(2025));
    TRY(feesOfYear(2026));
    say(S("conti e anni finanziari 2025 e 2026"));
    TRY(banksAndAccounts());
    TRY(people());
    TRY(beneficiaries());
    TRY(moveSequencesPast());   // the registry's additions take their ids from the database
    TRY(DemoBeneficiaries::load(m_db));
    TRY(directDebit());
    TRY(movements());
    TRY(parameters());
    return moveSequencesPast();
}

} // namespace

Status load(QSqlDatabase db, const Installation::Progress &progress)
{
    Transaction tx(db);
    if (!tx.active())
        return Status::failure(S("Impossibile avviare la transazione dei dati dimostrativi: %1").arg(tx.error()));
    Builder builder(db, progress);
    TRY(builder.run());
    TRY(DemoDirectDebit::load(db));
    TRY(loadAccounts(db));
    return tx.commit();
}

} // namespace ccp::DemoData
