// The Oracle stand-in's text handling on any input: SQL translation, connect
// descriptors, tnsnames.ora and sqlnet.ora texts, database.ini, date formats.
// An OraError is a fine answer; a crash, a leak or a hang is not.
#include <cstdint>
#include <string>

#include "ora_error.h"
#include "site.h"
#include "sql_text.h"
#include "tns.h"
#include "values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t cut = text.find('\n');
    const std::string head = text.substr(0, cut), tail = cut == std::string::npos ? "" : text.substr(cut + 1);
    try {
        oradb::TranslateSql(text, "SCOTT");
    } catch (const oradb::OraError&) {
    }
    oradb::KindOf(text);
    const oradb::FileReader read = [&](const std::string& name) -> std::optional<std::string> {
        if (name == head) return tail;  // an IFILE that includes the rest, maybe itself
        return std::nullopt;
    };
    if (auto entry = oradb::FindTnsEntry(text, head, read)) oradb::ParseDescriptor(*entry);
    oradb::ParseDescriptor(text);
    oradb::ParseEasyConnect(text);
    oradb::DefaultDomain(text);
    oradb::ParseDatabaseIni(text);
    if (auto d = oradb::ParseDate(tail, head)) oradb::FormatDate(*d, head);
    return 0;
}
