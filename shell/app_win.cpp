#include "shell/app.h"

#include <commctrl.h>

#include "shell/ball.h"
#include "shell/images.h"

namespace kit {

int runShellProgram(HINSTANCE instance, const MainWindowConfig& config) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    int code = 1;
    {
        GdiplusSession gdiplus;
        if (!createMainWindow(instance, config)) return 1;
        if (config.closeAction == CloseAction::HideToBall) createBall(instance, config.title);
        code = runMessageLoop();
    }
    destroyBall();
    return code;
}

}  // namespace kit
