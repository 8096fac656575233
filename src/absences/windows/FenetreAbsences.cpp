#include "FenetreAbsences.h"

#include "ModeleTableAbsences.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
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
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace kip {

namespace {

// The period, order and range shown, kept while the program runs.
ChoixAbsences g_choix;

class Attente
{
public:
    Attente() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Attente() { QApplication::restoreOverrideCursor(); }
    Attente(const Attente&) = delete;
    Attente& operator=(const Attente&) = delete;
};

} // namespace

FenetreAbsences::FenetreAbsences(Cadre& cadre)
    : FenetreTravail(cadre, nom::Absences), m_usagePersonnel(FileId::Personnel), m_usagePointVal(FileId::PointVal),
      m_usageTypes(FileId::TypeAbsence), m_usageAbsences(FileId::Absence), m_usageHoraires(FileId::Horaire),
      m_usageReglages(FileId::ReglagesAbsences), m_usageJournal(FileId::Journal), m_db(paths().dataDir)
{
    construire();
    if (g_choix.debut == 0)
        g_choix = MoisDe(Clock::today());
    m_ouverte = charger(g_choix);
}

FenetreAbsences::~FenetreAbsences() = default;

FenetreTravail* FenetreAbsences::ouvrir(Cadre& cadre)
{
    auto* fenetre = new FenetreAbsences(cadre);
    if (fenetre->m_ouverte)
        return fenetre;
    fenetre->close();
    return nullptr;
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

    auto dateEdit = [&](const char* nomObjet) {
        auto* d = new QDateEdit(entete);
        d->setObjectName(QLatin1String(nomObjet));
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
        connect(d, &QDateEdit::editingFinished, this, &FenetreAbsences::choisirPeriode);
        return d;
    };
    auto* du = new QLabel(QStringLiteral("&Du"), entete);
    m_debut = dateEdit("debut");
    du->setBuddy(m_debut);
    auto* au = new QLabel(QStringLiteral("a&u"), entete);
    m_fin = dateEdit("fin");
    au->setBuddy(m_fin);
    ligne->addWidget(du);
    ligne->addWidget(m_debut);
    ligne->addWidget(au);
    ligne->addWidget(m_fin);
    ligne->addSpacing(12);

    auto spin = [&](const char* nomObjet) {
        auto* s = new QSpinBox(entete);
        s->setObjectName(QLatin1String(nomObjet));
        s->setRange(1, 9999);
        connect(s, &QSpinBox::editingFinished, this, &FenetreAbsences::choisirPeriode);
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

bool FenetreAbsences::charger(const ChoixAbsences& choix)
{
    Result<ModeleAbsences> m = [&] {
        Attente attente;
        return ModeleAbsences::charger(m_db, choix);
    }();
    if (!m) {
        reportFileError(35, m.error(), QLatin1String(Absence::Label));
        return false;
    }
    const QModelIndex courant = m_vue->currentIndex();
    const qint16 carte = courant.isValid() && modele() ? modele()->employe(courant.row()).CARTE : 0;
    const qint32 date = courant.isValid() && modele() ? modele()->date(courant.column()) : 0;
    g_choix = m->choix();
    m_table->remplacerModele(std::move(*m));
    for (QDateEdit* d : {m_debut, m_fin}) {
        const QSignalBlocker bloque(d);
        d->setDate(calendarDate(d == m_debut ? g_choix.debut : g_choix.fin));
    }
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
    return true;
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

void FenetreAbsences::choisirPeriode()
{
    ChoixAbsences c = g_choix;
    c.debut = dayNumber(m_debut->date());
    c.fin = dayNumber(m_fin->date());
    c.carteDebut = qint16(std::min(m_carteDebut->value(), m_carteFin->value()));
    c.carteFin = qint16(std::max(m_carteDebut->value(), m_carteFin->value()));
    if (c.debut == g_choix.debut && c.fin == g_choix.fin && c.carteDebut == g_choix.carteDebut &&
        c.carteFin == g_choix.carteFin)
        return;
    if (std::abs(c.fin - c.debut) >= JoursMaxAbsences)
        dire(QStringLiteral("La période est limitée à %1 jours.").arg(JoursMaxAbsences));
    (void)charger(c);
}

void FenetreAbsences::moisSuivant(int sens)
{
    const QDate d = calendarDate(g_choix.debut).addMonths(sens);
    ChoixAbsences c = MoisDe(dayNumber(d.year(), d.month(), 1), g_choix.ordre);
    c.carteDebut = g_choix.carteDebut;
    c.carteFin = g_choix.carteFin;
    (void)charger(c);
}

void FenetreAbsences::choisirOrdre(OrdrePersonnel ordre)
{
    ChoixAbsences c = g_choix;
    c.ordre = ordre;
    (void)charger(c);
}

PartieJour FenetreAbsences::partie() const
{
    return PartieJour(m_parties->checkedId());
}

void FenetreAbsences::choisirPartie(PartieJour p)
{
    if (QAbstractButton* b = m_parties->button(int(p)))
        b->setChecked(true);
}

QString FenetreAbsences::statut() const
{
    return m_statut->text();
}

void FenetreAbsences::dire(const QString& texte)
{
    m_statut->setText(texte);
}

std::vector<CaseAbsence> FenetreAbsences::selection() const
{
    std::set<std::pair<int, int>> vues;
    for (const QModelIndex& i : m_vue->selectionModel()->selectedIndexes())
        vues.insert({i.row(), i.column()});
    if (vues.empty() && m_vue->currentIndex().isValid())
        vues.insert({m_vue->currentIndex().row(), m_vue->currentIndex().column()});
    std::vector<CaseAbsence> cases;
    for (const auto& [l, c] : vues)
        cases.push_back({l, c});
    return cases;
}

bool FenetreAbsences::enregistrer(const std::vector<JourAbsences>& jours, const QString& cause)
{
    ModeleAbsences* m = m_table->modele();
    if (!m || jours.empty())
        return true;
    const FileError e = m->enregistrer(m_db, jours, cause);
    if (!e.ok()) {
        showBox(QStringLiteral("Absences"),
                QStringLiteral("Les absences n'ont pas été enregistrées:\n%1")
                    .arg(e.text.isEmpty() ? e.description() : e.text),
                MessageIcon::Exclamation);
        return false;
    }
    m_table->joursChanges(jours);
    return true;
}

void FenetreAbsences::poserCode(const QString& code)
{
    const ModeleAbsences* m = modele();
    const TypeAbsence* t = m ? m->type(code) : nullptr;
    if (!t)
        return;
    Absence a;
    a.CODE = t->CODE;
    a.PARTIE = quint8(partie());
    const std::vector<CaseAbsence> cases = selection();
    if (enregistrer(m->poser(cases, a), QString::fromUtf8(CauseJournal::SaisieAbsences)))
        dire(QStringLiteral("%1 %2 posé sur %3 jour(s).").arg(t->CODE, NomPartie(partie())).arg(cases.size()));
}

void FenetreAbsences::poserDetail()
{
    const ModeleAbsences* m = modele();
    if (!m)
        return;
    Absence a;
    a.CODE = m_codeDetail->currentData().toString();
    a.PARTIE = quint8(m_partieDetail->currentData().toInt());
    a.COMMENTAIRE = m_commentaireDetail->text().trimmed();
    if (a.partie() == PartieJour::Heures) {
        const HeureLue lu = LireHeureTexte(m_heuresDetail->text());
        const qint32 minutes = lu.heures * 60 + lu.decimales;
        if (!lu.valide || lu.negatif || lu.decimales >= 60 || minutes <= 0 || minutes > MinutesJour) {
            dire(QStringLiteral("Les heures s'écrivent h.mm, de 0.01 à 24.00."));
            m_heuresDetail->setFocus();
            return;
        }
        a.MINUTES = qint16(minutes);
    }
    if (const QString e = ErreurAbsence(a, m->types()); !e.isEmpty()) {
        dire(e);
        return;
    }
    const std::vector<CaseAbsence> cases = selection();
    if (enregistrer(m->poser(cases, a), QString::fromUtf8(CauseJournal::SaisieAbsences))) {
        dire(QStringLiteral("%1 posé sur %2 jour(s).").arg(TexteAbsence(a)).arg(cases.size()));
        m_vue->setFocus();
    }
}

void FenetreAbsences::effacerSelection()
{
    if (const ModeleAbsences* m = modele())
        if (enregistrer(m->effacer(selection(), partie()), QString::fromUtf8(CauseJournal::SaisieAbsences)))
            dire(QStringLiteral("Absences effacées (%1).").arg(NomPartie(partie())));
}

void FenetreAbsences::annuler()
{
    ModeleAbsences* m = m_table->modele();
    if (!m || !m->peutAnnuler()) {
        dire(QStringLiteral("Rien à annuler."));
        return;
    }
    const FileError e = m->annuler(m_db);
    if (!e.ok()) {
        showBox(QStringLiteral("Absences"),
                QStringLiteral("L'annulation n'a pas été enregistrée:\n%1").arg(e.description()),
                MessageIcon::Exclamation);
        return;
    }
    // Every cell may have changed back: the whole table is repainted.
    Q_EMIT m_table->dataChanged(m_table->index(0, 0), m_table->index(m->lignes() - 1, m->colonnes() - 1));
    dire(QStringLiteral("Dernière modification annulée."));
}

bool FenetreAbsences::touche(QKeyEvent* event)
{
    const ModeleAbsences* m = modele();
    if (!m)
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->matches(QKeySequence::Undo)) {
        annuler();
        return true;
    }
    if (mods == Qt::ControlModifier && (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
        moisSuivant(event->key() == Qt::Key_PageDown ? 1 : -1);
        return true;
    }
    if (mods == Qt::AltModifier) {
        const std::pair<int, PartieJour> raccourcis[] = {
            {Qt::Key_J, PartieJour::Journee}, {Qt::Key_M, PartieJour::Matin}, {Qt::Key_A, PartieJour::ApresMidi}};
        for (const auto& [k, p] : raccourcis) {
            if (event->key() == k) {
                choisirPartie(p);
                return true;
            }
        }
        return false;
    }
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Delete:
        m_tampon.clear();
        effacerSelection();
        return true;
    case Qt::Key_F2:
        m_codeDetail->setFocus();
        return true;
    case Qt::Key_Backspace:
        m_tampon.chop(1);
        dire(m_tampon.isEmpty() ? QString() : QStringLiteral("Code: %1").arg(m_tampon));
        return true;
    case Qt::Key_Escape:
        if (m_tampon.isEmpty()) {
            close();
        } else {
            m_tampon.clear();
            dire(QString());
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m->type(m_tampon))
            poserCode(m_tampon);
        m_tampon.clear();
        return true;
    default:
        break;
    }
    const QString texte = event->text().toUpper();
    if (texte.size() != 1 || texte[0] < u'A' || texte[0] > u'Z')
        return false;
    m_tampon += texte;
    // The code is set as soon as it names one type and begins no other; Enter sets a code that begins another.
    int commencent = 0;
    for (const TypeAbsence& t : m->types())
        if (t.CODE.startsWith(m_tampon))
            ++commencent;
    if (commencent == 0) {
        dire(QStringLiteral("Aucun type d'absence ne commence par %1.").arg(m_tampon));
        m_tampon.clear();
        QApplication::beep();
    } else if (commencent == 1 && m->type(m_tampon)) {
        const QString code = m_tampon;
        m_tampon.clear();
        poserCode(code);
    } else {
        dire(QStringLiteral("Code: %1").arg(m_tampon));
    }
    return true;
}

bool FenetreAbsences::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return FenetreTravail::eventFilter(objet, event);
    auto* cle = static_cast<QKeyEvent*>(event);
    if (objet == m_vue)
        return touche(cle);
    // In the detailed entry, Escape goes back to the table.
    if (cle->key() == Qt::Key_Escape) {
        m_vue->setFocus();
        return true;
    }
    return FenetreTravail::eventFilter(objet, event);
}

void FenetreAbsences::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    // Shown again after another window (the grid, the types): what it changed is read again.
    if (m_dejaMontree)
        (void)charger(g_choix);
    m_dejaMontree = true;
    m_vue->setFocus();
}

void FenetreAbsences::boutonSommaire(int evenement)
{
    switch (evenement - evt::BoutonListe) {
    case 1:
        ouvrirFenetre(QString(nom::TypesAbsence), cadre());
        break;
    case 2:
        moisSuivant(-1);
        break;
    case 3:
        moisSuivant(1);
        break;
    case 4:
        choisirOrdre(OrdrePersonnel::Nom);
        break;
    case 5:
        choisirOrdre(OrdrePersonnel::Carte);
        break;
    case 6:
        choisirOrdre(OrdrePersonnel::Matricule);
        break;
    default:
        if (evenement == evt::Bouton13)
            close();
        break;
    }
}

} // namespace kip

#include "moc_FenetreAbsences.cpp"
