#include "undo/Manifest.h"

#include <algorithm>
#include <charconv>

namespace Undo {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

template <class Number>
bool ReadNumber(std::string_view text, Number &number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        fields.push_back(line.substr(start, space - start));
        if (space == std::string_view::npos)
            return fields;
        start = space + 1;
    }
}

void AppendIdentity(std::string &line, const Identity &id) {
    line += ' ' + std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' +
            std::to_string(id.size) + ' ' + std::to_string(id.modifiedNs);
}

bool ReadIdentity(const std::vector<std::string_view> &fields, std::size_t at, Identity &id) {
    return ReadNumber(fields[at], id.device) && ReadNumber(fields[at + 1], id.inode) &&
           ReadNumber(fields[at + 2], id.size) && ReadNumber(fields[at + 3], id.modifiedNs);
}

// "k" and a number: nothing that could lead out of the run folder.
bool KeptNameIsPlain(std::string_view name) {
    return name.size() > 1 && name[0] == 'k' &&
           std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Calls `line` with each complete line of the text, without its LF.
template <class Each>
void ForEachLine(std::string_view text, Each &&line) {
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        if (!line(text.substr(0, end)))
            return;
        text.remove_prefix(end + 1);
    }
}

// A line of what the run was asked to do, into `what`; false when it is none.
bool ParseWhat(std::string_view line, UndoRunWhat &what) {
    if (line == "in-place") {
        what.inPlace = true;
        return true;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return false;
    const std::string_view key = line.substr(0, space);
    std::string *field = key == "operation"   ? &what.operation
                         : key == "condition" ? &what.condition
                         : key == "folder"    ? &what.folder
                                              : nullptr;
    return field && Unescape(line.substr(space + 1), *field);
}

}  // namespace

Identity IdentityOf(const struct stat &info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::uint64_t SpaceOf(const struct stat &info) {
    return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

std::string KeptName(std::size_t number) {
    std::string name(1, 'k');
    name += std::to_string(number);
    return name;
}

std::string Escape(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            text += c;
        } else {
            text += '%';
            text += hex[byte >> 4];
            text += hex[byte & 15];
        }
    }
    return text;
}

