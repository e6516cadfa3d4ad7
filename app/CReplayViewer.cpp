#include "app/CReplayViewer.h"

#include <cstring>

#include "app/CPlayerComforts.h"
#include "app/ErrorReport.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameSprites.h"
#include "game/GameVersion.h"

CReplayViewer* gViewer = nullptr;

CReplayViewer::~CReplayViewer()
{
    delete mEndImage;
}

bool CReplayViewer::Open(const std::string& path, std::string& error)
{
    mPath = path;
    // Read through once first, so that a corrupted file is refused before
    // anything is shown; the game is then played from a second reading.
    {
        CReplayReader check;
        if (!check.Open(path, error)) {
            return false;
        }
        SReplayRecord record;
        CReplayReader::Result result;
        while ((result = check.Next(record)) == CReplayReader::RECORD) {
        }
        if (result == CReplayReader::FAILED) {
            error = check.Problem();
            return false;
        }
    }
    if (!mReader.Open(path, error)) {
        return false;
    }
    if (std::strcmp(Header().gameVersion, kGameVersion) != 0) {
        ReportNotice((path + ": recorded by version " + Header().gameVersion + ", played by version " + kGameVersion)
                         .c_str());
    }
    mHaveNext = ReadNext();
    mShown = mNext;
    return true;
}

void CReplayViewer::LoadPictures(Orvel::DXDevice* device)
{
    mEndImage = LoadOptionalPicture(device, "ReplayEnd.bmp", kEndWidth, kEndHeight);
}

bool CReplayViewer::ReadNext()
{
    mResult = mReader.Next(mNext);
    return mResult == CReplayReader::RECORD;
}

void CReplayViewer::Play(CGame& game, int records)
{
    for (int i = 0; i < records && mHaveNext; ++i) {
        game.Tick(mNext.input, mNext.worldTicks, mNext.acceptActions);
        mShown = mNext;
        ++mPlayed;
        mHaveNext = ReadNext();
    }
    if (!mHaveNext && !mEnded) {
        End(game);
    }
}

void CReplayViewer::End(const CGame& game)
{
    mEnded = true;
    if (mResult != CReplayReader::END) {
        ReportNotice((mReader.Problem() + "; played " + std::to_string(mPlayed) + " records to world tick " +
                      std::to_string(game.ticksPlayed))
                         .c_str());
    }
}

void CReplayViewer::AddSprites(const CGame& game) const
{
    if (mEnded && game.state == CGame::STATE_PLAYING) {
        AddSprite(mEndImage, 512, 384, true);
    }
}
