#include "GrilleSemaine.h"

#include "calendar/HeureTexte.h"
#include "punch/ArrondirSemaine.h"

namespace kip {

namespace {

// A cell as it compares: a time rewritten as the grid writes it, anything else as typed without its blanks.
QString normal(const QString& texte)
{
    const CelluleLue lu = LireCellule(texte);
    return lu.etat == CelluleLue::Valide ? lu.texte : texte.trimmed();
}

TextesJour normaux(const TextesJour& t)
{
    TextesJour n;
    for (int i = 0; i < CellulesJour; ++i)
        n[size_t(i)] = normal(t[size_t(i)]);
    return n;
}

TextesJour textes(const PunchLine& ligne)
{
    TextesJour t;
    for (int i = 0; i < CellulesJour; ++i)
        t[size_t(i)] = TexteCellule(ligne[size_t(i)]);
    return t;
}

// POV:MODIF as a save sets it: the programme and user rows differ, compared as shown.
quint8 modifDe(const JourGrille& j)
{
    return memesTextes(j.programme, normaux(j.utilisateur)) ? 0 : 1;
}

} // namespace

bool Brouillon::vide() const
{
    for (const auto& j : jours)
        if (j)
            return false;
    return true;
}

void GrilleSemaine::charger(const Personnel& employe, qint32 lundi,
                            const std::array<std::optional<PointVal>, JoursSemaine>& lignes)
{
    m_employe = employe;
    m_lundi = lundi;
    for (int j = 0; j < JoursSemaine; ++j) {
        JourGrille& jour = m_jours[size_t(j)];
        jour = JourGrille{};
        jour.date = lundi + j;
        const std::optional<PointVal>& ligne = lignes[size_t(j)];
        if (!ligne)
            continue;
        jour.cache = ligne->INACTIF != 0;
        jour.modifLu = ligne->MODIF;
        jour.version = ligne->version;
        if (jour.cache)
            continue;
        jour.total = ligne->TOTAL;
        jour.origine = textes(ligne->POINTAGE_ORIGINE);
        jour.programme = textes(ligne->POINTAGE_PROGRAMME);
        jour.utilisateur = textes(ligne->POINTAGE_UTILISATEUR);
        jour.utilisateurLu = jour.utilisateur;
    }
}

bool GrilleSemaine::unJourAffiche() const
{
    return premierJourAffiche() >= 0;
}

int GrilleSemaine::premierJourAffiche() const
{
    for (int j = 0; j < JoursSemaine; ++j)
        if (!m_jours[size_t(j)].cache)
            return j;
    return -1;
}

void GrilleSemaine::poser(int jour, int colonne, const QString& texte)
{
    m_jours[size_t(jour)].utilisateur[size_t(colonne)] = texte;
}

void GrilleSemaine::recalculer(int jour)
{
    const Chronologie c = ChronologieJour(m_jours[size_t(jour)].utilisateur);
    if (c.valide())
        m_jours[size_t(jour)].total = c.total;
}

GrilleSemaine::Saisie GrilleSemaine::saisir(int jour, int colonne, const QString& texte)
{
    JourGrille& j = m_jours[size_t(jour)];
    const CelluleLue lu = LireCellule(texte);
    j.utilisateur[size_t(colonne)] = lu.etat == CelluleLue::Valide ? lu.texte : texte;
    if (lu.erreur())
        return {Saisie::Refusee, colonne};
    const Chronologie c = ChronologieJour(j.utilisateur);
    if (c.etat == Chronologie::SecondPassage)
        return {Saisie::Chronologie, c.colonne};
    if (c.etat == Chronologie::CelluleInvalide)
        return {Saisie::Refusee, c.colonne}; // another cell of the day was left refused
    j.total = c.total;
    return {};
}

qint32 GrilleSemaine::totalSemaine() const
{
    qint32 total = 0;
    for (const JourGrille& j : m_jours)
        if (!j.cache)
            total += j.total;
    return total;
}

qint32 GrilleSemaine::totalArrondi() const
{
    return ArrondirSemaine(totalSemaine(), m_employe.ARRONDI_SEMAINE);
}

int GrilleSemaine::jourVoisin(int jour, int sens) const
{
    for (int pas = 1; pas <= JoursSemaine; ++pas) {
        const int j = ((jour + sens * pas) % JoursSemaine + JoursSemaine) % JoursSemaine;
        if (!m_jours[size_t(j)].cache)
            return j;
    }
    return -1;
}

int GrilleSemaine::colonneVoisine(int colonne, int sens)
{
    return ((colonne + sens) % CellulesJour + CellulesJour) % CellulesJour;
}

bool GrilleSemaine::jourModifie(int jour) const
{
    const JourGrille& j = m_jours[size_t(jour)];
    if (j.cache)
        return false;
    return modifDe(j) != j.modifLu || !memesTextes(normaux(j.utilisateur), j.utilisateurLu);
}

std::vector<int> GrilleSemaine::joursModifies() const
{
    std::vector<int> out;
    for (int j = 0; j < JoursSemaine; ++j)
        if (jourModifie(j))
            out.push_back(j);
    return out;
}

GrilleSemaine::Verification GrilleSemaine::verifier() const
{
    Verification v;
    for (int j : joursModifies()) {
        const JourGrille& jour = m_jours[size_t(j)];
        const Chronologie c = ChronologieJour(jour.utilisateur);
        if (!c.valide()) {
            v.valide = false;
            v.jour = j;
            v.colonne = c.colonne;
            v.ecritures.clear();
            return v;
        }
        EcritureJour e;
        e.date = jour.date;
        e.utilisateur = c.valeurs;
        e.total = qint16(c.total);
        e.version = jour.version;
        e.modif = modifDe(jour);
        v.ecritures.push_back(e);
    }
    return v;
}

Brouillon GrilleSemaine::brouillon() const
{
    Brouillon b;
    b.carte = m_employe.CARTE;
    b.lundi = m_lundi;
    for (int j = 0; j < JoursSemaine; ++j) {
        const JourGrille& jour = m_jours[size_t(j)];
        if (!jour.cache && !memesTextes(normaux(jour.utilisateur), jour.utilisateurLu))
            b.jours[size_t(j)] = jour.utilisateur;
    }
    return b;
}

bool GrilleSemaine::reprendre(const Brouillon& b)
{
    if (b.carte != m_employe.CARTE || b.lundi != m_lundi)
        return false;
    bool repris = false;
    for (int j = 0; j < JoursSemaine; ++j) {
        if (!b.jours[size_t(j)] || m_jours[size_t(j)].cache)
            continue;
        m_jours[size_t(j)].utilisateur = *b.jours[size_t(j)];
        recalculer(j);
        repris = true;
    }
    return repris;
}

QString TexteTotal(qint32 minutes)
{
    if (minutes == 0)
        return {};
    return QString::number(HeureDecimale(minutes), 'f', 2).rightJustified(6);
}

} // namespace kip
