#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/serial/PseudoTerminal.h"
#include "simulator/AnalyzerLine.h"

#include <memory>
#include <string>

namespace zsim {

class Analyzer;

// Serves the simulated analyzer on a pseudo-terminal: a program opens SlavePath() as its serial
// device and talks to the analyzer as to a real one. The speed that program sets on its end is
// read from the terminal, so a speed mismatch turns into noise as on a real line.
class PtyServer : public AnalyzerLine {
public:
    // Runs on the loop of the process as it is at construction.
    explicit PtyServer(std::shared_ptr<Analyzer> analyzer);
    ~PtyServer() override;

    const std::string& SlavePath() const { return mPty.SlavePath(); }
    Analyzer& GetAnalyzer() { return *mAnalyzer; }

    std::optional<plat::LineSettings> RemoteSettings() const override;
    void Transmit(std::string_view bytes) override;

private:
    void OnReadable();
    void Flush();

    plat::PseudoTerminal mPty;
    std::shared_ptr<Analyzer> mAnalyzer;
    std::shared_ptr<plat::EventLoop> mLoop;
    plat::FdWatch mReadWatch;
    plat::FdWatch mWriteWatch;
    bool mWriteWatching = false;
    std::string mPending;
};

} // namespace zsim
