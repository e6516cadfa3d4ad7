#include "game/CReplayScript.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "game/CGame.h"

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A decimal integer with an optional minus sign; false if token is not one.
// Values beyond +-10^12 are clamped, which every range check rejects.
bool ParseNumber(const std::string& token, long long& value)
{
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && token[i] == '-') {
        negative = true;
        ++i;
    }
    if (i == token.size())
        return false;
    long long v = 0;
    for (; i < token.size(); ++i) {
        if (token[i] < '0' || token[i] > '9')
            return false;
        if (v < 1000000000000LL)
            v = v * 10 + (token[i] - '0');
    }
    value = negative ? -v : v;
    return true;
}

struct SActionSyntax {
    const char* name;
    SRedAction::Type type;
    int fields;  // numeric fields after the action's name
};

// In SRedAction::Type order.
const SActionSyntax kSyntax[] = {
    {"robots", SRedAction::ROBOTS, 0},
    {"magnet", SRedAction::MAGNET, 2},
    {"laser", SRedAction::LASER, 2},
    {"move", SRedAction::MOVE, 3},
    {"erase", SRedAction::ERASE, 2},
    {"clear", SRedAction::CLEAR, 0},
};

} // namespace

bool CReplayScript::Parse(const std::string& text, const std::string& name, std::string& error)
{
    std::vector<SRedAction> actions;
    int lineNumber = 0;
    size_t pos = 0;
    int32_t lastTick = 1;
    auto fail = [&](const std::string& what) {
        error = name + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::vector<std::string> tokens;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsSpace(line[i]))
                ++i;
            size_t start = i;
            while (i < line.size() && !IsSpace(line[i]))
                ++i;
            if (i > start)
                tokens.push_back(line.substr(start, i - start));
        }
        if (tokens.empty())
            continue;

        long long tick = 0;
        if (!ParseNumber(tokens[0], tick))
            return fail("tick '" + tokens[0] + "' is not a number");
        if (tick < 1 || tick > 2147483647LL)
            return fail("tick " + tokens[0] + " is outside 1..2147483647");
        if (tick < lastTick && !actions.empty())
            return fail("tick " + tokens[0] + " comes after tick " + std::to_string(lastTick));
        if (tokens.size() < 2)
            return fail("missing action after the tick");

        const SActionSyntax* syntax = nullptr;
        for (const SActionSyntax& s : kSyntax)
            if (tokens[1] == s.name)
                syntax = &s;
        if (syntax == nullptr)
            return fail("unknown action '" + tokens[1] + "'");
        const size_t wanted = 2 + static_cast<size_t>(syntax->fields);
        if (tokens.size() < wanted)
            return fail(std::string("missing field for '") + syntax->name + "'");
        if (tokens.size() > wanted)
            return fail("unexpected field '" + tokens[wanted] + "'");

        long long fields[3] = {0, 0, 0};
        for (int f = 0; f < syntax->fields; ++f) {
            const std::string& token = tokens[2 + f];
            if (!ParseNumber(token, fields[f]))
                return fail("field '" + token + "' is not a number");
            if (f < 2 && (fields[f] < 0 || fields[f] >= CGame::kGridSize))
                return fail("cell coordinate " + token + " is outside 0..63");
            if (f == 2 && (fields[f] < 0 || fields[f] > 8))
                return fail("move-magnet type " + token + " is outside 0..8");
        }

        SRedAction action;
        action.tick = static_cast<int32_t>(tick);
        action.type = syntax->type;
        action.x = static_cast<int32_t>(fields[0]);
        action.y = static_cast<int32_t>(fields[1]);
        action.moveType = static_cast<int32_t>(fields[2]);
        actions.push_back(action);
        lastTick = action.tick;
    }
    mActions.swap(actions);
    mNext = 0;
    mTick = 0;
    return true;
}

bool CReplayScript::LoadFile(const std::string& path, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot open the script: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = path + ": cannot read the script";
        return false;
    }
    return Parse(text, path, error);
}

std::string CReplayScript::Line(const SRedAction& action)
{
    const SActionSyntax& syntax = kSyntax[action.type];
    const int32_t fields[3] = {action.x, action.y, action.moveType};
    std::string line = std::to_string(action.tick) + " " + syntax.name;
    for (int f = 0; f < syntax.fields; ++f)
        line += " " + std::to_string(fields[f]);
    return line;
}

void CReplayScript::Apply(CGame& game)
{
    ++mTick;
    while (mNext < mActions.size() && mActions[mNext].tick <= mTick) {
        const SRedAction& action = mActions[mNext++];
        if (action.tick < mTick)
            continue;  // only when Apply started late; never for a fresh game
        switch (action.type) {
        case SRedAction::ROBOTS:
            game.ProduceRobots(0);
            break;
        case SRedAction::MAGNET:
            game.BuildMagnet(action.x, action.y, 0);
            break;
        case SRedAction::LASER:
            game.BuildLaser(action.x, action.y, 0);
            break;
        case SRedAction::MOVE:
            game.AddMoveMagnet(action.x, action.y, action.moveType, 0);
            break;
        case SRedAction::ERASE:
            game.RemoveMoveMagnet(action.x, action.y, 0);
            break;
        case SRedAction::CLEAR:
            game.ClearMoveMagnets(0);
            break;
        }
    }
}
