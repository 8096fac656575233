#include "SaisieParametre.h"

#include "ModeleSons.h"
#include "data/Messages.h"
#include "reader/Sons.h"
#include "resources/Pictures.h"
#include "shell/LecteurCartes.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/Fond.h"
#include "shell/windows/NomsFenetres.h"
#include "shell/windows/TableSommaire.h"
#include "shell/windows/Unites.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kip {

using ui::px;

namespace {

int g_attentePause = PauseLecteur::AttenteMs;
Sons* g_sonsEssai = nullptr;
SonsQt* g_sons = nullptr; // made on first use, on the GUI thread

// The player goes with the application object, while the multimedia back end still stands.
void detruireSons()
{
    delete g_sons;
    g_sons = nullptr;
}

Sons& sons()
{
    if (g_sonsEssai)
        return *g_sonsEssai;
    if (!g_sons) {
        g_sons = new SonsQt;
        qAddPostRoutine(detruireSons);
    }
    return *g_sons;
}

const char* const TexteEcouter = "&Ecouter le son (Silence = pas de son)";
const char* const BulleEcouter = "Joue le son sélectionné";

QTableView* listeSons(ModeleSons* modele, const QString& nom, QWidget* parent)
{
    auto* vue = new QTableView(parent);
    vue->setObjectName(nom);
    vue->setModel(modele);
    vue->setSelectionBehavior(QAbstractItemView::SelectRows);
    vue->setSelectionMode(QAbstractItemView::SingleSelection);
    vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vue->verticalHeader()->hide();
    vue->horizontalHeader()->setStretchLastSection(true);
    vue->horizontalHeader()->setHighlightSections(false);
    vue->verticalHeader()->setDefaultSectionSize(px(14));
    vue->setShowGrid(false);
    // The whole header shows: "Son pour mauvaise carte ou mauvaise lecture" is long.
    const QString titre = modele->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
    vue->setMinimumSize(vue->horizontalHeader()->fontMetrics().horizontalAdvance(titre) + px(16), px(96));
    return vue;
}

void choisirRang(QTableView* vue, int rang)
{
    if (rang >= 0)
        vue->selectRow(rang);
}

} // namespace

void SaisieParametre::setAttentePause(int ms)
{
    g_attentePause = ms;
}

void SaisieParametre::setSons(Sons* sons)
{
    g_sonsEssai = sons;
}

SaisieParametre::SaisieParametre(Cadre& cadre) : FenetreTravail(cadre, nom::SaisieParametre), m_db(paths().dataDir)
{
    if (const FileError e = LireParametres(m_db, m_saisie); !e.ok())
        Message(35, e, QStringLiteral("PARAMETRE"));
    construire();
    m_sommaire->setChecked(m_saisie.enregistrement.POSITIONSOMMAIRE == 1);
    const QStringList sons = ListeSons(paths().sonDir);
    m_modeleCarteLue->remplir(sons);
    m_modeleMauvaiseCarte->remplir(sons);
    // KipGuard.txt is read once the reader had the time to finish what it was doing with it.
    QTimer::singleShot(g_attentePause, this, &SaisieParametre::lireConfiguration);
}

SaisieParametre::~SaisieParametre() = default;

