#include "GardePause.h"

#include "LecteurCartes.h"

#include <QThread>

namespace kip {

GardePause::GardePause()
{
    LecteurCartes::programme().envoyer(LecteurCartes::Pause);
}

GardePause::~GardePause()
{
    LecteurCartes::programme().envoyer(LecteurCartes::Reprise);
}

void GardePause::attendre(int ms)
{
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

} // namespace kip
