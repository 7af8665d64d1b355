#include "httpd/ReplyChoice.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using enum httpd::ReplyKind;

TEST(ReplyChoiceTest, FilesAreServedOnlyWhenImagesIsOnAndTheFileOpens) {
    // Columns: Images, the file exists, it opened; the reply.
    const std::tuple<int, bool, bool, httpd::ReplyKind> rows[] = {
        {0, true, true, kBuiltInPicture}, {0, false, false, kBuiltInPicture},
        {1, false, false, kNotFound},     {-1, false, false, kNotFound},
        {1, true, false, kLineEnd},       {1, true, true, kImageFile},
        {2, true, true, kImageFile}};
    for (const auto& [images, exists, opened, reply] : rows) {
        EXPECT_EQ(httpd::ChooseReply(images, exists, opened), reply) << images << exists << opened;
    }
}

}  // namespace
