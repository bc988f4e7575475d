#include "Application.h"

namespace infil::model {

void installDialogs(Application&)
{
    // Each dialog of the main window is added here as it is built.
}

} // namespace infil::model
