#include "PagePointage.h"

#include "data/Cp1252.h"
#include "employees/LecturePersonnel.h"
#include "employees/PagePersonnel.h"

#include <limits>
#include <optional>

namespace kip {

PagePointage::PagePointage(Database& db, OrdrePointage ordre, const PlagePointage& plage, int taille)
    : PageLignes<PointVal>(taille), m_db(db), m_ordre(ordre), m_plage(plage),
      m_lecture(std::make_unique<LecturePointage>(db, ordre, plage))
{
    fixerSource(m_lecture.get());
}

FileError PagePointage::verifier()
{
    return m_lecture->verifier();
}

FileError PagePointage::changer(OrdrePointage ordre, const PlagePointage& plage)
{
    const PointVal* courant = ligneCourante();
    const std::optional<PointVal> cle = courant ? std::optional<PointVal>(*courant) : std::nullopt;
    const int rang = courante();
    m_ordre = ordre;
    m_plage = plage;
    m_lecture = std::make_unique<LecturePointage>(m_db, ordre, plage);
    fixerSource(m_lecture.get());
    vider();
    if (!cle)
        return ouvrir();
    if (FileError e = calculerPositions(); !e.ok())
        return e;
    return remplirAutour(*cle, std::max(rang, 0));
}

FileError PagePointage::calculerPositions()
{
    std::vector<PointVal> premier, dernier;
    const FileError e = m_lecture->bouts(1, premier, dernier);
    poserPositions(e.ok() && !premier.empty() ? &premier.front() : nullptr,
                   e.ok() && !dernier.empty() ? &dernier.front() : nullptr);
    return e;
}

FileError PagePointage::ouvrir()
{
    std::vector<PointVal> page, dernier;
    if (FileError e = m_lecture->bouts(taille(), page, dernier); !e.ok()) {
        poserPositions(nullptr, nullptr);
        return e;
    }
    poserPositions(page.empty() ? nullptr : &page.front(), dernier.empty() ? nullptr : &dernier.front());
    montrerDebut(std::move(page));
    return {};
}

void PagePointage::poserPositions(const PointVal* premier, const PointVal* dernier)
{
    m_positions.assign(PositionsDefilement, PointVal{});
    m_longueurTexte = 0;
    for (PointVal& v : m_positions) {
        v.DATE = std::numeric_limits<qint32>::min();
        v.CARTE = std::numeric_limits<qint16>::min();
    }
    if (!premier || !dernier)
        return;
    const PointVal& a = *premier;
    const PointVal& b = *dernier;
    const int n = PositionsDefilement - 1;
    switch (m_ordre) {
    case OrdrePointage::DateCarte:
    case OrdrePointage::DateNom:
        for (int p = 0; p < PositionsDefilement; ++p)
            m_positions[size_t(p)].DATE = qint32(a.DATE + qint64(b.DATE - a.DATE) * p / n);
        break;
    case OrdrePointage::CarteDate:
        for (int p = 0; p < PositionsDefilement; ++p)
            m_positions[size_t(p)].CARTE = qint16(a.CARTE + (b.CARTE - a.CARTE) * p / n);
        break;
    case OrdrePointage::NomDate: {
        const QString debut = clipField(a.NOM, 20);
        const QString fin = clipField(b.NOM, 20);
        const std::vector<QString> textes = positionsTexte(debut, fin);
        m_longueurTexte = longueurPositions(debut, fin);
        for (int p = 0; p < PositionsDefilement; ++p)
            m_positions[size_t(p)].NOM = textes[size_t(p)];
        break;
    }
    }
}

FileError PagePointage::allerPosition(int p)
{
    if (m_positions.size() != size_t(PositionsDefilement))
        if (FileError e = calculerPositions(); !e.ok())
            return e;
    p = std::clamp(p, 1, PositionsDefilement);
    return remplirAutour(m_positions[size_t(p - 1)], 0);
}

int PagePointage::comparerPosition(const PointVal& valeur, const PointVal& ligne) const
{
    switch (m_ordre) {
    case OrdrePointage::DateCarte:
    case OrdrePointage::DateNom:
        return valeur.DATE == ligne.DATE ? 0 : (valeur.DATE < ligne.DATE ? -1 : 1);
    case OrdrePointage::CarteDate:
        return valeur.CARTE == ligne.CARTE ? 0 : (valeur.CARTE < ligne.CARTE ? -1 : 1);
    case OrdrePointage::NomDate:
        return comparerTexte(valeur.NOM, clipField(ligne.NOM, 20).left(m_longueurTexte));
    }
    return 0;
}

int PagePointage::position() const
{
    const PointVal* courant = ligneCourante();
    if (!courant || m_positions.size() != size_t(PositionsDefilement))
        return 1;
    for (int p = 0; p < PositionsDefilement; ++p)
        if (comparerPosition(m_positions[size_t(p)], *courant) >= 0)
            return p + 1;
    return PositionsDefilement;
}

} // namespace kip
