// The factory registry.
#include "Fabriques.h"

#include "FenetreTravail.h"

#include <QHash>

namespace kip {

namespace {

QHash<QString, FabriqueFenetre>& fabriques()
{
    static QHash<QString, FabriqueFenetre> table;
    return table;
}

} // namespace

void enregistrerFabrique(const QString& nom, FabriqueFenetre fabrique)
{
    fabriques().insert(nom, std::move(fabrique));
}

void retirerFabrique(const QString& nom)
{
    fabriques().remove(nom);
}

bool aUneFabrique(const QString& nom)
{
    return fabriques().contains(nom);
}

FenetreTravail* ouvrirFenetre(const QString& nom, Cadre& cadre)
{
    const auto it = fabriques().constFind(nom);
    if (it != fabriques().constEnd() && it.value())
        return it.value()(cadre);
    return nullptr;
}

} // namespace kip
