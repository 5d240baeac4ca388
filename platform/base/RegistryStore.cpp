#include "platform/base/RegistryStore.h"

#include "platform/base/ComError.h"
#include "platform/base/FileIo.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

// The file is line-oriented text. The first line is the format header; every key is one line
// holding its whole path as quoted parts, followed by the lines of its values:
//
//   ZARVIK-REGISTRY 1
//   key "HKEY_LOCAL_MACHINE" "Software" "Vantrel"
//   value "MRU" dword 0
//   value "Serial" string "A\"12\\3\n"
//
// Texts are quoted; backslash, quote and every byte below 0x20 or 0x7F are escaped, so no name
// or value can break a line. Keys are written parents first, in creation order. Blank lines and
// lines beginning with "#" are ignored when reading.

namespace plat {

namespace {

constexpr const char* kHeader = "ZARVIK-REGISTRY 1";
constexpr const char* kSource = "RegistryStore";

char FoldChar(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Fold(const std::string& s)
{
    std::string r(s);
    for (char& c : r) c = FoldChar(c);
    return r;
}

// One key: its values and subkeys in creation order, with indexes by folded name so that a
// large file loads in linear time.
struct Node {
    std::string name;
    std::vector<std::pair<std::string, RegistryStore::Value>> values;
    std::vector<Node> children;
    std::unordered_map<std::string, size_t> valueIndex;
    std::unordered_map<std::string, size_t> childIndex;

    Node* Child(const std::string& childName)
    {
        auto it = childIndex.find(Fold(childName));
        return it == childIndex.end() ? nullptr : &children[it->second];
    }
    const Node* Child(const std::string& childName) const
    {
        auto it = childIndex.find(Fold(childName));
        return it == childIndex.end() ? nullptr : &children[it->second];
    }
    Node& AddChild(const std::string& childName)
    {
        childIndex.emplace(Fold(childName), children.size());
        children.push_back(Node{childName, {}, {}, {}, {}});
        return children.back();
    }
    bool RemoveChild(const std::string& childName)
    {
        auto it = childIndex.find(Fold(childName));
        if (it == childIndex.end()) return false;
        children.erase(children.begin() + static_cast<std::ptrdiff_t>(it->second));
        childIndex.clear();
        for (size_t i = 0; i < children.size(); ++i) childIndex.emplace(Fold(children[i].name), i);
        return true;
    }
    const RegistryStore::Value* FindValue(const std::string& valueName) const
    {
        auto it = valueIndex.find(Fold(valueName));
        return it == valueIndex.end() ? nullptr : &values[it->second].second;
    }
    // Replaces the value of that name in place (keeping the name's first spelling) or adds it.
    void PutValue(const std::string& valueName, RegistryStore::Value value)
    {
        auto it = valueIndex.find(Fold(valueName));
        if (it != valueIndex.end()) {
            values[it->second].second = std::move(value);
            return;
        }
        valueIndex.emplace(Fold(valueName), values.size());
        values.emplace_back(valueName, std::move(value));
    }
    bool RemoveValue(const std::string& valueName)
    {
        auto it = valueIndex.find(Fold(valueName));
        if (it == valueIndex.end()) return false;
        values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
        valueIndex.clear();
        for (size_t i = 0; i < values.size(); ++i) valueIndex.emplace(Fold(values[i].first), i);
        return true;
    }
};

[[noreturn]] void RaiseInvalidName(const std::string& key, const std::string& why)
{
    throw ComError(RegistryStore::ErrInvalidName, kSource, "Invalid registry key '" + key + "': " + why);
}

// Splits a key path into its parts, dropping empty ones, and enforces the limits.
std::vector<std::string> SplitKey(const std::string& key)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string::npos) end = key.size();
        if (end > start) {
            if (end - start > RegistryStore::MaxKeyNameBytes) RaiseInvalidName(key, "a part is too long");
            parts.push_back(key.substr(start, end - start));
            if (parts.size() > RegistryStore::MaxDepth) RaiseInvalidName(key, "too deep");
        }
        start = end + 1;
    }
    return parts;
}

