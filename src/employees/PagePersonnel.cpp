#include "PagePersonnel.h"

#include "data/Cp1252.h"

#include <algorithm>
#include <optional>

namespace kip {

namespace {

constexpr int ChiffresTexte = 7; // characters weighed: 256^7 still fits the arithmetic below
constexpr int Base = 256;

// A character as a digit of the interpolation: its code point with A to Z read as a to z, as the keys
// compare, and every character above 255 weighed as 255.
quint64 chiffre(QChar c)
{
    char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        u = char16_t(u + (u'a' - u'A'));
    return std::min<quint64>(u, Base - 1);
}

quint64 nombreDe(const QString& texte, int longueur)
{
    quint64 n = 0;
    for (int i = 0; i < longueur; ++i)
        n = n * Base + (i < texte.size() ? chiffre(texte[i]) : 0);
    return n;
}

QString texteDe(quint64 n, int longueur)
{
    std::vector<char16_t> chiffres(size_t(longueur), 0);
    for (int i = longueur - 1; i >= 0; --i) {
        chiffres[size_t(i)] = char16_t(n % Base);
        n /= Base;
    }
    while (!chiffres.empty() && chiffres.back() == 0)
        chiffres.pop_back();
    QString texte;
    for (char16_t d : chiffres) {
        // A to Z would compare as a to z: the value just below them keeps the texts in order.
        if (d >= u'A' && d <= u'Z')
            d = u'@';
        texte += QChar(d == 0 ? char16_t(1) : d);
    }
    return texte;
}

} // namespace

int longueurPositions(const QString& premier, const QString& dernier)
{
    return std::clamp(int(std::max(premier.size(), dernier.size())), 1, ChiffresTexte);
}

std::vector<QString> positionsTexte(const QString& premier, const QString& dernier)
{
    const int longueur = longueurPositions(premier, dernier);
    quint64 a = nombreDe(premier, longueur);
    quint64 b = std::max(a, nombreDe(dernier, longueur));
    std::vector<QString> out;
    out.reserve(PositionsDefilement);
    for (int p = 0; p < PositionsDefilement; ++p)
        out.push_back(texteDe(a + (b - a) * quint64(p) / quint64(PositionsDefilement - 1), longueur));
    return out;
}

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
