#include "cli/Arguments.h"

#include "cli/OptionTable.h"

#include "base/Convert.h"
#include "base/Main.h"
#include "engine/Plan.h"
#include "text/CodePages.h"
#include "text/Operations.h"
#include "text/TextMatch.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

}  // namespace

namespace Cli {

namespace {

QString Quoted(const std::string &word) {
    QString text;
    if (!DecodeUtf8(word, text))
        text = QString::fromUtf8(word);
    return u'\'' + text + u'\'';
}

[[noreturn]] void Fail(const QString &message) {
    throw UsageError(message.toStdString());
}

// The option's value: after "=" in the same word, or the next word.
class Words {
public:
    explicit Words(const std::vector<std::string> &words) : words_(words) {}
    bool done() const { return next_ >= words_.size(); }
    const std::string &take() { return words_[next_++]; }
    std::string valueOf(const std::string &option, const std::optional<std::string> &attached) {
        if (attached)
            return *attached;
        if (done())
            Fail(Texts::tr("%1 needs a value").arg(QString::fromStdString(option)));
        return take();
    }

private:
    const std::vector<std::string> &words_;
    std::size_t next_ = 0;
};

QString TextOf(const std::string &bytes, const char *what) {
    QString text;
    if (!DecodeUtf8(bytes, text))
        Fail(Texts::tr("%1 is not valid UTF-8").arg(QLatin1String(what)));
    return text;
}

// The edits (a letter added, taken out, changed, or two swapped) that make `a` into `b`.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// The operation named by `word`, and its operand: the next word, whatever it looks like ("-->"
// is a text to remove).
const Operations::OperationInfo *TakeOperation(const std::string &word, Words &words,
                                               RemoveRequest &request) {
    const Operations::OperationInfo *operation = Operations::OperationNamed(word);
    if (operation == nullptr) {
        QStringList names;
        for (const Operations::OperationInfo &info : Operations::OperationTable)
            names.append(QLatin1String(info.name));
        QString message = Texts::tr("unknown operation %1").arg(Quoted(word));
        const Operations::OperationInfo *nearest = nullptr;
        std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
        for (const Operations::OperationInfo &info : Operations::OperationTable) {
            if (const std::size_t distance = Distance(word, info.name); distance < best) {
                best = distance;
                nearest = &info;
            }
        }
        if (nearest != nullptr)
            message += Texts::tr("; did you mean '%1'?").arg(QLatin1String(nearest->name));
        Fail(message + Texts::tr(" (one of %1)").arg(names.join(QStringLiteral(", "))));
    }
    request.operation = operation->operation;
    if (operation->operand == Operations::Operand::None)
        return operation;
    if (words.done())
        Fail(Texts::tr("%1 needs %2")
                 .arg(QLatin1String(operation->name), QLatin1String(operation->operandName)));
    const std::string operand = words.take();
    if (operation->operand == Operations::Operand::Number)
        request.lineAnswer = TextOf(operand, "N");
    else
        request.text = TextOf(operand, "TEXT");
    return operation;
}

}  // namespace

const char *Version() {
    return STRELMARK_VERSION;
}

QString CaptionOf(Operations::Operation operation) {
    return Operations::Captions[static_cast<std::size_t>(operation)];
}

bool DecodeUtf8(const std::string &bytes, QString &text) {
    if (!Operations::IsValidUtf8(bytes))
        return false;
    text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return true;
}

namespace {

// The long option that `name` (after "--") was most likely meant to be: the only one it begins,
// else the nearest within a few edits; empty when none is near.
std::string Nearest(std::string_view name, unsigned command) {
    const OptionInfo *prefixOf = nullptr;
    int prefixes = 0;
    const OptionInfo *nearest = nullptr;
    std::size_t best = std::max<std::size_t>(2, name.size() / 3) + 1;
    for (const OptionInfo &info : OptionTable) {
        if ((info.commands & command) == 0)
            continue;
        const std::string_view candidate = info.name;
        if (!name.empty() && candidate.starts_with(name)) {
            prefixOf = &info;
            ++prefixes;
        }
        if (const std::size_t distance = Distance(name, candidate); distance < best) {
            best = distance;
            nearest = &info;
        }
    }
    const OptionInfo *meant = prefixes == 1 ? prefixOf : nearest;
    return meant == nullptr ? std::string() : std::string("--") + meant->name;
}

[[noreturn]] void Unknown(const std::string &word, unsigned command) {
    QString message = Texts::tr("unknown option %1").arg(Quoted(word));
    if (word.starts_with("--")) {
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(2, equals == std::string::npos ? equals : equals - 2);
        const std::string meant = Nearest(name, command);
        if (!meant.empty())
            message += Texts::tr("; did you mean '%1'?").arg(QString::fromStdString(meant));
    }
    Fail(message);
}

QString Shown(const OptionInfo &info) {
    return QStringLiteral("--") + QLatin1String(info.name);
}

int NumberOf(const OptionInfo &info, const std::string &value, int least, int most) {
    int number = 0;
    const char *end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, number);
    if (error != std::errc() || at != end || number < least || number > most)
        Fail(Texts::tr("%1 needs a whole number from %2 to %3, not %4")
                 .arg(Shown(info))
                 .arg(least)
                 .arg(most)
                 .arg(Quoted(value)));
    return number;
}

// Adds the words of a comma list to `into`; an empty word is a mistake.
void AddList(const OptionInfo &info, const std::string &value, QStringList &into,
             const QString &missing) {
    const QString text = TextOf(value, info.valueName);
    for (const QString &part : text.split(u',')) {
        if (part.isEmpty())
            Fail(Texts::tr("%1 needs %2").arg(Shown(info), missing));
        into.append(part);
    }
}

// The names of the code pages, for a message.
QString CodePageNames() {
    QStringList names;
    for (const Operations::CodePage &page : Operations::CodePages())
        names.append(QLatin1String(page.name));
    return names.join(QStringLiteral(", "));
}

// What the words say beyond each option on its own.
struct Given {
    std::array<bool, OptionTable.size()> options{};
    bool has(OptionId id) const { return options[static_cast<std::size_t>(id)]; }
};

// Sets what the option says; `value` is its value for one that takes one.
void Apply(const OptionInfo &info, const std::string &value, RemoveRequest &request) {
    switch (info.id) {
        case OptionId::Out:
            request.outFolder = Main::PathText(value);  // a folder's name: any bytes
            if (request.outFolder.isEmpty())
                Fail(Texts::tr("--out needs a folder"));
            break;
        case OptionId::InPlace:
            request.inPlace = true;
            break;
        case OptionId::MakeFolder:
            request.makeFolder = true;
            break;
        case OptionId::KeepTree:
            request.tree = Tree::Keep;
            break;
        case OptionId::Flat:
            request.tree = Tree::Flat;
            break;
        case OptionId::Ext:
            AddList(info, value, request.extensions, Texts::tr("an extension (* for every file)"));
            break;
        case OptionId::Glob:
            AddList(info, value, request.globs, Texts::tr("a glob"));
            break;
        case OptionId::Exclude:
            request.excludes.append(TextOf(value, "GLOB"));
            if (request.excludes.last().isEmpty())
                Fail(Texts::tr("--exclude needs a glob"));
            break;
        case OptionId::Hidden:
            request.hidden = true;
            break;
        case OptionId::MaxDepth:
            request.maxDepth = NumberOf(info, value, 0, 1000000);
            break;
        case OptionId::GitIgnore:
            request.gitignore = true;
            break;
        case OptionId::FilesFrom:
            if (value.empty())
                Fail(Texts::tr("--files-from needs a file (- for standard input)"));
            request.filesFrom = value;
            break;
        case OptionId::Null:
            request.nullSeparated = true;
            break;
        case OptionId::MatchCase:
            request.match.matchCase = true;
            break;
        case OptionId::Word:
            request.match.wholeWords = true;
            break;
        case OptionId::Regex:
            request.match.regex = true;
            break;
        case OptionId::Binary:
            request.binaryAsText = true;
            break;
        case OptionId::Encoding:
            request.encoding = TextOf(value, "the --encoding name");
            if (Operations::CodePageNamed(request.encoding) == nullptr)
                Fail(Texts::tr("--encoding needs the name of a code page (one of %1), not %2")
                         .arg(CodePageNames(), Quoted(value)));
            break;
        case OptionId::Crlf:
            request.keepLineEnds = false;
            break;
        case OptionId::KeepLineEnds:
            request.keepLineEnds = true;
            break;
        case OptionId::DryRun:
            request.dryRun = true;
            break;
        case OptionId::List:  // undo's alone: ReadOptions refuses them after "remove"
        case OptionId::Force:
            break;
        case OptionId::Diff:
            request.diff = true;
            break;
        case OptionId::Json:
            request.json = true;
            break;
        case OptionId::Quiet:
            request.quiet = true;
            break;
        case OptionId::Color:
            if (value == "auto")
                request.color = Color::Auto;
            else if (value == "always")
                request.color = Color::Always;
            else if (value == "never")
                request.color = Color::Never;
            else
                Fail(Texts::tr("--color needs auto, always or never, not %1").arg(Quoted(value)));
            break;
        case OptionId::Jobs:
            request.jobs = NumberOf(info, value, 1, 1024);
            break;
        case OptionId::Help:
            request.help = true;
            break;
        case OptionId::Version:
            request.version = true;
            break;
    }
}

// Reads the options of `command` among the words, GNU style: "--name", "--name=value" or
// "--name value"; "-x", letters together ("-qn"), and a letter's value attached ("-j4") or
// next; "--" ends the options. Every other word goes to `positional`, in order; the word after
// `takesNext` (the operation) is taken as it is, whatever it looks like. Stops at --help or
// --version (false).
template <class Positional>
bool ReadOptions(const std::vector<std::string> &list, unsigned command, Given &given,
                 const std::function<void(const OptionInfo &, const std::string &)> &apply,
                 Positional positional) {
    Words words(list);
    bool optionsEnded = false;
    auto take = [&](const OptionInfo &info, const std::optional<std::string> &attached,
                    const std::string &shown) {
        std::string value;
        if (info.valueName == nullptr) {
            if (attached)
                Fail(Texts::tr("%1 takes no value").arg(QString::fromStdString(shown)));
        } else {
            value = words.valueOf(shown, attached);
        }
        bool &seen = given.options[static_cast<std::size_t>(info.id)];
        if (seen && !info.repeatable)
            Fail(Texts::tr("%1 is given twice").arg(Shown(info)));
        seen = true;
        apply(info, value);
        return info.id != OptionId::Help && info.id != OptionId::Version;
    };
    while (!words.done()) {
        const std::string word = words.take();
        if (optionsEnded || word == "-" || word.size() < 2 || word[0] != '-') {
            positional(word, words);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word.starts_with("--")) {
            const std::size_t equals = word.find('=');
            const std::string name =
                word.substr(2, equals == std::string::npos ? equals : equals - 2);
            const OptionInfo *info = LongOption(name, command);
            if (info == nullptr)
                Unknown(word, command);
            const std::optional<std::string> attached =
                equals == std::string::npos ? std::nullopt
                                            : std::optional<std::string>(word.substr(equals + 1));
            if (!take(*info, attached, "--" + name))
                return false;
        } else {
            for (std::size_t at = 1; at < word.size(); ++at) {
                const OptionInfo *info = ShortOption(word[at], command);
                if (info == nullptr)
                    Unknown(std::string("-") + word[at], command);
                std::optional<std::string> attached;
                if (info->valueName != nullptr && at + 1 < word.size())
                    attached = word.substr(at + 1);
                if (!take(*info, attached, std::string("-") + word[at]))
                    return false;
                if (attached)
                    break;
            }
        }
    }
    return true;
}

// Whether the request reads standard input and writes its result to standard output.
bool IsFilter(const RemoveRequest &request, const Given &given, bool inputIsTerminal) {
    const bool dash =
        std::find(request.paths.begin(), request.paths.end(), "-") != request.paths.end();
    if (dash && request.paths.size() > 1)
        Fail(Texts::tr("the PATH - (standard input) goes alone"));
    if (dash && !request.filesFrom.empty())
        Fail(Texts::tr("the PATH - and --files-from cannot be used together"));
    if (dash && (given.has(OptionId::Out) || request.inPlace))
        Fail(
            Texts::tr("the PATH - (standard input) writes its result to standard output: "
                      "leave out --out and --in-place"));
    if (dash)
        return true;
    return request.paths.empty() && request.filesFrom.empty() && !given.has(OptionId::Out) &&
           !request.inPlace && !inputIsTerminal;
}

// What the words say together.
void Check(RemoveRequest &request, const Operations::OperationInfo *operation, const Given &given,
           bool inputIsTerminal) {
    if (operation == nullptr)
        Fail(request.replacing ? Texts::tr("replace needs TEXT and WITH")
                               : Texts::tr("remove needs an OPERATION"));
    if (operation->operand == Operations::Operand::Number) {
        if (!Convert::IsNumeric(request.lineAnswer))
            Fail(
                Texts::tr("line needs a number N, not %1").arg(u'\'' + request.lineAnswer + u'\''));
        request.lineNumber = Engine::LineNumberFromAnswer(request.lineAnswer);
    } else if (operation->operand == Operations::Operand::Text && request.text.isEmpty()) {
        Fail(Texts::tr("TEXT must not be empty"));
    }
    if (request.diff && request.json)
        Fail(Texts::tr("--diff and --json cannot be used together"));
    if (given.has(OptionId::Crlf) && given.has(OptionId::KeepLineEnds))
        Fail(Texts::tr("--crlf and --keep-line-ends cannot be used together"));
    if (request.nullSeparated && request.filesFrom.empty())
        Fail(Texts::tr("--null goes with --files-from"));
    request.filter = IsFilter(request, given, inputIsTerminal);
    if (request.filter) {
        for (const OptionId id : {OptionId::DryRun, OptionId::Diff, OptionId::Json,
                                  OptionId::MakeFolder, OptionId::KeepTree, OptionId::Flat}) {
            if (given.has(id))
                Fail(Texts::tr("%1 does not go with standard input filtered to standard "
                               "output")
                         .arg(Shown(InfoOf(id))));
        }
    } else {
        if (given.has(OptionId::Out) == request.inPlace)
            Fail(Texts::tr("say where the results go: --out DIR or --in-place (exactly one)"));
        if (request.paths.empty() && request.filesFrom.empty())
            Fail(inputIsTerminal || given.has(OptionId::Out) || request.inPlace
                     ? Texts::tr("no PATH given")
                     : Texts::tr("no PATH given (or pipe the text into standard input)"));
    }
    if (request.makeFolder && !given.has(OptionId::Out))
        Fail(Texts::tr("--mkdir goes with --out DIR"));
    if (given.has(OptionId::KeepTree) && given.has(OptionId::Flat))
        Fail(Texts::tr("--keep-tree and --flat cannot be used together"));
    if (request.tree != Tree::Default && !given.has(OptionId::Out))
        Fail(Texts::tr("%1 goes with --out DIR")
                 .arg(request.tree == Tree::Keep ? QStringLiteral("--keep-tree")
                                                 : QStringLiteral("--flat")));
    if (request.diff)
        request.dryRun = true;
    if (request.jobs == 0)
        request.jobs = std::max(1, QThread::idealThreadCount());
}

}  // namespace

