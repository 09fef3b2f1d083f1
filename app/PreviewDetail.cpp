#include "app/PreviewDialog.h"

#include "app/PreviewParts.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "engine/FileWork.h"
#include "files/Encoding.h"
#include "files/FileError.h"
#include "text/CodePages.h"
#include "text/Operations.h"
#include "text/TextMatch.h"

#include <QLabel>
#include <QPalette>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>

#include <algorithm>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using PreviewParts::Counted;
using PreviewParts::LeftAlone;

namespace {

// The longest part of a line that is shown; the rest is left out.
constexpr std::size_t ShownLineBytes = 4096;

// A colour between two others: `share` of `to`.
QColor Mix(const QColor &from, const QColor &to, double share) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

// Bytes of a line as characters: UTF-8 where the whole line is, the file's code page
// otherwise, as the matching reads it. Control characters show as their pictures, so that each
// line stays one.
QString Shown(std::string_view bytes, bool utf8, const Operations::CodePage &page) {
    QString text = utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                        : Operations::DecodedIn(page, bytes);
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != u'\t')
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return text;
}

}  // namespace

// The lines of one file that the preview shows: a few before the first change, then on from it
// up to ShownLines, each with the parts the loop keeps.
class PreviewDialog::Changes : public Operations::LineMarks {
public:
    struct Line {
        std::uint64_t number = 0;
        std::string bytes;     // its first ShownLineBytes bytes at most
        std::size_t size = 0;  // the whole line's
        bool utf8 = true;      // the whole line is valid UTF-8
        bool kept = false;     // the line stays (perhaps with parts removed)
        std::vector<std::pair<std::size_t, std::size_t>> parts;  // kept: at, size

        bool changed() const {
            if (!kept)
                return true;
            std::size_t covered = 0;
            for (const auto &[at, size] : parts) {
                if (at != covered)
                    return true;
                covered += size;
            }
            return covered != size;
        }
    };
    struct Enough {};  // thrown when the lines to show are complete

    void lineRead(std::string_view line) override {
        settle();
        if (firstChange_ != 0 && lines_.size() >= std::size_t(ShownLines)) {
            more_ = true;
            throw Enough{};
        }
        Line &shown = lines_.emplace_back();
        shown.number = ++count_;
        shown.size = line.size();
        shown.utf8 = Operations::IsValidUtf8(line);
        std::size_t keep = std::min(line.size(), ShownLineBytes);
        if (shown.utf8) {
            while (keep < line.size() && keep > 0 &&
                   (static_cast<unsigned char>(line[keep]) & 0xC0) == 0x80)
                --keep;  // not inside a character
        }
        shown.bytes.assign(line.substr(0, keep));
        settled_ = false;
    }
    void keptLine() override { lines_.back().kept = true; }
    void keptPart(std::size_t at, std::size_t size) override {
        lines_.back().parts.emplace_back(at, size);
    }

    void readIn(const Operations::CodePage &page) override { page_ = &page; }

    // The file has ended, or the lines to show are complete.
    void finish() { settle(); }
    // The code page of its lines that are not UTF-8.
    const Operations::CodePage &page() const { return *page_; }

    const std::deque<Line> &lines() const { return lines_; }
    std::uint64_t firstChange() const { return firstChange_; }  // 0: none
    bool more() const { return more_; }  // the file goes on after the lines shown

private:
    // The line read last is complete: until the first change, only the few before it stay.
    void settle() {
        if (settled_ || lines_.empty())
            return;
        settled_ = true;
        if (firstChange_ == 0 && lines_.back().changed())
            firstChange_ = lines_.back().number;
        if (firstChange_ == 0) {
            while (lines_.size() > std::size_t(ContextLines))
                lines_.pop_front();
        }
    }

    std::deque<Line> lines_;
    const Operations::CodePage *page_ = &Operations::DefaultCodePage();
    std::uint64_t count_ = 0;
    std::uint64_t firstChange_ = 0;
    bool settled_ = true;
    bool more_ = false;
};

void PreviewDialog::selectRow(int row) {
    if (QTreeWidgetItem *item = table_->topLevelItem(row))
        table_->setCurrentItem(item);
}

QString PreviewDialog::detailHeading() const {
    return detailHeading_->text();
}

QString PreviewDialog::detailText() const {
    return detailMarked_;
}

