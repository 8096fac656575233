#include "TachesPointage.h"

#include "data/Files.h"

#include <QFile>
#include <QPointer>
#include <QtConcurrent>
#include <memory>

namespace kip {

void TacheInitialisation::lancer(const QString& dataDir, qint32 aujourdhui)
{
    QPointer<TacheInitialisation> self(this);
    m_future = QtConcurrent::run([self, dataDir, aujourdhui] {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
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

void TacheTransfert::lancer(const QString& originPath, const QString& dataDir, qint32 aujourdhui)
{
    QPointer<TacheTransfert> self(this);
    m_future = QtConcurrent::run([self, originPath, dataDir, aujourdhui] {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
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

int lignesOrigine(const QString& originPath)
{
    QFile f(originPath);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    int n = 0;
    char buf[512];
    qint64 len;
    while ((len = f.readLine(buf, sizeof buf)) > 0)
        if (len > 2 || (buf[0] != '\n' && buf[0] != '\r'))
            ++n;
    return n;
}

} // namespace kip