const Node* FindNode(const Node& root, const std::vector<std::string>& parts)
{
    if (parts.empty()) return nullptr;
    const Node* node = &root;
    for (const auto& part : parts) {
        node = node->Child(part);
        if (!node) return nullptr;
    }
    return node;
}

Node* FindNode(Node& root, const std::vector<std::string>& parts)
{
    return const_cast<Node*>(FindNode(static_cast<const Node&>(root), parts));
}

Node& EnsureNode(Node& root, const std::vector<std::string>& parts)
{
    Node* node = &root;
    for (const auto& part : parts) {
        Node* child = node->Child(part);
        node = child ? child : &node->AddChild(part);
    }
    return *node;
}

// ---- writing ----

void AppendQuoted(std::string& out, const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    out += '"';
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void WriteNode(std::string& out, const Node& node, std::vector<const std::string*>& path)
{
    path.push_back(&node.name);
    out += "key";
    for (const std::string* part : path) {
        out += ' ';
        AppendQuoted(out, *part);
    }
    out += '\n';
    for (const auto& [name, value] : node.values) {
        out += "value ";
        AppendQuoted(out, name);
        if (value.kind == RegistryStore::Value::Kind::DWord) {
            out += " dword " + std::to_string(value.dword) + "\n";
        } else {
            out += " string ";
            AppendQuoted(out, value.text);
            out += '\n';
        }
    }
    for (const Node& child : node.children) WriteNode(out, child, path);
    path.pop_back();
}

std::string Serialize(const Node& root)
{
    std::string out = std::string(kHeader) + "\n";
    std::vector<const std::string*> path;
    for (const Node& hive : root.children) WriteNode(out, hive, path);
    return out;
}

// ---- reading ----

class Parser {
public:
    Parser(const std::string& path, const std::string& text) : mPath(path), mText(text) {}

    Node Parse()
    {
        Node root;
        Node* current = nullptr;
        bool sawHeader = false;
        while (mPos < mText.size()) {
            ++mLine;
            size_t end = mText.find('\n', mPos);
            if (end == std::string::npos) end = mText.size();
            mLineEnd = end;
            if (!sawHeader) {
                if (mText.compare(mPos, end - mPos, kHeader) != 0) Fail("not a registry file (header missing)");
                sawHeader = true;
            } else {
                ParseLine(root, current);
            }
            mPos = end + 1;
        }
        if (!sawHeader) Fail("not a registry file (header missing)");
        return root;
    }

private:
    void ParseLine(Node& root, Node*& current)
    {
        SkipBlanks();
        if (AtLineEnd() || mText[mPos] == '#') return;
        std::string word = Word();
        if (word == "key") {
            std::vector<std::string> parts;
            while (SkipBlanks(), !AtLineEnd()) {
                std::string part = Quoted();
                if (part.empty() || part.find('\\') != std::string::npos || part.size() > RegistryStore::MaxKeyNameBytes)
                    Fail("invalid key name");
                parts.push_back(std::move(part));
                if (parts.size() > RegistryStore::MaxDepth) Fail("key nested too deeply");
            }
            if (parts.empty()) Fail("key without a name");
            if (FindNode(root, parts)) Fail("key listed twice");
            current = &EnsureNode(root, parts);
        } else if (word == "value") {
            if (!current) Fail("value outside a key");
            SkipBlanks();
            std::string name = Quoted();
            SkipBlanks();
            std::string kind = Word();
            RegistryStore::Value value;
            SkipBlanks();
            if (kind == "dword") {
                value.kind = RegistryStore::Value::Kind::DWord;
                value.dword = Number();
            } else if (kind == "string") {
                value.kind = RegistryStore::Value::Kind::String;
                value.text = Quoted();
            } else {
                Fail("unknown value kind '" + kind + "'");
            }
            SkipBlanks();
            if (!AtLineEnd()) Fail("unexpected text after the value");
            if (current->FindValue(name)) Fail("value listed twice");
            current->PutValue(name, std::move(value));
        } else {
            Fail("unknown line '" + word + "'");
        }
        SkipBlanks();
        if (!AtLineEnd()) Fail("unexpected text at the end of the line");
    }

    bool AtLineEnd() const { return mPos >= mLineEnd; }

    void SkipBlanks()
    {
        while (!AtLineEnd() && (mText[mPos] == ' ' || mText[mPos] == '\t' || mText[mPos] == '\r')) ++mPos;
    }

    std::string Word()
    {
        std::string w;
        while (!AtLineEnd() && mText[mPos] >= 'a' && mText[mPos] <= 'z') w += mText[mPos++];
        if (w.empty()) Fail("a word was expected");
        return w;
    }

    uint32_t Number()
    {
        uint64_t n = 0;
        size_t digits = 0;
        while (!AtLineEnd() && mText[mPos] >= '0' && mText[mPos] <= '9') {
            n = n * 10 + static_cast<uint64_t>(mText[mPos++] - '0');
            if (++digits > 10 || n > 0xFFFFFFFFull) Fail("number out of range");
        }
        if (digits == 0) Fail("a number was expected");
        return static_cast<uint32_t>(n);
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

    std::string Quoted()
    {
        if (AtLineEnd() || mText[mPos] != '"') Fail("a quoted text was expected");
        ++mPos;
        std::string s;
        while (true) {
            if (AtLineEnd()) Fail("unterminated text");
            char c = mText[mPos++];
            if (c == '"') return s;
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) Fail("control character in a text");
            if (c != '\\') {
                s += c;
                continue;
            }
            if (AtLineEnd()) Fail("unterminated escape");
            char e = mText[mPos++];
            switch (e) {
            case '\\': s += '\\'; break;
            case '"': s += '"'; break;
            case 'n': s += '\n'; break;
            case 'r': s += '\r'; break;
            case 't': s += '\t'; break;
            case 'x': {
                if (mLineEnd - mPos < 2) Fail("bad escape");
                int hi = HexDigit(mText[mPos]);
                int lo = HexDigit(mText[mPos + 1]);
                if (hi < 0 || lo < 0) Fail("bad escape");
                s += static_cast<char>(hi * 16 + lo);
                mPos += 2;
                break;
            }
            default: Fail("bad escape");
            }
        }
    }

    [[noreturn]] void Fail(const std::string& why) const
    {
        throw ComError(RegistryStore::ErrNotRegistryFile, kSource,
                       "The registry file '" + mPath + "' is corrupt: line " + std::to_string(mLine) + ": " + why);
    }

    const std::string& mPath;
    const std::string& mText;
    size_t mPos = 0;
    size_t mLineEnd = 0;
    size_t mLine = 0;
};

[[noreturn]] void RaiseIo(const std::string& what, const std::string& path, int err)
{
    throw ComError(RegistryStore::ErrIoFailed, kSource, what + " '" + path + "': " + std::strerror(err));
}

// Reads the file; nullopt when it does not exist. Anything but a readable regular file within
// the size limit raises (a FIFO or device is never waited on or read without end).
std::optional<std::string> ReadFile(const std::string& path)
{
    try {
        return ReadFileBounded(path, RegistryStore::MaxFileBytes);
    } catch (const FileError& error) {
        switch (error.GetKind()) {
        case FileError::Kind::System:
            if (error.Errno() == ENOENT) return std::nullopt;
            RaiseIo("Cannot read the registry file", path, error.Errno());
        case FileError::Kind::NotAFile:
            throw ComError(RegistryStore::ErrNotRegistryFile, kSource,
                           "The registry file '" + path + "' is not a regular file");
        case FileError::Kind::TooLarge: break;
        case FileError::Kind::Locked: throw ComError(RegistryStore::ErrIoFailed, kSource, error.what());
        }
        throw ComError(RegistryStore::ErrNotRegistryFile, kSource,
                       "The registry file '" + path + "' is larger than " +
                           std::to_string(RegistryStore::MaxFileBytes) + " bytes");
    }
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates the folders of the store's path when missing (the default location may not exist yet).
void MakeDirectories(const std::string& dir)
{
    if (dir.empty() || dir == "." || dir == "/") return;
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return;
    MakeDirectories(DirectoryOf(dir));
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) RaiseIo("Cannot create the folder", dir, errno);
}

// Saves the text atomically (see SaveFileAtomically), creating the folders of the path first.
void SaveFile(const std::string& path, const std::string& text)
{
    if (text.size() > RegistryStore::MaxFileBytes)
        throw ComError(RegistryStore::ErrIoFailed, kSource,
                       "Cannot save the registry file '" + path + "': it would exceed " +
                           std::to_string(RegistryStore::MaxFileBytes) + " bytes");
    MakeDirectories(DirectoryOf(path));
    RemoveAbandonedTemporaries(path);
    try {
        SaveFileAtomically(path, text);
    } catch (const FileError& error) {
        RaiseIo("Cannot save the registry file", path, error.Errno());
    }
}

// A save killed between writing its temporary file and renaming it leaves that file behind; it
// goes with the next load or save once it is provably abandoned. A temporary of a save in
// progress, of another user, or of a process that cannot be seen from here (another PID
// namespace, another computer on a network home) stays.
Node LoadTree(const std::string& path)
{
    RemoveAbandonedTemporaries(path);
    auto text = ReadFile(path);
    // A missing or empty file is an empty store (a caller may hand over a freshly made file).
    if (!text || text->empty()) return Node{};
    return Parser(path, *text).Parse();
}

} // namespace

