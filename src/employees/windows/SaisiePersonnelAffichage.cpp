// What the employee form shows: its controls, top to bottom, with their prompts and tips; and how they show the
// record being edited, its bounds, the worked example of the rounding, the dates and the periods.
#include "ExempleVue.h"
#include "HorairePrevuFiche.h"
#include "SaisiePersonnel.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "punch/CodesArrondi.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kip {

namespace {

const char* const StyleVert = "QComboBox { background: #80ff80; color: black; }"
                              "QComboBox QAbstractItemView { background: #80ff80; color: black; "
                              "selection-background-color: #2e8b2e; selection-color: white; }";
constexpr int LargeurInvites = 160; // pixels: longer prompts of the right column wrap

QSpinBox* spin(QWidget* parent, const char* nomObjet, int max, const char* tip)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(nomObjet));
    s->setRange(0, max);
    s->setSingleStep(1);
    s->setToolTip(QString::fromUtf8(tip));
    s->setMinimumWidth(s->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 40);
    s->setMaximumWidth(s->minimumWidth() + 20);
    return s;
}

QLineEdit* entree(QWidget* parent, const char* nomObjet, int longueur, const char* tip)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(nomObjet));
    e->setMaxLength(longueur);
    e->setToolTip(QString::fromUtf8(tip));
    const int largeur = e->fontMetrics().horizontalAdvance(QLatin1Char('M')) * std::max(longueur, 6) + 16;
    e->setMinimumWidth(std::min(largeur, 260));
    e->setMaximumWidth(largeur);
    return e;
}

QComboBox* listeArrondi(QWidget* parent, const char* nomObjet, const QStringList& codes,
                        QString (*libelle)(const QString&), const char* tip)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(nomObjet));
    for (const QString& code : codes)
        c->addItem(code + QLatin1Char(' ') + libelle(code), code);
    c->setStyleSheet(QLatin1String(StyleVert));
    // As wide as the longest of the 38-character texts.
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    c->setToolTip(QString::fromUtf8(tip));
    return c;
}

void ligne(QFormLayout* f, const char* invite, QWidget* champ)
{
    f->addRow(QString::fromUtf8(invite), champ);
}

// A prompt that wraps when it is long, with its accelerator going to the field.
QLabel* invite(QWidget* parent, const char* texte, QWidget* champ)
{
    auto* l = new QLabel(QString::fromUtf8(texte), parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (l->sizeHint().width() > LargeurInvites) {
        l->setWordWrap(true);
        l->setFixedWidth(LargeurInvites);
    }
    l->setBuddy(champ);
    return l;
}

} // namespace

void SaisiePersonnel::construire()
{
    auto* racine = new QVBoxLayout(this);
    racine->setContentsMargins(0, 0, 0, 0);
    auto* defile = new QScrollArea(this);
    defile->setFrameShape(QFrame::NoFrame);
    defile->setWidgetResizable(true);
    racine->addWidget(defile);

    m_contenu = new QWidget(defile);
    m_contenu->setObjectName(QStringLiteral("contenu"));
    auto* grille = new QGridLayout(m_contenu);
    grille->setContentsMargins(12, 10, 12, 10);
    grille->setHorizontalSpacing(20);
    grille->setVerticalSpacing(12);
    auto* titre = new QLabel(m_requete == Requete::Insertion ? QStringLiteral("Nouvel employé")
                                                             : QStringLiteral("Modification d'un employé"),
                             m_contenu);
    titre->setObjectName(QStringLiteral("titre"));
    titre->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 12pt;"));
    grille->addWidget(titre, 0, 0, 1, 2);
    grille->addWidget(construireIdentite(), 1, 0, Qt::AlignTop);
    grille->addWidget(construireCalendrier(), 1, 1, Qt::AlignTop);
    m_horaire = new HorairePrevuFiche(m_contenu);
    grille->addWidget(m_horaire, 2, 0, 1, 2);
    m_exemple = new ExempleVue(m_contenu);
    grille->addWidget(m_exemple, 3, 0, 1, 2);
    m_avis = new QLabel(m_contenu);
    m_avis->setObjectName(QStringLiteral("avis"));
    m_avis->setWordWrap(true);
    m_avis->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    m_avis->hide();
    grille->addWidget(m_avis, 4, 0, 1, 2);
    grille->setRowStretch(5, 1);
    grille->setColumnStretch(2, 1);
    defile->setWidget(m_contenu);

    // OK and Annuler exist but are hidden: the bar's Accepter and Annuler stand for them.
    for (auto [nomObjet, texte, action] : {std::tuple{"ok", "OK", &SaisiePersonnel::accepter},
                                           std::tuple{"annuler", "Annuler", &SaisiePersonnel::annuler}}) {
        auto* b = new QPushButton(QLatin1String(texte), this);
        b->setObjectName(QLatin1String(nomObjet));
        b->hide();
        connect(b, &QPushButton::clicked, this, action);
    }
}

