// Loading list files through Load Filters: a generated hosts file of 1,000,000 lines and an
// adblock list of 100,000 rules in the `block` folder, and for comparison the same million
// names as named.txt. Reports the time of one load, the names taken, and the resident memory
// the loaded lists hold per name, above the names' own text.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "HostNames.h"
#include "ResidentMemory.h"
#include "dns/FilterLists.h"
#include "settings/ProfileKeys.h"
#include "settings/ProfileStore.h"

namespace {

constexpr std::size_t kHostsLines = 1000000;
constexpr std::size_t kAdblockRules = 100000;

// A fresh filter folder under /tmp with its profile, removed with the object.
class BenchFolder {
public:
    BenchFolder() : m_path(MakeFolder()), m_profile(m_path + "/NIMBREL.INI") {
        m_profile.WriteString(profile::kPreferences, profile::kFilterPath, m_path);
        std::filesystem::create_directory(m_path + "/block");
    }
    ~BenchFolder() { std::filesystem::remove_all(m_path); }

    std::ofstream Create(const std::string& name) const {
        return std::ofstream(m_path + "/" + name, std::ios::binary);
    }
    const ProfileStore& Profile() const { return m_profile; }

private:
    static std::string MakeFolder() {
        char pattern[] = "/tmp/lists-bench-XXXXXX";
        return ::mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    }

    std::string m_path;
    ProfileStore m_profile;
};

// What a list in the shape of the most used combined hosts file holds: a header of this
// machine's own names, then one blocked name per line.
std::size_t WriteHosts(std::ofstream out, bool asHostsLines) {
    if (asHostsLines) {
        out << "# generated\n127.0.0.1 localhost\n::1 localhost ip6-localhost\n0.0.0.0 0.0.0.0\n";
    }
    HostNames names(42);
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < kHostsLines; ++i) {
        const std::string name = names.Next();
        textBytes += name.size();
        out << (asHostsLines ? "0.0.0.0 " : "") << name << '\n';
    }
    return textBytes;
}

// Rules in the mix of the popular browser lists: most for a whole host, some with options or
// cosmetic, a few exceptions, a comment now and then.
std::size_t WriteAdblock(std::ofstream out) {
    out << "[Adblock Plus 2.0]\n! Title: generated\n";
    HostNames names(43);
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < kAdblockRules; ++i) {
        const std::string name = names.Next();
        switch (i % 20) {
            case 0:
                out << "! section " << i << '\n';
                break;
            case 1:
            case 2:
                out << "||" << name << "^$third-party\n";
                break;
            case 3:
            case 4:
                out << name << "##.banner\n";
                break;
            case 5:
                out << "@@||" << name << "^\n";
                textBytes += name.size();
                break;
            case 6:
                out << "||" << name << "^$important\n";
                textBytes += name.size();
                break;
            default:
                out << "||" << name << "^\n";
                textBytes += name.size();
                break;
        }
    }
    return textBytes;
}

void Measure(benchmark::State& state, const BenchFolder& folder, std::size_t textBytes) {
    std::size_t names = 0;
    double bytesPerName = 0;
    for (auto _ : state) {
        const long before = ResidentBytes();
        CFilterLists lists(folder.Profile(), nullptr);
        lists.LoadFilters();
        const long after = ResidentBytes();
        names = lists.NamedList().EntryCount() + lists.PassList().EntryCount();
        const double text = static_cast<double>(textBytes);
        bytesPerName = (static_cast<double>(after - before) - text) / static_cast<double>(names);
    }
    state.counters["names"] = static_cast<double>(names);
    state.counters["rss_over_text_B_per_name"] = bytesPerName;
}

void BM_LoadHostsFile(benchmark::State& state) {
    const BenchFolder folder;
    const std::size_t textBytes = WriteHosts(folder.Create("block/hosts"), true);
    Measure(state, folder, textBytes);
}
BENCHMARK(BM_LoadHostsFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadAdblockList(benchmark::State& state) {
    const BenchFolder folder;
    const std::size_t textBytes = WriteAdblock(folder.Create("block/easylist.txt"));
    Measure(state, folder, textBytes);
}
BENCHMARK(BM_LoadAdblockList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadSameNamesAsNamedTxt(benchmark::State& state) {
    const BenchFolder folder;
    const std::size_t textBytes = WriteHosts(folder.Create("named.txt"), false);
    Measure(state, folder, textBytes);
}
BENCHMARK(BM_LoadSameNamesAsNamedTxt)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // Large blocks always come from and go back to the system, so that what a load leaves
    // resident is what the lists hold, not the heap kept from the load before.
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
