// The report run on a worker thread.
#include "TacheEdition.h"

#include "data/Database.h"
#include "data/Files.h"

#include <QPointer>
#include <QtConcurrent>

namespace kip {

TacheEdition::~TacheEdition()
{
    m_annuler = true;
    m_future.waitForFinished();
}

void TacheEdition::lancer(const QString& dataDir, std::unique_ptr<Edition> edition, const ParametresEdition& parametres,
                          const MiseEnPage& miseEnPage)
{
    m_annuler = false;
    m_edition = std::move(edition);
    QPointer<TacheEdition> self(this);
    Edition* e = m_edition.get();
    std::function<void(int)> etapeTest = etape;
    m_future = QtConcurrent::run([self, e, dataDir, parametres, miseEnPage, etapeTest, this] {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database db(dataDir);
        ControleExecution c;
        c.annuler = &m_annuler; // the destructor waits for the run: the flag outlives it
        c.miseEnPage = miseEnPage;
        c.progression = [self, etapeTest](int p) {
            if (etapeTest)
                etapeTest(p);
            if (self)
                Q_EMIT self->progression(p);
        };
        auto r = std::make_shared<ResultatEdition>(ExecuterEdition(db, *e, parametres, c));
        // The result is handed over on the caller's thread.
        QMetaObject::invokeMethod(
            self,
            [self, r] {
                if (!self)
                    return;
                self->m_resultat = std::move(*r);
                Q_EMIT self->terminee();
            },
            Qt::QueuedConnection);
    });
}

} // namespace kip

#include "moc_TacheEdition.cpp"
