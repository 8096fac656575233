// What the report selection shows: its controls (built, and filled from the employees), the colours of the
// period and unit boxes, the period and the employee ranges chosen.
#include "CaseCouleur.h"
#include "Icones.h"
#include "Impression.h"
#include "ModelesImpression.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "shell/windows/Fond.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kip {

namespace {

constexpr int ColonneSelecteur = 150; // the coloured selectors
constexpr int ColonneBorne = 330;     // "Début:" and "Fin:"
// Columns of the employee lists: card 24, name 80, first name 60, matricule 50 dialog units.
constexpr double PixelsParUniteDialogue = 1.75;
const QString VertClair = QStringLiteral("#80ff80");

int largeurColonne(ModeleEmployes::Champ c)
{
    const int unites = c == ModeleEmployes::CARTE    ? 24
                       : c == ModeleEmployes::NOM    ? 80
                       : c == ModeleEmployes::PRENOM ? 60
                                                     : 50;
    return int(unites * PixelsParUniteDialogue);
}

QLabel* etiquette(const QString& texte, QWidget* parent, int largeur = 0)
{
    auto* l = new QLabel(texte, parent);
    if (largeur)
        l->setFixedWidth(largeur);
    return l;
}

QToolButton* boutonCalendrier(const char* astuce, const char* nom, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(iconeCalendrier());
    b->setIconSize(QSize(20, 20));
    b->setToolTip(QString::fromUtf8(astuce));
    b->setObjectName(QLatin1String(nom));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

using Etat = CaseCouleur::Etat;

} // namespace

void Impression::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(14, 12, 14, 12);
    colonne->setSpacing(10);

    auto* boutons = new QHBoxLayout;
    m_boutonImprimer = new QPushButton(QStringLiteral("Imprimer"), this);
    m_boutonExporter = new QPushButton(QStringLiteral("Exporter..."), this);
    m_boutonExporter->setEnabled(false);
    m_boutonExporter->setToolTip(QStringLiteral("Totaux en fichier CSV pour la paie"));
    m_boutonConfig = new QPushButton(QStringLiteral("Config. Imp."), this);
    m_boutonFermer = new QPushButton(QStringLiteral("Fermer"), this);
    for (QPushButton* b : {m_boutonImprimer, m_boutonExporter, m_boutonConfig, m_boutonFermer}) {
        b->setMinimumWidth(90);
        boutons->addWidget(b);
    }
    boutons->addStretch(1);
    colonne->addLayout(boutons);
    connect(m_boutonImprimer, &QPushButton::clicked, this, &Impression::lancerEdition);
    connect(m_boutonExporter, &QPushButton::clicked, this, &Impression::exporter);
    connect(m_boutonConfig, &QPushButton::clicked, this, &Impression::configurer);
    connect(m_boutonFermer, &QPushButton::clicked, this, &QWidget::close);

    auto* cadreListe = new QGroupBox(QStringLiteral("Editions"), this);
    auto* cl = new QVBoxLayout(cadreListe);
    m_editions = new ModeleEditions(this);
    m_liste = new QTableView(cadreListe);
    m_liste->setObjectName(QStringLiteral("editions"));
    m_liste->setModel(m_editions);
    m_liste->horizontalHeader()->hide();
    m_liste->verticalHeader()->hide();
    m_liste->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_liste->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_liste->setWordWrap(true);
    m_liste->setShowGrid(false);
    m_liste->setAlternatingRowColors(true);
    m_liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->viewport()->setCursor(Qt::PointingHandCursor);
    m_liste->setMinimumHeight(170);
    m_liste->setStyleSheet(
        QStringLiteral("QTableView { selection-background-color: %1; selection-color: black; }").arg(VertClair));
    cl->addWidget(m_liste);
    // The list takes the height left by the period and the employees, so that its last rows show without a scroll.
    colonne->addWidget(cadreListe, 1);
    connect(m_liste->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& courant) { ligneChangee(courant.row() + 1); });
    connect(m_liste, &QTableView::doubleClicked, this, &Impression::lancerEdition);

    colonne->addWidget(construirePeriode());
    colonne->addWidget(construireEmployes());

    // The list opens on its first row without choosing it: the period stays closed until the row changes.
    {
        const QSignalBlocker bloque(m_liste->selectionModel());
        m_liste->setCurrentIndex(m_editions->index(0, 0));
    }
    ligneChangee(0);
    choisirTri(Tri::Numero);
    rafraichirPeriode();
    m_liste->setFocus();
}

