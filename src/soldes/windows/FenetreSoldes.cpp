// The window of balances set by hand: its controls, the reads and the write on a worker, the balances shown.
#include "FenetreSoldes.h"

#include "calendar/Dates.h"
#include "correction/windows/SelecteurEmploye.h"
#include "data/Messages.h"
#include "data/RecordFile.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kip {

namespace {

using Champ = ModeleSelecteur::Champ;

Result<std::vector<Personnel>> lireEmployes(Database& db)
{
    FileUse use(FileId::Personnel);
    RecordFile<Personnel> fichier(db);
    std::vector<Personnel> employes;
    FileError e = fichier.open();
    if (e.ok()) {
        Cursor<Personnel> c = fichier.read(PER_K_NOM_PRENOM, Personnel{});
        Personnel p;
        while ((e = c.next(p)).ok())
            employes.push_back(p);
    }
    if (e.code != EndOfFile)
        return e;
    return employes;
}

bool enHeures(const QString& compte)
{
    return compte == QLatin1String(CompteSolde::Heures) || compte == QLatin1String(CompteSolde::Recuperation);
}

} // namespace

FenetreSoldes::FenetreSoldes(Cadre& cadre)
    : FenetreTravail(cadre, nom::Soldes), m_usagePersonnel(FileId::Personnel), m_usagePointVal(FileId::PointVal),
      m_usageTypes(FileId::TypeAbsence), m_usageAbsences(FileId::Absence), m_usageHoraires(FileId::Horaire),
      m_usageReglages(FileId::ReglagesAbsences), m_usageSoldes(FileId::Solde), m_usageJournal(FileId::Journal),
      m_db(paths().dataDir)
{
    construire();
    connect(&m_tache, &Tache::terminee, this, &FenetreSoldes::termine);
    lancer(
        [](Database& db) -> Lecture {
            Result<std::vector<Personnel>> l = lireEmployes(db);
            if (!l)
                return Result<Employes>(l.error());
            return Result<Employes>(Employes{std::move(*l)});
        },
        QStringLiteral("Lecture des employés..."));
}

FenetreSoldes::~FenetreSoldes() = default;

void FenetreSoldes::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    auto* entete = new QHBoxLayout;
    auto* titre = new QLabel(QStringLiteral("Soldes"), this);
    QFont grand = titre->font();
    grand.setBold(true);
    grand.setPointSizeF(grand.pointSizeF() * 1.3);
    titre->setFont(grand);
    entete->addWidget(titre);
    entete->addSpacing(16);
    auto* texteEmploye = new QLabel(QStringLiteral("&Employé"), this);
    m_selecteur = new SelecteurEmploye({Champ::Nom, Champ::Prenom, Champ::Carte},
                                       QStringLiteral("Choisit l'employé dont les soldes sont montrés"), this);
    m_selecteur->setObjectName(QStringLiteral("employe"));
    m_selecteur->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QLatin1Char('M')) * 24);
    texteEmploye->setBuddy(m_selecteur);
    connect(m_selecteur, &SelecteurEmploye::employeChoisi, this, &FenetreSoldes::choisirEmploye);
    entete->addWidget(texteEmploye);
    entete->addWidget(m_selecteur);
    entete->addStretch(1);
    colonne->addLayout(entete);

    m_soldes = new QLabel(this);
    m_soldes->setObjectName(QStringLiteral("soldes"));
    m_soldes->setTextFormat(Qt::RichText);
    m_soldes->setWordWrap(true);
    colonne->addWidget(m_soldes);
    colonne->addWidget(new QLabel(QStringLiteral("Soldes de départ et crédits enregistrés:"), this));
    m_enregistres = new QListWidget(this);
    m_enregistres->setObjectName(QStringLiteral("enregistres"));
    colonne->addWidget(m_enregistres, 1);

    auto* groupe = new QGroupBox(QStringLiteral("Nouveau solde"), this);
    auto* form = new QFormLayout(groupe);
    auto* ligne = new QHBoxLayout;
    m_nature = new QComboBox(groupe);
    m_nature->setObjectName(QStringLiteral("nature"));
    m_nature->addItem(QStringLiteral("Solde de départ"), int(NatureSolde::Depart));
    m_nature->addItem(QStringLiteral("Crédit"), int(NatureSolde::Credit));
    m_compte = new QComboBox(groupe);
    m_compte->setObjectName(QStringLiteral("compte"));
    m_compte->addItem(QStringLiteral("HEUR - compte d'heures"), QLatin1String(CompteSolde::Heures));
    m_compte->addItem(QStringLiteral("CP - congés payés"), QLatin1String(CompteSolde::Conges));
    m_compte->addItem(QStringLiteral("RTT"), QLatin1String(CompteSolde::Rtt));
    m_compte->addItem(QStringLiteral("REC - récupération"), QLatin1String(CompteSolde::Recuperation));
    ligne->addWidget(m_nature);
    ligne->addWidget(m_compte);
    ligne->addStretch(1);
    auto* texteOperation = new QLabel(QStringLiteral("&Opération"), groupe);
    texteOperation->setBuddy(m_nature);
    form->addRow(texteOperation, ligne);
    const int largeur = QFontMetrics(font()).horizontalAdvance(QStringLiteral("00/00/00000"));
    m_valeur = new QLineEdit(groupe);
    m_valeur->setObjectName(QStringLiteral("valeur"));
    m_valeur->setMaximumWidth(largeur);
    m_acquis = new QLineEdit(groupe);
    m_acquis->setObjectName(QStringLiteral("acquis"));
    m_acquis->setMaximumWidth(largeur);
    m_texteAcquis = new QLabel(QStringLiteral("acquis dans la période avant la date (jours)"), groupe);
    auto* valeurs = new QHBoxLayout;
    valeurs->addWidget(m_valeur);
    valeurs->addWidget(m_texteAcquis);
    valeurs->addWidget(m_acquis);
    valeurs->addStretch(1);
    auto* texteValeur = new QLabel(QStringLiteral("&Valeur"), groupe);
    texteValeur->setBuddy(m_valeur);
    form->addRow(texteValeur, valeurs);
    m_date = new QLineEdit(DateTexte(Clock::today()), groupe);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setMaximumWidth(largeur);
    form->addRow(QStringLiteral("&Date (JJ/MM/AAAA)"), m_date);
    m_commentaire = new QLineEdit(groupe);
    m_commentaire->setObjectName(QStringLiteral("commentaire"));
    m_commentaire->setMaxLength(40);
    form->addRow(QStringLiteral("Co&mmentaire"), m_commentaire);
    m_bouton = new QPushButton(QStringLiteral("E&nregistrer"), groupe);
    m_bouton->setObjectName(QStringLiteral("enregistrer"));
    connect(m_bouton, &QPushButton::clicked, this, [this] { (void)enregistrer(); });
    auto* ligneBouton = new QHBoxLayout;
    ligneBouton->addWidget(m_bouton);
    ligneBouton->addStretch(1);
    form->addRow(ligneBouton);
    colonne->addWidget(groupe);
    for (QComboBox* c : {m_nature, m_compte})
        connect(c, &QComboBox::currentIndexChanged, this, &FenetreSoldes::ajusterSaisie);
    ajusterSaisie();

    m_statut = new QLabel(this);
    m_statut->setObjectName(QStringLiteral("statut"));
    colonne->addWidget(m_statut);
}

