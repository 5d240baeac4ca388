#pragma once

// A process translator for tests that shows every language-ID text as its number in angle
// brackets ("20461::Unexpected response" shows "<20461>"), so that a test sees which text was
// chosen and not only what its default says: two texts with the same words, or a wrong ID with
// the right default, tell apart. An ID whose text takes arguments is declared with their count
// and shows them after the number ("<20200 150>"). Texts that are no language-ID texts (the
// toolbar's faces, analyzer replies) stay as they are. The translator it replaced comes back
// when the fixture goes.

#include "host/documents/HostTranslator.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace ztesting {

class LanguageIdTranslator {
public:
    LanguageIdTranslator() : mPrevious(host::HostTranslator::SetProcess(std::make_shared<Numbers>())) {}
    ~LanguageIdTranslator()
    {
        Numbers::Arguments().clear();
        host::HostTranslator::SetProcess(mPrevious);
    }
    LanguageIdTranslator(const LanguageIdTranslator&) = delete;
    LanguageIdTranslator& operator=(const LanguageIdTranslator&) = delete;

    // The ID's text takes this many arguments (%%1 to %%count), of every module.
    static void TakesArguments(const std::string& id, int count)
    {
        std::string text = "<" + id;
        for (int i = 1; i <= count; ++i) text += " %%" + std::to_string(i);
        Numbers::Arguments()[id] = text + ">";
    }

    // The text that the fixture shows for an ID without arguments.
    static std::string Shown(const std::string& id) { return "<" + id + ">"; }

private:
    class Numbers : public host::HostTranslator {
    public:
        static std::map<std::string, std::string>& Arguments()
        {
            static std::map<std::string, std::string> texts;
            return texts;
        }

    protected:
        std::optional<std::string> LookUp(const std::string& /*moduleKey*/, const std::string& id) const override
        {
            if (auto found = Arguments().find(id); found != Arguments().end()) return found->second;
            return "<" + id + ">";
        }
    };

    std::shared_ptr<host::HostTranslator> mPrevious;
};

} // namespace ztesting