QWidget* Impression::construirePeriode()
{
    auto* cadreP = new QGroupBox(QStringLiteral("Période"), this);
    auto* grille = new QGridLayout(cadreP);
    grille->setHorizontalSpacing(14);

    m_heuresMinutes = new CaseCouleur(QStringLiteral("H et mn"), cadreP);
    m_heuresCentiemes = new CaseCouleur(QStringLiteral("H et 100e"), cadreP);
    m_heuresMinutes->setObjectName(QStringLiteral("heuresMinutes"));
    m_heuresCentiemes->setObjectName(QStringLiteral("heuresCentiemes"));
    auto* unites = new QHBoxLayout;
    for (CaseCouleur* c : {m_heuresMinutes, m_heuresCentiemes}) {
        c->setFixedWidth(ColonneSelecteur / 2 + 20);
        unites->addWidget(c);
    }
    unites->addStretch(1);
    connect(m_heuresMinutes, &CaseCouleur::clique, this, [this] { choisirUnite(false); });
    connect(m_heuresCentiemes, &CaseCouleur::clique, this, [this] { choisirUnite(true); });
    grille->addLayout(unites, 0, 0, 1, 3);

    grille->addWidget(etiquette(QStringLiteral("Début:"), cadreP, ColonneBorne), 1, 1);
    grille->addWidget(etiquette(QStringLiteral("Fin:"), cadreP, ColonneBorne), 1, 2);

    m_selSemaines = new CaseCouleur(QStringLiteral("Sélection semaines"), cadreP);
    m_selDates = new CaseCouleur(QStringLiteral("Sélection dates"), cadreP);
    m_selSemaines->setObjectName(QStringLiteral("selectionSemaines"));
    m_selDates->setObjectName(QStringLiteral("selectionDates"));
    connect(m_selSemaines, &CaseCouleur::clique, this, [this] { choisirModePeriode(QLatin1Char('S')); });
    connect(m_selDates, &CaseCouleur::clique, this, [this] { choisirModePeriode(QLatin1Char('D')); });

    auto groupe = [&](CaseCouleur* selecteur, int rangee, const char* astuceDebut, const char* astuceFin,
                      const char* nomDebut, const char* nomFin, QLabel*& texteDebut, QLabel*& texteFin,
                      void (Impression::*debut)(), void (Impression::*fin)()) {
        selecteur->setFixedWidth(ColonneSelecteur);
        grille->addWidget(selecteur, rangee, 0);
        auto* g = new QWidget(cadreP);
        auto* l = new QHBoxLayout(g);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(14);
        for (auto [astuce, nom, texte, action] :
             {std::tuple{astuceDebut, nomDebut, &texteDebut, debut}, std::tuple{astuceFin, nomFin, &texteFin, fin}}) {
            auto* borne = new QWidget(g);
            borne->setFixedWidth(ColonneBorne);
            auto* bl = new QHBoxLayout(borne);
            bl->setContentsMargins(0, 0, 0, 0);
            QToolButton* b = boutonCalendrier(astuce, nom, borne);
            connect(b, &QToolButton::clicked, this, action);
            *texte = new QLabel(borne);
            (*texte)->setObjectName(QLatin1String(nom) + QStringLiteral("Texte"));
            bl->addWidget(b);
            bl->addWidget(*texte, 1);
            l->addWidget(borne);
        }
        grille->addWidget(g, rangee, 1, 1, 2);
        return g;
    };
    m_groupeSemaines = groupe(m_selSemaines, 2, "Sélectionne la semaine début", "Sélectionne la semaine fin",
                              "semaineDebut", "semaineFin", m_texteSemaineDebut, m_texteSemaineFin,
                              &Impression::semaineDebut, &Impression::semaineFin);
    m_groupeDates = groupe(m_selDates, 3, "Sélectionne la date début", "Sélectionne la date fin", "dateDebut",
                           "dateFin", m_texteDateDebut, m_texteDateFin, &Impression::dateDebut, &Impression::dateFin);
    grille->setColumnStretch(3, 1);
    return cadreP;
}

