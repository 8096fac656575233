#include "JournalJournee.h"

#include "calendar/Dates.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kip {

ModeleJournal::ModeleJournal(std::vector<Journal> entrees, QObject* parent)
    : QAbstractTableModel(parent), m_entrees(std::move(entrees))
{
}

int ModeleJournal::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entrees.size());
}

int ModeleJournal::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NombreColonnes;
}

QVariant ModeleJournal::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entrees.size()))
        return {};
    const Journal& e = m_entrees[size_t(index.row())];
    if (role == Qt::ToolTipRole && (index.column() == Avant || index.column() == Apres))
        return index.column() == Avant ? e.AVANT : e.APRES;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Moment:
        return DateTexte(e.DATE) + QLatin1Char(' ') + momentJournal(e).time().toString(QStringLiteral("HH:mm:ss"));
    case Programme:
        return e.PROGRAMME;
    case Utilisateur:
        return e.UTILISATEUR;
    case Avant:
        return e.AVANT;
    case Apres:
        return e.APRES;
    case Cause:
        return e.CAUSE;
    default:
        return {};
    }
}

QVariant ModeleJournal::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Moment:
        return QStringLiteral("Le");
    case Programme:
        return QStringLiteral("Programme");
    case Utilisateur:
        return QStringLiteral("Utilisateur");
    case Avant:
        return QStringLiteral("Avant");
    case Apres:
        return QStringLiteral("Après");
    case Cause:
        return QStringLiteral("Cause");
    default:
        return {};
    }
}

JournalJournee::JournalJournee(const QString& titre, std::vector<Journal> entrees, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Journal des corrections"));
    const bool vide = entrees.empty();
    auto* colonne = new QVBoxLayout(this);
    auto* entete = new QLabel(titre, this);
    entete->setObjectName(QStringLiteral("journee"));
    QFont gras = entete->font();
    gras.setBold(true);
    entete->setFont(gras);
    colonne->addWidget(entete);
    m_modele = new ModeleJournal(std::move(entrees), this);
    m_liste = new QTableView(this);
    m_liste->setModel(m_modele);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->verticalHeader()->hide();
    m_liste->setAlternatingRowColors(true);
    m_liste->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_liste->horizontalHeader()->setStretchLastSection(true);
    colonne->addWidget(m_liste, 1);
    if (vide) {
        auto* rien = new QLabel(QStringLiteral("Aucune correction de cette journée n'a été enregistrée."), this);
        rien->setObjectName(QStringLiteral("vide"));
        colonne->addWidget(rien);
    }
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    boutons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    colonne->addWidget(boutons);
    resize(820, 300);
}

} // namespace kip

#include "moc_JournalJournee.cpp"
