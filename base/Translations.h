// The catalogue of the user's language: the texts of the window and of the command line in
// German, French, Spanish or Russian (translations/strelmark_<language>.qm in the program's
// folder). English is the program's own language and needs none.
#pragma once

#include <QString>
#include <QStringList>

namespace Translations {

// The languages the user reads messages in, best first, as the C library chooses them: the
// locale of LC_ALL, else of LC_MESSAGES, else of LANG, preceded by LANGUAGE's list when it is
// set; the list ends before English, the program's own language. Empty under the C or POSIX
// locale, under English, or when nothing is set.
QStringList Languages();

// Installs in the application the catalogue of the first of Languages() that `folder` holds
// one for, and Qt's own catalogue of that language where Qt's are installed. False when none of
// ours was found (the texts stay English). Needs the application object.
bool Install(const QString &folder);

}  // namespace Translations
