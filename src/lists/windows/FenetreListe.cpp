#include "FenetreListe.h"

#include "data/Messages.h"
#include "data/Notifications.h"
#include "lists/PageLignes.h"
#include "lists/PositionsDefilement.h"
#include "shell/windows/Evenements.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QWheelEvent>

namespace kip {

namespace {

constexpr int LignesParCran = 3; // rows scrolled by one notch of the wheel
constexpr int DegresParCran = 120;
constexpr int PremierOrdreBarre = 4; // bar slots 4 and on choose the orders, in the order of the tabs

} // namespace

FenetreListe::FenetreListe(Cadre& cadre, const QString& nomProcedure, const QString& fichier)
    : FenetreTravail(cadre, nomProcedure), m_fichier(fichier)
{
}

FenetreListe::~FenetreListe() = default;

void FenetreListe::demarrer()
{
    construire();
    // The rows that the list's height holds, known before it is shown: the first page is read once.
    layout()->activate();
    const int place = m_vue->height() - m_vue->horizontalHeader()->sizeHint().height() - 2 * m_vue->frameWidth();
    pageListe().fixerTaille(std::max(1, place / m_vue->verticalHeader()->defaultSectionSize()));
    m_ouverte = ouvrirListe();
    if (!m_ouverte)
        return;
    afficher();
    if (EcouteServeur* ecoute = EcouteServeur::programme())
        connect(ecoute, &EcouteServeur::tableModifiee, this, [this](const QString& table) {
            if (table == m_fichier)
                relire();
        });
}

void FenetreListe::relire()
{
    if (!m_ouverte || m_ferme)
        return;
    if (m_enAttente || !isVisible()) {
        m_aRelire = true;
        return;
    }
    // Nobody asked for this read: when it fails (the server is away) the page stays as it was and the list open;
    // the operator's next move meets the error and is told then.
    m_aRelire = !pageListe().rafraichir().ok();
    if (!m_aRelire)
        afficher();
}

bool FenetreListe::event(QEvent* e)
{
    if (e->type() == QEvent::WindowDeactivate)
        m_desactivee = true;
    if (e->type() == QEvent::WindowActivate && std::exchange(m_desactivee, false))
        relire();
    return FenetreTravail::event(e);
}

FenetreTravail* FenetreListe::ouverteOuFermee(FenetreListe* fenetre)
{
    if (fenetre->ouverte())
        return fenetre;
    fenetre->m_ferme = true;
    fenetre->close();
    return nullptr;
}

QTabBar* FenetreListe::creerOnglets(std::initializer_list<const char*> titres)
{
    m_onglets = new QTabBar(this);
    m_onglets->setObjectName(QStringLiteral("onglets"));
    for (const char* t : titres)
        m_onglets->addTab(QString::fromUtf8(t));
    m_onglets->setFocusPolicy(Qt::NoFocus);
    m_onglets->setDrawBase(false);
    return m_onglets;
}

void FenetreListe::preparerVue(QTableView* vue)
{
    m_vue = vue;
    vue->setObjectName(QStringLiteral("liste"));
    vue->verticalHeader()->hide();
    vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vue->setSelectionBehavior(QAbstractItemView::SelectRows);
    vue->setSelectionMode(QAbstractItemView::SingleSelection);
    vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vue->setTabKeyNavigation(false);
    vue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vue->installEventFilter(this);
    vue->viewport()->installEventFilter(this);
}

QScrollBar* FenetreListe::creerBarre()
{
    m_barre = new QScrollBar(Qt::Vertical, this);
    m_barre->setObjectName(QStringLiteral("defilement"));
    m_barre->setRange(1, PositionsDefilement);
    m_barre->setPageStep(10);
    m_barre->setFocusPolicy(Qt::NoFocus);
    return m_barre;
}

void FenetreListe::creerBoutons(const char* nomNouveau, const char* texteNouveau)
{
    auto bouton = [this](const char* nomObjet, const char* texte) {
        auto* b = new QPushButton(QString::fromUtf8(texte), this);
        b->setObjectName(QLatin1String(nomObjet));
        b->hide();
        return b;
    };
    m_nouveau = bouton(nomNouveau, texteNouveau);
    m_modifier = bouton("modifier", "Modifier");
    m_supprimer = bouton("supprimer", "Supprimer");
    m_fermer = bouton("fermer", "Fermer");
    connect(m_nouveau, &QPushButton::clicked, this, &FenetreListe::nouveau);
    connect(m_modifier, &QPushButton::clicked, this, &FenetreListe::modifier);
    connect(m_supprimer, &QPushButton::clicked, this, &FenetreListe::supprimer);
    connect(m_fermer, &QPushButton::clicked, this, &QWidget::close);
}

void FenetreListe::connecter()
{
    connect(m_onglets, &QTabBar::currentChanged, this, [this](int i) {
        if (!m_miseAJour)
            choisirOrdreIndex(i);
    });
    connect(m_vue->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
        if (m_miseAJour || !i.isValid())
            return;
        pageListe().choisir(i.row());
        const QSignalBlocker bloque(m_barre);
        m_barre->setSliderPosition(pageListe().position());
    });
    connect(m_vue, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid())
            modifier();
    });
    connect(m_barre, &QScrollBar::actionTriggered, this, &FenetreListe::actionBarre);
}