QWidget* SaisiePersonnel::construireIdentite()
{
    auto* w = new QWidget(m_contenu);
    auto* f = new QFormLayout(w);
    f->setContentsMargins(0, 0, 0, 0);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_carte = spin(w, "carte", CarteMax, "Numéro de la carte de 1 à 9999");
    m_carte->setMinimum(CarteMin);
    m_nom = entree(w, "nom", LongueurNom, "Nom de l'employé sur 20 caractères");
    m_prenom = entree(w, "prenom", LongueurPrenom, "Prénom de l'employé sur 15 caractères");
    m_matricule = entree(w, "matricule", LongueurMatricule, "Matricule alphanumérique sur 10 caractères");
    m_arrondiEntree = listeArrondi(w, "arrondiEntree", roundingCodes(), &entryRoundingLabel,
                                   "Sélectionne l'arrondi d'entrée de 0 à 60 minutes");
    m_arrondiSortie = listeArrondi(w, "arrondiSortie", roundingCodes(), &exitRoundingLabel,
                                   "Sélectionne l'arrondi de sortie de 0 à 60 minutes");
    m_toleranceEntree = spin(w, "toleranceEntree", ToleranceMax, "Délai de tolérance sur l'entrée de 0 à 15 minutes");
    m_toleranceSortie = spin(w, "toleranceSortie", ToleranceMax, "Délai de tolérance sur la sortie de 0 à 15 minutes");
    m_decalageEntree = spin(w, "decalageEntree", DecalageMax, "Décalage de l'heure d'entrée de 0 à 59");
    m_decalageSortie = spin(w, "decalageSortie", DecalageMax, "Décalage de l'heure de sortie de 0 à 59");
    m_arrondiSemaine =
        listeArrondi(w, "arrondiSemaine", weekRoundingCodes(), &weekRoundingLabel, "Sélectionne l'arrodi de semaine");
    // The three rounding lists as wide as the widest.
    const int largeur = std::max({m_arrondiEntree->sizeHint().width(), m_arrondiSortie->sizeHint().width(),
                                  m_arrondiSemaine->sizeHint().width()});
    for (QComboBox* liste : {m_arrondiEntree, m_arrondiSortie, m_arrondiSemaine})
        liste->setFixedWidth(largeur);
    ligne(f, "&Numéro de carte:", m_carte);
    ligne(f, "&Nom:", m_nom);
    ligne(f, "&Prénom:", m_prenom);
    ligne(f, "&Matricule:", m_matricule);
    ligne(f, "&Arrondi d'entrée:", m_arrondiEntree);
    ligne(f, "&Arrondi de sortie:", m_arrondiSortie);
    ligne(f, "&Tolérance d'entrée:", m_toleranceEntree);
    ligne(f, "&Tolérance de sortie:", m_toleranceSortie);
    ligne(f, "&Décalage d'entrée:", m_decalageEntree);
    ligne(f, "&Décalage de sortie:", m_decalageSortie);
    ligne(f, "&Arrondi du total de la semaine:", m_arrondiSemaine);

    connect(m_carte, &QSpinBox::valueChanged, this, [this](int v) { m_fiche.CARTE = qint16(v); });
    connect(m_carte, &QSpinBox::editingFinished, this, &SaisiePersonnel::carteAcceptee);
    connect(m_nom, &QLineEdit::textEdited, this, [this](const QString& t) { m_fiche.NOM = t; });
    connect(m_prenom, &QLineEdit::textEdited, this, [this](const QString& t) { m_fiche.PRENOM = t; });
    connect(m_matricule, &QLineEdit::textEdited, this, [this](const QString& t) { m_fiche.MATRICULE = t; });
    m_matricule->installEventFilter(this);
    connect(m_arrondiEntree, &QComboBox::activated, this, [this](int i) { choisirArrondiCote(Cote::Entree, i); });
    connect(m_arrondiSortie, &QComboBox::activated, this, [this](int i) { choisirArrondiCote(Cote::Sortie, i); });
    auto regle = [this](QSpinBox* s, quint8 Personnel::*champ, Cote cote) {
        connect(s, &QSpinBox::valueChanged, this, [this, champ, cote](int v) {
            m_fiche.*champ = quint8(v);
            montrerExemple(cote);
        });
    };
    regle(m_toleranceEntree, &Personnel::TOLERANCE_ENTREE, Cote::Entree);
    regle(m_toleranceSortie, &Personnel::TOLERANCE_SORTIE, Cote::Sortie);
    regle(m_decalageEntree, &Personnel::DECALAGE_ENTREE, Cote::Entree);
    regle(m_decalageSortie, &Personnel::DECALAGE_SORTIE, Cote::Sortie);
    connect(m_arrondiSemaine, &QComboBox::activated, this,
            [this](int i) { m_fiche.ARRONDI_SEMAINE = m_arrondiSemaine->itemData(i).toString(); });
    return w;
}

