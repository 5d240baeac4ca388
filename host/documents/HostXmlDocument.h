#pragma once

#include "platform/base/Unknown.h"

// The document objects come together: whoever holds a document uses its elements. The two
// headers name each other and need only each other's declarations.
#include "host/documents/HostXmlElement.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace host {

class HostXmlElement;
struct HostXmlTree;

// The host's XML document: it creates the elements that records save into, holds one root
// element, and loads and saves itself.
//
// Loading is safe for files from anywhere: a document type declaration is refused (so no DTD,
// no entity of its own and no external entity is ever processed), references to undefined
// entities are errors, and the size and the nesting depth are capped. Every failure raises a
// plat::ComError (codes in HostXmlErrors.h) and leaves the document as it was.
//
// Saving is atomic: the text goes to a temporary file in the same folder, is flushed to the
// disk and then renamed over the target, so a failed save leaves the previous file intact.
//
// Elements keep their document alive. An element that was created and not yet appended lives
// unattached inside its document until it is appended somewhere.
class HostXmlDocument : public plat::IUnknown, public std::enable_shared_from_this<HostXmlDocument> {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr std::size_t MaxDocumentBytes = 16u * 1024u * 1024u;
    static constexpr int MaxNestingDepth = 256;

    // Documents live in shared pointers because their elements share them; use Create().
    explicit HostXmlDocument(Passkey);
    ~HostXmlDocument() override;
    static std::shared_ptr<HostXmlDocument> Create();

    // A new element of this document, unattached until it is appended. Raises Invalid
    // procedure call (5) for a name that XML cannot hold.
    std::shared_ptr<HostXmlElement> CreateElement(const std::string& name);

    // The root element, or none for an empty document.
    std::shared_ptr<HostXmlElement> DocumentElement() const;
    // Makes the element the root. A document has one root: raises xmlerr::WrongNode when it
    // already has one (use SetDocumentElement to replace it). Returns the element.
    std::shared_ptr<HostXmlElement> AppendChild(const std::shared_ptr<HostXmlElement>& element);
    // Makes the element the root; a former root stays in the document, unattached.
    void SetDocumentElement(const std::shared_ptr<HostXmlElement>& element);

    // Replace the content with the document read from a file or from text. Elements taken
    // from the former content stay usable but no longer belong to this document's tree.
    void Load(const std::string& path);
    void LoadXml(std::string_view text);

    // Writes the document atomically; raises when it has no root element, when Load would
    // refuse it (larger than MaxDocumentBytes, nested deeper than MaxNestingDepth) or when the
    // file cannot be written, and the previous file is then unchanged.
    void Save(const std::string& path) const;
    // The text Save writes to the path, checked as Save checks it; raises as Save does when it
    // would refuse the document. For a caller that writes the file together with others.
    std::string SavedText(const std::string& path) const;
    // The document as text, with its XML declaration.
    std::string Xml() const;

    // Internal: the tree that the elements of this document point into.
    const std::shared_ptr<HostXmlTree>& Tree() const { return mTree; }

private:
    void Parse(std::string_view text, const std::string& origin);

    std::shared_ptr<HostXmlTree> mTree;
};

} // namespace host
