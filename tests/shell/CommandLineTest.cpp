#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, SwitchesAreFoundAnywhereInAnyCase) {
    const char* argv[] = {"nimbrel", "/V/H", "junk", "/Q"};
    const CCommandLine line(4, argv);
    EXPECT_EQ(line.Text(), "/v/h junk /q");
    EXPECT_TRUE(line.Has("/v"));
    EXPECT_TRUE(line.Has("/h"));
    EXPECT_TRUE(line.Has("/q"));
    EXPECT_FALSE(line.Has("/s"));
}

TEST(CommandLineTest, SwitchTextInsideAPathCounts) {
    EXPECT_TRUE(CCommandLine("c:/apps/x").Has("/a"));
    EXPECT_FALSE(CCommandLine("").Has("/a"));
    const char* argv[] = {"quorvin"};
    EXPECT_EQ(CCommandLine(1, argv).Text(), "");
}

}  // namespace
