// One Btrieve 6.x file held in memory: its layout (record length, page
// size, keys and their segments, alternate collating sequences), its records
// in physical order, and one ordered index per key (duplicates in insertion
// order). Load reads a genuine file image; Save writes a clean image of the
// 6.x format: two FCR copies, a PAT pair, ACS pages, a B-tree per key built
// from its sorted entries, and data pages with duplicate chains.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "btr_keys.h"

namespace btr {

// The engine's status codes.
namespace status {
constexpr int Success = 0;
constexpr int InvalidOperation = 1;
constexpr int IoError = 2;
constexpr int NotOpen = 3;
constexpr int KeyNotFound = 4;
constexpr int DuplicateKey = 5;
constexpr int InvalidKeyNumber = 6;
constexpr int DifferentKeyNumber = 7;
constexpr int InvalidPositioning = 8;
constexpr int EndOfFile = 9;
constexpr int NotModifiable = 10;
constexpr int InvalidFileName = 11;
constexpr int FileNotFound = 12;
constexpr int DiskFull = 18;
constexpr int KeyBufferTooShort = 21;
constexpr int DataBufferTooShort = 22;
constexpr int InvalidPageSize = 24;
constexpr int CreateIoError = 25;
constexpr int InvalidKeyCount = 26;
constexpr int InvalidKeyPosition = 27;
constexpr int InvalidRecordLength = 28;
constexpr int InvalidKeyLength = 29;
constexpr int NotBtrieveFile = 30;
constexpr int AccessDenied = 46;
constexpr int FileExists = 59;
constexpr int FileLocked = 85;
}  // namespace status

class BtrError : public std::runtime_error {
public:
    explicit BtrError(int status) : std::runtime_error("Btrieve status " + std::to_string(status)), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// File flags.
namespace fileflag {
constexpr uint16_t Variable = 0x1;
constexpr uint16_t BlankTruncation = 0x2;
constexpr uint16_t Preallocate = 0x4;
constexpr uint16_t Compressed = 0x8;
constexpr uint16_t KeyOnly = 0x10;
}  // namespace fileflag

struct FileLayout {
    uint16_t recordLength = 0;
    uint16_t pageSize = 2048;
    uint16_t fileFlags = 0;
    uint16_t preallocate = 0;  // pages of the whole file, with file flag Preallocate
    uint16_t version = 0x0600;
    std::vector<Key> keys;
    std::vector<Acs> acs;
};

class BtrFile {
public:
    using Id = uint64_t;
    struct Record {
        std::string data;
        std::vector<uint64_t> seq;  // per key: the place among duplicates
    };
    struct Entry {
        std::string key;
        uint64_t seq;
        Id id;
    };
    struct EntryLess {
        const FileLayout* layout;
        size_t key;
        bool operator()(const Entry& a, const Entry& b) const;
    };
    using Index = std::set<Entry, EntryLess>;

    // A new file; throws BtrError with the status Create gives for a bad layout.
    static std::unique_ptr<BtrFile> Create(const FileLayout& layout);
    // Reads a file image; throws BtrError (30 not a Btrieve file, 2 damaged).
    static std::unique_ptr<BtrFile> Load(std::string_view image);
    // The clean image of the file as it is now.
    std::string Save();

    const FileLayout& layout() const { return layout_; }
    uint16_t physicalLength() const;
    const std::map<Id, Record>& records() const { return records_; }
    const Index& index(size_t key) const { return indexes_[key]; }
    size_t DistinctValues(size_t key) const;
    // Pages the last saved image had, and the unused ones among them.
    uint32_t pages() const { return pages_; }
    uint32_t unusedPages() const { return unusedPages_; }

    // Record changes; throw BtrError (5 duplicate key, 10 not modifiable).
    Id Insert(std::string_view data);
    void Update(Id id, std::string_view data);
    void Delete(Id id);

    BtrFile(const BtrFile&) = delete;
    BtrFile& operator=(const BtrFile&) = delete;

private:
    explicit BtrFile(FileLayout layout);
    void AddToIndexes(Id id, Record& r);
    std::string Normalized(std::string_view data) const;

    FileLayout layout_;
    std::map<Id, Record> records_;
    std::vector<Index> indexes_;
    Id nextId_ = 1;
    uint64_t nextSeq_ = 1;
    uint32_t usage_ = 0;  // of the FCR and PAT copies last read or written
    uint32_t pages_ = 0, unusedPages_ = 0;
};

}  // namespace btr
