#include "FichierSoldes.h"

#include "absences/FichierAbsences.h"
#include "calendar/Dates.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QHash>
#include <algorithm>
#include <limits>

namespace kip {

namespace {

bool compteConnu(const QString& compte)
{
    for (const char* c : {CompteSolde::Heures, CompteSolde::Conges, CompteSolde::Rtt, CompteSolde::Recuperation})
        if (compte == QLatin1String(c))
            return true;
    return false;
}

bool enMinutes(const QString& compte)
{
    return compte == QLatin1String(CompteSolde::Heures) || compte == QLatin1String(CompteSolde::Recuperation);
}

FileError refus(const QString& texte)
{
    FileError e = makeError(DriverError, 0, texte);
    e.text = texte;
    e.label = QLatin1String(Solde::Label);
    return e;
}

// Writes the records (each replacing the one of its card, account, date and nature) and their journal entries
// inside the transaction.
FileError ecrire(Transaction& t, Database& db, const std::vector<std::pair<Solde, Journal>>& ecritures)
{
    RecordFile<Solde> fichier(db);
    for (auto [solde, entree] : ecritures) {
        Solde ancien = solde;
        FileError e = fichier.get(ancien, SOL_K_CARTE_COMPTE);
        const bool existe = e.ok();
        if (!existe && e.code != NotFound && e.code != EndOfFile)
            return e;
        entree.AVANT = existe ? TexteSolde(ancien) : QStringLiteral("(aucun)");
        if (existe) {
            solde.rowid = ancien.rowid;
            solde.version = ancien.version;
            e = fichier.put(solde);
        } else {
            solde.rowid = 0;
            e = fichier.add(solde);
        }
        if (!e.ok())
            return e;
        entree.APRES = TexteSolde(solde);
        if (e = ajouterAuJournal(t, entree); !e.ok())
            return e;
    }
    return {};
}

} // namespace

Result<SoldesLus> LireDonneesSoldes(Database& db, qint16 carteDebut, qint16 carteFin, qint32 fin)
{
    SoldesLus lus;
    // The files are opened before the read transaction: a common open must not run inside it.
    FileUse personnel(FileId::Personnel), pointval(FileId::PointVal), types(FileId::TypeAbsence),
        absences(FileId::Absence), horaires(FileId::Horaire), reglages(FileId::ReglagesAbsences), soldes(FileId::Solde);
    const Transaction lecture(db,
                              {FileId::Personnel, FileId::PointVal, FileId::TypeAbsence, FileId::Absence,
                               FileId::Horaire, FileId::ReglagesAbsences, FileId::Solde},
                              Transaction::Lecture);
    if (!lecture.ok())
        return lecture.error();
    Result<std::vector<TypeAbsence>> t = LireTypes(db);
    if (!t)
        return t.error();
    Result<ReglagesAbsences> r = LireReglages(db);
    if (!r)
        return r.error();
    Result<HorairesPrevus> h = LireHoraires(db);
    if (!h)
        return h.error();
    lus.contexte = {std::move(*t), std::move(*h), *r};

    QHash<qint16, size_t> index;
    {
        RecordFile<Personnel> fichier(db);
        Personnel de, a;
        de.CARTE = carteDebut;
        a.CARTE = carteFin;
        Cursor<Personnel> c = fichier.read(PER_K_CARTE, de, Direction::Forward, &a);
        for (;;) {
            DonneesSoldes d;
            const FileError e = c.next(d.employe);
            if (e.code == EndOfFile)
                break;
            if (!e.ok())
                return e;
            index.insert(d.employe.CARTE, lus.employes.size());
            lus.employes.push_back(std::move(d));
        }
    }
    auto de = [&](qint16 carte) -> DonneesSoldes* {
        const auto it = index.constFind(carte);
        return it == index.cend() ? nullptr : &lus.employes[*it];
    };
    Result<std::vector<Absence>> abs = LireAbsences(db, 0, fin);
    if (!abs)
        return abs.error();
    for (Absence& a : *abs)
        if (DonneesSoldes* d = de(a.CARTE))
            d->absences.push_back(std::move(a));
    Result<std::vector<Solde>> sol = LireSoldes(db, carteDebut, carteFin);
    if (!sol)
        return sol.error();
    for (Solde& s : *sol)
        if (DonneesSoldes* d = de(s.CARTE))
            d->soldes.push_back(std::move(s));
    DonneesSoldes* courant = nullptr;
    const FileError e = LireTotauxJours(db, carteDebut, carteFin, 0, fin, [&](const TotalJour& jour) {
        if (!courant || courant->employe.CARTE != jour.carte)
            courant = de(jour.carte);
        if (courant && courant->employe.CARTE == jour.carte)
            courant->totaux.push_back(jour);
    });
    if (!e.ok())
        return e;
    return lus;
}

QString ErreurSolde(const Solde& s)
{
    if (!compteConnu(s.COMPTE))
        return QStringLiteral("Le compte d'un solde est HEUR, CP, RTT ou REC.");
    if (s.nature() == NatureSolde::Credit && s.COMPTE != QLatin1String(CompteSolde::Rtt) &&
        s.COMPTE != QLatin1String(CompteSolde::Recuperation))
        return QStringLiteral("Seuls les soldes RTT et REC reçoivent des crédits.");
    if (s.nature() != NatureSolde::Depart && s.nature() != NatureSolde::Credit)
        return QStringLiteral("Un solde est un solde de départ ou un crédit.");
    if (s.DATE <= 0)
        return QStringLiteral("La date du solde manque.");
    return {};
}

FileError EnregistrerSolde(Database& db, const Personnel& employe, Solde solde)
{
    if (const QString e = ErreurSolde(solde); !e.isEmpty())
        return refus(e);
    solde.CARTE = employe.CARTE;
    if (solde.COMPTE == QLatin1String(CompteSolde::Conges)) {
        const QDate q = calendarDate(solde.DATE);
        solde.DATE = dayNumber(q.year(), q.month(), 1);
    } else {
        solde.VALEUR2 = 0;
    }
    FileUse use(FileId::Solde);
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::Journal, FileId::Solde});
    if (!t.ok())
        return t.error();
    if (solde.nature() == NatureSolde::Credit) {
        Solde ancien = solde;
        RecordFile<Solde> fichier(db);
        if (fichier.get(ancien, SOL_K_CARTE_COMPTE).ok())
            solde.VALEUR += ancien.VALEUR;
    }
    Journal j = entreeJournal(employe);
    j.CAUSE = QString::fromUtf8(solde.nature() == NatureSolde::Credit ? CauseJournal::CreditSolde
                                                                      : CauseJournal::SoldeDepart);
    if (FileError e = ecrire(t, db, {{solde, j}}); !e.ok())
        return e;
    return t.commit();
}

