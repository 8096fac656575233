// The common report run.
#include "ExecutionEdition.h"

#include "calendar/Clock.h"
#include "data/EmployeeReads.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QDir>

namespace kip {

namespace {

// The employees in the order of the sort mode's key, each filtered by the range.
class LecturePersonnel
{
public:
    LecturePersonnel(Database& db, const ParametresEdition& p) : m_db(db), m_p(p) {}

    FileError compter(qint64& total)
    {
        Result<qint64> n = RecordFile<Personnel>(m_db).records();
        if (!n)
            return n.error();
        total = *n;
        return {};
    }

    FileError suivante(Personnel& per)
    {
        if (!m_employes) {
            const EmployeeKey cle = m_p.tri == Tri::Numero ? EmployeeKey::Card
                                    : m_p.tri == Tri::Nom  ? EmployeeKey::Name
                                                           : EmployeeKey::Matricule;
            m_employes.emplace(readEmployeesInOrder(m_db, cle));
        }
        for (;;) {
            if (FileError e = m_employes->next(per); !e.ok())
                return e;
            ++m_lus;
            if (m_lu)
                m_lu();
            if (dansLaSelection(per))
                return {};
        }
    }
    qint64 lus() const { return m_lus; }
    void suivreLecture(std::function<void()> lu) { m_lu = std::move(lu); }

private:
    bool dansLaSelection(const Personnel& per) const
    {
        switch (m_p.tri) {
        case Tri::Numero:
            return per.CARTE >= m_p.carteDebut && per.CARTE <= m_p.carteFin;
        case Tri::Nom:
            return comparerCle(m_p.nomDebut.trimmed(), per.NOM) <= 0 && comparerCle(per.NOM, m_p.nomFin.trimmed()) <= 0;
        case Tri::Matricule:
            return comparerCle(m_p.matriculeDebut.trimmed(), per.MATRICULE) <= 0 &&
                   comparerCle(per.MATRICULE, m_p.matriculeFin.trimmed()) <= 0;
        }
        return false;
    }

    Database& m_db;
    const ParametresEdition& m_p;
    std::optional<Cursor<Personnel>> m_employes;
    qint64 m_lus = 0;
    std::function<void()> m_lu;
};

// The records of the report's source that pass its filter, one after the other.
class Source
{
public:
    Source(Database& db, const Edition& edition, const ParametresEdition& p, LectureJournees::Mode mode)
        : m_edition(edition), m_journees(db, p, mode), m_personnel(db, p)
    {
    }
    bool journees() const { return m_edition.source() == SourceEdition::Journees; }
    FileError compter(qint64& total) { return journees() ? m_journees.compter(total) : m_personnel.compter(total); }
    // The next record that passes the filter; EndOfFile after the last.
    FileError suivante()
    {
        if (!journees())
            return m_personnel.suivante(personnel);
        for (;;) {
            const FileError e = m_journees.suivante(journee);
            if (!e.ok() || journee.INACTIF == 0 || m_edition.avecLignesInactives())
                return e;
        }
    }
    // The lines suivante() will give, in the same snapshot.
    FileError compterLignes(qint64& total) { return m_journees.compterLignes(total, m_edition.avecLignesInactives()); }
    qint64 lus() const { return journees() ? m_journees.lus() : m_personnel.lus(); }
    void suivreLecture(const std::function<void()>& lu)
    {
        m_journees.suivreLecture(lu);
        m_personnel.suivreLecture(lu);
    }

    PointVal journee;
    Personnel personnel;

private:
    const Edition& m_edition;
    LectureJournees m_journees;
    LecturePersonnel m_personnel;
};

} // namespace

ResultatEdition ExecuterEdition(Database& db, Edition& edition, const ParametresEdition& parametres,
                                const ControleExecution& controle)
{
    ResultatEdition r;
    const qint32 aujourdhui = Clock::today();
    auto arrete = [&] { return controle.annuler && controle.annuler->load(); };

    // One read transaction, one snapshot of the employees and the day lines for the whole run; a caller
    // that holds one already (kiptool) keeps it in charge.
    std::optional<Transaction> instantane;
    if (!db.inTransaction()) {
        instantane.emplace(db, std::initializer_list<FileId>{FileId::Personnel, FileId::PointVal},
                           Transaction::Lecture);
        if (!instantane->ok()) {
            r.issue = ResultatEdition::Issue::Erreur;
            r.erreurLecture = instantane->error();
            return r;
        }
    }

    Source source(db, edition, parametres, controle.lecture);
    if (FileError e = source.compter(r.aLire); !e.ok()) {
        r.issue = ResultatEdition::Issue::Erreur;
        r.erreurLecture = e;
        return r;
    }
    int affiche = -1;
    auto avancer = [&] {
        if (affiche == 100)
            return;
        const qint64 fait = source.lus();
        const int p = r.aLire > 0 ? int(std::min<qint64>(100, fait * 100 / r.aLire)) : 0;
        if (p != affiche) {
            affiche = p;
            if (controle.progression)
                controle.progression(p);
        }
    };
    avancer();
    // The counting pass reads the snapshot that the printing pass reads: no line written in between can
    // make the two disagree.
    qint64 comptees = -1;
    if (edition.avecComptage() && source.journees()) {
        if (FileError e = source.compterLignes(comptees); !e.ok()) {
            r.issue = ResultatEdition::Issue::Erreur;
            r.erreurLecture = e;
            return r;
        }
    }
    source.suivreLecture(avancer);

    auto lire = [&]() -> bool {
        const FileError e = source.suivante();
        r.lus = source.lus();
        if (!e.ok() && e.code != EndOfFile)
            r.erreurLecture = e;
        return e.ok();
    };

    if (!lire()) {
        r.issue = arrete() ? ResultatEdition::Issue::Annulee : ResultatEdition::Issue::Vide;
        return r;
    }
    Pagination pagination(controle.miseEnPage, r.pages);
    ContexteEdition contexte{parametres, aujourdhui, pagination, db, comptees};
    edition.ouvrir(contexte);
    do {
        if (arrete()) {
            r.pages.vider();
            r.issue = ResultatEdition::Issue::Annulee;
            return r;
        }
        if (source.journees())
            edition.journee(source.journee);
        else
            edition.employe(source.personnel);
        ++r.imprimees;
    } while (lire());
    if (arrete()) {
        r.pages.vider();
        r.issue = ResultatEdition::Issue::Annulee;
        return r;
    }
    const bool fermee = edition.fermer();
    if (FileError e = edition.erreur(); !e.ok()) {
        r.pages.vider();
        r.issue = ResultatEdition::Issue::Erreur;
        r.erreurLecture = e;
        return r;
    }
    if (!fermee) {
        r.erreurPages = QStringLiteral("Les pages du rapport n'ont pu être écrites dans %1 (%2).")
                            .arg(r.pages.repertoire().isEmpty() ? QDir::tempPath() : r.pages.repertoire(),
                                 r.pages.erreurEcriture().description());
        r.pages.vider();
        r.issue = ResultatEdition::Issue::Erreur;
        return r;
    }
    r.issue = ResultatEdition::Issue::Complete;
    return r;
}

} // namespace kip
