#include "base/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace Translations {

namespace {

// "de_DE.UTF-8@euro" -> "de_DE".
QString LocaleName(const QByteArray &value) {
    QString name = QString::fromLatin1(value);
    const qsizetype end = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    return end < 0 ? name : name.left(end);
}

}  // namespace

QStringList Languages() {
    QByteArray locale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qgetenv(variable);
        if (!locale.isEmpty())
            break;
    }
    const QString name = LocaleName(locale);
    if (name.isEmpty() || name == u"C" || name == u"POSIX")
        return {};
    QStringList languages;
    for (const QString &language : QString::fromLatin1(qgetenv("LANGUAGE")).split(u':'))
        if (!language.isEmpty())
            languages.append(LocaleName(language.toLatin1()));
    languages.append(name);
    // English is the program's own: the languages after it are never needed.
    for (qsizetype i = 0; i < languages.size(); ++i) {
        if (languages[i] == u"en" || languages[i].startsWith(QStringLiteral("en_")))
            return languages.mid(0, i);
    }
    return languages;
}

bool Install(const QString &folder) {
    for (const QString &language : Languages()) {
        auto *own = new QTranslator(QCoreApplication::instance());
        if (!own->load(QLocale(language), QStringLiteral("strelmark"), QStringLiteral("_"),
                       folder)) {
            delete own;
            continue;
        }
        QCoreApplication::installTranslator(own);
        // The buttons of message boxes and dialogs, when Qt's catalogues are installed.
        auto *qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        return true;
    }
    return false;
}

}  // namespace Translations
