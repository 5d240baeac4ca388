#include "apps/host/InstrumentLink.h"
#include "apps/host/TestRun.h"

#include "instrument/VtiClasses.h"

#include "instrument/IZarvikVTi.h"

#include "host/units/HostMtiSettings.h"

#include "apps/host/ServerLibraries.h"
#include "instrument/ZarvikModule.h"
#include "platform/base/ComError.h"
#include "platform/com/ComRuntime.h"
#include "platform/serial/PortMap.h"
#include "platform/ui/MessageBox.h"

#include <charconv>
#include <cstdio>

namespace zhost {

namespace {

std::optional<int32_t> Integer(const std::string& text)
{
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

class StreamMessageBox : public plat::IMessageBoxService {
public:
    explicit StreamMessageBox(std::ostream& stream) : mStream(stream) {}
    int Show(const std::string& prompt, int style, const std::string&) override
    {
        mStream << "zarvik-host: " << prompt << '\n';
        mStream.flush();
        return plat::DefaultAnswer(style);
    }

private:
    std::ostream& mStream;
};

} // namespace

LinkArguments ParseLinkArguments(const std::vector<std::string>& args, bool takesWords)
{
    LinkArguments arguments;
    bool havePort = false;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg != "--port" && arg != "--device") {
            if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') throw UsageError("unknown option '" + arg + "'");
            break;
        }
        if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--port") {
            auto port = Integer(value);
            if (!port) throw UsageError("--port needs a number, not '" + value + "'");
            arguments.port = *port;
            havePort = true;
        } else {
            if (value.empty()) throw UsageError("--device needs a path");
            arguments.device = value;
        }
    }
    if (!havePort) throw UsageError("--port N is required");
    arguments.words.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (!takesWords && !arguments.words.empty()) throw UsageError("unexpected argument '" + arguments.words.front() + "'");
    if (takesWords && arguments.words.empty()) throw UsageError("no command given");
    return arguments;
}

void PrepareLink(const LinkArguments& arguments)
{
    if (arguments.device) CheckDevicePath(*arguments.device);
    if (arguments.device) plat::PortMap::SetOverride(arguments.port, *arguments.device);
    plat::SerialPort::CheckFree(arguments.port);
}

void RaiseRefusal(const plat::PortRefusalWatch& watch)
{
    if (!watch.Refusals().empty()) throw watch.Refusals().front();
}

plat::ObjectPtr CreateLinkObject(const std::string& clsid)
{
    try {
        return plat::CreateObject(clsid);
    } catch (const plat::ComError& error) {
        if (error.Number() != plat::rt::ClassNotRegistered) throw;
    }
    plat::RegisterServerLibrary(DeliverablePath("telvoZarvikVti"));
    return plat::CreateObject(clsid);
}

std::string CQuote(const std::string& text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\r': quoted += "\\r"; break;
        case '\n': quoted += "\\n"; break;
        case '\t': quoted += "\\t"; break;
        case '\\': quoted += "\\\\"; break;
        case '"': quoted += "\\\""; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                // Three octal digits: unlike \x, the escape cannot run on into a following digit.
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\%03o", c);
                quoted += escaped;
            } else {
                quoted += static_cast<char>(c);
            }
        }
    }
    return quoted + "\"";
}

MessagesTo::MessagesTo(std::ostream& stream)
    : mPrevious(plat::SetMessageBoxService(std::make_shared<StreamMessageBox>(stream)))
{
}

MessagesTo::~MessagesTo()
{
    plat::SetMessageBoxService(std::static_pointer_cast<plat::IMessageBoxService>(mPrevious));
}

std::shared_ptr<vti::IZarvikVTi> OpenInstrument(int32_t port)
{
    host::HostMtiSettings::SetPortOverride(zarvik::ModuleKey, port);
    auto instrument = CreateLinkObjectAs<vti::IZarvikVTi>(vti::CLSID_CZarvikVTi);
    if (!instrument) throw plat::ComError(plat::rt::ObjectLacksMember, "zarvik-host", "the instrument lacks its interface");
    try {
        instrument->OpenChannel();
    } catch (const plat::ComError& error) {
        if (error.Number() != vti::eeVTI_Error) throw;
    }
    if (instrument->State() != vti::evtiIdle) return nullptr;
    return instrument;
}

} // namespace zhost