namespace {

// `remove OPERATION ...`, or with `replacing`, `replace TEXT WITH ...`.
RemoveRequest ParseEdit(const std::vector<std::string> &list, bool inputIsTerminal,
                        bool replacing) {
    RemoveRequest request;
    request.replacing = replacing;
    const Operations::OperationInfo *operation = nullptr;
    Given given;
    bool defaultExtensions = true;
    auto apply = [&](const OptionInfo &info, const std::string &value) {
        if (info.id == OptionId::Ext && defaultExtensions) {
            request.extensions.clear();
            defaultExtensions = false;
        }
        Apply(info, value, request);
    };
    auto positional = [&](const std::string &word, Words &words) {
        if (operation != nullptr) {
            request.paths.push_back(word);
        } else if (!replacing) {
            operation = TakeOperation(word, words, request);
        } else {
            // Replacing counts what it replaces in characters, as removing text does. WITH
            // is taken as it is, whatever it looks like.
            operation = &Operations::InfoOf(Operations::Operation::Text);
            request.operation = operation->operation;
            request.text = TextOf(word, "TEXT");
            if (words.done())
                Fail(QStringLiteral("replace needs TEXT and WITH"));
            request.replacement = TextOf(words.take(), "WITH");
        }
    };
    if (!ReadOptions(list, RemoveCommand, given, apply, positional))
        return request;
    // Globs that take files choose them alone: the default extensions no longer count.
    if (defaultExtensions &&
        std::any_of(request.globs.begin(), request.globs.end(),
                    [](const QString &glob) { return !glob.startsWith(u'!'); }))
        request.extensions.clear();
    Check(request, operation, given, inputIsTerminal);
    return request;
}

}  // namespace

