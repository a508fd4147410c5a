#include "settings/ProfileFile.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Line {
    std::string text;       // without its line end
    std::string terminator; // "\r\n", "\n" or "" for a last line without one
};

enum class LoadResult { Loaded, Missing, Failed };

// Reads the whole file. A missing file is not an error; anything else that
// stops the read is, so a write never replaces a file it could not read.
LoadResult LoadFile(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return LoadResult::Failed;
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return LoadResult::Loaded;
}

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

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = ::write(fd, data.data() + done, data.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

// A temporary file's name: the settings file's, ".tmp", the writer's process
// id, then mkstemp's six characters. The id tells a later write whether the
// writer still runs.
std::string TempPrefix(const std::string& path) {
    return path + ".tmp";
}

// A writer killed between creating its temporary file and renaming it leaves
// the file behind. Removes those whose writer has gone, so that crashes do not
// fill the settings folder; a running writer's file is left alone.
void RemoveAbandonedTemps(const std::string& path) {
    const std::filesystem::path prefix(TempPrefix(path));
    const std::string start = prefix.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entries(
        prefix.has_parent_path() ? prefix.parent_path() : std::filesystem::path("."), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.size() <= start.size() + 7 || name.compare(0, start.size(), start) != 0)
            continue;
        const std::string id = name.substr(start.size(), name.size() - start.size() - 7);
        if (name[name.size() - 7] != '.' || id.empty() ||
            id.find_first_not_of("0123456789") != std::string::npos || id.size() > 9)
            continue;
        const pid_t writer = static_cast<pid_t>(std::stol(id));
        if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH)
            ::unlink(entries->path().c_str());
    }
}

// The file a write must change: a symbolic link (a chain of them, relative
// ones read from the link's own folder) is followed to its target, so that the
// link stays a link. False for a loop or an unreadable link.
bool FinalTarget(const std::string& path, std::string& target) {
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(current, error);
        if (error && error != std::errc::no_such_file_or_directory)
            return false;
        if (!fs::is_symlink(status)) {
            target = current.string(); // a missing file is made here
            return true;
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return false;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return false;
}

// Rewrites an existing file where it stands. Not crash-safe: only for a file
// whose folder takes no temporary file, where it is the one way to save.
bool RewriteInPlace(const std::string& path, const std::string& contents) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, contents) && ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
              ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// Replaces path with contents through a temporary file in the same folder,
// so a crash or a full disk never leaves a half-written settings file.
bool ReplaceFile(const std::string& path, const std::string& contents) {
    std::string temp = TempPrefix(path) + std::to_string(::getpid()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return (errno == EACCES || errno == EPERM) && RewriteInPlace(path, contents);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        RemoveAbandonedTemps(path);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

} // namespace

bool ProfileFile::Read(const std::string& section, const std::string& key,
                       std::string& value) const {
    std::string contents;
    if (LoadFile(path, contents) != LoadResult::Loaded)
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
    const LoadResult loaded = LoadFile(path, contents);
    if (loaded == LoadResult::Failed)
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
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    std::string target;
    return FinalTarget(path, target) && ReplaceFile(target, output);
}

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