void FenetreSoldes::ajusterSaisie()
{
    const QString compte = m_compte->currentData().toString();
    const bool cp = compte == QLatin1String(CompteSolde::Conges);
    m_texteAcquis->setVisible(cp);
    m_acquis->setVisible(cp);
    m_valeur->setPlaceholderText(enHeures(compte) ? QStringLiteral("12:30") : QStringLiteral("2,5"));
    m_valeur->setToolTip(cp ? QStringLiteral("Le solde des périodes précédentes, en jours (2,5); le solde de "
                                             "congés payés part du premier du mois de la date")
                         : enHeures(compte) ? QStringLiteral("Des heures: 12:30 ou 12,5, signe - permis")
                                            : QStringLiteral("Des jours: 2,5"));
}

void FenetreSoldes::lancer(std::function<Lecture(Database&)> travail, const QString& texte)
{
    setCursor(Qt::BusyCursor);
    m_bouton->setEnabled(false);
    dire(texte);
    // The worker works through a connection of its own; the files stay open by this window's uses.
    m_tache.demarrer([dataDir = m_db.dataDir(), travail = std::move(travail)](const SuiviTache&) {
        Database db(dataDir);
        return travail(db);
    });
}

void FenetreSoldes::choisirEmploye(const Personnel& employe)
{
    m_employe = employe;
    // A choice made during a read or a write is read once it ends.
    m_relire = m_tache.enCours();
    if (m_relire)
        return;
    const qint16 carte = employe.CARTE;
    lancer(
        [employe, carte](Database& db) -> Lecture {
            Result<SoldesLus> l = LireDonneesSoldes(db, carte, carte, Clock::today());
            if (!l)
                return Result<Lus>(l.error());
            return Result<Lus>(Lus{employe, std::move(*l)});
        },
        QStringLiteral("Lecture des soldes..."));
}

