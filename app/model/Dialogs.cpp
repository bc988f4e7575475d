#include "Application.h"
#include "RainIntensityDialog.h"

namespace infil::model {

void installDialogs(Application& app)
{
    // Each dialog of the main window is added here as it is built.
    app.addDialog(std::make_unique<RainIntensityDialog>(app));
}

} // namespace infil::model
