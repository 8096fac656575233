#include "TransfertPointages.h"

#include "AppliquerPointage.h"
#include "FichierOrigine.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Postes.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "data/Transaction.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace kip {

namespace {

// A raw punch that passed the range checks.
struct Pointage
{
    qint32 date;
    qint16 minute;
    qint16 carte;
    quint8 terminal;
    quint32 ordre; // position in the file
};

struct Lecture
{
    std::vector<Pointage> pointages;
    int lignes = 0;
    int ignorees = 0;
    qint64 octets = 0;
    FileError erreur;
};

constexpr int DerniereHeure = 23;
constexpr int DerniereMinute = 59;
constexpr int DerniereCarte = 9999;
constexpr int DernierTerminal = 16;

// The punch of a line, or nothing when the line is not a valid punch line.
std::optional<Pointage> pointageDe(const LigneBrute& ligne, qint32 premier, qint32 dernier)
{
    if (!ligne.aLaLongueur())
        return std::nullopt;
    const OriginLine o = OriginLine::parse(ligne.debut, OriginLineLength);
    if (o.carte < 1 || o.carte > DerniereCarte || o.terminal < 1 || o.terminal > DernierTerminal)
        return std::nullopt;
    if (o.heure < 0 || o.heure > DerniereHeure || o.minute < 0 || o.minute > DerniereMinute)
        return std::nullopt;
    // An impossible date (31/02, month 13) has no day number.
    const qint32 date = o.annee > 0 && o.mois > 0 && o.jour > 0 ? dayNumber(o.annee, o.mois, o.jour) : 0;
    if (date == 0 || date < premier || date > dernier)
        return std::nullopt;
    return Pointage{date, qint16(o.heure * 60 + o.minute), qint16(o.carte), quint8(o.terminal), 0};
}

Lecture lireOrigine(const QString& path, qint32 aujourdhui)
{
    Lecture l;
    LecteurOrigine lecteur;
    l.erreur = lecteur.ouvrir(path);
    if (!l.erreur.ok())
        return l;
    const int an = calendarDate(aujourdhui).year();
    const qint32 premier = dayNumber(an - 1, 1, 1);
    const qint32 dernier = dayNumber(an + 1, 12, 31);
    LigneBrute ligne;
    while (lecteur.suivante(ligne)) {
        ++l.lignes;
        std::optional<Pointage> p = pointageDe(ligne, premier, dernier);
        if (!p) {
            ++l.ignorees;
            continue;
        }
        p->ordre = quint32(l.lignes);
        l.pointages.push_back(*p);
    }
    l.erreur = lecteur.erreur();
    l.octets = lecteur.octetsLus();
    return l;
}

QString quand(qint16 carte, qint32 date, int minute)
{
    return QStringLiteral("%1 le %2 à %3").arg(carte).arg(DateTexte(date), HeureTexte(minute));
}

// The day lines in hand: those of the last two dates reached by the chronological reading, per card.
// Lines older than that are written back and forgotten, so that memory does not grow with the file. The lines of
// those two dates are read at once when the reading reaches a date (one ordered read, not one per card), and
// written back in one batch when it leaves them: a few round trips per date on a server, none per line.
class Journees : public JourneesEnMain
{
public:
    explicit Journees(RecordFile<PointVal>& file) : m_file(file) {}

    JourneeEnMain& ligne(qint16 carte, qint32 date) override
    {
        const quint64 k = cle(carte, date);
        auto it = m_lignes.find(k);
        if (it != m_lignes.end())
            return it->second.journee;
        Entree e;
        e.journee.ligne.CARTE = carte;
        e.journee.ligne.DATE = date;
        // A date read ahead has every line it holds in hand: one missing is a line to add.
        const FileError lu =
            m_lues.contains(date) ? makeError(NotFound) : m_file.get(e.journee.ligne, POV_K_CARTE_DATE);
        e.journee.existe = e.journee.lue = lu.ok();
        if (!lu.ok() && lu.code != NotFound)
            m_erreur = lu;
        if (e.journee.existe)
            e.avant = e.journee.ligne.POINTAGE_ORIGINE;
        return m_lignes.emplace(k, e).first->second.journee;
    }

