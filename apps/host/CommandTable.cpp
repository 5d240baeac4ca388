#include "apps/host/CommandTable.h"

namespace zhost {

CommandTable& CommandTable::Instance()
{
    static CommandTable table;
    return table;
}

bool CommandTable::Add(Command command)
{
    std::string name = command.name;
    return mCommands.emplace(std::move(name), std::move(command)).second;
}

const Command* CommandTable::Find(const std::string& name) const
{
    auto found = mCommands.find(name);
    return found == mCommands.end() ? nullptr : &found->second;
}

std::vector<const Command*> CommandTable::All() const
{
    std::vector<const Command*> all;
    for (const auto& [name, command] : mCommands) all.push_back(&command);
    return all;
}

void ExpectNoArguments(const CommandContext& context)
{
    if (!context.args.empty()) throw UsageError("unexpected argument '" + context.args.front() + "'");
}

} // namespace zhost