void PreviewDialog::showDetail(int index) {
    if (index < 0 || index >= int(rows_.size()))
        return;
    const unsigned generation = ++detailGeneration_;
    const Row row = rows_[std::size_t(index)];  // a copy: rows may be added while this yields
    detail_->clear();
    detailMarked_.clear();
    const QString name = Main::GetFileName(row.input);
    if (LeftAlone(row)) {
        detailHeading_->setText(name + QStringLiteral(": ") + OutcomeText(row));
        return;
    }
    detailHeading_->setText(PreviewDialog::tr("Reading %1 ...").arg(name));

    Changes changes;
    Context context(job_, [this, generation] {
        if (closed_ || generation != detailGeneration_)
            throw Superseded{};
    });
    Engine::WorkOptions options;
    options.lineNumber = job_.lineNumber;
    options.legacyPage = job_.legacyPage;
    options.matcher = job_.matcher.get();
    try {
        try {
            Engine::MarkFile(row.input, changes, context, options);
        } catch (const Changes::Enough &) {
        }
        changes.finish();
    } catch (const Superseded &) {
        return;  // another row is shown, or the dialog closed
    } catch (const FileError &error) {
        detailHeading_->setText(name + QStringLiteral(": ") + DescribeFileError(error));
        return;
    } catch (const Operations::PatternTooComplex &tooComplex) {
        // The file changed since its row was found.
        detailHeading_->setText(name + QStringLiteral(": ") + Engine::TooComplexText(tooComplex));
        return;
    } catch (const RFTSFSO::NotText &notText) {
        // The file changed since its row was found.
        detailHeading_->setText(name + QStringLiteral(": ") + notText.reason());
        return;
    } catch (const Engine::Stopped &) {
        // The stop is meant for the command whose yield this runs in: it is passed on.
        EventPump::RequestStop();
        return;
    } catch (const CommandAbandoned &) {
        return;  // the program ends; the command around this abandons at its next yield
    } catch (...) {
        detailHeading_->setText(name + QStringLiteral(": ") + CurrentExceptionDescription());
        return;
    }
    renderDetail(row, changes);
}

QString PreviewDialog::detailHeadingFor(const Row &row, const Changes &changes) const {
    const QString name = Main::GetFileName(row.input);
    const auto &lines = changes.lines();
    QString heading;
    if (changes.firstChange() == 0 && row.lineEndsOnly) {
        heading = tr("%1: line ends only; no line would change, but the result has CR LF "
                     "between its lines and none after the last.")
                      .arg(name);
    } else if (changes.firstChange() == 0) {
        heading = PreviewDialog::tr("%1: no line would change.").arg(name);
    } else {
        heading = PreviewDialog::tr("%1: %2 removed; first change at line %3.")
                      .arg(name, removedText(row))
                      .arg(changes.firstChange());
        if (changes.more())
            heading += PreviewDialog::tr(" Showing lines %1 to %2; the file goes on.")
                           .arg(lines.front().number)
                           .arg(lines.back().number);
    }
    if (row.relation == Engine::Relation::ReadsEarlier)
        heading += PreviewDialog::tr(
                       " The run would read row %1's result here; this is the file "
                       "as it is now.")
                       .arg(row.earlierRow);
    return heading;
}

void PreviewDialog::renderDetail(const Row &row, const Changes &changes) {
    detailHeading_->setText(detailHeadingFor(row, changes));
    if (changes.firstChange() == 0)
        return;
    const auto &lines = changes.lines();

    // Colours of the palette: removed parts on the highlight colour mixed into the base, in the
    // highlight colour taken towards the text's (darker on a light base, lighter on a dark
    // one), with no line through them, so that a hyphen or "=" stays as readable as the rest;
    // line numbers in the placeholder colour.
    const QPalette palette = detail_->palette();
    QTextCharFormat plain;
    plain.setForeground(palette.color(QPalette::Text));
    QTextCharFormat number;
    number.setForeground(palette.color(QPalette::PlaceholderText));
    QTextCharFormat removed = plain;
    removed.setBackground(
        Mix(palette.color(QPalette::Base), palette.color(QPalette::Highlight), 0.22));
    removed.setForeground(
        Mix(palette.color(QPalette::Highlight), palette.color(QPalette::Text), 0.45));

    const int width = int(QString::number(lines.back().number).size());
    QString marked;  // the same, with the removed parts between [- and -]
    QTextCursor cursor(detail_->document());
    cursor.beginEditBlock();
    bool first = true;
    for (const Changes::Line &line : lines) {
        if (!first) {
            cursor.insertBlock();
            marked += u'\n';
        }
        first = false;
        const QString mark = !line.kept       ? QStringLiteral("- ")
                             : line.changed() ? QStringLiteral("~ ")
                                              : QStringLiteral("  ");
        const QString lineNumber = QString::number(line.number).rightJustified(width);
        cursor.insertText(lineNumber + u' ', number);
        cursor.insertText(mark, plain);
        marked += lineNumber + u' ' + mark;

        auto put = [&](std::size_t from, std::size_t to, bool kept) {
            to = std::min(to, line.bytes.size());
            if (from >= to)
                return;
            const QString text = Shown(std::string_view(line.bytes).substr(from, to - from),
                                       line.utf8, changes.page());
            cursor.insertText(text, kept ? plain : removed);
            marked += kept ? text : QStringLiteral("[-") + text + QStringLiteral("-]");
        };
        if (!line.kept) {
            if (line.size == 0) {
                cursor.insertText(PreviewDialog::tr("(empty line)"), removed);
                marked += QStringLiteral("[-(empty line)-]");
            }
            put(0, line.size, false);
        } else {
            std::size_t at = 0;
            for (const auto &[start, size] : line.parts) {
                put(at, start, false);
                put(start, start + size, true);
                at = start + size;
            }
            put(at, line.size, false);
        }
        if (line.bytes.size() < line.size) {
            cursor.insertText(
                PreviewDialog::tr(" … (%1 more bytes)").arg(line.size - line.bytes.size()), number);
            marked += QStringLiteral(" …");
        }
    }
    cursor.endEditBlock();
    detailMarked_ = marked;
    detail_->moveCursor(QTextCursor::Start);
}
