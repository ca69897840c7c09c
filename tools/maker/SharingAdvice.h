#pragma once

#include <QString>
#include <cstdint>

// What the author is told about sending a puzzle: whether it fits a mail, how the recipient
// opens it, and what the small (lean) kind asks of the recipient's computer.

// The largest puzzle most mail services take as an attachment once it is encoded for mail.
inline constexpr std::int64_t MailLimitBytes = 18'000'000;

// The status after a save of `bytes` bytes to `path`: its size, whether it fits a mail (and
// what makes it fit when it does not), then two lines on how the recipient opens it.
QString AfterSaveText(const QString& path, std::int64_t bytes, bool lean);

// The lean choice, in words for its checkbox and for the line that explains it.
QString LeanChoiceName();
QString LeanExplanation();
