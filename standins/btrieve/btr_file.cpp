#include "btr_file.h"

namespace btr {

bool BtrFile::EntryLess::operator()(const Entry& a, const Entry& b) const {
    const int c = CompareKeys(layout->keys[key], layout->acs, a.key, b.key);
    if (c) return c < 0;
    return a.seq < b.seq;
}

BtrFile::BtrFile(FileLayout layout) : layout_(std::move(layout)) {
    for (size_t k = 0; k < layout_.keys.size(); ++k) indexes_.emplace_back(EntryLess{&layout_, k});
}

uint16_t BtrFile::physicalLength() const {
    size_t dups = 0;
    for (const auto& k : layout_.keys) dups += k.duplicates() ? 1 : 0;
    const size_t n = layout_.recordLength + 2 + ((layout_.fileFlags & fileflag::Variable) ? 4 : 0) + 8 * dups;
    return static_cast<uint16_t>(n);
}

std::unique_ptr<BtrFile> BtrFile::Create(const FileLayout& layout) {
    const uint16_t ps = layout.pageSize;
    if (ps < 512 || ps > 4096 || ps % 512 != 0) throw BtrError(status::InvalidPageSize);
    if (layout.keys.size() > 119) throw BtrError(status::InvalidKeyCount);
    size_t segments = 0;
    for (const auto& key : layout.keys) {
        if (key.segments.empty()) throw BtrError(status::InvalidKeyCount);
        for (const auto& s : key.segments) {
            if (s.length == 0 || s.offset + s.length > layout.recordLength) throw BtrError(status::InvalidKeyPosition);
            if ((s.flags & keyflag::Acs) && (s.acs < 0 || static_cast<size_t>(s.acs) >= layout.acs.size()))
                throw BtrError(status::InvalidKeyPosition);
        }
        segments += key.segments.size();
        // Each index page must hold a handful of entries.
        const size_t entry = key.length() + 8u + (key.duplicates() ? 4u : 0u);
        if (key.length() > 255 || (ps - 16u) / entry < 4) throw BtrError(status::InvalidKeyLength);
    }
    // The key specifications live in the FCR, between 0x110 and the key table.
    if (0x110 + 30 * segments > ps - 0xF0u) throw BtrError(status::InvalidKeyCount);
    auto file = std::unique_ptr<BtrFile>(new BtrFile(layout));
    if (layout.recordLength < 4 || file->physicalLength() > ps - 6u) throw BtrError(status::InvalidRecordLength);
    return file;
}

size_t BtrFile::DistinctValues(size_t key) const {
    size_t n = 0;
    const std::string* last = nullptr;
    for (const auto& e : indexes_[key]) {
        if (!last || CompareKeys(layout_.keys[key], layout_.acs, *last, e.key) != 0) ++n;
        last = &e.key;
    }
    return n;
}

std::string BtrFile::Normalized(std::string_view data) const {
    std::string r(data.substr(0, layout_.recordLength));
    r.resize(layout_.recordLength, '\0');
    return r;
}

void BtrFile::AddToIndexes(Id id, Record& r) {
    r.seq.resize(layout_.keys.size());
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        std::string value = KeyValue(layout_.keys[k], r.data);
        if (IsNullKey(layout_.keys[k], value)) continue;
        r.seq[k] = nextSeq_++;
        indexes_[k].insert(Entry{std::move(value), r.seq[k], id});
    }
}

BtrFile::Id BtrFile::Insert(std::string_view data) {
    Record r{Normalized(data), {}};
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        if (layout_.keys[k].duplicates()) continue;
        const std::string value = KeyValue(layout_.keys[k], r.data);
        if (IsNullKey(layout_.keys[k], value)) continue;
        const auto it = indexes_[k].lower_bound(Entry{value, 0, 0});
        if (it != indexes_[k].end() && CompareKeys(layout_.keys[k], layout_.acs, it->key, value) == 0)
            throw BtrError(status::DuplicateKey);
    }
    const Id id = nextId_++;
    AddToIndexes(id, r);
    records_.emplace(id, std::move(r));
    return id;
}

void BtrFile::Update(Id id, std::string_view data) {
    auto found = records_.find(id);
    if (found == records_.end()) throw BtrError(status::InvalidPositioning);
    Record& r = found->second;
    const std::string next = Normalized(data);
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const Key& key = layout_.keys[k];
        const std::string before = KeyValue(key, r.data), after = KeyValue(key, next);
        if (before == after) continue;
        if (!key.modifiable()) throw BtrError(status::NotModifiable);
        if (key.duplicates() || IsNullKey(key, after)) continue;
        const auto it = indexes_[k].lower_bound(Entry{after, 0, 0});
        if (it != indexes_[k].end() && it->id != id && CompareKeys(key, layout_.acs, it->key, after) == 0)
            throw BtrError(status::DuplicateKey);
    }
    // A changed key goes to the end of its duplicates, as a new one would.
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const Key& key = layout_.keys[k];
        std::string before = KeyValue(key, r.data), after = KeyValue(key, next);
        if (before == after) continue;
        if (!IsNullKey(key, before)) indexes_[k].erase(Entry{before, r.seq[k], id});
        if (IsNullKey(key, after)) continue;
        r.seq[k] = nextSeq_++;
        indexes_[k].insert(Entry{std::move(after), r.seq[k], id});
    }
    r.data = next;
}

void BtrFile::Delete(Id id) {
    auto found = records_.find(id);
    if (found == records_.end()) throw BtrError(status::InvalidPositioning);
    Record& r = found->second;
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const std::string value = KeyValue(layout_.keys[k], r.data);
        if (!IsNullKey(layout_.keys[k], value)) indexes_[k].erase(Entry{value, r.seq[k], id});
    }
    records_.erase(found);
}

}  // namespace btr