struct RegistryStore::Impl {
    std::string path;
    Node root;
    int changeDepth = 0;
    mutable std::recursive_mutex mutex;

    // Applies one change: straight into the tree inside Change (saved at its end), else to a
    // copy that replaces the tree only once it is saved.
    template <class F>
    auto Mutate(F&& change)
    {
        std::lock_guard lock(mutex);
        if (changeDepth > 0) return change(root);
        Node copy = root;
        auto result = change(copy);
        if (result) {
            SaveFile(path, Serialize(copy));
            root = std::move(copy);
        }
        return result;
    }
};

RegistryStore::RegistryStore(std::string path) : mImpl(std::make_shared<Impl>())
{
    mImpl->path = std::move(path);
    mImpl->root = LoadTree(mImpl->path);
}

const std::string& RegistryStore::Path() const
{
    return mImpl->path;
}

bool RegistryStore::KeyExists(const std::string& key) const
{
    auto parts = SplitKey(key);
    std::lock_guard lock(mImpl->mutex);
    return FindNode(mImpl->root, parts) != nullptr;
}

void RegistryStore::CreateKey(const std::string& key)
{
    auto parts = SplitKey(key);
    if (parts.empty()) RaiseInvalidName(key, "empty");
    mImpl->Mutate([&](Node& root) {
        if (FindNode(root, parts)) return false;
        EnsureNode(root, parts);
        return true;
    });
}

