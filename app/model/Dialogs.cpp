#include "Application.h"
#include "RainIntensityDialog.h"
#include "DrainedAreaDialog.h"
#include "SoilCoefDialog.h"
#include "RainLibraryDialog.h"
#include "RainSourceDialog.h"

namespace infil::model {

void installDialogs(Application& app)
{
    // Each dialog of the main window is added here as it is built.
    // The rain dialog and the library's window share the user's rain library.
    auto rainLibrary = std::make_shared<rain::RainLibrary>(rainLibraryFolder(app.folders()));
    app.addDialog(std::make_unique<RainIntensityDialog>(app, rainLibrary));
    app.addDialog(std::make_unique<DrainedAreaDialog>(app));
    app.addDialog(std::make_unique<SoilCoefDialog>(app));
    app.addDialog(std::make_unique<RainSourceDialog>(app));
    app.addDialog(std::make_unique<RainLibraryDialog>(app, rainLibrary));
}

} // namespace infil::model
