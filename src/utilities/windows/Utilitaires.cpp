#include "Utilitaires.h"

#include "calendar/Clock.h"
#include "calendar/windows/IconeCalendrier.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "data/Postes.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"
#include "shell/windows/Unites.h"
#include "utilities/PassageServeur.h"
#include "utilities/SauvegardeManuelle.h"
#include "utilities/TachesUtilitaires.h"
#include "utilities/TextesUtilitaires.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kip {

using ui::px;

namespace {

int g_attentePause = PauseLecteur::AttenteMs;

QPlainTextEdit* champTexte(const QString& nom, QWidget* parent)
{
    auto* champ = new QPlainTextEdit(parent);
    champ->setObjectName(nom);
    champ->setReadOnly(true);
    champ->setMinimumSize(px(240), px(60));
    champ->setMaximumHeight(px(72));
    return champ;
}

QPushButton* bouton(const QString& texte, const QString& nom, QWidget* parent)
{
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    b->setAutoDefault(false);
    b->setMinimumWidth(px(96));
    return b;
}

QProgressBar* barre(const QString& nom, QWidget* parent)
{
    auto* b = new QProgressBar(parent);
    b->setObjectName(nom);
    b->setTextVisible(false);
    b->setMaximumHeight(10);
    b->hide();
    return b;
}

} // namespace

void Utilitaires::setAttentePause(int ms)
{
    g_attentePause = ms;
}

Utilitaires::Utilitaires(Cadre& cadre)
    : FenetreTravail(cadre, nom::Utilitaires), m_dateSave(std::make_unique<FileUse>(FileId::DateSave))
{
    m_limite = LimitePurge(Clock::today());
    m_fin = m_limite;
    m_explicationPurge = TexteExplicationPurge();
    m_explicationRestauration = TexteExplicationRestauration();

    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(px(16), px(12), px(16), px(12));
    colonne->addWidget(construireSections(), 0, Qt::AlignHCenter | Qt::AlignTop);
    colonne->addStretch(1);

    afficher(m_textePurge, m_explicationPurge);
    afficher(m_texteSauvegarde, TexteExplicationSauvegarde(DateSauvegardeManuelle(paths())));
    afficher(m_texteIndexage, TexteExplicationIndexage());
    afficher(m_texteRestauration, m_explicationRestauration);
    m_semaine->setText(TexteSemainePurge(m_fin.semaine));
}

Utilitaires::~Utilitaires()
{
    // A job still running is waited for: the files end whole.
    delete m_tachePurge;
    delete m_tacheSauvegarde;
    delete m_tacheRestauration;
    if (m_occupations > 0)
        QApplication::restoreOverrideCursor();
}

