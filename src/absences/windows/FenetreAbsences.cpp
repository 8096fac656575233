// The absence window: its controls, the period read on a worker and shown, the columns fitted to its width.
#include "FenetreAbsences.h"

#include "ModeleTableAbsences.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "calendar/windows/IconeCalendrier.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace kip {

namespace {

// The period, order and range shown, kept while the program runs.
ChoixAbsences g_choix;

} // namespace

FenetreAbsences::FenetreAbsences(Cadre& cadre)
    : FenetreTravail(cadre, nom::Absences), m_usagePersonnel(FileId::Personnel), m_usagePointVal(FileId::PointVal),
      m_usageTypes(FileId::TypeAbsence), m_usageAbsences(FileId::Absence), m_usageHoraires(FileId::Horaire),
      m_usageReglages(FileId::ReglagesAbsences), m_usageJournal(FileId::Journal), m_db(paths().dataDir)
{
    construire();
    connect(&m_chargement, &Tache::terminee, this, &FenetreAbsences::chargementTermine);
    if (g_choix.debut == 0)
        g_choix = MoisDe(Clock::today());
    charger(g_choix);
}

FenetreAbsences::~FenetreAbsences() = default;

FenetreTravail* FenetreAbsences::ouvrir(Cadre& cadre)
{
    return new FenetreAbsences(cadre);
}

const ModeleAbsences* FenetreAbsences::modele() const
{
    return m_table->modele();
}

void FenetreAbsences::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    colonne->setSpacing(6);
    colonne->addWidget(construireEntete());

    m_table = new ModeleTableAbsences(this);
    m_vue = new QTableView(this);
    m_vue->setObjectName(QStringLiteral("absences"));
    m_vue->setModel(m_table);
    m_vue->setItemDelegate(new DelegueAbsences(m_vue));
    m_vue->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_vue->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_vue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vue->setTabKeyNavigation(false);
    m_vue->setWordWrap(false);
    const QFontMetrics fm(m_vue->font());
    m_vue->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // A month fits in the frame's width: a narrow day takes a smaller font for its code (DelegueAbsences).
    m_vue->horizontalHeader()->setMinimumSectionSize(fm.horizontalAdvance(QStringLiteral("88")) + 6);
    m_vue->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_vue->horizontalHeader()->setMinimumHeight(fm.height() * 2 + 6);
    m_vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_vue->verticalHeader()->setDefaultSectionSize(fm.height() + 14);
    m_vue->verticalHeader()->setFixedWidth(fm.horizontalAdvance(QLatin1Char('M')) * 14);
    m_vue->installEventFilter(this);
    colonne->addWidget(m_vue, 1);

    colonne->addWidget(construireDetail());
    m_legende = new QLabel(this);
    m_legende->setObjectName(QStringLiteral("legende"));
    m_legende->setWordWrap(true);
    m_legende->setTextFormat(Qt::RichText);
    colonne->addWidget(m_legende);
    m_statut = new QLabel(this);
    m_statut->setObjectName(QStringLiteral("statut"));
    colonne->addWidget(m_statut);
}

QWidget* FenetreAbsences::construireEntete()
{
    auto* entete = new QWidget(this);
    auto* ligne = new QHBoxLayout(entete);
    ligne->setContentsMargins(0, 0, 0, 0);
    auto* titre = new QLabel(QStringLiteral("Absences"), entete);
    QFont grand = titre->font();
    grand.setBold(true);
    grand.setPointSizeF(grand.pointSizeF() * 1.3);
    titre->setFont(grand);
    ligne->addWidget(titre);
    ligne->addSpacing(16);

    // The two days of the period, each chosen with the day picker from its button.
    auto borne = [&](const char* texte, const char* astuce, const char* nomObjet, bool fin) {
        auto* b = new QToolButton(entete);
        b->setIcon(iconeCalendrier());
        b->setIconSize(QSize(20, 20));
        b->setToolTip(QString::fromUtf8(astuce));
        b->setObjectName(QLatin1String(nomObjet));
        b->setCursor(Qt::PointingHandCursor);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, fin] { choisirDate(fin); });
        auto* date = new QLabel(entete);
        date->setObjectName(QLatin1String(nomObjet) + QStringLiteral("Texte"));
        date->setMinimumWidth(QFontMetrics(date->font()).horizontalAdvance(QStringLiteral("00/00/0000")) + 4);
        ligne->addWidget(new QLabel(QString::fromUtf8(texte), entete));
        ligne->addWidget(b);
        ligne->addWidget(date);
        return date;
    };
    m_texteDebut = borne("Du", "Sélectionne la date début", "debut", false);
    m_texteFin = borne("au", "Sélectionne la date fin", "fin", true);
    ligne->addSpacing(12);

    auto spin = [&](const char* nomObjet) {
        auto* s = new QSpinBox(entete);
        s->setObjectName(QLatin1String(nomObjet));
        s->setRange(1, 9999);
        connect(s, &QSpinBox::editingFinished, this, &FenetreAbsences::choisirCartes);
        return s;
    };
    auto* cartes = new QLabel(QStringLiteral("Ca&rtes de"), entete);
    m_carteDebut = spin("carteDebut");
    cartes->setBuddy(m_carteDebut);
    m_carteFin = spin("carteFin");
    ligne->addWidget(cartes);
    ligne->addWidget(m_carteDebut);
    ligne->addWidget(new QLabel(QStringLiteral("à"), entete));
    ligne->addWidget(m_carteFin);
    ligne->addSpacing(12);

    // The part that a typed code takes; Alt and the underlined letter choose it from the table.
    m_parties = new QButtonGroup(this);
    const std::pair<const char*, PartieJour> parties[] = {
        {"&Journée", PartieJour::Journee}, {"&Matin", PartieJour::Matin}, {"&Après-midi", PartieJour::ApresMidi}};
    for (const auto& [texte, partie] : parties) {
        auto* bouton = new QRadioButton(QString::fromUtf8(texte), entete);
        bouton->setFocusPolicy(Qt::NoFocus);
        m_parties->addButton(bouton, int(partie));
        ligne->addWidget(bouton);
    }
    m_parties->button(int(PartieJour::Journee))->setChecked(true);
    connect(m_parties, &QButtonGroup::idClicked, this, [this] { m_vue->setFocus(); });
    ligne->addStretch(1);
    return entete;
}

