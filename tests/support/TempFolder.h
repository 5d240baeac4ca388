#pragma once

#include <string>
#include <vector>

namespace ztesting {

// A fresh folder under /tmp for one test, removed with everything in it at the end, even when
// the test has taken away its permissions.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "zarvik");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }
    // The names of everything in the folder, sorted, so that a test can show that a failed save
    // left no temporary file behind.
    std::vector<std::string> Names() const;

private:
    std::string mPath;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadAll(const std::string& path);

// Writes the text as the whole content of a file.
void WriteAll(const std::string& path, const std::string& text);

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
