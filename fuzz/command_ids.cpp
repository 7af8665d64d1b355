// The command channel's lines, in arbitrary pieces: the first input byte sets the piece
// size. Whatever arrives, only positive ids come out, and cutting the input differently
// never changes which.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "shell/CommandIdReader.h"

namespace {

std::vector<int> ReadInPieces(std::string_view bytes, std::size_t piece) {
    CCommandIdReader reader;
    std::vector<int> ids;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.Read(bytes.substr(at, piece), [&ids](int id) { ids.push_back(id); });
    }
    return ids;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<int> whole = ReadInPieces(bytes, std::max<std::size_t>(bytes.size(), 1));
    const std::vector<int> pieces = ReadInPieces(bytes, data[0] % 7 + 1);
    if (whole != pieces ||
        std::any_of(whole.begin(), whole.end(), [](int id) { return id <= 0; })) {
        std::abort();
    }
    return 0;
}
