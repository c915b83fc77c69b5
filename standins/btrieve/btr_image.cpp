// The Btrieve 6.x file image: reading a genuine file, and writing a clean one.
//
// Layout facts: little-endian; 32-bit counts and record addresses in the FCR,
// in index entries and in duplicate chains are word-swapped (high word
// first). Pages 0 and 1 hold the FCR copies, pages 2 and 3 a PAT pair (the
// copy with the higher usage count is current). A PAT entry maps a logical
// page to a physical one: high byte of the physical page, page type, low 16
// bits. Every page starts with its own logical number in that form and a
// usage count. A record address is logical page * page size + offset.
#include <algorithm>
#include <cstring>
#include <functional>

#include "btr_file.h"

namespace btr {
namespace {

constexpr uint8_t kAcsPage = 'A';
constexpr uint8_t kDataPage = 'D';
constexpr uint8_t kIndexPage = 0x80;
constexpr uint32_t kNone = 0xFFFFFFFF;

// FCR offsets.
constexpr size_t kUsage = 0x04, kPageSize = 0x08, kKeyCount = 0x14, kRecordLength = 0x16, kPhysicalLength = 0x18,
                 kRecordCount = 0x1A, kPageCount = 0x26, kVariableMark = 0x38, kAcsName = 0x3C, kVersion = 0x4A,
                 kDupOffset = 0x72, kDupKeys = 0x74, kKeysAndSegments = 0x76, kKeyTable = 0x78, kFileFlags = 0x106,
                 kVariableThreshold = 0x108, kFirstKeySpec = 0x110, kSegmentSpec = 30;

// What a freshly created file has in the FCR bytes whose meaning is not
// known: kept as they are, so the engine finds what it expects.
struct FixedByte {
    uint16_t at;
    uint8_t value;
};
constexpr FixedByte kFreshFcr[] = {
    {0x0C, 0xFF}, {0x0D, 0xFF}, {0x0E, 0xFF}, {0x0F, 0xFF}, {0x10, 0xFF}, {0x11, 0xFF}, {0x12, 0xFF}, {0x13, 0xFF},
    {0x22, 0xFF}, {0x23, 0xFF}, {0x24, 0x01}, {0x4C, 0x01}, {0x4E, 0x20}, {0x50, 0x01}, {0x52, 0x07}, {0x56, 0x70},
    {0x57, 0xB9}, {0x58, 0x02}, {0x59, 0x67}, {0x5A, 0xFF}, {0x5B, 0xFF}, {0x5C, 0xFF}, {0x5D, 0xFF}, {0x5E, 0xFF},
    {0x5F, 0xFF}, {0x60, 0xFF}, {0x61, 0xFF}, {0x63, 0xFF}, {0x64, 0xFF}, {0x65, 0xFF}, {0x98, 0xFF}, {0x99, 0xFF},
    {0x9A, 0xFF}, {0x9B, 0xFF}, {0x9E, 0x06}, {0x9F, 0x60}, {0x10C, 0x01},
};
// Four runs of eleven 0xFF bytes and one of three, each after a zero byte.
constexpr uint16_t kFreshFcrRuns[][2] = {{0xA1, 11}, {0xAD, 11}, {0xB9, 11}, {0xC5, 11}, {0xD1, 3}};

uint16_t U16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }
uint32_t Swapped(std::string_view b, size_t at) { return static_cast<uint32_t>(U16(b, at)) << 16 | U16(b, at + 2); }

void Put16(std::string& b, size_t at, uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}
void PutSwapped(std::string& b, size_t at, uint32_t v) {
    Put16(b, at, v >> 16);
    Put16(b, at + 2, v & 0xFFFF);
}
// A page reference in PAT-entry form: high byte, type, low 16 bits.
void PutPageRef(std::string& b, size_t at, uint32_t page, uint8_t type) {
    b[at] = static_cast<char>((page >> 16) & 0xFF);
    b[at + 1] = static_cast<char>(type);
    Put16(b, at + 2, page & 0xFFFF);
}
uint32_t PageRefNumber(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 16 | U16(b, at + 2);
}

[[noreturn]] void Damaged() { throw BtrError(status::IoError); }

// --- reading --------------------------------------------------------------------

struct Image {
    std::string_view bytes;
    uint16_t pageSize;
    uint32_t pageCount() const { return static_cast<uint32_t>(bytes.size() / pageSize); }
    std::string_view Page(uint32_t physical) const {
        if (physical >= pageCount()) Damaged();
        return bytes.substr(static_cast<size_t>(physical) * pageSize, pageSize);
    }
};

struct PageEntry {
    uint32_t physical;
    uint8_t type;
};

// The current copy of a pair: the one whose signature holds and whose usage
// count is higher.
std::string_view CurrentCopy(const Image& img, uint32_t first, const char* signature) {
    std::string_view best;
    uint32_t bestUsage = 0;
    for (uint32_t p = first; p < first + 2 && p < img.pageCount(); ++p) {
        const std::string_view page = img.Page(p);
        if (std::memcmp(page.data(), signature, 2) != 0) continue;
        const uint32_t usage = U32(page, kUsage);
        if (best.empty() || usage > bestUsage) best = page, bestUsage = usage;
    }
    return best;
}

// The physical page of PAT pair k.
uint32_t PatPage(uint16_t pageSize, uint32_t k) { return 2 + k * (pageSize / 4u); }
uint32_t PatCapacity(uint16_t pageSize) { return pageSize / 4u - 2; }

// The physical page of logical page `logical`: after the FCR and the first
// PAT pair, skipping the later PAT pairs.
uint32_t PhysicalOf(uint16_t pageSize, uint32_t logical) {
    uint32_t p = logical + 3;
    for (uint32_t k = 1; PatPage(pageSize, k) <= p; ++k) p += 2;
    return p;
}

// Pages of the file that hold nothing: neither FCR, PAT nor a used page.
uint32_t UnusedPages(uint32_t total, uint16_t pageSize, uint32_t usedLogical) {
    const uint32_t pats = 2 * ((usedLogical + PatCapacity(pageSize) - 1) / PatCapacity(pageSize) + (usedLogical ? 0 : 1));
    const uint32_t busy = 2 + pats + usedLogical;
    return total > busy ? total - busy : 0;
}

// Logical pages 1..n and their physical pages and types.
std::vector<PageEntry> ReadPat(const Image& img, uint32_t logicalPages) {
    std::vector<PageEntry> map(1, PageEntry{0, 0});
    const uint32_t cap = PatCapacity(img.pageSize);
    for (uint32_t k = 0; map.size() <= logicalPages; ++k) {
        const std::string_view pat = CurrentCopy(img, PatPage(img.pageSize, k), "PP");
        if (pat.empty()) Damaged();
        for (uint32_t i = 0; i < cap && map.size() <= logicalPages; ++i) {
            const size_t at = 8 + 4 * i;
            map.push_back({PageRefNumber(pat, at), static_cast<uint8_t>(pat[at + 1])});
        }
    }
    return map;
}

}  // namespace

