#include "ColonnesSoldes.h"

#include "Csv.h"
#include "calendar/JoursFeries.h"
#include "soldes/FichierSoldes.h"

#include <QHash>

namespace kip {

struct ColonnesSoldes::Donnees
{
    SoldesLus lus;
    QHash<qint16, size_t> index;
    qint32 fin = 0;
    // The card in hand: its account week by week, and the sums of its weeks since its last total.
    qint16 carte = 0;
    std::vector<SemaineCompte> compte;
    std::vector<qint64> sommes;
    qint32 dernierSolde = 0;
    bool soldeConnu = false;

    const DonneesSoldes* employe(qint16 c)
    {
        const auto it = index.constFind(c);
        if (it == index.cend())
            return nullptr;
        const DonneesSoldes* d = &lus.employes[*it];
        if (c != carte) {
            carte = c;
            compte = CompteTemps(*d, lus.contexte, fin);
            sommes.assign(lus.contexte.types.size(), 0);
            soldeConnu = false;
        }
        return d;
    }
};

ColonnesSoldes::ColonnesSoldes(std::unique_ptr<Donnees> d) : m_d(std::move(d)) {}
ColonnesSoldes::ColonnesSoldes(ColonnesSoldes&&) noexcept = default;
ColonnesSoldes& ColonnesSoldes::operator=(ColonnesSoldes&&) noexcept = default;
ColonnesSoldes::~ColonnesSoldes() = default;

Result<ColonnesSoldes> ColonnesSoldes::lire(Database& db, qint16 carteDebut, qint16 carteFin, qint32 fin)
{
    Result<SoldesLus> lus = LireDonneesSoldes(db, carteDebut, carteFin, fin);
    if (!lus)
        return lus.error();
    auto d = std::make_unique<Donnees>();
    d->lus = std::move(*lus);
    d->fin = fin;
    for (size_t i = 0; i < d->lus.employes.size(); ++i)
        d->index.insert(d->lus.employes[i].employe.CARTE, i);
    return ColonnesSoldes(std::move(d));
}

QStringList ColonnesSoldes::entetes() const
{
    QStringList t;
    for (const TypeAbsence& type : m_d->lus.contexte.types)
        t << QStringLiteral("Heures %1").arg(type.CODE);
    t << QStringLiteral("Solde du compte");
    return t;
}

QStringList ColonnesSoldes::semaine(qint16 carte, qint32 lundi, bool centiemes)
{
    const std::vector<TypeAbsence>& types = m_d->lus.contexte.types;
    const DonneesSoldes* d = m_d->employe(carte);
    if (!d)
        return QStringList(qsizetype(types.size() + 1), QString());
    const ContexteSoldes& c = m_d->lus.contexte;
    std::vector<qint64> minutes(types.size(), 0);
    auto ajouter = [&](QStringView code, qint64 m) {
        for (size_t i = 0; i < types.size(); ++i)
            if (types[i].CODE.compare(code, Qt::CaseInsensitive) == 0)
                minutes[i] += m;
    };
    for (qint32 x = lundi; x <= lundi + 6; ++x) {
        const qint32 prevues = c.horaires.minutes(d->employe, x);
        const std::span<const Absence> absences = AbsencesDuJour(*d, x);
        for (const Absence& a : absences)
            ajouter(a.CODE, MinutesAbsence(a, prevues));
        if (absences.empty() && prevues > 0 && EstFerie(x, c.reglages.ALSACE_MOSELLE))
            ajouter(QString::fromLatin1(CodeFerie), prevues);
    }
    QStringList champs;
    for (size_t i = 0; i < minutes.size(); ++i) {
        m_d->sommes[i] += minutes[i];
        champs << Csv::heures(minutes[i], centiemes);
    }
    const auto s =
        std::find_if(m_d->compte.begin(), m_d->compte.end(), [&](const SemaineCompte& x) { return x.lundi == lundi; });
    if (s == m_d->compte.end()) {
        champs << QString(); // a week before the account starts
    } else {
        m_d->dernierSolde = s->solde;
        m_d->soldeConnu = true;
        champs << Csv::heures(s->solde, centiemes);
    }
    return champs;
}

QStringList ColonnesSoldes::total(qint16 carte, bool centiemes)
{
    if (!m_d->employe(carte))
        return QStringList(qsizetype(m_d->lus.contexte.types.size() + 1), QString());
    QStringList champs;
    for (qint64& m : m_d->sommes) {
        champs << Csv::heures(m, centiemes);
        m = 0;
    }
    champs << (m_d->soldeConnu ? Csv::heures(m_d->dernierSolde, centiemes) : QString());
    return champs;
}

} // namespace kip
