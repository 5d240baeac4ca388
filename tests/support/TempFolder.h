#pragma once

#include <string>

namespace ztesting {

// A fresh folder under /tmp for one test, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "zarvik");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

// A registry store of its own for one test: the process store points at a file in a fresh
// folder while the object lives, so no test ever writes the user's own registry.
class TempRegistry {
public:
    TempRegistry();
    const std::string& Folder() const { return mFolder.Path(); }
    std::string File() const { return mFolder.File("registry"); }

private:
    TempFolder mFolder;
};

} // namespace ztesting
