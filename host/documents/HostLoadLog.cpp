#include "host/documents/HostLoadLog.h"

#include <cstdio>

namespace host {

int32_t HostLoadLog::OpenSection(const std::string& moduleKey, const std::string& text)
{
    auto number = static_cast<int32_t>(mSections.size()) + 1;
    mSections.push_back(Section{number, moduleKey, text, true});
    return number;
}

void HostLoadLog::AddEntry(int32_t code, int32_t severity, const std::string& text, const plat::VariantArray& arguments)
{
    int32_t section = 0;
    for (auto it = mSections.rbegin(); it != mSections.rend(); ++it) {
        if (it->open) {
            section = it->number;
            break;
        }
    }
    mEntries.push_back(Entry{section, code, severity, text, arguments});
}

void HostLoadLog::CloseSection(int32_t number)
{
    if (number < 1 || number > static_cast<int32_t>(mSections.size())) return;
    mSections[static_cast<std::size_t>(number - 1)].open = false;
}

int32_t HostLoadLog::OpenSectionCount() const
{
    int32_t count = 0;
    for (const Section& section : mSections) count += section.open ? 1 : 0;
    return count;
}

std::string HostLoadLog::ToText() const
{
    std::string text;
    for (const Entry& entry : mEntries) {
        std::string module;
        if (entry.section > 0) module = mSections[static_cast<std::size_t>(entry.section - 1)].moduleKey;
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(entry.code));
        text += "[" + module + "] severity " + std::to_string(entry.severity) + ", " + code + ": " + entry.text + "\n";
    }
    return text;
}

} // namespace host
