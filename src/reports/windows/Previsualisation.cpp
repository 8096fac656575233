// The print preview.
#include "Previsualisation.h"

#include "DialoguesApercu.h"
#include "Icones.h"
#include "VuePage.h"
#include "data/FileWriter.h"
#include "data/Messages.h"
#include "reports/PeintrePage.h"

#include <QActionGroup>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kip {

namespace {

constexpr int Ecart = 3;             // between the cells of the grid, and around them
constexpr int MaximumGrille = 8;     // pages across or down
constexpr int CapaciteEnPlus = 4;    // page images kept read beyond those on view
const QColor Fond(0x8c, 0x96, 0xa0); // the table the pages lie on

struct ZoomFixe
{
    Previsualisation::Zoom zoom;
    double facteur;
    const char* texte;
};
constexpr ZoomFixe ZoomsFixes[] = {{Previsualisation::Zoom::Z50, 0.5, "50 %"},
                                   {Previsualisation::Zoom::Z75, 0.75, "75 %"},
                                   {Previsualisation::Zoom::Z100, 1.0, "100 %"},
                                   {Previsualisation::Zoom::Z200, 2.0, "200 %"},
                                   {Previsualisation::Zoom::Z300, 3.0, "300 %"}};

void astuce(QAction* action, const char* texte)
{
    action->setStatusTip(QString::fromUtf8(texte));
    action->setToolTip(QString::fromUtf8(texte));
}

} // namespace