void SaisieParametre::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(px(16), px(12), px(16), px(12));
    auto* panneau = new QWidget(this);
    m_panneau = panneau;
    colonne->addWidget(panneau, 0, Qt::AlignHCenter | Qt::AlignTop);
    colonne->addStretch(1);
    auto* p = new QVBoxLayout(panneau);
    p->setContentsMargins(0, 0, 0, 0);
    p->setSpacing(px(8));

    auto* titre = new QLabel(QStringLiteral("Paramètres"), panneau);
    titre->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 12pt;"));
    p->addWidget(titre);

    m_sommaire = new QCheckBox(QStringLiteral("&Placer le sommaire à droite"), panneau);
    m_sommaire->setObjectName(QStringLiteral("positionSommaire"));
    m_sommaire->setToolTip(QStringLiteral("Placer le sommaire à droite"));
    p->addWidget(m_sommaire);

    auto* sons = new QGroupBox(QStringLiteral("Sons du lecteur"), panneau);
    auto* gs = new QGridLayout(sons);
    m_modeleCarteLue = new ModeleSons(QStringLiteral("Son pour carte lue"), this);
    m_modeleMauvaiseCarte = new ModeleSons(QStringLiteral("Son pour mauvaise carte ou mauvaise lecture"), this);
    m_listeCarteLue = listeSons(m_modeleCarteLue, QStringLiteral("sonCarteLue"), sons);
    m_listeMauvaiseCarte = listeSons(m_modeleMauvaiseCarte, QStringLiteral("sonMauvaiseCarte"), sons);
    m_ecouterCarteLue = new QPushButton(QString::fromUtf8(TexteEcouter), sons);
    m_ecouterCarteLue->setObjectName(QStringLiteral("ecouterCarteLue"));
    m_ecouterMauvaiseCarte = new QPushButton(QString::fromUtf8(TexteEcouter), sons);
    m_ecouterMauvaiseCarte->setObjectName(QStringLiteral("ecouterMauvaiseCarte"));
    for (QPushButton* b : {m_ecouterCarteLue, m_ecouterMauvaiseCarte}) {
        b->setToolTip(QString::fromUtf8(BulleEcouter));
        b->setAutoDefault(false);
    }
    gs->addWidget(m_listeCarteLue, 0, 0);
    gs->addWidget(m_listeMauvaiseCarte, 0, 1);
    gs->addWidget(m_ecouterCarteLue, 1, 0);
    gs->addWidget(m_ecouterMauvaiseCarte, 1, 1);
    p->addWidget(sons);
    connect(m_ecouterCarteLue, &QPushButton::clicked, this, [this] { ecouter(m_listeCarteLue); });
    connect(m_ecouterMauvaiseCarte, &QPushButton::clicked, this, [this] { ecouter(m_listeMauvaiseCarte); });

    auto* lecteur = new QHBoxLayout;
    auto* type = new QGroupBox(QStringLiteral("&Type du lecteur ?"), panneau);
    type->setToolTip(QStringLiteral("Type du lecteur (marque au dos du lecteur)"));
    auto* gt = new QVBoxLayout(type);
    m_magtek = new QRadioButton(MarqueMagtek(), type);
    m_magtek->setObjectName(QStringLiteral("magtek"));
    m_omron = new QRadioButton(MarqueOmron(), type);
    m_omron->setObjectName(QStringLiteral("omron"));
    gt->addWidget(m_magtek);
    gt->addWidget(m_omron);
    gt->addStretch(1);
    lecteur->addWidget(type);

    auto* ports = new QGroupBox(QStringLiteral("Le lecteur est connecté sur le port ?"), panneau);
    ports->setToolTip(QStringLiteral("Port sur lequel est connecté le lecteur magnétique"));
    auto* gp = new QGridLayout(ports);
    m_groupePorts = new QButtonGroup(this);
    for (int n = 1; n <= PortLecteurMax; ++n) {
        auto* radio = new QRadioButton(QString::number(n), ports);
        radio->setObjectName(QStringLiteral("port%1").arg(n));
        m_groupePorts->addButton(radio, n);
        gp->addWidget(radio, (n - 1) / 4, (n - 1) % 4);
        m_ports[size_t(n - 1)] = radio;
    }
    lecteur->addWidget(ports, 1);
    p->addLayout(lecteur);

    m_tester = new QPushButton(QStringLiteral("&Tester le port série sur lequel est connecté le lecteur"), panneau);
    m_tester->setObjectName(QStringLiteral("testerPort"));
    m_tester->setToolTip(QStringLiteral("Teste le port (la sonnerie de test retentit quand une carte est lue)"));
    m_tester->setAutoDefault(false);
    p->addWidget(m_tester);
    connect(m_tester, &QPushButton::clicked, this, &SaisieParametre::testerPort);

    // Pressed by the bar's Accepter and Annuler.
    m_ok = new QPushButton(QStringLiteral("OK"), panneau);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->hide();
    m_annuler = new QPushButton(QStringLiteral("Annuler"), panneau);
    m_annuler->setObjectName(QStringLiteral("annuler"));
    m_annuler->hide();
    connect(m_ok, &QPushButton::clicked, this, &SaisieParametre::enregistrer);
    connect(m_annuler, &QPushButton::clicked, this, &QWidget::close);

    // Until KipGuard.txt is read, the reader's part shows nothing that could be saved over it.
    for (QWidget* w : {static_cast<QWidget*>(sons), static_cast<QWidget*>(type), static_cast<QWidget*>(ports),
                       static_cast<QWidget*>(m_tester)})
        w->setEnabled(false);
    connect(this, &SaisieParametre::pretAEditer, this, [sons, type, ports, this] {
        for (QWidget* w : {static_cast<QWidget*>(sons), static_cast<QWidget*>(type), static_cast<QWidget*>(ports),
                           static_cast<QWidget*>(m_tester)})
            w->setEnabled(true);
    });
}

