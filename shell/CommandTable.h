#pragma once

#include <functional>
#include <map>

// A window's commands: for each command id the handler that carries it out and, for menu
// items that show a check mark, the test that decides it.
class CCommandTable {
public:
    using Handler = std::function<void()>;
    using Check = std::function<bool()>;

    void Add(int id, Handler handler, Check check = nullptr);

    // Runs the handler of `id`; false when the id has none.
    bool Execute(int id) const;
    bool Has(int id) const { return m_commands.count(id) != 0; }
    bool IsChecked(int id) const;
    // Whether `id` has a check test, whatever it says now.
    bool HasCheck(int id) const;

private:
    struct Command {
        Handler handler;
        Check check;
    };
    std::map<int, Command> m_commands;
};
