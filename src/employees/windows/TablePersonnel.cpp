#include "TablePersonnel.h"

#include "ModelePersonnel.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/FichierPersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <atomic>

namespace kip {

namespace {

std::atomic<int> g_ordre{0};      // 0 until an order was chosen in this run
constexpr int TailleInitiale = 6; // rows, until the list knows its height
constexpr int LignesParCran = 3;  // rows scrolled by one notch of the wheel

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
    : FenetreTravail(cadre, nom::TablePersonnel), m_usageParametre(FileId::Parametre),
      m_usagePersonnel(FileId::Personnel), m_db(paths().dataDir),
      m_page(m_db, ordreMemorise(OrdrePersonnel::Nom), TailleInitiale)
{
    construire();
    // The rows that the list's height holds, known before it is shown: the first page is read once.
    layout()->activate();
    const int place = m_vue->height() - m_vue->horizontalHeader()->sizeHint().height() - 2 * m_vue->frameWidth();
    m_page.fixerTaille(std::max(1, place / m_vue->verticalHeader()->defaultSectionSize()));
    m_ouverte = ouvrirListe();
    if (m_ouverte)
        afficher();
}

TablePersonnel::~TablePersonnel() = default;

FenetreTravail* TablePersonnel::ouvrir(Cadre& cadre)
{
    auto* fenetre = new TablePersonnel(cadre);
    if (fenetre->ouverte())
        return fenetre;
    fenetre->m_ferme = true;
    fenetre->close();
    return nullptr;
}

void TablePersonnel::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    colonne->setSpacing(0);

    m_onglets = new QTabBar(this);
    m_onglets->setObjectName(QStringLiteral("onglets"));
    m_onglets->addTab(QStringLiteral("Tab nom"));
    m_onglets->addTab(QStringLiteral("Tab carte"));
    m_onglets->addTab(QStringLiteral("Tab matricule"));
    m_onglets->setFocusPolicy(Qt::NoFocus);
    m_onglets->setDrawBase(false);
    colonne->addWidget(m_onglets);

    auto* liste = new QHBoxLayout;
    liste->setSpacing(0);
    m_modele = new ModelePersonnel(this);
    m_vue = new QTableView(this);
    m_vue->setObjectName(QStringLiteral("liste"));
    m_vue->setHorizontalHeader(new EnteteGroupes(m_vue));
    m_vue->setModel(m_modele);
    m_vue->setItemDelegate(new DelegueLignes(m_vue));
    m_vue->verticalHeader()->hide();
    m_vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_vue->verticalHeader()->setDefaultSectionSize(m_vue->itemDelegate()->sizeHint({}, {}).height());
    m_vue->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_vue->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vue->setTabKeyNavigation(false);
    m_vue->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_vue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_vue->setShowGrid(true);
    m_vue->setGridStyle(Qt::SolidLine);
    m_vue->setFocusPolicy(Qt::StrongFocus);
    const QFontMetrics fm(m_vue->font());
    for (int c = 0; c < ModelePersonnel::NombreColonnes; ++c) {
        int largeur = fm.horizontalAdvance(QLatin1Char('M')) * ModelePersonnel::largeurCaracteres(c);
        QStringList textes = ModelePersonnel::sousTitres(c);
        textes << ModelePersonnel::titre(c);
        for (const QString& s : textes)
            largeur = std::max(largeur, fm.horizontalAdvance(s));
        m_vue->horizontalHeader()->resizeSection(c, largeur + 24);
    }
    // The names take the room left.
    m_vue->horizontalHeader()->setSectionResizeMode(ModelePersonnel::Identite, QHeaderView::Stretch);
    m_vue->installEventFilter(this);
    m_vue->viewport()->installEventFilter(this);
    liste->addWidget(m_vue, 1);

    m_barre = new QScrollBar(Qt::Vertical, this);
    m_barre->setObjectName(QStringLiteral("defilement"));
    m_barre->setRange(1, PositionsDefilement);
    m_barre->setPageStep(10);
    m_barre->setFocusPolicy(Qt::NoFocus);
    liste->addWidget(m_barre);
    colonne->addLayout(liste, 1);

    // The commands as hidden buttons: the bar forwards a command only while its button is enabled.
    auto bouton = [this](const char* nomObjet, const char* texte) {
        auto* b = new QPushButton(QString::fromUtf8(texte), this);
        b->setObjectName(QLatin1String(nomObjet));
        b->hide();
        return b;
    };
    m_creer = bouton("creer", "Créer");
    m_modifier = bouton("modifier", "Modifier");
    m_supprimer = bouton("supprimer", "Supprimer");
    m_fermer = bouton("fermer", "Fermer");
    connect(m_creer, &QPushButton::clicked, this, &TablePersonnel::creer);
    connect(m_modifier, &QPushButton::clicked, this, &TablePersonnel::modifier);
    connect(m_supprimer, &QPushButton::clicked, this, &TablePersonnel::supprimer);
    connect(m_fermer, &QPushButton::clicked, this, &QWidget::close);

