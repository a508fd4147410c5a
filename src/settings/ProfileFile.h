#pragma once

#include <cstdint>
#include <string>

// One private-profile (INI) file: "[section]" lines open sections, "key=value"
// lines hold values. Section and key names match without regard to case.
// Nothing is cached: every call reads the file as it is now.
class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path(std::move(path)) {}

    // False when the file, the section or the key is missing (or unreadable).
    // The value runs to the end of its line, blanks around it removed. A
    // byte-order mark at the start of the file is no part of the first line.
    bool Read(const std::string& section, const std::string& key, std::string& value) const;

    // Adds or replaces one key, creating the section and the file (and the
    // missing folders) as needed. Every other line stays byte for byte, a
    // byte-order mark before the first one included; new lines end in CR LF.
    // The new contents go to a temporary file in the same folder that is then
    // renamed over the old one, so a failed write leaves the old file whole and
    // reports false. A file that exists and may not be written (read-only)
    // keeps its bytes and mode: false. A symbolic link is written through: the temporary file is
    // made beside its final target, and the link stays. Only when that folder
    // refuses a new file is an existing file rewritten in place instead (not
    // crash-safe). Temporary files of earlier writers that were killed before
    // their rename are removed. A line end in any argument, a "]" in the
    // section or a "=" in the key is refused with false.
    bool Write(const std::string& section, const std::string& key, const std::string& value) const;

    // Integer reading of a value: blanks, an optional sign, then decimal
    // digits up to the first other character, taken modulo 2^32. Text that
    // does not start with a number reads as 0.
    static int32_t ParseInt(const std::string& text);

    const std::string& Path() const { return path; }

private:
    std::string path;
};
