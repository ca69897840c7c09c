#pragma once

#include <QString>

// Where the companion windows' links lead.
namespace WebLinks {
inline const QString ProductPage = QStringLiteral("https://tavrin.example.org/christmas");
inline const QString HomePage = QStringLiteral("https://tavrin.example.org/");
} // namespace WebLinks

// Opens a web address in the user's browser; what happens then is not reported.
void OpenWebLink(const QString& address);
