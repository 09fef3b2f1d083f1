// The window's commands that add files (the file dialog, a folder's tree, a drop onto the list)
// and choose the output folder.

#include "app/Form1.h"
#include "base/ErrorReport.h"
#include "base/Main.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>

namespace {

const char *const PickerPrompt = QT_TRANSLATE_NOOP("Form1", "Please select folder:");

// The file dialog hands back a selection in a buffer of this many characters.
constexpr qsizetype SelectionBufferSize = 30000;

// Whether the dialog's buffer can hold the selection. The dialog gives one file as its full
// path, and several as their folder (without a trailing separator, except the root) followed
// by each name, the parts separated by NUL characters. The buffer also holds the text's
// closing NUL, and for several files a second one that ends the list.
bool FitsSelectionBuffer(const QStringList &paths) {
    if (paths.isEmpty())
        return true;  // cancelled
    if (paths.size() == 1)
        return paths.first().size() + 1 <= SelectionBufferSize;
    QString folder = Main::GetFolderPath(paths.first());
    if (folder.size() > 1)
        folder.chop(1);
    qsizetype length = folder.size() + 2;
    for (const QString &path : paths)
        length += 1 + Main::GetFileName(path).size();
    return length <= SelectionBufferSize;
}

}  // namespace

// "Add HTML Files": the picked files become rows, in the dialog's order.
void Form1::PushButton1_Click() {
    Guard guard(platform_, Location::form1("PushButton1_Click"));
    QStringList picked;
    bool tooMany = false;

    guard.step(100, [&] {
        picked = platform_.openFiles(tr("Add File(s) - Hold Ctrl to select multiple files"),
                                     tr("HTML Files (*.htm*)"));
        tooMany = !FitsSelectionBuffer(picked);
    });
    if (tooMany) {
        platform_.messageBox(
            tr("You've selected too many files to add.\r\rPlease try adding via the "
               "\"Add All\" button."));
        return;
    }
    if (guard.test(102, [&] { return picked.isEmpty(); }))
        return;
    // One file is added exactly as the dialog gave it; several are cleaned, since their folder
    // and names were put together.
    if (guard.test(104, [&] { return picked.size() == 1; })) {
        guard.step(106, [&] { fileList->append(picked.first()); });
        return;
    }
    for (const QString &path : std::as_const(picked))
        guard.step(108, [&] { fileList->append(Main::CollapseBackslashes(path)); });
}

// "...": the output folder chosen in the folder picker.
void Form1::PushButton4_Click() {
    Guard guard(platform_, Location::form1("PushButton4_Click"));
    QString folder;

    guard.step(100, [&] {
        folder = AddFolder::BrowseFolder(platform_, tr(PickerPrompt),
                                         settings_.get(QStringLiteral("LastFolderDot"), {}));
    });
    if (guard.test(102, [&] { return folder.isEmpty(); }))
        return;
    guard.step(104, [&] { settings_.save(QStringLiteral("LastFolderDot"), folder); });
    if (guard.test(106, [&] { return !folder.endsWith(Main::NativeSeparator); }))
        guard.step(108, [&] { Text2->setText(folder + Main::NativeSeparator); });
    else
        guard.step(110, [&] { Text2->setText(folder); });
}

// "Add All HTML Files In Folder": every file with the given extension in the chosen folder and
// all folders below it.
void Form1::PushButton5_Click() {
    Guard guard(platform_, Location::form1("PushButton5_Click"));
    QString extension;
    QString chosen;
    QStringList folders;
    BusyScope busy(*this);

    guard.step(100, [&] {
        extension = platform_.inputBox(
            tr("Enter file extension to load:\r\r(* for all files, txt for all txt "
               "files, doc for all doc files, etc.)"),
            {}, settings_.get(QStringLiteral("Extension"), QStringLiteral("html")));
    });
    // The extension is kept before the folder is asked for, so that it stays even when the
    // folder is not chosen.
    if (guard.test(102, [&] { return !extension.isEmpty(); }))
        guard.step(104, [&] { settings_.save(QStringLiteral("Extension"), extension); });
    else
        return;

    guard.step(106, [&] {
        chosen = AddFolder::BrowseFolder(platform_, tr(PickerPrompt),
                                         settings_.get(QStringLiteral("LastFolder"), {}));
    });
    if (guard.test(108, [&] { return chosen.isEmpty(); }))
        return;
    guard.step(110, [&] { settings_.save(QStringLiteral("LastFolder"), chosen); });

    guard.step(112, [&] { busy.begin(); });
    try {
        guard.step(114, [&] { folders.append(chosen + Main::NativeSeparator); });
        guard.step(114, [&] { searchFolders(folders); });
        guard.step(116, [&] {
            const AddFolder::KeptAway away = undoStoreKeptAway();
            AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.") + extension, *fileList,
                                           folders_, &away);
        });
    } catch (const CommandStopped &) {
        // The user stopped the walk: the rows appended so far stay, and it ends as it ends.
    }
    // Inside a run's yield the run's hourglass stays: the window is busy until the run ends.
    guard.step(118, [&] { busy.end(MousePointer::Default); });
}

