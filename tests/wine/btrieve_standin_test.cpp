// The stand-in Btrieve engine as a caller uses it: wbtrv32.dll loaded by
// path, BTRCALL at ordinal 1 called with its stdcall arguments, a 128-byte
// position block kept between calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "file_fixture.h"

namespace kxtest {
namespace {

using BtrCall = int(__stdcall*)(WORD, void*, void*, DWORD*, void*, BYTE, CHAR);
using BtrCallId = int(__stdcall*)(WORD, void*, void*, DWORD*, void*, BYTE, CHAR, void*);
using BtrInit = int(__stdcall*)(char*);
using BtrStop = int(__stdcall*)();

class BtrieveStandIn : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(BesideTests("..\\standins\\btrieve\\wbtrv32.dll").c_str());
        ASSERT_TRUE(module_);
        call_ = reinterpret_cast<BtrCall>(GetProcAddress(module_, MAKEINTRESOURCEA(1)));
        ASSERT_TRUE(call_);
        dir_ = std::make_unique<ScratchDir>("BTR");
        ASSERT_TRUE(CopyFileA(BesideTests("..\\data\\btrieve\\GALTELA.DAT").c_str(), (dir_->path() + "\\GALTELA.DAT").c_str(),
                              FALSE));
    }
    void TearDown() override {
        if (module_) reinterpret_cast<BtrStop>(GetProcAddress(module_, "WBTRVSTOP"))();
        dir_.reset();
        if (module_) FreeLibrary(module_);
    }
    int Call(WORD op, std::string* data, std::string* key, int keyNumber) {
        DWORD length = data ? static_cast<DWORD>(data->size()) : 0;
        const int status = call_(op, pos_, data ? data->data() : nullptr, &length, key ? key->data() : nullptr,
                                 static_cast<BYTE>(key ? key->size() : 0), static_cast<CHAR>(keyNumber));
        if (data && length <= data->size()) data->resize(length);
        return status;
    }
    // Records met from the operation `first` on, moving with `next` (the
    // step operations, or the get operations by key `key`).
    int CountRecords(WORD first, WORD next, size_t recordLength, int key = 0) {
        std::string data(recordLength, '\0'), keyBuffer(255, '\0');
        int count = 0;
        for (int st = Call(first, &data, &keyBuffer, key); st == 0; st = Call(next, &data, &keyBuffer, key)) {
            ++count;
            data.resize(recordLength);
        }
        return count;
    }
    HMODULE module_ = nullptr;
    BtrCall call_ = nullptr;
    std::unique_ptr<ScratchDir> dir_;
    char pos_[128] = {};
};

TEST_F(BtrieveStandIn, EntryPointsAtTheirOrdinals) {
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_, "BTRCALL")), reinterpret_cast<void*>(call_));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_, "BTRCALLID")),
              reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(2))));
    EXPECT_EQ(reinterpret_cast<BtrInit>(GetProcAddress(module_, "WBTRVINIT"))(const_cast<char*>("")), 0);
}

TEST_F(BtrieveStandIn, ReadsAGenuineFileByEveryKeyAndPhysically) {
    std::string name = dir_->path() + "\\galtela.dat";  // names are not case-sensitive
    ASSERT_EQ(Call(0, nullptr, &name, -2), 0);  // read-only
    std::string stat(1024, '\0');
    ASSERT_EQ(Call(15, &stat, &name, 0), 0);
    EXPECT_EQ(*reinterpret_cast<const uint16_t*>(stat.data()), 950);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(stat.data() + 6), 73u);
    for (int key = 0; key < 3; ++key) {
        EXPECT_EQ(CountRecords(12, 6, 950, key), 73) << "key " << key;
        std::string data(950, '\0'), k(32, '\0');
        EXPECT_EQ(Call(6, &data, &k, key), 9) << "end of file";
    }
    EXPECT_EQ(CountRecords(33, 24, 950), 73);
    std::string data(950, '\0');
    std::string key(16, '\0');
    std::memcpy(key.data(), "DEFAULT", 7);
    ASSERT_EQ(Call(5, &data, &key, 1), 0);
    EXPECT_EQ(data.compare(0, 7, "DEFAULT"), 0);
    EXPECT_EQ(Call(3, &data, &key, 1), 46) << "read-only";
    EXPECT_EQ(Call(1, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Call(6, &data, &key, 1), 3) << "closed";
}

