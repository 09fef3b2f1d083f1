// Folders opened as the system opens them, counted, and with one that fails as the system would
// with a given error: a folder denied, gone or broken without making it so.
#pragma once

#include "filelist/AddFolder.h"

#include <QString>

#include <utility>

class ScriptedFolders : public AddFolder::FolderAccess {
public:
    ScriptedFolders() = default;
    // Opening `folder` (without trailing separators, as the walk asks for it) fails with `error`.
    ScriptedFolders(QString folder, int error) : failing_(std::move(folder)), error_(error) {}

    DIR *open(const QString &folder, int &error) override {
        ++opened_;
        if (error_ != 0 && folder == failing_) {
            error = error_;
            return nullptr;
        }
        return FolderAccess::open(folder, error);
    }

    // The folders asked for so far, failed ones included.
    int opened() const { return opened_; }

private:
    QString failing_;
    int error_ = 0;
    int opened_ = 0;
};