bool RegistryStore::DeleteKey(const std::string& key)
{
    auto parts = SplitKey(key);
    if (parts.empty()) return false;
    return mImpl->Mutate([&](Node& root) {
        std::vector<std::string> parentParts(parts.begin(), parts.end() - 1);
        Node* parent = parentParts.empty() ? &root : FindNode(root, parentParts);
        return parent != nullptr && parent->RemoveChild(parts.back());
    });
}

std::vector<std::string> RegistryStore::SubKeys(const std::string& key) const
{
    auto parts = SplitKey(key);
    std::lock_guard lock(mImpl->mutex);
    std::vector<std::string> names;
    if (const Node* node = FindNode(mImpl->root, parts))
        for (const Node& child : node->children) names.push_back(child.name);
    return names;
}

std::vector<std::string> RegistryStore::ValueNames(const std::string& key) const
{
    auto parts = SplitKey(key);
    std::lock_guard lock(mImpl->mutex);
    std::vector<std::string> names;
    if (const Node* node = FindNode(mImpl->root, parts))
        for (const auto& value : node->values) names.push_back(value.first);
    return names;
}

std::optional<RegistryStore::Value> RegistryStore::GetValue(const std::string& key, const std::string& name) const
{
    auto parts = SplitKey(key);
    std::lock_guard lock(mImpl->mutex);
    const Node* node = FindNode(mImpl->root, parts);
    if (!node) return std::nullopt;
    const Value* value = node->FindValue(name);
    if (!value) return std::nullopt;
    return *value;
}

