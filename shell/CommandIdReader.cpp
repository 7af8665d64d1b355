#include "shell/CommandIdReader.h"

#include <charconv>

void CCommandIdReader::Read(std::string_view bytes, const std::function<void(int id)>& onId) {
    for (const char c : bytes) {
        if (c != '\n') {
            if (m_line.size() <= kMaxLineLength) {
                m_line.push_back(c);
            }
            continue;
        }
        int id = 0;
        const char* end = m_line.data() + m_line.size();
        const auto [parsed, error] = std::from_chars(m_line.data(), end, id);
        if (error == std::errc() && parsed == end && id > 0) {
            onId(id);
        }
        m_line.clear();
    }
}
