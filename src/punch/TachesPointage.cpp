#include "TachesPointage.h"

namespace kip {

std::vector<std::unique_ptr<FileUse>> ouvrirFichiersPointage()
{
    std::vector<std::unique_ptr<FileUse>> fichiers;
    fichiers.push_back(std::make_unique<FileUse>(FileId::Personnel));
    fichiers.push_back(std::make_unique<FileUse>(FileId::PointVal));
    return fichiers;
}

void TacheInitialisation::lancer(const QString& dataDir, qint32 aujourdhui)
{
    tenir({FileId::Personnel, FileId::PointVal});
    demarrer([dataDir, aujourdhui](const SuiviTache& suivi) {
        Database db(dataDir);
        return InitialiserJournees(db, aujourdhui, [&suivi](int fait, int total, qint16 carte, const QString& nom) {
            suivi.avancer(fait, total, nom, carte);
        });
    });
}

void TacheTransfert::lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui)
{
    tenir({FileId::Personnel, FileId::PointVal});
    demarrer([originPath, dataDir, aujourdhui](const SuiviTache& suivi) {
        Database db(dataDir);
        // The lines and the employee in hand come apart; each report carries both.
        Avancement a;
        ProgressionTransfert p;
        p.lignes = [&](int fait, int total) {
            a.fait = fait;
            a.total = total;
            suivi.avancer(a.fait, a.total, a.texte, a.carte);
        };
        p.personne = [&](qint16 carte, const QString& nom) {
            a.carte = carte;
            a.texte = nom;
            suivi.avancer(a.fait, a.total, a.texte, a.carte);
        };
        p.attente = [&](const QString& texte) { suivi.avancer(0, 0, texte, 0); };
        return TransfererPointages(db, originPath, aujourdhui, p);
    });
}

} // namespace kip
