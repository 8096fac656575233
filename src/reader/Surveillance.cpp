#include "Surveillance.h"

#include "Sons.h"
#include "calendar/Clock.h"
#include "data/TextFiles.h"
#include "shell/LecteurCartes.h"

namespace kip {

namespace {

QString carteTexte(int carte)
{
    return QStringLiteral("%1").arg(carte, 4, 10, QLatin1Char('0'));
}

// An input may be dropped from inside one of its own signals: it goes once the signal is over.
void abandonner(std::unique_ptr<Entree>& entree)
{
    if (entree)
        entree.release()->deleteLater();
}

} // namespace

Surveillance::Surveillance(const Paths& chemins, const OptionsSurveillance& options, Sons& sons, QObject* parent)
    : QObject(parent), m_chemins(chemins), m_options(options), m_sons(sons), m_attente(chemins.dataDir)
{
    m_nouvelEssai.setInterval(DelaiNouvelEssaiMs);
    connect(&m_nouvelEssai, &QTimer::timeout, this, &Surveillance::nouvelEssai);
}

Surveillance::~Surveillance() = default;

bool Surveillance::demarrer()
{
    if (const FileError e = m_attente.reparer(); !e.ok()) {
        Q_EMIT journal(QStringLiteral("Lectures en attente inaccessibles: ") + texteEchec(e));
        return false;
    }
    if (m_attente.nombre() > 0)
        Q_EMIT journal(QStringLiteral("%1 lecture(s) en attente trouvée(s)").arg(m_attente.nombre()));
    m_reglages = ReglagesLecteur::lire(m_chemins.kipGuard());
    ouvrirEntree();
    Q_EMIT journal(QStringLiteral("En marche, %1, lecteur %2").arg(descriptionPort(), nomMarque(m_reglages.marque)));
    verser();
    m_nouvelEssai.start();
    return true;
}

int Surveillance::message(int numero)
{
    if (numero == LecteurCartes::Pause) {
        pause();
    } else if (numero == LecteurCartes::Reprise) {
        reprise();
    } else if (numero >= LecteurCartes::TestPort1 && numero < LecteurCartes::TestPort1 + PortMax) {
        testerPort(numero - LecteurCartes::Reprise);
    } else {
        Q_EMIT journal(QStringLiteral("Message inconnu: %1").arg(numero));
        return 0;
    }
    return 1;
}

void Surveillance::pause()
{
    if (!m_pause)
        Q_EMIT journal(QStringLiteral("Pause"));
    m_pause = true;
    Q_EMIT changement();
}

void Surveillance::reprise()
{
    m_pause = false;
    m_portTest = 0;
    abandonner(m_entreeTest);
    // The settings form has just rewritten KipGuard.txt, or not: it is read again either way.
    const ReglagesLecteur nouveaux = ReglagesLecteur::lire(m_chemins.kipGuard());
    const bool autreEntree = nouveaux.port != m_reglages.port || nouveaux.marque != m_reglages.marque || !m_entree;
    m_reglages = nouveaux;
    Q_EMIT journal(QStringLiteral("Reprise"));
    if (autreEntree)
        ouvrirEntree();
    verser();
    Q_EMIT changement();
}

void Surveillance::testerPort(int port)
{
    if (port < PortMin || port > PortMax)
        return;
    m_portTest = port;
    abandonner(m_entreeTest);
    Q_EMIT journal(QStringLiteral("Test du port %1: la sonnerie de test retentira à la prochaine lecture").arg(port));
    // The port of KipGuard.txt is already read; another one is opened for the test alone.
    if (port != m_reglages.port || !m_entree) {
        const QString peripherique = peripheriquePort(port, m_options.peripheriques);
        std::unique_ptr<Entree> e = creer(port, peripherique);
        if (const FileError erreur = e->ouvrir(); erreur.ok()) {
            connect(e.get(), &Entree::lue, this, [this, port](const Lecture& l) { lecture(l, port); });
            m_entreeTest = std::move(e);
        } else {
            Q_EMIT journal(QStringLiteral("Port %1 (%2) indisponible: %3").arg(port).arg(peripherique, erreur.text));
        }
    }
    Q_EMIT changement();
}

QString Surveillance::descriptionPort() const
{
    if (m_options.simulation)
        return QStringLiteral("simulation sur l'entrée standard");
    if (m_reglages.port == 0)
        return QStringLiteral("aucun port choisi");
    return QStringLiteral("port %1 (%2)").arg(m_reglages.port).arg(m_peripherique);
}

std::unique_ptr<Entree> Surveillance::creer(int port, const QString& peripherique)
{
    if (m_fabrique)
        return m_fabrique(port, peripherique, m_reglages.marque);
    return creerEntree(peripherique, m_reglages.marque);
}

void Surveillance::ouvrirEntree()
{
    abandonner(m_entree);
    const int port = m_reglages.port;
    std::unique_ptr<Entree> e;
    if (m_options.simulation) {
        m_peripherique.clear();
        e = std::make_unique<EntreeSimulation>(m_reglages.marque);
        connect(static_cast<EntreeSimulation*>(e.get()), &EntreeSimulation::terminee, this, [this] {
            Q_EMIT journal(m_attente.nombre() > 0
                               ? QStringLiteral("Fin de l'entrée: %1 lecture(s) en attente pour le prochain démarrage")
                                     .arg(m_attente.nombre())
                               : QStringLiteral("Fin de l'entrée"));
            Q_EMIT entreeTerminee();
        });
    } else if (port != 0) {
        m_peripherique = peripheriquePort(port, m_options.peripheriques);
        e = creer(port, m_peripherique);
    }
    QString erreur;
    if (const FileError ouverture = e ? e->ouvrir() : FileError{}; !ouverture.ok()) {
        erreur = ouverture.text;
        e.reset();
        // Said once, not at every new try.
        if (erreur != m_erreurPort)
            Q_EMIT journal(QStringLiteral("Port %1 (%2) indisponible: %3").arg(port).arg(m_peripherique, erreur));
    }
    m_erreurPort = erreur;
    if (e) {
        connect(e.get(), &Entree::lue, this, [this, port](const Lecture& l) { lecture(l, port); });
        connect(e.get(), &Entree::perdue, this, [this](const QString& texte) {
            m_erreurPort = texte;
            Q_EMIT journal(QStringLiteral("Lecteur perdu (%1): %2").arg(m_peripherique, texte));
            abandonner(m_entree);
            Q_EMIT changement();
        });
        m_entree = std::move(e);
    }
    Q_EMIT changement();
}

void Surveillance::nouvelEssai()
{
    if (!m_entree && (m_options.simulation || m_reglages.port != 0))
        ouvrirEntree();
    verser();
}

void Surveillance::lecture(const Lecture& l, int port)
{
    if (m_portTest != 0 && port == m_portTest) {
        // A test read is the operator's, not a punch: it rings and is written nowhere.
        m_portTest = 0;
        abandonner(m_entreeTest);
        m_sons.sonnerieTest();
        noter(l.bonne ? l.carte : 0, QStringLiteral("Sonnerie de test"),
              QStringLiteral("Sonnerie de test: port %1").arg(port));
        Q_EMIT changement();
        return;
    }
    if (!l.bonne) {
        m_sons.jouer(cheminSon(m_reglages.sonMauvaiseCarte));
        noter(0, QStringLiteral("Mauvaise lecture (%1)").arg(l.motif), QStringLiteral("Mauvaise lecture: ") + l.motif);
        return;
    }
    enregistrer(l.carte);
}

void Surveillance::enregistrer(int carte)
{
    const QDateTime quand = Clock::now();
    const QDate d = quand.date();
    const QTime h = quand.time();
    const QByteArray ligne =
        formatOriginLine(carte, d.day(), d.month(), d.year(), h.hour(), h.minute(), m_options.terminal);
    const QString texte = QString::fromLatin1(ligne);
    // Straight into the raw file only when nothing waits before this swipe.
    if (!m_pause && m_attente.nombre() == 0) {
        const FileError e = ajouterDurablement(m_chemins.origin(0), ligne + "\r\n");
        if (e.ok()) {
            m_sons.jouer(cheminSon(m_reglages.sonCarteLue));
            noter(carte, QStringLiteral("Enregistrée"),
                  QStringLiteral("Carte %1 enregistrée: %2").arg(carteTexte(carte), texte));
            return;
        }
        Q_EMIT journal(
            QStringLiteral("Origin00.txt inaccessible (%1): la lecture est mise en attente").arg(texteEchec(e)));
    }
    if (const FileError e = m_attente.ajouter(ligne); !e.ok()) {
        m_sons.jouer(cheminSon(m_reglages.sonMauvaiseCarte));
        noter(carte, QStringLiteral("Non enregistrée"),
              QStringLiteral("Carte %1 non enregistrée: %2").arg(carteTexte(carte), texteEchec(e)));
        return;
    }
    m_sons.jouer(cheminSon(m_reglages.sonCarteLue));
    noter(carte, QStringLiteral("En attente"),
          QStringLiteral("Carte %1 mise en attente: %2").arg(carteTexte(carte), texte), true);
    Q_EMIT changement();
    verser();
}

void Surveillance::verser()
{
    if (m_pause || m_attente.nombre() == 0)
        return;
    const int nombre = m_attente.nombre();
    if (const FileError e = m_attente.verser(m_chemins.origin(0)); !e.ok()) {
        // Tried again every few seconds, said once.
        if (texteEchec(e) != m_erreurVersement)
            Q_EMIT journal(QStringLiteral("Lectures en attente non versées: ") + texteEchec(e));
        m_erreurVersement = texteEchec(e);
        return;
    }
    m_erreurVersement.clear();
    m_dernieres.attenteVersee(QStringLiteral("Enregistrée"));
    Q_EMIT journal(QStringLiteral("%1 lecture(s) en attente versée(s) dans Origin00.txt").arg(nombre));
    Q_EMIT changement();
}

void Surveillance::noter(int carte, const QString& resultat, const QString& texte, bool enAttente)
{
    m_dernieres.ajouter(Clock::now(), carte, resultat, enAttente);
    Q_EMIT journal(texte);
}

QString Surveillance::cheminSon(const QString& nom) const
{
    return nom.isEmpty() ? QString() : m_chemins.sonDir + QLatin1Char('/') + nom;
}

} // namespace kip

#include "moc_Surveillance.cpp"
