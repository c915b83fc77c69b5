// btrfile: looks into Btrieve 6.x files and makes them, on the stand-in
// engine's core.
//
//   btrfile stat FILE                      record layout, keys and counts
//   btrfile dump FILE [--key N] [--hex | --layout FIELDS]
//                                          records in physical order, or in
//                                          the order of key N
//   btrfile create FILE DESCRIPTION        a new file from a text description
//   btrfile insert FILE RECORDS            add fixed-length records from a file
//
// FIELDS: name:type:offset:size,... with type string, zstring, int, float,
// logical or hex. DESCRIPTION lines (# starts a comment):
//   record 132            record length
//   page 2048             page size
//   preallocate 16        pages of the whole file
//   acs NAME upper|lower  an alternate collating sequence
//   key [dup] [modifiable] : POS:LEN:TYPE [desc] [nocase] [acs=N] ; POS:LEN:TYPE ...
// POS counts from 1; TYPE is string, zstring, lstring, integer, float, date,
// time, logical, unsigned or autoinc.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "btr_engine.h"

using namespace btr;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: btrfile stat FILE\n"
                 "       btrfile dump FILE [--key N] [--hex | --layout name:type:offset:size,...]\n"
                 "       btrfile create FILE DESCRIPTION\n"
                 "       btrfile insert FILE RECORDS\n");
    return 2;
}

const char* TypeName(uint8_t t) {
    switch (t) {
    case ext::String: return "string";
    case ext::Integer: return "integer";
    case ext::Float: return "float";
    case ext::Date: return "date";
    case ext::Time: return "time";
    case ext::Logical: return "logical";
    case ext::LString: return "lstring";
    case ext::ZString: return "zstring";
    case ext::UnsignedBinary: return "unsigned";
    case ext::AutoIncrement: return "autoinc";
    default: return "other";
    }
}

int TypeCode(const std::string& name) {
    const char* names[] = {"string", "integer", "float", "date", "time", "", "", "logical", "", "", "lstring", "zstring",
                           "", "", "unsigned", "autoinc"};
    for (int i = 0; i < 16; ++i)
        if (name == names[i] && *names[i]) return i;
    throw std::runtime_error("unknown key type " + name);
}

std::unique_ptr<BtrFile> LoadFile(Storage& fs, const std::string& path) {
    const auto image = fs.Read(path);
    if (!image) throw std::runtime_error("cannot read " + path);
    return BtrFile::Load(*image);
}

int Stat(const std::string& path) {
    auto fs = FileSystemStorage();
    auto file = LoadFile(*fs, path);
    const FileLayout& s = file->layout();
    std::printf("%s: format %x.%x, page size %u, record length %u (physical %u), %zu records, %u pages (%u unused), "
                "flags 0x%x\n",
                path.c_str(), s.version >> 8, (s.version >> 4) & 0xF, s.pageSize, s.recordLength,
                file->physicalLength(), file->records().size(), file->pages(), file->unusedPages(), s.fileFlags);
    for (size_t i = 0; i < s.acs.size(); ++i) std::printf("acs %zu: %s\n", i, s.acs[i].name.c_str());
    for (size_t k = 0; k < s.keys.size(); ++k) {
        const Key& key = s.keys[k];
        std::printf("key %zu: %u bytes%s%s, %zu distinct values\n", k, key.length(),
                    key.duplicates() ? ", duplicates" : ", unique", key.modifiable() ? ", modifiable" : "",
                    file->DistinctValues(k));
        for (const auto& seg : key.segments)
            std::printf("  at %u, %u bytes, %s, flags 0x%03x%s%s\n", seg.offset, seg.length, TypeName(seg.type),
                        seg.flags, seg.flags & keyflag::Descending ? ", descending" : "",
                        seg.acs >= 0 && (seg.flags & keyflag::Acs) ? (", acs " + std::to_string(seg.acs)).c_str() : "");
    }
    return 0;
}

struct Field {
    std::string name, type;
    size_t offset, size;
};

std::vector<Field> ParseLayout(const std::string& text) {
    std::vector<Field> fields;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        std::stringstream parts(item);
        Field f;
        std::string offset, size;
        std::getline(parts, f.name, ':');
        std::getline(parts, f.type, ':');
        std::getline(parts, offset, ':');
        std::getline(parts, size, ':');
        f.offset = std::stoul(offset);
        f.size = std::stoul(size);
        fields.push_back(f);
    }
    return fields;
}