void RegistryStore::SetString(const std::string& key, const std::string& name, const std::string& text)
{
    auto parts = SplitKey(key);
    if (parts.empty()) RaiseInvalidName(key, "empty");
    mImpl->Mutate([&](Node& root) {
        EnsureNode(root, parts).PutValue(name, Value{Value::Kind::String, text, 0});
        return true;
    });
}

void RegistryStore::SetDWord(const std::string& key, const std::string& name, uint32_t value)
{
    auto parts = SplitKey(key);
    if (parts.empty()) RaiseInvalidName(key, "empty");
    mImpl->Mutate([&](Node& root) {
        EnsureNode(root, parts).PutValue(name, Value{Value::Kind::DWord, {}, value});
        return true;
    });
}

bool RegistryStore::DeleteValue(const std::string& key, const std::string& name)
{
    auto parts = SplitKey(key);
    return mImpl->Mutate([&](Node& root) {
        Node* node = FindNode(root, parts);
        return node != nullptr && node->RemoveValue(name);
    });
}

void RegistryStore::Change(const std::function<void()>& changes)
{
    std::lock_guard lock(mImpl->mutex);
    if (mImpl->changeDepth > 0) {
        changes();
        return;
    }
    Node before = mImpl->root;
    mImpl->changeDepth = 1;
    try {
        changes();
        mImpl->changeDepth = 0;
        SaveFile(mImpl->path, Serialize(mImpl->root));
    } catch (...) {
        mImpl->changeDepth = 0;
        mImpl->root = std::move(before);
        throw;
    }
}

void RegistryStore::Reload()
{
    Node fresh = LoadTree(mImpl->path);
    std::lock_guard lock(mImpl->mutex);
    mImpl->root = std::move(fresh);
}

namespace {

std::mutex gRegistryMutex;
std::optional<std::string> gRegistryPath;
RegistryStore* gRegistry = nullptr; // never freed: references handed out stay valid
bool gRegistryOpen = false;

std::string DefaultRegistryPath()
{
    if (const char* env = std::getenv("ZARVIK_REGISTRY"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/zarvik/registry";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
    }
    return std::string(home ? home : ".") + "/.config/zarvik/registry";
}

} // namespace

RegistryStore& Registry()
{
    std::lock_guard lock(gRegistryMutex);
    if (!gRegistryOpen) {
        RegistryStore store(gRegistryPath ? *gRegistryPath : DefaultRegistryPath());
        // The one object stays in place and takes the newly opened store, so that references
        // to it see the store of the current path.
        if (gRegistry) {
            *gRegistry = store;
        } else {
            gRegistry = new RegistryStore(store);
        }
        gRegistryOpen = true;
    }
    return *gRegistry;
}

void SetRegistryPath(const std::string& path)
{
    std::lock_guard lock(gRegistryMutex);
    gRegistryPath = path;
    gRegistryOpen = false;
}

} // namespace plat
