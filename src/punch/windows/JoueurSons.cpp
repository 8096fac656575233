#include "JoueurSons.h"

#include <QCoreApplication>
#include <QHash>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <atomic>

namespace kip {

// Owns the sound effects, on the sounds' thread: one per file, so that a file is decoded once.
class LecteurEffets : public QObject
{
public:
    void jouer(const QString& fichier)
    {
        QSoundEffect*& effet = m_effets[fichier];
        // A file that could not be read is tried again: it may have been replaced since.
        if (effet && effet->status() == QSoundEffect::Error) {
            delete effet;
            effet = nullptr;
        }
        if (!effet) {
            effet = new QSoundEffect(this);
            effet->setSource(QUrl::fromLocalFile(fichier));
        }
        // An effect still loading plays as soon as it is ready.
        effet->play();
    }

private:
    QHash<QString, QSoundEffect*> m_effets;
};

JoueurSonsQt::JoueurSonsQt() : m_thread(std::make_unique<QThread>()), m_lecteur(new LecteurEffets)
{
    m_thread->setObjectName(QStringLiteral("sons"));
    m_lecteur->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_lecteur, &QObject::deleteLater);
    m_thread->start();
}

JoueurSonsQt::~JoueurSonsQt()
{
    m_thread->quit();
    m_thread->wait();
}

void JoueurSonsQt::jouer(const QString& fichier)
{
    if (fichier.isEmpty())
        return;
    QMetaObject::invokeMethod(
        m_lecteur, [l = m_lecteur, fichier] { l->jouer(fichier); }, Qt::QueuedConnection);
}

namespace {
std::atomic<JoueurSons*> g_remplacant{nullptr};
JoueurSonsQt* g_joueur = nullptr; // made on first use, on the GUI thread

// The sound effects go with the application object, while the multimedia back end still stands.
void detruireJoueur()
{
    delete g_joueur;
    g_joueur = nullptr;
}
} // namespace

JoueurSons& JoueurSons::programme()
{
    if (JoueurSons* j = g_remplacant.load())
        return *j;
    if (!g_joueur) {
        g_joueur = new JoueurSonsQt;
        qAddPostRoutine(detruireJoueur);
    }
    return *g_joueur;
}

void JoueurSons::remplacer(JoueurSons* joueur)
{
    g_remplacant = joueur;
}

} // namespace kip