    connect(m_onglets, &QTabBar::currentChanged, this, [this](int i) {
        if (!m_miseAJour)
            choisirOrdre(static_cast<OrdrePersonnel>(i + 1));
    });
    connect(m_vue->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& courant) {
        if (m_miseAJour || !courant.isValid())
            return;
        m_page.choisir(courant.row());
        const QSignalBlocker bloque(m_barre);
        m_barre->setSliderPosition(m_page.position());
    });
    connect(m_vue, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            modifier();
    });
    connect(m_barre, &QScrollBar::actionTriggered, this, &TablePersonnel::actionBarre);
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

template <class F> void TablePersonnel::agir(F&& mouvement)
{
    if (m_ferme)
        return;
    const FileError e = mouvement();
    if (!e.ok()) {
        m_ferme = true;
        Message(35, e, QStringLiteral("PERSONNEL"));
        close();
        return;
    }
    afficher();
}

void TablePersonnel::afficher()
{
    m_miseAJour = true;
    m_modele->afficher(m_page.lignes());
    {
        const QSignalBlocker bloque(m_onglets);
        m_onglets->setCurrentIndex(static_cast<int>(m_page.ordre()) - 1);
    }
    const int courante = m_page.courante();
    if (courante >= 0)
        m_vue->selectionModel()->setCurrentIndex(m_modele->index(courante, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_vue->selectionModel()->clear();
    {
        const QSignalBlocker bloque(m_barre);
        m_barre->setSliderPosition(m_page.position());
    }
    m_modifier->setEnabled(!m_page.vide());
    m_supprimer->setEnabled(!m_page.vide());
    m_miseAJour = false;
}

void TablePersonnel::ajusterTaille()
{
    const int hauteur = m_vue->verticalHeader()->defaultSectionSize();
    const int lignes = std::max(1, m_vue->viewport()->height() / std::max(1, hauteur));
    if (lignes != m_page.taille())
        agir([&] { return m_page.changerTaille(lignes); });
}

void TablePersonnel::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    m_vue->setFocus();
}

void TablePersonnel::boutonSommaire(int evenement)
{
    if (m_enAttente || m_ferme)
        return;
    switch (evenement - evt::BoutonListe) {
    case 1:
        if (m_creer->isEnabled())
            creer();
        return;
    case 2:
        if (m_modifier->isEnabled())
            modifier();
        return;
    case 3:
        if (m_supprimer->isEnabled())
            supprimer();
        return;
    case 4:
        choisirOrdre(OrdrePersonnel::Nom);
        return;
    case 5:
        choisirOrdre(OrdrePersonnel::Carte);
        return;
    case 6:
        choisirOrdre(OrdrePersonnel::Matricule);
        return;
    default:
        break;
    }
    if (evenement == evt::Bouton13)
        close();
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

void TablePersonnel::creer()
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

void TablePersonnel::actionBarre(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        agir([&] { return m_page.defiler(1); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        agir([&] { return m_page.defiler(-1); });
        break;
    case QAbstractSlider::SliderPageStepAdd:
        agir([&] { return m_page.defiler(m_page.taille()); });
        break;
    case QAbstractSlider::SliderPageStepSub:
        agir([&] { return m_page.defiler(-m_page.taille()); });
        break;
    case QAbstractSlider::SliderToMinimum:
        agir([&] { return m_page.allerDebut(); });
        break;
    case QAbstractSlider::SliderToMaximum:
        agir([&] { return m_page.allerFin(); });
        break;
    case QAbstractSlider::SliderMove: {
        // While the thumb is dragged it stays where the mouse puts it.
        const int p = m_barre->sliderPosition();
        agir([&] { return m_page.allerPosition(p); });
        m_barre->setSliderPosition(p);
        return;
    }
    default:
        return;
    }
    m_barre->setSliderPosition(m_page.position());
}

bool TablePersonnel::touche(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Up:
        agir([&] { return m_page.deplacer(-1); });
        return true;
    case Qt::Key_Down:
        agir([&] { return m_page.deplacer(1); });
        return true;
    case Qt::Key_PageUp:
        agir([&] { return m_page.deplacer(-m_page.taille()); });
        return true;
    case Qt::Key_PageDown:
        agir([&] { return m_page.deplacer(m_page.taille()); });
        return true;
    case Qt::Key_Home:
        agir([&] { return m_page.allerDebut(); });
        return true;
    case Qt::Key_End:
        agir([&] { return m_page.allerFin(); });
        return true;
    case Qt::Key_Insert:
        creer();
        return true;
    case Qt::Key_Delete:
        if (m_supprimer->isEnabled())
            supprimer();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl && m_modifier->isEnabled())
            modifier();
        return true;
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

bool TablePersonnel::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == m_vue && event->type() == QEvent::KeyPress)
        return touche(static_cast<QKeyEvent*>(event));
    if (objet == m_vue->viewport()) {
        if (event->type() == QEvent::Resize)
            ajusterTaille();
        if (event->type() == QEvent::Wheel) {
            const int crans = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
            if (crans != 0)
                agir([&] { return m_page.defiler(-crans * LignesParCran); });
            return true;
        }
    }
    return FenetreTravail::eventFilter(objet, event);
}

} // namespace kip

#include "moc_TablePersonnel.cpp"