QWidget* Utilitaires::construireSections()
{
    auto* panneau = new QWidget(this);
    panneau->setMinimumWidth(px(414));
    panneau->setMaximumWidth(px(560));
    auto* sections = new QVBoxLayout(panneau);
    sections->setContentsMargins(0, 0, 0, 0);
    sections->setSpacing(px(8));
    auto* titre = new QLabel(QStringLiteral("Utilitaires"), panneau);
    titre->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 12pt;"));
    sections->addWidget(titre);

    auto section = [&](const QString& nom, QPlainTextEdit*& texte, QVBoxLayout*& droite, QProgressBar** progression) {
        auto* boite = new QGroupBox(nom, panneau);
        auto* ligne = new QHBoxLayout(boite);
        auto* gauche = new QVBoxLayout;
        texte = champTexte(QStringLiteral("texte") + nom, boite);
        gauche->addWidget(texte);
        if (progression) {
            *progression = barre(QStringLiteral("progression") + nom, boite);
            gauche->addWidget(*progression);
        }
        ligne->addLayout(gauche, 1);
        droite = new QVBoxLayout;
        droite->setSpacing(px(4));
        ligne->addLayout(droite);
        sections->addWidget(boite);
        return boite;
    };

    QVBoxLayout* droite = nullptr;
    QWidget* purge = section(QStringLiteral("Purge"), m_textePurge, droite, &m_progressionPurge);
    m_lancerPurge = bouton(QStringLiteral("Lancer la Purge"), QStringLiteral("lancerPurge"), purge);
    // Hidden, it keeps its room, so that "Confirmer" comes where the week picker was.
    QSizePolicy garde = m_lancerPurge->sizePolicy();
    garde.setRetainSizeWhenHidden(true);
    m_lancerPurge->setSizePolicy(garde);
    droite->addWidget(m_lancerPurge);
    auto* ligneSemaine = new QWidget(purge);
    ligneSemaine->setObjectName(QStringLiteral("ligneSemaine"));
    auto* ls = new QHBoxLayout(ligneSemaine);
    ls->setContentsMargins(0, 0, 0, 0);
    m_choisirSemaine = new QPushButton(ligneSemaine);
    m_choisirSemaine->setObjectName(QStringLiteral("choisirSemaine"));
    m_choisirSemaine->setIcon(iconeCalendrier());
    m_choisirSemaine->setIconSize(QSize(24, 24));
    m_choisirSemaine->setAutoDefault(false);
    m_choisirSemaine->setToolTip(QStringLiteral("Sélection de la dernière semaine qui sera purgée"));
    m_semaine = new QLabel(ligneSemaine);
    m_semaine->setObjectName(QStringLiteral("semaine"));
    ls->addWidget(m_choisirSemaine);
    ls->addWidget(m_semaine, 1);
    droite->addWidget(ligneSemaine);
    // "Confirmer" takes the place of the week picker once the purge is launched.
    m_confirmer = bouton(QStringLiteral("Confirmer"), QStringLiteral("confirmer"), purge);
    m_confirmer->hide();
    droite->addWidget(m_confirmer);
    droite->addStretch(1);
    connect(m_choisirSemaine, &QPushButton::clicked, this, &Utilitaires::choisirSemaine);
    connect(m_lancerPurge, &QPushButton::clicked, this, [this, ligneSemaine] {
        m_lancerPurge->hide();
        ligneSemaine->hide();
        m_confirmer->show();
    });
    connect(m_confirmer, &QPushButton::clicked, this, &Utilitaires::confirmerPurge);

    QWidget* sauvegarde = section(QStringLiteral("Sauvegarde"), m_texteSauvegarde, droite, nullptr);
    m_sauvegarder = bouton(QStringLiteral("Sauvegarder"), QStringLiteral("sauvegarder"), sauvegarde);
    droite->addWidget(m_sauvegarder);
    droite->addStretch(1);
    connect(m_sauvegarder, &QPushButton::clicked, this, &Utilitaires::sauvegarder);

    QWidget* indexage = section(QStringLiteral("Indexage"), m_texteIndexage, droite, nullptr);
    m_indexer = bouton(QStringLiteral("Indexer"), QStringLiteral("indexer"), indexage);
    droite->addWidget(m_indexer);
    droite->addStretch(1);
    connect(m_indexer, &QPushButton::clicked, this, &Utilitaires::indexer);

    QWidget* restauration =
        section(QStringLiteral("Restauration"), m_texteRestauration, droite, &m_progressionRestauration);
    m_saveAuto = new QRadioButton(QStringLiteral("Copie de SaveAuto"), restauration);
    m_saveAuto->setObjectName(QStringLiteral("saveAuto"));
    m_saveAuto->setChecked(true);
    m_saveManu = new QRadioButton(QStringLiteral("Copie de SaveManu"), restauration);
    m_saveManu->setObjectName(QStringLiteral("saveManu"));
    // The files as they were before each of the last restores, newest first.
    m_avantRestauration = new QRadioButton(QStringLiteral("Fichiers d'avant une restauration:"), restauration);
    m_avantRestauration->setObjectName(QStringLiteral("avantRestauration"));
    m_copiesAvant = new QComboBox(restauration);
    m_copiesAvant->setObjectName(QStringLiteral("copiesAvant"));
    remplirCopiesAvant();
    m_restaurer = bouton(QStringLiteral("Restaurer"), QStringLiteral("restaurer"), restauration);
    m_confirmerRestauration =
        bouton(QStringLiteral("Confirmer"), QStringLiteral("confirmerRestauration"), restauration);
    m_confirmerRestauration->hide();
    droite->addWidget(m_saveAuto);
    droite->addWidget(m_saveManu);
    droite->addWidget(m_avantRestauration);
    droite->addWidget(m_copiesAvant);
    droite->addWidget(m_restaurer);
    droite->addWidget(m_confirmerRestauration);
    droite->addStretch(1);
    connect(m_saveAuto, &QRadioButton::toggled, this, &Utilitaires::changerSource);
    connect(m_saveManu, &QRadioButton::toggled, this, &Utilitaires::changerSource);
    connect(m_copiesAvant, &QComboBox::currentIndexChanged, this, [this] {
        m_avantRestauration->setChecked(true);
        changerSource();
    });
    connect(m_restaurer, &QPushButton::clicked, this, &Utilitaires::restaurer);
    connect(m_confirmerRestauration, &QPushButton::clicked, this, &Utilitaires::confirmerRestauration);

    // Pressed by the bar's Quitter.
    m_fermer = bouton(QStringLiteral("Fermer"), QStringLiteral("fermer"), panneau);
    m_fermer->hide();
    connect(m_fermer, &QPushButton::clicked, this, &QWidget::close);
    return panneau;
}

