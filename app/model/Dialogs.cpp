#include "Application.h"
#include "RainIntensityDialog.h"
#include "DrainedAreaDialog.h"
#include "SoilCoefDialog.h"

namespace infil::model {

void installDialogs(Application& app)
{
    // Each dialog of the main window is added here as it is built.
    app.addDialog(std::make_unique<RainIntensityDialog>(app));
    app.addDialog(std::make_unique<DrainedAreaDialog>(app));
    app.addDialog(std::make_unique<SoilCoefDialog>(app));
}

} // namespace infil::model