QWidget* Impression::construireEmployes()
{
    auto* cadreE = new QGroupBox(QStringLiteral("Personnel"), this);
    auto* grille = new QGridLayout(cadreE);
    grille->setHorizontalSpacing(14);
    grille->addWidget(etiquette(QStringLiteral("Début:"), cadreE, ColonneBorne), 0, 1);
    grille->addWidget(etiquette(QStringLiteral("Fin:"), cadreE, ColonneBorne), 0, 2);

    struct Def
    {
        Tri tri;
        Liste* liste;
        ModeleEmployes::Ordre ordre;
        const char* titre;
        const char* parQuoi;
        const char* nomDebut;
        const char* nomFin;
    };
    const Def defs[] = {
        {Tri::Numero, &m_cartes, ModeleEmployes::Ordre::Carte, "Tri par numéro", "numéro", "FLD3", "FLD5"},
        {Tri::Nom, &m_noms, ModeleEmployes::Ordre::Nom, "Tri par nom", "nom", "FLD7", "FLD9"},
        {Tri::Matricule, &m_matricules, ModeleEmployes::Ordre::Matricule, "Tri par matricule", "matricule", "FLD10",
         "FLD11"},
    };
    int rangee = 1;
    for (const Def& d : defs) {
        Liste& l = *d.liste;
        l.modele = new ModeleEmployes(d.ordre, this);
        l.selecteur = new CaseCouleur(QString::fromUtf8(d.titre), cadreE);
        l.selecteur->setFixedWidth(ColonneSelecteur);
        l.selecteur->setEnabled(true);
        const Tri tri = d.tri;
        connect(l.selecteur, &CaseCouleur::clique, this, [this, tri] { choisirTri(tri); });
        grille->addWidget(l.selecteur, rangee, 0, Qt::AlignTop);
        l.groupe = new QWidget(cadreE);
        auto* gl = new QHBoxLayout(l.groupe);
        gl->setContentsMargins(0, 0, 0, 0);
        gl->setSpacing(14);
        for (bool fin : {false, true}) {
            auto* borne = new QWidget(l.groupe);
            borne->setFixedWidth(ColonneBorne);
            auto* bl = new QVBoxLayout(borne);
            bl->setContentsMargins(0, 0, 0, 0);
            bl->setSpacing(2);
            auto* combo = new QComboBox(borne);
            combo->setObjectName(QLatin1String(fin ? d.nomFin : d.nomDebut));
            combo->setToolTip(
                QStringLiteral("Sélection de la personne %1 par %2")
                    .arg(fin ? QStringLiteral("fin") : QStringLiteral("début"), QString::fromUtf8(d.parQuoi)));
            combo->setModel(l.modele);
            combo->setModelColumn(0);
            combo->setMaxVisibleItems(16);
            // A list that drops below the box, sixteen rows high, whatever the style's habit.
            combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
            auto* vue = new QTableView(combo);
            vue->horizontalHeader()->hide();
            vue->verticalHeader()->hide();
            vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
            vue->setSelectionBehavior(QAbstractItemView::SelectRows);
            vue->setShowGrid(false);
            vue->setStyleSheet(QStringLiteral("QTableView { selection-background-color: %1; selection-color: black; }")
                                   .arg(VertClair));
            combo->setView(vue);
            int largeur = 0;
            for (int c = 0; c < 4; ++c) {
                vue->setColumnWidth(c, largeurColonne(l.modele->champ(c)));
                largeur += largeurColonne(l.modele->champ(c));
            }
            vue->setMinimumWidth(largeur + 24);
            combo->setFixedWidth(largeurColonne(l.modele->champ(0)) + 110);
            connect(combo, &QComboBox::activated, this, [this, tri, fin](int i) { employeChoisi(tri, fin, i); });
            auto* texte = new QLabel(borne);
            texte->setObjectName(QLatin1String(fin ? d.nomFin : d.nomDebut) + QStringLiteral("Texte"));
            bl->addWidget(combo);
            bl->addWidget(texte);
            (fin ? l.fin : l.debut) = combo;
            (fin ? l.texteFin : l.texteDebut) = texte;
            gl->addWidget(borne);
        }
        grille->addWidget(l.groupe, rangee, 1, 1, 2);
        ++rangee;
    }
    grille->setColumnStretch(3, 1);
    return cadreE;
}

