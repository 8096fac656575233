#include "TransfertPointages.h"

#include "PreparerJournee.h"
#include "ReglesPointage.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "data/Transaction.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <limits>
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
    bool absent = false;
};

Lecture lireOrigine(const QString& path, qint32 aujourdhui)
{
    Lecture l;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        l.absent = true;
        return l;
    }
    const int an = calendarDate(aujourdhui).year();
    const qint32 premier = dayNumber(an - 1, 1, 1);
    const qint32 dernier = dayNumber(an + 1, 12, 31);
    char buf[512];
    qint64 n;
    while ((n = f.readLine(buf, sizeof buf)) > 0) {
        // Only whole lines: a line still being written by the reader has no line end yet.
        if (buf[n - 1] != '\n' && f.atEnd() && n < OriginLineLength)
            break;
        l.octets += n;
        qint64 len = n;
        while (len > 0 && (buf[len - 1] == '\n' || buf[len - 1] == '\r'))
            --len;
        if (len == 0 && n <= 2)
            continue; // an empty line is no punch line
        ++l.lignes;
        const OriginLine o = OriginLine::parse(buf, len);
        const int minute = o.heure < 0 || o.minute < 0 ? -1 : o.heure * 60 + o.minute;
        const qint32 date = o.annee > 0 && o.mois > 0 && o.jour > 0 ? dayNumber(o.annee, o.mois, o.jour) : 0;
        if (o.carte < 1 || o.carte > 9999 || minute < 0 || minute > 1439 || o.terminal < 1 || o.terminal > 16 ||
            date == 0 || date < premier || date > dernier) {
            ++l.ignorees;
            continue;
        }
        l.pointages.push_back({date, qint16(minute), qint16(o.carte), quint8(o.terminal), quint32(l.lignes)});
    }
    return l;
}

QString quand(qint16 carte, qint32 date, int minute)
{
    return QStringLiteral("%1 le %2 à %3").arg(carte).arg(DateTexte(date), HeureTexte(minute));
}

// The day lines in hand: those of the last two dates reached by the chronological reading, per card.
// Lines older than that are written back and forgotten, so that memory does not grow with the file.
class Journees : public JourneePrecedente
{
public:
    explicit Journees(RecordFile<PointVal>& file) : m_file(file) {}

    struct Entree
    {
        PointVal ligne;
        bool existe = false; // in the file (or added by this reading)
        bool lue = false;    // read from the file, as opposed to added
        bool modifiee = false;
    };

    Entree& ligne(qint16 carte, qint32 date)
    {
        const quint64 k = cle(carte, date);
        auto it = m_lignes.find(k);
        if (it != m_lignes.end())
            return it->second;
        Entree e;
        e.ligne.CARTE = carte;
        e.ligne.DATE = date;
        const FileError lu = m_file.get(e.ligne, POV_K_CARTE_DATE);
        e.existe = e.lue = lu.ok();
        if (!lu.ok() && lu.code != NotFound)
            m_erreur = lu;
        return m_lignes.emplace(k, e).first->second;
    }

    bool lire(qint16 carte, qint32 date, PointVal& out) override
    {
        Entree& e = ligne(carte, date);
        if (e.existe)
            out = e.ligne;
        return e.existe;
    }

    // Writes back and forgets the lines dated before the given date.
    bool ecrireAvant(qint32 date)
    {
        for (auto it = m_lignes.begin(); it != m_lignes.end();) {
            if (it->second.ligne.DATE < date) {
                if (!ecrire(it->second))
                    return false;
                it = m_lignes.erase(it);
            } else {
                ++it;
            }
        }
        return true;
    }
    bool toutEcrire() { return ecrireAvant(std::numeric_limits<qint32>::max()); }
    const FileError& erreur() const { return m_erreur; }

private:
    static quint64 cle(qint16 carte, qint32 date) { return quint64(quint16(carte)) << 32 | quint32(date); }

    bool ecrire(Entree& e)
    {
        if (!e.modifiee)
            return true;
        const FileError r = e.lue ? m_file.put(e.ligne) : m_file.add(e.ligne);
        if (!r.ok()) {
            m_erreur = r;
            return false;
        }
        e.modifiee = false;
        return true;
    }

