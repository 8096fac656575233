// A temporary installation with a scripted presenter, for the record-store tests, on the SQLite files or, in a
// fixture parameterised by the engine (serveuressai::SurLesDeuxMoteurs), on a database of the test's own on the
// server. A fixture's own SetUp returns at once when this one skipped the test (no server for the run).
#pragma once

#include "QStringPrinter.h"
#include "ServeurEssai.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "data/ScriptedPresenter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

class DataFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Kip/Data"));
        kip::setPaths(kip::Paths::forInstallation(m_tmp.path() + QStringLiteral("/Kip")));
        kip::setMessagePresenter(&presenter);
        KIP_CHOISIR_MOTEUR(m_moteur, moteur());
    }
    // Whether the fixture's own SetUp must stop: the test is skipped or its engine could not be had.
    bool arrete() const { return IsSkipped() || HasFatalFailure(); }
    virtual serveuressai::Moteur moteur() const { return serveuressai::Moteur::Sqlite; }
    bool surServeur() const { return moteur() == serveuressai::Moteur::Serveur; }
    void TearDown() override { kip::setMessagePresenter(nullptr); }

    QString dataDir() const { return kip::paths().dataDir; }

    // A record of the table that refuses the operation (UPDATE, DELETE) when the condition holds, as a full disk or
    // a damaged page would; the text the user then reads of the cause.
    QString refuser(const char* operation, const QString& table, const QString& condition = QStringLiteral("1 = 1"))
    {
        if (surServeur()) {
            const QString sql =
                QStringLiteral("CREATE OR REPLACE FUNCTION public.refuse() RETURNS trigger LANGUAGE plpgsql AS "
                               "$$BEGIN RAISE EXCEPTION 'injected failure'; END$$; "
                               "CREATE TRIGGER refuse BEFORE %1 ON %2.%2 FOR EACH ROW "
                               "WHEN (%3) EXECUTE FUNCTION public.refuse()")
                    .arg(QLatin1String(operation), table, condition);
            EXPECT_EQ(serveuressai::administrer(m_moteur.base()->nom(), sql), QString());
            return QStringLiteral("injected failure");
        }
        executerSqlite(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 WHEN %3 "
                                      "BEGIN SELECT RAISE(ABORT, 'injected failure'); END;")
                           .arg(QLatin1String(operation), table, condition)
                           .toUtf8()
                           .constData(),
                       table == QLatin1String("PERSONNEL") ? kip::FileId::Personnel : kip::FileId::PointVal);
        return QStringLiteral("Contrainte non respectée");
    }
    void plusDeRefus(const QString& table)
    {
        if (surServeur())
            EXPECT_EQ(serveuressai::administrer(m_moteur.base()->nom(),
                                                QStringLiteral("DROP TRIGGER refuse ON %1.%1").arg(table)),
                      QString());
        else
            executerSqlite("DROP TRIGGER refuse;",
                           table == QLatin1String("PERSONNEL") ? kip::FileId::Personnel : kip::FileId::PointVal);
    }

    // Runs SQL on a record file as any SQLite client would.
    void executerSqlite(const char* sql, kip::FileId file)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(kip::paths().file(file).toUtf8().constData(), &raw), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
        sqlite3_close(raw);
    }

    QTemporaryDir m_tmp;
    serveuressai::ChoixMoteur m_moteur;
    kip::ScriptedPresenter presenter;
};
