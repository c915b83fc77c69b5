// The engine behind BTRCALL: operations on files named by path, with the
// caller's 128-byte position blocks, the engine's status codes, and files
// shared by every position block that opened them. A changed file is written
// when its last position block closes it (or the engine stops), as one clean
// image that replaces the old file in one step: an interrupted write leaves
// the previous image, never a damaged one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "btr_file.h"

namespace btr {

// The file system as the engine needs it.
class Storage {
public:
    virtual ~Storage() = default;
    // The whole file; nullopt when it does not exist or cannot be read.
    virtual std::optional<std::string> Read(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Writes `image` beside the file and moves it over the file in one step.
    virtual bool Replace(const std::string& path, const std::string& image) = 0;
    // The full path of a file, as written (for reading and writing it later,
    // wherever the current directory has gone meanwhile).
    virtual std::string FullPath(const std::string& path) = 0;
    // One name per file, whatever way a caller wrote it.
    virtual std::string Canonical(const std::string& path) = 0;
};
std::unique_ptr<Storage> FileSystemStorage();

// Operation codes.
namespace op {
constexpr int Open = 0, Close = 1, Insert = 2, Update = 3, Delete = 4, GetEqual = 5, GetNext = 6, GetPrevious = 7,
              GetGreater = 8, GetGreaterOrEqual = 9, GetLess = 10, GetLessOrEqual = 11, GetFirst = 12, GetLast = 13,
              Create = 14, Stat = 15, StepNext = 24, Stop = 25, Version = 26, StepFirst = 33, StepLast = 34,
              StepPrevious = 35;
}  // namespace op

constexpr size_t kPositionBlockSize = 128;

class Engine {
public:
    explicit Engine(std::unique_ptr<Storage> storage);
    ~Engine();

    // One engine call, as BTRCALL takes it; returns the status.
    int Call(int operation, void* positionBlock, void* data, uint32_t* dataLength, void* key, uint8_t keyLength,
             int8_t keyNumber);
    // Writes every changed file and closes all of them.
    int Stop();

private:
    struct OpenFile {
        std::string path;       // full path
        std::string canonical;  // the key of files_
        std::unique_ptr<BtrFile> file;
        int opens = 0;
        bool exclusive = false;
        bool dirty = false;
    };
    struct Cursor {
        OpenFile* file = nullptr;
        bool readOnly = false;
        int keyPath = -1;                           // the key of the last keyed operation
        std::optional<BtrFile::Entry> position;     // where on that key path
        std::optional<BtrFile::Id> current;         // the current record
        std::optional<BtrFile::Id> physical;        // where in physical order
    };
    struct Args;

    int Dispatch(Args& a);
    int Open(Args& a);
    int Close(Args& a, Cursor& c);
    int Create(Args& a);
    int Stat(Args& a, Cursor& c);
    int Insert(Args& a, Cursor& c);
    int Update(Args& a, Cursor& c);
    int Delete(Args& a, Cursor& c);
    int Get(Args& a, Cursor& c);
    int Step(Args& a, Cursor& c);
    int Deliver(Args& a, Cursor& c, BtrFile::Id id, bool keyOnly);
    int Flush(OpenFile& f);
    Cursor* CursorOf(const void* positionBlock);

    std::unique_ptr<Storage> storage_;
    std::map<std::string, std::unique_ptr<OpenFile>> files_;
    std::map<uint32_t, Cursor> cursors_;
    uint32_t nextHandle_ = 1;
};

}  // namespace btr
