#include "btr_engine.h"

#include <cstring>

namespace btr {
namespace {

constexpr char kMagic[4] = {'K', 'X', 'B', 'T'};

// The file name in a key buffer: up to a blank or a zero.
std::string NameOf(const void* key, uint8_t keyLength) {
    const char* p = static_cast<const char*>(key);
    std::string name;
    for (size_t i = 0; p && i < (keyLength ? keyLength : 255u) && p[i] && p[i] != ' '; ++i) name += p[i];
    return name;
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Set16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void Set32(uint8_t* p, uint32_t v) {
    Set16(p, v & 0xFFFF);
    Set16(p + 2, v >> 16);
}

}  // namespace

struct Engine::Args {
    int operation;
    bool keyOnly;
    uint8_t* position;
    uint8_t* data;
    uint32_t* dataLength;
    uint8_t* key;
    uint8_t keyLength;
    int keyNumber;
};

Engine::Engine(std::unique_ptr<Storage> storage) : storage_(std::move(storage)) {}

Engine::~Engine() { Stop(); }

int Engine::Call(int operation, void* positionBlock, void* data, uint32_t* dataLength, void* key, uint8_t keyLength,
                 int8_t keyNumber) {
    Args a{operation % 100, false, static_cast<uint8_t*>(positionBlock), static_cast<uint8_t*>(data), dataLength,
           static_cast<uint8_t*>(key), keyLength, keyNumber};
    // +50: the get operations that return only the key.
    if (a.operation >= 50 && a.operation - 50 >= op::GetEqual && a.operation - 50 <= op::GetLast) {
        a.operation -= 50;
        a.keyOnly = true;
    }
    try {
        return Dispatch(a);
    } catch (const BtrError& e) {
        return e.status();
    } catch (const std::bad_alloc&) {
        return status::IoError;
    }
}

Engine::Cursor* Engine::CursorOf(const void* positionBlock) {
    if (!positionBlock) return nullptr;
    const auto* p = static_cast<const uint8_t*>(positionBlock);
    if (std::memcmp(p, kMagic, 4) != 0) return nullptr;
    uint32_t handle;
    std::memcpy(&handle, p + 4, 4);
    const auto it = cursors_.find(handle);
    return it == cursors_.end() ? nullptr : &it->second;
}

int Engine::Dispatch(Args& a) {
    switch (a.operation) {
    case op::Open: return Open(a);
    case op::Create: return Create(a);
    case op::Stop: return Stop();
    case op::Version:
        if (!a.data || !a.dataLength || *a.dataLength < 5) return status::DataBufferTooShort;
        Set16(a.data, 6);
        Set16(a.data + 2, 15);
        a.data[4] = 'N';
        *a.dataLength = 5;
        return status::Success;
    default:
        break;
    }
    Cursor* c = CursorOf(a.position);
    switch (a.operation) {
    case op::Close: case op::Stat: case op::Insert: case op::Update: case op::Delete: case op::GetEqual:
    case op::GetNext: case op::GetPrevious: case op::GetGreater: case op::GetGreaterOrEqual: case op::GetLess:
    case op::GetLessOrEqual: case op::GetFirst: case op::GetLast: case op::StepNext: case op::StepFirst:
    case op::StepLast: case op::StepPrevious:
        if (!c) return status::NotOpen;
        break;
    default:
        return status::InvalidOperation;
    }
    switch (a.operation) {
    case op::Close: return Close(a, *c);
    case op::Stat: return Stat(a, *c);
    case op::Insert: return Insert(a, *c);
    case op::Update: return Update(a, *c);
    case op::Delete: return Delete(a, *c);
    case op::StepNext: case op::StepFirst: case op::StepLast: case op::StepPrevious: return Step(a, *c);
    default: return Get(a, *c);
    }
}

int Engine::Open(Args& a) {
    if (!a.position) return status::NotOpen;
    const std::string name = NameOf(a.key, a.keyLength);
    if (name.empty()) return status::InvalidFileName;
    const int mode = a.keyNumber;
    if (mode < -4 || mode > 0) return status::InvalidOperation;
    const std::string path = storage_->Canonical(name);
    OpenFile* f = nullptr;
    const auto it = files_.find(path);
    if (it != files_.end()) {
        f = it->second.get();
        if (f->exclusive || mode == -4) return status::FileLocked;
    } else {
        const auto image = storage_->Read(name);
        if (!image) return storage_->Exists(name) ? status::IoError : status::FileNotFound;
        auto opened = std::make_unique<OpenFile>();
        opened->path = storage_->FullPath(name);
        opened->canonical = path;
        opened->file = BtrFile::Load(*image);
        f = opened.get();
        files_[path] = std::move(opened);
    }
    ++f->opens;
    f->exclusive = mode == -4;
    const uint32_t handle = nextHandle_++;
    Cursor c;
    c.file = f;
    c.readOnly = mode == -2;
    cursors_[handle] = c;
    std::memset(a.position, 0, kPositionBlockSize);
    std::memcpy(a.position, kMagic, 4);
    std::memcpy(a.position + 4, &handle, 4);
    return status::Success;
}

int Engine::Flush(OpenFile& f) {
    if (!f.dirty) return status::Success;
    if (!storage_->Replace(f.path, f.file->Save())) return status::IoError;
    f.dirty = false;
    return status::Success;
}

int Engine::Close(Args& a, Cursor& c) {
    OpenFile* f = c.file;
    uint32_t handle;
    std::memcpy(&handle, a.position + 4, 4);
    cursors_.erase(handle);
    std::memset(a.position, 0, 8);
    int result = status::Success;
    if (--f->opens == 0) {
        result = Flush(*f);
        files_.erase(f->canonical);
    }
    return result;
}

int Engine::Stop() {
    int result = status::Success;
    for (auto& [path, f] : files_)
        if (Flush(*f) != status::Success) result = status::IoError;
    files_.clear();
    cursors_.clear();
    return result;
}

int Engine::Create(Args& a) {
    const std::string name = NameOf(a.key, a.keyLength);
    if (name.empty()) return status::InvalidFileName;
    if (a.keyNumber == -1 && storage_->Exists(name)) return status::FileExists;
    if (files_.count(storage_->Canonical(name))) return status::FileLocked;
    if (!a.data || !a.dataLength || *a.dataLength < 16) return status::DataBufferTooShort;
    const uint8_t* d = a.data;
    const uint32_t length = *a.dataLength;
    FileLayout layout;
    layout.recordLength = Get16(d);
    layout.pageSize = Get16(d + 2);
    const size_t keys = d[4];
    layout.fileFlags = Get16(d + 10);
    layout.preallocate = Get16(d + 14);
    size_t at = 16;
    std::vector<int> acsNumbers;
    for (size_t k = 0; k < keys; ++k) {
        Key key;
        for (;;) {
            if (at + 16 > length) return status::DataBufferTooShort;
            Segment s;
            const uint16_t position = Get16(d + at);
            s.length = Get16(d + at + 2);
            s.flags = Get16(d + at + 4);
            s.type = d[at + 10];
            s.nullValue = d[at + 11];
            if (position == 0) return status::InvalidKeyPosition;
            s.offset = static_cast<uint16_t>(position - 1);
            if (s.flags & keyflag::Acs) {
                s.acs = d[at + 15];
                acsNumbers.push_back(s.acs);
            }
            // The first segment's flags hold the key-wide ones for every segment.
            if (!key.segments.empty()) {
                const uint16_t keyWide = keyflag::Duplicates | keyflag::Modifiable | keyflag::NullAll | keyflag::NullAny;
                s.flags = static_cast<uint16_t>((s.flags & ~keyWide) | (key.segments.front().flags & keyWide));
            }
            key.segments.push_back(s);
            at += 16;
            if (!(s.flags & keyflag::Segmented)) break;
            if (key.segments.size() > 119) return status::InvalidKeyCount;
        }
        layout.keys.push_back(std::move(key));
    }
    // The ACS tables follow the key segments, each 0xAC, its name, its map.
    while (at + 265 <= length && d[at] == 0xAC) {
        Acs acs;
        acs.name.assign(reinterpret_cast<const char*>(d + at + 1), 8);
        std::memcpy(acs.map.data(), d + at + 9, 256);
        layout.acs.push_back(std::move(acs));
        at += 265;
    }
    for (auto& key : layout.keys)
        for (auto& s : key.segments)
            if ((s.flags & keyflag::Acs) && (s.acs < 0 || static_cast<size_t>(s.acs) >= layout.acs.size()))
                s.acs = layout.acs.empty() ? -1 : 0;
    auto file = BtrFile::Create(layout);
    return storage_->Replace(name, file->Save()) ? status::Success : status::CreateIoError;
}

int Engine::Stat(Args& a, Cursor& c) {
    const BtrFile& file = *c.file->file;
    const FileLayout& layout = file.layout();
    size_t segments = 0;
    for (const auto& k : layout.keys) segments += k.segments.size();
    const size_t needed = 16 + 16 * segments + 265 * layout.acs.size();
    if (!a.data || !a.dataLength || *a.dataLength < needed) return status::DataBufferTooShort;
    uint8_t* d = a.data;
    std::memset(d, 0, needed);
    Set16(d, layout.recordLength);
    Set16(d + 2, layout.pageSize);
    d[4] = static_cast<uint8_t>(layout.keys.size());
    d[5] = static_cast<uint8_t>(layout.version >> 4);  // 0x60 for 6.0, 0x61 for 6.1
    Set32(d + 6, static_cast<uint32_t>(file.records().size()));
    Set16(d + 10, layout.fileFlags);
    Set16(d + 14, file.unusedPages());
    size_t at = 16;
    for (size_t k = 0; k < layout.keys.size(); ++k) {
        const uint32_t unique = static_cast<uint32_t>(file.DistinctValues(k));
        for (size_t s = 0; s < layout.keys[k].segments.size(); ++s, at += 16) {
            const Segment& seg = layout.keys[k].segments[s];
            uint16_t flags = seg.flags;
            if (s + 1 < layout.keys[k].segments.size()) flags |= keyflag::Segmented;
            Set16(d + at, seg.offset + 1u);
            Set16(d + at + 2, seg.length);
            Set16(d + at + 4, flags);
            Set32(d + at + 6, unique);
            d[at + 10] = seg.type;
            d[at + 11] = seg.nullValue;
            d[at + 14] = static_cast<uint8_t>(k);
            d[at + 15] = static_cast<uint8_t>(seg.acs < 0 ? 0 : seg.acs);
        }
    }
    for (const auto& acs : layout.acs) {
        d[at] = 0xAC;
        std::string name = acs.name;
        name.resize(8, ' ');
        std::memcpy(d + at + 1, name.data(), 8);
        std::memcpy(d + at + 9, acs.map.data(), 256);
        at += 265;
    }
    *a.dataLength = static_cast<uint32_t>(needed);
    return status::Success;
}

// Copies the record (unless only the key is asked for) and its key value,
// and makes it current.
int Engine::Deliver(Args& a, Cursor& c, BtrFile::Id id, bool keyOnly) {
    const BtrFile& file = *c.file->file;
    const BtrFile::Record& r = file.records().at(id);
    if (!keyOnly) {
        if (!a.data || !a.dataLength || *a.dataLength < r.data.size()) return status::DataBufferTooShort;
        std::memcpy(a.data, r.data.data(), r.data.size());
        *a.dataLength = static_cast<uint32_t>(r.data.size());
    }
    if (c.keyPath >= 0 && a.key) {
        const std::string value = KeyValue(file.layout().keys[static_cast<size_t>(c.keyPath)], r.data);
        std::memcpy(a.key, value.data(), std::min<size_t>(value.size(), a.keyLength));
    }
    c.current = id;
    c.physical = id;
    return status::Success;
}

int Engine::Insert(Args& a, Cursor& c) {
    BtrFile& file = *c.file->file;
    if (c.readOnly) return status::AccessDenied;
    const size_t keys = file.layout().keys.size();
    if (keys > 0 && a.keyNumber != -1 && (a.keyNumber < 0 || static_cast<size_t>(a.keyNumber) >= keys))
        return status::InvalidKeyNumber;
    if (!a.data || !a.dataLength || *a.dataLength < file.layout().recordLength) return status::DataBufferTooShort;
    if (keys > 0 && a.keyNumber >= 0 && a.keyLength < file.layout().keys[static_cast<size_t>(a.keyNumber)].length())
        return status::KeyBufferTooShort;
    const BtrFile::Id id = file.Insert(std::string_view(reinterpret_cast<const char*>(a.data), *a.dataLength));
    c.file->dirty = true;
    if (a.keyNumber == -1) return status::Success;  // no change of position
    c.keyPath = keys > 0 ? a.keyNumber : -1;
    if (c.keyPath >= 0) {
        const BtrFile::Record& r = file.records().at(id);
        c.position = BtrFile::Entry{KeyValue(file.layout().keys[static_cast<size_t>(c.keyPath)], r.data),
                                    r.seq[static_cast<size_t>(c.keyPath)], id};
        const std::string& value = c.position->key;
        if (a.key) std::memcpy(a.key, value.data(), std::min<size_t>(value.size(), a.keyLength));
    }
    c.current = c.physical = id;
    return status::Success;
}

int Engine::Update(Args& a, Cursor& c) {
    BtrFile& file = *c.file->file;
    if (c.readOnly) return status::AccessDenied;
    if (!c.current || !file.records().count(*c.current)) return status::InvalidPositioning;
    if (c.keyPath >= 0 && a.keyNumber != c.keyPath) return status::DifferentKeyNumber;
    if (!a.data || !a.dataLength || *a.dataLength < file.layout().recordLength) return status::DataBufferTooShort;
    file.Update(*c.current, std::string_view(reinterpret_cast<const char*>(a.data), *a.dataLength));
    c.file->dirty = true;
    if (c.keyPath >= 0) {
        const BtrFile::Record& r = file.records().at(*c.current);
        c.position = BtrFile::Entry{KeyValue(file.layout().keys[static_cast<size_t>(c.keyPath)], r.data),
                                    r.seq[static_cast<size_t>(c.keyPath)], *c.current};
    }
    return status::Success;
}

int Engine::Delete(Args& a, Cursor& c) {
    (void)a;
    BtrFile& file = *c.file->file;
    if (c.readOnly) return status::AccessDenied;
    if (!c.current || !file.records().count(*c.current)) return status::InvalidPositioning;
    file.Delete(*c.current);
    c.file->dirty = true;
    c.current.reset();  // the positions stay, so Next goes on from here
    return status::Success;
}

int Engine::Get(Args& a, Cursor& c) {
    const BtrFile& file = *c.file->file;
    const auto& keys = file.layout().keys;
    if (a.keyNumber < 0 || static_cast<size_t>(a.keyNumber) >= keys.size()) return status::InvalidKeyNumber;
    const size_t k = static_cast<size_t>(a.keyNumber);
    const Key& key = keys[k];
    if (!a.key || a.keyLength < key.length()) return status::KeyBufferTooShort;
    const BtrFile::Index& index = file.index(k);
    const std::string wanted(reinterpret_cast<const char*>(a.key), key.length());
    const BtrFile::Entry low{wanted, 0, 0}, high{wanted, UINT64_MAX, 0};
    BtrFile::Index::const_iterator it = index.end();
    switch (a.operation) {
    case op::GetFirst:
        it = index.begin();
        break;
    case op::GetLast:
        it = index.empty() ? index.end() : std::prev(index.end());
        break;
    case op::GetEqual:
        it = index.lower_bound(low);
        if (it == index.end() || CompareKeys(key, file.layout().acs, it->key, wanted) != 0) return status::KeyNotFound;
        break;
    case op::GetGreaterOrEqual:
        it = index.lower_bound(low);
        break;
    case op::GetGreater:
        it = index.upper_bound(high);
        break;
    case op::GetLess:
    case op::GetLessOrEqual: {
        const auto bound = a.operation == op::GetLess ? index.lower_bound(low) : index.upper_bound(high);
        it = bound == index.begin() ? index.end() : std::prev(bound);
        break;
    }
    case op::GetNext:
    case op::GetPrevious: {
        if (c.keyPath != a.keyNumber) return c.keyPath < 0 ? status::InvalidPositioning : status::DifferentKeyNumber;
        if (!c.position) return status::InvalidPositioning;
        if (a.operation == op::GetNext) {
            it = index.upper_bound(*c.position);
        } else {
            const auto bound = index.lower_bound(*c.position);
            it = bound == index.begin() ? index.end() : std::prev(bound);
        }
        break;
    }
    default:
        return status::InvalidOperation;
    }
    // Only Get Equal misses a key; every other move runs off the end.
    if (it == index.end()) return status::EndOfFile;
    if (!a.keyOnly && (!a.data || !a.dataLength || *a.dataLength < file.layout().recordLength))
        return status::DataBufferTooShort;
    c.keyPath = a.keyNumber;
    c.position = *it;
    return Deliver(a, c, it->id, a.keyOnly);
}

int Engine::Step(Args& a, Cursor& c) {
    const auto& records = c.file->file->records();
    std::map<BtrFile::Id, BtrFile::Record>::const_iterator it;
    switch (a.operation) {
    case op::StepFirst:
        it = records.begin();
        break;
    case op::StepLast:
        it = records.empty() ? records.end() : std::prev(records.end());
        break;
    case op::StepNext:
        if (!c.physical) return status::InvalidPositioning;
        it = records.upper_bound(*c.physical);
        break;
    default: {
        if (!c.physical) return status::InvalidPositioning;
        const auto bound = records.lower_bound(*c.physical);
        it = bound == records.begin() ? records.end() : std::prev(bound);
        break;
    }
    }
    if (it == records.end()) return status::EndOfFile;
    // A step leaves the key path: the next keyed move starts anew.
    const int keyPath = c.keyPath;
    c.keyPath = -1;
    const int result = Deliver(a, c, it->first, false);
    if (result != status::Success) c.keyPath = keyPath;
    return result;
}

}  // namespace btr
