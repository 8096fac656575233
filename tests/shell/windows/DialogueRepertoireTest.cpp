// The dialog of the user's installation directory: what it will use for what is typed, and its answers.
#include "shell/windows/DialogueRepertoire.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kip;

namespace {

constexpr int Attente = 5000; // upper bound for the dialog to appear

// Answers the next modal dialog from the event loop that its exec() runs: types a text, then accepts or
// rejects. Whatever it finds, the dialog is closed, so that a failure cannot hang the test; *vu says whether
// it was the directory dialog.
void repondre(const QString& texte, bool accepter, bool* vu)
{
    *vu = false;
    QTimer::singleShot(0, [texte, accepter, vu] {
        QWidget* modal = nullptr;
        if (!QTest::qWaitFor([&modal] { return (modal = QApplication::activeModalWidget()) != nullptr; }, Attente))
            return;
        auto* dialogue = qobject_cast<DialogueRepertoire*>(modal);
        *vu = dialogue != nullptr;
        if (!dialogue) {
            if (auto* autre = qobject_cast<QDialog*>(modal))
                autre->reject();
            return;
        }
        if (!texte.isNull())
            dialogue->findChild<QLineEdit*>(QStringLiteral("saisie"))->setText(texte);
        if (accepter)
            dialogue->findChild<QPushButton*>(QStringLiteral("ok"))->click();
        else
            dialogue->reject();
    });
}

} // namespace

class DialogueRepertoireTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The directory kept for a text is RepertoireUtilisateur's; here the dialog follows what is typed.
    void showsWhereTheDataWillBe()
    {
        DialogueRepertoire d(QStringLiteral("/home/marie"), QStringLiteral("/home/marie/Kip"), QStringLiteral("?"));
        auto* saisie = d.findChild<QLineEdit*>(QStringLiteral("saisie"));
        auto* retenu = d.findChild<QLabel*>(QStringLiteral("retenu"));
        auto* ok = d.findChild<QPushButton*>(QStringLiteral("ok"));
        QCOMPARE(saisie->text(), QStringLiteral("/home/marie/Kip"));
        QCOMPARE(retenu->text(), QStringLiteral("Les données seront dans: /home/marie/Kip"));
        QVERIFY(ok->isEnabled());

        QTest::keyClicks(saisie, QStringLiteral("/../Partage"));
        QCOMPARE(d.retenu(), QStringLiteral("/home/marie/Partage/Kip"));
        QVERIFY(retenu->text().contains(QStringLiteral("doit s'appeler Kip")));

        saisie->setText(QStringLiteral("   "));
        QVERIFY(!ok->isEnabled());
        QVERIFY(d.retenu().isEmpty());
    }

    void answersTheQuestionOfTheStartUp()
    {
        DemandeRepertoireFenetre demande(QStringLiteral("/home/marie"));
        bool vu = false;
        repondre(QStringLiteral("/srv/commun"), true, &vu);
        QCOMPARE(demande.demander(QStringLiteral("/home/marie/Kip"), QStringLiteral("?")),
                 std::optional<QString>(QStringLiteral("/srv/commun/Kip")));
        QVERIFY(vu);
        repondre(QString(), false, &vu);
        QCOMPARE(demande.demander(QStringLiteral("/home/marie/Kip"), QStringLiteral("?")), std::nullopt);
        QVERIFY(vu);
    }
};

QTEST_MAIN(DialogueRepertoireTest)
#include "DialogueRepertoireTest.moc"
