#include "shell/CommandIdReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CommandIdReaderTest, HandsOnThePositiveDecimalIdOfEachCompletedLineHoweverItIsSplit) {
    const struct {
        std::string bytes;
        std::vector<int> ids;
    } rows[] = {{"32775\n32777\n57665\n", {32775, 32777, 57665}},
                {"32775", {}},  // no line end yet
                {"abc\n-5\n0\n12x\n 7\n\n0032773\n", {32773}},
                {"99999999999\n" + std::string(100000, '7') + "\n1\n", {1}}};
    for (const auto& row : rows) {
        for (const std::size_t piece : {std::size_t{1}, row.bytes.size()}) {
            CCommandIdReader reader;
            std::vector<int> ids;
            for (std::size_t at = 0; at < row.bytes.size(); at += piece) {
                reader.Read(row.bytes.substr(at, piece), [&](int id) { ids.push_back(id); });
            }
            EXPECT_EQ(ids, row.ids) << row.bytes.substr(0, 20) << " in pieces of " << piece;
        }
    }
}
