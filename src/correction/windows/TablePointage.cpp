#include "TablePointage.h"

#include "ModelePointage.h"
#include "SelecteurEmploye.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/FichierPersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <atomic>

namespace kip {

namespace {

std::atomic<int> g_ordre{0};
constexpr int TailleInitiale = 10;

// The chosen attendance button light green, the others light red.
const QString Choisi = QStringLiteral("#80ff80");
const QString NonChoisi = QStringLiteral("#ff8080");

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
        saveError(e);
        Message(35, QStringLiteral("PERSONNEL"));
        return false;
    }
    if (employes.empty())
        return false;
    m_bornes.emplace(Clock::today(), employes.front(), employes.back());
    m_selecteurDebut->modele()->remplir(employes);
    m_selecteurFin->modele()->remplir(std::move(employes));
    if (FileError v = m_page.verifier(); !v.ok()) {
        saveError(v);
        Message(36);
    }
    if (FileError l = m_page.changer(ordrePointageMemorise(), m_bornes->plage(m_presence)); !l.ok()) {
        saveError(l);
        Message(35, QStringLiteral("POINTVAL"));
        return false;
    }
    m_modele->changerOrdre(m_page.ordre(), m_page.lignes());
    return true;
}

void TablePointage::afficherLignes()
{
    m_modele->afficher(m_page.lignes());
}

void TablePointage::afficherBornes()
{
    const BornesPointage& b = *m_bornes;
    m_dateDebut->setText(DateTexte(b.dateDebut()));
    m_dateFin->setText(DateTexte(b.dateFin()));
    m_semaineDebut->setText(TexteSemaine(b.semaineDebut()));
    m_semaineFin->setText(TexteSemaine(b.semaineFin()));
    m_texteDebut->setText(TexteEmployeListe(b.employeDebut()));
    m_texteFin->setText(TexteEmployeListe(b.employeFin()));
    m_selecteurDebut->montrer(b.employeDebut().CARTE);
    m_selecteurFin->montrer(b.employeFin().CARTE);
    for (size_t i = 0; i < m_presences.size(); ++i)
        m_presences[i]->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #707070; "
                                                     "padding: 3px 8px; }")
                                          .arg(int(i) == int(m_presence) ? Choisi : NonChoisi));
    const QFontMetrics fm(m_vue->font());
    const int m = fm.horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < ModelePointage::NombreGroupes; ++c) {
        int largeur = 0;
        switch (m_modele->groupe(c)) {
        case ModelePointage::Date:
            largeur = fm.horizontalAdvance(QStringLiteral("Mer  00/00/0000"));
            break;
        case ModelePointage::Numero:
            largeur = m * 6;
            break;
        case ModelePointage::NomPrenom:
            largeur = fm.horizontalAdvance(QLatin1Char('M')) * 20;
            break;
        case ModelePointage::Matricule:
            largeur = fm.horizontalAdvance(QLatin1Char('M')) * 8;
            break;
        default:
            largeur = m * 8;
            break;
        }
        m_vue->horizontalHeader()->resizeSection(c, largeur + 20);
        // The names take the room left.
        m_vue->horizontalHeader()->setSectionResizeMode(
            c, m_modele->groupe(c) == ModelePointage::NomPrenom ? QHeaderView::Stretch : QHeaderView::Fixed);
    }
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

void TablePointage::choisirPresence(Presence presence)
{
    if (m_enAttente || m_ferme)
        return;
    m_presence = presence;
    relire();
}

void TablePointage::choisirDate(bool fin)
{
    if (m_enAttente || m_ferme)
        return;
    const std::optional<qint32> date = askDate(fin ? m_bornes->dateFin() : m_bornes->dateDebut(), this);
    if (!date)
        return;
    if (fin)
        m_bornes->choisirDateFin(*date);
    else
        m_bornes->choisirDateDebut(*date);
    relire();
}

void TablePointage::choisirSemaine(bool fin)
{
    if (m_enAttente || m_ferme)
        return;
    const std::optional<Semaine> s = askWeek(fin ? m_bornes->semaineFin() : m_bornes->semaineDebut(), this);
    if (!s)
        return;
    if (fin)
        m_bornes->choisirSemaineFin(*s);
    else
        m_bornes->choisirSemaineDebut(*s);
    relire();
}

void TablePointage::choisirEmploye(bool fin, const Personnel& employe)
{
    if (m_enAttente || m_ferme)
        return;
    if (fin)
        m_bornes->choisirEmployeFin(employe);
    else
        m_bornes->choisirEmployeDebut(employe);
    relire();
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
