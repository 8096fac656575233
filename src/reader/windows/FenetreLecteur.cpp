#include "FenetreLecteur.h"

#include "reader/Surveillance.h"
#include "shell/LecteurCartes.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace kip {

FenetreLecteur::FenetreLecteur(Surveillance& surveillance, QWidget* parent)
    : QWidget(parent), m_surveillance(surveillance), m_port(new QLabel(this)), m_etat(new QLabel(this)),
      m_liste(new QTableView(this))
{
    setWindowTitle(LecteurCartes::titreFenetre());
    auto* formulaire = new QFormLayout;
    formulaire->addRow(QStringLiteral("Lecteur:"), m_port);
    formulaire->addRow(QStringLiteral("État:"), m_etat);
    m_port->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_etat->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_liste->setModel(surveillance.dernieres());
    m_liste->setSelectionMode(QAbstractItemView::NoSelection);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->verticalHeader()->hide();
    m_liste->horizontalHeader()->setStretchLastSection(true);
    m_liste->setColumnWidth(0, 150);
    m_liste->setColumnWidth(1, 60);
    auto* colonne = new QVBoxLayout(this);
    colonne->addLayout(formulaire);
    colonne->addWidget(new QLabel(QStringLiteral("Dernières lectures"), this));
    colonne->addWidget(m_liste, 1);
    resize(520, 300);
    connect(&surveillance, &Surveillance::changement, this, &FenetreLecteur::actualiser);
    actualiser();
}

QString FenetreLecteur::textePort() const
{
    QString texte = m_surveillance.descriptionPort();
    texte[0] = texte[0].toUpper();
    texte += QStringLiteral(", ") + nomMarque(m_surveillance.reglages().marque);
    if (!m_surveillance.etatPort().isEmpty())
        texte += QStringLiteral(" — indisponible: ") + m_surveillance.etatPort();
    return texte;
}

QString FenetreLecteur::texteEtat() const
{
    QString texte = m_surveillance.enPause() ? QStringLiteral("En pause") : QStringLiteral("En marche");
    if (m_surveillance.enAttente() > 0)
        texte += QStringLiteral(", %1 lecture(s) en attente").arg(m_surveillance.enAttente());
    if (m_surveillance.portEnTest() > 0)
        texte += QStringLiteral(", test du port %1").arg(m_surveillance.portEnTest());
    return texte;
}

void FenetreLecteur::actualiser()
{
    m_port->setText(textePort());
    m_etat->setText(texteEtat());
    m_etat->setStyleSheet(m_surveillance.enPause() ? QStringLiteral("font-weight: bold; color: #b06000;")
                                                   : QStringLiteral("font-weight: bold; color: #1a7a1a;"));
}

} // namespace kip

#include "moc_FenetreLecteur.cpp"