void Utilitaires::afficher(QPlainTextEdit* champ, const QString& texte)
{
    champ->setPlainText(QString(texte).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

bool Utilitaires::occupe() const
{
    return m_occupations > 0;
}

void Utilitaires::occuper(bool oui)
{
    // The busy cursor while any action runs; the other actions wait for it.
    if (oui && m_occupations++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!oui && m_occupations > 0 && --m_occupations == 0)
        QApplication::restoreOverrideCursor();
    for (QWidget* b :
         {static_cast<QWidget*>(m_confirmer), static_cast<QWidget*>(m_choisirSemaine),
          static_cast<QWidget*>(m_lancerPurge), static_cast<QWidget*>(m_sauvegarder), static_cast<QWidget*>(m_indexer),
          static_cast<QWidget*>(m_restaurer), static_cast<QWidget*>(m_confirmerRestauration),
          static_cast<QWidget*>(m_saveAuto), static_cast<QWidget*>(m_saveManu),
          static_cast<QWidget*>(m_avantRestauration), static_cast<QWidget*>(m_copiesAvant)})
        b->setEnabled(!occupe() && !b->property("fait").toBool());
    // Nothing to choose before a first restore.
    if (m_copiesAvant->count() == 0) {
        m_avantRestauration->setEnabled(false);
        m_copiesAvant->setEnabled(false);
    }
    if (!occupe() && m_fermerApres)
        close();
}

void Utilitaires::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton13)
        m_fermer->click();
}

void Utilitaires::closeEvent(QCloseEvent* event)
{
    // A purge, backup or restore ends whole: the window closes once it is over. When the frame ends, the window
    // goes with it and its destruction waits for the job.
    if (occupe() && !cadre().enFermeture()) {
        m_fermerApres = true;
        event->ignore();
        return;
    }
    FenetreTravail::closeEvent(event);
}

void Utilitaires::choisirSemaine()
{
    const std::optional<Semaine> choisie = askWeek(m_fin.semaine, this);
    if (!choisie)
        return;
    m_fin = FinPurgeChoisie(*choisie, m_limite);
    m_semaine->setText(TexteSemainePurge(m_fin.semaine));
}

void Utilitaires::confirmerPurge()
{
    // A window of this program that uses the day lines: said at once, nothing is started.
    if (openCount(FileId::PointVal) > 0) {
        afficher(m_textePurge, m_explicationPurge + TextePurgeRefusee());
        Q_EMIT actionTerminee();
        return;
    }
    occuper(true);
    m_progressionPurge->setValue(0);
    m_progressionPurge->show();
    m_tachePurge = new TachePurge(this);
    connect(m_tachePurge, &Tache::progression, this, [this](const Avancement& a) {
        m_progressionPurge->setMaximum(a.total);
        m_progressionPurge->setValue(a.fait);
    });
    connect(m_tachePurge, &Tache::terminee, this, &Utilitaires::purgeTerminee);
    m_tachePurge->lancer(paths().dataDir, m_fin.dimanche);
}

void Utilitaires::purgeTerminee()
{
    const ResultatPurge r = m_tachePurge->resultat();
    m_tachePurge->deleteLater();
    m_tachePurge = nullptr;
    m_progressionPurge->hide();
    switch (r.etat) {
    case ResultatPurge::Etat::Faite:
        afficher(m_textePurge, m_explicationPurge + TextePurgeFaite(m_fin.dimanche));
        m_confirmer->setProperty("fait", true);
        break;
    case ResultatPurge::Etat::Refusee:
        // "Confirmer" stays: the purge can be asked again once the file is free.
        afficher(m_textePurge,
                 m_explicationPurge +
                     TextePurgeRefusee(r.erreur.ok() || r.erreur.code == Locked ? QString() : r.erreur.description()));
        break;
    case ResultatPurge::Etat::Echec:
        afficher(m_textePurge, m_explicationPurge + TextePurgeEchouee(r.erreur.description()));
        break;
    }
    occuper(false);
    Q_EMIT actionTerminee();
}

void Utilitaires::sauvegarder()
{
    occuper(true);
    m_tacheSauvegarde = new TacheSauvegarde(this);
    connect(m_tacheSauvegarde, &Tache::terminee, this, &Utilitaires::sauvegardeTerminee);
    m_tacheSauvegarde->lancer(paths(), Clock::today(), g_attentePause);
}

