// The file question of the message presenter: nothing from the standard-error presenter, the scripted
// answers in order in tests.
#include "data/Messages.h"
#include "data/ScriptedPresenter.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(SaveFileQuestionTest, WithoutADisplayNoFileIsNamedAndTestsAnswerInOrder)
{
    const SaveFileQuestion q{QStringLiteral("Enregistrer en PDF"), QStringLiteral("/tmp"),
                             QStringLiteral("rapport.pdf"), QStringLiteral("Documents PDF (*.pdf)")};
    setMessagePresenter(nullptr);
    EXPECT_FALSE(askSaveFile(q).has_value());

    ScriptedPresenter scripted;
    setMessagePresenter(&scripted);
    scripted.answerFile(QStringLiteral("/tmp/a.pdf"));
    scripted.answerFile(std::nullopt);
    EXPECT_EQ(askSaveFile(q), std::optional<QString>(QStringLiteral("/tmp/a.pdf")));
    EXPECT_FALSE(askSaveFile(q).has_value());
    EXPECT_FALSE(askSaveFile(q).has_value()); // the script is spent: nothing
    ASSERT_EQ(scripted.fileQuestions().size(), 3);
    EXPECT_EQ(scripted.fileQuestions()[0].suggestedName, QStringLiteral("rapport.pdf"));
    EXPECT_TRUE(scripted.shown().isEmpty());
    setMessagePresenter(nullptr);
}
