#pragma once
// Writes screenshots as PNG files on a thread of its own, so that the frame
// that takes one is held up only by handing its pixels over.
//
// Files go to one folder, made (with its parents) when missing, named
// tavrin-YYYYMMDD-HHMMSS.png after the local time the shot was taken; when
// that name is taken, tavrin-YYYYMMDD-HHMMSS-2.png, -3 and so on. A file is
// created only where none exists, so nothing is ever overwritten. What
// became of each shot (where it went, or why it could not be written) comes
// back as a line of text for the main thread to report; a failure never
// stops the game.
//
// Threads: every call from one thread (the main thread); the writing thread
// starts with the first shot and ends with the object.

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScreenshotWriter {
public:
    // Shots waiting to be written at most; more are refused.
    static constexpr int kMaxPending = 4;

    // folder: where the files go; empty when no folder is known (every shot
    // is then refused with a report).
    explicit CScreenshotWriter(const std::string& folder);
    // Writes the shots still waiting, then ends the thread.
    ~CScreenshotWriter();
    CScreenshotWriter(const CScreenshotWriter&) = delete;
    CScreenshotWriter& operator=(const CScreenshotWriter&) = delete;

    // Takes a shot's pixels (0xAARRGGBB, the top row first) taken at `when`.
    // False, with a report, when kMaxPending shots are still waiting.
    bool Submit(std::vector<uint32_t>&& pixels, int width, int height, std::time_t when);
    // Waits until every shot submitted so far is written or given up.
    void Finish();
    // The reports since the previous call, oldest first; cheap when there
    // are none.
    std::vector<std::string> TakeReports();

    // The name of a shot taken at `when` (local time): n = 1 gives
    // "tavrin-YYYYMMDD-HHMMSS.png", n > 1 "tavrin-YYYYMMDD-HHMMSS-<n>.png".
    static std::string FileName(std::time_t when, int n);

private:
    struct SShot {
        std::vector<uint32_t> pixels;
        int width, height;
        std::time_t when;
    };

    void Run();
    // Writes one shot; returns the report.
    std::string Write(const SShot& shot) const;
    void Report(const std::string& line);

    const std::string mFolder;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<SShot> mPending; // guarded by mMutex; the front one is being written
    std::vector<std::string> mReports; // guarded by mMutex
    bool mHasReports = false;          // guarded by mMutex
    bool mStopping = false;            // guarded by mMutex
    std::thread mThread;
};