std::string Show(const std::string& record, const Field& f) {
    if (f.offset + f.size > record.size()) return "?";
    const char* p = record.data() + f.offset;
    char b[64];
    if (f.type == "int") {
        long long v = 0;
        for (size_t i = f.size; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(p[i]);
        if (f.size < 8 && (p[f.size - 1] & 0x80)) v -= 1LL << (8 * f.size);
        return std::to_string(v);
    }
    if (f.type == "float") {
        double v = 0;
        if (f.size == 4) {
            float x;
            std::memcpy(&x, p, 4);
            v = x;
        } else {
            std::memcpy(&v, p, 8);
        }
        std::snprintf(b, sizeof b, "%.15g", v);
        return b;
    }
    if (f.type == "logical") return p[0] ? "true" : "false";
    if (f.type == "hex") {
        std::string h;
        for (size_t i = 0; i < f.size; ++i) std::snprintf(b, sizeof b, "%02x", static_cast<unsigned char>(p[i])), h += b;
        return h;
    }
    std::string text(p, f.size);
    if (f.type == "zstring") text = text.c_str();
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

int Dump(int argc, char** argv) {
    int key = -1;
    bool hex = false;
    std::vector<Field> layout;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--key") && i + 1 < argc)
            key = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--hex"))
            hex = true;
        else if (!std::strcmp(argv[i], "--layout") && i + 1 < argc)
            layout = ParseLayout(argv[++i]);
        else
            return Usage();
    }
    auto fs = FileSystemStorage();
    auto file = LoadFile(*fs, argv[2]);
    if (key >= static_cast<int>(file->layout().keys.size())) throw std::runtime_error("no key " + std::to_string(key));
    std::vector<const std::string*> records;
    if (key < 0)
        for (const auto& [id, r] : file->records()) records.push_back(&r.data);
    else
        for (const auto& e : file->index(static_cast<size_t>(key))) records.push_back(&file->records().at(e.id).data);
    if (layout.empty() && !hex) layout.push_back({"record", "string", 0, file->layout().recordLength});
    if (hex) layout = {{"record", "hex", 0, file->layout().recordLength}};
    for (const auto* r : records) {
        std::string line;
        for (const auto& f : layout) line += (line.empty() ? "" : "\t") + Show(*r, f);
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

FileLayout ParseDescription(std::istream& in) {
    FileLayout layout;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::stringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        if (word == "record") {
            words >> layout.recordLength;
        } else if (word == "page") {
            words >> layout.pageSize;
        } else if (word == "preallocate") {
            words >> layout.preallocate;
            layout.fileFlags |= fileflag::Preallocate;
        } else if (word == "acs") {
            Acs acs;
            std::string kind;
            words >> acs.name >> kind;
            for (int c = 0; c < 256; ++c) {
                uint8_t v = static_cast<uint8_t>(c);
                if (kind == "upper" && c >= 'a' && c <= 'z') v = static_cast<uint8_t>(c - 32);
                if (kind == "lower" && c >= 'A' && c <= 'Z') v = static_cast<uint8_t>(c + 32);
                acs.map[static_cast<size_t>(c)] = v;
            }
            layout.acs.push_back(acs);
        } else if (word == "key") {
            uint16_t keyFlags = keyflag::Extended;
            while (words >> word && word != ":") {
                if (word == "dup") keyFlags |= keyflag::Duplicates;
                if (word == "modifiable") keyFlags |= keyflag::Modifiable;
            }
            std::string rest;
            std::getline(words, rest);
            std::stringstream segments(rest);
            std::string text;
            Key key;
            while (std::getline(segments, text, ';')) {
                std::stringstream parts(text);
                std::string place;
                if (!(parts >> place)) continue;
                Segment s;
                unsigned pos = 0, len = 0;
                char type[32] = {};
                if (std::sscanf(place.c_str(), "%u:%u:%31s", &pos, &len, type) != 3 || pos == 0)
                    throw std::runtime_error("bad segment " + place);
                s.offset = static_cast<uint16_t>(pos - 1);
                s.length = static_cast<uint16_t>(len);
                s.type = static_cast<uint8_t>(TypeCode(type));
                s.flags = keyFlags;
                while (parts >> word) {
                    if (word == "desc") s.flags |= keyflag::Descending;
                    if (word == "nocase") s.flags |= keyflag::NoCase;
                    if (word.rfind("acs=", 0) == 0) {
                        s.flags |= keyflag::Acs;
                        s.acs = std::stoi(word.substr(4));
                    }
                }
                key.segments.push_back(s);
            }
            layout.keys.push_back(key);
        } else {
            throw std::runtime_error("unknown description line: " + line);
        }
    }
    return layout;
}

int Create(const std::string& path, const std::string& descriptionPath) {
    std::ifstream in(descriptionPath);
    if (!in) throw std::runtime_error("cannot read " + descriptionPath);
    auto file = BtrFile::Create(ParseDescription(in));
    auto fs = FileSystemStorage();
    if (!fs->Replace(path, file->Save())) throw std::runtime_error("cannot write " + path);
    return 0;
}

int Insert(const std::string& path, const std::string& recordsPath) {
    auto fs = FileSystemStorage();
    auto file = LoadFile(*fs, path);
    const auto bytes = fs->Read(recordsPath);
    if (!bytes) throw std::runtime_error("cannot read " + recordsPath);
    const size_t n = file->layout().recordLength;
    size_t count = 0;
    for (size_t at = 0; at + n <= bytes->size(); at += n, ++count) file->Insert(std::string_view(*bytes).substr(at, n));
    if (!fs->Replace(path, file->Save())) throw std::runtime_error("cannot write " + path);
    std::printf("%zu records inserted\n", count);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    try {
        const std::string verb = argv[1];
        if (verb == "stat") return Stat(argv[2]);
        if (verb == "dump") return Dump(argc, argv);
        if (verb == "create" && argc == 4) return Create(argv[2], argv[3]);
        if (verb == "insert" && argc == 4) return Insert(argv[2], argv[3]);
        return Usage();
    } catch (const BtrError& e) {
        std::fprintf(stderr, "btrfile: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "btrfile: %s\n", e.what());
        return 1;
    }
}
