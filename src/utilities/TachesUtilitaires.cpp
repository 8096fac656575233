#include "TachesUtilitaires.h"

namespace kip {

void TachePurge::lancer(const QString& dataDir, qint32 finPurge)
{
    demarrer([dataDir, finPurge](const SuiviTache& suivi) {
        return Purger(dataDir, finPurge, [&suivi](int fait, int total) { suivi.avancer(fait, total); });
    });
}

void TacheSauvegarde::lancer(const Paths& p, qint32 aujourdhui, int attentePauseMs)
{
    demarrer([p, aujourdhui, attentePauseMs](const SuiviTache&) {
        return SauvegarderManuellement(p, aujourdhui, attentePauseMs);
    });
}

void TacheRestauration::lancer(const Paths& p, const CopieRestaurable& source, int attentePauseMs)
{
    demarrer([p, source, attentePauseMs](const SuiviTache& suivi) {
        return Restaurer(
            p, source, [&suivi](int etape, int total, const QString& texte) { suivi.avancer(etape, total, texte); },
            attentePauseMs);
    });
}

} // namespace kip
