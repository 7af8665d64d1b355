#pragma once

#include <random>
#include <string>

// Host names shaped like those of real block lists: one to three labels of letters, digits
// and hyphens under a common suffix.
class HostNames {
public:
    explicit HostNames(unsigned seed) : m_random(seed) {}

    std::string Next() {
        static const char* const kSuffixes[] = {"com", "net", "org", "io", "co.uk", "de", "info"};
        std::string name;
        const int labels = Pick(1, 3);
        for (int i = 0; i < labels; ++i) {
            name += Label(i == labels - 1 ? 6 : 3, i == labels - 1 ? 14 : 10);
            name += '.';
        }
        name += kSuffixes[Pick(0, 6)];
        return name;
    }

private:
    std::string Label(int shortest, int longest) {
        static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789-";
        std::string label;
        const int length = Pick(shortest, longest);
        for (int i = 0; i < length; ++i) {
            label.push_back(kLetters[Pick(0, (i == 0 || i == length - 1) ? 35 : 36)]);
        }
        return label;
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::mt19937 m_random;
};
