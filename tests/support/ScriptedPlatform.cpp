#include "support/ScriptedPlatform.h"

void ScriptedPlatform::record(Shown entry) {
    shown.append(entry);
    if (onShown)
        onShown(entry);
}

QList<ScriptedPlatform::Shown> ScriptedPlatform::shownOfKind(Kind kind) const {
    QList<Shown> result;
    for (const Shown &entry : shown)
        if (entry.kind == kind)
            result.append(entry);
    return result;
}

QStringList ScriptedPlatform::messages() const {
    QStringList result;
    for (const Shown &entry : shownOfKind(Kind::Message))
        result.append(entry.text);
    return result;
}

QStringList ScriptedPlatform::details() const {
    QStringList result;
    for (const Shown &entry : shownOfKind(Kind::Message))
        result.append(entry.details);
    return result;
}

void ScriptedPlatform::messageBox(const QString &text, const QString &title, Icon icon,
                                  const QString &details) {
    record({Kind::Message, text, titleOrDefault(title), icon, {}, details});
}

bool ScriptedPlatform::askYesNo(const QString &text, const QString &title) {
    record({Kind::Question, text, titleOrDefault(title), Icon::None, {}, {}});
    return yesNoAnswers.isEmpty() ? false : yesNoAnswers.dequeue();
}

QString ScriptedPlatform::inputBox(const QString &prompt, const QString &title,
                                   const QString &defaultAnswer) {
    record({Kind::Input, prompt, titleOrDefault(title), Icon::None, defaultAnswer, {}});
    return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
}

int ScriptedPlatform::chooseRow(const QString &prompt, const QStringList &columns,
                                const QList<QStringList> &rows, const QString &accept,
                                const QString &title) {
    choiceRows = rows;
    record({Kind::Choice, prompt, titleOrDefault(title), Icon::None, accept, columns.join(u'\t')});
    return rowAnswers.isEmpty() ? -1 : rowAnswers.dequeue();
}

QStringList ScriptedPlatform::openFiles(const QString &title, const QString &filter) {
    record({Kind::OpenFiles, filter, title, Icon::None, {}, {}});
    return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
}

QString ScriptedPlatform::browseFolder(const QString &prompt, const QString &initialFolder) {
    record({Kind::BrowseFolder, prompt, {}, Icon::None, initialFolder, {}});
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

bool ScriptedPlatform::openUrl(const QString &url) {
    record({Kind::OpenUrl, url, {}, Icon::None, {}, {}});
    return openSucceeds;
}

bool ScriptedPlatform::openFolder(const QString &path) {
    record({Kind::OpenFolder, path, {}, Icon::None, {}, {}});
    return openSucceeds;
}

double ScriptedPlatform::randomDraw() {
    return randomDraws.isEmpty() ? 0.5 : randomDraws.dequeue();
}
