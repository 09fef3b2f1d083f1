#include "cli/Arguments.h"

#include "base/Convert.h"
#include "engine/Plan.h"
#include "text/CodePages.h"
#include "text/Operations.h"
#include "text/TextMatch.h"

#include <QStringList>
#include <QThread>

#include <charconv>
#include <optional>

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
            Fail(QStringLiteral("%1 needs a value").arg(QString::fromStdString(option)));
        return take();
    }

private:
    const std::vector<std::string> &words_;
    std::size_t next_ = 0;
};

QString TextOf(const std::string &bytes, const char *what) {
    QString text;
    if (!DecodeUtf8(bytes, text))
        Fail(QStringLiteral("%1 is not valid UTF-8").arg(QLatin1String(what)));
    return text;
}

int JobsOf(const std::string &value) {
    int jobs = 0;
    const char *end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, jobs);
    if (error != std::errc() || at != end || jobs < 1 || jobs > 1024)
        Fail(QStringLiteral("--jobs needs a whole number from 1 to 1024, not %1")
                 .arg(Quoted(value)));
    return jobs;
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
        Fail(QStringLiteral("unknown operation %1 (one of %2)")
                 .arg(Quoted(word), names.join(QStringLiteral(", "))));
    }
    request.operation = operation->operation;
    if (operation->operand == Operations::Operand::None)
        return operation;
    if (words.done())
        Fail(QStringLiteral("%1 needs %2")
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

// The options given once at most.
struct Given {
    bool out = false, extension = false, jobs = false, encoding = false;
};

// The names of the code pages, for a message.
QString CodePageNames() {
    QStringList names;
    for (const Operations::CodePage &page : Operations::CodePages())
        names.append(QLatin1String(page.name));
    return names.join(QStringLiteral(", "));
}

// The option `word` and its value; false for --help, after which nothing else counts.
bool TakeOption(const std::string &word, Words &words, RemoveRequest &request, Given &given) {
    std::string option = word;
    std::optional<std::string> attached;
    if (const std::size_t equals = word.find('=');
        word.starts_with("--") && equals != std::string::npos) {
        option = word.substr(0, equals);
        attached = word.substr(equals + 1);
    }
    auto flag = [&](bool &value) {
        if (attached)
            Fail(QStringLiteral("%1 takes no value").arg(QString::fromStdString(option)));
        value = true;
    };
    auto once = [&](bool &seen) {
        if (seen)
            Fail(QStringLiteral("%1 is given twice").arg(QString::fromStdString(option)));
        seen = true;
    };
    if (option == "--help" || option == "-h") {
        request.help = true;
        return false;
    } else if (option == "--out") {
        once(given.out);
        request.outFolder = TextOf(words.valueOf(option, attached), "the --out folder");
        if (request.outFolder.isEmpty())
            Fail(QStringLiteral("--out needs a folder"));
    } else if (option == "--in-place") {
        flag(request.inPlace);
    } else if (option == "--mkdir") {
        flag(request.makeFolder);
    } else if (option == "--ext") {
        once(given.extension);
        request.extension = TextOf(words.valueOf(option, attached), "the --ext extension");
        if (request.extension.isEmpty())
            Fail(QStringLiteral("--ext needs an extension (* for every file)"));
    } else if (option == "--keep-line-ends") {
        flag(request.keepLineEnds);
    } else if (option == "--binary") {
        flag(request.binaryAsText);
    } else if (option == "--encoding") {
        once(given.encoding);
        request.encoding = TextOf(words.valueOf(option, attached), "the --encoding name");
        if (Operations::CodePageNamed(request.encoding) == nullptr)
            Fail(QStringLiteral("--encoding needs the name of a code page (one of %1), not %2")
                     .arg(CodePageNames(), u'\'' + request.encoding + u'\''));
    } else if (option == "--dry-run") {
        flag(request.dryRun);
    } else if (option == "--diff") {
        flag(request.diff);
    } else if (option == "--json") {
        flag(request.json);
    } else if (option == "--quiet") {
        flag(request.quiet);
    } else if (option == "--jobs") {
        once(given.jobs);
        request.jobs = JobsOf(words.valueOf(option, attached));
    } else {
        Fail(QStringLiteral("unknown option %1").arg(Quoted(word)));
    }
    return true;
}

// What the words say together.
void Check(RemoveRequest &request, const Operations::OperationInfo *operation, const Given &given) {
    if (operation == nullptr)
        Fail(QStringLiteral("remove needs an OPERATION"));
    if (operation->operand == Operations::Operand::Number) {
        if (!Convert::IsNumeric(request.lineAnswer))
            Fail(QStringLiteral("line needs a number N, not %1")
                     .arg(u'\'' + request.lineAnswer + u'\''));
        request.lineNumber = Engine::LineNumberFromAnswer(request.lineAnswer);
    } else if (operation->operand == Operations::Operand::Text && request.text.isEmpty()) {
        Fail(QStringLiteral("TEXT must not be empty"));
    }
    if (given.out == request.inPlace)
        Fail(QStringLiteral("say where the results go: --out DIR or --in-place (exactly one)"));
    if (request.makeFolder && !given.out)
        Fail(QStringLiteral("--mkdir goes with --out DIR"));
    if (request.diff && request.json)
        Fail(QStringLiteral("--diff and --json cannot be used together"));
    if (request.diff)
        request.dryRun = true;
    if (request.paths.empty())
        Fail(QStringLiteral("no PATH given"));
    if (request.jobs == 0)
        request.jobs = std::max(1, QThread::idealThreadCount());
}

}  // namespace

