#include "CorrectionPointage.h"

#include "AbsencesGrille.h"
#include "JournalJournee.h"
#include "SelecteurEmploye.h"
#include "calendar/windows/CalendrierSemaine.h"
#include "calendar/windows/IconeCalendrier.h"
#include "correction/BornesPointage.h"
#include "correction/BrouillonCorrection.h"
#include "correction/FichierCorrection.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/Echanges.h"
#include "employees/windows/CurseurAttente.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kip {

namespace {

CorrectionPointage::ChoixSemaine g_choixSemaineGrille;
int g_periodeVidage = 5000;

bool choisirSemaineModal(Semaine& semaine, QWidget* parent)
{
    quint8 numero = semaine.numero;
    qint16 annee = semaine.annee;
    if (!CalendrierSemaine::choisir(numero, annee, parent))
        return false;
    semaine = {numero, annee};
    return true;
}

} // namespace

void CorrectionPointage::setChoixSemaine(ChoixSemaine choix)
{
    g_choixSemaineGrille = std::move(choix);
}

void CorrectionPointage::setPeriodeVidage(int ms)
{
    g_periodeVidage = std::max(1, ms);
}

CorrectionPointage::CorrectionPointage(Cadre& cadre)
    : FenetreTravail(cadre, nom::CorrectionPointage), m_usagePersonnel(FileId::Personnel),
      m_usagePointVal(FileId::PointVal), m_db(paths().dataDir)
{
    setReponse(Reponse::Annulee);
    construire();
    m_ouverte = remplirSelecteur() && ouvrirGrille();
    if (m_ouverte)
        m_vidage.start(g_periodeVidage, this);
}

CorrectionPointage::~CorrectionPointage() = default;

FenetreTravail* CorrectionPointage::ouvrir(Cadre& cadre)
{
    if (requete() == Requete::Suppression) {
        effacer();
        return nullptr;
    }
    auto* fenetre = new CorrectionPointage(cadre);
    if (fenetre->ouverte())
        return fenetre;
    fenetre->m_passeFaite = true;
    fenetre->close();
    return nullptr;
}

void CorrectionPointage::effacer()
{
    setReponse(Reponse::Annulee);
    const FileUse usage(FileId::PointVal);
    const JourneeEnCours j = journeeEnCours();
    const int bouton = showBox(QString::fromUtf8(texte::TitreEffacement), QString::fromUtf8(texte::Effacement),
                               MessageIcon::Question, ButtonYes | ButtonCancel, ButtonYes);
    if (bouton != ButtonYes)
        return;
    Database db(paths().dataDir);
    const FileError e = effacerJournee(db, j.carte, j.date);
    if (e.code == NotFound)
        return;
    if (!e.ok()) {
        reportFileError(15, e, QStringLiteral("POINTVAL"));
        return;
    }
    setReponse(Reponse::Complete);
}

bool CorrectionPointage::remplirSelecteur()
{
    RecordFile<Personnel> fichier(m_db);
    std::vector<Personnel> employes;
    FileError e = fichier.open();
    if (e.ok()) {
        Personnel depuis;
        Cursor<Personnel> c = fichier.read(PER_K_NOM_PRENOM, depuis);
        Personnel p;
        while ((e = c.next(p)).ok())
            employes.push_back(p);
    }
    if (e.code != EndOfFile) {
        saveError(e);
        Message(35, QStringLiteral("PERSONNEL"));
        return false;
    }
    m_selecteur->modele()->remplir(std::move(employes));
    return true;
}

bool CorrectionPointage::ouvrirGrille()
{
    JourneeEnCours enMain = journeeEnCours();
    qint32 lundi = LundiDimanche(enMain.date).lundi;
    // Edits that a program that died left unsaved bring the grid back on their card and week.
    const std::optional<Brouillon> brouillon = lireBrouillon(cheminBrouillon());
    if (brouillon && !brouillon->vide() && m_selecteur->modele()->rangee(brouillon->carte) >= 0) {
        enMain.carte = brouillon->carte;
        lundi = brouillon->lundi;
    }
    RecordFile<Personnel> fichier(m_db);
    Personnel employe;
    employe.CARTE = enMain.carte;
    FileError e = fichier.open();
    if (e.ok())
        e = fichier.get(employe, PER_K_CARTE);
    if (!e.ok()) {
        saveError(e);
        Message(35, QStringLiteral("PERSONNEL"));
        return false;
    }
    m_grille.charger(employe, lundi, {});
    if (!charger())
        return false;
    if (brouillon && m_grille.reprendre(*brouillon)) {
        afficher();
        cadre().afficherStatut(QStringLiteral("Les saisies non sauvegardées de cette semaine ont été reprises."));
    }
    const int jour = brouillon && brouillon->lundi == lundi && brouillon->carte == enMain.carte
                         ? m_grille.premierJourAffiche()
                         : (jourSemaine(enMain.date) + 6) % 7;
    m_jour = m_grille.jour(jour < 0 ? 0 : jour).cache ? std::max(0, m_grille.premierJourAffiche()) : jour;
    m_colonne = 0;
    return true;
}

