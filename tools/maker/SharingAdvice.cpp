#include "SharingAdvice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SharingAdvice", text);
}

QString SizeOf(std::int64_t bytes, int decimals = 1) {
    return QLocale().formattedDataSize(bytes, decimals, QLocale::DataSizeSIFormat);
}

QString MailFit(std::int64_t bytes, bool lean) {
    if (bytes <= MailLimitBytes) {
        return tr("Small enough to send by mail.");
    }
    const QString limit = SizeOf(MailLimitBytes, 0);
    return lean ? tr("Too large for most mail (at most %1): a smaller photo or a shorter song "
                     "makes it fit.")
                      .arg(limit)
                : tr("Too large for most mail (at most %1): to send it by mail, tick “%2” or "
                     "choose a smaller photo.")
                      .arg(limit, QString(LeanChoiceName()).remove('&'));
}

} // namespace

QString AfterSaveText(const QString& path, std::int64_t bytes, bool lean) {
    return tr("Saved %1 (%2). %3")
               .arg(QDir::toNativeSeparators(path), SizeOf(bytes), MailFit(bytes, lean)) +
           '\n' + tr("To play it, the recipient saves the file and opens it.") + '\n' +
           tr("On Linux they may first have to allow it to run as a program, in the file's "
              "Properties.");
}

QString LeanChoiceName() {
    return tr("Small puzzle (lea&n)");
}

QString LeanExplanation() {
    return tr("About 1.6 MB plus the photo and song instead of about 18 MB. It opens only on a "
              "Linux computer that already has the programs it uses; where some are missing, "
              "it names them, for someone who installs programs there.");
}
