// Carrying a row up and down the file list: the exchanges, the carried row, the scrolling near
// the top and the bottom of the screen, and the pointer that goes with it.

#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

// A height on the screen between the two scrolling zones.
constexpr int Middle = 330;

class ListDriver {
public:
    explicit ListDriver(Form1 &form) : form_(form), view_(*form.ListView1) {}

    QPoint centreOf(int row) const { return view_.visualRect(form_.fileList->index(row)).center(); }
    // A point of the list below its last row.
    QPoint emptyPart() const {
        const QRect last = view_.visualRect(form_.fileList->index(form_.fileList->count() - 1));
        return QPoint(last.center().x(), last.bottom() + 10);
    }

    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        held_ |= button;
        send(QEvent::MouseButtonPress, at, Middle, button);
    }
    void pressRow(int row) { press(centreOf(row)); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        held_ &= ~Qt::MouseButtons(button);
        send(QEvent::MouseButtonRelease, at, Middle, button);
    }
    void click(int row) {
        pressRow(row);
        release(centreOf(row));
    }
    // A move over the row (-1: the empty part) with the pointer at `screenY` on the screen.
    void moveOver(int row, int screenY = Middle) {
        moveTo(row < 0 ? emptyPart() : centreOf(row), screenY);
    }
    void moveTo(QPoint at, int screenY) { send(QEvent::MouseMove, at, screenY, Qt::NoButton); }
    void holdWithoutPress(Qt::MouseButtons buttons) { held_ = buttons; }

private:
    void send(QEvent::Type type, QPoint at, int screenY, Qt::MouseButton button) {
        const QPointF screen(view_.viewport()->mapToGlobal(at).x(), screenY);
        QMouseEvent event(type, at, screen, button, held_, Qt::NoModifier);
        QApplication::sendEvent(view_.viewport(), &event);
    }

    Form1 &form_;
    FileListView &view_;
    Qt::MouseButtons held_;
};

// The rows' texts run together: "ABC".
QString texts(const Form1 &form) {
    return TestFiles::Rows(*form.fileList).join(QString());
}

// A shown window whose list holds one row per letter of `rows`.
Form1 &showList(WindowFixture &fixture, const QString &rows) {
    Form1 &form = fixture.load();
    for (QChar letter : rows)
        form.fileList->append(QString(letter));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");
    return form;
}

bool fullyVisible(const FileListView &view, int row) {
    const QRect rect = view.visualRect(view.model()->index(row, 0));
    return rect.isValid() && view.viewport()->rect().contains(rect);
}

}  // namespace

class ReorderTest : public QObject {
    Q_OBJECT

private slots:
    void carrying_data() {
        QTest::addColumn<QString>("rows");       // one letter per row
        QTest::addColumn<int>("pressed");        // the row pressed on
        QTest::addColumn<QList<int>>("path");    // the rows the pointer passes (-1: no row)
        QTest::addColumn<QStringList>("after");  // the rows after each move
        QTest::addColumn<int>("selected");       // the selected row at the end

        QTest::newRow("down three rows") << "ABCDE" << 0 << QList<int>{0, 1, 2, 3}
                                         << QStringList{"ABCDE", "BACDE", "BCADE", "BCDAE"} << 3;
        QTest::newRow("up two rows")
            << "ABCDE" << 4 << QList<int>{3, 2} << QStringList{"ABCED", "ABECD"} << 2;
        QTest::newRow("back and forth over two rows")
            << "ABC" << 0 << QList<int>{1, 0, 1, 0} << QStringList{"BAC", "ABC", "BAC", "ABC"} << 0;
        QTest::newRow("a quick move jumps rows")
            << "ABCDE" << 0 << QList<int>{3} << QStringList{"DBCAE"} << 3;
        // The carried row stays where it is while its twin is passed, and the selection stays
        // with it: the list does not select by dragging.
        QTest::newRow("equal texts never exchanged")
            << "AAB" << 0 << QList<int>{1, 2} << QStringList{"AAB", "BAA"} << 2;
        QTest::newRow("equal texts, pressed on the second")
            << "AAB" << 1 << QList<int>{0} << QStringList{"AAB"} << 1;
        QTest::newRow("off the rows nothing changes")
            << "ABC" << 1 << QList<int>{-1, 2, -1} << QStringList{"ABC", "ACB", "ACB"} << 2;
    }
    void carrying() {
        QFETCH(QString, rows);
        QFETCH(int, pressed);
        QFETCH(QList<int>, path);
        QFETCH(QStringList, after);
        QFETCH(int, selected);
        WindowFixture fixture;
        Form1 &form = showList(fixture, rows);
        ListDriver list(form);

        list.pressRow(pressed);
        QVERIFY(form.ListView1->isCarrying());
        for (int i = 0; i < path.size(); ++i) {
            list.moveOver(path[i]);
            QCOMPARE(texts(form), after[i]);
        }
        QCOMPARE(form.ListView1->selectedRow(), selected);
        list.release(list.centreOf(selected));
        QVERIFY(!form.ListView1->isCarrying());
        QCOMPARE(texts(form), after.last());
        QCOMPARE(form.ListView1->dragRow(), selected);  // kept after the release
        QVERIFY(fixture.platform.shown.isEmpty());
    }