bool CorrectionPointage::charger()
{
    SemaineLue lue;
    FileError e;
    {
        const CurseurAttente attente;
        e = chargerSemaine(m_db, m_grille.employe(), m_grille.lundi(), lue);
    }
    if (!lue.preparation.ok())
        reportFileError(15, lue.preparation, QStringLiteral("POINTVAL"));
    if (!e.ok()) {
        saveError(e);
        Message(35, QStringLiteral("POINTVAL"));
        return false;
    }
    m_grille.charger(m_grille.employe(), m_grille.lundi(), lue.lignes);
    // The absences are an aid beside the punches: a file that cannot be read leaves their fields disabled.
    (void)m_absences->charger(m_grille.employe(), m_grille.lundi());
    afficher();
    Q_EMIT semaineChargee();
    return true;
}

void CorrectionPointage::afficher()
{
    const Personnel& p = m_grille.employe();
    m_texteSemaine->setText(TexteSemaine(m_grille.semaine()));
    m_du->setText(QStringLiteral("Du ") + DateTexte(m_grille.lundi()));
    m_au->setText(QStringLiteral("au ") + DateTexte(m_grille.dimanche()));
    m_entete->setText(TexteEmployeGrille(p));
    m_selecteur->montrer(p.CARTE);
    for (int j = 0; j < JoursSemaine; ++j) {
        const JourGrille& jour = m_grille.jour(j);
        BlocJour& b = m_jours[size_t(j)];
        b.nomJour->setText(NomJour(jour.date));
        b.date->setText(DateTexte(jour.date));
        for (int c = 0; c < CellulesJour; ++c) {
            b.origine[size_t(c)]->setText(jour.origine[size_t(c)]);
            b.programme[size_t(c)]->setText(jour.programme[size_t(c)]);
            b.cellules[size_t(c)]->setText(jour.utilisateur[size_t(c)]);
            b.acceptes[size_t(c)] = jour.utilisateur[size_t(c)];
        }
        b.bloc->setVisible(!jour.cache);
    }
    afficherTotaux();
}

void CorrectionPointage::afficherTotaux()
{
    for (int j = 0; j < JoursSemaine; ++j)
        m_jours[size_t(j)].total->setText(TexteTotal(m_grille.jour(j).total));
    m_totalSemaine->setText(TexteTotal(m_grille.totalSemaine()));
    m_totalArrondi->setText(TexteTotal(m_grille.totalArrondi()));
}

void CorrectionPointage::curseurPremierJour()
{
    const int jour = m_grille.premierJourAffiche();
    if (jour >= 0)
        allerA(jour, 0);
}

void CorrectionPointage::allerA(int jour, int colonne)
{
    if (jour < 0 || jour >= JoursSemaine || m_grille.jour(jour).cache)
        return;
    m_jour = jour;
    m_colonne = colonne;
    QLineEdit* e = cellule(jour, colonne);
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
}

bool CorrectionPointage::quitterCellule()
{
    if (m_retour || m_grille.jour(m_jour).cache)
        return true;
    BlocJour& b = m_jours[size_t(m_jour)];
    QLineEdit* e = b.cellules[size_t(m_colonne)];
    if (e->text() == b.acceptes[size_t(m_colonne)])
        return true;
    const int jour = m_jour;
    const GrilleSemaine::Saisie s = m_grille.saisir(jour, m_colonne, e->text());
    if (s.etat == GrilleSemaine::Saisie::Acceptee) {
        const QString texte = m_grille.jour(jour).utilisateur[size_t(m_colonne)];
        e->setText(texte);
        b.acceptes[size_t(m_colonne)] = texte;
        afficherTotaux();
        return true;
    }
    // Beep, and the faulty cell again with its text selected, once the focus change under way is over.
    QApplication::beep();
    m_jour = jour;
    m_colonne = s.colonne;
    QLineEdit* faute = cellule(jour, s.colonne);
    m_retour = true;
    QTimer::singleShot(0, this, [this, faute] {
        m_retour = false;
        faute->setFocus(Qt::OtherFocusReason);
        faute->selectAll();
    });
    return false;
}