void FenetreListe::agir(const std::function<FileError()>& mouvement)
{
    if (m_ferme)
        return;
    if (const FileError e = mouvement(); !e.ok()) {
        m_ferme = true;
        Message(35, e, m_fichier);
        close();
        return;
    }
    afficher();
}

void FenetreListe::afficher()
{
    m_miseAJour = true;
    afficherLignes();
    {
        const QSignalBlocker bloque(m_onglets);
        m_onglets->setCurrentIndex(indexOrdre());
    }
    const int courante = pageListe().courante();
    if (courante >= 0)
        m_vue->selectionModel()->setCurrentIndex(m_vue->model()->index(courante, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        m_vue->selectionModel()->clear();
    {
        const QSignalBlocker bloque(m_barre);
        m_barre->setSliderPosition(pageListe().position());
    }
    m_modifier->setEnabled(!pageListe().vide());
    m_supprimer->setEnabled(!pageListe().vide());
    afficherAutour();
    m_miseAJour = false;
}

void FenetreListe::ajusterTaille()
{
    const int hauteur = m_vue->verticalHeader()->defaultSectionSize();
    const int lignes = std::max(1, m_vue->viewport()->height() / std::max(1, hauteur));
    if (lignes != pageListe().taille())
        agir([&] { return pageListe().changerTaille(lignes); });
}

void FenetreListe::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    m_vue->setFocus();
    if (m_aRelire)
        relire();
}

void FenetreListe::boutonSommaire(int evenement)
{
    if (m_enAttente || m_ferme)
        return;
    const int n = evenement - evt::BoutonListe;
    switch (n) {
    case 1:
        if (m_nouveau->isEnabled())
            nouveau();
        return;
    case 2:
        if (m_modifier->isEnabled())
            modifier();
        return;
    case 3:
        if (m_supprimer->isEnabled())
            supprimer();
        return;
    default:
        break;
    }
    if (n >= PremierOrdreBarre && n < PremierOrdreBarre + m_onglets->count()) {
        choisirOrdreIndex(n - PremierOrdreBarre);
        return;
    }
    if (evenement == evt::Bouton13)
        close();
}

void FenetreListe::actionBarre(int action)
{
    PageListe& p = pageListe();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        agir([&] { return p.defiler(1); });
        break;
    case QAbstractSlider::SliderSingleStepSub:
        agir([&] { return p.defiler(-1); });
        break;
    case QAbstractSlider::SliderPageStepAdd:
        agir([&] { return p.defiler(p.taille()); });
        break;
    case QAbstractSlider::SliderPageStepSub:
        agir([&] { return p.defiler(-p.taille()); });
        break;
    case QAbstractSlider::SliderToMinimum:
        agir([&] { return p.allerDebut(); });
        break;
    case QAbstractSlider::SliderToMaximum:
        agir([&] { return p.allerFin(); });
        break;
    case QAbstractSlider::SliderMove: {
        // While the thumb is dragged it stays where the mouse puts it.
        const int position = m_barre->sliderPosition();
        agir([&] { return p.allerPosition(position); });
        m_barre->setSliderPosition(position);
        return;
    }
    default:
        return;
    }
    m_barre->setSliderPosition(p.position());
}

bool FenetreListe::touche(QKeyEvent* e)
{
    PageListe& p = pageListe();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Up:
        agir([&] { return p.deplacer(-1); });
        return true;
    case Qt::Key_Down:
        agir([&] { return p.deplacer(1); });
        return true;
    case Qt::Key_PageUp:
        agir([&] { return p.deplacer(-p.taille()); });
        return true;
    case Qt::Key_PageDown:
        agir([&] { return p.deplacer(p.taille()); });
        return true;
    case Qt::Key_Home:
        agir([&] { return p.allerDebut(); });
        return true;
    case Qt::Key_End:
        agir([&] { return p.allerFin(); });
        return true;
    case Qt::Key_Insert:
        nouveau();
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
    default:
        return toucheListe(e);
    }
}

bool FenetreListe::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == m_vue && event->type() == QEvent::KeyPress)
        return touche(static_cast<QKeyEvent*>(event));
    if (objet == m_vue->viewport()) {
        if (event->type() == QEvent::Resize)
            ajusterTaille();
        if (event->type() == QEvent::Wheel) {
            const int crans = static_cast<QWheelEvent*>(event)->angleDelta().y() / DegresParCran;
            if (crans != 0)
                agir([&] { return pageListe().defiler(-crans * LignesParCran); });
            return true;
        }
    }
    return FenetreTravail::eventFilter(objet, event);
}

} // namespace kip

#include "moc_FenetreListe.cpp"
