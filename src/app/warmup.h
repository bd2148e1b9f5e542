#pragma once
#include <condition_variable>
#include <mutex>
#include <thread>

namespace ballwick {

// Start-up work that needs no window, done on another core while Qt starts and
// the windows are built: reading the font configuration (otherwise read at the
// first line of text), decoding the pictures the windows show at once and
// loading the audio module.
// Create it first thing in main(), and start the pictures once the application
// object exists (Qt's image plugins are looked up with its library paths). It
// waits for its threads when destroyed.
class StartupWarmup
{
public:
    StartupWarmup();
    ~StartupWarmup();
    // Decodes the pictures of the main window's first frame at once.
    void startPictures();
    // Waits for the font configuration to be read. Call it before the first
    // text: fontconfig does not wait for a load in progress, it starts one
    // of its own, which costs the whole load twice.
    void waitForFonts();
    // The main window is drawn: the pictures of the other windows and the
    // audio module come next. Until then they would only take a core from the
    // start of the program and the display server.
    void mainWindowDrawn();
    // Waits for the work to end; call it while the application still exists.
    void finish();
    StartupWarmup(const StartupWarmup &) = delete;
    StartupWarmup &operator=(const StartupWarmup &) = delete;

private:
    std::thread m_fonts;
    std::thread m_pictures;
    std::mutex m_lock;
    std::condition_variable m_go;
    bool m_drawn = false;
    bool m_ending = false;
};

} // namespace ballwick
