// Employees of a generated installation, drawn from a seed.
#include "Staff.h"

#include "Random.h"
#include "calendar/Clock.h"
#include "calendar/HeureTexte.h"
#include "employees/ReglesFiche.h"

#include <QSet>
#include <QString>
#include <algorithm>
#include <array>

namespace kip::gen {

namespace {

// Surnames and first names made up for the demo; accents on purpose, since the files hold Windows-1252.
constexpr std::array Surnames = {
    "MARTIN",     "BERNARD",  "DUBOIS",   "THOMAS",    "ROBERT",      "RICHARD",    "PETIT",    "DURAND",   "LEROY",
    "MOREAU",     "SIMON",    "LAURENT",  "LEFÈVRE",   "MICHEL",      "GARCIA",     "DAVID",    "BERTRAND", "ROUX",
    "VINCENT",    "FOURNIER", "MOREL",    "GIRARD",    "ANDRÉ",       "LEFRANÇOIS", "MERCIER",  "DUPONT",   "LAMBERT",
    "BONNET",     "FRANÇOIS", "MARTINEZ", "LEGRAND",   "GARNIER",     "FAURE",      "ROUSSEAU", "BLANC",    "GUÉRIN",
    "MULLER",     "HENRY",    "ROUSSEL",  "NICOLAS",   "PERRIN",      "MORIN",      "MATHIEU",  "CLÉMENT",  "GAUTHIER",
    "DUMONT",     "LOPEZ",    "FONTAINE", "CHEVALIER", "ROBIN",       "MASSON",     "SANCHEZ",  "GÉRARD",   "NGUYEN",
    "BOYER",      "DENIS",    "LEMAIRE",  "DUVAL",     "JOLY",        "GAUTIER",    "ROGER",    "ROCHE",    "ROY",
    "NOËL",       "MEYER",    "LUCAS",    "MEUNIER",   "JEAN",        "PÉREZ",      "MARCHAND", "DUFOUR",   "BLANCHARD",
    "MARIE",      "BARBIER",  "BRUN",     "DUMAS",     "BRUNET",      "SCHMITT",    "LEROUX",   "COLIN",    "FERNANDEZ",
    "PIERRE",     "RENARD",   "ARNAUD",   "ROLLAND",   "CARON",       "AUBERT",     "GIRAUD",   "LECLERC",  "VIDAL",
    "BOURGEOIS",  "RENAUD",   "LEMOINE",  "PICARD",    "GAILLARD",    "PHILIPPE",   "LECOMTE",  "LACROIX",  "DESCHAMPS",
    "CARPENTIER", "OLIVIER",  "DUPUIS",   "HUET",      "BÉRARD",      "LE GALL",    "BESNARD",  "CORDIER",  "PRÉVOST",
    "TESSIER",    "COLLET",   "LEBRETON", "HAMON",     "CHARPENTIER", "DE SOUSA",   "VASSEUR",  "BOUCHER",  "LEBLANC",
    "GUILLAUME",  "CHAUVIN",  "POULAIN",
};

constexpr std::array FirstNames = {
    "Jean",     "Marie",        "Pierre",   "Nathalie",  "Michel",    "Isabelle",    "Philippe",   "Sylvie",
    "Alain",    "Catherine",    "Patrick",  "Françoise", "Nicolas",   "Valérie",     "Christophe", "Sandrine",
    "Daniel",   "Christine",    "Bernard",  "Véronique", "Éric",      "Céline",      "Laurent",    "Stéphanie",
    "Frédéric", "Hélène",       "Stéphane", "Sophie",    "David",     "Nadia",       "Olivier",    "Chantal",
    "Pascal",   "Martine",      "Thierry",  "Monique",   "Julien",    "Aurélie",     "Sébastien",  "Émilie",
    "François", "Julie",        "Jérôme",   "Camille",   "Didier",    "Léa",         "Thomas",     "Manon",
    "Yves",     "Gaëlle",       "Bruno",    "Agnès",     "Gérard",    "Brigitte",    "Mathieu",    "Laetitia",
    "Karim",    "Fatima",       "Antoine",  "Chloé",     "Jean-Marc", "Anne-Sophie", "Guillaume",  "Élodie",
    "Vincent",  "Audrey",       "Denis",    "Mélanie",   "Joël",      "Noémie",      "Hervé",      "Maëlle",
    "Loïc",     "Josiane",      "Benoît",   "Danielle",  "René",      "Odile",       "Cédric",     "Solène",
    "Jean-Luc", "Marie-Claire", "Yannick",  "Pascale",   "Régis",     "Ginette",     "Xavier",     "Inès",
    "Mehdi",    "Amandine",     "Rémi",     "Lucie",     "Hugo",      "Clémence",    "Raphaël",    "Zoé",
};

constexpr const char* RoundingSteps[] = {"00", "05", "10", "15", "30", "60"};
constexpr int RoundingWeights[] = {300, 150, 100, 300, 100, 50}; // per mille
constexpr const char* WeekCodes[] = {"+05", "+10", "+15", "+30", "+60", "-05", "-10", "-15", "-30", "-60"};

QString roundingStep(Random& r)
{
    int x = r.below(1000);
    for (int i = 0; i < 6; ++i) {
        if (x < RoundingWeights[i])
            return QLatin1String(RoundingSteps[i]);
        x -= RoundingWeights[i];
    }
    return QStringLiteral("00");
}

quint8 tolerance(Random& r)
{
    const int x = r.below(1000);
    return quint8(x < 500 ? 0 : x < 800 ? 5 : r.between(1, 15));
}

quint8 gridOffset(Random& r)
{
    return quint8(r.chance(900) ? 0 : r.between(1, 59));
}

quint8 punchesPerDay(Random& r, bool night)
{
    if (night)
        return r.chance(600) ? 2 : 4;
    const int x = r.below(1000);
    if (x < 700)
        return 4;
    if (x < 850)
        return 2;
    if (x < 950)
        return 6;
    return quint8(2 * r.between(4, 7)); // the form offers even numbers only
}

void drawPeriods(Employee& e, Random& r, const StaffOptions& o)
{
    Personnel& p = e.record;
    const int x = r.below(1000);
    const int count = x < 100 ? 1 : x < 130 ? 2 : x < 140 ? 3 : 0;
    QList<Periode> periods;
    // A holiday in the year before the generated weeks, then holidays within them (some reaching into the
    // coming days, as planned leave does).
    if (count >= 2) {
        const qint32 from = o.firstDay - r.between(60, 300);
        ajouterPeriode(periods, {from, from + r.between(4, 20)});
    }
    for (int i = int(periods.size()); i < count; ++i) {
        const qint32 from = r.between(o.firstDay, o.today);
        ajouterPeriode(periods, {from, from + r.between(1, 14)});
    }
    // Stored as the form stores its list.
    rangerPeriodes(p, periods);
}

void drawEmployment(Employee& e, Random& r, const StaffOptions& o)
{
    Personnel& p = e.record;
    p.DATE_DEBAUCHE = dayNumber(2099, 12, 31); // what the employee form gives a new employee
    const int x = r.below(1000);
    if (x < 80) {
        p.DATE_EMBAUCHE = r.between(o.firstDay, o.today); // hired during the generated weeks
    } else if (x < 110 && o.today > o.firstDay) {
        p.DATE_EMBAUCHE = o.firstDay - r.between(200, 3000);
        p.DATE_DEBAUCHE = r.between(o.firstDay, o.today - 1); // has left
    } else if (x < 115) {
        p.DATE_EMBAUCHE = o.today + r.between(1, 10); // starts next week, already has a badge
    } else {
        p.DATE_EMBAUCHE = o.firstDay - r.between(30, 7300);
    }
    p.PREMIER_JOUR = p.DATE_EMBAUCHE;
    p.DERNIER_JOUR = p.DATE_EMBAUCHE + 1;
}

void drawRules(Employee& e, Random& r)
{
    Personnel& p = e.record;
    const bool night = e.profile.night;
    p.NOMBRE = punchesPerDay(r, night);
    const QString entree = roundingStep(r);
    const QString sortie = r.chance(700) ? entree : roundingStep(r);
    p.TOLERANCE_ENTREE = tolerance(r);
    p.TOLERANCE_SORTIE = r.chance(700) ? p.TOLERANCE_ENTREE : tolerance(r);
    p.DECALAGE_ENTREE = gridOffset(r);
    p.DECALAGE_SORTIE = r.chance(800) ? p.DECALAGE_ENTREE : gridOffset(r);
    // The rounding chosen last, as in the form, which brings tolerance and offset within its bounds.
    choisirArrondi(p, Cote::Entree, entree);
    choisirArrondi(p, Cote::Sortie, sortie);
    p.ARRONDI_SEMAINE = r.chance(600) ? QStringLiteral("000") : QLatin1String(WeekCodes[r.below(10)]);
    if (night) {
        p.DECALAGE_MINUIT = qint16(r.between(60, 240));
        p.EXTENSION = qint16(r.between(500, 600));
    } else {
        p.DECALAGE_MINUIT = qint16(r.chance(950) ? 0 : r.between(15, 90));
        const int x = r.below(1000);
        p.EXTENSION = qint16(x < 600 ? 0 : x < 950 ? r.between(60, 240) : r.between(241, 840));
    }
}

void drawProfile(Employee& e, Random& r, int terminals)
{
    WorkProfile& w = e.profile;
    w.terminal = quint8(1 + r.below(terminals));
    w.jitter = r.between(3, 12);
    w.saturdayPerMille = r.chance(100) ? 700 : 20;
    if (w.night) {
        if (e.record.NOMBRE == 2) { // a night shift, 22:00 to about 5:30
            w.entry = r.around(1320, 10);
            w.exit = MinutesJour + r.around(330, 10);
        } else { // an evening shift with its break before midnight
            w.entry = r.around(1080, 15);
            w.lunchOut = 1320;
            w.lunchIn = 1350;
            w.exit = MinutesJour + r.around(120, 15);
        }
        return;
    }
    static constexpr int Starts[] = {480, 480, 480, 480, 480, 450, 450, 510, 540, 420};
    w.entry = Starts[r.below(10)];
    w.lunchOut = 720 + 15 * r.between(-2, 2);
    w.lunchIn = w.lunchOut + (r.chance(500) ? 60 : r.chance(500) ? 45 : 90);
    w.exit = w.entry + 480 + (w.lunchIn - w.lunchOut) + 15 * r.between(-4, 1);
}

QString staffMessage(Random& r, const QString& firstName)
{
    const int x = r.below(1000);
    if (x < 600)
        return QString();
    if (x < 900)
        return (QStringLiteral("Bonjour ") + firstName).left(16);
    static constexpr const char* Notes[] = {"Voir service RH", "Badge provisoire", "Visite médicale", "Bon courage !"};
    return QString::fromUtf8(Notes[r.below(4)]).left(16);
}

} // namespace

std::vector<Employee> makeStaff(const StaffOptions& o)
{
    const int n = std::clamp(o.employees, 0, 9999);
    Random r(Random::mix(o.seed, 0x5747AFF));

    // Cards spread over 1..9999 as badges handed out over the years are: a random choice, kept in order.
    std::vector<qint16> cards(9999);
    for (int i = 0; i < 9999; ++i)
        cards[size_t(i)] = qint16(i + 1);
    for (int i = 0; i < n; ++i)
        std::swap(cards[size_t(i)], cards[size_t(i + r.below(9999 - i))]);
    cards.resize(size_t(n));
    std::sort(cards.begin(), cards.end());

    const int names = int(Surnames.size() * FirstNames.size());
    QSet<int> usedNames;
    int matricule = 100 + r.below(400);
    std::vector<Employee> staff(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        Employee& e = staff[size_t(i)];
        Personnel& p = e.record;
        Random er(Random::mix(o.seed, quint64(cards[size_t(i)]), 0xE4));
        // What the employee form gives a new employee, then the draws.
        p = nouvelEmploye(o.today);
        p.CARTE = cards[size_t(i)];
        int name = r.below(names);
        while (usedNames.contains(name) && usedNames.size() < names)
            name = (name + 1) % names;
        usedNames.insert(name);
        p.NOM = QString::fromUtf8(Surnames[size_t(name) % Surnames.size()]);
        p.PRENOM = QString::fromUtf8(FirstNames[size_t(name) / Surnames.size()]);
        matricule += 1 + r.below(7);
        // A blank matricule becomes the card's default in the form.
        p.MATRICULE =
            er.chance(80) ? matriculeParDefaut(p.CARTE) : QStringLiteral("M%1").arg(matricule, 5, 10, QLatin1Char('0'));
        p.MESSAGE = staffMessage(er, p.PRENOM);
        e.profile.night = er.chance(60);
        drawRules(e, er);
        drawEmployment(e, er, o);
        drawPeriods(e, er, o);
        drawProfile(e, er, std::max(1, o.terminals));
    }
    return staff;
}

std::vector<qint16> unknownCards(const std::vector<Employee>& staff, int count, std::uint64_t seed)
{
    QSet<int> used;
    for (const Employee& e : staff)
        used.insert(e.record.CARTE);
    Random r(Random::mix(seed, 0xBAD));
    std::vector<qint16> out;
    while (int(out.size()) < count && used.size() < 9999) {
        const int c = r.between(1, 9999);
        if (!used.contains(c)) {
            used.insert(c);
            out.push_back(qint16(c));
        }
    }
    return out;
}

} // namespace kip::gen