void FenetreSoldes::termine()
{
    Lecture lu = std::exchange(m_tache.resultat(), Lecture{});
    unsetCursor();
    m_bouton->setEnabled(m_employe.has_value());
    dire(QString());
    if (auto* employes = std::get_if<Result<Employes>>(&lu)) {
        if (!*employes) {
            reportFileError(35, employes->error(), QLatin1String(Personnel::Label));
            close();
            return;
        }
        m_selecteur->modele()->remplir(std::move((*employes)->liste));
        if (m_selecteur->modele()->employes().empty())
            dire(QStringLiteral("Aucun employé."));
        else
            choisirEmploye(m_selecteur->modele()->employes().front());
    } else if (auto* soldes = std::get_if<Result<Lus>>(&lu)) {
        if (m_relire) { // another employee was chosen meanwhile: what was read is not the one to show
            choisirEmploye(*m_employe);
            return;
        }
        if (!*soldes)
            reportFileError(35, soldes->error(), QLatin1String(Solde::Label));
        else
            afficher(**soldes);
        dire(std::exchange(m_annonce, QString()));
    } else if (auto* ecrit = std::get_if<FileError>(&lu)) {
        if (!ecrit->ok()) {
            showBox(QStringLiteral("Soldes"), ecrit->text.isEmpty() ? ecrit->description() : ecrit->text,
                    MessageIcon::Exclamation);
        } else {
            m_valeur->clear();
            m_acquis->clear();
            m_commentaire->clear();
        }
        // Said once the balances are shown again.
        if (ecrit->ok())
            m_annonce = QStringLiteral("Solde enregistré.");
        choisirEmploye(*m_employe);
    }
}

void FenetreSoldes::afficher(const Lus& lus)
{
    m_enregistres->clear();
    const qint32 aujourdhui = Clock::today();
    if (lus.soldes.employes.empty()) {
        m_soldes->setText(QStringLiteral("Cet employé n'existe plus."));
        return;
    }
    const DonneesSoldes& d = lus.soldes.employes.front();
    const std::vector<SemaineCompte> semaines = CompteTemps(d, lus.soldes.contexte, aujourdhui);
    const SoldesConges c = CalculerConges(d, lus.soldes.contexte, aujourdhui);
    m_selecteur->montrer(d.employe.CARTE);
    m_soldes->setText(
        QStringLiteral("<b>Soldes au %1</b>: compte d'heures <b>%2</b> &nbsp; congés payés: périodes précédentes "
                       "<b>%3 j</b>, période depuis le %4 <b>%5 j</b> (acquis %6, pris %7) &nbsp; RTT <b>%8 j</b> "
                       "&nbsp; récupération <b>%9</b>")
            .arg(DateTexte(aujourdhui), TexteSoldeMinutes(semaines.empty() ? 0 : semaines.back().solde),
                 TexteJours(c.cpPrecedent), DateTexte(c.debutPeriode), TexteJours(c.cpEnCours),
                 TexteJours(c.cpAcquisPeriode), TexteJours(c.cpPrisPeriode), TexteJours(c.rtt),
                 TexteSoldeMinutes(c.rec)));
    for (const Solde& s : d.soldes)
        m_enregistres->addItem(TexteSolde(s));
    if (d.soldes.empty())
        m_enregistres->addItem(QStringLiteral("(aucun)"));
}

bool FenetreSoldes::enregistrer()
{
    QString erreur;
    Solde s;
    s.COMPTE = m_compte->currentData().toString();
    s.NATURE = quint8(m_nature->currentData().toInt());
    s.COMMENTAIRE = m_commentaire->text().trimmed().left(40);
    const QDate date = QDate::fromString(m_date->text().trimmed(), QStringLiteral("dd/MM/yyyy"));
    const bool cp = s.COMPTE == QLatin1String(CompteSolde::Conges);
    const std::optional<qint32> v = LireValeurSolde(m_valeur->text(), enHeures(s.COMPTE));
    const std::optional<qint32> v2 =
        cp && !m_acquis->text().trimmed().isEmpty() ? LireValeurSolde(m_acquis->text(), false) : qint32(0);
    if (!m_employe)
        erreur = QStringLiteral("Choisissez d'abord un employé.");
    else if (!v || !v2)
        erreur = enHeures(s.COMPTE) ? QStringLiteral("La valeur s'écrit en heures: 12:30 ou 12,5.")
                                    : QStringLiteral("La valeur s'écrit en jours: 2,5.");
    else if (!date.isValid())
        erreur = QStringLiteral("La date s'écrit JJ/MM/AAAA.");
    if (erreur.isEmpty()) {
        s.VALEUR = *v;
        s.VALEUR2 = *v2;
        s.DATE = dayNumber(date);
        erreur = ErreurSolde(s);
    }
    if (!erreur.isEmpty()) {
        showBox(QStringLiteral("Soldes"), erreur, MessageIcon::Exclamation);
        return false;
    }
    if (m_tache.enCours())
        return false;
    lancer([employe = *m_employe, s](Database& db) -> Lecture { return EnregistrerSolde(db, employe, s); },
           QStringLiteral("Enregistrement du solde..."));
    return true;
}

QString FenetreSoldes::soldesAffiches() const
{
    return m_soldes->text();
}

QString FenetreSoldes::statut() const
{
    return m_statut->text();
}

void FenetreSoldes::dire(const QString& texte)
{
    m_statut->setText(texte);
}

void FenetreSoldes::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton13)
        close();
}

void enregistrerFenetreSoldes(Program programme)
{
    if (traitsOf(programme).hasSettings)
        enregistrerFabrique(nom::Soldes, [](Cadre& c) -> FenetreTravail* { return new FenetreSoldes(c); });
}

} // namespace kip

#include "moc_FenetreSoldes.cpp"