    // After the release, a press on no row carries the row that was carried last.
    void pressOnAnEmptyPartCarriesTheLastRow() {
        WindowFixture fixture;
        Form1 &form = showList(fixture, "ABCD");
        ListDriver list(form);
        list.click(1);
        list.press(list.emptyPart());
        list.moveOver(3);
        QCOMPARE(texts(form), QStringLiteral("ADCB"));
        list.moveOver(2);
        QCOMPARE(texts(form), QStringLiteral("ADBC"));
    }

    void movingWithoutAPressChangesNothing_data() {
        QTest::addColumn<bool>("clickedBefore");
        QTest::addColumn<Qt::MouseButtons>("held");
        QTest::newRow("never pressed") << false << Qt::MouseButtons(Qt::NoButton);
        QTest::newRow("after a click") << true << Qt::MouseButtons(Qt::NoButton);
        // A button held down since before the pointer came over the list: the list has seen
        // no press, and only its own press counts.
        QTest::newRow("button held from elsewhere") << true << Qt::MouseButtons(Qt::LeftButton);
    }
    void movingWithoutAPressChangesNothing() {
        QFETCH(bool, clickedBefore);
        QFETCH(Qt::MouseButtons, held);
        WindowFixture fixture;
        Form1 &form = showList(fixture, "ABCD");
        ListDriver list(form);
        if (clickedBefore)
            list.click(0);
        const int selectedBefore = form.ListView1->selectedRow();
        list.holdWithoutPress(held);
        for (int row : {1, 2, 3, 2, 1, 0})
            list.moveOver(row, row % 2 ? 0 : 2000);
        QCOMPARE(texts(form), QStringLiteral("ABCD"));
        QCOMPARE(form.ListView1->selectedRow(), selectedBefore);
    }

    // The release of a carried row went to another window (a message box opened meanwhile):
    // moving over the list afterwards with no button held moves nothing.
    void aLostReleaseEndsTheCarrying() {
        WindowFixture fixture;
        Form1 &form = showList(fixture, "ABCD");
        ListDriver list(form);
        list.click(0);
        list.pressRow(0);
        list.holdWithoutPress(Qt::NoButton);
        for (int row : {1, 2, 3})
            list.moveOver(row);
        QCOMPARE(texts(form), QStringLiteral("ABCD"));
        QCOMPARE(form.ListView1->mousePointer(), int(MousePointer::Arrow));
    }

    void aRemovedDragRowCountsAsNone_data() {
        QTest::addColumn<QString>("removal");
        QTest::addColumn<QString>("after");  // after pressing on no row and moving over row 0
        QTest::newRow("the carried row double-clicked away") << "remove carried"
                                                             << "ACD";
        QTest::newRow("the list cleared and filled again") << "clear"
                                                           << "ABCD";
        // The carried row follows its text when a row above it goes.
        QTest::newRow("a row above removed") << "remove above"
                                             << "CBD";
    }
    void aRemovedDragRowCountsAsNone() {
        QFETCH(QString, removal);
        QFETCH(QString, after);
        WindowFixture fixture;
        Form1 &form = showList(fixture, "ABCD");
        ListDriver list(form);
        if (removal == "remove carried") {
            list.click(1);
            form.ListView1_DblClick();  // removes the selected row, the one carried
        } else if (removal == "clear") {
            list.click(1);
            form.PushButton7->click();
            form.fileList->append(QStringList{"A", "B", "C", "D"});
        } else {
            list.click(2);
            form.fileList->removeRow(0);
        }
        list.press(list.emptyPart());
        list.moveOver(0);
        list.moveOver(1);
        list.moveOver(0);
        QCOMPARE(texts(form).left(after.size()), after);
    }