bool CorrectionPointage::passer()
{
    if (!quitterCellule())
        return false;
    const IssuePasse issue = passeSauvegarde(m_db, m_grille, m_mode);
    switch (issue.etat) {
    case IssuePasse::RienAEcrire:
    case IssuePasse::Enregistree:
    case IssuePasse::Abandonnee:
        viderBrouillon();
        return true;
    case IssuePasse::Invalide:
        QApplication::beep();
        allerA(issue.jour, issue.colonne);
        return false;
    case IssuePasse::Echec:
        // The store said no (its message was shown): the edits stay in the cells and on disk.
        if (!ecrireBrouillon(cheminBrouillon(), m_grille.brouillon()))
            cadre().afficherStatut(QStringLiteral("Le brouillon de la correction n'a pas pu être écrit."));
        return false;
    }
    return false;
}

void CorrectionPointage::viderBrouillon()
{
    effacerBrouillon(cheminBrouillon());
}

void CorrectionPointage::sauver()
{
    const ModeSauvegarde avant = m_mode;
    m_mode = ModeSauvegarde::Explicite;
    const bool fait = passer();
    m_mode = avant;
    if (!fait)
        return;
    const int jour = m_jour, colonne = m_colonne;
    if (charger())
        allerA(m_grille.jour(jour).cache ? m_grille.premierJourAffiche() : jour, colonne);
}

void CorrectionPointage::annuler()
{
    const ModeSauvegarde avant = m_mode;
    m_mode = ModeSauvegarde::Cancel;
    if (!passer()) {
        m_mode = avant;
        return;
    }
    m_passeFaite = true;
    setReponse(Reponse::Annulee);
    close();
}

void CorrectionPointage::semaineVoisine(int sens)
{
    if (!passer())
        return;
    m_grille.charger(m_grille.employe(), m_grille.lundi() + JoursSemaine * sens, {});
    if (charger())
        curseurPremierJour();
}

void CorrectionPointage::employeVoisin(OrdrePersonnel ordre, Direction sens)
{
    if (!passer())
        return;
    Personnel voisin;
    if (const FileError e = kip::employeVoisin(m_db, ordre, m_grille.employe(), sens, voisin); !e.ok()) {
        saveError(e);
        Message(35, QStringLiteral("PERSONNEL"));
        return;
    }
    m_grille.charger(voisin, m_grille.lundi(), {});
    if (charger())
        curseurPremierJour();
}

void CorrectionPointage::choisirEmploye(const Personnel& choisi)
{
    if (!passer()) {
        m_selecteur->montrer(m_grille.employe().CARTE);
        return;
    }
    RecordFile<Personnel> fichier(m_db);
    Personnel employe;
    employe.CARTE = choisi.CARTE;
    FileError e = fichier.open();
    if (e.ok())
        e = fichier.get(employe, PER_K_CARTE);
    if (!e.ok()) {
        saveError(e);
        Message(35, QStringLiteral("PERSONNEL"));
        m_selecteur->montrer(m_grille.employe().CARTE);
        return;
    }
    m_grille.charger(employe, m_grille.lundi(), {});
    if (charger())
        curseurPremierJour();
}

void CorrectionPointage::choisirSemaine()
{
    if (!passer())
        return;
    Semaine semaine = m_grille.semaine();
    const bool choisi = g_choixSemaineGrille ? g_choixSemaineGrille(semaine, this) : choisirSemaineModal(semaine, this);
    if (!choisi)
        return;
    m_grille.charger(m_grille.employe(), DatesDeSemaine(semaine.numero, semaine.annee).lundi, {});
    if (charger())
        curseurPremierJour();
}

void CorrectionPointage::aide()
{
    showBox(QString::fromUtf8(texte::TitreAide), QString::fromUtf8(texte::Aide), MessageIcon::Information, ButtonOk,
            ButtonOk);
}

void CorrectionPointage::journal()
{
    if (!m_ouverte || m_journal)
        return;
    const qint32 date = m_grille.lundi() + m_jour;
    const Personnel& p = m_grille.employe();
    std::vector<Journal> entrees;
    if (const FileError e = lireJournalJournee(m_db, p.CARTE, date, entrees); !e.ok()) {
        reportFileError(35, e, QStringLiteral("JOURNAL"));
        return;
    }
    const QString titre = QStringLiteral("%1 %2 %3, %4 %5")
                              .arg(p.CARTE, 4, 10, QLatin1Char('0'))
                              .arg(p.NOM, p.PRENOM, NomJour(date), DateTexte(date));
    m_journal = new JournalJournee(titre, std::move(entrees), this);
    m_journal->setAttribute(Qt::WA_DeleteOnClose);
    m_journal->setWindowModality(Qt::WindowModal);
    connect(m_journal, &QObject::destroyed, this, [this] { m_journal = nullptr; });
    m_journal->open();
}

