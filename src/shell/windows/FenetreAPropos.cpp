// The about window.
#include "FenetreAPropos.h"

#include "ImageActive.h"
#include "TableSommaire.h"
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
