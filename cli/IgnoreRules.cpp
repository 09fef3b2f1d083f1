#include "cli/IgnoreRules.h"

#include "base/Main.h"
#include "cli/FolderSearch.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {

// Ignore files larger than this are not read (no real one comes near).
constexpr qint64 MostBytes = qint64(4) << 20;

// "[...]" at glob[at] against the character c; `at` is moved past the set. False with `at`
// unmoved when the set has no closing "]" (the "[" is then a plain character).
bool SetMatches(QStringView glob, qsizetype &at, QChar c, bool &matched) {
    qsizetype k = at + 1;
    const bool negated = k < glob.size() && (glob[k] == u'!' || glob[k] == u'^');
    if (negated)
        ++k;
    bool found = false;
    for (bool first = true; k < glob.size() && (first || glob[k] != u']'); first = false) {
        QChar low = glob[k];
        if (low == u'\\' && k + 1 < glob.size())
            low = glob[++k];
        ++k;
        QChar high = low;
        if (k + 1 < glob.size() && glob[k] == u'-' && glob[k + 1] != u']') {
            high = glob[k + 1];
            if (high == u'\\' && k + 2 < glob.size())
                high = glob[++k + 1];
            k += 2;
        }
        found = found || (c >= low && c <= high);
    }
    if (k >= glob.size())
        return false;
    at = k + 1;
    matched = found != negated;
    return true;
}

// A match failed; NoMatchToEnd: it ran out of text, so that no later start of an earlier "*"
// can match either (each only leaves less text): the search for one stops at once, and a glob
// of many stars costs time in proportion to the text, not to a power of it.
enum class Found { Match, NoMatch, NoMatchToEnd };

Found MatchFrom(QStringView glob, qsizetype g, QStringView text, qsizetype t) {
    while (g < glob.size()) {
        const QChar c = glob[g];
        if (c == u'*') {
            const bool doubled = g + 1 < glob.size() && glob[g + 1] == u'*';
            const bool ownName = (g == 0 || glob[g - 1] == u'/') &&
                                 (g + 2 == glob.size() || (doubled && glob[g + 2] == u'/'));
            if (doubled && ownName) {
                if (g + 2 == glob.size())
                    return Found::Match;  // "/**" at the end: everything below
                // "**/": no folder, or any number of them.
                for (qsizetype k = t;;) {
                    const Found found = MatchFrom(glob, g + 3, text, k);
                    if (found != Found::NoMatch)
                        return found;
                    k = text.indexOf(u'/', k);
                    if (k < 0)
                        return Found::NoMatchToEnd;
                    ++k;
                }
            }
            while (g < glob.size() && glob[g] == u'*')
                ++g;
            for (qsizetype k = t; k <= text.size(); ++k) {
                const Found found = MatchFrom(glob, g, text, k);
                if (found != Found::NoMatch)
                    return found;
                if (k < text.size() && text[k] == u'/')
                    return Found::NoMatch;
            }
            return Found::NoMatchToEnd;
        }
        if (t >= text.size())
            return Found::NoMatchToEnd;
        if (c == u'?') {
            if (text[t] == u'/')
                return Found::NoMatch;
            ++g;
            ++t;
            continue;
        }
        if (c == u'[') {
            bool matched = false;
            qsizetype at = g;
            if (text[t] != u'/' && SetMatches(glob, at, text[t], matched)) {
                if (!matched)
                    return Found::NoMatch;
                g = at;
                ++t;
                continue;
            }
        }
        QChar plain = c;
        if (c == u'\\' && g + 1 < glob.size())
            plain = glob[++g];
        if (plain != text[t])
            return Found::NoMatch;
        ++g;
        ++t;
    }
    return t == text.size() ? Found::Match : Found::NoMatch;
}

// The lines of an ignore file, or nothing when it cannot be read.
QStringList LinesOf(const QString &file) {
    const int fd = ::open(Main::PathBytes(file).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    std::string text;
    struct stat info;
    bool whole = ::fstat(fd, &info) == 0 && info.st_size <= MostBytes;
    for (char buffer[16384]; whole;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            whole = got == 0;
            break;
        }
        text.append(buffer, std::size_t(got));
        whole = qint64(text.size()) <= MostBytes;
    }
    ::close(fd);
    return whole ? QString::fromUtf8(text).split(u'\n') : QStringList();
}

// What is at `path`: 'd' a folder, 'f' a regular file, 0 anything else or nothing.
char KindOf(const QString &path) {
    struct stat info;
    if (::stat(Main::PathBytes(path).c_str(), &info) != 0)
        return 0;
    return S_ISDIR(info.st_mode) ? 'd' : S_ISREG(info.st_mode) ? 'f' : 0;
}

// The repository's own folder for the work tree `top` (whose ".git" is a folder, or a file
// that names the folder, as for a linked work tree), or empty.
QString GitFolder(const QString &top) {
    QString dotGit = top + QStringLiteral("/.git");
    const char kind = KindOf(dotGit);
    if (kind == 'd')
        return dotGit;
    if (kind != 'f')
        return {};
    const QStringList lines = LinesOf(dotGit);
    if (lines.isEmpty() || !lines[0].startsWith(QStringLiteral("gitdir: ")))
        return {};
    QString folder = QDir(top).absoluteFilePath(lines[0].mid(8).trimmed());
    // A linked work tree keeps its exclude file in the repository's common folder.
    const QStringList common = LinesOf(folder + QStringLiteral("/commondir"));
    if (!common.isEmpty() && !common[0].trimmed().isEmpty())
        folder = QDir(folder).absoluteFilePath(common[0].trimmed());
    return folder;
}

}  // namespace

