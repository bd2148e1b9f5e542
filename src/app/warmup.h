#pragma once
#include <condition_variable>
#include <mutex>
#include <thread>

namespace ballwick {

// Start-up work that needs no window, done on another core: reading the font
// configuration while Qt starts and filling Qt's font list while the main
// window is built (otherwise both are done at its first line of text), and
// once the main window is drawn, decoding the pictures of the other
// windows and loading the audio module. (The main window's own first pictures
// are embedded ready to show.)
// Create it first thing in main(). It waits for its threads when destroyed.
class StartupWarmup
{
public:
    StartupWarmup();
    ~StartupWarmup();
    // The application object exists: Qt's font list can be filled.
    void applicationReady();
    // Waits for the font configuration to be read. Call it before the first
    // text: fontconfig does not wait for a load in progress, it starts one
    // of its own, which costs the whole load twice. (Qt's font list may still
    // be being filled: Qt itself waits for that.)
    void waitForFonts();
    // The main window is drawn: the pictures of the other windows (promised
    // here, before those windows are built) come next, then the audio module.
    // Before the window is drawn they would only take a core from it.
    void mainWindowDrawn();
    // The other windows are built and the event loop comes next: the audio
    // module is loaded now (a program closed before this loads none).
    void windowsBuilt();
    // Waits for the work to end; call it while the application still exists.
    void finish();
    StartupWarmup(const StartupWarmup &) = delete;
    StartupWarmup &operator=(const StartupWarmup &) = delete;

private:
    std::thread m_fonts;
    std::thread m_pictures;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_configRead = false;
    bool m_applicationReady = false;
    bool m_windowsBuilt = false;
    bool m_ending = false;
};

} // namespace ballwick
