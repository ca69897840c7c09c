#pragma once

#include "main/Main.h"
#include "main/MessageRecorder.h"
#include "main/Pictures.h"
#include "main/ShowForm.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// A main window that has been shown without a package (its one message is dropped), so its
// board exists at the work area's size, ready for games started by hand.
class ShownFormTest : public ::testing::Test {
protected:
    ScratchFolder Work;
    ScratchFolder Runtime;
    ScopedEnvironment Xdg{"XDG_RUNTIME_DIR", Runtime.Path().c_str()};
    MessageRecorder Messages;
    TFormMain Form{Work.File("no-package")};

    void SetUp() override {
        ShowForm(Form);
        Messages.Calls.clear();
        Form.Game().Settings.ZoomPercent = 100;
    }

    QString PictureFile(const std::string& name, const Bytes& bytes) {
        WriteBytes(Work.File(name), bytes);
        return QString::fromStdString(Work.File(name));
    }

    QString Jpeg(int width, int height) {
        return PictureFile("p" + std::to_string(width) + "x" + std::to_string(height) + ".jpg",
                           JpegOf(width, height));
    }

    // A board of the given client size for the fitting rules.
    void UseBoard(int clientWidth, int clientHeight) {
        Form.Game().RecreateBuffers(clientWidth, clientHeight);
    }

    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const auto& call : Messages.Calls) {
            texts.push_back(call.Text);
        }
        return texts;
    }
};
