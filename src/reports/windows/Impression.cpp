// The report selection window and what it does: it opens on the employees, runs the report chosen (its progress
// window, then the preview and the print) or the export of its totals, and closes.
#include "Impression.h"

#include "GenerationRapport.h"
#include "ImprimerPages.h"
#include "Previsualisation.h"
#include "data/FileWriter.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "reports/Editions.h"
#include "reports/TacheEdition.h"
#include "reports/TacheExport.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace kip {

FenetreTravail* Impression::ouvrir(Cadre& cadre)
{
    {
        FileUse employes(FileId::Personnel);
        Database db(paths().dataDir);
        RecordFile<Personnel> fichier(db);
        // With no employee there is nothing to print; a file that cannot be counted is left to the list's read,
        // which reports it.
        if (!fichier.open().ok() || fichier.records().valueOr(-1) == 0)
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
    configurerImprimante = [this] { choisirMiseEnPage(this); };
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

std::optional<GenreExport> Impression::genreExport(int ligne)
{
    if (ligne == 6)
        return GenreExport::TotauxSemaines;
    if (ligne == 7)
        return GenreExport::TotauxPeriode;
    return std::nullopt;
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
    // The employee list reads the employees; every other report the day lines.
    if (!r.erreurLecture.ok())
        Message(35, r.erreurLecture,
                m_enCours->avecPeriode() ? QStringLiteral("POINTVAL") : QStringLiteral("PERSONNEL"));
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
    if (!r.erreurLecture.ok())
        Message(35, r.erreurLecture, QStringLiteral("POINTVAL"));
    if (!r.erreurEcriture.ok())
        Message(15, r.erreurEcriture, writeFailureText(r.erreurEcriture, false));
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

void enregistrerFenetresEditions()
{
    enregistrerFabrique(nom::Impression, [](Cadre& c) { return Impression::ouvrir(c); });
}

} // namespace kip

#include "moc_Impression.cpp"