std::optional<Glob> Glob::Parse(QStringView line) {
    if (line.endsWith(u'\r'))
        line.chop(1);
    if (line.isEmpty() || line[0] == u'#')
        return std::nullopt;
    Glob glob;
    if (line[0] == u'!') {
        glob.negated_ = true;
        line = line.mid(1);
    }
    // Trailing blanks go, unless a backslash keeps the one after it.
    while (!line.isEmpty() && line.back() == u' ' &&
           !(line.size() >= 2 && line[line.size() - 2] == u'\\'))
        line.chop(1);
    if (line.endsWith(u'/') && !line.endsWith(QStringLiteral("\\/"))) {
        glob.foldersOnly_ = true;
        while (line.endsWith(u'/'))
            line.chop(1);
    }
    if (line.isEmpty())
        return std::nullopt;
    glob.anchored_ = line.contains(u'/');
    if (line.startsWith(u'/'))
        line = line.mid(1);
    glob.pattern_ = line.toString();
    return glob;
}

bool Glob::matches(QStringView path, QStringView name, bool folder) const {
    if (foldersOnly_ && !folder)
        return false;
    return GlobMatches(pattern_, anchored_ ? path : name);
}

bool GlobMatches(QStringView glob, QStringView text) {
    return MatchFrom(glob, 0, text, 0) == Found::Match;
}

IgnoreRules::Verdict IgnoreRules::judge(QStringView path, QStringView name, bool folder) const {
    for (const IgnoreRules *rules = this; rules != nullptr; rules = rules->parent_.get()) {
        for (auto level = rules->levels_.rbegin(); level != rules->levels_.rend(); ++level) {
            const QString own = level->prefix + path.mid(level->strip).toString();
            for (auto glob = level->globs.rbegin(); glob != level->globs.rend(); ++glob) {
                if (glob->matches(own, name, folder))
                    return glob->negated() ? Verdict::Kept : Verdict::Ignored;
            }
        }
    }
    return Verdict::None;
}

bool IgnoreRules::AddFile(std::vector<Level> &levels, const QString &file, const QString &prefix,
                          qsizetype strip) {
    Level level;
    level.prefix = prefix;
    level.strip = strip;
    for (const QString &line : LinesOf(file)) {
        if (std::optional<Glob> glob = Glob::Parse(line))
            level.globs.push_back(std::move(*glob));
    }
    if (level.globs.empty())
        return false;
    levels.push_back(std::move(level));
    return true;
}

std::shared_ptr<const IgnoreRules> IgnoreRules::ForSearchedFolder(const QString &folder) {
    const std::string real = RealPath(Main::PathBytes(folder));
    const QString searched = Main::PathText(real);
    if (searched.isEmpty())
        return nullptr;
    // The work tree's top: the nearest folder at or above the searched one that holds ".git".
    QString top;
    for (QString at = searched;; at = QFileInfo(at).path()) {
        if (!GitFolder(at).isEmpty()) {
            top = at;
            break;
        }
        if (at == QStringLiteral("/"))
            break;
    }
    auto rules = std::make_shared<IgnoreRules>();
    auto add = [&](const QString &base, const QString &file) {
        QString prefix = QDir(base).relativeFilePath(searched);
        prefix = prefix == u"." ? QString() : prefix + u'/';
        AddFile(rules->levels_, file, prefix, 0);
    };
    if (!top.isEmpty()) {
        add(top, GitFolder(top) + QStringLiteral("/info/exclude"));
        QStringList above;  // the folders from the top down to the searched one's parent
        for (QString at = searched; at != top; at = QFileInfo(at).path())
            above.prepend(QFileInfo(at).path());
        for (const QString &base : std::as_const(above)) {
            add(base, base + QStringLiteral("/.gitignore"));
            add(base, base + QStringLiteral("/.ignore"));
        }
    }
    add(searched, searched + QStringLiteral("/.gitignore"));
    add(searched, searched + QStringLiteral("/.ignore"));
    if (rules->levels_.empty())
        return nullptr;
    return rules;
}

std::shared_ptr<const IgnoreRules> IgnoreRules::Below(std::shared_ptr<const IgnoreRules> parent,
                                                      const QString &folder,
                                                      const QString &relative, bool hasGitIgnore,
                                                      bool hasIgnore) {
    if (!hasGitIgnore && !hasIgnore)
        return parent;
    auto rules = std::make_shared<IgnoreRules>();
    if (hasGitIgnore)
        AddFile(rules->levels_, folder + QStringLiteral(".gitignore"), QString(), relative.size());
    if (hasIgnore)
        AddFile(rules->levels_, folder + QStringLiteral(".ignore"), QString(), relative.size());
    if (rules->levels_.empty())
        return parent;
    rules->parent_ = std::move(parent);
    return rules;
}

}  // namespace Cli
