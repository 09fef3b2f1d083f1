#include "cli/Completion.h"

#include "cli/OptionTable.h"
#include "text/OperationTable.h"

#include <QStringList>

namespace Cli {

namespace {

QString Candidate(const QString &word, const char *description) {
    if (description == nullptr)
        return word + u'\n';
    const QString text = QString::fromUtf8(description);
    return word + u'\t' + text.left(text.indexOf(u'\n')) + u'\n';
}

QString ValuesOf(const OptionInfo &info, const QString &prefix) {
    switch (info.value) {
        case ValueKind::Folder:
            return QStringLiteral(":folders\n");
        case ValueKind::File:
            return QStringLiteral(":files\n");
        case ValueKind::Choice: {
            QString lines;
            for (const QString &choice : QString::fromUtf8(info.choices).split(u' '))
                lines += Candidate(prefix + choice, nullptr);
            return lines;
        }
        case ValueKind::None:
        case ValueKind::Word:
            break;
    }
    return QStringLiteral(":none\n");
}

QString OptionsOf(unsigned command, const std::string &current) {
    // "--color=al": the values of the option, with its name in front.
    if (const std::size_t equals = current.find('=');
        current.starts_with("--") && equals != std::string::npos) {
        const OptionInfo *info = LongOption(current.substr(2, equals - 2), command);
        if (info == nullptr || info->valueName == nullptr)
            return QStringLiteral(":none\n");
        return ValuesOf(*info, QString::fromStdString(current.substr(0, equals + 1)));
    }
    QString lines;
    for (const OptionInfo &info : OptionTable) {
        if ((info.commands & command) != 0)
            lines += Candidate(QStringLiteral("--") + QLatin1String(info.name), info.help);
    }
    return lines;
}

// What the words after the command leave open at the next one.
struct State {
    const OptionInfo *pending = nullptr;  // an option whose value comes next
    bool ended = false;                   // "--" was typed
    bool operation = false;               // the operation was typed
    bool operand = false;                 // its operand comes next
};

void Read(State &state, const std::string &word, unsigned command) {
    if (state.pending != nullptr || state.operand) {
        state.pending = nullptr;
        state.operand = false;
        return;
    }
    if (!state.ended && word == "--") {
        state.ended = true;
    } else if (!state.ended && word.starts_with("--")) {
        const OptionInfo *info = LongOption(word.substr(2), command);
        if (info != nullptr && info->valueName != nullptr)
            state.pending = info;
    } else if (!state.ended && word.size() > 1 && word[0] == '-') {
        for (std::size_t at = 1; at < word.size(); ++at) {
            const OptionInfo *info = ShortOption(word[at], command);
            if (info != nullptr && info->valueName != nullptr) {
                if (at + 1 == word.size())
                    state.pending = info;
                break;
            }
        }
    } else if (command == RemoveCommand && !state.operation) {
        state.operation = true;
        const Operations::OperationInfo *operation = Operations::OperationNamed(word);
        state.operand = operation != nullptr && operation->operand != Operations::Operand::None;
    }
}

}  // namespace

QString Complete(const std::vector<std::string> &words) {
    const std::string current = words.empty() ? std::string() : words.back();
    if (words.size() <= 1) {
        QString lines = Candidate(QStringLiteral("remove"), "remove lines or characters") +
                        Candidate(QStringLiteral("undo"), "take the last run back");
        if (current.starts_with('-'))
            lines += Candidate(QStringLiteral("--help"), "print the help and exit") +
                     Candidate(QStringLiteral("--version"), "print the version and exit");
        return lines;
    }
    unsigned command = 0;
    if (words[0] == "remove")
        command = RemoveCommand;
    else if (words[0] == "undo")
        command = UndoCommand;
    if (command == 0)
        return QStringLiteral(":none\n");
    State state;
    for (std::size_t k = 1; k + 1 < words.size(); ++k)
        Read(state, words[k], command);
    if (state.pending != nullptr)
        return ValuesOf(*state.pending, QString());
    if (state.operand)
        return QStringLiteral(":none\n");
    if (!state.ended && current.starts_with('-') && current != "-")
        return OptionsOf(command, current);
    if (command == UndoCommand)
        return QStringLiteral(":none\n");
    if (!state.operation) {
        QString lines;
        for (const Operations::OperationInfo &info : Operations::OperationTable)
            lines += Candidate(QLatin1String(info.name), info.summary);
        return lines;
    }
    return QStringLiteral(":files\n");
}

}  // namespace Cli
