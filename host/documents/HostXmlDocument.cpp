#include "host/documents/HostXmlDocument.h"

#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlTree.h"
#include "platform/base/ComError.h"
#include "platform/base/FileIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace host {

namespace {

const char* const kSource = "HostXmlDocument";

// Whitespace-only text is kept where it is an element's only content (a unit of one blank),
// and line ends are left as they are, so that every text we save reads back unchanged.
constexpr unsigned kParseFlags = (pugi::parse_default | pugi::parse_ws_pcdata_single) & ~pugi::parse_eol;

[[noreturn]] void RaiseFileError(int err, const std::string& path)
{
    int32_t number = xmlerr::DeviceIoError;
    const char* title = "Device I/O error";
    switch (err) {
    case ENOENT: {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (folder.empty() || std::filesystem::is_directory(folder, ec)) {
            number = plat::rt::FileNotFound;
            title = "File not found";
        } else {
            number = plat::rt::PathNotFound;
            title = "Path not found";
        }
        break;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        number = plat::rt::PathNotFound;
        title = "Path not found";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = plat::rt::PermissionDenied;
        title = "Permission denied";
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        number = xmlerr::DiskFull;
        title = "Disk full";
        break;
    case EISDIR:
        number = xmlerr::PathFileAccessError;
        title = "Path/File access error";
        break;
    default:
        break;
    }
    throw plat::ComError(number, kSource, std::string(title) + ": '" + path + "' (" + std::strerror(err) + ")");
}

std::string LimitText()
{
    return std::to_string(HostXmlDocument::MaxDocumentBytes / (1024 * 1024)) + " MiB";
}

// Turns a failure of the file layer into the error the document raises.
[[noreturn]] void RaiseFileError(const plat::FileError& error)
{
    const std::string& path = error.Path();
    switch (error.GetKind()) {
    case plat::FileError::Kind::System: RaiseFileError(error.Errno(), path);
    case plat::FileError::Kind::NotAFile:
        if (error.Errno() == EISDIR) RaiseFileError(EISDIR, path);
        throw plat::ComError(xmlerr::PathFileAccessError, kSource, "Path/File access error: '" + path + "' is not a file");
    case plat::FileError::Kind::TooLarge: break;
    case plat::FileError::Kind::Locked:
        throw plat::ComError(xmlerr::PathFileAccessError, kSource, std::string("Path/File access error: ") + error.what());
    }
    throw plat::ComError(xmlerr::Rejected, kSource, "'" + path + "' is larger than the limit of " + LimitText());
}

// Reads a whole regular file, refusing anything larger than the document limit.
std::string ReadDocumentFile(const std::string& path)
{
    try {
        return plat::ReadFileBounded(path, HostXmlDocument::MaxDocumentBytes);
    } catch (const plat::FileError& error) {
        RaiseFileError(error);
    }
}

void WriteFileAtomically(const std::string& path, const std::string& text)
{
    try {
        plat::SaveFileAtomically(path, text);
    } catch (const plat::FileError& error) {
        RaiseFileError(error);
    }
}

std::string Location(std::string_view text, std::ptrdiff_t offset, pugi::xml_encoding encoding)
{
    std::string where = " at offset " + std::to_string(offset);
    // Line and column are counted in the text as given, which pugixml's offset matches only
    // for UTF-8 input.
    if (encoding == pugi::encoding_utf8 && offset >= 0 && static_cast<std::size_t>(offset) <= text.size()) {
        long line = 1;
        long column = 1;
        for (std::size_t i = 0; i < static_cast<std::size_t>(offset); ++i) {
            if (text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        where += " (line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
    }
    return where;
}

// The first reference in the text that is neither one of the five predefined entities nor a
// character reference to a character that XML can hold; empty when there is none.
std::string FindBadReference(std::string_view text)
{
    for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
        std::size_t end = text.find(';', at);
        std::string_view name = text.substr(at + 1, end == std::string_view::npos ? 0 : end - at - 1);
        std::string_view shown = text.substr(at, end == std::string_view::npos ? 12 : end - at + 1);
        if (end == std::string_view::npos || name.empty()) return std::string(shown);
        if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") continue;
        if (name[0] != '#' || name.size() < 2) return std::string(shown);
        bool hex = name[1] == 'x';
        std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return std::string(shown);
        unsigned long code = 0;
        for (char c : digits) {
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return std::string(shown);
            code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        }
        // NUL would cut the text short; surrogates and values above U+10FFFF are no characters.
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return std::string(shown);
    }
    return {};
}

// Looks through a document parsed with entities left as written and its document type
// declaration kept as a node.
class Inspector : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& node) override
    {
        switch (node.type()) {
        case pugi::node_doctype:
            Fail(xmlerr::Rejected, "has a document type declaration, which is not accepted "
                                   "(DTDs and entities are never processed)");
            return false;
        case pugi::node_element:
            if (depth() + 1 > HostXmlDocument::MaxNestingDepth) {
                Fail(xmlerr::Rejected, "nests elements deeper than the limit of " +
                                           std::to_string(HostXmlDocument::MaxNestingDepth) + " levels");
                return false;
            }
            if (depth() == 0 && ++mRoots > 1) {
                Fail(xmlerr::Malformed, "is not well-formed XML: more than one root element");
                return false;
            }
            for (pugi::xml_attribute attribute : node.attributes()) {
                if (!CheckReferences(attribute.value(), node, -1)) return false;
            }
            return true;
        case pugi::node_pcdata:
            return CheckReferences(node.value(), node.parent(), node.offset_debug());
        default:
            return true;
        }
    }

    int32_t code = 0;
    std::string problem;

private:
    bool CheckReferences(const char* value, pugi::xml_node element, std::ptrdiff_t offset)
    {
        std::string bad = FindBadReference(value);
        if (bad.empty()) return true;
        std::string where = " in element <" + std::string(element.name()) + ">";
        if (offset >= 0) where += " near offset " + std::to_string(offset);
        Fail(xmlerr::Malformed, "is not well-formed XML: undefined or invalid entity reference '" + bad + "'" + where +
                                    " (only &amp; &lt; &gt; &quot; &apos; and character references are accepted)");
        return false;
    }

    void Fail(int32_t failCode, std::string text)
    {
        code = failCode;
        problem = std::move(text);
    }

    int mRoots = 0;
};

} // namespace

