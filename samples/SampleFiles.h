// The sample pages that come with the program: the list of them, recorded once at the first
// start, and the command that puts them into the file list.
//
// The list lives in the setting "Snapshot": the full paths, in the order the folder listing gave
// them, joined with "|" and scrambled. The paths are scrambled as their UTF-8 bytes and each
// scrambled byte is stored as the character with that code (1 to 255), so every path the file
// system can name comes back exactly, whatever characters it holds.
#pragma once

#include <QString>
#include <QStringList>

class FileListModel;
class WindowServices;

namespace Samples {

inline const QString SnapshotKey = QStringLiteral("Snapshot");

// In English; asked in the user's language (context "Samples").
inline const QString OpenFolderQuestion = QStringLiteral(QT_TRANSLATE_NOOP(
    "Samples",
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?"));

// The folder of sample pages beside the program, with its trailing separator.
QString SampleFolder(const QString &programFolder);

// Lists the sample folder and stores its files' full paths under "Snapshot". With no sample
// folder, or an empty one, the stored value is empty, so the next start lists it again.
void RecordSampleList(WindowServices &window);

// Appends every recorded sample that still exists and is not yet in the list, in the recorded
// order; then asks whether to open the sample folder (every time), and opens it on Yes.
void LoadSampleFiles(WindowServices &window, FileListModel &list);

// True when some row's text is exactly the path (letter case counts).
bool IsInList(const FileListModel &list, const QString &path);

// The stored form of a list of paths, and the paths back from it. An empty text holds no path.
QString SnapshotOf(const QStringList &paths);
QStringList PathsOf(const QString &snapshot);

}  // namespace Samples
