#include "settings/ProfileFile.h"

#include "settings/ProfileStorage.h"

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Line {
    std::string text;       // without its line end
    std::string terminator; // "\r\n", "\n" or "" for a last line without one
};

// A byte-order mark some editors put before the first line: not part of it
// when reading (the first section would be lost), put back when rewriting.
std::string TakeByteOrderMark(std::string& contents) {
    static const std::string mark = "\xEF\xBB\xBF";
    if (contents.compare(0, mark.size(), mark) != 0)
        return {};
    contents.erase(0, mark.size());
    return mark;
}

std::vector<Line> SplitLines(const std::string& contents) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < contents.size()) {
        const size_t lf = contents.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back({contents.substr(start), ""});
            break;
        }
        size_t end = lf;
        if (end > start && contents[end - 1] == '\r')
            --end;
        lines.push_back({contents.substr(start, end - start), contents.substr(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last + 1 - first);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The name of a "[name]" line, or false for any other line.
bool SectionName(const std::string& text, std::string& name) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() != '[')
        return false;
    const size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Splits a "key=value" line; comment lines and lines without "=" hold no key.
bool KeyLine(const std::string& text, std::string& key, std::string& value) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
        return false;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    return true;
}

// The file a write must change: a symbolic link (a chain of them, relative
// ones read from the link's own folder) is followed to its target, so that the
// link stays a link. False for a loop or an unreadable link.
bool FinalTarget(const std::string& path, std::string& target) {
    fs::path current = fs::u8path(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(current, error);
        if (error && error != std::errc::no_such_file_or_directory)
            return false;
        if (!fs::is_symlink(status)) {
            target = current.u8string(); // a missing file is made here
            return true;
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return false;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return false;
}

} // namespace

bool ProfileFile::Read(const std::string& section, const std::string& key,
                       std::string& value) const {
    std::string contents;
    if (ProfileStorage::Load(path, contents) != ProfileStorage::LoadResult::Loaded)
        return false;
    TakeByteOrderMark(contents);
    bool inSection = false;
    for (const Line& line : SplitLines(contents)) {
        std::string name, lineKey, lineValue;
        if (SectionName(line.text, name)) {
            if (inSection)
                return false; // the first section of that name is the one read
            inSection = SameName(name, section);
        } else if (inSection && KeyLine(line.text, lineKey, lineValue) && SameName(lineKey, key)) {
            value = lineValue;
            return true;
        }
    }
    return false;
}

bool ProfileFile::Write(const std::string& section, const std::string& key,
                        const std::string& value) const {
    // A line end inside a name or value would plant lines of its own in the file,
    // and a name that would not read back as itself would report a lost value as
    // written: refuse both.
    const auto breaksLine = [](const std::string& t) { return t.find_first_of("\r\n") != t.npos; };
    const auto readsBack = [](const std::string& name) { return Trim(name) == name; };
    if (breaksLine(section) || breaksLine(key) || breaksLine(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos ||
        !readsBack(section) || !readsBack(key) ||
        (!key.empty() && (key.front() == ';' || key.front() == '#' || key.front() == '[')))
        return false;

    std::string contents;
    if (ProfileStorage::Load(path, contents) == ProfileStorage::LoadResult::Failed)
        return false;
    std::string output = TakeByteOrderMark(contents);
    std::vector<Line> lines = SplitLines(contents);
    const Line newKey{key + "=" + value, "\r\n"};

    // locate the first section of that name: its header and the end of its lines
    size_t header = lines.size();
    size_t end = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (!SectionName(lines[i].text, name))
            continue;
        if (header < lines.size()) {
            end = i;
            break;
        }
        if (SameName(name, section))
            header = i;
    }

    if (header == lines.size()) {
        if (!lines.empty() && lines.back().terminator.empty())
            lines.back().terminator = "\r\n";
        lines.push_back({"[" + section + "]", "\r\n"});
        lines.push_back(newKey);
    } else {
        size_t found = end;
        size_t lastFilled = header;
        for (size_t i = header + 1; i < end; ++i) {
            std::string lineKey, lineValue;
            if (KeyLine(lines[i].text, lineKey, lineValue) && SameName(lineKey, key)) {
                found = i;
                break;
            }
            if (!Trim(lines[i].text).empty())
                lastFilled = i;
        }
        if (found < end) {
            lines[found].text = newKey.text;
            if (lines[found].terminator.empty())
                lines[found].terminator = "\r\n";
        } else {
            // after the section's last line, before the blank lines that part it from the next
            if (lines[lastFilled].terminator.empty())
                lines[lastFilled].terminator = "\r\n";
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1), newKey);
        }
    }

    for (const Line& line : lines)
        output += line.text + line.terminator;

    std::error_code error;
    const fs::path folder = fs::u8path(path).parent_path();
    if (!folder.empty())
        fs::create_directories(folder, error);
    std::string target;
    return FinalTarget(path, target) && ProfileStorage::Replace(target, output);
}

namespace ProfileStorage {

std::string TempPrefix(const std::string& path) {
    return path + ".tmp";
}

void RemoveAbandonedTemps(const std::string& path) {
    const fs::path prefix = fs::u8path(TempPrefix(path));
    const std::string start = prefix.filename().u8string();
    std::error_code error;
    fs::directory_iterator entries(prefix.has_parent_path() ? prefix.parent_path() : fs::path("."),
                                   error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().u8string();
        if (name.size() <= start.size() + 7 || name.compare(0, start.size(), start) != 0)
            continue;
        const std::string id = name.substr(start.size(), name.size() - start.size() - 7);
        if (name[name.size() - 7] != '.' || id.empty() ||
            id.find_first_not_of("0123456789") != std::string::npos || id.size() > 9)
            continue;
        const long writer = std::stol(id);
        std::error_code removeError;
        if (writer > 0 && writer != CurrentWriter() && WriterHasEnded(writer))
            fs::remove(entries->path(), removeError);
    }
}

} // namespace ProfileStorage

int32_t ProfileFile::ParseInt(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative)
        magnitude = 0u - magnitude;
    return static_cast<int32_t>(magnitude);
}
