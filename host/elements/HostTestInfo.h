#pragma once

#include "platform/base/Unknown.h"

#include <memory>
#include <string>

namespace host {

// The info object of a test element: the texts under which the host lists the element (type,
// parameter, name, description), already translated, and the class name (ProgID) the element
// was created from.
class HostTestInfo : public plat::IUnknown {
public:
    const std::string& Type() const { return mType; }
    const std::string& Parameter() const { return mParameter; }
    // Type and parameter are set together, type first.
    void SetTypeAndParameter(const std::string& type, const std::string& parameter);
    const std::string& Name() const { return mName; }
    void SetName(const std::string& name) { mName = name; }
    const std::string& Description() const { return mDescription; }
    void SetDescription(const std::string& description) { mDescription = description; }
    const std::string& ClassName() const { return mClassName; }
    void SetClassName(const std::string& className) { mClassName = className; }

    // An info object of its own with the same texts, for a copied test element.
    std::shared_ptr<HostTestInfo> Clone() const;

private:
    std::string mType;
    std::string mParameter;
    std::string mName;
    std::string mDescription;
    std::string mClassName;
};

} // namespace host
