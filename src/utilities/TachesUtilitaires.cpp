#include "TachesUtilitaires.h"

#include <QPointer>
#include <QtConcurrent>

namespace kip {

namespace {

// Hands a result over on the task's own thread, then tells the window.
template <class Tache, class Resultat, class Signal>
void remettre(QPointer<Tache> self, Resultat resultat, Resultat Tache::*membre, Signal signal)
{
    if (!self)
        return;
    QMetaObject::invokeMethod(self, [self, resultat = std::move(resultat), membre, signal] {
        if (!self)
            return;
        (*self).*membre = resultat;
        Q_EMIT((*self).*signal)();
    });
}

} // namespace

void TachePurge::lancer(const QString& dataDir, qint32 finPurge)
{
    QPointer<TachePurge> self(this);
    m_future = QtConcurrent::run([self, dataDir, finPurge] {
        ResultatPurge r = Purger(dataDir, finPurge, [self](int fait, int total) {
            if (self)
                Q_EMIT self->progression(fait, total);
        });
        remettre(self, std::move(r), &TachePurge::m_resultat, &TachePurge::terminee);
    });
}

void TacheSauvegarde::lancer(const Paths& p, qint32 aujourdhui, int attentePauseMs)
{
    QPointer<TacheSauvegarde> self(this);
    m_future = QtConcurrent::run([self, p, aujourdhui, attentePauseMs] {
        ResultatSauvegardeManuelle r = SauvegarderManuellement(p, aujourdhui, attentePauseMs);
        remettre(self, std::move(r), &TacheSauvegarde::m_resultat, &TacheSauvegarde::terminee);
    });
}

void TacheRestauration::lancer(const Paths& p, const CopieRestaurable& source, int attentePauseMs)
{
    QPointer<TacheRestauration> self(this);
    m_future = QtConcurrent::run([self, p, source, attentePauseMs] {
        ResultatRestauration r = Restaurer(
            p, source,
            [self](int etape, int total, const QString& texte) {
                if (self)
                    Q_EMIT self->progression(etape, total, texte);
            },
            attentePauseMs);
        remettre(self, std::move(r), &TacheRestauration::m_resultat, &TacheRestauration::terminee);
    });
}

} // namespace kip

#include "moc_TachesUtilitaires.cpp"
