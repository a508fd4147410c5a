// Fuzz target: one ProfileFile::Write into arbitrary file contents, then a Read.
//
// Input: section NUL key NUL value NUL file contents (missing fields are empty).
// Checks:
// - a write the file format cannot hold (a line end anywhere, "]" in the
//   section, "=" in the key) is refused and leaves the file as it was;
// - any other write succeeds, and reading the key back gives the value with
//   the blanks around it removed;
// - every other line of the file stays byte for byte, in order: the write
//   replaces one line of the key, inserts the key into its section, or appends
//   the section and the key at the end; only a last line without a line end
//   may gain CR LF;
// - the values of the other keys of the file read as before;
// - a name that could not be read back (blanks around it; a key that would
//   read as a comment or a section line) is refused like a line end;
// - a byte-order mark at the start of the file stands before the first line,
//   not in it, and stays where it was.
#include "settings/ProfileFile.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string folder; // a private folder on tmpfs, made once per process
std::string filePath;

struct Line {
    std::string text;
    std::string terminator;
};

// Lines as the file format sees them: LF ends a line, a CR before it belongs to the end.
std::vector<Line> Lines(const std::string& contents) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < contents.size()) {
        const size_t lf = contents.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back({contents.substr(start), ""});
            break;
        }
        const size_t end = (lf > start && contents[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({contents.substr(start, end - start), contents.substr(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

std::string Blankless(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

void RemoveFolder() {
    ::unlink(filePath.c_str());
    ::rmdir(folder.c_str());
}

void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "ProfileFile fuzz: %s %s\n", what, detail.c_str());
    RemoveFolder();
    std::abort();
}

void Put(const std::string& contents) {
    const int fd = ::open(filePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, contents.data(), contents.size()) != ssize_t(contents.size()))
        Fail("cannot prepare the file", std::strerror(errno));
    ::close(fd);
}

std::string Get() {
    std::string contents;
    const int fd = ::open(filePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("file gone after a write", std::strerror(errno));
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        contents.append(buffer, size_t(got));
    ::close(fd);
    return contents;
}

// Takes a byte-order mark off the start of the contents; true when there was one.
bool TakeMark(std::string& contents) {
    static const std::string mark = "\xEF\xBB\xBF";
    if (contents.compare(0, mark.size(), mark) != 0)
        return false;
    contents.erase(0, mark.size());
    return true;
}

bool SameTerminator(const Line& before, const Line& after) {
    return before.terminator == after.terminator ||
           (before.terminator.empty() && after.terminator == "\r\n");
}

bool SameLine(const Line& before, const Line& after) {
    return before.text == after.text && SameTerminator(before, after);
}

// The old lines must survive around exactly one change that the write can make.
void CheckForeignLines(std::string oldContents, std::string newContents, const std::string& section,
                       const std::string& keyLine) {
    if (TakeMark(oldContents) != TakeMark(newContents))
        Fail("the byte-order mark was not kept as it was");
    const std::vector<Line> before = Lines(oldContents);
    const std::vector<Line> after = Lines(newContents);
    if (after.size() == before.size()) { // one line of the key replaced
        size_t changed = 0;
        for (size_t i = 0; i < before.size(); ++i) {
            if (SameLine(before[i], after[i]))
                continue;
            if (++changed > 1 || after[i].text != keyLine || !SameTerminator(before[i], after[i]))
                Fail("a foreign line changed:", before[i].text + " -> " + after[i].text);
        }
        if (before.empty())
            Fail("no line written");
    } else if (after.size() == before.size() + 1) { // the key inserted into its section
        size_t i = 0;
        while (i < before.size() && SameLine(before[i], after[i]))
            ++i;
        if (after[i].text != keyLine || after[i].terminator != "\r\n")
            Fail("inserted line is not the key:", after[i].text);
        for (; i < before.size(); ++i)
            if (!SameLine(before[i], after[i + 1]))
                Fail("a foreign line changed after the insert:", before[i].text);
    } else if (after.size() == before.size() + 2) { // section and key appended
        for (size_t i = 0; i < before.size(); ++i)
            if (!SameLine(before[i], after[i]))
                Fail("a foreign line changed before the new section:", before[i].text);
        if (after[before.size()].text != "[" + section + "]" || after.back().text != keyLine ||
            after.back().terminator != "\r\n")
            Fail("appended lines are not the section and the key");
    } else {
        Fail("unexpected number of lines changed");
    }
}

// The section and key names of the first few "key=value" lines after a "[...]" line,
// read by a rule of this target's own (first "]" closes, first "=" splits).
std::vector<std::pair<std::string, std::string>> SomeNames(std::string contents) {
    TakeMark(contents);
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    bool inSection = false;
    for (const Line& line : Lines(contents)) {
        const std::string text = Blankless(line.text);
        if (!text.empty() && text[0] == '[') {
            section = Blankless(text.substr(1, text.find(']') - 1));
            inSection = true;
        } else if (inSection && text.find('=') != std::string::npos) {
            names.emplace_back(section, Blankless(text.substr(0, text.find('='))));
            if (names.size() == 8)
                break;
        }
    }
    return names;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Names the reader would see differently from how they were written.
bool Unreadable(const std::string& section, const std::string& key) {
    return Blankless(section) != section || Blankless(key) != key ||
           (!key.empty() && (key[0] == ';' || key[0] == '#' || key[0] == '['));
}

std::string NextField(const uint8_t*& data, size_t& size) {
    const auto* end = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t length = end ? size_t(end - data) : size;
    std::string field(reinterpret_cast<const char*>(data), length);
    const size_t used = end ? length + 1 : length;
    data += used;
    size -= used;
    return field;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* shm = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : nullptr;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(shm ? shm : tmp ? tmp : "/tmp") + "/vorn-fuzz-ini.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        Fail("cannot make a temporary folder", std::strerror(errno));
    folder = pattern;
    filePath = folder + "/VORNadcC.INI";
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1024) // settings files are small; keep each run cheap
        return 0;
    const std::string section = NextField(data, size);
    const std::string key = NextField(data, size);
    const std::string value = NextField(data, size);
    const std::string oldContents(reinterpret_cast<const char*>(data), size);
    Put(oldContents);

    const ProfileFile file(filePath);
    const auto names = SomeNames(oldContents);
    std::vector<std::pair<bool, std::string>> oldValues;
    for (const auto& [s, k] : names) {
        std::string v;
        const bool found = file.Read(s, k, v);
        oldValues.emplace_back(found, v);
    }

    const auto breaksLine = [](const std::string& t) { return t.find_first_of("\r\n") != t.npos; };
    const bool refused = breaksLine(section) || breaksLine(key) || breaksLine(value) ||
                         section.find(']') != std::string::npos ||
                         key.find('=') != std::string::npos;
    const bool written = file.Write(section, key, value);
    const std::string newContents = Get();
    if (!refused && Unreadable(section, key)) {
        if (written)
            Fail("accepted a name it cannot read back:", "[" + section + "] " + key);
        if (newContents != oldContents)
            Fail("a refused write changed the file");
        return 0;
    }
    if (refused) {
        if (written)
            Fail("a write the format cannot hold was accepted");
        if (newContents != oldContents)
            Fail("a refused write changed the file");
        return 0;
    }
    if (!written)
        Fail("a write was refused");
    CheckForeignLines(oldContents, newContents, section, key + "=" + value);

    std::string readBack;
    if (!file.Read(section, key, readBack))
        Fail("the written key does not read back:", "[" + section + "] " + key);
    if (readBack != Blankless(value))
        Fail("the value read back differs:", readBack + " != " + value);

    for (size_t i = 0; i < names.size(); ++i) {
        if (SameName(names[i].first, section) && SameName(names[i].second, key))
            continue;
        std::string v;
        const bool found = file.Read(names[i].first, names[i].second, v);
        if (found != oldValues[i].first || v != oldValues[i].second)
            Fail("another key changed:", names[i].first + "/" + names[i].second);
    }
    return 0;
}
