#include "AbsencesGrille.h"

#include "absences/FichierAbsences.h"
#include "absences/HorairesPrevus.h"
#include "calendar/JoursFeries.h"
#include "data/Journal.h"
#include "data/Messages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace kip {

AbsencesGrille::AbsencesGrille(Database& db, QWidget* parent)
    : QObject(parent), m_usageTypes(FileId::TypeAbsence), m_usageAbsences(FileId::Absence),
      m_usageJournal(FileId::Journal), m_db(db)
{
    for (int j = 0; j < 7; ++j) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QStringLiteral("absence_%1").arg(j + 1));
        e->setMaxLength(40);
        e->setPlaceholderText(QStringLiteral("absence"));
        e->setFocusPolicy(Qt::ClickFocus); // reached by F4: the grid's Tab order stays the punches'
        e->installEventFilter(this);
        connect(e, &QLineEdit::editingFinished, this, [this, j] { (void)enregistrer(j); });
        m_champs[size_t(j)] = e;
    }
}

bool AbsencesGrille::charger(const Personnel& employe, qint32 lundi)
{
    m_employe = employe;
    Result<std::vector<TypeAbsence>> types = LireTypes(m_db);
    Result<std::vector<Absence>> absences = LireAbsencesCarte(m_db, employe.CARTE, lundi, lundi + 6);
    const Result<ReglagesAbsences> reglages = LireReglages(m_db);
    for (int j = 0; j < 7; ++j) {
        // A public holiday shows as JF without being entered, as in the absence window.
        const JourFerie* f = reglages ? JourFerieDu(lundi + j, reglages->ALSACE_MOSELLE != 0) : nullptr;
        m_champs[size_t(j)]->setPlaceholderText(f ? QStringLiteral("JF - %1").arg(f->nom) : QStringLiteral("absence"));
    }
    for (int j = 0; j < 7; ++j)
        m_jours[size_t(j)] = JourAbsences{employe.CARTE, lundi + j, {}};
    if (!types || !absences) {
        for (QLineEdit* e : m_champs) {
            e->clear();
            e->setEnabled(false);
        }
        return false;
    }
    m_types = std::move(*types);
    for (Absence& a : *absences)
        if (a.DATE >= lundi && a.DATE <= lundi + 6)
            m_jours[size_t(a.DATE - lundi)].absences.push_back(std::move(a));
    for (int j = 0; j < 7; ++j) {
        m_champs[size_t(j)]->setEnabled(true);
        afficher(j);
    }
    return true;
}

void AbsencesGrille::afficher(int jour)
{
    QLineEdit* e = m_champs[size_t(jour)];
    e->setText(TexteCourtJour(m_jours[size_t(jour)]));
    e->setToolTip(TexteJourAbsences(m_jours[size_t(jour)]));
    e->setStyleSheet(QString());
}

bool AbsencesGrille::enregistrer(int jour)
{
    QLineEdit* e = m_champs[size_t(jour)];
    const JourAbsences& ancien = m_jours[size_t(jour)];
    if (e->text().simplified() == TexteCourtJour(ancien))
        return true;
    QString erreur;
    const std::optional<JourAbsences> nouveau = LireTexteCourtJour(e->text(), ancien, m_types, &erreur);
    if (!nouveau) {
        QApplication::beep();
        e->setToolTip(erreur);
        e->setStyleSheet(QStringLiteral("QLineEdit { background: #fde2e2; }"));
        return false;
    }
    IdentiteCartes identites;
    identites.insert(m_employe.CARTE, m_employe);
    const Result<std::vector<JourAbsences>> r =
        EnregistrerJours(m_db, {*nouveau}, identites, QString::fromUtf8(CauseJournal::GrilleAbsences));
    if (!r) {
        showBox(QStringLiteral("Absences"),
                QStringLiteral("L'absence n'a pas été enregistrée:\n%1")
                    .arg(r.error().text.isEmpty() ? r.error().description() : r.error().text),
                MessageIcon::Exclamation);
        afficher(jour);
        return false;
    }
    m_jours[size_t(jour)] = *nouveau;
    afficher(jour);
    return true;
}

bool AbsencesGrille::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int cle = static_cast<QKeyEvent*>(event)->key();
        for (int j = 0; j < 7; ++j) {
            if (objet != m_champs[size_t(j)])
                continue;
            if (cle == Qt::Key_Escape) {
                afficher(j); // the change is given up
                Q_EMIT retour(j);
                return true;
            }
            if (cle == Qt::Key_Return || cle == Qt::Key_Enter) {
                if (enregistrer(j))
                    Q_EMIT retour(j);
                return true;
            }
        }
    }
    return QObject::eventFilter(objet, event);
}

} // namespace kip

#include "moc_AbsencesGrille.cpp"
