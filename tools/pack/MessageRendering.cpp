#include "MessageRendering.h"

#include "package/Windows1252.h"

#include <QList>
#include <QString>
#include <optional>

namespace {

std::optional<std::string> Stored(const QString& text) {
    return Utf8ToWindows1252(text.toStdString());
}

// Accents, enclosing marks, variation selectors and joiners: nothing of their own to show.
bool OnlyMarks(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return true;
    default:
        return false;
    }
}

std::string RenderCharacter(char32_t c) {
    const QString character = QString::fromUcs4(&c, 1);
    if (auto byte = Stored(character)) {
        return *byte;
    }
    const QString decomposed = character.normalized(QString::NormalizationForm_KD);
    if (decomposed != character) {
        const char32_t first = decomposed.toUcs4().front();
        if (auto base = Stored(QString::fromUcs4(&first, 1))) {
            return *base;
        }
    }
    return OnlyMarks(c) ? std::string() : std::string("?");
}

} // namespace

std::string Windows1252Rendering(const std::string& utf8) {
    // Composed first, so that a letter typed with a separate accent is stored as one.
    const QString composed = QString::fromStdString(utf8).normalized(QString::NormalizationForm_C);
    std::string rendering;
    for (const char32_t c : composed.toUcs4()) {
        rendering += RenderCharacter(c);
    }
    return rendering;
}