RemoveRequest ParseRemove(const std::vector<std::string> &list) {
    RemoveRequest request;
    Words words(list);
    const Operations::OperationInfo *operation = nullptr;
    bool optionsEnded = false;
    Given given;
    while (!words.done()) {
        const std::string word = words.take();
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            if (!TakeOption(word, words, request, given))
                return request;
        } else if (operation == nullptr) {
            operation = TakeOperation(word, words, request);
        } else {
            request.paths.push_back(word);
        }
    }
    Check(request, operation, given);
    return request;
}

QString HelpText() {
    QString operations;
    for (const Operations::OperationInfo &info : Operations::OperationTable) {
        QString head = QLatin1String(info.name);
        if (info.operandName != nullptr)
            head += u' ' + QLatin1String(info.operandName);
        operations += QStringLiteral("  %1%2\n").arg(head, -27).arg(QLatin1String(info.summary));
    }
    return QStringLiteral(
               "Usage: strelmark remove OPERATION [TEXT|N] (--out DIR | --in-place)\n"
               "                        [options] PATH...\n"
               "       strelmark undo [--quiet]   take the last run back, of either face\n"
               "       strelmark --help | --version\n"
               "       strelmark                  start the window\n"
               "\n"
               "Removes lines or characters from many text files at once, exactly as the\n"
               "window does.\n"
               "\n"
               "Operations:\n") +
           operations +
           QStringLiteral(
               "TEXT is taken whole, never trimmed, and compared without regard to letter\n"
               "case; it must not be empty. N is any number, rounded half to even.\n"
               "\n"
               "Where the results go (exactly one):\n"
               "  --out DIR          into the folder DIR, under each input's file name\n"
               "  --in-place         in place of each input file\n"
               "  --mkdir            create DIR and its parents when they are missing\n"
               "\n"
               "Options:\n"
               "  --ext EXT          folders are searched for files named *.EXT, with all\n"
               "                     the folders below them (default html; * for every file)\n"
               "  --keep-line-ends   each kept line keeps its own line end (CR LF or LF);\n"
               "                     otherwise lines are joined by CR LF, none after the last\n"
               "  --encoding NAME    the code page of lines that are not UTF-8, in files that\n"
               "                     name none (default windows-1252; koi8-r, iso-8859-2, ...)\n"
               "  --binary           files with a NUL byte are text too (as grep -a); otherwise\n"
               "                     they are binary and left alone\n"
               "  --dry-run          write nothing: list the files that would change\n"
               "  --diff             write nothing: print a unified diff of what would change\n"
               "  --json             one JSON object per file, then a summary object\n"
               "  --quiet            no progress, summary or listing: only errors\n"
               "  --jobs N           files worked on at once (default: the processors, %1)\n"
               "  --help, --version\n"
               "\n"
               "A PATH that is a folder is searched; any other PATH is taken as given. Put --\n"
               "before PATHs that start with \"-\". A result with no line left is not written;\n"
               "a result that equals the file already there is not rewritten. Every run that\n"
               "writes keeps what it replaces: `strelmark undo` takes it back.\n"
               "\n"
               "Exit status: 0 all done, 1 some files failed, 2 usage error,\n"
               "130 or 143 stopped by SIGINT or SIGTERM (what was finished is kept).\n"
               "\n"
               "Examples:\n"
               "  strelmark remove lines-containing 'meta http' --out ~/site-new --mkdir "
               "~/site\n"
               "  strelmark remove blank-lines --ext txt --in-place --dry-run notes/\n"
               "\n"
               "See strelmark(1) for the details and the JSON fields.\n")
               .arg(std::max(1, QThread::idealThreadCount()));
}

}  // namespace Cli
