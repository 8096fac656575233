// The button bar's table.
#include "TableSommaire.h"

#include "Evenements.h"
#include "NomsFenetres.h"

namespace kip {

namespace {

using Action = EmplacementSommaire::Action;

EmplacementSommaire ouvrir(int n, const char* image, QLatin1StringView fenetre)
{
    return {n, QString::fromLatin1(image), Action::Ouvrir, QString(fenetre), 0};
}

EmplacementSommaire evenement(int n, const char* image, int numero)
{
    return {n, QString::fromLatin1(image), Action::Evenement, {}, numero};
}

// Slot n of a list, grid or report selection posts 1027 + n.
EmplacementSommaire bouton(int n, const char* image)
{
    return evenement(n, image, evt::BoutonListe + n);
}

EmplacementSommaire quitter(const char* image)
{
    return evenement(13, image, evt::Bouton13);
}

} // namespace

const EmplacementSommaire* RangeeSommaire::emplacement(int numero) const
{
    for (const EmplacementSommaire& e : emplacements)
        if (e.numero == numero)
            return &e;
    return nullptr;
}

RangeeSommaire rangeeSommaire(Program programme, const QString& fenetre)
{
    const bool complet = traitsOf(programme).hasSettings; // kipother has no settings, transfer, utilities
    RangeeSommaire r;
    if (fenetre == nom::FenetrePrincipale) {
        r.emplacements = {ouvrir(1, "Corriger", nom::TablePointage), ouvrir(2, "Imprimer", nom::Impression),
                          ouvrir(3, "Personnel", nom::TablePersonnel)};
        // Absences follow the program's own buttons: the slot after the last of its row.
        if (complet)
            r.emplacements << ouvrir(4, "Parametres", nom::SaisieParametre)
                           << ouvrir(5, "Utilitaires", nom::Utilitaires) << ouvrir(6, "Absences", nom::Absences);
        else
            r.emplacements << ouvrir(4, "Absences", nom::Absences);
        r.quitter = true;
    } else if (fenetre == nom::SaisiePersonnel || (complet && fenetre == nom::SaisieParametre)) {
        r.emplacements = {evenement(1, "Accepter", evt::Bouton1Formulaire), quitter("Annuler")};
    } else if (complet && fenetre == nom::TransfertOrigine) {
        r.emplacements = {evenement(1, "Garder", evt::Bouton1Formulaire), quitter("Supprimer")};
    } else if (fenetre == nom::TablePersonnel) {
        r.emplacements = {bouton(1, "Ajouter"),        bouton(2, "Modifier"),
                          bouton(3, "Supprimer"),      bouton(4, "Par_Nom_et_Prenom"),
                          bouton(5, "Par_n_de_Carte"), bouton(6, "Par_Matricule"),
                          quitter("Quitter")};
    } else if (fenetre == nom::TablePointage) {
        r.emplacements = {bouton(1, "Ajouter"),
                          bouton(2, "Modifier"),
                          bouton(3, "Effacer_Pointages"),
                          bouton(4, "Par_Date_et_n_Carte"),
                          bouton(5, "Par_n_Carte_et_Date"),
                          bouton(6, "Par_Date_et_Nom"),
                          bouton(7, "Par_Nom_et_Date"),
                          quitter("Quitter")};
    } else if (fenetre == nom::CorrectionPointage) {
        r.emplacements = {bouton(1, "Sauver"),
                          bouton(2, "Carte_Suivante"),
                          bouton(3, "Carte_Precedente"),
                          bouton(4, "Nom_Suivant"),
                          bouton(5, "Nom_Precedent"),
                          bouton(6, "Semaine_Suivante"),
                          bouton(7, "Semaine_Precedente"),
                          bouton(8, "Journal"),
                          quitter("Quitter")};
    } else if (fenetre == nom::Absences) {
        r.emplacements = {bouton(2, "Mois_Precedent"), bouton(3, "Mois_Suivant"),  bouton(4, "Par_Nom_et_Prenom"),
                          bouton(5, "Par_n_de_Carte"), bouton(6, "Par_Matricule"), quitter("Quitter")};
        if (complet) { // the types and the balances set by hand are settings: Kip only
            r.emplacements.prepend(bouton(1, "Types_Absence"));
            r.emplacements.insert(r.emplacements.size() - 1, bouton(7, "Soldes"));
        }
    } else if (complet && fenetre == nom::TypesAbsence) {
        r.emplacements = {evenement(1, "Accepter", evt::Bouton1Formulaire), quitter("Annuler")};
    } else if (complet && fenetre == nom::Soldes) {
        r.emplacements = {quitter("Quitter")};
    } else if (fenetre == nom::Impression) {
        r.emplacements = {bouton(1, "Impression"), bouton(2, "Config_Imprimante"), quitter("Quitter")};
    } else if (complet && fenetre == nom::Utilitaires) {
        r.emplacements = {quitter("Quitter")};
    } else if (fenetre == nom::InitialiseJournee) {
        // The day initialisation cannot be interrupted: its Quitter is shown but does nothing.
        r.emplacements = {{13, QStringLiteral("Quitter"), Action::Aucune, {}, 0}};
    }
    return r;
}

const QStringList& nomsBoutons()
{
    static const QStringList noms = {"Ajouter",
                                     "Corriger",
                                     "Imprimer",
                                     "Modifier",
                                     "Parametres",
                                     "Personnel",
                                     "Quitter",
                                     "Supprimer",
                                     "Accepter",
                                     "Annuler",
                                     "Par_Nom_et_Prenom",
                                     "Par_n_de_Carte",
                                     "Par_Matricule",
                                     "Par_n_Carte_et_Date",
                                     "Par_Date_et_n_Carte",
                                     "Par_Nom_et_Date",
                                     "Par_Date_et_Nom",
                                     "Carte_Suivante",
                                     "Carte_Precedente",
                                     "Nom_Suivant",
                                     "Nom_Precedent",
                                     "Semaine_Suivante",
                                     "Semaine_Precedente",
                                     "Sauver",
                                     "Garder",
                                     "Effacer_Pointages",
                                     "Utilitaires",
                                     "Impression",
                                     "Config_Imprimante",
                                     "Journal",
                                     "Absences",
                                     "Types_Absence",
                                     "Mois_Suivant",
                                     "Mois_Precedent",
                                     "Soldes"};
    return noms;
}

} // namespace kip
