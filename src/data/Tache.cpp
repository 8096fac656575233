#include "Tache.h"

#include <QtConcurrent>

namespace kip {

void SuiviTache::avancer(int fait, int total, const QString& texte, qint16 carte) const
{
    // The job lives while its work runs (its destructor waits): the signal is queued to the receivers' thread.
    Q_EMIT m_tache.progression(Avancement{fait, total, texte, carte});
}

bool SuiviTache::annulee() const
{
    return m_tache.m_annulee;
}

const std::atomic<bool>* SuiviTache::annulation() const
{
    return &m_tache.m_annulee;
}

Tache::Tache(QObject* parent) : QObject(parent) {}

Tache::~Tache()
{
    m_annulee = true;
    m_future.waitForFinished();
    // The files held for the work are released after it, with the members.
}

void Tache::tenir(std::initializer_list<FileId> fichiers)
{
    for (FileId id : fichiers)
        m_fichiers.push_back(std::make_unique<FileUse>(id));
}

void Tache::executer(std::function<Remise(const SuiviTache&)> travail)
{
    // A job started again: the last run has handed its result over, only its return is still to wait for.
    m_future.waitForFinished();
    m_annulee = false;
    m_enCours = true;
    m_future = QtConcurrent::run([this, travail = std::move(travail)] {
        Remise remise = travail(SuiviTache(*this));
        // Posted to this object: dropped with it when the job is destroyed before its end is handed over.
        QMetaObject::invokeMethod(
            this,
            [this, remise = std::move(remise)] {
                if (remise)
                    remise();
                m_enCours = false;
                Q_EMIT terminee();
            },
            Qt::QueuedConnection);
    });
}

} // namespace kip

#include "moc_Tache.cpp"