void Form1::searchFolders(QStringList &folders) {
    QStringList skipped;
    AddFolder::GetSubDirectories2016(platform_, folders, true, folders_, &skipped);
    fileList->addSkipped(skipped);
    passOverUndoStore(folders);
}

QStringList Form1::undoStoreSpellings() const {
    // By its path as set and as its links resolve (the walk's folders keep the spelling of the
    // folder chosen).
    QStringList store{QDir::cleanPath(undo_->folder())};
    if (const QString real = QFileInfo(undo_->folder()).canonicalFilePath(); !real.isEmpty())
        store.append(real);
    store.removeIf([](const QString &own) { return own.isEmpty() || own == QStringLiteral("/"); });
    return store;
}

bool Form1::IsInUndoStore(const QString &path, const QStringList &store) {
    return std::any_of(store.begin(), store.end(), [&](const QString &own) {
        return path.startsWith(own + u'/') || path == own;
    });
}

AddFolder::KeptAway Form1::undoStoreKeptAway() const {
    const QString real = QFileInfo(undo_->folder()).canonicalFilePath();
    return {real.isEmpty() ? std::string() : QFile::encodeName(real).toStdString(),
            tr("Skipped: a file in the undo store")};
}

void Form1::passOverUndoStore(QStringList &folders) const {
    const QStringList store = undoStoreSpellings();
    folders.removeIf([&](const QString &folder) { return IsInUndoStore(folder, store); });
}

void Form1::OpenGiven(const QStringList &paths) {
    Guard guard(platform_, Location::form1("OpenGiven"));
    BusyScope busy(*this);
    QString extension = settings_.get(QStringLiteral("Extension"), QStringLiteral("html"));
    if (extension.isEmpty())
        extension = QStringLiteral("html");
    guard.step(100, [&] { busy.begin(); });
    try {
        for (const QString &given : paths) {
            const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
            if (!Main::FolderExists(path)) {
                guard.step(102, [&] { fileList->append(path); });
                continue;
            }
            // The folder as the picker would give it: no trailing separator but the root's.
            QStringList folders{path + Main::NativeSeparator};
            guard.step(104, [&] { searchFolders(folders); });
            guard.step(106, [&] {
                const AddFolder::KeptAway away = undoStoreKeptAway();
                AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.") + extension, *fileList,
                                               folders_, &away);
            });
        }
    } catch (const CommandStopped &) {
        // The user stopped a search: the rows appended so far stay.
    } catch (const CommandAbandoned &) {
        return;  // the window was closed meanwhile: the program ends
    }
    guard.step(108, [&] { busy.end(MousePointer::Default); });
}

// Files and folders dropped onto the list. No report of its own and no busy pointer: "Clear
// List" and double-click removal keep working while a dropped folder is walked, and a second
// drop meanwhile adds its rows where it comes.
void Form1::ListView1_OLEDragDrop(const QStringList &paths) {
    const QStringList store = undoStoreSpellings();
    for (const QString &path : paths) {
        if (Main::FolderExists(path)) {
            QStringList folders{path + Main::NativeSeparator};
            searchFolders(folders);
            const AddFolder::KeptAway away = undoStoreKeptAway();
            AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.*"), *fileList, folders_,
                                           &away);
        } else if (const QString real = QFileInfo(path).canonicalFilePath();
                   IsInUndoStore(path, store) || (!real.isEmpty() && IsInUndoStore(real, store))) {
            // The store's records and kept files are never a run's files, a link to one neither.
            fileList->addSkipped(
                {tr("Skipped: a file in the undo store") + QStringLiteral(": ") + path});
        } else {
            fileList->append(path);  // a file, taken as it is
        }
    }
}
