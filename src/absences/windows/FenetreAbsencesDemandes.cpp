// What the absence window asks and receives: the period through the day picker, the range of cards, the months
// and orders of the bar; the keys of the table (a code typed on the selection, the part, Delete, Ctrl+Z) and the
// detailed entry, each change saved at once.
#include "FenetreAbsences.h"
#include "ModeleTableAbsences.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Journal.h"
#include "data/Messages.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <algorithm>
#include <set>

namespace kip {

void FenetreAbsences::choisirDate(bool fin)
{
    const std::optional<qint32> choisie = askDate(fin ? m_voulu.fin : m_voulu.debut, this);
    if (!choisie)
        return;
    ChoixAbsences c = m_voulu;
    (fin ? c.fin : c.debut) = *choisie;
    // A first day after the last one moves the other end with it: the period is never empty.
    if (c.debut > c.fin)
        (fin ? c.debut : c.fin) = *choisie;
    if (c.fin - c.debut >= JoursMaxAbsences) {
        (fin ? c.debut : c.fin) = fin ? c.fin - JoursMaxAbsences + 1 : c.debut + JoursMaxAbsences - 1;
        dire(QStringLiteral("La période est limitée à %1 jours.").arg(JoursMaxAbsences));
    }
    charger(c);
}

void FenetreAbsences::choisirCartes()
{
    ChoixAbsences c = m_voulu;
    c.carteDebut = qint16(std::min(m_carteDebut->value(), m_carteFin->value()));
    c.carteFin = qint16(std::max(m_carteDebut->value(), m_carteFin->value()));
    if (c.carteDebut != m_voulu.carteDebut || c.carteFin != m_voulu.carteFin)
        charger(c);
}

void FenetreAbsences::moisSuivant(int sens)
{
    const QDate d = calendarDate(m_voulu.debut).addMonths(sens);
    ChoixAbsences c = MoisDe(dayNumber(d.year(), d.month(), 1), m_voulu.ordre);
    c.carteDebut = m_voulu.carteDebut;
    c.carteFin = m_voulu.carteFin;
    charger(c);
}

void FenetreAbsences::choisirOrdre(EmployeeKey ordre)
{
    ChoixAbsences c = m_voulu;
    c.ordre = ordre;
    charger(c);
}

PartieJour FenetreAbsences::partie() const
{
    return PartieJour(m_parties->checkedId());
}

void FenetreAbsences::choisirPartie(PartieJour p)
{
    if (QAbstractButton* b = m_parties->button(int(p)))
        b->setChecked(true);
}

std::vector<CaseAbsence> FenetreAbsences::selection() const
{
    std::set<std::pair<int, int>> vues;
    for (const QModelIndex& i : m_vue->selectionModel()->selectedIndexes())
        vues.insert({i.row(), i.column()});
    if (vues.empty() && m_vue->currentIndex().isValid())
        vues.insert({m_vue->currentIndex().row(), m_vue->currentIndex().column()});
    std::vector<CaseAbsence> cases;
    for (const auto& [l, c] : vues)
        cases.push_back({l, c});
    return cases;
}

bool FenetreAbsences::enregistrer(const std::vector<JourAbsences>& jours, const QString& cause)
{
    ModeleAbsences* m = m_table->modele();
    if (!m || jours.empty())
        return true;
    if (enAttente()) {
        // The cells shown are about to be replaced by those being read: nothing is set on them.
        dire(QStringLiteral("Lecture en cours: rien n'a été enregistré."));
        return false;
    }
    const FileError e = m->enregistrer(m_db, jours, cause);
    if (!e.ok()) {
        showBox(QStringLiteral("Absences"),
                QStringLiteral("Les absences n'ont pas été enregistrées:\n%1")
                    .arg(e.text.isEmpty() ? e.description() : e.text),
                MessageIcon::Exclamation);
        return false;
    }
    m_table->joursChanges(jours);
    return true;
}

void FenetreAbsences::poserCode(const QString& code)
{
    const ModeleAbsences* m = modele();
    const TypeAbsence* t = m ? m->type(code) : nullptr;
    if (!t)
        return;
    Absence a;
    a.CODE = t->CODE;
    a.PARTIE = quint8(partie());
    const std::vector<CaseAbsence> cases = selection();
    if (enregistrer(m->poser(cases, a), QString::fromUtf8(CauseJournal::SaisieAbsences)))
        dire(QStringLiteral("%1 %2 posé sur %3 jour(s).").arg(t->CODE, NomPartie(partie())).arg(cases.size()));
}

void FenetreAbsences::poserDetail()
{
    const ModeleAbsences* m = modele();
    if (!m)
        return;
    Absence a;
    a.CODE = m_codeDetail->currentData().toString();
    a.PARTIE = quint8(m_partieDetail->currentData().toInt());
    a.COMMENTAIRE = m_commentaireDetail->text().trimmed();
    if (a.partie() == PartieJour::Heures) {
        const HeureLue lu = LireHeureTexte(m_heuresDetail->text());
        const qint32 minutes = lu.heures * 60 + lu.decimales;
        if (!lu.valide || lu.negatif || lu.decimales >= 60 || minutes <= 0 || minutes > MinutesJour) {
            dire(QStringLiteral("Les heures s'écrivent h.mm, de 0.01 à 24.00."));
            m_heuresDetail->setFocus();
            return;
        }
        a.MINUTES = qint16(minutes);
    }
    if (const QString e = ErreurAbsence(a, m->types()); !e.isEmpty()) {
        dire(e);
        return;
    }
    const std::vector<CaseAbsence> cases = selection();
    if (enregistrer(m->poser(cases, a), QString::fromUtf8(CauseJournal::SaisieAbsences))) {
        dire(QStringLiteral("%1 posé sur %2 jour(s).").arg(TexteAbsence(a)).arg(cases.size()));
        m_vue->setFocus();
    }
}

void FenetreAbsences::effacerSelection()
{
    if (const ModeleAbsences* m = modele())
        if (enregistrer(m->effacer(selection(), partie()), QString::fromUtf8(CauseJournal::SaisieAbsences)))
            dire(QStringLiteral("Absences effacées (%1).").arg(NomPartie(partie())));
}

void FenetreAbsences::annuler()
{
    ModeleAbsences* m = m_table->modele();
    if (enAttente())
        return;
    if (!m || !m->peutAnnuler()) {
        dire(QStringLiteral("Rien à annuler."));
        return;
    }
    const FileError e = m->annuler(m_db);
    if (!e.ok()) {
        showBox(QStringLiteral("Absences"),
                QStringLiteral("L'annulation n'a pas été enregistrée:\n%1").arg(e.description()),
                MessageIcon::Exclamation);
        return;
    }
    // Every cell may have changed back: the whole table is repainted.
    Q_EMIT m_table->dataChanged(m_table->index(0, 0), m_table->index(m->lignes() - 1, m->colonnes() - 1));
    dire(QStringLiteral("Dernière modification annulée."));
}

bool FenetreAbsences::touche(QKeyEvent* event)
{
    const ModeleAbsences* m = modele();
    if (!m)
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->matches(QKeySequence::Undo)) {
        annuler();
        return true;
    }
    if (mods == Qt::ControlModifier && (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
        moisSuivant(event->key() == Qt::Key_PageDown ? 1 : -1);
        return true;
    }
    if (mods == Qt::AltModifier) {
        const std::pair<int, PartieJour> raccourcis[] = {
            {Qt::Key_J, PartieJour::Journee}, {Qt::Key_M, PartieJour::Matin}, {Qt::Key_A, PartieJour::ApresMidi}};
        for (const auto& [k, p] : raccourcis) {
            if (event->key() == k) {
                choisirPartie(p);
                return true;
            }
        }
        return false;
    }
    if (mods != Qt::NoModifier && mods != Qt::ShiftModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Delete:
        m_tampon.clear();
        effacerSelection();
        return true;
    case Qt::Key_F2:
        m_codeDetail->setFocus();
        return true;
    case Qt::Key_Backspace:
        m_tampon.chop(1);
        dire(m_tampon.isEmpty() ? QString() : QStringLiteral("Code: %1").arg(m_tampon));
        return true;
    case Qt::Key_Escape:
        if (m_tampon.isEmpty()) {
            close();
        } else {
            m_tampon.clear();
            dire(QString());
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m->type(m_tampon))
            poserCode(m_tampon);
        m_tampon.clear();
        return true;
    default:
        break;
    }
    const QString texte = event->text().toUpper();
    if (texte.size() != 1 || texte[0] < u'A' || texte[0] > u'Z')
        return false;
    m_tampon += texte;
    // The code is set as soon as it names one type and begins no other; Enter sets a code that begins another.
    int commencent = 0;
    for (const TypeAbsence& t : m->types())
        if (t.CODE.startsWith(m_tampon))
            ++commencent;
    if (commencent == 0) {
        dire(QStringLiteral("Aucun type d'absence ne commence par %1.").arg(m_tampon));
        m_tampon.clear();
        QApplication::beep();
    } else if (commencent == 1 && m->type(m_tampon)) {
        const QString code = m_tampon;
        m_tampon.clear();
        poserCode(code);
    } else {
        dire(QStringLiteral("Code: %1").arg(m_tampon));
    }
    return true;
}

bool FenetreAbsences::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return FenetreTravail::eventFilter(objet, event);
    auto* cle = static_cast<QKeyEvent*>(event);
    if (objet == m_vue)
        return touche(cle);
    // In the detailed entry, Escape goes back to the table.
    if (cle->key() == Qt::Key_Escape) {
        m_vue->setFocus();
        return true;
    }
    return FenetreTravail::eventFilter(objet, event);
}

void FenetreAbsences::boutonSommaire(int evenement)
{
    switch (evenement - evt::BoutonListe) {
    case 1:
        ouvrirFenetre(QString(nom::TypesAbsence), cadre());
        break;
    case 2:
        moisSuivant(-1);
        break;
    case 3:
        moisSuivant(1);
        break;
    case 4:
        choisirOrdre(EmployeeKey::Name);
        break;
    case 5:
        choisirOrdre(EmployeeKey::Card);
        break;
    case 6:
        choisirOrdre(EmployeeKey::Matricule);
        break;
    case 7:
        ouvrirFenetre(QString(nom::Soldes), cadre());
        break;
    default:
        if (evenement == evt::Bouton13)
            close();
        break;
    }
}

} // namespace kip
