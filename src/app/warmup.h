#pragma once
#include <mutex>
#include <thread>

namespace ballwick {

// Start-up work that needs no window, done on another core: reading the font
// configuration (otherwise read at the first line of text) while Qt starts,
// and once the main window is drawn, decoding the pictures of the other
// windows and loading the audio module. (The main window's own first pictures
// are embedded ready to show.)
// Create it first thing in main(). It waits for its threads when destroyed.
class StartupWarmup
{
public:
    StartupWarmup();
    ~StartupWarmup();
    // Waits for the font configuration to be read. Call it before the first
    // text: fontconfig does not wait for a load in progress, it starts one
    // of its own, which costs the whole load twice.
    void waitForFonts();
    // The main window is drawn: the pictures of the other windows (promised
    // here, before those windows are built) and the audio module come next.
    // Before the window is drawn they would only take a core from it.
    void mainWindowDrawn();
    // Waits for the work to end; call it while the application still exists.
    void finish();
    StartupWarmup(const StartupWarmup &) = delete;
    StartupWarmup &operator=(const StartupWarmup &) = delete;

private:
    std::thread m_fonts;
    std::thread m_pictures;
    std::mutex m_lock;
    bool m_ending = false;
};

} // namespace ballwick
