// The Btrieve stand-in's core: genuine files read exactly, the images it
// writes read back and have the 6.x structure, key order with every kind of
// segment, and the engine's operations and status codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <sstream>
#include <cstdlib>
#include <optional>

#include "btr_engine.h"
#include "btr_file.h"

namespace btr {
namespace {

std::string ReadSample(const std::string& name) {
    std::ifstream in(std::string(KX_BTRIEVE_SAMPLES) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

uint16_t U16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Swapped(const std::string& b, size_t at) { return static_cast<uint32_t>(U16(b, at)) << 16 | U16(b, at + 2); }
uint32_t Ref(const std::string& b, size_t at) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) << 16 | U16(b, at + 2); }

// An independent reader of a file's index trees, written from the format
// alone: the key values of key `k` in tree order (in-order walk from the
// root), with each entry's record address(es).
struct TreeEntry {
    std::string key;
    uint32_t first, last;
};
struct TreeReader {
    const std::string& image;
    uint16_t ps;
    std::string fcr;
    std::vector<uint32_t> physical;  // by logical page
    explicit TreeReader(const std::string& img) : image(img), ps(U16(img, 8)) {
        const std::string a = image.substr(0, ps), b = image.substr(ps, ps);
        fcr = (b.compare(0, 2, "FC") == 0 && U16(b, 4) >= U16(a, 4)) ? b : a;
        const std::string p0 = image.substr(2u * ps, ps), p1 = image.substr(3u * ps, ps);
        const std::string pat = (p1.compare(0, 2, "PP") == 0 && U16(p1, 4) >= U16(p0, 4)) ? p1 : p0;
        physical.push_back(0);
        for (size_t i = 0; i < ps / 4u - 2; ++i) physical.push_back(Ref(pat, 8 + 4 * i));
    }
    std::string Page(uint32_t logical) const { return image.substr(static_cast<size_t>(physical[logical]) * ps, ps); }
    std::vector<TreeEntry> Walk(size_t k, int* depth = nullptr) const {
        const size_t layout = U16(fcr, U16(fcr, 0x78) + 2 * k);
        const uint16_t keyLength = U16(fcr, layout + 0x0A), entrySize = U16(fcr, layout + 0x0C),
                       maxEntries = U16(fcr, layout + 0x0E), minEntries = U16(fcr, layout + 0x10);
        const bool dups = U16(fcr, layout + 0x08) & 1;
        std::vector<TreeEntry> out;
        int deepest = 0;
        std::function<void(uint32_t, int)> visit = [&](uint32_t logical, int level) {
            deepest = std::max(deepest, level);
            const std::string p = Page(logical);
            EXPECT_EQ(Ref(p, 0), logical) << "the page names itself";
            EXPECT_EQ(static_cast<uint8_t>(p[1]), 0x80 + k) << "index page of its key";
            const uint16_t n = U16(p, 6);
            EXPECT_LE(n, maxEntries);
            if (level > 1) {
                EXPECT_GE(n, minEntries) << "a page below the root is at least half full";
            }
            const bool leaf = Swapped(p, 12) == 0xFFFFFFFF;
            if (!leaf) visit(Ref(p, 12), level + 1);
            for (uint16_t i = 0; i < n; ++i) {
                const size_t e = 16 + static_cast<size_t>(i) * entrySize;
                TreeEntry t{p.substr(e, keyLength), Swapped(p, e + keyLength), 0};
                t.last = dups ? Swapped(p, e + keyLength + 4) : t.first;
                out.push_back(t);
                const size_t child = e + keyLength + (dups ? 8 : 4);
                if (!leaf) visit(i + 1 == n ? Ref(p, 8) : Ref(p, child), level + 1);
                else EXPECT_EQ(Swapped(p, child), i + 1 == n ? 0u : 0xFFFFFFFFu);
            }
        };
        visit(Ref(fcr, layout), 1);
        if (depth) *depth = deepest;
        return out;
    }
    // The record at an address, without its usage count.
    std::string RecordAt(uint32_t address, uint16_t length) const {
        return Page(address / ps).substr(address % ps + 2, length);
    }
};

TEST(BtrieveSamples, GaltelaReadsExactly) {
    const std::string image = ReadSample("GALTELA.DAT");
    ASSERT_EQ(image.size(), 143360u);
    auto file = BtrFile::Load(image);
    const FileLayout& s = file->layout();
    EXPECT_EQ(s.version, 0x0600);
    EXPECT_EQ(s.pageSize, 4096);
    EXPECT_EQ(s.recordLength, 950);
    EXPECT_EQ(file->physicalLength(), 968);
    EXPECT_EQ(file->records().size(), 73u);
    ASSERT_EQ(s.keys.size(), 3u);
    EXPECT_EQ(s.keys[0].segments.size(), 2u);
    EXPECT_EQ(s.keys[0].length(), 32);
    EXPECT_FALSE(s.keys[0].duplicates());
    EXPECT_TRUE(s.keys[1].duplicates());
    EXPECT_EQ(s.keys[1].segments[0].offset, 0);
    EXPECT_EQ(s.keys[2].segments[0].offset, 16);
    EXPECT_EQ(file->DistinctValues(1), 2u);
    EXPECT_EQ(file->DistinctValues(2), 73u);
    ASSERT_EQ(s.acs.size(), 1u);
    EXPECT_EQ(s.acs[0].name, "GALCAPS ");
    // Every key in the order the file's own index keeps, duplicates in the
    // order of their chains.
    const TreeReader tree(image);
    for (size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const auto onDisk = tree.Walk(k);
        std::vector<std::string> ours;
        for (const auto& e : file->index(k))
            if (ours.empty() || CompareKeys(s.keys[k], s.acs, ours.back(), e.key) != 0) ours.push_back(e.key);
        ASSERT_EQ(onDisk.size(), ours.size());
        for (size_t i = 0; i < ours.size(); ++i) EXPECT_EQ(onDisk[i].key, ours[i]) << i;
    }
    // The DEFAULT chain of key 1 runs from the entry's first record to its last.
    const auto chain = tree.Walk(1)[1];
    std::vector<std::string> inOrder;
    for (const auto& e : file->index(1))
        if (e.key.compare(0, 7, "DEFAULT") == 0) inOrder.push_back(file->records().at(e.id).data);
    ASSERT_EQ(inOrder.size(), 72u);
    EXPECT_EQ(inOrder.front(), tree.RecordAt(chain.first, 950));
    EXPECT_EQ(inOrder.back(), tree.RecordAt(chain.last, 950));
}

TEST(BtrieveSamples, MultiAcsFreshFile) {
    auto file = BtrFile::Load(ReadSample("MULTIACS.DAT"));
    const FileLayout& s = file->layout();
    EXPECT_EQ(s.version, 0x0610);
    EXPECT_EQ(s.recordLength, 128);
    EXPECT_EQ(file->physicalLength(), 142) << "a variable-length file keeps 4 more bytes";
    EXPECT_TRUE(file->records().empty());
    ASSERT_EQ(s.acs.size(), 2u);
    EXPECT_EQ(s.acs[0].name.substr(0, 7), "ALLCAPS");
    EXPECT_EQ(s.acs[1].name.substr(0, 5), "LOWER");
    ASSERT_EQ(s.keys.size(), 3u);
    EXPECT_EQ(s.keys[0].segments[0].acs, 0);
    EXPECT_EQ(s.keys[2].segments[0].acs, 1);
    EXPECT_EQ(s.keys[1].segments.size(), 2u);
    EXPECT_EQ(s.keys[1].segments[1].type, ext::Float);
}

TEST(BtrieveSamples, AReadFileWrittenAgainReadsTheSame) {
    auto file = BtrFile::Load(ReadSample("GALTELA.DAT"));
    const std::string image = file->Save();
    auto again = BtrFile::Load(image);
    ASSERT_EQ(again->records().size(), 73u);
    for (size_t k = 0; k < 3; ++k) {
        auto a = file->index(k).begin();
        for (const auto& e : again->index(k)) EXPECT_EQ(e.key, (a++)->key);
    }
    auto r = file->records().begin();
    for (const auto& [id, rec] : again->records()) EXPECT_EQ(rec.data, (r++)->second.data) << "physical order kept";
}

// A record of 132 bytes: an integer, a descending float, a string.
std::string Row(int32_t number, double amount, const std::string& name) {
    std::string r(132, ' ');
    std::memcpy(&r[0], &number, 4);
    std::memcpy(&r[4], &amount, 8);
    r.replace(12, std::min<size_t>(name.size(), 20), name.substr(0, 20));
    return r;
}

FileLayout JournalLikeLayout(uint16_t pageSize) {
    FileLayout layout;
    layout.recordLength = 132;
    layout.pageSize = pageSize;
    Segment number{0, 4, keyflag::Extended | keyflag::Modifiable, ext::Integer, 0, -1};
    Segment amount{4, 8, keyflag::Extended | keyflag::Duplicates | keyflag::Descending | keyflag::Modifiable,
                   ext::Float, 0, -1};
    Segment name{12, 20, keyflag::Extended | keyflag::Duplicates | keyflag::Modifiable, ext::String, 0, -1};
    Segment nameNumber = number;
    nameNumber.flags = name.flags;
    layout.keys = {Key{{number}}, Key{{amount}}, Key{{name, nameNumber}}};
    return layout;
}

TEST(BtrieveImage, TenThousandRandomRecordsInKeyOrderByEveryKey) {
    auto file = BtrFile::Create(JournalLikeLayout(2048));
    std::mt19937 rng(7);
    struct Want {
        int32_t number;
        double amount;
        std::string name;
        size_t order;
    };
    std::vector<Want> rows;
    std::vector<int32_t> numbers(10000);
    for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<int32_t>(i * 7 - 30000);
    std::shuffle(numbers.begin(), numbers.end(), rng);
    for (size_t i = 0; i < numbers.size(); ++i) {
        const double amount = static_cast<double>(rng() % 50) / 4.0 - 5;  // many duplicates
        const std::string name = "N" + std::to_string(rng() % 300);
        rows.push_back({numbers[i], amount, name, i});
        file->Insert(Row(numbers[i], amount, name));
    }
    const std::string image = file->Save();
    const TreeReader tree(image);
    auto back = BtrFile::Load(image);
    ASSERT_EQ(back->records().size(), rows.size());

    auto check = [&](size_t k, auto less) {
        SCOPED_TRACE(k);
        std::vector<Want> want = rows;
        std::stable_sort(want.begin(), want.end(), less);
        size_t i = 0;
        for (const auto& e : back->index(k)) {
            const std::string& r = back->records().at(e.id).data;
            ASSERT_EQ(r, Row(want[i].number, want[i].amount, want[i].name)) << i;
            ++i;
        }
        // The tree on disk lists the same values, level by level balanced.
        int depth = 0;
        const auto onDisk = tree.Walk(k, &depth);
        std::vector<std::string> distinct;
        for (const auto& e : back->index(k))
            if (distinct.empty() || CompareKeys(back->layout().keys[k], {}, distinct.back(), e.key) != 0)
                distinct.push_back(e.key);
        if (distinct.size() > 200) {
            EXPECT_GT(depth, 1) << "more values than a page holds: a multi-level tree";
        }
        ASSERT_EQ(onDisk.size(), distinct.size());
        for (size_t j = 0; j < distinct.size(); ++j) ASSERT_EQ(onDisk[j].key, distinct[j]);
    };
    check(0, [](const Want& a, const Want& b) { return a.number < b.number; });
    check(1, [](const Want& a, const Want& b) { return a.amount > b.amount; });  // descending, insertion order within
    check(2, [](const Want& a, const Want& b) {
        const std::string x = (a.name + std::string(20, ' ')).substr(0, 20), y = (b.name + std::string(20, ' ')).substr(0, 20);
        return x != y ? x < y : a.number < b.number;
    });
}

TEST(BtrieveImage, StructureOfAWrittenFile) {
    FileLayout layout = JournalLikeLayout(2048);
    layout.fileFlags = fileflag::Preallocate;
    layout.preallocate = 16;
    auto file = BtrFile::Create(layout);
    for (int i = 0; i < 10; ++i) file->Insert(Row(i, i % 3, "same"));
    const std::string image = file->Save();
    EXPECT_EQ(image.size(), 16u * 2048) << "exactly the pages asked for";
    const TreeReader tree(image);
    const std::string& fcr = tree.fcr;
    EXPECT_EQ(fcr.compare(0, 4, std::string("FC\0\0", 4)), 0);
    EXPECT_EQ(U16(fcr, 0x08), 2048);
    EXPECT_EQ(U16(fcr, 0x14), 3);
    EXPECT_EQ(U16(fcr, 0x16), 132);
    EXPECT_EQ(U16(fcr, 0x18), 132 + 2 + 2 * 8) << "two duplicate keys";
    EXPECT_EQ(Swapped(fcr, 0x1A), 10u);
    EXPECT_EQ(U16(fcr, 0x4A), 0x0600);
    EXPECT_EQ(U16(fcr, 0x78), 2048 - 0xF0);
    // Both FCR copies; the second is current.
    EXPECT_EQ(U16(image, 4) + 1, U16(image, 2048 + 4));
    // Key 1 (duplicates): entry size, entries per page, offset of its chain pointers.
    const size_t k1 = U16(fcr, U16(fcr, 0x78) + 2);
    EXPECT_EQ(U16(fcr, k1 + 0x0C), 8 + 4 + 4 + 4);
    EXPECT_EQ(U16(fcr, k1 + 0x0E), (2048 - 16) / 20);
    EXPECT_EQ(U16(fcr, k1 + 0x12), 2 + 132);
    EXPECT_EQ(Swapped(fcr, k1 + 4), 3u) << "distinct values";
    // PAT: every used logical page maps to a page that names itself.
    for (uint32_t l = 1; l <= 4; ++l) EXPECT_EQ(Ref(tree.Page(l), 0), l);
    EXPECT_EQ(static_cast<uint8_t>(tree.Page(4)[1]), 'D');
    EXPECT_EQ(Swapped(fcr, 0x26), 5u) << "logical pages in use, and one";
    auto back = BtrFile::Load(image);
    EXPECT_EQ(back->unusedPages(), 16u - 2 - 2 - 3 - 1) << "besides the FCR and PAT pairs, 3 index roots and 1 data page";
}

TEST(BtrieveImage, CorruptOrTruncatedFilesGiveAStatus) {
    const std::string good = ReadSample("GALTELA.DAT");
    auto status = [](const std::string& image) {
        try {
            BtrFile::Load(image);
            return 0;
        } catch (const BtrError& e) {
            return e.status();
        }
    };
    EXPECT_EQ(status(""), status::NotBtrieveFile);
    EXPECT_EQ(status(std::string(4096, 'x')), status::NotBtrieveFile);
    EXPECT_EQ(status(good.substr(0, 3 * 4096)), status::NotBtrieveFile) << "no PAT";
    EXPECT_NE(status(good.substr(0, 20 * 4096)), 0) << "pages missing";
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        std::string bad = good;
        for (int j = 0; j < 16; ++j) bad[rng() % bad.size()] = static_cast<char>(rng());
        status(bad);  // any status, or a file; never a crash (ASan watches)
    }
}

// The engine through its call interface.
class BtrieveEngine : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("btr-unit-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        engine_ = std::make_unique<Engine>(FileSystemStorage());
    }
    void TearDown() override {
        engine_.reset();
        std::filesystem::remove_all(dir_);
    }
    int Call(int op, std::string* data, std::string* key, int keyNumber, uint8_t* pb = nullptr) {
        uint32_t length = data ? static_cast<uint32_t>(data->size()) : 0;
        const int st = engine_->Call(op, pb ? pb : pos_, data ? data->data() : nullptr, &length,
                                     key ? key->data() : nullptr, static_cast<uint8_t>(key ? key->size() : 0),
                                     static_cast<int8_t>(keyNumber));
        if (data) data->resize(length);
        return st;
    }
    std::string Path(const char* name) { return (dir_ / name).string(); }
    std::filesystem::path dir_;
    std::unique_ptr<Engine> engine_;
    uint8_t pos_[128] = {};
};

