// Reads any bytes as a Btrieve file image: a status or a file, never a crash
// or a leak. A file that reads is written again and must read back with the
// same records in the same key order.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "btr_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<btr::BtrFile> file;
    try {
        file = btr::BtrFile::Load(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const btr::BtrError&) {
        return 0;
    }
    std::unique_ptr<btr::BtrFile> again;
    try {
        again = btr::BtrFile::Load(file->Save());
    } catch (const btr::BtrError&) {
        std::abort();  // what the stand-in writes, it reads
    }
    if (again->records().size() != file->records().size()) std::abort();
    for (size_t k = 0; k < file->layout().keys.size(); ++k) {
        auto a = file->index(k).begin();
        for (const auto& e : again->index(k))
            if (a == file->index(k).end() || (a++)->key != e.key) std::abort();
    }
    return 0;
}
