// The start-up routines of the main window that need no widgets.
#pragma once

#include <QString>

class Platform;

namespace Main {

inline const QString ProductTitle = QStringLiteral("Strelmark");
inline const QString HomePage = QStringLiteral("https://www.brindlewick.example/strelmark");
// The name of the program's desktop entry without ".desktop": the application id under Wayland,
// and the name of its icon in the icon theme.
inline const QString DesktopId = QStringLiteral("example.brindlewick.Strelmark");

// The product title without its last word, cut again while longer than 40 characters. A
// title without a space is kept whole.
QString ApplicationTitleFor(const QString &productTitle);

// The folder the program finds its pointer pictures, skin and sample pages in, without a
// trailing separator. It is the executable's own folder when those files lie beside it (the
// build tree, an unpacked portable folder); else `<executable folder>/../share/strelmark` when
// that folder exists (an installed program); else the executable's own folder.
QString ProgramFolder(const QString &executableFolder);
// The same for the running program's executable.
QString ProgramFolder();

// True when the date and time of the path's last change can be read; never fails.
bool IsFilePresent(const QString &path);

// Opens the maker's home page on one start in a hundred: the draw, seeded from the clock,
// gives n from 1 to 100, and only 7 opens it. Fails when no browser could be started.
void OpenHomePageAtRandom(Platform &platform);

// The user's desktop folder followed by the separator. Fails with "Invalid procedure call or
// argument" when the desktop folder cannot be found.
QString DesktopFolder(Platform &platform);

}  // namespace Main