std::unique_ptr<BtrFile> BtrFile::Load(std::string_view bytes) {
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "FC\0\0", 4) != 0) throw BtrError(status::NotBtrieveFile);
    const uint16_t ps = U16(bytes, kPageSize);
    if (ps < 512 || ps > 4096 || ps % 512 != 0 || bytes.size() < 4u * ps) throw BtrError(status::NotBtrieveFile);
    const Image img{bytes, ps};
    const std::string_view fcr = CurrentCopy(img, 0, "FC");
    if (fcr.empty() || U16(fcr, kPageSize) != ps) throw BtrError(status::NotBtrieveFile);

    FileLayout layout;
    layout.pageSize = ps;
    layout.recordLength = U16(fcr, kRecordLength);
    layout.fileFlags = U16(fcr, kFileFlags);
    layout.version = U16(fcr, kVersion);
    const uint16_t physical = U16(fcr, kPhysicalLength);
    const uint16_t keyCount = U16(fcr, kKeyCount);
    if (layout.recordLength == 0 || physical < layout.recordLength + 2u || physical > ps - 6u || keyCount > 119)
        throw BtrError(status::NotBtrieveFile);
    const uint32_t logicalPages = Swapped(fcr, kPageCount);
    if (logicalPages == 0 || logicalPages > img.pageCount() + 1024u) Damaged();
    const std::vector<PageEntry> pat = ReadPat(img, logicalPages > 0 ? logicalPages - 1 : 0);

    // Alternate collating sequences, by their logical page.
    std::map<uint32_t, int> acsOfPage;
    for (uint32_t l = 1; l < pat.size(); ++l) {
        if (pat[l].type != kAcsPage) continue;
        const std::string_view page = img.Page(pat[l].physical);
        if (static_cast<uint8_t>(page[6]) != 0xAC) Damaged();
        Acs acs;
        acs.name.assign(page.substr(7, 8));
        std::memcpy(acs.map.data(), page.data() + 15, 256);
        acsOfPage[l] = static_cast<int>(layout.acs.size());
        layout.acs.push_back(std::move(acs));
    }

    // Keys: the key table holds the FCR offset of each key's first segment.
    const uint16_t table = U16(fcr, kKeyTable);
    std::vector<uint16_t> dupOffsets;
    for (uint16_t k = 0; k < keyCount; ++k) {
        if (table + 2u * k + 2 > ps) Damaged();
        size_t at = U16(fcr, table + 2u * k);
        Key key;
        for (int guard = 0; guard < 120; ++guard) {
            if (at < kFirstKeySpec || at + kSegmentSpec > ps) Damaged();
            Segment s;
            s.flags = U16(fcr, at + 0x08);
            const uint16_t position = U16(fcr, at + 0x14);
            s.length = U16(fcr, at + 0x16);
            if (position < 2 || s.length == 0 || position - 2u + s.length > layout.recordLength) Damaged();
            s.offset = static_cast<uint16_t>(position - 2);
            s.type = static_cast<uint8_t>(fcr[at + 0x1C]);
            s.nullValue = static_cast<uint8_t>(fcr[at + 0x1D]);
            if (s.flags & keyflag::Acs) {
                // The ACS page: its high byte at +0x19, its low word at +0x1A.
                const uint32_t acsPage = static_cast<uint32_t>(static_cast<uint8_t>(fcr[at + 0x19])) << 16 |
                                         U16(fcr, at + 0x1A);
                const auto found = acsOfPage.find(acsPage);
                s.acs = found != acsOfPage.end() ? found->second : layout.acs.empty() ? -1 : 0;
            }
            if (key.segments.empty() && (s.flags & keyflag::Duplicates)) dupOffsets.push_back(U16(fcr, at + 0x12));
            key.segments.push_back(s);
            if (!(s.flags & keyflag::Segmented)) break;
            at += kSegmentSpec;
        }
        layout.keys.push_back(std::move(key));
    }

    auto file = std::unique_ptr<BtrFile>(new BtrFile(std::move(layout)));
    file->usage_ = U32(fcr, kUsage);
    file->pages_ = img.pageCount();
    if (physical != file->physicalLength()) Damaged();

    // Records in physical order, and where each lies.
    std::map<uint32_t, Id> byAddress;
    std::map<Id, std::string_view> slots;  // each record's slot in the image, chains included
    uint32_t used = 0;
    for (uint32_t l = 1; l < pat.size(); ++l) {
        if (pat[l].type != 0) ++used;
        if (pat[l].type != kDataPage) continue;
        const std::string_view page = img.Page(pat[l].physical);
        if (PageRefNumber(page, 0) != l || static_cast<uint8_t>(page[1]) != kDataPage) Damaged();
        for (size_t at = 6; at + physical <= ps; at += physical) {
            if (U16(page, at) == 0) continue;
            const Id id = file->nextId_++;
            file->records_.emplace(id, Record{std::string(page.substr(at + 2, file->layout_.recordLength)), {}});
            slots[id] = page.substr(at, physical);
            byAddress[l * ps + static_cast<uint32_t>(at)] = id;
        }
    }
    file->unusedPages_ = UnusedPages(img.pageCount(), ps, used);

    // Sequence numbers: duplicates in the order their chains give, the rest in
    // physical order.
    for (auto& [id, r] : file->records_) r.seq.assign(file->layout_.keys.size(), 0);
    size_t dup = 0;
    for (size_t k = 0; k < file->layout_.keys.size(); ++k) {
        if (!file->layout_.keys[k].duplicates()) {
            for (auto& [id, r] : file->records_) r.seq[k] = file->nextSeq_++;
            continue;
        }
        const uint16_t offset = dup < dupOffsets.size() ? dupOffsets[dup] : 0;
        ++dup;
        std::set<Id> placed;
        auto next = [&](Id id) -> Id {
            const std::string_view slot = slots[id];
            if (offset + 8u > slot.size()) return 0;
            const auto it = byAddress.find(Swapped(slot, offset + 4u));
            return it == byAddress.end() ? 0 : it->second;
        };
        auto prev = [&](Id id) -> uint32_t {
            const std::string_view slot = slots[id];
            return offset + 8u > slot.size() ? kNone : Swapped(slot, offset);
        };
        for (auto& [id, r] : file->records_) {
            if (placed.count(id) || (prev(id) != kNone && byAddress.count(prev(id)))) continue;
            for (Id at = id; at && !placed.count(at); at = next(at)) {
                placed.insert(at);
                file->records_[at].seq[k] = file->nextSeq_++;
            }
        }
        for (auto& [id, r] : file->records_)
            if (!placed.count(id)) r.seq[k] = file->nextSeq_++;
    }
    for (auto& [id, r] : file->records_) {
        for (size_t k = 0; k < file->layout_.keys.size(); ++k) {
            std::string value = KeyValue(file->layout_.keys[k], r.data);
            if (!IsNullKey(file->layout_.keys[k], value)) file->indexes_[k].insert(Entry{std::move(value), r.seq[k], id});
        }
    }
    return file;
}

