// What the punch list shows: its controls (the date and week range, the six attendance buttons, the tabs, the
// list with its scroll bar, the employee range and the hidden buttons of the commands, built once), its rows
// and the range and filter in force.
#include "ModelePointage.h"
#include "SelecteurEmploye.h"
#include "TablePointage.h"
#include "calendar/Dates.h"
#include "calendar/windows/IconeCalendrier.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kip {

namespace {

// The chosen attendance button light green, the others light red.
const QString Choisi = QStringLiteral("#80ff80");
const QString NonChoisi = QStringLiteral("#ff8080");

} // namespace

void TablePointage::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    colonne->setSpacing(6);
    colonne->addWidget(construireBornes());
    colonne->addWidget(construirePresences());

    auto* bloc = new QVBoxLayout;
    bloc->setSpacing(0);
    bloc->addWidget(
        creerOnglets({"Par Date et Carte", "Par Carte et Date", "Par Date et Nom/Prénom", "Par Nom/Prénom et Date"}));

    auto* liste = new QHBoxLayout;
    liste->setSpacing(0);
    m_modele = new ModelePointage(this);
    auto* vue = new QTableView(this);
    vue->setModel(m_modele);
    preparerVue(vue);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 8);
    vue->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vue->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vue->horizontalHeader()->setStretchLastSection(false);
    liste->addWidget(m_vue, 1);
    liste->addWidget(creerBarre());
    bloc->addLayout(liste, 1);
    colonne->addLayout(bloc, 1);
    colonne->addWidget(construireEmployes());

    creerBoutons("nouveau", "Nouveau");
    connecter();
}

QWidget* TablePointage::construireBornes()
{
    auto* boite = new QWidget(this);
    auto* ligne = new QHBoxLayout(boite);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->setSpacing(6);
    const QFontMetrics fm(font());
    for (bool fin : {false, true}) {
        auto* legende = new QLabel(fin ? QStringLiteral("Fin:") : QStringLiteral("Début:"), boite);
        auto* date = new QLabel(boite);
        date->setObjectName(fin ? QStringLiteral("dateFin") : QStringLiteral("dateDebut"));
        date->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00/00/0000")) + 12);
        date->setStyleSheet(QStringLiteral("QLabel { background: white; border: 1px solid #a0a8b0; padding: 2px; }"));
        auto* calendrier = new QToolButton(boite);
        calendrier->setObjectName(fin ? QStringLiteral("choixDateFin") : QStringLiteral("choixDateDebut"));
        calendrier->setIcon(iconeCalendrier());
        calendrier->setIconSize(QSize(20, 20));
        calendrier->setToolTip(fin ? QStringLiteral("Sélectionne la date fin")
                                   : QStringLiteral("Sélectionne la date début"));
        calendrier->setFocusPolicy(Qt::NoFocus);
        connect(calendrier, &QToolButton::clicked, this, [this, fin] { choisirDate(fin); });
        auto* semaine = new QToolButton(boite);
        semaine->setObjectName(fin ? QStringLiteral("choixSemaineFin") : QStringLiteral("choixSemaineDebut"));
        semaine->setToolButtonStyle(Qt::ToolButtonTextOnly);
        semaine->setToolTip(fin ? QStringLiteral("Sélectionne la semaine fin")
                                : QStringLiteral("Sélectionne la semaine début"));
        semaine->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Sem.: 53/2026")) + 16);
        semaine->setFocusPolicy(Qt::NoFocus);
        connect(semaine, &QToolButton::clicked, this, [this, fin] { choisirSemaine(fin); });
        ligne->addWidget(legende);
        ligne->addWidget(date);
        ligne->addWidget(calendrier);
        ligne->addWidget(semaine);
        ligne->addSpacing(24);
        (fin ? m_dateFin : m_dateDebut) = date;
        (fin ? m_semaineFin : m_semaineDebut) = semaine;
    }
    ligne->addStretch(1);
    return boite;
}

QWidget* TablePointage::construirePresences()
{
    auto* boite = new QWidget(this);
    auto* grille = new QGridLayout(boite);
    grille->setContentsMargins(0, 0, 0, 0);
    grille->setHorizontalSpacing(6);
    grille->setVerticalSpacing(1);
    auto* pairs = new QLabel(QStringLiteral("Pointages pairs"), boite);
    pairs->setAlignment(Qt::AlignCenter);
    grille->addWidget(pairs, 0, 3, 1, 2);
    struct Def
    {
        Presence presence;
        const char* texte;
        const char* nom;
    };
    const Def defs[] = {{Presence::Tous, "Tous", "tous"},
                        {Presence::Presence, "Présence", "presence"},
                        {Presence::Absence, "Absence", "absence"},
                        {Presence::PairsEgal, "égal au prévu", "egal"},
                        {Presence::PairsDifferent, "différent du prévu", "different"},
                        {Presence::Impairs, "Pointages impairs", "impairs"}};
    int c = 0;
    for (const Def& d : defs) {
        auto* b = new QPushButton(QString::fromUtf8(d.texte), boite);
        b->setObjectName(QLatin1String(d.nom));
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(110);
        const Presence p = d.presence;
        connect(b, &QPushButton::clicked, this, [this, p] { choisirPresence(p); });
        m_presences[size_t(p)] = b;
        grille->addWidget(b, 1, c++);
    }
    grille->setColumnStretch(c, 1);
    return boite;
}

QWidget* TablePointage::construireEmployes()
{
    auto* boite = new QWidget(this);
    auto* ligne = new QHBoxLayout(boite);
    ligne->setContentsMargins(0, 0, 0, 0);
    ligne->setSpacing(6);
    using Champ = ModeleSelecteur::Champ;
    for (bool fin : {false, true}) {
        auto* legende = new QLabel(fin ? QStringLiteral("Fin:") : QStringLiteral("Début:"), boite);
        auto* s = new SelecteurEmploye({Champ::Carte, Champ::Nom, Champ::Prenom},
                                       fin ? QStringLiteral("Sélection de la personne fin par numéro")
                                           : QStringLiteral("Sélection de la personne début par numéro"),
                                       boite);
        s->setObjectName(fin ? QStringLiteral("personneFin") : QStringLiteral("personneDebut"));
        s->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 40);
        connect(s, &SelecteurEmploye::employeChoisi, this, [this, fin](const Personnel& p) { choisirEmploye(fin, p); });
        auto* texte = new QLabel(boite);
        texte->setObjectName(fin ? QStringLiteral("texteFin") : QStringLiteral("texteDebut"));
        texte->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 22);
        ligne->addWidget(legende);
        ligne->addWidget(s);
        ligne->addWidget(texte, 1);
        (fin ? m_selecteurFin : m_selecteurDebut) = s;
        (fin ? m_texteFin : m_texteDebut) = texte;
    }
    return boite;
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

} // namespace kip
