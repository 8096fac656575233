#include "FichierPersonnel.h"

#include "ReglesFiche.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

namespace kip {

bool lireParametre(Database& db, Parametre& parametre)
{
    RecordFile<Parametre> file(db);
    FileError e = file.open();
    if (e.ok()) {
        e = file.first(parametre);
        if (e.code == EndOfFile) {
            parametre = Parametre{};
            return true;
        }
    }
    if (e.ok())
        return true;
    Message(35, e, QStringLiteral("PARAMETRE"));
    return false;
}

bool ajouterEmploye(Database& db, Personnel& rec)
{
    // The employee and its journal entry are written together or not at all.
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::Personnel, FileId::Journal});
    FileError e = t.error();
    if (e.ok())
        e = RecordFile<Personnel>(db).add(rec);
    if (e.ok()) {
        Journal entree = entreeJournal(rec);
        differencesEmploye(nullptr, &rec, &entree.AVANT, &entree.APRES);
        entree.CAUSE = QString::fromUtf8(CauseJournal::AjoutEmploye);
        e = ajouterAuJournal(t, entree);
    }
    if (e.ok())
        e = t.commit();
    if (e.ok())
        return true;
    t.rollback();
    rec.rowid = 0;
    if (e.code == DuplicateKey) {
        Message(24, descriptionCle(e.key));
        return false;
    }
    Message(14, e);
    return false;
}

bool differe(const Personnel& a, const Personnel& b)
{
    return pack(a) != pack(b) || a.NOM != b.NOM || a.PRENOM != b.PRENOM || a.MATRICULE != b.MATRICULE ||
           a.MESSAGE != b.MESSAGE;
}

namespace {

// Shows the wait cursor for the length of one write.
class Attente
{
public:
    explicit Attente(const std::function<void(bool)>& f) : m_f(f)
    {
        if (m_f)
            m_f(true);
    }
    ~Attente()
    {
        if (m_f)
            m_f(false);
    }
    Attente(const Attente&) = delete;
    Attente& operator=(const Attente&) = delete;

private:
    const std::function<void(bool)>& m_f;
};

} // namespace

IssueModification modifierEmploye(Database& db, Personnel& rec, Personnel& copie, LinkValues& liens,
                                  const std::function<void(bool)>& attente)
{
    if (!differe(rec, copie))
        return IssueModification::Inchangee;
    for (;;) {
        FileError resultat;
        {
            Attente curseur(attente);
            resultat = updateEmployee(db, rec, liens);
        }
        if (resultat.ok()) {
            copie = rec;
            liens = LinkValues::of(rec);
            return IssueModification::Enregistree;
        }
        if (resultat.code == ChangedElsewhere) {
            // The stored employee is the new starting point: its link values are the ones its day lines carry.
            copie = rec;
            liens = LinkValues::of(rec);
            return IssueModification::ModifieeAilleurs;
        }
        const int bouton = Message(16);
        if (bouton == ButtonNo)
            return IssueModification::Abandonnee;
        if (bouton != ButtonYes)
            return IssueModification::Gardee;
    }
}

Reponse supprimerEmploye(Database& db, const Personnel& rec, const std::function<void(bool)>& attente)
{
    if (Message(32) != ButtonOk)
        return Reponse::Annulee;
    for (;;) {
        FileError resultat;
        {
            Attente curseur(attente);
            resultat = deleteEmployee(db, rec);
        }
        if (resultat.ok())
            return Reponse::Complete;
        if (Message(18) != ButtonYes)
            return Reponse::Annulee;
    }
}

} // namespace kip
