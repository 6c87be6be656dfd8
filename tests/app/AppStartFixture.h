#pragma once
// A program started as from the command line, with its own settings and scripted answers.

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include "AppTestSupport.h"
#include "app/DocumentHost.h"
#include "app/KorvaliserApp.h"
#include "app/frame/MainFrame.h"
#include "connection/UnitConnection.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "link/UnitLink.h"
#include "sim/SimulatedAmplifier.h"
#include "ui/remote/RS232PortDialog.h"
#include "ui/report/KorvaliserView.h"
#include "ui/tree/PearTree.h"

namespace kv::test {
class AppStartFixture : public ::testing::Test {
protected:
    // A saved bank whose first preset is called `name`.
    QString saveBank(const QString& fileName, const QString& name = QStringLiteral("Stage Left")) {
        CKorvaliserDoc doc;
        doc.setPresetName(0, name.toStdU16String());
        const QString path = temp.dir(fileName);
        EXPECT_TRUE(saveDocument(doc, QFile::encodeName(path).toStdString()).ok);
        return path;
    }

    void writeSettings(const std::function<void(AppSettings&)>& change) {
        auto store = temp.open();
        AppSettings s = readAppSettings(*store);
        change(s);
        writeAppSettings(*store, s);
    }

    std::unique_ptr<CKorvaliserApp> start(StartupOptions options = {}, bool splash = false) {
        options.splash = splash;
        auto app = std::make_unique<CKorvaliserApp>(temp.open(), script.prompts());
        started = app->initInstance(options);
        return app;
    }

    QString firstName(CKorvaliserApp& app) {
        return QString::fromStdU16String(app.document().presetNameText(app.document().slotAtPosition(0)));
    }

    TempSettings temp;
    ScriptedPrompts script;
    bool started = false;
};

}  // namespace kv::test
