#include "TypesAbsence.h"

#include "absences/FichierAbsences.h"
#include "absences/HorairesPrevus.h"
#include "calendar/HeureTexte.h"
#include "data/Messages.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kip {

namespace {

enum Colonne
{
    ColCode,
    ColLibelle,
    ColCouleur,
    ColCredite,
    ColSolde,
    NombreColonnes
};

const char* const NomsJours[] = {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"};

QString texteCouleur(qint32 c)
{
    return QStringLiteral("#%1").arg(c, 6, 16, QLatin1Char('0'));
}

void peindre(QTableWidgetItem* item)
{
    const QColor c(item->text().trimmed());
    item->setBackground(c.isValid() ? c : QColor(Qt::white));
    item->setForeground(c.isValid() && c.lightness() <= 150 ? QColor(Qt::white) : QColor(Qt::black));
}

} // namespace

TypesAbsence::TypesAbsence(Cadre& cadre)
    : FenetreTravail(cadre, nom::TypesAbsence), m_usageTypes(FileId::TypeAbsence), m_usageAbsences(FileId::Absence),
      m_usageReglages(FileId::ReglagesAbsences), m_usageJournal(FileId::Journal), m_db(paths().dataDir)
{
    construire();
    remplir();
}

FenetreTravail* TypesAbsence::ouvrir(Cadre& cadre)
{
    auto* f = new TypesAbsence(cadre);
    if (f->m_ouverte)
        return f;
    f->close();
    return nullptr;
}

void TypesAbsence::construire()
{
    auto* colonne = new QVBoxLayout(this);
    colonne->setContentsMargins(8, 8, 8, 8);
    auto* titre = new QLabel(QStringLiteral("Types d'absence"), this);
    QFont grand = titre->font();
    grand.setBold(true);
    grand.setPointSizeF(grand.pointSizeF() * 1.3);
    titre->setFont(grand);
    colonne->addWidget(titre);

    m_table = new QTableWidget(0, NombreColonnes, this);
    m_table->setObjectName(QStringLiteral("types"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Libellé"), QStringLiteral("Couleur"),
                                        QStringLiteral("Compte comme travaillé"), QStringLiteral("Solde")});
    m_table->horizontalHeader()->setSectionResizeMode(ColLibelle, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(ColCredite, QHeaderView::ResizeToContents);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->installEventFilter(this);
    connect(m_table, &QTableWidget::itemChanged, this, [](QTableWidgetItem* item) {
        if (item->column() == ColCouleur)
            peindre(item);
    });
    colonne->addWidget(m_table, 1);

    auto* boutons = new QHBoxLayout;
    auto* ajouter = new QPushButton(QStringLiteral("A&jouter un type"), this);
    auto* supprimer = new QPushButton(QStringLiteral("&Supprimer le type"), this);
    connect(ajouter, &QPushButton::clicked, this, &TypesAbsence::ajouterType);
    connect(supprimer, &QPushButton::clicked, this, &TypesAbsence::supprimerType);
    boutons->addWidget(ajouter);
    boutons->addWidget(supprimer);
    boutons->addStretch(1);
    colonne->addLayout(boutons);

    auto* groupe = new QGroupBox(QStringLiteral("Réglages des absences"), this);
    auto* form = new QFormLayout(groupe);
    m_alsace = new QCheckBox(QStringLiteral("Jours fériés d'&Alsace-Moselle (Vendredi saint, 26 décembre)"), groupe);
    m_alsace->setObjectName(QStringLiteral("alsace"));
    form->addRow(m_alsace);
    m_marge = new QSpinBox(groupe);
    m_marge->setObjectName(QStringLiteral("marge"));
    m_marge->setRange(0, 240);
    m_marge->setSuffix(QStringLiteral(" min"));
    form->addRow(QStringLiteral("Attendu après l'heure habituelle + &marge"), m_marge);
    auto* jours = new QHBoxLayout;
    for (int i = 0; i < JoursParSemaine; ++i) {
        m_horaire[size_t(i)] = new QLineEdit(groupe);
        m_horaire[size_t(i)]->setObjectName(QStringLiteral("horaire%1").arg(i));
        m_horaire[size_t(i)]->setMaximumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("00.000")));
        jours->addWidget(new QLabel(QLatin1String(NomsJours[i]), groupe));
        jours->addWidget(m_horaire[size_t(i)]);
    }
    jours->addStretch(1);
    form->addRow(QStringLiteral("Heures prévues d'un nouvel employé"), jours);
    m_decompte = new QComboBox(groupe);
    m_decompte->setObjectName(QStringLiteral("decompte"));
    m_decompte->addItem(QStringLiteral("jours ouvrables (lundi à samedi)"), int(DecompteConges::Ouvrables));
    m_decompte->addItem(QStringLiteral("jours ouvrés (lundi à vendredi)"), int(DecompteConges::Ouvres));
    form->addRow(QStringLiteral("Congés payés comptés en"), m_decompte);
    colonne->addWidget(groupe);

