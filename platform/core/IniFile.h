// INI file with the semantics of the Windows private-profile functions. Section and key names
// match regardless of ASCII case; missing file, section or key gives the caller's default;
// values are read up to 2047 bytes with surrounding blanks removed. The file holds GBK text;
// the interface is UTF-8. Every write reaches the disk at once, through a temporary file that
// replaces the old one, so a failed write leaves the previous file intact.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& fileName);
};

class IniFile {
public:
    explicit IniFile(std::string path);
    const std::string& fileName() const { return path_; }

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal with optional sign, or hexadecimal with "0x" or "$"; anything else gives def.
    int32_t readInteger(const std::string& section, const std::string& key, int32_t def) const;
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int32_t value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    // Key names of a section in file order; empty when the section is missing.
    std::vector<std::string> readSection(const std::string& section) const;
    std::vector<std::string> readSections() const;
    bool sectionExists(const std::string& section) const;
    void eraseSection(const std::string& section);
    void deleteKey(const std::string& section, const std::string& key);

private:
    // The file's lines as last read, reused while the file is unchanged on disk (same inode,
    // size and modification time), so reading a whole section key by key parses it once.
    const std::vector<std::string>& lines() const;

    struct FileStamp {
        bool valid = false;
        unsigned long long device = 0, inode = 0, size = 0;
        long long mtimeSec = 0, mtimeNsec = 0;
        bool operator==(const FileStamp& o) const {
            return valid && o.valid && device == o.device && inode == o.inode && size == o.size &&
                   mtimeSec == o.mtimeSec && mtimeNsec == o.mtimeNsec;
        }
    };

    std::string path_;
    mutable std::vector<std::string> cachedLines_;
    mutable FileStamp cachedStamp_;
};
