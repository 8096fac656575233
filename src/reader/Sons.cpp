#include "Sons.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QHash>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kip {

namespace {

void ajouterLe(QByteArray& sortie, quint32 valeur, int octets)
{
    for (int i = 0; i < octets; ++i)
        sortie += char((valeur >> (8 * i)) & 0xff);
}

} // namespace

QByteArray sonnerieTestWav()
{
    constexpr int Frequence = 8000;
    constexpr int DureeTon = Frequence / 8; // 125 ms
    constexpr int Tons[2] = {880, 1175};
    QByteArray echantillons;
    for (int n = 0; n < 6; ++n) {
        for (int i = 0; i < DureeTon; ++i) {
            const double attenue = std::min(1.0, std::min(i, DureeTon - i) / 40.0);
            const double v = std::sin(2 * std::numbers::pi * Tons[n % 2] * i / Frequence) * attenue * 0.5;
            echantillons += char(quint8(128 + std::lround(v * 127)));
        }
    }
    QByteArray wav("RIFF");
    ajouterLe(wav, quint32(36 + echantillons.size()), 4);
    wav += "WAVEfmt ";
    ajouterLe(wav, 16, 4);        // size of the format chunk
    ajouterLe(wav, 1, 2);         // PCM
    ajouterLe(wav, 1, 2);         // mono
    ajouterLe(wav, Frequence, 4); // samples per second
    ajouterLe(wav, Frequence, 4); // bytes per second
    ajouterLe(wav, 1, 2);         // bytes per sample
    ajouterLe(wav, 8, 2);         // bits per sample
    wav += "data";
    ajouterLe(wav, quint32(echantillons.size()), 4);
    return wav + echantillons;
}

// Owns the sound effects, on the sounds' thread. One effect per file, kept: a file is decoded once.
class JoueurSons : public QObject
{
public:
    void jouer(const QString& fichier)
    {
        QSoundEffect*& effet = m_effets[fichier];
        // A file that could not be read is tried again: it may have been put in place since.
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

    void sonnerieTest()
    {
        if (!m_sonnerie) {
            m_sonnerie = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/kipguard-XXXXXX.wav"));
            const QByteArray wav = sonnerieTestWav();
            // A ring cut short by a full disk is not kept: the next test writes it again.
            if (!m_sonnerie->open() || m_sonnerie->write(wav) != wav.size() || !m_sonnerie->flush()) {
                m_sonnerie.reset();
                return;
            }
        }
        jouer(m_sonnerie->fileName());
    }

    // Before the sounds' thread ends: waits, at most ms, for the files still being read. The multimedia library
    // reads them on a thread of its own that needs the application object; a program that ended under a reading
    // crashed or hung on the way out (a bad read rings just before a simulation's input ends). Then the effects go,
    // on this thread, which made them.
    void finir(int ms)
    {
        const QDeadlineTimer fin(ms);
        const auto enLecture = [this] {
            return std::any_of(m_effets.cbegin(), m_effets.cend(),
                               [](const QSoundEffect* e) { return e && e->status() == QSoundEffect::Loading; });
        };
        while (enLecture() && !fin.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        qDeleteAll(m_effets);
        m_effets.clear();
    }

private:
    QHash<QString, QSoundEffect*> m_effets;
    std::unique_ptr<QTemporaryFile> m_sonnerie;
};

SonsQt::SonsQt() : m_thread(std::make_unique<QThread>()), m_joueur(new JoueurSons)
{
    m_thread->setObjectName(QStringLiteral("sons"));
    m_joueur->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_joueur, &QObject::deleteLater);
    m_thread->start();
}

SonsQt::~SonsQt()
{
    QMetaObject::invokeMethod(
        m_joueur, [j = m_joueur] { j->finir(FinMaxMs); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
}

void SonsQt::jouer(const QString& fichier)
{
    if (fichier.isEmpty())
        return;
    QMetaObject::invokeMethod(
        m_joueur, [j = m_joueur, fichier] { j->jouer(fichier); }, Qt::QueuedConnection);
}

void SonsQt::sonnerieTest()
{
    QMetaObject::invokeMethod(
        m_joueur, [j = m_joueur] { j->sonnerieTest(); }, Qt::QueuedConnection);
}

} // namespace kip
