#include "host/documents/HostTranslator.h"

#include "platform/ui/Window.h"

namespace host {

void HostTranslator::TranslateObject(const std::string& moduleKey, plat::Window& window) const
{
    plat::MapTextsDeep(window, [this, &moduleKey](const std::string& text) {
        // Only language-ID texts are translated; an operator's own text is left alone.
        if (!Split(text)) return text;
        return Translate(moduleKey, text);
    });
}

} // namespace host
