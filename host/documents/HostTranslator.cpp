#include "host/documents/HostTranslator.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

namespace host {

namespace {

// A table larger than this is not a language table; it is ignored rather than read.
constexpr std::uintmax_t kMaxTableSize = 4u * 1024u * 1024u;

std::mutex gProcessMutex;
std::shared_ptr<HostTranslator> gProcess;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Module keys become file names; only plain words may, so that no key reaches outside the folder.
bool IsPlainModuleKey(const std::string& key)
{
    if (key.empty()) return false;
    for (char c : key) {
        if (!IsWordChar(c) && c != '-') return false;
    }
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string Unescape(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char next = s[i + 1];
            if (next == 'n') { out += '\n'; ++i; continue; }
            if (next == 't') { out += '\t'; ++i; continue; }
            if (next == '\\') { out += '\\'; ++i; continue; }
        }
        out += s[i];
    }
    return out;
}

std::map<std::string, std::string> ReadTable(const std::filesystem::path& file)
{
    std::map<std::string, std::string> table;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return table;
    std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxTableSize) return table;

    std::ifstream in(file, std::ios::binary);
    if (!in) return table;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string content = buffer.str();
    std::string_view rest(content);
    if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);

    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        std::string_view id = Trim(line.substr(0, tab));
        if (id.empty()) continue;
        table[std::string(id)] = Unescape(line.substr(tab + 1));
    }
    return table;
}

std::string ArgumentText(const plat::Variant& arg)
{
    try {
        return plat::CStr(arg);
    } catch (const plat::ComError&) {
        // Null, objects and arrays have no text; the marker then stands for nothing.
        return {};
    }
}

} // namespace

HostTranslator::HostTranslator(std::filesystem::path tableFolder) : mTableFolder(std::move(tableFolder)) {}

std::shared_ptr<HostTranslator> HostTranslator::Process()
{
    std::lock_guard lock(gProcessMutex);
    if (!gProcess) gProcess = std::make_shared<HostTranslator>();
    return gProcess;
}

std::shared_ptr<HostTranslator> HostTranslator::SetProcess(std::shared_ptr<HostTranslator> translator)
{
    std::lock_guard lock(gProcessMutex);
    std::shared_ptr<HostTranslator> previous = std::move(gProcess);
    gProcess = translator ? std::move(translator) : std::make_shared<HostTranslator>();
    return previous;
}

void HostTranslator::SetTableFolder(std::filesystem::path folder)
{
    std::lock_guard lock(mMutex);
    mTableFolder = std::move(folder);
    mFileTables.clear();
}

void HostTranslator::SetText(const std::string& moduleKey, const std::string& id, const std::string& text)
{
    std::lock_guard lock(mMutex);
    mMemory[moduleKey][id] = text;
}

std::optional<HostTranslator::LanguageText> HostTranslator::Split(std::string_view text)
{
    std::size_t colons = text.find("::");
    if (colons == std::string_view::npos) return std::nullopt;
    std::string_view id = Trim(text.substr(0, colons));
    for (char c : id) {
        if (!IsWordChar(c)) return std::nullopt;
    }
    return LanguageText{std::string(id), std::string(text.substr(colons + 2))};
}

std::string HostTranslator::Substitute(std::string_view text, const std::vector<std::string>& args)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "%%") == 0 && i + 2 < text.size() && text[i + 2] >= '1' && text[i + 2] <= '9') {
            std::size_t n = static_cast<std::size_t>(text[i + 2] - '1');
            if (n < args.size()) {
                out += args[n];
                i += 3;
                continue;
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

std::string HostTranslator::Translate(const std::string& moduleKey, std::string_view text) const
{
    return Translate(moduleKey, text, std::vector<plat::Variant>{});
}

std::string HostTranslator::Translate(const std::string& moduleKey, std::string_view text,
                                      const plat::VariantArray& args) const
{
    return Translate(moduleKey, text, args.items);
}

std::string HostTranslator::Translate(const std::string& moduleKey, std::string_view text,
                                      const std::vector<plat::Variant>& args) const
{
    std::optional<LanguageText> parts = Split(text);
    if (!parts) return std::string(text);

    std::string translated = parts->defaultText;
    if (!parts->id.empty()) {
        if (std::optional<std::string> found = LookUp(moduleKey, parts->id)) translated = std::move(*found);
    }

    std::vector<std::string> argTexts;
    argTexts.reserve(args.size());
    for (const auto& arg : args) argTexts.push_back(ArgumentText(arg));
    return Substitute(translated, argTexts);
}

std::optional<std::string> HostTranslator::LookUp(const std::string& moduleKey, const std::string& id) const
{
    std::lock_guard lock(mMutex);
    if (auto module = mMemory.find(moduleKey); module != mMemory.end()) {
        if (auto entry = module->second.find(id); entry != module->second.end()) return entry->second;
    }
    const Table& table = TableOf(moduleKey);
    if (auto entry = table.find(id); entry != table.end()) return entry->second;
    return std::nullopt;
}

const HostTranslator::Table& HostTranslator::TableOf(const std::string& moduleKey) const
{
    // Called with mMutex held. Each module's file is read once and then kept.
    auto cached = mFileTables.find(moduleKey);
    if (cached != mFileTables.end()) return cached->second;
    Table table;
    if (!mTableFolder.empty() && IsPlainModuleKey(moduleKey)) table = ReadTable(mTableFolder / (moduleKey + ".lng"));
    return mFileTables.emplace(moduleKey, std::move(table)).first->second;
}

} // namespace host
