#pragma once

#include "platform/serial/LinePeer.h"
#include "simulator/AnalyzerLine.h"

#include <memory>
#include <string>

namespace zsim {

class Analyzer;

// The simulated analyzer as an in-process serial device: a port opened on it talks to the
// analyzer through an in-process line on the same event loop.
class SimDevice : public plat::LinePeer, public AnalyzerLine {
public:
    explicit SimDevice(std::shared_ptr<Analyzer> analyzer);
    ~SimDevice() override;

    Analyzer& GetAnalyzer() { return *mAnalyzer; }

    std::optional<plat::LineSettings> RemoteSettings() const override;
    void Transmit(std::string_view bytes) override;
    // Raises the serial device's I/O error ("Device unavailable") in the turn that delivered
    // the command, as a failing device's error reaches the program that drives the port.
    void Fail() override;

    // Installs the analyzer as the in-process device of that name, so that a port mapped to the
    // name ("sim" by default) opens it. The same analyzer serves every connection.
    static std::shared_ptr<SimDevice> Install(std::shared_ptr<Analyzer> analyzer, const std::string& name = "sim");
    // As Install, with an analyzer made at the first open, on the event loop of that moment,
    // and kept for every later connection. For programs that install the device at start-up
    // and may never use it.
    static void InstallOnDemand(const std::string& name = "sim");
    static void Uninstall(const std::string& name = "sim");

protected:
    void OnAttached() override;
    void OnReceived(std::string_view bytes, const plat::LineSettings& settings) override;
    void OnDetached() override;

private:
    std::shared_ptr<Analyzer> mAnalyzer;
};

} // namespace zsim
