#include "PositionsDefilement.h"

#include <algorithm>

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

} // namespace kip