void CorrectionPointage::boutonSommaire(int evenement)
{
    switch (evenement - evt::BoutonListe) {
    case 1:
        sauver();
        return;
    case 2:
        employeVoisin(OrdrePersonnel::Carte, Direction::Forward);
        return;
    case 3:
        employeVoisin(OrdrePersonnel::Carte, Direction::Backward);
        return;
    case 4:
        employeVoisin(OrdrePersonnel::Nom, Direction::Forward);
        return;
    case 5:
        employeVoisin(OrdrePersonnel::Nom, Direction::Backward);
        return;
    case 6:
        semaineVoisine(1);
        return;
    case 7:
        semaineVoisine(-1);
        return;
    case 8:
        journal();
        return;
    default:
        break;
    }
    if (evenement == evt::Bouton13)
        annuler();
}

QLineEdit* CorrectionPointage::absenceJour(int jour) const
{
    return m_absences->champ(jour);
}

bool CorrectionPointage::trouverCellule(QObject* objet, int& jour, int& colonne) const
{
    for (int j = 0; j < JoursSemaine; ++j)
        for (int c = 0; c < CellulesJour; ++c)
            if (m_jours[size_t(j)].cellules[size_t(c)] == objet) {
                jour = j;
                colonne = c;
                return true;
            }
    return false;
}

bool CorrectionPointage::touche(QKeyEvent* e, bool dansCellule)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_PageUp:
        if (ctrl)
            semaineVoisine(1);
        else
            employeVoisin(OrdrePersonnel::Carte, Direction::Forward);
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            semaineVoisine(-1);
        else
            employeVoisin(OrdrePersonnel::Carte, Direction::Backward);
        return true;
    case Qt::Key_F2:
        sauver();
        return true;
    case Qt::Key_F3:
        journal();
        return true;
    case Qt::Key_F4:
        m_absences->champ(m_jour)->setFocus();
        m_absences->champ(m_jour)->selectAll();
        return true;
    default:
        break;
    }
    if (!dansCellule)
        return false;
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (quitterCellule())
            allerA(m_grille.jourVoisin(m_jour, e->key() == Qt::Key_Up ? -1 : 1), m_colonne);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (quitterCellule())
            allerA(m_jour, GrilleSemaine::colonneVoisine(m_colonne, e->key() == Qt::Key_Left ? -1 : 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_grille.unJourAffiche() && quitterCellule())
            focusNextChild();
        return true;
    default:
        return false;
    }
}

bool CorrectionPointage::eventFilter(QObject* objet, QEvent* event)
{
    int jour = 0, colonne = 0;
    const bool dansCellule = trouverCellule(objet, jour, colonne);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (dansCellule) {
            // A key in a cell other than the cursor's (a test, a click without focus) starts from that cell.
            m_jour = jour;
            m_colonne = colonne;
        }
        if (touche(static_cast<QKeyEvent*>(event), dansCellule))
            return true;
        break;
    case QEvent::FocusIn:
        if (dansCellule && !m_retour) {
            m_jour = jour;
            m_colonne = colonne;
            auto* e = cellule(jour, colonne);
            QTimer::singleShot(0, e, [e] { e->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (dansCellule && jour == m_jour && colonne == m_colonne)
            quitterCellule();
        break;
    default:
        break;
    }
    return FenetreTravail::eventFilter(objet, event);
}

void CorrectionPointage::showEvent(QShowEvent* event)
{
    FenetreTravail::showEvent(event);
    if (m_ouverte) {
        // Back in front after another window (the absence window): the absences it may have changed are read again.
        (void)m_absences->charger(m_grille.employe(), m_grille.lundi());
        allerA(m_jour, m_colonne);
    }
}

void CorrectionPointage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_vidage.timerId())
        return FenetreTravail::timerEvent(event);
    // Every save is a committed transaction: what waits is only what the cells hold, kept on disk here.
    const Brouillon b = m_grille.brouillon();
    if (b.vide())
        viderBrouillon();
    else if (!ecrireBrouillon(cheminBrouillon(), b))
        cadre().afficherStatut(QStringLiteral("Le brouillon de la correction n'a pas pu être écrit."));
}

void CorrectionPointage::closeEvent(QCloseEvent* event)
{
    m_vidage.stop();
    if (!m_passeFaite && m_ouverte) {
        // The frame closes every window: the grid saves by the mode "cancel" all the same; what cannot be
        // written stays in the draft for the next opening.
        m_passeFaite = true;
        m_mode = ModeSauvegarde::Cancel;
        m_retour = true; // no focus games while closing
        const IssuePasse issue = passeSauvegarde(m_db, m_grille, m_mode);
        if (issue.etat == IssuePasse::Invalide || issue.etat == IssuePasse::Echec)
            (void)ecrireBrouillon(cheminBrouillon(), m_grille.brouillon());
        else
            viderBrouillon();
    }
    setReponse(Reponse::Annulee);
    FenetreTravail::closeEvent(event);
}

} // namespace kip

#include "moc_CorrectionPointage.cpp"
