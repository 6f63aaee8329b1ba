// Program entry: the five windows, created hidden in a fixed order, and the event loop.
#include "app/Application.h"
#include "app/BuiltInUpdateKey.h"
#include "app/LoginForm.h"
#include "app/QtHost.h"
#include "state/Session.h"
#include "toolkit/Files.h"
#include "ui/Forms.h"

#include <exception>

int main(int argc, char **argv)
{
    cApplication application(argc, argv);
    cQtHost host;
    cScopedHost installed(&host);
    try
    {
        const std::string executable = ExecutablePath();
        // The login window comes first: it is the one shown when the loop starts.
        LoginForm = new TLoginForm(ExtractFilePath(executable), executable);
        LoginForm->UpdatePublicKey = BuiltInUpdatePublicKey();
        CreateWorkspaceForms();
        LoginForm->show();
        application.exec();
    }
    catch (const std::exception &error)
    {
        Host().MessageBox(error.what(), "Error", cHostButtons::Ok);
    }
    catch (...)
    {
        Host().MessageBox("", "Error", cHostButtons::Ok);
    }
    // The windows go before the application object does.
    DeleteWorkspaceForms();
    delete LoginForm;
    // The links go while the TLS library is still set up.
    Session().Close();
    return 0;
}