QWidget* SaisiePersonnel::construireCalendrier()
{
    auto* w = new QWidget(m_contenu);
    auto* f = new QFormLayout(w);
    f->setContentsMargins(0, 0, 0, 0);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_decalageMinuit = entree(w, "decalageMinuit", LongueurHeure, "Décalage fixe du point minuit de 0.00 à 12.00");
    m_extension =
        entree(w, "extension", LongueurHeure, "Extension maximum de la journée sur le lendemain de 0.00 à 14.00");
    for (QLineEdit* e : {m_decalageMinuit, m_extension}) {
        e->setAlignment(Qt::AlignRight);
        e->installEventFilter(this);
        connect(e, &QLineEdit::editingFinished, this, [this, e] { accepterDuree(e); });
    }
    m_nombre = new QComboBox(w);
    m_nombre->setObjectName(QStringLiteral("nombre"));
    for (int n = 2; n <= PunchSlotsUsed; n += 2)
        m_nombre->addItem(QString::number(n), n);
    m_nombre->setToolTip(QStringLiteral("Nombre de pointages par jour de 2 à 14"));
    connect(m_nombre, &QComboBox::activated, this,
            [this](int i) { m_fiche.NOMBRE = quint8(m_nombre->itemData(i).toInt()); });
    f->addRow(invite(w, "&Décalage minuit:", m_decalageMinuit), m_decalageMinuit);
    f->addRow(invite(w, "&Extension de journée:", m_extension), m_extension);
    f->addRow(invite(w, "&Nombre de pointages théoriques par jour:", m_nombre), m_nombre);

    auto date = [this, w, f](const char* texteInvite, const char* nomObjet, const char* tip) {
        auto* rangee = new QWidget(w);
        auto* h = new QHBoxLayout(rangee);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(4);
        auto* texte = new QLineEdit(rangee);
        texte->setObjectName(QLatin1String(nomObjet));
        texte->setReadOnly(true);
        texte->setFocusPolicy(Qt::NoFocus);
        texte->setAlignment(Qt::AlignCenter);
        texte->setFixedWidth(texte->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
        auto* bouton = new QToolButton(rangee);
        bouton->setObjectName(QStringLiteral("calendrier_") + QLatin1String(nomObjet));
        bouton->setText(QStringLiteral("…"));
        bouton->setToolTip(QString::fromUtf8(tip));
        bouton->setFocusPolicy(Qt::StrongFocus);
        h->addWidget(texte);
        h->addWidget(bouton);
        f->addRow(invite(w, texteInvite, bouton), rangee);
        connect(bouton, &QToolButton::clicked, this, [this, texte] { choisirDate(texte); });
        return texte;
    };
    m_premierJour = date("&Premier jour de travail:", "premierJour", "Sélectionne le premier jour de travail");
    m_dernierJour = date("&Dernier jour de travail:", "dernierJour", "Sélectionne le dernier jour de travail");
    m_debutInactivite = date("&Début d'inactivité:", "debutInactivite", "Sélectionne le premier jour d'inactivité");
    m_finInactivite = date("&Fin d'inactivité:", "finInactivite", "Sélectionne le dernier jour d'inactivité");

    auto* listes = new QWidget(w);
    auto* h = new QHBoxLayout(listes);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    for (QListWidget** l : {&m_debuts, &m_fins}) {
        *l = new QListWidget(listes);
        (*l)->setObjectName(l == &m_debuts ? QStringLiteral("debutsPeriodes") : QStringLiteral("finsPeriodes"));
        (*l)->setFixedWidth(m_premierJour->width() + 8);
        (*l)->setFixedHeight((*l)->fontMetrics().height() * 6 + 12);
        h->addWidget(*l);
    }
    h->addStretch(1);
    connect(m_debuts, &QListWidget::currentRowChanged, m_fins, [this](int ligne) { m_fins->setCurrentRow(ligne); });
    connect(m_fins, &QListWidget::currentRowChanged, m_debuts, [this](int ligne) { m_debuts->setCurrentRow(ligne); });
    auto* titreListes = new QLabel(QStringLiteral("Périodes d'inactivité:"), w);
    titreListes->setAlignment(Qt::AlignRight | Qt::AlignTop);
    f->addRow(titreListes, listes);

    auto* boutons = new QWidget(w);
    auto* hb = new QVBoxLayout(boutons);
    hb->setContentsMargins(0, 0, 0, 0);
    hb->setSpacing(4);
    m_ajouterPeriode = new QPushButton(QStringLiteral("&Ajouter la période"), boutons);
    m_ajouterPeriode->setObjectName(QStringLiteral("ajouterPeriode"));
    m_ajouterPeriode->setToolTip(QStringLiteral("Ajouter la période d'inactivité à la liste"));
    m_supprimerPeriode = new QPushButton(QStringLiteral("&Supprimer la période sélectionnée"), boutons);
    m_supprimerPeriode->setObjectName(QStringLiteral("supprimerPeriode"));
    m_supprimerPeriode->setToolTip(QStringLiteral("Supprimer la période sélectionnée"));
    hb->addWidget(m_ajouterPeriode);
    hb->addWidget(m_supprimerPeriode);
    f->addRow(QString(), boutons);
    connect(m_ajouterPeriode, &QPushButton::clicked, this, &SaisiePersonnel::ajouterPeriodeChoisie);
    connect(m_supprimerPeriode, &QPushButton::clicked, this, &SaisiePersonnel::supprimerPeriodeChoisie);
    return w;
}

void SaisiePersonnel::remplir()
{
    const QSignalBlocker b1(m_carte), b2(m_toleranceEntree), b3(m_toleranceSortie), b4(m_decalageEntree),
        b5(m_decalageSortie);
    m_carte->setValue(m_fiche.CARTE);
    m_nom->setText(m_fiche.NOM);
    m_prenom->setText(m_fiche.PRENOM);
    m_matricule->setText(m_fiche.MATRICULE);
    m_arrondiEntree->setCurrentIndex(m_arrondiEntree->findData(m_fiche.ARRONDI_ENTREE));
    m_arrondiSortie->setCurrentIndex(m_arrondiSortie->findData(m_fiche.ARRONDI_SORTIE));
    m_arrondiSemaine->setCurrentIndex(m_arrondiSemaine->findData(m_fiche.ARRONDI_SEMAINE.left(3)));
    m_nombre->setCurrentIndex(m_nombre->findData(int(m_fiche.NOMBRE)));
    appliquerBornes(true);
    m_toleranceEntree->setValue(m_fiche.TOLERANCE_ENTREE);
    m_toleranceSortie->setValue(m_fiche.TOLERANCE_SORTIE);
    m_decalageEntree->setValue(m_fiche.DECALAGE_ENTREE);
    m_decalageSortie->setValue(m_fiche.DECALAGE_SORTIE);
    m_decalageMinuit->setText(HeureTexte(m_fiche.DECALAGE_MINUIT).trimmed());
    m_extension->setText(HeureTexte(m_fiche.EXTENSION).trimmed());
    montrerDates();
    montrerPeriodes();
    // The exit example first, then the entry example, which is thus the one shown.
    montrerExemple(Cote::Sortie);
    montrerExemple(Cote::Entree);
}

void SaisiePersonnel::appliquerBornes(bool elargir)
{
    m_bornes.entree = bornesArrondi(m_fiche.ARRONDI_ENTREE);
    m_bornes.sortie = bornesArrondi(m_fiche.ARRONDI_SORTIE);
    if (elargir) {
        // A stored value beyond the bounds of its code stays as it is: the form never changes what the user
        // did not touch. It can only be lowered.
        m_bornes.entree.tolerance = std::max<int>(m_bornes.entree.tolerance, m_fiche.TOLERANCE_ENTREE);
        m_bornes.entree.decalage = std::max<int>(m_bornes.entree.decalage, m_fiche.DECALAGE_ENTREE);
        m_bornes.sortie.tolerance = std::max<int>(m_bornes.sortie.tolerance, m_fiche.TOLERANCE_SORTIE);
        m_bornes.sortie.decalage = std::max<int>(m_bornes.sortie.decalage, m_fiche.DECALAGE_SORTIE);
    }
    const QSignalBlocker b1(m_toleranceEntree), b2(m_toleranceSortie), b3(m_decalageEntree), b4(m_decalageSortie);
    m_toleranceEntree->setMaximum(m_bornes.entree.tolerance);
    m_decalageEntree->setMaximum(m_bornes.entree.decalage);
    m_toleranceSortie->setMaximum(m_bornes.sortie.tolerance);
    m_decalageSortie->setMaximum(m_bornes.sortie.decalage);
    m_toleranceEntree->setValue(m_fiche.TOLERANCE_ENTREE);
    m_decalageEntree->setValue(m_fiche.DECALAGE_ENTREE);
    m_toleranceSortie->setValue(m_fiche.TOLERANCE_SORTIE);
    m_decalageSortie->setValue(m_fiche.DECALAGE_SORTIE);
}

void SaisiePersonnel::montrerExemple(Cote cote)
{
    const bool entree = cote == Cote::Entree;
    m_exemple->montrer(exempleArrondi(cote, entree ? m_fiche.ARRONDI_ENTREE : m_fiche.ARRONDI_SORTIE,
                                      entree ? m_fiche.TOLERANCE_ENTREE : m_fiche.TOLERANCE_SORTIE,
                                      entree ? m_fiche.DECALAGE_ENTREE : m_fiche.DECALAGE_SORTIE));
}

void SaisiePersonnel::montrerDates()
{
    m_premierJour->setText(DateTexte(m_fiche.DATE_EMBAUCHE));
    m_dernierJour->setText(DateTexte(m_fiche.DATE_DEBAUCHE));
    m_debutInactivite->setText(DateTexte(m_debutPeriode));
    m_finInactivite->setText(DateTexte(m_finPeriode));
}

void SaisiePersonnel::montrerPeriodes()
{
    const int choisie = m_debuts->currentRow();
    const QSignalBlocker b1(m_debuts), b2(m_fins);
    m_debuts->clear();
    m_fins->clear();
    for (const Periode& p : m_periodes) {
        m_debuts->addItem(DateTexte(p.debut));
        m_fins->addItem(DateTexte(p.fin));
        m_debuts->item(m_debuts->count() - 1)->setTextAlignment(Qt::AlignCenter);
        m_fins->item(m_fins->count() - 1)->setTextAlignment(Qt::AlignCenter);
    }
    const int ligneChoisie = std::min(choisie, int(m_periodes.size()) - 1);
    m_debuts->setCurrentRow(ligneChoisie);
    m_fins->setCurrentRow(ligneChoisie);
}

QWidget* SaisiePersonnel::controle(Champ champ) const
{
    switch (champ) {
    case Champ::Carte:
        return m_carte;
    case Champ::Nom:
        return m_nom;
    case Champ::Prenom:
        return m_prenom;
    case Champ::Matricule:
        return m_matricule;
    case Champ::ArrondiEntree:
        return m_arrondiEntree;
    case Champ::ArrondiSortie:
        return m_arrondiSortie;
    case Champ::ToleranceEntree:
        return m_toleranceEntree;
    case Champ::ToleranceSortie:
        return m_toleranceSortie;
    case Champ::DecalageEntree:
        return m_decalageEntree;
    case Champ::DecalageSortie:
        return m_decalageSortie;
    case Champ::ArrondiSemaine:
        return m_arrondiSemaine;
    case Champ::DecalageMinuit:
        return m_decalageMinuit;
    case Champ::Extension:
        return m_extension;
    case Champ::Nombre:
        return m_nombre;
    case Champ::DateEmbauche:
        return m_premierJour->parentWidget()->findChild<QToolButton*>();
    case Champ::DateDebauche:
        return m_dernierJour->parentWidget()->findChild<QToolButton*>();
    case Champ::Periodes:
        return m_debuts;
    case Champ::Aucun:
        break;
    }
    return nullptr;
}

QString SaisiePersonnel::avis() const
{
    return m_avis->isVisible() || !m_avis->text().isEmpty() ? m_avis->text() : QString();
}

} // namespace kip
