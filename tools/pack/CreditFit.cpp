#include "CreditFit.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

namespace {

// As the loading window sets them: its font, and a credit line's width inside its panel.
constexpr int CreditLinePixels = 305 - 2 * 8;
constexpr int CreditFontPixels = 11;

// Qt's notices about the offscreen session it sets up (its runtime folder, ...) would only
// puzzle the user of a command-line tool.
void QuietQtNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        qt_message_output(type, context, text);
    }
}

// Fonts are measured only inside an application object; the tool shows no window, so the
// offscreen platform serves, with or without a display. The object lives until the process
// ends: destroying it among the other static objects at exit is not safe.
void EnsureFontMeasuring() {
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    qInstallMessageHandler(QuietQtNotices);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavrin-pack";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication* const application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace

std::string VisibleCreditLine(const std::string& utf8) {
    EnsureFontMeasuring();
    QFont font;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setPixelSize(CreditFontPixels);
    const QString text = QString::fromStdString(utf8);
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, CreditLinePixels).toStdString();
}
