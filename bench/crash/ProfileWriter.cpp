// Writes the upstream server keys of the Proxy DNS dialog as one several-key write, over and
// over, alternating between two sets, until it is killed:
//
//   profile_writer PROFILE
//
// Set A: IP1..IP5 = 10.0.0.1..10.0.0.5, UseCode=11111; set B: 10.9.9.1..10.9.9.5,
// UseCode=22222. Prints "ready" once the first write is done.

#include <cstdio>
#include <string>
#include <vector>

#include "settings/ProfileStore.h"

namespace {

std::vector<ProfileEntry> Set(const std::string& prefix, const std::string& useCode) {
    std::vector<ProfileEntry> entries;
    for (const char* key : {"IP1", "IP2", "IP3", "IP4", "IP5"}) {
        entries.push_back({"Proxy", key, prefix + std::string(1, key[2])});
    }
    entries.push_back({"Proxy", "UseCode", useCode});
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROFILE\n", argv[0]);
        return 2;
    }
    const ProfileStore profile(argv[1]);
    const std::vector<ProfileEntry> sets[] = {Set("10.0.0.", "11111"), Set("10.9.9.", "22222")};
    for (unsigned long round = 0;; ++round) {
        if (!profile.WriteStrings(sets[round % 2])) {
            std::perror("write");
            return 1;
        }
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
