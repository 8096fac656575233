#include "TablePointage.h"

#include "ModelePointage.h"
#include "SelecteurEmploye.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/FichierPersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QTableView>
#include <atomic>

namespace kip {

namespace {

std::atomic<int> g_ordre{0};
constexpr int TailleInitiale = 10;

} // namespace

OrdrePointage ordrePointageMemorise()
{
    const int n = g_ordre.load();
    return n >= 1 && n <= 4 ? static_cast<OrdrePointage>(n) : OrdrePointage::DateCarte;
}

void memoriserOrdrePointage(OrdrePointage ordre)
{
    g_ordre = static_cast<int>(ordre);
}

void oublierOrdrePointage()
{
    g_ordre = 0;
}

TablePointage::TablePointage(Cadre& cadre)
    : FenetreListe(cadre, nom::TablePointage, QStringLiteral("POINTVAL")), m_usageParametre(FileId::Parametre),
      m_usagePersonnel(FileId::Personnel), m_usagePointVal(FileId::PointVal), m_db(paths().dataDir),
      m_page(m_db, ordrePointageMemorise(), PlagePointage{}, TailleInitiale)
{
    demarrer();
}

TablePointage::~TablePointage() = default;

FenetreTravail* TablePointage::ouvrir(Cadre& cadre)
{
    return ouverteOuFermee(new TablePointage(cadre));
}

bool TablePointage::ouvrirListe()
{
    Parametre parametre;
    if (!lireParametre(m_db, parametre))
        return false;
    RecordFile<Personnel> fichier(m_db);
    std::vector<Personnel> employes;
    FileError e = fichier.open();
    if (e.ok()) {
        Personnel depuis;
        depuis.CARTE = std::numeric_limits<qint16>::min();
        Cursor<Personnel> c = fichier.read(PER_K_CARTE, depuis);
        Personnel p;
        while ((e = c.next(p)).ok())
            employes.push_back(p);
    }
    if (e.code != EndOfFile) {
        Message(35, e, QStringLiteral("PERSONNEL"));
        return false;
    }
    if (employes.empty())
        return false;
    m_bornes.emplace(Clock::today(), employes.front(), employes.back());
    m_selecteurDebut->modele()->remplir(employes);
    m_selecteurFin->modele()->remplir(std::move(employes));
    if (FileError v = m_page.verifier(); !v.ok())
        Message(36, v);
    if (FileError l = m_page.changer(ordrePointageMemorise(), m_bornes->plage(m_presence)); !l.ok()) {
        Message(35, l, QStringLiteral("POINTVAL"));
        return false;
    }
    m_modele->changerOrdre(m_page.ordre(), m_page.lignes());
    return true;
}

void TablePointage::relire()
{
    agir([&] { return m_page.changer(m_page.ordre(), m_bornes->plage(m_presence)); });
    if (isVisible())
        m_vue->setFocus();
}

void TablePointage::choisirOrdre(OrdrePointage ordre)
{
    if (m_enAttente || m_ferme)
        return;
    memoriserOrdrePointage(ordre);
    if (ordre == m_page.ordre()) {
        afficher();
        return;
    }
    if (FileError e = m_page.changer(ordre, m_bornes->plage(m_presence)); !e.ok()) {
        agir([&] { return e; });
        return;
    }
    m_modele->changerOrdre(ordre, m_page.lignes());
    afficher();
}

bool TablePointage::relireCourant(PointVal& ligne)
{
    const PointVal* courant = m_page.ligneCourante();
    if (!courant)
        return false;
    RecordFile<PointVal> fichier(m_db);
    FileError e = fichier.open();
    if (e.ok())
        e = fichier.fetch(ligne, courant->rowid);
    if (e.ok())
        return true;
    if (e.code == NotFound) {
        agir([&] { return m_page.rafraichir(); });
        return false;
    }
    agir([&] { return e; });
    return false;
}

void TablePointage::nouveau()
{
    if (m_enAttente || m_ferme || !m_bornes)
        return;
    appeler(Requete::Modification, m_bornes->employeDebut().CARTE, m_bornes->dateDebut());
}

void TablePointage::modifier()
{
    PointVal ligne;
    if (!m_enAttente && !m_ferme && !m_page.vide() && relireCourant(ligne))
        appeler(Requete::Modification, ligne.CARTE, ligne.DATE);
}

void TablePointage::supprimer()
{
    PointVal ligne;
    if (!m_enAttente && !m_ferme && !m_page.vide() && relireCourant(ligne))
        appeler(Requete::Suppression, ligne.CARTE, ligne.DATE);
}

void TablePointage::appeler(Requete requete, qint16 carte, qint32 date)
{
    setRequete(requete);
    setReponse(Reponse::Aucune);
    setJourneeEnCours(carte, date);
    m_enAttente = true;
    FenetreTravail* grille = ouvrirFenetre(nom::CorrectionPointage, cadre());
    if (grille)
        connect(grille, &QObject::destroyed, this, &TablePointage::apresGrille);
    else
        apresGrille();
}

void TablePointage::apresGrille()
{
    m_enAttente = false;
    const Reponse r = reponse();
    agir([&] {
        if (FileError e = m_page.calculerPositions(); !e.ok())
            return e;
        return m_page.rafraichir();
    });
    if (isVisible())
        m_vue->setFocus();
    Q_EMIT grilleTerminee(r);
}

} // namespace kip

#include "moc_TablePointage.cpp"
