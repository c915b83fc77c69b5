#include "frame/result.h"

namespace kx {
namespace {
std::string& ResultBuffer() {
    static std::string buffer;
    return buffer;
}
}  // namespace

const char* TextResult::Deliver() const {
    if (const auto* fixed = std::get_if<const char*>(&value_)) return *fixed;
    std::string& buffer = ResultBuffer();
    // Converted first: a failed conversion leaves the buffer as it was.
    std::string converted = ToScript(std::get<Text>(value_));
    buffer.swap(converted);
    return buffer.c_str();
}

void ReleaseResultBuffer() noexcept { std::string().swap(ResultBuffer()); }

}  // namespace kx
