#include "CorrectionPointage.h"

#include "AbsencesGrille.h"
#include "JournalJournee.h"
#include "SelecteurEmploye.h"
#include "correction/BornesPointage.h"
#include "correction/BrouillonCorrection.h"
#include "correction/FichierCorrection.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "employees/Echanges.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/CurseurAttente.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>
#include <QTimer>

namespace kip {

namespace {

int g_periodeVidage = 5000;
const char* const SaisiesNonEnregistrees = "Rien n'a été enregistré: vos saisies restent dans la grille et sont "
                                           "gardées dans le brouillon. Sauvegardez (F2) une fois la cause levée.";

} // namespace

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
        Message(35, e, QStringLiteral("PERSONNEL"));
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
        Message(35, e, QStringLiteral("PERSONNEL"));
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
        Message(35, e, QStringLiteral("POINTVAL"));
        return false;
    }
    m_grille.charger(m_grille.employe(), m_grille.lundi(), lue.lignes);
    // The absences are an aid beside the punches: a file that cannot be read leaves their fields disabled.
    (void)m_absences->charger(m_grille.employe(), m_grille.lundi());
    afficher();
    Q_EMIT semaineChargee();
    return true;
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
        garderSaisies();
        return false;
    case IssuePasse::ModifieeAilleurs:
        relireApresConflit();
        return false;
    }
    return false;
}

void CorrectionPointage::relireApresConflit()
{
    // Nothing was written: the other station's save stays whole. The operator's rows go to the draft, the week
    // is read again as stored, and the rows are put back over it, so that a save is now a choice made on sight
    // of the other change rather than a blind overwrite.
    const Brouillon saisies = m_grille.brouillon();
    const FileError ecrit = ecrireBrouillon(cheminBrouillon(), saisies);
    const int jour = m_jour, colonne = m_colonne;
    if (!charger())
        return; // the read's message was shown; the draft keeps the rows for the next opening
    m_grille.reprendre(saisies);
    afficher();
    allerA(m_grille.jour(jour).cache ? std::max(0, m_grille.premierJourAffiche()) : jour, colonne);
    if (!ecrit.ok()) {
        brouillonNonEcrit(ecrit);
        return;
    }
    cadre().afficherStatut(QString::fromUtf8(texte::SaisiesGardees));
}

void CorrectionPointage::viderBrouillon()
{
    effacerBrouillon(cheminBrouillon());
}

void CorrectionPointage::brouillonNonEcrit(const FileError& erreur)
{
    cadre().afficherStatut(
        QStringLiteral("Le brouillon de la correction n'a pas pu être écrit (%1).").arg(erreur.description()));
}

void CorrectionPointage::garderSaisies()
{
    if (const FileError e = ecrireBrouillon(cheminBrouillon(), m_grille.brouillon()); !e.ok()) {
        brouillonNonEcrit(e);
        return;
    }
    // The operator knows that nothing was written and that the rows wait (a server out of reach, say).
    cadre().afficherStatut(QString::fromUtf8(SaisiesNonEnregistrees));
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
        Message(35, e, QStringLiteral("PERSONNEL"));
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
        Message(35, e, QStringLiteral("PERSONNEL"));
        m_selecteur->montrer(m_grille.employe().CARTE);
        return;
    }
    m_grille.charger(employe, m_grille.lundi(), {});
    if (charger())
        curseurPremierJour();
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

void CorrectionPointage::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_vidage.timerId())
        return FenetreTravail::timerEvent(event);
    // Every save is a committed transaction: what waits is only what the cells hold, kept on disk here.
    const Brouillon b = m_grille.brouillon();
    if (b.vide())
        viderBrouillon();
    else if (const FileError e = ecrireBrouillon(cheminBrouillon(), b); !e.ok())
        brouillonNonEcrit(e);
}

void CorrectionPointage::closeEvent(QCloseEvent* event)
{
    m_vidage.stop();
    if (!m_passeFaite && m_ouverte && !passeDeFermeture()) {
        event->ignore();
        m_vidage.start(g_periodeVidage, this);
        return;
    }
    setReponse(Reponse::Annulee);
    FenetreTravail::closeEvent(event);
}

bool CorrectionPointage::passeDeFermeture()
{
    m_retour = true; // no focus games while closing
    const Brouillon brouillon = m_grille.brouillon();
    if (cadre().finForcee()) {
        // The session ends: no question; the edits wait in the draft for the next opening.
        m_passeFaite = true;
        if (brouillon.vide())
            viderBrouillon();
        else if (!ecrireBrouillon(cheminBrouillon(), brouillon).ok())
            QTextStream(stderr) << texteBrouillonPerdu() << '\n';
        return true;
    }
    // The frame closes every window: the grid saves by the mode "cancel" all the same; what cannot be written
    // stays in the draft for the next opening.
    m_mode = ModeSauvegarde::Cancel;
    const IssuePasse issue = passeSauvegarde(m_db, m_grille, m_mode);
    if (issue.peutContinuer()) {
        viderBrouillon();
    } else if (!ecrireBrouillon(cheminBrouillon(), brouillon).ok()) {
        // Neither in the day lines nor in the draft: closing now would lose them without a word.
        m_retour = false;
        m_mode = ModeSauvegarde::Others;
        showBox(QString::fromUtf8(texte::TitreSauvegarde), texteBrouillonPerdu(), MessageIcon::Exclamation);
        return false;
    }
    m_passeFaite = true;
    return true;
}

QString CorrectionPointage::texteBrouillonPerdu() const
{
    return QStringLiteral("Les corrections de la semaine n'ont pu être ni enregistrées ni gardées dans le brouillon "
                          "(%1).\nLa fenêtre reste ouverte: enregistrez-les (F2) une fois la cause levée.")
        .arg(cheminBrouillon());
}

} // namespace kip

#include "moc_CorrectionPointage.cpp"