    for (const QKeySequence& k : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(k, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut), &QShortcut::activated, this,
                [this] { (void)accepter(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
            &QShortcut::activated, this, &QWidget::close);
}

void TypesAbsence::ajouterLigne(const kip::TypeAbsence& t)
{
    const QSignalBlocker bloque(m_table);
    const int r = m_table->rowCount();
    m_table->insertRow(r);
    m_table->setItem(r, ColCode, new QTableWidgetItem(t.CODE));
    m_table->setItem(r, ColLibelle, new QTableWidgetItem(t.LIBELLE));
    auto* couleur = new QTableWidgetItem(texteCouleur(t.COULEUR));
    peindre(couleur);
    m_table->setItem(r, ColCouleur, couleur);
    auto* credite = new QTableWidgetItem;
    credite->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    credite->setCheckState(t.CREDITE ? Qt::Checked : Qt::Unchecked);
    m_table->setItem(r, ColCredite, credite);
    auto* solde = new QComboBox(m_table);
    for (const QString& s : SoldesPossibles())
        solde->addItem(s.isEmpty() ? QStringLiteral("(aucun)") : s, s);
    solde->setCurrentIndex(std::max(0, solde->findData(t.SOLDE)));
    m_table->setCellWidget(r, ColSolde, solde);
}

void TypesAbsence::remplir()
{
    Result<std::vector<kip::TypeAbsence>> types = LireTypes(m_db);
    Result<ReglagesAbsences> reglages = LireReglages(m_db);
    if (!types || !reglages) {
        reportFileError(35, types ? reglages.error() : types.error(), QLatin1String(kip::TypeAbsence::Label));
        return;
    }
    for (const kip::TypeAbsence& t : *types)
        ajouterLigne(t);
    m_alsace->setChecked(reglages->ALSACE_MOSELLE != 0);
    m_marge->setValue(reglages->MARGE_ATTENDU);
    for (int i = 0; i < JoursParSemaine; ++i)
        m_horaire[size_t(i)]->setText(HeureTexte(reglages->HORAIRE_DEFAUT[size_t(i)]).trimmed());
    m_decompte->setCurrentIndex(std::max(0, m_decompte->findData(int(reglages->DECOMPTE_CONGES))));
    m_ouverte = true;
}

void TypesAbsence::ajouterType()
{
    kip::TypeAbsence t;
    t.COULEUR = 0x7f7f7f;
    ajouterLigne(t);
    m_table->setCurrentCell(m_table->rowCount() - 1, ColCode);
    m_table->setFocus();
    m_table->editItem(m_table->currentItem());
}

void TypesAbsence::supprimerType()
{
    // A type that absences use is refused by the save, which names one of them.
    if (const int r = m_table->currentRow(); r >= 0)
        m_table->removeRow(r);
}

std::vector<kip::TypeAbsence> TypesAbsence::typesSaisis(QString* erreur) const
{
    std::vector<kip::TypeAbsence> types;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        kip::TypeAbsence t;
        t.CODE = m_table->item(r, ColCode)->text().trimmed().toUpper();
        t.LIBELLE = m_table->item(r, ColLibelle)->text().trimmed();
        const QColor c(m_table->item(r, ColCouleur)->text().trimmed());
        if (!c.isValid() && erreur->isEmpty())
            *erreur = QStringLiteral("La couleur du type %1 s'écrit #RRVVBB.").arg(t.CODE);
        t.COULEUR = c.isValid() ? qint32(c.rgb() & 0xffffff) : 0;
        t.CREDITE = m_table->item(r, ColCredite)->checkState() == Qt::Checked ? 1 : 0;
        t.SOLDE = static_cast<QComboBox*>(m_table->cellWidget(r, ColSolde))->currentData().toString();
        types.push_back(t);
    }
    if (erreur->isEmpty())
        *erreur = ErreurTypes(types);
    return types;
}

ReglagesAbsences TypesAbsence::reglagesSaisis(QString* erreur) const
{
    ReglagesAbsences r = ReglagesParDefaut();
    r.ALSACE_MOSELLE = m_alsace->isChecked() ? 1 : 0;
    r.MARGE_ATTENDU = qint16(m_marge->value());
    r.DECOMPTE_CONGES = quint8(m_decompte->currentData().toInt());
    for (int i = 0; i < JoursParSemaine; ++i) {
        const HeureLue lu = LireHeureTexte(m_horaire[size_t(i)]->text());
        if ((!lu.valide || lu.negatif || lu.decimales >= 60) && erreur->isEmpty())
            *erreur = QStringLiteral("Les heures prévues du %1 s'écrivent h.mm.").arg(QLatin1String(NomsJours[i]));
        r.HORAIRE_DEFAUT[size_t(i)] = qint16(std::min(lu.heures * 60 + lu.decimales, 9999));
    }
    if (erreur->isEmpty())
        *erreur = ErreurMotif(r.HORAIRE_DEFAUT);
    return r;
}

bool TypesAbsence::accepter()
{
    QString erreur;
    const std::vector<kip::TypeAbsence> types = typesSaisis(&erreur);
    const ReglagesAbsences reglages = reglagesSaisis(&erreur);
    FileError e;
    if (erreur.isEmpty())
        e = EnregistrerTypes(m_db, types);
    if (erreur.isEmpty() && e.ok())
        e = EnregistrerReglages(m_db, reglages);
    if (erreur.isEmpty() && !e.ok())
        erreur = e.text.isEmpty() ? e.description() : e.text;
    if (!erreur.isEmpty()) {
        showBox(QStringLiteral("Types d'absence"), erreur, MessageIcon::Exclamation);
        return false;
    }
    close();
    return true;
}

bool TypesAbsence::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == m_table && event->type() == QEvent::KeyPress) {
        auto* cle = static_cast<QKeyEvent*>(event);
        if (cle->key() == Qt::Key_Insert) {
            ajouterType();
            return true;
        }
        if (cle->key() == Qt::Key_Delete) { // the editor of a cell has the keys while it is open
            supprimerType();
            return true;
        }
    }
    return FenetreTravail::eventFilter(objet, event);
}

void TypesAbsence::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton1Formulaire)
        (void)accepter();
    else if (evenement == evt::Bouton13)
        close();
}

} // namespace kip

#include "moc_TypesAbsence.cpp"