void Utilitaires::sauvegardeTerminee()
{
    afficher(m_texteSauvegarde, m_tacheSauvegarde->resultat().texte());
    // A backup that failed can be asked again at once.
    m_sauvegarder->setProperty("fait", m_tacheSauvegarde->resultat().reussie());
    m_tacheSauvegarde->deleteLater();
    m_tacheSauvegarde = nullptr;
    occuper(false);
    Q_EMIT actionTerminee();
}

void Utilitaires::indexer()
{
    occuper(true);
    FileError droits = DroitsAdministrateur(paths().dataDir);
    if (droits.ok())
        droits = seulSurLeServeur();
    if (!droits.ok()) {
        afficher(m_texteIndexage, TexteExplicationIndexage() + TexteIndexageRefuse(droits.description()));
        occuper(false);
        Q_EMIT actionTerminee();
        return;
    }
    // The rebuild shows its own progress window "Reconstruction des index sur les fichiers".
    rebuildAllKeysWithProgress();
    afficher(m_texteIndexage, TexteExplicationIndexage() + TexteIndexageFait());
    m_indexer->setProperty("fait", true);
    occuper(false);
    Q_EMIT actionTerminee();
}

CopieRestaurable Utilitaires::source() const
{
    if (m_avantRestauration->isChecked() && m_copiesAvant->currentIndex() >= 0) {
        CopieRestaurable copie;
        if (CopieDeNom(paths(), m_copiesAvant->currentData().toString(), &copie))
            return copie;
    }
    return CopieDe(paths(), m_saveManu->isChecked() ? SourceRestauration::SaveManu : SourceRestauration::SaveAuto);
}

void Utilitaires::remplirCopiesAvant()
{
    const QSignalBlocker bloque(m_copiesAvant);
    m_copiesAvant->clear();
    for (const CopieRestaurable& c : CopiesRestaurables(paths()))
        if (c.avant.isValid())
            m_copiesAvant->addItem(c.libelle(), c.nom);
}

void Utilitaires::changerSource()
{
    if (m_confirmerRestauration->property("fait").toBool())
        return;
    m_confirmerRestauration->hide();
    m_restaurer->show();
    afficher(m_texteRestauration, m_explicationRestauration);
}

void Utilitaires::restaurer()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CopieRestaurable copie = source();
    const DescriptionSauvegarde d = DecrireSauvegarde(paths(), copie);
    QApplication::restoreOverrideCursor();
    afficher(m_texteRestauration, m_explicationRestauration + QStringLiteral("\r\n\r\n") + d.texte(copie));
    if (!d.utilisable)
        return;
    m_restaurer->hide();
    m_confirmerRestauration->show();
}

void Utilitaires::confirmerRestauration()
{
    occuper(true);
    m_progressionRestauration->setValue(0);
    m_progressionRestauration->show();
    m_tacheRestauration = new TacheRestauration(this);
    connect(m_tacheRestauration, &Tache::progression, this, [this](const Avancement& a) {
        m_progressionRestauration->setMaximum(a.total);
        m_progressionRestauration->setValue(a.fait);
    });
    connect(m_tacheRestauration, &Tache::terminee, this, &Utilitaires::restaurationTerminee);
    m_tacheRestauration->lancer(paths(), source(), g_attentePause);
}

void Utilitaires::restaurationTerminee()
{
    const ResultatRestauration r = m_tacheRestauration->resultat();
    m_tacheRestauration->deleteLater();
    m_tacheRestauration = nullptr;
    m_progressionRestauration->hide();
    afficher(m_texteRestauration, m_explicationRestauration + QStringLiteral("\r\n\r\n") + r.texte);
    // The copy of the files before this restore is one more copy to choose from.
    remplirCopiesAvant();
    if (r.faite()) {
        for (QWidget* w : {static_cast<QWidget*>(m_confirmerRestauration), static_cast<QWidget*>(m_saveAuto),
                           static_cast<QWidget*>(m_saveManu), static_cast<QWidget*>(m_avantRestauration),
                           static_cast<QWidget*>(m_copiesAvant)})
            w->setProperty("fait", true);
        // The restored settings place the bar.
        cadre().setSommaireADroite(r.positionSommaire == 1);
    }
    occuper(false);
    Q_EMIT actionTerminee();
}

void enregistrerUtilitaires()
{
    enregistrerFabrique(nom::Utilitaires, [](Cadre& c) { return new Utilitaires(c); });
}

} // namespace kip

#include "moc_Utilitaires.cpp"
