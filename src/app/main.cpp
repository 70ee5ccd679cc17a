// Program entry: the application, the main window, the message loop. An
// exception that escapes start-up is shown, and the program ends.
#include "Application.h"
#include "Dialogs.h"
#include "TFormHlav.h"
#include "Termination.h"

#include <exception>

int main(int argc, char** argv) {
    Application app(argc, argv);
    QtDialogs dialogs;
    app.setDialogs(&dialogs);
    try {
        StartOptions options = ParseCommandLine(app.arguments().mid(1));
        options.dialogs = &dialogs;
        TFormHlav form(options);
        form.show();
        CloseOnTerminationSignals(&form);
        return app.exec();
    } catch (const std::exception& e) {
        ShowException(dialogs, e.what());
        return 1;
    }
}
