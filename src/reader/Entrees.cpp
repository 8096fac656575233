#include "Entrees.h"

#include "Reglages.h"
#include "data/ErrorTexts.h"

#include <QFile>
#include <QSerialPort>
#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace kip {

namespace {

// A device that cannot be read: the error names it, and its text is the cause alone, as the journal shows it.
FileError indisponible(const QString& peripherique, const QString& cause, int code)
{
    FileError e = makeError(DriverError, code, cause);
    e.text = cause;
    e.path = peripherique;
    return e;
}

// Qt's texts of the serial port are English: the reader's window says it in French.
QString texteErreurPort(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Port série introuvable");
    case QSerialPort::PermissionError:
        return QStringLiteral("Port série refusé: déjà ouvert par un autre programme, ou accès non permis");
    case QSerialPort::OpenError:
        return QStringLiteral("Port série déjà ouvert");
    case QSerialPort::ReadError:
        return QStringLiteral("Erreur de lecture sur le port série");
    case QSerialPort::ResourceError:
        return QStringLiteral("Port série débranché ou devenu inaccessible");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("Réglage non pris en charge par le port série");
    case QSerialPort::TimeoutError:
        return QStringLiteral("Délai dépassé sur le port série");
    default:
        return QStringLiteral("Erreur du port série (%1)").arg(int(e));
    }
}

} // namespace

EntreeSerie::EntreeSerie(const QString& peripherique, Marque marque, QObject* parent)
    : Entree(parent), m_peripherique(peripherique), m_decodeur(marque), m_port(new QSerialPort(this))
{
    m_delai.setSingleShot(true);
    m_delai.setInterval(DelaiFinLectureMs);
    connect(&m_delai, &QTimer::timeout, this, [this] {
        if (const std::optional<Lecture> l = m_decodeur.abandonner())
            Q_EMIT lue(*l);
    });
    connect(m_port, &QSerialPort::readyRead, this, &EntreeSerie::recevoir);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::ResourceError || !m_port->isOpen())
            return;
        const QString texte = texteErreurPort(e);
        m_port->close();
        Q_EMIT perdue(texte);
    });
}

EntreeSerie::~EntreeSerie() = default;

FileError EntreeSerie::ouvrir()
{
    m_port->setPortName(m_peripherique);
    if (!m_port->open(QIODevice::ReadOnly))
        return indisponible(m_peripherique, texteErreurPort(m_port->error()), int(m_port->error()));
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    return {};
}

void EntreeSerie::recevoir()
{
    const QList<Lecture> lectures = m_decodeur.recevoir(m_port->readAll());
    if (m_decodeur.enCours())
        m_delai.start();
    else
        m_delai.stop();
    for (const Lecture& l : lectures)
        Q_EMIT lue(l);
}

EntreeClavier::EntreeClavier(const QString& peripherique, Marque marque, QObject* parent)
    : Entree(parent), m_peripherique(peripherique), m_marque(marque)
{
    m_delai.setSingleShot(true);
    m_delai.setInterval(DelaiFinLectureMs);
    connect(&m_delai, &QTimer::timeout, this, [this] { ligne(m_saisie.abandonner()); });
}

EntreeClavier::~EntreeClavier()
{
    fermer();
}

FileError EntreeClavier::ouvrir()
{
    m_fd = ::open(QFile::encodeName(m_peripherique).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return indisponible(m_peripherique, systemErrorText(errno), errno);
    // Taken for this program alone: what the reader types must not land in the window that has the focus.
    if (::ioctl(m_fd, EVIOCGRAB, 1) != 0) {
        const int code = errno;
        ::close(m_fd);
        m_fd = -1;
        return indisponible(m_peripherique,
                            QStringLiteral("prise exclusive impossible (%1)").arg(systemErrorText(code)), code);
    }
    m_notificateur = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notificateur, &QSocketNotifier::activated, this, &EntreeClavier::recevoir);
    return {};
}

void EntreeClavier::fermer()
{
    delete m_notificateur;
    m_notificateur = nullptr;
    if (m_fd >= 0) {
        ::ioctl(m_fd, EVIOCGRAB, 0);
        ::close(m_fd);
        m_fd = -1;
    }
}

void EntreeClavier::recevoir()
{
    input_event evenements[64];
    for (;;) {
        const ssize_t n = ::read(m_fd, evenements, sizeof evenements);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        if (n <= 0) {
            const QString texte = n < 0 ? systemErrorText(errno) : QStringLiteral("fin");
            fermer();
            Q_EMIT perdue(texte);
            return;
        }
        for (size_t i = 0; i < size_t(n) / sizeof(input_event); ++i) {
            if (evenements[i].type != EV_KEY)
                continue;
            if (const std::optional<QByteArray> texte = m_saisie.touche(evenements[i].code, evenements[i].value))
                ligne(*texte);
        }
        if (m_saisie.enCours())
            m_delai.start();
        else
            m_delai.stop();
    }
}

void EntreeClavier::ligne(const QByteArray& texte)
{
    m_delai.stop();
    if (!texte.isEmpty())
        Q_EMIT lue(lireLigneClavier(m_marque, texte));
}

EntreeSimulation::EntreeSimulation(Marque marque, int fd, QObject* parent) : Entree(parent), m_marque(marque), m_fd(fd)
{
}

FileError EntreeSimulation::ouvrir()
{
    m_notificateur = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notificateur, &QSocketNotifier::activated, this, &EntreeSimulation::recevoir);
    return {};
}

Lecture EntreeSimulation::lireLigne(Marque marque, QByteArrayView ligne)
{
    const QByteArray texte = ligne.toByteArray().trimmed();
    bool nombre = !texte.isEmpty() && texte.size() <= ChiffresNumeroMax;
    for (char c : texte)
        nombre = nombre && c >= '0' && c <= '9';
    if (!nombre)
        return lireLigneClavier(marque, texte);
    const int carte = numeroCarte(texte);
    return carte > 0 ? Lecture::carteLue(carte) : Lecture::mauvaise(QStringLiteral("numéro hors de 1 à 9999"));
}

void EntreeSimulation::recevoir()
{
    char morceau[512];
    const ssize_t n = ::read(m_fd, morceau, sizeof morceau);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        // The end of the input (or a read error, which ends it as well): a last line without its end counts.
        m_notificateur->setEnabled(false);
        ligne(std::exchange(m_tampon, {}));
        Q_EMIT terminee();
        return;
    }
    m_tampon.append(morceau, n);
    qsizetype fin;
    while ((fin = m_tampon.indexOf('\n')) >= 0) {
        const QByteArray texte = m_tampon.left(fin);
        m_tampon.remove(0, fin + 1);
        ligne(texte);
    }
}

void EntreeSimulation::ligne(const QByteArray& texte)
{
    if (!texte.trimmed().isEmpty())
        Q_EMIT lue(lireLigne(m_marque, texte));
}

std::unique_ptr<Entree> creerEntree(const QString& peripherique, Marque marque)
{
    if (estPeripheriqueSaisie(peripherique))
        return std::make_unique<EntreeClavier>(peripherique, marque);
    return std::make_unique<EntreeSerie>(peripherique, marque);
}

} // namespace kip

#include "moc_Entrees.cpp"
