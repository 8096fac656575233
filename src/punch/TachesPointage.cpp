#include "TachesPointage.h"

#include "data/Files.h"

#include <QPointer>
#include <QtConcurrent>
#include <memory>

namespace kip {

std::vector<std::unique_ptr<FileUse>> ouvrirFichiersPointage()
{
    std::vector<std::unique_ptr<FileUse>> fichiers;
    fichiers.push_back(std::make_unique<FileUse>(FileId::Personnel));
    fichiers.push_back(std::make_unique<FileUse>(FileId::PointVal));
    return fichiers;
}

TacheInitialisation::~TacheInitialisation()
{
    m_future.waitForFinished();
}

void TacheInitialisation::lancer(const QString& dataDir, qint32 aujourdhui)
{
    m_fichiers = ouvrirFichiersPointage();
    QPointer<TacheInitialisation> self(this);
    m_future = QtConcurrent::run([self, dataDir, aujourdhui] {
        Database db(dataDir);
        const ResultatInitialisation r =
            InitialiserJournees(db, aujourdhui, [self](int fait, int total, qint16 carte, const QString& nom) {
                if (self)
                    Q_EMIT self->progression(fait, total, carte, nom);
            });
        if (self)
            Q_EMIT self->terminee(r.employes, r.erreur.ok() ? QString() : r.erreur.description());
    });
}

TacheTransfert::~TacheTransfert()
{
    m_future.waitForFinished();
}

void TacheTransfert::lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui)
{
    m_fichiers = ouvrirFichiersPointage();
    QPointer<TacheTransfert> self(this);
    m_future = QtConcurrent::run([self, originPath, dataDir, aujourdhui] {
        Database db(dataDir);
        ProgressionTransfert p;
        p.lignes = [self](int fait, int total) {
            if (self)
                Q_EMIT self->progression(fait, total);
        };
        p.personne = [self](qint16 carte, const QString& nom) {
            if (self)
                Q_EMIT self->personne(carte, nom);
        };
        ResultatTransfert r = TransfererPointages(db, originPath, aujourdhui, p);
        if (!self)
            return;
        // The result is handed over on the window's own thread.
        QMetaObject::invokeMethod(self, [self, r] {
            if (!self)
                return;
            self->m_resultat = r;
            Q_EMIT self->lue();
        });
    });
}

} // namespace kip

#include "moc_TachesPointage.cpp"
