#include "PasseSauvegarde.h"

#include "FichierCorrection.h"
#include "data/Files.h"
#include "data/Messages.h"

namespace kip {

namespace texte {
const char* const TitreSauvegarde = "Sauvegarde de la semaine";
const char* const AvantDeQuitter = "Sauvegarder avant de quitter ?";
const char* const VoulezVous =
    "Voulez vous sauvegarder ?\r\nCliquez Oui = sauvegarde\r\nCliquez Ok = sauvegarde et ne plus poser la question";
const char* const TitreEffacement = "Confirmer effacement";
const char* const Effacement =
    "Les pointages des lignes origine et programme ne seront pas modifiés.\r\nLes pointages de la ligne utilisateur "
    "vont être supprimés et le total de la journée sera positionné à 0.\r\nCliquez OUI pour confirmer votre "
    "intention.";
const char* const TitreAide = "Aide sur cet écran";
const char* const Aide =
    "Page Haute = Carte Suivante\r\nPage Basse = Carte Précédente\r\nCtrl + Page Haute = Semaine Suivante\r\nCtrl "
    "+ Page Basse = Semaine Précédente\r\nF2 = Sauver\r\nLes 4 flèches de direction = Changement de Case\r\nEntrée "
    "(équivallent Tab) = Changement de Case\r\n\r\nSaisie raccourcie, exemples:\r\n\t10\t=\t10.00\r\n\t1\t=\t1."
    "00\r\n\t.1\t=\t0.10\r\n\t.01\t=\t0.01\r\n\r\nChangez toujours de case après votre dernière saisie";
const char* const SaisiesGardees =
    "Un autre poste a modifié cette semaine: rien n'a été enregistré. Vos saisies sont gardées dans le brouillon et "
    "reportées sur la semaine relue; vérifiez-les puis sauvegardez (F2).";
} // namespace texte

QString texteMode(ModeSauvegarde mode)
{
    switch (mode) {
    case ModeSauvegarde::Explicite:
        return {};
    case ModeSauvegarde::Others:
        return QStringLiteral("others");
    case ModeSauvegarde::SaveManu:
        return QStringLiteral("savemanu");
    case ModeSauvegarde::SaveAuto:
        return QStringLiteral("saveauto");
    case ModeSauvegarde::Cancel:
        return QStringLiteral("cancel");
    }
    return {};
}

bool repondre(ModeSauvegarde& mode, int bouton)
{
    switch (mode) {
    case ModeSauvegarde::Cancel:
        if (bouton != ButtonYes)
            return false;
        mode = ModeSauvegarde::SaveAuto;
        return true;
    case ModeSauvegarde::Others:
        if (bouton == ButtonOk)
            mode = ModeSauvegarde::SaveAuto;
        else if (bouton == ButtonYes)
            mode = ModeSauvegarde::SaveManu;
        else
            return false;
        return true;
    default:
        return true;
    }
}

bool demander(ModeSauvegarde& mode)
{
    const QString titre = QString::fromUtf8(texte::TitreSauvegarde);
    int bouton = ButtonYes;
    if (mode == ModeSauvegarde::Cancel)
        bouton = showBox(titre, QString::fromUtf8(texte::AvantDeQuitter), MessageIcon::Question, ButtonYes | ButtonNo,
                         ButtonYes);
    else if (mode == ModeSauvegarde::Others)
        bouton = showBox(titre, QString::fromUtf8(texte::VoulezVous), MessageIcon::Question,
                         ButtonOk | ButtonYes | ButtonNo, ButtonYes);
    return repondre(mode, bouton);
}

IssuePasse passeSauvegarde(Database& db, const GrilleSemaine& grille, ModeSauvegarde& mode)
{
    IssuePasse issue;
    auto finir = [&mode](IssuePasse i) {
        if (mode == ModeSauvegarde::SaveManu)
            mode = ModeSauvegarde::Others;
        return i;
    };
    if (grille.joursModifies().empty())
        return finir(issue);
    if (!demander(mode)) {
        issue.etat = IssuePasse::Abandonnee;
        return finir(issue);
    }
    const GrilleSemaine::Verification v = grille.verifier();
    if (!v.valide) {
        issue.etat = IssuePasse::Invalide;
        issue.jour = v.jour;
        issue.colonne = v.colonne;
        return finir(issue);
    }
    if (const FileError e = enregistrerSemaine(db, grille.employe().CARTE, v.ecritures); !e.ok()) {
        // The transaction is over: the message (or the repair of a damaged file) may take the file.
        reportFileError(15, e, QStringLiteral("POINTVAL"));
        issue.etat = e.code == ChangedElsewhere ? IssuePasse::ModifieeAilleurs : IssuePasse::Echec;
        return finir(issue);
    }
    issue.etat = IssuePasse::Enregistree;
    return finir(issue);
}

} // namespace kip