HostXmlDocument::HostXmlDocument(Passkey) : mTree(std::make_shared<HostXmlTree>()) {}

HostXmlDocument::~HostXmlDocument() = default;

std::shared_ptr<HostXmlDocument> HostXmlDocument::Create()
{
    return std::make_shared<HostXmlDocument>(Passkey{});
}

std::shared_ptr<HostXmlElement> HostXmlDocument::CreateElement(const std::string& name)
{
    CheckXmlName(name, "element");
    pugi::xml_node node = mTree->holder.append_child(name.c_str());
    if (!node) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
    return std::make_shared<HostXmlElement>(shared_from_this(), mTree, node.internal_object());
}

std::shared_ptr<HostXmlElement> HostXmlDocument::DocumentElement() const
{
    pugi::xml_node root = mTree->Root();
    if (!root) return nullptr;
    // The element shares the document, which is always owned by a shared pointer (Create).
    auto self = std::const_pointer_cast<HostXmlDocument>(shared_from_this());
    return std::make_shared<HostXmlElement>(self, mTree, root.internal_object());
}

namespace {

pugi::xml_node CheckedNode(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostXmlTree>& tree)
{
    if (!element) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);
    if (element->Tree() != tree) {
        throw plat::ComError(xmlerr::WrongNode, kSource,
                             "The element <" + element->Name() +
                                 "> belongs to another document (or to content that a load replaced)");
    }
    return pugi::xml_node(element->Node());
}

} // namespace