    // Takes in hand every line of the date and of the day before that is not in hand already.
    bool lireDate(qint32 date)
    {
        // The day before is in hand already when the reading has just left it.
        PointVal from;
        from.DATE = m_lues.contains(date - 1) ? date : date - 1;
        from.CARTE = std::numeric_limits<qint16>::min();
        PointVal to;
        to.DATE = date;
        to.CARTE = std::numeric_limits<qint16>::max();
        Cursor<PointVal> c = m_file.read(POV_K_DATE_CARTE, from, Direction::Forward, &to);
        Entree e;
        FileError lu;
        while ((lu = c.next(e.journee.ligne)).ok()) {
            const quint64 k = cle(e.journee.ligne.CARTE, e.journee.ligne.DATE);
            if (m_lignes.contains(k))
                continue;
            e.journee.existe = e.journee.lue = true;
            e.avant = e.journee.ligne.POINTAGE_ORIGINE;
            m_lignes.emplace(k, e);
        }
        if (lu.code != EndOfFile) {
            m_erreur = lu;
            return false;
        }
        m_lues.insert(date - 1);
        m_lues.insert(date);
        return true;
    }

    // Writes back and forgets the lines dated before the given date.
    bool ecrireAvant(qint32 date)
    {
        for (auto it = m_lignes.begin(); it != m_lignes.end();) {
            if (it->second.journee.ligne.DATE < date) {
                if (!ecrire(it->second))
                    return false;
                it = m_lignes.erase(it);
            } else {
                ++it;
            }
        }
        // The lines forgotten are no longer in hand: a date before is read again if ever asked.
        m_lues.erase(m_lues.begin(), m_lues.lower_bound(date));
        if (const FileError e = m_file.flush(); !e.ok()) {
            m_erreur = e;
            return false;
        }
        return true;
    }
    bool toutEcrire() { return ecrireAvant(std::numeric_limits<qint32>::max()); }
    const FileError& erreur() const { return m_erreur; }
    // The punches of this reading found on the lines written: what was stored.
    int stockes() const { return m_stockes; }

private:
    struct Entree
    {
        JourneeEnMain journee;
        PunchLine avant; // the raw punches as read from the file
        Entree() { avant.fill(PunchEmpty); }
    };

    static quint64 cle(qint16 carte, qint32 date) { return quint64(quint16(carte)) << 32 | quint32(date); }

    bool ecrire(Entree& e)
    {
        JourneeEnMain& j = e.journee;
        if (!j.modifiee)
            return true;
        const FileError r = j.lue ? m_file.putLater(j.ligne) : m_file.addLater(j.ligne);
        if (!r.ok()) {
            m_erreur = r;
            return false;
        }
        j.modifiee = false;
        const auto avantFin = e.avant.begin() + PunchSlotsUsed;
        for (int i = 0; i < PunchSlotsUsed; ++i) {
            const qint16 v = j.ligne.POINTAGE_ORIGINE[size_t(i)];
            if (v >= 0 && std::find(e.avant.begin(), avantFin, v) == avantFin)
                ++m_stockes;
        }
        return true;
    }

    RecordFile<PointVal>& m_file;
    // References stay valid while other lines are added: a punch holds its own date's line and the day before's.
    std::unordered_map<quint64, Entree> m_lignes;
    std::set<qint32> m_lues; // the dates whose lines are all in hand
    FileError m_erreur;
    int m_stockes = 0;
};

// The employees, read once; their first and last punch dates are written back at the end.
struct Employe
{
    Personnel fiche;
    qint32 premier = 0; // first and last punch dates before the reading
    qint32 dernier = 0;
};

FileError ecrireDates(RecordFile<Personnel>& file, QHash<qint16, Employe>& employes)
{
    // In one batch; a record edited elsewhere meanwhile is settled alone afterwards.
    std::vector<Personnel*> ecrits;
    for (Employe& e : employes) {
        if (e.fiche.PREMIER_POINTAGE == e.premier && e.fiche.DERNIER_POINTAGE == e.dernier)
            continue;
        if (const FileError r = file.putLater(e.fiche); !r.ok())
            return r;
        ecrits.push_back(&e.fiche);
    }
    std::vector<size_t> changes;
    if (const FileError r = file.flush(&changes); !r.ok())
        return r;
    for (size_t i : changes) {
        // Edited elsewhere meanwhile: the stored record keeps its edits and receives the dates.
        const Personnel& p = *ecrits[i];
        Personnel stored;
        if (const FileError lu = file.fetch(stored, p.rowid); !lu.ok())
            return lu;
        if (stored.PREMIER_POINTAGE == 0 || stored.PREMIER_POINTAGE > p.PREMIER_POINTAGE)
            stored.PREMIER_POINTAGE = p.PREMIER_POINTAGE;
        if (stored.DERNIER_POINTAGE == 0 || stored.DERNIER_POINTAGE < p.DERNIER_POINTAGE)
            stored.DERNIER_POINTAGE = p.DERNIER_POINTAGE;
        if (const FileError r = file.put(stored); !r.ok())
            return r;
    }
    return {};
}

} // namespace

