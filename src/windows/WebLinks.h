#pragma once

#include <QString>

// Opens a web address in the user's browser; what happens then is not reported.
void OpenWebLink(const QString& address);
