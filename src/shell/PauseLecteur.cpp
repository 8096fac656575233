#include "PauseLecteur.h"

#include <utility>

namespace kip {

PauseLecteur PauseLecteur::demander(const LecteurCartes& lecteur)
{
    lecteur.envoyer(LecteurCartes::Pause);
    return PauseLecteur(&lecteur);
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
    if (const LecteurCartes* lecteur = std::exchange(m_lecteur, nullptr))
        lecteur->envoyer(LecteurCartes::Reprise);
}

} // namespace kip
