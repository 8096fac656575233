#include "PauseLecteur.h"

#include <QThread>
#include <atomic>
#include <utility>

namespace kip {

namespace {
// The pauses held in the program and the link of the last one, for a stop that cannot wait for their guards.
std::atomic<int> g_actives{0};
std::atomic<const LecteurCartes*> g_lien{nullptr};
std::atomic<bool> g_arret{false};
} // namespace

PauseLecteur PauseLecteur::demander(const LecteurCartes& lecteur)
{
    lecteur.envoyer(LecteurCartes::Pause);
    g_lien = &lecteur;
    ++g_actives;
    return PauseLecteur(&lecteur);
}

void PauseLecteur::attendre(int ms)
{
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

void PauseLecteur::reprendreAvantArret()
{
    if (g_actives > 0 && !g_arret.exchange(true))
        g_lien.load()->envoyer(LecteurCartes::Reprise);
}

PauseLecteur::PauseLecteur(PauseLecteur&& other) noexcept : m_lecteur(std::exchange(other.m_lecteur, nullptr)) {}

PauseLecteur& PauseLecteur::operator=(PauseLecteur&& other) noexcept
{
    if (this != &other) {
        reprendre();
        m_lecteur = std::exchange(other.m_lecteur, nullptr);
    }
    return *this;
}

PauseLecteur::~PauseLecteur()
{
    reprendre();
}

void PauseLecteur::reprendre()
{
    const LecteurCartes* lecteur = std::exchange(m_lecteur, nullptr);
    if (!lecteur)
        return;
    --g_actives;
    if (!g_arret) // a stop has already resumed it
        lecteur->envoyer(LecteurCartes::Reprise);
}

} // namespace kip