QWidget* FenetreAbsences::construireDetail()
{
    auto* detail = new QWidget(this);
    auto* ligne = new QHBoxLayout(detail);
    ligne->setContentsMargins(0, 0, 0, 0);
    m_codeDetail = new QComboBox(detail);
    m_codeDetail->setObjectName(QStringLiteral("codeDetail"));
    // Wide enough for the longest "code - label" of the types, which are read after the window is built.
    m_codeDetail->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_partieDetail = new QComboBox(detail);
    m_partieDetail->setObjectName(QStringLiteral("partieDetail"));
    for (PartieJour p : {PartieJour::Journee, PartieJour::Matin, PartieJour::ApresMidi, PartieJour::Heures})
        m_partieDetail->addItem(NomPartie(p), int(p));
    m_heuresDetail = new QLineEdit(detail);
    m_heuresDetail->setObjectName(QStringLiteral("heuresDetail"));
    m_heuresDetail->setPlaceholderText(QStringLiteral("h.mm"));
    m_heuresDetail->setMaximumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("00.000")));
    m_commentaireDetail = new QLineEdit(detail);
    m_commentaireDetail->setObjectName(QStringLiteral("commentaireDetail"));
    m_commentaireDetail->setMaxLength(60);
    auto* poser = new QPushButton(QStringLiteral("&Poser"), detail);
    poser->setObjectName(QStringLiteral("poser"));
    auto* label = new QLabel(QStringLiteral("Saisie détaillée (F2): t&ype"), detail);
    label->setBuddy(m_codeDetail);
    ligne->addWidget(label);
    ligne->addWidget(m_codeDetail);
    ligne->addWidget(m_partieDetail);
    ligne->addWidget(new QLabel(QStringLiteral("heures"), detail));
    ligne->addWidget(m_heuresDetail);
    ligne->addWidget(new QLabel(QStringLiteral("commentaire"), detail));
    ligne->addWidget(m_commentaireDetail, 1);
    ligne->addWidget(poser);
    connect(poser, &QPushButton::clicked, this, &FenetreAbsences::poserDetail);
    connect(m_heuresDetail, &QLineEdit::returnPressed, this, &FenetreAbsences::poserDetail);
    connect(m_commentaireDetail, &QLineEdit::returnPressed, this, &FenetreAbsences::poserDetail);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_codeDetail, m_partieDetail, m_heuresDetail, m_commentaireDetail})
        w->installEventFilter(this);
    return detail;
}

void FenetreAbsences::afficherLegende()
{
    const ModeleAbsences* m = modele();
    if (!m)
        return;
    QStringList codes;
    const QString code = m_codeDetail->currentData().toString();
    m_codeDetail->clear();
    for (const TypeAbsence& t : m->types()) {
        const QColor c(QRgb(0xff000000u | quint32(t.COULEUR)));
        codes << QStringLiteral("<span style='background:%1;color:%2'>&nbsp;<b>%3</b>&nbsp;</span> %4")
                     .arg(c.name(), c.lightness() > 150 ? QStringLiteral("black") : QStringLiteral("white"),
                          t.CODE.toHtmlEscaped(), t.LIBELLE.toHtmlEscaped());
        m_codeDetail->addItem(QStringLiteral("%1 - %2").arg(t.CODE, t.LIBELLE), t.CODE);
    }
    m_codeDetail->setCurrentIndex(std::max(0, m_codeDetail->findData(code)));
    m_legende->setText(codes.join(QStringLiteral(" &nbsp; ")) +
                       QStringLiteral("<br>Coin foncé: pointages ce jour (rouge: une absence d'une journée sur un "
                                      "jour pointé). Gris: fin de semaine ou hors période d'activité; ocre: jour "
                                      "férié."));
}

