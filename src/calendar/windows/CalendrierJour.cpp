#include "CalendrierJour.h"

#include "OngletsMois.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kip {

CalendrierJour::CalendrierJour(qint32 date, QWidget* parent)
    : QDialog(parent), m_entree(date ? date : Clock::today()), m_date(m_entree)
{
    setObjectName(QStringLiteral("Calendrier"));
    setModal(true);
    const QDate jour = calendarDate(m_date);
    m_mois = jour.month();
    m_annee = jour.year();
    construire();
    afficher();
}

bool CalendrierJour::choisir(qint32& date, QWidget* parent)
{
    CalendrierJour fenetre(date, parent);
    const bool choisi = fenetre.exec() == QDialog::Accepted;
    date = fenetre.resultat();
    return choisi;
}

qint32 CalendrierJour::resultat() const
{
    return result() == QDialog::Accepted && m_choix ? m_choix : m_entree;
}

int CalendrierJour::celluleDuJour(int jour) const
{
    for (int i = 0; i < CellulesJours; ++i)
        if (jour > 0 && m_jours[i] == jour)
            return i + 1;
    return 0;
}

void CalendrierJour::construire()
{
    appliquerStyleCalendrier(this);
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(16, 14, 16, 16);
    colonne->setSpacing(10);

    m_titre = new QLabel(this);
    m_titre->setObjectName(QStringLiteral("titre"));
    colonne->addWidget(m_titre);

    auto* reglages = new QHBoxLayout;
    reglages->setSpacing(6);
    m_spinMois = new QSpinBox(this);
    m_spinMois->setObjectName(QStringLiteral("mois"));
    m_spinMois->setRange(1, 12);
    m_spinMois->setWrapping(true);
    m_spinMois->setMinimumWidth(60);
    m_spinAnnee = new QSpinBox(this);
    m_spinAnnee->setObjectName(QStringLiteral("annee"));
    m_spinAnnee->setWrapping(true);
    m_aujourdhui = new QPushButton(QStringLiteral("Aujourd'hui"), this);
    m_aujourdhui->setObjectName(QStringLiteral("aujourdhui"));
    m_aujourdhui->setAutoDefault(false);
    reglages->addWidget(new QLabel(QStringLiteral("Mois"), this));
    reglages->addWidget(m_spinMois);
    reglages->addSpacing(10);
    reglages->addWidget(new QLabel(QStringLiteral("Année"), this));
    reglages->addWidget(m_spinAnnee);
    reglages->addStretch(1);
    reglages->addWidget(m_aujourdhui);
    colonne->addLayout(reglages);

    m_onglets = new OngletsMois(this);
    colonne->addWidget(m_onglets);

    auto* feuille = new QFrame(this);
    feuille->setObjectName(QStringLiteral("feuille"));
    auto* grille = new QGridLayout(feuille);
    grille->setContentsMargins(10, 8, 10, 10);
    grille->setHorizontalSpacing(6);
    grille->setVerticalSpacing(4);
    const char* tetes[] = {"L", "M", "M", "J", "V", "S", "D"};
    for (int c = 0; c < 7; ++c) {
        auto* tete = new QLabel(QString::fromLatin1(tetes[c]), feuille);
        tete->setProperty("role", QStringLiteral("entete"));
        tete->setAlignment(Qt::AlignCenter);
        grille->addWidget(tete, 0, c);
    }
    for (int i = 0; i < CellulesJours; ++i) {
        auto* cellule = new QPushButton(feuille);
        cellule->setObjectName(QStringLiteral("jour_%1").arg(i + 1));
        cellule->setProperty("role", QStringLiteral("jour"));
        cellule->setProperty("weekend", i % 7 >= 5);
        cellule->setFixedSize(36, 34);
        cellule->setAutoDefault(false);
        cellule->setFocusPolicy(Qt::TabFocus);
        connect(cellule, &QPushButton::clicked, this, [this, i] { cliquer(i + 1); });
        grille->addWidget(cellule, 1 + i / 7, i % 7, Qt::AlignCenter);
        m_cellules[i] = cellule;
    }
    colonne->addWidget(feuille);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_spinMois, &QSpinBox::valueChanged, this, &CalendrierJour::changerMois);
    connect(m_spinAnnee, &QSpinBox::valueChanged, this, &CalendrierJour::changerAnnee);
    connect(m_onglets, &OngletsMois::moisChoisi, this, &CalendrierJour::changerMois);
    connect(m_aujourdhui, &QPushButton::clicked, this, &CalendrierJour::allerAujourdhui);
}

void CalendrierJour::changerMois(int mois)
{
    m_mois = mois;
    afficher();
}

void CalendrierJour::changerAnnee(int annee)
{
    m_annee = annee;
    afficher();
}

void CalendrierJour::allerAujourdhui()
{
    m_date = Clock::today();
    const QDate jour = calendarDate(m_date);
    m_mois = jour.month();
    m_annee = jour.year();
    afficher();
}

void CalendrierJour::cliquer(int i)
{
    const int jour = m_jours[i - 1];
    if (jour == 0)
        return;
    m_choix = dayNumber(m_annee, m_mois, jour);
    accept();
}

void CalendrierJour::afficher()
{
    const QString titre = TitreMois(m_mois, m_annee);
    setWindowTitle(titre);
    m_titre->setText(titre);
    {
        const QSignalBlocker bloque(m_spinMois);
        m_spinMois->setValue(m_mois);
    }
    reglerSpinAnnee(m_spinAnnee, m_annee);
    m_onglets->setMois(m_mois);

    m_jours = CellulesDuMois(m_mois, m_annee);
    const QDate marquee = calendarDate(m_date);
    const bool marqueIci = marquee.month() == m_mois && marquee.year() == m_annee;
    const QDate aujourdhui = Clock::todayDate();
    const bool aujourdhuiIci = aujourdhui.month() == m_mois && aujourdhui.year() == m_annee;
    for (int i = 0; i < CellulesJours; ++i) {
        QPushButton* cellule = m_cellules[i];
        const int jour = m_jours[i];
        cellule->setText(jour ? QString::number(jour) : QString());
        cellule->setEnabled(jour != 0);
        cellule->setCursor(jour ? Qt::PointingHandCursor : Qt::ArrowCursor);
        cellule->setProperty("marque", marqueIci && jour == marquee.day());
        cellule->setProperty("aujourdhui", aujourdhuiIci && jour == aujourdhui.day());
        repolir(cellule);
    }
}

} // namespace kip

#include "moc_CalendrierJour.cpp"