    void scrollRule_data() {
        QTest::addColumn<QString>("where");  // the row the pointer goes over
        QTest::addColumn<int>("screenY");
        QTest::addColumn<bool>("twins");    // the carried row has the same text as that row
        QTest::addColumn<int>("scrolled");  // -1 up by a row, 0 not at all, +1 down by a row

        QTest::newRow("304: the row above shown") << "top" << 304 << false << -1;
        QTest::newRow("305: no scrolling") << "top" << 305 << false << 0;
        QTest::newRow("high over the first row") << "first" << 0 << false << 0;
        QTest::newRow("364: no scrolling") << "bottom" << 364 << false << 0;
        QTest::newRow("365: the row below shown") << "bottom" << 365 << false << 1;
        QTest::newRow("low over the last row") << "last" << 2000 << false << 0;
        QTest::newRow("high, but no exchange") << "top" << 0 << true << 0;
        QTest::newRow("low, but no exchange") << "bottom" << 2000 << true << 0;
        // Selecting the row that the carried text lands on does not scroll it into view.
        QTest::newRow("between, over a row cut off") << "cut off" << Middle << false << 0;
    }
    void scrollRule() {
        QFETCH(QString, where);
        QFETCH(int, screenY);
        QFETCH(bool, twins);
        QFETCH(int, scrolled);
        WindowFixture fixture;
        Form1 &form = showList(fixture, QString(40, u'x'));
        FileListView &view = *form.ListView1;
        for (int row = 0; row < 40; ++row)
            form.fileList->setText(row, QStringLiteral("/site/page%1.htm").arg(row));

        // The pointer's row and the row carried onto it, which is its neighbour.
        int row = 0, carried = 1;
        if (where == "top") {
            view.scrollTo(form.fileList->index(4), QAbstractItemView::PositionAtTop);
            row = 4;
            carried = 5;
        } else if (where == "bottom") {
            while (fullyVisible(view, row + 1))
                ++row;
            carried = row - 1;
        } else if (where == "cut off") {
            row = 1;
            while (fullyVisible(view, row))
                ++row;
            carried = row - 1;
        } else if (where == "last") {
            view.scrollToBottom();
            row = 39;
            carried = 38;
        }
        const QRect shown = view.visualRect(form.fileList->index(row)) & view.viewport()->rect();
        QVERIFY(!shown.isEmpty() && fullyVisible(view, carried));
        QCOMPARE(fullyVisible(view, row), where != "cut off");
        const int neighbour = scrolled < 0 ? row - 1 : row + 1;
        if (scrolled != 0)
            QVERIFY(!fullyVisible(view, neighbour));
        if (twins)
            form.fileList->setText(carried, form.fileList->text(row));
        const QString carriedText = form.fileList->text(carried);

        ListDriver list(form);
        list.pressRow(carried);
        const int before = view.verticalScrollBar()->value();
        list.moveTo(shown.center(), screenY);

        QCOMPARE(form.fileList->text(row) == carriedText, true);
        const int after = view.verticalScrollBar()->value();
        QCOMPARE(after > before ? 1 : after < before ? -1 : 0, scrolled);
        if (scrolled != 0)
            QVERIFY(fullyVisible(view, neighbour));
    }

    void thePointerWhileCarrying_data() {
        QTest::addColumn<QString>("picture");  // what drag.ico is
        QTest::addColumn<int>("whileCarrying");
        QTest::newRow("our picture") << "resources" << int(MousePointer::Custom);
        QTest::newRow("missing") << "missing" << int(MousePointer::Arrow);
        QTest::newRow("no picture in it") << "garbage" << int(MousePointer::Arrow);
    }
    void thePointerWhileCarrying() {
        QFETCH(QString, picture);
        QFETCH(int, whileCarrying);
        WindowFixture fixture(picture == "resources");
        if (picture == "garbage")
            TestFiles::Write(fixture.programFolder() + QStringLiteral("/drag.ico"),
                             "not a picture at all");
        Form1 &form = showList(fixture, "ABC");
        FileListView &view = *form.ListView1;
        ListDriver list(form);

        list.click(2);  // the release leaves the arrow
        QCOMPARE(view.mousePointer(), int(MousePointer::Arrow));
        list.pressRow(0);
        QCOMPARE(view.mousePointer(), whileCarrying);
        if (whileCarrying == MousePointer::Custom) {
            QCOMPARE(view.viewport()->cursor().shape(), Qt::BitmapCursor);
        }
        list.moveOver(1);
        QCOMPARE(texts(form), QStringLiteral("BAC"));  // carried all the same
        list.release(list.centreOf(1));
        QCOMPARE(view.mousePointer(), int(MousePointer::Arrow));
        QCOMPARE(view.viewport()->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(fixture.platform.shown.isEmpty());
    }

    // The drag picture is read at the first press on a row and kept: a later press does not
    // read the file again (here it is gone by then, and the picture still shows).
    void dragPictureIsReadOnce() {
        WindowFixture fixture;
        Form1 &form = showList(fixture, "ABC");
        auto *view = fixture.control<FileListView>("ListView1");
        ListDriver list(form);
        list.click(0);
        QCOMPARE(view->mousePointer(), int(MousePointer::Arrow));
        QVERIFY(QFile::remove(fixture.programFolder() + QStringLiteral("/drag.ico")));

        list.pressRow(1);
        QCOMPARE(view->mousePointer(), int(MousePointer::Custom));
        QCOMPARE(view->viewport()->cursor().shape(), Qt::BitmapCursor);
        list.release(list.centreOf(1));
    }
};

QTEST_MAIN(ReorderTest)
#include "test_reorder.moc"
