// What the tests of "Start Removing" share: a loaded window that saves into `out`, input files
// made in `in`, and every yield pumping the events, so that a test acts between any two
// files of a run.
#pragma once

#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>

#include <chrono>
#include <memory>

class RunWindowTest : public QObject {
protected:
    std::unique_ptr<WindowFixture> fixture;
    QString in, out;  // input and output folders
    Form1 *form = nullptr;

    ScriptedPlatform &platform() { return fixture->platform; }

    QString input(const QString &name, const QByteArray &content) {
        const QString path = in + u'/' + name;
        TestFiles::Write(path, content);
        return path;
    }
    void choose(int operation, const QString &condition = QStringLiteral("x")) {
        form->Combo1->setCurrentIndex(operation);
        form->Text1->setText(condition);
    }
    void start() { form->PushButton8->click(); }

    // For the test's init() and cleanup().
    void openWindow() {
        fixture = std::make_unique<WindowFixture>();
        in = fixture->root() + QStringLiteral("/in");
        out = fixture->root() + QStringLiteral("/out");
        QDir().mkpath(in);
        QDir().mkpath(out);
        form = &fixture->load();
        form->Text2->setText(out + u'/');
        EventPump::SetInterval(std::chrono::nanoseconds(0));  // every yield pumps
    }
    void closeWindow() {
        form = nullptr;
        fixture.reset();
    }
};