RemoveRequest ParseRemove(const std::vector<std::string> &list, bool inputIsTerminal) {
    return ParseEdit(list, inputIsTerminal, false);
}

RemoveRequest ParseReplace(const std::vector<std::string> &list, bool inputIsTerminal) {
    return ParseEdit(list, inputIsTerminal, true);
}

UndoRequest ParseUndo(const std::vector<std::string> &list) {
    UndoRequest request;
    Given given;
    auto apply = [&](const OptionInfo &info, const std::string &) {
        request.quiet = request.quiet || info.id == OptionId::Quiet;
        request.list = request.list || info.id == OptionId::List;
        request.dryRun = request.dryRun || info.id == OptionId::DryRun;
        request.force = request.force || info.id == OptionId::Force;
        request.help = request.help || info.id == OptionId::Help;
        request.version = request.version || info.id == OptionId::Version;
    };
    // A RUN starts with a digit: a number or a run's name, which begins with its date.
    auto positional = [&request](const std::string &word, Words &) {
        if (word.empty() || word[0] < '0' || word[0] > '9' || !request.run.empty())
            throw UsageError(WithWords(Texts::tr("undo takes no '%1'"), word));
        request.run = word;
    };
    ReadOptions(list, UndoCommand, given, apply, positional);
    if (request.list && (!request.run.empty() || request.dryRun) && !request.help &&
        !request.version)
        Fail(Texts::tr("undo --list takes no RUN and no --dry-run"));
    if (request.list && request.force && !request.help && !request.version)
        Fail(Texts::tr("undo --list takes no --force"));
    return request;
}

