#pragma once

#include <pugixml.hpp>

#include <string>

namespace host {

// The pugixml tree behind one HostXmlDocument, shared by the document and its elements.
// pugixml has no nodes outside a tree, so elements that were created and not yet appended
// live under a hidden holder element, the last child of the document node; they move from
// there into the tree when they are appended. The holder is never saved or shown. Nodes are
// never freed while the tree lives, so an element object can never point to a freed node.
struct HostXmlTree {
    HostXmlTree();

    // Adds the holder again after the document node was loaded afresh.
    void AddHolder();

    // The root element: the first element child of the document node other than the holder.
    pugi::xml_node Root() const;
    // True for the document node and the holder: a node under one of them has no parent
    // element.
    bool IsContainer(pugi::xml_node node) const { return node == document || node == holder; }

    pugi::xml_document document;
    pugi::xml_node holder;
};

// Raises Invalid procedure call (5) unless the name is an XML name.
void CheckXmlName(const std::string& name, const char* what);

// The text of a node as pugixml would save it, without indentation.
std::string NodeXml(pugi::xml_node node);

} // namespace host