TEST_F(BtrieveStandIn, CreatesAndChangesFilesThatReadBack) {
    // A 16-byte file layout and one segment: a 20-byte string key at 1, with
    // duplicates, 2048-byte pages, preallocated to 8 pages.
    std::string layout(32, '\0');
    layout[0] = 40;                          // record length
    layout[3] = 8;                           // page size 2048
    layout[4] = 1;                           // keys
    layout[10] = 0x04;                       // preallocate
    layout[14] = 8;                          // pages
    layout[16] = 1;                          // position
    layout[18] = 20;                         // length
    layout[20] = 0x01 | 0x02;                // duplicates, modifiable
    layout[21] = 0x01;                       // extended type: string
    std::string name = dir_->path() + "\\\xCA\xCB\xC8\xC5\xCD\xD2.DAT";  // "КЛИЕНТ.DAT" in 1251
    ASSERT_EQ(Call(14, &layout, &name, -1), 0);
    EXPECT_EQ(Call(14, &layout, &name, -1), 59) << "exists";
    ASSERT_EQ(Call(0, nullptr, &name, 0), 0);
    const char* names[] = {"\xC8\xE2\xE0\xED\xEE\xE2", "Petrov", "\xC8\xE2\xE0\xED\xEE\xE2", "Adams"};
    for (const char* n : names) {
        std::string rec(40, ' '), key(20, '\0');
        std::memcpy(rec.data(), n, std::strlen(n));
        ASSERT_EQ(Call(2, &rec, &key, 0), 0);
    }
    ASSERT_EQ(Call(1, nullptr, nullptr, 0), 0);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 8u * 2048) << "preallocated";
    CloseHandle(h);
    ASSERT_EQ(Call(0, nullptr, &name, 0), 0);
    std::string data(40, '\0'), key(20, '\0');
    std::string order;
    for (int st = Call(12, &data, &key, 0); st == 0; st = Call(6, &data, &key, 0)) order += data.substr(0, 6) + "|";
    EXPECT_EQ(order, std::string("Adams |Petrov|") + names[0] + "|" + names[2] + "|") << "bytes order, duplicates in turn";
    ASSERT_EQ(Call(12, &data, &key, 0), 0);
    data.replace(0, 5, "Zorro");
    ASSERT_EQ(Call(3, &data, &key, 0), 0);
    order.clear();
    for (int st = Call(12, &data, &key, 0); st == 0; st = Call(6, &data, &key, 0)) order += data.substr(0, 6) + "|";
    EXPECT_EQ(order, std::string("Petrov|Zorro |") + names[0] + "|" + names[2] + "|") << "the changed key moved";
    ASSERT_EQ(Call(13, &data, &key, 0), 0);
    ASSERT_EQ(Call(4, nullptr, nullptr, 0), 0);  // the last: the second Иванов
    ASSERT_EQ(Call(1, nullptr, nullptr, 0), 0);
    ASSERT_EQ(Call(0, nullptr, &name, 0), 0);
    EXPECT_EQ(CountRecords(33, 24, 40), 3);
    ASSERT_EQ(Call(1, nullptr, nullptr, 0), 0);
}

// A file opened by a relative name is written where it was opened, wherever
// the current directory has gone since, and keeps the letter case of its name.
TEST_F(BtrieveStandIn, WrittenWhereItWasOpened) {
    ASSERT_TRUE(SetCurrentDirectoryA(dir_->path().c_str()));
    ASSERT_TRUE(CopyFileA("GALTELA.DAT", "Galt2.dat", FALSE));
    std::string name = "galt2.DAT";
    ASSERT_EQ(Call(0, nullptr, &name, 0), 0);
    std::string data(950, '\0'), key(32, '\0');
    ASSERT_EQ(Call(12, &data, &key, 0), 0);
    ASSERT_EQ(Call(4, nullptr, nullptr, 0), 0);
    SetCurrentDirectoryA("C:\\");
    ASSERT_EQ(Call(1, nullptr, nullptr, 0), 0);
    WIN32_FIND_DATAA found{};
    HANDLE h = FindFirstFileA((dir_->path() + "\\galt2.dat").c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(found.cFileName, "Galt2.dat") << "the name as it was";
    std::string full = dir_->path() + "\\Galt2.dat";
    ASSERT_EQ(Call(0, nullptr, &full, 0), 0);
    EXPECT_EQ(CountRecords(33, 24, 950), 72);
    EXPECT_EQ(Call(1, nullptr, nullptr, 0), 0);
}

TEST_F(BtrieveStandIn, DamagedFilesGiveAStatus) {
    const std::string good = ReadFileBytes(dir_->path() + "\\GALTELA.DAT");
    std::string cut = dir_->Write("CUT.DAT", good.substr(0, 3 * 4096));
    EXPECT_EQ(Call(0, nullptr, &cut, 0), 30);
    std::string holes = dir_->Write("HOLES.DAT", good.substr(0, 20 * 4096));
    EXPECT_EQ(Call(0, nullptr, &holes, 0), 2);
    std::string missing = dir_->path() + "\\NONE.DAT";
    EXPECT_EQ(Call(0, nullptr, &missing, 0), 12);
}

}  // namespace
}  // namespace kxtest