void FenetreAbsences::charger(const ChoixAbsences& choix)
{
    m_voulu = choix;
    m_relire = true;
    if (!m_chargement.enCours())
        lancerChargement();
}

void FenetreAbsences::lancerChargement()
{
    m_relire = false;
    m_vue->setCursor(Qt::BusyCursor);
    dire(QStringLiteral("Lecture des absences..."));
    // The worker reads through a connection of its own; the files stay open by this window's uses.
    m_chargement.demarrer([dataDir = m_db.dataDir(), choix = m_voulu](const SuiviTache&) {
        Database db(dataDir);
        return std::optional<Result<ModeleAbsences>>(ModeleAbsences::charger(db, choix));
    });
}

void FenetreAbsences::chargementTermine()
{
    std::optional<Result<ModeleAbsences>> lu = std::exchange(m_chargement.resultat(), std::nullopt);
    if (m_relire) {
        // Another choice was made meanwhile: what was just read is already out of date.
        lancerChargement();
        return;
    }
    m_vue->unsetCursor();
    if (!lu || !*lu) {
        dire(QString());
        reportFileError(35, lu ? lu->error() : makeError(DriverError), QLatin1String(Absence::Label));
        // With nothing read yet, the window has nothing to show.
        if (!m_affichee)
            close();
        return;
    }
    afficherModele(std::move(**lu));
}

void FenetreAbsences::afficherModele(ModeleAbsences lu)
{
    const QModelIndex courant = m_vue->currentIndex();
    const qint16 carte = courant.isValid() && modele() ? modele()->employe(courant.row()).CARTE : 0;
    const qint32 date = courant.isValid() && modele() ? modele()->date(courant.column()) : 0;
    g_choix = lu.choix();
    m_voulu = g_choix;
    m_affichee = true;
    m_table->remplacerModele(std::move(lu));
    m_texteDebut->setText(DateTexte(g_choix.debut));
    m_texteFin->setText(DateTexte(g_choix.fin));
    for (QSpinBox* s : {m_carteDebut, m_carteFin}) {
        const QSignalBlocker bloque(s);
        s->setValue(s == m_carteDebut ? g_choix.carteDebut : g_choix.carteFin);
    }
    afficherLegende();
    ajusterColonnes();
    // The cell that was current stays current when it is still shown; else the first cell of today's column.
    int ligne = carte ? std::max(0, modele()->ligneDe(carte)) : 0;
    int colonne = date ? date - g_choix.debut : Clock::today() - g_choix.debut;
    colonne = std::clamp(colonne, 0, std::max(0, modele()->colonnes() - 1));
    if (modele()->lignes() > 0) {
        m_vue->setCurrentIndex(m_table->index(std::min(ligne, modele()->lignes() - 1), colonne));
        m_vue->scrollTo(m_vue->currentIndex());
    }
    dire(modele()->lignes() ? QString() : QStringLiteral("Aucun employé dans ces cartes."));
}

void FenetreAbsences::ajusterColonnes()
{
    const int colonnes = std::max(1, m_table->columnCount());
    // The width left by the names and by the vertical scroll bar, which the viewport may not have yet.
    const int place = m_vue->width() - 2 * m_vue->frameWidth() - m_vue->verticalHeader()->width() -
                      m_vue->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 1;
    m_vue->horizontalHeader()->setDefaultSectionSize(
        std::max(m_vue->horizontalHeader()->minimumSectionSize(), place / colonnes));
}

void FenetreAbsences::resizeEvent(QResizeEvent* event)
{
    FenetreTravail::resizeEvent(event);
    ajusterColonnes();
    if (m_vue->currentIndex().isValid())
        m_vue->scrollTo(m_vue->currentIndex());
}

QString FenetreAbsences::statut() const
{
    return m_statut->text();
}

void FenetreAbsences::dire(const QString& texte)
{
    m_statut->setText(texte);
}

void FenetreAbsences::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    // Shown again after another window (the grid, the types): what it changed is read again.
    if (m_dejaMontree)
        charger(m_voulu);
    m_dejaMontree = true;
    m_vue->setFocus();
}

} // namespace kip

#include "moc_FenetreAbsences.cpp"
