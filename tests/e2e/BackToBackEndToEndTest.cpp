#include "EndToEnd.h"

namespace {

class BackToBackEndToEndTest : public EndToEndTest {};

// A quit given right after a start reaches the instance, however far its start-up has come.
TEST_F(BackToBackEndToEndTest, QuitRightAfterAStartEndsTheInstanceOfEitherProgram) {
    for (const std::string binary : {NIMBREL_BINARY, QUORVIN_BINARY}) {
        for (int round = 0; round < 10; ++round) {
            ProgramProcess instance(binary, {}, Environment(), m_work);
            ProgramProcess quit(binary, {"/q"}, Environment(), m_work);
            EXPECT_EQ(quit.Wait(5000), 0) << binary << " " << round << quit.StandardError();
            EXPECT_EQ(instance.Wait(5000), 0) << binary << " " << round << instance.StandardError();
        }
    }
}

}  // namespace
