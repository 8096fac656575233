#include "CalendrierSemaine.h"

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

CalendrierSemaine::CalendrierSemaine(quint8 semaine, qint16 annee, QWidget* parent)
    : QDialog(parent), m_entree(SemaineDOuverture({semaine, annee})), m_table(m_entree.annee)
{
    setObjectName(QStringLiteral("Calendrier semaines"));
    setModal(true);
    construire();
    ouvrirSemaine(m_entree);
}

bool CalendrierSemaine::choisir(quint8& semaine, qint16& annee, QWidget* parent)
{
    CalendrierSemaine fenetre(semaine, annee, parent);
    const bool choisi = fenetre.exec() == QDialog::Accepted;
    const Semaine s = fenetre.resultat();
    semaine = s.numero;
    annee = s.annee;
    return choisi;
}

Semaine CalendrierSemaine::resultat() const
{
    return result() == QDialog::Accepted && m_choix.numero ? m_choix : m_entree;
}

bool CalendrierSemaine::ligneChoisie(int i) const
{
    return m_lignes[i - 1].bouton->property("choisie").toBool();
}

QString CalendrierSemaine::texteLigne(int i) const
{
    const Ligne& l = m_lignes[i - 1];
    return l.code->text() + u' ' + l.lundi->text() + u' ' + l.dimanche->text();
}

void CalendrierSemaine::construire()
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
    m_spinAnnee = new QSpinBox(this);
    m_spinAnnee->setObjectName(QStringLiteral("annee"));
    m_spinAnnee->setWrapping(true);
    m_spinMois = new QSpinBox(this);
    m_spinMois->setObjectName(QStringLiteral("mois"));
    m_spinMois->setRange(1, 12);
    m_spinMois->setWrapping(true);
    m_spinMois->setMinimumWidth(60);
    m_cetteSemaine = new QPushButton(QStringLiteral("Cette semaine"), this);
    m_cetteSemaine->setObjectName(QStringLiteral("cetteSemaine"));
    m_cetteSemaine->setAutoDefault(false);
    reglages->addWidget(new QLabel(QStringLiteral("Année:"), this));
    reglages->addWidget(m_spinAnnee);
    reglages->addSpacing(10);
    reglages->addWidget(new QLabel(QStringLiteral("Mois:"), this));
    reglages->addWidget(m_spinMois);
    reglages->addStretch(1);
    reglages->addWidget(m_cetteSemaine);
    colonne->addLayout(reglages);

    m_onglets = new OngletsMois(this);
    colonne->addWidget(m_onglets);

    auto* feuille = new QFrame(this);
    feuille->setObjectName(QStringLiteral("feuille"));
    auto* rangees = new QVBoxLayout(feuille);
    rangees->setContentsMargins(8, 8, 8, 8);
    rangees->setSpacing(2);
    // The heads share the rows' column widths so that the three columns line up.
    auto ajouterColonnes = [](QHBoxLayout* l, QLabel* code, QLabel* lundi, QLabel* dimanche) {
        l->setContentsMargins(10, 0, 10, 0);
        l->setSpacing(12);
        code->setFixedWidth(64);
        code->setAlignment(Qt::AlignCenter);
        lundi->setAlignment(Qt::AlignCenter);
        dimanche->setAlignment(Qt::AlignCenter);
        l->addWidget(code);
        l->addWidget(lundi, 1);
        l->addWidget(dimanche, 1);
    };
    auto* tetes = new QHBoxLayout;
    QLabel* teteCode = new QLabel(QStringLiteral("Semaine"), feuille);
    QLabel* teteLundi = new QLabel(QStringLiteral("Lundi"), feuille);
    QLabel* teteDimanche = new QLabel(QStringLiteral("Dimanche"), feuille);
    for (QLabel* t : {teteCode, teteLundi, teteDimanche})
        t->setProperty("role", QStringLiteral("entete"));
    ajouterColonnes(tetes, teteCode, teteLundi, teteDimanche);
    rangees->addLayout(tetes);
    for (int i = 0; i < LignesSemaines; ++i) {
        Ligne& l = m_lignes[i];
        l.bouton = new QPushButton(feuille);
        l.bouton->setObjectName(QStringLiteral("ligne_%1").arg(i + 1));
        l.bouton->setProperty("role", QStringLiteral("ligne"));
        l.bouton->setAutoDefault(false);
        l.bouton->setFocusPolicy(Qt::TabFocus);
        l.bouton->setCursor(Qt::PointingHandCursor);
        l.bouton->setMinimumHeight(34);
        // A hidden fifth row keeps its place so that the window does not jump from month to month.
        QSizePolicy politique = l.bouton->sizePolicy();
        politique.setRetainSizeWhenHidden(true);
        l.bouton->setSizePolicy(politique);
        l.code = new QLabel(l.bouton);
        l.lundi = new QLabel(l.bouton);
        l.dimanche = new QLabel(l.bouton);
        for (QLabel* t : {l.code, l.lundi, l.dimanche})
            t->setAttribute(Qt::WA_TransparentForMouseEvents);
        ajouterColonnes(new QHBoxLayout(l.bouton), l.code, l.lundi, l.dimanche);
        connect(l.bouton, &QPushButton::clicked, this, [this, i] { cliquer(i + 1); });
        rangees->addWidget(l.bouton);
    }
    colonne->addWidget(feuille);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_spinAnnee, &QSpinBox::valueChanged, this, &CalendrierSemaine::changerAnnee);
    connect(m_spinMois, &QSpinBox::valueChanged, this, &CalendrierSemaine::changerMois);
    connect(m_onglets, &OngletsMois::moisChoisi, this, &CalendrierSemaine::changerMois);
    connect(m_cetteSemaine, &QPushButton::clicked, this, &CalendrierSemaine::allerCetteSemaine);
}

