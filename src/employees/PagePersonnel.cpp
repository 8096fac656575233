#include "PagePersonnel.h"

#include <algorithm>
#include <optional>

namespace kip {

PagePersonnel::PagePersonnel(Database& db, OrdrePersonnel ordre, int taille)
    : PageLignes<Personnel>(taille), m_db(db), m_ordre(ordre), m_lecture(std::make_unique<LecturePersonnel>(db, ordre))
{
    fixerSource(m_lecture.get());
}

FileError PagePersonnel::verifier()
{
    return m_lecture->verifier();
}

FileError PagePersonnel::changerOrdre(OrdrePersonnel ordre)
{
    const Personnel* courant = employeCourant();
    const std::optional<Personnel> cle = courant ? std::optional<Personnel>(*courant) : std::nullopt;
    const int rang = courante();
    m_ordre = ordre;
    m_lecture = std::make_unique<LecturePersonnel>(m_db, ordre);
    fixerSource(m_lecture.get());
    if (FileError e = calculerPositions(); !e.ok())
        return e;
    return cle ? remplirAutour(*cle, rang) : allerDebut();
}

FileError PagePersonnel::calculerPositions()
{
    m_positions.assign(PositionsDefilement, Personnel{});
    m_longueurTexte = 0;
    std::vector<Personnel> premier, dernier;
    if (FileError e = m_lecture->premiers(1, premier); !e.ok())
        return e;
    if (FileError e = m_lecture->derniers(1, dernier); !e.ok())
        return e;
    if (premier.empty() || dernier.empty())
        return {};
    const Personnel& a = premier.front();
    const Personnel& b = dernier.front();
    switch (m_ordre) {
    case OrdrePersonnel::Carte:
        for (int p = 0; p < PositionsDefilement; ++p)
            m_positions[size_t(p)].CARTE = qint16(a.CARTE + (b.CARTE - a.CARTE) * p / (PositionsDefilement - 1));
        break;
    case OrdrePersonnel::Nom:
    case OrdrePersonnel::Matricule: {
        const bool nom = m_ordre == OrdrePersonnel::Nom;
        const QString debut = nom ? clipField(a.NOM, 20) : clipField(a.MATRICULE, 10);
        const QString fin = nom ? clipField(b.NOM, 20) : clipField(b.MATRICULE, 10);
        const std::vector<QString> textes = positionsTexte(debut, fin);
        m_longueurTexte = longueurPositions(debut, fin);
        for (int p = 0; p < PositionsDefilement; ++p)
            (nom ? m_positions[size_t(p)].NOM : m_positions[size_t(p)].MATRICULE) = textes[size_t(p)];
        break;
    }
    }
    return {};
}

FileError PagePersonnel::allerPosition(int p)
{
    if (m_positions.size() != size_t(PositionsDefilement))
        if (FileError e = calculerPositions(); !e.ok())
            return e;
    p = std::clamp(p, 1, PositionsDefilement);
    return remplirAutour(m_positions[size_t(p - 1)], 0);
}

int PagePersonnel::comparerPosition(const Personnel& valeur, const Personnel& cle) const
{
    switch (m_ordre) {
    case OrdrePersonnel::Carte:
        return valeur.CARTE == cle.CARTE ? 0 : (valeur.CARTE < cle.CARTE ? -1 : 1);
    case OrdrePersonnel::Nom:
        return comparerTexte(valeur.NOM, clipField(cle.NOM, 20).left(m_longueurTexte));
    case OrdrePersonnel::Matricule:
        return comparerTexte(valeur.MATRICULE, clipField(cle.MATRICULE, 10).left(m_longueurTexte));
    }
    return 0;
}

int PagePersonnel::position() const
{
    const Personnel* courant = employeCourant();
    if (!courant || m_positions.size() != size_t(PositionsDefilement))
        return 1;
    for (int p = 0; p < PositionsDefilement; ++p)
        if (comparerPosition(m_positions[size_t(p)], *courant) >= 0)
            return p + 1;
    return PositionsDefilement;
}

FileError PagePersonnel::localiser(QChar lettre)
{
    if (m_ordre != OrdrePersonnel::Nom || !lettre.isPrint() || lettre.isSpace())
        return {};
    auto commencePar = [lettre](const Personnel* p) {
        return p && clipField(p->NOM, 20).startsWith(lettre, Qt::CaseInsensitive);
    };
    const Personnel* avant = employeCourant();
    if (commencePar(avant)) {
        const qint64 position = avant->rowid;
        if (FileError e = deplacer(1); !e.ok())
            return e;
        // Past the last name of the letter, or at the end of the order: back to the first name of the letter.
        if (employeCourant()->rowid != position && commencePar(employeCourant()))
            return {};
    }
    Personnel cle;
    // A to Z compare without case; another letter is looked for in its capital form, which comes first.
    cle.NOM = lettre.unicode() < 128 ? QString(lettre) : QString(lettre.toUpper());
    return remplirAutour(cle, std::max(courante(), 0));
}

} // namespace kip
