#include "game/GameSession.h"

GameSession::GameSession(PictureFiles files)
    : Life(Play, std::move(files)) {}

Result<void, Message> GameSession::TakePackage(const StartedPackage& package) {
    Play.Settings = package.Settings;
    LoadingLines = package.Credits;
    Greeting = package.StartMessage;
    return package.Status;
}