bool Unescape(std::string_view text, std::string &bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte <= 0x20 || byte >= 0x7F)
            return false;
        if (byte != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string FaceText(UndoFace face) {
    return face == UndoFace::CommandLine ? "command line" : "window";
}

std::string HeaderText(UndoFace face, const std::string &started) {
    return std::string(FormatLine) + "\nface " + FaceText(face) + "\nstarted " + started + "\n";
}

std::string WhatText(const UndoRunWhat &what) {
    std::string text;
    if (!what.operation.empty())
        text += "operation " + Escape(what.operation) + '\n';
    if (!what.condition.empty())
        text += "condition " + Escape(what.condition) + '\n';
    if (what.inPlace)
        text += "in-place\n";
    else if (!what.folder.empty())
        text += "folder " + Escape(what.folder) + '\n';
    return text;
}

std::string RecordLine(const Record &record) {
    std::string line = record.replaced ? "R " : "C ";
    line += Escape(record.target);
    line += ' ';
    line += record.replaced ? record.kept : "-";
    AppendIdentity(line, record.old);
    line += ' ' + std::to_string(record.keptBytes);
    AppendIdentity(line, record.fresh);
    if (record.hashed) {
        static const char hex[] = "0123456789abcdef";
        line += ' ';
        for (int shift = 60; shift >= 0; shift -= 4)
            line += hex[(record.freshHash >> shift) & 15];
    }
    line += '\n';
    return line;
}

std::string EndLine(std::size_t records, std::uint64_t bytes) {
    return "end " + std::to_string(records) + ' ' + std::to_string(bytes) + '\n';
}

std::optional<Record> ParseRecord(std::string_view line) {
    const std::vector<std::string_view> fields = Fields(line);
    if ((fields.size() != 12 && fields.size() != 13) || (fields[0] != "R" && fields[0] != "C"))
        return std::nullopt;
    Record record;
    record.replaced = fields[0] == "R";
    if (!Unescape(fields[1], record.target) || record.target.empty() || record.target[0] != '/')
        return std::nullopt;
    if (record.replaced ? !KeptNameIsPlain(fields[2]) : fields[2] != "-")
        return std::nullopt;
    if (record.replaced)
        record.kept = std::string(fields[2]);
    if (!ReadIdentity(fields, 3, record.old) || !ReadNumber(fields[7], record.keptBytes) ||
        !ReadIdentity(fields, 8, record.fresh))
        return std::nullopt;
    if (fields.size() == 13) {
        const std::string_view hash = fields[12];
        const auto [end, error] =
            std::from_chars(hash.data(), hash.data() + hash.size(), record.freshHash, 16);
        if (hash.size() != 16 || error != std::errc() || end != hash.data() + hash.size())
            return std::nullopt;
        record.hashed = true;
    }
    return record;
}

bool ParseEndLine(std::string_view line, std::size_t &records, std::uint64_t &bytes) {
    const std::vector<std::string_view> fields = Fields(line);
    return fields.size() == 3 && fields[0] == "end" && ReadNumber(fields[1], records) &&
           ReadNumber(fields[2], bytes);
}

Manifest ParseManifest(std::string_view text, bool wantRecords, ManifestTotals *totals) {
    Manifest manifest;
    ManifestTotals counted;
    std::size_t number = 0, endRecords = 0;
    std::uint64_t endBytes = 0;
    bool face = false, started = false, header = true, ended = false;
    const auto damaged = [&](std::string what) {
        if (manifest.damage.empty())
            manifest.damage = std::move(what);
    };
    const auto zeros = [](std::string_view line) {
        return std::all_of(line.begin(), line.end(), [](char c) { return c == '\0'; });
    };
    ForEachLine(text, [&](std::string_view line) {
        ++number;
        if (number == 1) {
            header = line == FormatLine || line == FormatLineWithoutHashes;
            std::uint64_t version = 0;
            if (!header && line.substr(0, 15) == "strelmark-undo " &&
                ReadNumber(line.substr(15), version) && version > 2)
                damaged("it is of a later format (version " + std::to_string(version) +
                        ") than this program reads");
            else if (!header)
                damaged("its first line is not the header of a run's record");
        } else if (number == 2 && line.substr(0, 5) == "face ") {
            const std::string_view value = line.substr(5);
            face = value == "window" || value == "command line";
            manifest.face = value == "command line" ? UndoFace::CommandLine : UndoFace::Window;
        } else if (number == 3 && line.substr(0, 8) == "started ") {
            manifest.started = std::string(line.substr(8));
            started = true;
        } else if (number <= 3) {
            header = false;
            damaged("its header does not read (line " + std::to_string(number) + ")");
        } else if (ended) {
            damaged("line " + std::to_string(number) + " follows the end of the record");
        } else if (counted.records == 0 && ParseWhat(line, manifest.what)) {
            // what the run was asked to do, before its first record
        } else if (std::optional<Record> record = ParseRecord(line)) {
            ++counted.records;
            counted.keptBytes += record->keptBytes;
            if (wantRecords)
                manifest.records.push_back(std::move(*record));
        } else if (ParseEndLine(line, endRecords, endBytes)) {
            ended = true;
        } else if (!zeros(line)) {
            damaged("line " + std::to_string(number) + " does not read");
        }
        return true;
    });
    const std::string_view tail = text.substr(text.rfind('\n') + 1);
    if (ended && endRecords != counted.records)
        damaged("its end counts " + std::to_string(endRecords) + " files, and " +
                std::to_string(counted.records) + " read");
    else if (ended && !zeros(tail))
        damaged("it goes on after its end");
    manifest.valid = header && face && started;
    if (!manifest.valid && manifest.damage.empty())
        damaged(number == 0 ? "it is empty" : "its header does not read");
    if (totals)
        *totals = counted;
    return manifest;
}

std::string NotKeptLine(const std::string &kept, const std::vector<std::string> &what) {
    std::string line = kept;
    for (const std::string &item : what)
        line += ' ' + Escape(item);
    return line + '\n';
}

NotKept ParseNotKept(std::string_view text) {
    NotKept notKept;
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string_view> fields = Fields(line);
        std::vector<std::string> what(fields.size() - 1);
        bool reads = KeptNameIsPlain(fields[0]) && fields.size() > 1;
        for (std::size_t i = 1; reads && i < fields.size(); ++i)
            reads = Unescape(fields[i], what[i - 1]) && !what[i - 1].empty();
        if (reads)
            notKept[std::string(fields[0])] = std::move(what);
        return true;
    });
    return notKept;
}

}  // namespace Undo
