// The report selection window.
#include "Impression.h"

#include "CaseCouleur.h"
#include "GenerationRapport.h"
#include "ImprimerPages.h"
#include "ModelesImpression.h"
#include "Previsualisation.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "reports/Editions.h"
#include "reports/TacheEdition.h"
#include "reports/TacheExport.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>

namespace kip {

namespace {
using Etat = CaseCouleur::Etat;
} // namespace

FenetreTravail* Impression::ouvrir(Cadre& cadre)
{
    {
        FileUse employes(FileId::Personnel);
        Database db(paths().dataDir);
        RecordFile<Personnel> fichier(db);
        if (fichier.open() != NoError || fichier.records() == 0)
            return nullptr;
    }
    auto* fenetre = new Impression(cadre);
    if (!fenetre->remplirEmployes()) {
        // The read error was shown: the window goes.
        QTimer::singleShot(0, fenetre, &QWidget::close);
    }
    return fenetre;
}

Impression::Impression(Cadre& cadre)
    : FenetreTravail(cadre, nom::Impression), m_personnel(std::make_unique<FileUse>(FileId::Personnel)),
      m_db(paths().dataDir), m_selection(Clock::today())
{
    configurerImprimante = [this] {
        QPageSetupDialog dialogue(&imprimanteRapports(), this);
        dialogue.exec();
    };
    imprimer = [this](const ImagesPages& pages, const QString& document) {
        imprimerAvecDialogue(pages, document, this);
    };
    construire();
}

Impression::~Impression()
{
    // The preview draws from the pages: it goes first. A run still going is stopped and waited for.
    delete m_apercu;
    delete m_progression;
    delete m_tache;
    delete m_export;
}

namespace {

// The rows whose totals can be exported, and which.
std::optional<GenreExport> genreExport(int ligne)
{
    if (ligne == 6)
        return GenreExport::TotauxSemaines;
    if (ligne == 7)
        return GenreExport::TotauxPeriode;
    return std::nullopt;
}

} // namespace
// --- Choices ----------------------------------------------------------------------------------------------

int Impression::ligneCourante() const
{
    const QModelIndex i = m_liste->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void Impression::choisirLigne(int ligne)
{
    m_liste->setCurrentIndex(m_editions->index(ligne - 1, 0));
}

void Impression::ligneChangee(int ligne)
{
    for (CaseCouleur* c : {m_selSemaines, m_selDates, m_heuresMinutes, m_heuresCentiemes}) {
        c->setEtat(Etat::Gris);
        c->setEnabled(false);
    }
    m_groupeSemaines->setEnabled(false);
    m_groupeDates->setEnabled(false);
    m_selection.choisirModePeriode(QLatin1Char(' '));
    m_boutonExporter->setEnabled(genreExport(ligne).has_value());
    const DefinitionEdition* def = definitionEdition(ligne);
    if (!def)
        return;
    const QString& code = def->CONTROLEEDITION;
    m_selection.choisirEdition(code);
    if (code == code::CinqSemaines || code == code::UneSemaine) {
        m_selSemaines->setEtat(Etat::Actif);
        m_groupeSemaines->setEnabled(true);
    } else if (code == code::TrenteEtUnJours) {
        m_selDates->setEtat(Etat::Actif);
        m_groupeDates->setEnabled(true);
    } else if (code == code::Libre) {
        m_selSemaines->setEtat(Etat::Actif);
        m_selDates->setEtat(Etat::Inactif);
        m_selSemaines->setEnabled(true);
        m_selDates->setEnabled(true);
        m_groupeSemaines->setEnabled(true);
        m_groupeDates->setEnabled(true);
    }
    if (def->avecPeriode()) {
        m_heuresMinutes->setEnabled(true);
        m_heuresCentiemes->setEnabled(true);
        peindreUnites();
    }
    rafraichirPeriode();
}

void Impression::peindreUnites()
{
    const bool centiemes = EditionCentiemes();
    m_heuresMinutes->setEtat(centiemes ? Etat::Inactif : Etat::Actif);
    m_heuresCentiemes->setEtat(centiemes ? Etat::Actif : Etat::Inactif);
}

void Impression::choisirUnite(bool centiemes)
{
    if (!m_heuresMinutes->isEnabled())
        return;
    setEditionCentiemes(centiemes);
    peindreUnites();
}

void Impression::choisirModePeriode(QChar mode)
{
    if (m_selection.code() != code::Libre)
        return;
    m_selection.choisirModePeriode(mode);
    const bool semaines = mode == QLatin1Char('S');
    m_selSemaines->setEtat(semaines ? Etat::Actif : Etat::Inactif);
    m_selDates->setEtat(semaines ? Etat::Inactif : Etat::Actif);
    m_groupeSemaines->setEnabled(semaines);
    m_groupeDates->setEnabled(!semaines);
}

void Impression::choisirTri(Tri tri)
{
    m_selection.choisirTri(tri);
    for (Tri t : {Tri::Numero, Tri::Nom, Tri::Matricule}) {
        liste(t).selecteur->setEtat(t == tri ? Etat::Actif : Etat::Inactif);
        liste(t).groupe->setEnabled(t == tri);
    }
}

void Impression::semaineDebut()
{
    if (const std::optional<Semaine> s = askWeek(m_selection.semaineDebut(), this)) {
        m_selection.choisirSemaineDebut(*s);
        rafraichirPeriode();
    }
}

void Impression::semaineFin()
{
    if (const std::optional<Semaine> s = askWeek(m_selection.semaineFin(), this)) {
        m_selection.choisirSemaineFin(*s);
        rafraichirPeriode();
    }
}

void Impression::dateDebut()
{
    if (const std::optional<qint32> d = askDate(m_selection.dateDebut(), this)) {
        m_selection.choisirDateDebut(*d);
        rafraichirPeriode();
    }
}

void Impression::dateFin()
{
    if (const std::optional<qint32> d = askDate(m_selection.dateFin(), this)) {
        m_selection.choisirDateFin(*d);
        rafraichirPeriode();
    }
}

void Impression::employeChoisi(Tri tri, bool fin, int ligne)
{
    const Liste& l = liste(tri);
    if (ligne < 0 || ligne >= l.modele->rowCount())
        return;
    const Personnel& p = l.modele->employe(ligne);
    switch (tri) {
    case Tri::Numero:
        fin ? m_selection.choisirCarteFin(p) : m_selection.choisirCarteDebut(p);
        break;
    case Tri::Nom:
        fin ? m_selection.choisirNomFin(p) : m_selection.choisirNomDebut(p);
        break;
    case Tri::Matricule:
        fin ? m_selection.choisirMatriculeFin(p) : m_selection.choisirMatriculeDebut(p);
        break;
    }
    rafraichirEmployes();
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

// --- The run ----------------------------------------------------------------------------------------------

void Impression::configurer()
{
    if (!editionEnCours() && configurerImprimante)
        configurerImprimante();
}

void Impression::lancerEdition()
{
    const DefinitionEdition* def = definitionEdition(ligneCourante());
    // One report at a time.
    if (!def || editionEnCours() || !def->disponible())
        return;
    m_enCours = def;
    // The day lines are opened here, on this thread: the worker then finds them open and never has to ask
    // this thread anything (a repair question) while this thread might be waiting for it.
    m_journees = std::make_unique<FileUse>(FileId::PointVal);
    m_progression = new GenerationRapport(this);
    m_progression->setWindowModality(Qt::ApplicationModal);
    m_tache = new TacheEdition;
    m_tache->etape = etapeEdition;
    connect(m_tache, &Tache::progression, m_progression,
            [p = m_progression](const Avancement& a) { p->montrer(a.fait); });
    connect(m_progression, &GenerationRapport::annulation, m_tache, &Tache::annuler);
    connect(m_tache, &Tache::terminee, this, &Impression::editionTerminee);
    m_progression->show();
    m_tache->lancer(paths().dataDir, def->fabrique(), m_selection.parametres(*def, EditionCentiemes()),
                    miseEnPageRapports());
}

void Impression::editionTerminee()
{
    ResultatEdition r = std::move(m_tache->resultat());
    m_tache->deleteLater();
    m_tache = nullptr;
    m_journees.reset();
    m_progression->hide();
    m_progression->deleteLater();
    m_progression = nullptr;
    if (!r.erreurLecture.ok()) {
        setLastError(r.erreurLecture);
        // The employee list reads the employees; every other report the day lines.
        Message(35, m_enCours->avecPeriode() ? QStringLiteral("POINTVAL") : QStringLiteral("PERSONNEL"));
    }
    if (r.issue == ResultatEdition::Issue::Erreur && !r.erreurPages.isEmpty())
        showBox(QStringLiteral("Génération rapport"), r.erreurPages, MessageIcon::Exclamation);
    if (!r.complete())
        return;
    m_pages.emplace(std::move(r.pages));
    const QString document = m_enCours->avecPeriode() ? QStringLiteral("%1 du %2 au %3")
                                                            .arg(m_enCours->procedure,
                                                                 DateTexte(m_selection.dateDebut()).replace(u'/', u'-'),
                                                                 DateTexte(m_selection.dateFin()).replace(u'/', u'-'))
                                                      : m_enCours->procedure;
    m_document = document;
    m_apercu = new Previsualisation(*m_pages, document, this);
    m_apercu->setWindowModality(Qt::ApplicationModal);
    connect(m_apercu, &QDialog::finished, this, &Impression::apercuFerme);
    const QRect zone = cadre().geometry();
    m_apercu->resize(std::max(760, zone.width() - 60), std::max(600, zone.height() - 40));
    m_apercu->show();
}

void Impression::exporter()
{
    const DefinitionEdition* def = definitionEdition(ligneCourante());
    const std::optional<GenreExport> genre = genreExport(ligneCourante());
    if (!def || !genre || editionEnCours())
        return;
    QString repertoire = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (repertoire.isEmpty() || !QDir(repertoire).exists())
        repertoire = QDir::homePath();
    const QString nom = QStringLiteral("%1 du %2 au %3.csv")
                            .arg(def->procedure, DateTexte(m_selection.dateDebut()).replace(u'/', u'-'),
                                 DateTexte(m_selection.dateFin()).replace(u'/', u'-'));
    const std::optional<QString> chemin =
        askSaveFile({QStringLiteral("Exporter en CSV"), repertoire, nom, QStringLiteral("Fichiers CSV (*.csv)")});
    if (!chemin || chemin->isEmpty())
        return;
    m_fichierExport = *chemin;
    m_enCours = def;
    m_journees = std::make_unique<FileUse>(FileId::PointVal);
    m_progression = new GenerationRapport(this);
    m_progression->setWindowModality(Qt::ApplicationModal);
    m_export = new TacheExport;
    connect(m_export, &Tache::progression, m_progression,
            [p = m_progression](const Avancement& a) { p->montrer(a.fait); });
    connect(m_progression, &GenerationRapport::annulation, m_export, &Tache::annuler);
    connect(m_export, &Tache::terminee, this, &Impression::exportTermine);
    m_progression->show();
    m_export->lancer(paths().dataDir, *genre, m_selection.parametres(*def, EditionCentiemes()), SeuilsPaie{},
                     m_fichierExport);
}

void Impression::exportTermine()
{
    const ResultatExport r = m_export->resultat();
    m_export->deleteLater();
    m_export = nullptr;
    m_journees.reset();
    m_progression->hide();
    m_progression->deleteLater();
    m_progression = nullptr;
    if (!r.erreurLecture.ok()) {
        setLastError(r.erreurLecture);
        Message(35, QStringLiteral("POINTVAL"));
    }
    if (!r.erreur.isEmpty())
        showBox(QStringLiteral("Exporter en CSV"), r.erreur, MessageIcon::Exclamation);
    // As a report: nothing matching, or a cancelled run, ends without a word and without a file.
    if (r.ecrit())
        showBox(QStringLiteral("Exporter en CSV"),
                QStringLiteral("%1 ligne(s) exportée(s) dans %2.")
                    .arg(r.lignes)
                    .arg(QDir::toNativeSeparators(m_fichierExport)),
                MessageIcon::Information);
}

void Impression::apercuFerme()
{
    Previsualisation* apercu = m_apercu;
    m_apercu = nullptr;
    if (apercu->reponse() == Previsualisation::Imprimer && imprimer && m_pages)
        imprimer(*m_pages, m_document);
    apercu->deleteLater();
    // The report is over: its pages go, and their files with them.
    m_pages.reset();
}

void Impression::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton13) {
        close();
    } else if (evenement == evt::BoutonListe + 1) {
        lancerEdition();
    } else if (evenement == evt::BoutonListe + 2) {
        // The focus goes to "Config. Imp." and Enter is pressed on it.
        m_boutonConfig->setFocus();
        m_boutonConfig->click();
    }
}

void Impression::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient fond(0, 0, 0, height());
    fond.setColorAt(0, QColor(0xe6, 0xec, 0xf3));
    fond.setColorAt(1, QColor(0xd3, 0xdc, 0xe7));
    p.fillRect(rect(), fond);
}

void enregistrerFenetresEditions()
{
    enregistrerFabrique(nom::Impression, [](Cadre& c) { return Impression::ouvrir(c); });
}

} // namespace kip

#include "moc_Impression.cpp"
