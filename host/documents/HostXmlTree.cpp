#include "host/documents/HostXmlTree.h"

#include "platform/base/ComError.h"

#include <sstream>

namespace host {

HostXmlTree::HostXmlTree()
{
    AddHolder();
}

void HostXmlTree::AddHolder()
{
    holder = document.append_child(pugi::node_element);
}

pugi::xml_node HostXmlTree::Root() const
{
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && node != holder) return node;
    }
    return {};
}

namespace {

bool IsNameStart(unsigned char c)
{
    // Bytes from 0x80 belong to non-ASCII characters, which XML allows in names.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

} // namespace

void CheckXmlName(const std::string& name, const char* what)
{
    bool valid = !name.empty() && IsNameStart(static_cast<unsigned char>(name[0]));
    for (std::size_t i = 1; valid && i < name.size(); ++i) {
        valid = IsNameChar(static_cast<unsigned char>(name[i]));
    }
    if (!valid) {
        throw plat::ComError(plat::rt::InvalidCall, "HostXmlDocument",
                             std::string("'") + name + "' is not a valid XML " + what + " name");
    }
}

std::string NodeXml(pugi::xml_node node)
{
    std::ostringstream out;
    node.print(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

} // namespace host
