// The absences of a period: counted per employee from the absence files, laid out as one line each.
#include "EditionAbsences.h"

#include "BandesCommunes.h"
#include "absences/FichierAbsences.h"
#include "calendar/Dates.h"
#include "calendar/JoursFeries.h"
#include "data/Files.h"
#include "data/Transaction.h"
#include "soldes/Soldes.h"

namespace kip {

namespace {

constexpr qint32 HauteurLigne = 190;
constexpr qint32 ColNom = 450, ColPrenom = 1750, ColTypes = 2700;

qint32 largeurType(size_t types)
{
    return (Dessin::largeur() - ColTypes) / qint32(types + 1);
}

QString jours(qint32 centiemes)
{
    return centiemes ? TexteJours(centiemes) : QString();
}

} // namespace

RapportAbsences::RapportAbsences() = default;

RapportAbsences::~RapportAbsences() = default;

void RapportAbsences::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    const ParametresEdition& p = contexte.parametres;
    {
        // The absence files are read beside the run's employees, in a snapshot of their own.
        Database db(contexte.db.dataDir());
        FileUse types(FileId::TypeAbsence), absences(FileId::Absence), horaires(FileId::Horaire),
            reglages(FileId::ReglagesAbsences);
        const Transaction lecture(db, {FileId::TypeAbsence, FileId::Absence, FileId::Horaire, FileId::ReglagesAbsences},
                                  Transaction::Lecture);
        Result<std::vector<TypeAbsence>> t =
            lecture.ok() ? LireTypes(db) : Result<std::vector<TypeAbsence>>(lecture.error());
        Result<ReglagesAbsences> r = t ? LireReglages(db) : Result<ReglagesAbsences>(t.error());
        Result<HorairesPrevus> h = r ? LireHoraires(db) : Result<HorairesPrevus>(r.error());
        Result<std::vector<Absence>> a =
            h ? LireAbsences(db, p.dateDebut, p.dateFin) : Result<std::vector<Absence>>(h.error());
        if (!a) {
            m_erreur = a.error();
            return;
        }
        m_types = std::move(*t);
        m_horaires = std::move(*h);
        m_alsaceMoselle = r->ALSACE_MOSELLE;
        for (Absence& x : *a)
            m_absences[x.CARTE].push_back(std::move(x));
    }
    m_totaux.assign(m_types.size() + 1, 0);
    contexte.pagination.enTetePage(HauteurEnTetePage,
                                   [titre = p.NOMEDITION, date = contexte.dateImpression](Dessin& d) {
                                       dessinerEnTetePage(d, {titre, date, Clock::timeOfDay()});
                                   });
    contexte.pagination.piedPage(
        HauteurPiedPage, [centiemes = p.centiemes](Dessin& d, int page) { dessinerPiedPage(d, page, centiemes); });
    contexte.pagination.suiteEnTete([this] { titres(); });
}

void RapportAbsences::titres()
{
    const qint32 l = largeurType(m_types.size());
    const ParametresEdition& p = m_contexte->parametres;
    m_contexte->pagination.bande(HauteurLigne * 2, [&](Dessin& d) {
        d.texte(0, 20, Dessin::largeur(),
                QStringLiteral("Du %1 au %2, en jours").arg(DateTexte(p.dateDebut), DateTexte(p.dateFin)));
        const qint32 y = HauteurLigne + 10;
        d.texte(0, y, ColNom - 40, QStringLiteral("Carte"), polices::Grasse);
        d.texte(ColNom, y, ColPrenom - ColNom, QStringLiteral("Nom"), polices::Grasse);
        d.texte(ColPrenom, y, ColTypes - ColPrenom, QStringLiteral("Prénom"), polices::Grasse);
        for (size_t i = 0; i < m_types.size(); ++i)
            d.texte(ColTypes + qint32(i) * l, y, l - 20, m_types[i].CODE, polices::Grasse, Alignement::Droite);
        d.texte(ColTypes + qint32(m_types.size()) * l, y, l - 20, QStringLiteral("Total"), polices::Grasse,
                Alignement::Droite);
        d.ligne(0, 2 * HauteurLigne - 10, Dessin::largeur(), 2 * HauteurLigne - 10, 4);
    });
}

void RapportAbsences::employe(const Personnel& per)
{
    if (!m_erreur.ok())
        return;
    m_commence = true; // the column titles come with each page that opens (suiteEnTete)
    LigneAbsences ligne;
    ligne.employe = per;
    ligne.jours.assign(m_types.size(), 0);
    const std::vector<Absence>& absences = m_absences.value(per.CARTE);
    auto indexType = [&](QStringView code) -> int {
        for (size_t i = 0; i < m_types.size(); ++i)
            if (m_types[i].CODE.compare(code, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    };
    QSet<qint32> avecAbsence;
    for (const Absence& a : absences) {
        avecAbsence.insert(a.DATE);
        const int i = indexType(a.CODE);
        if (i >= 0)
            ligne.jours[size_t(i)] += CentiemesAbsence(a, m_horaires.minutes(per, a.DATE));
    }
    // A public holiday on a planned day counts under JF when nothing was entered on it.
    if (const int jf = indexType(QString::fromLatin1(CodeFerie)); jf >= 0) {
        const ParametresEdition& p = m_contexte->parametres;
        for (qint32 x = p.dateDebut; x <= p.dateFin; ++x)
            if (!avecAbsence.contains(x) && m_horaires.minutes(per, x) > 0 && EstFerie(x, m_alsaceMoselle))
                ligne.jours[size_t(jf)] += 100;
    }
    for (size_t i = 0; i < ligne.jours.size(); ++i) {
        ligne.total += ligne.jours[i];
        m_totaux[i] += ligne.jours[i];
    }
    m_totaux.back() += ligne.total;
    if (observateur)
        observateur(ligne);
    const qint32 l = largeurType(m_types.size());
    m_contexte->pagination.bande(HauteurLigne, [&](Dessin& d) {
        d.texte(0, 20, ColNom - 40, texteCarte(per.CARTE));
        d.texte(ColNom, 20, ColPrenom - ColNom - 40, per.NOM);
        d.texte(ColPrenom, 20, ColTypes - ColPrenom - 40, per.PRENOM);
        for (size_t i = 0; i < ligne.jours.size(); ++i)
            d.texte(ColTypes + qint32(i) * l, 20, l - 20, jours(ligne.jours[i]), polices::Normale, Alignement::Droite);
        d.texte(ColTypes + qint32(ligne.jours.size()) * l, 20, l - 20, jours(ligne.total), polices::Grasse,
                Alignement::Droite);
    });
}

bool RapportAbsences::fermer()
{
    if (m_commence) {
        const qint32 l = largeurType(m_types.size());
        m_contexte->pagination.bande(HauteurLigne + 120, [&](Dessin& d) {
            d.cadre(0, 40, Dessin::largeur(), HauteurLigne + 40);
            d.texte(104, 80, ColTypes - 144, QStringLiteral("Total de la période"), polices::Grasse);
            for (size_t i = 0; i < m_totaux.size(); ++i)
                d.texte(ColTypes + qint32(i) * l, 80, l - 20, jours(m_totaux[i]), polices::Grasse, Alignement::Droite);
        });
    }
    return m_contexte->pagination.terminer();
}

std::unique_ptr<Edition> EditionAbsences()
{
    return std::make_unique<RapportAbsences>();
}

} // namespace kip
