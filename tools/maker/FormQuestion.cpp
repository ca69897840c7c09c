#include "FormQuestion.h"

#include <QAbstractButton>

namespace {

// Every answer can be given from the keyboard: the desktop's words get a mnemonic on their first
// letter when they have none.
QString WithMnemonic(const QString& text) {
    return text.contains('&') ? text : '&' + text;
}

} // namespace

QMessageBox::StandardButton AskInMessageBox(QWidget* parent, const Question& question) {
    QMessageBox box(QMessageBox::Question, question.Title, question.Text, question.Answers, parent);
    box.setInformativeText(question.Details);
    box.setDefaultButton(question.Default);
    box.setEscapeButton(QMessageBox::Cancel);
    for (QAbstractButton* button : box.buttons()) {
        const auto answer = box.standardButton(button);
        button->setText(WithMnemonic(question.Names.value(answer, button->text())));
    }
    const int answer = box.exec();
    return question.Answers.testFlag(static_cast<QMessageBox::StandardButton>(answer))
               ? static_cast<QMessageBox::StandardButton>(answer)
               : QMessageBox::Cancel;
}
