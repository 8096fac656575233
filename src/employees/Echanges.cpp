#include "Echanges.h"

#include <QMutex>
#include <atomic>

namespace kip {

namespace {
std::atomic<int> g_requete{0};
std::atomic<int> g_reponse{0};
QMutex g_mutex; // guards the employee and the day line in hand
Personnel g_employe;
JourneeEnCours g_journee; // guarded by the same mutex
} // namespace

Requete requete()
{
    return static_cast<Requete>(g_requete.load());
}

void setRequete(Requete r)
{
    g_requete = static_cast<int>(r);
}

Reponse reponse()
{
    return static_cast<Reponse>(g_reponse.load());
}

void setReponse(Reponse r)
{
    g_reponse = static_cast<int>(r);
}

Personnel employeEnCours()
{
    QMutexLocker lock(&g_mutex);
    return g_employe;
}

void setEmployeEnCours(const Personnel& employe)
{
    QMutexLocker lock(&g_mutex);
    g_employe = employe;
}

JourneeEnCours journeeEnCours()
{
    QMutexLocker lock(&g_mutex);
    return g_journee;
}

void setJourneeEnCours(qint16 carte, qint32 date)
{
    QMutexLocker lock(&g_mutex);
    g_journee = {carte, date};
}

} // namespace kip
