#pragma once

#include "platform/base/Unknown.h"

// The document objects come together: whoever holds an element uses its list and document.
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlNodeList.h"

#include <memory>
#include <string>

namespace pugi {
struct xml_node_struct;
}

namespace host {

class HostXmlDocument;
class HostXmlNodeList;
struct HostXmlTree;

// One element of a host document, as handed to every load and save. Several HostXmlElement
// objects may stand for the same element (every lookup makes a new one); IsSameNode tells.
// An element keeps its document alive.
class HostXmlElement : public plat::IUnknown {
public:
    // Made by the document and by other elements; not for direct use.
    HostXmlElement(std::shared_ptr<HostXmlDocument> document, std::shared_ptr<HostXmlTree> tree,
                   pugi::xml_node_struct* node);

    std::string Name() const;
    // Renames the element; raises Invalid procedure call (5) for a name that XML cannot hold.
    void SetName(const std::string& name);

    // The attribute's value, or an empty text when the element has no such attribute;
    // HasAttribute tells a missing attribute from an empty one.
    std::string GetAttribute(const std::string& name) const;
    bool HasAttribute(const std::string& name) const;
    // Sets the attribute, adding it when it is missing.
    void SetAttribute(const std::string& name, const std::string& value);
    void RemoveAttribute(const std::string& name);

    // The element's own text: its text and CDATA children joined, in document order. The
    // texts of child elements are not included: our elements hold either text or elements.
    std::string Text() const;
    // Replaces the element's text children with one text; child elements stay.
    void SetText(const std::string& text);

    // Appends the element as the last child and returns it. An element that is already in
    // the tree moves. Raises xmlerr::WrongNode for an element of another document and for an
    // element that would end up inside itself.
    std::shared_ptr<HostXmlElement> AppendChild(const std::shared_ptr<HostXmlElement>& child);
    // Creates a child element with the given text, appends it and returns it.
    std::shared_ptr<HostXmlElement> AddChildWithText(const std::string& name, const std::string& text);

    // The child elements (text, comments and the like are not listed), in document order.
    std::shared_ptr<HostXmlNodeList> ChildNodes() const;
    // The first child element of that name, or none.
    std::shared_ptr<HostXmlElement> SelectChild(const std::string& name) const;
    // The parent element, or none for the root and for an unattached element.
    std::shared_ptr<HostXmlElement> ParentElement() const;
    const std::shared_ptr<HostXmlDocument>& OwnerDocument() const { return mDocument; }

    bool IsSameNode(const HostXmlElement& other) const { return mNode == other.mNode; }
    // The element and its content as XML text, without a declaration.
    std::string Xml() const;

    // Internal, for the document objects.
    pugi::xml_node_struct* Node() const { return mNode; }
    const std::shared_ptr<HostXmlTree>& Tree() const { return mTree; }

private:
    std::shared_ptr<HostXmlElement> Wrap(pugi::xml_node_struct* node) const;

    std::shared_ptr<HostXmlDocument> mDocument;
    std::shared_ptr<HostXmlTree> mTree;
    pugi::xml_node_struct* mNode;
};

} // namespace host