// --- writing --------------------------------------------------------------------

namespace {

// A B-tree node: entries by their place in the sorted list, and children.
struct Node {
    std::vector<size_t> entries;
    std::vector<size_t> children;  // node indexes; empty for a leaf
};

// Entries a tree of `height` levels holds at most.
size_t Capacity(size_t perPage, int height) {
    size_t cap = perPage;
    for (int h = 1; h < height; ++h) cap = perPage + (perPage + 1) * cap;
    return cap;
}

// Builds a balanced tree over entries [first, first + count): every leaf at
// the same depth, the pages filled evenly.
size_t BuildTree(std::vector<Node>& nodes, size_t first, size_t count, size_t perPage, int height) {
    const size_t self = nodes.size();
    nodes.emplace_back();
    if (height == 1) {
        for (size_t i = 0; i < count; ++i) nodes[self].entries.push_back(first + i);
        return self;
    }
    const size_t below = Capacity(perPage, height - 1);
    size_t children = (count + 1 + below) / (below + 1);
    if (children < 2) children = 2;
    const size_t inChildren = count - (children - 1);
    size_t at = first;
    for (size_t c = 0; c < children; ++c) {
        const size_t n = inChildren / children + (c < inChildren % children ? 1 : 0);
        const size_t child = BuildTree(nodes, at, n, perPage, height - 1);
        nodes[self].children.push_back(child);
        at += n;
        if (c + 1 < children) nodes[self].entries.push_back(at++);
    }
    return self;
}

}  // namespace

