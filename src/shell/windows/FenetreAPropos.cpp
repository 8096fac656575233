// The about window.
#include "FenetreAPropos.h"

#include "ImageActive.h"
#include "TableSommaire.h"
#include "data/Base.h"
#include "data/Postes.h"
#include "data/ServerConnection.h"
#include "resources/Pictures.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace kip {

QUrl adresseSite()
{
    return QUrl(QStringLiteral("https://kip.example.org"));
}
QString adresseEmail()
{
    return QStringLiteral("contact@kip.example.org");
}

LigneLien::LigneLien(const QString& texte, const QUrl& adresse, QWidget* parent)
    : QLabel(texte, parent), m_adresse(adresse)
{
    setCursor(Qt::PointingHandCursor);
    setCouleur(Qt::black);
}

QColor LigneLien::couleur() const
{
    return palette().color(QPalette::WindowText);
}

void LigneLien::setCouleur(const QColor& couleur)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, couleur);
    setPalette(p);
}

void LigneLien::enterEvent(QEnterEvent* event)
{
    setCouleur(Qt::blue);
    QLabel::enterEvent(event);
}

void LigneLien::leaveEvent(QEvent* event)
{
    setCouleur(Qt::black);
    QLabel::leaveEvent(event);
}

// Taking the press keeps the release on this line, where it opens the address.
void LigneLien::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void LigneLien::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        QDesktopServices::openUrl(m_adresse);
}

namespace {

// On the server, the programs of every station connected now (the core's list); nothing on the SQLite files.
QString textePostes()
{
    if (storeServer().isEmpty())
        return {};
    const Result<std::vector<PosteConnecte>> postes = postesConnectes();
    if (!postes)
        return QStringLiteral("Postes connectés: liste indisponible (%1)").arg(postes.error().description());
    QStringList lignes{QStringLiteral("Postes connectés au serveur %1:").arg(serverName(storeServer()))};
    for (const PosteConnecte& p : *postes)
        lignes << QStringLiteral("  %1 sur %2 (%3)%4%5")
                      .arg(p.programme, p.poste, p.utilisateur,
                           p.depuis.isValid() ? QStringLiteral(", depuis le %1")
                                                    .arg(p.depuis.toString(QStringLiteral("dd/MM/yyyy HH:mm")))
                                              : QString(),
                           p.ceProgramme ? QStringLiteral(" - ce programme") : QString());
    return lignes.join(QLatin1Char('\n'));
}

} // namespace

FenetreAPropos::FenetreAPropos(Program programme, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("À propos de Kip"));
    setModal(true);

    auto* icone = new QLabel(this);
    icone->setPixmap(QPixmap(picturePath(imageIcone())));
    auto* nom = new QLabel(programName(programme), this);
    QFont grand = nom->font();
    grand.setPointSizeF(grand.pointSizeF() * 1.8);
    grand.setBold(true);
    nom->setFont(grand);

    auto* version = new QLabel(QStringLiteral("Version: ") + QStringLiteral(KIP_VERSION_TEXT), this);
    auto* runtime = new QLabel(QStringLiteral("Runtime DLL: Qt ") + QString::fromLatin1(qVersion()), this);
    m_site = new LigneLien(QStringLiteral("Site: ") + adresseSite().toString(), adresseSite(), this);
    m_site->setObjectName(QStringLiteral("lienSite"));
    m_email = new LigneLien(QStringLiteral("Email: ") + adresseEmail(),
                            QUrl(QStringLiteral("mailto:") + adresseEmail()), this);
    m_email->setObjectName(QStringLiteral("lienEmail"));

    auto* quitter = new ImageActive(this);
    quitter->setObjectName(QStringLiteral("quitterAPropos"));
    quitter->charger(QStringLiteral("Quitter"));
    quitter->setFixedSize(quitter->pixmap().size());
    connect(quitter, &ImageActive::appuye, this, [this] { QTimer::singleShot(300, this, &QDialog::accept); });

    auto* entete = new QHBoxLayout;
    entete->addWidget(icone);
    entete->addSpacing(12);
    entete->addWidget(nom, 1);
    auto* lignes = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(version), static_cast<QWidget*>(runtime)})
        lignes->addWidget(w);
    lignes->addSpacing(8);
    lignes->addWidget(m_site);
    lignes->addWidget(m_email);
    if (const QString postes = textePostes(); !postes.isEmpty()) {
        auto* liste = new QLabel(postes, this);
        liste->setObjectName(QStringLiteral("postesConnectes"));
        lignes->addSpacing(8);
        lignes->addWidget(liste);
    }
    auto* disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(20, 18, 20, 16);
    disposition->addLayout(entete);
    disposition->addSpacing(10);
    disposition->addLayout(lignes);
    disposition->addSpacing(14);
    disposition->addWidget(quitter, 0, Qt::AlignRight);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

} // namespace kip

#include "moc_FenetreAPropos.cpp"
