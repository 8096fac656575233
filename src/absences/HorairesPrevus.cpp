#include "HorairesPrevus.h"

#include "ReglesAbsences.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <algorithm>

namespace kip {

namespace {

const std::vector<Horaire> g_aucun;

QString texteMotif(const MinutesSemaine& m)
{
    static const char* const jours[] = {"lun", "mar", "mer", "jeu", "ven", "sam", "dim"};
    QStringList t;
    for (int i = 0; i < JoursParSemaine; ++i)
        t << QStringLiteral("%1 %2").arg(QLatin1String(jours[i]), HeureTexte(m[size_t(i)]).trimmed());
    return t.join(QStringLiteral(", "));
}

} // namespace

ReglagesAbsences ReglagesParDefaut()
{
    ReglagesAbsences r;
    r.MARGE_ATTENDU = MargeAttenduParDefaut;
    r.HORAIRE_DEFAUT = {MinutesJourOuvreParDefaut,
                        MinutesJourOuvreParDefaut,
                        MinutesJourOuvreParDefaut,
                        MinutesJourOuvreParDefaut,
                        MinutesJourOuvreParDefaut,
                        0,
                        0};
    r.DECOMPTE_CONGES = quint8(DecompteConges::Ouvrables);
    return r;
}

qint32 TotalMotif(const MinutesSemaine& minutes)
{
    qint32 total = 0;
    for (qint16 m : minutes)
        total += m;
    return total;
}

int IndexJour(qint32 date)
{
    return (jourSemaine(date) + 6) % 7; // Sunday (0) goes last
}

HorairesPrevus::HorairesPrevus(std::vector<Horaire> horaires, const MinutesSemaine& defaut) : m_defaut(defaut)
{
    for (Horaire& h : horaires)
        m_parCarte[h.CARTE].push_back(std::move(h));
    for (auto& liste : m_parCarte)
        std::sort(liste.begin(), liste.end(), [](const Horaire& a, const Horaire& b) { return a.DEBUT < b.DEBUT; });
}

const Horaire* HorairesPrevus::horaire(qint16 carte, qint32 date) const
{
    const auto it = m_parCarte.find(carte);
    if (it == m_parCarte.end())
        return nullptr;
    // The last record that starts on or before the date.
    const auto apres =
        std::upper_bound(it->begin(), it->end(), date, [](qint32 d, const Horaire& h) { return d < h.DEBUT; });
    return apres == it->begin() ? nullptr : &*(apres - 1);
}

const MinutesSemaine& HorairesPrevus::motif(qint16 carte, qint32 date) const
{
    if (const Horaire* h = horaire(carte, date))
        return h->MINUTES;
    // A card whose first record starts later had no planned hours of its own before it: the default applies.
    return m_defaut;
}

qint32 HorairesPrevus::minutes(const Personnel& employe, qint32 date) const
{
    if (!EnActivite(employe, date))
        return 0;
    return motif(employe.CARTE, date)[size_t(IndexJour(date))];
}

const std::vector<Horaire>& HorairesPrevus::deLaCarte(qint16 carte) const
{
    const auto it = m_parCarte.find(carte);
    return it == m_parCarte.end() ? g_aucun : *it;
}

bool EnActivite(const Personnel& e, qint32 date)
{
    if (e.DATE_EMBAUCHE && date < e.DATE_EMBAUCHE)
        return false;
    if (e.DATE_DEBAUCHE && date > e.DATE_DEBAUCHE)
        return false;
    for (size_t i = 0; i < e.PERIODE_INACTIVITE_DEBUT.size(); ++i) {
        const qint32 debut = e.PERIODE_INACTIVITE_DEBUT[i];
        const qint32 fin = e.PERIODE_INACTIVITE_FIN[i];
        if (debut && date >= debut && (!fin || date <= fin))
            return false;
    }
    return true;
}

Result<ReglagesAbsences> LireReglages(Database& db)
{
    FileUse use(FileId::ReglagesAbsences);
    RecordFile<ReglagesAbsences> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    ReglagesAbsences r;
    const FileError e = fichier.first(r);
    if (e.code == EndOfFile)
        return ReglagesParDefaut();
    if (!e.ok())
        return e;
    return r;
}

FileError EnregistrerReglages(Database& db, const ReglagesAbsences& reglages)
{
    if (const QString e = ErreurMotif(reglages.HORAIRE_DEFAUT); !e.isEmpty()) {
        FileError err = makeError(DriverError, 0, e);
        err.text = e;
        err.label = QLatin1String(ReglagesAbsences::Label);
        return err;
    }
    FileUse use(FileId::ReglagesAbsences);
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::ReglagesAbsences, FileId::Journal});
    if (!t.ok())
        return t.error();
    RecordFile<ReglagesAbsences> fichier(db);
    ReglagesAbsences ancien;
    FileError e = fichier.first(ancien);
    const bool nouveau = e.code == EndOfFile;
    if (!nouveau && !e.ok())
        return e;
    const ReglagesAbsences avant = nouveau ? ReglagesParDefaut() : ancien;
    ReglagesAbsences r = reglages;
    r.rowid = ancien.rowid;
    r.version = ancien.version;
    e = nouveau ? fichier.add(r) : fichier.put(r);
    if (!e.ok())
        return e;
    auto texte = [](const ReglagesAbsences& x) {
        return QStringLiteral("Alsace-Moselle %1; marge %2; horaire par défaut %3; congés en jours %4")
            .arg(x.ALSACE_MOSELLE ? QStringLiteral("oui") : QStringLiteral("non"),
                 HeureTexte(x.MARGE_ATTENDU).trimmed(), texteMotif(x.HORAIRE_DEFAUT),
                 x.DECOMPTE_CONGES == quint8(DecompteConges::Ouvres) ? QStringLiteral("ouvrés")
                                                                     : QStringLiteral("ouvrables"));
    };
    if (texte(avant) != texte(r)) {
        Journal j;
        j.AVANT = texte(avant);
        j.APRES = texte(r);
        j.CAUSE = QString::fromUtf8(CauseJournal::ReglagesAbsences);
        if (e = ajouterAuJournal(t, j); !e.ok())
            return e;
    }
    return t.commit();
}