void SaisieParametre::lireConfiguration()
{
    m_config = ConfigurationLecteur::lire(paths().kipGuard());
    choisirRang(m_listeCarteLue, RangSon(m_modeleCarteLue->sons(), m_config.sonCarteLue));
    choisirRang(m_listeMauvaiseCarte, RangSon(m_modeleMauvaiseCarte->sons(), m_config.sonMauvaiseCarte));
    (m_config.marque.compare(MarqueOmron(), Qt::CaseInsensitive) == 0 ? m_omron : m_magtek)->setChecked(true);
    if (m_config.port >= 1)
        port(m_config.port)->setChecked(true);
    m_pret = true;
    Q_EMIT pretAEditer();
}

QString SaisieParametre::sonChoisi(QTableView* liste) const
{
    const QModelIndexList choix = liste->selectionModel()->selectedRows();
    return choix.isEmpty() ? QString() : choix.first().data().toString();
}

int SaisieParametre::portChoisi() const
{
    const int n = m_groupePorts->checkedId();
    return n >= 1 ? n : 0;
}

void SaisieParametre::ecouter(QTableView* liste)
{
    const QString nom = sonChoisi(liste);
    if (!nom.isEmpty())
        sons().jouer(QDir(paths().sonDir).filePath(nom));
}

void SaisieParametre::testerPort()
{
    // Without a chosen port there is nothing to test.
    if (const int message = MessageTestPort(portChoisi()))
        LecteurCartes::programme().envoyer(message);
}

void SaisieParametre::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton1Formulaire)
        m_ok->click();
    else if (evenement == evt::Bouton13)
        m_annuler->click();
}

void SaisieParametre::enregistrer()
{
    if (!m_pret)
        return;
    ConfigurationLecteur config = m_config;
    config.port = portChoisi();
    config.sonCarteLue = sonChoisi(m_listeCarteLue);
    config.sonMauvaiseCarte = sonChoisi(m_listeMauvaiseCarte);
    config.marque = m_omron->isChecked() ? MarqueOmron() : MarqueMagtek();
    // KipGuard.txt first: a settings record that cannot be saved leaves the new reader settings in place.
    if (const FileError e = config.ecrire(paths().kipGuard()); !e.ok()) {
        Message(15, e,
                QStringLiteral("le fichier %1 n'a pas pu être écrit: les réglages du lecteur n'ont pas été "
                               "enregistrés")
                    .arg(QDir::toNativeSeparators(paths().kipGuard())));
        return;
    }
    m_config = config;
    m_saisie.enregistrement.POSITIONSOMMAIRE = m_sommaire->isChecked() ? 1 : 0;
    // The bar moves at once.
    cadre().setSommaireADroite(m_saisie.enregistrement.POSITIONSOMMAIRE == 1);
    for (;;) {
        switch (EnregistrerParametres(m_db, m_saisie)) {
        case ResultatParametres::Enregistre:
            close();
            return;
        case ResultatParametres::ModifieAilleurs:
            // The other station's values are on the form now.
            m_sommaire->setChecked(m_saisie.enregistrement.POSITIONSOMMAIRE == 1);
            cadre().setSommaireADroite(m_saisie.enregistrement.POSITIONSOMMAIRE == 1);
            return;
        case ResultatParametres::Echec:
            if (m_saisie.insertion)
                return;
            switch (Message(16)) {
            case ButtonYes:
                continue;
            case ButtonNo:
                close();
                return;
            default:
                return;
            }
        }
    }
}

void SaisieParametre::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::peindreFond(p, rect());
    // The program's picture in the room left under the form, as large as it fits.
    static const QPixmap image(picturePath(imageAccueil(Program::Kip)));
    const QRect libre(m_panneau->x(), m_panneau->geometry().bottom() + px(12), m_panneau->width(),
                      height() - m_panneau->geometry().bottom() - px(20));
    if (image.isNull() || libre.height() < px(60))
        return;
    const QSize taille = image.size().scaled(libre.size().boundedTo(image.size()), Qt::KeepAspectRatio);
    p.setOpacity(0.55);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(QPoint(libre.center().x() - taille.width() / 2, libre.top()), taille), image);
}

void enregistrerSaisieParametre()
{
    enregistrerFabrique(nom::SaisieParametre, [](Cadre& c) { return new SaisieParametre(c); });
}

} // namespace kip

#include "moc_SaisieParametre.cpp"