    RecordFile<PointVal>& m_file;
    // References stay valid while other lines are added: a punch holds its own date's line and the day before's.
    std::unordered_map<quint64, Entree> m_lignes;
    FileError m_erreur;
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
    for (Employe& e : employes) {
        if (e.fiche.PREMIER_POINTAGE == e.premier && e.fiche.DERNIER_POINTAGE == e.dernier)
            continue;
        Personnel& p = e.fiche;
        FileError r = file.put(p);
        if (r.code == ChangedElsewhere) {
            // Edited elsewhere meanwhile: the stored record keeps its edits and receives the dates.
            Personnel stored;
            if (const FileError lu = file.fetch(stored, p.rowid); !lu.ok())
                return lu;
            if (stored.PREMIER_POINTAGE == 0 || stored.PREMIER_POINTAGE > p.PREMIER_POINTAGE)
                stored.PREMIER_POINTAGE = p.PREMIER_POINTAGE;
            if (stored.DERNIER_POINTAGE == 0 || stored.DERNIER_POINTAGE < p.DERNIER_POINTAGE)
                stored.DERNIER_POINTAGE = p.DERNIER_POINTAGE;
            r = file.put(stored);
        }
        if (!r.ok())
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
    r.lignes = lecture.lignes;
    r.ignorees = lecture.ignorees;
    r.octetsLus = lecture.octets;
    r.fichierAbsent = lecture.absent;
    if (lecture.pointages.empty())
        return r;
    std::sort(lecture.pointages.begin(), lecture.pointages.end(), [](const Pointage& a, const Pointage& b) {
        if (a.date != b.date)
            return a.date < b.date;
        if (a.minute != b.minute)
            return a.minute < b.minute;
        return a.ordre < b.ordre;
    });

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
    for (const Pointage& p : lecture.pointages) {
        if (progression.lignes && (fait % 64) == 0)
            progression.lignes(fait, total);
        ++fait;
        if (p.date != dateCourante) {
            // Lines two days back are no longer reachable by the punches still to come.
            if (!journees.ecrireAvant(p.date - 1))
                break;
            dateCourante = p.date;
        }
        auto it = employes.find(p.carte);
        if (it == employes.end()) {
            r.rejets << QStringLiteral("Numéro inconnu: ") + quand(p.carte, p.date, p.minute);
            continue;
        }
        Personnel& emp = it->fiche;
        bool periode = false;
        for (size_t i = 0; i < emp.PERIODE_INACTIVITE_DEBUT.size() && !periode; ++i)
            periode = emp.PERIODE_INACTIVITE_DEBUT[i] <= p.date && p.date <= emp.PERIODE_INACTIVITE_FIN[i];
        if (periode) {
            r.rejets << QStringLiteral("Pointage en période d'inactivité: ") + quand(p.carte, p.date, p.minute);
            continue;
        }
        if (!(emp.DATE_EMBAUCHE <= p.date && p.date <= emp.DATE_DEBAUCHE)) {
            r.rejets << QStringLiteral("Cet employé n'est pas considéré embauché: ") + quand(p.carte, p.date, p.minute);
            continue;
        }
        if (progression.personne && carteAffichee != p.carte) {
            progression.personne(p.carte, emp.NOM);
            carteAffichee = p.carte;
        }
        // A punch already on its own date's line, or on the day before's as minute + 1440, is stored.
        Journees::Entree& duJour = journees.ligne(p.carte, p.date);
        Journees::Entree& veille = journees.ligne(p.carte, p.date - 1);
        auto contient = [](const Journees::Entree& e, int v) {
            if (!e.existe)
                return false;
            for (int i = 0; i < PunchSlotsUsed; ++i)
                if (e.ligne.POINTAGE_ORIGINE[size_t(i)] == v)
                    return true;
            return false;
        };
        if (contient(duJour, p.minute) || contient(veille, p.minute + 1440)) {
            ++r.doublons;
            continue;
        }
        const ChoixJournee choix = ChoisirJournee(emp, p.date, p.minute, journees);
        Journees::Entree& cible = choix.veille ? veille : duJour;
        if (InsererPointage(cible.ligne, cible.existe ? LigneJournee::Existante : LigneJournee::Nouvelle, choix.valeur,
                            p.terminal) != ResultatInsertion::Insere) {
            ++r.doublons;
            continue;
        }
        if (!cible.existe) {
            const PointVal vide = ligneVide(emp, choix.date);
            cible.ligne.CARTE = vide.CARTE;
            cible.ligne.MATRICULE = vide.MATRICULE;
            cible.ligne.NOM = vide.NOM;
            cible.ligne.PRENOM = vide.PRENOM;
            cible.ligne.DATE = vide.DATE;
            cible.ligne.NUM_SEMAINE = vide.NUM_SEMAINE;
            cible.ligne.NUM_ANNEE = vide.NUM_ANNEE;
            cible.ligne.INACTIF = 0;
            cible.existe = true;
        }
        CalculerProgramme(cible.ligne, emp);
        CalculerTotal(cible.ligne);
        cible.modifiee = true;
        // The employee's punch dates are those of the punch's own calendar date.
        if (emp.PREMIER_POINTAGE == 0 || emp.PREMIER_POINTAGE > p.date)
            emp.PREMIER_POINTAGE = p.date;
        if (emp.DERNIER_POINTAGE == 0 || emp.DERNIER_POINTAGE < p.date)
            emp.DERNIER_POINTAGE = p.date;
        ++r.stockes;
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
        r.stockes = 0;
        return r;
    }
    if (progression.lignes)
        progression.lignes(total, total);
    return r;
}

} // namespace kip