std::shared_ptr<HostXmlElement> HostXmlDocument::AppendChild(const std::shared_ptr<HostXmlElement>& element)
{
    pugi::xml_node node = CheckedNode(element, mTree);
    pugi::xml_node root = mTree->Root();
    if (root == node) return element;
    if (root) {
        throw plat::ComError(xmlerr::WrongNode, kSource,
                             "The document already has the root element <" + std::string(root.name()) + ">");
    }
    SetDocumentElement(element);
    return element;
}

void HostXmlDocument::SetDocumentElement(const std::shared_ptr<HostXmlElement>& element)
{
    pugi::xml_node node = CheckedNode(element, mTree);
    pugi::xml_node root = mTree->Root();
    if (root == node) return;
    if (root) mTree->holder.append_move(root);
    if (!mTree->document.insert_move_before(node, mTree->holder)) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
}

void HostXmlDocument::Load(const std::string& path)
{
    std::string text = ReadDocumentFile(path);
    Parse(text, "'" + path + "'");
}

void HostXmlDocument::LoadXml(std::string_view text)
{
    Parse(text, "The XML text");
}

namespace {

// Raises what a load of the text would raise before building anything: the size limit, and
// a first pass in which references are left as written so that each can be checked, and a
// document type declaration becomes a node so that it can be refused. pugixml itself never
// expands entities that a DTD declares, but a document that relies on them is not ours to guess.
void CheckLoadable(std::string_view text, const std::string& origin)
{
    if (text.size() > HostXmlDocument::MaxDocumentBytes) {
        throw plat::ComError(xmlerr::Rejected, kSource, origin + " is larger than the limit of " + LimitText());
    }
    pugi::xml_document check;
    pugi::xml_parse_result result =
        check.load_buffer(text.data(), text.size(), (kParseFlags | pugi::parse_doctype) & ~pugi::parse_escapes);
    if (!result) {
        throw plat::ComError(xmlerr::Malformed, kSource,
                             origin + " is not well-formed XML: " + result.description() +
                                 Location(text, result.offset, result.encoding));
    }
    Inspector inspector;
    check.traverse(inspector);
    if (inspector.code != 0) throw plat::ComError(inspector.code, kSource, origin + " " + inspector.problem);
}

} // namespace

void HostXmlDocument::Parse(std::string_view text, const std::string& origin)
{
    CheckLoadable(text, origin);

    auto tree = std::make_shared<HostXmlTree>();
    pugi::xml_parse_result result = tree->document.load_buffer(text.data(), text.size(), kParseFlags);
    if (!result) {
        throw plat::ComError(xmlerr::Malformed, kSource,
                             origin + " is not well-formed XML: " + result.description() +
                                 Location(text, result.offset, result.encoding));
    }
    tree->AddHolder();
    mTree = std::move(tree);
}

void HostXmlDocument::Save(const std::string& path) const
{
    WriteFileAtomically(path, SavedText(path));
}

std::string HostXmlDocument::SavedText(const std::string& path) const
{
    if (!mTree->Root()) {
        throw plat::ComError(xmlerr::Malformed, kSource,
                             "The document has no root element; nothing was saved to '" + path + "'");
    }
    // A file that Load would refuse is never written: it would replace the previous good file
    // with one that can never be opened again.
    std::string text = Xml();
    try {
        CheckLoadable(text, "The document");
    } catch (const plat::ComError& error) {
        throw plat::ComError(error.Number(), kSource, error.Description() + "; nothing was saved to '" + path + "'");
    }
    return text;
}

std::string HostXmlDocument::Xml() const
{
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    for (pugi::xml_node node = mTree->document.first_child(); node; node = node.next_sibling()) {
        if (node == mTree->holder) continue;
        node.print(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    }
    return out.str();
}

} // namespace host
