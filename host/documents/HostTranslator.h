#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
class Window;
}

namespace host {

// The host's language service. A language-ID text is an ID, "::" and the default text
// ("20531::Test in progress"); the ID may be any word of letters, digits and "_" ("T1708"), and
// blanks before it are skipped. Its translation is the module's table text for the ID, else the
// default text; "%%1" .. "%%9" in it are then replaced by the arguments. Any other text
// (no "::", or no ID word before it) comes back unchanged.
//
// Tables are files in the table folder, one per module: "<folder>/<module key>.lng", UTF-8,
// one entry per line as the ID, a tab and the text; "\n", "\t" and "\\" in the text stand for
// a line break, a tab and a backslash; empty lines and lines beginning with "#" are skipped.
// A missing or unreadable table, or a module key that is not a plain word, means no table: every
// text then shows its default. Without a folder (the default) only entries set in memory count.
//
// TranslateObject translates the captions, tool tips, tab captions and column headers of a form
// or control and everything inside it, in place; what a text box holds is data and stays as it is.
class HostTranslator : public plat::IUnknown {
public:
    HostTranslator() = default;
    explicit HostTranslator(std::filesystem::path tableFolder);

    // The translator of the process, made on first use without a table folder.
    static std::shared_ptr<HostTranslator> Process();
    // Replaces the process translator (tests, and the host at start-up) and gives the one it
    // replaced; an empty pointer puts a fresh default translator in place.
    static std::shared_ptr<HostTranslator> SetProcess(std::shared_ptr<HostTranslator> translator);

    const std::filesystem::path& TableFolder() const { return mTableFolder; }
    // Sets the folder of the table files; tables already read are forgotten.
    void SetTableFolder(std::filesystem::path folder);

    // Adds or replaces one entry in memory; it takes precedence over the module's table file.
    void SetText(const std::string& moduleKey, const std::string& id, const std::string& text);

    // The translation of text for the module, with "%%n" replaced by the n-th argument (from 1)
    // as text. A marker without an argument stays as it is; an argument's text is never scanned
    // for markers itself.
    std::string Translate(const std::string& moduleKey, std::string_view text) const;
    std::string Translate(const std::string& moduleKey, std::string_view text, const std::vector<plat::Variant>& args) const;
    // The arguments are the array's items in order, whatever its lower bound.
    std::string Translate(const std::string& moduleKey, std::string_view text, const plat::VariantArray& args) const;

    // Translates every language-ID caption of the window and the windows inside it (captions,
    // tool tips, tab captions and column headers); other texts, and the contents of text boxes
    // (an operator's entry, a stored serial number), stay as they are.
    void TranslateObject(const std::string& moduleKey, plat::Window& window) const;

    // The ID and default text of a language-ID text, or none for any other text.
    struct LanguageText {
        std::string id;
        std::string defaultText;
    };
    static std::optional<LanguageText> Split(std::string_view text);

    // Replaces "%%1" .. "%%9" in one pass.
    static std::string Substitute(std::string_view text, const std::vector<std::string>& args);

protected:
    // The table text of the ID, or none. Overridable so that a test can stand in for the tables.
    virtual std::optional<std::string> LookUp(const std::string& moduleKey, const std::string& id) const;

private:
    using Table = std::map<std::string, std::string>;
    const Table& TableOf(const std::string& moduleKey) const;

    std::filesystem::path mTableFolder;
    std::map<std::string, Table> mMemory;
    mutable std::map<std::string, Table> mFileTables;
    mutable std::mutex mMutex;
};

} // namespace host