Previsualisation::Previsualisation(const ImagesPages& pages, const QString& document, QWidget* parent)
    : QDialog(parent), m_pages(pages), m_document(document), m_cache(std::make_unique<CachePages>(pages))
{
    setObjectName(QStringLiteral("Previsualisation"));
    setWindowTitle(QStringLiteral("Prévisualisation"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // The size of the first page, read once: every cell and zoom is shaped on it.
    if (const std::optional<ImagePage> premiere = pages.page(1)) {
        m_largeurPage = premiere->largeur();
        m_hauteurPage = premiere->hauteur();
    }
    if (m_largeurPage <= 0 || m_hauteurPage <= 0) {
        m_largeurPage = 8268;
        m_hauteurPage = 11693;
    }
    m_ratio = double(m_hauteurPage) / m_largeurPage;

    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    construireMenus(colonne);
    construireBarre(colonne);

    m_pile = new QStackedWidget(this);
    m_grille = new QWidget(m_pile);
    m_grille->setObjectName(QStringLiteral("grille"));
    m_grille->setAutoFillBackground(true);
    QPalette fond = m_grille->palette();
    fond.setColor(QPalette::Window, Fond);
    m_grille->setPalette(fond);
    m_grille->installEventFilter(this);
    m_defilement = new QScrollArea(m_pile);
    m_defilement->setObjectName(QStringLiteral("defilement"));
    m_defilement->setBackgroundRole(QPalette::Dark);
    m_defilement->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_defilement->viewport()->setPalette(fond);
    m_defilement->viewport()->setAutoFillBackground(true);
    m_pageZoomee = new VuePage(*m_cache);
    m_pageZoomee->setObjectName(QStringLiteral("pageZoomee"));
    connect(m_pageZoomee, &VuePage::clique, this, [this] { choisirZoom(Zoom::PasDeZoom); });
    m_defilement->setWidget(m_pageZoomee);
    m_defilement->setWidgetResizable(false);
    m_pile->addWidget(m_grille);
    m_pile->addWidget(m_defilement);
    colonne->addWidget(m_pile, 1);

    m_statut = new QStatusBar(this);
    m_textePage = new QLabel(m_statut);
    m_textePage->setObjectName(QStringLiteral("textePage"));
    m_textePage->setMinimumWidth(150);
    m_texteZoom = new QLabel(m_statut);
    m_texteZoom->setObjectName(QStringLiteral("texteZoom"));
    m_texteZoom->setMinimumWidth(150);
    m_statut->addPermanentWidget(m_textePage);
    m_statut->addPermanentWidget(m_texteZoom);
    colonne->addWidget(m_statut);

    const int n = m_pages.nombre();
    if (n <= 1) {
        for (QSpinBox* s : {m_spinPage, m_spinHorizontal, m_spinVertical})
            s->setEnabled(false);
        m_menuVoir->setEnabled(false);
        for (QAction* a : m_menuVoir->actions())
            a->setEnabled(false);
    } else {
        m_spinPage->setRange(1, n);
        m_spinPage->setToolTip(QStringLiteral("Entrez un numéro de page de 1 à %1").arg(n));
    }
    m_actionPrecedente->setEnabled(false);
    resize(900, 760);
    afficher();
}

Previsualisation::~Previsualisation() = default;

void Previsualisation::construireMenus(QVBoxLayout* colonne)
{
    auto* barre = new QMenuBar(this);
    QMenu* fichier = barre->addMenu(QStringLiteral("&Fichier"));
    m_actionImprimer = fichier->addAction(QStringLiteral("&Imprimer"), this, &Previsualisation::imprimer);
    astuce(m_actionImprimer, "Imprimer le rapport");
    m_actionPdf = fichier->addAction(QStringLiteral("Enregistrer en PDF..."), this, &Previsualisation::enregistrerPdf);
    astuce(m_actionPdf, "Enregistrer le rapport dans un fichier PDF");
    fichier->addSeparator();
    m_actionSortie = fichier->addAction(QStringLiteral("E&xit"), this, &QDialog::reject);
    astuce(m_actionSortie, "Quitter sans imprimer le rapport");

    m_menuVoir = barre->addMenu(QStringLiteral("&Voir"));
    m_actionSuivante =
        m_menuVoir->addAction(QStringLiteral("Page(s) &suivante"), this, &Previsualisation::pageSuivante);
    astuce(m_actionSuivante, "Affiche la page suivante ou des pages du rapport");
    m_actionPrecedente =
        m_menuVoir->addAction(QStringLiteral("Page(s) &précédante"), this, &Previsualisation::pagePrecedente);
    astuce(m_actionPrecedente, "Affiche la page précédante ou des pages du rapport");
    m_menuVoir->addSeparator();
    m_actionAllerA =
        m_menuVoir->addAction(QStringLiteral("&Aller à la page"), this, &Previsualisation::ouvrirSautDePage);
    astuce(m_actionAllerA, "Aller à une page spécifique du rapport");
    m_menuVoir->addSeparator();
    m_actionChanger = m_menuVoir->addAction(QStringLiteral("&Changer d'affichage"), this,
                                            &Previsualisation::ouvrirChangementAffichage);
    astuce(m_actionChanger, "Change le nombre de pages affiché");

    QMenu* zoom = barre->addMenu(QStringLiteral("&Zoom"));
    m_groupeZoom = new QActionGroup(this);
    m_groupeZoom->setExclusive(true);
    const char* textes[] = {"Pas de &zoom",   "&Largeur page",  "&50 pour cent", "&75 pour cent",
                            "&100 pour cent", "&200 pour cent", "&300 pour cent"};
    for (int i = 0; i < 7; ++i) {
        if (i == 1 || i == 2)
            zoom->addSeparator();
        QAction* a = zoom->addAction(QString::fromUtf8(textes[i]));
        a->setCheckable(true);
        m_groupeZoom->addAction(a);
        m_actionsZoom[size_t(i)] = a;
        connect(a, &QAction::triggered, this, [this, i] { choisirZoom(Zoom(i)); });
    }
    colonne->setMenuBar(barre);
}

void Previsualisation::construireBarre(QVBoxLayout* colonne)
{
    auto* barre = new QToolBar(this);
    barre->setIconSize(QSize(24, 24));
    auto bouton = [&](const QIcon& icone, const char* astuce, const char* nom) {
        auto* b = new QToolButton(barre);
        b->setIcon(icone);
        b->setToolTip(QString::fromUtf8(astuce));
        b->setStatusTip(QString::fromUtf8(astuce));
        b->setObjectName(QLatin1String(nom));
        b->setAutoRaise(true);
        barre->addWidget(b);
        return b;
    };
    connect(bouton(iconeImprimante(), "Imprimer cet état", "boutonImprimer"), &QToolButton::clicked, this,
            &Previsualisation::imprimer);
    connect(bouton(iconeSortie(), "Quitter sans imprimer", "boutonQuitter"), &QToolButton::clicked, this,
            &QDialog::reject);
    m_boutonLoupe = bouton(iconeLoupe(), "Agrandir cette page", "boutonLoupe");
    connect(m_boutonLoupe, &QToolButton::clicked, this, &Previsualisation::montrerMenuZoom);
    barre->addSeparator();

    auto spin = [&](const char* etiquette, const char* nom, const char* astuce) {
        auto* l = new QLabel(QString::fromUtf8(etiquette), barre);
        l->setContentsMargins(8, 0, 4, 0);
        auto* s = new QSpinBox(barre);
        s->setObjectName(QLatin1String(nom));
        s->setSingleStep(1);
        s->setMinimumWidth(64);
        s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        if (astuce)
            s->setToolTip(QString::fromUtf8(astuce));
        l->setBuddy(s);
        barre->addWidget(l);
        barre->addWidget(s);
        return s;
    };
    m_spinPage = spin("&Page:", "page", nullptr);
    m_spinPage->setRange(1, 1);
    m_spinHorizontal = spin("&Horizontal:", "horizontal", "Sélectionner le nombre de pages horizontalement");
    m_spinVertical = spin("&Vertical:", "vertical", "Sélectionner le nombre de pages verticalement");
    for (QSpinBox* s : {m_spinHorizontal, m_spinVertical})
        s->setRange(1, MaximumGrille);
    connect(m_spinPage, &QSpinBox::valueChanged, this, &Previsualisation::allerALaPage);
    connect(m_spinHorizontal, &QSpinBox::valueChanged, this, [this](int v) { changerGrille(v, m_hauteur); });
    connect(m_spinVertical, &QSpinBox::valueChanged, this, [this](int v) { changerGrille(m_largeur, v); });
    colonne->addWidget(barre);
}

QString Previsualisation::texteMenuZoom(Zoom courant)
{
    const char* entrees[] = {"Pas de zoom", "Largeur de page", "50 %", "75 %", "100 %", "200 %", "300 %"};
    QStringList parties;
    for (int i = 0; i < 7; ++i) {
        if (i == 1)
            parties << QStringLiteral("-");
        parties << (Zoom(i) == courant ? QStringLiteral("+") : QStringLiteral("-")) + QString::fromUtf8(entrees[i]);
    }
    return parties.join(QLatin1Char('|'));
}

void Previsualisation::montrerMenuZoom()
{
    delete m_menuZoom;
    m_menuZoom = new QMenu(this);
    m_menuZoom->setObjectName(QStringLiteral("menuZoom"));
    int entree = 0;
    for (const QString& partie : texteMenuZoom(m_zoom).split(QLatin1Char('|'))) {
        if (partie == QLatin1String("-")) {
            m_menuZoom->addSeparator();
            continue;
        }
        QAction* a = m_menuZoom->addAction(partie.mid(1));
        a->setCheckable(true);
        a->setChecked(partie.startsWith(QLatin1Char('+')));
        const Zoom z = Zoom(entree++);
        connect(a, &QAction::triggered, this, [this, z] { choisirZoom(z); });
    }
    m_menuZoom->popup(m_boutonLoupe->mapToGlobal(QPoint(0, m_boutonLoupe->height())));
}

QString Previsualisation::textePage() const
{
    const int n = m_pages.nombre();
    const int cellules = m_zoom == Zoom::PasDeZoom ? nombreCellules() : 1;
    if (cellules == 1 || m_courante == n)
        return QStringLiteral("Page %1 sur %2").arg(m_courante).arg(n);
    const int derniere = std::min(m_courante + cellules - 1, n);
    return QStringLiteral("Pages %1-%2 sur %3").arg(m_courante).arg(derniere).arg(n);
}

QString Previsualisation::texteZoom() const
{
    if (m_zoom == Zoom::PasDeZoom)
        return QStringLiteral("Pas de zoom");
    if (m_zoom == Zoom::LargeurPage)
        return QStringLiteral("Zoom (Largeur page)");
    for (const ZoomFixe& z : ZoomsFixes)
        if (z.zoom == m_zoom)
            return QStringLiteral("Zoom (%1)").arg(QString::fromUtf8(z.texte));
    return QString();
}

VuePage* Previsualisation::cellule(int k) const
{
    return k >= 1 && k <= int(m_cellules.size()) ? m_cellules[size_t(k - 1)] : nullptr;
}

// --- Commands -------------------------------------------------------------------------------------------

void Previsualisation::pageSuivante()
{
    const int n = m_pages.nombre();
    if (m_zoom == Zoom::PasDeZoom) {
        if (m_courante + nombreCellules() <= n)
            m_courante += nombreCellules();
    } else if (m_courante < n) {
        ++m_courante;
    }
    afficher();
}

void Previsualisation::pagePrecedente()
{
    if (m_zoom == Zoom::PasDeZoom)
        m_courante = std::max(1, m_courante - nombreCellules());
    else if (m_courante > 1)
        --m_courante;
    afficher();
}

void Previsualisation::allerALaPage(int page)
{
    m_courante = std::clamp(page, 1, std::max(1, m_pages.nombre()));
    afficher();
}

void Previsualisation::changerGrille(int largeur, int hauteur)
{
    m_largeur = std::clamp(largeur, 1, MaximumGrille);
    m_hauteur = std::clamp(hauteur, 1, MaximumGrille);
    m_zoom = Zoom::PasDeZoom;
    afficher();
}

void Previsualisation::choisirZoom(Zoom zoom)
{
    m_zoom = zoom;
    afficher();
}

void Previsualisation::cliquerCellule(int k)
{
    const int page = m_courante + k - 1;
    if (k < 1 || page > m_pages.nombre())
        return;
    m_courante = page;
    m_zoom = Zoom::LargeurPage;
    afficher();
}

void Previsualisation::imprimer()
{
    m_reponse = Imprimer;
    accept();
}

void Previsualisation::enregistrerPdf()
{
    QString repertoire = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (repertoire.isEmpty() || !QDir(repertoire).exists())
        repertoire = QDir::homePath();
    const std::optional<QString> chemin =
        askSaveFile({QStringLiteral("Enregistrer en PDF"), repertoire, m_document + QStringLiteral(".pdf"),
                     QStringLiteral("Documents PDF (*.pdf)")});
    if (!chemin || chemin->isEmpty())
        return;
    if (const FileError e = ecrirePdf(m_pages, *chemin, m_document); !e.ok()) {
        Message(15, e, writeFailureText(e, false));
        return;
    }
    m_statut->showMessage(QStringLiteral("Rapport enregistré dans %1").arg(QDir::toNativeSeparators(*chemin)), 8000);
}

void Previsualisation::ouvrirSautDePage()
{
    auto* dialogue = new SautDePage(m_courante, m_pages.nombre(), this);
    dialogue->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialogue, &QDialog::finished, this, [this, dialogue] { allerALaPage(dialogue->page()); });
    dialogue->open();
}

void Previsualisation::ouvrirChangementAffichage()
{
    auto* dialogue = new ChangementAffichage(
        m_largeur, m_hauteur, MaximumGrille, [this](int l, int h) { changerGrille(l, h); }, this);
    dialogue->setAttribute(Qt::WA_DeleteOnClose);
    dialogue->open();
}

// --- Display --------------------------------------------------------------------------------------------

void Previsualisation::afficher()
{
    if (m_zoom == Zoom::PasDeZoom)
        afficherGrille();
    else
        afficherZoom();
    synchroniserControles();
}

void Previsualisation::afficherGrille()
{
    m_pile->setCurrentWidget(m_grille);
    const int cellules = nombreCellules();
    if (int(m_cellules.size()) != cellules) {
        for (VuePage* c : m_cellules)
            delete c;
        m_cellules.clear();
        for (int k = 1; k <= cellules; ++k) {
            auto* c = new VuePage(*m_cache, m_grille);
            c->setObjectName(QStringLiteral("cellule_%1").arg(k));
            connect(c, &VuePage::clique, this, [this, k] { cliquerCellule(k); });
            m_cellules.push_back(c);
        }
        m_cache->setCapacite(cellules + CapaciteEnPlus);
    }
    // Each cell as large as the area allows, the page's proportions kept; the grid centred.
    const int W = m_grille->width();
    const int H = m_grille->height();
    int w = std::max(1, (W - (Ecart * m_largeur - 1)) / m_largeur);
    int h = std::max(1, (H - (Ecart * m_hauteur - 1)) / m_hauteur);
    if (m_ratio > double(h) / w)
        w = std::max(1, int(h / m_ratio));
    else
        h = std::max(1, int(w * m_ratio));
    const int x0 = std::max(1, (W - (m_largeur * w + (m_largeur - 1) * Ecart)) / 2);
    const int y0 = std::max(1, (H - (m_hauteur * h + (m_hauteur - 1) * Ecart)) / 2);
    for (int k = 1; k <= cellules; ++k) {
        VuePage* c = m_cellules[size_t(k - 1)];
        const int colonne = (k - 1) % m_largeur;
        const int rangee = (k - 1) / m_largeur;
        c->setGeometry(x0 + colonne * (w + Ecart), y0 + rangee * (h + Ecart), w, h);
        const int page = m_courante + k - 1;
        if (page <= m_pages.nombre()) {
            c->montrer(page);
            c->show();
        } else {
            c->montrer(0);
            c->hide();
        }
    }
}

double Previsualisation::facteurZoom() const
{
    if (m_zoom == Zoom::LargeurPage) {
        const int marge = m_defilement->verticalScrollBar()->sizeHint().width() + 2;
        const double naturelle = m_largeurPage / 1000.0 * logicalDpiX();
        return naturelle > 0 ? std::max(1, m_defilement->viewport()->width() - marge) / naturelle : 1.0;
    }
    for (const ZoomFixe& z : ZoomsFixes)
        if (z.zoom == m_zoom)
            return z.facteur;
    return 1.0;
}

void Previsualisation::afficherZoom()
{
    m_pile->setCurrentWidget(m_defilement);
    const double f = facteurZoom();
    const int largeur = std::max(1, int(m_largeurPage / 1000.0 * logicalDpiX() * f));
    m_pageZoomee->resize(largeur, std::max(1, int(largeur * m_ratio)));
    m_pageZoomee->montrer(m_courante);
}

void Previsualisation::synchroniserControles()
{
    const int n = m_pages.nombre();
    if (n > 1) {
        const bool grille = m_zoom == Zoom::PasDeZoom;
        m_actionPrecedente->setEnabled(m_courante > 1);
        m_actionSuivante->setEnabled(grille ? n >= m_courante + nombreCellules() : m_courante < n);
    }
    for (auto [spin, valeur] : {std::pair{m_spinPage, m_courante}, std::pair{m_spinHorizontal, m_largeur},
                                std::pair{m_spinVertical, m_hauteur}}) {
        const QSignalBlocker bloque(spin);
        spin->setValue(valeur);
    }
    m_actionsZoom[size_t(m_zoom)]->setChecked(true);
    m_textePage->setText(textePage());
    m_texteZoom->setText(texteZoom());
}

void Previsualisation::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_PageUp && m_actionPrecedente->isEnabled()) {
        pagePrecedente();
        return;
    }
    if (event->key() == Qt::Key_PageDown && m_actionSuivante->isEnabled()) {
        pageSuivante();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Previsualisation::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    afficher();
}

void Previsualisation::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    afficher();
}

bool Previsualisation::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == m_grille && event->type() == QEvent::Resize && m_zoom == Zoom::PasDeZoom)
        afficherGrille();
    return QDialog::eventFilter(objet, event);
}

} // namespace kip

#include "moc_Previsualisation.cpp"
