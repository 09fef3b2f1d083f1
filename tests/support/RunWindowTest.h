// What the tests of "Start Removing" and its preview share: a loaded window that saves into
// `out`, input files made in `in`, and every yield pumping the events, so that a test acts
// between any two files of a run; a shared operation case set up in it.
#pragma once

#include "base/ErrorReport.h"
#include "filelist/FileListModel.h"
#include "files/FileError.h"
#include "support/OperationCases.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QPushButton>
#include <QRadioButton>

#include <chrono>
#include <memory>

class RunWindowTest : public QObject {
protected:
    std::unique_ptr<WindowFixture> fixture;
    QString in, out;  // input and output folders
    Form1 *form = nullptr;

    static inline const QString Done = QStringLiteral("Done.");

    ScriptedPlatform &platform() { return fixture->platform; }

    QString input(const QString &name, const QByteArray &content) {
        const QString path = in + u'/' + name;
        TestFiles::Write(path, content);
        return path;
    }
    // Files of `lines` lines each: "line 0", "line 1" and so on.
    QStringList bigInputs(const QStringList &names, int lines = 100) {
        QByteArray big;
        for (int i = 0; i < lines; ++i)
            big += "line " + QByteArray::number(i) + "\n";
        QStringList paths;
        for (const QString &name : names)
            paths.append(input(name, big));
        return paths;
    }
    void choose(int operation, const QString &condition = QStringLiteral("x")) {
        form->Combo1->setCurrentIndex(operation);
        form->Text1->setText(condition);
    }
    void setKeepLineEnds(bool keep) {
        std::unique_ptr<QMenu> menu(form->createListMenu());
        menu->findChild<QAction *>(QStringLiteral("KeepLineEnds"))->setChecked(keep);
    }
    // "Other files are in" the page of that name.
    void setOtherFilesAreIn(const QString &page) {
        std::unique_ptr<QMenu> menu(form->createListMenu());
        menu->findChild<QMenu *>(QStringLiteral("OtherFilesAreIn"))
            ->findChild<QAction *>(page)
            ->trigger();
    }
    // "Match case", "Whole words", "Regular expression" as the list menu sets them.
    void setMatchOptions(const Operations::MatchOptions &match) {
        std::unique_ptr<QMenu> menu(form->createListMenu());
        for (const auto &[on, key] : {std::pair{match.matchCase, &RunDriver::MatchCaseKey},
                                      {match.wholeWords, &RunDriver::WholeWordsKey},
                                      {match.regex, &RunDriver::RegularExpressionKey}}) {
            QAction *entry = menu->findChild<QAction *>(*key);
            if (entry->isChecked() != on)
                entry->trigger();
        }
    }
    // The case's file as the list's only row, its operation and operand chosen (the window
    // asks for a condition text also where the operation takes none), where its result goes,
    // its line ends, its code page, and the answer to the line number's prompt queued. (A
    // case that reads a binary file as text is not the window's.)
    OperationCases::Files prepare(const OperationCases::Case &c) {
        OperationCases::Files files(c, in, out);
        form->fileList->append(files.input);
        const Operations::Operand operand = Operations::InfoOf(c.operation).operand;
        choose(int(c.operation),
               operand == Operations::Operand::Text ? c.condition : QStringLiteral("x"));
        if (c.options.inPlace)
            form->Option2->setChecked(true);
        setKeepLineEnds(c.options.keepLineEnds);
        if (!c.options.legacyPage.isEmpty())
            setOtherFilesAreIn(c.options.legacyPage);
        setMatchOptions(c.options.match);
        if (operand == Operations::Operand::Number)
            platform().inputAnswers.enqueue(c.lineNumber);
        return files;
    }
    void start() { form->PushButton8->click(); }

    // The box that reports a file's failure at `step` of "Start Removing".
    static QString Report(const FileError &error, int step) {
        return UnexpectedErrorText(DescribeFileError(error), Location::form1("PushButton8_Click"),
                                   step);
    }

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