ResultatTransfert TransfererPointages(Database& db, const QString& originPath, qint32 aujourdhui,
                                      const ProgressionTransfert& progression)
{
    ResultatTransfert r;
    Lecture lecture = lireOrigine(originPath, aujourdhui);
    r.erreurOrigine = lecture.erreur;
    if (!r.erreurOrigine.ok())
        return r;
    r.lignes = lecture.lignes;
    r.ignorees = lecture.ignorees;
    r.octetsLus = lecture.octets;
    if (lecture.pointages.empty())
        return r;
    std::sort(lecture.pointages.begin(), lecture.pointages.end(), [](const Pointage& a, const Pointage& b) {
        if (a.date != b.date)
            return a.date < b.date;
        if (a.minute != b.minute)
            return a.minute < b.minute;
        return a.ordre < b.ordre;
    });

    // On the server, the transfer or the day initialisation of another station ends first: what it stored is read
    // below (the employees' dates too) and not stored again.
    const TourJournees tour(db, progression.attente);
    if (!tour.ok()) {
        r.erreur = tour.error();
        return r;
    }
    RecordFile<Personnel> fichesFile(db);
    RecordFile<PointVal> journeesFile(db);
    r.erreur = fichesFile.open();
    if (r.erreur.ok())
        r.erreur = journeesFile.open();
    if (!r.erreur.ok())
        return r;
    QHash<qint16, Employe> employes;
    {
        Cursor<Personnel> c = fichesFile.readAll();
        Personnel p;
        FileError lu;
        while ((lu = c.next(p)).ok())
            employes.insert(p.CARTE, Employe{p, p.PREMIER_POINTAGE, p.DERNIER_POINTAGE});
        if (lu.code != EndOfFile) {
            r.erreur = lu;
            return r;
        }
    }
    // One batch over both files, committed once at the end.
    Transaction t(db, {FileId::Personnel, FileId::PointVal});
    if (!t.ok()) {
        r.erreur = t.error();
        return r;
    }
    Journees journees(journeesFile);
    const int total = int(lecture.pointages.size());
    qint32 dateCourante = 0;
    qint16 carteAffichee = 0;
    int fait = 0;
    int fusionnes = 0;
    for (const Pointage& p : lecture.pointages) {
        if (progression.lignes && (fait % 64) == 0)
            progression.lignes(fait, total);
        ++fait;
        if (p.date != dateCourante) {
            // Lines two days back are no longer reachable by the punches still to come.
            if (!journees.ecrireAvant(p.date - 1) || !journees.lireDate(p.date))
                break;
            dateCourante = p.date;
        }
        auto it = employes.find(p.carte);
        if (it == employes.end()) {
            r.rejets << QStringLiteral("Numéro inconnu: ") + quand(p.carte, p.date, p.minute);
            continue;
        }
        Personnel& emp = it->fiche;
        if (progression.personne && carteAffichee != p.carte) {
            progression.personne(p.carte, emp.NOM);
            carteAffichee = p.carte;
        }
        // The rejection texts keep the punch's own date and time, whatever line it would have gone to.
        switch (AppliquerPointage(emp, p.date, p.minute, p.terminal, journees).issue) {
        case IssuePointage::Fusionne:
        case IssuePointage::Ecarte:
            ++fusionnes;
            break;
        case IssuePointage::Doublon:
            ++r.doublons;
            break;
        case IssuePointage::Inactivite:
            r.rejets << QStringLiteral("Pointage en période d'inactivité: ") + quand(p.carte, p.date, p.minute);
            break;
        case IssuePointage::NonEmbauche:
            r.rejets << QStringLiteral("Cet employé n'est pas considéré embauché: ") + quand(p.carte, p.date, p.minute);
            break;
        }
    }
    FileError err = journees.erreur();
    if (err.ok() && !journees.toutEcrire())
        err = journees.erreur();
    if (err.ok())
        err = ecrireDates(fichesFile, employes);
    if (err.ok())
        err = t.commit();
    if (!err.ok()) {
        // Nothing of this reading is kept: the raw file stays for the next one.
        t.rollback();
        r.erreur = err;
        return r;
    }
    r.stockes = journees.stockes();
    r.ecartes = fusionnes - r.stockes;
    if (progression.lignes)
        progression.lignes(total, total);
    return r;
}

} // namespace kip
