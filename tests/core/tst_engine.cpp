// The run engine over the operations' shared cases (support/OperationCases.h): each case as one
// file through both drivers, dry and then for real; the line number an answer gives.
#include "engine/FixedContext.h"
#include "engine/ParallelRun.h"
#include "engine/SequentialRun.h"
#include "support/OperationCases.h"
#include "text/CodePages.h"
#include "text/Operations.h"

#include <QtTest>

using OperationCases::Case;

namespace {

// The one file of a case.
class OneFile : public Engine::FileSource {
public:
    explicit OneFile(Engine::FileTask task) : task_(std::move(task)) {}
    bool next(std::vector<Engine::FileTask> &tasks) override {
        if (done_)
            return false;
        done_ = true;
        tasks.push_back(task_);
        return true;
    }

private:
    Engine::FileTask task_;
    bool done_ = false;
};

class Reports : public Engine::RunSink {
public:
    void fileDone(const Engine::FileReport &report) override { reports.push_back(report); }
    std::vector<Engine::FileReport> reports;
};

// Runs the case's file as the window's run (sequential) or the command line's (parallel) does.
std::vector<Engine::FileReport> Run(const Case &c, const OperationCases::Files &files,
                                    bool parallel, bool dryRun) {
    Engine::FileTask task;
    task.input = files.input;
    task.output = files.output;
    task.intoFolder = !c.options.inPlace;
    task.keepLineEnds = c.options.keepLineEnds;
    task.binaryAsText = c.options.binaryAsText;
    if (!c.options.legacyPage.isEmpty())
        task.legacyPage = Operations::CodePageNamed(c.options.legacyPage);
    Engine::Plan plan;
    plan.lineNumber = Engine::LineNumberFromAnswer(c.lineNumber);
    plan.dryRun = dryRun;
    plan.jobs = 2;
    plan.chooserText = Operations::Captions[std::size_t(c.operation)];
    plan.conditionText = c.condition;
    plan.match = c.options.match;
    OneFile source(task);
    Reports sink;
    if (parallel) {
        Engine::StopToken stop;
        Engine::RunParallel(plan, source, sink, stop);
    } else {
        Engine::FixedLineContext ctx(plan.chooserText, plan.conditionText);
        Engine::RunSequential(plan, source, ctx, sink);
    }
    return sink.reports;
}

}  // namespace

class EngineTest : public QObject {
    Q_OBJECT

private slots:
    void eachCase_data() { OperationCases::AddRows(); }
    void eachCase() {
        QFETCH(Case, example);
        for (const bool parallel : {false, true}) {
            QTemporaryDir dir;
            const OperationCases::Files files(example, dir.filePath("in"), dir.filePath("out"));
            for (const bool dryRun : {true, false}) {
                const std::vector<Engine::FileReport> reports =
                    Run(example, files, parallel, dryRun);
                QCOMPARE(reports.size(), std::size_t(1));
                QCOMPARE(reports[0].outcome, example.outcome);
                if (!example.failed()) {
                    QCOMPARE(reports[0].linesRemoved(), example.linesRemoved);
                    QCOMPARE(reports[0].charactersRemoved, example.charactersRemoved);
                }
                if (dryRun)
                    files.verifyUntouched();
                else
                    files.verifyRun();
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

    // The line "Remove line number n" removes for the answer at its prompt (or on the command
    // line).
    void lineNumberFromAnswer_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<qlonglong>("line");
        QTest::newRow("one") << "1" << 1LL;
        QTest::newRow("blanks") << " 3 " << 3LL;
        QTest::newRow("half down") << "2.5" << 2LL;
        QTest::newRow("half up") << "3.5" << 4LL;
        QTest::newRow("negative") << "-3" << -3LL;
        QTest::newRow("beyond 16 bits") << "40000" << 40000LL;
        QTest::newRow("exponent") << "1e6" << 1000000LL;
        QTest::newRow("beyond 64 bits") << "1e30" << 0LL;
        QTest::newRow("no number") << "abc" << 0LL;
    }
    void lineNumberFromAnswer() {
        QFETCH(QString, answer);
        QFETCH(qlonglong, line);
        QCOMPARE(Engine::LineNumberFromAnswer(answer), line);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
