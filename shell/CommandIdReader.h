#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reads the command ids a second start writes on its connection: decimal lines, one id
// each, in whatever pieces they arrive. A line that is not a positive decimal id (or is
// longer than any id) is skipped.
class CCommandIdReader {
public:
    // Reads `bytes`, handing each id of a completed line to `onId` in order.
    void Read(std::string_view bytes, const std::function<void(int id)>& onId);

private:
    // A line longer than this is no command id.
    static constexpr std::size_t kMaxLineLength = 16;

    std::string m_line;  // the line read so far, up to one byte over the limit
};
