// A temporary installation with a scripted presenter, for the record-store tests.
#pragma once

#include "QStringPrinter.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "data/ScriptedPresenter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class DataFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir(m_tmp.path()).mkpath(QStringLiteral("Kip/Data"));
        kip::setPaths(kip::Paths::forInstallation(m_tmp.path() + QStringLiteral("/Kip")));
        kip::setMessagePresenter(&presenter);
    }
    void TearDown() override { kip::setMessagePresenter(nullptr); }

    QString dataDir() const { return kip::paths().dataDir; }

    QTemporaryDir m_tmp;
    kip::ScriptedPresenter presenter;
};
