#include "main/Main.h"

#include "main/Application.h"

#include <exception>

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    try {
        TFormMain form;
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
    return 0;
}