bool Impression::remplirEmployes()
{
    RecordFile<Personnel> fichier(m_db);
    if (const FileError e = fichier.open(); !e.ok()) {
        Message(35, e, QStringLiteral("PERSONNEL"));
        return false;
    }
    SelectionImpression::Bornes bornes[3];
    const KeyDecl* cles[] = {&PER_K_CARTE, &PER_K_NOM_PRENOM, &PER_K_MATRICULE};
    Liste* listes[] = {&m_cartes, &m_noms, &m_matricules};
    for (int k = 0; k < 3; ++k) {
        std::vector<Personnel> employes;
        Personnel depuis;
        depuis.CARTE = std::numeric_limits<qint16>::min();
        Cursor<Personnel> c = fichier.read(*cles[k], depuis);
        Personnel p;
        for (;;) {
            const auto lu = c.next(p);
            if (lu == EndOfFile)
                break;
            if (lu != NoError) {
                Message(35, lu, QStringLiteral("PERSONNEL"));
                return false;
            }
            employes.push_back(p);
        }
        if (employes.empty())
            return false;
        bornes[k] = {employes.front(), employes.back()};
        listes[k]->modele->remplir(std::move(employes));
    }
    m_selection.initialiserEmployes(bornes[0], bornes[1], bornes[2]);
    rafraichirEmployes();
    return true;
}

Impression::Liste& Impression::liste(Tri tri)
{
    return tri == Tri::Numero ? m_cartes : tri == Tri::Nom ? m_noms : m_matricules;
}

const Impression::Liste& Impression::liste(Tri tri) const
{
    return tri == Tri::Numero ? m_cartes : tri == Tri::Nom ? m_noms : m_matricules;
}

CaseCouleur* Impression::caseTri(Tri tri) const
{
    return liste(tri).selecteur;
}

QWidget* Impression::groupeTri(Tri tri) const
{
    return liste(tri).groupe;
}

QComboBox* Impression::listeEmployes(Tri tri, bool fin) const
{
    return fin ? liste(tri).fin : liste(tri).debut;
}

QLabel* Impression::texteEtendue(Tri tri, bool fin) const
{
    return fin ? liste(tri).texteFin : liste(tri).texteDebut;
}

void Impression::peindreUnites()
{
    const bool centiemes = EditionCentiemes();
    m_heuresMinutes->setEtat(centiemes ? Etat::Inactif : Etat::Actif);
    m_heuresCentiemes->setEtat(centiemes ? Etat::Actif : Etat::Inactif);
}

void Impression::rafraichirPeriode()
{
    m_texteSemaineDebut->setText(m_selection.texteSemaineDebut());
    m_texteSemaineFin->setText(m_selection.texteSemaineFin());
    m_texteDateDebut->setText(DateTexte(m_selection.dateDebut()));
    m_texteDateFin->setText(DateTexte(m_selection.dateFin()));
}

void Impression::rafraichirEmployes()
{
    // Each list stands on the employee whose value bounds its range, the first that has it.
    auto placer = [](QComboBox* combo, const ModeleEmployes* modele, const Personnel& valeur, bool vide) {
        const QSignalBlocker bloque(combo);
        combo->setCurrentIndex(vide ? -1 : modele->ligneDe(valeur));
    };
    Personnel v;
    v.CARTE = m_selection.carteDebut();
    placer(m_cartes.debut, m_cartes.modele, v, v.CARTE == 0);
    v.CARTE = m_selection.carteFin();
    placer(m_cartes.fin, m_cartes.modele, v, v.CARTE == 0);
    v.NOM = m_selection.nomDebut();
    placer(m_noms.debut, m_noms.modele, v, v.NOM.isEmpty());
    v.NOM = m_selection.nomFin();
    placer(m_noms.fin, m_noms.modele, v, v.NOM.isEmpty());
    v.MATRICULE = m_selection.matriculeDebut();
    placer(m_matricules.debut, m_matricules.modele, v, v.MATRICULE.isEmpty());
    v.MATRICULE = m_selection.matriculeFin();
    placer(m_matricules.fin, m_matricules.modele, v, v.MATRICULE.isEmpty());
    m_cartes.texteDebut->setText(m_selection.texteCarteDebut());
    m_cartes.texteFin->setText(m_selection.texteCarteFin());
    m_noms.texteDebut->setText(m_selection.texteNomDebut());
    m_noms.texteFin->setText(m_selection.texteNomFin());
    m_matricules.texteDebut->setText(m_selection.texteMatriculeDebut());
    m_matricules.texteFin->setText(m_selection.texteMatriculeFin());
}

void Impression::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::peindreFond(p, rect());
}

} // namespace kip
