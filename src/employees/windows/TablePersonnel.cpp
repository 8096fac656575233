#include "TablePersonnel.h"

#include "ModelePersonnel.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/FichierPersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>
#include <atomic>

namespace kip {

namespace {

std::atomic<int> g_ordre{0};      // 0 until an order was chosen in this run
constexpr int TailleInitiale = 6; // rows, until the list knows its height

OrdrePersonnel ordreValide(int n, OrdrePersonnel sinon)
{
    return n >= 1 && n <= 3 ? static_cast<OrdrePersonnel>(n) : sinon;
}

} // namespace

OrdrePersonnel ordreMemorise(OrdrePersonnel sinon)
{
    return ordreValide(g_ordre.load(), sinon);
}

void memoriserOrdre(OrdrePersonnel ordre)
{
    g_ordre = static_cast<int>(ordre);
}

void oublierOrdre()
{
    g_ordre = 0;
}

TablePersonnel::TablePersonnel(Cadre& cadre)
    : FenetreListe(cadre, nom::TablePersonnel, QStringLiteral("PERSONNEL")), m_usageParametre(FileId::Parametre),
      m_usagePersonnel(FileId::Personnel), m_db(paths().dataDir),
      m_page(m_db, ordreMemorise(OrdrePersonnel::Nom), TailleInitiale)
{
    demarrer();
}

TablePersonnel::~TablePersonnel() = default;

FenetreTravail* TablePersonnel::ouvrir(Cadre& cadre)
{
    return ouverteOuFermee(new TablePersonnel(cadre));
}

void TablePersonnel::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    colonne->setSpacing(0);
    colonne->addWidget(creerOnglets({"Tab nom", "Tab carte", "Tab matricule"}));

    auto* liste = new QHBoxLayout;
    liste->setSpacing(0);
    m_modele = new ModelePersonnel(this);
    auto* vue = new QTableView(this);
    vue->setHorizontalHeader(new EnteteGroupes(vue));
    vue->setModel(m_modele);
    vue->setItemDelegate(new DelegueLignes(vue));
    preparerVue(vue);
    vue->verticalHeader()->setDefaultSectionSize(vue->itemDelegate()->sizeHint({}, {}).height());
    vue->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    vue->setShowGrid(true);
    vue->setGridStyle(Qt::SolidLine);
    vue->setFocusPolicy(Qt::StrongFocus);
    const QFontMetrics fm(vue->font());
    for (int c = 0; c < ModelePersonnel::NombreColonnes; ++c) {
        int largeur = fm.horizontalAdvance(QLatin1Char('M')) * ModelePersonnel::largeurCaracteres(c);
        QStringList textes = ModelePersonnel::sousTitres(c);
        textes << ModelePersonnel::titre(c);
        for (const QString& s : textes)
            largeur = std::max(largeur, fm.horizontalAdvance(s));
        vue->horizontalHeader()->resizeSection(c, largeur + 24);
    }
    // The names take the room left.
    vue->horizontalHeader()->setSectionResizeMode(ModelePersonnel::Identite, QHeaderView::Stretch);
    liste->addWidget(vue, 1);
    liste->addWidget(creerBarre());
    colonne->addLayout(liste, 1);

    creerBoutons("creer", "Créer");
    connecter();
}

bool TablePersonnel::ouvrirListe()
{
    if (!lireParametre(m_db, m_parametre))
        return false;
    const OrdrePersonnel ordre = ordreMemorise(ordreValide(m_parametre.TABPERSONNEL, OrdrePersonnel::Nom));
    if (FileError e = m_page.verifier(); !e.ok()) {
        Message(36, e);
        return false;
    }
    if (FileError e = m_page.changerOrdre(ordre); !e.ok()) {
        Message(35, e, QStringLiteral("PERSONNEL"));
        return false;
    }
    return true;
}

void TablePersonnel::afficherLignes()
{
    m_modele->afficher(m_page.lignes());
}

void TablePersonnel::choisirOrdre(OrdrePersonnel ordre)
{
    if (m_enAttente || m_ferme)
        return;
    memoriserOrdre(ordre);
    if (ordre == m_page.ordre()) {
        afficher();
        return;
    }
    agir([&] { return m_page.changerOrdre(ordre); });
}

bool TablePersonnel::relireCourant(Personnel& employe)
{
    const Personnel* courant = m_page.employeCourant();
    if (!courant)
        return false;
    // Read again from the file, so that the form shows the stored values even when another station changed
    // them since the list was filled.
    RecordFile<Personnel> fichier(m_db);
    FileError e = fichier.open();
    if (e.ok())
        e = fichier.fetch(employe, courant->rowid);
    if (e.ok())
        return true;
    if (e.code == NotFound) {
        agir([&] { return m_page.rafraichir(); });
        return false;
    }
    agir([&] { return e; });
    return false;
}

void TablePersonnel::nouveau()
{
    if (m_enAttente || m_ferme)
        return;
    appeler(Requete::Insertion, Personnel{});
}

void TablePersonnel::modifier()
{
    if (m_enAttente || m_ferme || m_page.vide())
        return;
    Personnel employe;
    if (relireCourant(employe))
        appeler(Requete::Modification, employe);
}

void TablePersonnel::supprimer()
{
    if (m_enAttente || m_ferme || m_page.vide())
        return;
    Personnel employe;
    if (relireCourant(employe))
        appeler(Requete::Suppression, employe);
}

void TablePersonnel::appeler(Requete requete, const Personnel& employe)
{
    m_requete = requete;
    setRequete(requete);
    setReponse(Reponse::Aucune);
    setEmployeEnCours(employe);
    m_enAttente = true;
    FenetreTravail* saisie = ouvrirFenetre(nom::SaisiePersonnel, cadre());
    if (saisie)
        connect(saisie, &QObject::destroyed, this, &TablePersonnel::apresSaisie);
    else
        apresSaisie();
}

void TablePersonnel::apresSaisie()
{
    m_enAttente = false;
    const Reponse r = reponse();
    const bool place = r == Reponse::Complete && m_requete != Requete::Suppression;
    const Personnel employe = employeEnCours();
    agir([&] {
        if (FileError e = m_page.calculerPositions(); !e.ok())
            return e;
        // A new or changed employee becomes the current row, at the place its key gives it; otherwise the
        // page is read again where it was (a deleted employee is gone from it).
        return place ? m_page.remplirAutour(employe, std::max(m_page.courante(), 0)) : m_page.rafraichir();
    });
    if (isVisible())
        m_vue->setFocus();
    Q_EMIT saisieTerminee(r);
}

bool TablePersonnel::toucheListe(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!ctrl)
            return false;
        {
            const bool arriere = e->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
            const int n = static_cast<int>(m_page.ordre()) - 1;
            choisirOrdre(static_cast<OrdrePersonnel>((n + (arriere ? 2 : 1)) % 3 + 1));
        }
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        break;
    }
    if (ctrl || (mods & Qt::AltModifier) || e->text().isEmpty())
        return false;
    for (const QChar c : e->text())
        agir([&] { return m_page.localiser(c); });
    return true;
}

} // namespace kip

#include "moc_TablePersonnel.cpp"
