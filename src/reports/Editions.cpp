// The list of reports.
#include "Editions.h"

#include "EditionControle.h"
#include "EditionJours.h"
#include "EditionPersonnel.h"
#include "EditionSemaine.h"
#include "EditionTotalPeriode.h"
#include "EditionsSoldes.h"

#include <atomic>

namespace kip {

namespace {
std::atomic<bool> g_centiemes{false};
} // namespace

bool EditionCentiemes()
{
    return g_centiemes.load();
}

void setEditionCentiemes(bool centiemes)
{
    g_centiemes = centiemes;
}

const std::vector<DefinitionEdition>& definitionsEditions()
{
    static const std::vector<DefinitionEdition> editions = {
        {1, QStringLiteral("EditionPersonnel"), QStringLiteral("Liste du personnel"), code::AucunePeriode,
         EditionPersonnel},
        {2, QStringLiteral("EditionSemainePage"),
         QStringLiteral("Pointages Utilisateur (3e ligne), totaux jours, semaines et employés, de 1 à 5 semaines, "
                        "gestion de l'arrondi de la semaine, 1 page par personne"),
         code::CinqSemaines, EditionSemainePage},
        {3, QStringLiteral("EditionSemaine"),
         QStringLiteral("Pointages Utilisateur (3e ligne), totaux jours, semaines et employés, de 1 à 5 semaines, "
                        "gestion de l'arrondi de la semaine"),
         code::CinqSemaines, EditionSemaine},
        {4, QStringLiteral("EditionJoursPage"),
         QStringLiteral("Pointages Origine (1e ligne) et Utilisateur (3e ligne), totaux jours et employés, 1 à 31 "
                        "jours, 1 page par personne"),
         code::TrenteEtUnJours, EditionJoursPage},
        {5, QStringLiteral("EditionJours"),
         QStringLiteral("Pointages Origine (1e ligne) et Utilisateur (3e ligne), totaux jours et employés, 1 à x "
                        "jours"),
         code::Libre, EditionJours},
        {6, QStringLiteral("EditionTotauxSemaine"),
         QStringLiteral("Totaux semaines et employés, de 1 à 5 semaines, gestion de l'arrondi de la semaine"),
         code::CinqSemaines, EditionTotauxSemaine},
        {7, QStringLiteral("EditionTotalPeriode"),
         QStringLiteral("Total de la période par employé et total des employés, 1 à x jours"), code::Libre,
         EditionTotalPeriode},
        {8, QStringLiteral("EditionControle"),
         QStringLiteral("Edition de contrôle (pointages Origine (1e ligne), Programme (2e ligne) et Utilisateur (3e "
                        "ligne), état des indicateurs, 1 semaine, gestion de l'arrondi de la semaine, 1 page par "
                        "personne"),
         code::UneSemaine, EditionControle},
        {9, QStringLiteral("EditionReleve"),
         QStringLiteral(
             "Relevé mensuel: par jour heures prévues, travaillées et absences, soldes des semaines, du "
             "compte d'heures et des congés, courbe du solde sur douze mois, 1 page par personne et par mois"),
         code::Libre, EditionReleve},
        {10, QStringLiteral("EditionAbsences"),
         QStringLiteral("Absences de la période: jours de chaque type d'absence par employé, et leurs totaux"),
         code::Libre, EditionAbsences},
    };
    return editions;
}

const DefinitionEdition* definitionEdition(int ligne)
{
    const auto& editions = definitionsEditions();
    return ligne >= 1 && ligne <= int(editions.size()) ? &editions[size_t(ligne - 1)] : nullptr;
}

} // namespace kip