Result<int> ReporterSoldesAvantPurge(Database& db, qint32 finPurge)
{
    Result<SoldesLus> lus = LireDonneesSoldes(db, 1, std::numeric_limits<qint16>::max(), finPurge);
    if (!lus)
        return lus.error();
    std::vector<std::pair<Solde, Journal>> ecritures;
    for (const DonneesSoldes& d : lus->employes) {
        // An account already started after the end date (a purge to that date or later made before) counts no
        // line the purge removes; recomputed without those lines, its balance there would be wrong.
        if (std::any_of(d.soldes.begin(), d.soldes.end(), [&](const Solde& s) {
                return s.COMPTE == QLatin1String(CompteSolde::Heures) && s.nature() == NatureSolde::Depart &&
                       s.DATE > finPurge;
            }))
            continue;
        const std::vector<SemaineCompte> semaines = CompteTemps(d, lus->contexte, finPurge);
        if (semaines.empty())
            continue;
        Solde s;
        s.CARTE = d.employe.CARTE;
        s.COMPTE = QLatin1String(CompteSolde::Heures);
        s.DATE = finPurge + 1;
        s.NATURE = quint8(NatureSolde::Depart);
        s.VALEUR = semaines.back().solde;
        s.COMMENTAIRE = QStringLiteral("Purge jusqu'au %1").arg(DateTexte(finPurge));
        Journal j = entreeJournal(d.employe);
        j.CAUSE = QString::fromUtf8(CauseJournal::PurgeSoldes);
        ecritures.emplace_back(s, j);
    }
    if (ecritures.empty())
        return 0;
    FileUse use(FileId::Solde);
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::Journal, FileId::Solde});
    if (!t.ok())
        return t.error();
    if (FileError e = ecrire(t, db, ecritures); !e.ok())
        return e;
    if (FileError e = t.commit(); !e.ok())
        return e;
    return int(ecritures.size());
}

QString TexteSolde(const Solde& s)
{
    const bool credit = s.nature() == NatureSolde::Credit;
    QString valeur = enMinutes(s.COMPTE) ? TexteSoldeMinutes(s.VALEUR) : TexteJours(s.VALEUR);
    if (s.COMPTE == QLatin1String(CompteSolde::Conges) && !credit)
        valeur += QStringLiteral(" + %1 acquis dans la période").arg(TexteJours(s.VALEUR2));
    QString texte =
        QStringLiteral("%1 %2 %3: %4")
            .arg(s.COMPTE, credit ? QStringLiteral("crédit") : QStringLiteral("départ"), DateTexte(s.DATE), valeur);
    if (!s.COMMENTAIRE.trimmed().isEmpty())
        texte += QStringLiteral(" (%1)").arg(s.COMMENTAIRE.trimmed());
    return texte;
}

} // namespace kip