TEST_F(BtrieveEngine, CreateInsertGetUpdateDeleteAndStatuses) {
    // Create: a 16-byte file layout and a 16-byte segment: an integer key at 1.
    std::string layout(32, '\0');
    layout[0] = 20;  // record length
    layout[3] = 8;   // page size 2048
    layout[4] = 1;   // one key
    layout[16] = 1;  // position 1
    layout[18] = 4;  // length 4
    layout[20] = static_cast<char>(keyflag::Extended & 0xFF);
    layout[21] = static_cast<char>((keyflag::Extended | keyflag::Modifiable) >> 8);
    layout[20] |= static_cast<char>(keyflag::Modifiable);
    layout[26] = ext::Integer;
    std::string name = Path("T.DAT") + " ";
    EXPECT_EQ(Call(op::Create, &layout, &name, 0), status::Success);
    EXPECT_EQ(Call(op::Create, &layout, &name, -1), status::FileExists);
    std::string missing = Path("NONE.DAT");
    EXPECT_EQ(Call(op::Open, nullptr, &missing, 0), status::FileNotFound);
    EXPECT_EQ(Call(op::GetFirst, nullptr, &missing, 0), status::NotOpen);
    ASSERT_EQ(Call(op::Open, nullptr, &name, 0), status::Success);
    auto rec = [](int32_t n, const char* text) {
        std::string r(20, '\0');
        std::memcpy(&r[0], &n, 4);
        std::strncpy(&r[4], text, 16);
        return r;
    };
    std::string key(4, '\0');
    for (int n : {30, 10, 20}) {
        std::string r = rec(n, "row");
        ASSERT_EQ(Call(op::Insert, &r, &key, 0), status::Success);
    }
    std::string dupe = rec(20, "again");
    EXPECT_EQ(Call(op::Insert, &dupe, &key, 0), status::DuplicateKey);
    std::string shortData(10, '\0');
    EXPECT_EQ(Call(op::Insert, &shortData, &key, 0), status::DataBufferTooShort);
    std::string data(20, '\0');
    EXPECT_EQ(Call(op::GetFirst, &data, &key, 1), status::InvalidKeyNumber);
    std::string shortKey(2, '\0');
    EXPECT_EQ(Call(op::GetFirst, &data, &shortKey, 0), status::KeyBufferTooShort);
    ASSERT_EQ(Call(op::GetFirst, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(10, "row"));
    ASSERT_EQ(Call(op::GetNext, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(20, "row"));
    std::string changed = rec(25, "moved");
    ASSERT_EQ(Call(op::Update, &changed, &key, 0), status::Success);
    ASSERT_EQ(Call(op::GetNext, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(30, "row"));
    EXPECT_EQ(Call(op::GetNext, &data, &key, 0), status::EndOfFile);
    int32_t want = 25;
    std::memcpy(key.data(), &want, 4);
    ASSERT_EQ(Call(op::GetEqual, &data, &key, 0), status::Success);
    EXPECT_EQ(data, changed);
    ASSERT_EQ(Call(op::Delete, nullptr, nullptr, 0), status::Success);
    EXPECT_EQ(Call(op::Delete, nullptr, nullptr, 0), status::InvalidPositioning);
    EXPECT_EQ(Call(op::GetEqual, &data, &key, 0), status::KeyNotFound);
    want = 99;
    std::memcpy(key.data(), &want, 4);
    EXPECT_EQ(Call(op::GetGreater, &data, &key, 0), status::EndOfFile);
    want = 10;
    std::memcpy(key.data(), &want, 4);
    ASSERT_EQ(Call(op::GetGreater, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(30, "row")) << "25 was deleted";
    EXPECT_EQ(key.compare(0, 4, rec(30, "").substr(0, 4)), 0) << "the key buffer gets the record's key";
    std::memcpy(key.data(), &want, 4);
    ASSERT_EQ(Call(op::GetLessOrEqual, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(10, "row"));
    EXPECT_EQ(Call(op::GetLess, &data, &key, 0), status::EndOfFile);
    ASSERT_EQ(Call(op::StepFirst, &data, nullptr, 0), status::Success);
    EXPECT_EQ(data, rec(30, "row")) << "physical order: first inserted first";
    ASSERT_EQ(Call(op::StepNext, &data, nullptr, 0), status::Success);
    EXPECT_EQ(data, rec(10, "row"));
    EXPECT_EQ(Call(op::StepNext, &data, nullptr, 0), status::EndOfFile);
    std::string stat(64, '\0');
    ASSERT_EQ(Call(op::Stat, &stat, &key, 0), status::Success);
    EXPECT_EQ(stat.size(), 32u);
    EXPECT_EQ(U16(stat, 0), 20);
    EXPECT_EQ(U16(stat, 6), 2) << "records";
    std::string tiny(8, '\0');
    EXPECT_EQ(Call(op::Stat, &tiny, &key, 0), status::DataBufferTooShort);
    ASSERT_EQ(Call(op::Close, nullptr, nullptr, 0), status::Success);
    EXPECT_EQ(Call(op::Close, nullptr, nullptr, 0), status::NotOpen);
    // Written at close; read-only opens refuse changes.
    ASSERT_EQ(Call(op::Open, nullptr, &name, -2), status::Success);
    ASSERT_EQ(Call(op::GetLast, &data, &key, 0), status::Success);
    EXPECT_EQ(data, rec(30, "row"));
    EXPECT_EQ(Call(op::Insert, &changed, &key, 0), status::AccessDenied);
    uint8_t other[128] = {};
    EXPECT_EQ(Call(op::Open, nullptr, &name, -4, other), status::FileLocked) << "exclusive while open";
    EXPECT_EQ(Call(op::Close, nullptr, nullptr, 0), status::Success);
    std::string notBtrieve = Path("PLAIN.TXT");
    std::ofstream(notBtrieve) << "just text, not a Btrieve file at all, long enough to look at";
    EXPECT_EQ(Call(op::Open, nullptr, &notBtrieve, 0), status::NotBtrieveFile);
    EXPECT_EQ(Call(99, nullptr, nullptr, 0), status::InvalidOperation);
}

// A file system whose writes fail half way: the temporary image is cut and
// never moved over the file.
class FailingWrites : public Storage {
public:
    explicit FailingWrites(std::unique_ptr<Storage> real) : real_(std::move(real)) {}
    std::optional<std::string> Read(const std::string& p) override { return real_->Read(p); }
    bool Exists(const std::string& p) override { return real_->Exists(p); }
    std::string Canonical(const std::string& p) override { return real_->Canonical(p); }
    std::string FullPath(const std::string& p) override { return real_->FullPath(p); }
    bool Replace(const std::string& p, const std::string& image) override {
        std::ofstream(p + ".~kx", std::ios::binary) << image.substr(0, image.size() / 2);
        std::remove((p + ".~kx").c_str());
        return false;
    }

private:
    std::unique_ptr<Storage> real_;
};

TEST_F(BtrieveEngine, AnInterruptedWriteLeavesTheLastImage) {
    auto file = BtrFile::Create(JournalLikeLayout(2048));
    file->Insert(Row(1, 1, "kept"));
    const std::string path = Path("J.DAT");
    ASSERT_TRUE(FileSystemStorage()->Replace(path, file->Save()));
    Engine failing(std::make_unique<FailingWrites>(FileSystemStorage()));
    uint8_t pb[128] = {};
    std::string name = path, key(32, '\0');
    uint32_t length = 0;
    ASSERT_EQ(failing.Call(op::Open, pb, nullptr, &length, name.data(), static_cast<uint8_t>(name.size()), 0), 0);
    std::string row = Row(2, 2, "lost");
    length = static_cast<uint32_t>(row.size());
    ASSERT_EQ(failing.Call(op::Insert, pb, row.data(), &length, key.data(), 32, 0), 0);
    EXPECT_EQ(failing.Call(op::Close, pb, nullptr, &length, nullptr, 0, 0), status::IoError);
    auto back = BtrFile::Load(*FileSystemStorage()->Read(path));
    ASSERT_EQ(back->records().size(), 1u) << "the file as it was last written";
    EXPECT_EQ(back->records().begin()->second.data, Row(1, 1, "kept"));
}

// The btrfile tool: a file from a text layout, records from a file, and what
// stat and dump show of them.
TEST_F(BtrieveEngine, BtrfileToolMakesAndShowsFiles) {
    const std::string layout = Path("layout.txt"), records = Path("rows.bin"), file = Path("T.DAT"), out = Path("out.txt");
    std::ofstream(layout) << "# a journal-like file\nrecord 32\npage 2048\npreallocate 10\n"
                           "key dup : 5:8:string\nkey : 1:4:integer\n";
    std::string rows;
    for (int32_t n : {3, 1, 2}) {
        std::string r(32, ' ');
        std::memcpy(&r[0], &n, 4);
        r.replace(4, 8, n == 1 ? "beta    " : "alpha   ");
        rows += r;
    }
    std::ofstream(records, std::ios::binary) << rows;
    const std::string tool = KX_BTRFILE;
    ASSERT_EQ(std::system((tool + " create " + file + " " + layout).c_str()), 0);
    ASSERT_EQ(std::system((tool + " insert " + file + " " + records + " > /dev/null").c_str()), 0);
    ASSERT_EQ(std::system((tool + " stat " + file + " > " + out).c_str()), 0);
    std::stringstream stat;
    stat << std::ifstream(out).rdbuf();
    EXPECT_NE(stat.str().find("page size 2048, record length 32 (physical 42), 3 records, 10 pages (3 unused)"), std::string::npos)
        << stat.str();
    EXPECT_NE(stat.str().find("key 0: 8 bytes, duplicates, 2 distinct values"), std::string::npos) << stat.str();
    ASSERT_EQ(std::system((tool + " dump " + file + " --key 0 --layout n:int:0:4,name:string:4:8 > " + out).c_str()), 0);
    std::stringstream dump;
    dump << std::ifstream(out).rdbuf();
    EXPECT_EQ(dump.str(), "3\talpha\n2\talpha\n1\tbeta\n");
}

}  // namespace
}  // namespace btr
