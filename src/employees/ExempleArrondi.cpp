#include "ExempleArrondi.h"

#include "calendar/HeureTexte.h"
#include "punch/CodesArrondi.h"

namespace kip {

namespace {
constexpr int HuitHeures = 480;
constexpr int DixSeptHeures = 1020;
} // namespace

QString ExempleArrondi::textePlage(int i) const
{
    return HeureTexte(debutPlages[size_t(i)]).trimmed() + QLatin1Char('-') + HeureTexte(finPlages[size_t(i)]).trimmed();
}

QString ExempleArrondi::texteRetenue(int i) const
{
    return HeureTexte(retenues[size_t(i)]).trimmed();
}

ExempleArrondi exempleArrondi(Cote cote, const QString& code, int tolerance, int decalage)
{
    const int n = roundingValue(code) > 0 ? roundingValue(code) : 1;
    const bool entree = cote == Cote::Entree;
    const int base = (entree ? HuitHeures : DixSeptHeures) + decalage;
    auto retenue = [&](int k) { return base + k * n; };
    ExempleArrondi e;
    e.titre = entree ? QStringLiteral("Exemple d'ENTREE autour de 8h: pour un pointage en plage verte, la valeur rouge "
                                      "est retenue")
                     : QStringLiteral("Exemple de SORTIE autour de 17h: pour un pointage en plage verte, la valeur "
                                      "rouge est retenue");
    for (int i = 0; i < ValeursExemple; ++i) {
        const int k = i - 2;
        e.retenues[size_t(i)] = retenue(k);
        e.debutPlages[size_t(i)] = entree ? retenue(k - 1) + tolerance + 1 : retenue(k) - tolerance;
        e.finPlages[size_t(i)] = entree ? retenue(k) + tolerance : retenue(k + 1) - tolerance - 1;
    }
    return e;
}

} // namespace kip
