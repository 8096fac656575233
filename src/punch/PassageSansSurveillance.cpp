#include "PassageSansSurveillance.h"

#include <QTextStream>

namespace kip {

namespace {
const QString EtapeInitialisation = QStringLiteral("Initialisation des journées");
const QString EtapeTransfert = QStringLiteral("Transfert des pointages");
} // namespace

void SuiviSortieErreur::etape(const QString& titre, int fait, int total)
{
    // One line when a step starts and one with its last figures, not a line per refresh.
    if (titre != m_derniereEtape || fait == total) {
        QTextStream(stderr) << titre << QStringLiteral(": %1/%2\n").arg(fait).arg(total);
        m_derniereEtape = titre;
    }
}

void SuiviSortieErreur::rejet(const QString& texte)
{
    QTextStream(stderr) << QStringLiteral("Pointage non traité: ") << texte << '\n';
}

void SuiviSortieErreur::rapport(const QString& ligne)
{
    QTextStream(stderr) << ligne << '\n';
}

int ResultatPassage::codeSortie() const
{
    if (!initialisation.erreur.ok())
        return 1;
    if (!transfertFait)
        return 0;
    const ResultatSansSurveillance& t = transfert;
    return t.lecture.reussi() && t.erreurArchive.ok() ? 0 : 1;
}

QString resumeTransfert(const ResultatTransfert& r)
{
    return QStringLiteral("Transfert des pointages: %1 ligne(s), %2 pointage(s) enregistré(s), %3 déjà présent(s), "
                          "%4 écarté(s), %5 ignorée(s), %6 non traité(s)")
        .arg(r.lignes)
        .arg(r.stockes)
        .arg(r.doublons)
        .arg(r.ecartes)
        .arg(r.ignorees)
        .arg(r.rejets.size());
}

ResultatPassage PassageSansSurveillance(Database& db, const QString& dataDir, qint32 aujourdhui, SuiviPassage& suivi)
{
    ResultatPassage r;
    r.initialisation = InitialiserJournees(db, aujourdhui, [&suivi](int fait, int total, qint16, const QString&) {
        suivi.etape(EtapeInitialisation, fait, total);
    });
    if (!r.initialisation.erreur.ok())
        suivi.rapport(QStringLiteral("Initialisation des journées interrompue: ") +
                      r.initialisation.erreur.description());
    // The transfer follows even so: its punches do not depend on the empty lines of the preparation.
    if (suivi.arretDemande())
        return r;
    r.transfertFait = true;
    ProgressionTransfert progression;
    progression.lignes = [&suivi](int fait, int total) { suivi.etape(EtapeTransfert, fait, total); };
    r.transfert = TransfertSansSurveillance(db, dataDir, aujourdhui, progression);
    const ResultatTransfert& lecture = r.transfert.lecture;
    if (!lecture.reussi() || lecture.lignes == 0)
        return r; // the failures are told by their numbered messages; an empty raw file by nothing
    suivi.rapport(resumeTransfert(lecture));
    for (const QString& rejet : lecture.rejets)
        suivi.rejet(rejet);
    if (r.transfert.archive)
        suivi.rapport(QStringLiteral("Origin00.txt est archivé dans Origin01.txt."));
    else if (!r.transfert.erreurArchive.ok())
        suivi.rapport(QStringLiteral("Archivage des pointages impossible: ") + r.transfert.erreurArchive.text);
    else
        suivi.rapport(QStringLiteral("Origin00.txt est conservé pour une prochaine lecture."));
    return r;
}

} // namespace kip
