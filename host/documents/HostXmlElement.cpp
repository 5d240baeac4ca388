#include "host/documents/HostXmlElement.h"

#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/documents/HostXmlTree.h"
#include "platform/base/ComError.h"

namespace host {

namespace {

const char* const kSource = "HostXmlElement";

bool IsText(pugi::xml_node node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// pugixml keeps texts as C strings: a NUL would silently cut the text short.
void CheckNoNul(const std::string& text, const char* what)
{
    if (text.find('\0') != std::string::npos) {
        throw plat::ComError(plat::rt::InvalidCall, kSource, std::string("An XML ") + what + " cannot hold a NUL character");
    }
}

} // namespace

HostXmlElement::HostXmlElement(std::shared_ptr<HostXmlDocument> document, std::shared_ptr<HostXmlTree> tree,
                               pugi::xml_node_struct* node)
    : mDocument(std::move(document)), mTree(std::move(tree)), mNode(node)
{
}

std::shared_ptr<HostXmlElement> HostXmlElement::Wrap(pugi::xml_node_struct* node) const
{
    return std::make_shared<HostXmlElement>(mDocument, mTree, node);
}

std::string HostXmlElement::Name() const
{
    return pugi::xml_node(mNode).name();
}

void HostXmlElement::SetName(const std::string& name)
{
    CheckXmlName(name, "element");
    pugi::xml_node(mNode).set_name(name.c_str());
}

std::string HostXmlElement::GetAttribute(const std::string& name) const
{
    return pugi::xml_node(mNode).attribute(name.c_str()).value();
}

bool HostXmlElement::HasAttribute(const std::string& name) const
{
    return static_cast<bool>(pugi::xml_node(mNode).attribute(name.c_str()));
}

void HostXmlElement::SetAttribute(const std::string& name, const std::string& value)
{
    CheckXmlName(name, "attribute");
    CheckNoNul(value, "attribute");
    pugi::xml_node node(mNode);
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute) attribute = node.append_attribute(name.c_str());
    if (!attribute || !attribute.set_value(value.data(), value.size())) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
}

void HostXmlElement::RemoveAttribute(const std::string& name)
{
    pugi::xml_node(mNode).remove_attribute(name.c_str());
}

std::string HostXmlElement::Text() const
{
    std::string text;
    for (pugi::xml_node child : pugi::xml_node(mNode).children()) {
        if (IsText(child)) text += child.value();
    }
    return text;
}

void HostXmlElement::SetText(const std::string& text)
{
    CheckNoNul(text, "text");
    pugi::xml_node node(mNode);
    // Only text nodes are removed; no element object can point to one of them.
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (IsText(child)) node.remove_child(child);
        child = next;
    }
    if (text.empty()) return;
    pugi::xml_node pcdata = node.prepend_child(pugi::node_pcdata);
    if (!pcdata || !pcdata.set_value(text.data(), text.size())) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
}

std::shared_ptr<HostXmlElement> HostXmlElement::AppendChild(const std::shared_ptr<HostXmlElement>& child)
{
    if (!child) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);
    if (child->mTree != mTree) {
        throw plat::ComError(xmlerr::WrongNode, kSource,
                             "The element <" + child->Name() +
                                 "> belongs to another document (or to content that a load replaced)");
    }
    pugi::xml_node node(mNode);
    pugi::xml_node moved(child->mNode);
    for (pugi::xml_node ancestor = node; ancestor; ancestor = ancestor.parent()) {
        if (ancestor == moved) {
            throw plat::ComError(xmlerr::WrongNode, kSource,
                                 "The element <" + child->Name() + "> cannot be appended inside itself");
        }
    }
    if (!node.append_move(moved)) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
    return child;
}

std::shared_ptr<HostXmlElement> HostXmlElement::AddChildWithText(const std::string& name, const std::string& text)
{
    CheckXmlName(name, "element");
    CheckNoNul(text, "text");
    pugi::xml_node child = pugi::xml_node(mNode).append_child(name.c_str());
    if (!child) plat::RaiseRuntime(plat::rt::OutOfMemory, kSource);
    auto element = Wrap(child.internal_object());
    element->SetText(text);
    return element;
}

std::shared_ptr<HostXmlNodeList> HostXmlElement::ChildNodes() const
{
    std::vector<std::shared_ptr<HostXmlElement>> items;
    for (pugi::xml_node child : pugi::xml_node(mNode).children()) {
        if (child.type() == pugi::node_element) items.push_back(Wrap(child.internal_object()));
    }
    return std::make_shared<HostXmlNodeList>(std::move(items));
}

std::shared_ptr<HostXmlElement> HostXmlElement::SelectChild(const std::string& name) const
{
    for (pugi::xml_node child : pugi::xml_node(mNode).children()) {
        if (child.type() == pugi::node_element && name == child.name()) return Wrap(child.internal_object());
    }
    return nullptr;
}

std::shared_ptr<HostXmlElement> HostXmlElement::ParentElement() const
{
    pugi::xml_node parent = pugi::xml_node(mNode).parent();
    if (!parent || mTree->IsContainer(parent)) return nullptr;
    return Wrap(parent.internal_object());
}

std::string HostXmlElement::Xml() const
{
    return NodeXml(pugi::xml_node(mNode));
}

} // namespace host