namespace {

constexpr const char *GroupHeadings[] = {
    // One heading in two pieces, not two headings with a comma missing.
    QT_TRANSLATE_NOOP("Cli",
                      // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
                      "Where the results go (one of -o and -i; neither when filtering standard "
                      "input):"),
    QT_TRANSLATE_NOOP("Cli",
                      "Which files a folder PATH gives (.git, .hg and .svn are never entered):"),
    QT_TRANSLATE_NOOP("Cli", "How TEXT is matched (by default: literally, letter case ignored):"),
    QT_TRANSLATE_NOOP("Cli", "Encodings and line ends:"),
    QT_TRANSLATE_NOOP("Cli", "What is printed:"),
    QT_TRANSLATE_NOOP("Cli", "Other:"),
};

// The option as --help names it: "-o, --out DIR".
QString HelpHead(const OptionInfo &info) {
    QString head = info.letter != 0 ? QStringLiteral("-%1, ").arg(QLatin1Char(info.letter))
                                    : QStringLiteral("    ");
    head += QStringLiteral("--") + QLatin1String(info.name);
    if (info.valueName != nullptr)
        head += u' ' + QLatin1String(info.valueName);
    return head;
}

QString OptionLines(Group group) {
    constexpr int Column = 22;  // the options' help starts in column 25
    QString lines;
    for (const OptionInfo &info : OptionTable) {
        if (info.group != group || (info.commands & RemoveCommand) == 0)
            continue;
        const QStringList help = Texts::tr(info.help).split(u'\n');
        lines += QStringLiteral("  %1 %2\n").arg(HelpHead(info), -Column).arg(help[0]);
        for (qsizetype k = 1; k < help.size(); ++k)
            lines += QString(Column + 3, u' ') + help[k] + u'\n';
    }
    return lines;
}

}  // namespace

