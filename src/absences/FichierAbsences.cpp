#include "FichierAbsences.h"

#include "calendar/Dates.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <limits>
#include <map>

namespace kip {

namespace {

FileError erreurTexte(const QString& texte, const QString& label)
{
    FileError e = makeError(DriverError, 0, texte);
    e.text = texte;
    e.label = label;
    return e;
}

// Reads every record of the cursor into out, up to its end.
template <class R> FileError lireTout(Cursor<R> c, std::vector<R>& out)
{
    for (;;) {
        R r;
        const FileError e = c.next(r);
        if (e.code == EndOfFile)
            return {};
        if (!e.ok())
            return e;
        out.push_back(std::move(r));
    }
}

QString texteType(const TypeAbsence& t)
{
    return QStringLiteral("%1=%2, couleur #%3, %4, solde %5")
        .arg(t.CODE, t.LIBELLE, QStringLiteral("%1").arg(t.COULEUR, 6, 16, QLatin1Char('0')),
             t.CREDITE ? QStringLiteral("crédité") : QStringLiteral("non crédité"),
             t.SOLDE.isEmpty() ? QStringLiteral("aucun") : t.SOLDE);
}

Journal entreeCarte(const IdentiteCartes& identites, qint16 carte, qint32 date)
{
    if (auto it = identites.find(carte); it != identites.end())
        return entreeJournal(*it, date);
    Journal j;
    j.CARTE = carte;
    j.JOUR = date;
    return j;
}

} // namespace

Result<std::vector<TypeAbsence>> LireTypes(Database& db)
{
    FileUse use(FileId::TypeAbsence);
    RecordFile<TypeAbsence> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    std::vector<TypeAbsence> types;
    TypeAbsence debut;
    if (FileError e = lireTout(fichier.read(TAB_K_CODE, debut), types); !e.ok())
        return e;
    if (types.empty())
        return TypesParDefaut();
    return types;
}

FileError EnregistrerTypes(Database& db, const std::vector<TypeAbsence>& types)
{
    const QString label = QLatin1String(TypeAbsence::Label);
    if (const QString e = ErreurTypes(types); !e.isEmpty())
        return erreurTexte(e, label);
    FileUse useTypes(FileId::TypeAbsence);
    FileUse useAbsences(FileId::Absence);
    FileUse useJournal(FileId::Journal);
    Transaction t(db, {FileId::TypeAbsence, FileId::Absence, FileId::Journal});
    if (!t.ok())
        return t.error();
    RecordFile<TypeAbsence> fichier(db);
    std::vector<TypeAbsence> anciens;
    if (FileError e = lireTout(fichier.read(TAB_K_CODE, TypeAbsence{}), anciens); !e.ok())
        return e;
    // The types in force until now, stored or not: the usual ones were in force while none was stored.
    const bool defaut = anciens.empty();
    std::vector<TypeAbsence> enVigueur = defaut ? TypesParDefaut() : anciens;
    RecordFile<Absence> absences(db);
    for (const TypeAbsence& ancien : enVigueur) {
        if (TypeDuCode(types, ancien.CODE))
            continue;
        Absence trouvee;
        trouvee.CODE = ancien.CODE;
        const FileError e = absences.get(trouvee, ABS_K_CODE);
        if (e.ok())
            return erreurTexte(QStringLiteral("Le type %1 ne peut pas être supprimé: des absences l'utilisent "
                                              "(carte %2 le %3).")
                                   .arg(ancien.CODE)
                                   .arg(trouvee.CARTE)
                                   .arg(DateTexte(trouvee.DATE)),
                               label);
        if (e.code != NotFound)
            return e;
    }
    // Every stored type is removed and the list written anew: a code may move from one type to another.
    for (const TypeAbsence& ancien : anciens)
        if (FileError e = fichier.remove(ancien); !e.ok())
            return e;
    for (TypeAbsence nouveau : types) {
        nouveau.rowid = 0;
        if (FileError e = fichier.add(nouveau); !e.ok())
            return e;
    }
    // The journal says what changed for each code.
    auto journaliser = [&](const QString& avant, const QString& apres) {
        Journal j;
        j.AVANT = avant;
        j.APRES = apres;
        j.CAUSE = QString::fromUtf8(CauseJournal::TypesAbsence);
        return ajouterAuJournal(t, j);
    };
    for (const TypeAbsence& ancien : enVigueur) {
        const TypeAbsence* nouveau = TypeDuCode(types, ancien.CODE);
        const QString avant = texteType(ancien);
        const QString apres = nouveau ? texteType(*nouveau) : QStringLiteral("(supprimé)");
        if (avant != apres)
            if (FileError e = journaliser(avant, apres); !e.ok())
                return e;
    }
    for (const TypeAbsence& nouveau : types)
        if (!TypeDuCode(enVigueur, nouveau.CODE))
            if (FileError e = journaliser(QStringLiteral("(nouveau)"), texteType(nouveau)); !e.ok())
                return e;
    return t.commit();
}

Result<std::vector<Absence>> LireAbsences(Database& db, qint32 debut, qint32 fin)
{
    FileUse use(FileId::Absence);
    RecordFile<Absence> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    Absence de, a;
    de.DATE = debut;
    a.DATE = fin;
    a.CARTE = std::numeric_limits<qint16>::max();
    a.PARTIE = 255;
    std::vector<Absence> out;
    if (FileError e = lireTout(fichier.read(ABS_K_DATE_CARTE, de, Direction::Forward, &a), out); !e.ok())
        return e;
    return out;
}

Result<std::vector<Absence>> LireAbsencesCarte(Database& db, qint16 carte, qint32 debut, qint32 fin)
{
    FileUse use(FileId::Absence);
    RecordFile<Absence> fichier(db);
    if (FileError e = fichier.open(); !e.ok())
        return e;
    Absence de, a;
    de.CARTE = a.CARTE = carte;
    de.DATE = debut;
    a.DATE = fin;
    a.PARTIE = 255;
    std::vector<Absence> out;
    if (FileError e = lireTout(fichier.read(ABS_K_CARTE_DATE, de, Direction::Forward, &a), out); !e.ok())
        return e;
    return out;
}

Result<JourAbsences> LireJourAbsences(Database& db, qint16 carte, qint32 date)
{
    Result<std::vector<Absence>> lues = LireAbsencesCarte(db, carte, date, date);
    if (!lues)
        return lues.error();
    JourAbsences jour{carte, date, std::move(*lues)};
    return jour;
}

Result<std::vector<JourAbsences>> EnregistrerJours(Database& db, const std::vector<JourAbsences>& jours,
                                                   const IdentiteCartes& identites, const QString& cause)
{
    Result<std::vector<TypeAbsence>> types = LireTypes(db);
    if (!types)
        return types.error();
    for (const JourAbsences& j : jours)
        if (const QString e = ErreurJour(j, *types); !e.isEmpty())
            return erreurTexte(e, QLatin1String(Absence::Label));
    FileUse useAbsences(FileId::Absence);
    FileUse useJournal(FileId::Journal);
    Transaction t(db, {FileId::Absence, FileId::Journal});
    if (!t.ok())
        return t.error();
    RecordFile<Absence> fichier(db);
    std::vector<JourAbsences> anciens;
    // A day named twice is written as its last state, and given back as it was before the first.
    std::map<std::pair<qint16, qint32>, size_t> vus;
    for (const JourAbsences& nouveau : jours) {
        Absence de, a;
        de.CARTE = a.CARTE = nouveau.carte;
        de.DATE = a.DATE = nouveau.date;
        a.PARTIE = 255;
        JourAbsences ancien{nouveau.carte, nouveau.date, {}};
        if (FileError e = lireTout(fichier.read(ABS_K_CARTE_DATE, de, Direction::Forward, &a), ancien.absences);
            !e.ok())
            return e;
        if (ancien.memesAbsences(nouveau))
            continue;
        if (!vus.count({nouveau.carte, nouveau.date})) {
            vus[{nouveau.carte, nouveau.date}] = anciens.size();
            anciens.push_back(ancien);
        }
        for (const Absence& x : ancien.absences)
            if (FileError e = fichier.remove(x); !e.ok())
                return e;
        for (Absence x : nouveau.absences) {
            x.rowid = 0;
            // The code is stored as the type has it, whatever case it was typed in.
            x.CODE = TypeDuCode(*types, x.CODE)->CODE;
            if (FileError e = fichier.add(x); !e.ok())
                return e;
        }
        Journal entree = entreeCarte(identites, nouveau.carte, nouveau.date);
        entree.AVANT = TexteJourAbsences(ancien);
        entree.APRES = TexteJourAbsences(nouveau);
        entree.CAUSE = cause;
        if (FileError e = ajouterAuJournal(t, entree); !e.ok())
            return e;
    }
    if (FileError e = t.commit(); !e.ok())
        return e;
    for (JourAbsences& j : anciens)
        for (Absence& a : j.absences)
            a.rowid = 0;
    return anciens;
}

} // namespace kip
