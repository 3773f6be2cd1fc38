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

    // Several writes as one: from beginUpdate to commitUpdate every write changes the file's
    // lines in memory (reads see them) and commitUpdate rewrites the file once, so a kill
    // leaves all of the changes or none. Nested pairs join the outermost one. commitUpdate
    // throws IniWriteError; the pending changes are gone either way. See IniUpdate.
    void beginUpdate();
    void commitUpdate();
    void cancelUpdate();

private:
    std::vector<std::string> linesForChange() const;
    void store(std::vector<std::string> lines);

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
    int updateDepth_ = 0;
    bool updateChanged_ = false;
    std::vector<std::string> updateLines_;
    mutable std::vector<std::string> cachedLines_;
    mutable FileStamp cachedStamp_;
};

// One command's settings writes as one rewrite: commit() writes (and may throw IniWriteError);
// leaving the scope without commit() drops the changes.
class IniUpdate {
public:
    explicit IniUpdate(IniFile& ini) : ini_(&ini) { ini_->beginUpdate(); }
    ~IniUpdate() {
        if (ini_) ini_->cancelUpdate();
    }
    IniUpdate(const IniUpdate&) = delete;
    IniUpdate& operator=(const IniUpdate&) = delete;
    void commit() {
        IniFile* ini = ini_;
        ini_ = nullptr;
        ini->commitUpdate();
    }

private:
    IniFile* ini_;
};