std::string WithWords(const QString &text, const std::string &first, const std::string &second) {
    std::string bytes = text.toStdString();
    const std::size_t at = bytes.find("%1");
    const std::size_t later = bytes.find("%2");
    // The later of the two first, so that the place of the other stays where it was.
    if (later != std::string::npos && (at == std::string::npos || later > at))
        bytes.replace(later, 2, second);
    if (at != std::string::npos)
        bytes.replace(at, 2, first);
    if (later != std::string::npos && at != std::string::npos && later < at)
        bytes.replace(later, 2, second);
    return bytes;
}

QString HelpText() {
    QString operations;
    for (const Operations::OperationInfo &info : Operations::OperationTable) {
        QString head = QLatin1String(info.name);
        if (info.operandName != nullptr)
            head += u' ' + QLatin1String(info.operandName);
        operations += QStringLiteral("  %1%2\n").arg(head, -27).arg(Texts::tr(info.summary));
    }
    QString options;
    for (int group = 0; group <= static_cast<int>(Group::Other); ++group)
        options += u'\n' + Texts::tr(GroupHeadings[group]) + u'\n' +
                   OptionLines(static_cast<Group>(group));
    return Texts::tr(
               "Usage: strelmark remove OPERATION [TEXT|N] (-o DIR | -i) [options] PATH...\n"
               "       strelmark remove OPERATION [TEXT|N] [options] < INPUT > OUTPUT\n"
               "       strelmark replace TEXT WITH (-o DIR | -i) [options] PATH...\n"
               "                                    replace every match of TEXT by WITH\n"
               "       strelmark undo [RUN | --list] [--dry-run] [--force] [-q]\n"
               "                                    take a run back, the last by default\n"
               "       strelmark --help | --version\n"
               "       strelmark [FILE|FOLDER]...   start the window, these in its list\n"
               "\n"
               "Removes lines or characters from many text files at once, as the window does.\n"
               "\n"
               "Operations:\n") +
           operations +
           Texts::tr(
               "TEXT is taken whole, never trimmed, and compared without regard to letter\n"
               "case; it must not be empty. N is any number, rounded half to even. replace\n"
               "takes every option of remove; WITH is literal unless --regex is given.\n") +
           options +
           Texts::tr(
               "\n"
               "A PATH that is a folder is searched level by level; any other PATH is taken\n"
               "as given. With no PATH, -o or -i, standard input is filtered to standard\n"
               "output, as sed does (so is the PATH -), and nothing is kept for undo. Put --\n"
               "before PATHs that start with \"-\". A result with no line left is not written;\n"
               "a result that equals the file already there is not rewritten. Every run that\n"
               "writes keeps what it replaces: `strelmark undo` takes it back.\n"
               "\n"
               "Exit status: 0 all done, 1 some files failed, 2 usage error,\n"
               "130 or 143 stopped by SIGINT or SIGTERM (what was finished is kept).\n"
               "\n"
               "Examples:\n"
               "  strelmark remove lines-containing 'meta http' -o ~/site-new --mkdir ~/site\n"
               "  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/\n"
               "  find site -print0 | strelmark remove text '<br>' -i --files-from - -0\n"
               "  curl -s URL | strelmark remove lines-containing '<script' > page.html\n"
               "  strelmark replace --regex '(\\w+)@old\\.example' '$1@new.example' -i site/\n"
               "  strelmark remove lines-containing -w --match-case cat -i notes.txt\n"
               "\n"
               "See strelmark(1) for the details and the JSON fields.\n");
}

}  // namespace Cli
