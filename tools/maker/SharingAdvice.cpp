#include "SharingAdvice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SharingAdvice", text);
}

QString SizeOf(std::int64_t bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString MailFit(std::int64_t bytes, bool lean) {
    if (bytes <= MailLimitBytes) {
        return tr("Small enough to send by mail.");
    }
    const QString tooLarge =
        tr("Too large for most mail, which takes at most %1.").arg(SizeOf(MailLimitBytes));
    return lean ? tooLarge + ' ' + tr("A smaller photo or a shorter song makes it fit.")
                : tooLarge + ' ' +
                      tr("To send it by mail, tick “%1” or choose a smaller photo.")
                          .arg(QString(LeanChoiceName()).remove('&'));
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