Result<HorairesPrevus> LireHoraires(Database& db)
{
    Result<ReglagesAbsences> reglages = LireReglages(db);
    if (!reglages)
        return reglages.error();
    FileUse use(FileId::Horaire);
    RecordFile<Horaire> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    std::vector<Horaire> tous;
    Cursor<Horaire> c = fichier.readAll();
    for (;;) {
        Horaire h;
        const FileError e = c.next(h);
        if (e.code == EndOfFile)
            break;
        if (!e.ok())
            return e;
        tous.push_back(h);
    }
    return HorairesPrevus(std::move(tous), reglages->HORAIRE_DEFAUT);
}

Result<std::vector<Horaire>> LireHorairesCarte(Database& db, qint16 carte)
{
    FileUse use(FileId::Horaire);
    RecordFile<Horaire> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    Horaire de, a;
    de.CARTE = a.CARTE = carte;
    de.DEBUT = std::numeric_limits<qint32>::min();
    a.DEBUT = std::numeric_limits<qint32>::max();
    std::vector<Horaire> out;
    Cursor<Horaire> c = fichier.read(HOR_K_CARTE_DEBUT, de, Direction::Forward, &a);
    for (;;) {
        Horaire h;
        const FileError e = c.next(h);
        if (e.code == EndOfFile)
            break;
        if (!e.ok())
            return e;
        out.push_back(h);
    }
    return out;
}

QString ErreurMotif(const MinutesSemaine& minutes)
{
    for (qint16 m : minutes)
        if (m < 0 || m > MinutesJour)
            return QStringLiteral("Les heures prévues d'un jour vont de 0.00 à 24.00.");
    return {};
}

FileError EnregistrerHoraire(Database& db, const Personnel& employe, Horaire horaire, bool propre)
{
    if (const QString e = ErreurMotif(horaire.MINUTES); !e.isEmpty()) {
        FileError err = makeError(DriverError, 0, e);
        err.text = e;
        err.label = QLatin1String(Horaire::Label);
        return err;
    }
    Result<ReglagesAbsences> reglages = LireReglages(db);
    if (!reglages)
        return reglages.error();
    FileUse use(FileId::Horaire);
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::Horaire, FileId::Journal});
    if (!t.ok())
        return t.error();
    Result<std::vector<Horaire>> lus = LireHorairesCarte(db, employe.CARTE);
    if (!lus)
        return lus.error();
    const HorairesPrevus actuels(*lus, reglages->HORAIRE_DEFAUT);
    const MinutesSemaine avant = actuels.motif(employe.CARTE, horaire.DEBUT);
    if (avant == horaire.MINUTES && !(propre && lus->empty()))
        return {};
    horaire.CARTE = employe.CARTE;
    RecordFile<Horaire> fichier(db);
    const Horaire* meme = actuels.horaire(employe.CARTE, horaire.DEBUT);
    FileError e;
    if (meme && meme->DEBUT == horaire.DEBUT) {
        horaire.rowid = meme->rowid;
        horaire.version = meme->version;
        e = fichier.put(horaire);
    } else {
        horaire.rowid = 0;
        e = fichier.add(horaire);
    }
    if (!e.ok())
        return e;
    Journal j = entreeJournal(employe);
    const QString depuis = horaire.DEBUT ? QStringLiteral(" à partir du %1").arg(DateTexte(horaire.DEBUT)) : QString();
    j.AVANT = texteMotif(avant);
    j.APRES = texteMotif(horaire.MINUTES) + depuis;
    j.CAUSE = QString::fromUtf8(CauseJournal::HoraireEmploye);
    if (e = ajouterAuJournal(t, j); !e.ok())
        return e;
    return t.commit();
}

} // namespace kip
