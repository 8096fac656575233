// What every test of the reports core needs: a GUI application for the text measures (offscreen), and the
// texts of a PDF as pdftotext reads them.
#pragma once

#include "QStringPrinter.h"
#include "TexteDuPdf.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

// Reports measure their texts: a GUI application must exist (offscreen in the tests).
class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (!QGuiApplication::instance())
            m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_nom[16] = "test_reports";
    char* m_argv[2] = {m_nom, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

// Registered once for the whole test program.
inline const ::testing::Environment* const g_environnementGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);
