#include "TacheExport.h"

#include "data/Database.h"
#include "data/Files.h"

#include <QPointer>
#include <QtConcurrent>

namespace kip {

TacheExport::~TacheExport()
{
    m_annuler = true;
    m_future.waitForFinished();
}

void TacheExport::lancer(const QString& dataDir, GenreExport genre, const ParametresEdition& parametres,
                         const SeuilsPaie& seuils, const QString& chemin)
{
    m_annuler = false;
    QPointer<TacheExport> self(this);
    m_future = QtConcurrent::run([self, dataDir, genre, parametres, seuils, chemin, this] {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database db(dataDir);
        ControleExecution c;
        c.annuler = &m_annuler; // the destructor waits for the run: the flag outlives it
        c.progression = [self](int p) {
            if (self)
                Q_EMIT self->progression(p);
        };
        const ResultatExport r = Exporter(db, genre, parametres, seuils, chemin, c);
        QMetaObject::invokeMethod(
            self,
            [self, r] {
                if (!self)
                    return;
                self->m_resultat = r;
                Q_EMIT self->terminee();
            },
            Qt::QueuedConnection);
    });
}

} // namespace kip

#include "moc_TacheExport.cpp"