std::string BtrFile::Save() {
    const uint16_t ps = layout_.pageSize;
    const uint16_t physical = physicalLength();
    const bool variable = layout_.fileFlags & fileflag::Variable;
    const size_t perDataPage = (ps - 6u) / physical;

    // Logical pages: the ACS tables, each key's tree (root first), then data.
    uint32_t nextLogical = 1;
    std::vector<uint32_t> acsPage;
    for (size_t i = 0; i < layout_.acs.size(); ++i) acsPage.push_back(nextLogical++);

    // Record addresses in the new image: data pages come after the trees.
    std::map<Id, uint32_t> address;
    struct Tree {
        std::vector<const Entry*> entries;  // one per distinct value (the first of its duplicates)
        std::vector<const Entry*> last;     // the last duplicate of each value
        std::vector<Node> nodes;
        std::vector<uint32_t> pageOf;       // logical page of each node
        size_t entrySize = 0, perPage = 0;
    };
    std::vector<Tree> trees(layout_.keys.size());
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const Key& key = layout_.keys[k];
        Tree& t = trees[k];
        t.entrySize = key.length() + 8u + (key.duplicates() ? 4u : 0u);
        t.perPage = (ps - 16u) / t.entrySize;
        for (const Entry& e : indexes_[k]) {
            if (!t.entries.empty() && CompareKeys(key, layout_.acs, t.entries.back()->key, e.key) == 0) {
                t.last.back() = &e;
                continue;
            }
            t.entries.push_back(&e);
            t.last.push_back(&e);
        }
        int height = 1;
        while (Capacity(t.perPage, height) < t.entries.size()) ++height;
        BuildTree(t.nodes, 0, t.entries.size(), t.perPage, height);
        for (size_t n = 0; n < t.nodes.size(); ++n) t.pageOf.push_back(nextLogical++);
    }
    const uint32_t firstData = nextLogical;
    const size_t dataPages = records_.empty() ? 1 : (records_.size() + perDataPage - 1) / perDataPage;
    {
        size_t i = 0;
        for (const auto& [id, r] : records_) {
            const uint32_t page = firstData + static_cast<uint32_t>(i / perDataPage);
            address[id] = page * ps + static_cast<uint32_t>(6 + (i % perDataPage) * physical);
            ++i;
        }
    }
    nextLogical = firstData + static_cast<uint32_t>(dataPages);
    const uint32_t usedLogical = nextLogical - 1;

    // Physical pages: PAT pairs sit at fixed places; logical pages fill the rest.
    const uint32_t cap = PatCapacity(ps);
    auto patPairs = [&](uint32_t logical) { return (logical + cap - 1) / cap; };
    auto physicalOf = [&](uint32_t logical) { return PhysicalOf(ps, logical); };
    // A file never shrinks: preallocated pages, and pages once in use, stay.
    uint32_t totalPages = physicalOf(usedLogical) + 1;
    if ((layout_.fileFlags & fileflag::Preallocate) && layout_.preallocate > totalPages) totalPages = layout_.preallocate;
    if (pages_ > totalPages) totalPages = pages_;
    const uint32_t pairs = patPairs(std::max<uint32_t>(usedLogical, 1));
    std::string image(static_cast<size_t>(totalPages) * ps, '\0');
    auto page = [&](uint32_t phys) { return static_cast<size_t>(phys) * ps; };
    auto pageHeader = [&](size_t at, uint32_t logical, uint8_t type, uint16_t usage) {
        PutPageRef(image, at, logical, type);
        Put16(image, at + 4, usage);
    };
    std::map<uint32_t, uint8_t> typeOf;

    // ACS pages.
    for (size_t i = 0; i < layout_.acs.size(); ++i) {
        const size_t at = page(physicalOf(acsPage[i]));
        pageHeader(at, acsPage[i], kAcsPage, 0);
        image[at + 6] = static_cast<char>(0xAC);
        std::string name = layout_.acs[i].name;
        name.resize(8, ' ');
        image.replace(at + 7, 8, name);
        std::memcpy(&image[at + 15], layout_.acs[i].map.data(), 256);
        typeOf[acsPage[i]] = kAcsPage;
    }

    // Index pages: each entry is the key, the record's address (for duplicate
    // keys the first and the last of its chain) and the child to its right;
    // the last entry's child field is 0, its right child in the header.
    for (size_t k = 0; k < trees.size(); ++k) {
        const Tree& t = trees[k];
        const uint8_t type = static_cast<uint8_t>(kIndexPage + k);
        const bool dups = layout_.keys[k].duplicates();
        for (size_t n = 0; n < t.nodes.size(); ++n) {
            const Node& node = t.nodes[n];
            const size_t at = page(physicalOf(t.pageOf[n]));
            pageHeader(at, t.pageOf[n], type, 1);
            Put16(image, at + 6, static_cast<uint32_t>(node.entries.size()));
            auto childRef = [&](size_t at2, size_t childIndex) {
                if (node.children.empty())
                    Put32(image, at2, kNone);
                else
                    PutPageRef(image, at2, t.pageOf[node.children[childIndex]], type);
            };
            childRef(at + 8, node.entries.size());  // rightmost
            childRef(at + 12, 0);                    // leftmost
            size_t e = at + 16;
            for (size_t i = 0; i < node.entries.size(); ++i, e += t.entrySize) {
                const size_t which = node.entries[i];
                const Entry& entry = *t.entries[which];
                image.replace(e, entry.key.size(), entry.key);
                size_t a = e + entry.key.size();
                PutSwapped(image, a, address[entry.id]);
                a += 4;
                if (dups) {
                    PutSwapped(image, a, address[t.last[which]->id]);
                    a += 4;
                }
                if (i + 1 == node.entries.size())
                    Put32(image, a, 0);
                else
                    childRef(a, i + 1);
            }
            typeOf[t.pageOf[n]] = type;
        }
    }

    // Data pages, with each duplicate key's chain: previous and next address.
    std::vector<size_t> dupKeys;
    for (size_t k = 0; k < layout_.keys.size(); ++k)
        if (layout_.keys[k].duplicates()) dupKeys.push_back(k);
    std::map<std::pair<size_t, Id>, std::pair<uint32_t, uint32_t>> chain;
    for (size_t k : dupKeys) {
        const Entry* prev = nullptr;
        for (const Entry& e : indexes_[k]) {
            const bool same = prev && CompareKeys(layout_.keys[k], layout_.acs, prev->key, e.key) == 0;
            chain[{k, e.id}] = {same ? address[prev->id] : kNone, kNone};
            if (same) chain[{k, prev->id}].second = address[e.id];
            prev = &e;
        }
    }
    const size_t dupStart = 2u + layout_.recordLength + (variable ? 4u : 0u);
    for (size_t p = 0; p < dataPages; ++p) {
        const uint32_t logical = firstData + static_cast<uint32_t>(p);
        pageHeader(page(physicalOf(logical)), logical, kDataPage, 0x8001);
        typeOf[logical] = kDataPage;
    }
    for (const auto& [id, r] : records_) {
        const uint32_t addr = address[id];
        const size_t at = page(physicalOf(addr / ps)) + addr % ps;
        Put16(image, at, 1);
        image.replace(at + 2, r.data.size(), r.data);
        if (variable) Put32(image, at + 2 + layout_.recordLength, kNone);
        for (size_t d = 0; d < dupKeys.size(); ++d) {
            const auto it = chain.find({dupKeys[d], id});
            const auto links = it == chain.end() ? std::make_pair(kNone, kNone) : it->second;
            PutSwapped(image, at + dupStart + 8 * d, links.first);
            PutSwapped(image, at + dupStart + 8 * d + 4, links.second);
        }
    }

    // PAT pairs: every entry of a PAT maps its logical page, the unused ones as
    // free pages.
    const uint32_t usage = usage_ + 1;
    for (uint32_t k = 0; k < pairs; ++k) {
        for (uint32_t copy = 0; copy < 2; ++copy) {
            const uint32_t phys = PatPage(ps, k) + copy;
            if (phys >= totalPages) continue;
            const size_t at = page(phys);
            image[at] = 'P';
            image[at + 1] = 'P';
            Put16(image, at + 2, k + 1);
            Put32(image, at + 4, usage + copy);
            for (uint32_t i = 0; i < cap; ++i) {
                const uint32_t logical = k * cap + i + 1;
                const auto type = typeOf.find(logical);
                PutPageRef(image, at + 8 + 4 * i, physicalOf(logical), type == typeOf.end() ? 0 : type->second);
            }
        }
    }

    // The FCR, twice; the second copy is current.
    std::string fcr(ps, '\0');
    std::memcpy(&fcr[0], "FC\0\0", 4);
    for (const FixedByte& b : kFreshFcr) fcr[b.at] = static_cast<char>(b.value);
    for (const auto& run : kFreshFcrRuns) std::memset(&fcr[run[0]], 0xFF, run[1]);
    Put16(fcr, kPageSize, ps);
    Put16(fcr, kKeyCount, static_cast<uint32_t>(layout_.keys.size()));
    Put16(fcr, kRecordLength, layout_.recordLength);
    Put16(fcr, kPhysicalLength, physical);
    PutSwapped(fcr, kRecordCount, static_cast<uint32_t>(records_.size()));
    PutSwapped(fcr, kPageCount, usedLogical + 1);
    if (variable) {
        Put32(fcr, kVariableMark, kNone);
        fcr[kVariableThreshold] = static_cast<char>(0xCC);
    }
    if (!layout_.acs.empty()) {
        std::string name = layout_.acs.front().name;
        name.resize(8, ' ');
        fcr.replace(kAcsName, 8, name);
    }
    Put16(fcr, kVersion, layout_.version);
    Put16(fcr, kDupOffset, static_cast<uint32_t>(dupStart));
    Put16(fcr, kDupKeys, static_cast<uint32_t>(dupKeys.size()));
    size_t segments = 0;
    for (const auto& key : layout_.keys) segments += key.segments.size();
    fcr[kKeysAndSegments] = static_cast<char>(layout_.keys.size());
    fcr[kKeysAndSegments + 1] = static_cast<char>(segments);
    const uint16_t table = static_cast<uint16_t>(ps - 0xF0);
    Put16(fcr, kKeyTable, table);
    Put16(fcr, kFileFlags, layout_.fileFlags);
    size_t at = kFirstKeySpec;
    size_t dupIndex = 0;
    for (size_t k = 0; k < layout_.keys.size(); ++k) {
        const Key& key = layout_.keys[k];
        const Tree& t = trees[k];
        Put16(fcr, table + 2 * k, static_cast<uint32_t>(at));
        for (size_t s = 0; s < key.segments.size(); ++s, at += kSegmentSpec) {
            const Segment& seg = key.segments[s];
            uint16_t flags = seg.flags;
            if (s + 1 < key.segments.size())
                flags |= keyflag::Segmented;
            else
                flags &= static_cast<uint16_t>(~keyflag::Segmented);
            if (s == 0) {
                PutPageRef(fcr, at, t.pageOf.front(), static_cast<uint8_t>(kIndexPage + k));
                PutSwapped(fcr, at + 4, static_cast<uint32_t>(t.entries.size()));
                Put16(fcr, at + 0x0A, key.length());
                Put16(fcr, at + 0x0C, static_cast<uint32_t>(t.entrySize));
                Put16(fcr, at + 0x0E, static_cast<uint32_t>(t.perPage));
                Put16(fcr, at + 0x10, static_cast<uint32_t>(t.perPage / 2));
                if (key.duplicates()) Put16(fcr, at + 0x12, static_cast<uint32_t>(dupStart + 8 * dupIndex++));
                fcr[at + 0x18] = static_cast<char>(kIndexPage + k);
            }
            Put16(fcr, at + 0x08, flags);
            Put16(fcr, at + 0x14, seg.offset + 2u);
            Put16(fcr, at + 0x16, seg.length);
            if ((seg.flags & keyflag::Acs) && seg.acs >= 0) {
                const uint32_t p = acsPage[static_cast<size_t>(seg.acs)];
                fcr[at + 0x19] = static_cast<char>((p >> 16) & 0xFF);
                Put16(fcr, at + 0x1A, p & 0xFFFF);
            }
            fcr[at + 0x1C] = static_cast<char>(seg.type);
            fcr[at + 0x1D] = static_cast<char>(seg.nullValue);
        }
    }
    for (uint32_t copy = 0; copy < 2; ++copy) {
        Put32(fcr, kUsage, usage + copy);
        image.replace(page(copy), ps, fcr);
    }
    usage_ = usage + 1;
    pages_ = totalPages;
    unusedPages_ = UnusedPages(totalPages, ps, usedLogical);
    return image;
}

}  // namespace btr
