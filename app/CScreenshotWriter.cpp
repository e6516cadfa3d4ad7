#include "app/CScreenshotWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/DatedFile.h"
#include "engine/PngFile.h"

namespace {

bool WriteAll(int fd, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

CScreenshotWriter::CScreenshotWriter(const std::string& folder) : mFolder(folder) {}

CScreenshotWriter::~CScreenshotWriter()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
    }
    mChanged.notify_all();
    if (mThread.joinable()) {
        mThread.join();
    }
}

std::string CScreenshotWriter::FileName(std::time_t when, int n)
{
    return DatedFileName(when, n, "png");
}

bool CScreenshotWriter::Submit(std::vector<uint32_t>&& pixels, int width, int height, std::time_t when)
{
    if (mFolder.empty()) {
        Report("cannot save the screenshot: there is no folder for the files the game writes");
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mPending.size() >= static_cast<size_t>(kMaxPending)) {
            mReports.push_back("the screenshot is skipped: " + std::to_string(kMaxPending) +
                               " earlier ones are still being written");
            mHasReports = true;
            return false;
        }
        mPending.push_back(SShot{std::move(pixels), width, height, when});
    }
    if (!mThread.joinable()) {
        mThread = std::thread(&CScreenshotWriter::Run, this);
    }
    mChanged.notify_all();
    return true;
}

void CScreenshotWriter::Finish()
{
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [this] { return mPending.empty(); });
}

std::vector<std::string> CScreenshotWriter::TakeReports()
{
    std::vector<std::string> reports;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mHasReports) {
        reports.swap(mReports);
        mHasReports = false;
    }
    return reports;
}

void CScreenshotWriter::Report(const std::string& line)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mReports.push_back(line);
    mHasReports = true;
}

void CScreenshotWriter::Run()
{
    std::unique_lock<std::mutex> lock(mMutex);
    for (;;) {
        mChanged.wait(lock, [this] { return mStopping || !mPending.empty(); });
        if (mPending.empty()) {
            return; // stopping, with nothing left to write
        }
        const SShot& shot = mPending.front(); // stays in place (and counted) while it is written
        lock.unlock();
        const std::string report = Write(shot);
        lock.lock();
        mPending.pop_front();
        mReports.push_back(report);
        mHasReports = true;
        mChanged.notify_all();
    }
}

std::string CScreenshotWriter::Write(const SShot& shot) const
{
    const std::string failed = "cannot save the screenshot: ";
    std::string error;
    const std::vector<uint8_t> bytes = Orvel::EncodePng(shot.width, shot.height, shot.pixels.data(), false, &error);
    if (bytes.empty()) {
        return failed + error;
    }
    std::string path;
    const int fd = CreateDatedFile(mFolder, shot.when, "png", path, error);
    if (fd < 0) {
        return failed + error;
    }
    const bool written = WriteAll(fd, bytes);
    const int writeErrno = errno;
    if (close(fd) != 0 || !written) {
        const int why = written ? errno : writeErrno;
        unlink(path.c_str()); // no half picture is left behind
        return failed + "'" + path + "': " + std::strerror(why);
    }
    return "screenshot saved as '" + path + "'";
}