void CalendrierSemaine::ouvrirSemaine(Semaine semaine)
{
    m_semaine = semaine.numero;
    m_table = CalendrierAnnee(semaine.annee);
    m_mois = m_table.CAL_MOIS[m_semaine];
    reglerSpinAnnee(m_spinAnnee, m_table.annee());
    remplir();
    legender();
}

void CalendrierSemaine::changerAnnee(int annee)
{
    reglerSpinAnnee(m_spinAnnee, annee);
    m_table = CalendrierAnnee(annee);
    // The chosen week keeps its number in the new week-year; week 53 becomes 52 in a year without it, so
    // that the caption always names a week that exists.
    if (!m_table.contient(m_semaine))
        m_semaine = m_table.derniere();
    remplir();
    legender();
}

void CalendrierSemaine::changerMois(int mois)
{
    m_mois = mois;
    remplir();
}

void CalendrierSemaine::allerCetteSemaine()
{
    ouvrirSemaine(NumeroSemaine(Clock::today()));
}

void CalendrierSemaine::cliquer(int i)
{
    const int semaine = m_rangees.semaine[i - 1];
    if (semaine == 0)
        return;
    m_choix = {quint8(semaine), qint16(m_table.annee())};
    accept();
}

void CalendrierSemaine::remplir()
{
    {
        const QSignalBlocker bloque(m_spinMois);
        m_spinMois->setValue(m_mois);
    }
    m_onglets->setMois(m_mois);
    m_rangees = m_table.lignes(m_mois);
    for (int i = 0; i < LignesSemaines; ++i) {
        Ligne& l = m_lignes[i];
        const int semaine = m_rangees.semaine[i];
        l.code->setText(m_rangees.CODE_AFFICHE[i]);
        l.lundi->setText(m_rangees.LUNDI_DEBUT[i]);
        l.dimanche->setText(m_rangees.DIMANCHE_FIN[i]);
        l.bouton->setVisible(semaine != 0);
        l.bouton->setProperty("choisie", semaine != 0 && semaine == m_semaine);
        repolir(l.bouton);
    }
}

void CalendrierSemaine::legender()
{
    const QString titre = m_table.titre(m_semaine);
    setWindowTitle(titre);
    m_titre->setText(titre);
}

} // namespace kip

#include "moc_CalendrierSemaine.cpp"
