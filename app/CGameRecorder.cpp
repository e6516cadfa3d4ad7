#include "app/CGameRecorder.h"

#include <ctime>

#include "app/DatedFile.h"
#include "app/ErrorReport.h"
#include "game/CGame.h"
#include "game/CReplayWriter.h"

CGameRecorder* gRecorder = nullptr;

CGameRecorder::CGameRecorder(const std::string& writeFolder)
{
    // The current folder's is named as the player sees it: "Replays".
    if (writeFolder == ".") {
        mFolder = kFolder;
    } else if (!writeFolder.empty()) {
        mFolder = writeFolder + "/" + kFolder;
    }
}

CGameRecorder::~CGameRecorder() = default;

bool CGameRecorder::Begin()
{
    mStarted = true;
    if (mFolder.empty()) {
        Drop("there is no folder for the files the game writes");
        return false;
    }
    const std::time_t now = std::time(nullptr);
    std::string error;
    const int fd = CreateDatedFile(mFolder, now, "tvr", mPath, error);
    if (fd < 0) {
        Drop(error);
        return false;
    }
    mWriter.reset(new CReplayWriter());
    if (!mWriter->Start(fd, mPath, MakeReplayHeader(static_cast<int64_t>(now)), error)) {
        Drop(error);
        return false;
    }
    return true;
}

void CGameRecorder::Add(const CGame& game, const SReplayRecord& record)
{
    if (!mStarted && !Begin()) {
        return;
    }
    if (!mWriter) {
        return;
    }
    if (!mWriter->Add(record)) {
        Drop(mWriter->Error());
        return;
    }
    if (game.state != CGame::STATE_PLAYING) {
        Finish(game); // the end screen: the game is over
    }
}

void CGameRecorder::Finish(const CGame& game)
{
    if (!mWriter) {
        return;
    }
    if (!mWriter->Finish(game)) {
        Drop(mWriter->Error());
        return;
    }
    mWriter.reset();
    ReportNotice(("replay saved as '" + mPath + "'").c_str());
}

void CGameRecorder::Drop(const std::string& problem)
{
    mWriter.reset();
    ReportNotice(("cannot record the replay: " + problem).c_str());
}
