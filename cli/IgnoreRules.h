// Globs as gitignore(5) writes them, and what the ignore files of a folder tree say of a path
// below it: the command line's --glob and --exclude, and --gitignore.
//
// A pattern is matched against the path below the folder it belongs to ("a/b/c.html", "/"
// between names). A pattern with a "/" before its end is anchored there; one without is
// matched against the last name alone, at any depth. "*" and "?" stand for anything but "/"
// (and "?" for one character), "[...]" for one of a set ("[!...]" for one not in it), "\" makes
// the next character plain; "**/" at the start or in the middle stands for any number of
// folders, "/**" at the end for everything below. A pattern ending in "/" matches folders only;
// "!" in front of a line of an ignore file takes back what an earlier line left out. Letter case
// counts, as in git.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

namespace Cli {

class Glob {
public:
    // One line of an ignore file or a word of --glob/--exclude; nothing for a line that holds
    // no pattern (empty, or a comment).
    static std::optional<Glob> Parse(QStringView line);

    // `path`: below the pattern's folder, its last name `name`; `folder`: it names a folder.
    bool matches(QStringView path, QStringView name, bool folder) const;
    bool negated() const { return negated_; }

private:
    QString pattern_;
    bool negated_ = false;
    bool foldersOnly_ = false;
    bool anchored_ = false;
};

// Whether `text` matches the whole glob (the rules above; "/" is only ever matched by "/" or
// "**").
bool GlobMatches(QStringView glob, QStringView text);

// What the ignore files that hold in one folder say. Each folder shares its parent's rules
// and adds the patterns of its own files on top: the nearest file's last matching pattern
// decides, ".ignore" over ".gitignore" in one folder, and a repository's .git/info/exclude
// counts least.
class IgnoreRules {
public:
    enum class Verdict { None, Ignored, Kept };

    // `path` below the searched folder ("" for the searched folder itself is never asked).
    Verdict judge(QStringView path, QStringView name, bool folder) const;

    // The rules of the searched folder `folder` (an absolute path): those of the folders
    // above it inside its git repository (and the repository's info/exclude), with its own
    // files on top. Null when none of these files holds a pattern.
    static std::shared_ptr<const IgnoreRules> ForSearchedFolder(const QString &folder);
    // The rules of a folder below the searched one (`relative` to it, ending with "/"), whose
    // entries include the ignore files named by `has`: its parent's, with its own on top.
    static std::shared_ptr<const IgnoreRules> Below(std::shared_ptr<const IgnoreRules> parent,
                                                    const QString &folder, const QString &relative,
                                                    bool hasGitIgnore, bool hasIgnore);

private:
    struct Level {
        std::vector<Glob> globs;  // the later ones win
        // A path below the searched folder, less its first `strip` characters and with
        // `prefix` in front, is the path below this level's folder.
        QString prefix;
        qsizetype strip = 0;
    };
    static bool AddFile(std::vector<Level> &levels, const QString &file, const QString &prefix,
                        qsizetype strip);

    std::shared_ptr<const IgnoreRules> parent_;
    std::vector<Level> levels_;  // the nearest last
};

}  // namespace Cli
